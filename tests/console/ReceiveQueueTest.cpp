#include "FakePages.h"

#include "console/IntpSock.h"
#include "console/IntpReceiveQueue.h"
#include "intp/Device.h"
#include "intp/Session.h"
#include "tests/common/FakeHost.h"

#include <QNetworkDatagram>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(std::uint8_t tag, std::size_t size = 4) { return std::vector<std::uint8_t>(size, tag); }

class TRecordingDevices : public Intp::TDeviceCallback {
public:
    void DeviceAdded(Intp::TDevice* device) override { added.push_back(device->GetMac().ToString()); }
    void DeviceRemoved(Intp::TDevice*) override {}
    void DeviceFlagsChanged(Intp::TDevice*, std::uint32_t) override {}
    void DeviceIpChanged(Intp::TDevice* device) override { ips.push_back(device->GetIp()); }
    void DeviceTypeChanged(Intp::TDevice*) override {}
    void DeviceNameChanged(Intp::TDevice*) override {}

    std::vector<std::string> added;
    std::vector<std::uint32_t> ips;
};

}  // namespace

TEST(ReceiveQueue, DeliversInArrivalOrderFromTheEventLoop)
{
    std::vector<int> delivered;
    TIntpSocketThread queue([&](std::uint32_t address, std::uint32_t length, std::uint8_t* data) {
        EXPECT_EQ(length, 4u);
        delivered.push_back(int(address) * 100 + data[0]);
    });
    for (int i = 1; i <= 5; ++i)
        queue.PushDatagram(std::uint32_t(i), Bytes(std::uint8_t(i)));
    // Nothing is delivered from inside the push.
    EXPECT_TRUE(delivered.empty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 5; }, 5000));
    EXPECT_EQ(delivered, (std::vector<int>{101, 202, 303, 404, 505}));
    EXPECT_EQ(queue.Pending(), 0u);
}

TEST(ReceiveQueue, ModalLoopInADeliveryNeverStartsASecondDelivery)
{
    std::vector<int> delivered;
    int depth = 0;
    int maxDepth = 0;
    TIntpSocketThread* queuePtr = nullptr;
    TIntpSocketThread queue([&](std::uint32_t, std::uint32_t, std::uint8_t* data) {
        maxDepth = std::max(maxDepth, ++depth);
        delivered.push_back(data[0]);
        if (data[0] == 1) {
            // Two datagrams arrive while the first delivery shows a box.
            queuePtr->PushDatagram(0, Bytes(2));
            queuePtr->PushDatagram(0, Bytes(3));
            RunNestedLoop(5);
            EXPECT_EQ(delivered, (std::vector<int>{1}));
            EXPECT_EQ(queuePtr->Pending(), 2u);
        }
        --depth;
    });
    queuePtr = &queue;
    queue.PushDatagram(0, Bytes(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 3; }, 5000));
    EXPECT_EQ(delivered, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(maxDepth, 1);
}

TEST(ReceiveQueue, FailedDeliveryDoesNotStallTheQueue)
{
    std::vector<int> delivered;
    TIntpSocketThread queue([&](std::uint32_t, std::uint32_t, std::uint8_t* data) {
        delivered.push_back(data[0]);
        if (data[0] == 1)
            throw std::runtime_error("bad");
    });
    queue.PushDatagram(0, Bytes(1));
    queue.PushDatagram(0, Bytes(2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 2; }, 5000));
    EXPECT_FALSE(queue.IsDelivering());
}

TEST(ReceiveQueue, TerminateDropsQueuedDatagramsAndLaterOnes)
{
    int delivered = 0;
    {
        TIntpSocketThread queue([&](std::uint32_t, std::uint32_t, std::uint8_t*) { ++delivered; });
        queue.PushDatagram(0, Bytes(1));
        queue.PushDatagram(0, Bytes(2));
        queue.Terminate();
        queue.PushDatagram(0, Bytes(3));
        EXPECT_EQ(queue.Pending(), 0u);
    }
    // The posted delivery of a destroyed queue is dropped with it.
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, 0);
}

TEST(ReceiveQueue, SizeRuleDropsEmptyAndOversizedDatagrams)
{
    EXPECT_FALSE(AcceptIntpDatagramSize(0));
    EXPECT_TRUE(AcceptIntpDatagramSize(1));
    EXPECT_TRUE(AcceptIntpDatagramSize(65534));
    EXPECT_FALSE(AcceptIntpDatagramSize(65535));
    EXPECT_FALSE(AcceptIntpDatagramSize(70000));
}

TEST(ReceiveQueue, LoopbackDatagramsReachTheQueueWithTheSenderInHostOrder)
{
    std::vector<std::pair<std::uint32_t, std::size_t>> delivered;
    TIntpSocketThread queue([&](std::uint32_t address, std::uint32_t length, std::uint8_t*) {
        delivered.emplace_back(address, length);
    });
    TIntpSock sock(&queue);
    ASSERT_TRUE(sock.Open(QHostAddress(QHostAddress::LocalHost), 0));
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress(QHostAddress::LocalHost), 0));
    const QByteArray empty;
    const QByteArray frame(100, '\x11');
    const QByteArray large(60000, '\x22');
    peer.writeDatagram(empty, QHostAddress(QHostAddress::LocalHost), sock.LocalPort());
    peer.writeDatagram(frame, QHostAddress(QHostAddress::LocalHost), sock.LocalPort());
    peer.writeDatagram(large, QHostAddress(QHostAddress::LocalHost), sock.LocalPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 2; }, 5000));
    EXPECT_EQ(delivered[0], std::make_pair(std::uint32_t(0x7F000001), std::size_t(100)));
    EXPECT_EQ(delivered[1].second, 60000u);
}

TEST(ReceiveQueue, LoopbackDatagramReachesTheDispatcher)
{
    TRecordingDevices devices;
    Intp::SetDeviceCallback(&devices);
    TIntpSocketThread queue([](std::uint32_t address, std::uint32_t length, std::uint8_t* data) {
        Intp::DispatchPacket(address, length, data);
    });
    TIntpSock sock(&queue);
    ASSERT_TRUE(sock.Open(QHostAddress(QHostAddress::LocalHost), 0));
    QUdpSocket peer;
    // A settings reply from 02:00:00:00:00:2A with no request waiting.
    const auto frame =
        IntpTest::TFakeHost::Frame(Intp::ccBasicsSettingsGet, Intp::TMacAddr(2, 0, 0, 0, 0, 0x2A), 0, {0, 0, 0, 0});
    peer.writeDatagram(reinterpret_cast<const char*>(frame.data()), qint64(frame.size()),
                       QHostAddress(QHostAddress::LocalHost), sock.LocalPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !devices.ips.empty(); }, 5000));
    EXPECT_EQ(devices.added, (std::vector<std::string>{"02:00:00:00:00:2A"}));
    EXPECT_EQ(devices.ips.front(), 0x7F000001u);
    Intp::DeleteAllDevices();
    Intp::SetDeviceCallback(nullptr);
}

// A request that takes any frame of one code and keeps its payload size.
class TLengthProbe : public Intp::TSession {
public:
    bool Request(Intp::TDevice*) override { return true; }
    int OnReceive(Intp::TDevice*, const Intp::THeader& header, Intp::TPayloadReader payload) override
    {
        if (header.code != 0x0104)
            return Intp::rrNotMine;
        received = payload.Size();
        return Intp::rrFinished;
    }
    const char* GetName() const override { return "Probe"; }
    static inline std::size_t received = 0;
};

TEST(ReceiveQueue, TheLargestDatagramReachesTheDispatcherWhole)
{
    // 65,534 bytes is more than UDP over IPv4 carries, so it is queued by hand
    // the way the socket's read handler queues what it accepts.
    ASSERT_TRUE(AcceptIntpDatagramSize(65534));
    TRecordingDevices devices;
    Intp::SetDeviceCallback(&devices);
    Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(0x02, 0, 0, 0, 0, 0x2B), true);
    ASSERT_TRUE((new TLengthProbe)->Start(device));
    std::size_t delivered = 0;
    TIntpSocketThread queue([&](std::uint32_t address, std::uint32_t length, std::uint8_t* data) {
        delivered = length;
        Intp::DispatchPacket(address, length, data);
    });
    queue.PushDatagram(0x7F000001, IntpTest::TFakeHost::Frame(Intp::ccBasicsSettingsGet, device->GetMac(), 0,
                                                              std::vector<std::uint8_t>(65534 - 12, 0x5A)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered != 0; }, 5000));
    EXPECT_EQ(delivered, 65534u);
    EXPECT_EQ(TLengthProbe::received, 65534u - 12u);
    EXPECT_EQ(Intp::GetSessionCount(), 0u);
    Intp::DeleteAllSessions();
    Intp::DeleteAllDevices();
    Intp::SetDeviceCallback(nullptr);
}

TEST(ReceiveQueue, ClosingWithDatagramsStillQueuedIsClean)
{
    int delivered = 0;
    auto* queue = new TIntpSocketThread([&](std::uint32_t, std::uint32_t, std::uint8_t*) { ++delivered; });
    auto* sock = new TIntpSock(queue);
    ASSERT_TRUE(sock->Open(QHostAddress(QHostAddress::LocalHost), 0));
    QUdpSocket peer;
    for (int i = 0; i < 50; ++i)
        peer.writeDatagram(QByteArray(20, char(i)), QHostAddress(QHostAddress::LocalHost), sock->LocalPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return queue->Pending() > 0 || delivered > 0; }, 5000));
    sock->Close();
    queue->Terminate();
    const int before = delivered;
    delete sock;
    delete queue;
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, before);
}

TEST(ReceiveQueue, ALongQueueIsDeliveredInSlicesWithTheEventLoopBetween)
{
    constexpr int Count = 2000;
    int delivered = 0;
    int deliveredWhenTimerRan = -1;
    TIntpSocketThread queue([&](std::uint32_t, std::uint32_t, std::uint8_t*) {
        // About 50 µs of work per datagram: 100 ms in all, ten slices or more.
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(50);
        while (std::chrono::steady_clock::now() < until) {
        }
        ++delivered;
    });
    for (int i = 0; i < Count; ++i)
        queue.PushDatagram(1, Bytes(std::uint8_t(i)));
    QTimer::singleShot(0, [&] { deliveredWhenTimerRan = delivered; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered == Count; }, 10000));
    EXPECT_GT(deliveredWhenTimerRan, 0);
    EXPECT_LT(deliveredWhenTimerRan, Count);
    EXPECT_EQ(queue.Delivered(), std::uint64_t(Count));
}

// Requests leave in order whether sent at once or through the sender
// thread; replies read by the GUI thread or the listener are delivered in
// arrival order, and never inside a delivery that runs a nested loop.
TEST(ReceiveQueue, SocketKeepsOrderBothWaysAndNeverNestsDeliveries)
{
    std::vector<int> delivered;
    int depth = 0, maxDepth = 0;
    TIntpSocketThread* queuePtr = nullptr;
    TIntpSocketThread queue([&](std::uint32_t, std::uint32_t, std::uint8_t* data) {
        maxDepth = std::max(maxDepth, ++depth);
        delivered.push_back(data[0]);
        if (data[0] == 0) {  // a box shown while the rest arrive
            EXPECT_TRUE(QTest::qWaitFor([&] { return queuePtr->Pending() > 0; }, 5000));
        }
        --depth;
    });
    queuePtr = &queue;
    TIntpSock sock(&queue);
    ASSERT_TRUE(sock.Open(QHostAddress(QHostAddress::LocalHost), 0));
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress(QHostAddress::LocalHost), 0));
    sock.SetRemotePort(peer.localPort());

    // A lone request, then a burst: all arrive, in order.
    constexpr int Count = 200;
    for (int i = 0; i < Count; ++i) {
        const std::vector<std::uint8_t> bytes = Bytes(std::uint8_t(i));
        ASSERT_TRUE(sock.Send(0x7F000001, bytes.data(), bytes.size()));
    }
    std::vector<int> sent;
    while (int(sent.size()) < Count && (peer.hasPendingDatagrams() || peer.waitForReadyRead(5000)))
        sent.push_back(std::uint8_t(peer.receiveDatagram().data().at(0)));
    ASSERT_EQ(int(sent.size()), Count);
    for (int i = 0; i < Count; ++i)
        ASSERT_EQ(sent[std::size_t(i)], i);

    for (int i = 0; i < 50; ++i)
        peer.writeDatagram(QByteArray(4, char(i)), QHostAddress(QHostAddress::LocalHost), sock.LocalPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return delivered.size() == 50; }, 5000));
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(delivered[std::size_t(i)], i);
    EXPECT_EQ(maxDepth, 1);
}
