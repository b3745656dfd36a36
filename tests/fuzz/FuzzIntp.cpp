#include "tests/fuzz/FuzzIntp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "intp/CommandTable.h"
#include "intp/DeviceType.h"
#include "intp/Operations.h"
#include "intp/Transfer.h"

using namespace Intp;

namespace FuzzIntp {

namespace {

const TMacAddr g_Macs[DeviceCount] = {
    TMacAddr(0x00, 0x1A, 0, 0, 0, 1),
    TMacAddr(0x00, 0x1A, 0, 0, 0, 2),
    TMacAddr(0x00, 0x1A, 0, 0, 0, 3),
};

// Upload images: empty (refused), one byte, one block, a block and a byte,
// and several blocks.
constexpr std::size_t g_UploadSizes[] = {0, 1, 512, 513, 2600};

// Files of the transfers, in a directory of this process removed at exit.
struct TFiles {
    std::filesystem::path dir;
    std::vector<std::string> uploads;
    unsigned backups = 0;

    TFiles() {
        char pattern[] = "/tmp/fuzz_intp_XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        dir = pattern;
        for (std::size_t size : g_UploadSizes) {
            std::filesystem::path file = dir / ("upload" + std::to_string(size));
            std::ofstream out(file, std::ios::binary);
            for (std::size_t i = 0; i < size; ++i) out.put(char(i * 7 + 1));
            uploads.push_back(file.string());
        }
    }
    ~TFiles() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

TFiles& Files()
{
    static TFiles files;
    return files;
}

template <class T>
bool OpenUpload(TSession* s, unsigned variant)
{
    auto* t = dynamic_cast<T*>(s);
    return !t || t->OpenFile(Files().uploads[variant % std::size(g_UploadSizes)]);
}

template <class T>
void NameTftpServer(TSession* s, unsigned variant)
{
    if (auto* t = dynamic_cast<T*>(s)) t->SetPayload(0x0A000064u, 69, variant % 2 ? "config.bin" : "");
}

// Gives a variable-size Set the entries the row's count rule wants on the
// device's model (variant picks among the counts a rule allows), each byte
// the variant's.
void SupplyEntries(TVariableEntries& set, const TCommandInfo& info, const TDevice* device, unsigned variant)
{
    int count = int(ModelCount(info.countKind, device));
    if (info.countKind == TCountKind::ckAny) count = int(1 + variant);
    if (info.countKind == TCountKind::ckUpToPortAndTrunkGroupNum && variant % 2) count = 1;
    std::vector<std::uint8_t> entries(set.HeldSize(count), std::uint8_t(variant * 0x55));
    set.SetEntries(entries.data(), count);
}

// Gives a request what its requester would before starting it; false when
// it can't be prepared.
bool Prepare(TSession* s, const TCommandInfo& info, const TDevice* device, unsigned variant)
{
    if (auto* set = dynamic_cast<TVariableEntries*>(s)) SupplyEntries(*set, info, device, variant);
    if (auto* backup = dynamic_cast<TSessionBasicsBackupBuildin*>(s)) {
        // A new name each time: a file still being written is locked.
        TFiles& files = Files();
        return backup->OpenFile((files.dir / ("backup" + std::to_string(files.backups++ % 64))).string());
    }
    if (!OpenUpload<TSessionBasicsUpgradeBuildin>(s, variant) || !OpenUpload<TSessionBasicsRestoreBuildin>(s, variant))
        return false;
    NameTftpServer<TSessionBasicsBackupTftp>(s, variant);
    NameTftpServer<TSessionBasicsRestoreTftp>(s, variant);
    NameTftpServer<TSessionBasicsUpgradeTftp>(s, variant);
    if (auto* login = dynamic_cast<TSessionIntpLogin*>(s); login && variant % 2 == 0)
        login->SetPayload(MakeLoginDigest("admin", "admin"));
    return true;
}

}  // namespace

void THost::CreateTimer(TSession* s, unsigned)
{
    if (std::find(timers.begin(), timers.end(), s) == timers.end()) timers.push_back(s);
}

void THost::DestroyTimer(TSession* s)
{
    timers.erase(std::remove(timers.begin(), timers.end(), s), timers.end());
}

void THost::Send(std::uint32_t, const std::uint8_t* data, std::size_t size)
{
    if (sendThrows) throw 1;
    if (size < HeaderSize || !data) std::abort();
}

void THost::Notify(TDevice* device, std::uint16_t, std::uint16_t, const void*, TWizard*, const char* name)
{
    // A notified device must still be registered. Block progress
    // notifications carry no name; the others name their request.
    if (!device || FindDevice(device->GetMac(), false) != device) std::abort();
    if (name && !*name) std::abort();
    int action = pendingAction;
    pendingAction = 0;
    if (action == 1) DeleteAllDevices();
    if (action == 2) DeleteAllSessions();
}

void THost::DeviceFlagsChanged(TDevice*, std::uint32_t changed)
{
    if (!changed) std::abort();
}

THost& Host()
{
    static THost* host = [] {
        auto* h = new THost;
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
        Files();
        return h;
    }();
    return *host;
}

const TMacAddr& DeviceMac(std::size_t index) { return g_Macs[index % DeviceCount]; }

std::size_t DeviceIndex(const TMacAddr& mac)
{
    return std::size_t(std::find(std::begin(g_Macs), std::end(g_Macs), mac) - std::begin(g_Macs));
}

void Reset()
{
    THost& host = Host();
    host.sendThrows = false;
    host.pendingAction = 0;
    DeleteAllSessions();
    DeleteAllDevices();
    if (!host.timers.empty()) std::abort();
    MakeDevices();
}

void MakeDevices()
{
    for (std::size_t i = 0; i < DeviceCount; ++i) {
        TDevice* d = FindDevice(g_Macs[i], true);
        d->SetIp(0x0A000001u + std::uint32_t(i));
        d->SetType(std::uint32_t(i));
    }
}

void Finish()
{
    THost& host = Host();
    host.sendThrows = false;
    host.pendingAction = 0;
    DeleteAllSessions();
    if (!host.timers.empty()) std::abort();
    DeleteAllDevices();
}

TSession* StartRow(std::size_t row, TDevice* device, unsigned variant, TWizard* wizard)
{
    if (!device || row >= CommandTableSize) return nullptr;
    const TCommandInfo& info = g_CommandTable[row];
    TSession* s = CreateSession(info.code, info.requestClass);
    if (!s) return nullptr;
    if (Prepare(s, info, device, variant) && s->Start(device, wizard)) return s;
    delete s;
    return nullptr;
}

void FireTimer(std::size_t pick)
{
    THost& host = Host();
    if (!host.timers.empty()) host.timers[pick % host.timers.size()]->OnTimeout();
}

void CheckTimers()
{
    if (GetSessionCount() != Host().timers.size()) std::abort();
}

std::vector<std::size_t> RowsOf(std::uint16_t code)
{
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < CommandTableSize; ++row)
        if (g_CommandTable[row].code == code) rows.push_back(row);
    return rows;
}

}  // namespace FuzzIntp

namespace FuzzIntp {

TInput& TInput::Record(std::uint8_t op, const std::vector<std::uint8_t>& bytes)
{
    m_Bytes.push_back(op);
    m_Bytes.push_back(std::uint8_t(bytes.size() >> 8));
    m_Bytes.push_back(std::uint8_t(bytes.size()));
    m_Bytes.insert(m_Bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

std::vector<std::uint8_t> TInput::Frame(std::uint16_t code, std::uint16_t status, std::size_t device,
                                        const std::vector<std::uint8_t>& payload)
{
    std::vector<std::uint8_t> frame(HeaderSize);
    THeader header;
    header.code = code;
    header.status = status;
    header.length = std::uint16_t(payload.size());
    header.mac = DeviceMac(device);
    header.Write(frame.data());
    frame.insert(frame.end(), payload.begin(), payload.end());
    return frame;
}

void TInput::Save(const std::string& dir, const std::string& name) const
{
    std::filesystem::create_directories(dir);
    std::ofstream out(std::filesystem::path(dir) / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(m_Bytes.data()), std::streamsize(m_Bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), name.c_str());
        std::exit(1);
    }
}

}  // namespace FuzzIntp
