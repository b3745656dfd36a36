#include "tests/fakeswitch/Wire.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace FakeSwitch {

uint8_t TReader::U8()
{
    uint8_t v = 0;
    Bytes(&v, 1);
    return v;
}

uint16_t TReader::U16()
{
    uint8_t b[2];
    Bytes(b, 2);
    return uint16_t(b[0] << 8 | b[1]);
}

uint32_t TReader::U32()
{
    uint8_t b[4];
    Bytes(b, 4);
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

std::string TReader::Text(size_t width)
{
    std::string field(width, '\0');
    Bytes(reinterpret_cast<uint8_t *>(field.data()), width);
    field.resize(strnlen(field.data(), width));
    return field;
}

void TReader::Bytes(uint8_t *out, size_t count)
{
    size_t have = std::min(count, Left());
    if (have)
        memcpy(out, m_Data + m_Pos, have);
    if (have < count) {
        memset(out + have, 0, count - have);
        m_Overrun = true;
    }
    m_Pos += have;
}

TWriter &TWriter::U8(uint8_t v)
{
    m_Data.push_back(v);
    return *this;
}

TWriter &TWriter::U16(uint16_t v)
{
    return U8(uint8_t(v >> 8)).U8(uint8_t(v));
}

TWriter &TWriter::U32(uint32_t v)
{
    return U16(uint16_t(v >> 16)).U16(uint16_t(v));
}

TWriter &TWriter::Text(std::string_view text, size_t width)
{
    size_t n = std::min(text.size(), width);
    Bytes(reinterpret_cast<const uint8_t *>(text.data()), n);
    return Zeros(width - n);
}

TWriter &TWriter::Bytes(const uint8_t *data, size_t count)
{
    m_Data.insert(m_Data.end(), data, data + count);
    return *this;
}

TWriter &TWriter::Zeros(size_t count)
{
    m_Data.insert(m_Data.end(), count, 0);
    return *this;
}

bool DecodeHeader(const uint8_t *data, size_t size, THeader &header)
{
    if (size < HeaderSize)
        return false;
    TReader r(data, size);
    header.Code = r.U16();
    header.Status = r.U16();
    header.Length = r.U16();
    r.Bytes(header.Mac.data(), 6);
    return true;
}

TBytes EncodeFrame(uint16_t code, uint16_t status, const TMac &mac, const TBytes &payload)
{
    TWriter w;
    w.U16(code).U16(status).U16(uint16_t(payload.size())).Bytes(mac.data(), 6);
    w.Bytes(payload.data(), payload.size());
    return w.Take();
}

std::array<uint8_t, 16> Md5(const void *data, size_t size)
{
    std::array<uint8_t, 16> digest{};
    unsigned int len = 0;
    if (!EVP_Digest(data, size, digest.data(), &len, EVP_md5(), nullptr) || len != 16)
        throw std::runtime_error("MD5 failed");
    return digest;
}

uint32_t ProductId(std::string_view productIdString)
{
    auto d = Md5(productIdString.data(), productIdString.size());
    return uint32_t(d[0]) | uint32_t(d[1]) << 8 | uint32_t(d[2]) << 16 | uint32_t(d[3]) << 24;
}

std::array<uint8_t, 16> LoginDigest(std::string_view user, std::string_view password)
{
    TWriter w;
    w.Text(user, 16).Text(password, 16);
    return Md5(w.Data().data(), w.Data().size());
}

std::string MacText(const TMac &mac)
{
    char text[18];
    snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2], mac[3], mac[4],
             mac[5]);
    return text;
}

std::string IpText(uint32_t ip)
{
    in_addr a{htonl(ip)};
    char text[INET_ADDRSTRLEN];
    return inet_ntop(AF_INET, &a, text, sizeof text);
}

bool ParseMac(const std::string &text, TMac &mac)
{
    unsigned b[6];
    if (sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x", &b[0], &b[1], &b[2], &b[3], &b[4], &b[5]) != 6)
        return false;
    for (int i = 0; i < 6; ++i) {
        if (b[i] > 255)
            return false;
        mac[i] = uint8_t(b[i]);
    }
    return true;
}

uint32_t ParseIp(const std::string &text)
{
    in_addr a{};
    return inet_pton(AF_INET, text.c_str(), &a) == 1 ? ntohl(a.s_addr) : 0;
}

bool SendDatagram(int socket, uint32_t ip, uint16_t port, const TBytes &datagram, uint32_t source, int ifindex)
{
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(ip);
    to.sin_port = htons(port);
    iovec iov{const_cast<uint8_t *>(datagram.data()), datagram.size()};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr msg{};
    msg.msg_name = &to;
    msg.msg_namelen = sizeof to;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    if (source || ifindex) {
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr *c = CMSG_FIRSTHDR(&msg);
        c->cmsg_level = IPPROTO_IP;
        c->cmsg_type = IP_PKTINFO;
        c->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = ifindex;
        info.ipi_spec_dst.s_addr = htonl(source);
        memcpy(CMSG_DATA(c), &info, sizeof info);
    }
    ssize_t sent;
    while ((sent = sendmsg(socket, &msg, 0)) < 0 && errno == EINTR) {
    }
    return sent == ssize_t(datagram.size());
}

} // namespace FakeSwitch
