// IP security (management only from a list of secure addresses, for the
// services chosen) and the MAC address table's aging.
#pragma once

#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

// Management services the secure addresses may use.
enum TSecureService : uint32_t { ssvWeb = 1u << 0, ssvTelnet = 1u << 1, ssvSnmp = 1u << 2 };

// One slot per secure address of the model (SecureIpNum); 0 is an empty slot.
// A reply with no slot or another count is refused with ssBadReply, and the
// values read before stay.
struct TPropertySecurityIp {
    static constexpr int32_t Key = PropertyKey(ccSecurityIpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t services = 0; // TSecureService bits
    std::vector<uint32_t> addresses; // host order
    using R = TPropertySecurityIp;
    static constexpr auto Fields = Layout(Wire::Flag(&R::enabled), Wire::U32(&R::services),
                                          Wire::Array(&R::addresses, Wire::U32(), TCountKind::ckSecureIpNum));
};

struct TPropertySecurityMacAging {
    static constexpr int32_t Key = PropertyKey(ccSecurityMacAgingGet);
    bool valid = false;
    uint32_t agingTime = 0; // the switch's unit
    bool autoFlush = false; // flush the table when a port's link goes down
    static constexpr auto Fields = Layout(Wire::U32(&TPropertySecurityMacAging::agingTime),
                                          Wire::Flag(&TPropertySecurityMacAging::autoFlush));
};

class TSessionSecurityIpGet : public TSessionRecordGet<ccSecurityIpGet, TPropertySecurityIp> {};
// Sent only with the target model's SecureIpNum slots (never 0).
class TSessionSecurityIpSet : public TSessionRecordArraySet<ccSecurityIpSet, TSessionSecurityIpGet> {};

class TSessionSecurityMacAgingGet : public TSessionRecordGet<ccSecurityMacAgingGet, TPropertySecurityMacAging> {};
class TSessionSecurityMacAgingSet : public TSessionRecordSet<ccSecurityMacAgingSet, TSessionSecurityMacAgingGet> {};

} // namespace Intp
