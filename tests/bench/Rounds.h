// Round counts of the benchmarks. CI runs every benchmark as a smoke run
// (CONSOLE_BENCH_SMOKE set in the environment): one round each, no figure
// judged, so that they keep building and running.
#pragma once

#include <algorithm>
#include <cstdlib>

inline bool BenchSmokeRun() { return std::getenv("CONSOLE_BENCH_SMOKE") != nullptr; }

inline int BenchRounds(int rounds) { return BenchSmokeRun() ? std::min(rounds, 1) : rounds; }
