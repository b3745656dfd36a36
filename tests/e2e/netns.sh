# Network namespaces for end-to-end tests; source this file from bash.
#
# netns_setup makes two namespaces joined by a veth pair in 198.18.0.0/15:
#   console side  $NETNS_CONSOLE  198.18.0.1/15
#   switch side   $NETNS_SWITCH   198.18.0.2/15, and every address of 198.18.1.0/24
#                                 (a local route, so one fake switch process can
#                                 answer from any of them)
# Names carry this shell's process id; a trap removes everything on exit, also
# when the test fails. Where namespaces can't be made the test exits with 77 (SKIP).
# No traffic leaves these namespaces.

NETNS_SKIP=77
NETNS_PREFIX=intpe2e
NETNS_CONSOLE=${NETNS_PREFIX}c$$
NETNS_SWITCH=${NETNS_PREFIX}s$$
NETNS_VETH_CONSOLE=ie2ec$$
NETNS_VETH_SWITCH=ie2es$$
NETNS_CONSOLE_IP=198.18.0.1
NETNS_SWITCH_IP=198.18.0.2
NETNS_BROADCAST=198.19.255.255
NETNS_PIDS=()

netns_skip() {
    echo "SKIP: $*" >&2
    exit $NETNS_SKIP
}

netns_cleanup() {
    local pid
    for pid in "${NETNS_PIDS[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    NETNS_PIDS=()
    ip netns del "$NETNS_CONSOLE" 2>/dev/null
    ip netns del "$NETNS_SWITCH" 2>/dev/null
    [ -n "${NETNS_FIFO:-}" ] && rm -f "$NETNS_FIFO"
    return 0
}

# Namespaces left by runs that were killed outright (their process is gone).
netns_remove_stale() {
    local ns pid
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E "^${NETNS_PREFIX}[cs][0-9]+$"); do
        pid=${ns#${NETNS_PREFIX}?}
        [ -d "/proc/$pid" ] || ip netns del "$ns" 2>/dev/null
    done
}

netns_setup() {
    [ "$(id -u)" = 0 ] || netns_skip "network namespaces need root"
    command -v ip >/dev/null || netns_skip "no ip command (iproute2)"
    ip netns list >/dev/null 2>&1 || netns_skip "ip netns is not available"
    netns_remove_stale
    trap netns_cleanup EXIT
    trap 'exit 130' INT TERM
    ip netns add "$NETNS_CONSOLE" 2>/dev/null || netns_skip "cannot create a network namespace"
    ip netns add "$NETNS_SWITCH" || netns_skip "cannot create a second network namespace"
    ip link add "$NETNS_VETH_CONSOLE" netns "$NETNS_CONSOLE" type veth \
        peer name "$NETNS_VETH_SWITCH" netns "$NETNS_SWITCH" || netns_skip "cannot create a veth pair"
    ip -n "$NETNS_CONSOLE" addr add "$NETNS_CONSOLE_IP/15" brd + dev "$NETNS_VETH_CONSOLE"
    ip -n "$NETNS_SWITCH" addr add "$NETNS_SWITCH_IP/15" brd + dev "$NETNS_VETH_SWITCH"
    ip -n "$NETNS_CONSOLE" link set lo up
    ip -n "$NETNS_SWITCH" link set lo up
    ip -n "$NETNS_CONSOLE" link set "$NETNS_VETH_CONSOLE" up
    ip -n "$NETNS_SWITCH" link set "$NETNS_VETH_SWITCH" up
    ip -n "$NETNS_SWITCH" route add local 198.18.1.0/24 dev lo
    netns_wait_link
}

# Until both ends are up they drop what is sent through them, and a find sent
# then is lost without a trace: wait (bounded) until the pair carries traffic,
# that is until each side has resolved the other's address (an ARP request
# out through one end, its reply back through the other).
netns_wait_link() {
    local deadline=$((SECONDS + 20))
    until netns_resolved "$NETNS_CONSOLE" "$NETNS_VETH_CONSOLE" "$NETNS_SWITCH_IP" &&
        netns_resolved "$NETNS_SWITCH" "$NETNS_VETH_SWITCH" "$NETNS_CONSOLE_IP"; do
        if [ $SECONDS -ge $deadline ]; then
            echo "the veth pair carries no traffic" >&2
            ip -n "$NETNS_CONSOLE" link show "$NETNS_VETH_CONSOLE" >&2
            exit 1
        fi
        # A datagram to a port nobody uses makes the kernel resolve the address.
        ip netns exec "$NETNS_CONSOLE" bash -c "echo > /dev/udp/$NETNS_SWITCH_IP/9" 2>/dev/null
        ip netns exec "$NETNS_SWITCH" bash -c "echo > /dev/udp/$NETNS_CONSOLE_IP/9" 2>/dev/null
        sleep 0.05
    done
}

# netns_resolved NAMESPACE DEVICE ADDRESS: the device is up and the address answered ARP.
netns_resolved() {
    ip -n "$1" -o link show dev "$2" 2>/dev/null | grep -q "state UP" &&
        ip -n "$1" neigh show "$3" dev "$2" 2>/dev/null | grep -Eq "REACHABLE|STALE|DELAY|PROBE"
}

netns_console() { ip netns exec "$NETNS_CONSOLE" "$@"; }
netns_switch() { ip netns exec "$NETNS_SWITCH" "$@"; }

# netns_start_fleet FAKESWITCH ARGS...: runs the fake switch program in the
# switch namespace and waits (bounded) until it reports that it is ready.
netns_start_fleet() {
    local program=$1 line fd
    shift
    NETNS_FIFO=$(mktemp -u "${TMPDIR:-/tmp}/netns-fleet.XXXXXX")
    mkfifo "$NETNS_FIFO"
    exec {fd}<>"$NETNS_FIFO"
    ip netns exec "$NETNS_SWITCH" "$program" "$@" >&"$fd" &
    NETNS_PIDS+=($!)
    if ! read -r -t 10 -u "$fd" line || [ "${line%% *}" != ready ]; then
        echo "fake switch did not start" >&2
        exit 1
    fi
    exec {fd}>&-
}
