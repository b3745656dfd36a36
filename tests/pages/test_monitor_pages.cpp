// The monitor pages through the page test kit.

#include "PageTestKit.h"
#include "intp/Monitor.h"
#include "pages/ports/ModuleMonitor_Event.h"
#include "pages/ports/ModuleMonitor_MAC.h"
#include "pages/ports/ModuleMonitor_Mirror.h"
#include "pages/ports/ModuleMonitor_Mirror2.h"
#include "tests/common/Records.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

class MonitorMacPage : public TPageTest<TModuleMonitorMac> {
protected:
    // Four ports and a trunk group, the second port hidden.
    Intp::TDevice* SelectSwitch()
    {
        Intp::TDevice* device = Select(1, TestModel(4, 0, 1));
        const Intp::TDeviceType& model = Intp::ModelOf(device);
        Put(device, IntpTest::PortNames(model, {1}));
        Put(device, IntpTest::PortConfig(model));
        return device;
    }
    // The table read started by the chain empties the record: it is put after.
    void PutTable(Intp::TDevice* device)
    {
        Put(device, IntpTest::Table<Intp::TPropertyMonitorMac>({{2, IntpTest::Mac(0xbb), false},
                                                                 {0, IntpTest::Mac(9), true},
                                                                 {2, IntpTest::Mac(0xAA), true},
                                                                 {2, IntpTest::Mac(0xaa), false}}));
    }
    QString Cell(int row, int column) const { return page->m_List->Model()->Cell(row, column); }
};

TEST_F(MonitorMacPage, ReadsChainFromNamesHiddenPortsAreNotOfferedAndRowsSortPerColumn)
{
    Intp::TDevice* device = SelectSwitch();
    EXPECT_EQ(page->Refresh(true), 1);
    Notify(device, Intp::ccPortNameGet);
    EXPECT_EQ(SentCount(Intp::ccPortConfigGet), 1u);
    Notify(device, Intp::ccPortConfigGet);
    EXPECT_EQ(SentCount(Intp::ccMonitorMacGet), 1u);
    PutTable(device);
    Notify(device, Intp::ccMonitorMacGet);

    ASSERT_EQ(page->m_Port->count(), 4); // Port.01, Port.03, Port.04, Trunk1
    EXPECT_EQ(page->m_Port->itemText(1), "Port.03");
    EXPECT_EQ(page->m_Dynamic->text(), "0");
    EXPECT_EQ(page->m_Static->text(), "1");
    page->m_Port->setCurrentIndex(1);
    ASSERT_EQ(page->m_List->RowCount(), 3);
    EXPECT_EQ(Cell(0, 1), "00:1A:00:00:00:BB");
    EXPECT_EQ(Cell(1, 2), "Static");
    EXPECT_EQ(page->m_Dynamic->text(), "2");

    page->m_List->header()->sectionClicked(1); // ascending by address: the two ...:AA rows first, kept in order
    EXPECT_EQ(Cell(0, 0), "2");
    EXPECT_EQ(Cell(1, 0), "3");
    page->m_List->header()->sectionClicked(0);
    page->m_List->header()->sectionClicked(0); // descending by number
    EXPECT_EQ(Cell(0, 0), "3");

    // Every port hidden: no item, no row.
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {0, 1, 2, 3, 4}));
    Notify(device, Intp::ccMonitorMacGet);
    EXPECT_EQ(page->m_Port->count(), 0);
    EXPECT_EQ(page->m_List->RowCount(), 0);

    page->m_Clear->click();
    EXPECT_EQ(SentCount(Intp::ccMonitorMacClear), 1u);
}

class MonitorEventPage : public TPageTest<TModuleMonitorEvent> {};

TEST_F(MonitorEventPage, ViewPagesOfAHundredLatestFirst)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    std::vector<Intp::TPropertyMonitorEventEntry> entries;
    for (int i = 0; i < 250; ++i)
        entries.push_back({"E" + std::to_string(i), i == 249 ? "" : "caf\xe9"});
    Put(device, IntpTest::Table<Intp::TPropertyMonitorEvent>(entries));
    Notify(device, Intp::ccMonitorEventGet);
    ASSERT_EQ(page->m_Pages->count(), 3);
    EXPECT_EQ(page->m_Pages->itemText(2), "Page.03");
    QStringList lines = page->m_Log->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 100);
    EXPECT_EQ(lines[0], "E249: ");
    EXPECT_EQ(lines[1], QString::fromUtf8("E248: caf\u00e9"));
    page->m_Pages->setCurrentIndex(2);
    lines = page->m_Log->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 50);
    EXPECT_EQ(lines.back(), QString::fromUtf8("E0: caf\u00e9"));

    Put(device, IntpTest::Table<Intp::TPropertyMonitorEvent>({}));
    Notify(device, Intp::ccMonitorEventGet);
    EXPECT_EQ(page->m_Pages->count(), 1);
    EXPECT_TRUE(page->m_Log->toPlainText().isEmpty());
    page->m_Clear->click();
    EXPECT_EQ(SentCount(Intp::ccMonitorEventClear), 1u);

    // The log is as wide as the page, not a field's width.
    page->resize(760, 560);
    page->show();
    QCoreApplication::sendPostedEvents();
    EXPECT_GT(page->m_Log->width(), 700);
}

class MirrorPage : public TPageTest<TModuleMonitorMirror> {};

TEST_F(MirrorPage, HeaderClickNegatesTheFirstRowAndClearThenApplySendsEmptyMasks)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Put(device, Intp::TPropertyMonitorMirror{true, 2, 1, 0x5, 0x2});
    Notify(device, Intp::ccMonitorMirrorGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 4);
    EXPECT_EQ(page->m_DestTx->currentIndex(), 1);
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 2), "Yes");
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 1), "");
    page->m_ListView->header()->sectionClicked(2);
    page->m_ListView->SelectRow(1);  // the sources are ticked in check boxes
    EXPECT_TRUE(page->m_SrcTx->isChecked() && !page->m_SrcRx->isChecked());
    page->m_SrcTx->click();
    page->m_SrcRx->click();
    EXPECT_EQ(page->m_ListView->Model()->Cell(1, 1) + "|" + page->m_ListView->Model()->Cell(1, 2), "|Yes");
    page->m_ListView->SelectRow(3);
    page->m_SrcTx->click();
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionMonitorMirrorSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].rxSources, 0x2u);
    EXPECT_EQ(sent[0].txSources, 0x8u);

    page->m_ListView->header()->sectionClicked(1); // first row off: every row on
    page->m_Clear->click();
    EXPECT_FALSE(page->m_SrcTx->isChecked());
    page->m_Apply->click();
    sent = Sent<Intp::TSessionMonitorMirrorSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].txSources | sent[1].rxSources, 0u);
    EXPECT_EQ(sent[1].rxPort, 2u);
    EXPECT_EQ(sent[1].txPort, 1u);
}

// A 48-port first-generation switch mirroring to ports 43 and 44: Apply
// unedited sends the bytes read.
TEST_F(MirrorPage, DestinationsPastPort32AreChosenAndSentBackAsRead)
{
    Intp::TDevice* device = Select(1, TestModel(48));
    page->Refresh(true);
    const std::vector<std::uint8_t> record = {42, 43, 0x80, 0, 0, 0x01, 0, 0, 0, 0x06};
    env.protocol.Reply(Intp::ccMonitorMirrorGet, device, record);
    EXPECT_EQ(page->m_DestRx->currentText() + page->m_DestTx->currentText(), "Port.43Port.44");
    page->m_Apply->click();
    ASSERT_EQ(SentCount(Intp::ccMonitorMirrorSet), 1u);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccMonitorMirrorSet)[0].payload, record);

    // Of a 40-port model now: port 44 has no item, and Apply writes no other.
    device->SetType(TestModel(40));
    Refill();
    EXPECT_EQ(page->m_DestTx->currentIndex(), -1);
    page->m_Apply->click();
    EXPECT_EQ(SentCount(Intp::ccMonitorMirrorSet), 1u);
}

class Mirror2Page : public TPageTest<TModuleMonitorMirror2> {};

TEST_F(Mirror2Page, HiddenPortsAreNotOfferedAndTheSamePortTwiceDisablesApply)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {1}));
    Put(device, Intp::TPropertyMonitorMirror2{true, 0, 0, 2});
    Notify(device, Intp::ccMonitorMirror2Get);
    ASSERT_EQ(page->m_SrcPort->count(), 3);
    EXPECT_EQ(page->m_DstPort->currentIndex(), 1);
    EXPECT_EQ(page->m_SrcPort->itemText(2), "Port.03");
    EXPECT_EQ(page->m_Mode->currentIndex(), 0);
    EXPECT_FALSE(page->m_SrcPort->isEnabled());
    page->m_Mode->setCurrentIndex(1);
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Apply->toolTip(), "");
    page->m_DstPort->setCurrentIndex(0);
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Apply->toolTip(), "The monitored port cannot also be the analysis port.");
    page->m_DstPort->setCurrentIndex(2);
    EXPECT_EQ(page->m_Apply->toolTip(), "");
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionMonitorMirror2Set>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].mode, 1u);
    EXPECT_EQ(sent[0].monitoredPort, 0u);
    EXPECT_EQ(sent[0].analysisPort, 3u); // the third listed port is port index 3

    Put(device, Intp::TPropertyMonitorMirror2{true, 3, 3, 2});
    Notify(device, Intp::ccMonitorMirror2Get);
    EXPECT_EQ(page->m_Mode->currentIndex(), 3);
    EXPECT_EQ(page->m_SrcPort->currentIndex(), 2);
    EXPECT_EQ(page->m_DstPort->currentIndex(), 1);
    // Mirroring off: the choosers are off, the switch keeps its own ports.
    page->m_Mode->setCurrentIndex(0);
    page->m_Apply->click();
    sent = Sent<Intp::TSessionMonitorMirror2Set>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].mode, 0u);
    EXPECT_EQ(sent[1].monitoredPort, 3u);
    EXPECT_EQ(sent[1].analysisPort, 2u);
}
