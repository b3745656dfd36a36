// VLANs: the switch's VLAN mode, its port-based groups and its 802.1Q
// settings and membership table. Port masks: bit n is port index n, so a
// mask covers at most 32 ports.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "intp/Record.h"

namespace Intp {

// VLAN modes; a reply with a higher mode is refused.
enum TVlanMode : uint32_t { vmDisabled = 0, vmPortBased = 1, vm8021q = 2 };
// Link types of an 802.1Q port.
enum TVlanLinkType : uint32_t { vlAccess = 0, vl8021q = 1, vlHybrid = 2 };
inline constexpr uint32_t VlanMaxVid = 4094;
inline constexpr size_t VlanNameWidth = 16;

struct TPropertyVlan {
    static constexpr int32_t Key = PropertyKey(ccVlanGet);
    bool valid = false;
    uint32_t mode = vmDisabled;
    static constexpr auto Fields = Layout(Wire::U8(&TPropertyVlan::mode));
};

struct TPropertyVlan8021q {
    static constexpr int32_t Key = PropertyKey(ccVlan8021qGet);
    bool valid = false;
    bool gvrp = false;
    uint32_t managementVid = 0; // as received, 0 for none
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyVlan8021q::gvrp), Wire::U16(&TPropertyVlan8021q::managementVid));
};

// A port-based group.
struct TPropertyVlanPortEntry {
    uint32_t vid = 0; // 1 to 4094
    uint32_t ports = 0;
    std::string name; // 1 to 16 characters
};

struct TPropertyVlanPort {
    static constexpr int32_t Key = PropertyKey(ccVlanPortGet);
    bool valid = false;
    std::vector<TPropertyVlanPortEntry> entries; // in reply order
    static constexpr auto EntryFields =
        Layout(Wire::U16(&TPropertyVlanPortEntry::vid), Wire::U32(&TPropertyVlanPortEntry::ports),
               Wire::Text(&TPropertyVlanPortEntry::name, VlanNameWidth));
    // A group is deleted by its VLAN id alone.
    static constexpr auto KeyFields = Layout(Wire::U16(&TPropertyVlanPortEntry::vid));
    static constexpr size_t PageEntries = 32;

    // A VLAN id outside 1..4094 is ssBadReply, an empty name ssBadEntry. The
    // reply is checked; a page's Add or Edit goes as the page built it.
    static uint16_t CheckGroup(const TPropertyVlanPortEntry& entry)
    {
        if (entry.vid < 1 || entry.vid > VlanMaxVid) return ssBadReply;
        return entry.name.empty() ? ssBadEntry : ssOk;
    }
};

// One 802.1Q VLAN: the ports that carry it untagged and tagged.
struct TPropertyVlan8021qPortEntry {
    uint32_t vid = 0;
    uint32_t untaggedPorts = 0;
    uint32_t taggedPorts = 0;
};

struct TPropertyVlan8021qPort {
    static constexpr int32_t Key = PropertyKey(ccVlan8021qPortGet);
    bool valid = false;
    // The ports of link type hybrid; the table's entry with VLAN id 0 carries
    // them in its untagged mask.
    uint32_t hybridPorts = 0;
    std::vector<TPropertyVlan8021qPortEntry> entries; // in reply order, VLAN id 0 left out
    static constexpr auto EntryFields = Layout(Wire::U16(&TPropertyVlan8021qPortEntry::vid),
                                               Wire::U32(&TPropertyVlan8021qPortEntry::untaggedPorts),
                                               Wire::U32(&TPropertyVlan8021qPortEntry::taggedPorts));
    static constexpr size_t PageEntries = 128;
};

// The per-port words of the 802.1Q port Set: for each port (index << 8 |
// link type), the untagged VLAN id, its tagged VLAN ids, then 0.
inline constexpr auto VlanWordFields = Layout(Wire::U16());


// A mode above 802.1Q is refused with ssBadReply.
class TSessionVlanGet : public TSessionRecordGet<ccVlanGet, TPropertyVlan> {
protected:
    uint16_t Check(TDevice*, const TPropertyVlan& record) override
    {
        return record.mode > vm8021q ? ssBadReply : ssOk;
    }
};
class TSessionVlanSet : public TSessionRecordSet<ccVlanSet, TSessionVlanGet> {};

class TSessionVlan8021qGet : public TSessionRecordGet<ccVlan8021qGet, TPropertyVlan8021q> {};
class TSessionVlan8021qSet : public TSessionRecordSet<ccVlan8021qSet, TSessionVlan8021qGet> {};

// A bad entry rejects the whole table, earlier pages included.
class TSessionVlanPortGet : public TSessionTableGet<ccVlanPortGet, TPropertyVlanPort> {
protected:
    uint16_t CheckEntry(TDevice*, const TPropertyVlanPortEntry& entry) override
    {
        return TPropertyVlanPort::CheckGroup(entry);
    }
};
// Group changes tell their outcome as a change of the table, then read it again.
class TSessionVlanPortAdd : public TSessionEntrySet<ccVlanPortAdd, TSessionVlanPortGet, NotifyGetFirst> {};
class TSessionVlanPortEdit : public TSessionEntrySet<ccVlanPortEdit, TSessionVlanPortGet, NotifyGetFirst> {};
class TSessionVlanPortDel : public TSessionLayoutSet<ccVlanPortDel, TSessionVlanPortGet, TPropertyVlanPortEntry,
                                                     TPropertyVlanPort::KeyFields, NotifyGetFirst> {};

// The entry of VLAN 0 is no VLAN: its untagged mask holds the hybrid ports.
class TSessionVlan8021qPortGet : public TSessionTableGet<ccVlan8021qPortGet, TPropertyVlan8021qPort> {
protected:
    bool KeepEntry(TDevice*, TPropertyVlan8021qPort& record, const TPropertyVlan8021qPortEntry& entry) override
    {
        if (entry.vid != 0) return true;
        record.hybridPorts = entry.untaggedPorts;
        return false;
    }
};
// SetEntries(words, count): whole port records; a run whose last word is not
// 0 is not taken.
class TSessionVlan8021qPortSet
    : public TSessionEntriesSet<ccVlan8021qPortSet, TSessionVlan8021qPortGet, uint16_t, VlanWordFields> {
public:
    bool AcceptEntries(const uint8_t* words, int count) const override
    {
        uint16_t last;
        std::memcpy(&last, words + 2 * (count - 1), sizeof last);
        return last == 0;
    }
};

} // namespace Intp
