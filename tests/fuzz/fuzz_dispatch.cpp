// The packet dispatcher with every decoder, on arbitrary datagrams.
//
// Input: byte 0 chooses the source address; then records of
//   op (1 byte), length (2 bytes, big-endian), bytes
// op % 4: 0 dispatch the bytes as one datagram, 1 fire the timer of the
// byte-chosen outstanding request, 2 clear the registry (a new discovery),
// 3 toggle a host whose Send throws; op / 4 % 4: 1 the next notification's
// handler clears the registry, 2 it deletes every request.
// Every input starts from the same state: three devices of known models and
// one outstanding request of every built class on them; requests that end
// are re-created after each datagram.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <set>
#include <vector>

#include "intp/CommandTable.h"
#include "intp/DeviceType.h"
#include "intp/Operations.h"
#include "intp/Session.h"

using namespace Intp;

namespace {

class TFuzzHost : public TSessionCallback, public TDeviceCallback {
public:
    void CreateTimer(TSession* s, unsigned) override { timers.insert(s); }
    void DestroyTimer(TSession* s) override { timers.erase(s); }
    void EnableTimer(TSession*, bool) override {}
    void Send(uint32_t, const uint8_t* data, size_t size) override {
        if (sendThrows) throw 1;
        if (size < HeaderSize || !data) std::abort();
    }
    void Notify(TDevice* device, uint16_t, uint16_t, const void*, TWizard*, const char* name) override {
        // A notified device must still be registered. Block progress
        // notifications carry no name; the others name their request.
        bool found = false;
        for (TDevice* d : GetDevices()) found |= d == device;
        if (!found) std::abort();
        if (name && !*name) std::abort();
        ++notified;
        // A handler that runs a discovery or drops every request.
        int action = pendingAction;
        pendingAction = 0;
        if (action == 1) DeleteAllDevices();
        if (action == 2) DeleteAllSessions();
    }
    void SetTimerInterval(TSession*, unsigned) override {}

    void DeviceAdded(TDevice*) override {}
    void DeviceRemoved(TDevice*) override {}
    void DeviceFlagsChanged(TDevice*, uint32_t changed) override {
        if (!changed) std::abort();
    }
    void DeviceIpChanged(TDevice*) override {}
    void DeviceTypeChanged(TDevice*) override {}
    void DeviceNameChanged(TDevice*) override {}

    std::set<TSession*> timers;
    bool sendThrows = false;
    int pendingAction = 0;
    size_t notified = 0;
};

// A paged table and its Set, so paging is exercised whatever families exist.
struct TFuzzTableEntry {
    uint32_t id = 0;
};
struct TFuzzTable {
    static constexpr int32_t Key = PropertyKey(ccSecurityAclGet) | 1;
    bool valid = false;
    std::vector<TFuzzTableEntry> entries;
};

class TFuzzTableGet : public TSessionPagedGet<ccSecurityAclGet, TFuzzTable> {
public:
    TFuzzTableGet() : TSessionPagedGet(28, 32) {}

protected:
    uint16_t DecodeEntry(TDevice*, TFuzzTableEntry& entry, TPayloadReader& in) override {
        entry.id = in.U32();
        if (in.Size() != 28) std::abort();
        return entry.id == 0 ? ssBadEntry : ssOk;
    }
};

class TFuzzTableAdd : public TSessionSet<ccSecurityAclAdd, TFuzzTableGet> {};

const TMacAddr g_Macs[] = {
    TMacAddr(0x00, 0x1A, 0, 0, 0, 1),
    TMacAddr(0x00, 0x1A, 0, 0, 0, 2),
    TMacAddr(0x00, 0x1A, 0, 0, 0, 3),
};

struct TSlot {
    int row;  // command table row, or -1.. for the extra kinds
    int kind; // 0 table row, 1 paged, 2 set, 3 login, 4 logout, 5 ping
    size_t device;
    TSession* session = nullptr;
};

TFuzzHost& Host()
{
    static TFuzzHost* host = [] {
        auto* h = new TFuzzHost;
        SetSessionCallback(h);
        SetDeviceCallback(h);
        ResetDeviceTypes();
        InitDeviceTypes();
        TDeviceType a;
        a.Name = "Eight";
        a.PortNum = 8;
        a.TrunkGroupNum = 3;
        a.TrunkMemberNum = 4;
        a.SmtpRecipientNum = 2;
        a.SecureIpNum = 10;
        a.SnmpCommunityNum = 4;
        a.TagVidNum = 16;
        RegisterDeviceType(&a, {"EIGHT"});
        TDeviceType b = a;
        b.Name = "TwentySix";
        b.PortNum = 26;
        b.TrunkGroupNum = 8;
        RegisterDeviceType(&b, {"TWENTYSIX"});
        return h;
    }();
    return *host;
}

TSession* Create(const TSlot& slot)
{
    switch (slot.kind) {
    case 0: {
        const TCommandInfo& info = g_CommandTable[size_t(slot.row)];
        return CreateSession(info.code, info.requestClass);
    }
    case 1: return new TFuzzTableGet;
    case 2: return new TFuzzTableAdd;
    case 3: {
        auto* login = new TSessionIntpLogin;
        login->SetPayload(MakeLoginDigest("admin", "admin"));
        return login;
    }
    case 4: return new TSessionIntpLogin;
    default: return new TSessionIntpPing2(1000);
    }
}

void Refill(std::vector<TSlot>& slots)
{
    TFuzzHost& host = Host();
    for (TSlot& slot : slots) {
        if (slot.session && host.timers.count(slot.session)) continue;
        slot.session = nullptr;
        TDevice* device = FindDevice(g_Macs[slot.device], false);
        if (!device) continue;
        TSession* s = Create(slot);
        if (!s) continue;
        if (s->Start(device)) slot.session = s;
        else delete s;
    }
}

void MakeDevices()
{
    for (size_t i = 0; i < 3; ++i) {
        TDevice* d = FindDevice(g_Macs[i], true);
        d->SetIp(0x0A000001u + uint32_t(i));
        d->SetType(uint32_t(i)); // models 0, 1 and 2
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TFuzzHost& host = Host();
    host.sendThrows = false;
    host.pendingAction = 0;
    DeleteAllSessions();
    DeleteAllDevices();
    if (!host.timers.empty()) std::abort();
    MakeDevices();

    static const std::vector<int> builtRows = [] {
        std::vector<int> rows;
        for (size_t row = 0; row < CommandTableSize; ++row) {
            const TCommandInfo& info = g_CommandTable[row];
            if (TSession* s = CreateSession(info.code, info.requestClass)) {
                rows.push_back(int(row));
                delete s;
            }
        }
        return rows;
    }();
    std::vector<TSlot> slots;
    for (size_t device = 0; device < 3; ++device) {
        for (int row : builtRows) slots.push_back({row, 0, device});
        for (int kind = 1; kind <= 5; ++kind) slots.push_back({-1, kind, device});
    }
    Refill(slots);

    if (size == 0) {
        DeleteAllSessions();
        DeleteAllDevices();
        return 0;
    }
    uint32_t source = 0x0A000000u | data[0];
    size_t pos = 1;
    while (pos + 3 <= size) {
        uint8_t op = data[pos];
        size_t length = size_t(data[pos + 1]) << 8 | data[pos + 2];
        pos += 3;
        if (length > size - pos) length = size - pos;
        // An exactly sized copy, so any read past the datagram is caught.
        std::vector<uint8_t> datagram(data + pos, data + pos + length);
        pos += length;
        host.pendingAction = op / 4 % 4;
        switch (op % 4) {
        case 0:
            DispatchPacket(source, datagram.size(), datagram.empty() ? nullptr : datagram.data());
            break;
        case 1:
            if (!host.timers.empty()) {
                auto it = host.timers.begin();
                std::advance(it, (length ? datagram[0] : op) % host.timers.size());
                (*it)->OnTimeout();
            }
            break;
        case 2:
            DeleteAllDevices();
            MakeDevices();
            break;
        default:
            host.sendThrows = !host.sendThrows;
            break;
        }
        if (GetSessionCount() != host.timers.size()) std::abort();
        Refill(slots);
    }
    host.sendThrows = false;
    host.pendingAction = 0;
    DeleteAllSessions();
    if (!host.timers.empty()) std::abort();
    DeleteAllDevices();
    return 0;
}
