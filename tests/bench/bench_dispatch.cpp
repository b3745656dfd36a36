// Cost of matching a reply against the outstanding requests, with few and
// with many requests outstanding over 1,000 devices.
#include <benchmark/benchmark.h>

#include <utility>
#include <vector>

#include "intp/Session.h"

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

// Takes every reply and keeps waiting, like a transfer between blocks.
template <uint16_t Code>
class TWaitingSession : public TSessionGeneral<Code> {
protected:
    int HandleResponse(TDevice*, const THeader&, TPayloadReader) override { return rrWaiting; }
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

struct TFixture {
    TQuietHost host;
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

void BM_DispatchReply(benchmark::State& state)
{
    TFixture fixture(int(state.range(0)));
    size_t next = 0;
    for (auto _ : state) {
        const std::vector<uint8_t>& frame = fixture.replies[next];
        DispatchPacket(0x0A000000u + uint32_t(next % DeviceCount), frame.size(), frame.data());
        if (++next == fixture.replies.size()) next = 0;
    }
    benchmark::DoNotOptimize(fixture.host.notified);
    state.counters["outstanding"] = double(GetSessionCount());
}

// Reply that finishes its request, then a new request in its place.
void BM_DispatchAndRestart(benchmark::State& state)
{
    TFixture fixture(int(state.range(0)));
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

} // namespace

BENCHMARK(BM_DispatchReply)->Arg(10)->Arg(10000);
BENCHMARK(BM_DispatchAndRestart)->Arg(10)->Arg(10000);

BENCHMARK_MAIN();
