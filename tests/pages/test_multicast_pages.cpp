// The IGMP snooping and LLDP pages: what they show, how the group table sorts, what they send.

#include "PageTestKit.h"
#include "pages/kit/NumberBox.h"
#include "pages/ports/ModuleLldp.h"
#include "pages/ports/multicast/ModuleIgmp.h"
#include "pages/ports/multicast/ModuleIgmp_Table.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

using namespace Intp;
using Bytes = std::vector<std::uint8_t>;

using Igmp2Page = TPageTest<TModuleIgmp2>;

TEST_F(Igmp2Page, ApplySendsTheFieldsToEveryTargetAndACountWithoutItemAsEachRead)
{
    TDevice* device = Select(1, TestModel(8));
    Put(Select(2, TestModel(16)), TPropertyIgmp2{true, false, 0, 0, 2});
    Put(device, TPropertyIgmp2{true, true, 2, 25, 5});
    Notify(device, ccIgmp2Get);
    EXPECT_EQ(page->m_QueryCount->currentIndex(), -1); // no item for 5
    EXPECT_EQ(qobject_cast<TNumberBox*>(page->m_QueryInterval)->Highest(), 255);  // never cut to 8 bits
    page->m_QueryMode->setCurrentIndex(1);
    page->m_Apply->click();
    page->m_QueryCount->setCurrentIndex(0);
    page->m_Apply->click();
    EXPECT_EQ(SetBytes(Sent<TSessionIgmp2Set>().at(0)), Bytes({1, 1, 25, 5})); // count as each target read it
    EXPECT_EQ(SetBytes(Sent<TSessionIgmp2Set>().at(1)), Bytes({1, 1, 25, 2}));
    EXPECT_EQ(SetBytes(Sent<TSessionIgmp2Set>().at(3)), Bytes({1, 1, 25, 1}));

    TModuleIgmp first; // the first generation's page sends its two fields
    first.SetHost(&env.host);
    Put(device, TPropertyIgmp{true, false, 2});
    first.OnNotify(device, ccIgmpGet, ssOk);
    first.m_Apply->click();
    EXPECT_EQ(SetBytes(Sent<TSessionIgmpSet>().at(0)), Bytes({0, 2}));
}

using IgmpTablePage = TPageTest<TModuleIgmp2Table>;

TEST_F(IgmpTablePage, MembersAreNumberedByListedPortAndEachColumnSortsByItsKey)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, IntpTest::PortNames(ModelOf(device), {2}));
    // Ports 2 and 4 shown as 2, 3; the hidden port's bit left out.
    Put(device, IntpTest::Table<TPropertyIgmp2Table>({{0b1010, 0x0A00000A, 5}, {0, 0x0A000009, 7}, {0b0101, 1, 6}}));
    Notify(device, ccIgmp2Table);
    auto column = [&](int c, QStringList cells = {}) {
        for (int line = 0; line < page->m_List->RowCount(); ++line) cells << page->m_List->Text(line, c);
        return cells;
    };
    EXPECT_EQ(column(3), (QStringList{"2, 3", "", "1"}));
    auto click = [&](int c) { emit page->m_List->header()->sectionClicked(c); };
    click(1);
    EXPECT_EQ(column(1), (QStringList{"0.0.0.1", "10.0.0.9", "10.0.0.10"}));
    click(1);
    EXPECT_EQ(column(0), (QStringList{"1", "2", "3"}));
    click(3); // the member mask as a number
    EXPECT_EQ(column(0), (QStringList{"2", "3", "1"}));

    // The sort outlives a refill; leaving empties the list.
    Put(device, IntpTest::Table<TPropertyIgmp2Table>({{2, 1, 9}, {1, 2, 3}}));
    Notify(device, ccIgmp2Table);
    EXPECT_EQ(column(2), (QStringList{"3", "9"}));
    EXPECT_TRUE(page->Leave(false));
    EXPECT_EQ(page->m_List->RowCount(), 0);
    env.host.selection = {Select(2, TestModel(0))};  // a model without ports names no member
    Put(env.host.selection[0], IntpTest::Table<TPropertyIgmp2Table>({{0b11, 1, 1}}));
    Notify(env.host.selection[0], ccIgmp2Table);
    EXPECT_EQ(column(3), QStringList{""});
}

using LldpPage = TPageTest<TModuleLldp>;

TEST_F(LldpPage, ASwitchNeverReadShowsNotTheLastSwitchsValuesAndApplySendsTheFields)
{
    TDevice* first = Select(1, TestModel(8));
    Put(first, TPropertyLldp{true, true, 120});
    Notify(first, ccLldpGet);
    page->m_Interval->setValue(65535);
    page->m_Apply->click();
    env.host.selection = {Select(2, TestModel(8))};
    Refill();
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Interval->text(), "");
    EXPECT_EQ(SetBytes(Sent<TSessionLldpSet>().at(0)), Bytes({1, 0, 0xFF, 0xFF}));
}
