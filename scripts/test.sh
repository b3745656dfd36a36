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
# How long each phase took, printed as it ends.
phase_start=$SECONDS
phase() { echo "phase: $1 took $((SECONDS - phase_start)) s"; phase_start=$SECONDS; }

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
# the build takes a fraction of the disk full debug information does. The
# test builds are unity builds: a few sources compiled as one, their headers
# read once, take about two thirds of the time.
df -h . | tail -1 | awk '{print "disk: " $4 " free"}'
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCONSOLE_SANITIZE=ON \
  -DCONSOLE_SHARED_LIBS=ON -DCMAKE_UNITY_BUILD=ON >/dev/null
cmake --build build-asan -j "$jobs"
phase "sanitizer build"

# The other two builds take, at the lowest priority, the cores the suite
# leaves idle while it runs: the as-if-alone test over its full count of
# worlds wants an optimised build (of its executable alone), and the fuzz
# targets clang with libFuzzer, ASan and UBSan.
rel_log=$(mktemp); fuzz_log=$(mktemp)
(
  nice -n 19 cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
    -DCONSOLE_BENCH=OFF -DCMAKE_UNITY_BUILD=ON >/dev/null
  nice -n 19 cmake --build build-rel -j "$jobs" --target test_as_if_alone
) >"$rel_log" 2>&1 &
rel_build=$!
(
  CC=clang CXX=clang++ nice -n 19 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
    -DCONSOLE_FUZZ=ON -DCONSOLE_GUI=OFF -DCONSOLE_BENCH=OFF -DCMAKE_UNITY_BUILD=ON >/dev/null
  nice -n 19 cmake --build build-fuzz -j "$jobs"
) >"$fuzz_log" 2>&1 &
fuzz_build=$!
run_suite build-asan
phase "suite"
built() {  # build job, its log: false (and the log's end shown) when it failed
  if ! wait "$1"; then
    tail -60 "$2"; rm -f "$2"
    echo "all: $passed passed, $((failed + 1)) failed (a build failed)"
    return 1
  fi
  rm -f "$2"
}

# Then the as-if-alone test's pages in shards, the benchmarks' smoke run
# (one round each, under ASan+UBSan; no figure judged) and each fuzz target
# for its bounded time share the cores, one job a core at a time: the
# benchmarks first (one long chain), the fuzz targets last (short ones that
# fill the cores as the shards end).
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
# The shards allocate and free widgets by the million: jemalloc, where it
# is installed, spends less of their time doing it than glibc's malloc.
alloc=
for lib in /usr/lib/*/libjemalloc.so.2; do [ -e "$lib" ] && alloc=$lib; done
tail_log=$(mktemp -d)
declare -A pool=()  # the jobs running, by pid (the builds are not among them)
start_job() {  # log name, command...
  local log=$1 done=; shift
  "$@" >"$tail_log/$log" 2>&1 &
  pool[$!]=1
  if [ "${#pool[@]}" -ge "$jobs" ]; then
    wait -n -p done "${!pool[@]}" || true
    unset "pool[$done]"
  fi
}
# The benchmarks need only the sanitizer build: they take the cores the
# other builds leave while those end.
start_job bench scripts/bench-smoke.sh build-asan
built "$rel_build" "$rel_log" || exit 1
phase "waiting for the optimised build"
# Small shards (about two pages each), so that the last ones end together.
shards=$((16 * jobs))
for ((i = 0; i < shards; i++)); do
  start_job "shard.$i" env QT_QPA_PLATFORM=offscreen GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$i \
    ${alloc:+LD_PRELOAD=$alloc} build-rel/tests/pages/test_as_if_alone
done
built "$fuzz_build" "$fuzz_log" || exit 1
for f in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$f" ] && [[ $f != *_seeds ]] || continue
  start_job "fuzz.$(basename "$f")" fuzz_one "$f"
done
wait || true
phase "as-if-alone shards, benchmarks and fuzzing"

for ((i = 0; i < shards; i++)); do
  log=$tail_log/shard.$i
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p' "$log" | tail -1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below:/\1/p' "$log" | tail -1)
  if [ -z "$ok" ] && [ -z "$bad" ]; then
    failed=$((failed + 1)); tail -40 "$log"; continue
  fi
  [ -z "$bad" ] || grep -B2 -A6 'Failure$' "$log" | head -300
  passed=$((passed + ${ok:-0})); failed=$((failed + ${bad:-0}))
done

cat "$tail_log/bench"
bench_passed=$(sed -n 's/^bench: \([0-9]*\) passed.*/\1/p' "$tail_log/bench" | tail -1)
bench_failed=$(sed -n 's/^bench: [0-9]* passed, \([0-9]*\) failed/\1/p' "$tail_log/bench" | tail -1)
passed=$((passed + ${bench_passed:-0})); failed=$((failed + ${bench_failed:-1}))

for log in "$tail_log"/fuzz.*; do
  [ -e "$log" ] || continue
  cat "$log"
  if grep -q '^fuzz: ok$' "$log"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
done
rm -rf "$tail_log"
echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
