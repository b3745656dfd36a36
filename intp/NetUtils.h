// Host network utilities: the PC's own IPv4 addresses, routes and neighbour
// (ARP) cache, and address conversion and validation.
//
// Addresses are unsigned 32-bit values in host order throughout. Functions
// that read the operating system return 0 on success or an errno value; the
// Parse... functions are pure and take the operating system's data as input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TIpMask {
    uint32_t Address = 0;
    uint32_t Mask = 0;
    bool operator==(const TIpMask&) const = default;
};
using TIpMaskVector = std::vector<TIpMask>;
using TIpMaskList = TIpMaskVector;

// One row of the IPv4 route table.
struct TIpForwardRow {
    uint32_t Dest = 0;
    uint32_t Mask = 0;
    uint32_t NextHop = 0;  // 0 for on-link routes
    uint32_t IfIndex = 0;
    std::string IfName;
    uint32_t Metric = 0;
    uint32_t Flags = 0;  // RTF_* bits
};
using TIpForwardList = std::vector<TIpForwardRow>;

// One IPv4 address of a local interface.
struct TIfAddress {
    std::string Name;  // may carry a label suffix, "eth0:1"
    uint32_t IfIndex = 0;
    uint32_t Address = 0;
    uint32_t Mask = 0;
    uint32_t Broadcast = 0;  // valid when Flags has IFF_BROADCAST
    uint32_t Flags = 0;      // IFF_* bits
};
using TIfAddressVector = std::vector<TIfAddress>;

// One IPv4 entry of the neighbour (ARP) cache.
struct TArpRow {
    uint32_t Address = 0;
    uint8_t Mac[6] = {};
    bool HasMac = false;
    uint32_t IfIndex = 0;
    uint16_t State = 0;     // NUD_* bits
    bool IsStatic = false;  // NUD_PERMANENT
};
using TArpRowVector = std::vector<TArpRow>;

// An interface to send limited broadcasts through.
struct TBroadcastInterface {
    uint32_t IfIndex = 0;
    uint32_t Address = 0;
    uint32_t Broadcast = 0;
    bool operator==(const TBroadcastInterface&) const = default;
};
using TBroadcastInterfaceVector = std::vector<TBroadcastInterface>;

// The kernel's choice of route to one destination.
struct TBestRoute {
    uint32_t NextHop = 0;  // the gateway, or the preferred source for on-link destinations
    uint32_t IfIndex = 0;
    uint32_t PrefSrc = 0;
};

// The best route of one destination among many asked at once.
struct TRouteAnswer {
    TBestRoute Route;
    bool Found = false;  // what GetBestRoute answers
};

// An IPv4 destination prefix of a route, a cached route exception or a rule.
struct TRoutePrefix {
    uint32_t Dest = 0;
    uint8_t Length = 0;
    bool PerDestination = false;  // multipath: the kernel picks a path per destination
};

// --- Reading the operating system -----------------------------------------

int GetIpForwardRows(TIpForwardList& rows);
bool GetDefaultRoute(TIpForwardRow& row);
int GetInterfaceAddresses(TIfAddressVector& addresses);
int GetLocalIpMasks(TIpMaskList& list);
int GetArpRows(TArpRowVector& rows);
// Deletes the cache entries of the listed addresses; static entries only when
// includeStatic is set. A refused deletion (no CAP_NET_ADMIN) is ignored.
int DeleteArpEntries(const std::vector<uint32_t>& addresses, bool includeStatic);
// Deletes every learned (non-static) IPv4 entry; refusals are ignored.
int FlushArpCache();
// The process may change the neighbour cache (CAP_NET_ADMIN in effect).
bool HasNetAdminCapability();
bool GetBestRoute(uint32_t dest, TBestRoute& route);
// GetBestRoute of each destination, through one socket: the route tables,
// route exceptions and rules are read once, and the kernel is asked once per
// stretch of addresses that the same prefixes cover (these get one answer),
// or per address where a multipath route covers it. answers[i] is dests[i]'s.
std::vector<TRouteAnswer> GetBestRoutes(const std::vector<uint32_t>& dests);
// The interface's name, or "0" when there is no such interface.
std::string GetInterfaceName(uint32_t ifIndex);
bool GetInterfaceMac(const std::string& name, uint8_t mac[6]);
TBroadcastInterfaceVector GetBroadcastInterfaces();
// Gives a socket the receive buffer wanted (bytes), past net.core.rmem_max
// when the process may (CAP_NET_ADMIN), else as large as that limit allows.
// Answers the size the kernel then reports.
int SetLargestReceiveBuffer(int fd, int wanted);

// --- Pure parts --------------------------------------------------------------

// /proc/net/route text: every up route in table order; IfIndex stays 0.
void ParseRouteTable(std::string_view text, TIpForwardList& rows);
// The default route of a table: lowest metric, then table order.
bool FindDefaultRoute(const TIpForwardList& rows, TIpForwardRow& row);
// Valid host addresses of up interfaces; those of defaultIfIndex first.
void BuildLocalIpMasks(const TIfAddressVector& addresses, bool hasDefault, uint32_t defaultIfIndex, TIpMaskList& list);
TBroadcastInterfaceVector SelectBroadcastInterfaces(const TIfAddressVector& addresses);

enum TNetlinkParse { npMore, npDone, npError };
// One receive buffer of an RTM_GETNEIGH dump; AF_INET entries are appended.
// npError sets error to the kernel's errno (or EBADMSG for a malformed buffer).
TNetlinkParse ParseNeighMessages(const void* data, size_t length, TArpRowVector& rows, int& error);
// The answer to an RTM_GETROUTE query of one destination.
TNetlinkParse ParseRouteReply(const void* data, size_t length, TBestRoute& route, int& error);
// One receive buffer of an RTM_GETROUTE or RTM_GETRULE dump: the IPv4
// destination prefix of each route, route exception or rule is appended.
TNetlinkParse ParseRoutePrefixes(const void* data, size_t length, std::vector<TRoutePrefix>& prefixes, int& error);

// --- Conversion and validation ---------------------------------------------

std::string IpToString(uint32_t address);
// Dotted text to a host-order address with inet_addr semantics: text that
// cannot be parsed gives 255.255.255.255.
uint32_t StringToIp(const std::string& text);
bool IsValidHostIp(uint32_t address);
bool IsValidNetmask(uint32_t mask);
bool HexToMac(std::string_view text, uint8_t mac[6]);
