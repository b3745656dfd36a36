#include "tests/fakeswitch/FakeSwitch.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <sched.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace FakeSwitch {

std::vector<TModel> LoadModels(const std::string &path)
{
    std::ifstream file(path);
    std::map<std::string, std::string> keys;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        auto eq = line.find('=');
        if (eq != std::string::npos)
            keys.emplace(line.substr(0, eq), line.substr(eq + 1)); // the first line of a key wins
    }
    auto number = [&](const std::string &key) -> long {
        auto it = keys.find(key);
        if (it == keys.end())
            return -1;
        char *end = nullptr;
        long v = strtol(it->second.c_str(), &end, 10);
        return end && *end == '\0' && !it->second.empty() ? v : -1;
    };
    std::vector<TModel> models;
    long count = number("devicenum");
    long firstGeneration = number("devicenum6095");
    for (long i = 0; i >= 0 && i < count && i < 4096; ++i) {
        auto n = std::to_string(i);
        TModel m;
        m.Type.Name = keys["Name" + n];
        if (auto id = keys.find("ID" + n); id != keys.end() && !id->second.empty())
            m.ProductIds.push_back(id->second);
        auto count = [&](const char *key) { return uint32_t(std::max(0L, number(key + n))); };
        m.Type.PortNum = count("PortNum");
        m.Type.TrunkGroupNum = count("TrunkGroupNum");
        m.Type.TrunkMemberNum = count("TrunkMemberNum");
        m.Type.SmtpRecipientNum = count("SmtpRecipientNum");
        m.Type.SecureIpNum = count("SecureIpNum");
        m.Type.SnmpCommunityNum = count("SnmpCommunityNum");
        m.Type.TagVidNum = count("TagVidNum");
        m.SecondGeneration = firstGeneration >= 0 && i + 1 > firstGeneration; // model numbers count from 1
        models.push_back(std::move(m));
    }
    return models;
}

TFleet::TFleet(uint32_t bindIp, uint16_t port) : m_BindIp(bindIp), m_Port(port), m_Handlers(StandardHandlers()) {}

TFleet::~TFleet()
{
    Stop();
}

bool InNetworkNamespace(const std::string &path, const std::function<bool()> &fn, std::string *error)
{
    if (path.empty())
        return fn();
    // The namespace is switched for this thread only, and back at once;
    // sockets stay in the namespace they were made in.
    int self = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    int target = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    bool done = false;
    if (self < 0 || target < 0 || setns(target, CLONE_NEWNET) < 0) {
        if (error)
            *error = "cannot enter " + path + ": " + strerror(errno);
    } else {
        done = fn();
        if (setns(self, CLONE_NEWNET) < 0)
            abort(); // this thread would stay in the other namespace
    }
    if (self >= 0)
        close(self);
    if (target >= 0)
        close(target);
    return done;
}

bool TFleet::Start(std::string *error)
{
    const bool opened = InNetworkNamespace(m_Namespace, [&] { return OpenSocket(error); }, error);
    if (!opened) {
        Stop();
        return false;
    }
    m_WakeFd = eventfd(0, EFD_CLOEXEC);
    if (m_WakeFd < 0) {
        if (error)
            *error = std::string("eventfd: ") + strerror(errno);
        Stop();
        return false;
    }
    m_Thread = std::thread(&TFleet::Run, this);
    return true;
}

bool TFleet::OpenSocket(std::string *error)
{
    auto fail = [&](const char *what) {
        if (error)
            *error = std::string(what) + ": " + strerror(errno);
        return false;
    };
    m_Socket = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (m_Socket < 0)
        return fail("socket");
    int on = 1;
    int buffer = 4 << 20;
    setsockopt(m_Socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(m_Socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    // Large buffers so a fleet's burst is not dropped; the forced form needs CAP_NET_ADMIN.
    if (setsockopt(m_Socket, SOL_SOCKET, SO_RCVBUFFORCE, &buffer, sizeof buffer) < 0)
        setsockopt(m_Socket, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
    if (setsockopt(m_Socket, SOL_SOCKET, SO_SNDBUFFORCE, &buffer, sizeof buffer) < 0)
        setsockopt(m_Socket, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    if (setsockopt(m_Socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) < 0)
        return fail("IP_PKTINFO");
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(m_BindIp);
    local.sin_port = htons(m_Port);
    if (bind(m_Socket, reinterpret_cast<sockaddr *>(&local), sizeof local) < 0)
        return fail("bind");
    socklen_t len = sizeof local;
    getsockname(m_Socket, reinterpret_cast<sockaddr *>(&local), &len);
    m_Port = ntohs(local.sin_port);
    return true;
}

void StopSocketThread(std::thread &thread, int &socket, int &wakeFd)
{
    if (thread.joinable()) {
        uint64_t one = 1;
        [[maybe_unused]] auto n = write(wakeFd, &one, sizeof one);
        thread.join();
    }
    if (socket >= 0)
        close(socket);
    if (wakeFd >= 0)
        close(wakeFd);
    socket = wakeFd = -1;
}

void TFleet::Stop()
{
    StopSocketThread(m_Thread, m_Socket, m_WakeFd);
}

void TFleet::Run()
{
    uint8_t buffer[65536];
    for (;;) {
        pollfd fds[2] = {{m_Socket, POLLIN, 0}, {m_WakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        sockaddr_in peer{};
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
        iovec iov{buffer, sizeof buffer};
        msghdr msg{};
        msg.msg_name = &peer;
        msg.msg_namelen = sizeof peer;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        ssize_t n = recvmsg(m_Socket, &msg, MSG_DONTWAIT);
        if (n < 0)
            continue;
        uint32_t destination = 0;
        for (cmsghdr *c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c))
            if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
                in_pktinfo info;
                memcpy(&info, CMSG_DATA(c), sizeof info);
                destination = ntohl(info.ipi_addr.s_addr);
            }
        Handle(buffer, size_t(n), ntohl(peer.sin_addr.s_addr), ntohs(peer.sin_port), destination);
    }
}

void TFleet::Reindex()
{
    m_ByIp.clear();
    m_ByMac.clear();
    m_Broadcasts.clear();
    for (size_t i = 0; i < m_Switches.size(); ++i) {
        const TConfig &c = m_Switches[i].Running;
        m_ByIp.emplace(c.Ip, i);
        m_ByMac.emplace(m_Switches[i].Settings.Mac, i);
        if (c.Netmask != 0xFFFFFFFF)
            m_Broadcasts.insert(c.Ip | ~c.Netmask);
    }
    m_IndexDirty = false;
}

void TFleet::Handle(const uint8_t *data, size_t size, uint32_t peer, uint16_t peerPort, uint32_t destination)
{
    TRequest request;
    if (!DecodeHeader(data, size, request.Header))
        return;
    request.Payload = data + HeaderSize;
    request.PayloadSize = size - HeaderSize;
    request.Peer = peer;

    std::lock_guard lock(m_Lock);
    if (m_IndexDirty)
        Reindex();
    bool broadcast = destination == 0xFFFFFFFF || m_Broadcasts.count(destination);
    std::vector<size_t> targets;
    if (request.Header.Code == 0 && broadcast) {
        for (size_t i = 0; i < m_Switches.size(); ++i) {
            const TConfig &c = m_Switches[i].Running;
            if (destination == 0xFFFFFFFF || destination == (c.Ip | ~c.Netmask))
                targets.push_back(i);
        }
    } else if (broadcast) {
        auto [first, last] = m_ByMac.equal_range(request.Header.Mac);
        for (auto it = first; it != last; ++it)
            targets.push_back(it->second);
    } else {
        auto [first, last] = m_ByIp.equal_range(destination);
        for (auto it = first; it != last; ++it)
            if (request.Header.Code == 0 || m_Switches[it->second].Settings.Mac == request.Header.Mac)
                targets.push_back(it->second);
    }
    for (size_t i : targets) {
        TSwitch &sw = m_Switches[i];
        uint32_t ip = sw.Running.Ip, netmask = sw.Running.Netmask;
        Answer(sw, request, peer, peerPort);
        if (sw.Running.Ip != ip || sw.Running.Netmask != netmask)
            m_IndexDirty = true;
    }
    m_Changed.notify_all();
}

void TFleet::Answer(TSwitch &sw, const TRequest &request, uint32_t peer, uint16_t peerPort)
{
    auto now = std::chrono::steady_clock::now();
    if (now < sw.SilentUntil)
        return;
    uint16_t code = request.Header.Code;
    ++sw.Requests[code];
    auto entry = m_Handlers.find(code);
    if (entry == m_Handlers.end())
        return;

    TReply reply;
    size_t expected = entry->second.RequestSize;
    if (request.Header.Length != request.PayloadSize || (expected != AnySize && request.PayloadSize != expected)) {
        ++sw.MalformedRequests[code];
        reply.Status = StatusRefused;
        reply.Payload.assign(entry->second.ErrorReplySize, 0);
    } else if (entry->second.NeedsLogin && !sw.LoggedIn.count(peer)) {
        reply.Status = StatusNotLoggedIn;
        reply.Payload.assign(entry->second.ErrorReplySize, 0);
    } else {
        reply = entry->second.Handler(sw, request);
        if (reply.Status != StatusOk && reply.Payload.size() < entry->second.ErrorReplySize)
            reply.Payload.resize(entry->second.ErrorReplySize, 0);
    }

    TFault fault;
    if (auto f = sw.Faults.find(code); f != sw.Faults.end())
        fault = f->second;
    else if (auto any = sw.Faults.find(-1); any != sw.Faults.end())
        fault = any->second;
    TMac mac = sw.Settings.Mac;
    switch (fault.Kind) {
    case TFaultKind::None:
        break;
    case TFaultKind::Silent:
        return;
    case TFaultKind::Short:
        reply.Payload.clear();
        break;
    case TFaultKind::Status:
        reply.Status = fault.Status;
        break;
    case TFaultKind::WrongMac:
        mac[5] ^= 0xFF;
        break;
    case TFaultKind::Garbage:
        SendFrom(sw.Running.Ip, peer, peerPort, TBytes{0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03});
        return;
    }
    SendFrom(sw.Running.Ip, peer, peerPort, EncodeFrame(code, reply.Status, mac, reply.Payload));
    for (const auto &payload : reply.FollowUps)
        SendFrom(sw.Running.Ip, peer, peerPort, EncodeFrame(code, StatusOk, mac, payload));

    if (sw.RebootPending) {
        sw.RebootPending = false;
        sw.SilentUntil = now + m_RebootSilence;
        sw.LoggedIn.clear();
        sw.Running = sw.Saved;
    }
}

void TFleet::SendFrom(uint32_t source, uint32_t peer, uint16_t peerPort, const TBytes &datagram)
{
    SendDatagram(m_Socket, peer, peerPort, datagram, source);
}

size_t TFleet::Add(const TSwitchSettings &settings)
{
    std::lock_guard lock(m_Lock);
    TSwitch sw;
    sw.Settings = settings;
    for (const auto &[code, entry] : m_Handlers)
        if (entry.Initial)
            entry.Initial(sw.Settings, sw.Settings.Factory);
    sw.Running = sw.Saved = sw.Settings.Factory;
    for (size_t i = 0; i < 1300; ++i)
        sw.BackupFile.push_back(uint8_t('A' + i % 26));
    m_Switches.push_back(std::move(sw));
    m_IndexDirty = true;
    return m_Switches.size() - 1;
}

void TFleet::SetHandler(uint16_t code, THandlerEntry entry)
{
    std::lock_guard lock(m_Lock);
    m_Handlers[code] = std::move(entry);
}

void TFleet::SetRebootSilence(std::chrono::milliseconds silence)
{
    std::lock_guard lock(m_Lock);
    m_RebootSilence = silence;
}

void TFleet::SetPing(size_t index, uint32_t powerAlarm, uint32_t failedPorts, uint32_t portStates)
{
    Edit(index, [&](TSwitch &sw) {
        sw.PowerAlarm = powerAlarm;
        sw.FailedPorts = failedPorts;
        sw.PortStates = portStates;
    });
}

void TFleet::SetSip(size_t index, bool enabled, bool warning, uint16_t value)
{
    Edit(index, [&](TSwitch &sw) {
        sw.SipEnabled = enabled;
        sw.SipWarning = warning;
        sw.SipValue = value;
    });
}

void TFleet::SetFault(size_t index, int code, TFault fault)
{
    Edit(index, [&](TSwitch &sw) { sw.Faults[code] = fault; });
}

void TFleet::ClearFaults(size_t index)
{
    Edit(index, [](TSwitch &sw) { sw.Faults.clear(); });
}

void TFleet::Edit(size_t index, const std::function<void(TSwitch &)> &fn)
{
    std::lock_guard lock(m_Lock);
    fn(m_Switches.at(index));
    m_IndexDirty = true;
}

TSwitch TFleet::Snapshot(size_t index) const
{
    std::lock_guard lock(m_Lock);
    return m_Switches.at(index);
}

std::vector<TIdentity> TFleet::Identities() const
{
    std::lock_guard lock(m_Lock);
    std::vector<TIdentity> all;
    for (const TSwitch &sw : m_Switches)
        all.push_back({sw.Settings.Mac, sw.Running.Ip});
    return all;
}

uint32_t TFleet::Ip(size_t index) const
{
    std::lock_guard lock(m_Lock);
    return m_Switches.at(index).Running.Ip;
}

bool TFleet::IsLoggedIn(size_t index, uint32_t peer) const
{
    std::lock_guard lock(m_Lock);
    return m_Switches.at(index).LoggedIn.count(peer) != 0;
}

unsigned TFleet::Requests(size_t index, uint16_t code) const
{
    std::lock_guard lock(m_Lock);
    const auto &r = m_Switches.at(index).Requests;
    auto it = r.find(code);
    return it == r.end() ? 0 : it->second;
}

unsigned TFleet::MalformedRequests() const
{
    std::lock_guard lock(m_Lock);
    unsigned n = 0;
    for (const auto &sw : m_Switches)
        for (const auto &[code, count] : sw.MalformedRequests)
            n += count;
    return n;
}

bool TFleet::WaitForRequests(size_t index, uint16_t code, unsigned count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_Lock);
    return m_Changed.wait_for(lock, timeout, [&] {
        const auto &r = m_Switches.at(index).Requests;
        auto it = r.find(code);
        return it != r.end() && it->second >= count;
    });
}

} // namespace FakeSwitch
