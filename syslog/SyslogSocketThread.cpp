#include "syslog/SyslogSocketThread.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "intp/NetUtils.h"
#include "pages/kit/PageInterface.h"
#include "pages/kit/SyslogServer.h"

namespace {

// Largest UDP payload over IPv4.
constexpr std::size_t MaxDatagram = 65507;
// A drain hands over this long before it lets the event loop run again. Its
// own repost is dispatched ahead of a timer that fell due meanwhile, so the
// window may wait two slices: kept short, a flood stalls it about 10 ms.
constexpr qint64 DrainSliceMs = 5;
// Datagrams handed to the server at a time: the page then updates its list
// and count once per batch, not per message.
constexpr std::size_t DeliveryBatch = 128;

Syslog::TSyslogServer* HostServer() { return g_ModuleCallback ? g_ModuleCallback->GetSyslogServer() : nullptr; }

QString SystemError(const char* what, int error)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

TSyslogSocketThread::TSyslogSocketThread(QObject* parent)
    : TSyslogSocketThread(TServerProvider(HostServer), parent)
{
}

TSyslogSocketThread::TSyslogSocketThread(TServerProvider provider, QObject* parent)
    : QObject(parent)
    , m_Provider(std::move(provider))
    , m_Queue({kSyslogMaxQueued, kSyslogMaxQueuedBytes}, std::chrono::milliseconds(DrainSliceMs),
              [this] { QMetaObject::invokeMethod(this, &TSyslogSocketThread::Drain, Qt::QueuedConnection); })
{
}

TSyslogSocketThread::~TSyslogSocketThread() { Stop(); }

bool TSyslogSocketThread::Open(quint16 port, const QHostAddress& address)
{
    m_Error.clear();
    if (IsStopped()) {
        m_Error = tr("Syslog reception has ended.");
        return false;
    }
    Close();
    bool ok = false;
    const quint32 ip = address.toIPv4Address(&ok);
    if (!ok) {
        m_Error = tr("Not an IPv4 address: %1").arg(address.toString());
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        m_Error = SystemError("socket", errno);
        return false;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(ip);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        m_Error = SystemError("bind", errno);
        ::close(fd);
        return false;
    }
    // A burst from many switches must fit the kernel's queue while the
    // listener catches up; the forced size needs CAP_NET_ADMIN, else the
    // system's limit applies.
    SetLargestReceiveBuffer(fd, kSyslogReceiveBufferSize);
    socklen_t length = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);

    m_Fd = fd;
    m_LocalPort = ntohs(local.sin_port);
    m_Listener.SetCountDrops(true);
    if (!m_Listener.Start(fd, MaxDatagram,
                          [this](const TUdpListener::TDatagram* datagrams, std::size_t count) {
                              return OnBatch(datagrams, count);
                          })) {
        m_Error = SystemError("listener", errno);
        Close();
        return false;
    }
    return true;
}

int TSyslogSocketThread::ReceiveBufferSize() const
{
    int size = 0;
    socklen_t length = sizeof size;
    if (m_Fd < 0 || ::getsockopt(m_Fd, SOL_SOCKET, SO_RCVBUF, &size, &length) != 0)
        return 0;
    return size;
}

void TSyslogSocketThread::Close()
{
    m_Listener.Stop();
    if (m_Fd >= 0)
        ::close(m_Fd);
    m_Fd = -1;
    m_LocalPort = 0;
}

void TSyslogSocketThread::Stop()
{
    m_Queue.End();
    Close();
}

bool TSyslogSocketThread::OnBatch(const TUdpListener::TDatagram* datagrams, std::size_t count)
{
    if (count != 0)
        m_KernelDropped.store(datagrams[count - 1].kernelDropped, std::memory_order_relaxed);
    // One block for the read: each text with a NUL after it (an empty
    // datagram is kept too).
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i)
        size += std::min(datagrams[i].bytes.size(), MaxDatagram) + 1;
    QByteArray block(qsizetype(size), Qt::Uninitialized);
    char* out = block.data();
    m_Batch.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view bytes = datagrams[i].bytes.substr(0, MaxDatagram);
        std::memcpy(out, bytes.data(), bytes.size());
        out[bytes.size()] = '\0';
        m_Batch.push_back({datagrams[i].address, block, std::uint32_t(out - block.constData()),
                           std::uint32_t(bytes.size())});
        out += bytes.size() + 1;
    }
    return m_Queue.Push(m_Batch);
}

void TSyslogSocketThread::PushDatagram(std::uint32_t address, QByteArray text)
{
    const auto length = std::uint32_t(text.size());
    m_Queue.Push(TSyslogDatagram{address, std::move(text), 0, length});
}

void TSyslogSocketThread::Drain()
{
    m_Queue.DrainBatches(
        DeliveryBatch, [this](TSyslogDatagram* items, std::size_t count) { DeliverBatch(items, count); },
        [](const char* what) { qWarning("syslog delivery failed: %s", what); });
    std::uint64_t total = 0;
    if (m_Queue.TakeNewDrops(total))
        emit QueueDropped(total);
    const std::uint32_t kernel = m_KernelDropped.load(std::memory_order_relaxed);
    if (kernel != m_KernelDroppedTold) {
        m_KernelDroppedTold = kernel;
        emit KernelDropped(kernel);
    }
}

void TSyslogSocketThread::DeliverBatch(TSyslogDatagram* items, std::size_t count)
{
    Syslog::TSyslogServer* server = m_Provider ? m_Provider() : nullptr;
    if (!server)
        return;
    std::array<Syslog::TReceivedMessage, DeliveryBatch> messages;
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(count - done, messages.size());
        for (std::size_t i = 0; i < n; ++i)
            messages[i] = {items[done + i].address, items[done + i].Text()};
        server->AddMessages(messages.data(), n);
        done += n;
    }
}
