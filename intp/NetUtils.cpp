#include "intp/NetUtils.h"

#include <arpa/inet.h>
#include <charconv>
#include <fstream>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

// Routes and the neighbour cache are read through netlink in
// NetRoutesNeighbours.cpp, the adapter list and /proc/net/route in
// NetAdapters.cpp.

// --- Reading the operating system -----------------------------------------

int SetLargestReceiveBuffer(int fd, int wanted) {
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &wanted, sizeof wanted) != 0) {
        int size = wanted;
        long limit = 0;
        if (std::ifstream("/proc/sys/net/core/rmem_max") >> limit && limit > 0 && limit < size)
            size = int(limit);
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    int size = 0;
    socklen_t length = sizeof size;
    getsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, &length);
    return size;
}

bool HasNetAdminCapability() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    return (data[CAP_NET_ADMIN / 32].effective >> (CAP_NET_ADMIN % 32)) & 1;
}

// --- Conversion and validation ---------------------------------------------

std::string IpToString(uint32_t address) {
    // Every tree row and list line of a discovery shows one: no printf.
    char text[INET_ADDRSTRLEN];
    char* end = text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        end = std::to_chars(end, text + sizeof text, (address >> shift) & 0xFF).ptr;
        if (shift) *end++ = '.';
    }
    return std::string(text, end);
}

uint32_t StringToIp(const std::string& text) {
    if (text.find('\0') != std::string::npos)
        return 0xFFFFFFFFu;
    return ntohl(inet_addr(text.c_str()));
}

bool IsValidHostIp(uint32_t address) {
    return address != 0 && address != 0xFFFFFFFFu && (address >> 24) != 127;
}

bool IsValidNetmask(uint32_t mask) {
    uint32_t host = ~mask;
    return mask != 0 && (host & (host + 1)) == 0;
}

bool HexToMac(std::string_view text, uint8_t mac[6]) {
    if (text.size() != 12)
        return false;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    for (size_t i = 0; i < 6; ++i) {
        int high = nibble(text[2 * i]);
        int low = nibble(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        mac[i] = uint8_t(high << 4 | low);
    }
    return true;
}
