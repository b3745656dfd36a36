#include <gtest/gtest.h>

#include <QLabel>
#include <QTableView>

#include "syslog/SyslogFrame.h"

// The page makes no view widgets until shown; what arrived before is all
// listed and counted once it is.
TEST(SyslogLazyPage, MessagesBeforeTheFirstShowAreListedWhenShown)
{
    TSyslogFrame page;
    EXPECT_EQ(page.findChild<QTableView*>(), nullptr);
    EXPECT_EQ(page.findChild<QLabel*>(), nullptr);

    page.AddMessage(0x0A000001, "<14>first");
    const Syslog::TReceivedMessage batch[] = {{0x0A000002, "<11>second"}, {0x0A000001, "<13>third"}};
    page.AddMessages(batch, 2);
    page.SetKernelDropped(4);
    EXPECT_EQ(page.findChild<QTableView*>(), nullptr);
    EXPECT_EQ(page.Count(0x0A000001), 2);

    page.show();
    auto* view = page.findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    ASSERT_EQ(view->model()->rowCount(), 3);
    EXPECT_TRUE(view->model()->index(1, TSyslogEventModel::colMessage).data().toString().endsWith(u"second"));
    EXPECT_EQ(page.NumLabel()->text(), QStringLiteral("3 (4 lost in a full receive buffer)"));

    page.AddMessage(0x0A000003, "<14>fourth");
    EXPECT_EQ(view->model()->rowCount(), 4);
    EXPECT_EQ(page.NumLabel()->text(), QStringLiteral("4 (4 lost in a full receive buffer)"));
}
