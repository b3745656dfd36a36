// Per-port features: port names and configuration (and, with the port step,
// status and rate limits). Port indexes count from 0; trunk groups follow
// the ports.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Values of the port configuration: one more than the highest.
inline constexpr uint32_t PortMediaTypes = 10;  // "N/A", "1000TX", ... "1GTX/mGBIC"
inline constexpr uint32_t PortSpeedDuplexes = 8; // "Auto Negotiation" ... "10 Half"; 7 has no name
inline constexpr uint32_t PortFlowControls = 3;  // "Disable", "Symmetric", "Asymmetric"

struct TPropertyPortConfigEntry {
    uint32_t port = 0;      // index into the ports, then the trunk groups
    uint32_t mediaType = 0; // read only
    bool enabled = false;
    uint32_t speedDuplex = 0;
    uint32_t flowControl = 0;
    bool security = false;
};

// Entries stand in reply order, not at their port's index. The array keeps
// room for every port and trunk group; count tells how many entries the last
// accepted reply held (1 up to ports plus trunk groups; more is refused).
struct TPropertyPortConfig {
    static constexpr int32_t Key = PropertyKey(ccPortConfigGet);
    bool valid = false;
    uint32_t count = 0;
    std::vector<TPropertyPortConfigEntry> entries;

    using E = TPropertyPortConfigEntry;
    static constexpr auto EntryFields =
        Layout(Wire::U8(&E::port), Wire::GetOnly(Wire::U8(&E::mediaType)), Wire::Flag(&E::enabled),
               Wire::U8(&E::speedDuplex), Wire::U8(&E::flowControl), Wire::Flag(&E::security));
    static constexpr auto Fields =
        Layout(Wire::Skip(4), Wire::Entries(&TPropertyPortConfig::entries, EntryFields,
                                            TCountKind::ckUpToPortAndTrunkGroupNum, &TPropertyPortConfig::count));

    // A port past the model's ports and trunk groups or a value out of range
    // is ssBadValue, in a reply and in a Set.
    static uint16_t CheckEntry(const TDeviceType& model, const E& e)
    {
        bool ok = e.port < model.PortNum + model.TrunkGroupNum && e.mediaType < PortMediaTypes &&
                  e.speedDuplex < PortSpeedDuplexes && e.flowControl < PortFlowControls;
        return ok ? ssOk : ssBadValue;
    }
};

class TSessionPortConfigGet : public TSessionRecordGet<ccPortConfigGet, TPropertyPortConfig> {};
// SetEntries(entries), SetPayload(record) (its first count entries), or
// SetEntries(bytes, n): the whole payload, 4 zero bytes then n entries of 5
// bytes. Sent with 1 up to ports plus trunk groups entries, each passing the
// entry check on the target's model.
class TSessionPortConfigSet : public TSessionRecordArraySet<ccPortConfigSet, TSessionPortConfigGet> {};

} // namespace Intp
