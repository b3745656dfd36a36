// A minimal raw UDP client for the fake switch tests (loopback only).
#pragma once

#include "tests/fakeswitch/Wire.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>

namespace FakeSwitch {

struct TDatagram {
    uint32_t Source = 0; // host order
    TBytes Bytes;
};

class TTestClient {
public:
    // Binds to the given local address (host order), ephemeral port.
    explicit TTestClient(uint32_t local = 0x7F000001)
    {
        m_Socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        int on = 1;
        setsockopt(m_Socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(local);
        bind(m_Socket, reinterpret_cast<sockaddr *>(&a), sizeof a);
    }
    ~TTestClient() { close(m_Socket); }
    TTestClient(const TTestClient &) = delete;
    TTestClient &operator=(const TTestClient &) = delete;

    bool Send(uint32_t ip, uint16_t port, const TBytes &datagram) { return SendDatagram(m_Socket, ip, port, datagram); }

    bool Send(uint32_t ip, uint16_t port, uint16_t code, const TMac &mac, const TBytes &payload = TBytes(4, 0))
    {
        return Send(ip, port, EncodeFrame(code, 0, mac, payload));
    }

    // The next datagram, or nothing when none arrives in time.
    std::optional<TDatagram> Receive(std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
    {
        pollfd p{m_Socket, POLLIN, 0};
        if (poll(&p, 1, int(timeout.count())) != 1)
            return std::nullopt;
        TDatagram d;
        d.Bytes.resize(65536);
        sockaddr_in from{};
        socklen_t len = sizeof from;
        ssize_t n = recvfrom(m_Socket, d.Bytes.data(), d.Bytes.size(), 0, reinterpret_cast<sockaddr *>(&from), &len);
        if (n < 0)
            return std::nullopt;
        d.Bytes.resize(size_t(n));
        d.Source = ntohl(from.sin_addr.s_addr);
        return d;
    }

private:
    int m_Socket = -1;
};

} // namespace FakeSwitch
