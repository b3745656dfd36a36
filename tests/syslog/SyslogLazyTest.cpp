#include <gtest/gtest.h>

#include <QLabel>
#include <QTableView>

#include "syslog/SyslogFrame.h"

// No view widgets until the page is shown; what came before is then all there.
TEST(SyslogLazyPage, MessagesBeforeTheFirstShowAreListedWhenShown)
{
    TSyslogFrame page;
    page.AddMessage(0x0A000001, "<14>first");
    const Syslog::TReceivedMessage batch[] = {{0x0A000002, "<11>second"}, {0x0A000001, "<13>third"}};
    page.AddMessages(batch, 2);
    page.SetKernelDropped(4);
    EXPECT_EQ(page.findChild<QTableView*>(), nullptr);
    EXPECT_EQ(page.findChild<QLabel*>(), nullptr);

    page.show();
    auto* view = page.findChild<QTableView*>();
    ASSERT_TRUE(view && view->isVisible());
    EXPECT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(page.NumLabel()->text(), QStringLiteral("3 (4 lost in a full receive buffer)"));
}
