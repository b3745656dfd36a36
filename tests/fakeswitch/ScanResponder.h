// The switches' side of the raw Ethernet scan: an AF_PACKET socket on one
// interface that answers every scan frame (EtherType 0xDEAD, find command,
// broadcast) once per switch, optionally preceded by malformed replies.
#pragma once

#include "tests/fakeswitch/FakeSwitch.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace FakeSwitch {

// Replies that a console must drop.
enum class TScanFault {
    Status,           // status 1
    Short,            // 39 bytes
    Broadcast,        // addressed to everyone, not to the scanner
    OtherDestination, // addressed to another station
    NullSource,       // source 00:00:00:00:00:00
    Command,          // command 1
    EtherType,        // EtherType 0xDEAE
};
inline constexpr TScanFault AllScanFaults[] = {TScanFault::Status,           TScanFault::Short,
                                               TScanFault::Broadcast,        TScanFault::OtherDestination,
                                               TScanFault::NullSource,       TScanFault::Command,
                                               TScanFault::EtherType};

class TScanResponder {
public:
    using TIdentities = std::function<std::vector<TIdentity>()>;

    explicit TScanResponder(TIdentities identities) : m_Identities(std::move(identities)) {}
    ~TScanResponder();
    TScanResponder(const TScanResponder &) = delete;
    TScanResponder &operator=(const TScanResponder &) = delete;

    void SetNetworkNamespace(std::string path) { m_Namespace = std::move(path); }
    // Sent before each switch's good reply; set before Start.
    void SetFaults(std::vector<TScanFault> faults) { m_Faults = std::move(faults); }
    bool Start(const std::string &interface, std::string *error = nullptr);
    void Stop();

    unsigned ScanFrames() const;
    bool WaitForScanFrames(unsigned count, std::chrono::milliseconds timeout) const;

private:
    void Run();
    void Answer(const TMac &scanner);
    void Send(const TMac &destination, const TBytes &frame);

    TIdentities m_Identities;
    std::string m_Namespace;
    std::vector<TScanFault> m_Faults;
    int m_Socket = -1;
    int m_IfIndex = 0;
    int m_WakeFd = -1;
    std::thread m_Thread;
    mutable std::mutex m_Lock;
    mutable std::condition_variable m_Scanned;
    unsigned m_ScanFrames = 0;
};

// The reply of one switch to a scanner, or a malformed variant of it.
TBytes ScanReply(const TMac &scanner, const TIdentity &sw, const TScanFault *fault = nullptr);

} // namespace FakeSwitch
