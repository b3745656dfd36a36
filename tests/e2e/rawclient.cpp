// e2e_rawclient: a plain protocol client for the namespace tests.
//   find  <address> <count> [product-id]   broadcast find; every one of count switches answers
//   chain <address> <count>                find, then settings, IP configuration and IntpSip reads
//                                          of every switch; prints the time until the last reply
//   ipset <mac> <new address> <user> <password>
//                                          IP configuration Set to 255.255.255.255 on every
//                                          broadcast interface, then a read from the new address
// Exit 0 on success, 1 on failure, 2 on bad usage.
#include "tests/e2e/RawClient.h"

#include <cstdlib>
#include <iostream>

using namespace E2E;
using namespace FakeSwitch;

int main(int argc, char **argv)
{
    std::string mode = argc > 1 ? argv[1] : "";
    if ((mode == "find" && (argc == 4 || argc == 5)) || (mode == "chain" && argc == 4)) {
        uint32_t address = ParseIp(argv[2]);
        long count = strtol(argv[3], nullptr, 10);
        if (!address || count <= 0)
            return 2;
        return mode == "find" ? Find(address, size_t(count), argc == 5 ? argv[4] : nullptr)
                              : (RunChain(address, size_t(count), true).Done == size_t(count) ? 0 : 1);
    }
    TMac mac;
    if (mode == "ipset" && argc == 6 && ParseMac(argv[2], mac) && ParseIp(argv[3]))
        return IpSet(mac, ParseIp(argv[3]), argv[4], argv[5]);
    std::cerr << "usage: e2e_rawclient find ADDRESS COUNT [PRODUCT-ID] | chain ADDRESS COUNT |"
                 " ipset MAC ADDRESS USER PASSWORD\n";
    return 2;
}
