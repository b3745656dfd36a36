#!/bin/bash
# Runs bench_discovery in the console namespace; the program makes its fake
# switches in the switch namespace itself. Needs root (network namespaces).
# usage: bench_discovery.sh BINARY [rounds]
set -u
BINARY=$1
shift
source "$(dirname "$0")/../e2e/netns.sh"
netns_setup
netns_console env E2E_SWITCH_NETNS="/var/run/netns/$NETNS_SWITCH" "$BINARY" "$@"
