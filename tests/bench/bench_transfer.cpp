// Built-in firmware upgrade of a 4 MiB image over loopback, driven by the
// upgrade page through the console's real socket, queue and protocol host:
// to one fake switch, and to 20 at once. Compared with the fake switch's bare
// stop-and-wait rate (a minimal blocking client, same round), and for 20
// rows also with 20 such clients running in parallel, one per switch, while
// a timer probe watches that the event loop never stalls. The group
// firmware wizard upgrades all 20 at once against the 20 parallel clients.
#include <benchmark/benchmark.h>

#include "console/GroupFirmwareWizard.h"
#include "pages/system/Modulebasics_upgrade.h"
#include "tests/bench/Rounds.h"
#include "tests/bench/QtBench.h"
#include "tests/fakeswitch/TestClient.h"
#include "tests/pages/PageTestHost.h"
#include "tests/pages/TransferLoopback.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace FakeSwitch;

constexpr size_t ImageSize = 4u << 20;
constexpr uint16_t ImageBlocks = uint16_t(ImageSize / 512);
constexpr size_t FleetSize = 20;
constexpr int ProbeMs = 5;
constexpr std::chrono::milliseconds RunTimeout{120000};

struct TBenchFleet {
    TFleet fleet{0, 0};
    std::shared_ptr<TTransferScript> script = std::make_shared<TTransferScript>();

    TBenchFleet()
    {
        StartTransferFleet(fleet, script, FleetSize, 0x20);
        for (size_t i = 0; i < FleetSize; ++i)
            fleet.Edit(i, [](TSwitch& sw) {
                sw.UploadBlocks = ImageBlocks;
                sw.LoggedIn.insert(TLoopbackConsole::ConsoleIp);
            });
    }
};

TBenchFleet& Fleet()
{
    static TBenchFleet fleet;
    return fleet;
}

// The gaps between ticks of a 5 ms timer: the longest is the worst stall.
// A gap is also measured in the GUI thread's own CPU time, which tells a
// stall of the event loop's work from the thread waiting for a CPU on a
// loaded machine.
class TStallProbe {
public:
    TStallProbe()
    {
        m_Timer.setInterval(ProbeMs);
        m_Timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] {
            m_Longest = std::max(m_Longest, m_Clock.restart() - ProbeMs);
            const double cpu = ThreadCpuMs();
            m_LongestBusy = std::max(m_LongestBusy, cpu - m_LastCpu);
            m_LastCpu = cpu;
        });
        m_Clock.start();
        m_LastCpu = ThreadCpuMs();
        m_Timer.start();
    }
    // The bare client blocks this thread on purpose: not a stall of the loop.
    void Suspend() { m_Timer.stop(); }
    void Resume()
    {
        m_Clock.restart();
        m_LastCpu = ThreadCpuMs();
        m_Timer.start();
    }
    qint64 LongestStallMs() const { return std::max<qint64>(0, m_Longest); }
    double LongestBusyMs() const { return m_LongestBusy; }

private:
    QTimer m_Timer;
    QElapsedTimer m_Clock;
    qint64 m_Longest = 0;
    double m_LastCpu = 0;
    double m_LongestBusy = 0;
};

// The fake switch alone: one block, wait for its acknowledgement, next
// block. Answers bytes per second over the given number of images.
double MeasureBareStopAndWait(int images, size_t index = 0)
{
    TBenchFleet& bench = Fleet();
    TTestClient client(TLoopbackConsole::ConsoleIp);
    const TMac mac = bench.fleet.Snapshot(index).Settings.Mac;
    TBytes payload(514, 0x5A);
    QElapsedTimer clock;
    clock.start();
    for (int image = 0; image < images; ++image) {
        for (uint16_t block = 0; block < ImageBlocks;) {
            payload[0] = uint8_t(block >> 8);
            payload[1] = uint8_t(block);
            client.Send(bench.fleet.Ip(index), bench.fleet.Port(), 256, mac, payload);
            auto reply = client.Receive(std::chrono::milliseconds(500));
            if (!reply || reply->Bytes.size() < 16)
                continue;  // lost: send the block again
            const uint16_t word = uint16_t(reply->Bytes[14] << 8 | reply->Bytes[15]);
            if (word == 0 || word == 1)
                ++block;
        }
        client.Receive(std::chrono::milliseconds(500));  // the final "done"
    }
    return double(ImageSize) * images / std::max(1e-9, double(clock.nsecsElapsed()) / 1e9);
}

// One bare client per switch, all at once: answers their total bytes per second.
double MeasureParallelBareStopAndWait(size_t switches)
{
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> clients;
    for (size_t i = 0; i < switches; ++i)
        clients.emplace_back([i] { MeasureBareStopAndWait(1, i); });
    for (std::thread& client : clients)
        client.join();
    return double(ImageSize) * double(switches) / std::max(1e-9, double(clock.nsecsElapsed()) / 1e9);
}

void BM_BareStopAndWait(benchmark::State& state)
{
    double rate = 0;
    for (auto _ : state)
        rate = MeasureBareStopAndWait(1);
    state.counters["MiB/s"] = rate / double(1 << 20);
}

QString WriteImage(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("fw.bin");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray image(int(ImageSize), 0);
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + i / 512);
    file.write(image);
    return path;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The console side of an upgrade benchmark: the image, the console on
// loopback and a page host listing the first switches of the fleet.
struct TUpgradeSetup {
    explicit TUpgradeSetup(size_t switches) : path(WriteImage(dir))
    {
        for (size_t i = 0; i < switches; ++i)
            host.selection.push_back(TLoopbackConsole::AddSwitch(Fleet().fleet, i));
    }

    QTemporaryDir dir;
    QString path;
    TLoopbackConsole console{Fleet().fleet.Port()};
    TFakePageHost host;
};

struct TBaseline {
    std::string name;
    std::function<double()> rate;  // bytes per second
};

// Each round measures the baselines first (the probe paused: bare clients
// block this thread on purpose; the machine's load drifts, so each run is
// compared with baselines just before it), then one upgrade that start()
// begins on the rows. Round 0 (first transfer of the page) is reported on
// its own; the rest give medians with min and max. Counters: the rates and
// their ratios, the longest stall and busy stretch of the event loop, the
// failed rows.
void RunRounds(benchmark::State& state, size_t switches, const TTransferPage& rows, const std::function<void()>& start,
               const std::vector<TBaseline>& baselines)
{
    // The first show (window, style, layout) is not part of a transfer.
    QApplication::processEvents();
    QApplication::processEvents();

    TStallProbe probe;
    std::vector<double> rates;
    std::vector<std::vector<double>> bases(baselines.size()), ratios(baselines.size());
    int failed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        probe.Suspend();
        std::vector<double> base;
        for (const TBaseline& baseline : baselines)
            base.push_back(baseline.rate());
        probe.Resume();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        start();
        if (!RunUntil([&] { return !rows.IsBusy(); }, RunTimeout))
            state.SkipWithError("the upgrade did not end");
        const double rate = double(ImageSize) * double(switches) / std::max(1e-9, double(clock.nsecsElapsed()) / 1e9);
        rates.push_back(rate);
        for (size_t b = 0; b < baselines.size(); ++b) {
            bases[b].push_back(base[b]);
            ratios[b].push_back(rate / base[b]);
        }
        for (int row = 0; row < rows.RowCount(); ++row)
            failed += rows.RowState(row) != tsDone;
    }
    constexpr double MiB = double(1 << 20);
    auto warm = [](const std::vector<double>& all) {
        return all.size() > 1 ? std::vector<double>(all.begin() + 1, all.end()) : all;
    };
    state.counters["MiB/s"] = Median(warm(rates)) / MiB;
    state.counters["per_switch_MiB/s"] = Median(warm(rates)) / double(switches) / MiB;
    for (size_t b = 0; b < baselines.size(); ++b) {
        const std::string& name = baselines[b].name;
        const std::vector<double> r = warm(ratios[b]);
        state.counters[name + "_MiB/s"] = Median(warm(bases[b])) / MiB;
        state.counters["ratio_to_" + name] = Median(r);
        state.counters["ratio_to_" + name + "_min"] = *std::min_element(r.begin(), r.end());
        state.counters["ratio_to_" + name + "_max"] = *std::max_element(r.begin(), r.end());
        if (!ratios[b].empty())
            state.counters["cold_ratio_to_" + name] = ratios[b].front();
    }
    state.counters["max_stall_ms"] = double(probe.LongestStallMs());
    state.counters["max_busy_ms"] = probe.LongestBusyMs();
    state.counters["failed_rows"] = failed;
    if (failed != 0)
        state.SkipWithError("an upgrade row did not end as done");
    if (probe.LongestBusyMs() > 50)
        state.SkipWithError("the event loop was busy for longer than 50 ms at a stretch");
}

const TBaseline OneBareClient{"bare", [] { return MeasureBareStopAndWait(1); }};
const TBaseline ParallelBareClients{"parallel_bare", [] { return MeasureParallelBareStopAndWait(FleetSize); }};

void Upgrade(benchmark::State& state, size_t switches)
{
    TUpgradeSetup setup(switches);
    TModuleBasicsUpgrade page;
    page.SetHost(&setup.host);
    setup.console.ShowPage(&page);
    page.OnNotify(setup.host.selection.front(), ncSelectionChanged, 0);
    page.EventOnFileChosen(setup.path);
    std::vector<TBaseline> baselines{OneBareClient};
    if (switches > 1)
        baselines.push_back(ParallelBareClients);
    RunRounds(state, switches, page, [&] { page.EventOnUpgradeClick(); }, baselines);
}

// The group firmware wizard upgrading all 20 at once against 20 bare clients
// in parallel, one per switch.
void BM_GroupWizardTwentySwitches(benchmark::State& state)
{
    TUpgradeSetup setup(FleetSize);
    TWizardGroupFwFrame wizard;
    wizard.SetHost(&setup.host);
    setup.console.ShowPage(&wizard);
    wizard.show();
    wizard.m_Next->click();
    wizard.m_Picker->m_Step1SelectAll->click();
    wizard.m_Next->click();
    wizard.m_Step2Preview->EventOnFileChosen(setup.path);
    RunRounds(state, FleetSize, *wizard.m_Step2Preview, [&] { wizard.m_Next->click(); }, {ParallelBareClients});
}

void BM_UpgradeOneSwitch(benchmark::State& state) { Upgrade(state, 1); }
void BM_UpgradeTwentySwitches(benchmark::State& state) { Upgrade(state, FleetSize); }

}  // namespace

BENCHMARK(BM_BareStopAndWait)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(3))->UseRealTime();
// A cold round and at least seven warm ones.
BENCHMARK(BM_UpgradeOneSwitch)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(11))->UseRealTime();
BENCHMARK(BM_UpgradeTwentySwitches)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(8))->UseRealTime();
BENCHMARK(BM_GroupWizardTwentySwitches)->Unit(benchmark::kMillisecond)->Iterations(BenchRounds(8))->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
