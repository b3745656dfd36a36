// The VLAN pages: the mode gate, what they show from the cache and what
// they send.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "pages/kit/NumberBox.h"
#include "tests/common/Records.h"
#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/PortCheckList.h"
#include "pages/security/vlan/ModuleVlan.h"
#include "pages/security/vlan/ModuleVlan_8021q.h"
#include "pages/security/vlan/ModuleVlan_8021qPort.h"
#include "pages/security/vlan/ModuleVlan_PortBased.h"
#include "pages/security/vlan/ModuleVlan_Table.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Intp;

namespace {

// Replaces the field's text as typing does.
void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

}  // namespace

template <class TPage> class TVlanPageTest : public TPageTest<TPage> {
protected:
    // The current device, of a model with that many ports, in the mode, with its port names.
    TDevice* InMode(std::uint32_t mode, std::uint32_t ports = 4, std::initializer_list<std::size_t> hidden = {},
                    std::uint32_t trunkGroups = 0)
    {
        TDevice* device = this->Select(1, TestModel(ports, 0, trunkGroups, 4));
        this->Put(device, IntpTest::PortNames(IntpTest::ModelOf(device), hidden));
        this->Put(device, IntpTest::PortConfig(IntpTest::ModelOf(device)));
        this->Put(device, TPropertyVlan{true, mode});
        return device;
    }
};

using VlanModePage = TVlanPageTest<TModuleVlan>;

TEST_F(VlanModePage, ApplySendsTheChosenModeToEveryTarget)
{
    TDevice* device = InMode(vm8021q);
    Put(Select(2, TestModel(4)), TPropertyVlan{true, vmPortBased});
    Notify(device, ccVlanGet);
    EXPECT_EQ(page->m_Mode->currentIndex(), 2);
    page->m_Mode->setCurrentIndex(0);
    page->m_Apply->click();
    auto sent = Sent<TSessionVlanSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].mode, 0u);
}

using Vlan8021qPage = TVlanPageTest<TModuleVlan8021q>;

TEST_F(Vlan8021qPage, UsableUnlessTheSwitchRunsAnotherMode)
{
    TDevice* device = Select(1, TestModel(4));
    Put(device, TPropertyVlan8021q{true, true, 100});
    Notify(device, ccVlan8021qGet);  // mode not read: usable
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Vid->value(), 100);
    page->m_Gvrp->setCurrentIndex(0);
    page->m_Apply->click();
    auto sent = Sent<TSessionVlan8021qSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_FALSE(sent[0].gvrp);
    EXPECT_EQ(sent[0].managementVid, 100u);

    for (const std::uint32_t mode : {vmPortBased, vmDisabled}) {
        Put(device, TPropertyVlan{true, mode});
        Refill();
        EXPECT_FALSE(page->m_Apply->isEnabled() || page->m_Vid->isEnabled()) << mode;
        EXPECT_EQ(page->m_Vid->value(), 0);
    }
}

// A management VLAN read outside the field's range is no value the page
// shows: Apply sends each switch its own, until the field is edited.
TEST_F(Vlan8021qPage, AVidReadOutOfRangeLeavesEachSwitchItsOwnUntilEdited)
{
    TDevice* device = Select(1, TestModel(4));
    TDevice* other = Select(2, TestModel(4));
    Put(device, TPropertyVlan8021q{true, true, 5000});
    Put(other, TPropertyVlan8021q{true, false, 7});
    Notify(device, ccVlan8021qGet);
    EXPECT_EQ(page->m_Vid->text(), "5000");
    ASSERT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    // GVRP flag, management VLAN (big-endian u16).
    auto frames = env.protocol.SentWith(ccVlan8021qSet);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{1, 0x13, 0x88}));
    EXPECT_EQ(frames[1].payload, (std::vector<std::uint8_t>{1, 0x00, 0x07}));

    page->m_Vid->selectAll();
    QTest::keyClicks(page->m_Vid, "4095");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Vid->selectAll();
    QTest::keyClicks(page->m_Vid, "300");
    page->m_Apply->click();
    frames = env.protocol.SentWith(ccVlan8021qSet);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2].payload, (std::vector<std::uint8_t>{1, 0x01, 0x2C}));
    EXPECT_EQ(frames[3].payload, frames[2].payload);
}

using Vlan8021qPortPage = TVlanPageTest<TModuleVlan8021qPort>;

TEST_F(Vlan8021qPortPage, RowsOnlyIn8021qModeForListedPortsBelow32)
{
    TDevice* device = InMode(vmPortBased, 40, {1});
    TPropertyVlan8021qPort table;
    table.hybridPorts = 1u << 2;
    table.entries = {{1, 0xFFFFFFFF, 0}, {10, 0, 0b1100}};
    Put(device, table);
    Notify(device, ccVlan8021qPortGet);
    EXPECT_EQ(page->m_ListView->RowCount(), 0);
    EXPECT_FALSE(page->m_ListView->isEnabled() || page->m_Apply->isEnabled());

    Put(device, TPropertyVlan{true, vm8021q});
    Notify(device, ccVlan8021qPortGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 31);  // hidden port 1 and ports 32 to 39 left out
    const auto rows = page->m_ListView->Rows();
    EXPECT_EQ(page->m_ListView->Model()->Cell(1, 0), "Port.03");
    EXPECT_EQ(rows[1].type, vlHybrid);
    EXPECT_EQ(rows[1].tagged, "10");
    EXPECT_EQ(rows[2].type, vl8021q);
    EXPECT_EQ(rows[0].type, vlAccess);
    EXPECT_TRUE(page->m_Apply->isEnabled());
}

TEST_F(Vlan8021qPortPage, ApplyIsBlockedWhileATrunkPortHasNoTaggedVlanAfterAnyTypeChange)
{
    TDevice* device = InMode(vm8021q, 2);
    Put(device, TPropertyVlan8021qPort{true, 0, {{1, 0b11, 0}}});
    Notify(device, ccVlan8021qPortGet);
    auto* type = static_cast<QComboBox*>(page->m_ListView->EditorOf(1));
    auto* untagged = static_cast<TNumberBox*>(page->m_ListView->EditorOf(2));
    auto* tagged = static_cast<QLineEdit*>(page->m_ListView->EditorOf(3));
    page->m_ListView->SelectRow(0);
    untagged->setValue(7);
    type->setCurrentIndex(vl8021q);
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_ListView->Rows()[0].untagged, 1);  // 802.1Q ports send untagged VLAN 1
    EXPECT_FALSE(untagged->isEnabled());
    Type(tagged, "5, 6");
    EXPECT_TRUE(page->m_Apply->isEnabled());

    emit page->m_ListView->header()->sectionClicked(1);  // every row becomes Hybrid: row 1 has no tagged VLAN
    EXPECT_FALSE(page->m_Apply->isEnabled());
    emit page->m_ListView->header()->sectionClicked(1);  // Access everywhere: tagged texts emptied
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_ListView->Rows()[0].tagged, "");
}

TEST_F(Vlan8021qPortPage, ApplySendsEveryPortsWordsOrTellsAWrongTaggedText)
{
    TDevice* device = InMode(vm8021q, 2);
    // Another switch is sent its own page's rows: the shown ones, as it read them there.
    TDevice* other = Select(2, TestModel(2));
    Put(other, TPropertyVlan{true, vm8021q});
    Put(other, IntpTest::PortNames(IntpTest::ModelOf(other)));
    Put(other, IntpTest::PortConfig(IntpTest::ModelOf(other)));
    Put(other, TPropertyVlan8021qPort{true, 0, {{2, 0b11, 0}}});
    Put(device, TPropertyVlan8021qPort{true, 0, {{1, 0b01, 0b10}, {3, 0b10, 0}}});
    Notify(device, ccVlan8021qPortGet);
    page->m_Apply->click();
    const auto frames = env.protocol.SentWith(ccVlan8021qPortSet);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 0, 1, 1, 0, 3, 0, 1, 0, 0}));
    EXPECT_EQ(frames[1].payload, frames[0].payload);

    page->m_ListView->SelectRow(1);
    Type(static_cast<QLineEdit*>(page->m_ListView->EditorOf(3)), "1,4095");
    page->m_Apply->click();
    EXPECT_EQ(env.messages, QStringList{"Wrong tagged VIDs format!"});
    EXPECT_EQ(SentCount(ccVlan8021qPortSet), 2u);
}

// An untagged VLAN read outside 1 to 4094 goes back to the switch on show
// alone; every other switch keeps its own on that port. An edit goes to all.
TEST_F(Vlan8021qPortPage, AnUntaggedVidReadOutOfRangeStaysEachSwitchsOwn)
{
    TDevice* device = InMode(vm8021q, 2);
    TDevice* other = Select(2, TestModel(2));
    Put(other, TPropertyVlan{true, vm8021q});
    Put(other, IntpTest::PortNames(IntpTest::ModelOf(other)));
    Put(other, IntpTest::PortConfig(IntpTest::ModelOf(other)));
    Put(other, TPropertyVlan8021qPort{true, 0, {{7, 0b01, 0}, {8, 0b10, 0}}});
    Put(device, TPropertyVlan8021qPort{true, 0, {{5000, 0b01, 0}, {3, 0b10, 0}}});
    Notify(device, ccVlan8021qPortGet);
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 2), "5000");
    page->m_Apply->click();
    // Per port: port << 8 | link type, untagged VID, 0.
    auto frames = env.protocol.SentWith(ccVlan8021qPortSet);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{0, 0, 0x13, 0x88, 0, 0, 1, 0, 0, 3, 0, 0}));
    EXPECT_EQ(frames[1].payload, (std::vector<std::uint8_t>{0, 0, 0, 7, 0, 0, 1, 0, 0, 3, 0, 0}));

    page->m_ListView->SelectRow(0);
    auto* untagged = static_cast<TNumberBox*>(page->m_ListView->EditorOf(2));
    untagged->selectAll();
    QTest::keyClicks(untagged, "9");
    page->m_Apply->click();
    frames = env.protocol.SentWith(ccVlan8021qPortSet);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2].payload, (std::vector<std::uint8_t>{0, 0, 0, 9, 0, 0, 1, 0, 0, 3, 0, 0}));
    EXPECT_EQ(frames[3].payload, frames[2].payload);
}

// Apply sends the listed rows only, whatever ports are hidden; a switch of
// more ports than a mask holds is sent the rows its own page lists.
TEST_F(Vlan8021qPortPage, ApplySendsTheListedRowsOnly)
{
    TDevice* device = InMode(vm8021q, 4, {0});
    Put(device, TPropertyVlan8021qPort{true, 0, {{1, 0b0110, 0}, {5, 0b1000, 0b0100}}});
    Notify(device, ccVlan8021qPortGet);
    page->m_Apply->click();
    Put(device, IntpTest::PortNames(IntpTest::ModelOf(device), {0, 2}));
    Notify(device, ccVlan8021qPortGet);
    TDevice* large = Select(2, TestModel(40));
    Put(large, TPropertyVlan{true, vm8021q});
    Put(large, IntpTest::PortNames(IntpTest::ModelOf(large)));
    Put(large, IntpTest::PortConfig(IntpTest::ModelOf(large)));
    Put(large, TPropertyVlan8021qPort{true, 0, {}});
    page->m_Apply->click();
    // Words: port << 8 | link type, untagged VID, tagged VIDs, 0.
    const auto frames = env.protocol.SentWith(ccVlan8021qPortSet);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{1, 0, 0, 1, 0, 0, 2, 1, 0, 1, 0, 5, 0, 0, 3, 0, 0, 5, 0, 0}));
    EXPECT_EQ(frames[1].payload, (std::vector<std::uint8_t>{1, 0, 0, 1, 0, 0, 3, 0, 0, 5, 0, 0}));
    ASSERT_EQ(frames[2].payload.size(), 32u * 6);  // ports 1 to 32, each Access
    EXPECT_EQ(frames[2].payload[18 + 3], 5);       // port 4's untagged VLAN as shown
}

// A trunk group the target's own page does not list is named by its own
// number, not by its index after the ports.
TEST_F(Vlan8021qPortPage, ATrunkGroupATargetsPageDoesNotListIsNamedAsATrunkGroup)
{
    TDevice* device = InMode(vm8021q, 8, {}, 2);
    Put(device, TPropertyVlan8021qPort{true, 0, {}});
    Notify(device, ccVlan8021qPortGet);
    TDevice* large = Select(2, TestModel(40, 0, 2));
    Put(large, TPropertyVlan{true, vm8021q});
    Put(large, IntpTest::PortNames(IntpTest::ModelOf(large)));
    Put(large, IntpTest::PortConfig(IntpTest::ModelOf(large)));
    Put(large, TPropertyVlan8021qPort{true, 0, {}});
    page->m_Apply->click();
    env.protocol.Reply(ccVlan8021qPortSet, device);
    EXPECT_TRUE(RunUntil([&] {
        return env.messages.join("").contains(": not changed, its own page lists no trunk group 1");
    }, std::chrono::seconds(5))) << env.messages.join("\n").toStdString();
}

using VlanTablePage = TVlanPageTest<TModuleVlanTable>;

TEST_F(VlanTablePage, TheModeChoosesTheTableAndNamesTheMemberPorts)
{
    TDevice* device = InMode(vmPortBased, 4, {1});
    page->OnNotify(device, ccVlanGet, ssOk);
    EXPECT_EQ(SentCount(ccVlanPortGet), 1u);
    Put(device, TPropertyVlanPort{true, {{7, 0b1111, "Seven"}}});
    Notify(device, ccVlanPortGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    EXPECT_EQ(page->m_List->Model()->Cell(0, 2), "Port.01, Port.03, Port.04");

    Put(device, TPropertyVlan{true, vm8021q});
    page->OnNotify(device, ccVlanGet, ssOk);
    EXPECT_EQ(SentCount(ccVlan8021qPortGet), 1u);
    Put(device, TPropertyVlan{true, vmDisabled});
    Refill();
    EXPECT_EQ(page->m_List->RowCount(), 0);
    QCoreApplication::processEvents();  // the message waits for the refill's end
    EXPECT_EQ(env.messages, QStringList{"VLAN Not Enabled!"});
    Refill();  // a mere selection says it again
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages.size(), 2);
    EXPECT_EQ(page->Refresh(false), 0);
}

// Port names refused or never answered: the VLANs are listed, port texts empty.
TEST_F(VlanTablePage, WithoutPortNamesTheVlansAreListedWithEmptyPortTexts)
{
    for (const bool refused : {true, false}) {
        env.host.selection.clear();
        TDevice* device = Select(refused ? 1 : 2, TestModel(4));
        Put(device, IntpTest::PortConfig(IntpTest::ModelOf(device)));
        page->Refresh(true);
        if (refused)
            env.protocol.Reply(ccPortNameGet, device, {0, 0, 0, 0}, 5);
        else
            ASSERT_TRUE(env.protocol.TimeOut(device, ccPortNameGet));
        env.protocol.Reply(ccVlanGet, device, {2, 0, 0, 0});  // 802.1Q
        // VLAN 1 untagged on ports 1-4; VLAN 4094 untagged on 1-2, tagged on 3.
        env.protocol.Reply(ccVlan8021qPortGet, device, {0xEE, 0xEE, 0xEE, 0xEE, 0, 1, 0, 0, 0, 0x0F, 0, 0, 0, 0,
                                                        0x0F, 0xFE, 0, 0, 0, 3, 0, 0, 0, 4});
        EXPECT_FALSE(page->IsUnavailable());
        ASSERT_EQ(page->m_List->RowCount(), 2);
        EXPECT_EQ(page->m_List->Model()->Cell(1, 1), "4094");
        for (int column : {2, 3})
            EXPECT_EQ(page->m_List->Model()->Cell(0, column) + page->m_List->Model()->Cell(1, column), "");
    }
}

using VlanPortBasedPage = TVlanPageTest<TModuleVlanPortBased>;

TEST_F(VlanPortBasedPage, AListedVlanIdOffersEditAndDeleteAndDeleteSendsTheIdAlone)
{
    TDevice* device = InMode(vmPortBased, 4, {1});
    Put(device, TPropertyVlanPort{true, {{7, 0b1001, "Seven"}}});
    Notify(device, ccVlanPortGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    EXPECT_EQ(page->m_List->Model()->Cell(0, 3), "Port.01, Port.04");
    page->m_List->SelectRow(0);
    EXPECT_EQ(page->m_GroupName->text(), "Seven");
    EXPECT_FALSE(page->m_Add->isEnabled());
    EXPECT_TRUE(page->m_Edit->isEnabled() && page->m_Delete->isEnabled());
    page->m_GroupName->setText("A name longer than sixteen");
    page->m_Edit->click();
    page->m_GroupName->clear();
    EXPECT_FALSE(page->m_Edit->isEnabled());
    page->m_Delete->click();
    page->m_Vid->setValue(8);
    EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Delete->isEnabled());

    const auto edited = Sent<TSessionVlanPortEdit>();
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0].name, "A name longer th");
    EXPECT_EQ(edited[0].ports, 0b1001u);
    EXPECT_EQ(env.protocol.SentWith(ccVlanPortDel).at(0).payload, (std::vector<std::uint8_t>{0, 7}));

    Put(device, TPropertyVlan{true, vm8021q});
    Refill();
    EXPECT_FALSE(page->m_List->isEnabled() || page->m_GroupName->isEnabled());

}

// Port names known but no group list in port-based mode after a failed read:
// said, not shown as empty; before any answer nothing is said.
TEST_F(VlanPortBasedPage, ANotValidGroupListIsSaidAfterAFailedRead)
{
    TDevice* device = InMode(vmPortBased);
    Refill();
    QCoreApplication::processEvents();
    EXPECT_TRUE(env.messages.isEmpty());
    NotifyRead(page.get(), device, ccVlanPortGet, ssTimeout);
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages, QStringList{"Retrieve vlan port info failed!"});
}

// At 1024x768 with 24 named ports the member lines are whole.
TEST_F(VlanPortBasedPage, EveryMemberLineIsAsWideAsItsName)
{
    TDevice* device = InMode(vmPortBased, 24, {}, 2);
    Put(device, TPropertyVlanPort{true, {{7, 0xFFFFFF, "Seven"}}});
    page->resize(1024, 768), page->show(), Notify(device, ccVlanPortGet), QCoreApplication::processEvents();
    for (int line = 0; line < page->m_Ports->count(); ++line) {
        const QModelIndex index = page->m_Ports->model()->index(line, 0);
        EXPECT_GE(page->m_Ports->visualRect(index).width(), page->m_Ports->sizeHintForIndex(index).width());
    }
    // The group list has no row tips.
    EXPECT_TRUE(page->m_List->Model()->index(0, 3).data(Qt::ToolTipRole).toString().isEmpty());
}

TEST_F(VlanTablePage, UntaggedPortsGrowsToItsTextsAndRowsHaveNoTips)
{
    Put(InMode(vm8021q, 24), TPropertyVlan8021qPort{true, 0, {{1, 0xFFFFFF, 0}, {10, 0x0F0F0F, 0xF0F0F0}}});
    page->resize(1024, 768), page->show(), Refill(), QCoreApplication::processEvents();
    QHeaderView* header = page->m_List->header();
    EXPECT_GE(header->sectionSize(2), static_cast<QAbstractItemView*>(page->m_List)->sizeHintForColumn(2));
    EXPECT_TRUE(page->m_List->Model()->index(0, 2).data(Qt::ToolTipRole).toString().isEmpty());
}
