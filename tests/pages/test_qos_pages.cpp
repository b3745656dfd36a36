// The QoS pages of both generations through the page test kit.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "pages/ports/qos/ModuleQos.h"
#include "pages/ports/qos/ModuleQos2_Port.h"
#include "pages/ports/qos/ModuleQos2_Tos.h"
#include "pages/ports/qos/ModuleQos_Cos.h"
#include "tests/common/Records.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>

using namespace Intp;

namespace {

QString Cell(const TValueList* list, int row) { return list->Model()->Cell(row, 1); }

}  // namespace

using QosPolicyPage = TPageTest<TModuleQos>;

TEST_F(QosPolicyPage, ShowsTheSchemeAndPriorityTypeAndSendsThemBack)
{
    TDevice* device = Select(1, TestModel(4));
    Put(device, TPropertyQos{true, 1, 5});
    Notify(device, ccQosGet);
    EXPECT_TRUE(page->m_Strict->isChecked());
    EXPECT_EQ(page->m_Mode->currentText(), "TOS First");
    page->m_Weighted->setChecked(true);
    page->m_Mode->setCurrentIndex(2);
    page->m_Apply->click();
    auto sent = Sent<TSessionQosSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].policy, 0u);
    EXPECT_EQ(sent[0].priorityType, 2u);
}

class QosCosPage : public TPageTest<TModuleQosCos> {
protected:
    TDevice* Show(std::uint32_t ports = 3)
    {
        TDevice* device = Select(1, TestModel(ports));
        TPropertyQosCos cos = IntpTest::PerPort<TPropertyQosCos>(ModelOf(device), [](std::size_t i, auto& p) {
            p = std::uint32_t(i + 5);
        });
        cos.cosMap = {3, 0, 1, 2, 3, 0, 1, 2};
        Put(device, cos);
        Notify(device, ccQosCosGet);
        return device;
    }
};

TEST_F(QosCosPage, HeaderClicksCycleEachListModuloItsChoicesAndOnlyTheGetRefills)
{
    NotifyRead(page.get(), Select(1, TestModel(3)), ccQosCosGet, ssTimeout);  // never read: no rows of defaults
    EXPECT_EQ(page->m_CosList->RowCount() + page->m_PortList->RowCount(), 0);
    TDevice* device = Show();
    ASSERT_EQ(page->m_CosList->RowCount(), 8);
    ASSERT_EQ(page->m_PortList->RowCount(), 3);
    EXPECT_EQ(page->m_CosList->Model()->Cell(7, 0), "Priority.07");
    EXPECT_EQ(page->m_PortList->Model()->Cell(2, 0), "Port.03");
    EXPECT_EQ(Cell(page->m_PortList, 2), "Priority.07");

    page->m_CosList->header()->sectionClicked(1);  // from "High"
    EXPECT_EQ(Cell(page->m_CosList, 5), "Lowest");
    page->m_CosList->header()->sectionClicked(1);
    EXPECT_EQ(Cell(page->m_CosList, 7), "Low");
    page->m_PortList->header()->sectionClicked(0);  // the caption column does nothing
    for (int click = 0; click < 3; ++click)         // from "Priority.05", past 7
        page->m_PortList->header()->sectionClicked(1);
    EXPECT_EQ(Cell(page->m_PortList, 1), "Priority.00");

    page->OnNotify(device, ccQosCosSet, ssOk);  // edits survive the Set's notification
    EXPECT_EQ(Cell(page->m_CosList, 0), "Low");
    Notify(device, ccQosCosGet);
    EXPECT_EQ(Cell(page->m_CosList, 0), "High");
}

TEST_F(QosCosPage, ApplySendsBothListsAndNamesALargerTargetNeverRead)
{
    TDevice* device = Show();
    Select(2, TestModel(5));
    page->m_PortList->SelectRow(1);
    static_cast<QComboBox*>(page->m_PortList->EditorOf(1))->setCurrentIndex(2);
    page->m_Apply->click();
    auto sent = Sent<TSessionQosCosSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].cosMap, (std::array<std::uint8_t, 8>{3, 0, 1, 2, 3, 0, 1, 2}));
    EXPECT_EQ(sent[0].portDefault, (std::vector<std::uint32_t>{5, 2, 7}));
    env.protocol.Reply(ccQosCosSet, device, {0, 0, 0, 0});
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(env.messages.front().contains("10.0.0.2 (00:11:22:33:44:02): not changed, its own page is not "
                                              "available: the switch's settings have not been read"))
        << env.messages.front().toStdString();
}

using Qos2PortPage = TPageTest<TModuleQos2Port>;

TEST_F(Qos2PortPage, HiddenPortsGetNoRowOrNumberAndKeepTheirOwn)
{
    TDevice* device = Select(1, TestModel(5));
    EXPECT_EQ(page->Refresh(true), 1);
    EXPECT_EQ(SentCount(ccPortNameGet), 1u);
    NotifyRead(page.get(), device, ccQos2PortGet, ssTimeout);  // never read: no "OFF" rows
    EXPECT_EQ(page->m_ListView->RowCount(), 0);
    Put(device, IntpTest::PerPort<TPropertyQos2Port>(ModelOf(device), [](std::size_t i, auto& p) {
        p = std::uint32_t(8 - i);
    }));
    Notify(device, ccQos2PortGet);  // names not read: every port listed
    ASSERT_EQ(page->m_ListView->RowCount(), 5);

    Put(device, IntpTest::PortNames(ModelOf(device), {1, 3}));
    Notify(device, ccPortNameGet);  // not a refill
    EXPECT_EQ(page->m_ListView->RowCount(), 5);
    Notify(device, ccQos2PortGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 3);
    EXPECT_EQ(page->m_ListView->Model()->Cell(2, 0), "Port.03");  // port 5, numbered without gaps
    EXPECT_EQ(Cell(page->m_ListView, 0), "Priority.07");
    EXPECT_EQ(Cell(page->m_ListView, 2), "Priority.03");

    page->m_ListView->header()->sectionClicked(1);  // "Priority.07" -> "OFF"
    EXPECT_EQ(Cell(page->m_ListView, 1), "OFF");
    page->m_ListView->SelectRow(2);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(4);
    page->m_Apply->click();
    auto sent = Sent<TSessionQos2PortSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].priorities, (std::vector<std::uint32_t>{0, 7, 0, 5, 4}));
}

using Qos2TosPage = TPageTest<TModuleQos2Tos>;

TEST_F(Qos2TosPage, NoRowsWithoutADeviceSixtyFourWithOneCyclingModuloEight)
{
    Refill();
    EXPECT_EQ(page->m_ListView->RowCount(), 0);
    EXPECT_FALSE(page->m_Apply->isEnabled());

    TDevice* device = Select(1, TestModel(2));
    TPropertyQos2Tos tos;
    tos.dscpMap[0] = 7;
    tos.dscpMap[63] = 3;
    Put(device, tos);
    Notify(device, ccQos2TosGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 64);
    EXPECT_EQ(page->m_ListView->Model()->Cell(63, 0), "63");
    EXPECT_EQ(Cell(page->m_ListView, 63), "Priority.03");
    page->m_ListView->header()->sectionClicked(1);  // modulo 8: back to "Priority.00"
    page->m_Apply->click();
    auto sent = Sent<TSessionQos2TosSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].dscpMap, (std::array<std::uint8_t, 64>{}));
}
