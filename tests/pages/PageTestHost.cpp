#include "PageTestHost.h"

#include "intp/Device.h"

#include <algorithm>

int TFakePageHost::GetSelectedDevice(Intp::TDevice*& device)
{
    device = selection.empty() ? nullptr : selection.front();
    return int(selection.size());
}

int TFakePageHost::GetSelectedDevices(TDeviceList& devices)
{
    devices.insert(devices.end(), selection.begin(), selection.end());
    return int(selection.size());
}

bool TFakePageHost::AskCredentials(QString& u, QString& p)
{
    if (!credentialsOk)
        return false;
    u = user;
    p = password;
    return true;
}

bool TFakePageHost::IsSelectedDevice(const Intp::TDevice* device)
{
    return device && !selection.empty() && selection.front() == device;
}

bool TFakePageHost::IsAmongSelectedDevices(const Intp::TDevice* device)
{
    return device && std::find(selection.begin(), selection.end(), device) != selection.end();
}

void TFakeProtocolHost::CreateTimer(Intp::TSession* session, unsigned)
{
    timers.try_emplace(session, false);
}

void TFakeProtocolHost::DestroyTimer(Intp::TSession* session) { timers.erase(session); }

void TFakeProtocolHost::EnableTimer(Intp::TSession* session, bool enable)
{
    auto found = timers.find(session);
    if (found != timers.end())
        found->second = enable;
}

void TFakeProtocolHost::Send(uint32_t ip, const uint8_t* data, size_t size)
{
    if (size < Intp::HeaderSize)
        return;
    Intp::THeader header = Intp::THeader::Read(data);
    TSentFrame frame;
    frame.ip = ip;
    frame.code = header.code;
    frame.mac = header.mac;
    frame.payload.assign(data + Intp::HeaderSize, data + size);
    sent.push_back(std::move(frame));
}

void TFakeProtocolHost::Notify(Intp::TDevice* device, uint16_t code, uint16_t status, const void* context,
                               Intp::TWizard* wizard, const char*)
{
    notified.push_back({device, code, status});
    if (page)
        page->OnNotify(device, code, status);
    if (wizard)
        wizard->OnWizardEvent(device, code, status, context);
}

std::vector<TSentFrame> TFakeProtocolHost::SentWith(uint16_t code) const
{
    std::vector<TSentFrame> frames;
    for (const TSentFrame& frame : sent) {
        if (frame.code == code)
            frames.push_back(frame);
    }
    return frames;
}

void TFakeProtocolHost::Reply(Intp::TDevice* device, uint16_t code, uint16_t status,
                              const std::vector<uint8_t>& payload)
{
    ReplyFrom(device->GetIp(), device, code, status, payload);
}

void TFakeProtocolHost::ReplyFrom(uint32_t source, Intp::TDevice* device, uint16_t code, uint16_t status,
                                  const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> datagram(Intp::HeaderSize + payload.size());
    Intp::THeader header;
    header.code = code;
    header.status = status;
    header.length = uint16_t(payload.size());
    header.mac = device->GetMac();
    header.Write(datagram.data());
    std::copy(payload.begin(), payload.end(), datagram.begin() + Intp::HeaderSize);
    Intp::DispatchPacket(source, datagram.size(), datagram.data());
}

bool TFakeProtocolHost::TimeOut(Intp::TDevice* device, uint16_t code)
{
    for (auto& [session, running] : timers) {
        auto* general = dynamic_cast<Intp::TSessionGeneralBase*>(session);
        if (general && running && general->GetCode() == code && general->GetTarget() == device->GetMac()) {
            session->OnTimeout();
            return true;
        }
    }
    return false;
}

TPageTestEnvironment::TPageTestEnvironment()
{
    Intp::SetSessionCallback(&protocol);
    m_OldHook = SetMessageBoxHook([this](const TMessageBoxRequest& request) {
        messages.append(request.text);
        return EscapeAnswer(request.buttons);
    });
}

TPageTestEnvironment::~TPageTestEnvironment()
{
    protocol.page = nullptr;
    Intp::DeleteAllSessions();
    Intp::DeleteAllDevices();
    Intp::SetSessionCallback(nullptr);
    SetMessageBoxHook(m_OldHook);
}

Intp::TDevice* TPageTestEnvironment::AddDevice(uint8_t last, uint32_t ip, bool loggedIn)
{
    Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(0x00, 0x11, 0x22, 0x33, 0x44, last), true);
    device->SetIp(ip);
    device->SetLoggedIn(loggedIn);
    return device;
}
