// The trunk pages of both generations and the second generation's port
// status page through the page test kit.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PortCheckList.h"
#include "pages/ports/ModulePort_Status2.h"
#include "pages/ports/ModulePort_Trunk.h"
#include "pages/ports/ModulePort_Trunk2.h"
#include "pages/ports/ModulePort_Trunk_Activity.h"
#include "pages/ports/ModulePort_Trunk_Status2.h"
#include "tests/common/Records.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>

namespace {

using Intp::TPropertyPortTrunk2;
using Intp::TPropertyPortTrunk2Entry;

// A second-generation trunk record: the groups, then the activity entry.
TPropertyPortTrunk2 Trunks2(std::vector<TPropertyPortTrunk2Entry> groups, std::uint32_t active = 0,
                            std::uint32_t activityWork = 0)
{
    TPropertyPortTrunk2Entry activity;
    activity.members = active;
    activity.workPorts = activityWork;
    groups.push_back(activity);
    return IntpTest::Table<TPropertyPortTrunk2>(std::move(groups));
}

TPropertyPortTrunk2Entry Group(std::uint32_t members, bool lacp = false, std::uint32_t work = 0)
{
    TPropertyPortTrunk2Entry e;
    e.members = members;
    e.lacp = lacp;
    e.workPorts = work;
    return e;
}

// Ticks or unticks a line of the check list that edits a list's masks.
void Tick(QWidget* editor, int line, bool on = true)
{
    static_cast<TPortCheckList*>(editor)->item(line)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

} // namespace

class PortStatus2Page : public TPageTest<TModulePortStatus2> {
protected:
    QString Cell(int row, int column) const { return page->m_List->Model()->Cell(row, column); }
};

TEST_F(PortStatus2Page, ATrunkedPortShowsItsGroupAndTheGroupsSecurityWhateverTheEntryOrder)
{
    Intp::TDevice* device = Select(1, TestModel(4, 0, 2));
    const auto& model = Intp::ModelOf(device);
    EXPECT_EQ(page->Refresh(true), 1);
    Put(device, IntpTest::PortNames(model, {2}));
    Notify(device, Intp::ccPortNameGet); // names read: the status follows
    EXPECT_EQ(SentCount(Intp::ccPortStatusGet), 2u);

    Put(device, Trunks2({Group(0), Group(0x000A)})); // ports 2 and 4 in group 2
    auto config = IntpTest::PortConfig(model);
    config.entries[0].security = true; // port 1
    config.entries[1].security = false; // port 2: its group's flag counts
    config.entries[5].security = true;  // trunk group 2
    std::reverse(config.entries.begin(), config.entries.end());
    Put(device, config);
    Put(device, IntpTest::PerPort<Intp::TPropertyPortStatus>(model, [](std::size_t, auto& e) { e.mediaType = 4; }));
    Notify(device, Intp::ccPortStatusGet);

    ASSERT_EQ(page->m_List->RowCount(), 3); // port 3 is hidden
    EXPECT_EQ(Cell(0, 1), "N/A");
    EXPECT_EQ(Cell(0, 7), "on");
    EXPECT_EQ(Cell(1, 0), "Port.02");
    EXPECT_EQ(Cell(1, 1), "Trunk. 2");
    EXPECT_EQ(Cell(1, 7), "on");
    EXPECT_EQ(Cell(2, 0), "Port.04");
    EXPECT_EQ(Cell(2, 7), "on");
}

TEST_F(PortStatus2Page, SecurityReadsOnlyTheEntriesTheReplyCounted)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Intp::TPropertyPortConfig config{true, 1, std::vector<Intp::TPropertyPortConfigEntry>(4)};  // 3 padding
    config.entries[0].security = true;
    Put(device, config);
    Put(device, IntpTest::PerPort<Intp::TPropertyPortStatus>(Intp::ModelOf(device), [](std::size_t, auto&) {}));
    Notify(device, Intp::ccPortStatusGet);
    EXPECT_EQ(Cell(0, 7), "on");
}

class PortTrunkPage : public TPageTest<TModulePortTrunk> {
protected:
    QString Cell(int row, int column) const { return page->m_ListView->Model()->Cell(row, column); }
};

TEST_F(PortTrunkPage, TypeClicksCycleEveryGroupTicksEditMembersAndEachTargetIsSentItsOwnCount)
{
    Intp::TDevice* device = Select(1, TestModel(8, 0, 3));
    Put(device, IntpTest::Table<Intp::TPropertyPortTrunk>({{0x13, true}, {0, false}, {0x80, false}}));
    Notify(device, Intp::ccPortTrunkGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 3);
    EXPECT_EQ(Cell(2, 0), "Trunk.03");
    EXPECT_EQ(Cell(0, 1), "802.3ad LACP");
    EXPECT_EQ(Cell(0, 2), "1, 2, 5");
    EXPECT_EQ(static_cast<TPortCheckList*>(page->m_ListView->EditorOf(2))->count(), 8);

    page->m_ListView->header()->sectionClicked(1);
    EXPECT_EQ(Cell(0, 1), "Static");
    page->m_ListView->SelectRow(1);
    Tick(page->m_ListView->EditorOf(2), 3);
    EXPECT_EQ(Cell(1, 2), "4");

    Put(Select(2, TestModel(8, 0, 2)), IntpTest::Table<Intp::TPropertyPortTrunk>({{0, false}, {0, false}}));
    page->m_Apply->click();
    auto sent = SentEntries<Intp::TSessionPortTrunkSet>();
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 3u);
    EXPECT_EQ(sent[0][0].members, 0x13u);
    EXPECT_FALSE(sent[0][0].lacp);
    EXPECT_EQ(sent[0][1].members, 0x08u);
    env.protocol.Reply(Intp::ccPortTrunkSet, device, {0, 0, 0, 0});
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(env.messages.join("").contains("its model has 2 trunk groups, this change is for 3 trunk groups"));
}

TEST_F(PortTrunkPage, APortInTwoGroupsIsSentUnchangedAndARefillAfterARefusalShowsTheSwitchsGroups)
{
    Intp::TDevice* device = Select(1, TestModel(8, 0, 2));
    Put(device, IntpTest::Table<Intp::TPropertyPortTrunk>({{0x3, false}, {0, false}}));
    Notify(device, Intp::ccPortTrunkGet);
    page->m_ListView->SelectRow(1);
    Tick(page->m_ListView->EditorOf(2), 1);
    EXPECT_EQ(Cell(0, 2) + "|" + Cell(1, 2), "1, 2|2");
    page->m_Apply->click();
    EXPECT_EQ(SentEntries<Intp::TSessionPortTrunkSet>().at(0).at(1).members, 0x2u);
    env.protocol.Reply(Intp::ccPortTrunkSet, device, {0, 0, 0, 0}, 5);  // refused: the groups are read again
    env.protocol.Reply(Intp::ccPortTrunkGet, device, {0, 0, 0, 3, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(Cell(0, 2) + "|" + Cell(1, 2), "1, 2|");
}

// The page reads the port names itself: a fresh console and one where
// another page cached them send the same bytes, each target keeping its
// member on the port both switches hide.
TEST_F(PortTrunkPage, ReadsItsOwnPortNamesSoTheSamePressSendsTheSameBytes)
{
    // Eight ports, the last named "Port.XX", then two trunk groups.
    std::vector<std::uint8_t> names;
    for (const char* name : {"Port.01", "Port.02", "Port.03", "Port.04", "Port.05", "Port.06", "Port.07", "Port.XX",
                             "Trunk.01", "Trunk.02"}) {
        std::string field(name);
        field.resize(8, '\0');
        names.insert(names.end(), field.begin(), field.end());
    }
    for (const bool cachedBefore : {false, true}) {
        env.host.selection.clear();
        env.protocol.sent.clear();
        Intp::TDevice* device = Select(cachedBefore ? 3 : 1, TestModel(8, 0, 2));
        Intp::TDevice* target = Select(cachedBefore ? 4 : 2, TestModel(8, 0, 2));
        if (cachedBefore)
            PutEach([](Intp::TDevice* each) { return IntpTest::PortNames(Intp::ModelOf(each), {7}); });
        EXPECT_EQ(page->Refresh(true), 2);
        ASSERT_EQ(SentCount(Intp::ccPortNameGet), 2u);
        for (Intp::TDevice* each : {device, target})
            env.protocol.Reply(Intp::ccPortNameGet, each, names);
        env.protocol.Reply(Intp::ccPortTrunkGet, target, {0, 0, 0, 0x80, 0, 0, 0, 0, 0x0C, 0});
        env.protocol.Reply(Intp::ccPortTrunkGet, device, {0, 0, 0, 0x03, 0, 0, 0, 0, 0x30, 1});
        auto* members = static_cast<TPortCheckList*>(page->m_ListView->EditorOf(2));
        ASSERT_EQ(members->count(), 7);
        page->m_ListView->SelectRow(0);
        Tick(members, 2);
        page->m_Apply->click();
        const auto frames = env.protocol.SentWith(Intp::ccPortTrunkSet);
        ASSERT_EQ(frames.size(), 2u) << env.messages.join("|").toStdString();
        EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{0, 0, 0, 0x07, 0, 0, 0, 0, 0x30, 1}));
        EXPECT_EQ(frames[1].payload, (std::vector<std::uint8_t>{0, 0, 0, 0x87, 0, 0, 0, 0, 0x30, 1}));
    }
}

class PortTrunk2Page : public TPageTest<TModulePortTrunk2> {
protected:
    // Ten ports, the last two not offered; two groups of at most four ports.
    Intp::TDevice* SelectSwitch()
    {
        Intp::TDevice* device = Select(1, TestModel(10, 0, 2, 4));
        Put(device, IntpTest::PortNames(Intp::ModelOf(device), {8, 9}));
        Put(device, Trunks2({Group(0x0207, false, 4), Group(0)}, 0, 9)); // a hidden port in group 1
        Notify(device, Intp::ccPortTrunkGet2);
        return device;
    }
    QString Cell(int row, int column) const { return page->m_ListView->Model()->Cell(row, column); }
    QWidget* Members() const { return page->m_ListView->EditorOf(3); }
};

TEST_F(PortTrunk2Page, ATickSetsEveryGroupsWorkPortsAndMovesOnlyTheMemberCountedPastThem)
{
    SelectSwitch();
    EXPECT_EQ(static_cast<TPortCheckList*>(Members())->count(), 8);
    EXPECT_EQ(Cell(0, 3), "1, 2, 3");
    page->m_ListView->header()->sectionClicked(1);  // the header sets nothing
    EXPECT_EQ(Cell(0, 1), "Disable");

    page->m_ListView->SelectRow(1);  // port 3, group 2's highest member, leaves group 1
    Tick(Members(), 2);
    EXPECT_EQ(Cell(0, 3), "1, 2");
    EXPECT_EQ(Cell(0, 2), "3"); // with the hidden port
    EXPECT_EQ(Cell(1, 2), "1");
    Tick(Members(), 4);
    Tick(Members(), 5);
    Tick(Members(), 0);  // within group 2's work ports: port 1 stays in group 1 too
    EXPECT_EQ(Cell(0, 3) + "|" + Cell(1, 3), "1, 2|1, 3, 5, 6");
    EXPECT_EQ(Cell(1, 2), "4");
    Tick(Members(), 0, false);

    page->m_ListView->SelectRow(0);  // typed work ports follow the count at the next tick
    static_cast<TNumberBox*>(page->m_ListView->EditorOf(2))->setValue(1);
    page->m_ListView->SelectRow(1);
    Tick(Members(), 3);
    EXPECT_EQ(Cell(0, 2) + "|" + Cell(1, 2), "3|4");
    EXPECT_TRUE(env.messages.isEmpty());
    Tick(Members(), 6); // a fifth member
    EXPECT_EQ(env.messages, QStringList{"port number must be <=4"});
    EXPECT_EQ(Cell(1, 3), "3, 4, 5, 6");
    EXPECT_EQ(static_cast<TPortCheckList*>(Members())->item(6)->checkState(), Qt::Unchecked);
}

TEST_F(PortTrunk2Page, ApplyChecksTheWorkPortsAndMarksEveryLacpPortActive)
{
    SelectSwitch();
    page->m_ListView->SelectRow(1);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(1); // LACP, no member
    page->m_Apply->click();
    EXPECT_EQ(env.messages, QStringList{"work ports should be at last one port"});
    Tick(Members(), 4);
    Tick(Members(), 5);
    static_cast<TNumberBox*>(page->m_ListView->EditorOf(2))->setValue(3);
    page->m_Apply->click();
    EXPECT_EQ(env.messages.last(), "work ports should be smaller than Group ports");
    static_cast<TNumberBox*>(page->m_ListView->EditorOf(2))->setValue(1);
    page->m_ListView->SelectRow(0);
    static_cast<TNumberBox*>(page->m_ListView->EditorOf(2))->setValue(2);
    page->m_Apply->click();
    EXPECT_EQ(env.messages.last(), "work ports must be the same as group ports in Static Trunking Group");
    EXPECT_EQ(SentCount(Intp::ccPortTrunkSet2), 0u);

    static_cast<TNumberBox*>(page->m_ListView->EditorOf(2))->setValue(4);
    page->m_Apply->click();
    auto sent = SentEntries<Intp::TSessionPortTrunkSet2>();
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].size(), 3u);
    EXPECT_EQ(sent[0][0].members, 0x0207u); // the hidden port stays in its group
    EXPECT_EQ(sent[0][1].members, 0x0030u);
    EXPECT_EQ(sent[0][1].workPorts, 1u);
    EXPECT_EQ(sent[0][2].members, 0x0030u);
    EXPECT_EQ(sent[0][2].workPorts, 9u); // as read
}

TEST_F(PortTrunk2Page, AHiddenMemberATargetHasNoPortForIsNoneOfItsGroup)
{
    Intp::TDevice* device = Select(1, TestModel(10, 0, 2, 4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {9}));
    Put(device, Trunks2({Group(0x0207, true, 2), Group(0)}));
    Intp::TDevice* fewer = Select(2, TestModel(9, 0, 2, 4));
    Put(fewer, IntpTest::PortNames(Intp::ModelOf(fewer)));
    Put(fewer, Trunks2({Group(0), Group(0)}));
    Notify(device, Intp::ccPortTrunkGet2);
    page->m_Apply->click();
    auto sent = SentEntries<Intp::TSessionPortTrunkSet2>();
    ASSERT_EQ(sent.size(), 2u) << env.messages.join("|").toStdString();
    EXPECT_EQ(sent[0][0].members, 0x0207u);
    EXPECT_EQ(sent[1][0].members, 0x0007u);
    EXPECT_EQ(sent[1][0].workPorts, 2u);
    EXPECT_EQ(sent[1][2].members, 0x0007u);
}

// A group read past the member limit: a tick unticks the member counted
// past it there, and Apply sends the groups as the page shows them.
TEST_F(PortTrunk2Page, TheSwitchOnShowTakesTheGroupsItsTicksMade)
{
    Intp::TDevice* device = Select(1, TestModel(8, 0, 2, 4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device)));
    Put(device, Trunks2({Group(0), Group(0xd7, true, 1)}));
    Notify(device, Intp::ccPortTrunkGet2);
    page->m_ListView->SelectRow(0);
    Tick(Members(), 3);
    EXPECT_EQ(Cell(0, 3) + "|" + Cell(1, 3), "4|1, 2, 3, 5, 8");
    page->m_Apply->click();
    auto sent = SentEntries<Intp::TSessionPortTrunkSet2>();
    ASSERT_EQ(sent.size(), 1u) << env.messages.join("|").toStdString();
    EXPECT_EQ(sent[0][0].members, 0x08u);
    EXPECT_EQ(sent[0][1].members, 0x97u);
}

// A member of a port both pages hide goes back to the target as read,
// though a tick on its page unticks it past the member limit.
TEST_F(PortTrunk2Page, ATargetsHiddenMemberPastTheLimitStays)
{
    Intp::TDevice* device = Select(1, TestModel(8, 0, 2, 4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {7}));
    Put(device, Trunks2({Group(0x21, true, 1), Group(0x56, true, 1)}));
    Intp::TDevice* target = Select(2, TestModel(8, 0, 2, 4));
    Put(target, IntpTest::PortNames(Intp::ModelOf(target), {7}));
    Put(target, Trunks2({Group(0xf5, true, 1), Group(0)}));
    Notify(device, Intp::ccPortTrunkGet2);
    page->m_Apply->click();
    auto sent = SentEntries<Intp::TSessionPortTrunkSet2>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1][0].members, 0xa1u);
    EXPECT_EQ(sent[1][1].members, 0x56u);
    EXPECT_EQ(sent[1][2].members, 0xf7u);  // every LACP port active
}

class PortTrunkActivityPage : public TPageTest<TModulePortTrunkActivity> {};

TEST_F(PortTrunkActivityPage, OnlyLacpPortsChooseAndTheChoiceIsSentWithTheGroupsAsRead)
{
    Intp::TDevice* device = Select(1, TestModel(4, 0, 2, 4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device)));
    Put(device, Trunks2({Group(0x3, false, 2), Group(0xC, true, 1)}, 0x4, 5));
    Notify(device, Intp::ccPortTrunkGet2);
    const auto cell = [this](int r) { return page->m_ListView->Model()->Cell(r, 1); };
    ASSERT_EQ(page->m_ListView->RowCount(), 4);
    EXPECT_EQ(cell(0), "N/A");
    EXPECT_EQ(cell(2), "Active");
    EXPECT_EQ(cell(3), "Passive");
    page->m_ListView->header()->sectionClicked(1); // from "N/A": the LACP ports step, the others stay
    EXPECT_EQ(cell(0), "N/A");
    EXPECT_EQ(cell(2), cell(3));
    page->m_ListView->SelectRow(0);
    EXPECT_FALSE(page->m_ListView->EditorOf(1)->isEnabled());
    page->m_ListView->SelectRow(3);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(1);
    page->m_ListView->SelectRow(2);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(0);
    page->m_Apply->click();
    auto sent = SentEntries<Intp::TSessionPortTrunkSet2>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][1].members, 0xCu);
    EXPECT_TRUE(sent[0][1].lacp);
    EXPECT_EQ(sent[0][2].members, 0x8u);
    EXPECT_EQ(sent[0][2].workPorts, 5u);
}

class PortTrunkStatus2Page : public TPageTest<TModulePortTrunkStatus2> {};

TEST_F(PortTrunkStatus2Page, AggregatorsNumberListedPortsAndNeverIndexPastTheModel)
{
    Intp::TDevice* device = Select(1, TestModel(6, 0, 3));
    EXPECT_EQ(page->Refresh(false), 0);  // the names only
    EXPECT_EQ(SentCount(Intp::ccPortNameGet), 1u);
    EXPECT_EQ(SentCount(Intp::ccPortTrunkGet2), 0u);
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {0}));
    TPropertyPortTrunk2Entry lacp = Group(0x0E, true, 2);
    lacp.actorPriority = 32768;
    lacp.partnerPriority = 7;
    lacp.actorMac = std::string(13, 'A'); // as long as the field
    lacp.actorPort = {2, 1, 40, 5};        // port 1 hidden, 40 past the model
    lacp.partnerPort = {9, 8, 7, 0};
    lacp.actorKey = lacp.partnerKey = lacp.actorPortPriority = lacp.partnerPortPriority = {3, 3, 3, 3};
    lacp.selected = {true, false, true, true};
    TPropertyPortTrunk2Entry lonely = Group(0x10, true); // no partner: not listed
    Put(device, Trunks2({Group(0x21), lacp, lonely}));
    Notify(device, Intp::ccPortTrunkGet2);

    const auto cell = [this](int r, int c) { return page->m_List->Model()->Cell(r, c); };
    ASSERT_EQ(page->m_List->RowCount(), 3);
    EXPECT_EQ(cell(0, 0), "Static Trunking Group1");
    EXPECT_EQ(cell(0, 3), "5"); // port 1 hidden: port 6 is the fifth listed
    EXPECT_EQ(cell(1, 0), "LACP Group2-Actor");
    EXPECT_EQ(cell(1, 2), QString(13, 'A'));
    EXPECT_EQ(cell(1, 3), "1-3-3-selected, XX-3-3-standby, Unknown (40)-3-3-selected");
    EXPECT_EQ(cell(2, 1), "7");
    EXPECT_EQ(cell(2, 3), "9-3-3, 8-3-3, 7-3-3");
}

TEST_F(PortTrunkStatus2Page, ARefusedReadIsSaidOnTheRefill)
{
    Intp::TDevice* device = Select(1, TestModel(6, 0, 3));
    Refill();
    NotifyRead(page.get(), device, Intp::ccPortTrunkGet2, 0x0105);
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages, QStringList{"Retrieve device info failed!"});
    EXPECT_EQ(page->m_List->RowCount(), 0);
}
