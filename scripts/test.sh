#!/usr/bin/env bash
# Builds and runs every test: the suite and a smoke run of the benchmarks
# under ASan+UBSan, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
# Seven fuzz targets, one a core at a time, 40 s each.
fuzz_seconds=${FUZZ_SECONDS:-40}
passed=0; failed=0

run_suite() {  # build dir
  local dir=$1
  local log; log=$(mktemp)
  set +e
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 2>&1 | tee "$log"
  local rc=${PIPESTATUS[0]}
  set -e
  local total fails
  total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  fails=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
  rm -f "$log"
  total=${total:-0}; fails=${fails:-0}
  passed=$((passed + total - fails)); failed=$((failed + fails))
  [ "$rc" -eq 0 ] || [ "$fails" -gt 0 ] || failed=$((failed + 1))
}

# The suite and the benchmarks' smoke run under ASan+UBSan.
# Line tables alone (-g1): the sanitizers' reports keep their file:line and
# the build takes a fraction of the disk full debug information does.
df -h . | tail -1 | awk '{print "disk: " $4 " free"}'
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCONSOLE_SANITIZE=ON \
  -DCONSOLE_SHARED_LIBS=ON >/dev/null
cmake --build build-asan -j "$jobs"

# The other two builds take, at the lowest priority, the cores the suite
# leaves idle while it runs: the as-if-alone test over its full count of
# worlds wants an optimised build (of its executable alone), and the fuzz
# targets clang with libFuzzer, ASan and UBSan.
builds_log=$(mktemp)
(
  nice -n 19 cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
    -DCONSOLE_BENCH=OFF >/dev/null
  nice -n 19 cmake --build build-rel -j "$jobs" --target test_as_if_alone
  CC=clang CXX=clang++ nice -n 19 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCONSOLE_FUZZ=ON -DCONSOLE_GUI=OFF -DCONSOLE_BENCH=OFF >/dev/null
  nice -n 19 cmake --build build-fuzz -j "$jobs"
) >"$builds_log" 2>&1 &
builds=$!
run_suite build-asan
if ! wait "$builds"; then
  tail -60 "$builds_log"; rm -f "$builds_log"
  echo "all: $passed passed, $((failed + 1)) failed (a build failed)"
  exit 1
fi
rm -f "$builds_log"

# The as-if-alone test's pages in shards, a core each at a time: small
# shards, so that the last ones end together.
shards=$((4 * jobs))
shard_log=$(mktemp -d)
running=0
for ((i = 0; i < shards; i++)); do
  QT_QPA_PLATFORM=offscreen GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$i \
    build-rel/tests/pages/test_as_if_alone >"$shard_log/$i" 2>&1 &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n || true; running=$((running - 1)); fi
done
wait || true
for ((i = 0; i < shards; i++)); do
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p' "$shard_log/$i" | tail -1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:/\1/p' "$shard_log/$i" | tail -1)
  if [ -z "$ok" ] && [ -z "$bad" ]; then
    failed=$((failed + 1)); tail -40 "$shard_log/$i"; continue
  fi
  [ -z "$bad" ] || grep -B2 -A6 'Failure$' "$shard_log/$i" | head -300
  passed=$((passed + ${ok:-0})); failed=$((failed + ${bad:-0}))
done
rm -rf "$shard_log"

# Benchmarks as a smoke run (one round each; no figure judged).
bench_log=$(mktemp)
scripts/bench-smoke.sh build-asan 2>&1 | tee "$bench_log" || true
bench_passed=$(sed -n 's/^bench: \([0-9]*\) passed.*/\1/p' "$bench_log" | tail -1)
bench_failed=$(sed -n 's/^bench: [0-9]* passed, \([0-9]*\) failed/\1/p' "$bench_log" | tail -1)
passed=$((passed + ${bench_passed:-0})); failed=$((failed + ${bench_failed:-1}))
rm -f "$bench_log"

# Fuzz targets, each for a bounded time.
# One fuzz target a core at a time, each for its bounded time.
fuzz_one() {  # fuzz target; its log ends with "fuzz: ok" when it passed
  local f=$1 name corpus seeds
  name=$(basename "$f")
  corpus=$(mktemp -d)
  local args=("$corpus")
  # Hand-made seeds, kept regressions and seeds generated from the code's tables.
  for seeds in tests/fuzz/corpus/${name#fuzz_} tests/fuzz/regressions/${name#fuzz_} \
               build-fuzz/tests/fuzz/seeds/${name#fuzz_}; do
    [ -d "$seeds" ] && args+=("$seeds")
  done
  echo "== $name for ${fuzz_seconds}s"
  if UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 "${args[@]}" >"$corpus.log" 2>&1; then
    echo "fuzz: ok"
  else
    tail -60 "$corpus.log"
  fi
  rm -rf "$corpus" "$corpus.log"
}
fuzz_log=$(mktemp -d)
running=0
for f in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$f" ] && [[ $f != *_seeds ]] || continue
  fuzz_one "$f" >"$fuzz_log/$(basename "$f")" 2>&1 &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n || true; running=$((running - 1)); fi
done
wait || true
for log in "$fuzz_log"/*; do
  [ -e "$log" ] || continue
  cat "$log"
  if grep -q '^fuzz: ok$' "$log"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
rm -rf "$fuzz_log"
echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
