#include "intp/Dhcp.h"

#include <cstring>

#include "intp/Device.h"

namespace Intp {

namespace {

template <class TIo, class R> void DhcpFields(TIo& io, R& r) {
    WireFields(io, r.enabled, r.startIp, r.endIp, r.subnetMask, r.gateway, r.dns, r.leaseTime);
}

} // namespace

uint16_t TSessionBasicsDhcpGet::Decode(TDevice*, TPropertyBasicsDhcp& record, TPayloadReader& payload) {
    DhcpFields(payload, record);
    return ssOk;
}

void TSessionBasicsDhcpSet::SetPayload(const void* data) {
    if (!data) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    uint32_t values[6];
    std::memcpy(values, bytes + 1, sizeof values);
    m_Record.enabled = bytes[0] != 0;
    m_Record.startIp = values[0];
    m_Record.endIp = values[1];
    m_Record.subnetMask = values[2];
    m_Record.gateway = values[3];
    m_Record.dns = values[4];
    m_Record.leaseTime = values[5];
}

bool TSessionBasicsDhcpSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    DhcpFields(payload, m_Record);
    return payload.Ok();
}

uint16_t TSessionBasicsDhcpEntry::DecodeEntry(TDevice*, TPropertyBasicsDhcpEntryEntry& entry, TPayloadReader& in) {
    entry.ip = in.U32();
    uint8_t mac[6];
    in.Bytes(mac, sizeof mac);
    entry.clientId = TMacAddr(mac);
    entry.type = in.U16();
    entry.status = in.U16();
    entry.lease = in.U32();
    if (entry.type > DhcpEntryMaxType || entry.status > DhcpEntryMaxStatus) return ssBadReply;
    return ssOk;
}

uint16_t TSessionBasicsDhcpPortIpGet::Decode(TDevice* device, TPropertyBasicsDhcpPortIp& record,
                                             TPayloadReader& payload) {
    size_t n = payload.Size() / 4;
    if (n == 0 || n != device->GetPortNum()) return ssBadReply;
    record.addresses.assign(n, 0);
    for (uint32_t& address : record.addresses) address = payload.U32();
    return ssOk;
}

bool TSessionBasicsDhcpPortIpSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    for (size_t i = 0; i + 4 <= m_Entries.size(); i += 4) {
        uint32_t address;
        std::memcpy(&address, m_Entries.data() + i, 4);
        payload.U32(address);
    }
    return payload.Ok();
}

} // namespace Intp
