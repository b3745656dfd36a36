// Cost of matching a reply against the outstanding requests, with few and
// with many requests outstanding over 1,000 devices: through a host whose
// timer calls do nothing, and through the console's own protocol host with
// its reply timers. The ratio of the medians at 10,000 and at 10
// outstanding is printed at the end (run with --benchmark_repetitions=5).
// BM_RestartDistinctSwitches compares restarts with 65,536 requests
// outstanding to 65,536 distinct switches against 10 to 10, in interleaved
// rounds.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <utility>
#include <vector>

#include "console/ProtocolHost.h"
#include "intp/Session.h"
#include "tests/bench/Rounds.h"
#include "tests/bench/MedianRatios.h"

using namespace Intp;

namespace {

class TQuietHost : public TSessionCallback {
public:
    void CreateTimer(TSession*, unsigned) override {}
    void DestroyTimer(TSession*) override {}
    void EnableTimer(TSession*, bool) override {}
    void Send(uint32_t, const uint8_t*, size_t) override {}
    void Notify(TDevice*, uint16_t, uint16_t, const void*, TWizard*, const char*) override { ++notified; }
    void SetTimerInterval(TSession*, unsigned) override {}
    size_t notified = 0;
};

// The console's host, with the page notification it always has.
class TConsoleHost : public TProtocolHost {
public:
    TConsoleHost() { SetSendHook([](uint32_t, const uint8_t*, size_t) {}); SetPageNotify([this](TDevice*, uint16_t, uint16_t) { ++notified; }); }
    size_t notified = 0;
};

// Takes every reply and keeps waiting with its timer restarted, like a
// transfer between blocks.
template <uint16_t Code>
class TWaitingSession : public TSessionGeneral<Code> {
protected:
    int HandleResponse(TDevice*, const THeader&, TPayloadReader) override {
        this->EnableTimer(true);
        return rrWaiting;
    }
};

constexpr int DeviceCount = 1000;
constexpr int CodeCount = 10;
constexpr uint16_t Codes[CodeCount] = {ccBasicsReboot, ccBasicsSave, ccBasicsDefault, ccMonitorMacClear,
                                       ccMonitorPortClear, ccMonitorEventClear, ccLldpSet, ccIntpSipGet,
                                       ccIntpPing2, ccQosGet};

template <size_t... I>
TSession* MakeSession(int codeIndex, std::index_sequence<I...>)
{
    static constexpr TSession* (*makers[])() = {[]() -> TSession* { return new TWaitingSession<Codes[I]>; }...};
    return makers[codeIndex]();
}

template <class THost>
struct TFixture {
    THost host;
    std::vector<TDevice*> devices;
    std::vector<std::vector<uint8_t>> replies;

    explicit TFixture(int outstanding) {
        SetSessionCallback(&host);
        for (int i = 0; i < DeviceCount; ++i) {
            TMacAddr mac(0x00, 0x1A, 0x00, 0x00, uint8_t(i >> 8), uint8_t(i));
            TDevice* d = FindDevice(mac, true);
            d->SetIp(0x0A000000u + uint32_t(i));
            devices.push_back(d);
        }
        // Request i goes to device i % 1000 with code i / 1000 % 10; each
        // reply below matches one request.
        for (int i = 0; i < outstanding; ++i) {
            int codeIndex = (i / DeviceCount) % CodeCount;
            TSession* s = MakeSession(codeIndex, std::make_index_sequence<CodeCount>());
            s->Start(devices[size_t(i % DeviceCount)]);
            std::vector<uint8_t> frame(HeaderSize + 16, 0);
            THeader h;
            h.code = Codes[codeIndex];
            h.length = 16;
            h.mac = devices[size_t(i % DeviceCount)]->GetMac();
            h.Write(frame.data());
            replies.push_back(std::move(frame));
        }
    }
    ~TFixture() {
        DeleteAllSessions();
        DeleteAllDevices();
        SetSessionCallback(nullptr);
    }
};

template <class THost>
void BM_DispatchReply(benchmark::State& state)
{
    TFixture<THost> fixture(int(state.range(0)));
    size_t next = 0;
    for (auto _ : state) {
        const std::vector<uint8_t>& frame = fixture.replies[next];
        DispatchPacket(0x0A000000u + uint32_t(next % DeviceCount), frame.size(), frame.data());
        if (++next == fixture.replies.size()) next = 0;
    }
    benchmark::DoNotOptimize(fixture.host.notified);
    state.counters["outstanding"] = double(GetSessionCount());
}

// Reply that finishes its request, then a new request in its place. At
// 10,000 outstanding over 1,000 devices, ten requests share each (code, MAC).
template <class THost>
void BM_DispatchAndRestart(benchmark::State& state)
{
    TFixture<THost> fixture(int(state.range(0)));
    DeleteAllSessions();
    int outstanding = int(state.range(0));
    for (int i = 0; i < outstanding; ++i) {
        auto* s = new TSessionGeneral<ccBasicsReboot>;
        s->Start(fixture.devices[size_t(i % DeviceCount)]);
    }
    std::vector<uint8_t> frame(HeaderSize + 4, 0);
    THeader h;
    h.code = ccBasicsReboot;
    h.length = 4;
    size_t next = 0;
    for (auto _ : state) {
        TDevice* d = fixture.devices[next % size_t(outstanding < DeviceCount ? outstanding : DeviceCount)];
        h.mac = d->GetMac();
        h.Write(frame.data());
        DispatchPacket(d->GetIp(), frame.size(), frame.data());
        auto* s = new TSessionGeneral<ccBasicsReboot>;
        s->Start(d);
        ++next;
    }
    state.counters["outstanding"] = double(GetSessionCount());
}

// Nanoseconds per restart, by the clock and by the thread's CPU time.
struct TRestartCost {
    double real = 0;
    double cpu = 0;
};

double ThreadCpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e9 + double(t.tv_nsec);
}

// One request outstanding to each of `switches` devices through the
// console's host; each reply (in the order the requests went out) finishes
// its request and a new one to the same switch takes its place.
TRestartCost MeasureRestarts(int switches, size_t restarts)
{
    TConsoleHost host;
    SetSessionCallback(&host);
    std::vector<TDevice*> devices;
    devices.reserve(size_t(switches));
    for (int i = 0; i < switches; ++i) {
        TDevice* d = FindDevice(TMacAddr(0x00, 0x1B, 0x00, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)), true);
        d->SetIp(0x0A000000u + uint32_t(i));
        devices.push_back(d);
        StartOrDelete(new TSessionGeneral<ccBasicsReboot>, d, nullptr);
    }
    std::vector<uint8_t> frame(HeaderSize + 4, 0);
    THeader h;
    h.code = ccBasicsReboot;
    h.length = 4;
    const auto start = std::chrono::steady_clock::now();
    const double startCpu = ThreadCpuNs();
    for (size_t n = 0; n < restarts; ++n) {
        TDevice* d = devices[n % devices.size()];
        h.mac = d->GetMac();
        h.Write(frame.data());
        DispatchPacket(d->GetIp(), frame.size(), frame.data());
        StartOrDelete(new TSessionGeneral<ccBasicsReboot>, d, nullptr);
    }
    const double cpu = ThreadCpuNs() - startCpu;
    const double real = double(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now() - start).count());
    if (GetSessionCount() != devices.size()) std::abort();
    DeleteAllSessions();
    DeleteAllDevices();
    SetSessionCallback(nullptr);
    return {real / double(restarts), cpu / double(restarts)};
}

double MedianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Each round measures both cases, in turns first; round 0 (cold) is
// reported apart, the rest give the median ratio with min and max.
void BM_RestartDistinctSwitches(benchmark::State& state)
{
    constexpr int Many = int(MaxDevices);
    const size_t restarts = BenchSmokeRun() ? size_t(Many) : size_t(Many) * 4;
    std::vector<double> ratioReal, ratioCpu, fewNs, manyNs;
    bool manyFirst = false;
    for (auto _ : state) {
        TRestartCost few, many;
        if (manyFirst) many = MeasureRestarts(Many, restarts);
        few = MeasureRestarts(10, restarts);
        if (!manyFirst) many = MeasureRestarts(Many, restarts);
        manyFirst = !manyFirst;
        ratioReal.push_back(many.real / few.real);
        ratioCpu.push_back(many.cpu / few.cpu);
        fewNs.push_back(few.cpu);
        manyNs.push_back(many.cpu);
    }
    state.counters["cold_ratio"] = ratioReal.front();
    if (ratioReal.size() > 1) {
        for (auto* v : {&ratioReal, &ratioCpu, &fewNs, &manyNs}) v->erase(v->begin());
    }
    state.counters["ratio"] = MedianOf(ratioReal);
    state.counters["ratio_min"] = *std::min_element(ratioReal.begin(), ratioReal.end());
    state.counters["ratio_max"] = *std::max_element(ratioReal.begin(), ratioReal.end());
    state.counters["cpu_ratio"] = MedianOf(ratioCpu);
    state.counters["cpu_ratio_min"] = *std::min_element(ratioCpu.begin(), ratioCpu.end());
    state.counters["cpu_ratio_max"] = *std::max_element(ratioCpu.begin(), ratioCpu.end());
    state.counters["cpu_ns_at_10"] = MedianOf(fewNs);
    state.counters["cpu_ns_at_65536"] = MedianOf(manyNs);
}

} // namespace

BENCHMARK(BM_RestartDistinctSwitches)->Iterations(BenchRounds(10))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DispatchReply<TQuietHost>)->Arg(10)->Arg(10000)->Arg(65536)->Repetitions(BenchRounds(7))->ReportAggregatesOnly(true);
BENCHMARK(BM_DispatchAndRestart<TQuietHost>)->Arg(10)->Arg(10000)->Arg(65536)->Repetitions(BenchRounds(7))->ReportAggregatesOnly(true);
BENCHMARK(BM_DispatchReply<TConsoleHost>)->Arg(10)->Arg(10000)->Arg(65536)->Repetitions(BenchRounds(7))->ReportAggregatesOnly(true);
BENCHMARK(BM_DispatchAndRestart<TConsoleHost>)->Arg(10)->Arg(10000)->Arg(65536)->Repetitions(BenchRounds(7))->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    return RunWithMedianRatios(argc, argv, {"/10000", "/65536"}, "/10");
}
