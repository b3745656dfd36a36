// The switch's own DHCP server: its settings, the table of its clients and
// the fixed address it hands out on each port.
#pragma once

#include <cstdint>
#include <vector>

#include "intp/Session.h"

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
};

struct TPropertyBasicsDhcpPortIp {
    static constexpr int32_t Key = PropertyKey(ccBasicsDhcpPortIpGet);
    bool valid = false;
    std::vector<uint32_t> addresses; // one per port, host order
};

class TSessionBasicsDhcpGet : public TSessionGet<ccBasicsDhcpGet, TPropertyBasicsDhcp> {
protected:
    uint16_t Decode(TDevice* device, TPropertyBasicsDhcp& record, TPayloadReader& payload) override;
};

class TSessionBasicsDhcpSet : public TSessionRecordSet<ccBasicsDhcpSet, TSessionBasicsDhcpGet> {
public:
    static constexpr size_t PayloadSize = 25;
    using TSessionRecordSet::SetPayload;
    // The 25 bytes as a page packs them in host order: the on/off byte, then
    // start, end, mask, gateway, DNS and lease time.
    void SetPayload(const void* data);

protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
};

// Paged: 32 entries of 18 bytes per full page after a 4-byte prefix.
class TSessionBasicsDhcpEntry : public TSessionPagedGet<ccBasicsDhcpEntry, TPropertyBasicsDhcpEntry> {
public:
    TSessionBasicsDhcpEntry() : TSessionPagedGet(18, 32) {}

protected:
    uint16_t DecodeEntry(TDevice* device, TPropertyBasicsDhcpEntryEntry& entry, TPayloadReader& in) override;
};

// One address per port of the model, else ssBadReply (the stored addresses stay).
class TSessionBasicsDhcpPortIpGet : public TSessionGet<ccBasicsDhcpPortIpGet, TPropertyBasicsDhcpPortIp> {
protected:
    uint16_t Decode(TDevice* device, TPropertyBasicsDhcpPortIp& record, TPayloadReader& payload) override;
};

// SetEntries(addresses in host order, count); sent only with one address
// per port of the target's model.
class TSessionBasicsDhcpPortIpSet : public TSessionVariableSet<ccBasicsDhcpPortIpSet, TSessionBasicsDhcpPortIpGet> {
protected:
    bool BuildPayload(TDevice* device, TPayloadWriter& payload) override;
};

} // namespace Intp
