// Multicast filters: IPv4 multicast groups bound, per VLAN, to member ports.
// The table's pages carry an 8-byte prefix whose second word names the ports
// that may be members.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

struct TPropertySecurityMultiFilterEntry {
    uint32_t ports = 0; // bit n: port n + 1
    uint32_t group = 0; // IPv4 group address, host order
    uint32_t vid = 0;
};

struct TPropertySecurityMultiFilter {
    static constexpr int32_t Key = PropertyKey(ccSecurityMultiFilterGet);
    bool valid = false;
    // The ports that may be members, bit n for port n + 1; 0: every port of
    // the model. Kept from the last page read.
    uint32_t availablePorts = 0;
    std::vector<TPropertySecurityMultiFilterEntry> entries; // in reply order

    using E = TPropertySecurityMultiFilterEntry;
    static constexpr auto EntryFields = Layout(Wire::U32(&E::ports), Wire::Ip(&E::group), Wire::U16(&E::vid));
    static constexpr size_t PageEntries = 128;
    static constexpr size_t PrefixSize = 8;
};

class TSessionSecurityMultiFilterGet
    : public TSessionTableGet<ccSecurityMultiFilterGet, TPropertySecurityMultiFilter> {
protected:
    uint16_t DecodePrefix(TDevice*, TPropertySecurityMultiFilter& record, TPayloadReader& prefix) override
    {
        prefix.Skip(4);
        record.availablePorts = prefix.U32();
        return ssOk;
    }
    // A new read or a failed one keeps the ports until a page names them again.
    void Invalidate(TDevice*, TPropertySecurityMultiFilter& record) override
    {
        const uint32_t ports = record.availablePorts;
        record = TPropertySecurityMultiFilter{};
        record.availablePorts = ports;
    }
};

// SetPayload(entry): the group address in host order like every other field;
// all three go big-endian on the wire.
class TSessionSecurityMultiFilterAdd
    : public TSessionEntrySet<ccSecurityMultiFilterAdd, TSessionSecurityMultiFilterGet> {};
class TSessionSecurityMultiFilterDel
    : public TSessionEntrySet<ccSecurityMultiFilterDel, TSessionSecurityMultiFilterGet> {};

} // namespace Intp
