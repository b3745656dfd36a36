// The redundancy pages: RSTP and the ring shown off while the other runs,
// what they show of values a switch sends beyond their lists, and what
// they send or refuse.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "intp/Redundancy.h"
#include "pages/kit/NumberBox.h"
#include "pages/ports/Moduleredundancy_fastrecovery.h"
#include "pages/ports/Moduleredundancy_ring.h"
#include "pages/ports/Moduleredundancy_rstp.h"
#include "pages/ports/Moduleredundancy_rstp_info.h"
#include "tests/common/Records.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

using namespace Intp;

namespace {

TPropertyRedundancyRstp Rstp(TDevice* device, bool enabled)
{
    auto r = IntpTest::PerPort<TPropertyRedundancyRstp>(
        ModelOf(device), [](size_t i, TPropertyRedundancyRstpPort& p) { p = {uint32_t(1000 + i), 32, rpAuto, true, false}; });
    r.enabled = enabled;
    r.bridgePriority = 4096;
    r.maxAge = 20;
    r.helloTime = 2;
    r.forwardDelay = 15;
    return r;
}

TPropertyRedundancyRing RingOn()
{
    TPropertyRedundancyRing r;
    r.ringEnabled = true;
    r.secondPort = 1;
    return r;
}

}  // namespace

using RstpPage = TPageTest<TModuleRedundancyRstp>;

TEST_F(RstpPage, ARunningRingOfTheSwitchsGenerationShowsRstpOffWithTheSwitchsValues)
{
    const int threshold = g_LayoutThreshold;
    g_LayoutThreshold = 1000;  // a first-generation model
    page->SetExclusive(true);
    TDevice* device = Select(1, TestModel(4));
    Put(device, IntpTest::PortNames(ModelOf(device)));
    Put(device, Rstp(device, true));
    Put(device, RingOn());
    Notify(device, ccRedundancyRstpGet);  // the ring is read after RSTP
    Notify(device, ccRedundancyRingGet);
    EXPECT_EQ(page->m_Mode->currentIndex(), 0);
    EXPECT_EQ(page->m_BridgePriority->value(), 4096);  // never defaults an Apply would write
    EXPECT_EQ(page->m_ListView->Rows().at(0).pathCost, 1000u);
    EXPECT_FALSE(page->m_BridgeAge->isEnabled());

    // A second-generation switch tells its ring by the chain-ring status.
    g_LayoutThreshold = 0;
    Put(device, TPropertyRedundancyRing2{});
    Notify(device, ccRedundancyRstpGet);
    Notify(device, ccRedundancyRing2Get);
    g_LayoutThreshold = threshold;
    EXPECT_EQ(page->m_Mode->currentIndex(), 1);
    EXPECT_TRUE(page->m_BridgeAge->isEnabled());
}

TEST_F(RstpPage, ApplySendsEveryPortAndRefusesBadTimersBeforeSending)
{
    TDevice* device = Select(1, TestModel(6));
    Put(device, IntpTest::PortNames(ModelOf(device), {4}));
    TPropertyRedundancyRstp record = Rstp(device, true);
    record.ports[5].p2p = 7;  // no item: shown as such and sent back
    Put(device, record);
    Put(device, TPropertyRedundancyRing2{});  // a second-generation model
    Notify(device, ccRedundancyRing2Get);
    ASSERT_EQ(page->m_ListView->RowCount(), 5);
    EXPECT_EQ(page->m_ListView->Model()->Cell(4, 0), "Port.05");  // numbered by row, not named
    EXPECT_EQ(page->m_ListView->Model()->Cell(4, 3), "Unknown (7)");

    page->m_BridgeAge->setValue(6);
    page->m_BridgeHello->setValue(3);
    page->m_Apply->click();
    EXPECT_EQ(env.messages, QStringList{"Max Age should be greater than or equal to 2*(Hello Time + 1)"});
    EXPECT_EQ(SentCount(ccRedundancyRstpSet), 0u);

    // Another switch keeps its own value of the field shown without a name.
    TDevice* other = Select(2, TestModel(6));
    Put(other, IntpTest::PortNames(ModelOf(other), {4}));
    record.ports[5].p2p = rpTrue;
    Put(other, record);
    Put(other, TPropertyRedundancyRing2{});
    page->m_BridgeHello->setValue(2);
    page->m_ListView->SetValue(0, 2, 240);
    page->m_Apply->click();
    auto sent = Sent<TSessionRedundancyRstpSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].ports[5].p2p, std::uint32_t(rpTrue));
    EXPECT_EQ(sent[1].ports[0].priority, 240u);
    ASSERT_EQ(sent[0].ports.size(), 6u);
    EXPECT_EQ(sent[0].ports[0].priority, 240u);
    EXPECT_EQ(sent[0].ports[4].pathCost, 1004u);  // the hidden port as read
    EXPECT_EQ(sent[0].ports[5].p2p, 7u);
}

// A switch that stops answering costs one reply time-out: the ring is read
// after RSTP only when RSTP answered (every chain of reads works so).
TEST_F(RstpPage, ASilentSwitchEndsTheReadAfterOneTimeOutAndAnAnswerGoesOnToTheRing)
{
    page->SetExclusive(true);
    TDevice* device = Select(1, TestModel(4));
    Put(device, Rstp(device, true));  // read before the switch went silent
    page->Refresh(true);
    ASSERT_TRUE(env.protocol.TimeOut(device, ccRedundancyRstpGet));
    EXPECT_EQ(SentCount(ccRedundancyRingGet) + SentCount(ccRedundancyRing2Get), 0u);
    EXPECT_TRUE(page->IsUnavailable());

    page->Refresh(true);
    env.protocol.Reply(ccRedundancyRstpGet, device, ReplyBytes(Rstp(device, true)));
    EXPECT_EQ(SentCount(ccRedundancyRingGet) + SentCount(ccRedundancyRing2Get), 1u);
}

using RstpInfoPage = TPageTest<TModuleRedundancyRstpInfo>;

TEST_F(RstpInfoPage, NamesStatesAndRolesWithoutIndexingPastTheirLists)
{
    TDevice* device = Select(1, TestModel(4));
    Put(device, IntpTest::PortNames(ModelOf(device), {1}));
    auto info = IntpTest::PerPort<TPropertyRedundancyRstpInfo>(
        ModelOf(device), [](size_t, TPropertyRedundancyRstpInfoPort& p) { p.state = rsForwarding; p.role = rrRoot; });
    info.enabled = true;
    info.rootBridgeId = {0x80, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x55};
    info.rootPort = RstpRootIsSelf;
    info.ports[3] = {7, 16, 9, false, true, 200, 7};
    Put(device, info);
    Notify(device, ccRedundancyRstpInfoGet);
    EXPECT_EQ(page->m_BridgeId->text(), "8000001122334455");
    EXPECT_EQ(page->m_RootPort->text(), "Root");
    ASSERT_EQ(page->m_List->RowCount(), 3);
    EXPECT_EQ(page->m_List->Row(2).caption, "Port.03");
    EXPECT_EQ(page->m_List->Model()->Cell(2, 3), "Unknown (9)");
    EXPECT_EQ(page->m_List->Model()->Cell(2, 6), "Unknown (200)");
    EXPECT_EQ(page->m_List->Model()->Cell(2, 7), "Unknown (7)");
    EXPECT_EQ(page->m_List->Model()->Cell(0, 7), "Root");
    const auto click = [&](int column) { emit page->m_List->header()->sectionClicked(column); };
    click(1);
    click(2);
    click(1);  // path cost keeps its own direction: descending now
    EXPECT_EQ(page->m_List->Row(0).port.pathCost, 7u);

    info.enabled = false;
    info.rootPort = 3;
    Put(device, info);
    Notify(device, ccRedundancyRstpInfoGet);
    EXPECT_EQ(page->m_BridgeId->text(), "N/A");
    EXPECT_EQ(page->m_List->RowCount(), 0);
}

using RingPage = TPageTest<TModuleRedundancyRing>;

TEST_F(RingPage, CaptionFromItsResourceAndTheRingShownOffWhileRstpRuns)
{
    EXPECT_EQ(page->GetCaption(), "Swale Ring");
    page->SetExclusive(true);
    TDevice* device = Select(1, TestModel(10));
    Put(device, RingOn());
    Put(device, Rstp(device, true));
    Notify(device, ccRedundancyRingGet);  // RSTP is read after the ring
    Notify(device, ccRedundancyRstpGet);
    EXPECT_FALSE(page->m_LegacyMode->isChecked());
    EXPECT_FALSE(page->m_1stPort->isEnabled());
    EXPECT_EQ(page->m_1stPort->count(), 10);

    Put(device, Rstp(device, false));
    Notify(device, ccRedundancyRstpGet);
    EXPECT_TRUE(page->m_LegacyMode->isChecked());
    EXPECT_EQ(page->m_2ndPort->currentText(), "Port.02");
}

TEST_F(RingPage, DuplicatedPortsAreRefusedAndOptionsOffSendZeros)
{
    TDevice* device = Select(1, TestModel(8));
    TPropertyRedundancyRing ring = RingOn();
    ring.couplingPort = 40;  // beyond the ports: shown and sent back as read
    ring.couplingEnabled = true;
    ring.controlPort = 2;
    Put(device, ring);
    Put(device, Rstp(device, false));
    Notify(device, ccRedundancyRstpGet);
    EXPECT_EQ(page->m_CouplingPort->currentText(), "Port.41");
    page->m_Apply->click();
    auto sent = Sent<TSessionRedundancyRingSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].couplingPort, 40u);

    page->m_2ndPort->setCurrentIndex(0);
    page->m_Apply->click();
    EXPECT_EQ(env.messages, QStringList{"Duplicated Ports!"});
    page->m_2ndPort->setCurrentIndex(1);
    page->m_ControlPort->setCurrentIndex(1);  // a ring port
    page->m_Apply->click();
    EXPECT_EQ(env.messages.size(), 2);
    EXPECT_EQ(SentCount(ccRedundancyRingSet), 1u);

    page->m_CoupleMode->setChecked(false);  // its ports are neither tested nor sent
    page->m_Apply->click();
    sent = Sent<TSessionRedundancyRingSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].controlPort + sent[1].couplingPort, 0u);
    page->m_LegacyMode->setChecked(false);
    page->m_Apply->click();
    EXPECT_EQ(EncodeRecord(Sent<TSessionRedundancyRingSet>().back()), std::vector<uint8_t>(9, 0));
}

// A port the switch on show read beyond its ports goes as read to a target
// whose own page shows it too; a target of as many ports showing another
// lacks that item and is named for it, not for its model.
TEST_F(RingPage, APortReadBeyondThePortsGoesOnlyWhereItsOwnPageShowsIt)
{
    TDevice* device = Select(1, TestModel(8));
    TDevice* same = Select(2, TestModel(8));
    TDevice* other = Select(3, TestModel(8));
    TPropertyRedundancyRing ring = RingOn();
    ring.secondPort = 41;
    Put(device, ring);
    Put(same, ring);
    Put(other, RingOn());
    PutEach([](TDevice* each) { return Rstp(each, false); });
    Notify(device, ccRedundancyRstpGet);
    ASSERT_EQ(page->m_2ndPort->currentText(), "Port.42");
    page->m_Apply->click();
    const auto sent = env.protocol.SentWith(ccRedundancyRingSet);
    ASSERT_EQ(sent.size(), 2u);
    for (const IntpTest::TSent& frame : sent)
        EXPECT_EQ(frame.payload, (std::vector<uint8_t>{1, 0, 0, 41, 0, 0, 0, 0, 0}));
    env.protocol.Reply(ccRedundancyRingSet, device);
    env.protocol.Reply(ccRedundancyRingSet, same);
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(env.messages.last().contains("44:03): not changed, its own page offers no Port.42"))
        << env.messages.last().toStdString();
}

using FastRecoveryPage = TPageTest<TModuleRedundancyFastRecovery>;

TEST_F(FastRecoveryPage, APriorityUsedTwiceIsRefusedAndTheHeaderWrapsToNotIncluded)
{
    TDevice* device = Select(1, TestModel(4));
    TPropertyRedundancyFastRecovery record;
    record.enabled = true;
    record.priorities = {3, 0, 4, 0};
    Put(device, record);
    Notify(device, ccRedundancyFastRecoveryGet);
    ASSERT_EQ(page->m_List->RowCount(), 4);
    EXPECT_EQ(page->m_List->Model()->Cell(2, 1), "Priority.04");
    EXPECT_TRUE(page->m_List->isEnabled());

    page->m_List->SetValue(3, 1, 3);
    page->m_Apply->click();
    EXPECT_EQ(env.messages, QStringList{"Duplicated priority 3"});
    EXPECT_EQ(SentCount(ccRedundancyFastRecoverySet), 0u);

    page->m_List->SetValue(0, 1, 4);
    emit page->m_List->header()->sectionClicked(1);
    page->m_Active->setChecked(false);
    EXPECT_FALSE(page->m_List->isEnabled());
    TDevice* small = Select(2, TestModel(2));  // a target of another port count is named, not skipped
    Put(small, IntpTest::PerPort<TPropertyRedundancyFastRecovery>(ModelOf(small), [](size_t, auto&) {}));
    page->m_Apply->click();
    auto sent = Sent<TSessionRedundancyFastRecoverySet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_FALSE(sent[0].enabled);
    EXPECT_EQ(sent[0].priorities, std::vector<uint32_t>(4, 0));
    env.protocol.Reply(ccRedundancyFastRecoverySet, device, {0, 0, 0, 0});
    ASSERT_TRUE(RunUntil([&] { return env.messages.size() == 2; }, std::chrono::seconds(5)));
    EXPECT_TRUE(env.messages.last().contains("not changed, its model has 2 ports, this change is for 4 ports"));
}

// A target of fewer ports is told the count the change is for; one of
// more keeps its own priorities past those shown, and one that repeats a
// priority is told the two ports that would take it.
TEST_F(FastRecoveryPage, ATargetIsToldThePortsItLacksOrTheTwoThatWouldTakeOnePriority)
{
    const auto priorities = [](TDevice* device, size_t port) {
        return IntpTest::PerPort<TPropertyRedundancyFastRecovery>(
            ModelOf(device), [port](size_t i, uint32_t& p) { p = i == port ? 3 : 0; });
    };
    TDevice* device = Select(1, TestModel(40));
    Put(device, priorities(device, 1));
    Notify(device, ccRedundancyFastRecoveryGet);
    TDevice* small = Select(2, TestModel(8));
    TDevice* large = Select(3, TestModel(48));
    Put(small, priorities(small, 0));
    Put(large, priorities(large, 44));
    page->m_Apply->click();
    env.protocol.Reply(ccRedundancyFastRecoverySet, device, {0, 0, 0, 0});
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    const QString told = env.messages.join("\n");
    EXPECT_TRUE(told.contains(TChangeReport::DeviceText(small) +
                              ": not changed, its model has 8 ports, this change is for 40 ports"))
        << told.toStdString();
    EXPECT_TRUE(told.contains(TChangeReport::DeviceText(large) +
                              ": not changed, its own port 45 takes priority 3, which this change gives port 2"));
}
