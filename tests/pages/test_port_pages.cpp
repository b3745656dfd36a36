// The port pages through the page test kit.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "tests/common/Records.h"
#include "pages/ports/ModulePort_Config.h"
#include "pages/ports/ModulePort_Status.h"
#include "pages/ports/ModulePort_Limit.h"
#include "pages/ports/ModulePort_Limit2.h"

#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

#include <algorithm>

class PortConfigPage : public TPageTest<TModulePortConfig> {
protected:
    // Four ports and a trunk group, the second port not offered; the switch
    // lists them backwards.
    Intp::TDevice* SelectSwitch(std::uint8_t last = 1)
    {
        Intp::TDevice* device = Select(last, TestModel(4, 0, 1));
        const Intp::TDeviceType& model = Intp::ModelOf(device);
        Put(device, IntpTest::PortNames(model, {1}));
        Intp::TPropertyPortConfig config = IntpTest::PortConfig(model);
        std::reverse(config.entries.begin(), config.entries.end());
        config.entries[4].speedDuplex = 6;  // port 0: "10 Half", "Asymmetric"
        config.entries[4].flowControl = 2;
        config.entries[0].speedDuplex = 7;  // the trunk group: a mode without a name
        Put(device, config);
        return device;
    }
    QString Cell(int row, int column) const { return page->m_ListView->Model()->Cell(row, column); }
};

TEST_F(PortConfigPage, RowsSortByNameWithoutHiddenPortsAndApplyPadsForThem)
{
    Intp::TDevice* device = SelectSwitch();
    Notify(device, Intp::ccPortConfigGet);

    ASSERT_EQ(page->m_ListView->RowCount(), 4);
    EXPECT_EQ(Cell(0, 0), "Port.01");
    EXPECT_EQ(Cell(3, 0), "Trunk1");
    EXPECT_EQ(Cell(0, 2), "10 Half");
    EXPECT_EQ(Cell(3, 2), "Unknown (7)");

    // Another switch keeps its own value of the field shown without a name.
    Intp::TDevice* other = SelectSwitch(2);
    Intp::Property<Intp::TPropertyPortConfig>::Get(other).entries[0].speedDuplex = 4;
    page->m_ListView->SelectRow(0);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(3))->setCurrentIndex(1);
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionPortConfigSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].entries[3].speedDuplex, 4u);
    EXPECT_EQ(sent[1].entries[4].flowControl, 1u);
    const auto& entries = sent[0].entries;
    ASSERT_EQ(entries.size(), 5u);  // four rows, then the first row again for the hidden port
    EXPECT_EQ(entries[0].port, 0u);
    EXPECT_EQ(entries[0].flowControl, 1u);
    EXPECT_EQ(entries[1].port, 2u);
    EXPECT_EQ(entries[3].speedDuplex, 7u);  // sent back as read
    EXPECT_EQ(entries[4].port, 0u);
    EXPECT_EQ(entries[4].flowControl, 1u);
}

TEST_F(PortConfigPage, ReadsChainFromThePortNamesHeaderClicksStepEveryRowAndNoRowSendsNothing)
{
    Intp::TDevice* device = SelectSwitch();
    EXPECT_EQ(page->Refresh(true), 1);
    EXPECT_EQ(SentCount(Intp::ccPortConfigGet), 0u);
    Notify(device, Intp::ccPortNameGet);  // starts the configuration read, fills nothing
    EXPECT_EQ(SentCount(Intp::ccPortConfigGet), 1u);
    EXPECT_EQ(page->m_ListView->RowCount(), 0);

    Notify(device, Intp::ccPortConfigGet);
    page->m_ListView->header()->sectionClicked(0);  // never sorts
    page->m_ListView->header()->sectionClicked(2);  // from "10 Half"
    page->m_ListView->header()->sectionClicked(3);  // from "Asymmetric"
    EXPECT_EQ(Cell(0, 0), "Port.01");
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Cell(row, 2), "Auto Negotiation") << row;
        EXPECT_EQ(Cell(row, 3), "Disable") << row;
    }

    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {0, 1, 2, 3, 4}));
    Notify(device, Intp::ccPortConfigGet);
    EXPECT_EQ(page->m_ListView->RowCount(), 0);
    page->m_Apply->click();
    EXPECT_EQ(SentCount(Intp::ccPortConfigSet), 0u);

    Intp::Property<Intp::TPropertyPortName>::Get(device).valid = false;
    Notify(device, Intp::ccPortConfigGet);
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

TEST_F(PortConfigPage, ASwitchThatCantTakeTheChangeOrRefusesItIsNamed)
{
    Intp::TDevice* device = SelectSwitch();
    Intp::TDevice* small = Select(2, TestModel(2));
    Put(small, IntpTest::PortNames(Intp::ModelOf(small)));
    Put(small, IntpTest::PortConfig(Intp::ModelOf(small)));
    Notify(device, Intp::ccPortConfigGet);
    page->m_Apply->click();
    ASSERT_EQ(SentCount(Intp::ccPortConfigSet), 1u);
    env.protocol.Reply(Intp::ccPortConfigSet, device, {0, 0, 0, 0}, 5);
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_EQ(env.messages,
              QStringList{"The change was not made on every switch:\n\n"
                          "10.0.0.2 (00:11:22:33:44:02): not changed, its model has 2 ports, "
                          "this change is for port 3\n"
                          "10.0.0.1 (00:11:22:33:44:01): the switch refused (code 5)"});
}

class PortStatusPage : public TPageTest<TModulePortStatus> {
protected:
    QString Cell(int row, int column) const { return page->m_List->Model()->Cell(row, column); }
};

TEST_F(PortStatusPage, ValuesWithoutATextShowAsUnknownAndLinkClicksSortBothWays)
{
    Intp::TDevice* device = Select(1, TestModel(3));
    auto status = IntpTest::PerPort<Intp::TPropertyPortStatus>(Intp::ModelOf(device), [](std::size_t i, auto& e) {
        e.link = i == 1;
        e.mediaType = 4;
    });
    status.entries[2].speedDuplex = 7;  // accepted by the library, no text
    Put(device, status);
    Notify(device, Intp::ccPortStatusGet);
    ASSERT_EQ(page->m_List->RowCount(), 3);
    EXPECT_EQ(Cell(2, 0), "Port.03");
    EXPECT_EQ(Cell(2, 1), "100TX");
    EXPECT_EQ(Cell(2, 4), "Unknown (7)");

    page->m_List->header()->sectionClicked(2);
    EXPECT_EQ(Cell(2, 0), "Port.02");  // "Up" after "Down"
    page->m_List->header()->sectionClicked(2);
    EXPECT_EQ(Cell(0, 0), "Port.02");
}

class PortLimitPage : public TPageTest<TModulePortLimit> {};

TEST_F(PortLimitPage, FrameTypeClicksCycleEveryPortAndApplySendsOneEntryPerPort)
{
    Intp::TDevice* device = Select(1, TestModel(3));
    auto limits = IntpTest::PerPort<Intp::TPropertyPortLimit>(Intp::ModelOf(device), [](std::size_t i, auto& e) {
        e.frameType = 3;
        e.ingress = std::uint32_t(100 * i);
    });
    Put(device, limits);
    Notify(device, Intp::ccPortLimitGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 3);
    EXPECT_EQ(page->m_ListView->Model()->Cell(2, 0), "Port.03");
    page->m_ListView->header()->sectionClicked(1);  // "Broadcast Only" -> "All"
    EXPECT_EQ(page->m_ListView->Model()->Cell(1, 1), "All");
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionPortLimitSet>();
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].entries.size(), 3u);
    EXPECT_EQ(sent[0].entries[2].frameType, 0u);
    EXPECT_EQ(sent[0].entries[2].ingress, 200u);
}

class PortLimit2Page : public TPageTest<TModulePortLimit2> {};

TEST_F(PortLimit2Page, HiddenPortsGetNoRowAndKeepTheirRatesAsRead)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {2, 3}));
    Put(device, IntpTest::PerPort<Intp::TPropertyPortLimit2>(Intp::ModelOf(device), [](std::size_t i, auto& e) {
        e.inRate = std::uint32_t(i + 1);
    }));
    Notify(device, Intp::ccPortLimit2Get);
    ASSERT_EQ(page->m_ListView->RowCount(), 2);
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionPortLimit2Set>();
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].entries.size(), 4u);
    EXPECT_EQ(sent[0].entries[3].inRate, 4u);

    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {0, 1, 2, 3}));  // every port hidden
    Notify(device, Intp::ccPortLimit2Get);
    EXPECT_EQ(page->m_ListView->RowCount(), 0);
    page->m_Apply->click();
    EXPECT_EQ(SentCount(Intp::ccPortLimit2Set), 1u);
}
