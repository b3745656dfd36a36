#pragma once

// Receive queue of the protocol socket. The socket's read handler only
// appends datagrams here; delivery to the protocol library runs later on
// the GUI thread, in arrival order and strictly one item at a time: a
// delivery that opens a modal box (a nested event loop) never starts a
// second delivery, and items that arrive meanwhile wait in the queue.

#include <QObject>

#include <cstdint>
#include <deque>
#include <functional>
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

    explicit TIntpSocketThread(TSink sink, QObject* parent = nullptr);
    ~TIntpSocketThread() override;

    // Appends an item; delivery follows from the event loop.
    void PushDatagram(std::uint32_t address, std::vector<std::uint8_t> data);
    // Ends delivery for good: queued items are dropped, later pushes ignored.
    void Terminate();

    bool IsTerminated() const { return m_Terminated; }
    bool IsDelivering() const { return m_Delivering; }
    std::size_t Pending() const { return m_Queue.size(); }

private:
    void Drain();
    void PostDrain();

    TSink m_Sink;
    std::deque<TIntpDatagram> m_Queue;
    bool m_Delivering = false;
    bool m_DrainPosted = false;
    bool m_Terminated = false;
};

// Size rule of the protocol socket's read handler: empty datagrams and
// those of 65535 bytes or more are dropped.
constexpr bool AcceptIntpDatagramSize(std::size_t length) { return length > 0 && length < 65535; }
