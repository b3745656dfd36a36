#include "syslog/SyslogSocketThread.h"

#include <QElapsedTimer>
#include <QMetaObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <vector>

#include "pages/kit/Module.h"
#include "pages/kit/SyslogServer.h"

namespace {

// Largest UDP payload over IPv4.
constexpr std::size_t MaxDatagram = 65507;
// Datagrams taken from the socket per system call.
constexpr unsigned Batch = 16;
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
    int size = kSyslogReceiveBufferSize;
    if (::setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    socklen_t length = sizeof local;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length);

    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0) {
        m_Error = SystemError("eventfd", errno);
        ::close(fd);
        return false;
    }
    m_Fd = fd;
    m_WakeFd = wake;
    m_LocalPort = ntohs(local.sin_port);
    m_Listener = std::thread(&TSyslogSocketThread::Listen, this);
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
    if (m_Listener.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(m_WakeFd, &one, sizeof one);
        m_Listener.join();
    }
    if (m_Fd >= 0)
        ::close(m_Fd);
    if (m_WakeFd >= 0)
        ::close(m_WakeFd);
    m_Fd = m_WakeFd = -1;
    m_LocalPort = 0;
}

void TSyslogSocketThread::Stop()
{
    {
        std::lock_guard lock(m_QueueLock);
        m_Stopped = true;
        m_Queue.clear();
    }
    Close();
}

void TSyslogSocketThread::Listen()
{
    std::vector<char> buffers(Batch * (MaxDatagram + 1));
    sockaddr_in senders[Batch];
    iovec vectors[Batch];
    mmsghdr messages[Batch];
    pollfd waits[2] = {{m_Fd, POLLIN, 0}, {m_WakeFd, POLLIN, 0}};
    for (;;) {
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (waits[1].revents)
            break;
        std::memset(messages, 0, sizeof messages);
        for (unsigned i = 0; i < Batch; ++i) {
            vectors[i] = {buffers.data() + i * (MaxDatagram + 1), MaxDatagram + 1};
            messages[i].msg_hdr.msg_name = &senders[i];
            messages[i].msg_hdr.msg_namelen = sizeof senders[i];
            messages[i].msg_hdr.msg_iov = &vectors[i];
            messages[i].msg_hdr.msg_iovlen = 1;
        }
        const int count = ::recvmmsg(m_Fd, messages, Batch, MSG_DONTWAIT, nullptr);
        if (count <= 0)
            continue; // nothing after all, or an error report rather than data
        std::deque<TSyslogDatagram> items;
        for (int i = 0; i < count; ++i) {
            std::uint32_t address = 0;
            if (messages[i].msg_hdr.msg_namelen >= sizeof(sockaddr_in) && senders[i].sin_family == AF_INET)
                address = ntohl(senders[i].sin_addr.s_addr);
            const std::size_t length = std::min<std::size_t>(messages[i].msg_len, MaxDatagram);
            // QByteArray keeps a NUL after the bytes; an empty datagram is kept too.
            items.push_back({address, QByteArray(static_cast<const char*>(vectors[i].iov_base), qsizetype(length))});
        }
        if (!Enqueue(items))
            break;
    }
}

bool TSyslogSocketThread::Enqueue(std::deque<TSyslogDatagram>& items)
{
    bool post = false;
    {
        std::lock_guard lock(m_QueueLock);
        if (m_Stopped)
            return false;
        for (auto& item : items)
            m_Queue.push_back(std::move(item));
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
        {
            std::lock_guard lock(m_QueueLock);
            if (m_Stopped || m_Queue.empty())
                return;
            item = std::move(m_Queue.front());
            m_Queue.pop_front();
        }
        DeliverDatagram(item);
        // Let the GUI breathe during a long burst.
        if (delivered % 64 == 0 && slice.elapsed() >= DrainSliceMs)
            break;
    }
    bool post = false;
    {
        std::lock_guard lock(m_QueueLock);
        post = !m_Stopped && !m_Queue.empty() && !m_DrainPosted;
        if (post)
            m_DrainPosted = true;
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
