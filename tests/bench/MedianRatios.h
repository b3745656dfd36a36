// Runs the registered benchmarks and then prints, for each benchmark run
// with both arguments, the ratio of its median times (for example the cost
// per reply at 10,000 outstanding over that at 10), in real and in CPU time
// (on a loaded machine the CPU time is the steadier).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class TMedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            // By function and arguments, whatever the repetitions.
            const std::string key = run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            if (run.aggregate_name == "median" || (run.run_type == Run::RT_Iteration && !m_Medians.count(key)))
                m_Medians[key] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
        }
        ConsoleReporter::ReportRuns(runs);
    }
    struct TTimes {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, TTimes> m_Medians;  // by name, in the report's time unit
};

// Each run named ...high (for every high given) is compared with ...low.
inline int RunWithMedianRatios(int argc, char** argv, const std::vector<std::string>& highs, const std::string& low)
{
    benchmark::Initialize(&argc, argv);
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const std::string& high : highs) {
        for (const auto& [name, time] : reporter.m_Medians) {
            if (name.size() < high.size() || name.compare(name.size() - high.size(), high.size(), high) != 0)
                continue;
            const std::string base = name.substr(0, name.size() - high.size());
            auto lowRun = reporter.m_Medians.find(base + low);
            if (lowRun != reporter.m_Medians.end() && lowRun->second.real > 0 && lowRun->second.cpu > 0)
                std::printf("%s%s vs %s: real %.1f vs %.1f, ratio %.2f; CPU %.1f vs %.1f, ratio %.2f\n", base.c_str(),
                            high.c_str(), low.c_str(), time.real, lowRun->second.real,
                            time.real / lowRun->second.real, time.cpu, lowRun->second.cpu,
                            time.cpu / lowRun->second.cpu);
        }
    }
    return 0;
}
