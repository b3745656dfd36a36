#include "tests/fakeswitch/ScanResponder.h"

#include "intp/ScanFrame.h"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace FakeSwitch {

namespace {

constexpr uint16_t ScanType = Intp::ScanEtherType;
constexpr size_t ScanSize = Intp::ScanFrameSize;

} // namespace

TBytes ScanReply(const TMac &scanner, const TIdentity &sw, const TScanFault *fault)
{
    const TScanFault kind = fault ? *fault : TScanFault(-1);
    TMac destination = scanner, source = sw.Mac;
    if (kind == TScanFault::Broadcast)
        destination.fill(0xFF);
    if (kind == TScanFault::OtherDestination)
        destination[5] ^= 0x01;
    if (kind == TScanFault::NullSource)
        source.fill(0);
    TWriter out;
    out.Bytes(destination.data(), 6).Bytes(source.data(), 6);
    out.U16(kind == TScanFault::EtherType ? ScanType + 1 : ScanType);
    out.U32(sw.Ip).U16(1638);
    out.U16(kind == TScanFault::Command ? 1 : 0).U16(kind == TScanFault::Status ? 1 : 0).U16(8);
    out.Bytes(sw.Mac.data(), 6).Zeros(4).U32(sw.Ip);
    TBytes frame = out.Take();
    if (kind == TScanFault::Short)
        frame.pop_back();
    return frame;
}

TScanResponder::~TScanResponder()
{
    Stop();
}

bool TScanResponder::Start(const std::string &interface, std::string *error)
{
    auto open = [&] {
        m_IfIndex = int(if_nametoindex(interface.c_str()));
        m_Socket = socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, htons(ScanType));
        sockaddr_ll local{};
        local.sll_family = AF_PACKET;
        local.sll_protocol = htons(ScanType);
        local.sll_ifindex = m_IfIndex;
        if (m_IfIndex == 0 || m_Socket < 0 || bind(m_Socket, reinterpret_cast<sockaddr *>(&local), sizeof local) < 0) {
            if (error)
                *error = "raw socket on " + interface + ": " + strerror(errno);
            return false;
        }
        return true;
    };
    m_WakeFd = eventfd(0, EFD_CLOEXEC);
    if (m_WakeFd < 0 || !InNetworkNamespace(m_Namespace, open, error)) {
        Stop();
        return false;
    }
    m_Thread = std::thread(&TScanResponder::Run, this);
    return true;
}

void TScanResponder::Stop()
{
    StopSocketThread(m_Thread, m_Socket, m_WakeFd);
}

unsigned TScanResponder::ScanFrames() const
{
    std::lock_guard lock(m_Lock);
    return m_ScanFrames;
}

bool TScanResponder::WaitForScanFrames(unsigned count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_Lock);
    return m_Scanned.wait_for(lock, timeout, [&] { return m_ScanFrames >= count; });
}

void TScanResponder::Run()
{
    uint8_t frame[1600];
    for (;;) {
        pollfd fds[2] = {{m_Socket, POLLIN, 0}, {m_WakeFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            return;
        if (fds[1].revents)
            return;
        if (!(fds[0].revents & POLLIN))
            continue;
        sockaddr_ll from{};
        socklen_t fromLength = sizeof from;
        const ssize_t n =
            recvfrom(m_Socket, frame, sizeof frame, MSG_DONTWAIT, reinterpret_cast<sockaddr *>(&from), &fromLength);
        // A scan: at least 40 bytes, to everyone, command 0 (find).
        if (n < ssize_t(ScanSize) || from.sll_pkttype == PACKET_OUTGOING)
            continue;
        TReader in(frame, size_t(n));
        TMac destination, scanner;
        in.Bytes(destination.data(), 6);
        in.Bytes(scanner.data(), 6);
        const uint16_t type = in.U16();
        in.U32();
        in.U16();
        const uint16_t command = in.U16();
        if (type != ScanType || command != 0 || destination != TMac{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})
            continue;
        Answer(scanner);
        std::lock_guard lock(m_Lock);
        ++m_ScanFrames;
        m_Scanned.notify_all();
    }
}

void TScanResponder::Answer(const TMac &scanner)
{
    for (const TIdentity &sw : m_Identities()) {
        for (const TScanFault &fault : m_Faults)
            Send(scanner, ScanReply(scanner, sw, &fault));
        Send(scanner, ScanReply(scanner, sw));
    }
}

void TScanResponder::Send(const TMac &destination, const TBytes &frame)
{
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_ifindex = m_IfIndex;
    to.sll_halen = 6;
    std::memcpy(to.sll_addr, destination.data(), 6);
    sendto(m_Socket, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
}

} // namespace FakeSwitch
