#pragma once

// Fakes for page tests: a page host with a settable selection, and a
// protocol host that records the frames sent, routes notifications like the
// main window (page on show first, then the request's wizard) and fires
// reply timers on demand.

#include "pages/kit/MessageBox.h"
#include "pages/kit/Module.h"
#include "intp/Session.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// An IPv4 address in host order.
constexpr uint32_t Ip(unsigned a, unsigned b, unsigned c, unsigned d) { return a << 24 | b << 16 | c << 8 | d; }

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

struct TSentFrame {
    uint32_t ip = 0;
    uint16_t code = 0;
    Intp::TMacAddr mac;
    std::vector<uint8_t> payload;
};

struct TNotification {
    Intp::TDevice* device = nullptr;
    uint16_t code = 0;
    uint16_t status = 0;
};

class TFakeProtocolHost : public Intp::TSessionCallback {
public:
    TModule* page = nullptr;  // the page on show
    std::vector<TSentFrame> sent;
    std::vector<TNotification> notified;
    std::map<Intp::TSession*, bool> timers;  // request -> running

    void CreateTimer(Intp::TSession* session, unsigned ms) override;
    void DestroyTimer(Intp::TSession* session) override;
    void EnableTimer(Intp::TSession* session, bool enable) override;
    void Send(uint32_t ip, const uint8_t* data, size_t size) override;
    void Notify(Intp::TDevice* device, uint16_t code, uint16_t status, const void* context,
                Intp::TWizard* wizard, const char* name) override;
    void SetTimerInterval(Intp::TSession*, unsigned) override {}

    // Frames sent with one code.
    std::vector<TSentFrame> SentWith(uint16_t code) const;
    // A reply from the device with that code, status and payload.
    static void Reply(Intp::TDevice* device, uint16_t code, uint16_t status,
                      const std::vector<uint8_t>& payload = std::vector<uint8_t>(4, 0));
    // The same from a given source address.
    static void ReplyFrom(uint32_t source, Intp::TDevice* device, uint16_t code, uint16_t status,
                          const std::vector<uint8_t>& payload);
    // Fires the reply timer of the first listed request with that code to
    // that device; false when there is none.
    bool TimeOut(Intp::TDevice* device, uint16_t code);
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
    TFakeProtocolHost protocol;
    QStringList messages;

private:
    TMessageBoxHook m_OldHook;
};
