#pragma once

// Receive queue of the protocol socket. The socket's listener thread only
// appends datagrams here; delivery to the protocol library runs on the GUI
// thread in slices of a few milliseconds, in arrival order and one item at a
// time (see TReceiveQueue). The queue is bounded far above any burst of
// replies: the oldest are dropped and counted, and the window is told.

#include "intp/ReceiveQueue.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <vector>

struct TIntpDatagram {
    std::uint32_t address = 0;  // sender, host order
    std::vector<std::uint8_t> data;

    std::size_t Bytes() const { return data.size(); }
};

class TIntpSocketThread : public QObject {
    Q_OBJECT
public:
    // Called once per delivered datagram (address in host order).
    using TSink = std::function<void(std::uint32_t address, std::uint32_t length, std::uint8_t* data)>;

    static constexpr std::size_t MaxQueued = 1'000'000;
    static constexpr std::size_t MaxQueuedBytes = std::size_t(256) << 20;
    // A delivery slice hands over this long before the event loop runs again.
    static constexpr int SliceMs = 5;

    explicit TIntpSocketThread(TSink sink, QObject* parent = nullptr);
    ~TIntpSocketThread() override;

    // Appends items (any thread); delivery follows from the GUI event loop.
    void PushDatagram(std::uint32_t address, std::vector<std::uint8_t> data);
    void PushDatagrams(std::vector<TIntpDatagram>& items) { m_Queue.Push(items); }
    // GUI thread, woken by the socket: appends without posting a drain when
    // DeliverWaiting will deliver them right after (little waits and no
    // delivery runs: the reply of a stop-and-wait transfer).
    void PushDatagramsToDeliver(std::vector<TIntpDatagram>& items);
    // GUI thread: delivers what waits at once, without a round through the
    // event loop, when little waits and no delivery runs; a burst keeps to
    // its posted slices.
    void DeliverWaiting();
    static constexpr std::size_t FewWaiting = 64;
    // Ends delivery for good: queued items are dropped, later pushes ignored.
    void Terminate() { m_Queue.End(); }

    bool IsTerminated() const { return m_Queue.IsEnded(); }
    bool IsDelivering() const { return m_Queue.IsDelivering(); }
    std::size_t Pending() const { return m_Queue.Pending(); }
    // Items dropped at the queue's bound, and items handed to the sink.
    std::uint64_t Dropped() const { return m_Queue.Dropped(); }
    std::uint64_t Delivered() const { return m_Queue.Delivered(); }

signals:
    // A delivery slice left nothing waiting (GUI thread).
    void Drained();
    // The queue dropped datagrams at its bound: the total so far (GUI thread).
    void QueueDropped(quint64 total);

private:
    void Drain();

    TSink m_Sink;
    TReceiveQueue<TIntpDatagram> m_Queue;
};

// Size rule of the protocol socket's read handler: empty datagrams and
// those of 65535 bytes or more are dropped.
constexpr bool AcceptIntpDatagramSize(std::size_t length) { return length > 0 && length < 65535; }
