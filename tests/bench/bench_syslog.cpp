// Parse+store throughput of the syslog store and the memory it holds per
// message, each against a baseline measured in the same run: a plain
// multimap of full message records keyed by sender.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "syslog/core/SyslogStore.h"

namespace {

constexpr int Batch = 10000;

// What switches typically send: a header, the switch's name, a short event.
const std::vector<std::string>& Messages()
{
    static const std::vector<std::string> messages = [] {
        const char* events[] = {
            "Port 3 link up, 100Mbps FULL duplex",
            "Port 7 link down",
            "Login from 192.168.1.10 via web succeeded",
            "Ring topology changed, port 9 blocking",
            "STP: port 2 state forwarding",
            "Power 2 failure detected",
            "Configuration saved to flash by admin",
            "DHCP server leased 192.168.1.120 to 00:11:22:33:44:55",
        };
        std::vector<std::string> out;
        for (int i = 0; i < 256; ++i) {
            char header[64];
            std::snprintf(header, sizeof header, "<%d>Oct %2d %02d:%02d:%02d switch-%03d ", 184 + i % 8, 1 + i % 28,
                i % 24, i % 60, (i * 7) % 60, i % 100);
            out.push_back(header + std::string(events[i % 8]));
        }
        return out;
    }();
    return messages;
}

double AverageLength()
{
    double total = 0;
    for (const auto& m : Messages())
        total += double(m.size());
    return total / double(Messages().size());
}

std::uint32_t Sender(int i) { return 0xC0A80100u + std::uint32_t(i % 100); }

void BM_SyslogParseStore(benchmark::State& state)
{
    const auto& messages = Messages();
    Syslog::TSyslogStore store;
    for (auto _ : state) {
        state.PauseTiming();
        store.Clear();
        state.ResumeTiming();
        for (int i = 0; i < Batch; ++i)
            store.Add(Sender(i), messages[std::size_t(i) % messages.size()]);
        benchmark::DoNotOptimize(store.Size());
    }
    state.SetItemsProcessed(state.iterations() * Batch);
}
BENCHMARK(BM_SyslogParseStore)->Unit(benchmark::kMillisecond);

// Baseline: the straightforward store of full records in a multimap.
struct TNaiveStore {
    std::multimap<std::uint32_t, Syslog::TSyslogListNode> m_Map;
    Syslog::TYearBase m_Base = Syslog::TYearBase::Current();
    std::uint32_t m_Counter = 0;

    void Add(std::uint32_t address, const std::string& text)
    {
        Syslog::TSyslogListNode node;
        const Syslog::TDateTime now = Syslog::Now();
        if (!Syslog::ParseInto(text, node, m_Base, now))
            node.host = Syslog::AddressText(address);
        node.eventId = ++m_Counter;
        node.received = now;
        node.address = address;
        m_Map.emplace_hint(m_Map.upper_bound(address), address, std::move(node));
    }
};

void BM_NaiveMultimapBaseline(benchmark::State& state)
{
    const auto& messages = Messages();
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<TNaiveStore>();
        state.ResumeTiming();
        for (int i = 0; i < Batch; ++i)
            store->Add(Sender(i), messages[std::size_t(i) % messages.size()]);
        benchmark::DoNotOptimize(store->m_Map.size());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Batch);
}
BENCHMARK(BM_NaiveMultimapBaseline)->Unit(benchmark::kMillisecond);

// Heap bytes held per stored message (mallinfo2 delta over 200,000 messages),
// with the budget 2 x text + 96 and the baseline's figure for comparison.
template <class TStore> double HeapPerMessage()
{
    constexpr int Count = 200000;
    const auto& messages = Messages();
    const std::size_t before = mallinfo2().uordblks;
    auto store = std::make_unique<TStore>();
    for (int i = 0; i < Count; ++i)
        store->Add(Sender(i), messages[std::size_t(i) % messages.size()]);
    const std::size_t after = mallinfo2().uordblks;
    return double(after - before) / Count;
}

void BM_SyslogMemoryPerMessage(benchmark::State& state)
{
    double ours = 0, naive = 0;
    for (auto _ : state) {
        ours = HeapPerMessage<Syslog::TSyslogStore>();
        naive = HeapPerMessage<TNaiveStore>();
    }
    const double text = AverageLength();
    state.counters["text_bytes"] = text;
    state.counters["bytes_per_msg"] = ours;
    state.counters["budget_bytes"] = 2 * text + 96;
    state.counters["budget_ratio"] = ours / (2 * text + 96);
    state.counters["baseline_bytes"] = naive;
    state.counters["vs_baseline"] = ours / naive;
}
BENCHMARK(BM_SyslogMemoryPerMessage)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
