// Per-port features: port names, configuration, status, rate limits and
// trunk groups (two generations). Port indexes count from 0; trunk groups
// follow the ports.
#pragma once

#include <array>
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

// Values of the status and limit entries: one more than the highest.
inline constexpr uint32_t PortFrameTypes = 4; // "All" ... "Broadcast Only"

struct TPropertyPortStatusEntry {
    uint32_t mediaType = 0;
    bool link = false;
    bool enabled = false;
    uint32_t speedDuplex = 0;
    bool flowControl = false;
};

// One entry per port, at its port's index.
struct TPropertyPortStatus {
    static constexpr int32_t Key = PropertyKey(ccPortStatusGet);
    bool valid = false;
    std::vector<TPropertyPortStatusEntry> entries;

    using E = TPropertyPortStatusEntry;
    static constexpr auto EntryFields = Layout(Wire::U8(&E::mediaType), Wire::Flag(&E::link), Wire::Flag(&E::enabled),
                                               Wire::U8(&E::speedDuplex), Wire::Flag(&E::flowControl));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertyPortStatus::entries, EntryFields, TCountKind::ckPortNum));

    static uint16_t CheckEntry(const TDeviceType&, const E& e)
    {
        return e.mediaType < PortMediaTypes && e.speedDuplex < PortSpeedDuplexes ? ssOk : ssBadValue;
    }
};

// Accepted only with one entry per port of the model.
class TSessionPortStatusGet : public TSessionRecordGet<ccPortStatusGet, TPropertyPortStatus> {};

// Rate limits in kbps; 0 is no limit.
struct TPropertyPortLimitEntry {
    uint32_t frameType = 0;
    uint32_t ingress = 0;
    uint32_t egress = 0;
};

struct TPropertyPortLimit {
    static constexpr int32_t Key = PropertyKey(ccPortLimitGet);
    bool valid = false;
    std::vector<TPropertyPortLimitEntry> entries;

    using E = TPropertyPortLimitEntry;
    static constexpr auto EntryFields = Layout(Wire::U8(&E::frameType), Wire::U32(&E::ingress), Wire::U32(&E::egress));
    static constexpr auto Fields = Layout(Wire::Entries(&TPropertyPortLimit::entries, EntryFields, TCountKind::ckPortNum));

    static uint16_t CheckEntry(const TDeviceType&, const E& e) { return e.frameType < PortFrameTypes ? ssOk : ssBadValue; }
};

class TSessionPortLimitGet : public TSessionRecordGet<ccPortLimitGet, TPropertyPortLimit> {};
// One entry per port (SetEntries(entries) or SetPayload(record)).
class TSessionPortLimitSet : public TSessionRecordArraySet<ccPortLimitSet, TSessionPortLimitGet> {};

// The second form: two 16-bit rates per port, little-endian both ways (a
// page range-checks them: the Set takes their low 16 bits).
inline constexpr uint32_t PortRate2Max = 0xFFFF;

struct TPropertyPortLimit2Entry {
    uint32_t inRate = 0;
    uint32_t outRate = 0;
};

struct TPropertyPortLimit2 {
    static constexpr int32_t Key = PropertyKey(ccPortLimit2Get);
    bool valid = false;
    std::vector<TPropertyPortLimit2Entry> entries;

    using E = TPropertyPortLimit2Entry;
    static constexpr auto EntryFields = Layout(Wire::U16Le(&E::inRate), Wire::U16Le(&E::outRate));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertyPortLimit2::entries, EntryFields, TCountKind::ckPortNum));
};

class TSessionPortLimit2Get : public TSessionRecordGet<ccPortLimit2Get, TPropertyPortLimit2> {};
class TSessionPortLimit2Set : public TSessionRecordArraySet<ccPortLimit2Set, TSessionPortLimit2Get> {};

// Trunk groups. A member bitmap has bit k for port index k.
namespace TrunkDetail {
// ssBadValue for a bit past the model's ports.
inline uint16_t CheckMembers(const TDeviceType& model, uint32_t members)
{
    return model.PortNum >= 32 || (members >> model.PortNum) == 0 ? ssOk : ssBadValue;
}
// ssBadEntry when a port is in two of the first n groups.
template <class E> uint16_t CheckDisjoint(const std::vector<E>& entries, size_t n)
{
    uint32_t seen = 0;
    for (size_t i = 0; i < n && i < entries.size(); ++i) {
        if (seen & entries[i].members) return ssBadEntry;
        seen |= entries[i].members;
    }
    return ssOk;
}
} // namespace TrunkDetail

struct TPropertyPortTrunkEntry {
    uint32_t members = 0;
    bool lacp = false; // false: static
};

// First generation: one entry per trunk group.
struct TPropertyPortTrunk {
    static constexpr int32_t Key = PropertyKey(ccPortTrunkGet);
    bool valid = false;
    std::vector<TPropertyPortTrunkEntry> entries;

    using E = TPropertyPortTrunkEntry;
    static constexpr auto EntryFields = Layout(Wire::U32(&E::members), Wire::Flag(&E::lacp));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertyPortTrunk::entries, EntryFields, TCountKind::ckTrunkGroupNum));

    static uint16_t CheckEntry(const TDeviceType& model, const E& e) { return TrunkDetail::CheckMembers(model, e.members); }
};

// A reply with a port in two groups is ssBadEntry; a rejected reply leaves
// the stored groups as they were and the record invalid.
class TSessionPortTrunkGet : public TSessionRecordGet<ccPortTrunkGet, TPropertyPortTrunk> {
protected:
    uint16_t Check(TDevice*, const TPropertyPortTrunk& r) override
    {
        return TrunkDetail::CheckDisjoint(r.entries, r.entries.size());
    }
};
class TSessionPortTrunkSet : public TSessionRecordArraySet<ccPortTrunkSet, TSessionPortTrunkGet> {};

inline constexpr size_t TrunkSlots = 4;
inline constexpr size_t TrunkMacWidth = 13;

// Second generation: the trunk groups, then the LACP activity entry (members:
// the ports whose activity is "Active"; workPorts: sent back as read).
struct TPropertyPortTrunk2Entry {
    uint32_t members = 0;
    bool lacp = false;
    uint32_t workPorts = 0;
    uint32_t actorPriority = 0;
    uint32_t partnerPriority = 0;
    std::string actorMac;
    std::string partnerMac;
    std::array<uint32_t, TrunkSlots> actorPort{};   // 1-based; 0 ends the used slots
    std::array<uint32_t, TrunkSlots> partnerPort{};
    std::array<uint32_t, TrunkSlots> actorKey{};
    std::array<uint32_t, TrunkSlots> partnerKey{};
    std::array<uint32_t, TrunkSlots> actorPortPriority{};
    std::array<uint32_t, TrunkSlots> partnerPortPriority{};
    std::array<bool, TrunkSlots> selected{};
};

// The LACP details only travel in the reply, their 16-bit values
// little-endian; a Set carries members, LACP and work ports, then zeros.
struct TPropertyPortTrunk2 {
    static constexpr int32_t Key = PropertyKey(ccPortTrunkGet2);
    bool valid = false;
    std::vector<TPropertyPortTrunk2Entry> entries;

    using E = TPropertyPortTrunk2Entry;
    static constexpr auto EntryFields = Layout(
        Wire::U32(&E::members), Wire::Flag(&E::lacp), Wire::U8(&E::workPorts),
        Wire::GetOnly(Wire::U16Le(&E::actorPriority)), Wire::GetOnly(Wire::U16Le(&E::partnerPriority)),
        Wire::GetOnly(Wire::Text(&E::actorMac, TrunkMacWidth)), Wire::GetOnly(Wire::Text(&E::partnerMac, TrunkMacWidth)),
        Wire::GetOnly(Wire::U8s(&E::actorPort)), Wire::GetOnly(Wire::U8s(&E::partnerPort)),
        Wire::GetOnly(Wire::U16Les(&E::actorKey)), Wire::GetOnly(Wire::U16Les(&E::partnerKey)),
        Wire::GetOnly(Wire::U16Les(&E::actorPortPriority)), Wire::GetOnly(Wire::U16Les(&E::partnerPortPriority)),
        Wire::GetOnly(Wire::U8s(&E::selected)), Wire::SetOnly(Wire::Skip(74)));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertyPortTrunk2::entries, EntryFields, TCountKind::ckTrunkGroupNumPlusOne));

    // The groups' members within the ports and disjoint; the activity entry
    // (the last) is exempt. In a reply and in a Set.
    static uint16_t Check(const TDeviceType& model, const TPropertyPortTrunk2& r)
    {
        size_t groups = r.entries.empty() ? 0 : r.entries.size() - 1;
        for (size_t i = 0; i < groups; ++i)
            if (uint16_t status = TrunkDetail::CheckMembers(model, r.entries[i].members); status != ssOk) return status;
        return TrunkDetail::CheckDisjoint(r.entries, groups);
    }
};
static_assert(TPropertyPortTrunk2::EntryFields.FixedSize(TMessage::Get) == 80);

// A rejected reply leaves the stored values whole and the record invalid
// (never half-updated and valid); an error status leaves it as it was.
class TSessionPortTrunkGet2 : public TSessionRecordGet<ccPortTrunkGet2, TPropertyPortTrunk2, 1> {
protected:
    uint16_t Decode(TDevice* device, TPropertyPortTrunk2& record, TPayloadReader& payload) override
    {
        uint16_t status = TSessionRecordGet::Decode(device, record, payload);
        if (status != ssOk) record.valid = false;
        return status;
    }
    uint16_t Check(TDevice* device, const TPropertyPortTrunk2& r) override
    {
        return TPropertyPortTrunk2::Check(ModelOf(device), r);
    }
    void Invalidate(TDevice*, TPropertyPortTrunk2&) override {}
};
class TSessionPortTrunkSet2 : public TSessionRecordArraySet<ccPortTrunkSet2, TSessionPortTrunkGet2, TPropertyPortTrunk2, 1> {};

} // namespace Intp
