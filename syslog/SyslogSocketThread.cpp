#include "syslog/SyslogSocketThread.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <vector>

#include "intp/NetUtils.h"
#include "pages/kit/Module.h"
#include "pages/kit/SyslogServer.h"

namespace {

// Largest UDP payload over IPv4.
constexpr std::size_t MaxDatagram = 65507;
// A drain hands over this long before it lets the event loop run again.
constexpr qint64 DrainSliceMs = 20;

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
{
}

TSyslogSocketThread::~TSyslogSocketThread() { Stop(); }

bool TSyslogSocketThread::Open(quint16 port, const QHostAddress& address)
{
    m_Error.clear();
    if (m_Stopped) {
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
    {
        std::lock_guard lock(m_QueueLock);
        m_Stopped = true;
        m_Queue.clear();
        m_QueuedBytes = 0;
    }
    Close();
}

bool TSyslogSocketThread::OnBatch(const TUdpListener::TDatagram* datagrams, std::size_t count)
{
    std::deque<TSyslogDatagram> items;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view bytes = datagrams[i].bytes.substr(0, MaxDatagram);
        // QByteArray keeps a NUL after the bytes; an empty datagram is kept too.
        items.push_back({datagrams[i].address, QByteArray(bytes.data(), qsizetype(bytes.size()))});
    }
    return Enqueue(items);
}

bool TSyslogSocketThread::Enqueue(std::deque<TSyslogDatagram>& items)
{
    bool post = false;
    {
        std::lock_guard lock(m_QueueLock);
        if (m_Stopped)
            return false;
        for (auto& item : items) {
            m_QueuedBytes += std::size_t(item.text.size());
            m_Queue.push_back(std::move(item));
        }
        while (m_Queue.size() > kSyslogMaxQueued || m_QueuedBytes > kSyslogMaxQueuedBytes) {
            m_QueuedBytes -= std::size_t(m_Queue.front().text.size());
            m_Queue.pop_front();
            ++m_Dropped;
        }
        post = !m_DrainPosted;
        m_DrainPosted = true;
    }
    if (post)
        QMetaObject::invokeMethod(this, &TSyslogSocketThread::Drain, Qt::QueuedConnection);
    return true;
}

void TSyslogSocketThread::PushDatagram(std::uint32_t address, QByteArray text)
{
    std::deque<TSyslogDatagram> items;
    items.push_back(TSyslogDatagram{address, std::move(text)});
    Enqueue(items);
}

std::size_t TSyslogSocketThread::Pending() const
{
    std::lock_guard lock(m_QueueLock);
    return m_Queue.size();
}

std::uint64_t TSyslogSocketThread::Dropped() const
{
    std::lock_guard lock(m_QueueLock);
    return m_Dropped;
}

void TSyslogSocketThread::Drain()
{
    {
        std::lock_guard lock(m_QueueLock);
        m_DrainPosted = false;
    }
    // Inside a delivery's nested event loop: the running drain goes on
    // once that delivery returns.
    if (m_Delivering)
        return;
    struct TGuard {
        bool& flag;
        explicit TGuard(bool& f)
            : flag(f)
        {
            flag = true;
        }
        ~TGuard() { flag = false; }
        TGuard(const TGuard&) = delete;
        TGuard& operator=(const TGuard&) = delete;
    } guard(m_Delivering);

    QElapsedTimer slice;
    slice.start();
    for (int delivered = 1;; ++delivered) {
        TSyslogDatagram item;
        bool empty = false;
        {
            std::lock_guard lock(m_QueueLock);
            empty = m_Stopped || m_Queue.empty();
            if (!empty) {
                item = std::move(m_Queue.front());
                m_Queue.pop_front();
                m_QueuedBytes -= std::size_t(item.text.size());
            }
        }
        if (empty)
            break;
        DeliverDatagram(item);
        // Let the GUI breathe during a long burst.
        if (delivered % 16 == 0 && slice.elapsed() >= DrainSliceMs)
            break;
    }
    bool post = false;
    std::uint64_t dropped = 0;
    {
        std::lock_guard lock(m_QueueLock);
        post = !m_Stopped && !m_Queue.empty() && !m_DrainPosted;
        if (post)
            m_DrainPosted = true;
        dropped = m_Dropped;
    }
    if (dropped != m_DroppedShown) {
        m_DroppedShown = dropped;
        emit QueueDropped(dropped);
    }
    if (post)
        QMetaObject::invokeMethod(this, &TSyslogSocketThread::Drain, Qt::QueuedConnection);
}

void TSyslogSocketThread::DeliverDatagram(TSyslogDatagram& item)
{
    Syslog::TSyslogServer* server = m_Provider ? m_Provider() : nullptr;
    if (!server)
        return;
    // A fault in one delivery must not stall the queue or unwind through
    // the event loop.
    try {
        server->AddMessage(item.address, item.text.constData());
    } catch (const std::exception& e) {
        qWarning("syslog delivery failed: %s", e.what());
    } catch (...) {
        qWarning("syslog delivery failed");
    }
}
