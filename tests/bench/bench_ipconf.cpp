// The IP configuration page refilled with N switches selected, no network:
// the GUI thread's CPU time of one refill (the tree rebuilt, grouped by
// address and sorted), of choosing DHCP for every switch and of planning
// every switch from an address range; the page's first refill is reported
// apart. Linear in N is the goal; 65,536 selected within 100 ms.
#include <benchmark/benchmark.h>

#include "intp/Device.h"
#include "pages/kit/PageWidgets.h"
#include "pages/system/Modulebasics_ipconf.h"
#include "tests/bench/Rounds.h"
#include "tests/bench/QtBench.h"
#include "tests/pages/PageTestHost.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTreeView>

namespace {

void BM_IpConfRefill(benchmark::State& state)
{
    const int count = int(state.range(0));
    TPageTestEnvironment env;
    for (int i = 0; i < count; ++i) {
        const Intp::TMacAddr mac(0x02, 0x00, 0x5E, 0x21, uint8_t(i >> 8), uint8_t(i));
        Intp::TDevice* device = Intp::FindDevice(mac, true);
        // Every fourth switch shares its address with the one before.
        const int host = i - (i % 4 == 3);
        device->SetIp(Ip(198, 18, uint8_t(host >> 8), uint8_t(host)));
        env.host.selection.push_back(device);
    }
    TModuleBasicsIPConf page;
    page.SetHost(&env.host);
    page.show();
    QApplication::processEvents();
    double refillMs = 0, dhcpMs = 0, rangeMs = 0, coldMs = -1;
    for (auto _ : state) {
        page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtManual);
        page.Timer1Timer(); // ends the refill throttle's period
        double start = ThreadCpuMs();
        page.OnNotify(nullptr, ncSelectionChanged, 0);
        QApplication::processEvents();
        refillMs = ThreadCpuMs() - start;
        if (coldMs < 0)
            coldMs = refillMs; // the first refill of the page
        start = ThreadCpuMs();
        page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtDhcp);
        QApplication::processEvents();
        dhcpMs = ThreadCpuMs() - start;
        page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtRange);
        page.m_Address->SetValue(Ip(10, 0, 0, 1));
        page.m_Address2->SetValue(Ip(10, 255, 255, 254));
        page.m_Mask->SetValue(Ip(255, 0, 0, 0));
        start = ThreadCpuMs();
        page.m_Set->click();
        QApplication::processEvents();
        rangeMs = ThreadCpuMs() - start;
        if (!page.NodeOf(env.host.selection.back()).isValid())
            state.SkipWithError("the switches were not listed");
    }
    state.counters["refill_cpu_ms"] = refillMs;
    state.counters["refill_cold_cpu_ms"] = coldMs;
    state.counters["dhcp_cpu_ms"] = dhcpMs;
    state.counters["range_cpu_ms"] = rangeMs;
    state.counters["refill_us_per_switch"] = refillMs * 1000 / count;
}

} // namespace

BENCHMARK(BM_IpConfRefill)
    ->Arg(1000)
    ->Arg(4000)
    ->Arg(8000)
    ->Arg(65536)
    ->Iterations(BenchRounds(3))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
