// The IGMP snooping pages and the LLDP page: what they show of a switch's
// records, how the group table sorts, and what they send.

#include "PageTestKit.h"
#include "intp/Igmp.h"
#include "intp/Lldp.h"
#include "pages/ports/ModuleLldp.h"
#include "pages/ports/multicast/ModuleIgmp.h"
#include "pages/ports/multicast/ModuleIgmp_Table.h"
#include "tests/common/Records.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>

using namespace Intp;

using Igmp2Page = TPageTest<TModuleIgmp2>;

TEST_F(Igmp2Page, ApplySendsTheFieldsToEveryTargetAndACountWithoutItemAsRead)
{
    TDevice* device = Select(1, TestModel(8));
    Select(2, TestModel(16));
    Put(device, TPropertyIgmp2{true, true, 2, 25, 5});
    Notify(device, ccIgmp2Get);
    EXPECT_EQ(page->m_Snooping->currentIndex(), 1);
    EXPECT_EQ(page->m_QueryMode->currentIndex(), 2);
    EXPECT_EQ(page->m_QueryCount->currentIndex(), -1); // no item for 5
    EXPECT_EQ(page->m_QueryInterval->value(), 25);
    EXPECT_EQ(page->m_QueryInterval->maximum(), 255); // never cut to 8 bits

    page->m_QueryMode->setCurrentIndex(1);
    page->m_Apply->click();
    page->m_QueryCount->setCurrentIndex(0);
    page->m_QueryInterval->setValue(255);
    page->m_Apply->click();
    auto sent = Sent<TSessionIgmp2Set>();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(SetBytes(sent[1]), (std::vector<std::uint8_t>{1, 1, 25, 5}));
    EXPECT_EQ(SetBytes(sent[3]), (std::vector<std::uint8_t>{1, 1, 255, 1}));
}

using IgmpPage = TPageTest<TModuleIgmp>;

TEST_F(IgmpPage, ApplySendsSnoopingAndQueryMode)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, TPropertyIgmp{true, false, 1});
    Notify(device, ccIgmpGet);
    EXPECT_EQ(page->m_QueryMode->currentIndex(), 1);
    page->m_Snooping->setCurrentIndex(1);
    page->m_Apply->click();
    auto sent = Sent<TSessionIgmpSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(SetBytes(sent[0]), (std::vector<std::uint8_t>{1, 1}));
}

using IgmpTablePage = TPageTest<TModuleIgmp2Table>;

TEST_F(IgmpTablePage, MembersAreNumberedByListedPortAndEachColumnSortsByItsKey)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, IntpTest::PortNames(ModelOf(device), {2}));
    Put(device, IntpTest::Table<TPropertyIgmp2Table>({
                    {0b1010, 0x0A00000A, 5}, // 10.0.0.10: ports 2 and 4, shown as 2, 3
                    {0, 0x0A000009, 7},
                    {0b0101, 0xE0000001, 6}, // the hidden port's bit is left out
                }));
    Notify(device, ccIgmp2Table);
    const TListModel* rows = page->m_List->Model();
    auto column = [&](int c) {
        QStringList cells;
        for (int line = 0; line < rows->RowCount(); ++line)
            cells << rows->Cell(line, c);
        return cells;
    };
    EXPECT_EQ(column(3), (QStringList{"2, 3", "", "1"}));
    EXPECT_EQ(column(1), (QStringList{"10.0.0.10", "10.0.0.9", "224.0.0.1"}));

    auto click = [&](int c) { emit page->m_List->header()->sectionClicked(c); };
    click(1);
    EXPECT_EQ(column(1), (QStringList{"10.0.0.9", "10.0.0.10", "224.0.0.1"}));
    click(1);
    EXPECT_EQ(column(0), (QStringList{"3", "1", "2"}));
    click(3); // by the member mask as a number
    EXPECT_EQ(column(0), (QStringList{"2", "3", "1"}));
    click(2);
    EXPECT_EQ(column(2), (QStringList{"5", "6", "7"}));

    // The sort outlives a refill; leaving empties the list.
    Put(device, IntpTest::Table<TPropertyIgmp2Table>({{1, 1, 9}, {1, 2, 3}}));
    Notify(device, ccIgmp2Table);
    EXPECT_EQ(column(2), (QStringList{"3", "9"}));
    EXPECT_TRUE(page->Leave(false));
    EXPECT_EQ(rows->RowCount(), 0);
}

using LldpPage = TPageTest<TModuleLldp>;

TEST_F(LldpPage, ASwitchNeverReadShowsNotTheLastSwitchsValuesAndApplySendsTheFields)
{
    TDevice* first = Select(1, TestModel(8));
    Put(first, TPropertyLldp{true, true, 120});
    Notify(first, ccLldpGet);
    EXPECT_EQ(page->m_Enable->currentIndex(), 1);
    EXPECT_EQ(page->m_Interval->value(), 120);

    // Another switch, never read: not available, and not the last switch's interval.
    env.host.selection = {Select(2, TestModel(8))};
    Refill();
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Interval->value(), 30);

    env.host.selection = {first};
    Refill();
    page->m_Interval->setValue(65535);
    page->m_Apply->click();
    auto sent = Sent<TSessionLldpSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(SetBytes(sent[0]), (std::vector<std::uint8_t>{1, 0, 0xFF, 0xFF}));
}
