#include "intp/SystemSettings.h"

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

uint32_t TSessionBasicsIPConfSet::GetDestination(TDevice*) const {
    return 0xFFFFFFFFu;
}

} // namespace Intp
