// The main window with 4,094 switches of one model listed, offscreen, no
// network (sends are dropped): the time the window is busy after a click on
// the first switch and Ctrl+A (every switch selected), and after a re-sort
// of the tree ("Sort Devices By" between "None" and "Model") with all of
// them selected, until the tree is repainted and every event the change
// posted is handled. Wall and GUI-thread CPU time, medians of the rounds;
// target: each under 500 ms.
#include <benchmark/benchmark.h>

#include "console/DeviceTypesFile.h"
#include "console/MainForm.h"
#include "console/ProtocolHost.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "pages/kit/FilterServer.h"
#include "tests/bench/QtBench.h"
#include "tests/bench/Rounds.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

constexpr int kSwitches = 4094;

class TAcceptAll : public Filter::TFilterServer {
public:
    Filter::TFilterSettings* GetSettings() override { return &m_Settings; }
    bool Accept(std::uint32_t) override { return true; }
    void GetTargets(TIpMaskList&) override {}

private:
    Filter::TFilterSettings m_Settings;
};

// Counts the paints of a widget.
class TPaints : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_Count += event->type() == QEvent::Paint;
        return false;
    }
    int m_Count = 0;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Handles events until done() holds and nothing more is pending.
template <class TDone>
bool Settle(TDone done)
{
    QElapsedTimer deadline;
    deadline.start();
    while (!done()) {
        if (deadline.elapsed() > 60000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QApplication::sendPostedEvents();
    QApplication::processEvents();
    return true;
}

void BM_TreeSelectAllAndResort(benchmark::State& state)
{
    Intp::InitDeviceTypes();
    LoadDevicesFile(CONSOLE_DEVICES_DEV);
    TAcceptAll filter;
    TMainForm::TOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.openSyslog = false;
    options.trayIcon = false;
    TMainForm form(options);
    if (!form.Init()) {
        state.SkipWithError("the window did not open");
        return;
    }
    form.SetFilterServer(&filter);
    form.Host()->SetSendHook([](std::uint32_t, const std::uint8_t*, std::size_t) {});
    form.resize(1280, 860);
    form.show();
    QApplication::processEvents();
    std::vector<Intp::TDevice*> devices;
    for (int i = 0; i < kSwitches; ++i) {
        Intp::TDevice* device =
            Intp::FindDevice(Intp::TMacAddr(0x02, 0x00, 0x5E, 0x22, std::uint8_t(i >> 8), std::uint8_t(i)), true);
        device->SetIp(0xC6120000u + std::uint32_t(i + 1));  // 198.18.x.y
        device->SetType(1);
        devices.push_back(device);
    }
    QTreeWidget* tree = form.Tree();
    TPaints paints;
    tree->viewport()->installEventFilter(&paints);
    QApplication::processEvents();
    auto selected = [&] {
        TDeviceList list;
        return form.GetSelectedDevices(list);
    };
    std::vector<double> selectMs, selectCpuMs, resortMs, resortCpuMs;
    // Runs action, then handles events until done holds after a paint.
    auto timed = [&](auto action, auto done, std::vector<double>& wallMs, std::vector<double>& cpuMs) {
        QElapsedTimer wall;
        wall.start();
        const double cpu = ThreadCpuMs();
        paints.m_Count = 0;
        action();
        if (!Settle([&] { return done() && paints.m_Count > 0; }))
            return false;
        cpuMs.push_back(ThreadCpuMs() - cpu);
        wallMs.push_back(double(wall.nsecsElapsed()) / 1e6);
        return true;
    };
    int grouping = TMainForm::gNone;
    for (auto _ : state) {
        // One switch, as a click leaves it.
        tree->scrollToItem(form.FindDeviceNode(devices.front()));
        const QRect first = tree->visualItemRect(form.FindDeviceNode(devices.front()));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
        if (!Settle([&] { return selected() == 1; }) ||
            !timed([&] { QTest::keyClick(tree, Qt::Key_A, Qt::ControlModifier); },
                   [&] { return selected() == kSwitches; }, selectMs, selectCpuMs)) {
            state.SkipWithError("Ctrl+A did not select every switch");
            break;
        }
        grouping = grouping == TMainForm::gNone ? TMainForm::gModel : TMainForm::gNone;
        const QString groupText = grouping == TMainForm::gNone ? QStringLiteral("All Devices")
                                                                : QString::fromStdString(Intp::GetDeviceTypeName(1));
        Intp::TDevice* current = nullptr;
        if (!timed([&] { form.TreeSort()->setCurrentIndex(grouping); },
                   [&] {
                       return form.DevicesNode()->childCount() == 1 &&
                              form.DevicesNode()->child(0)->text(0) == groupText && selected() == kSwitches;
                   },
                   resortMs, resortCpuMs) ||
            form.GetCurrentDevice(current) != kSwitches || current != devices.front()) {
            state.SkipWithError("the re-sort lost the selection or the switch on show");
            break;
        }
    }
    state.counters["select_all_ms"] = Median(selectMs);
    state.counters["select_all_cpu_ms"] = Median(selectCpuMs);
    state.counters["resort_ms"] = Median(resortMs);
    state.counters["resort_cpu_ms"] = Median(resortCpuMs);
    form.hide();
}

} // namespace

BENCHMARK(BM_TreeSelectAllAndResort)->Iterations(BenchRounds(7))->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { Intp::DeleteAllDevices(); });
}

