// The status monitor's row lookup with a large registry, no network: the
// protocol host is the tests' fake, which only records the pings. Per list
// size, the GUI thread's CPU time to list every switch (each listing looks
// the switch up first) and to take one round of ping outcomes (each looks its
// row up by MAC). Both grow linearly with the list once rows are indexed.
#include <benchmark/benchmark.h>

#include "console/StatusMonitor.h"
#include "intp/Device.h"
#include "intp/Session.h"
#include "tests/bench/QtBench.h"
#include "tests/pages/PageTestHost.h"

#include <QApplication>

#include <memory>

namespace {

void BM_StatusRows(benchmark::State& state)
{
    const int count = int(state.range(0));
    double listMs = 0, roundMs = 0;
    for (auto _ : state) {
        TPageTestEnvironment env;
        TDeviceList devices;
        for (int i = 0; i < count; ++i) {
            const Intp::TMacAddr mac(0x02, 0x00, 0x5E, 0x20, uint8_t(i >> 8), uint8_t(i));
            Intp::TDevice* device = Intp::FindDevice(mac, true);
            device->SetIp(Ip(198, 18, uint8_t(i >> 8), uint8_t(i)));
            devices.push_back(device);
        }
        auto monitor = std::make_unique<TStatusFrame>();
        double start = ThreadCpuMs();
        monitor->AddDevices(devices);
        listMs = ThreadCpuMs() - start;
        start = ThreadCpuMs();
        for (Intp::TDevice* device : devices)
            monitor->OnWizardEvent(device, Intp::ccIntpPing2, Intp::ssTimeout, nullptr);
        roundMs = ThreadCpuMs() - start;
        if (monitor->RowCount() != count || !(monitor->GetDeviceStatus(devices.back()) & Status::sbNoReply))
            state.SkipWithError("the switches were not listed");
    }
    state.counters["list_cpu_ms"] = listMs;
    state.counters["round_cpu_ms"] = roundMs;
}

} // namespace

BENCHMARK(BM_StatusRows)->Arg(1000)->Arg(10000)->Arg(65536)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunQtBenchmarks(argc, argv);
}
