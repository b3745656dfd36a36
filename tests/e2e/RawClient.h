// A plain protocol client for the namespace tests (no console code).
#pragma once

#include "tests/fakeswitch/Wire.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace E2E {

struct TChainResult {
    size_t Done = 0;           // switches whose chain ended
    double Milliseconds = 0;   // from the find until the last chain reply
};

struct TFindResult {
    size_t Found = 0;          // switches that answered
    double Milliseconds = 0;   // from the find until the last answer
};

// Find to address (host order); every one of count switches must answer.
// Prints each switch; 0 on success, 1 on failure.
int Find(uint32_t address, size_t count, const char *productId);
// Find to address, timed until count switches have answered (or 5 s).
TFindResult TimedFind(uint32_t address, size_t count);
// Find, then the settings, IP configuration and IntpSip reads of every
// answering switch, each started on the previous reply, as fast as one client can.
TChainResult RunChain(uint32_t address, size_t count, bool print);
// IP configuration Set to 255.255.255.255, then a read from the new address.
int IpSet(const FakeSwitch::TMac &mac, uint32_t newIp, const std::string &user, const std::string &password);

} // namespace E2E
