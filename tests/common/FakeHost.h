// The fake protocol host of every test: records every Send, Notify and
// device event, holds the reply timers and fires them by hand. Library
// tests use it alone; page tests route its notifications to the page on
// show (onNotify) before the request's wizard, as the main window does.
//
//     IntpTest::TFakeHost host;              // installs itself, clears on exit
//     uint32_t model = host.AddModel("M8", 8, 2);
//     Intp::TDevice* dev = host.MakeDevice(IntpTest::Mac(1), 0x0A000001, model);
//     auto* get = new Intp::TSessionIntpSipGet;
//     ASSERT_TRUE(get->Start(dev));
//     host.Reply(Intp::ccIntpSipGet, dev, {1, 1, 0, 5});
//     EXPECT_EQ(host.LastNotify().status, Intp::ssOk);
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Record.h"
#include "intp/Session.h"

namespace IntpTest {

inline Intp::TMacAddr Mac(uint32_t n)
{
    return Intp::TMacAddr(0x00, 0x1A, uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n));
}

// A sent datagram, whole and read: its header's code and MAC, its payload.
struct TSent {
    uint32_t ip = 0;
    std::vector<uint8_t> bytes;
    uint16_t code = 0;
    Intp::TMacAddr mac;
    std::vector<uint8_t> payload;
};

struct TNotified {
    Intp::TDevice* device;
    Intp::TMacAddr mac;
    uint16_t code;
    uint16_t status;
    const void* context;
    Intp::TWizard* wizard;
    std::string name;
};

enum class TDeviceEvent { Added, Removed, FlagsChanged, IpChanged, TypeChanged, NameChanged };

struct TDeviceEventRecord {
    TDeviceEvent event;
    Intp::TMacAddr mac;
    uint32_t changed;
};

struct TTimer {
    unsigned ms = 0;
    bool enabled = false;
    // The request as a general one (null: it is not), learnt once it runs:
    // its type is whole only after its constructor.
    bool known = false;
    Intp::TSessionGeneralBase* general = nullptr;
};

class TFakeHost : public Intp::TSessionCallback, public Intp::TDeviceCallback {
public:
    TFakeHost() {
        Intp::DeleteAllSessions();
        Intp::DeleteAllDevices();
        Intp::ResetDeviceTypes();
        Intp::InitDeviceTypes();
        Intp::SetSessionCallback(this);
        Intp::SetDeviceCallback(this);
    }
    ~TFakeHost() override {
        onNotify = nullptr;
        onDeviceRemoved = nullptr;
        onFlagsChanged = nullptr;
        Intp::DeleteAllSessions();
        Intp::DeleteAllDevices();
        Intp::ResetDeviceTypes();
        Intp::SetSessionCallback(nullptr);
        Intp::SetDeviceCallback(nullptr);
    }

    // TSessionCallback
    void CreateTimer(Intp::TSession* session, unsigned ms) override {
        if (timers.count(session)) return;
        timers[session].ms = ms ? ms : Intp::DefaultReplyMs;
        ++timersCreated;
    }
    void DestroyTimer(Intp::TSession* session) override { timers.erase(session); }
    void EnableTimer(Intp::TSession* session, bool enable) override {
        auto it = timers.find(session);
        if (it != timers.end()) it->second.enabled = enable;
        if (enable) ++timerRestarts;
    }
    void Send(uint32_t ip, const uint8_t* data, size_t size) override {
        if (sendThrows) throw std::runtime_error("send failed");
        TSent frame;
        frame.ip = ip;
        frame.bytes.assign(data, data + size);
        if (size >= Intp::HeaderSize) {
            Intp::THeader header = Intp::THeader::Read(data);
            frame.code = header.code;
            frame.mac = header.mac;
            frame.payload.assign(data + Intp::HeaderSize, data + size);
        }
        sent.push_back(std::move(frame));
    }
    void Notify(Intp::TDevice* device, uint16_t code, uint16_t status, const void* context, Intp::TWizard* wizard,
                const char* name) override {
        notified.push_back({device, device ? device->GetMac() : Intp::TMacAddr(), code, status, context, wizard,
                            name ? name : ""});
        if (onNotify) onNotify(notified.back());
        if (wizard) wizard->OnWizardEvent(device, code, status, context);
    }
    void SetTimerInterval(Intp::TSession* session, unsigned ms) override {
        auto it = timers.find(session);
        if (it != timers.end()) it->second.ms = ms ? ms : Intp::DefaultReplyMs;
    }

    // TDeviceCallback
    void DeviceAdded(Intp::TDevice* d) override { events.push_back({TDeviceEvent::Added, d->GetMac(), 0}); }
    void DeviceRemoved(Intp::TDevice* d) override {
        events.push_back({TDeviceEvent::Removed, d->GetMac(), 0});
        if (onDeviceRemoved) onDeviceRemoved(d);
    }
    void DeviceFlagsChanged(Intp::TDevice* d, uint32_t changed) override {
        events.push_back({TDeviceEvent::FlagsChanged, d->GetMac(), changed});
        if (onFlagsChanged) onFlagsChanged(d);
    }
    void DeviceIpChanged(Intp::TDevice* d) override { events.push_back({TDeviceEvent::IpChanged, d->GetMac(), 0}); }
    void DeviceTypeChanged(Intp::TDevice* d) override {
        events.push_back({TDeviceEvent::TypeChanged, d->GetMac(), 0});
    }
    void DeviceNameChanged(Intp::TDevice* d) override {
        events.push_back({TDeviceEvent::NameChanged, d->GetMac(), 0});
    }

    // Timers
    bool HasTimer(Intp::TSession* session) const { return timers.count(session) != 0; }
    bool TimerEnabled(Intp::TSession* session) const {
        auto it = timers.find(session);
        return it != timers.end() && it->second.enabled;
    }
    unsigned TimerMs(Intp::TSession* session) const {
        auto it = timers.find(session);
        return it == timers.end() ? 0 : it->second.ms;
    }
    // Fires the request's timer if it exists and runs; true when it fired.
    bool FireTimer(Intp::TSession* session) {
        if (!TimerEnabled(session)) return false;
        session->OnTimeout();
        return true;
    }
    // Fires the running timer of the first listed request with that code to
    // that device; false when there is none.
    bool TimeOut(Intp::TDevice* device, uint16_t code) {
        for (auto& [session, timer] : timers) {
            if (!timer.enabled)
                continue;
            if (!timer.known) {
                timer.known = true;
                timer.general = dynamic_cast<Intp::TSessionGeneralBase*>(session);
            }
            Intp::TSessionGeneralBase* general = timer.general;
            if (general && general->GetCode() == code && general->GetTarget() == device->GetMac()) {
                session->OnTimeout();
                return true;
            }
        }
        return false;
    }
    // Fires every running timer once (in no particular order).
    size_t FireAllTimers() {
        std::vector<Intp::TSession*> due;
        for (auto& [session, timer] : timers)
            if (timer.enabled) due.push_back(session);
        size_t fired = 0;
        for (Intp::TSession* session : due)
            if (FireTimer(session)) ++fired;
        return fired;
    }

    // Models and devices
    uint32_t AddModel(const std::string& name, uint32_t ports, uint32_t trunkGroups = 0, uint32_t trunkMembers = 0,
                      uint32_t smtpRecipients = 0, uint32_t secureIps = 0, uint32_t snmpCommunities = 0,
                      uint32_t tagVids = 0, std::initializer_list<std::string_view> pids = {}) {
        Intp::TDeviceType t;
        t.Name = name;
        t.PortNum = ports;
        t.TrunkGroupNum = trunkGroups;
        t.TrunkMemberNum = trunkMembers;
        t.SmtpRecipientNum = smtpRecipients;
        t.SecureIpNum = secureIps;
        t.SnmpCommunityNum = snmpCommunities;
        t.TagVidNum = tagVids;
        return uint32_t(Intp::RegisterDeviceType(&t, pids));
    }
    Intp::TDevice* MakeDevice(const Intp::TMacAddr& mac, uint32_t ip = 0x0A000001, uint32_t model = 0) {
        Intp::TDevice* d = Intp::FindDevice(mac, true);
        if (d) {
            d->SetIp(ip);
            d->SetType(model);
        }
        return d;
    }

    // Builds a frame of the given code, status and payload.
    static std::vector<uint8_t> Frame(uint16_t code, const Intp::TMacAddr& mac, uint16_t status,
                                      const std::vector<uint8_t>& payload) {
        std::vector<uint8_t> f(Intp::HeaderSize + payload.size());
        Intp::THeader h;
        h.code = code;
        h.status = status;
        h.length = uint16_t(payload.size());
        h.mac = mac;
        h.Write(f.data());
        std::copy(payload.begin(), payload.end(), f.begin() + Intp::HeaderSize);
        return f;
    }
    // Delivers a reply as if received from ip (default: the device's address).
    static void Reply(uint16_t code, const Intp::TMacAddr& mac, const std::vector<uint8_t>& payload,
                      uint16_t status = 0, uint32_t ip = 0x0A000001) {
        std::vector<uint8_t> f = Frame(code, mac, status, payload);
        Intp::DispatchPacket(ip, f.size(), f.data());
    }
    // A reply of four zero bytes when nothing more is asked for.
    static void Reply(uint16_t code, Intp::TDevice* device, const std::vector<uint8_t>& payload = {0, 0, 0, 0},
                      uint16_t status = 0) {
        Reply(code, device->GetMac(), payload, status, device->GetIp());
    }
    // Frames sent with one code.
    std::vector<TSent> SentWith(uint16_t code) const {
        std::vector<TSent> frames;
        for (const TSent& frame : sent)
            if (frame.code == code) frames.push_back(frame);
        return frames;
    }

    const TNotified& LastNotify() const {
        static const TNotified none{};
        return notified.empty() ? none : notified.back();
    }
    const TSent& LastSent() const {
        static const TSent none{};
        return sent.empty() ? none : sent.back();
    }
    size_t CountEvents(TDeviceEvent e) const {
        size_t n = 0;
        for (auto& r : events)
            if (r.event == e) ++n;
        return n;
    }
    void Clear() {
        sent.clear();
        notified.clear();
        events.clear();
    }

    std::vector<TSent> sent;
    std::vector<TNotified> notified;
    std::vector<TDeviceEventRecord> events;
    std::map<Intp::TSession*, TTimer> timers;
    size_t timersCreated = 0;
    size_t timerRestarts = 0;
    bool sendThrows = false;
    std::function<void(const TNotified&)> onNotify;
    std::function<void(Intp::TDevice*)> onDeviceRemoved;
    std::function<void(Intp::TDevice*)> onFlagsChanged;
};

// Big-endian helpers for building payloads.
inline void PutU16(std::vector<uint8_t>& v, uint16_t x)
{
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}
inline void PutU32(std::vector<uint8_t>& v, uint32_t x)
{
    v.push_back(uint8_t(x >> 24));
    v.push_back(uint8_t(x >> 16));
    v.push_back(uint8_t(x >> 8));
    v.push_back(uint8_t(x));
}
// Integers in host order, as a page packs a record for SetPayload(bytes).
template <class T> inline void PutHost(std::vector<uint8_t>& v, T x)
{
    size_t at = v.size();
    v.resize(at + sizeof x);
    std::memcpy(v.data() + at, &x, sizeof x);
}
// A fixed-width NUL-padded text field.
inline void PutText(std::vector<uint8_t>& v, const std::string& text, size_t width)
{
    for (size_t i = 0; i < width; ++i)
        v.push_back(i < text.size() ? uint8_t(text[i]) : 0);
}

// What a sent frame of request class T carries, typed.
template <class T> typename T::Payload Sent(const TSent& sent) { return Intp::DecodeFrame<T>(sent.bytes); }

// The entries a sent frame of an entry Set T carries, typed: those of a Set
// of entries, or the array of a Set of a record (as many as it sent).
template <class T> auto SentEntries(const TSent& sent)
{
    if constexpr (requires { T::EntryLayout; }) {
        const size_t prefix = T::Info.prefixSize;
        if (sent.payload.size() < prefix) return std::vector<typename T::Entry>{};
        return Intp::DecodeEntries<typename T::Entry>(T::EntryLayout, sent.payload.data() + prefix,
                                                      sent.payload.size() - prefix);
    } else {
        typename T::Payload record = Sent<T>(sent);
        auto entries = T::PayloadFields.Elements(record);
        entries.resize(T::PayloadFields.ArrayLength(record));
        return entries;
    }
}

} // namespace IntpTest
