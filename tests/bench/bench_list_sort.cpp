// A header click on the MAC address table page with 16,384 addresses of one
// port, no network: the rows are listed anew in the table's (unsorted) order
// before each click, and the click's GUI-thread CPU time is measured. By
// column: 1 the address, 2 the type (two texts, many equal rows).
#include <benchmark/benchmark.h>

#include "intp/Monitor.h"
#include "intp/Ports.h"
#include "pages/ports/ModuleMonitor_MAC.h"
#include "tests/bench/QtBench.h"
#include "tests/common/Records.h"
#include "tests/pages/PageTestHost.h"

#include <QApplication>
#include <QHeaderView>

#include <memory>

namespace {

constexpr int Addresses = 16384;

void BM_MacTableSort(benchmark::State& state)
{
    const int column = int(state.range(0));
    TPageTestEnvironment env;
    Intp::TDevice* device = env.AddDevice(1, Ip(10, 0, 0, 1));
    Intp::TDeviceType type;
    type.Name = "Bench model";
    type.PortNum = 26;
    type.TrunkGroupNum = 8;
    device->SetType(uint32_t(Intp::RegisterDeviceType(&type)));
    env.host.selection.push_back(device);
    Intp::Property<Intp::TPropertyPortName>::Get(device) = IntpTest::PortNames(Intp::ModelOf(device));
    Intp::Property<Intp::TPropertyPortConfig>::Get(device) = IntpTest::PortConfig(Intp::ModelOf(device));
    auto& table = Intp::Property<Intp::TPropertyMonitorMac>::Get(device);
    table.valid = true;
    for (int i = 0; i < Addresses; ++i)
        table.entries.push_back(
            {0, Intp::TMacAddr(0x02, 0x5E, uint8_t(i * 7), uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)), i % 8 == 0});

    auto page = std::make_unique<TModuleMonitorMac>();
    page->SetHost(&env.host);
    env.page = page.get();
    page->show();
    page->OnNotify(device, Intp::ccMonitorMacGet, Intp::ssOk);
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        page->EventOnPortChange();
        QApplication::processEvents();
        state.ResumeTiming();
        const double start = ThreadCpuMs();
        page->m_List->header()->sectionClicked(column);
        cpu += ThreadCpuMs() - start;
    }
    if (page->m_List->RowCount() != Addresses)
        state.SkipWithError("the addresses were not listed");
    state.counters["sort_cpu_ms"] = cpu / double(state.iterations());
    env.page = nullptr;
}

} // namespace

BENCHMARK(BM_MacTableSort)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
