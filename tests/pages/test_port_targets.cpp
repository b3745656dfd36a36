// Per-port changes sent to switches of other models: each goes to the
// target's own port or trunk group of its number, or the target is named.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Redundancy.h"
#include "intp/Vlan.h"
#include "pages/ports/ModulePort_Config.h"
#include "pages/ports/Moduleredundancy_ring.h"
#include "pages/security/vlan/ModuleVlan_8021qPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

using namespace Intp;

// The current switch, one with more ports and one of 2 ports, each with its
// names and port configuration read; whether the third is named once the
// others answered.
template <class TPage> class TTargets : public TPageTest<TPage> {
protected:
    TDevice* Three(std::uint32_t ports, std::uint32_t larger, std::uint32_t groups = 1)
    {
        for (std::uint32_t n : {ports, larger, 2u})
            this->Select(std::uint8_t(this->env.host.selection.size() + 1), TestModel(n, 0, groups));
        this->PutPortNamesEach();
        this->PutEach([](TDevice* each) { return IntpTest::PortConfig(ModelOf(each)); });
        return this->env.host.selection[0];
    }
    bool ThirdNamed(std::uint16_t code, std::uint16_t firstStatus = 0)
    {
        IntpTest::TFakeHost::Reply(code, this->env.host.selection[0], {0, 0, 0, 0}, firstStatus);
        IntpTest::TFakeHost::Reply(code, this->env.host.selection[1]);
        const QString named = "44:03): not changed, its model has 2 ports, this change is for port 3";
        return RunUntil([&] { return this->env.messages.join("").contains(named); }, std::chrono::seconds(5));
    }
};

using PortConfigTargets = TTargets<TModulePortConfig>;

TEST_F(PortConfigTargets, ATrunkGroupGoesToTheTargetsTrunkGroupOfItsNumber)
{
    Notify(Three(5, 24, 2), ccPortConfigGet);
    page->m_ListView->SelectRow(5);  // Trunk1
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(0);
    page->m_Apply->click();
    const auto sent = env.protocol.SentWith(ccPortConfigSet);
    ASSERT_EQ(sent.size(), 2u);
    ASSERT_EQ(sent[1].payload.size(), 4u + 26 * 5);
    // Port.06 as the target holds it, then Trunk1 and Trunk2.
    EXPECT_EQ(std::vector<std::uint8_t>(sent[1].payload.begin() + 29, sent[1].payload.begin() + 31),
              (std::vector<std::uint8_t>{5, 1}));
    EXPECT_EQ(std::vector<std::uint8_t>(sent[1].payload.end() - 10, sent[1].payload.end()),
              (std::vector<std::uint8_t>{24, 0, 0, 0, 0, 25, 1, 0, 0, 0}));
    EXPECT_TRUE(ThirdNamed(ccPortConfigSet));
}

using Vlan8021qPortTargets = TTargets<TModuleVlan8021qPort>;

TEST_F(Vlan8021qPortTargets, ATargetWithoutAPortIsNamedAndARefusalIsTold)
{
    TDevice* device = Three(4, 6);
    PutEach(TPropertyVlan{true, vm8021q});
    PutEach(TPropertyVlan8021qPort{true, 0, {{1, 0b11111, 0}}});
    Notify(device, ccVlan8021qPortGet);
    page->m_Apply->click();
    EXPECT_TRUE(ThirdNamed(ccVlan8021qPortSet, 5));
    EXPECT_TRUE(env.messages.last().contains("10.0.0.1 (00:11:22:33:44:01): the switch refused"));
}

using RingTargets = TTargets<TModuleRedundancyRing>;

// The switch answers a ring turned on by turning RSTP off: the page judges
// the two on records read after the change.
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
    rstp.enabled = false;
    env.protocol.Reply(ccRedundancyRingSet, device);
    env.protocol.Reply(ccRedundancyRingGet, device, {1, 0, 0, 1, 0, 0, 0, 0, 0});
    env.protocol.Reply(ccRedundancyRstpGet, device, ReplyBytes(rstp));
    EXPECT_TRUE(page->m_LegacyMode->isChecked());
}
