// Routes and the neighbour (ARP) cache through netlink.
#include "intp/NetUtils.h"

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstring>
#include <linux/fib_rules.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace {

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
static_assert(sizeof(TRouteRequest) == NLMSG_ALIGN(sizeof(TRouteRequest)), "requests go back to back");

// The kernel's route to one destination, as "ip route get" asks it.
TRouteRequest RouteRequest(uint32_t dest, uint32_t seq) {
    TRouteRequest request{};
    request.Header.nlmsg_len = sizeof request;
    request.Header.nlmsg_type = RTM_GETROUTE;
    request.Header.nlmsg_flags = NLM_F_REQUEST;
    request.Header.nlmsg_seq = seq;
    request.Route.rtm_family = AF_INET;
    request.Route.rtm_dst_len = 32;
    request.DstAttr.rta_len = RTA_LENGTH(sizeof(uint32_t));
    request.DstAttr.rta_type = RTA_DST;
    request.Dst = htonl(dest);
    return request;
}

// The route's interface must exist.
bool InterfaceExists(uint32_t ifIndex) {
    char name[IF_NAMESIZE];
    return if_indextoname(ifIndex, name) != nullptr;
}

// Sends a dump request of type, body (what it asks for) after the header.
template <class Body> int SendDump(TNetlinkSocket& sock, uint16_t type, uint32_t seq, const Body& body) {
    struct {
        nlmsghdr Header;
        Body Payload;
    } request{};
    request.Header.nlmsg_len = sizeof request;
    request.Header.nlmsg_type = type;
    request.Header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.Header.nlmsg_seq = seq;
    request.Payload = body;
    return sock.Send(&request, sizeof request);
}

// Appends the prefixes of one dump; false when it fails. A rule's header has
// the route header's size and leading fields.
bool DumpPrefixes(TNetlinkSocket& sock, uint16_t type, uint32_t flags, uint32_t seq,
                  std::vector<TRoutePrefix>& prefixes) {
    static_assert(sizeof(fib_rule_hdr) == sizeof(rtmsg));
    rtmsg route{};
    route.rtm_family = AF_INET;
    route.rtm_flags = flags;
    if (SendDump(sock, type, seq, route))
        return false;
    return sock.Receive([&](const void* data, size_t length, int& e) {
        return ParseRoutePrefixes(data, length, prefixes, e);
    }) == 0;
}

// Queries back to back in one send: their replies fit the socket's default
// receive buffer (each reply takes about a page of it).
constexpr size_t kQueriesPerSend = 8;
constexpr uint32_t kFirstQuerySeq = 16;

// The kernel's answer to each destination, through the socket.
std::vector<TRouteAnswer> AskRoutes(TNetlinkSocket& sock, const std::vector<uint32_t>& dests) {
    std::vector<TRouteAnswer> answers(dests.size());
    std::vector<TRouteRequest> batch;
    for (size_t first = 0; first < dests.size(); first += kQueriesPerSend) {
        const size_t count = std::min(kQueriesPerSend, dests.size() - first);
        batch.clear();
        for (size_t i = first; i < first + count; ++i)
            batch.push_back(RouteRequest(dests[i], kFirstQuerySeq + uint32_t(i)));
        if (sock.Send(batch.data(), batch.size() * sizeof(TRouteRequest)))
            continue;
        // Each query gets one reply: the route, or an error.
        size_t replied = 0;
        std::vector<bool> seen(count);
        sock.Receive([&](const void* data, size_t length, int&) {
            const auto* p = static_cast<const uint8_t*>(data);
            for (size_t off = 0; length - off >= sizeof(nlmsghdr);) {
                const nlmsghdr header = ReadAt<nlmsghdr>(p + off);
                if (header.nlmsg_len < NLMSG_HDRLEN || header.nlmsg_len > length - off)
                    break;
                const size_t index = size_t(header.nlmsg_seq - kFirstQuerySeq);
                if (header.nlmsg_seq >= kFirstQuerySeq && index >= first && index < first + count &&
                    !seen[index - first] && (header.nlmsg_type == RTM_NEWROUTE || header.nlmsg_type == NLMSG_ERROR)) {
                    seen[index - first] = true;
                    ++replied;
                    int error = 0;
                    TBestRoute route;
                    answers[index].Found = header.nlmsg_type == RTM_NEWROUTE &&
                                           ParseRouteReply(p + off, header.nlmsg_len, route, error) == npDone;
                    answers[index].Route = route;
                }
                const size_t step = NLMSG_ALIGN(header.nlmsg_len);
                if (step >= length - off)
                    break;
                off += step;
            }
            return replied == count ? npDone : npMore;
        });
    }
    return answers;
}

// Where the kernel treats destinations apart whatever the routes: 0.0.0.0,
// the zero network, loopback, multicast, class E and the limited broadcast.
constexpr TRoutePrefix kAddressClasses[] = {
    {0x00000000u, 32}, {0x00000000u, 8}, {0x7F000000u, 8}, {0xE0000000u, 4}, {0xF0000000u, 4}, {0xFFFFFFFFu, 32},
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

TNetlinkParse ParseRoutePrefixes(const void* data, size_t length, std::vector<TRoutePrefix>& prefixes, int& error) {
    return WalkMessages(data, length, error, [&](uint16_t type, const uint8_t* body, size_t bodyLength) {
        const bool route = type == RTM_NEWROUTE;
        if ((!route && type != RTM_NEWRULE) || bodyLength < sizeof(rtmsg))
            return npMore;
        // A rule's header starts as a route's: family, destination length.
        const rtmsg header = ReadAt<rtmsg>(body);
        if (header.rtm_family != AF_INET || header.rtm_dst_len > 32)
            return npMore;
        TRoutePrefix prefix;
        prefix.Length = header.rtm_dst_len;
        const size_t offset = NLMSG_ALIGN(sizeof(rtmsg));
        if (bodyLength > offset)
            WalkAttributes(body + offset, bodyLength - offset, [&](uint16_t attr, const uint8_t* p, size_t n) {
                if (attr == RTA_DST)  // FRA_DST of a rule
                    ReadIpv4(p, n, prefix.Dest);
                else if (route && (attr == RTA_MULTIPATH || attr == RTA_NH_ID))
                    prefix.PerDestination = true;
            });
        prefix.Dest &= prefix.Length ? ~uint32_t(0) << (32 - prefix.Length) : 0;
        prefixes.push_back(prefix);
        return npMore;
    });
}

// --- Reading the operating system -----------------------------------------

int GetArpRows(TArpRowVector& rows) {
    TNetlinkSocket sock;
    if (int error = sock.Error())
        return error;
    ndmsg neigh{};
    neigh.ndm_family = AF_INET;
    if (int error = SendDump(sock, RTM_GETNEIGH, 1, neigh))
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
    const TRouteRequest request = RouteRequest(dest, 1);
    if (sock.Send(&request, sizeof request))
        return false;
    TBestRoute found;
    int error =
        sock.Receive([&](const void* data, size_t length, int& e) { return ParseRouteReply(data, length, found, e); });
    if (error || !InterfaceExists(found.IfIndex))
        return false;
    route = found;
    return true;
}

std::vector<TRouteAnswer> GetBestRoutes(const std::vector<uint32_t>& dests) {
    std::vector<TRouteAnswer> answers(dests.size());
    if (dests.empty())
        return answers;
    TNetlinkSocket sock;
    if (sock.Error())
        return answers;
    // The routes of every table, the cached exceptions (redirects, path MTU)
    // and the rules: an answer depends on the destination only through which
    // of their prefixes cover it, and through the path of a multipath route.
    std::vector<TRoutePrefix> prefixes(std::begin(kAddressClasses), std::end(kAddressClasses));
    const bool read = DumpPrefixes(sock, RTM_GETROUTE, 0, 1, prefixes) &&
                      DumpPrefixes(sock, RTM_GETROUTE, RTM_F_CLONED, 2, prefixes) &&
                      DumpPrefixes(sock, RTM_GETRULE, 0, 3, prefixes);
    // Stretches [bounds[k], bounds[k + 1]): each address of one is covered by
    // the same prefixes.
    std::vector<uint64_t> bounds{0, uint64_t(1) << 32};
    auto prefixEnd = [](const TRoutePrefix& p) { return uint64_t(p.Dest) + (uint64_t(1) << (32 - p.Length)); };
    for (const TRoutePrefix& p : prefixes) {
        bounds.push_back(p.Dest);
        bounds.push_back(prefixEnd(p));
    }
    std::sort(bounds.begin(), bounds.end());
    bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
    auto stretchOf = [&](uint64_t address) {
        return size_t(std::upper_bound(bounds.begin(), bounds.end(), address) - bounds.begin() - 1);
    };
    // Without the tables, every address is asked on its own.
    std::vector<bool> perAddress(bounds.size() - 1, !read);
    for (const TRoutePrefix& p : prefixes)
        if (p.PerDestination)
            for (size_t k = stretchOf(p.Dest); k < perAddress.size() && bounds[k] < prefixEnd(p); ++k)
                perAddress[k] = true;

    // One query per stretch (its first destination) or per address.
    constexpr size_t kNone = SIZE_MAX;
    std::vector<size_t> stretchQuery(perAddress.size(), kNone), queryOf(dests.size());
    std::vector<uint32_t> queries;
    for (size_t i = 0; i < dests.size(); ++i) {
        const size_t k = stretchOf(dests[i]);
        if (perAddress[k] || stretchQuery[k] == kNone) {
            if (!perAddress[k])
                stretchQuery[k] = queries.size();
            queryOf[i] = queries.size();
            queries.push_back(dests[i]);
        } else {
            queryOf[i] = stretchQuery[k];
        }
    }
    std::vector<TRouteAnswer> replies = AskRoutes(sock, queries);
    std::map<uint32_t, bool> interfaces;
    for (TRouteAnswer& reply : replies) {
        if (!reply.Found)
            continue;
        auto known = interfaces.find(reply.Route.IfIndex);
        if (known == interfaces.end())
            known = interfaces.emplace(reply.Route.IfIndex, InterfaceExists(reply.Route.IfIndex)).first;
        reply.Found = known->second;
    }
    for (size_t i = 0; i < dests.size(); ++i)
        answers[i] = replies[queryOf[i]];
    return answers;
}
