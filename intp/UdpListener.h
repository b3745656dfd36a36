// A thread that reads a UDP socket as fast as datagrams arrive, in batches
// (recvmmsg), and hands each batch to a callback on that thread. Used where
// a burst must not wait for a busy GUI thread: the kernel's queue is emptied
// continuously and the datagrams wait in the caller's queue instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <thread>

class TUdpListener {
public:
    // One datagram of a batch: sender (host order, 0 if not IPv4) and bytes,
    // valid during the call only.
    struct TDatagram {
        std::uint32_t address = 0;
        std::string_view bytes;
    };
    // Called on the listener thread with count datagrams; false stops it.
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

private:
    void Run(int fd, std::size_t maxDatagram, TOnBatch onBatch);

    int m_WakeFd = -1;
    std::thread m_Thread;
};
