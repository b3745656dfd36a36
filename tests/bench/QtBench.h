// What the Qt benchmarks share: the calling thread's CPU clock and a main
// that runs the benchmarks inside an offscreen QApplication.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <ctime>
#include <functional>

// CPU time of the calling thread, in milliseconds.
inline double ThreadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Runs the registered benchmarks; beforeQuit ends what must go before the application.
inline int RunQtBenchmarks(int argc, char** argv, const std::function<void()>& beforeQuit = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeQuit)
        beforeQuit();
    return 0;
}
