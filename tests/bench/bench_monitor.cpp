// The monitor pages on a large switch, no network: replies go through the
// tests' fake protocol host. GUI-thread CPU time of each step:
//  - MAC table: 16,384 addresses read in 129 pages (the slowest page, and
//    the last one, whose notification lists every address of the port: all
//    on one port, the worst case), the pending column measuring, and a sort
//    by address;
//  - port statistics: one refresh of a 26-port switch (status, counters,
//    refill).
#include <benchmark/benchmark.h>

#include "intp/Monitor.h"
#include "intp/Ports.h"
#include "pages/ports/ModuleMonitor_MAC.h"
#include "pages/ports/ModuleMonitor_Port.h"
#include "tests/bench/QtBench.h"
#include "tests/common/Records.h"
#include "tests/pages/PageTestHost.h"

#include <QApplication>
#include <QHeaderView>

#include <algorithm>
#include <memory>

namespace {

uint32_t Model(uint32_t ports, uint32_t trunkGroups)
{
    Intp::TDeviceType type;
    type.Name = "Bench model";
    type.PortNum = ports;
    type.TrunkGroupNum = trunkGroups;
    return uint32_t(Intp::RegisterDeviceType(&type));
}

void BM_MacTable(benchmark::State& state)
{
    const int count = int(state.range(0));
    double slowestPage = 0, lastPage = 0, measure = 0, sort = 0;
    int rows = 0;
    for (auto _ : state) {
        TPageTestEnvironment env;
        Intp::TDevice* device = env.AddDevice(1, Ip(10, 0, 0, 1));
        device->SetType(Model(26, 8));
        env.host.selection.push_back(device);
        auto page = std::make_unique<TModuleMonitorMac>();
        page->SetHost(&env.host);
        env.page = page.get();
        Intp::Property<Intp::TPropertyPortName>::Get(device) = IntpTest::PortNames(Intp::ModelOf(device));
        Intp::Property<Intp::TPropertyPortConfig>::Get(device) = IntpTest::PortConfig(Intp::ModelOf(device));
        page->show();
        page->Refresh(false);

        std::vector<Intp::TPropertyMonitorMacEntry> entries(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i)
            entries[std::size_t(i)] = {0, Intp::TMacAddr(0x02, 0x5E, uint8_t(i * 7), uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)),
                                       i % 8 == 0};
        slowestPage = 0;
        for (int first = 0;; first += 128) {
            const int end = std::min(count, first + 128);
            std::vector<uint8_t> reply(4, 0);
            const auto bytes = Intp::EncodeEntries(Intp::TPropertyMonitorMac::EntryFields,
                                                   std::vector(entries.begin() + first, entries.begin() + end),
                                                   Intp::TOrder::Wire, Intp::TMessage::Get);
            reply.insert(reply.end(), bytes.begin(), bytes.end());
            const double start = ThreadCpuMs();
            IntpTest::TFakeHost::Reply(Intp::ccMonitorMacGet, device, reply);
            lastPage = ThreadCpuMs() - start;
            slowestPage = std::max(slowestPage, lastPage);
            if (end - first < 128)
                break;
        }
        double start = ThreadCpuMs();
        QApplication::processEvents();
        measure = ThreadCpuMs() - start;
        start = ThreadCpuMs();
        page->m_List->header()->sectionClicked(1);
        sort = ThreadCpuMs() - start;
        rows = page->m_List->RowCount();
        if (rows != count)
            state.SkipWithError("the addresses were not listed");
        env.page = nullptr;
    }
    state.counters["slowest_page_cpu_ms"] = slowestPage;
    state.counters["listing_page_cpu_ms"] = lastPage;
    state.counters["measure_cpu_ms"] = measure;
    state.counters["sort_cpu_ms"] = sort;
}

// One refresh: the status read, its reply chaining the counter read, whose
// reply refills the page; averaged over rounds.
void BM_PortStatistics(benchmark::State& state)
{
    const int rounds = 200;
    double perRefresh = 0;
    for (auto _ : state) {
        TPageTestEnvironment env;
        Intp::TDevice* device = env.AddDevice(1, Ip(10, 0, 0, 1));
        device->SetType(Model(26, 8));
        env.host.selection.push_back(device);
        auto page = std::make_unique<TModuleMonitorPort>();
        page->SetHost(&env.host);
        env.page = page.get();
        page->show();
        const auto& model = Intp::ModelOf(device);
        const auto status = Intp::EncodeRecord(
            IntpTest::PerPort<Intp::TPropertyPortStatus>(model, [](std::size_t i, auto& e) { e.link = i % 2; }),
            Intp::TMessage::Get);
        const double start = ThreadCpuMs();
        for (int round = 0; round < rounds; ++round) {
            page->Refresh(true);
            IntpTest::TFakeHost::Reply(Intp::ccPortStatusGet, device, status);
            const auto stats = Intp::EncodeRecord(
                IntpTest::PerPort<Intp::TPropertyMonitorPort>(
                    model, [round](std::size_t i, auto& e) { e.txGood = uint32_t(round * 100 + int(i)); }),
                Intp::TMessage::Get);
            IntpTest::TFakeHost::Reply(Intp::ccMonitorPortGet, device, stats);
            QApplication::processEvents();
        }
        perRefresh = (ThreadCpuMs() - start) / rounds;
        if (page->m_List->RowCount() != 26)
            state.SkipWithError("the ports were not listed");
        env.page = nullptr;
    }
    state.counters["refresh_cpu_ms"] = perRefresh;
}

} // namespace

BENCHMARK(BM_PortStatistics)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MacTable)->Arg(16384)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
