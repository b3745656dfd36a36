// The IP configuration page: planning every selected switch, the refill
// throttle and what Apply sends.
#include "PageTestHost.h"
#include "RunUntil.h"

#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "pages/kit/PageWidgets.h"
#include "pages/system/Modulebasics_ipconf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

class IpConfPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.SetHost(&env.host);
        page.m_ArpFlusher = [this](const std::vector<uint32_t>& addresses) { flushed = addresses; };
        env.page = &page;
        a = env.AddDevice(1, Ip(10, 0, 0, 1));
        b = env.AddDevice(2, Ip(10, 0, 0, 2));
        c = env.AddDevice(3, Ip(10, 0, 0, 3));
        Select({a, b, c});
    }

    void Select(TDeviceList devices)
    {
        env.host.selection = std::move(devices);
        page.OnNotify(nullptr, ncSelectionChanged, 0);
    }
    void Range(const char* begin, const char* end, const char* mask, const char* gateway = "0.0.0.0")
    {
        page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtRange);
        page.m_Address->setText(begin);
        page.m_Address2->setText(end);
        page.m_Mask->setText(mask);
        page.m_Gateway->setText(gateway);
        page.m_Set->click();
    }
    QString Text(Intp::TDevice* device) const { return page.NodeOf(device).data().toString(); }
    int Image(Intp::TDevice* device) const { return TModuleBasicsIPConf::NodeImage(page.NodeOf(device)); }

    TPageTestEnvironment env;
    TModuleBasicsIPConf page;
    Intp::TDevice* a = nullptr;
    Intp::TDevice* b = nullptr;
    Intp::TDevice* c = nullptr;
    std::vector<uint32_t> flushed;
};

TEST_F(IpConfPage, SwitchesAreGroupedByTheirCurrentAddress)
{
    b->SetIp(Ip(10, 0, 0, 1));
    c->SetIp(0); // just rebooted: counted, not listed
    page.OnNotify(b, ncDeviceIpChanged, 0);
    page.Timer1Timer(); // within the period the rebuild waits for its end
    const QAbstractItemModel* tree = page.m_Tree->model();
    ASSERT_EQ(tree->rowCount(), 1);
    EXPECT_EQ(tree->index(0, 0).data().toString(), "10.0.0.1");
    EXPECT_EQ(tree->rowCount(tree->index(0, 0)), 2);
    EXPECT_FALSE(page.NodeOf(c).isValid());
    EXPECT_EQ(page.m_NumDevices->text(), "Total 3 devices:");
    EXPECT_EQ(Text(a), "00:11:22:33:44:01(Retrieve device info failed) => 10.0.0.1/0.0.0.0, gw = 0.0.0.0, "
                       "dns1 = 0.0.0.0, dns2 = 0.0.0.0");
    EXPECT_EQ(Image(a), TModuleBasicsIPConf::niCurrent);
    EXPECT_TRUE(page.m_BottomPanel->isEnabled());

    Select({});
    EXPECT_EQ(tree->rowCount(), 0);
    EXPECT_FALSE(page.m_BottomPanel->isEnabled());
}

TEST_F(IpConfPage, TheColumnFitsTheLongestLineFarBelowTheRowsShown)
{
    Intp::TPropertyBasicsIPConf dhcp;
    dhcp.valid = true;
    dhcp.Dhcp = true;
    TDeviceList devices;
    for (int i = 0; i < 1500; ++i) { // short lines first
        Intp::TDevice* device = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, uint8_t(i >> 8), uint8_t(i)), true);
        device->SetIp(Ip(10, 1, uint8_t(i >> 8), uint8_t(i)));
        Intp::Property<Intp::TPropertyBasicsIPConf>::Get(device) = dhcp;
        devices.push_back(device);
    }
    c->SetIp(Ip(10, 200, 200, 200)); // the longest line, sorted last
    devices.push_back(c);
    Select(devices);
    const int needed = page.m_Tree->fontMetrics().horizontalAdvance(Text(c)) + 2 * page.m_Tree->indentation();
    EXPECT_TRUE(RunUntil([&] { return page.m_Tree->header()->sectionSize(0) >= needed; }, std::chrono::seconds(5)));
}

TEST_F(IpConfPage, RangeSkipsTheGatewayAndLeavesTheLastSwitchWithoutAnAddress)
{
    Range("192.168.1.1", "192.168.1.3", "255.255.255.0", "192.168.1.2");
    EXPECT_EQ(Text(a), "00:11:22:33:44:01(Retrieve device info failed) => 192.168.1.1/255.255.255.0, "
                       "gw = 192.168.1.2, dns1 = 0.0.0.0, dns2 = 0.0.0.0");
    EXPECT_TRUE(Text(b).contains("=> 192.168.1.3/"));
    EXPECT_EQ(Image(a), TModuleBasicsIPConf::niPlanned);
    EXPECT_EQ(Image(c), TModuleBasicsIPConf::niNoAddress);
    EXPECT_FALSE(page.m_Apply->isEnabled());

    // A reversed range is refused and changes nothing.
    Range("192.168.1.9", "192.168.1.3", "255.255.255.0");
    EXPECT_EQ(env.messages, QStringList{"Wrong range/netmask!"});
    EXPECT_EQ(Image(c), TModuleBasicsIPConf::niNoAddress);
}

TEST_F(IpConfPage, RangeNeverWrapsToLowAddressesAndANarrowMaskEndsAtOnce)
{
    Range("223.255.255.253", "not an address", "255.255.255.0"); // the end reads as 255.255.255.255
    EXPECT_TRUE(Text(a).contains("=> 223.255.255.253/"));
    EXPECT_TRUE(Text(b).contains("=> 223.255.255.254/"));
    EXPECT_TRUE(Text(c).contains("=> 224.0.0.1/"));
    Range("255.255.255.253", "255.255.255.255", "255.255.255.0");
    EXPECT_TRUE(Text(b).contains("=> 255.255.255.254/"));
    EXPECT_EQ(Image(c), TModuleBasicsIPConf::niNoAddress);
    Range("1.0.0.0", "254.255.255.255", "255.255.255.255");
    EXPECT_EQ(Image(a), TModuleBasicsIPConf::niNoAddress);
}

TEST_F(IpConfPage, ManualPlansOneSwitchAndMarksAnAddressInUse)
{
    page.m_Tree->setCurrentIndex(page.NodeOf(a));
    EXPECT_EQ(page.m_Method->currentIndex(), TModuleBasicsIPConf::mtManual);
    page.m_Address->setText("10.0.0.300");
    page.m_Set->click();
    EXPECT_EQ(env.messages, QStringList{"Wrong IP/Netmask!"});

    page.m_Address->setText("10.0.0.2"); // b's address
    page.m_Mask->setText("255.255.255.0");
    page.m_Gateway->setText("10.0.1.1"); // another subnet: dropped
    page.m_Set->click();
    EXPECT_EQ(Image(a), TModuleBasicsIPConf::niInUse);
    EXPECT_TRUE(Text(a).contains("=> 10.0.0.2/255.255.255.0, gw = 0.0.0.0"));
    EXPECT_EQ(Image(b), TModuleBasicsIPConf::niCurrent);

    page.m_Tree->setCurrentIndex(page.NodeOf(a));
    page.EventOnPM1DiscardClick();
    EXPECT_EQ(Image(a), TModuleBasicsIPConf::niCurrent);
}

TEST_F(IpConfPage, ApplySendsEveryPlannedSwitchToTheLimitedBroadcastThenFlushesArp)
{
    page.m_Tree->setCurrentIndex(page.NodeOf(b));
    page.m_Address->setText("10.0.0.20");
    page.m_Mask->setText("255.255.255.0");
    page.m_Gateway->setText("10.0.0.254");
    page.m_Dns1->setText("10.0.0.253");
    page.m_Dns2->setText("");
    page.m_Set->click();

    page.m_Apply->click(); // credentials cancelled
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccBasicsIPConfSet).empty());
    env.host.credentialsOk = true;
    env.host.user = "";
    page.m_Apply->click(); // empty user name
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccBasicsIPConfSet).empty());

    env.host.user = "admin";
    env.host.password = "pw";
    page.m_Apply->click();
    const auto sent = env.protocol.SentWith(Intp::ccBasicsIPConfSet);
    ASSERT_EQ(sent.size(), 1u); // a and c had nothing planned
    EXPECT_EQ(sent[0].ip, 0xFFFFFFFFu);
    EXPECT_EQ(sent[0].mac, b->GetMac());
    const Intp::TMd5Digest digest = ::LoginDigest("admin", "pw");
    Bytes expected(digest.begin(), digest.end());
    expected.insert(expected.end(), {0, 10, 0, 0, 20, 255, 255, 255, 0, 10, 0, 0, 254, 10, 0, 0, 253, 0, 0, 0, 0});
    EXPECT_EQ(sent[0].payload, expected);
    EXPECT_EQ(flushed, (std::vector<uint32_t>{Ip(10, 0, 0, 2)}));
}

TEST_F(IpConfPage, WithoutADiscoveryFilterTheRangeCoversEveryAddress)
{
    page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtRange);
    page.m_Gateway->setText("10.0.0.254");
    page.m_Filter->click();
    EXPECT_EQ(page.m_Address->text(), "0.0.0.0");
    EXPECT_EQ(page.m_Address2->text(), "255.255.255.255");
    EXPECT_EQ(page.m_Mask->text(), "0.0.0.0");
    EXPECT_EQ(page.m_Gateway->text(), "0.0.0.0");
}

TEST_F(IpConfPage, DhcpMethodPlansEverySwitch)
{
    page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtDhcp);
    EXPECT_EQ(Image(c), TModuleBasicsIPConf::niPlanned);
    EXPECT_TRUE(Text(c).endsWith(" => DHCP"));
    EXPECT_FALSE(page.m_Dhcp->isEnabled());
    EXPECT_TRUE(page.m_Apply->isEnabled());
}

TEST_F(IpConfPage, RepliesWithinThePeriodAreShownWhenItEnds)
{
    Intp::TPropertyBasicsIPConf record;
    record.valid = true;
    record.Dhcp = true;
    Intp::Property<Intp::TPropertyBasicsIPConf>::Get(b) = record;
    page.OnNotify(b, Intp::ccBasicsIPConfGet, 0);
    EXPECT_TRUE(Text(b).contains("(Retrieve device info failed)")); // put off
    page.Timer1Timer();
    EXPECT_EQ(Text(b), "00:11:22:33:44:02 => DHCP"); // the trailing rebuild
    page.Timer1Timer();                               // nothing pending: no rebuild
    EXPECT_EQ(Text(b), "00:11:22:33:44:02 => DHCP");

    // A change of the selection is never put off.
    Select({a, b});
    EXPECT_FALSE(page.NodeOf(c).isValid());
    EXPECT_EQ(page.m_NumDevices->text(), "Total 2 devices:");

    // Left, the page never rebuilds (nor shows itself) from a pending refill.
    page.OnNotify(a, Intp::ccBasicsIPConfGet, 0);
    page.Leave(false);
    page.Timer1Timer();
    EXPECT_FALSE(page.isVisible());
    EXPECT_EQ(page.m_Tree->model()->rowCount(), 0);
}

TEST_F(IpConfPage, EachMethodShowsItsLayoutAndDiscardKeepsIt)
{
    auto shown = [this](QWidget* control) { return control->isVisibleTo(&page); };
    page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtDhcp);
    EXPECT_TRUE(shown(page.m_Dhcp));
    EXPECT_FALSE(shown(page.m_Address) || shown(page.m_Address2) || shown(page.m_Set));

    page.m_Tree->setCurrentIndex(page.NodeOf(a));
    page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtManual);
    page.m_Dhcp->setChecked(false);
    page.m_Dhcp->click(); // ticked: the fields follow
    EXPECT_TRUE(shown(page.m_Address) && shown(page.m_Dhcp));
    EXPECT_FALSE(page.m_Address->isEnabled());
    EXPECT_FALSE(shown(page.m_Address2));

    // Discard under "Auto Range" fills the fields from the switch and keeps
    // the range layout, so a following Set plans from the end shown.
    Range("192.168.1.10", "192.168.1.12", "255.255.255.0");
    page.m_Tree->setCurrentIndex(page.NodeOf(b));
    page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtRange);
    page.EventOnPM1DiscardClick();
    EXPECT_EQ(page.m_Method->currentIndex(), TModuleBasicsIPConf::mtRange);
    EXPECT_TRUE(shown(page.m_Address2) && shown(page.m_Filter));
    EXPECT_FALSE(shown(page.m_Dhcp));
    EXPECT_EQ(page.m_Address->text(), "10.0.0.2");
    EXPECT_EQ(Image(b), TModuleBasicsIPConf::niCurrent);

    // Under "Manual" Discard shows the switch's settings in the Manual layout.
    page.m_Method->setCurrentIndex(TModuleBasicsIPConf::mtManual);
    page.m_Address->setText("10.0.0.50");
    page.m_Mask->setText("255.255.255.0");
    page.m_Set->click();
    page.EventOnPM1DiscardClick();
    EXPECT_EQ(page.m_Address->text(), "10.0.0.2");
    EXPECT_TRUE(shown(page.m_Dhcp) && page.m_Address->isEnabled());
    EXPECT_FALSE(shown(page.m_Address2));
}

} // namespace
