#pragma once

// Rules of the discovery filter: plain functions over its settings, so they
// can be tested without the dialog.

#include "pages/kit/FilterServer.h"

#include <cstdint>
#include <string>

namespace Filter {

bool AcceptAddress(const TFilterSettings& settings, std::uint32_t address);
void CollectTargets(const TFilterSettings& settings, TIpMaskList& targets);

inline std::uint32_t SubnetBegin(std::uint32_t address, std::uint32_t mask) { return address & mask; }
inline std::uint32_t SubnetEnd(std::uint32_t address, std::uint32_t mask) { return address | ~mask; }

// Dotted text to a host address; anything that is not a valid host address is 0.
std::uint32_t ParseHostIp(const std::string& text);

struct TCustomValues {
    std::uint32_t Address = 0;
    std::uint32_t Mask = 0;
    std::uint32_t Begin = 0;
    std::uint32_t End = 0;
};

// The custom address, mask and range as the edits' texts give them: invalid
// texts become 0, a begin or end outside the subnet becomes the subnet's bound.
TCustomValues EvaluateCustom(const std::string& address, const std::string& mask, bool range,
                             const std::string& begin, const std::string& end);

// The proposed range end for a remote address: its trailing zero bits set.
std::uint32_t ProposeRangeEnd(std::uint32_t begin);

// Adding a range of remote addresses.
inline constexpr std::uint64_t kRangeConfirmAddresses = 64;   // more than this asks first
inline constexpr std::uint64_t kRangeMaxAddresses = 65536;    // more than this is refused

enum TRangeCheck {
    rcInvalid,   // a bound is 0 or begin > end
    rcTooMany,   // more than kRangeMaxAddresses
    rcConfirm,   // more than kRangeConfirmAddresses
    rcOk,
};
TRangeCheck CheckRange(std::uint32_t begin, std::uint32_t end);

// The local subnet line equal to the settings' {address, mask}, or -1.
int FindSubnetLine(const TFilterSettings& settings);

// Brings the method back as the dialog shows it, changing the settings
// where the chosen subnet is gone; answers whether the custom range box is
// checked (method 2 with a range narrower than the subnet).
bool RestoreMethod(TFilterSettings& settings, int subnetLine);

}  // namespace Filter
