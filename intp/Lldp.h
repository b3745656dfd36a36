// LLDP agent: on or off and its transmit interval.
#pragma once

#include <cstdint>

#include "intp/Record.h"

namespace Intp {

inline constexpr uint32_t LldpDefaultInterval = 30; // seconds

struct TPropertyLldp {
    static constexpr int32_t Key = PropertyKey(ccLldpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t interval = 0; // seconds
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyLldp::enabled), Wire::Skip(1), Wire::U16(&TPropertyLldp::interval));
};

class TSessionLldpGet : public TSessionRecordGet<ccLldpGet, TPropertyLldp> {};
// SetPayload(record), or the 4 bytes as a page holds them (the interval in
// host order); byte 1 goes out as 0.
class TSessionLldpSet : public TSessionRecordSet<ccLldpSet, TSessionLldpGet> {};

} // namespace Intp
