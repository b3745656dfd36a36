#!/bin/bash
# Broadcast discovery and the limited-broadcast IP configuration Set across a
# veth pair: a fleet of fake switches in one namespace, a plain client in the other.
# usage: test_e2e_discovery.sh FAKESWITCH RAWCLIENT [DEVICES.DEV]
set -u
FAKESWITCH=$1
RAWCLIENT=$2
DEVICES=${3:-}
source "$(dirname "$0")/netns.sh"
netns_setup
set -e

# The switches are of the first model of the shipped model table when there is one.
MODEL=e2e-switch
MODEL_ARGS=(--model "$MODEL")
if [ -n "$DEVICES" ] && [ -f "$DEVICES" ]; then
    MODEL=$(sed -n 's/^ID0=//p' "$DEVICES" | tr -d '\r' | head -1)
    MODEL_ARGS=(--devices "$DEVICES" --model-index 0)
fi
netns_start_fleet "$FAKESWITCH" --count 5 --base-ip 198.18.1.1 --netmask 255.254.0.0 \
    --base-mac 02:00:5E:00:00:01 "${MODEL_ARGS[@]}" --user admin --password secret

echo "== find to the directed broadcast $NETNS_BROADCAST"
netns_console "$RAWCLIENT" find "$NETNS_BROADCAST" 5 "$MODEL"
echo "== find to the limited broadcast"
netns_console "$RAWCLIENT" find 255.255.255.255 5 "$MODEL"
echo "== find to one switch"
netns_console "$RAWCLIENT" find 198.18.1.3 1 "$MODEL"

echo "== IP configuration Set to 255.255.255.255 with a wrong password is refused"
if netns_console "$RAWCLIENT" ipset 02:00:5E:00:00:03 198.18.1.200 admin wrong; then
    echo "accepted with a wrong password" >&2
    exit 1
fi
echo "== IP configuration Set to 255.255.255.255 reaches its switch"
netns_console "$RAWCLIENT" ipset 02:00:5E:00:00:03 198.18.1.200 admin secret
netns_console "$RAWCLIENT" find 198.18.1.200 1 "$MODEL"
netns_console "$RAWCLIENT" find "$NETNS_BROADCAST" 5

echo "== the discovery chain of every switch"
netns_console "$RAWCLIENT" chain "$NETNS_BROADCAST" 5
echo PASS
