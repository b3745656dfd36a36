#pragma once

// The protocol's UDP endpoint: an ephemeral local port with broadcast
// enabled. A listener thread reads every received datagram into the receive
// queue as it arrives, so a flood is neither lost in the kernel nor read on
// the GUI thread, and a sender thread sends what the GUI thread queues;
// Close stops and joins both. The GUI thread watches the socket too: a lone
// reply it reads itself is handled at once, and a lone request is sent at
// once, so a stop-and-wait transfer costs no hand-off between threads; the
// listener leaves a new datagram to the GUI thread for a moment and steps in
// only when the GUI thread is busy.

#include <QHostAddress>
#include <QObject>

#include "intp/UdpListener.h"
#include "intp/UdpSender.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

class QSocketNotifier;
class TIntpSocketThread;

constexpr std::uint16_t kIntpPort = 1638;
// Asked of the kernel; without CAP_NET_ADMIN the system's limit applies.
constexpr int kIntpReceiveBufferSize = 32 * 1024 * 1024;
// How long the listener leaves a new datagram to the GUI thread.
constexpr std::chrono::microseconds kIntpListenerDeferral{500};

class TIntpSock : public QObject {
    Q_OBJECT
public:
    explicit TIntpSock(TIntpSocketThread* queue, QObject* parent = nullptr);
    ~TIntpSock() override;

    // Binds the local endpoint; tests bind to 127.0.0.1.
    bool Open(const QHostAddress& address = QHostAddress::AnyIPv4, std::uint16_t port = 0);
    void Close();
    bool IsOpen() const;
    std::uint16_t LocalPort() const;

    // Destination port of every datagram (tests point it at a fake switch).
    void SetRemotePort(std::uint16_t port) { m_RemotePort = port; }
    std::uint16_t RemotePort() const { return m_RemotePort; }

    // Sends one datagram, at once when it is a lone one, else through the
    // sender thread (in order either way). Nothing goes to address 0;
    // 255.255.255.255 goes out once per up, broadcast-capable, non-loopback
    // IPv4 interface. Never throws; answers whether it was queued (a failed
    // send shows as a missing reply).
    bool Send(std::uint32_t address, const std::uint8_t* data, std::size_t length);

    // Replaces the sending of limited broadcasts (tests; runs on the sender
    // thread).
    using TBroadcastHook = std::function<bool(const std::uint8_t* data, std::size_t length)>;
    void SetBroadcastHook(TBroadcastHook hook) { m_BroadcastHook = std::move(hook); }

private:
    // Sender thread.
    void SendNow(std::uint32_t address, const std::uint8_t* data, std::size_t length);
    bool SendLimitedBroadcast(const std::uint8_t* data, std::size_t length);
    // Queues a batch of datagrams (listener thread, or the GUI thread when
    // the socket woke it: it delivers them itself right after).
    bool OnBatch(const TUdpListener::TDatagram* datagrams, std::size_t count, bool onGuiThread);
    void EventOnReadable();

    int m_Fd = -1;
    std::uint16_t m_LocalPort = 0;
    TUdpListener m_Listener;
    QSocketNotifier* m_Readable = nullptr;
    TUdpSender m_Sender;
    TIntpSocketThread* m_Queue;
    std::atomic<std::uint16_t> m_RemotePort{kIntpPort};
    TBroadcastHook m_BroadcastHook;
};
