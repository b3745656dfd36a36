#include "intp/NetUtils.h"
#include "tests/common/Ip.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/route.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A /proc/net/route field: the network-order word printed as an integer.
std::string RouteHex(uint32_t hostOrder) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", htonl(hostOrder));
    return text;
}

std::string RouteLine(const char* iface, uint32_t dest, uint32_t gateway, unsigned flags, unsigned metric,
                      uint32_t mask) {
    char text[160];
    std::snprintf(text, sizeof text, "%s\t%s\t%s\t%04X\t0\t0\t%u\t%s\t0\t0\t0\n", iface, RouteHex(dest).c_str(),
                  RouteHex(gateway).c_str(), flags, metric, RouteHex(mask).c_str());
    return text;
}

const char* const kRouteHeader =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n";

// Builds netlink receive buffers.
class TNetlinkBuilder {
public:
    void Begin(uint16_t type) {
        m_Start = m_Bytes.size();
        nlmsghdr header{};
        header.nlmsg_type = type;
        Append(&header, sizeof header);
    }
    template <class T>
    void Fixed(const T& body) {
        Append(&body, sizeof body);
        Pad();
    }
    void Attr(uint16_t type, const void* data, size_t length) {
        rtattr attr{};
        attr.rta_len = uint16_t(RTA_LENGTH(length));
        attr.rta_type = type;
        Append(&attr, sizeof attr);
        Append(data, length);
        Pad();
    }
    void AttrIp(uint16_t type, uint32_t hostOrder) {
        uint32_t value = htonl(hostOrder);
        Attr(type, &value, sizeof value);
    }
    void End() {
        uint32_t length = uint32_t(m_Bytes.size() - m_Start);
        std::memcpy(&m_Bytes[m_Start], &length, sizeof length);
    }
    void Done() {
        Begin(NLMSG_DONE);
        int zero = 0;
        Fixed(zero);
        End();
    }
    void Error(int code) {
        Begin(NLMSG_ERROR);
        nlmsgerr error{};
        error.error = code;
        Fixed(error);
        End();
    }
    std::vector<uint8_t>& Bytes() { return m_Bytes; }

private:
    void Append(const void* data, size_t length) {
        const auto* p = static_cast<const uint8_t*>(data);
        m_Bytes.insert(m_Bytes.end(), p, p + length);
    }
    void Pad() {
        while (m_Bytes.size() % 4)
            m_Bytes.push_back(0);
    }
    std::vector<uint8_t> m_Bytes;
    size_t m_Start = 0;
};

void AddNeigh(TNetlinkBuilder& b, uint32_t address, uint16_t state, int family = AF_INET, int ifIndex = 2) {
    b.Begin(RTM_NEWNEIGH);
    ndmsg neigh{};
    neigh.ndm_family = uint8_t(family);
    neigh.ndm_ifindex = ifIndex;
    neigh.ndm_state = state;
    b.Fixed(neigh);
    b.AttrIp(NDA_DST, address);
    const uint8_t mac[6] = {0x02, 0, 0, 0, 0, uint8_t(address)};
    b.Attr(NDA_LLADDR, mac, sizeof mac);
    b.End();
}

void AddRoute(TNetlinkBuilder& b, uint8_t type, uint32_t oif, uint32_t gateway, uint32_t prefsrc) {
    b.Begin(RTM_NEWROUTE);
    rtmsg route{};
    route.rtm_family = AF_INET;
    route.rtm_dst_len = 32;
    route.rtm_type = type;
    b.Fixed(route);
    b.AttrIp(RTA_DST, Ip(8, 8, 8, 8));
    b.Attr(RTA_OIF, &oif, sizeof oif);
    if (gateway)
        b.AttrIp(RTA_GATEWAY, gateway);
    if (prefsrc)
        b.AttrIp(RTA_PREFSRC, prefsrc);
    b.End();
}

TIfAddress Address(const char* name, uint32_t index, uint32_t address, uint32_t mask, unsigned flags) {
    TIfAddress a;
    a.Name = name;
    a.IfIndex = index;
    a.Address = address;
    a.Mask = mask;
    a.Flags = flags;
    if (flags & IFF_BROADCAST)
        a.Broadcast = address | ~mask;
    return a;
}

}  // namespace

// --- Route table ---------------------------------------------------------------

TEST(RouteTable, ParsesNetworkOrderFieldsIntoHostOrder) {
    std::string text = std::string(kRouteHeader) +
                       RouteLine("eth0", 0, Ip(192, 168, 1, 1), RTF_UP | RTF_GATEWAY, 100, 0) +
                       RouteLine("eth0", Ip(192, 168, 1, 0), 0, RTF_UP, 100, Ip(255, 255, 255, 0));
    TIpForwardList rows;
    ParseRouteTable(text, rows);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].IfName, "eth0");
    EXPECT_EQ(rows[0].Dest, 0u);
    EXPECT_EQ(rows[0].NextHop, Ip(192, 168, 1, 1));
    EXPECT_EQ(rows[0].Metric, 100u);
    EXPECT_EQ(rows[1].Dest, Ip(192, 168, 1, 0));
    EXPECT_EQ(rows[1].Mask, Ip(255, 255, 255, 0));
    EXPECT_EQ(rows[1].NextHop, 0u);
}

TEST(RouteTable, SkipsRoutesThatAreDownAndMalformedLines) {
    std::string text = std::string(kRouteHeader) + RouteLine("eth0", Ip(10, 0, 0, 0), 0, 0, 0, Ip(255, 0, 0, 0)) +
                       "eth1\tZZZZ\t00000000\t0001\t0\t0\t0\t00000000\n" + "short line\n" + "\n" +
                       RouteLine("eth2", Ip(10, 1, 0, 0), 0, RTF_UP, 0, Ip(255, 255, 0, 0));
    TIpForwardList rows;
    ParseRouteTable(text, rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].IfName, "eth2");
}

TEST(RouteTable, DefaultRouteIsTheLowestMetricThenTableOrder) {
    TIpForwardList rows;
    ParseRouteTable(std::string(kRouteHeader) + RouteLine("eth0", Ip(10, 0, 0, 0), 0, RTF_UP, 0, Ip(255, 0, 0, 0)) +
                        RouteLine("wlan0", 0, Ip(10, 0, 0, 1), RTF_UP | RTF_GATEWAY, 600, 0) +
                        RouteLine("eth0", 0, Ip(10, 0, 0, 2), RTF_UP | RTF_GATEWAY, 100, 0) +
                        RouteLine("eth1", 0, Ip(10, 0, 0, 3), RTF_UP | RTF_GATEWAY, 100, 0),
                    rows);
    TIpForwardRow route;
    ASSERT_TRUE(FindDefaultRoute(rows, route));
    EXPECT_EQ(route.NextHop, Ip(10, 0, 0, 2));
    EXPECT_EQ(route.IfName, "eth0");
    rows.resize(1); // no default route left
    EXPECT_FALSE(FindDefaultRoute(rows, route));
}

// --- Local addresses -----------------------------------------------------------

TEST(LocalIpMasks, DefaultRouteInterfaceComesFirstAndUnusableAddressesNeverAppear) {
    TIfAddressVector addresses = {
        Address("lo", 1, Ip(127, 0, 0, 1), Ip(255, 0, 0, 0), IFF_UP | IFF_LOOPBACK),
        Address("eth0", 2, Ip(10, 88, 0, 1), Ip(255, 255, 255, 0), IFF_UP | IFF_BROADCAST),
        Address("eth1", 3, Ip(10, 77, 0, 1), Ip(255, 255, 255, 0), IFF_UP | IFF_BROADCAST),
        Address("eth2", 4, 0, 0, IFF_UP | IFF_BROADCAST),
        Address("eth1:1", 3, Ip(10, 77, 1, 1), Ip(255, 255, 255, 0), IFF_UP | IFF_BROADCAST),
        Address("eth3", 5, Ip(10, 99, 0, 1), Ip(255, 255, 255, 0), IFF_BROADCAST),
    };
    TIpMaskList list;
    BuildLocalIpMasks(addresses, true, 3, list);
    TIpMaskList expected = {{Ip(10, 77, 0, 1), Ip(255, 255, 255, 0)},
                            {Ip(10, 77, 1, 1), Ip(255, 255, 255, 0)},
                            {Ip(10, 88, 0, 1), Ip(255, 255, 255, 0)}};
    EXPECT_EQ(list, expected);
    // Without a default route the table order stays.
    list.clear();
    BuildLocalIpMasks(addresses, false, 0, list);
    std::rotate(expected.begin(), expected.begin() + 2, expected.end());
    EXPECT_EQ(list, expected);
}

TEST(BroadcastInterfaces, OnlyUpBroadcastNonLoopbackInterfacesOncePerIndex) {
    TIfAddressVector addresses = {
        Address("lo", 1, Ip(127, 0, 0, 1), Ip(255, 0, 0, 0), IFF_UP | IFF_LOOPBACK | IFF_BROADCAST),
        Address("eth0", 2, Ip(10, 88, 0, 1), Ip(255, 255, 255, 0), IFF_UP | IFF_BROADCAST),
        Address("eth0", 2, Ip(10, 88, 1, 1), Ip(255, 255, 255, 0), IFF_UP | IFF_BROADCAST),
        Address("tun0", 3, Ip(10, 8, 0, 2), Ip(255, 255, 255, 255), IFF_UP | IFF_POINTOPOINT),
        Address("eth1", 4, Ip(10, 77, 0, 1), Ip(255, 255, 255, 0), IFF_BROADCAST),
        Address("eth2", 5, Ip(10, 66, 0, 1), Ip(255, 255, 0, 0), IFF_UP | IFF_BROADCAST),
    };
    TBroadcastInterfaceVector expected = {{2, Ip(10, 88, 0, 1), Ip(10, 88, 0, 255)},
                                          {5, Ip(10, 66, 0, 1), Ip(10, 66, 255, 255)}};
    EXPECT_EQ(SelectBroadcastInterfaces(addresses), expected);
}

// --- Netlink ---------------------------------------------------------------------

TEST(NeighMessages, DumpGivesIpv4EntriesWithStaticFlagAndMac) {
    TNetlinkBuilder b;
    AddNeigh(b, Ip(10, 0, 0, 2), NUD_REACHABLE);
    AddNeigh(b, Ip(10, 0, 0, 3), NUD_PERMANENT, AF_INET, 7);
    AddNeigh(b, Ip(10, 0, 0, 4), NUD_REACHABLE, AF_INET6);
    TArpRowVector rows;
    int error = 0;
    EXPECT_EQ(ParseNeighMessages(b.Bytes().data(), b.Bytes().size(), rows, error), npMore);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Address, Ip(10, 0, 0, 2));
    EXPECT_FALSE(rows[0].IsStatic);
    EXPECT_TRUE(rows[0].HasMac);
    EXPECT_EQ(rows[0].Mac[5], 2);
    EXPECT_TRUE(rows[1].IsStatic);
    EXPECT_EQ(rows[1].IfIndex, 7u);

    TNetlinkBuilder last;
    last.Done();
    EXPECT_EQ(ParseNeighMessages(last.Bytes().data(), last.Bytes().size(), rows, error), npDone);
}

TEST(NeighMessages, KernelErrorIsReturnedAsErrno) {
    TNetlinkBuilder b;
    b.Error(-EPERM);
    TArpRowVector rows;
    int error = 0;
    EXPECT_EQ(ParseNeighMessages(b.Bytes().data(), b.Bytes().size(), rows, error), npError);
    EXPECT_EQ(error, EPERM);
}

TEST(NeighMessages, TruncatedBuffersAreRejectedWithoutReadingPastTheEnd) {
    TNetlinkBuilder b;
    AddNeigh(b, Ip(10, 0, 0, 2), NUD_REACHABLE);
    const std::vector<uint8_t> full = b.Bytes();
    for (size_t length = 0; length < full.size(); ++length) {
        // A heap copy of exactly this length lets the sanitizer see any overread.
        std::vector<uint8_t> cut(full.begin(), full.begin() + long(length));
        TArpRowVector rows;
        int error = 0;
        TNetlinkParse result = ParseNeighMessages(cut.data(), cut.size(), rows, error);
        EXPECT_TRUE(rows.empty()) << length;
        if (length >= sizeof(nlmsghdr)) {
            EXPECT_EQ(result, npError) << length;
            EXPECT_EQ(error, EBADMSG);
        }
    }
}

TEST(NeighMessages, AttributeLongerThanItsMessageIsIgnored) {
    TNetlinkBuilder b;
    b.Begin(RTM_NEWNEIGH);
    ndmsg neigh{};
    neigh.ndm_family = AF_INET;
    b.Fixed(neigh);
    rtattr attr{};
    attr.rta_len = 200;
    attr.rta_type = NDA_DST;
    b.Fixed(attr);
    b.End();
    TArpRowVector rows;
    int error = 0;
    EXPECT_EQ(ParseNeighMessages(b.Bytes().data(), b.Bytes().size(), rows, error), npMore);
    EXPECT_TRUE(rows.empty());
}

TEST(RouteReply, NextHopIsTheGatewayElseThePreferredSourceOfAnOnLinkDestination) {
    for (uint32_t gateway : {Ip(10, 77, 0, 254), 0u}) {
        TNetlinkBuilder b;
        AddRoute(b, RTN_UNICAST, 3, gateway, Ip(10, 77, 0, 1));
        TBestRoute route;
        int error = 0;
        EXPECT_EQ(ParseRouteReply(b.Bytes().data(), b.Bytes().size(), route, error), npDone);
        EXPECT_EQ(route.IfIndex, 3u);
        EXPECT_EQ(route.NextHop, gateway ? gateway : Ip(10, 77, 0, 1));
        EXPECT_EQ(route.PrefSrc, Ip(10, 77, 0, 1));
    }
}

TEST(RouteReply, UnreachableIsAnError) {
    TNetlinkBuilder refused;
    refused.Error(-ENETUNREACH);
    TBestRoute route;
    int error = 0;
    EXPECT_EQ(ParseRouteReply(refused.Bytes().data(), refused.Bytes().size(), route, error), npError);
    EXPECT_EQ(error, ENETUNREACH);

    // Not an errno at all: a malformed answer, still an error.
    TNetlinkBuilder bogus;
    bogus.Error(INT_MIN);
    EXPECT_EQ(ParseRouteReply(bogus.Bytes().data(), bogus.Bytes().size(), route, error), npError);
    EXPECT_EQ(error, EBADMSG);

    TNetlinkBuilder blackhole;
    AddRoute(blackhole, RTN_BLACKHOLE, 3, 0, 0);
    error = 0;
    EXPECT_EQ(ParseRouteReply(blackhole.Bytes().data(), blackhole.Bytes().size(), route, error), npError);
}

// --- Conversion and validation ---------------------------------------------

TEST(Netmask, OnlyContiguousNonZeroMasksAreValid) {
    for (uint32_t mask : {Ip(255, 255, 255, 0), Ip(255, 255, 255, 255), Ip(128, 0, 0, 0), Ip(255, 255, 255, 252)})
        EXPECT_TRUE(IsValidNetmask(mask)) << mask;
    for (uint32_t mask : {0u, Ip(255, 255, 0, 255), Ip(255, 0, 255, 0), Ip(0, 0, 0, 255)})
        EXPECT_FALSE(IsValidNetmask(mask)) << mask;
}

TEST(HostIp, ZeroBroadcastAndLoopbackAreNotHostAddresses) {
    for (uint32_t ip : {0u, 0xFFFFFFFFu, Ip(127, 0, 0, 1), Ip(127, 255, 255, 254)})
        EXPECT_FALSE(IsValidHostIp(ip)) << ip;
    for (uint32_t ip : {Ip(126, 255, 255, 255), Ip(128, 0, 0, 0), Ip(192, 168, 1, 255)})
        EXPECT_TRUE(IsValidHostIp(ip)) << ip;
}

TEST(HexToMacText, TwelveHexDigitsInEitherCase) {
    uint8_t mac[6] = {};
    ASSERT_TRUE(HexToMac("001A2B3C4D5E", mac));
    const uint8_t expected[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(0, std::memcmp(mac, expected, 6));
    ASSERT_TRUE(HexToMac("001a2b3c4d5e", mac));
    EXPECT_EQ(0, std::memcmp(mac, expected, 6));
    // Separators, wrong lengths and non-hex digits are refused.
    EXPECT_FALSE(HexToMac("00:1A:2B:3C:4D:5E", mac));
    EXPECT_FALSE(HexToMac("001A2B3C4D5", mac));
    EXPECT_FALSE(HexToMac("001A2B3C4D5E0", mac));
    EXPECT_FALSE(HexToMac("001A2B3C4D5G", mac));
    EXPECT_FALSE(HexToMac("", mac));
    EXPECT_FALSE(HexToMac(std::string_view("001A2B\0C4D5E", 12), mac));
}

TEST(DottedText, FormatsAndParsesHostOrder) {
    EXPECT_EQ(IpToString(Ip(192, 168, 1, 20)), "192.168.1.20");
    EXPECT_EQ(IpToString(0), "0.0.0.0");
    EXPECT_EQ(StringToIp("192.168.1.20"), Ip(192, 168, 1, 20));
    EXPECT_EQ(StringToIp("10.1"), Ip(10, 0, 0, 1));  // inet_addr's short forms
    // Unparsable text gives all ones.
    EXPECT_EQ(StringToIp(""), 0xFFFFFFFFu);
    EXPECT_EQ(StringToIp("192.168.1."), 0xFFFFFFFFu);
    EXPECT_EQ(StringToIp("300.1.1.1"), 0xFFFFFFFFu);
    EXPECT_EQ(StringToIp("abc"), 0xFFFFFFFFu);
    EXPECT_EQ(StringToIp(std::string("1.2.3.4\0x", 9)), 0xFFFFFFFFu);
}

// --- The real calls, inside a network namespace of our own ---------------------

namespace {

// Runs checks in a child process inside a fresh network namespace with one
// veth pair; answers the child's failure report, or "skip: ..." when the
// namespace can't be made.
std::string RunInNamespace(const char* setup, std::string (*checks)()) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "pipe failed";
    pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        std::string report;
        if (unshare(CLONE_NEWNET) != 0)
            report = "skip: cannot create a network namespace";
        else if (std::system(setup) != 0)
            report = "skip: cannot set up the namespace with ip";
        else
            report = checks();
        if (write(pipeFds[1], report.data(), report.size()) < 0)
            _exit(2);
        _exit(0);
    }
    close(pipeFds[1]);
    std::string report;
    char buffer[512];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, size_t(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report += " child failed";
    return report;
}

const char* const kSetup =
    "ip link set lo up && "
    "ip link add nuv0 type veth peer name nuv1 && ip link set nuv0 up && ip link set nuv1 up && "
    "ip link add nuw0 type veth peer name nuw1 && ip link set nuw0 up && ip link set nuw1 up && "
    "ip addr add 198.18.7.1/24 dev nuw0 && "
    "ip addr add 198.18.3.1/24 dev nuv0 && "
    "ip route add default via 198.18.3.254 && "
    "ip neigh add 198.18.3.2 lladdr 02:00:00:00:00:02 dev nuv0 nud permanent && "
    "ip neigh add 198.18.3.3 lladdr 02:00:00:00:00:03 dev nuv0 nud stale && "
    "ip neigh add 198.18.3.4 lladdr 02:00:00:00:00:04 dev nuv0 nud stale";

bool HasArp(uint32_t address) {
    TArpRowVector rows;
    GetArpRows(rows);
    return std::any_of(rows.begin(), rows.end(), [&](const TArpRow& r) { return r.Address == address; });
}

std::string CheckHostTables() {
    std::string failures;
    TIpMaskList masks;
    if (GetLocalIpMasks(masks) != 0 || masks.size() != 2 ||
        masks[0] != TIpMask{Ip(198, 18, 3, 1), Ip(255, 255, 255, 0)} ||
        masks[1] != TIpMask{Ip(198, 18, 7, 1), Ip(255, 255, 255, 0)})
        failures += "local masks not default-route first; ";
    TIpForwardRow route;
    if (!GetDefaultRoute(route) || route.NextHop != Ip(198, 18, 3, 254) || route.IfIndex != if_nametoindex("nuv0"))
        failures += "default route; ";
    TBestRoute best;
    if (!GetBestRoute(Ip(198, 19, 0, 9), best) || best.NextHop != Ip(198, 18, 3, 254) ||
        best.IfIndex != if_nametoindex("nuv0"))
        failures += "best route via gateway; ";
    if (!GetBestRoute(Ip(198, 18, 7, 9), best) || best.NextHop != Ip(198, 18, 7, 1) ||
        best.IfIndex != if_nametoindex("nuw0"))
        failures += "best route on link; ";
    if (GetInterfaceName(if_nametoindex("nuw0")) != "nuw0" || GetInterfaceName(9999) != "0")
        failures += "interface name; ";
    uint8_t mac[6];
    if (!GetInterfaceMac("nuv0", mac) || GetInterfaceMac("none", mac))
        failures += "interface mac; ";
    TBroadcastInterfaceVector broadcast = GetBroadcastInterfaces();
    if (broadcast.size() != 2)
        failures += "broadcast interfaces; ";

    DeleteArpEntries({Ip(198, 18, 3, 2), Ip(198, 18, 3, 3)}, false);
    if (!HasArp(Ip(198, 18, 3, 2)))
        failures += "static entry deleted without include static; ";
    if (HasArp(Ip(198, 18, 3, 3)))
        failures += "listed entry kept; ";
    if (!HasArp(Ip(198, 18, 3, 4)))
        failures += "unlisted entry deleted; ";
    DeleteArpEntries({Ip(198, 18, 3, 2)}, true);
    if (HasArp(Ip(198, 18, 3, 2)))
        failures += "static entry kept with include static; ";

    if (system("ip neigh add 198.18.3.5 lladdr 02:00:00:00:00:05 dev nuv0 nud permanent") != 0)
        failures += "setup; ";
    FlushArpCache();
    if (HasArp(Ip(198, 18, 3, 4)) || !HasArp(Ip(198, 18, 3, 5)))
        failures += "flush; ";

    if (system("ip route del default") != 0)
        failures += "setup; ";
    if (GetBestRoute(Ip(198, 19, 0, 9), best))
        failures += "best route without a route; ";
    if (GetDefaultRoute(route))
        failures += "default route after removal; ";
    return failures;
}

}  // namespace

TEST(HostTablesInNamespace, AddressesRoutesAndNeighbourCacheBehave) {
    std::string report = RunInNamespace(kSetup, CheckHostTables);
    if (report.rfind("skip:", 0) == 0)
        GTEST_SKIP() << report;
    EXPECT_EQ(report, "");
}
