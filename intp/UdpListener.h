// A thread that reads a UDP socket as fast as datagrams arrive, in batches
// (recvmmsg), and hands each batch to a callback on that thread. Used where
// a burst must not wait for a busy GUI thread: the kernel's queue is emptied
// continuously and the datagrams wait in the caller's queue instead.
// Another thread may read a batch itself (ReadNow) when it is woken by the
// socket anyway: reads never overlap, so batches keep their arrival order.
// With a deferral set, the listener leaves the socket to that other reader
// while it emptied the socket within the deferral, and reads itself once it
// did not: a lone reply is taken by one thread, not raced for by two, a
// backlog is read at once, and a busy other reader is relieved within about
// the deferral.
#pragma once

#include <sys/socket.h>
#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

class TUdpListener {
public:
    // One datagram of a batch: sender (host order, 0 if not IPv4) and bytes,
    // valid during the call only.
    struct TDatagram {
        std::uint32_t address = 0;
        std::string_view bytes;
        // Datagrams the kernel dropped on this socket so far (its buffer was
        // full), as last read with drop counting on; else 0.
        std::uint32_t kernelDropped = 0;
    };
    // Datagrams taken from the socket per read at most: a shorter read
    // emptied the socket.
    static constexpr std::size_t BatchSize = 64;
    // Called with count datagrams; false stops the listener thread.
    using TOnBatch = std::function<bool(const TDatagram* datagrams, std::size_t count)>;

    TUdpListener() = default;
    TUdpListener(const TUdpListener&) = delete;
    TUdpListener& operator=(const TUdpListener&) = delete;
    ~TUdpListener() { Stop(); }

    // Starts reading fd (which stays the caller's); false when the thread
    // can't be started. maxDatagram bytes are kept of each datagram.
    bool Start(int fd, std::size_t maxDatagram, TOnBatch onBatch);
    // Stops and joins the thread; fd may be closed afterwards.
    void Stop();
    bool IsRunning() const { return m_Thread.joinable(); }
    // Before Start: how long a new datagram is left to ReadNow's thread
    // (0: read at once, the default).
    void SetDeferral(std::chrono::microseconds deferral) { m_Deferral = deferral; }
    // Before Start: read the kernel's drop count of the socket after each
    // read that empties it, and every 16th full read while a flood lasts.
    void SetCountDrops(bool on) { m_CountDrops = on; }

    // Reads one batch on the calling thread and hands it to onBatch there,
    // after the listener's batch if it is reading at this moment. Answers
    // the count read (0: the socket was empty).
    std::size_t ReadNow(const TOnBatch& onBatch);

private:
    void Run(TOnBatch onBatch);
    // One recvmmsg into the buffers, the batch handed to onBatch (under
    // m_Reading); count read, 0 when drained; stop is set when onBatch
    // answered false.
    std::size_t ReadBatch(const TOnBatch& onBatch, bool& stop);

    // True when stop was asked within the deferral.
    bool WaitDeferral();
    bool OtherReadLately() const;

    int m_Fd = -1;
    int m_WakeFd = -1;
    using Clock = std::chrono::steady_clock;
    std::chrono::microseconds m_Deferral{0};
    std::atomic<Clock::rep> m_OtherRead{0};  // when ReadNow last emptied the socket
    std::thread m_Thread;
    std::mutex m_Reading;  // one reader at a time; guards the buffers
    std::size_t m_Slot = 0;
    std::unique_ptr<char[]> m_Buffers; // left unwritten: pages are touched as datagrams arrive
    std::vector<sockaddr_in> m_Senders;
    std::vector<iovec> m_Vectors;
    std::vector<mmsghdr> m_Messages;
    std::vector<TDatagram> m_Batch;
    std::size_t m_Filled = 0;  // headers the last recvmmsg wrote
    bool m_CountDrops = false;
    std::uint32_t m_FullReads = 0;
    std::uint32_t m_KernelDropped = 0;
};
