// Routes and the neighbour (ARP) cache: /proc/net/route and netlink.
#include "intp/NetUtils.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <fstream>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/route.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

// --- Text helpers ------------------------------------------------------------

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

// --- Netlink ------------------------------------------------------------------

// Reads fixed-size records out of a byte buffer whatever its alignment.
template <class T>
T ReadAt(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Calls onAttr(type, payload, payloadLength) for each route attribute.
template <class F>
void WalkAttributes(const uint8_t* p, size_t length, F onAttr) {
    size_t off = 0;
    while (length - off >= sizeof(rtattr)) {
        rtattr attr = ReadAt<rtattr>(p + off);
        if (attr.rta_len < sizeof(rtattr) || attr.rta_len > length - off)
            return;
        onAttr(attr.rta_type, p + off + RTA_LENGTH(0), size_t(attr.rta_len) - RTA_LENGTH(0));
        size_t step = RTA_ALIGN(attr.rta_len);
        if (step >= length - off)
            return;
        off += step;
    }
}

bool ReadIpv4(const uint8_t* payload, size_t length, uint32_t& address) {
    if (length != 4)
        return false;
    address = ntohl(ReadAt<uint32_t>(payload));
    return true;
}

// Walks the messages of one receive buffer; onMessage(type, body, bodyLength)
// answers npMore to go on, or npDone once it has what it wanted.
template <class F>
TNetlinkParse WalkMessages(const void* data, size_t length, int& error, F onMessage) {
    const auto* p = static_cast<const uint8_t*>(data);
    size_t off = 0;
    while (length - off >= sizeof(nlmsghdr)) {
        nlmsghdr header = ReadAt<nlmsghdr>(p + off);
        if (header.nlmsg_len < NLMSG_HDRLEN || header.nlmsg_len > length - off) {
            error = EBADMSG;
            return npError;
        }
        const uint8_t* body = p + off + NLMSG_HDRLEN;
        size_t bodyLength = header.nlmsg_len - NLMSG_HDRLEN;
        if (header.nlmsg_type == NLMSG_DONE)
            return npDone;
        if (header.nlmsg_type == NLMSG_ERROR) {
            if (bodyLength < sizeof(int)) {
                error = EBADMSG;
                return npError;
            }
            int code = ReadAt<int>(body);
            if (code == 0)
                return npDone;  // an acknowledgement
            // The kernel sends a negative errno; INT_MIN has no positive.
            error = code < 0 && code != INT_MIN ? -code : code > 0 ? code : EBADMSG;
            return npError;
        }
        TNetlinkParse result = onMessage(header.nlmsg_type, body, bodyLength);
        if (result != npMore)
            return result;
        size_t step = NLMSG_ALIGN(header.nlmsg_len);
        if (step >= length - off)
            break;
        off += step;
    }
    return npMore;
}

class TNetlinkSocket {
public:
    TNetlinkSocket() {
        m_Fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
        if (m_Fd < 0)
            return;
        // A kernel that never answers must not hang the GUI.
        timeval timeout{2, 0};
        setsockopt(m_Fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    }
    ~TNetlinkSocket() {
        if (m_Fd >= 0)
            close(m_Fd);
    }
    TNetlinkSocket(const TNetlinkSocket&) = delete;
    TNetlinkSocket& operator=(const TNetlinkSocket&) = delete;

    int Error() const { return m_Fd < 0 ? errno : 0; }

    int Send(const void* request, size_t length) {
        sockaddr_nl kernel{};
        kernel.nl_family = AF_NETLINK;
        ssize_t sent = sendto(m_Fd, request, length, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel);
        if (sent < 0)
            return errno;
        return sent == ssize_t(length) ? 0 : EIO;
    }

    // Receives until parse answers npDone or npError.
    int Receive(const std::function<TNetlinkParse(const void*, size_t, int&)>& parse) {
        std::unique_ptr<nlmsghdr[]> buffer(new nlmsghdr[kBufferSize / sizeof(nlmsghdr)]);
        for (;;) {
            sockaddr_nl from{};
            socklen_t fromLength = sizeof from;
            ssize_t got = recvfrom(m_Fd, buffer.get(), kBufferSize, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return errno;
            }
            if (from.nl_pid != 0)
                continue;  // only the kernel answers
            int error = 0;
            switch (parse(buffer.get(), size_t(got), error)) {
                case npDone:
                    return 0;
                case npError:
                    return error;
                case npMore:
                    break;
            }
        }
    }

private:
    static constexpr size_t kBufferSize = 65536;
    int m_Fd = -1;
};

struct TNeighRequest {
    nlmsghdr Header;
    ndmsg Neigh;
    rtattr DstAttr;
    uint32_t Dst;
};

struct TRouteRequest {
    nlmsghdr Header;
    rtmsg Route;
    rtattr DstAttr;
    uint32_t Dst;
};

// Deletes each row, ignoring refusals.
void DeleteNeighbours(const TArpRowVector& rows) {
    if (rows.empty())
        return;
    TNetlinkSocket sock;
    if (sock.Error())
        return;
    uint32_t seq = 1;
    for (const TArpRow& row : rows) {
        TNeighRequest request{};
        request.Header.nlmsg_len = sizeof request;
        request.Header.nlmsg_type = RTM_DELNEIGH;
        request.Header.nlmsg_flags = NLM_F_REQUEST;
        request.Header.nlmsg_seq = seq++;
        request.Neigh.ndm_family = AF_INET;
        request.Neigh.ndm_ifindex = int(row.IfIndex);
        request.DstAttr.rta_len = RTA_LENGTH(sizeof(uint32_t));
        request.DstAttr.rta_type = NDA_DST;
        request.Dst = htonl(row.Address);
        sock.Send(&request, sizeof request);
    }
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

TNetlinkParse ParseNeighMessages(const void* data, size_t length, TArpRowVector& rows, int& error) {
    return WalkMessages(data, length, error, [&](uint16_t type, const uint8_t* body, size_t bodyLength) {
        if (type != RTM_NEWNEIGH || bodyLength < sizeof(ndmsg))
            return npMore;
        ndmsg neigh = ReadAt<ndmsg>(body);
        if (neigh.ndm_family != AF_INET)
            return npMore;
        TArpRow row;
        row.IfIndex = uint32_t(neigh.ndm_ifindex);
        row.State = neigh.ndm_state;
        row.IsStatic = (neigh.ndm_state & NUD_PERMANENT) != 0;
        bool hasDst = false;
        size_t header = NLMSG_ALIGN(sizeof(ndmsg));
        if (bodyLength > header)
            WalkAttributes(body + header, bodyLength - header, [&](uint16_t attr, const uint8_t* p, size_t n) {
                if (attr == NDA_DST)
                    hasDst = ReadIpv4(p, n, row.Address);
                else if (attr == NDA_LLADDR && n == 6) {
                    std::memcpy(row.Mac, p, 6);
                    row.HasMac = true;
                }
            });
        if (hasDst)
            rows.push_back(row);
        return npMore;
    });
}

TNetlinkParse ParseRouteReply(const void* data, size_t length, TBestRoute& route, int& error) {
    return WalkMessages(data, length, error, [&](uint16_t type, const uint8_t* body, size_t bodyLength) {
        if (type != RTM_NEWROUTE || bodyLength < sizeof(rtmsg))
            return npMore;
        rtmsg header = ReadAt<rtmsg>(body);
        if (header.rtm_family != AF_INET)
            return npMore;
        TBestRoute found;
        bool hasOif = false;
        uint32_t gateway = 0;
        size_t offset = NLMSG_ALIGN(sizeof(rtmsg));
        if (bodyLength > offset)
            WalkAttributes(body + offset, bodyLength - offset, [&](uint16_t attr, const uint8_t* p, size_t n) {
                if (attr == RTA_OIF && n == 4) {
                    found.IfIndex = ReadAt<uint32_t>(p);
                    hasOif = true;
                } else if (attr == RTA_GATEWAY) {
                    ReadIpv4(p, n, gateway);
                } else if (attr == RTA_PREFSRC) {
                    ReadIpv4(p, n, found.PrefSrc);
                }
            });
        bool usable = header.rtm_type == RTN_UNICAST || header.rtm_type == RTN_LOCAL ||
                      header.rtm_type == RTN_BROADCAST || header.rtm_type == RTN_MULTICAST;
        if (!usable || !hasOif) {
            error = ENETUNREACH;
            return npError;
        }
        found.NextHop = gateway ? gateway : found.PrefSrc;
        route = found;
        error = 0;
        return npDone;
    });
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

int GetArpRows(TArpRowVector& rows) {
    TNetlinkSocket sock;
    if (int error = sock.Error())
        return error;
    struct {
        nlmsghdr Header;
        ndmsg Neigh;
    } request{};
    request.Header.nlmsg_len = sizeof request;
    request.Header.nlmsg_type = RTM_GETNEIGH;
    request.Header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.Header.nlmsg_seq = 1;
    request.Neigh.ndm_family = AF_INET;
    if (int error = sock.Send(&request, sizeof request))
        return error;
    TArpRowVector parsed;
    int error = sock.Receive(
        [&](const void* data, size_t length, int& e) { return ParseNeighMessages(data, length, parsed, e); });
    if (error)
        return error;
    rows.insert(rows.end(), parsed.begin(), parsed.end());
    return 0;
}

int DeleteArpEntries(const std::vector<uint32_t>& addresses, bool includeStatic) {
    TArpRowVector rows;
    if (int error = GetArpRows(rows))
        return error;
    TArpRowVector doomed;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (row->IsStatic && !includeStatic)
            continue;
        if (std::find(addresses.begin(), addresses.end(), row->Address) != addresses.end())
            doomed.push_back(*row);
    }
    DeleteNeighbours(doomed);
    return 0;
}

int FlushArpCache() {
    TArpRowVector rows;
    if (int error = GetArpRows(rows))
        return error;
    TArpRowVector doomed;
    for (const TArpRow& row : rows)
        if (!(row.State & (NUD_PERMANENT | NUD_NOARP)))
            doomed.push_back(row);
    DeleteNeighbours(doomed);
    return 0;
}

bool GetBestRoute(uint32_t dest, TBestRoute& route) {
    TNetlinkSocket sock;
    if (sock.Error())
        return false;
    TRouteRequest request{};
    request.Header.nlmsg_len = sizeof request;
    request.Header.nlmsg_type = RTM_GETROUTE;
    request.Header.nlmsg_flags = NLM_F_REQUEST;
    request.Header.nlmsg_seq = 1;
    request.Route.rtm_family = AF_INET;
    request.Route.rtm_dst_len = 32;
    request.DstAttr.rta_len = RTA_LENGTH(sizeof(uint32_t));
    request.DstAttr.rta_type = RTA_DST;
    request.Dst = htonl(dest);
    if (sock.Send(&request, sizeof request))
        return false;
    TBestRoute found;
    int error =
        sock.Receive([&](const void* data, size_t length, int& e) { return ParseRouteReply(data, length, found, e); });
    if (error)
        return false;
    // The route's interface must exist.
    char name[IF_NAMESIZE];
    if (!if_indextoname(found.IfIndex, name))
        return false;
    route = found;
    return true;
}
