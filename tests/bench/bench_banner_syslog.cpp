// The banner's syslog summary (count, unread, last reception) of a switch
// with 1,000,000 stored messages, read through the events page's store as
// the banner's 5-second tick does. Well under a millisecond is the goal,
// whatever the store holds.
#include <benchmark/benchmark.h>

#include "pages/system/Banner.h"
#include "syslog/SyslogFrame.h"
#include "tests/bench/QtBench.h"
#include "tests/pages/PageTestHost.h"

#include <QLabel>

#include <string>
#include <vector>

namespace {

class TSyslogHost : public TFakePageHost {
public:
    Syslog::TSyslogServer* syslog = nullptr;
    Syslog::TSyslogServer* GetSyslogServer() override { return syslog; }
};

void BM_BannerSyslogSummary(benchmark::State& state)
{
    const int count = int(state.range(0));
    TPageTestEnvironment env;
    const std::uint32_t address = Ip(10, 0, 0, 5);
    Intp::TDevice* device = env.AddDevice(5, address);
    TSyslogFrame frame;
    std::vector<std::string> texts;
    for (int i = 0; i < 64; ++i)
        texts.push_back("<190>Oct 11 22:14:" + std::to_string(10 + i % 50) + " switch-5 Port " + std::to_string(i % 8)
            + " link up, 100Mbps FULL duplex");
    for (int i = 0; i < count; ++i)
        frame.AddMessage(address, texts[std::size_t(i) % texts.size()].c_str());
    TSyslogHost host;
    host.selection = {device};
    host.syslog = &frame;
    TModuleBannerGeneral banner;
    banner.SetHost(&host);
    for (auto _ : state)
        banner.UpdateSyslog(device, true);
    if (banner.m_LogNum->text() != QString::number(count) || banner.m_LogUnread->text() != QString::number(count))
        state.SkipWithError("the summary miscounted");
}

} // namespace

BENCHMARK(BM_BannerSyslogSummary)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return RunQtBenchmarks(argc, argv); }
