// A fleet of simulated switches behind one UDP socket, for tests.
//
// Every switch has its own MAC and IPv4 address. A datagram to a switch's
// address is answered by that switch; a datagram to a broadcast address
// (255.255.255.255 or a switch's directed broadcast) is answered by every
// switch for find, and by the switch whose MAC is in the header for the other
// commands. Each reply leaves with the answering switch's address as source.
#pragma once

#include "intp/DeviceType.h"
#include "intp/Record.h"
#include "tests/fakeswitch/Wire.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace FakeSwitch {

constexpr uint16_t ProtocolPort = 1638;
constexpr uint16_t StatusOk = 0;
constexpr uint16_t StatusNotLoggedIn = 3;
// What our switches answer to a refused login, a wrong digest or a malformed Set.
constexpr uint16_t StatusRefused = 1;

struct TModel {
    Intp::TDeviceType Type; // name and counts
    std::vector<std::string> ProductIds;
    bool SecondGeneration = false; // numbered above the file's devicenum6095
};

// Models of a device-model file (name=value lines); empty when unreadable.
std::vector<TModel> LoadModels(const std::string &path);

// What a switch keeps in flash: saved by "save", reset by factory default.
struct TConfig {
    std::string Name = "Switch";
    std::string Description = "Managed Ethernet Switch";
    std::string Location;
    std::string Contact;
    std::string User = "admin";
    std::string Password = "admin";

    bool Dhcp = false;
    uint32_t Ip = 0;
    uint32_t Netmask = 0xFFFFFF00;
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;

    // Features declared from their records: the Get reply bytes by Get code
    // (a feature never set answers its initial record), and the tables'
    // entries in wire order by Get code.
    std::map<uint16_t, TBytes> Records;
    std::map<uint16_t, std::vector<TBytes>> Tables;
};

// How a switch is made: its identity and its factory configuration.
struct TSwitchSettings {
    TMac Mac{};
    std::string ProductId;
    Intp::TDeviceType Model; // the counts that size per-port and per-entry features
    bool SecondGeneration = false; // answers the second generation of the commands that have two
    uint16_t KernelVersion = 0x0102;
    uint16_t FirmwareVersion = 0x0203;
    uint32_t HardwareVersion = 0x01000100;
    std::string ObjectId = "99999.1.1";
    TConfig Factory;
    size_t MacTableEntries = 40; // learned addresses of a new switch (a large table on request)
    bool Apart = false; // a Set changes its own feature alone, no other it excludes
};

enum class TFaultKind {
    None,
    Silent,   // no reply
    Short,    // header only, no payload
    Status,   // the reply carries the given status
    WrongMac, // the reply carries another MAC
    Garbage,  // 7 bytes that are no frame
};

struct TFault {
    TFaultKind Kind = TFaultKind::None;
    uint16_t Status = 0;
};

// One simulated switch; handlers read and change it under the fleet's lock.
struct TSwitch {
    TSwitchSettings Settings;
    TConfig Running;
    TConfig Saved;
    std::set<uint32_t> LoggedIn; // peers (host order) that logged in
    std::chrono::steady_clock::time_point SilentUntil{};
    bool RebootPending = false;
    uint32_t PowerAlarm = 0, FailedPorts = 0, PortStates = 0;
    bool SipEnabled = true, SipWarning = false;
    uint16_t SipValue = 0;
    std::map<int, TFault> Faults; // by command code, -1 for every command
    std::map<uint16_t, unsigned> Requests;
    std::map<uint16_t, unsigned> MalformedRequests;

    // Transfers: what a backup reads, what uploads wrote (by code 256/258),
    // how many 512-byte blocks make a whole upload, and the TFTP outcome.
    TBytes BackupFile;
    std::map<uint16_t, TBytes> Uploads;
    std::map<uint16_t, uint16_t> UploadNextBlock;
    uint16_t UploadBlocks = 4;
    uint32_t TftpFinalState = 2;
    uint32_t TftpServer = 0;
    uint16_t TftpPort = 0;
    std::string TftpFile;
};

struct TRequest {
    THeader Header;
    const uint8_t *Payload = nullptr;
    size_t PayloadSize = 0;
    uint32_t Peer = 0; // host order
};

struct TReply {
    uint16_t Status = StatusOk;
    TBytes Payload;
    std::vector<TBytes> FollowUps; // further payloads sent at once with status 0 (progress reports)
};

using THandler = std::function<TReply(TSwitch &, const TRequest &)>;

constexpr size_t AnySize = size_t(-1);

struct THandlerEntry {
    THandler Handler;
    bool NeedsLogin = false;
    size_t ErrorReplySize = 4; // payload size of error replies (the command's full reply)
    // The request's payload size; a request of another size (or whose header
    // length disagrees with the datagram) is refused and counted as malformed.
    size_t RequestSize = AnySize;
    // Puts the feature's initial state into a new switch's factory
    // configuration, unless the configuration holds it already.
    std::function<void(const TSwitchSettings &, TConfig &)> Initial{};
    // A table Get's page: prefix bytes, entries of EntrySize (fewer than
    // PageEntries end the table), trailer bytes. EntrySize 0: no table.
    size_t PrefixSize = 0, EntrySize = 0, PageEntries = 0, TrailerSize = 0;
    // A record Get's reply: fixed bytes, then elements of ElementSize (0: no array).
    size_t FixedSize = 0, ElementSize = 0;
    // A record's reply bytes (or one table entry's) as decoding and encoding
    // them leave them: tests find the texts, flags and unused bytes with it.
    std::function<TBytes(const TBytes &)> Decoded{};
    // A table's key: KeySize bytes from KeyOffset of an entry (on its Get).
    size_t KeyOffset = 0, KeySize = 0;
};

using THandlerTable = std::map<uint16_t, THandlerEntry>;

// The record a switch holds for a Get class's feature, and the entries of
// a table Get class's table (tests read them from a Snapshot).
template <class TGet> typename TGet::Record RecordOf(const TConfig &config)
{
    auto it = config.Records.find(TGet::CommandCode);
    if (it == config.Records.end())
        return {};
    return Intp::DecodeRecord<typename TGet::Record>(it->second, Intp::TMessage::Get);
}
template <class TGet> typename TGet::Record RecordOf(const TSwitch &sw)
{
    return RecordOf<TGet>(sw.Running);
}
template <class TGet> void SetRecord(TConfig &config, const typename TGet::Record &record)
{
    config.Records[TGet::CommandCode] = Intp::EncodeRecord(record, Intp::TMessage::Get);
}
template <class TGet> std::vector<typename TGet::Entry> TableOf(const TConfig &config)
{
    TBytes bytes;
    if (auto it = config.Tables.find(TGet::CommandCode); it != config.Tables.end())
        for (const TBytes &entry : it->second)
            bytes.insert(bytes.end(), entry.begin(), entry.end());
    return Intp::DecodeEntries<typename TGet::Entry>(TGet::Record::EntryFields, bytes.data(), bytes.size(),
                                                     Intp::TOrder::Wire, Intp::TMessage::Get);
}
template <class TGet> std::vector<typename TGet::Entry> TableOf(const TSwitch &sw)
{
    return TableOf<TGet>(sw.Running);
}
template <class TGet> void SetTable(TConfig &config, const std::vector<typename TGet::Entry> &entries)
{
    std::vector<TBytes> &table = config.Tables[TGet::CommandCode];
    table.clear();
    for (const auto &entry : entries)
        table.push_back(Intp::EncodeEntries(TGet::Record::EntryFields, std::vector<typename TGet::Entry>{entry},
                                            Intp::TOrder::Wire, Intp::TMessage::Get));
}

// The commands our switches know: find, login, ping, IntpSip, system
// settings, IP configuration, SNTP, auto provisioning, warnings, maintenance,
// transfers, DHCP server, advanced settings, port names and configuration, the MAC
// blacklist.
THandlerTable StandardHandlers();
// The redundancy features (RSTP, ring, fast recovery), part of the standard ones.
void AddRedundancy(THandlerTable &table);

// Runs fn with this thread in another network namespace (a path such as
// /var/run/netns/NAME; empty for this one). Needs CAP_SYS_ADMIN.
bool InNetworkNamespace(const std::string &path, const std::function<bool()> &fn, std::string *error);

// Wakes a thread that polls a socket and an eventfd, joins it and closes both.
void StopSocketThread(std::thread &thread, int &socket, int &wakeFd);

struct TIdentity {
    TMac Mac{};
    uint32_t Ip = 0; // host order
};

class TFleet {
public:
    // bindIp and port in host order; port 0 picks a free one.
    explicit TFleet(uint32_t bindIp = 0, uint16_t port = ProtocolPort);
    ~TFleet();
    TFleet(const TFleet &) = delete;
    TFleet &operator=(const TFleet &) = delete;

    // Makes the socket in another network namespace (a path such as
    // /var/run/netns/NAME); set before Start. Needs CAP_SYS_ADMIN.
    void SetNetworkNamespace(std::string path) { m_Namespace = std::move(path); }
    bool Start(std::string *error = nullptr);
    void Stop();
    uint16_t Port() const { return m_Port; }

    // Everything below is thread-safe.
    size_t Add(const TSwitchSettings &settings);
    void SetHandler(uint16_t code, THandlerEntry entry);
    void SetRebootSilence(std::chrono::milliseconds silence);
    void SetPing(size_t index, uint32_t powerAlarm, uint32_t failedPorts, uint32_t portStates);
    void SetSip(size_t index, bool enabled, bool warning, uint16_t value);
    void SetFault(size_t index, int code, TFault fault);
    void ClearFaults(size_t index);
    // Runs fn on the switch under the lock.
    void Edit(size_t index, const std::function<void(TSwitch &)> &fn);

    TSwitch Snapshot(size_t index) const;
    std::vector<TIdentity> Identities() const;
    uint32_t Ip(size_t index) const;
    bool IsLoggedIn(size_t index, uint32_t peer) const;
    unsigned Requests(size_t index, uint16_t code) const;
    // Requests of any switch whose size did not match their command.
    unsigned MalformedRequests() const;
    // Waits until the switch has seen count requests of code.
    bool WaitForRequests(size_t index, uint16_t code, unsigned count, std::chrono::milliseconds timeout) const;

private:
    void Run();
    void Handle(const uint8_t *data, size_t size, uint32_t peer, uint16_t peerPort, uint32_t destination);
    void Answer(TSwitch &sw, const TRequest &request, uint32_t peer, uint16_t peerPort);
    void SendFrom(uint32_t source, uint32_t peer, uint16_t peerPort, const TBytes &datagram);
    void Reindex();

    bool OpenSocket(std::string *error);

    std::string m_Namespace;
    uint32_t m_BindIp;
    uint16_t m_Port;
    int m_Socket = -1;
    int m_WakeFd = -1;
    std::thread m_Thread;

    mutable std::mutex m_Lock;
    mutable std::condition_variable m_Changed;
    std::vector<TSwitch> m_Switches;
    // Lookups by address, MAC and directed broadcast; rebuilt after changes.
    std::unordered_multimap<uint32_t, size_t> m_ByIp;
    std::multimap<TMac, size_t> m_ByMac;
    std::unordered_set<uint32_t> m_Broadcasts;
    bool m_IndexDirty = true;
    THandlerTable m_Handlers;
    std::chrono::milliseconds m_RebootSilence{2000};
};

} // namespace FakeSwitch
