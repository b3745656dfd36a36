#pragma once

// Fakes for page tests: a page host with a settable selection, and the
// fake protocol host of every test with its notifications routed like the
// main window's (page on show first, then the request's wizard).

#include "pages/kit/MessageBox.h"
#include "pages/kit/PageInterface.h"
#include "intp/Session.h"
#include "tests/common/FakeHost.h"
#include "tests/common/Ip.h"

#include <cstdint>
#include <string>
#include <vector>

// The page host of every page and shell test: a settable selection.
class TFakePageHost : public TModuleCallback {
public:
    TDeviceList selection;  // first = current device
    Intp::TDevice* Current() const { return selection.empty() ? nullptr : selection.front(); }
    bool credentialsOk = false;
    QString user, password;

    int GetSelectedDevice(Intp::TDevice*& device) override;
    int GetSelectedDevices(TDeviceList& devices) override;
    int GetCurrentDevice(Intp::TDevice*& device) override { return GetSelectedDevice(device); }
    int GetTargetDevices(TDeviceList& devices) override { return GetSelectedDevices(devices); }
    int GetAllDevices(TDeviceList& devices) override { return GetSelectedDevices(devices); }
    int GetListedDevices(TDeviceList& devices) override { return GetSelectedDevices(devices); }
    bool AskCredentials(QString& u, QString& p) override;
    bool IsSelectedDevice(const Intp::TDevice* device) override;
    bool IsAmongSelectedDevices(const Intp::TDevice* device) override;
    bool IsCurrentDevice(const Intp::TDevice* device) override { return IsSelectedDevice(device); }
    bool IsTargetDevice(const Intp::TDevice* device) override { return IsAmongSelectedDevices(device); }
    // Records the paths asked for; answers whether a page was found.
    bool SelectPage(const QString& path) override
    {
        selectedPages << path;
        return pageFound;
    }
    QStringList selectedPages;
    bool pageFound = false;
    Filter::TFilterServer* GetFilterServer() override { return nullptr; }
    Status::TStatusServer* GetStatusServer() override { return nullptr; }
    Syslog::TSyslogServer* GetSyslogServer() override { return nullptr; }
};

// Installs both fakes and a message-box hook that records the texts;
// removes every device and request afterwards.
class TPageTestEnvironment {
public:
    TPageTestEnvironment();
    ~TPageTestEnvironment();
    TPageTestEnvironment(const TPageTestEnvironment&) = delete;
    TPageTestEnvironment& operator=(const TPageTestEnvironment&) = delete;

    Intp::TDevice* AddDevice(uint8_t last, uint32_t ip, bool loggedIn = true);

    TFakePageHost host;
    IntpTest::TFakeHost protocol;
    TModule* page = nullptr;  // the page on show
    QStringList messages;

private:
    TMessageBoxHook m_OldHook;
};
