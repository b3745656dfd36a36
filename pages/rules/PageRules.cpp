#include "pages/rules/PageRules.h"

#include "intp/NetUtils.h"

#include <cstdio>
#include <cstring>

uint32_t ReadIpText(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return 0;
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    // Four decimal parts of 0 to 255: "99999" or "10.1" are not addresses.
    uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.')
                return 0xFFFFFFFFu;
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        unsigned value = 0;
        while (digits < text.size() && digits < 3 && text[digits] >= '0' && text[digits] <= '9')
            value = value * 10 + unsigned(text[digits++] - '0');
        if (digits == 0 || value > 255)
            return 0xFFFFFFFFu;
        text.remove_prefix(digits);
        address = address << 8 | value;
    }
    return text.empty() ? address : 0xFFFFFFFFu;
}

bool IsHostIp(uint32_t address) { return IsValidHostIp(address); }

bool IsNetmask(uint32_t mask) { return IsValidNetmask(mask); }

bool IsSameSubnet(uint32_t a, uint32_t b, uint32_t mask) { return ((a ^ b) & mask) == 0; }

bool IsHostWithMask(uint32_t address, uint32_t mask) { return IsHostIp(address) && IsNetmask(mask); }

bool ReadMacText(std::string_view text, uint8_t mac[6])
{
    uint8_t bytes[6];
    if (!HexToMac(text, bytes))
        return false;
    std::memcpy(mac, bytes, 6);
    return true;
}

bool IsMacText(std::string_view text)
{
    uint8_t mac[6];
    return ReadMacText(text, mac);
}

long long MacKey(const Intp::TMacAddr& mac)
{
    long long key = 0;
    for (uint8_t byte : mac.Bytes())
        key = (key << 8) | byte;
    return key;
}

Intp::TMacAddr MacOfKey(long long key)
{
    return Intp::TMacAddr(uint8_t(key >> 40), uint8_t(key >> 32), uint8_t(key >> 24), uint8_t(key >> 16),
                          uint8_t(key >> 8), uint8_t(key));
}

bool ReadNumber(std::string_view text, long long min, long long max, long long& value)
{
    if (text.empty())
        return false;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size())
        return false;
    // Bounded accumulation: long digit runs fail instead of wrapping.
    unsigned long long magnitude = 0;
    const unsigned long long limit = 1ULL << 62;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9' || magnitude > limit / 10)
            return false;
        magnitude = magnitude * 10 + unsigned(c - '0');
    }
    long long result = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    if (!IsInRange(result, min, max))
        return false;
    value = result;
    return true;
}

bool IsInRange(long long value, long long min, long long max) { return value >= min && value <= max; }

void CopyFixedText(char* field, std::size_t width, std::string_view text)
{
    std::size_t n = text.size() < width ? text.size() : width;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, width - n);
}

bool IsHiddenPort(std::string_view name) { return name == HiddenPortName; }

std::string PortCaption(int number)
{
    char text[32];
    std::snprintf(text, sizeof text, "Port.%02d", number);
    return text;
}

std::string TrunkCaption(int number)
{
    char text[32];
    std::snprintf(text, sizeof text, "Trunk.%02d", number);
    return text;
}

bool FitsPortMask(int ports) { return ports >= 0 && ports <= MaxMaskPorts; }

bool MaskHasPort(uint32_t mask, int port)
{
    return port >= 0 && port < MaxMaskPorts && (mask >> port) & 1U;
}

uint32_t MaskWithPort(uint32_t mask, int port, bool on)
{
    if (port < 0 || port >= MaxMaskPorts)
        return mask;
    uint32_t bit = 1U << port;
    return on ? (mask | bit) : (mask & ~bit);
}

int NextChoice(int first, int choices)
{
    if (choices <= 0)
        return 0;
    int next = (first + 1) % choices;
    return next < 0 ? next + choices : next;
}

std::string CountText(long long count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + ' ' + std::string(count == 1 ? one : many);
}
