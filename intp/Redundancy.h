// Redundancy commands. The redundancy summary (775) tells which protocol
// the switch runs; the model banners show it.
#pragma once

#include <cstdint>

#include "intp/Record.h"

namespace Intp {

struct TPropertyRedundancy {
    static constexpr int32_t Key = PropertyKey(ccRedundancyGet);
    bool valid = false;
    bool enabled = false; // redundancy active in hardware ("Hardware Mode")
    uint32_t mode = 0;    // 1 ring, 2 RSTP, 3 fast recovery; others: no known mode
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyRedundancy::enabled), Wire::U8(&TPropertyRedundancy::mode));
};

enum TRedundancyMode : uint32_t {
    rmRing = 1,
    rmRstp = 2,
    rmFastRecovery = 3,
};

// Reads the summary; every reply of 2 bytes or more is accepted. An error
// status leaves the record not valid with its other fields as they were.
class TSessionRedundancyGet : public TSessionRecordGet<ccRedundancyGet, TPropertyRedundancy> {};

} // namespace Intp
