// Number fields show what is sent, and a page whose read failed shows no
// values: through real pages and the page test kit.

#include "PageTestKit.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageRegistry.h"
#include "pages/ports/ModuleLldp.h"
#include "pages/ports/ModulePort_Limit.h"
#include "pages/ports/ModulePort_Limit2.h"
#include "pages/ports/Moduleredundancy_rstp.h"
#include "pages/ports/Moduleredundancy_rstp_info.h"
#include "pages/ports/multicast/ModuleIgmp.h"
#include "pages/ports/qos/ModuleQos.h"
#include "pages/ports/qos/ModuleQos2_Port.h"
#include "pages/ports/qos/ModuleQos_Cos.h"
#include "pages/security/ModuleSecurity_Mac2_Filter.h"
#include "pages/security/ModuleSecurity_MacAging.h"
#include "pages/system/Modulebasics_dhcp.h"
#include "pages/system/Modulebasics_sntp.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <climits>

using namespace Intp;

namespace {

// Types text over what the field shows.
void Retype(TNumberBox* box, const QString& text)
{
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    TypeText(box, text);
}

// Rows a list shows (not hidden).
int ShownRows(const QTreeView* list)
{
    int shown = 0;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        shown += list->isRowHidden(row, QModelIndex()) ? 0 : 1;
    return shown;
}

}  // namespace

using IgmpNumberPage = TPageTest<TModuleIgmp2>;

TEST_F(IgmpNumberPage, ANumberOutOfRangeIsShownAsTypedMarkedAndKeepsApplyOff)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, TPropertyIgmp2{true, true, 1, 25, 1});
    Notify(device, ccIgmp2Get);
    ASSERT_TRUE(page->m_Apply->isEnabled());

    Retype(page->m_QueryInterval, "300");
    EXPECT_EQ(page->m_QueryInterval->text(), "300");  // never 30
    EXPECT_EQ(page->m_QueryInterval->value(), 300);
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_QueryInterval->toolTip(), "300 is out of range (0 to 255).");
    EXPECT_EQ(page->m_Apply->parentWidget()->toolTip(),
              "Not sent: Last Member Query Interval: 300 is out of range (0 to 255).");
    QTest::keyClick(page->m_QueryInterval, Qt::Key_Return);  // Enter presses nothing
    EXPECT_EQ(SentCount(ccIgmp2Set), 0u);

    Retype(page->m_QueryInterval, "");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    Retype(page->m_QueryInterval, "30");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_QueryInterval->toolTip(), "From 0 to 255.");
    page->m_Apply->click();
    ASSERT_EQ(Sent<TSessionIgmp2Set>().size(), 1u);
    EXPECT_EQ(Sent<TSessionIgmp2Set>()[0].lastMemberQueryInterval, 30u);
}

TEST_F(IgmpNumberPage, AValueReadOutOfRangeShowsAsReadAndGoesBackUnlessEdited)
{
    TDevice* device = Select(1, TestModel(8));
    auto* box = page->m_QueryInterval;
    box->SetLimits(0, 100);
    Put(device, TPropertyIgmp2{true, true, 1, 200, 1});
    Notify(device, ccIgmp2Get);
    EXPECT_EQ(box->text(), "200");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    // Stepping stays within the limits and is an edit.
    box->stepUp();
    EXPECT_EQ(box->value(), 100);
    page->m_Apply->click();
    ASSERT_EQ(Sent<TSessionIgmp2Set>().size(), 2u);
    EXPECT_EQ(Sent<TSessionIgmp2Set>()[0].lastMemberQueryInterval, 200u);
    EXPECT_EQ(Sent<TSessionIgmp2Set>()[1].lastMemberQueryInterval, 100u);
}

using VidNumberPage = TPageTest<TModuleSecurityMac2Filter>;

TEST_F(VidNumberPage, AVidOutOfRangeKeepsAddOffAndIsNeverSentAsAnotherNumber)
{
    TDevice* device = Select(1, TestModel(8));
    Put(device, TPropertySecurityMac2Filter{});
    Notify(device, ccSecurityMac2FilterGet);
    page->m_Mac->setText("001122334455");
    Retype(page->m_VlanId, "5");
    ASSERT_TRUE(page->m_Add->isEnabled());
    Retype(page->m_VlanId, "0");
    EXPECT_EQ(page->m_VlanId->text(), "0");
    EXPECT_FALSE(page->m_Add->isEnabled());
    Retype(page->m_VlanId, "4096");
    EXPECT_EQ(page->m_VlanId->text(), "4096");
    EXPECT_FALSE(page->m_Add->isEnabled());
    Retype(page->m_VlanId, "4094");
    page->m_Add->click();
    ASSERT_EQ(Sent<TSessionSecurityMac2FilterAdd>().size(), 1u);
    EXPECT_EQ(Sent<TSessionSecurityMac2FilterAdd>()[0].vlanId, 4094u);
}

using RateNumberPage = TPageTest<TModulePortLimit>;

TEST_F(RateNumberPage, ARateEditedOutOfRangeStaysInItsRowAndOneReadAboveTheIntRangeGoesBackAsRead)
{
    TDevice* device = Select(1, TestModel(2));
    Put(device, IntpTest::PerPort<TPropertyPortLimit>(ModelOf(device),
                                                      [](std::size_t i, auto& e) { e.ingress = i ? 3000000000u : 0; }));
    Notify(device, ccPortLimitGet);
    page->m_ListView->SelectRow(0);
    auto* ingress = qobject_cast<TNumberBox*>(page->m_ListView->EditorOf(2));
    ASSERT_NE(ingress, nullptr);
    Retype(ingress, "300000");
    EXPECT_EQ(page->m_ListView->Model()->Cell(0, 2), "300000");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    // Another row: the edited row still holds it.
    page->m_ListView->SelectRow(1);
    EXPECT_EQ(ingress->text(), "3000000000");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Apply->parentWidget()->toolTip(),
              "Not sent: Port.01, Ingress(kbps): 300000 is out of range (0 to 256000).");
    page->m_ListView->SelectRow(0);
    Retype(ingress, "70000");
    page->m_Apply->click();
    ASSERT_EQ(Sent<TSessionPortLimitSet>().size(), 1u);
    EXPECT_EQ(Sent<TSessionPortLimitSet>()[0].entries[1].ingress, 3000000000u);
    // No row selected: the editors show no row's values.
    page->m_ListView->SelectRow(-1);
    EXPECT_EQ(ingress->text(), "");
}

// --- 32-bit values above the int range, as switches send them.

using DhcpWide = TPageTest<TModuleBasicsDhcp>;

TEST_F(DhcpWide, ALeaseAboveTheIntRangeShowsAsReadAndApplySendsItsBytesBack)
{
    TDevice* device = Select(1, TestModel(8));
    ASSERT_EQ(page->Refresh(true), 1);
    // On; pool 192.168.0.1 to .10 of 255.255.255.0; no gateway nor DNS; lease 3,000,000,000 s.
    const std::vector<std::uint8_t> reply = {1, 192, 168, 0, 1, 192, 168, 0, 10, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                             0xB2, 0xD0, 0x5E, 0x00};
    env.protocol.Reply(ccBasicsDhcpGet, device, reply);
    EXPECT_EQ(page->m_Lease->text(), "3000000000");
    EXPECT_FALSE(page->m_Lease->InLimits());  // of 1 to 2147483647, but not marked until edited
    EXPECT_EQ(page->m_Lease->Why(), "");
    page->m_Apply->click();
    ASSERT_EQ(SentCount(ccBasicsDhcpSet), 1u);
    EXPECT_EQ(env.protocol.SentWith(ccBasicsDhcpSet)[0].payload, reply);
    // Typed, it is out of the lease's range: marked, never sent.
    Retype(page->m_Lease, "3000000001");
    EXPECT_EQ(page->m_Lease->toolTip(), "3000000001 is out of range (1 to 2147483647).");
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

using AgingWide = TPageTest<TModuleSecurityMacAging>;

TEST_F(AgingWide, AnAgingTimeTakesEveryUnsigned32BitValue)
{
    TDevice* device = Select(1, TestModel(8));
    ASSERT_EQ(page->Refresh(true), 1);
    env.protocol.Reply(ccSecurityMacAgingGet, device, {0xB2, 0xD0, 0x5E, 0x00, 1});
    EXPECT_EQ(page->m_AgingTime->text(), "3000000000");
    Retype(page->m_AgingTime, "4294967295");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    ASSERT_EQ(SentCount(ccSecurityMacAgingSet), 1u);
    EXPECT_EQ(env.protocol.SentWith(ccSecurityMacAgingSet)[0].payload,
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 1}));
}

// --- A read that failed: fields empty or "not available", Apply off.

using RstpInfoUnread = TPageTest<TModuleRedundancyRstpInfo>;

TEST_F(RstpInfoUnread, ShowsNotTheLastSwitchsBridge)
{
    TDevice* first = Select(1, TestModel(4));
    Put(first, IntpTest::PortNames(ModelOf(first)));
    TPropertyRedundancyRstpInfo info{};
    info.enabled = true;
    info.rootBridgeId = {0x80, 0, 1, 2, 3, 4, 5, 6};
    Put(first, info);
    Notify(first, ccRedundancyRstpInfoGet);
    ASSERT_EQ(page->m_BridgeId->text(), "8000010203040506");
    TDevice* second = Select(2, TestModel(4));
    env.host.selection = {second};
    NotifyRead(page.get(), second, ccRedundancyRstpInfoGet, ssTimeout);
    EXPECT_EQ(page->m_BridgeId->text(), "not available");
    EXPECT_EQ(page->StatusLine()->text(), "Not available: the switch did not answer.");
}

template <class TPage> class Unread : public TPageTest<TPage> {};
using UnreadPages =
    ::testing::Types<TModuleLldp, TModuleQos, TModuleQosCos, TModuleQos2Port, TModuleRedundancyRstp, TModulePortLimit2>;
TYPED_TEST_SUITE(Unread, UnreadPages);

TYPED_TEST(Unread, ShowsNoValuesNotEvenTheLastSwitchsAndKeepsApplyOff)
{
    TDevice* device = this->Select(1, TestModel(4));
    const QList<TNumberBox*> boxes = this->page->template findChildren<TNumberBox*>();
    for (TNumberBox* box : boxes)
        box->ShowValue(7);
    // Every read it starts times out.
    this->page->Refresh(true);
    for (const IntpTest::TSent& read : this->env.protocol.sent)
        NotifyRead(this->page.get(), device, read.code, ssTimeout);
    for (TNumberBox* box : boxes) {
        EXPECT_EQ(box->text(), "");
        EXPECT_EQ(box->Placeholder(), "not available");
    }
    for (const QTreeView* list : this->page->template findChildren<QTreeView*>())
        EXPECT_EQ(ShownRows(list), 0);
    for (const QRadioButton* radio : this->page->template findChildren<QRadioButton*>())
        EXPECT_FALSE(radio->isChecked());
    EXPECT_FALSE(this->page->m_Apply->isEnabled());
}

using SntpUnread = TPageTest<TModuleBasicsSntp>;

TEST_F(SntpUnread, ShowsNoDates)
{
    TDevice* device = Select(1, TestModel(4));
    NotifyRead(page.get(), device, ccBasicsSntpGet, ssTimeout);
    EXPECT_EQ(page->m_BeginDate->text(), "not available");
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

// Every number field of every page, typed: its lowest and highest taken,
// one past each marked. By page and caption, in the order a page makes
// them; a field without a caption is the page's only one.
TEST(NumberFields, EachTakesItsWholeRangeTypedAndNothingPast)
{
    const struct {
        const char* page;
        const char* caption;
        long long lowest, highest;
    } limits[] = {
        {"TModuleRedundancyRstp", "&Priority:", 0, 65535},
        {"TModuleRedundancyRstp", "&Max Age Time:", 0, 255},
        {"TModuleRedundancyRstp", "&Hello Time:", 0, 255},
        {"TModuleRedundancyRstp", "&Forward Delay Time:", 0, 255},
        {"TModuleRedundancyRstp", "Path &Cost:", 1, 200000000},
        {"TModuleRedundancyRstp", "Priority:", 0, 240},
        {"TModuleBasicsSntp", "", INT_MIN, INT_MAX},
        {"TModuleBasicsDhcp", "", 1, INT_MAX},
        {"TModulePortLimit", "&Ingress:", 0, 256000},
        {"TModulePortLimit", "&Egress:", 0, 256000},
        {"TModuleVlanPortBased", "&VLAN ID:", 1, 4094},
        {"TModuleVlan8021q", "&Management VLAN ID:", 0, 4094},
        {"TModuleVlan8021qPort", "&Untagged VID:", 1, 4094},
        {"TModuleSecurityMacAging", "MAC Address Table Aging &Time:", 0, UINT32_MAX},
        {"TModuleSecurity8021x", "Server &Port:", 1, 65535},
        {"TModuleSecurity8021x", "A&ccounting Port:", 1, 65535},
        {"TModuleSecurity8021x", "&Quiet Period:", 0, 65535},
        {"TModuleSecurity8021x", "&Re-Auth Period:", 1, 999999},
        {"TModuleSecurity8021x", "&TX Period:", 0, 65535},
        {"TModuleSecurity8021x", "S&upplicant Timeout:", 1, 300},
        {"TModuleSecurity8021x", "Server Time&out:", 1, 300},
        {"TModuleSecurity8021x", "&Max Requests:", 1, 10},
        {"TModuleLldp", "&Interval:", 0, 65535},
        {"TModulePortLimit2", "&In Rate:", 0, 65535},
        {"TModulePortLimit2", "&Out Rate:", 0, 65535},
        {"TModulePortTrunk2", "&Work Ports:", 0, 255},
        {"TModuleIgmp2", "Last Member Query Interval:", 0, 255},
        {"TModuleSecurityMac2Static", "&VID:", 1, 4094},
        {"TModuleSecurityMac2Filter", "&VID:", 1, 4094},
        {"TModuleSecurityAcl", "&Group ID:", 1, 255},
        {"TModuleSecurityAcl", "&VLAN ID:", 0, 4094},
        {"TModuleSecurityAcl", "Protocol &Number:", 0, 65535},
        {"TModuleSecurityAcl", "Protocol &Number:", 0, 255},
        {"TModuleSecurityAcl", "Port Number:", 1, 65535},
        {"TModuleSecurityAcl", "Port Number:", 1, 65535},
        {"TModuleSecurityMultiFilter", "&VID:", 1, 4094},
    };
    std::vector<bool> met(std::size(limits));
    QWidget owner;
    for (const TPageType& type : RegisteredPages()) {
        auto* page = dynamic_cast<QWidget*>(type.make(&owner));
        if (!page)
            continue;
        const std::string name = page->metaObject()->className();
        for (TNumberBox* box : page->findChildren<TNumberBox*>()) {
            QString caption;
            for (const QLabel* label : page->findChildren<QLabel*>())
                caption = label->buddy() == box ? label->text() : caption;
            std::size_t at = 0;
            while (at < std::size(limits) && (met[at] || name != limits[at].page || caption != limits[at].caption))
                ++at;
            ASSERT_LT(at, std::size(limits)) << name << " \"" << caption.toStdString() << "\" has no limits here";
            met[at] = true;
            auto* edit = box->findChild<QLineEdit*>();
            const auto takes = [&](long long value) {
                edit->selectAll();
                edit->insert(QString::number(value));
                return box->InLimits() == std::optional(value);
            };
            const auto& l = limits[at];
            EXPECT_TRUE(takes(l.lowest) && takes(l.highest)) << name << " " << l.caption;
            EXPECT_FALSE(takes(l.lowest - 1) || takes(l.highest + 1)) << name << " " << l.caption;
        }
    }
    for (std::size_t at = 0; at < std::size(limits); ++at)
        EXPECT_TRUE(met[at]) << limits[at].page << " " << limits[at].caption << ": no such field";
}
