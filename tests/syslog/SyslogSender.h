#pragma once

// Sends datagrams to a loopback port from a plain socket.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <string>

class TLoopbackSender {
public:
    explicit TLoopbackSender(std::uint16_t port)
        : m_Fd(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        m_To.sin_family = AF_INET;
        m_To.sin_port = htons(port);
        m_To.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~TLoopbackSender()
    {
        if (m_Fd >= 0)
            ::close(m_Fd);
    }
    TLoopbackSender(const TLoopbackSender&) = delete;
    TLoopbackSender& operator=(const TLoopbackSender&) = delete;

    bool Send(const std::string& bytes)
    {
        return ::sendto(m_Fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&m_To), sizeof m_To)
            == ssize_t(bytes.size());
    }

private:
    int m_Fd;
    sockaddr_in m_To{};
};
