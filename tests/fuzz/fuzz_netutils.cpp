// The host network utilities' parsers: rtnetlink neighbour dumps and route
// replies, the /proc/net/route text, and the address and MAC texts.
//
// Input: byte 0 picks the parser (modulo 4), the rest is its input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include "intp/NetUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    // An exactly sized copy, so any read past the buffer is caught.
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    const void* p = bytes.empty() ? nullptr : bytes.data();
    int error = 0;
    switch (data[0] % 4) {
    case 0: {
        TArpRowVector rows;
        TNetlinkParse r = ParseNeighMessages(p, bytes.size(), rows, error);
        if ((r == npError) != (error > 0)) std::abort();
        for (const TArpRow& row : rows)
            if (row.IsStatic != ((row.State & NUD_PERMANENT) != 0)) std::abort();
        break;
    }
    case 1: {
        TBestRoute route;
        TNetlinkParse r = ParseRouteReply(p, bytes.size(), route, error);
        if ((r == npError) != (error > 0)) std::abort();
        break;
    }
    case 2: {
        TIpForwardList rows;
        ParseRouteTable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), rows);
        TIpForwardRow best;
        if (FindDefaultRoute(rows, best) && (best.Dest != 0 || best.Mask != 0)) std::abort();
        break;
    }
    default: {
        std::string text(bytes.begin(), bytes.end());
        std::uint8_t mac[6];
        HexToMac(text, mac);
        std::uint32_t ip = StringToIp(text);
        if (ip != 0xFFFFFFFFu && StringToIp(IpToString(ip)) != ip) std::abort();
        IsValidHostIp(ip);
        IsValidNetmask(ip);
        break;
    }
    }
    return 0;
}

namespace {

class TMessages {
public:
    explicit TMessages(std::uint8_t parser) { m_Bytes.push_back(parser); }
    // One message of type with a fixed body and route attributes.
    TMessages& Add(std::uint16_t type, const void* body, std::size_t bodySize,
                   const std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>>& attrs = {}) {
        std::vector<std::uint8_t> msg(NLMSG_HDRLEN + NLMSG_ALIGN(bodySize));
        std::memcpy(msg.data() + NLMSG_HDRLEN, body, bodySize);
        for (const auto& [attrType, value] : attrs) {
            rtattr attr{};
            attr.rta_len = std::uint16_t(RTA_LENGTH(value.size()));
            attr.rta_type = attrType;
            std::size_t at = msg.size();
            msg.resize(at + RTA_SPACE(value.size()));
            std::memcpy(msg.data() + at, &attr, sizeof attr);
            std::memcpy(msg.data() + at + RTA_LENGTH(0), value.data(), value.size());
        }
        nlmsghdr header{};
        header.nlmsg_len = std::uint32_t(msg.size());
        header.nlmsg_type = type;
        std::memcpy(msg.data(), &header, sizeof header);
        m_Bytes.insert(m_Bytes.end(), msg.begin(), msg.end());
        return *this;
    }
    void Save(const std::string& dir, const std::string& name) const {
        std::filesystem::create_directories(dir);
        std::ofstream(std::filesystem::path(dir) / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(m_Bytes.data()), std::streamsize(m_Bytes.size()));
    }

private:
    std::vector<std::uint8_t> m_Bytes;
};

std::vector<std::uint8_t> Ipv4(std::uint32_t address)
{
    std::uint32_t net = htonl(address);
    std::vector<std::uint8_t> v(4);
    std::memcpy(v.data(), &net, 4);
    return v;
}

} // namespace

// Seeds: a neighbour dump, a route answer, kernel errors, a route table and
// address texts.
void WriteFuzzSeeds(const std::string& dir)
{
    ndmsg neigh{};
    neigh.ndm_family = AF_INET;
    neigh.ndm_ifindex = 2;
    neigh.ndm_state = NUD_REACHABLE;
    ndmsg fixed = neigh;
    fixed.ndm_state = NUD_PERMANENT;
    int done = 0;
    TMessages(0)
        .Add(RTM_NEWNEIGH, &neigh, sizeof neigh, {{NDA_DST, Ipv4(0xC6120002u)}, {NDA_LLADDR, {0, 0x1A, 0, 0, 0, 1}}})
        .Add(RTM_NEWNEIGH, &fixed, sizeof fixed, {{NDA_DST, Ipv4(0xC6120003u)}})
        .Add(NLMSG_DONE, &done, sizeof done)
        .Save(dir, "neigh_dump");
    for (int code : {-1, 0, 1, int(0x80000000u)}) {
        nlmsgerr err{};
        err.error = code;
        TMessages(0).Add(NLMSG_ERROR, &err, sizeof err).Save(dir, "neigh_error" + std::to_string(code));
        TMessages(1).Add(NLMSG_ERROR, &err, sizeof err).Save(dir, "route_error" + std::to_string(code));
    }
    rtmsg route{};
    route.rtm_family = AF_INET;
    route.rtm_type = RTN_UNICAST;
    std::uint32_t oif = 2;
    std::vector<std::uint8_t> oifBytes(4);
    std::memcpy(oifBytes.data(), &oif, 4);
    TMessages(1)
        .Add(RTM_NEWROUTE, &route, sizeof route,
             {{RTA_OIF, oifBytes}, {RTA_GATEWAY, Ipv4(0xC6120001u)}, {RTA_PREFSRC, Ipv4(0xC6120002u)}})
        .Save(dir, "route_reply");
    const std::string table =
        std::string(1, '\2') +
        "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        "veth0\t00000000\t010012C6\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
        "veth0\t000012C6\t00000000\t0001\t0\t0\t0\t0000FFFF\t0\t0\t0\n";
    std::ofstream(std::filesystem::path(dir) / "route_table", std::ios::binary) << table;
    std::ofstream(std::filesystem::path(dir) / "texts", std::ios::binary) << std::string(1, '\3') << "198.18.0.1";
    std::ofstream(std::filesystem::path(dir) / "mac", std::ios::binary) << std::string(1, '\3') << "00:1A:2B:3C:4D:5E";
}
