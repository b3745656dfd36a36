#include "intp/Maintenance.h"

#include <cstring>

#include "intp/Device.h"

namespace Intp {

int TSessionBasicsReboot::HandleResponse(TDevice* device, const THeader& header, TPayloadReader) {
    if (header.status == ssOk) {
        // A switch that reboots forgets its login.
        device->SetLoggedIn(false);
        device->SetIp(0);
    }
    Notify(device, GetCode(), header.status);
    return rrFinished;
}

void TSessionBasicsPassword::SetPayload(const void* data) {
    if (data) std::memcpy(m_Payload.data(), data, m_Payload.size());
    else m_Payload.fill(0);
}

void TSessionBasicsPassword::SetPayload(std::string_view user, std::string_view password) {
    TPayloadWriter out(m_Payload.data(), m_Payload.size());
    out.Text(user, FieldWidth);
    out.Text(password, FieldWidth);
}

bool TSessionBasicsPassword::BuildPayload(TDevice*, TPayloadWriter& payload) {
    payload.Bytes(m_Payload.data(), m_Payload.size());
    return payload.Ok();
}

bool TSessionBasicsDefault::BuildPayload(TDevice*, TPayloadWriter& payload) {
    payload.U32(m_KeepMask);
    return payload.Ok();
}

int TSessionBasicsDefault::HandleResponse(TDevice* device, const THeader& header, TPayloadReader) {
    if (header.status == ssOk && m_Reboot) StartNew<TSessionBasicsReboot>(device);
    Notify(device, GetCode(), header.status);
    return rrFinished;
}

} // namespace Intp
