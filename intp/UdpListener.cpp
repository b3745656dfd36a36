#include "intp/UdpListener.h"

#include <arpa/inet.h>
#include <linux/sock_diag.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr unsigned Batch = TUdpListener::BatchSize;

// The kernel's count of datagrams dropped on the socket (the counter that
// SO_RXQ_OVFL would carry with every datagram); known: the count before.
std::uint32_t KernelDropped(int fd, std::uint32_t known)
{
    std::uint32_t memory[SK_MEMINFO_VARS] = {};
    socklen_t length = sizeof memory;
    if (::getsockopt(fd, SOL_SOCKET, SO_MEMINFO, memory, &length) == 0 &&
        length >= (SK_MEMINFO_DROPS + 1) * sizeof memory[0])
        return memory[SK_MEMINFO_DROPS];
    return known;
}

} // namespace

bool TUdpListener::Start(int fd, std::size_t maxDatagram, TOnBatch onBatch)
{
    Stop();
    m_WakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_WakeFd < 0)
        return false;
    {
        std::lock_guard lock(m_Reading);
        m_Fd = fd;
        // One byte more than kept, so a longer datagram is seen cut (MSG_TRUNC).
        m_Slot = maxDatagram + 1;
        m_Buffers = std::make_unique_for_overwrite<char[]>(Batch * m_Slot);
        m_Senders.assign(Batch, sockaddr_in{});
        m_Vectors.assign(Batch, iovec{});
        m_Messages.assign(Batch, mmsghdr{});
        m_Batch.assign(Batch, TDatagram{});
        m_Filled = 0;
        m_FullReads = 0;
        m_KernelDropped = 0;
        for (unsigned i = 0; i < Batch; ++i) {
            m_Vectors[i] = {m_Buffers.get() + i * m_Slot, m_Slot};
            m_Messages[i].msg_hdr.msg_name = &m_Senders[i];
            m_Messages[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
            m_Messages[i].msg_hdr.msg_iov = &m_Vectors[i];
            m_Messages[i].msg_hdr.msg_iovlen = 1;
        }
    }
    try {
        m_Thread = std::thread(&TUdpListener::Run, this, std::move(onBatch));
    } catch (...) {
        ::close(m_WakeFd);
        m_WakeFd = -1;
        return false;
    }
    return true;
}

void TUdpListener::Stop()
{
    if (m_Thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t written = ::write(m_WakeFd, &one, sizeof one);
        m_Thread.join();
    }
    if (m_WakeFd >= 0)
        ::close(m_WakeFd);
    m_WakeFd = -1;
    std::lock_guard lock(m_Reading);
    m_Fd = -1;
}

std::size_t TUdpListener::ReadBatch(const TOnBatch& onBatch, bool& stop)
{
    if (m_Fd < 0)
        return 0;
    // The headers stay set up; only the lengths the last call wrote are set
    // again.
    for (std::size_t i = 0; i < m_Filled; ++i)
        m_Messages[i].msg_hdr.msg_namelen = sizeof(sockaddr_in);
    m_Filled = 0;
    const int count = ::recvmmsg(m_Fd, m_Messages.data(), Batch, MSG_DONTWAIT, nullptr);
    if (count <= 0)
        return 0; // drained, or an error report rather than data
    m_Filled = std::size_t(count);
    if (m_CountDrops && (unsigned(count) < Batch || ++m_FullReads % 16 == 0))
        m_KernelDropped = KernelDropped(m_Fd, m_KernelDropped);
    for (int i = 0; i < count; ++i) {
        msghdr& header = m_Messages[i].msg_hdr;
        std::uint32_t address = 0;
        if (header.msg_namelen >= sizeof(sockaddr_in) && m_Senders[i].sin_family == AF_INET)
            address = ntohl(m_Senders[i].sin_addr.s_addr);
        m_Batch[i] = {address,
                      std::string_view(static_cast<const char*>(m_Vectors[i].iov_base),
                                       std::min<std::size_t>(m_Messages[i].msg_len, m_Slot)),
                      m_KernelDropped};
    }
    stop = !onBatch(m_Batch.data(), std::size_t(count));
    return std::size_t(count);
}

std::size_t TUdpListener::ReadNow(const TOnBatch& onBatch)
{
    std::lock_guard lock(m_Reading);
    bool stop = false;
    const std::size_t count = ReadBatch(onBatch, stop);
    // A full batch leaves a backlog: that is the listener's to read.
    if (m_Deferral.count() > 0)
        m_OtherRead = count < Batch ? Clock::now().time_since_epoch().count() : 0;
    return count;
}

bool TUdpListener::WaitDeferral()
{
    pollfd wake{m_WakeFd, POLLIN, 0};
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_Deferral);
    const timespec wait{time_t(seconds.count()),
                        long(std::chrono::duration_cast<std::chrono::nanoseconds>(m_Deferral - seconds).count())};
    return ::ppoll(&wake, 1, &wait, nullptr) > 0;
}

bool TUdpListener::OtherReadLately() const
{
    return m_Deferral.count() > 0 && Clock::now().time_since_epoch() - Clock::duration(m_OtherRead) < m_Deferral;
}

void TUdpListener::Run(TOnBatch onBatch)
{
    pollfd waits[2] = {{m_Fd, POLLIN, 0}, {m_WakeFd, POLLIN, 0}};
    for (;;) {
        // The other reader takes what comes while it reads; look again
        // after the deferral, unwoken by the datagrams it takes.
        if (OtherReadLately()) {
            if (WaitDeferral())
                return;
            continue;
        }
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (waits[1].revents)
            return;
        if (OtherReadLately())
            continue;
        // Empty the socket before waiting again.
        for (;;) {
            bool stop = false;
            std::size_t count = 0;
            {
                std::lock_guard lock(m_Reading);
                count = ReadBatch(onBatch, stop);
            }
            if (stop)
                return;
            if (count < Batch)
                break;
        }
    }
}
