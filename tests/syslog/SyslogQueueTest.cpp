#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

#include <string>
#include <vector>

#include "pages/kit/SyslogServer.h"
#include "syslog/SyslogSocketThread.h"
#include "tests/syslog/SyslogSender.h"

namespace {

// Records deliveries; a test may run something inside one.
class TRecordingServer : public Syslog::TSyslogServer {
public:
    struct TItem {
        std::uint32_t address;
        std::string text;
    };
    std::vector<TItem> m_Items;
    int m_Depth = 0;
    int m_MaxDepth = 0;
    std::function<void()> m_OnFirst;

    void AddMessage(std::uint32_t address, const char* text) override
    {
        ++m_Depth;
        m_MaxDepth = std::max(m_MaxDepth, m_Depth);
        m_Items.push_back({address, text});
        if (m_Items.size() == 1 && m_OnFirst)
            m_OnFirst();
        --m_Depth;
    }
    void Clear() override { }
    bool Parse(const char*, Syslog::TSyslogListNode&) override { return false; }
    int Count(std::uint32_t) override { return 0; }
    Syslog::TSenderSummary Summary(std::uint32_t) override { return {}; }
    const char* GetFacilityName(int) override { return ""; }
    const char* GetSeverityName(int) override { return nullptr; }
    void Query(std::uint32_t, TSyslogList*, bool) override { }
    bool SaveToFile(const TSyslogList*, const std::string&) override { return false; }
    void ShowSender(std::uint32_t, QWidget*) override {}

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& item : m_Items)
            texts.push_back(item.text);
        return texts;
    }
};

bool WaitFor(const std::function<bool()>& done, int ms = 10000) { return QTest::qWaitFor(done, ms); }

} // namespace

TEST(SyslogQueue, DeliversPushedItemsLaterInPushOrder)
{
    TRecordingServer server;
    TSyslogSocketThread queue([&] { return &server; });
    queue.PushDatagram(1, "a");
    queue.PushDatagram(2, "b");
    queue.PushDatagram(1, "");
    EXPECT_TRUE(server.m_Items.empty()); // never inside the push
    ASSERT_TRUE(WaitFor([&] { return server.m_Items.size() == 3; }));
    EXPECT_EQ(server.Texts(), (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(server.m_Items[1].address, 2u);
}

TEST(SyslogQueue, NestedEventLoopInADeliveryNeitherReentersNorStopsReading)
{
    TRecordingServer server;
    TSyslogSocketThread queue([&] { return &server; });
    ASSERT_TRUE(queue.Open(0, QHostAddress::LocalHost)) << queue.ErrorString().toStdString();
    TLoopbackSender sender(queue.LocalPort());
    bool readMeanwhile = false;
    server.m_OnFirst = [&] {
        // As a modal box would: spin the event loop inside the delivery.
        queue.PushDatagram(9, "pushed");
        ASSERT_TRUE(sender.Send("sent"));
        readMeanwhile = WaitFor([&] { return queue.Pending() == 2; });
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    };
    queue.PushDatagram(1, "first");
    ASSERT_TRUE(WaitFor([&] { return server.m_Items.size() == 3; }));
    EXPECT_TRUE(readMeanwhile);
    EXPECT_EQ(server.m_MaxDepth, 1);
    EXPECT_EQ(server.Texts(), (std::vector<std::string>{"first", "pushed", "sent"}));
    EXPECT_EQ(server.m_Items[2].address, 0x7F000001u);
}

TEST(SyslogQueue, StopDropsQueuedItemsAndIgnoresLaterPushes)
{
    TRecordingServer server;
    TSyslogSocketThread queue([&] { return &server; });
    ASSERT_TRUE(queue.Open(0, QHostAddress::LocalHost));
    queue.PushDatagram(1, "a");
    queue.Stop();
    queue.PushDatagram(1, "b");
    EXPECT_FALSE(queue.IsOpen());
    EXPECT_EQ(queue.Pending(), 0u);
    QCoreApplication::processEvents();
    EXPECT_TRUE(server.m_Items.empty());
    EXPECT_FALSE(queue.Open(0, QHostAddress::LocalHost));
}

TEST(SyslogQueue, ItemsWithoutAServerAreReleasedUnread)
{
    Syslog::TSyslogServer* none = nullptr;
    TRecordingServer server;
    TSyslogSocketThread queue([&] { return none; });
    queue.PushDatagram(1, "lost");
    ASSERT_TRUE(WaitFor([&] { return queue.Pending() == 0 && !queue.IsDelivering(); }));
    none = &server;
    queue.PushDatagram(1, "kept");
    ASSERT_TRUE(WaitFor([&] { return server.m_Items.size() == 1; }));
    EXPECT_EQ(server.m_Items[0].text, "kept");
}

TEST(SyslogSocket, BindFailureIsReportedWhenThePortIsTaken)
{
    QUdpSocket other;
    ASSERT_TRUE(other.bind(QHostAddress::LocalHost, 0));
    TSyslogSocketThread queue([] { return nullptr; });
    EXPECT_FALSE(queue.Open(other.localPort(), QHostAddress::LocalHost));
    EXPECT_FALSE(queue.ErrorString().isEmpty());
    EXPECT_FALSE(queue.IsOpen());
}

TEST(SyslogSocket, ReceiveBufferIsTheLargestTheSystemAllows)
{
    TSyslogSocketThread queue([] { return nullptr; });
    ASSERT_TRUE(queue.Open(0, QHostAddress::LocalHost));
    // The kernel reports twice the size asked for.
    if (::geteuid() != 0 && queue.ReceiveBufferSize() < 2 * kSyslogReceiveBufferSize)
        GTEST_SKIP() << "no CAP_NET_ADMIN and a lower net.core.rmem_max";
    EXPECT_GE(queue.ReceiveBufferSize(), 2 * kSyslogReceiveBufferSize);
}

TEST(SyslogSocket, EmptyDatagramIsDeliveredAndTextStopsAtNul)
{
    TRecordingServer server;
    TSyslogSocketThread queue([&] { return &server; });
    ASSERT_TRUE(queue.Open(0, QHostAddress::LocalHost));
    TLoopbackSender sender(queue.LocalPort());
    ASSERT_TRUE(sender.Send(""));
    ASSERT_TRUE(sender.Send(std::string("ab\0cd", 5)));
    ASSERT_TRUE(WaitFor([&] { return server.m_Items.size() == 2; }));
    EXPECT_EQ(server.Texts(), (std::vector<std::string>{"", "ab"}));
}
