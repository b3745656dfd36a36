#include "intp/Operations.h"

#include <algorithm>

#include "intp/DeviceType.h"

namespace Intp {

TMd5Digest MakeLoginDigest(std::string_view user, std::string_view password)
{
    uint8_t block[32] = {};
    std::copy_n(user.data(), std::min<size_t>(user.size(), 16), block);
    std::copy_n(password.data(), std::min<size_t>(password.size(), 16), block + 16);
    return Md5(block, sizeof block);
}

// Find

TSessionIntpFind* TSessionIntpFind::GetInstance()
{
    static TSessionIntpFind instance;
    return &instance;
}

bool TSessionIntpFind::SendFind(TWizard* wizard, uint32_t ip, uint32_t mask)
{
    TSessionIntpFind* self = GetInstance();
    uint8_t frame[HeaderSize + 4] = {};
    THeader header;
    header.code = ccIntpFind;
    header.length = 4;
    header.Write(frame);
    bool sent = self->SendFrame(ip, frame, sizeof frame);
    self->m_Wizard = wizard;
    self->m_Asked[mask].networks.push_back(ip & mask);
    return sent;
}

void TSessionIntpFind::ForgetWizard(const TWizard* wizard)
{
    TSessionIntpFind* self = GetInstance();
    if (self->m_Wizard == wizard) self->m_Wizard = nullptr;
}

void TSessionIntpFind::ForgetFinds() { GetInstance()->m_Asked.clear(); }

bool TSessionIntpFind::IsRequested(uint32_t source)
{
    for (auto& [mask, asked] : GetInstance()->m_Asked) {
        std::vector<uint32_t>& networks = asked.networks;
        if (asked.sorted != networks.size()) {
            std::sort(networks.begin(), networks.end());
            networks.erase(std::unique(networks.begin(), networks.end()), networks.end());
            asked.sorted = networks.size();
        }
        if (std::binary_search(networks.begin(), networks.end(), source & mask)) return true;
    }
    return false;
}

int TSessionIntpFind::OnReceive(TDevice* device, const THeader& header, TPayloadReader payload)
{
    if (payload.Size() < GetCommandInfo(ccIntpFind).minReply) {
        Notify(device, ccIntpFind, ssShortReply);
        return rrFinished;
    }
    if (header.status != ssOk) {
        Notify(device, ccIntpFind, header.status);
        return rrFinished;
    }
    const uint32_t pid = payload.U32At(0);
    const uint32_t type = FindTypeByPid(pid);
    // A known switch keeps its model, and with it its place in the tree and
    // the images it is sent, against a stray, spoofed or unknown reply; a
    // reply that may not change it changes nothing.
    if (device->GetType() != 0 && type != device->GetType() &&
        (type == 0 || header.source != device->GetIp() || !IsRequested(header.source))) {
        Notify(device, ccIntpFind, ssBadValue);
        return rrFinished;
    }
    device->SetType(type);
    // The change callbacks run first; look the device up again after them.
    if ((device = FindDevice(header.mac, false)) != nullptr) device->SetIp(header.source);
    // The context is the product id the switch announced.
    if ((device = FindDevice(header.mac, false)) != nullptr) Notify(device, ccIntpFind, ssOk, &pid);
    return rrFinished;
}

// Login

void TSessionIntpLogin::SetPayload(const uint8_t digest[16])
{
    std::copy_n(digest, m_Digest.size(), m_Digest.begin());
}

bool TSessionIntpLogin::IsLogout() const
{
    return std::all_of(m_Digest.begin(), m_Digest.end(), [](uint8_t b) { return b == 0; });
}

int TSessionIntpLogin::OnReceive(TDevice* device, const THeader& header, TPayloadReader payload)
{
    // Whatever a switch answers to a logout, the console is logged out.
    if (header.code == GetCode() && !m_Target.IsNull() && device->GetMac() == m_Target && IsLogout())
        device->SetLoggedIn(false);
    return TSessionGeneral::OnReceive(device, header, payload);
}

bool TSessionIntpLogin::BuildPayload(TDevice*, TPayloadWriter& payload)
{
    payload.Bytes(m_Digest.data(), m_Digest.size());
    return true;
}

int TSessionIntpLogin::HandleResponse(TDevice* device, const THeader& header, TPayloadReader)
{
    device->SetLoggedIn(header.status == ssOk && !IsLogout());
    Notify(device, GetCode(), header.status);
    return rrFinished;
}

// Ping

void TSessionIntpPing2::StartTimer()
{
    CreateTimer(m_Interval);
    EnableTimer(true);
}

// IntpSip

uint16_t TSessionIntpSipGet::Decode(TDevice* device, TPropertyIntpSip& record, TPayloadReader& payload)
{
    record.enabled = payload.Bool();
    bool warning = payload.Bool();
    record.value = payload.U16();
    // Valid before the flag changes: the host's flags handler reads the record.
    record.valid = true;
    if (warning) device->SetFlags(dfWarning);
    else device->ClearFlags(dfWarning);
    return ssOk;
}

} // namespace Intp
