// Access rules and static MAC entries added and removed on every selected
// switch of a second-generation model, checked in the switches' tables.
#include "tests/e2e/ConsoleE2E.h"

#include "intp/SecurityAcl.h"
#include "pages/security/ModuleSecurity_Acl.h"
#include "pages/security/ModuleSecurity_Mac2_Static.h"

namespace {

TEST_F(ConsoleE2E, AccessRulesAndStaticMacEntriesAreAddedAndRemovedOnEverySwitch)
{
    // The last model of the shipped table is second-generation: its tree has these pages.
    const auto models = FakeSwitch::LoadModels(CONSOLE_DEVICES_DEV);
    Require(!models.empty(), "no model table");
    StartFleetOf({models.back()}, 2);
    OpenLoggedIn();

    auto *acl = ShowDevicePage<TModuleSecurityAcl>();
    ASSERT_TRUE(RunUntil([&] { return acl->m_GroupId->isEnabled(); }, 30s)); // read and filled
    ASSERT_TRUE(EveryRead<Intp::TPropertySecurityAcl>());
    acl->m_GroupId->setValue(7);
    acl->m_Action->setCurrentIndex(1);
    acl->m_L3Protocol->setCurrentIndex(3);
    acl->m_IpSrcAddr->setText("198.18.0.0");
    acl->m_IpSrcMask->setText("255.254.0.0");
    acl->m_L4Protocol->setCurrentIndex(4);
    acl->m_UdpPort->setCurrentIndex(1);
    acl->m_Add->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        auto rules = FakeSwitch::TableOf<Intp::TSessionSecurityAclGet>(sw);
        return rules.size() == 1 && rules[0].groupId == 7 && !rules[0].permit && rules[0].srcIp == 0xC6120000 &&
               rules[0].srcMask == 0xFFFE0000 && rules[0].l4Protocol == 17 && rules[0].l4Port == 69;
    }));
    ASSERT_TRUE(RunUntil([&] { return acl->m_ListView->RowCount() == 1; }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertySecurityAcl>());
    acl->m_ListView->SelectRow(0);
    acl->m_Remove->click();
    EXPECT_TRUE(OnEvery([](const auto &sw) { return FakeSwitch::TableOf<Intp::TSessionSecurityAclGet>(sw).empty(); }));
    EXPECT_TRUE(RunUntil([&] { return acl->m_ListView->RowCount() == 0; }, 30s));

    auto *pinned = ShowDevicePage<TModuleSecurityMac2Static>();
    ASSERT_TRUE(RunUntil([&] { return pinned->m_Port->count() > 1; }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertySecurityMac2Static>());
    pinned->m_Port->setCurrentIndex(1);
    pinned->m_Mac->setText("02005E102030");
    pinned->m_VlanId->setValue(12);
    pinned->m_Add->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        auto e = FakeSwitch::TableOf<Intp::TSessionSecurityMac2StaticGet>(sw);
        return e.size() == 1 && e[0].port == 1 && e[0].vlanId == 12 && e[0].mac.ToString() == "02:00:5E:10:20:30";
    }));
    ASSERT_TRUE(RunUntil([&] { return pinned->m_ListView->RowCount() == 1; }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertySecurityMac2Static>());
    pinned->m_ListView->SelectRow(0);
    pinned->m_Remove->click();
    EXPECT_TRUE(
        OnEvery([](const auto &sw) { return FakeSwitch::TableOf<Intp::TSessionSecurityMac2StaticGet>(sw).empty(); }));
}

} // namespace
