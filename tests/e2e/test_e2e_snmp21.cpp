// The SNMP pages against the fake switches: an SNMPv3 user and a trap
// receiver added to and deleted from every selected switch.
#include "intp/Snmp.h"
#include "pages/security/snmp/ModuleSnmp_Trap.h"
#include "pages/security/snmp/ModuleSnmp_User.h"
#include "tests/e2e/ConsoleE2E.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace {

TEST_F(ConsoleE2E, Snmpv3UserAndTrapReceiverAreAddedAndDeletedOnEverySelectedSwitch)
{
    StartFleet(2);
    OpenConsole();
    DiscoverAll();
    SelectAndLogIn({0, 1});
    Intp::TDevice *current = DeviceOf(0);

    auto *users = ReadPage<TModuleSnmpUser, Intp::TSessionSnmpUserGet>(*m_Form, TPageId::TModuleSnmpUser);
    ASSERT_NE(users, nullptr);
    auto user = [](const FakeSwitch::TSwitch &sw) {
        const auto table = FakeSwitch::TableOf<Intp::TSessionSnmpUserGet>(sw);
        auto it = std::find_if(table.begin(), table.end(), [](const auto &u) { return u.name == "e2e-user"; });
        return it == table.end() ? std::optional<Intp::TPropertySnmpUserEntry>() : *it;
    };
    users->m_Username->setText("e2e-user");
    users->m_Auth->setText("authpass1");
    users->m_Privacy->setText("privpass1");
    users->m_Add->click();
    EXPECT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) { return user(sw) && user(sw)->auth && user(sw)->privacy; }));
    ASSERT_TRUE(RunUntil([&] { return !Intp::Property<Intp::TPropertySnmpUser>::Get(current).entries.empty(); }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertySnmpUser>());
    users->OnNotify(current, Intp::ccSnmpUserGet, 0); // the name and both passwords stay typed
    users->m_Delete->click();
    EXPECT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) { return !user(sw); }));

    auto *traps = ReadPage<TModuleSnmpTrap, Intp::TSessionSnmpTrapGet>(*m_Form, TPageId::TModuleSnmpTrap);
    ASSERT_NE(traps, nullptr);
    auto receiver = [](const FakeSwitch::TSwitch &sw) {
        const auto table = FakeSwitch::TableOf<Intp::TSessionSnmpTrapGet>(sw);
        return std::any_of(table.begin(), table.end(), [](const auto &t) {
            return t.address == ConsoleIp && t.community == "e2e-traps" && t.version == Intp::stV2c;
        });
    };
    traps->m_ServerIp->setText("198.18.0.1");
    traps->m_Community->setText("e2e-traps");
    traps->m_Version->button(1)->setChecked(true);
    ASSERT_TRUE(traps->m_Add->isEnabled());
    traps->m_Add->click();
    EXPECT_TRUE(OnEvery(receiver));
    ASSERT_TRUE(RunUntil([&] { return !Intp::Property<Intp::TPropertySnmpTrap>::Get(current).entries.empty(); }, 30s));
    ASSERT_TRUE(EveryRead<Intp::TPropertySnmpTrap>());
    traps->OnNotify(current, Intp::ccSnmpTrapGet, 0);
    traps->m_ServerIp->setText("198.18.0.1");
    traps->m_Community->setText("e2e-traps");
    ASSERT_TRUE(traps->m_Delete->isEnabled());
    traps->m_Delete->click();
    EXPECT_TRUE(OnEvery([&](const FakeSwitch::TSwitch &sw) { return !receiver(sw); }));
}

} // namespace
