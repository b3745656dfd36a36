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

TPageTestEnvironment::TPageTestEnvironment()
{
    protocol.onNotify = [this](const IntpTest::TNotified& n) {
        if (page)
            page->OnNotify(n.device, n.code, n.status);
    };
    m_OldHook = SetMessageBoxHook([this](const TMessageBoxRequest& request) {
        messages.append(request.text);
        return EscapeAnswer(request.buttons);
    });
}

TPageTestEnvironment::~TPageTestEnvironment()
{
    page = nullptr;
    SetMessageBoxHook(m_OldHook);
}

Intp::TDevice* TPageTestEnvironment::AddDevice(uint8_t last, uint32_t ip, bool loggedIn)
{
    Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(0x00, 0x11, 0x22, 0x33, 0x44, last), true);
    device->SetIp(ip);
    device->SetLoggedIn(loggedIn);
    return device;
}
