// The status monitor: polls, outcomes, colours, beeps and re-created devices.
#include "PageTestKit.h"

#include "console/StatusMonitor.h"
#include "intp/Device.h"
#include "intp/Operations.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/UntypedReportList.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> PingReply(uint32_t power, uint32_t ports)
{
    Intp::TPropertyIntpPing2 ping;
    ping.powerAlarm = power;
    ping.portFailed = ports;
    return ReplyBytes(ping);
}

TEST(StatusText, FollowsTheStateWordThenPowerThenPorts)
{
    using namespace Status;
    EXPECT_EQ(StatusText(0, 0, 0), "Online");
    EXPECT_EQ(StatusText(sbNoReply | sbAlarm | sbIpChanged, 3, 0xFF), "Offline");
    EXPECT_EQ(StatusText(sbError | sbIpChanged, 0, 0), "Online/query fail/IP different");
    EXPECT_EQ(StatusText(sbAlarm, 0x2, 0x11), "Online/power2 fail/port 1,5 fail");
    EXPECT_EQ(StatusText(sbAlarm, 0x3, 0x80000000), "Online/power1 fail/power2 fail/port 32 fail");
    EXPECT_EQ(StatusText(sbError, 0x3, 0x1), "Online/query fail");
}

class StatusMonitorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        monitor.SetBeeper([this] { ++beeps; });
        a = env.AddDevice(1, Ip(10, 0, 0, 5));
        b = env.AddDevice(2, Ip(10, 0, 0, 6));
    }

    QColor Background(int row)
    {
        return monitor.List()->Model()->data(monitor.List()->Model()->index(row, 3), Qt::BackgroundRole)
            .value<QBrush>()
            .color();
    }

    TPageTestEnvironment env;
    TStatusFrame monitor;
    int beeps = 0;
    Intp::TDevice* a = nullptr;
    Intp::TDevice* b = nullptr;
};

TEST_F(StatusMonitorTest, MakesItsWidgetsWhenShownOrGivenASwitch)
{
    EXPECT_EQ(monitor.GetDeviceStatus(a), 0u);
    EXPECT_TRUE(monitor.findChildren<QWidget*>().isEmpty());
    monitor.AddDevice(a);
    EXPECT_EQ(monitor.FindRow(a->GetMac()), 0);
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scIp), "10.0.0.5");

    TStatusFrame shown;
    EXPECT_TRUE(shown.findChildren<QWidget*>().isEmpty());
    shown.show();
    auto* list = shown.findChild<TUntypedReportList*>();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
}

TEST_F(StatusMonitorTest, AnAddedSwitchIsListedOnceAndPolledAtOnce)
{
    monitor.AddDevice(a);
    monitor.AddDevices({a, b});
    ASSERT_EQ(monitor.RowCount(), 2);
    EXPECT_TRUE(monitor.RefreshButton()->isEnabled());
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scNumber), "1");
    EXPECT_EQ(monitor.RowText(1, TStatusFrame::scNumber), "2");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scIp), "10.0.0.5");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scMac), "00:11:22:33:44:01");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scTime), "(No response yet)");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online");
    auto pings = env.protocol.SentWith(Intp::ccIntpPing2);
    ASSERT_EQ(pings.size(), 2u);
    EXPECT_EQ(pings[0].mac, a->GetMac());
    EXPECT_EQ(monitor.GetDeviceStatus(a), 0u);
    EXPECT_EQ(monitor.GetDeviceStatus(nullptr), 0u);
    // Columns follow their texts: a hidden list measures them when shown,
    // a shown one once the event loop runs.
    monitor.show();
    for (int column : {TStatusFrame::scIp, TStatusFrame::scMac, TStatusFrame::scModel, TStatusFrame::scTime})
        EXPECT_GE(monitor.List()->header()->sectionSize(column),
                  monitor.List()->fontMetrics().horizontalAdvance(monitor.RowText(0, column)))
            << column;
    const QString wide(40, 'W');
    monitor.List()->Model()->SetCell(0, TStatusFrame::scModel, wide);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return monitor.List()->header()->sectionSize(TStatusFrame::scModel) >=
               monitor.List()->fontMetrics().horizontalAdvance(wide);
    }, 5000));
}

TEST_F(StatusMonitorTest, ASwitchThatNeverAnswersIsOfflineAndRed)
{
    monitor.AddDevice(a);
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Offline");
    EXPECT_EQ(monitor.RowImage(0), TStatusFrame::imSilent);
    EXPECT_EQ(Background(0), QColor(255, 0, 0));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scTime), "(No response yet)");
    EXPECT_EQ(monitor.GetDeviceStatus(a), uint32_t(Status::sbNoReply));
}

TEST_F(StatusMonitorTest, AnOfflineRowShowsItsGlyphOnALightBadge)
{
    monitor.AddDevice(a);
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    monitor.resize(700, 200);
    monitor.show();
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QImage shot = monitor.List()->viewport()->grab().toImage();
    const QRect cell = monitor.List()->visualRect(monitor.List()->Model()->index(0, TStatusFrame::scNumber));
    // The glyph stands at the cell's left; a red one on the red row is gone.
    int light = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x < cell.left() + 22 && x <= cell.right(); ++x)
            light += qGray(shot.pixel(x, y)) > 200;
    EXPECT_GT(light, 60);
}

TEST_F(StatusMonitorTest, ARebootedSwitchIsAskedAtItsListedAddressUntilItAnswers)
{
    monitor.AddDevice(a);
    a->SetIp(0);  // a successful reboot
    env.protocol.sent.clear();
    monitor.EventOnTimer();
    auto pings = env.protocol.SentWith(Intp::ccIntpPing2);
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].ip, Ip(10, 0, 0, 5));
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Offline");

    monitor.EventOnTimer();
    IntpTest::TFakeHost::Reply(Intp::ccIntpPing2, a->GetMac(), PingReply(0, 0), 0, Ip(10, 0, 0, 5));
    EXPECT_EQ(a->GetIp(), Ip(10, 0, 0, 5));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scIp), "10.0.0.5");
    EXPECT_EQ(monitor.GetDeviceStatus(a), 0u);
}

TEST_F(StatusMonitorTest, APortAlarmNamesThePortsAndColoursTheRow)
{
    monitor.AddDevice(a);
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0, 0x11));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online/port 1,5 fail");
    EXPECT_EQ(Background(0), QColor(0, 102, 255));
    EXPECT_NE(monitor.RowText(0, TStatusFrame::scTime), "(No response yet)");
    EXPECT_EQ(monitor.GetDeviceStatus(a), uint32_t(Status::sbAlarm));

    env.protocol.sent.clear();
    monitor.EventOnTimer();
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0, 0));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online");
    EXPECT_EQ(monitor.GetDeviceStatus(a), 0u);
}

// Out of sight a reply changes only the row: its cells are written when the
// page shows, or when anything reads or sorts the list before.
TEST_F(StatusMonitorTest, AHiddenPageWritesCellsOnlyWhenShownOrRead)
{
    monitor.AddDevice(a);
    const TListModel* model = monitor.List()->Model();
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0, 0x11));
    EXPECT_EQ(monitor.GetDeviceStatus(a), uint32_t(Status::sbAlarm));
    EXPECT_NE(model->Row(0).cells.at(TStatusFrame::scStatus), "Online/port 1,5 fail");
    monitor.show();
    EXPECT_EQ(model->Row(0).cells.at(TStatusFrame::scStatus), "Online/port 1,5 fail");

    monitor.hide();
    monitor.EventOnTimer();
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0x2, 0));
    EXPECT_EQ(model->Row(0).cells.at(TStatusFrame::scStatus), "Online/port 1,5 fail");
    EXPECT_EQ(model->Cell(0, TStatusFrame::scStatus), "Online/power2 fail");
}

TEST_F(StatusMonitorTest, AnAddressChangeIsShownInBlueWithoutABeepUntilCleared)
{
    monitor.AddDevice(a);
    monitor.Beep()->setChecked(true);
    a->SetIp(Ip(10, 0, 0, 9));
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0, 0));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scIp), "Original: 10.0.0.5, Now: 10.0.0.9");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online/IP different");
    EXPECT_EQ(Background(0), QColor(0, 0, 255));
    monitor.EventOnBeepTimer();
    EXPECT_EQ(beeps, 0);

    EXPECT_FALSE(monitor.ClearErrorButton()->isEnabled());
    monitor.List()->SelectRow(0);
    EXPECT_TRUE(monitor.ClearErrorButton()->isEnabled());  // the button follows its action
    monitor.EventOnClearErrorExecute();
    EXPECT_EQ(monitor.GetDeviceStatus(a), 0u);
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online");
    monitor.EventOnTimer();
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0, 0));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scIp), "10.0.0.9");
}

TEST_F(StatusMonitorTest, ATimeOutAfterAnAlarmKeepsTheAlarmAndAddressBits)
{
    monitor.AddDevice(a);
    a->SetIp(Ip(10, 0, 0, 9));
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(1, 0));
    monitor.EventOnTimer();
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Offline");
    EXPECT_EQ(monitor.GetDeviceStatus(a),
              uint32_t(Status::sbNoReply | Status::sbAlarm | Status::sbIpChanged));
    EXPECT_EQ(Background(0), QColor(255, 0, 0));  // the first matching bit decides
}

TEST_F(StatusMonitorTest, AnErrorReplyIsAQueryFailure)
{
    monitor.AddDevice(a);
    env.protocol.Reply(Intp::ccIntpPing2, a, PingReply(0, 0), 0x0020);
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online/query fail");
    EXPECT_EQ(Background(0), QColor(255, 255, 0));
}

TEST_F(StatusMonitorTest, BeepsOncePerTickWhileARowFails)
{
    monitor.AddDevices({a, b});
    monitor.Beep()->setChecked(true);
    EXPECT_TRUE(monitor.m_BeepTimer->isActive());
    EXPECT_EQ(monitor.m_BeepTimer->interval(), 2000);
    monitor.EventOnBeepTimer();
    EXPECT_EQ(beeps, 0);
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    ASSERT_TRUE(env.protocol.TimeOut(b, Intp::ccIntpPing2));
    monitor.EventOnBeepTimer();
    EXPECT_EQ(beeps, 1);
    monitor.Beep()->setChecked(false);
    EXPECT_FALSE(monitor.m_BeepTimer->isActive());
}

TEST_F(StatusMonitorTest, APollCycleUsesTheTimeOutAndRearmsOnePeriodLater)
{
    monitor.AddDevice(a);
    monitor.QueryPeriod()->setValue(30);
    monitor.QueryTmo()->setValue(7);
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    env.protocol.sent.clear();
    monitor.Refresh(true);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccIntpPing2).size(), 1u);
    EXPECT_TRUE(monitor.m_Timer->isActive());
    EXPECT_EQ(monitor.m_Timer->interval(), 30000);
}

TEST_F(StatusMonitorTest, AShortPeriodLimitsTheTimeOut)
{
    EXPECT_FALSE(monitor.RefreshButton()->isEnabled());  // nothing listed
    monitor.QueryTmo()->setValue(9);
    monitor.QueryPeriod()->setValue(5);
    EXPECT_EQ(monitor.QueryTmo()->Highest(), 4);
    EXPECT_EQ(monitor.QueryTmo()->value(), 4);
}

TEST_F(StatusMonitorTest, APeriodTypedOutOfRangeIsShownMarkedAndNotUsed)
{
    monitor.AddDevice(a);
    QLineEdit* edit = monitor.QueryPeriod()->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "90000");
    EXPECT_EQ(monitor.QueryPeriod()->text(), "90000");  // no digit dropped
    EXPECT_FALSE(monitor.QueryPeriod()->Why().isEmpty());
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    monitor.Refresh(true);
    EXPECT_EQ(monitor.m_Timer->interval(), 9000 * 1000);  // the last period in range
    EXPECT_EQ(monitor.QueryTmo()->Highest(), 8999);
}

TEST_F(StatusMonitorTest, ASwitchRemovedByADiscoveryIsRecreatedAtItsListedAddress)
{
    monitor.AddDevice(a);
    Intp::TMacAddr mac = a->GetMac();
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccIntpPing2));
    Intp::DeleteAllDevices();
    env.protocol.sent.clear();
    monitor.EventOnTimer();
    Intp::TDevice* again = Intp::FindDevice(mac, false);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->GetIp(), Ip(10, 0, 0, 5));
    auto pings = env.protocol.SentWith(Intp::ccIntpPing2);
    ASSERT_EQ(pings.size(), 1u);
    EXPECT_EQ(pings[0].ip, Ip(10, 0, 0, 5));
}

TEST_F(StatusMonitorTest, SortingByAddressIsNumeric)
{
    Intp::TDevice* c = env.AddDevice(3, Ip(10, 0, 0, 10));
    monitor.AddDevices({c, a});
    monitor.List()->Model()->ClickColumn(TStatusFrame::scIp);
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scIp), "10.0.0.5");
    EXPECT_EQ(monitor.FindRow(c->GetMac()), 1);
    // Replies land on their switch's row after the rows moved, and so do rows added later.
    ASSERT_TRUE(env.protocol.TimeOut(c, Intp::ccIntpPing2));
    EXPECT_EQ(monitor.RowText(1, TStatusFrame::scStatus), "Offline");
    EXPECT_EQ(monitor.RowText(0, TStatusFrame::scStatus), "Online");
    monitor.AddDevice(b);
    EXPECT_EQ(monitor.FindRow(b->GetMac()), 2);
    monitor.List()->Model()->ClickColumn(TStatusFrame::scIp);
    EXPECT_EQ(monitor.FindRow(b->GetMac()), 1);
    EXPECT_EQ(monitor.GetDeviceStatus(a), 0u);
    EXPECT_EQ(monitor.GetDeviceStatus(c), uint32_t(Status::sbNoReply));
    EXPECT_EQ(monitor.FindRow(a->GetMac()), 2);
    monitor.OnNotify(nullptr, ncSelectionChanged, 0);
    EXPECT_TRUE(monitor.isVisible());
    EXPECT_TRUE(monitor.Leave(false));
    EXPECT_FALSE(monitor.isVisible());
}

}  // namespace
