// The system pages offscreen: refills from records and the bytes of every
// Set they send.
#include "PageTestKit.h"

#include "intp/Advanced.h"
#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Dhcp.h"
#include "intp/Maintenance.h"
#include "intp/Ports.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/PageWidgets.h"
#include "pages/system/Moduleadvcon.h"
#include "pages/system/Moduleautoprovision.h"
#include "pages/system/Modulebasics_dhcp.h"
#include "pages/system/Modulebasics_password.h"
#include "pages/system/Modulebasics_settings.h"
#include "pages/system/Modulebasics_sntp.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::vector<uint8_t>;
using IntpTest::PutText;

// One page under test (the page test kit) with switches a, b and c; a is current.
template <class TPage>
class SystemPage : public TPageTest<TPage> {
protected:
    void SetUp() override
    {
        TPageTest<TPage>::SetUp();
        a = this->env.AddDevice(1, Ip(10, 0, 0, 1));
        b = this->env.AddDevice(2, Ip(10, 0, 0, 2));
        c = this->env.AddDevice(3, Ip(10, 0, 0, 3));
        this->env.host.selection = {a};
    }

    void Select(TDeviceList devices)
    {
        this->env.host.selection = std::move(devices);
        this->Refill();
    }
    // The payloads sent with a code, as bytes, in order.
    std::vector<Bytes> SentBytes(uint16_t code) const
    {
        std::vector<Bytes> payloads;
        for (const IntpTest::TSent& frame : this->env.protocol.SentWith(code))
            payloads.push_back(frame.payload);
        return payloads;
    }
    Bytes LastBytes(uint16_t code) const
    {
        auto all = SentBytes(code);
        return all.empty() ? Bytes() : all.back();
    }
    // A record read from the switch: into the cache, then its read's notification.
    template <class TRecord>
    void Put(Intp::TDevice* device, TRecord record, uint16_t code)
    {
        TPageTest<TPage>::Put(device, record);
        this->Notify(device, code);
    }

    Intp::TDevice* a = nullptr;
    Intp::TDevice* b = nullptr;
    Intp::TDevice* c = nullptr;
};

// ---------------------------------------------------------------------------
// Switch settings

using SettingsPage = SystemPage<TModuleBasicsSettings>;

TEST_F(SettingsPage, ShowsTheRecordAndEmptiesItsTextsWithoutOne)
{
    // Never read: not available, nothing to apply; the web page still opens.
    Select({a});
    EXPECT_TRUE(page->m_Name->text().isEmpty());
    EXPECT_EQ(page->m_Name->placeholderText(), "not available");
    EXPECT_EQ(page->m_MAC->text(), "00:11:22:33:44:01");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_TRUE(page->m_Web->isEnabled());

    a->SetName("core-1");
    Intp::TPropertyBasicsSettings record;
    record.FirmwareVersion = 0x0A05;
    record.KernelVersion = 0x0102;
    record.HardwareVersion = 0x01020304;
    record.Location = "Rack 4";
    record.Contact = "noc";
    record.Description = "Core";
    record.ObjectId = "99999.1.2";
    Put(a, record, Intp::ccBasicsSettingsGet);
    EXPECT_EQ(page->m_Name->text(), "core-1");
    EXPECT_EQ(page->m_Name->placeholderText(), "");
    EXPECT_EQ(page->m_Location->text(), "Rack 4");
    EXPECT_EQ(page->m_Contact->text(), "noc");
    EXPECT_EQ(page->m_Desc->text(), "Core");
    EXPECT_EQ(page->m_Type->text(), QString::fromStdString(a->GetTypeName()));
    EXPECT_EQ(page->m_MAC->text(), "00:11:22:33:44:01");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_OID->text(), "1.3.6.1.4.1.99999.1.2");
    EXPECT_EQ(page->m_FVer->text(), "v10.05");
    EXPECT_EQ(page->m_KVer->text(), "v1.02");
    EXPECT_EQ(page->m_HVer->text(), "v1.02(MPCB), v3.04(APCB)");

    // A reply for another selected switch does not refill the page->
    Put(b, Intp::TPropertyBasicsSettings(), Intp::ccBasicsSettingsGet);
    EXPECT_EQ(page->m_Location->text(), "Rack 4");

    Select({});
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_FALSE(page->m_Name->isEnabled());
    EXPECT_TRUE(page->m_MAC->text().isEmpty());
}

TEST_F(SettingsPage, ApplySendsTheFourTextsToEverySelectedSwitch)
{
    for (Intp::TDevice* device : {a, b, c})
        TPageTest::Put(device, Intp::TPropertyBasicsSettings());
    Select({a, b, c});
    page->m_Name->setText(QString(300, 'N'));
    page->m_Location->setText("Hall");
    page->m_Contact->setText("ops");
    page->m_Desc->setText("Edge");
    page->m_Apply->click();
    Bytes expected;
    PutText(expected, std::string(256, 'N'), 256); // cut, no terminator
    PutText(expected, "Edge", 256);
    PutText(expected, "Hall", 256);
    PutText(expected, "ops", 256);
    EXPECT_EQ(SentBytes(Intp::ccBasicsSettingsSet), std::vector<Bytes>(3, expected));
}

TEST_F(SettingsPage, WebOpensEverySelectedSwitchAndAMissingBrowserIsToldOnce)
{
    QStringList opened;
    bool browser = true;
    page->m_WebOpener = [&](const QUrl& url) { return opened.append(url.toString()), browser; };
    Select({a, c}); // never read: the web page opens all the same
    page->m_Web->click();
    EXPECT_EQ(opened, (QStringList{"http://10.0.0.1", "http://10.0.0.3"}));
    browser = false;
    QTest::mouseClick(page->m_Icon, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 3);
    EXPECT_EQ(env.messages, QStringList{WebPageFailedMessage(QUrl("http://10.0.0.1"))});
}

// ---------------------------------------------------------------------------
// Password, factory default, reboot

using PasswordPage = SystemPage<TModuleBasicsPassword>;

TEST_F(PasswordPage, ApplyNeedsANameAndTwoEqualPasswords)
{
    Select({a});
    page->m_Username->setText("admin");
    page->m_Password->setText("Secret");
    page->m_Confirm->setText("secret");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Confirm->setText("Secret");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Password->clear();
    page->m_Confirm->clear();
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

TEST_F(PasswordPage, SendsSixteenByteFieldsAndNeverShowsThePasswordAgain)
{
    Select({a, b});
    EXPECT_EQ(page->m_Password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(page->m_Confirm->echoMode(), QLineEdit::Password);
    // Typed: 16 Latin-1 characters a field; a euro sign is refused.
    QTest::keyClicks(page->m_Username, "administrator-2026");
    TypeText(page->m_Password, QString::fromUtf8("p€€ö"));
    TypeText(page->m_Confirm, QString::fromUtf8("pö"));
    page->m_Apply->click();
    Bytes expected;
    PutText(expected, "administrator-20", 16);
    PutText(expected, "p\xF6", 16);
    EXPECT_EQ(SentBytes(Intp::ccBasicsPassword), (std::vector<Bytes>{expected, expected}));

    // Leaving the page or selecting it again forgets what was typed.
    page->Leave(false);
    EXPECT_TRUE(page->m_Password->text().isEmpty());
    EXPECT_TRUE(page->m_Confirm->text().isEmpty());
    page->m_Password->undo(); // not even through the edit's undo
    EXPECT_TRUE(page->m_Password->text().isEmpty());
    page->m_Password->setText("again");
    Refill();
    EXPECT_TRUE(page->m_Password->text().isEmpty());
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

using DefaultPage = SystemPage<TModuleBasicsDefault>;

TEST_F(DefaultPage, MaskFollowsTheBoxesAndEverySelectionTicksBothKeeps)
{
    Select({a});
    EXPECT_TRUE(page->m_KeepNet->isChecked());
    EXPECT_TRUE(page->m_KeepAuth->isChecked());
    EXPECT_FALSE(page->m_Reboot->isChecked());
    page->m_Apply->click();
    page->m_KeepNet->setChecked(false);
    page->m_Apply->click();
    page->m_KeepAuth->setChecked(false);
    page->m_Apply->click();
    EXPECT_EQ(SentBytes(Intp::ccBasicsDefault), (std::vector<Bytes>{{0, 0, 0, 3}, {0, 0, 0, 1}, {0, 0, 0, 0}}));

    // The reboot flag is not sent: a successful reply is followed by a reboot.
    page->m_Reboot->setChecked(true);
    page->m_Apply->click();
    for (int reply = 0; reply < 4; ++reply) // answered in the order sent
        env.protocol.Reply(Intp::ccBasicsDefault, a);
    EXPECT_EQ(SentBytes(Intp::ccBasicsReboot).size(), 1u);

    page->m_KeepNet->setChecked(false);
    Refill();
    EXPECT_TRUE(page->m_KeepNet->isChecked());
    EXPECT_FALSE(page->m_Reboot->isChecked());
}

using RebootPage = SystemPage<TModuleBasicsReboot>;

TEST_F(RebootPage, RebootsEverySelectedSwitchWithoutAsking)
{
    TModuleCallback* old = g_ModuleCallback;
    g_ModuleCallback = &env.host;
    Select({a, b});
    EXPECT_EQ(page->Refresh(true), 0);
    EXPECT_TRUE(page->m_Reboot->isEnabled());
    page->m_Reboot->click();
    EXPECT_EQ(SentBytes(Intp::ccBasicsReboot), (std::vector<Bytes>{Bytes(4, 0), Bytes(4, 0)}));
    EXPECT_TRUE(env.messages.isEmpty());
    Select({});
    EXPECT_FALSE(page->m_Reboot->isEnabled());
    g_ModuleCallback = old;
}

// ---------------------------------------------------------------------------
// Advanced configuration

using StormPage = SystemPage<TModuleAdvConBSF>;

TEST_F(StormPage, ShowsTheRecordAndKeepsTheBoxesForADeviceWithout)
{
    Intp::TPropertyAdvConBSF record;
    record.filterFlooded = true;
    record.filterBroadcast = true;
    record.rateLimit = 3;
    Put(a, record, Intp::ccAdvConBSFGet);
    EXPECT_EQ(page->m_Enable->currentText(), "Up to 1/16 of ingress rate");
    page->m_Apply->click();
    EXPECT_EQ(LastBytes(Intp::ccAdvConBSFSet), SetBytes(record));

    // A switch never read shows no values and sends nothing.
    Select({b});
    EXPECT_EQ(page->CheckBox1->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(page->m_Enable->currentIndex(), -1);
    EXPECT_FALSE(page->m_Apply->isEnabled());
    Select({a});
    EXPECT_TRUE(page->CheckBox1->isChecked());
    EXPECT_EQ(page->CheckBox2->checkState(), Qt::Unchecked);
}

TEST_F(StormPage, ARateWithoutAnItemIsSentBackAsRead)
{
    Intp::TPropertyAdvConBSF record;
    record.rateLimit = 200;
    Put(a, record, Intp::ccAdvConBSFGet);
    EXPECT_EQ(page->m_Enable->currentIndex(), -1);
    page->m_Apply->click();
    EXPECT_EQ(LastBytes(Intp::ccAdvConBSFSet), SetBytes(record));
    page->m_Enable->setCurrentIndex(1);
    page->m_Apply->click();
    record.rateLimit = 1;
    EXPECT_EQ(LastBytes(Intp::ccAdvConBSFSet), SetBytes(record));
}

using AgingPage = SystemPage<TModuleAgingTime>;

TEST_F(AgingPage, NeverReadShowsNoDefaultsAndAnUnknownValueIsKept)
{
    Select({a});
    EXPECT_EQ(page->m_Enable->currentIndex(), -1);
    EXPECT_EQ(page->ComboBox1->placeholderText(), "not available");
    EXPECT_FALSE(page->m_Apply->isEnabled());

    Intp::TPropertyAgingTime record;
    record.agingTime = 9;
    record.autoFlush = true;
    Put(a, record, Intp::ccAgingTimeGet);
    EXPECT_EQ(page->m_Enable->currentIndex(), -1);
    page->m_Apply->click();
    EXPECT_EQ(LastBytes(Intp::ccAgingTimeSet), SetBytes(record));
}

using JumboPage = SystemPage<TModuleJumboFrame>;

TEST_F(JumboPage, ShowsAndSendsTheFlag)
{
    Intp::TPropertyJumboFrame record;
    record.enabled = true;
    Put(a, record, Intp::ccJumboFrameGet);
    EXPECT_TRUE(page->CheckBox1->isChecked());
    Select({b}); // no record: not available
    EXPECT_FALSE(page->CheckBox1->isEnabled());
    Select({a});
    EXPECT_TRUE(page->CheckBox1->isEnabled());
    page->CheckBox1->setChecked(false);
    page->m_Apply->click();
    EXPECT_EQ(LastBytes(Intp::ccJumboFrameSet), SetBytes(Intp::TPropertyJumboFrame{}));
}

// ---------------------------------------------------------------------------
// Auto provisioning

using ProvisionPage = SystemPage<TModuleAutoProvision>;

TEST_F(ProvisionPage, EachTickedHalfNeedsAServerAndAFile)
{
    Put(a, Intp::TPropertyBasicsAutoProvision(), Intp::ccBasicsAutoProvisionGet);
    EXPECT_FALSE(page->m_Config->isChecked());
    EXPECT_TRUE(page->m_Apply->isEnabled()); // sends both halves off
    page->m_Config->click();
    page->m_ConfigIp->setText("10.0.0.1");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_ConfigFile->setText("a");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Firmware->click();
    page->m_FirmwareIp->setText("0.0.0.0");
    page->m_FirmwareFile->setText("fw.bin");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    // The server fields take any length; a long text is no address.
    page->m_FirmwareIp->setText("10.0.0.1.10.0.0.1.10");
    EXPECT_EQ(page->m_FirmwareIp->text(), "10.0.0.1.10.0.0.1.10");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_FirmwareIp->setText("10.0.0.2");
    EXPECT_TRUE(page->m_Apply->isEnabled());
}

TEST_F(ProvisionPage, RefillsFromTheRecordAndSendsItsLayout)
{
    Intp::TPropertyBasicsAutoProvision record;
    record.Config = true;
    record.ConfigIp = Ip(192, 168, 0, 1);
    record.ConfigFile = "switch.cfg";
    record.FirmwareIp = Ip(192, 168, 0, 2);
    record.FirmwareFile = std::string(300, 'f');
    Put(a, record, Intp::ccBasicsAutoProvisionGet);
    EXPECT_EQ(page->m_ConfigIp->text(), "192.168.0.1");
    EXPECT_TRUE(page->m_ConfigFile->isEnabled());
    EXPECT_FALSE(page->m_FirmwareFile->isEnabled());
    page->m_Apply->click();
    record.FirmwareFile.resize(256); // cut to its field
    EXPECT_EQ(LastBytes(Intp::ccBasicsAutoProvisionSet), SetBytes(record));
}

// ---------------------------------------------------------------------------
// Time (SNTP)

using SntpPage = SystemPage<TModuleBasicsSntp>;

constexpr uint32_t Noon = 1774785600; // 2026-03-29 12:00:00 on the switch's wall clock

TEST_F(SntpPage, AnUnknownClockStaysInvalidAndWithoutADeviceOnlyApplyIsEnabled)
{
    Intp::TPropertyBasicsSntp record;
    record.Enabled = true;
    record.Server = Ip(10, 0, 0, 9);
    record.CurrentTime = 0xFFFFFFFF;
    Put(a, record, Intp::ccBasicsSntpGet);
    EXPECT_EQ(page->m_Current->text(), "(Invalid)");
    EXPECT_FALSE(page->m_Timer->isActive());
    EXPECT_TRUE(page->m_Address->isEnabled());

    Select({});
    EXPECT_FALSE(page->m_Sntp->isEnabled());
    EXPECT_FALSE(page->m_Address->isEnabled());
    EXPECT_EQ(page->m_Address->text(), "0.0.0.0");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    EXPECT_TRUE(SentBytes(Intp::ccBasicsSntpSet).empty());
}

TEST_F(SntpPage, ApplyRuleChecksTheServerAndThePeriod)
{
    Select({a});
    page->m_Sntp->setCurrentIndex(1);
    page->m_Address->setText("127.0.0.1");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Address->setText("10.0.0.9");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Daylight->setCurrentIndex(1);
    page->m_BeginDate->setDate(QDate(2026, 3, 29));
    page->m_EndDate->setDate(QDate(2026, 3, 29));
    page->m_BeginTime->setTime(QTime(2, 0, 0));
    page->m_EndTime->setTime(QTime(2, 0, 0));
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_EndTime->setTime(QTime(2, 0, 1));
    EXPECT_TRUE(page->m_Apply->isEnabled());
}

TEST_F(SntpPage, TheClockIncludesTheOffsetAndReReadsAtEachChangeInstant)
{
    // The begin instant two hours on, then the end instant (begin passed).
    for (const bool end : {false, true}) {
        int64_t host = 1'000'000'000;
        page->m_Now = [&] { return host; };
        Intp::TPropertyBasicsSntp record;
        record.Enabled = true;
        record.TimeZone = 25;
        record.Server = Ip(10, 0, 0, 9);
        record.CurrentTime = Noon;
        record.Daylight = true;
        record.DaylightBegin = end ? Noon - 86400 : Noon + 7200;
        record.DaylightEnd = end ? Noon + 7200 : Noon + 86400;
        record.DaylightOffset = 60;
        Put(a, record, Intp::ccBasicsSntpGet);
        EXPECT_TRUE(page->m_Timer->isActive());
        EXPECT_EQ(page->m_Timezone->currentIndex(), 25);
        EXPECT_EQ(page->m_Current->text(), "(Invalid)"); // until the first tick
        page->EventOnTimerTimer();
        EXPECT_EQ(page->m_Current->text(), "2026/03/29 13:00:00");
        EXPECT_EQ(page->m_BeginTime->time(), QTime(end ? 12 : 14, 0, 0));
        EXPECT_EQ(page->m_EndDate->date(), QDate(2026, 3, end ? 29 : 30));

        // The live clock reaches the instant one hour later on the host;
        // three seconds after it the switch is read again.
        const size_t reads = SentBytes(Intp::ccBasicsSntpGet).size();
        host += 3602;
        page->EventOnTimerTimer();
        EXPECT_EQ(page->m_Current->text(), "2026/03/29 14:00:02");
        EXPECT_EQ(SentBytes(Intp::ccBasicsSntpGet).size(), reads);
        host += 1;
        page->EventOnTimerTimer();
        EXPECT_EQ(SentBytes(Intp::ccBasicsSntpGet).size(), reads + 1) << (end ? "end" : "begin");
    }
    page->Leave(false);
    EXPECT_TRUE(page->m_Timer->isActive()); // only a refill stops the clock
}

TEST_F(SntpPage, ApplySendsTheWallClockPeriodWithoutZoneConversion)
{
    TPageTest::Put(a, Intp::TPropertyBasicsSntp());
    Select({a});
    page->m_Sntp->setCurrentIndex(1);
    page->m_Timezone->setCurrentIndex(62);
    page->m_Address->setText("192.168.1.5");
    page->m_Daylight->setCurrentIndex(1);
    page->m_BeginDate->setDate(QDate(2026, 3, 29));
    page->m_BeginTime->setTime(QTime(2, 30, 0));
    page->m_EndDate->setDate(QDate(2026, 10, 25));
    page->m_EndTime->setTime(QTime(3, 0, 0));
    page->m_Offset->setValue(-30);
    page->m_Apply->click();
    Intp::TPropertyBasicsSntp expected{.Enabled = true, .TimeZone = 62, .Server = Ip(192, 168, 1, 5), .Daylight = true,
                                       .DaylightBegin = 1774751400, .DaylightEnd = 1792897200,
                                       .DaylightOffset = uint32_t(-30)};
    EXPECT_EQ(LastBytes(Intp::ccBasicsSntpSet), SetBytes(expected));
}

TEST_F(SntpPage, AnUneditedApplySendsThePeriodAndOffsetAsReadNotTheLastSwitchs)
{
    TPageTest::Put(b, Intp::TPropertyBasicsSntp{.Enabled = true, .Server = Ip(10, 0, 0, 9), .Daylight = true,
                                                .DaylightBegin = Noon + 60, .DaylightEnd = Noon + 86400,
                                                .DaylightOffset = 30});
    Select({b});
    TPageTest::Put(a, Intp::TPropertyBasicsSntp{.TimeZone = 25, .Server = Ip(10, 0, 0, 7), .Daylight = true,
                                                .DaylightBegin = Noon, .DaylightEnd = Noon + 3600,
                                                .DaylightOffset = 45});
    Select({a});
    page->m_Apply->click();
    // SNTP off: zone, server and daylight flag as the page's defaults; period and offset as read.
    EXPECT_EQ(LastBytes(Intp::ccBasicsSntpSet),
              Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0x69, 0xc9, 0x14, 0x40, 0x69, 0xc9, 0x22, 0x50, 0, 0, 0, 45}));

    // The switch's last seconds show as they are; a time past them is not sent.
    TPageTest::Put(a, Intp::TPropertyBasicsSntp{.Enabled = true, .Server = Ip(10, 0, 0, 7), .Daylight = true,
                                                .DaylightBegin = 0xFFFFFF00u, .DaylightEnd = 0xFFFFFFFFu});
    Select({a});
    page->m_Apply->click();
    EXPECT_EQ(LastBytes(Intp::ccBasicsSntpSet), Bytes({1, 0, 0, 10, 0, 0, 7, 1, 0xff, 0xff, 0xff, 0x00,
                                                        0xff, 0xff, 0xff, 0xff, 0, 0, 0, 0}));
    page->m_EndTime->setTime(QTime(6, 28, 16));
    EXPECT_FALSE(page->m_Apply->isEnabled());
}

// ---------------------------------------------------------------------------
// DHCP server and its clients

using DhcpPage = SystemPage<TModuleBasicsDhcp>;

TEST_F(DhcpPage, PoolMustRiseAndAnOffServerAlwaysApplies)
{
    Intp::TPropertyBasicsDhcp record;
    record.enabled = true;
    record.startIp = Ip(192, 168, 0, 10);
    record.endIp = Ip(192, 168, 0, 10);
    record.subnetMask = Ip(255, 255, 255, 0);
    record.leaseTime = 3600;
    Put(a, record, Intp::ccBasicsDhcpGet);
    EXPECT_EQ(page->m_Edits[TModuleBasicsDhcp::dfEnd]->text(), "192.168.0.10");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Edits[TModuleBasicsDhcp::dfEnd]->setText("192.168.0.20");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Edits[TModuleBasicsDhcp::dfStart]->setText("x");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Server->setCurrentIndex(0);
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_FALSE(page->m_Lease->isEnabled());
}

TEST_F(DhcpPage, GatewayAndDnsThatAreNoHostsAreSentAsZero)
{
    Intp::TPropertyBasicsDhcp record;
    record.enabled = true;
    record.startIp = Ip(192, 168, 0, 10);
    record.endIp = Ip(192, 168, 0, 99);
    record.subnetMask = Ip(255, 255, 255, 0);
    record.gateway = Ip(192, 168, 0, 1);
    record.dns = Ip(8, 8, 8, 8);
    record.leaseTime = 86400;
    Put(a, record, Intp::ccBasicsDhcpGet);
    page->m_Edits[TModuleBasicsDhcp::dfGateway]->setText("0.0.0.0");
    page->m_Edits[TModuleBasicsDhcp::dfDns]->setText("dns");
    emit page->m_Edits[TModuleBasicsDhcp::dfDns]->editingFinished();
    EXPECT_EQ(page->m_Edits[TModuleBasicsDhcp::dfDns]->text(), "0.0.0.0");
    page->m_Apply->click();
    record.gateway = record.dns = 0;
    EXPECT_EQ(LastBytes(Intp::ccBasicsDhcpSet), SetBytes(record));
}

using DhcpEntryPage = SystemPage<TModuleBasicsDhcpEntry>;

TEST_F(DhcpEntryPage, ListsTheLeasesAndSortsAddressesAsNumbers)
{
    Intp::TPropertyBasicsDhcpEntry record;
    record.entries = {{Ip(10, 0, 0, 10), Intp::TMacAddr(0, 1, 2, 3, 4, 5), 2, 3, 600},
                      {Ip(10, 0, 0, 9), Intp::TMacAddr(0, 1, 2, 3, 4, 6), 4, 0, 60}};
    Put(a, record, Intp::ccBasicsDhcpEntry);
    TListModel* model = page->m_List->Model();
    ASSERT_EQ(model->RowCount(), 2);
    EXPECT_EQ(page->m_Total->text(), "Total 2 client entries:");
    EXPECT_EQ(model->Row(0).cells, (QStringList{"1", "10.0.0.10", "00:01:02:03:04:05", "Dynamic ", "Dhcp", "600"}));
    EXPECT_EQ(model->Cell(1, 3), "Dbase   ");
    model->ClickColumn(0); // already the sort column: descending first
    EXPECT_EQ(model->Cell(0, 0), "2");
    model->ClickColumn(1);
    EXPECT_EQ(model->Cell(0, 1), "10.0.0.9");
    model->ClickColumn(1);
    EXPECT_EQ(model->Cell(0, 1), "10.0.0.10");
    page->Leave(false);
    EXPECT_EQ(model->RowCount(), 0);
}

using PortIpPage = SystemPage<TModuleBasicsDhcpPortIp>;

TEST_F(PortIpPage, PortsTheSwitchDoesNotOfferGetNoRowAndKeepTheirOwn)
{
    Intp::InitDeviceTypes();
    a->SetType(TestModel(8));
    Select({a});
    EXPECT_EQ(page->Refresh(true), 1); // the port names first, then the bindings
    ASSERT_EQ(env.protocol.sent.size(), 2u);
    EXPECT_EQ(env.protocol.sent[0].code, Intp::ccPortNameGet);
    EXPECT_EQ(env.protocol.sent[1].code, Intp::ccBasicsDhcpPortIpGet);

    Intp::Property<Intp::TPropertyPortName>::Get(a) = IntpTest::PortNames(Intp::ModelOf(a), {4, 5});
    page->OnNotify(a, Intp::ccPortNameGet, 0); // not the page's own read
    Intp::TPropertyBasicsDhcpPortIp bindings;
    bindings.addresses = {Ip(10, 0, 0, 1), 0, 0, 0, Ip(10, 0, 0, 5), 0, Ip(127, 0, 0, 7), Ip(10, 0, 0, 8)};
    Put(a, bindings, Intp::ccBasicsDhcpPortIpGet);

    TListModel* model = page->m_ListView->Model();
    ASSERT_EQ(model->RowCount(), 6);
    EXPECT_EQ(model->Row(5).cells, (QStringList{"Port.06", "10.0.0.8"}));
    EXPECT_FALSE(page->m_IpAddress->isEnabled());
    // Showing a row's address is no edit, even of one that is no host.
    page->m_ListView->SelectRow(4);
    EXPECT_EQ(page->m_IpAddress->text(), "127.0.0.7");
    EXPECT_EQ(model->Cell(4, 1), "127.0.0.7");
    page->m_ListView->SelectRow(1);
    page->m_IpAddress->setText("127.0.0.1"); // no host: bound as 0
    EXPECT_EQ(model->Cell(1, 1), "0.0.0.0");
    page->m_ListView->SelectRow(2);
    page->m_IpAddress->setText("10.0.0.33");
    page->m_Apply->click();

    EXPECT_EQ(SentEntries<Intp::TSessionBasicsDhcpPortIpSet>().back(),
              (std::vector<uint32_t>{Ip(10, 0, 0, 1), 0, Ip(10, 0, 0, 33), 0, Ip(10, 0, 0, 5), 0, Ip(127, 0, 0, 7),
                                     Ip(10, 0, 0, 8)}));
    Intp::ResetDeviceTypes();
}

} // namespace
