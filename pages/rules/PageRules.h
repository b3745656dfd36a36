#pragma once

// Input rules shared by the device pages. Plain functions without widgets so
// that they can be checked on their own.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "intp/Device.h"

// Port masks are 32 bits wide: a page handles at most this many ports.
constexpr int MaxMaskPorts = 32;

// A port the switch does not offer carries exactly this name.
constexpr std::string_view HiddenPortName = "Port.XX";

// Dotted IPv4 text of an input field, host order: empty (or blank) text reads
// as 0, text that is not four dotted decimal parts of 0 to 255 as 255.255.255.255.
uint32_t ReadIpText(std::string_view text);

// Host address: not 0, not 255.255.255.255, not 127.x.x.x.
bool IsHostIp(uint32_t address);
// Netmask: non-zero, one bits contiguous from the top.
bool IsNetmask(uint32_t mask);
// True when both addresses lie in one subnet of the mask.
bool IsSameSubnet(uint32_t a, uint32_t b, uint32_t mask);
// Both the address and the mask are acceptable.
bool IsHostWithMask(uint32_t address, uint32_t mask);

// MAC input: exactly 12 hexadecimal digits, either case, without separators;
// mac is written only on success.
bool ReadMacText(std::string_view text, uint8_t mac[6]);
bool IsMacText(std::string_view text);

// A count and its noun: "1 port", "24 ports".
std::string CountText(long long count, std::string_view one, std::string_view many);

// A MAC as a 48-bit number (a list row's tag); numbers order as the bytes do.
long long MacKey(const Intp::TMacAddr& mac);
Intp::TMacAddr MacOfKey(long long key);

// Decimal integer input within [min, max]; no sign for unsigned ranges, no
// blanks, no overflow. value is written only on success.
bool ReadNumber(std::string_view text, long long min, long long max, long long& value);
bool IsInRange(long long value, long long min, long long max);

// Bounded copy into a fixed-width protocol field: at most width bytes of the
// text, the rest of the field zero. No terminator when the text fills it.
void CopyFixedText(char* field, std::size_t width, std::string_view text);

// Per-port helpers.
bool IsHiddenPort(std::string_view name);
// "Port.%02d" of a number counted from 1; "Trunk.%02d" likewise.
std::string PortCaption(int number);
std::string TrunkCaption(int number);
// A count of ports that a 32-bit mask can carry.
bool FitsPortMask(int ports);
// Bit n of a mask; ports at or above 32 are never set.
bool MaskHasPort(uint32_t mask, int port);
uint32_t MaskWithPort(uint32_t mask, int port, bool on);

// Header-click step of an edited column: the value after the first row's,
// modulo the number of choices (0 when there are none).
int NextChoice(int first, int choices);

// Three-way comparison of two numbers.
template <class T>
int Compare3(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
