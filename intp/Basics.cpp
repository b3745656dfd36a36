#include "intp/Basics.h"

#include <cstring>

#include "intp/Device.h"

namespace Intp {

uint16_t TSessionBasicsSettingsGet::Decode(TDevice* device, TPropertyBasicsSettings& record,
                                           TPayloadReader& payload) {
    record.KernelVersion = payload.U16();
    record.FirmwareVersion = payload.U16();
    record.HardwareVersion = payload.U32();
    bool loggedIn = payload.Bool();
    std::string name = payload.Text(BasicsTextWidth);
    record.Description = payload.Text(BasicsTextWidth);
    record.Location = payload.Text(BasicsTextWidth);
    record.Contact = payload.Text(BasicsTextWidth);
    record.ObjectId = payload.Text(BasicsTextWidth);
    // Valid before the device callbacks run, so the host sees the new record.
    record.valid = true;
    device->SetName(name);
    device->SetLoggedIn(loggedIn);
    return ssOk;
}

void TSessionBasicsSettingsSet::SetPayload(const void* data) {
    if (data) std::memcpy(m_Payload.data(), data, m_Payload.size());
    else m_Payload.fill(0);
}

void TSessionBasicsSettingsSet::SetPayload(std::string_view name, std::string_view description,
                                           std::string_view location, std::string_view contact) {
    TPayloadWriter out(m_Payload.data(), m_Payload.size());
    out.Text(name, BasicsTextWidth);
    out.Text(description, BasicsTextWidth);
    out.Text(location, BasicsTextWidth);
    out.Text(contact, BasicsTextWidth);
}

bool TSessionBasicsSettingsSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    payload.Bytes(m_Payload.data(), m_Payload.size());
    return payload.Ok();
}

uint16_t TSessionBasicsIPConfGet::Decode(TDevice*, TPropertyBasicsIPConf& record, TPayloadReader& payload) {
    record.Dhcp = payload.Bool();
    payload.Skip(4); // the address: a device's address is where its datagrams come from
    record.Netmask = payload.U32();
    record.Gateway = payload.U32();
    record.Dns1 = payload.U32();
    record.Dns2 = payload.U32();
    return ssOk;
}

uint32_t TSessionBasicsIPConfSet::GetDestination(TDevice*) const {
    return 0xFFFFFFFFu;
}

bool TSessionBasicsIPConfSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    payload.Bytes(m_Payload.Digest.data(), m_Payload.Digest.size());
    payload.Bool(m_Payload.Dhcp);
    payload.U32(m_Payload.Ip);
    payload.U32(m_Payload.Netmask);
    payload.U32(m_Payload.Gateway);
    payload.U32(m_Payload.Dns1);
    payload.U32(m_Payload.Dns2);
    return payload.Ok();
}

namespace {

// The layouts that each Get reads and its Set writes.
template <class TIo, class R> void SntpFields(TIo& io, R& r, bool withClock) {
    WireFields(io, r.Enabled, r.TimeZone, r.Server);
    if (withClock) Wire(io, r.CurrentTime);
    WireFields(io, r.Daylight, r.DaylightBegin, r.DaylightEnd, r.DaylightOffset);
}

template <class TIo, class R> void AutoProvisionFields(TIo& io, R& r) {
    WireFields(io, r.Config, r.ConfigIp);
    Wire(io, r.ConfigFile, BasicsTextWidth);
    WireFields(io, r.Firmware, r.FirmwareIp);
    Wire(io, r.FirmwareFile, BasicsTextWidth);
}

} // namespace

uint16_t TSessionBasicsSntpGet::Decode(TDevice*, TPropertyBasicsSntp& record, TPayloadReader& payload) {
    SntpFields(payload, record, true);
    return ssOk;
}

bool TSessionBasicsSntpSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    SntpFields(payload, m_Record, false);
    return payload.Ok();
}

uint16_t TSessionBasicsAutoProvisionGet::Decode(TDevice*, TPropertyBasicsAutoProvision& record,
                                                TPayloadReader& payload) {
    AutoProvisionFields(payload, record);
    return ssOk;
}

bool TSessionBasicsAutoProvisionSet::BuildPayload(TDevice*, TPayloadWriter& payload) {
    AutoProvisionFields(payload, m_Record);
    return payload.Ok();
}

} // namespace Intp
