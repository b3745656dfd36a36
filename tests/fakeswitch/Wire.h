// Byte-level helpers of the fake switch: a second, independent encoding of
// the switch protocol's frames (big-endian, fixed-width NUL-padded text).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace FakeSwitch {

using TMac = std::array<uint8_t, 6>;
using TBytes = std::vector<uint8_t>;

constexpr size_t HeaderSize = 12;

struct THeader {
    uint16_t Code = 0;
    uint16_t Status = 0;
    uint16_t Length = 0;
    TMac Mac{};
};

// Reads past the end yield zeros and set m_Overrun; nothing is read out of bounds.
class TReader {
public:
    TReader(const uint8_t *data, size_t size) : m_Data(data), m_Size(size) {}
    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    std::string Text(size_t width);
    void Bytes(uint8_t *out, size_t count);
    size_t Left() const { return m_Pos < m_Size ? m_Size - m_Pos : 0; }
    bool Overrun() const { return m_Overrun; }

private:
    const uint8_t *m_Data;
    size_t m_Size;
    size_t m_Pos = 0;
    bool m_Overrun = false;
};

class TWriter {
public:
    TWriter &U8(uint8_t v);
    TWriter &U16(uint16_t v);
    TWriter &U32(uint32_t v);
    // Cut to width, NUL-padded; a text that fills the field has no NUL.
    TWriter &Text(std::string_view text, size_t width);
    TWriter &Bytes(const uint8_t *data, size_t count);
    TWriter &Zeros(size_t count);
    const TBytes &Data() const { return m_Data; }
    TBytes Take() { return std::move(m_Data); }

private:
    TBytes m_Data;
};

// Returns false for datagrams shorter than the header.
bool DecodeHeader(const uint8_t *data, size_t size, THeader &header);
TBytes EncodeFrame(uint16_t code, uint16_t status, const TMac &mac, const TBytes &payload);

std::array<uint8_t, 16> Md5(const void *data, size_t size);
// First four digest bytes of the product-id string, read little-endian.
uint32_t ProductId(std::string_view productIdString);
// MD5 of the user name and password, each cut or NUL-padded to 16 bytes.
std::array<uint8_t, 16> LoginDigest(std::string_view user, std::string_view password);

// Sends one datagram to ip:port (host order); a non-zero source (host
// order) sends from that address, a non-zero ifindex through that
// interface. Interrupted sends are retried; true when all of it went.
bool SendDatagram(int socket, uint32_t ip, uint16_t port, const TBytes &datagram, uint32_t source = 0,
                  int ifindex = 0);

std::string MacText(const TMac &mac);
std::string IpText(uint32_t ip);          // host order
uint32_t ParseIp(const std::string &text); // host order; 0 when unparsable
bool ParseMac(const std::string &text, TMac &mac); // "02:00:5e:00:00:01"

} // namespace FakeSwitch
