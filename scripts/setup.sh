#!/usr/bin/env bash
# Installs the Debian packages that are missing: with "console", only what
# building and running the console needs; otherwise the tests' as well.
# usage: scripts/setup.sh [console]
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config
      qt6-base-dev libgl-dev libpcap-dev libssl-dev fonts-dejavu-core)
if [ "${1:-}" != console ]; then
  pkgs+=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev iproute2 libjemalloc2)
fi
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
elif command -v sudo >/dev/null 2>&1; then
  sudo apt-get update -qq
  sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages: ${missing[*]} (run this as root to install them)" >&2
  exit 1
fi
