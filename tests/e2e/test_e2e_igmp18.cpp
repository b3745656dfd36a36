// The IGMP snooping and LLDP pages change every selected switch.
#include "tests/e2e/ConsoleE2E.h"
#include "pages/ports/ModuleLldp.h"
#include "pages/ports/multicast/ModuleIgmp.h"

namespace {

TEST_F(ConsoleE2E, IgmpSnoopingAndLldpChangeEverySelectedSwitch)
{
    StartFleetOf({ShippedModel([](const FakeSwitch::TModel &m) { return m.SecondGeneration; })}, 2);
    OpenLoggedIn();
    auto *igmp = ReadPage<TModuleIgmp2, Intp::TSessionIgmp2Get>(*m_Form, TPageId::TModuleIgmp2);
    ASSERT_NE(igmp, nullptr);
    igmp->m_Snooping->setCurrentIndex(1);
    igmp->m_QueryInterval->setValue(200);
    igmp->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        const auto r = FakeSwitch::RecordOf<Intp::TSessionIgmp2Get>(sw);
        return r.enabled && r.lastMemberQueryInterval == 200;
    }));
    auto *lldp = ReadPage<TModuleLldp, Intp::TSessionLldpGet>(*m_Form, TPageId::TModuleLldp);
    ASSERT_NE(lldp, nullptr);
    lldp->m_Enable->setCurrentIndex(0);
    lldp->m_Interval->setValue(3600);
    lldp->m_Apply->click();
    EXPECT_TRUE(OnEvery([](const FakeSwitch::TSwitch &sw) {
        const auto r = FakeSwitch::RecordOf<Intp::TSessionLldpGet>(sw);
        return !r.enabled && r.interval == 3600;
    }));
}

} // namespace
