// One poll cycle of the status monitor over 10,000 switches: the GUI thread's
// CPU time from the cycle's start until the last reply has been shown, with
// the "Status Monitor" page on show and hidden, and as the same run's
// baseline the bare pings: the same 10,000 pings through the same host to a
// receiver that does nothing with the outcome.
// The switches are one fake fleet behind one socket on loopback (127.1.x.y);
// pings and replies go through the console's real socket, receive queue,
// protocol host and library dispatcher of the main window. Rounds interleave
// the three, and time showing the page after a hidden cycle (wall time, the
// target 16 ms); figures are the counters (medians, min and max of the warm
// rounds, ratios to the bare pings, target 1.1), each round is printed;
// rounds past a CPU budget are skipped.
#include <benchmark/benchmark.h>

#include "console/MainForm.h"
#include "pages/kit/MessageBox.h"
#include "console/StatusMonitor.h"
#include "intp/Device.h"
#include "intp/Operations.h"
#include "intp/Session.h"
#include "pages/kit/NumberBox.h"
#include "tests/bench/Rounds.h"
#include "tests/bench/QtBench.h"
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/pages/RunUntil.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidgetItem>

#include <algorithm>
#include <cstdio>
#include <string>
#include <memory>
#include <vector>

namespace {

constexpr size_t SwitchCount = 10000;
constexpr uint32_t FirstSwitchIp = 0x7F010001; // 127.1.0.1
constexpr double TargetRatio = 1.1;
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
        monitor->QueryPeriod()->setValue(86400); // cycles only when the bench runs one
        monitor->QueryTmo()->setValue(5);

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

// The baseline's receiver: the pings' outcome is dropped.
class TNoWizard : public Intp::TWizard {
public:
    void OnWizardEvent(Intp::TDevice*, std::uint16_t, std::uint16_t, const void*) override {}
};

// One cycle's GUI-thread CPU in ms, painting included, or -1 when it did not
// end: bare pings (sent, answered and dispatched through the same window's
// host, the outcome dropped), or the monitor's poll with its page on show or
// hidden behind the "Devices" page.
double BareCycle(TBench& bench)
{
    bench.form->SelectNode(bench.form->DevicesNode());
    TNoWizard wizard;
    QApplication::processEvents();
    const double start = ThreadCpuMs();
    for (size_t i = 0; i < SwitchCount; ++i) {
        Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(MacOf(i).data()), false);
        Intp::StartOrDelete(new Intp::TSessionIntpPing2(5000), device, &wizard);
    }
    if (!RunUntil([] { return Intp::GetSessionCount() == 0; }, CycleTimeout))
        return -1;
    QApplication::processEvents();
    return ThreadCpuMs() - start;
}

double MonitorCycle(TBench& bench, bool shown)
{
    bench.form->SelectNode(shown ? bench.monitorNode : bench.form->DevicesNode());
    QApplication::processEvents(); // nothing left of the previous cycle
    if (bench.monitor->isVisible() != shown)
        return -1;
    const double start = ThreadCpuMs();
    bench.monitor->Refresh(false);
    if (!RunUntil([] { return Intp::GetSessionCount() == 0; }, CycleTimeout))
        return -1;
    QApplication::processEvents(); // the repaint of the last replies
    return ThreadCpuMs() - start;
}

// Showing the page after a hidden cycle: the selection, the page's show and
// its first paint, in wall time (the page waits that long).
double ShowAfterHidden(TBench& bench)
{
    if (MonitorCycle(bench, false) < 0)
        return -1;
    QElapsedTimer clock;
    clock.start();
    bench.form->SelectNode(bench.monitorNode);
    QApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

struct TFigures {
    std::vector<double> bare, hidden, shown, showing;
};

void Report(benchmark::State& state, const char* name, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    state.counters[std::string(name) + "_median"] = v.empty() ? 0 : v[v.size() / 2];
    state.counters[std::string(name) + "_min"] = v.empty() ? 0 : v.front();
    state.counters[std::string(name) + "_max"] = v.empty() ? 0 : v.back();
}

std::vector<double> Ratios(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> r;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        r.push_back(a[i] / std::max(b[i], 1e-3));
    return r;
}

// Interleaved rounds of: bare pings, a hidden cycle, a shown cycle, and a
// hidden cycle followed by showing the page. The first round (cold) is
// reported apart.
void BM_StatusCycles(benchmark::State& state)
{
    TBench& bench = Bench();
    if (!bench.ready) {
        state.SkipWithError("the console or the fleet did not start");
        return;
    }
    TFigures all;
    double spent = 0;
    int offline = 0, round = 0;
    const unsigned pingsBefore = bench.Pings();
    for (auto _ : state) {
        if (spent > BudgetMs)
            continue;
        const double bare = BareCycle(bench), hidden = MonitorCycle(bench, false);
        const double shown = MonitorCycle(bench, true), showing = ShowAfterHidden(bench);
        if (bare < 0 || hidden < 0 || shown < 0 || showing < 0) {
            state.SkipWithError("a cycle did not end or the page is not in the wanted state");
            break;
        }
        spent += bare + hidden + shown;
        offline = std::max(offline, bench.OfflineRows());
        std::printf("round %d%s: GUI CPU per cycle: bare pings %.1f ms, page hidden %.1f ms, page shown %.1f ms; "
                    "page shown after a hidden cycle in %.1f ms\n",
                    round, round == 0 ? " (cold)" : "", bare, hidden, shown, showing);
        if (round++ == 0 && state.max_iterations > 1)
            continue;
        all.bare.push_back(bare);
        all.hidden.push_back(hidden);
        all.shown.push_back(shown);
        all.showing.push_back(showing);
    }
    Report(state, "bare_cpu_ms", all.bare);
    Report(state, "hidden_cpu_ms", all.hidden);
    Report(state, "shown_cpu_ms", all.shown);
    Report(state, "show_after_hidden_ms", all.showing);
    Report(state, "hidden_ratio", Ratios(all.hidden, all.bare));
    Report(state, "shown_ratio", Ratios(all.shown, all.bare));
    state.counters["pings_per_round"] = round ? double(bench.Pings() - pingsBefore) / double(round) : 0;
    state.counters["offline_rows"] = offline;
    std::vector<double> ratios = Ratios(all.shown, all.bare);
    std::sort(ratios.begin(), ratios.end());
    if (!ratios.empty() && ratios[ratios.size() / 2] > TargetRatio)
        state.SetLabel("a cycle costs more than 1.1 times the bare pings");
}

} // namespace

BENCHMARK(BM_StatusCycles)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(8))->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv, [] { g_Bench.reset(); });
}
