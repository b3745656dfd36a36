// Per-port features: port names (and, with the port step, configuration,
// status and rate limits). Port indexes count from 0; trunk groups follow
// the ports.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "intp/Record.h"

namespace Intp {

inline constexpr size_t PortNameWidth = 8;

struct TPropertyPortName {
    static constexpr int32_t Key = PropertyKey(ccPortNameGet);
    bool valid = false;
    std::vector<std::string> names; // the ports, then the trunk groups
    static constexpr auto Fields =
        Layout(Wire::TextArray(&TPropertyPortName::names, PortNameWidth, TCountKind::ckPortAndTrunkGroupNum));
};

// Accepted only when the reply holds one name per port and trunk group of
// the device's model (else ssBadReply).
class TSessionPortNameGet : public TSessionRecordGet<ccPortNameGet, TPropertyPortName> {};

} // namespace Intp
