#include <gtest/gtest.h>

#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "syslog/SyslogForm.h"
#include "syslog/core/SyslogStore.h"

using Syslog::TSyslogListNode;

namespace {

constexpr Syslog::TDateTime Hour = 3600 * 1000;
constexpr Syslog::TDateTime Day = 24 * Hour;

// Local noon of a fixed day, so day and time of day do not depend on the zone.
Syslog::TDateTime Noon() { return QDateTime(QDate(2026, 3, 10), QTime(12, 0)).toMSecsSinceEpoch(); }

TSyslogListNode Node(
    std::uint32_t eventId, const std::string& message, Syslog::TDateTime received = Noon(), int severity = 6)
{
    TSyslogListNode node;
    node.eventId = eventId;
    node.message = message;
    node.received = received;
    node.address = 0x0A000001;
    node.facility = 23;
    node.severity = severity;
    return node;
}

std::vector<std::uint32_t> Order(const TSyslogForm& form)
{
    std::vector<std::uint32_t> ids;
    for (int row = 0; row < form.RowCount(); ++row)
        ids.push_back(form.EventIdAt(row));
    return ids;
}

} // namespace

TEST(SyslogForm, EmptyListLeavesPreviousNextAndCopyDisabled)
{
    TSyslogList list;
    TSyslogForm form(nullptr, &list);
    EXPECT_EQ(form.RowCount(), 0);
    EXPECT_FALSE(form.m_Prev->isEnabled());
    EXPECT_FALSE(form.m_Next->isEnabled());
    EXPECT_FALSE(form.m_Copy->isEnabled());
    form.EventOnPrevClick();
    form.EventOnNextClick();
    EXPECT_EQ(form.SelectedRow(), -1);
}

TEST(SyslogForm, OpensOnTheLastRowWithItsDetails)
{
    TSyslogList list{Node(4, "first"), Node(9, "last", Noon(), 4)};
    TSyslogForm form(nullptr, &list);
    EXPECT_EQ(form.SelectedRow(), 1);
    EXPECT_EQ(form.m_EventId->text(), QStringLiteral("9"));
    EXPECT_EQ(form.m_Host->text(), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(form.m_Memo->toPlainText(), QStringLiteral("last"));
    EXPECT_TRUE(form.m_Prev->isEnabled());
    EXPECT_FALSE(form.m_Next->isEnabled());
    EXPECT_TRUE(form.m_Copy->isEnabled());
    // Without a server the numbers stand for the names.
    EXPECT_EQ(form.m_Facility->text(), QStringLiteral("23"));
    EXPECT_EQ(form.m_Severity->text(), QStringLiteral("4"));
}

TEST(SyslogForm, PreviousAndNextStopAtTheEnds)
{
    TSyslogList list{Node(1, "a"), Node(2, "b"), Node(3, "c")};
    TSyslogForm form(nullptr, &list);
    form.EventOnNextClick();
    EXPECT_EQ(form.SelectedRow(), 2);
    form.EventOnPrevClick();
    form.EventOnPrevClick();
    EXPECT_EQ(form.SelectedRow(), 0);
    EXPECT_FALSE(form.m_Prev->isEnabled());
    EXPECT_TRUE(form.m_Next->isEnabled());
    form.EventOnPrevClick();
    EXPECT_EQ(form.SelectedRow(), 0);
    form.SelectEventId(2);
    EXPECT_EQ(form.m_Memo->toPlainText(), QStringLiteral("b"));
}

TEST(SyslogForm, EventIdColumnClicksToggleStartingWithDescending)
{
    TSyslogList list{Node(2, "a"), Node(1, "b"), Node(3, "c")};
    TSyslogForm form(nullptr, &list);
    EXPECT_EQ(Order(form), (std::vector<std::uint32_t>{2, 1, 3})); // list order at first
    form.EventOnLogListColumnClick(0);
    EXPECT_EQ(form.SortDirection(), -1);
    EXPECT_EQ(form.m_LogList->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(Order(form), (std::vector<std::uint32_t>{3, 2, 1}));
    form.EventOnLogListColumnClick(0);
    EXPECT_EQ(Order(form), (std::vector<std::uint32_t>{1, 2, 3}));
}

TEST(SyslogForm, MessageSortIsByteWiseWithUpperCaseFirst)
{
    TSyslogList list{Node(1, "beta"), Node(2, "Zulu"), Node(3, "alpha"), Node(4, "Alpha"), Node(5, "al")};
    TSyslogForm form(nullptr, &list);
    form.EventOnLogListColumnClick(6);
    EXPECT_EQ(form.SortColumn(), 6);
    EXPECT_EQ(Order(form), (std::vector<std::uint32_t>{4, 2, 5, 3, 1}));
}

TEST(SyslogForm, DateSortsByDayAndTimeByTimeOfDayAcrossDays)
{
    TSyslogList list{Node(1, "d2 early", Noon() + Day - 3 * Hour), Node(2, "d1 late", Noon() + 2 * Hour),
        Node(3, "d3 mid", Noon() + 2 * Day)};
    TSyslogForm form(nullptr, &list);
    form.EventOnLogListColumnClick(4);
    EXPECT_EQ(Order(form), (std::vector<std::uint32_t>{2, 1, 3}));
    form.EventOnLogListColumnClick(5);
    EXPECT_EQ(Order(form), (std::vector<std::uint32_t>{1, 3, 2}));
}

TEST(SyslogForm, CopyPutsTheWholeMessageWithLineBreaksOnTheClipboard)
{
    TSyslogList list{Node(1, "line one\nline two")};
    TSyslogForm form(nullptr, &list);
    EXPECT_EQ(form.m_Memo->blockCount(), 2);
    form.EventOnCopyClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("line one\nline two"));
}
