#!/usr/bin/env bash
# Builds and runs every test: the suite, the suite again under ASan+UBSan,
# and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}
passed=0; failed=0

run_suite() {  # build dir, extra cmake args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
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

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DCONSOLE_SANITIZE=ON -DCONSOLE_BENCH=OFF

# Fuzz targets: clang with libFuzzer, ASan and UBSan; each runs for a bounded time.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCONSOLE_FUZZ=ON -DCONSOLE_GUI=OFF -DCONSOLE_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs"
for f in build-fuzz/tests/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=$(mktemp -d)
  seeds=tests/fuzz/corpus/${name#fuzz_}
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  echo "== $name for ${fuzz_seconds}s"
  if "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -print_final_stats=0 "${args[@]}" >"$corpus.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); tail -60 "$corpus.log"
  fi
  rm -rf "$corpus" "$corpus.log"
done

echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
