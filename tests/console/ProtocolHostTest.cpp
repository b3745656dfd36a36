#include "FakePages.h"

#include "console/IntpSock.h"
#include "console/IntpReceiveQueue.h"
#include "console/ProtocolHost.h"
#include "intp/Device.h"
#include "intp/Session.h"
#include "tests/common/FakeHost.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <atomic>

#include <string>
#include <vector>

namespace {

// A request that only keeps a timer.
class TFakeSession : public Intp::TSession {
public:
    explicit TFakeSession(bool* deleted = nullptr, int* timeouts = nullptr) : m_Deleted(deleted), m_Timeouts(timeouts) {}
    ~TFakeSession() override { if (m_Deleted) *m_Deleted = true; }

    bool Request(Intp::TDevice*) override
    {
        Arm(m_Ms);
        return true;
    }
    int OnReceive(Intp::TDevice*, const Intp::THeader&, Intp::TPayloadReader) override { return Intp::rrNotMine; }
    const char* GetName() const override { return "Fake"; }
    void OnTimeout() override
    {
        if (m_Timeouts)
            ++*m_Timeouts;
        if (m_OnTimeout)
            m_OnTimeout();
        if (!m_Keep)
            Intp::TSession::OnTimeout();
    }

    void Arm(unsigned ms)
    {
        CreateTimer(ms);
        EnableTimer(true);
    }
    void Interval(unsigned ms) { SetTimerInterval(ms); }

    unsigned m_Ms = 0;
    std::function<void()> m_OnTimeout;
    bool m_Keep = false;  // a time-out that neither ends nor stops the request

private:
    bool* m_Deleted;
    int* m_Timeouts;
};

class ProtocolHost : public ::testing::Test {
protected:
    void SetUp() override { Intp::SetSessionCallback(&m_Host); }
    void TearDown() override
    {
        m_Host.EndAllSessions();
        Intp::SetSessionCallback(nullptr);
    }

    TProtocolHost m_Host;
};

}  // namespace

TEST_F(ProtocolHost, SecondCreateTimerKeepsTheFirstTimerAndInterval)
{
    auto* session = new TFakeSession();
    session->Arm(1500);
    ASSERT_TRUE(m_Host.TimerOf(session));
    session->Arm(700);
    EXPECT_EQ(m_Host.TimerOf(session)->interval, 1500);
    EXPECT_EQ(m_Host.TimerCount(), 1u);
    delete session;
    EXPECT_EQ(m_Host.TimerCount(), 0u);
}

TEST_F(ProtocolHost, ZeroMillisecondsMeansSixtySeconds)
{
    auto* session = new TFakeSession();
    session->Arm(0);
    ASSERT_TRUE(m_Host.TimerOf(session));
    EXPECT_EQ(m_Host.TimerOf(session)->interval, 60000);
    session->Interval(3000);
    EXPECT_EQ(m_Host.TimerOf(session)->interval, 3000);
    session->Interval(0);
    EXPECT_EQ(m_Host.TimerOf(session)->interval, 60000);
    EXPECT_TRUE(m_Host.TimerOf(session)->active);
    delete session;
}

TEST_F(ProtocolHost, FiredTimerTimesTheRequestOutAndFreesItsTimer)
{
    bool deleted = false;
    int timeouts = 0;
    auto* session = new TFakeSession(&deleted, &timeouts);
    session->Arm(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return deleted; }, 5000));
    EXPECT_EQ(timeouts, 1);
    EXPECT_EQ(m_Host.TimerCount(), 0u);
    // The timer deleted itself later, without firing for a freed request.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(timeouts, 1);
}

TEST_F(ProtocolHost, NestedEventLoopInATimeOutDoesNotTimeTheRequestOutTwice)
{
    bool deleted = false;
    int timeouts = 0;
    auto* session = new TFakeSession(&deleted, &timeouts);
    // A modal box opened from the time-out's notification.
    session->m_OnTimeout = [] { RunNestedLoop(6); };
    session->Arm(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return deleted; }, 5000));
    EXPECT_EQ(timeouts, 1);
}

TEST_F(ProtocolHost, TimeOutsComeInDeadlineOrderAcrossIntervalsAndRestarts)
{
    std::vector<std::string> order;
    std::vector<TFakeSession*> sessions;
    for (auto [name, ms] : {std::pair{"a", 60u}, {"b", 20u}, {"c", 40u}, {"d", 20u}}) {
        auto* s = new TFakeSession();
        s->m_OnTimeout = [&order, name = std::string(name)] { order.push_back(name); };
        s->Arm(ms);
        sessions.push_back(s);
    }
    // Restarted, b now ends after d; with a longer interval c ends after a.
    m_Host.EnableTimer(sessions[1], true);
    m_Host.SetTimerInterval(sessions[2], 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_Host.TimerCount() == 0; }, 5000));
    EXPECT_EQ(order, (std::vector<std::string>{"d", "b", "a", "c"}));
}

TEST_F(ProtocolHost, TimerRepeatsUntilStoppedAndATimeOutMayEndAnotherDueRequest)
{
    int timeouts = 0;
    auto* repeating = new TFakeSession(nullptr, &timeouts);
    repeating->m_Keep = true;
    repeating->Arm(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return timeouts >= 3; }, 5000));
    m_Host.EnableTimer(repeating, false);
    delete repeating;

    // Both are due at once; whichever times out first deletes the other.
    bool deleted[2] = {false, false};
    int fired = 0;
    TFakeSession* pair[2] = {new TFakeSession(&deleted[0]), new TFakeSession(&deleted[1])};
    for (int i = 0; i < 2; ++i) {
        pair[i]->m_OnTimeout = [&, i] {
            ++fired;
            if (!deleted[1 - i])
                delete pair[1 - i];
        };
        pair[i]->Arm(3);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return deleted[0] && deleted[1]; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(m_Host.TimerCount(), 0u);
}

TEST_F(ProtocolHost, DisabledTimerDoesNotFire)
{
    bool deleted = false;
    auto* session = new TFakeSession(&deleted);
    session->Arm(1);
    m_Host.EnableTimer(session, false);
    EXPECT_FALSE(m_Host.TimerOf(session)->active);
    m_Host.EnableTimer(session, true);
    EXPECT_TRUE(m_Host.TimerOf(session)->active);
    m_Host.EnableTimer(session, false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(deleted);
    delete session;
}

TEST_F(ProtocolHost, OperationsOnARequestWithoutTimerDoNothing)
{
    TFakeSession session;
    m_Host.EnableTimer(&session, true);
    m_Host.SetTimerInterval(&session, 10);
    m_Host.DestroyTimer(&session);
    m_Host.CreateTimer(nullptr, 10);
    EXPECT_EQ(m_Host.TimerCount(), 0u);
}

// A request keeps its timer for the host that made it: another host, or
// this one after dropping every timer, never takes it for its own.
TEST_F(ProtocolHost, ATimerKeptWithTheRequestServesOnlyItsOwnHost)
{
    TFakeSession session;  // not listed: EndAllSessions leaves it alive
    session.Arm(1500);
    TProtocolHost other;
    EXPECT_FALSE(other.TimerOf(&session));
    other.EnableTimer(&session, false);
    other.DestroyTimer(&session);
    ASSERT_TRUE(m_Host.TimerOf(&session));
    EXPECT_TRUE(m_Host.TimerOf(&session)->active);
    m_Host.EndAllSessions();
    m_Host.EnableTimer(&session, true);
    m_Host.SetTimerInterval(&session, 10);
    EXPECT_EQ(m_Host.TimerCount(), 0u);
    session.Arm(700);
    EXPECT_EQ(m_Host.TimerOf(&session)->interval, 700);
    m_Host.DestroyTimer(&session);
    EXPECT_EQ(m_Host.TimerCount(), 0u);
}

TEST_F(ProtocolHost, OutcomeReachesThePageFirstAndThenTheWizard)
{
    std::vector<std::string> log;
    m_Host.SetPageNotify([&](Intp::TDevice* device, std::uint16_t code, std::uint16_t status) {
        EXPECT_EQ(device, nullptr);
        log.push_back("page " + std::to_string(code) + " " + std::to_string(status));
    });
    struct : Intp::TWizard {
        void OnWizardEvent(Intp::TDevice*, std::uint16_t code, std::uint16_t status, const void* context) override
        {
            log->push_back("wizard " + std::to_string(code) + " " + std::to_string(status));
            m_Context = context;
        }
        std::vector<std::string>* log;
        const void* m_Context = nullptr;
    } wizard;
    wizard.log = &log;
    int context = 0;
    m_Host.Notify(nullptr, 260, 0xFF00, &context, &wizard, "SettingsGet");
    m_Host.Notify(nullptr, 261, 0, nullptr, nullptr, "SettingsSet");
    EXPECT_EQ(log, (std::vector<std::string>{"page 260 65280", "wizard 260 65280", "page 261 0"}));
    EXPECT_EQ(wizard.m_Context, &context);
}

TEST_F(ProtocolHost, EndingAllRequestsFreesThemAndTheirTimersWithoutNotifying)
{
    int notified = 0;
    m_Host.SetPageNotify([&](Intp::TDevice*, std::uint16_t, std::uint16_t) { ++notified; });
    bool deleted1 = false;
    bool deleted2 = false;
    auto* s1 = new TFakeSession(&deleted1);
    auto* s2 = new TFakeSession(&deleted2);
    Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, 0, 1), true);
    ASSERT_TRUE(s1->Start(device));
    ASSERT_TRUE(s2->Start(device));
    EXPECT_EQ(m_Host.TimerCount(), 2u);
    m_Host.EndAllSessions();
    EXPECT_TRUE(deleted1);
    EXPECT_TRUE(deleted2);
    EXPECT_EQ(m_Host.TimerCount(), 0u);
    EXPECT_EQ(Intp::GetSessionCount(), 0u);
    EXPECT_EQ(notified, 0);
    Intp::DeleteAllDevices();
}

TEST_F(ProtocolHost, AFullRegistryIsToldOnce)
{
    int told = 0;
    QObject::connect(&m_Host, &TProtocolHost::DeviceLimitReached, [&] { ++told; });
    auto fillAndOverflow = [&] {
        for (std::size_t i = 0; i < Intp::MaxDevices; ++i)
            Intp::FindDevice(Intp::TMacAddr(2, 0, 0, std::uint8_t(i >> 16), std::uint8_t(i >> 8), std::uint8_t(i)), true);
        for (std::uint8_t last = 0; last < 3; ++last) {
            const Intp::TMacAddr mac(2, 0, 9, 0, 0, last);
            auto frame = IntpTest::TFakeHost::Frame(0, mac, 0, std::vector<std::uint8_t>(8));
            m_Host.Deliver(0x0A000001u, std::uint32_t(frame.size()), frame.data());
        }
    };
    fillAndOverflow();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(Intp::GetDeviceCount(), Intp::MaxDevices);
    Intp::DeleteAllDevices();
    fillAndOverflow();
    EXPECT_EQ(told, 1);
    Intp::DeleteAllDevices();
}

TEST(IntpSock, NothingIsSentToAddressZero)
{
    TIntpSocketThread queue(nullptr);
    TIntpSock sock(&queue);
    ASSERT_TRUE(sock.Open(QHostAddress(QHostAddress::LocalHost), 0));
    std::uint8_t frame[16] = {};
    EXPECT_FALSE(sock.Send(0, frame, sizeof frame));
    // The limited broadcast takes its own path, on the sender thread.
    std::atomic<int> broadcasts{0};
    std::atomic<std::size_t> size{0};
    sock.SetBroadcastHook([&](const std::uint8_t*, std::size_t length) {
        size = length;
        ++broadcasts;
        return true;
    });
    EXPECT_TRUE(sock.Send(0xFFFFFFFFu, frame, sizeof frame));
    ASSERT_TRUE(QTest::qWaitFor([&] { return broadcasts == 1; }, 5000));
    EXPECT_EQ(size.load(), 16u);
    // Closing joins the sender: nothing is sent afterwards.
    sock.Close();
    EXPECT_FALSE(sock.Send(0xFFFFFFFFu, frame, sizeof frame));
}
