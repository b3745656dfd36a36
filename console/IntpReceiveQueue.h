#pragma once

// Receive queue of the protocol socket. The socket's listener thread only
// appends datagrams here; delivery to the protocol library runs on the GUI
// thread, in arrival order and strictly one item at a time: a delivery that
// opens a modal box (a nested event loop) never starts a second delivery,
// and items that arrive meanwhile wait in the queue. Delivery runs in slices
// of a few milliseconds, so a flood never freezes the window; the queue is
// bounded far above any burst of replies (oldest dropped and counted).

#include <QObject>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

struct TIntpDatagram {
    std::uint32_t address = 0;  // sender, host order
    std::vector<std::uint8_t> data;
};

class TIntpSocketThread : public QObject {
    Q_OBJECT
public:
    // Called once per delivered datagram (address in host order).
    using TSink = std::function<void(std::uint32_t address, std::uint32_t length, std::uint8_t* data)>;

    static constexpr std::size_t MaxQueued = 1'000'000;
    static constexpr std::size_t MaxQueuedBytes = std::size_t(256) << 20;
    // A delivery slice hands over this long before the event loop runs again.
    static constexpr int SliceMs = 10;

    explicit TIntpSocketThread(TSink sink, QObject* parent = nullptr);
    ~TIntpSocketThread() override;

    // Appends items (any thread); delivery follows from the GUI event loop.
    void PushDatagram(std::uint32_t address, std::vector<std::uint8_t> data);
    void PushDatagrams(std::vector<TIntpDatagram>& items);
    // Ends delivery for good: queued items are dropped, later pushes ignored.
    void Terminate();

    bool IsTerminated() const;
    bool IsDelivering() const { return m_Delivering; }
    std::size_t Pending() const;
    // Items dropped at the queue's bound, and items handed to the sink.
    std::uint64_t Dropped() const;
    std::uint64_t Delivered() const { return m_Delivered; }

private:
    void Drain();
    // Posts a drain unless one is pending; call with m_Lock held.
    void PostDrainLocked();

    TSink m_Sink;
    mutable std::mutex m_Lock;  // guards what the listener thread touches:
    std::deque<TIntpDatagram> m_Queue;
    std::size_t m_QueuedBytes = 0;
    std::uint64_t m_Dropped = 0;
    bool m_DrainPosted = false;
    bool m_Terminated = false;
    bool m_Delivering = false;         // GUI thread only
    std::atomic<std::uint64_t> m_Delivered{0};
};

// Size rule of the protocol socket's read handler: empty datagrams and
// those of 65535 bytes or more are dropped.
constexpr bool AcceptIntpDatagramSize(std::size_t length) { return length > 0 && length < 65535; }
