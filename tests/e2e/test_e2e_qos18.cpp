// The QoS pages of both generations against fake switches of each layout.
#include "intp/Qos.h"
#include "pages/ports/qos/ModuleQos2_Port.h"
#include "pages/ports/qos/ModuleQos_Cos.h"
#include "tests/e2e/ConsoleE2E.h"

#include <QHeaderView>

namespace {

TEST_F(ConsoleE2E, PagesOfEachGenerationChangeTheirSwitch)
{
    StartFleetOf({ShippedModel("LRCH-5T-A1"), ShippedModel("BRCH-6G-C3")}, 2); // layouts 0 and 1
    OpenConsole();
    DiscoverAll();

    // First generation: every port's default CoS priority steps by a header click.
    SelectAndLogIn({0});
    auto *cos = ShowDevicePage<TModuleQosCos>();
    ASSERT_TRUE(RunUntil([&] { return cos->m_PortList->RowCount() > 0 && cos->m_Apply->isEnabled(); }, 30s));
    cos->m_PortList->header()->sectionClicked(1);
    cos->m_Apply->click();
    EXPECT_TRUE(RunUntil(
        [&] {
            auto r = FakeSwitch::RecordOf<Intp::TSessionQosCosGet>(m_Fleet.Snapshot(0));
            return !r.portDefault.empty() &&
                   std::all_of(r.portDefault.begin(), r.portDefault.end(), [](uint32_t p) { return p == 1; });
        },
        30s));

    // Second generation: the first port's default priority.
    SelectAndLogIn({1});
    auto *ports = ShowDevicePage<TModuleQos2Port>();
    ASSERT_TRUE(RunUntil([&] { return ports->m_ListView->RowCount() > 0 && ports->m_Apply->isEnabled(); }, 30s));
    ports->m_ListView->SelectRow(0);
    static_cast<QComboBox *>(ports->m_ListView->EditorOf(1))->setCurrentIndex(8);
    ports->m_Apply->click();
    EXPECT_TRUE(RunUntil(
        [&] {
            auto r = FakeSwitch::RecordOf<Intp::TSessionQos2PortGet>(m_Fleet.Snapshot(1));
            return !r.priorities.empty() && r.priorities[0] == 8;
        },
        30s));
    EXPECT_TRUE(RunUntil([&] { return ports->m_ListView->Model()->Cell(0, 1) == "Priority.07"; }, 30s));
}

} // namespace
