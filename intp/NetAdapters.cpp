// The adapter list (the PC's interfaces and their IPv4 addresses) and the
// route table of /proc/net/route.
#include "intp/NetUtils.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/route.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <sstream>
#include <sys/socket.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t' || line[pos] == '\r'))
            ++pos;
        size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t' && line[pos] != '\r')
            ++pos;
        if (pos > start)
            fields.push_back(line.substr(start, pos - start));
    }
    return fields;
}

bool ParseNumber(std::string_view text, int base, uint32_t& value) {
    if (text.empty())
        return false;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return ec == std::errc() && end == text.data() + text.size();
}

// getifaddrs with its release.
struct TIfAddrs {
    ifaddrs* List = nullptr;
    int Error = 0;
    TIfAddrs() {
        if (getifaddrs(&List) != 0) {
            Error = errno;
            List = nullptr;
        }
    }
    ~TIfAddrs() {
        if (List)
            freeifaddrs(List);
    }
    TIfAddrs(const TIfAddrs&) = delete;
    TIfAddrs& operator=(const TIfAddrs&) = delete;
};

uint32_t HostOrder(const sockaddr* address) {
    if (!address || address->sa_family != AF_INET)
        return 0;
    sockaddr_in in;
    std::memcpy(&in, address, sizeof in);
    return ntohl(in.sin_addr.s_addr);
}

}  // namespace

// --- Pure parts --------------------------------------------------------------

void ParseRouteTable(std::string_view text, TIpForwardList& rows) {
    bool header = true;
    while (!text.empty()) {
        size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (header) {
            header = false;
            continue;
        }
        // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
        std::vector<std::string_view> fields = SplitFields(line);
        if (fields.size() < 8)
            continue;
        uint32_t dest, gateway, flags, metric, mask;
        // The hexadecimal fields are the network-order words printed as integers.
        if (!ParseNumber(fields[1], 16, dest) || !ParseNumber(fields[2], 16, gateway) ||
            !ParseNumber(fields[3], 16, flags) || !ParseNumber(fields[6], 10, metric) ||
            !ParseNumber(fields[7], 16, mask))
            continue;
        if (!(flags & RTF_UP))
            continue;
        TIpForwardRow row;
        row.IfName = std::string(fields[0]);
        row.Dest = ntohl(dest);
        row.NextHop = ntohl(gateway);
        row.Flags = flags;
        row.Metric = metric;
        row.Mask = ntohl(mask);
        rows.push_back(std::move(row));
    }
}

bool FindDefaultRoute(const TIpForwardList& rows, TIpForwardRow& row) {
    const TIpForwardRow* best = nullptr;
    for (const TIpForwardRow& candidate : rows) {
        if (candidate.Dest != 0 || candidate.Mask != 0)
            continue;
        if (!best || candidate.Metric < best->Metric)
            best = &candidate;
    }
    if (!best)
        return false;
    row = *best;
    return true;
}

void BuildLocalIpMasks(const TIfAddressVector& addresses, bool hasDefault, uint32_t defaultIfIndex, TIpMaskList& list) {
    TIpMaskList front, back;
    for (const TIfAddress& address : addresses) {
        if (!(address.Flags & IFF_UP) || !IsValidHostIp(address.Address))
            continue;
        TIpMask pair{address.Address, address.Mask};
        if (hasDefault && address.IfIndex == defaultIfIndex)
            front.push_back(pair);
        else
            back.push_back(pair);
    }
    list.insert(list.begin(), front.begin(), front.end());
    list.insert(list.end(), back.begin(), back.end());
}

TBroadcastInterfaceVector SelectBroadcastInterfaces(const TIfAddressVector& addresses) {
    TBroadcastInterfaceVector result;
    for (const TIfAddress& address : addresses) {
        if (!(address.Flags & IFF_UP) || !(address.Flags & IFF_BROADCAST) || (address.Flags & IFF_LOOPBACK))
            continue;
        if (!IsValidHostIp(address.Address) || address.Broadcast == 0 || address.IfIndex == 0)
            continue;
        bool known = std::any_of(result.begin(), result.end(),
                                 [&](const TBroadcastInterface& i) { return i.IfIndex == address.IfIndex; });
        if (!known)
            result.push_back({address.IfIndex, address.Address, address.Broadcast});
    }
    return result;
}

// --- Reading the operating system -----------------------------------------

int GetIpForwardRows(TIpForwardList& rows) {
    std::ifstream file("/proc/net/route");
    if (!file)
        return errno ? errno : ENOENT;
    std::stringstream text;
    text << file.rdbuf();
    TIpForwardList parsed;
    ParseRouteTable(text.str(), parsed);
    for (TIpForwardRow& row : parsed)
        row.IfIndex = if_nametoindex(row.IfName.c_str());
    rows.insert(rows.end(), parsed.begin(), parsed.end());
    return 0;
}

bool GetDefaultRoute(TIpForwardRow& row) {
    TIpForwardList rows;
    GetIpForwardRows(rows);
    return FindDefaultRoute(rows, row);
}

int GetInterfaceAddresses(TIfAddressVector& addresses) {
    TIfAddrs all;
    if (all.Error)
        return all.Error;
    for (ifaddrs* entry = all.List; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || !entry->ifa_name)
            continue;
        TIfAddress address;
        address.Name = entry->ifa_name;
        address.IfIndex = if_nametoindex(entry->ifa_name);
        address.Address = HostOrder(entry->ifa_addr);
        address.Mask = HostOrder(entry->ifa_netmask);
        address.Flags = entry->ifa_flags;
        if (entry->ifa_flags & IFF_BROADCAST)
            address.Broadcast = HostOrder(entry->ifa_broadaddr);
        addresses.push_back(std::move(address));
    }
    return 0;
}

int GetLocalIpMasks(TIpMaskList& list) {
    TIfAddressVector addresses;
    if (int error = GetInterfaceAddresses(addresses))
        return error;
    TIpForwardRow route;
    bool hasDefault = GetDefaultRoute(route);
    BuildLocalIpMasks(addresses, hasDefault, route.IfIndex, list);
    return 0;
}

TBroadcastInterfaceVector GetBroadcastInterfaces() {
    TIfAddressVector addresses;
    GetInterfaceAddresses(addresses);
    return SelectBroadcastInterfaces(addresses);
}

std::string GetInterfaceName(uint32_t ifIndex) {
    char name[IF_NAMESIZE];
    if (ifIndex == 0 || !if_indextoname(ifIndex, name))
        return "0";
    return name;
}

bool GetInterfaceMac(const std::string& name, uint8_t mac[6]) {
    TIfAddrs all;
    for (ifaddrs* entry = all.List; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET || !entry->ifa_name || name != entry->ifa_name)
            continue;
        sockaddr_ll link;
        std::memcpy(&link, entry->ifa_addr, sizeof link);
        if (link.sll_halen != 6)
            continue;
        std::memcpy(mac, link.sll_addr, 6);
        return true;
    }
    return false;
}
