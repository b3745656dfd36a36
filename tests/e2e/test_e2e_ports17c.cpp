// Trunk groups changed through the trunk pages of both generations on every
// selected switch, checked in the switches.

#include "tests/e2e/ConsoleE2E.h"

#include "pages/ports/ModulePort_Trunk.h"
#include "pages/ports/ModulePort_Trunk2.h"

#include <QHeaderView>

namespace {

// The page on show once the console holds the record it fills from.
// Once every switch's groups are read (a change builds on each one's own),
// the page shows the first.
template <class R, class TPage>
void FillWhenRead(TPage *page, std::initializer_list<Intp::TDevice *> devices, std::uint16_t code)
{
    for (Intp::TDevice *device : devices)
        if (!RunUntil([&] { return device->LatestRead<R>() != nullptr; }, 5s))
            throw std::runtime_error("the trunk groups were not read");
    page->OnNotify(*devices.begin(), code, 0);
}

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
    FillWhenRead<Intp::TPropertyPortTrunk>(page, {DeviceOf(0), DeviceOf(1)}, Intp::ccPortTrunkGet);
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
        5s));
}

TEST_F(ConsoleE2E, ASecondGenerationTrunkGroupChangesEverySelectedSwitch)
{
    const FakeSwitch::TModel model =
        ShippedModel([](const FakeSwitch::TModel &m) { return m.SecondGeneration && m.Type.TrunkGroupNum > 0; });
    StartFleetOf({model}, 2);
    OpenLoggedIn();
    auto *page = ShowDevicePage<TModulePortTrunk2>();
    FillWhenRead<Intp::TPropertyPortTrunk2>(page, {DeviceOf(0), DeviceOf(1)}, Intp::ccPortTrunkGet2);
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
        5s));
}
