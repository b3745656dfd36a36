// One poll cycle of the status monitor over 10,000 switches: the GUI thread's
// CPU time from the cycle's start until the last reply has been shown, with
// the "Status Monitor" page on show and hidden, and as the same run's
// baseline the bare pings: the same 10,000 pings through the same host to a
// receiver that does nothing with the outcome.
// The switches are one fake fleet behind one socket on loopback (127.1.x.y);
// pings and replies go through the console's real socket, receive queue,
// protocol host and library dispatcher of the main window. Figures are the
// counters (GUI-thread CPU per cycle); cycles past a CPU budget are skipped.
#include <benchmark/benchmark.h>

#include "console/MainForm.h"
#include "pages/kit/MessageBox.h"
#include "console/StatusMonitor.h"
#include "intp/Device.h"
#include "intp/Operations.h"
#include "intp/Session.h"
#include "tests/bench/Rounds.h"
#include "tests/bench/QtBench.h"
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/pages/RunUntil.h"

#include <QApplication>
#include <QSpinBox>
#include <QTreeWidgetItem>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr size_t SwitchCount = 10000;
constexpr uint32_t FirstSwitchIp = 0x7F010001; // 127.1.0.1
constexpr double TargetMs = 100;
// Cycles after this much CPU are not run (a slow build or a regression).
constexpr double BudgetMs = 60000;
constexpr std::chrono::milliseconds CycleTimeout{300000};

FakeSwitch::TMac MacOf(size_t i)
{
    return {0x02, 0x00, 0x5E, 0x10, uint8_t(i >> 8), uint8_t(i)};
}

struct TBench {
    FakeSwitch::TFleet fleet{0, 0};
    std::unique_ptr<TMainForm> form;
    TStatusFrame* monitor = nullptr;
    QTreeWidgetItem* monitorNode = nullptr;
    bool ready = false;

    TBench()
    {
        SetMessageBoxHook([](const TMessageBoxRequest&) { return QMessageBox::Ok; });
        for (size_t i = 0; i < SwitchCount; ++i) {
            FakeSwitch::TSwitchSettings s;
            s.Mac = MacOf(i);
            s.ProductId = "BENCH-1";
            s.Factory.Ip = FirstSwitchIp + uint32_t(i);
            s.Factory.Netmask = 0xFF000000;
            fleet.Add(s);
            // Every tenth switch reports a failing port: longer status texts.
            if (i % 10 == 0)
                fleet.SetPing(i, 0, 0x11, 0x3F);
        }
        if (!fleet.Start())
            return;

        TMainForm::TOptions options;
        options.bindAddress = QHostAddress(QHostAddress::LocalHost);
        options.remotePort = fleet.Port();
        options.openSyslog = false;
        options.trayIcon = false;
        form = std::make_unique<TMainForm>(options);
        if (!form->Init())
            return;
        form->resize(1280, 800);
        form->show();
        monitor = dynamic_cast<TStatusFrame*>(form->GetStatusServer());
        for (int i = 0; monitor && i < form->RootNode()->childCount(); ++i) {
            if (form->RootNode()->child(i)->text(0) == monitor->GetCaption())
                monitorNode = form->RootNode()->child(i);
        }
        if (!monitorNode)
            return;
        monitor->m_QueryPeriod->setValue(86400); // cycles only when the bench runs one
        monitor->m_QueryTmo->setValue(5);

        // The switches as a discovery leaves them; listing polls each once.
        TDeviceList devices;
        for (size_t i = 0; i < SwitchCount; ++i) {
            Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(MacOf(i).data()), true);
            device->SetIp(FirstSwitchIp + uint32_t(i));
            devices.push_back(device);
        }
        monitor->AddDevices(devices);
        ready = monitor->RowCount() == int(SwitchCount) && RunUntil([] { return Intp::GetSessionCount() == 0; }, std::chrono::seconds(20));
    }

    ~TBench()
    {
        if (form)
            form->Shutdown();
        fleet.Stop();
    }

    unsigned Pings() const
    {
        unsigned n = 0;
        for (size_t i = 0; i < SwitchCount; ++i)
            n += fleet.Requests(i, 6);
        return n;
    }

    int OfflineRows() const
    {
        int n = 0;
        for (int row = 0; row < monitor->RowCount(); ++row)
            n += (monitor->RowState(row) & Status::sbNoReply) != 0;
        return n;
    }
};

std::unique_ptr<TBench> g_Bench; // made on first use, ended before the application

TBench& Bench()
{
    if (!g_Bench)
        g_Bench = std::make_unique<TBench>();
    return *g_Bench;
}

// Runs poll cycles with the monitor's page on show or hidden behind the
// "Devices" page; counts the GUI thread's CPU time of each whole cycle,
// painting included.
void Cycle(benchmark::State& state, bool shown)
{
    TBench& bench = Bench();
    if (!bench.ready) {
        state.SkipWithError("the console or the fleet did not start");
        return;
    }
    bench.form->SelectNode(shown ? bench.monitorNode : bench.form->DevicesNode());
    QApplication::processEvents();
    if (bench.monitor->isVisible() != shown) {
        state.SkipWithError("the page is not in the wanted state");
        return;
    }
    std::vector<double> cpu;
    double spent = 0;
    int offline = 0;
    const unsigned pingsBefore = bench.Pings();
    for (auto _ : state) {
        if (spent > BudgetMs)
            continue;
        QApplication::processEvents(); // nothing left of the previous cycle
        const double start = ThreadCpuMs();
        bench.monitor->Refresh(false);
        if (!RunUntil([] { return Intp::GetSessionCount() == 0; }, CycleTimeout)) {
            state.SkipWithError("the cycle did not end");
            break;
        }
        QApplication::processEvents(); // the repaint of the last replies
        cpu.push_back(ThreadCpuMs() - start);
        spent += cpu.back();
        offline = std::max(offline, bench.OfflineRows());
    }
    std::sort(cpu.begin(), cpu.end());
    state.counters["gui_cpu_ms_median"] = cpu.empty() ? 0 : cpu[cpu.size() / 2];
    state.counters["gui_cpu_ms_min"] = cpu.empty() ? 0 : cpu.front();
    state.counters["gui_cpu_ms_max"] = cpu.empty() ? 0 : cpu.back();
    state.counters["cycles"] = double(cpu.size());
    state.counters["pings_per_cycle"] = cpu.empty() ? 0 : double(bench.Pings() - pingsBefore) / double(cpu.size());
    state.counters["offline_rows"] = offline;
    if (!cpu.empty() && cpu[cpu.size() / 2] > TargetMs)
        state.SetLabel("above the target of 100 ms of CPU per cycle");
}

// The baseline: what the pings alone cost the GUI thread (sent, answered and
// dispatched through the same window's host), the outcome dropped.
class TNoWizard : public Intp::TWizard {
public:
    void OnWizardEvent(Intp::TDevice*, std::uint16_t, std::uint16_t, const void*) override {}
};

void BM_StatusCycleBarePings(benchmark::State& state)
{
    TBench& bench = Bench();
    if (!bench.ready) {
        state.SkipWithError("the console or the fleet did not start");
        return;
    }
    bench.form->SelectNode(bench.form->DevicesNode());
    TNoWizard wizard;
    std::vector<double> cpu;
    for (auto _ : state) {
        QApplication::processEvents();
        const double start = ThreadCpuMs();
        for (size_t i = 0; i < SwitchCount; ++i) {
            Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(MacOf(i).data()), false);
            Intp::StartOrDelete(new Intp::TSessionIntpPing2(5000), device, &wizard);
        }
        if (!RunUntil([] { return Intp::GetSessionCount() == 0; }, CycleTimeout)) {
            state.SkipWithError("the cycle did not end");
            break;
        }
        QApplication::processEvents();
        cpu.push_back(ThreadCpuMs() - start);
    }
    std::sort(cpu.begin(), cpu.end());
    state.counters["gui_cpu_ms_median"] = cpu.empty() ? 0 : cpu[cpu.size() / 2];
    state.counters["gui_cpu_ms_min"] = cpu.empty() ? 0 : cpu.front();
    state.counters["gui_cpu_ms_max"] = cpu.empty() ? 0 : cpu.back();
}

void BM_StatusCyclePageShown(benchmark::State& state) { Cycle(state, true); }
void BM_StatusCyclePageHidden(benchmark::State& state) { Cycle(state, false); }

} // namespace

BENCHMARK(BM_StatusCycleBarePings)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(7))->UseRealTime();
BENCHMARK(BM_StatusCyclePageHidden)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(7))->UseRealTime();
BENCHMARK(BM_StatusCyclePageShown)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(7))->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { g_Bench.reset(); });
}
