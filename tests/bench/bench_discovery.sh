#!/bin/bash
# Runs bench_discovery in the console namespace; the program makes its fake
# switches in the switch namespace itself. Needs root (network namespaces).
# usage: bench_discovery.sh BINARY [rounds] [routed]
# "routed" fills 198.18.16.0/20 with switches that the console reaches through
# the switch side's address as its gateway: one neighbour entry instead of one
# per switch, which the kernel's neighbour table (gc_thresh3) caps at 1,024.
set -u
BINARY=$1
shift
source "$(dirname "$0")/../e2e/netns.sh"
netns_setup
netns_switch ip route add local 198.18.16.0/20 dev lo
netns_console ip route add 198.18.16.0/20 via "$NETNS_SWITCH_IP"
netns_console env E2E_SWITCH_NETNS="/var/run/netns/$NETNS_SWITCH" "$BINARY" "$@"
