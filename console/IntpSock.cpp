#include "console/IntpSock.h"

#include "console/IntpReceiveQueue.h"
#include "intp/NetUtils.h"

#include <QNetworkDatagram>
#include <QVariant>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <cstring>
#include <vector>

TIntpSock::TIntpSock(TIntpSocketThread* queue, QObject* parent) : QObject(parent), m_Queue(queue)
{
    connect(&m_Socket, &QUdpSocket::readyRead, this, &TIntpSock::EventOnIntpSockRead);
}

TIntpSock::~TIntpSock() { Close(); }

bool TIntpSock::Open(const QHostAddress& address, std::uint16_t port)
{
    Close();
    if (!m_Socket.bind(address, port))
        return false;
    // Hundreds of switches answer one broadcast at once.
    // The kernel caps the size at rmem_max unless the process may force it.
    const int fd = int(m_Socket.socketDescriptor());
    const int size = kIntpReceiveBufferSize;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        m_Socket.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, QVariant(kIntpReceiveBufferSize));
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    return true;
}

void TIntpSock::Close()
{
    if (m_Socket.state() != QAbstractSocket::UnconnectedState)
        m_Socket.close();
}

bool TIntpSock::IsOpen() const { return m_Socket.state() == QAbstractSocket::BoundState; }

std::uint16_t TIntpSock::LocalPort() const { return m_Socket.localPort(); }

void TIntpSock::EventOnIntpSockRead()
{
    // readyRead is not repeated for datagrams left unread: take them all.
    int errors = 0;
    while (m_Socket.hasPendingDatagrams()) {
        qint64 size = m_Socket.pendingDatagramSize();
        if (size < 0) {
            // An error (such as a port-unreachable report) rather than data.
            m_Socket.readDatagram(nullptr, 0);
            if (++errors > 16)
                break;
            continue;
        }
        std::vector<std::uint8_t> data(std::size_t(size) + 1);
        QHostAddress sender;
        qint64 read = m_Socket.readDatagram(reinterpret_cast<char*>(data.data()), size, &sender);
        if (read < 0) {
            if (++errors > 16)
                break;
            continue;
        }
        if (!AcceptIntpDatagramSize(std::size_t(read)))
            continue;
        data.resize(std::size_t(read));
        bool ok = false;
        std::uint32_t address = sender.toIPv4Address(&ok);
        if (!ok)
            address = 0;
        if (m_Queue)
            m_Queue->PushDatagram(address, std::move(data));
    }
}

bool TIntpSock::Send(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    // A switch that has just rebooted has address 0 until it is heard again.
    if (address == 0 || data == nullptr || !IsOpen())
        return false;
    if (address == 0xFFFFFFFFu)
        return m_BroadcastHook ? m_BroadcastHook(data, length) : SendLimitedBroadcast(data, length);
    qint64 sent = m_Socket.writeDatagram(reinterpret_cast<const char*>(data), qint64(length),
                                         QHostAddress(quint32(address)), m_RemotePort);
    return sent == qint64(length);
}

bool TIntpSock::SendLimitedBroadcast(const std::uint8_t* data, std::size_t length)
{
    // Without a default route 255.255.255.255 cannot be sent at all, and with
    // one it leaves through that interface only: send it through each.
    const int fd = int(m_Socket.socketDescriptor());
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
