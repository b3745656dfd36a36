// The SNMP pages: agent version, communities, trap receivers, SNMPv3 users,
// context, groups, access rules and MIB views.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "pages/kit/ChangeReport.h"
#include "pages/kit/PageWidgets.h"
#include "pages/security/snmp/ModuleSnmp.h"
#include "pages/security/snmp/ModuleSnmp_Access.h"
#include "pages/security/snmp/ModuleSnmp_Community.h"
#include "pages/security/snmp/ModuleSnmp_Context.h"
#include "pages/security/snmp/ModuleSnmp_Group.h"
#include "pages/security/snmp/ModuleSnmp_Mibview.h"
#include "pages/security/snmp/ModuleSnmp_Trap.h"
#include "pages/security/snmp/ModuleSnmp_User.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>

#include <cstring>
#include <map>

using namespace Intp;
using IntpTest::Table;
using namespace std::chrono_literals;
using TBytes = std::vector<uint8_t>;

static QString Cell(TUntypedReportList* list, int row, int column) { return list->Model()->Cell(row, column); }

// A 33-byte SNMPv3 text field, then the fields after it.
static TBytes Text33(const char* text, TBytes rest = {})
{
    TBytes field(text, text + std::strlen(text));
    field.resize(33);
    field.insert(field.end(), rest.begin(), rest.end());
    return field;
}

// An access rule: group, prefix, level and match (u32, low byte first), read, write and notify views.
static TBytes Rule(const char* group, const char* prefix, uint8_t level, uint8_t match, const char* read,
                   const char* write, const char* notify)
{
    TBytes rule = Text33(group, Text33(prefix, {level, 0, 0, 0, match, 0, 0, 0}));
    const TBytes views = Text33(read, Text33(write, Text33(notify)));
    rule.insert(rule.end(), views.begin(), views.end());
    return rule;
}

// Each target's payloads of code, by address.
static std::map<TMacAddr, std::vector<TBytes>> SentBy(const IntpTest::TFakeHost& protocol, uint16_t code)
{
    std::map<TMacAddr, std::vector<TBytes>> sent;
    for (const IntpTest::TSent& frame : protocol.SentWith(code))
        sent[frame.mac].push_back(frame.payload);
    return sent;
}

using AgentPage = TPageTest<TModuleSnmp>;

TEST_F(AgentPage, ShowsAndSendsTheVersion)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, TPropertySnmp{true, svV3});
    Notify(device, ccSnmpGet);
    EXPECT_EQ(page->m_Version->currentIndex(), 1);
    page->m_Version->setCurrentIndex(0);
    page->m_Apply->click();
    EXPECT_EQ(Sent<TSessionSnmpSet>().at(0).version, uint32_t(svV1V2c));
}

using CommunityPage = TPageTest<TModuleSnmpCommunity>;

TEST_F(CommunityPage, SlotsAreEditedInPlaceAndWrittenWholeToModelsOfTheSameSize)
{
    TDevice* device = Select(1, TestModel(8, 0, 0, 0, 2));
    Put(device, Table<TPropertySnmpCommunity>({{"public", saReadOnly}, {"private", saReadWrite}}));
    Notify(device, ccSnmpCommunityGet);
    auto* list = page->m_ListView;
    ASSERT_EQ(list->RowCount(), 2);
    EXPECT_EQ(Cell(list, 0, 0), "0");
    emit list->header()->sectionClicked(2); // every row: the first row's next privilege
    EXPECT_EQ(Cell(list, 1, 2), "Read And Write");
    emit list->header()->sectionClicked(2);
    EXPECT_EQ(Cell(list, 1, 2), "Read Only");

    list->SelectRow(1);
    auto* community = static_cast<QLineEdit*>(list->EditorOf(1));
    EXPECT_EQ(community->maxLength(), 32); // what the switch keeps: nothing is cut on the way
    community->selectAll();
    TypeText(community, "ops");
    EXPECT_EQ(Cell(list, 1, 1), "ops");
    Select(2, TestModel(8, 0, 0, 0, 3));
    page->m_Apply->click();
    const auto sets = SentEntries<TSessionSnmpCommunitySet>();
    ASSERT_EQ(sets.size(), 1u);
    ASSERT_EQ(sets[0].size(), 2u);
    EXPECT_EQ(sets[0][0].community, "public");
    EXPECT_EQ(sets[0][1].community, "ops");
    EXPECT_EQ(sets[0][1].access, saReadOnly);
    env.protocol.Reply(ccSnmpCommunitySet, device);
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(env.messages.last().contains(
        "not changed, its own page is not available: the switch's settings have not been read"));
    env.host.selection = {Select(3, TestModel(8, 0, 0, 0, 0))};
    Refill();
    EXPECT_EQ(list->RowCount(), 0);
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

using AccessPage = TPageTest<TModuleSnmpAccess>;

TEST_F(AccessPage, SendsTheLevelAndMatchCodesAfterItsChecks)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, Table<TPropertySnmpAccess>({{"hidden", "", slAuthPriv, cmExact, "r", "w", "n"},
                                             {"ops", "ctx", 2, cmPrefix, "all", "none", "traps"}}));
    Notify(device, ccSnmpAccessGet);
    auto* list = page->m_List;
    ASSERT_EQ(list->RowCount(), 1); // an empty prefix takes no row
    EXPECT_EQ(list->Model()->Row(0).cells,
              (QStringList{"1", "ctx", "ops", "Invalid", "Prefix", "all", "none", "traps"}));
    page->m_SecLevel.SetCode(slAuthNoPriv);
    list->SelectRow(0);
    EXPECT_FALSE(page->m_SecLevel.Code()); // a level without a button clears the choice
    EXPECT_EQ(page->m_ContextMatch.Code(), cmPrefix);
    ASSERT_TRUE(page->m_Delete->isEnabled());
    page->m_Delete->click();
    page->m_GroupName->clear();
    page->m_Add->click();
    EXPECT_EQ(env.messages, (QStringList{"Entry not found!", "Must specify a group name!"}));

    page->m_GroupName->setText("ops");
    page->m_SecLevel.Group()->button(2)->click(); // "AuthPriv"
    page->m_Add->click();
    page->m_SecLevel.Group()->button(1)->click(); // "AuthNoPriv"
    page->m_ContextMatch.Group()->button(0)->click();
    page->m_WriteViewName->clear(); // Delete needs no view names
    page->m_Delete->click();
    EXPECT_EQ(env.messages.size(), 2);
    const auto added = env.protocol.SentWith(ccSnmpAccessAdd);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(added[0].payload.begin() + 66, added[0].payload.begin() + 74),
              (std::vector<uint8_t>{3, 0, 0, 0, 2, 0, 0, 0}));
    const auto deleted = Sent<TSessionSnmpAccessDel>();
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].level, uint32_t(slAuthNoPriv));
    EXPECT_EQ(deleted[0].match, uint32_t(cmExact));
    EXPECT_EQ(deleted[0].contextPrefix, "ctx");
}

// Another group's rule for the prefix is never deleted: each target deletes
// its own rule of the selected row's group, prefix and level, or is named.
class AccessTargets : public AccessPage {
protected:
    void DeleteTheSelectedRule(bool ownRuleTargetFirst)
    {
        const uint32_t model = TestModel(8);
        TDevice *shown = Select(1, model), *other = Select(2, model), *holder = Select(3, model);
        if (ownRuleTargetFirst)
            std::swap(env.host.selection[1], env.host.selection[2]);
        Put(shown, Table<TPropertySnmpAccess>({{"gA", "ctx1", slNoAuthNoPriv, cmExact, "r", "w", "n"}}));
        Put(other, Table<TPropertySnmpAccess>({{"gB", "ctx1", slNoAuthNoPriv, cmExact, "r", "w", "n"}}));
        Put(holder, Table<TPropertySnmpAccess>({{"gB", "ctx1", slAuthPriv, cmPrefix, "r", "w", "n"},
                                                {"gA", "ctx1", slNoAuthNoPriv, cmExact, "rB", "wB", "nB"}}));
        Notify(shown, ccSnmpAccessGet);
        page->m_List->SelectRow(0);
        page->m_Delete->click();

        // NoAuthNoPriv (0), Exact (1): the switch on show's rule, and the holder's own.
        EXPECT_EQ(SentBy(env.protocol, ccSnmpAccessDel),
                  (std::map<TMacAddr, std::vector<TBytes>>{
                      {shown->GetMac(), {Rule("gA", "ctx1", 0, 1, "r", "w", "n")}},
                      {holder->GetMac(), {Rule("gA", "ctx1", 0, 1, "rB", "wB", "nB")}}}));
        env.protocol.Reply(ccSnmpAccessDel, shown);
        env.protocol.Reply(ccSnmpAccessDel, holder);
        EXPECT_TRUE(RunUntil(
            [&] {
                return env.messages.join('\n').contains(TChangeReport::DeviceText(other) +
                                                        ": not changed, it holds no such entry");
            },
            2000ms));
        EXPECT_EQ(page->StatusLine()->text(), "Changed on 2 of 3 switches.");
    }
};

TEST_F(AccessTargets, DeleteOfARowSendsEachTargetItsOwnRuleOfThatGroupPrefixAndLevel) { DeleteTheSelectedRule(false); }

TEST_F(AccessTargets, DeleteOfARowInTheOtherSelectionOrder) { DeleteTheSelectedRule(true); }

// The access and MIB view pages' Add has no check for a held entry: every
// target is sent it, whatever rules or views it holds.
TEST_F(AccessPage, AddGoesToATargetHoldingOtherGroupsRulesForThePrefix)
{
    const uint32_t model = TestModel(8);
    TDevice* shown = Select(1, model);
    TDevice* target = Select(2, model);
    Put(shown, Table<TPropertySnmpAccess>({{"gA", "ctx1", slNoAuthNoPriv, cmExact, "r", "w", "n"}}));
    Put(target, Table<TPropertySnmpAccess>({{"gA", "ctx1", slNoAuthNoPriv, cmExact, "r", "w", "n"},
                                            {"gB", "ctx1", slAuthPriv, cmPrefix, "r", "w", "n"}}));
    Notify(shown, ccSnmpAccessGet);
    page->m_ContextName->setText("ctx1");
    page->m_GroupName->setText("gC");
    page->m_SecLevel.SetCode(slAuthNoPriv);
    page->m_ContextMatch.SetCode(cmPrefix);
    page->m_ReadViewName->setText("all");
    page->m_WriteViewName->setText("none");
    page->m_NotifyViewName->setText("traps");
    page->m_Add->click();
    const TBytes rule = Rule("gC", "ctx1", 1, 2, "all", "none", "traps");  // AuthNoPriv, Prefix
    ASSERT_EQ(rule.size(), 173u);
    EXPECT_EQ(SentBy(env.protocol, ccSnmpAccessAdd),
              (std::map<TMacAddr, std::vector<TBytes>>{{shown->GetMac(), {rule}}, {target->GetMac(), {rule}}}));
}

using GroupPage = TPageTest<TModuleSnmpGroup>;

TEST_F(GroupPage, AddsNewSecurityNamesAndDeletesListedOnesOnly)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, Table<TPropertySnmpGroup>({{"", "none"}, {"alice", "admins"}}));
    Notify(device, ccSnmpGroupGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    EXPECT_FALSE(page->m_Add->isEnabled());
    page->m_SecName->setText("alice");
    page->m_Add->click();
    page->m_SecName->setText("Alice"); // names match with case
    page->m_Delete->click();
    page->m_Add->click();
    page->m_SecName->setText("alice");
    page->m_GrpName->setText("ops");
    page->m_Delete->click();
    EXPECT_EQ(env.messages, (QStringList{"Entry already exists!", "Entry not found!"}));
    EXPECT_EQ(Sent<TSessionSnmpGroupAdd>().at(0).securityName, "Alice");
    EXPECT_EQ(Sent<TSessionSnmpGroupDel>().at(0).groupName, "ops");
}

using MibviewPage = TPageTest<TModuleSnmpMibview>;

TEST_F(MibviewPage, ATypeWithoutButtonShowsNoTextAndKeepsTheChoice)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, Table<TPropertySnmpMibview>({{"all", "1.3.6", 2}}));
    Notify(device, ccSnmpMibviewGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    EXPECT_EQ(Cell(page->m_List, 0, 3), "");
    page->m_List->SelectRow(0);
    EXPECT_FALSE(page->m_Type.Code());
    page->m_Delete->click();
    page->m_Add->click();
    EXPECT_EQ(env.messages, (QStringList{"Entry not found", "At least one type should be specified!"}));
    page->m_Type.SetCode(vtIncluded);
    page->m_List->SelectRow(-1);
    page->m_List->SelectRow(0);
    EXPECT_EQ(page->m_Type.Code(), uint32_t(vtIncluded));
    page->m_Add->click();
    ASSERT_EQ(SentCount(ccSnmpMibviewAdd), 1u);
    EXPECT_EQ(env.protocol.SentWith(ccSnmpMibviewAdd)[0].payload[66], 1);
}

TEST_F(MibviewPage, AddGoesToTargetsHoldingTheViewAndSubtreeWithEitherType)
{
    const uint32_t model = TestModel(8);
    TDevice* shown = Select(1, model);
    TDevice* otherType = Select(2, model);
    TDevice* same = Select(3, model);
    Put(shown, Table<TPropertySnmpMibview>({{"v1", "1.3.6", vtIncluded}}));
    Put(otherType, Table<TPropertySnmpMibview>({{"v1", "1.3.6", vtExcluded}}));
    Put(same, Table<TPropertySnmpMibview>({{"v1", "1.3.6", vtIncluded}}));
    Notify(shown, ccSnmpMibviewGet);
    page->m_List->SelectRow(0);
    page->m_Add->click();
    const TBytes view = Text33("v1", Text33("1.3.6", {1, 0, 0, 0}));  // Included
    ASSERT_EQ(view.size(), 70u);
    EXPECT_EQ(SentBy(env.protocol, ccSnmpMibviewAdd),
              (std::map<TMacAddr, std::vector<TBytes>>{
                  {shown->GetMac(), {view}}, {otherType->GetMac(), {view}}, {same->GetMac(), {view}}}));
}

using ContextPage = TPageTest<TModuleSnmpContext>;

TEST_F(ContextPage, ApplyFollowsAnyChangeOfTheName)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, TPropertySnmpContext{true, ""});
    Notify(device, ccSnmpContextGet);
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_ContextName->maxLength(), 32);
    page->m_ContextName->setText("x");
    page->m_ContextName->clear();
    EXPECT_TRUE(page->m_Apply->isEnabled());
    Put(device, TPropertySnmpContext{true, "lab"});
    Notify(device, ccSnmpContextGet);
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    EXPECT_EQ(Sent<TSessionSnmpContextSet>().at(0).name, "lab");
}

// No box before the first answer; one after a timed-out or refused read;
// none once the record is valid.
TEST_F(ContextPage, RetrieveFailedFollowsAFailedReadOnly)
{
    TDevice* device = Select(1, TestModel(8));
    Refill();
    QCoreApplication::processEvents();
    EXPECT_TRUE(env.messages.isEmpty());
    NotifyRead(page.get(), device, ccSnmpContextGet, ssTimeout);
    NotifyRead(page.get(), device, ccSnmpContextGet, 0x0105);
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages, QStringList{"Retrieve device info failed!"});
    EXPECT_TRUE(page->IsUnavailable());
    Refill();
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages.size(), 2);
    Put(device, TPropertySnmpContext{true, "lab"});
    Notify(device, ccSnmpContextGet);
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages.size(), 2);
}

using TrapPage = TPageTest<TModuleSnmpTrap>;

TEST_F(TrapPage, AnAddressAndCommunityEnableAddUnlessListed)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, Table<TPropertySnmpTrap>({{Ip(10, 0, 0, 1), "public", stV2c}}));
    Notify(device, ccSnmpTrapGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    const QString chars32(32, 'c');
    page->m_Community->setText(chars32);
    for (const char* address : {"0.0.0.0", "255.255.255.255", "127.0.0.5", "bad"}) {
        page->m_ServerIp->setText(address);
        EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Delete->isEnabled()) << address;
    }
    page->m_ServerIp->setText("10.0.0.1");
    EXPECT_TRUE(page->m_Delete->isEnabled());
    EXPECT_FALSE(page->m_Add->isEnabled());
    // Typed another way, the listed address is found only once the field is left.
    page->m_ServerIp->setText("10.0.0.01");
    EXPECT_TRUE(page->m_Add->isEnabled());
    EXPECT_FALSE(page->m_Delete->isEnabled());
    QFocusEvent left(QEvent::FocusOut);
    QCoreApplication::sendEvent(page->m_ServerIp, &left);
    EXPECT_TRUE(page->m_ServerIp->text() == "10.0.0.1" && page->m_Delete->isEnabled());
    page->m_ServerIp->setText("10.0.0.2");
    page->m_Version->button(1)->setChecked(true);
    page->m_Add->click();
    const auto added = Sent<TSessionSnmpTrapAdd>();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].address, Ip(10, 0, 0, 2));
    EXPECT_EQ(added[0].community, chars32.toStdString());

    EXPECT_EQ(added[0].version, uint32_t(stV2c));

    // The refill after the Add empties the form and checks V1.
    Put(device, Table<TPropertySnmpTrap>({{Ip(10, 0, 0, 1), "public", stV2c}, {Ip(10, 0, 0, 2), "c", stV1}}));
    Notify(device, ccSnmpTrapGet);
    EXPECT_EQ(page->m_ServerIp->text() + page->m_Community->text(), "0.0.0.0");
    EXPECT_EQ(page->m_Version->checkedId(), 0);
}

using UserPage = TPageTest<TModuleSnmpUser>;

TEST_F(UserPage, PasswordsGoToTheSwitchOnlyAndSelectingAUserEmptiesThem)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, Table<TPropertySnmpUser>({{"admin", true, false}, {"", true, true}}));
    Notify(device, ccSnmpUserGet);
    ASSERT_EQ(page->m_List->RowCount(), 1);
    EXPECT_EQ(page->m_List->Model()->Row(0).cells, (QStringList{"1", "admin", "Enabled", "Disabled"}));
    EXPECT_EQ(page->m_Auth->echoMode(), QLineEdit::Password);
    EXPECT_EQ(page->m_Privacy->echoMode(), QLineEdit::Password);
    page->m_Username->setText("admin");
    page->m_Delete->click(); // its authentication password is set
    page->m_Username->setText("guest");
    page->m_Auth->setText("authSecret");
    page->m_Privacy->setText("privSecret");
    page->m_Add->click();
    EXPECT_EQ(env.messages, QStringList{"Auth Password needed!"});
    const auto added = Sent<TSessionSnmpUserAdd>();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].authPassword, "authSecret");

    // The switch lists the new user by whether each password is set.
    Put(device, Table<TPropertySnmpUser>({{"admin", true, false}, {"guest", true, true}}));
    Notify(device, ccSnmpUserGet);
    EXPECT_EQ(page->m_List->Model()->Row(1).cells, (QStringList{"2", "guest", "Enabled", "Enabled"}));
    EXPECT_EQ(page->m_Auth->text(), "authSecret");  // the edits keep their texts across refills
    page->m_List->SelectRow(1);
    EXPECT_EQ(page->m_Auth->text() + page->m_Privacy->text(), "");
    // And when the page is left.
    page->m_Auth->setText("authSecret");
    EXPECT_TRUE(page->Leave(false));
    Refill();
    EXPECT_EQ(page->m_Username->text() + page->m_Auth->text(), "guestauthSecret");
}
