// IGMP snooping, both generations: snooping on or off, the query mode (and,
// second generation, the last-member query interval and count), and the
// table of learnt multicast groups. Port masks: bit n is port index n.
#pragma once

#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

inline constexpr uint32_t IgmpQueryModeCount = 3; // disable, enable, auto

struct TPropertyIgmp {
    static constexpr int32_t Key = PropertyKey(ccIgmpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t queryMode = 0;
    static constexpr auto Fields = Layout(Wire::Flag(&TPropertyIgmp::enabled), Wire::U8(&TPropertyIgmp::queryMode));
};

struct TPropertyIgmp2 {
    static constexpr int32_t Key = PropertyKey(ccIgmp2Get);
    bool valid = false;
    bool enabled = false;
    uint32_t queryMode = 0;
    uint32_t lastMemberQueryInterval = 0; // tenths of a second, 0..255
    uint32_t lastMemberQueryCount = 0;
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyIgmp2::enabled), Wire::U8(&TPropertyIgmp2::queryMode),
               Wire::U8(&TPropertyIgmp2::lastMemberQueryInterval), Wire::U8(&TPropertyIgmp2::lastMemberQueryCount));
};

// A learnt group.
struct TPropertyIgmpTableEntry {
    uint32_t ports = 0;   // member ports
    uint32_t groupIp = 0; // host order
    uint32_t vid = 0;
};
using TPropertyIgmp2TableEntry = TPropertyIgmpTableEntry;

inline constexpr auto IgmpEntryFields =
    Layout(Wire::U32(&TPropertyIgmpTableEntry::ports), Wire::Ip(&TPropertyIgmpTableEntry::groupIp),
           Wire::U16(&TPropertyIgmpTableEntry::vid));

struct TPropertyIgmpTable {
    static constexpr int32_t Key = PropertyKey(ccIgmpTable);
    bool valid = false;
    std::vector<TPropertyIgmpTableEntry> entries; // in reply order
    static constexpr auto& EntryFields = IgmpEntryFields;
    static constexpr size_t PageEntries = 64;
};

struct TPropertyIgmp2Table {
    static constexpr int32_t Key = PropertyKey(ccIgmp2Table);
    bool valid = false;
    std::vector<TPropertyIgmp2TableEntry> entries; // in reply order
    static constexpr auto& EntryFields = IgmpEntryFields;
    static constexpr size_t PageEntries = 64;
};

// A query mode of 3 or more rejects with ssBadReply; the snooping flag (and
// the second generation's interval and count) are stored all the same, the
// query mode keeps its earlier value.
template <uint16_t Code, class R>
class TSessionIgmpGetBase : public TSessionRecordGet<Code, R> {
protected:
    uint16_t Decode(TDevice* device, R& record, TPayloadReader& payload) override
    {
        R read = record;
        if (uint16_t status = DecodeReply(device, R::Fields, read, payload)) return status;
        if (read.queryMode < IgmpQueryModeCount) {
            record = read;
            return ssOk;
        }
        read.queryMode = record.queryMode;
        record = read;
        return ssBadReply;
    }
};

class TSessionIgmpGet : public TSessionIgmpGetBase<ccIgmpGet, TPropertyIgmp> {};
class TSessionIgmpSet : public TSessionRecordSet<ccIgmpSet, TSessionIgmpGet> {};
class TSessionIgmpTable : public TSessionTableGet<ccIgmpTable, TPropertyIgmpTable> {};

class TSessionIgmp2Get : public TSessionIgmpGetBase<ccIgmp2Get, TPropertyIgmp2> {};
class TSessionIgmp2Set : public TSessionRecordSet<ccIgmp2Set, TSessionIgmp2Get> {};
class TSessionIgmp2Table : public TSessionTableGet<ccIgmp2Table, TPropertyIgmp2Table> {};

} // namespace Intp
