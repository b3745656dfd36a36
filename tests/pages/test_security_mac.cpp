// The MAC blacklist: Add and Delete by whether the typed address is listed.

#include "PageTestKit.h"
#include "intp/SecurityTables.h"
#include "pages/kit/PageWidgets.h"
#include "pages/security/ModuleSecurity_Mac.h"

#include <QPushButton>
#include <QTest>

using MacBlacklist = TPageTest<TModuleSecurityMac>;

TEST_F(MacBlacklist, TheTypedAddressDecidesAddOrDeleteAndEitherIsSentToEveryTarget)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Intp::TDevice* other = Select(2, TestModel(8));
    Intp::TPropertySecurityMac table;
    table.entries = {Intp::TMacAddr(0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F), Intp::TMacAddr(0, 1, 2, 3, 4, 5)};
    Put(device, table);
    Put(other, table);
    Notify(device, Intp::ccSecurityMacGet);
    ASSERT_EQ(page->m_List->RowCount(), 2);
    EXPECT_EQ(page->m_List->Model()->Cell(0, 0), "0A:1B:2C:3D:4E:5F");
    EXPECT_FALSE(page->m_Add->isEnabled());

    page->m_MAC->setText("0A1B2C3D4E5F");
    EXPECT_EQ(page->m_MAC->text(), "0a1b2c3d4e5f");
    EXPECT_FALSE(page->m_Add->isEnabled());
    EXPECT_TRUE(page->m_Delete->isEnabled());
    page->m_Delete->click();
    page->m_MAC->setText("0a1b2c3d4e");  // too short: neither
    EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Delete->isEnabled());
    page->m_MAC->setText("0a1b2c3d4e60");
    EXPECT_TRUE(page->m_Add->isEnabled());
    page->m_Add->click();

    auto deleted = Sent<Intp::TSessionSecurityMacDel>();
    auto added = Sent<Intp::TSessionSecurityMacAdd>();
    ASSERT_EQ(deleted.size(), 2u);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(deleted[1], Intp::TMacAddr(0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F));
    EXPECT_EQ(added[0], Intp::TMacAddr(0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x60));
    EXPECT_EQ(page->m_List->RowCount(), 2);  // the list waits for the switch's table
}

TEST_F(MacBlacklist, SelectingALineFillsTheAddressAndLeavingEmptiesTheList)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Intp::TPropertySecurityMac table;
    table.entries = {Intp::TMacAddr(0, 1, 2, 3, 4, 5)};
    Put(device, table);
    Notify(device, Intp::ccSecurityMacGet);
    page->m_List->SelectRow(0);
    EXPECT_EQ(page->m_MAC->text(), "000102030405");
    EXPECT_TRUE(page->m_Delete->isEnabled());
    // A click on the line already selected fills it in again.
    page->m_MAC->setText("0a0b0c0d0e0f");
    page->show();
    const QRect line = page->m_List->visualRect(page->m_List->Model()->index(0, 0));
    QTest::mouseClick(page->m_List->viewport(), Qt::LeftButton, {}, line.center());
    EXPECT_EQ(page->m_MAC->text(), "000102030405");
    EXPECT_TRUE(page->Leave(false));
    EXPECT_EQ(page->m_List->RowCount(), 0);

    env.host.selection.clear();
    Refill();
    EXPECT_FALSE(page->m_MAC->isEnabled());
    EXPECT_FALSE(page->m_Add->isEnabled() || page->m_Delete->isEnabled());
}
