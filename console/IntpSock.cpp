#include "console/IntpSock.h"

#include "console/IntpReceiveQueue.h"
#include "intp/NetUtils.h"

#include <QSocketNotifier>


#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstring>
#include <string_view>
#include <vector>

TIntpSock::TIntpSock(TIntpSocketThread* queue, QObject* parent) : QObject(parent), m_Queue(queue) {}

TIntpSock::~TIntpSock() { Close(); }

bool TIntpSock::Open(const QHostAddress& address, std::uint16_t port)
{
    Close();
    bool ipv4 = false;
    const quint32 ip = address.toIPv4Address(&ipv4);
    if (!ipv4)
        return false;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(ip);
    socklen_t length = sizeof local;
    int on = 1;
    if (::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        ::close(fd);
        return false;
    }
    // Hundreds of switches answer one broadcast at once.
    SetLargestReceiveBuffer(fd, kIntpReceiveBufferSize);
    m_Fd = fd;
    m_LocalPort = ntohs(local.sin_port);
    m_Listener.SetDeferral(kIntpListenerDeferral);
    if (!m_Listener.Start(fd, 65535, [this](const TUdpListener::TDatagram* datagrams, std::size_t count) {
            return OnBatch(datagrams, count, false);
        }) ||
        !m_Sender.Start([this](std::uint32_t address, const std::uint8_t* data, std::size_t length) {
            SendNow(address, data, length);
        })) {
        Close();
        return false;
    }
    m_Readable = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_Readable, &QSocketNotifier::activated, this, &TIntpSock::EventOnReadable);
    return true;
}

void TIntpSock::Close()
{
    delete m_Readable;
    m_Readable = nullptr;
    m_Sender.Stop();
    m_Listener.Stop();
    if (m_Fd >= 0)
        ::close(m_Fd);
    m_Fd = -1;
    m_LocalPort = 0;
}

bool TIntpSock::IsOpen() const { return m_Fd >= 0; }

std::uint16_t TIntpSock::LocalPort() const { return m_LocalPort; }

void TIntpSock::EventOnReadable()
{
    // The listener, woken too, may have taken the datagrams first.
    if (m_Listener.ReadNow([this](const TUdpListener::TDatagram* datagrams, std::size_t count) {
            return OnBatch(datagrams, count, true);
        }) != 0)
        m_Sender.StartTurn();
    if (m_Queue)
        m_Queue->DeliverWaiting();
}

bool TIntpSock::OnBatch(const TUdpListener::TDatagram* datagrams, std::size_t count, bool onGuiThread)
{
    std::vector<TIntpDatagram> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view bytes = datagrams[i].bytes;
        if (!AcceptIntpDatagramSize(bytes.size()))
            continue;
        items.push_back({datagrams[i].address, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    if (!m_Queue)
        return true;
    if (onGuiThread)
        m_Queue->PushDatagramsToDeliver(items);
    else
        m_Queue->PushDatagrams(items);
    return true;
}

bool TIntpSock::Send(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    // A switch that has just rebooted has address 0 until it is heard again.
    if (address == 0 || data == nullptr || !IsOpen())
        return false;
    // A lone request (a transfer's next block) leaves at once; bursts and
    // broadcasts (one send per interface) go through the sender thread.
    if (address == 0xFFFFFFFFu)
        return m_Sender.Post(address, data, length);
    return m_Sender.Send(address, data, length);
}

void TIntpSock::SendNow(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    if (address == 0xFFFFFFFFu) {
        if (m_BroadcastHook)
            m_BroadcastHook(data, length);
        else
            SendLimitedBroadcast(data, length);
        return;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(m_RemotePort);
    to.sin_addr.s_addr = htonl(address);
    ::sendto(m_Fd, data, length, MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

bool TIntpSock::SendLimitedBroadcast(const std::uint8_t* data, std::size_t length)
{
    // Without a default route 255.255.255.255 cannot be sent at all, and with
    // one it leaves through that interface only: send it through each.
    const int fd = m_Fd;
    bool any = false;
    for (const TBroadcastInterface& ifc : GetBroadcastInterfaces()) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(m_RemotePort);
        to.sin_addr.s_addr = htonl(INADDR_BROADCAST);

        iovec iov{};
        iov.iov_base = const_cast<std::uint8_t*>(data);
        iov.iov_len = length;

        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
        msghdr msg{};
        msg.msg_name = &to;
        msg.msg_namelen = sizeof to;
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        cmsghdr* cmsg = CMSG_FIRSTHDR(&msg);
        cmsg->cmsg_level = IPPROTO_IP;
        cmsg->cmsg_type = IP_PKTINFO;
        cmsg->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
        in_pktinfo info{};
        info.ipi_ifindex = int(ifc.IfIndex);
        info.ipi_spec_dst.s_addr = htonl(ifc.Address);
        std::memcpy(CMSG_DATA(cmsg), &info, sizeof info);

        if (::sendmsg(fd, &msg, MSG_DONTWAIT | MSG_NOSIGNAL) == ssize_t(length))
            any = true;
    }
    return any;
}
