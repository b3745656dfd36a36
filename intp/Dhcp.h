// The switch's own DHCP server: its settings, the table of its clients and
// the fixed address it hands out on each port.
#pragma once

#include <cstdint>
#include <vector>

#include "intp/Record.h"

namespace Intp {

struct TPropertyBasicsDhcp {
    static constexpr int32_t Key = PropertyKey(ccBasicsDhcpGet);
    bool valid = false;
    bool enabled = false;
    uint32_t startIp = 0; // host order, as the addresses below
    uint32_t endIp = 0;
    uint32_t subnetMask = 0;
    uint32_t gateway = 0;
    uint32_t dns = 0;
    uint32_t leaseTime = 0; // seconds
    static constexpr auto Fields =
        Layout(Wire::Flag(&TPropertyBasicsDhcp::enabled), Wire::Ip(&TPropertyBasicsDhcp::startIp),
               Wire::Ip(&TPropertyBasicsDhcp::endIp), Wire::Ip(&TPropertyBasicsDhcp::subnetMask),
               Wire::Ip(&TPropertyBasicsDhcp::gateway), Wire::Ip(&TPropertyBasicsDhcp::dns),
               Wire::U32(&TPropertyBasicsDhcp::leaseTime));
};

// Highest values the client table knows.
inline constexpr uint32_t DhcpEntryMaxType = 4;
inline constexpr uint32_t DhcpEntryMaxStatus = 3;

struct TPropertyBasicsDhcpEntryEntry {
    uint32_t ip = 0;
    TMacAddr clientId;
    uint32_t type = 0;   // 0 to 4
    uint32_t status = 0; // 0 to 3
    uint32_t lease = 0;
};

struct TPropertyBasicsDhcpEntry {
    static constexpr int32_t Key = PropertyKey(ccBasicsDhcpEntry);
    bool valid = false;
    std::vector<TPropertyBasicsDhcpEntryEntry> entries;
    static constexpr auto EntryFields =
        Layout(Wire::Ip(&TPropertyBasicsDhcpEntryEntry::ip), Wire::Mac(&TPropertyBasicsDhcpEntryEntry::clientId),
               Wire::U16(&TPropertyBasicsDhcpEntryEntry::type), Wire::U16(&TPropertyBasicsDhcpEntryEntry::status),
               Wire::U32(&TPropertyBasicsDhcpEntryEntry::lease));
    static constexpr size_t PageEntries = 32;
};

struct TPropertyBasicsDhcpPortIp {
    static constexpr int32_t Key = PropertyKey(ccBasicsDhcpPortIpGet);
    bool valid = false;
    std::vector<uint32_t> addresses; // one per port, host order
    static constexpr auto Fields =
        Layout(Wire::Array(&TPropertyBasicsDhcpPortIp::addresses, Wire::U32(), TCountKind::ckPortNum));
    static constexpr auto EntryFields = Layout(Wire::U32());
};

class TSessionBasicsDhcpGet : public TSessionRecordGet<ccBasicsDhcpGet, TPropertyBasicsDhcp> {};
// SetPayload: the 25 bytes as a page packs them in host order (the on/off
// byte, then start, end, mask, gateway, DNS and lease time), or the record.
class TSessionBasicsDhcpSet : public TSessionRecordSet<ccBasicsDhcpSet, TSessionBasicsDhcpGet> {};

// A type or status out of range rejects the table with ssBadReply.
class TSessionBasicsDhcpEntry : public TSessionTableGet<ccBasicsDhcpEntry, TPropertyBasicsDhcpEntry> {
protected:
    uint16_t CheckEntry(TDevice*, const TPropertyBasicsDhcpEntryEntry& entry) override
    {
        return entry.type > DhcpEntryMaxType || entry.status > DhcpEntryMaxStatus ? ssBadReply : ssOk;
    }
};

// One address per port of the model, else ssBadReply (the stored addresses stay).
class TSessionBasicsDhcpPortIpGet : public TSessionRecordGet<ccBasicsDhcpPortIpGet, TPropertyBasicsDhcpPortIp> {};

// SetEntries(addresses in host order, count) or SetEntries(addresses); sent
// only with one address per port of the target's model.
class TSessionBasicsDhcpPortIpSet
    : public TSessionEntriesSet<ccBasicsDhcpPortIpSet, TSessionBasicsDhcpPortIpGet, uint32_t,
                                TPropertyBasicsDhcpPortIp::EntryFields> {};

} // namespace Intp
