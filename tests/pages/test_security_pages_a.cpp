// 802.1X, IP security and MAC aging pages: what they show and what Apply sends.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Dot1x.h"
#include "intp/IpSecurity.h"
#include "intp/Ports.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/security/ModuleSecurity_8021x.h"
#include "pages/security/ModuleSecurity_8021xPort.h"
#include "pages/security/ModuleSecurity_IP.h"
#include "pages/security/ModuleSecurity_MacAging.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

// A model with places for secure addresses.
static std::uint32_t SecureModel(std::uint32_t ports, std::uint32_t secureIps)
{
    Intp::TDeviceType type;
    type.PortNum = ports;
    type.SecureIpNum = secureIps;
    return std::uint32_t(Intp::RegisterDeviceType(&type));
}

using Dot1xPage = TPageTest<TModuleSecurity8021x>;

TEST_F(Dot1xPage, NoApplyChangesAKeyNobodyTypedAndNoKeyGoesToAnotherSwitch)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Intp::TDevice* other = Select(2, TestModel(8));
    Select(3, TestModel(8));  // its settings were never read
    Intp::TPropertySecurity8021x r{};
    r.enabled = true;
    r.server = Ip(198, 18, 0, 6);
    r.serverPort = 0;  // shown and sent back as read
    r.nasId = "NAS_L2_SWITCH";
    r.sharedKey = "one";
    Put(device, r);
    r.sharedKey = "two";
    Put(other, r);
    Notify(device, Intp::ccSecurity8021xGet);
    // The current switch's key, in plain text.
    EXPECT_EQ(page->m_SharedKey->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(page->m_SharedKey->text(), "one");
    EXPECT_EQ(page->m_SharedKey->maxLength(), 32);
    EXPECT_EQ(page->m_ServerPort->text(), "0");
    page->m_Protocol->setCurrentIndex(0);  // off: the key field is off too
    EXPECT_FALSE(page->m_SharedKey->isEnabled());
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionSecurity8021xSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].sharedKey, "one");
    EXPECT_EQ(sent[1].sharedKey, "two");
    EXPECT_EQ(sent[0].serverPort, 0u);
    env.protocol.Reply(Intp::ccSecurity8021xSet, device);
    env.protocol.Reply(Intp::ccSecurity8021xSet, other);
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_TRUE(env.messages.last().contains("10.0.0.3 (00:11:22:33:44:03): not changed, its own page is not "
                                             "available: the switch's settings have not been read"));

    // A typed key goes to every switch whose own page is available.
    page->m_Protocol->setCurrentIndex(1);
    page->m_SharedKey->clear();
    TypeText(page->m_SharedKey, "s3cret");
    page->m_Apply->click();
    sent = Sent<Intp::TSessionSecurity8021xSet>();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[2].sharedKey, "s3cret");
    EXPECT_EQ(sent[3].sharedKey, "s3cret");
    EXPECT_TRUE(page->Leave(false));
    Refill();
    EXPECT_EQ(page->m_SharedKey->text(), "one");
}

// Time-outs and a request count read outside their fields' ranges are no
// values the page shows: each switch, of either generation, keeps its own
// until a field is edited.
TEST_F(Dot1xPage, NumbersReadOutOfRangeLeaveEachSwitchItsOwnUntilEdited)
{
    const std::uint32_t first = TestModel(8);
    Intp::g_LayoutThreshold = int(first);  // a later model is of the second generation
    Intp::TDevice* device = Select(1, first);
    Intp::TDevice* other = Select(2, TestModel(8));
    Intp::TPropertySecurity8021x r{};
    r.enabled = true;
    r.server = Ip(198, 18, 0, 6);
    r.serverPort = 1812;
    r.accountingPort = 1813;
    r.nasId = "NAS_L2_SWITCH";
    r.sharedKey = "key";
    r.reAuthPeriod = 3600;
    r.supplicantTimeout = 30;
    r.serverTimeout = 30;
    r.maxRequests = 2;
    Put(other, r);
    r.supplicantTimeout = 500;
    r.serverTimeout = 0;
    r.maxRequests = 50;
    Put(device, r);
    Notify(device, Intp::ccSecurity8021xGet);
    EXPECT_EQ(page->m_Supplicant->text(), "500");
    EXPECT_EQ(page->m_ServerTimeout->text(), "0");
    EXPECT_EQ(page->m_MaxRequest->text(), "50");
    ASSERT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    // From byte 77: supplicant and server time-outs (big-endian u16), max requests (u8).
    const auto timers = [&](std::size_t frame) {
        const std::vector<std::uint8_t> bytes = env.protocol.SentWith(Intp::ccSecurity8021xSet).at(frame).payload;
        return std::vector<std::uint8_t>(bytes.begin() + 77, bytes.begin() + 82);
    };
    ASSERT_EQ(SentCount(Intp::ccSecurity8021xSet), 2u);
    EXPECT_EQ(timers(0), (std::vector<std::uint8_t>{0x01, 0xF4, 0, 0, 50}));
    EXPECT_EQ(timers(1), (std::vector<std::uint8_t>{0, 30, 0, 30, 2}));

    page->m_ServerTimeout->selectAll();
    QTest::keyClicks(page->m_ServerTimeout, "301");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_ServerTimeout->selectAll();
    QTest::keyClicks(page->m_ServerTimeout, "60");
    page->m_Apply->click();
    ASSERT_EQ(SentCount(Intp::ccSecurity8021xSet), 4u);
    EXPECT_EQ(timers(2), (std::vector<std::uint8_t>{0x01, 0xF4, 0, 60, 50}));
    EXPECT_EQ(timers(3), (std::vector<std::uint8_t>{0, 30, 0, 60, 2}));
}

TEST_F(Dot1xPage, ApplyOffSaysWhy)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Intp::TPropertySecurity8021x r{};
    r.enabled = true;
    r.server = Ip(127, 0, 0, 1);
    r.nasId = "NAS_L2_SWITCH";
    r.sharedKey = "one";
    Put(device, r);
    Notify(device, Intp::ccSecurity8021xGet);
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Apply->toolTip(), "The RADIUS server IP address is not a valid host address.");
    page->m_ServerIp->setText("198.18.0.6");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_SharedKey->clear();
    EXPECT_EQ(page->m_Apply->toolTip(), "The shared key is empty.");
}

using Dot1xPortPage = TPageTest<TModuleSecurity8021xPort>;

TEST_F(Dot1xPortPage, EveryPortIsListedAndSentHiddenOnesAsRead)
{
    // More ports than a 32-entry map holds.
    Intp::TDevice* device = Select(1, TestModel(40));
    Select(2, TestModel(8));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {2}));
    Put(device, IntpTest::PerPort<Intp::TPropertySecurity8021xPort>(
                    Intp::ModelOf(device), [](std::size_t i, auto& e) { e.mode = std::uint32_t(i % 4); }));
    Notify(device, Intp::ccSecurity8021xPortGet);
    ASSERT_EQ(page->m_ListView->RowCount(), 39);
    EXPECT_EQ(page->m_ListView->Model()->Cell(2, 1), "Disable");  // the fourth port
    page->m_ListView->SelectRow(38);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(2);
    page->m_Apply->click();

    auto sent = SentEntries<Intp::TSessionSecurity8021xPortSet>();
    ASSERT_EQ(sent.size(), 1u);  // the 8-port switch is named, not sent
    ASSERT_EQ(sent[0].size(), 40u);
    EXPECT_EQ(sent[0][2].mode, 2u);  // hidden: as read
    EXPECT_EQ(sent[0][39].mode, 2u);
}

TEST_F(Dot1xPortPage, RefreshReadsNamesThenModesOfEveryTargetAndAFailedNameReadHidesNoPort)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Intp::TDevice* other = Select(2, TestModel(6));
    for (const bool current : {true, false}) {
        env.protocol.sent.clear();
        EXPECT_EQ(page->Refresh(current), 2);
        std::vector<std::pair<std::uint16_t, Intp::TMacAddr>> order;
        for (const IntpTest::TSent& frame : env.protocol.sent)
            order.push_back({frame.code, frame.mac});
        const std::vector<std::pair<std::uint16_t, Intp::TMacAddr>> expected = {
            {Intp::ccPortNameGet, device->GetMac()},
            {Intp::ccPortNameGet, other->GetMac()},
            {Intp::ccSecurity8021xPortGet, device->GetMac()},
            {Intp::ccSecurity8021xPortGet, other->GetMac()}};
        EXPECT_EQ(order, expected);
    }
    // A refused name read hides no port; the other switch, whose names never
    // answered, takes the four ports shown and keeps its own fifth and sixth.
    Put(device, IntpTest::PerPort<Intp::TPropertySecurity8021xPort>(Intp::ModelOf(device),
                                                                     [](std::size_t, auto& e) { e.mode = 1; }));
    Put(other, IntpTest::PerPort<Intp::TPropertySecurity8021xPort>(Intp::ModelOf(other),
                                                                    [](std::size_t, auto& e) { e.mode = 3; }));
    NotifyRead(page.get(), device, Intp::ccPortNameGet, 5);
    Notify(device, Intp::ccSecurity8021xPortGet);
    EXPECT_FALSE(page->IsUnavailable()) << page->StatusLine()->text().toStdString();
    ASSERT_EQ(page->m_ListView->RowCount(), 4);
    page->m_ListView->SelectRow(2);
    static_cast<QComboBox*>(page->m_ListView->EditorOf(1))->setCurrentIndex(2);
    page->m_Apply->click();
    const auto frames = env.protocol.SentWith(Intp::ccSecurity8021xPortSet);
    ASSERT_EQ(frames.size(), 2u) << env.messages.join("|").toStdString();
    EXPECT_EQ(frames[0].payload, (std::vector<std::uint8_t>{1, 1, 2, 1}));
    EXPECT_EQ(frames[1].payload, (std::vector<std::uint8_t>{1, 1, 2, 1, 3, 3}));

    // A reply of another port count, told in words.
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {2}));
    NotifyRead(page.get(), device, Intp::ccPortNameGet, Intp::ssOk);
    NotifyRead(page.get(), device, Intp::ccSecurity8021xPortGet, Intp::ssBadValue);
    EXPECT_EQ(page->StatusLine()->text(),
              "Not available: the switch's reply held a count or value out of range.");
}

using IpSecurityPage = TPageTest<TModuleSecurityIP>;

TEST_F(IpSecurityPage, TheListNeverGrowsPastTheModelsPlaces)
{
    Intp::TDevice* device = Select(1, SecureModel(8, 3));
    Intp::TPropertySecurityIp one{};
    one.addresses = {0};
    Put(Select(2, SecureModel(8, 1)), one);
    Intp::TPropertySecurityIp r{};
    r.enabled = true;
    r.services = Intp::ssvTelnet;
    r.addresses = {Ip(192, 168, 1, 10), 0, Ip(192, 168, 1, 20)};
    Put(device, r);
    Notify(device, Intp::ccSecurityIpGet);
    ASSERT_EQ(page->m_SecureIPs->count(), 1);  // the listing stops at the first empty place
    EXPECT_EQ(page->m_Management->Mask(), Intp::ssvTelnet);

    page->m_Address->setText("192.168.1.10");
    page->m_Add->click();
    EXPECT_EQ(env.messages, QStringList({"Entry already exists!"}));
    for (const char* address : {"10.1.1.1", "10.1.1.2"}) {
        page->m_Address->setText(address);
        page->m_Add->click();
    }
    EXPECT_EQ(page->m_SecureIPs->count(), 3);
    page->m_Address->setText("10.1.1.3");
    EXPECT_FALSE(page->m_Add->isEnabled());
    page->m_Delete->click();
    EXPECT_EQ(env.messages.back(), "Entry not found!");
    page->m_Address->setText("10.1.1.1");
    page->m_Delete->click();
    EXPECT_TRUE(page->m_Add->isEnabled());
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionSecurityIpSet>();
    ASSERT_EQ(sent.size(), 1u);  // two addresses don't fit the one-place model
    EXPECT_EQ(sent[0].addresses, std::vector<std::uint32_t>({Ip(192, 168, 1, 10), Ip(10, 1, 1, 2), 0}));
    EXPECT_EQ(sent[0].services, Intp::ssvTelnet);

    page->m_Mode->setCurrentIndex(0);  // off: an empty list and mask go out
    page->m_Apply->click();
    sent = Sent<Intp::TSessionSecurityIpSet>();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1].services, 0u);
    EXPECT_EQ(sent[2].addresses, std::vector<std::uint32_t>({0}));
}

using MacAgingPage = TPageTest<TModuleSecurityMacAging>;

TEST_F(MacAgingPage, StepsBy15AndTakesNoNegativeTime)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Put(device, Intp::TPropertySecurityMacAging{true, 300, true});
    Notify(device, Intp::ccSecurityMacAgingGet);
    page->m_AgingTime->stepUp();
    EXPECT_EQ(page->m_AgingTime->value(), 315);
    page->m_AgingTime->selectAll();
    TypeText(page->m_AgingTime, "-15");
    EXPECT_EQ(page->m_AgingTime->text(), "-15");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    EXPECT_TRUE(Sent<Intp::TSessionSecurityMacAgingSet>().empty());
}
