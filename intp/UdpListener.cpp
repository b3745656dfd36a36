#include "intp/UdpListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// Datagrams taken from the socket per system call.
constexpr unsigned Batch = 64;

} // namespace

bool TUdpListener::Start(int fd, std::size_t maxDatagram, TOnBatch onBatch)
{
    Stop();
    m_WakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_WakeFd < 0)
        return false;
    try {
        m_Thread = std::thread(&TUdpListener::Run, this, fd, maxDatagram, std::move(onBatch));
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
}

void TUdpListener::Run(int fd, std::size_t maxDatagram, TOnBatch onBatch)
{
    // One byte more than kept, so a longer datagram is seen cut (MSG_TRUNC).
    const std::size_t slot = maxDatagram + 1;
    std::vector<char> buffers(Batch * slot);
    std::vector<sockaddr_in> senders(Batch);
    std::vector<iovec> vectors(Batch);
    std::vector<mmsghdr> messages(Batch);
    std::vector<TDatagram> batch(Batch);
    pollfd waits[2] = {{fd, POLLIN, 0}, {m_WakeFd, POLLIN, 0}};
    for (;;) {
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (waits[1].revents)
            return;
        // Empty the socket before waiting again.
        for (;;) {
            std::memset(messages.data(), 0, messages.size() * sizeof(mmsghdr));
            for (unsigned i = 0; i < Batch; ++i) {
                vectors[i] = {buffers.data() + i * slot, slot};
                messages[i].msg_hdr.msg_name = &senders[i];
                messages[i].msg_hdr.msg_namelen = sizeof senders[i];
                messages[i].msg_hdr.msg_iov = &vectors[i];
                messages[i].msg_hdr.msg_iovlen = 1;
            }
            const int count = ::recvmmsg(fd, messages.data(), Batch, MSG_DONTWAIT, nullptr);
            if (count <= 0)
                break; // drained, or an error report rather than data
            for (int i = 0; i < count; ++i) {
                std::uint32_t address = 0;
                if (messages[i].msg_hdr.msg_namelen >= sizeof(sockaddr_in) && senders[i].sin_family == AF_INET)
                    address = ntohl(senders[i].sin_addr.s_addr);
                batch[i] = {address, std::string_view(static_cast<const char*>(vectors[i].iov_base),
                                                      std::min<std::size_t>(messages[i].msg_len, slot))};
            }
            if (!onBatch(batch.data(), std::size_t(count)))
                return;
            if (unsigned(count) < Batch)
                break;
        }
    }
}
