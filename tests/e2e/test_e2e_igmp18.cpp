// The console against a fleet of fake switches: the IGMP snooping and LLDP
// pages change every selected switch.
#include "tests/e2e/ConsoleE2E.h"

#include "intp/Igmp.h"
#include "intp/Lldp.h"
#include "pages/ports/ModuleLldp.h"
#include "pages/ports/multicast/ModuleIgmp.h"
#include "pages/ports/multicast/ModuleIgmp_Table.h"

namespace {

// A suite of its own: each file's fixture is a class of its own.
class IgmpLldpE2E : public ConsoleE2E {};

TEST_F(IgmpLldpE2E, IgmpSnoopingAndLldpChangeEverySelectedSwitch)
{
    StartFleet(2);
    OpenConsole();
    DiscoverAll();
    SelectAll();
    LogInAll();
    auto onBoth = [&](auto check) {
        return RunUntil([&] { return check(m_Fleet.Snapshot(0)) && check(m_Fleet.Snapshot(1)); }, 5s);
    };

    auto *igmp = ReadPage<TModuleIgmp2, Intp::TSessionIgmp2Get>(*m_Form, TPageId::TModuleIgmp2);
    ASSERT_NE(igmp, nullptr);
    ASSERT_TRUE(igmp->m_Apply->isEnabled());
    igmp->m_Snooping->setCurrentIndex(1);
    igmp->m_QueryMode->setCurrentIndex(2);
    igmp->m_QueryCount->setCurrentIndex(0);
    igmp->m_QueryInterval->setValue(200);
    igmp->m_Apply->click();
    EXPECT_TRUE(onBoth([](const FakeSwitch::TSwitch &sw) {
        const auto r = FakeSwitch::RecordOf<Intp::TSessionIgmp2Get>(sw);
        return r.enabled && r.queryMode == 2 && r.lastMemberQueryCount == 1 && r.lastMemberQueryInterval == 200;
    }));

    auto *groups = ReadPage<TModuleIgmp2Table, Intp::TSessionIgmp2Table>(*m_Form, TPageId::TModuleIgmp2Table);
    ASSERT_NE(groups, nullptr);
    ASSERT_EQ(groups->m_List->RowCount(), 2);
    EXPECT_EQ(groups->m_List->Model()->Cell(0, 3), "1, 3");

    auto *lldp = ReadPage<TModuleLldp, Intp::TSessionLldpGet>(*m_Form, TPageId::TModuleLldp);
    ASSERT_NE(lldp, nullptr);
    EXPECT_EQ(lldp->m_Enable->currentIndex(), 1);
    lldp->m_Enable->setCurrentIndex(0);
    lldp->m_Interval->setValue(3600);
    lldp->m_Apply->click();
    EXPECT_TRUE(onBoth([](const FakeSwitch::TSwitch &sw) {
        const auto r = FakeSwitch::RecordOf<Intp::TSessionLldpGet>(sw);
        return !r.enabled && r.interval == 3600;
    }));
}

} // namespace
