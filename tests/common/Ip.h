#pragma once

#include <cstdint>

// An IPv4 address in host order.
constexpr std::uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d)
{
    return a << 24 | b << 16 | c << 8 | d;
}
