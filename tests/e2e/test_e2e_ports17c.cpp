// Trunk groups changed through the trunk pages of both generations on every
// selected switch, checked in the switches.

#include "tests/e2e/ConsoleE2E.h"

#include "pages/ports/ModulePort_Trunk.h"
#include "pages/ports/ModulePort_Trunk2.h"

#include <QHeaderView>

namespace {

void Tick(QWidget *editor, int line)
{
    static_cast<TPortCheckList *>(editor)->item(line)->setCheckState(Qt::Checked);
}
} // namespace

TEST_F(ConsoleE2E, AFirstGenerationTrunkGroupChangesEverySelectedSwitch)
{
    StartFleet(2);
    OpenLoggedIn();
    auto *page = ShowDevicePage<TModulePortTrunk>();
    ASSERT_TRUE(EveryRead<Intp::TPropertyPortTrunk>());
    page->OnNotify(DeviceOf(0), Intp::ccPortTrunkGet, 0);
    ASSERT_EQ(page->m_ListView->RowCount(), int(Model().Type.TrunkGroupNum));
    page->m_ListView->SelectRow(0);
    static_cast<QComboBox *>(page->m_ListView->EditorOf(1))->setCurrentIndex(1);
    Tick(page->m_ListView->EditorOf(2), 0);
    Tick(page->m_ListView->EditorOf(2), 1);
    page->m_Apply->click();
    EXPECT_TRUE(RunUntil(
        [&] {
            for (size_t i = 0; i < 2; ++i) {
                const auto r = FakeSwitch::RecordOf<Intp::TSessionPortTrunkGet>(m_Fleet.Snapshot(i));
                if (r.entries.empty() || r.entries[0].members != 0x3 || !r.entries[0].lacp)
                    return false;
            }
            return true;
        },
        30s));
}

TEST_F(ConsoleE2E, ASecondGenerationTrunkGroupChangesEverySelectedSwitch)
{
    const FakeSwitch::TModel model =
        ShippedModel([](const FakeSwitch::TModel &m) { return m.SecondGeneration && m.Type.TrunkGroupNum > 0; });
    StartFleetOf({model}, 2);
    OpenLoggedIn();
    auto *page = ShowDevicePage<TModulePortTrunk2>();
    ASSERT_TRUE(EveryRead<Intp::TPropertyPortTrunk2>());
    page->OnNotify(DeviceOf(0), Intp::ccPortTrunkGet2, 0);
    ASSERT_EQ(page->m_ListView->RowCount(), int(model.Type.TrunkGroupNum));
    page->m_ListView->SelectRow(0);
    static_cast<QComboBox *>(page->m_ListView->EditorOf(1))->setCurrentIndex(1); // LACP
    Tick(page->m_ListView->EditorOf(3), 1);
    Tick(page->m_ListView->EditorOf(3), 2);
    page->m_Apply->click();
    EXPECT_TRUE(RunUntil(
        [&] {
            for (size_t i = 0; i < 2; ++i) {
                const auto r = FakeSwitch::RecordOf<Intp::TSessionPortTrunkGet2>(m_Fleet.Snapshot(i));
                if (r.entries.size() != model.Type.TrunkGroupNum + 1 || r.entries[0].members != 0x6 ||
                    !r.entries[0].lacp || r.entries[0].workPorts != 2 || r.entries.back().members != 0x6)
                    return false;
            }
            return true;
        },
        30s));
}
