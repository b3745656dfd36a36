// Table pages and their targets: each entry goes to a switch in that
// switch's own ports, or the switch is named as not changed; the outcomes
// of Add, Edit and Delete come through the library's reply path.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "intp/SecurityTables.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/kit/PortChoice.h"
#include "pages/security/ModuleSecurity_Mac2_Filter.h"
#include "pages/security/ModuleSecurity_Mac2_Static.h"
#include "pages/security/ModuleSecurity_Port.h"
#include "pages/security/vlan/ModuleVlan_8021q.h"
#include "pages/security/vlan/ModuleVlan_PortBased.h"
#include "pages/security/vlan/ModuleVlan_Table.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Intp;
using namespace std::chrono_literals;

namespace {

template <class TPage> class TTargetTest : public TPageTest<TPage> {
protected:
    // A device of a model with those counts, its names and port configuration read.
    TDevice* Device(std::uint8_t last, std::uint32_t ports, std::uint32_t trunkGroups = 0)
    {
        TDevice* device = this->Select(last, TestModel(ports, 0, trunkGroups));
        this->Put(device, IntpTest::PortNames(ModelOf(device)));
        this->Put(device, IntpTest::PortConfig(ModelOf(device)));
        return device;
    }
    QString Status() const { return this->page->StatusLine()->text(); }
    // The targets a request of code went to.
    std::vector<TMacAddr> SentTo(std::uint16_t code) const
    {
        std::vector<TMacAddr> macs;
        for (const IntpTest::TSent& frame : this->env.protocol.SentWith(code))
            macs.push_back(frame.mac);
        return macs;
    }
    // The message told once the click's outcomes are in.
    bool Told(const QString& part)
    {
        return RunUntil([&] { return this->env.messages.join('\n').contains(part); }, 2000ms);
    }
};

using PortBased = TTargetTest<TModuleVlanPortBased>;
using StaticMacTargets = TTargetTest<TModuleSecurityMac2Static>;
using PortSecurity = TTargetTest<TModuleSecurityPort>;

const char* const Mac1 = "001122334455";

TEST_F(StaticMacTargets, ATrunkGroupGoesToTheSameGroupOrTheSwitchIsNamed)
{
    TDevice* device = Device(1, 24, 8);
    TDevice* other = Device(2, 16, 8);
    TDevice* small = Device(3, 6, 3);
    for (TDevice* target : {device, other, small})
        Put(target, IntpTest::Table<TPropertySecurityMac2Static>({}));
    Notify(device, ccSecurityMac2StaticGet);
    page->m_Port->setCurrentIndex(31);
    ASSERT_EQ(page->m_Port->currentText(), "Trunk8");
    page->m_Mac->setText(Mac1);
    page->m_Add->click();
    EXPECT_EQ(SentTo(ccSecurityMac2StaticAdd), (std::vector<TMacAddr>{device->GetMac(), other->GetMac()}));
    const auto sent = Sent<TSessionSecurityMac2StaticAdd>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].port, 31u);
    EXPECT_EQ(sent[1].port, 23u);  // trunk group 8 of a 16-port model
    env.protocol.Reply(ccSecurityMac2StaticAdd, device);
    env.protocol.Reply(ccSecurityMac2StaticAdd, other);
    EXPECT_TRUE(Told(TChangeReport::DeviceText(small) +
                     ": not changed, its model has 6 ports and 3 trunk groups, this entry is for trunk group 8"));
    EXPECT_EQ(Status(), "Changed on 2 of 3 switches.");
}

TEST_F(PortSecurity, AnAddForAPortASmallerModelLacksNamesItsCounts)
{
    TDevice* device = Device(1, 8);
    TDevice* small = Device(2, 4);
    for (TDevice* target : {device, small})
        Put(target, IntpTest::Table<TPropertySecurityPort>({}));
    Notify(device, ccSecurityPortGet);
    ChoosePort(page->m_Port, 7);
    page->m_MAC->setText(Mac1);
    page->m_Add->click();
    EXPECT_EQ(SentTo(ccSecurityPortAdd), std::vector<TMacAddr>{device->GetMac()});
    env.protocol.Reply(ccSecurityPortAdd, device);
    EXPECT_TRUE(Told(TChangeReport::DeviceText(small) +
                     ": not changed, its model has 4 ports and 0 trunk groups, this entry is for port 8"));
    // Delete goes to a switch that holds the entry of that port and address.
    Put(device, IntpTest::Table<TPropertySecurityPort>({{7, TMacAddr(0, 0x11, 0x22, 0x33, 0x44, 0x55)}}));
    Notify(device, ccSecurityPortGet);
    page->m_List->SelectRow(0);
    page->m_Delete->click();
    EXPECT_EQ(SentTo(ccSecurityPortDel), std::vector<TMacAddr>{device->GetMac()});
}

TEST_F(PortBased, MembersGoAsTheSamePortsOrTheSwitchIsNamed)
{
    TDevice* device = Device(1, 16);
    TDevice* other = Device(2, 16);
    TDevice* small = Device(3, 5);
    PutEach(TPropertyVlan{true, vmPortBased});
    for (TDevice* target : {device, other, small})
        Put(target, IntpTest::Table<TPropertyVlanPort>({}));
    Notify(device, ccVlanPortGet);
    page->m_GroupName->setText("Top");
    page->m_Vid->setValue(3);
    page->m_Ports->SetMask(0b111u << 13);
    page->m_Add->click();
    EXPECT_EQ(SentTo(ccVlanPortAdd), (std::vector<TMacAddr>{device->GetMac(), other->GetMac()}));
    env.protocol.Reply(ccVlanPortAdd, device);
    env.protocol.Reply(ccVlanPortAdd, other);
    EXPECT_TRUE(Told(TChangeReport::DeviceText(small) +
                     ": not changed, its model has 5 ports and 0 trunk groups, this entry is for port 14"));
}

TEST_F(PortBased, ARefusedAddIsToldAndTheNextChangeIsReportedToo)
{
    TDevice* device = Device(1, 8);
    Put(device, TPropertyVlan{true, vmPortBased});
    Put(device, IntpTest::Table<TPropertyVlanPort>({{7, 0b11, "Seven"}}));
    Notify(device, ccVlanPortGet);
    page->m_GroupName->setText("Two");
    page->m_Vid->setValue(2);
    page->m_Ports->SetMask(0b100);
    page->m_Add->click();
    ASSERT_EQ(SentCount(ccVlanPortAdd), 1u);
    // The switch refuses; the library tells it under the table's read code.
    env.protocol.Reply(ccVlanPortAdd, device, {0, 0, 0, 0}, 5);
    EXPECT_TRUE(Told("the switch refused (code 5)"));
    EXPECT_FALSE(page->IsUnavailable());
    EXPECT_TRUE(page->m_GroupName->isEnabled());

    // The library reads the table again: VLAN 7, ports 1 and 2, "Seven".
    std::vector<std::uint8_t> table{0, 0, 0, 0, 0, 7, 0, 0, 0, 3, 'S', 'e', 'v', 'e', 'n'};
    table.resize(4 + 22);
    env.protocol.Reply(ccVlanPortGet, device, table);
    env.messages.clear();
    ASSERT_EQ(page->m_List->RowCount(), 1);
    page->m_List->SelectRow(0);
    page->m_Delete->click();
    env.protocol.Reply(ccVlanPortDel, device);
    EXPECT_TRUE(RunUntil([&] { return Status() == "Changed."; }, 2000ms));
    EXPECT_TRUE(env.messages.isEmpty());
}


using MacFilterTargets = TTargetTest<TModuleSecurityMac2Filter>;

TEST_F(MacFilterTargets, AnEntryWhoseVlanTheBoxCantShowIsRemovedAsRead)
{
    TDevice* device = Device(1, 8);
    Put(device, IntpTest::Table<TPropertySecurityMac2Filter>({{5000, TMacAddr(0, 0x11, 0x22, 0x33, 0x44, 0x55)}}));
    Notify(device, ccSecurityMac2FilterGet);
    page->m_ListView->SelectRow(0);
    ASSERT_TRUE(page->m_Remove->isEnabled());
    page->m_Remove->click();
    const auto removed = Sent<TSessionSecurityMac2FilterDel>();
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].vlanId, 5000u);
    // An edited VLAN is the one typed.
    page->m_VlanId->setValue(7);
    EXPECT_FALSE(page->m_Remove->isEnabled());
}

using VlanTable = TTargetTest<TModuleVlanTable>;

TEST_F(VlanTable, MemberBitsNamePositionsOfThePortConfiguration)
{
    TDevice* device = Device(1, 4);
    auto config = IntpTest::PortConfig(ModelOf(device));
    std::swap(config.entries[0].port, config.entries[1].port);
    Put(device, config);
    Put(device, TPropertyVlan{true, vm8021q});
    Put(device, IntpTest::Table<TPropertyVlan8021qPort>({{2, 0b0001, 0b1010}}));
    page->resize(1024, 768);
    page->show();
    Notify(device, ccVlan8021qPortGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    EXPECT_EQ(page->m_List->Model()->Cell(0, 2), "Port.02");
    EXPECT_EQ(page->m_List->Model()->Cell(0, 3), "Port.01, Port.04");
    // Every column is on screen.
    QHeaderView* header = page->m_List->header();
    EXPECT_TRUE(RunUntil([&] { return header->sectionViewportPosition(3) + 40 < page->m_List->viewport()->width(); },
                         2000ms));

    // Not enabled: told on every refill.
    Put(device, TPropertyVlan{true, vmDisabled});
    Refill();
    Refill();
    EXPECT_TRUE(RunUntil([&] { return env.messages.size() == 2; }, 2000ms));
    EXPECT_EQ(env.messages, QStringList({"VLAN Not Enabled!", "VLAN Not Enabled!"}));
}

using Vlan8021q = TTargetTest<TModuleVlan8021q>;

TEST_F(Vlan8021q, AManagementVlanReadOutsideTheRangeShowsAndGoesBackAsRead)
{
    TDevice* device = Device(1, 4);
    Put(device, TPropertyVlan{true, vm8021q});
    Put(device, TPropertyVlan8021q{true, true, 4095});
    Notify(device, ccVlan8021qGet);
    EXPECT_EQ(page->m_Vid->value(), 4095);
    page->m_Apply->click();
    ASSERT_EQ(Sent<TSessionVlan8021qSet>().size(), 1u);
    EXPECT_EQ(Sent<TSessionVlan8021qSet>()[0].managementVid, 4095u);
}

}  // namespace
