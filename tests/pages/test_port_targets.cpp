// Per-port changes sent to switches of other models: each goes to the
// target's own port or trunk group of its number, or the target is named as
// not changed; the outcome is told.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "intp/Redundancy.h"
#include "intp/Vlan.h"
#include "pages/ports/ModulePort_Config.h"
#include "pages/ports/Moduleredundancy_ring.h"
#include "pages/security/vlan/ModuleVlan_8021qPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

using namespace Intp;

namespace {

// The typed entries of the frames of T's code sent to device.
template <class T> auto EntriesTo(const IntpTest::TFakeHost& protocol, const TDevice* device)
{
    std::vector<decltype(IntpTest::SentEntries<T>(IntpTest::TSent{}))> sets;
    for (const IntpTest::TSent& frame : protocol.SentWith(T::CommandCode)) {
        if (frame.mac == device->GetMac())
            sets.push_back(IntpTest::SentEntries<T>(frame));
    }
    return sets;
}

bool Told(const QStringList& messages, const QString& text)
{
    return RunUntil([&] { return !messages.isEmpty() && messages.last().contains(text); }, std::chrono::seconds(5));
}

}  // namespace

using PortConfigTargets = TPageTest<TModulePortConfig>;

TEST_F(PortConfigTargets, ATrunkGroupGoesToTheTargetsTrunkGroupOfItsNumberOrTheTargetIsNamed)
{
    TDevice* device = Select(1, TestModel(5, 0, 2));
    TDevice* larger = Select(2, TestModel(24, 0, 8));
    Select(3, TestModel(2, 0, 1));
    Put(device, IntpTest::PortNames(ModelOf(device)));
    Put(device, IntpTest::PortConfig(ModelOf(device)));
    Notify(device, ccPortConfigGet);
    ASSERT_EQ(page->m_ListView->Model()->Cell(5, 0), "Trunk1");
    page->m_ListView->SelectRow(5);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(0);
    page->m_Apply->click();

    const auto own = EntriesTo<TSessionPortConfigSet>(env.protocol, device);
    const auto other = EntriesTo<TSessionPortConfigSet>(env.protocol, larger);
    ASSERT_EQ(own.size(), 1u);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(own[0][5].port, 5u);
    EXPECT_FALSE(own[0][5].enabled);
    EXPECT_EQ(other[0][5].port, 24u);  // Trunk1, not Port.06
    EXPECT_FALSE(other[0][5].enabled);
    EXPECT_EQ(other[0][6].port, 25u);
    EXPECT_EQ(SentCount(ccPortConfigSet), 2u);
    env.protocol.Reply(ccPortConfigSet, device);
    env.protocol.Reply(ccPortConfigSet, larger);
    EXPECT_TRUE(Told(env.messages, "00:11:22:33:44:03): not changed, its model has 2 ports, this change is for port 3"));
}

class Vlan8021qPortTargets : public TPageTest<TModuleVlan8021qPort> {};

TEST_F(Vlan8021qPortTargets, EachTargetGetsItsOwnPortsAndARefusalIsTold)
{
    TDevice* device = Select(1, TestModel(4, 0, 1));
    TDevice* larger = Select(2, TestModel(6, 0, 1));
    Select(3, TestModel(2, 0, 1));
    Put(device, IntpTest::PortNames(ModelOf(device)));
    Put(device, IntpTest::PortConfig(ModelOf(device)));
    Put(device, TPropertyVlan{true, vm8021q});
    Put(device, TPropertyVlan8021qPort{true, 0, {{1, 0b11111, 0}}});
    Notify(device, ccVlan8021qPortGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 5);
    page->m_Apply->click();

    const auto frames = env.protocol.SentWith(ccVlan8021qPortSet);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].mac, larger->GetMac());
    // Port 1 as on the current switch; the trunk group (index 4 there) is index 6 here.
    EXPECT_EQ(std::vector<std::uint8_t>(frames[1].payload.begin(), frames[1].payload.begin() + 6),
              (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(frames[1].payload.end() - 6, frames[1].payload.end()),
              (std::vector<std::uint8_t>{6, 0, 0, 1, 0, 0}));
    env.protocol.Reply(ccVlan8021qPortSet, device, {0, 0, 0, 0}, 5);
    env.protocol.Reply(ccVlan8021qPortSet, larger, {0, 0, 0, 0});
    EXPECT_TRUE(Told(env.messages, "00:11:22:33:44:03): not changed, its model has 2 ports, this change is for port 3"));
    EXPECT_TRUE(env.messages.last().contains("10.0.0.1 (00:11:22:33:44:01): refused"));
}

using RingTargets = TPageTest<TModuleRedundancyRing>;

TEST_F(RingTargets, ATargetWithoutARingPortIsNamed)
{
    TDevice* device = Select(1, TestModel(8));
    TDevice* larger = Select(2, TestModel(10));
    Select(3, TestModel(4));
    TPropertyRedundancyRing ring;
    ring.ringEnabled = true;
    ring.secondPort = 6;
    Put(device, ring);
    Notify(device, ccRedundancyRstpGet);
    page->m_Apply->click();
    const auto sent = env.protocol.SentWith(ccRedundancyRingSet);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].mac, larger->GetMac());
    EXPECT_EQ(sent[1].payload[3], 6);
    env.protocol.Reply(ccRedundancyRingSet, device);
    env.protocol.Reply(ccRedundancyRingSet, larger);
    EXPECT_TRUE(Told(env.messages, "00:11:22:33:44:03): not changed, its model has 4 ports, this change is for port 7"));
}

// A ring turned on while RSTP runs: the switch turns RSTP off, and the page
// judges the two on records read after the change.
TEST_F(RingTargets, ARingTurnedOnShowsOnOnceRstpIsReadAgain)
{
    page->SetExclusive(true);
    TDevice* device = Select(1, TestModel(4));
    auto rstp = IntpTest::PerPort<TPropertyRedundancyRstp>(ModelOf(device), [](size_t, auto&) {});
    rstp.enabled = true;
    Put(device, rstp);
    Put(device, TPropertyRedundancyRing{});
    Notify(device, ccRedundancyRstpGet);
    page->m_LegacyMode->setChecked(true);
    page->m_2ndPort->setCurrentIndex(1);
    page->m_Apply->click();

    TPropertyRedundancyRing on;
    on.ringEnabled = true;
    on.secondPort = 1;
    rstp.enabled = false;
    env.protocol.Reply(ccRedundancyRingSet, device);  // the library reads the ring again
    env.protocol.Reply(ccRedundancyRingGet, device, ReplyBytes(on));
    ASSERT_EQ(SentCount(ccRedundancyRstpGet), 1u);  // and the page RSTP after it
    env.protocol.Reply(ccRedundancyRstpGet, device, ReplyBytes(rstp));
    EXPECT_TRUE(page->m_LegacyMode->isChecked());
    EXPECT_EQ(page->m_2ndPort->currentIndex(), 1);
}
