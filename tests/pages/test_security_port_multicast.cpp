// The port security and multicast filter pages through the page test kit.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/SecurityMultiFilter.h"
#include "intp/SecurityTables.h"
#include "pages/kit/PageWidgets.h"
#include "pages/security/ModuleSecurity_MultiFilter.h"
#include "pages/security/ModuleSecurity_Port.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>

using namespace Intp;
using IntpTest::Mac;

class PortSecurityPage : public TPageTest<TModuleSecurityPort> {
protected:
    // Four ports (the second named "Port.XX") and a trunk group; two entries.
    TDevice* SelectSwitch(uint8_t last = 1)
    {
        TDevice* device = Select(last, TestModel(4, 0, 1));
        Put(device, IntpTest::PortNames(ModelOf(device), {1}));
        Put(device, IntpTest::PortConfig(ModelOf(device)));
        Put(device, IntpTest::Table<TPropertySecurityPort>({{2, Mac(0xAB)}, {0, Mac(0xCD)}}));
        return device;
    }
    QString Cell(int row, int column) const { return page->m_List->Model()->Cell(row, column); }
    bool Add() const { return page->m_Add->isEnabled(); }
    bool Delete() const { return page->m_Delete->isEnabled(); }
};

TEST_F(PortSecurityPage, PortAndAddressDecideAddOrDeleteAndTheListWaitsForTheSwitch)
{
    TDevice* device = SelectSwitch();
    SelectSwitch(2);
    Notify(device, ccSecurityPortGet);
    ASSERT_EQ(page->m_List->RowCount(), 2);
    EXPECT_EQ(Cell(0, 0), "Port.03");
    EXPECT_EQ(Cell(0, 1), QString::fromStdString(Mac(0xAB).ToString()));
    EXPECT_EQ(page->m_Port->count(), 5);  // every port, "Port.XX" too, and the trunk group

    const QString ab = QString::fromStdString(Mac(0xAB).ToString()).remove(':');
    page->m_MAC->setText(ab.toLower());
    EXPECT_EQ(page->m_MAC->text(), ab);
    EXPECT_TRUE(Add() && !Delete());  // port 0 has another address
    page->m_Port->setCurrentIndex(2);
    EXPECT_TRUE(!Add() && Delete());
    page->m_Delete->click();
    page->m_MAC->setText(ab.left(11));
    EXPECT_FALSE(Add() || Delete());
    page->m_MAC->setText(ab);
    page->m_Port->setCurrentIndex(3);
    page->m_Add->click();

    const auto deleted = Sent<TSessionSecurityPortDel>();
    const auto added = Sent<TSessionSecurityPortAdd>();
    ASSERT_EQ(deleted.size(), 2u);  // the address alone, to every target
    EXPECT_EQ(deleted[0].mac, Mac(0xAB));
    EXPECT_EQ(deleted[0].port, 0u);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[1].port, 3u);
    EXPECT_EQ(added[1].mac, Mac(0xAB));
    EXPECT_EQ(page->m_List->RowCount(), 2);
}

TEST_F(PortSecurityPage, SelectingARowFillsTheFormAndAnEmptyChooserNeverAdds)
{
    TDevice* device = SelectSwitch();
    Notify(device, ccSecurityPortGet);
    page->m_List->SelectRow(1);
    EXPECT_EQ(page->m_Port->currentData().toUInt(), 0u);
    EXPECT_EQ(page->m_MAC->text(), QString::fromStdString(Mac(0xCD).ToString()).remove(':'));
    EXPECT_TRUE(Delete());

    Property<TPropertyPortConfig>::Get(device).valid = false;
    Notify(device, ccSecurityPortGet);
    EXPECT_EQ(page->m_Port->count(), 0);
    EXPECT_EQ(page->m_List->RowCount(), 0);
    page->m_MAC->setText("0011223344EE");
    EXPECT_FALSE(Add() || Delete());
    page->m_Add->click();
    EXPECT_EQ(SentCount(ccSecurityPortAdd), 0u);
}

class MultiFilterPage : public TPageTest<TModuleSecurityMultiFilter> {
protected:
    TDevice* SelectSwitch(uint32_t ports, uint32_t available)
    {
        TDevice* device = Select(1, TestModel(ports));
        PutTable(device, available);
        return device;
    }
    void PutTable(TDevice* device, uint32_t available)
    {
        auto table = IntpTest::Table<TPropertySecurityMultiFilter>(
            {{0x5, Ip(239, 1, 2, 3), 5}, {0x81, Ip(239, 1, 1, 127), 2}, {0x2, Ip(224, 0, 0, 9), 40}});
        table.availablePorts = available;
        Put(device, table);
        Notify(device, ccSecurityMultiFilterGet);
    }
    QString Cell(int row, int column) const { return page->m_ListView->Model()->Cell(row, column); }
    bool Add() const { return page->m_Add->isEnabled(); }
    bool Remove() const { return page->m_Remove->isEnabled(); }
    void Tick(int box, bool on)
    {
        page->m_Ports->item(box)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
};

TEST_F(MultiFilterPage, AddNeedsAGroupAddressWhateverTheBoxesAndSendsOnlyTheBoxesBits)
{
    TDevice* device = SelectSwitch(8, 0);
    ASSERT_EQ(page->m_Ports->count(), 8);
    ASSERT_EQ(page->m_ListView->RowCount(), 3);
    EXPECT_EQ(Cell(0, 1), "239.1.2.3");
    EXPECT_EQ(Cell(0, 3), "1*3*****");

    page->m_Ip->setText("127.0.0.1");
    Tick(1, true);
    EXPECT_FALSE(Add() || Remove());  // a box never enables Add for an address that is no group's
    page->m_Ip->setText("239.1.1.127");
    EXPECT_TRUE(!Add() && Remove());
    Tick(2, true);  // a listed group again, with other members
    EXPECT_TRUE(Add());
    page->m_Ip->setText("239.1.2.4");
    page->m_VlanId->setValue(7);
    page->m_Add->click();
    const auto added = Sent<TSessionSecurityMultiFilterAdd>();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].ports, 0x6u);
    EXPECT_EQ(added[0].group, Ip(239, 1, 2, 4));
    EXPECT_EQ(added[0].vid, 7u);

    // Three ports offered: three boxes; a row's member beyond them is not sent.
    PutTable(device, 0x80000007);
    ASSERT_EQ(page->m_Ports->count(), 3);
    EXPECT_EQ(page->m_Ports->item(2)->text(), "Port.03");
    EXPECT_EQ(Cell(1, 3), "1**");
    page->m_ListView->SelectRow(1);
    EXPECT_EQ(page->m_Ip->text(), "239.1.1.127");
    EXPECT_TRUE(!Add() && Remove());
    page->m_Remove->click();
    const auto removed = Sent<TSessionSecurityMultiFilterDel>();
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(removed[0].ports, 0x1u);
    EXPECT_EQ(removed[0].vid, 2u);
    EXPECT_EQ(page->m_ListView->RowCount(), 3);
}

TEST_F(MultiFilterPage, RowsSortByNumberAndVlanOnlyAndPortsPastAMaskAreSaid)
{
    SelectSwitch(40, 0);
    EXPECT_EQ(page->m_Ports->count(), 32);
    EXPECT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    page->m_ListView->header()->sectionClicked(2);
    EXPECT_EQ(Cell(0, 2), "2");
    EXPECT_EQ(Cell(2, 2), "40");
    page->m_ListView->header()->sectionClicked(1);  // addresses compare equal: order kept
    EXPECT_EQ(Cell(0, 2), "2");
    page->m_ListView->header()->sectionClicked(0);
    page->m_ListView->header()->sectionClicked(0);  // by number, descending
    EXPECT_EQ(Cell(0, 0), "3");
}
