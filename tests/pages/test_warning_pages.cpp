// The warning pages: what they show from the cache and what Apply sends.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Ports.h"
#include "intp/Warning.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/warning/ModuleWarning_Event.h"
#include "pages/warning/ModuleWarning_Fault.h"
#include "pages/warning/ModuleWarning_Smtp.h"
#include "pages/warning/ModuleWarning_Syslog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using FaultPage = TPageTest<TModuleWarningFault>;

TEST_F(FaultPage, HiddenPortsGetNoLineAndKeepTheirBits)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {1}));
    Put(device, Intp::TPropertyWarningFault{true, 0x2, 0xF});
    Notify(device, Intp::ccWarningFaultGet);

    ASSERT_EQ(page->m_PortList->count(), 3);
    EXPECT_EQ(page->m_PortList->item(1)->text(), "Port.02");  // the third port, numbered on
    EXPECT_EQ(page->m_SysList->item(1)->checkState(), Qt::Checked);
    page->m_PortList->item(0)->setCheckState(Qt::Unchecked);
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningFaultSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].systemMask, 0x2u);
    EXPECT_EQ(sent[0].portMask, 0xEu);  // port 0 unticked, hidden port 1 as read
}

TEST_F(FaultPage, AModelWithMoreThan32PortsListsTheFirst32)
{
    Intp::TDevice* device = Select(1, TestModel(40));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device)));
    Put(device, Intp::TPropertyWarningFault{true, 0, 0x80000001u});
    Notify(device, Intp::ccWarningFaultGet);
    ASSERT_EQ(page->m_PortList->count(), 32);
    EXPECT_EQ(page->m_PortList->item(31)->checkState(), Qt::Checked);
    page->m_Apply->click();
    EXPECT_EQ(Sent<Intp::TSessionWarningFaultSet>().at(0).portMask, 0x80000001u);
}

// Port names that never answered, or were refused, hide no port: on the
// switch on show, and on a target named by nothing else.
TEST_F(FaultPage, PortNamesNotReadHideNoPortHereOrOnATarget)
{
    for (const bool refused : {false, true}) {
        env.host.selection.clear();
        env.protocol.sent.clear();
        Intp::TDevice* device = Select(refused ? 3 : 1, TestModel(4));
        Intp::TDevice* target = Select(refused ? 4 : 2, TestModel(4));
        EXPECT_EQ(page->Refresh(true), 2);
        EXPECT_EQ(SentCount(Intp::ccPortNameGet), 2u);
        if (refused)
            env.protocol.Reply(Intp::ccPortNameGet, device, {0, 0, 0, 0}, 5);
        env.protocol.Reply(Intp::ccWarningFaultGet, target, {0, 0, 0, 0, 0, 0, 0, 0x0F});
        env.protocol.Reply(Intp::ccWarningFaultGet, device, {0, 0, 0, 2, 0, 0, 0, 0x0A});
        EXPECT_FALSE(page->IsUnavailable()) << page->StatusLine()->text().toStdString();
        ASSERT_EQ(page->m_PortList->count(), 4);
        EXPECT_EQ(page->m_PortList->item(3)->text(), "Port.04");
        ASSERT_TRUE(page->m_Apply->isEnabled());
        page->m_PortList->item(0)->setCheckState(Qt::Checked);
        page->m_Apply->click();
        const auto frames = env.protocol.SentWith(Intp::ccWarningFaultSet);
        ASSERT_EQ(frames.size(), 2u) << env.messages.join("|").toStdString();
        for (const IntpTest::TSent& frame : frames)
            EXPECT_EQ(frame.payload, (std::vector<std::uint8_t>{0, 0, 0, 2, 0, 0, 0, 0x0B}));
    }
}

// Power failures without a line (bits past the two inputs) go back as read.
TEST_F(FaultPage, SystemBitsWithoutALineGoBackAsRead)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    page->Refresh(true);
    env.protocol.Reply(Intp::ccWarningFaultGet, device, {0x80, 0, 0, 0x0D, 0, 0, 0, 0x05});
    page->m_SysList->item(0)->setCheckState(Qt::Unchecked);
    page->m_Apply->click();
    EXPECT_EQ(env.protocol.SentWith(Intp::ccWarningFaultSet).at(0).payload,
              (std::vector<std::uint8_t>{0x80, 0, 0, 0x0C, 0, 0, 0, 0x05}));
}

// A target whose latest name read timed out hides the ports its names held
// hide, as its own page does: it is named, not written there.
TEST_F(FaultPage, ATargetsHeldNamesHideItsPortsWhateverItsLatestNameRead)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    Intp::TDevice* target = Select(2, TestModel(4));
    PutEach(Intp::TPropertyWarningFault{true, 0, 0});
    Put(target, IntpTest::PortNames(Intp::ModelOf(target), {1}));
    NotifyRead(page.get(), target, Intp::ccPortNameGet, Intp::ssTimeout);
    Notify(device, Intp::ccWarningFaultGet);
    page->m_PortList->item(1)->setCheckState(Qt::Checked);
    page->m_Apply->click();
    EXPECT_EQ(SentCount(Intp::ccWarningFaultSet), 1u);
    env.protocol.Reply(Intp::ccWarningFaultSet, device);
    const QString named = "44:02): not changed, its own page does not list port 2";
    EXPECT_TRUE(RunUntil([&] { return env.messages.join("").contains(named); }, std::chrono::seconds(5)))
        << env.messages.join("|").toStdString();
}

using SyslogPage = TPageTest<TModuleWarningSyslog>;

TEST_F(SyslogPage, ModeRulesDecideApply)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Put(device, Intp::TPropertyWarningSyslog{true, 2, Ip(198, 18, 0, 9)});
    Notify(device, Intp::ccWarningSyslogGet);
    EXPECT_EQ(page->m_Mode->currentIndex(), 2);
    EXPECT_EQ(page->m_Address->text(), "198.18.0.9");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    // Server Only and Both send to the server.
    for (const int mode : {2, 3}) {
        page->m_Mode->setCurrentIndex(mode);
        EXPECT_TRUE(page->m_Address->isEnabled());
        for (const char* bad : {"0.0.0.0", "255.255.255.255", "127.0.0.1", "no address"}) {
            page->m_Address->setText(bad);
            EXPECT_FALSE(page->m_Apply->isEnabled()) << mode << " " << bad;
        }
    }
    page->m_Mode->setCurrentIndex(1);  // client only: the address does not matter
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_FALSE(page->m_Address->isEnabled());
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningSyslogSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].mode, 1u);
    EXPECT_EQ(sent[0].server, 0xFFFFFFFFu);  // sent in every mode, as parsed
}

TEST_F(SyslogPage, AModeTheListDoesNotKnowIsSentBackAsRead)
{
    Intp::TDevice* device = Select(1, TestModel(8));
    Put(device, Intp::TPropertyWarningSyslog{true, 4, Ip(198, 18, 0, 9)});
    Notify(device, Intp::ccWarningSyslogGet);
    EXPECT_EQ(page->m_Mode->currentIndex(), -1);
    page->m_Apply->click();
    EXPECT_EQ(Sent<Intp::TSessionWarningSyslogSet>().at(0).mode, 4u);
}

TEST_F(SyslogPage, ATargetWhoseOwnModeNeedsAServerTakesNoBadAddress)
{
    // The mode on show has no item: each target keeps its own.
    Put(Select(1, TestModel(8)), Intp::TPropertyWarningSyslog{true, 4, 0});
    Intp::TDevice* both = Select(2, TestModel(8));
    Put(both, Intp::TPropertyWarningSyslog{true, 3, Ip(198, 18, 0, 9)});
    Intp::TDevice* client = Select(3, TestModel(8));
    Put(client, Intp::TPropertyWarningSyslog{true, 1, Ip(198, 18, 0, 9)});
    Notify(env.host.selection[0], Intp::ccWarningSyslogGet);
    ASSERT_TRUE(page->m_Apply->isEnabled());
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningSyslogSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].mode, 4u);
    EXPECT_EQ(sent[1].mode, 1u);
    EXPECT_EQ(sent[1].server, 0u);
    for (Intp::TDevice* device : {env.host.selection[0], client})
        IntpTest::TFakeHost::Reply(Intp::ccWarningSyslogSet, device);
    const QString named = "44:02): not changed, its own page takes no server address 0.0.0.0 in mode \"Both\"";
    EXPECT_TRUE(RunUntil([&] { return env.messages.join("").contains(named); }, std::chrono::seconds(5)))
        << env.messages.join("").toStdString();
}

using SmtpPage = TPageTest<TModuleWarningSmtp>;

// E-mail alarms on, with a server, a sender and a subject.
Intp::TPropertyWarningSmtp MailOn()
{
    Intp::TPropertyWarningSmtp smtp;
    smtp.enabled = true;
    smtp.server = Ip(198, 18, 0, 25);
    smtp.sender = "switch@example.org";
    smtp.subject = "Alarm";
    return smtp;
}

TEST_F(SmtpPage, TheFormCheckAndWhatApplySends)
{
    Intp::TDevice* device = Select(1, TestModel(8, 2));
    Intp::TPropertyWarningSmtp smtp = MailOn();
    smtp.account = "mailer";
    smtp.recipients = {"", "b@example.org"};
    Put(device, smtp);
    page->m_Password->setText("old");
    page->m_Confirm->setText("old");
    Notify(device, Intp::ccWarningSmtpGet);

    // The password is never shown again, the confirmation keeps its text:
    // Apply waits for the password to match it.
    EXPECT_TRUE(page->m_Password->text().isEmpty());
    EXPECT_EQ(page->m_Confirm->text(), "old");
    EXPECT_EQ(page->m_Recipients->toPlainText(), "b@example.org");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Password->setText("secret");
    EXPECT_FALSE(page->m_Apply->isEnabled());
    page->m_Password->setText("old");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Password->setText("secret");
    page->m_Confirm->setText("secret");
    EXPECT_TRUE(page->m_Apply->isEnabled());
    page->m_Recipients->setPlainText("a@example.org\nb@example.org\nc@example.org");
    EXPECT_FALSE(page->m_Apply->isEnabled());  // the model takes two
    page->m_Recipients->setPlainText(QString(64, 'x') + "\nb@example.org");
    EXPECT_TRUE(page->m_Apply->isEnabled());

    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningSmtpSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].enabled);
    EXPECT_EQ(sent[0].password, "secret");
    EXPECT_EQ(sent[0].recipients, (std::vector<std::string>{std::string(64, 'x'), "b@example.org"}));

    page->m_Recipients->setPlainText(QString(65, 'x'));
    page->m_Apply->click();
    EXPECT_EQ(env.messages, QStringList{"E-mail address too long!"});
    EXPECT_EQ(SentCount(Intp::ccWarningSmtpSet), 1u);
}

TEST_F(SmtpPage, AnUntouchedApplySendsTheSwitchsTextsBackByteForByte)
{
    Intp::TDevice* device = Select(1, TestModel(8, 1));
    Intp::TPropertyWarningSmtp smtp;
    smtp.sender = "alarm@example.org";
    smtp.subject = "St\xF6rung";
    smtp.recipients = {"m\xFCller@example.org"};
    Put(device, smtp);
    Notify(device, Intp::ccWarningSmtpGet);
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningSmtpSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].subject, "St\xF6rung");
    EXPECT_EQ(sent[0].recipients, std::vector<std::string>{"m\xFCller@example.org"});
}

// An account longer than the field takes as typed, and line breaks in a
// recipient, go back as read.
TEST_F(SmtpPage, ALongAccountAndLineBreaksInARecipientGoBackAsRead)
{
    Intp::TDevice* device = Select(1, TestModel(8, 1));
    page->Refresh(true);
    const std::string account = "account-of-20-chars!", recipient = "a\rb\nc\xA0";
    std::vector<std::uint8_t> reply(197 + 64);
    reply[4] = 0x01;
    std::copy(account.begin(), account.end(), reply.begin() + 133);
    std::copy(recipient.begin(), recipient.end(), reply.begin() + 197);
    env.protocol.Reply(Intp::ccWarningSmtpGet, device, reply);
    EXPECT_EQ(MemoLines(page->m_Recipients).size(), 1);
    page->m_Apply->click();
    std::vector<std::uint8_t> sent(229 + 64);
    sent[4] = 0x01;
    std::copy(account.begin(), account.end(), sent.begin() + 133);
    std::copy(recipient.begin(), recipient.end(), sent.begin() + 229);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccWarningSmtpSet).at(0).payload, sent);
}

TEST_F(SmtpPage, DisableSendsTheFieldsAsTheyStand)
{
    Intp::TDevice* device = Select(1, TestModel(8, 1));
    Put(device, Intp::TPropertyWarningSmtp{});
    Refill();
    EXPECT_TRUE(page->m_Apply->isEnabled());
    EXPECT_FALSE(page->m_Sender->isEnabled());
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningSmtpSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_FALSE(sent[0].enabled);
    EXPECT_EQ(sent[0].recipients.size(), 1u);
    (void)device;
}

TEST_F(SmtpPage, EachSwitchGetsItsOwnModelsRecipientsOrIsNamedAsNotChanged)
{
    Intp::TDevice* two = Select(1, TestModel(8, 2));
    Intp::TDevice* three = Select(2, TestModel(8, 3));
    Select(3, TestModel(8, 1));
    Intp::TDevice* none = Select(4, TestModel(8, 0));
    Intp::TPropertyWarningSmtp smtp = MailOn();
    PutEach(smtp);
    Notify(two, Intp::ccWarningSmtpGet);
    page->m_Recipients->setPlainText("a@example.org\nb@example.org");
    page->m_Apply->click();

    const auto frames = env.protocol.SentWith(Intp::ccWarningSmtpSet);
    const auto sent = Sent<Intp::TSessionWarningSmtpSet>();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(frames[0].mac, two->GetMac());
    EXPECT_EQ(sent[0].recipients, (std::vector<std::string>{"a@example.org", "b@example.org"}));
    EXPECT_EQ(frames[1].mac, three->GetMac());
    EXPECT_EQ(sent[1].recipients, (std::vector<std::string>{"a@example.org", "b@example.org", ""}));
    env.protocol.Reply(Intp::ccWarningSmtpSet, two);
    env.protocol.Reply(Intp::ccWarningSmtpSet, three);
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_EQ(env.messages, QStringList{"The change was not made on every switch:\n\n"
                                        "10.0.0.3 (00:11:22:33:44:03): not changed, its model takes at most 1 recipient\n"
                                        "10.0.0.4 (00:11:22:33:44:04): not changed, its model takes no e-mail recipients"});

    // On a model without recipients Apply is off and says why.
    env.host.selection = {none};
    Put(none, smtp);
    Refill();
    EXPECT_FALSE(page->m_Apply->isEnabled());
    EXPECT_EQ(page->m_Apply->toolTip(), "This switch's model takes no e-mail recipients.");
}

class EventPage : public TPageTest<TModuleWarningEvent> {
protected:
    void SetUp() override
    {
        TPageTest::SetUp();
        page->SetSystemEvents(std::bitset<4>().set());
    }
};

TEST_F(EventPage, RowsChoicesAndTheMasksApplySends)
{
    Intp::g_LayoutThreshold = 1000;
    Intp::TDevice* device = Select(1, TestModel(4));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device), {1}));
    Put(device, Intp::TPropertyWarningSmtp{});
    Put(device, Intp::TPropertyWarningSyslog{true, 1, 0});
    Intp::TPropertyWarningEvent masks;
    masks.syslogSystem = 0x1;
    masks.syslogLinkUp = 0x8;
    masks.syslogLinkDown = 0x8;
    Put(device, masks);
    Notify(device, Intp::ccWarningEventGet);

    ASSERT_EQ(page->m_SysList->RowCount(), 4);
    EXPECT_EQ(page->m_SysList->Model()->Cell(0, 0), "System Cold Start");
    EXPECT_EQ(page->m_SysList->Model()->Cell(0, 1), "Enable");
    ASSERT_EQ(page->m_PortList->RowCount(), 3);
    EXPECT_EQ(page->m_PortList->Model()->Cell(2, 0), "Port.03");
    EXPECT_EQ(page->m_PortList->Model()->Cell(2, 1), "Link Up & Down");
    EXPECT_TRUE(page->m_Apply->isEnabled());

    // No e-mail alarm: its column stays as it is.
    page->m_PortList->header()->sectionClicked(2);
    EXPECT_EQ(page->m_PortList->Value(0, 2), 0);
    // Syslog header: every port takes the first row's next choice.
    page->m_PortList->header()->sectionClicked(1);
    EXPECT_EQ(page->m_PortList->Values(2)[0], 1);
    page->m_Apply->click();
    auto sent = Sent<Intp::TSessionWarningEventSet>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].syslogSystem, 0x1u);
    EXPECT_EQ(sent[0].syslogLinkUp, 0xDu);  // ports 0, 2, 3; the hidden port 1 is 0
    EXPECT_EQ(sent[0].syslogLinkDown, 0u);

    Intp::g_LayoutThreshold = 0;  // a second-generation model
    Refill();
    EXPECT_EQ(page->m_SysList->Model()->Cell(0, 0), "Device cold start");
}

TEST_F(EventPage, AModelWithMoreThan32PortsListsTheFirst32AndNoneWrapsOntoPort0)
{
    Intp::TDevice* device = Select(1, TestModel(40));
    Put(device, IntpTest::PortNames(Intp::ModelOf(device)));
    Put(device, Intp::TPropertyWarningSmtp{});
    Put(device, Intp::TPropertyWarningSyslog{true, 1, 0});
    Put(device, Intp::TPropertyWarningEvent{});
    Notify(device, Intp::ccWarningEventGet);
    ASSERT_EQ(page->m_PortList->RowCount(), 32);
    page->m_PortList->SelectRow(31);
    static_cast<QComboBox*>(page->m_PortList->EditorOf(1))->setCurrentIndex(1);
    // "Link Up & Down" sets the port's bit in both masks.
    page->m_PortList->SelectRow(0);
    static_cast<QComboBox*>(page->m_PortList->EditorOf(1))->setCurrentIndex(3);
    page->m_Apply->click();
    const auto sent = Sent<Intp::TSessionWarningEventSet>().at(0);
    EXPECT_EQ(sent.syslogLinkUp, 0x80000001u);
    EXPECT_EQ(sent.syslogLinkDown, 0x1u);
}

TEST_F(EventPage, PortNamesNotReadHideNoPortHereOrOnATarget)
{
    Intp::g_LayoutThreshold = 1000;
    Intp::TDevice* device = Select(1, TestModel(4));
    Intp::TDevice* target = Select(2, TestModel(4));  // its names never answered
    PutEach(Intp::TPropertyWarningSmtp{});
    PutEach(Intp::TPropertyWarningSyslog{true, 1, 0});
    Intp::TPropertyWarningEvent masks;
    masks.syslogSystem = 0x1;
    masks.syslogLinkUp = 0x8;
    Put(device, masks);
    Put(target, Intp::TPropertyWarningEvent{true, 0, 0xF, 0xF, 0, 0, 0});
    NotifyRead(page.get(), device, Intp::ccPortNameGet, 5);
    Notify(device, Intp::ccWarningEventGet);

    EXPECT_FALSE(page->IsUnavailable()) << page->StatusLine()->text().toStdString();
    ASSERT_EQ(page->m_PortList->RowCount(), 4);
    EXPECT_EQ(page->m_PortList->Model()->Cell(1, 0), "Port.02");
    ASSERT_TRUE(page->m_Apply->isEnabled());
    page->m_PortList->SelectRow(1);
    static_cast<QComboBox*>(page->m_PortList->EditorOf(1))->setCurrentIndex(1);  // "Link Up"
    page->m_Apply->click();
    const auto frames = env.protocol.SentWith(Intp::ccWarningEventSet);
    ASSERT_EQ(frames.size(), 2u) << env.messages.join("|").toStdString();
    for (const IntpTest::TSent& frame : frames)
        EXPECT_EQ(frame.payload, (std::vector<std::uint8_t>{0, 0, 0, 1, 0, 0, 0, 0x0A, 0, 0, 0, 0,
                                                            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(env.messages.isEmpty()) << env.messages.join("|").toStdString();
}
