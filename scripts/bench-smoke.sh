#!/usr/bin/env bash
# Smoke run of every benchmark in a build tree: one round each, no figure
# judged; a benchmark fails only when it cannot run to its end.
# usage: scripts/bench-smoke.sh BUILD_DIR   (prints "bench: P passed, F failed")
set -uo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}/tests/bench
export CONSOLE_BENCH_SMOKE=1 QT_QPA_PLATFORM=offscreen
passed=0; failed=0

run() {  # name, command...
  local name=$1 log rc start=$SECONDS; shift
  log=$(mktemp)
  timeout 300 "$@" >"$log" 2>&1
  rc=$?
  echo "== $name: exit $rc, $((SECONDS - start)) s"
  # 77: the namespaces it needs cannot be made here (not root).
  if [ "$rc" -eq 0 ] || [ "$rc" -eq 77 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); tail -40 "$log"
  fi
  rm -f "$log"
}

[ -d "$dir" ] || { echo "no benchmarks in $dir"; echo "bench: 0 passed, 0 failed"; exit 0; }
for b in bench_dispatch bench_syslog bench_banner_syslog bench_ipconf bench_status_rows bench_status \
         bench_transfer bench_list_sort bench_tree_select bench_config; do
  [ -x "$dir/$b" ] && run "$b" "$dir/$b" --benchmark_min_time=0.01
done
[ -x "$dir/bench_flood" ] && run bench_flood "$dir/bench_flood" 1
[ -x "$dir/bench_startup" ] && run bench_startup "$dir/bench_startup" 1
[ -x "$dir/bench_config_load" ] && run bench_config_load "$dir/bench_config_load" 1
if [ -x "$dir/bench_discovery" ]; then
  run "bench_discovery" tests/bench/bench_discovery.sh "$dir/bench_discovery" 2
  run "bench_discovery routed" tests/bench/bench_discovery.sh "$dir/bench_discovery" 2 routed
fi
echo "bench: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
