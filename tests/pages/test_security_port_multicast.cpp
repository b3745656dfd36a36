// The port security and multicast filter pages through the page test kit.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "pages/kit/NumberBox.h"
#include "pages/security/ModuleSecurity_MultiFilter.h"
#include "pages/security/ModuleSecurity_Port.h"
#include "pages/kit/PageWidgets.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

using namespace Intp;
using IntpTest::Mac;

class PortSecurityPage : public TPageTest<TModuleSecurityPort> {
protected:
    // Four ports (the second named "Port.XX") and a trunk group; two entries.
    void SelectSwitch(uint8_t last)
    {
        TDevice* device = Select(last, TestModel(4, 0, 1));
        Put(device, IntpTest::PortNames(ModelOf(device), {1}));
        Put(device, IntpTest::PortConfig(ModelOf(device)));
        Put(device, IntpTest::Table<TPropertySecurityPort>({{2, Mac(0xAB)}, {0, Mac(0xCD)}}));
        Notify(device, ccSecurityPortGet);
    }
    bool Add() const { return page->m_Add->isEnabled(); }
    bool Delete() const { return page->m_Delete->isEnabled(); }
    const QString ab = QString::fromStdString(Mac(0xAB).ToString()).remove(':');
};

TEST_F(PortSecurityPage, TheAddressCheckDecidesAddOrDeleteAndTheListWaitsForTheSwitch)
{
    SelectSwitch(1);
    SelectSwitch(2);
    ASSERT_EQ(page->m_List->RowCount(), 2);
    EXPECT_EQ(page->m_List->Model()->Cell(0, 0), "Port.03");
    EXPECT_EQ(page->m_Port->count(), 5);  // every port, "Port.XX" too, and the trunk group

    page->m_MAC->setText(ab.toLower());
    EXPECT_EQ(page->m_MAC->text(), ab);
    EXPECT_TRUE(Add() && !Delete());  // port 0 has another address
    page->m_Port->setCurrentIndex(2);
    EXPECT_TRUE(Add() && !Delete());  // a port change alone checks nothing
    page->m_MAC->clear();
    page->m_MAC->setText(ab);
    EXPECT_TRUE(!Add() && Delete());
    page->m_Delete->click();
    page->m_MAC->setText(ab.left(11));
    EXPECT_FALSE(Add() || Delete());
    page->m_Port->setCurrentIndex(3);
    page->m_MAC->setText(ab);
    page->m_Add->click();

    ASSERT_EQ(Sent<TSessionSecurityPortDel>().size(), 2u);  // the address alone, to every target
    EXPECT_EQ(Sent<TSessionSecurityPortDel>()[0].mac, Mac(0xAB));
    EXPECT_EQ(Sent<TSessionSecurityPortAdd>().at(1).port, 3u);
    EXPECT_EQ(page->m_List->RowCount(), 2);

    page->m_List->SelectRow(1);
    EXPECT_EQ(page->m_Port->currentData().toUInt(), 0u);
    EXPECT_TRUE(Delete());
    // Without the port configuration the chooser is empty: nothing to add.
    Property<TPropertyPortConfig>::Get(env.host.Current()).valid = false;
    Notify(env.host.Current(), ccSecurityPortGet);
    page->m_MAC->setText(ab);
    EXPECT_FALSE(Add() || Delete());
}

class MultiFilterPage : public TPageTest<TModuleSecurityMultiFilter> {
protected:
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
    void Tick(int box) { page->m_Ports->item(box)->setCheckState(Qt::Checked); }
};

TEST_F(MultiFilterPage, AddNeedsAGroupAddressWhateverTheBoxesAndSendsOnlyTheBoxesBits)
{
    TDevice* device = Select(1, TestModel(8));
    PutTable(device, 0);
    ASSERT_EQ(page->m_Ports->count(), 8);
    EXPECT_EQ(Cell(0, 3), "1*3*****");

    page->m_Ip->setText("127.0.0.1");
    Tick(1);
    EXPECT_FALSE(Add());  // a box never enables Add for an address that is no group's
    page->m_Ip->setText("239.1.1.127");
    page->m_VlanId->setValue(7);
    EXPECT_TRUE(!Add() && page->m_Remove->isEnabled());
    Tick(2);  // a listed group again, with other members
    EXPECT_TRUE(Add());
    page->m_Add->click();
    const auto added = Sent<TSessionSecurityMultiFilterAdd>();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].ports, 0x6u);
    EXPECT_EQ(added[0].group, Ip(239, 1, 1, 127));
    EXPECT_EQ(added[0].vid, 7u);

    // Three ports offered: three boxes; Remove names the switch's own entry
    // whole, its member beyond them too.
    PutTable(device, 0x80000007);
    ASSERT_EQ(page->m_Ports->count(), 3);
    EXPECT_EQ(Cell(1, 3), "1**");
    page->m_ListView->SelectRow(1);
    page->m_Remove->click();
    const auto removed = Sent<TSessionSecurityMultiFilterDel>().at(0);
    EXPECT_EQ(removed.ports, 0x81u);
    EXPECT_EQ(removed.vid, 2u);

    // A VLAN the box can't show (40 is shown; 5000 is clamped) is removed as listed.
    auto table = IntpTest::Table<TPropertySecurityMultiFilter>({{0x1, Ip(224, 0, 0, 9), 5000}});
    Put(device, table);
    Notify(device, ccSecurityMultiFilterGet);
    page->m_ListView->SelectRow(0);
    page->m_Remove->click();
    EXPECT_EQ(Sent<TSessionSecurityMultiFilterDel>().back().vid, 5000u);
}

TEST_F(MultiFilterPage, RowsSortByNumberAndVlanOnlyAndPortsPastAMaskAreSaid)
{
    PutTable(Select(1, TestModel(40)), 0);
    EXPECT_EQ(page->m_Ports->count(), 32);
    EXPECT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    page->m_ListView->header()->sectionClicked(2);
    EXPECT_EQ(Cell(0, 2) + Cell(2, 2), "240");
    page->m_ListView->header()->sectionClicked(1);  // addresses compare equal: order kept
    EXPECT_EQ(Cell(0, 2), "2");
}
