#!/bin/bash
# Runs the console's end-to-end GTest binary in the console namespace; the
# binary makes its fake switches in the switch namespace itself.
# usage: test_e2e_console.sh BINARY [gtest arguments]
set -u
BINARY=$1
shift
source "$(dirname "$0")/netns.sh"
netns_setup
netns_console env E2E_SWITCH_NETNS="/var/run/netns/$NETNS_SWITCH" E2E_SWITCH_IF="$NETNS_VETH_SWITCH" \
    E2E_CONSOLE_IF="$NETNS_VETH_CONSOLE" "$BINARY" "$@"
