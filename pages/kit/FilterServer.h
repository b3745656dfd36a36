#pragma once

// The discovery filter's settings as pages read them: where the console
// looks for switches and which answering switches it keeps. The console
// owns the filter and its rules (console/FilterRules.h).

#include "intp/NetUtils.h"

#include <cstdint>

namespace Filter {

enum TFilterMethod : std::uint8_t {
    fmSubnet = 0,   // one of the PC's own subnets
    fmGateway = 1,  // the subnet of the interface with the default route
    fmCustom = 2,   // an address and mask, optionally with a range inside
};

struct TFilterSettings {
    TIpMaskVector LocalSubnets;  // the PC's {host address, mask} pairs, default-route interface first
    TIpMaskList Unicasts;        // {address, 255.255.255.255}
    std::uint8_t Method = fmCustom;
    std::uint32_t Address = 0;
    std::uint32_t Mask = 0;
    std::uint32_t Begin = 0;  // Accept lets Begin..End through
    std::uint32_t End = 0xFFFFFFFFu;
};

class TFilterServer {
public:
    virtual ~TFilterServer() = default;

    virtual TFilterSettings* GetSettings() = 0;
    // Host-order address of an answering switch.
    virtual bool Accept(std::uint32_t address) = 0;
    // Appends the {address, mask} pairs to send the find request to
    // (address | ~mask).
    virtual void GetTargets(TIpMaskList& targets) = 0;
};

}  // namespace Filter
