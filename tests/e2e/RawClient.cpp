#include "tests/e2e/RawClient.h"
#include "tests/fakeswitch/FakeSwitch.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>

namespace E2E {

using namespace FakeSwitch;
using TClock = std::chrono::steady_clock;

namespace {

struct TReplyIn {
    uint32_t Source = 0;
    THeader Header;
    TBytes Payload;
};

class TClient {
public:
    TClient()
    {
        m_Socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        int on = 1, buffer = 4 << 20;
        setsockopt(m_Socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        if (setsockopt(m_Socket, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) < 0)
            setsockopt(m_Socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        bind(m_Socket, reinterpret_cast<sockaddr *>(&a), sizeof a);
    }
    ~TClient() { close(m_Socket); }

    // 255.255.255.255 has no route without a default gateway: it is sent once
    // through every broadcast interface.
    bool Send(uint32_t ip, const TBytes &frame)
    {
        if (ip != 0xFFFFFFFF)
            return SendDatagram(m_Socket, ip, ProtocolPort, frame);
        ifaddrs *list = nullptr;
        if (getifaddrs(&list) < 0)
            return false;
        int sent = 0;
        for (ifaddrs *i = list; i; i = i->ifa_next)
            if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET && (i->ifa_flags & IFF_UP) &&
                (i->ifa_flags & IFF_BROADCAST) && !(i->ifa_flags & IFF_LOOPBACK))
                sent += SendDatagram(m_Socket, ip, ProtocolPort, frame, 0, int(if_nametoindex(i->ifa_name)));
        freeifaddrs(list);
        if (!sent)
            std::cerr << "no broadcast interface\n";
        return sent > 0;
    }

    std::optional<TReplyIn> Receive(TClock::time_point deadline)
    {
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
            pollfd p{m_Socket, POLLIN, 0};
            if (left <= 0 || poll(&p, 1, int(left)) != 1)
                return std::nullopt;
            uint8_t buffer[65536];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            ssize_t n = recvfrom(m_Socket, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&from), &len);
            TReplyIn r;
            if (n < 0 || !DecodeHeader(buffer, size_t(n), r.Header))
                continue;
            r.Source = ntohl(from.sin_addr.s_addr);
            r.Payload.assign(buffer + HeaderSize, buffer + n);
            return r;
        }
    }

private:
    int m_Socket = -1;
};

TBytes Request(uint16_t code, const TMac &mac, const TBytes &payload = TBytes(4, 0))
{
    return EncodeFrame(code, 0, mac, payload);
}

uint32_t U32At(const TBytes &b, size_t offset)
{
    TReader r(b.data() + std::min(offset, b.size()), b.size() - std::min(offset, b.size()));
    return r.U32();
}

} // namespace

namespace {

// Sends a find and takes answers until count switches answered; onAnswer
// may refuse one (false ends the find).
template <class F>
TFindResult FindEach(uint32_t address, size_t count, F onAnswer)
{
    TClient client;
    auto start = TClock::now();
    if (!client.Send(address, Request(0, TMac{})))
        return {};
    std::set<TMac> seen;
    auto deadline = start + std::chrono::seconds(5);
    while (seen.size() < count) {
        auto r = client.Receive(deadline);
        if (!r)
            break;
        if (r->Header.Code != 0 || r->Header.Status != 0 || r->Payload.size() < 8)
            continue;
        if (!onAnswer(*r))
            return {};
        seen.insert(r->Header.Mac);
    }
    return {seen.size(), std::chrono::duration<double, std::milli>(TClock::now() - start).count()};
}

} // namespace

int Find(uint32_t address, size_t count, const char *productId)
{
    std::set<TMac> printed;
    TFindResult result = FindEach(address, count, [&](const TReplyIn &r) {
        if (productId && U32At(r.Payload, 0) != FakeSwitch::ProductId(productId)) {
            std::cerr << "wrong product id from " << FakeSwitch::IpText(r.Source) << "\n";
            return false;
        }
        if (printed.insert(r.Header.Mac).second)
            std::cout << MacText(r.Header.Mac) << " " << FakeSwitch::IpText(r.Source) << "\n";
        return true;
    });
    std::cout << "found " << result.Found << " of " << count << " in " << result.Milliseconds << " ms\n";
    return result.Found == count ? 0 : 1;
}

TFindResult TimedFind(uint32_t address, size_t count)
{
    return FindEach(address, count, [](const TReplyIn &) { return true; });
}

// The console's discovery chain as fast as one client can drive it.
TChainResult RunChain(uint32_t address, size_t count, bool print)
{
    TClient client;
    auto start = TClock::now();
    if (!client.Send(address, Request(0, TMac{})))
        return {};
    const std::map<uint16_t, uint16_t> next{{0, 260}, {260, 262}, {262, 7}};
    std::set<TMac> found, done;
    auto deadline = start + std::chrono::seconds(20);
    while (done.size() < count) {
        auto r = client.Receive(deadline);
        if (!r)
            break;
        if (r->Header.Status != 0)
            continue;
        if (r->Header.Code == 7) {
            done.insert(r->Header.Mac);
            continue;
        }
        auto n = next.find(r->Header.Code);
        if (n == next.end() || (r->Header.Code == 0 && !found.insert(r->Header.Mac).second))
            continue;
        client.Send(r->Source, Request(n->second, r->Header.Mac));
    }
    auto ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
    if (print)
        std::cout << "chain done for " << done.size() << " of " << count << " in " << ms << " ms\n";
    return {done.size(), ms};
}

int IpSet(const TMac &mac, uint32_t newIp, const std::string &user, const std::string &password)
{
    TClient client;
    TWriter w;
    auto digest = LoginDigest(user, password);
    w.Bytes(digest.data(), digest.size()).U8(0).U32(newIp).U32(0xFFFE0000).U32(0).U32(0).U32(0);
    TBytes frame = Request(263, mac, w.Data());

    if (!client.Send(0xFFFFFFFF, frame))
        return 1;

    auto deadline = TClock::now() + std::chrono::seconds(5);
    std::optional<TReplyIn> r;
    while ((r = client.Receive(deadline)) && (r->Header.Code != 263 || r->Header.Mac != mac)) {
    }
    if (!r || r->Header.Status != 0 || r->Source != newIp) {
        std::cerr << "IP configuration Set not accepted\n";
        return 1;
    }
    client.Send(newIp, Request(262, mac));
    while ((r = client.Receive(deadline)) && (r->Header.Code != 262 || r->Header.Mac != mac)) {
    }
    if (!r || U32At(r->Payload, 1) != newIp) {
        std::cerr << "the switch does not report its new address\n";
        return 1;
    }
    std::cout << MacText(mac) << " now at " << FakeSwitch::IpText(newIp) << "\n";
    return 0;
}

} // namespace E2E
