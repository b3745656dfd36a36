#pragma once

// Reception of syslog datagrams. A listener thread only copies every
// datagram of the socket into the queue, so a burst never waits for the GUI;
// delivery to the syslog server runs on the GUI thread in slices, in arrival
// order and one batch at a time (see TReceiveQueue): a delivery that opens a
// modal box never starts a second one, and the socket keeps being read
// meanwhile.

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "intp/ReceiveQueue.h"
#include "intp/UdpListener.h"

namespace Syslog {
class TSyslogServer;
}

constexpr quint16 kSyslogPort = 514;
// Asked of the kernel; without CAP_NET_ADMIN the system's limit applies
// (net.core.rmem_max), at least 4 MiB where it allows that much.
constexpr int kSyslogReceiveBufferSize = 64 * 1024 * 1024;
// The queue holds at most this many datagrams or bytes; past either the
// oldest are dropped and counted. A burst of 200,000 fits many times over.
constexpr std::size_t kSyslogMaxQueued = 2'000'000;
constexpr std::size_t kSyslogMaxQueuedBytes = std::size_t(256) << 20;

// One queued datagram: sender (host order) and its bytes, NUL-terminated,
// at offset in a block that the datagrams of one read share.
struct TSyslogDatagram {
    std::uint32_t address = 0;
    QByteArray block;
    std::uint32_t offset = 0;
    std::uint32_t length = 0;

    const char* Text() const { return block.constData() + offset; }
    std::size_t Bytes() const { return length; }
};

class TSyslogSocketThread : public QObject {
    Q_OBJECT
public:
    // Where deliveries go; asked anew for every batch.
    using TServerProvider = std::function<Syslog::TSyslogServer*()>;

    // Delivers to the page host's syslog server.
    explicit TSyslogSocketThread(QObject* parent = nullptr);
    explicit TSyslogSocketThread(TServerProvider provider, QObject* parent = nullptr);
    // Stops and joins the listener.
    ~TSyslogSocketThread() override;

    // Binds the syslog socket (IPv4, not shared with other programs) and
    // starts listening; false with ErrorString() when the port cannot be bound.
    bool Open(quint16 port = kSyslogPort, const QHostAddress& address = QHostAddress::AnyIPv4);
    QString ErrorString() const { return m_Error; }
    bool IsOpen() const { return m_Fd >= 0; }
    quint16 LocalPort() const { return m_LocalPort; }
    // The kernel's receive buffer of the socket in bytes (0 when closed).
    int ReceiveBufferSize() const;

    // Ends reception and delivery for good (Exit): the listener is stopped
    // and joined, the socket closed, queued items dropped, later pushes ignored.
    void Stop();
    bool IsStopped() const { return m_Queue.IsEnded(); }

    // Appends an item (any thread); delivery follows from the GUI event loop.
    void PushDatagram(std::uint32_t address, QByteArray text);

    std::size_t Pending() const { return m_Queue.Pending(); }
    bool IsDelivering() const { return m_Queue.IsDelivering(); }

signals:
    // The queue dropped datagrams at its bound: the total so far (GUI thread).
    void QueueDropped(quint64 total);
    // The kernel dropped datagrams, its receive buffer full (the listener
    // could not keep up): the total so far (GUI thread).
    void KernelDropped(quint64 total);

private:
    void Close();
    // Listener thread: queues a batch of datagrams; false once stopped.
    bool OnBatch(const TUdpListener::TDatagram* datagrams, std::size_t count);
    void Drain();
    void DeliverBatch(TSyslogDatagram* items, std::size_t count);

    TServerProvider m_Provider;
    int m_Fd = -1;
    quint16 m_LocalPort = 0;
    TUdpListener m_Listener;
    QString m_Error;
    TReceiveQueue<TSyslogDatagram> m_Queue;
    std::vector<TSyslogDatagram> m_Batch;  // listener thread
    std::atomic<std::uint32_t> m_KernelDropped{0};  // as the socket last told
    std::uint32_t m_KernelDroppedTold = 0;          // GUI thread
};
