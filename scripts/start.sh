#!/usr/bin/env bash
# Builds the console and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh console
# The console alone: no tests, benchmarks or fuzz targets.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBUILD_TESTING=OFF -DCONSOLE_BENCH=OFF -DCONSOLE_FUZZ=OFF -DCONSOLE_GUI=ON >/dev/null
cmake --build build -j "$(nproc)" --target intpconsole
exec build/console/intpconsole "$@"
