// The common device-page rules, on a small page over the switch settings.
#include "PageTestHost.h"
#include "RunUntil.h"

#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Warning.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PageWidgets.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

// Settings reply: versions, logged-in byte, then name, description,
// location, contact and object id in 256-byte fields.
std::vector<uint8_t> SettingsReply(const std::string& location, bool loggedIn = true)
{
    std::vector<uint8_t> payload(8, 0);
    payload.push_back(loggedIn ? 1 : 0);
    for (const std::string& text : {std::string(), std::string(), location, std::string(), std::string()})
        IntpTest::PutText(payload, text, 256);
    return payload;
}

class TTestPage : public TModulePage {
public:
    TTestPage() : TModulePage("Test Page")
    {
        m_Location = new QLineEdit(this);
        m_Apply = new QPushButton("&Apply", this);
        AddRead<Intp::TSessionBasicsSettingsGet>();
        AddInputs({m_Location, m_Apply});
    }

    void Apply()
    {
        if (!Check(!m_Location->text().isEmpty(), "Location is empty!"))
            return;
        std::string location = m_Location->text().toStdString();
        applied = SendToSelectedDevices<Intp::TSessionBasicsSettingsSet>(
            [&](Intp::TSessionBasicsSettingsSet& request) { request.SetPayload("n", "d", location, "c"); });
    }

    using TModulePage::AddChain;
    using TModulePage::AddRead;
    using TModulePage::AddRefillCode;
    using TModulePage::SetHideWhileRefilling;

    QLineEdit* m_Location;
    QPushButton* m_Apply;
    int fills = 0;
    int applied = -1;
    Intp::TDevice* filledWith = nullptr;
    bool visibleDuringFill = false;

protected:
    void Fill(Intp::TDevice* device) override
    {
        ++fills;
        filledWith = device;
        visibleDuringFill = isVisible();
        if (!device)
            return;
        const auto& record = Intp::Property<Intp::TPropertyBasicsSettings>::Get(device);
        m_Location->setText(record.valid ? QString::fromStdString(record.Location) : QString());
    }
};

class ModulePageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        page.SetHost(&env.host);
        env.page = &page;
        a = env.AddDevice(1, Ip(10, 0, 0, 1));
        b = env.AddDevice(2, Ip(10, 0, 0, 2));
        c = env.AddDevice(3, Ip(10, 0, 0, 3));
    }

    // The switch settings of each device read.
    static void Read(std::initializer_list<Intp::TDevice*> devices)
    {
        for (Intp::TDevice* device : devices)
            Intp::Property<Intp::TPropertyBasicsSettings>::Get(device).valid = true;
    }

    TPageTestEnvironment env;
    TTestPage page;
    Intp::TDevice* a = nullptr;
    Intp::TDevice* b = nullptr;
    Intp::TDevice* c = nullptr;
};

TEST_F(ModulePageTest, RefreshReadsEverySelectedDeviceAndARefillWithoutOneDisablesTheInputs)
{
    EXPECT_EQ(page.Refresh(true), 0);
    EXPECT_TRUE(env.protocol.sent.empty());
    page.OnNotify(nullptr, ncSelectionChanged, 0);
    EXPECT_EQ(page.fills, 1);
    EXPECT_EQ(page.filledWith, nullptr);
    EXPECT_FALSE(page.m_Location->isEnabled());
    EXPECT_FALSE(page.m_Apply->isEnabled());
    EXPECT_TRUE(page.isVisible());

    env.host.selection = {a, b, c};
    EXPECT_EQ(page.Refresh(true), 3);
    auto reads = env.protocol.SentWith(Intp::ccBasicsSettingsGet);
    ASSERT_EQ(reads.size(), 3u);
    EXPECT_EQ(reads[0].mac, a->GetMac());
    EXPECT_EQ(reads[1].mac, b->GetMac());
    EXPECT_EQ(reads[2].mac, c->GetMac());
    EXPECT_EQ(reads[2].ip, Ip(10, 0, 0, 3));
}

TEST_F(ModulePageTest, AFailedStartIsNotCountedAndTheRequestIsDeleted)
{
    class TNoStartPage : public TModulePage {
    public:
        TNoStartPage() : TModulePage("Smtp") { AddRead<Intp::TSessionWarningSmtpSet>(rwAlways, false); }

    protected:
        void Fill(Intp::TDevice*) override {}
    } smtp;
    smtp.SetHost(&env.host);
    env.host.selection = {a, b};
    // A variable-size write without entries refuses to start on every device.
    EXPECT_EQ(smtp.Refresh(true), 0);
    EXPECT_EQ(Intp::GetSessionCount(), 0u);
}

TEST_F(ModulePageTest, OnlyTheOwnReadOfTheCurrentDeviceRefillsThePage)
{
    env.host.selection = {a, b};
    page.Refresh(true);
    page.hide();

    env.protocol.Reply(Intp::ccBasicsSettingsGet, b, SettingsReply("Second floor"));
    EXPECT_EQ(page.fills, 0);
    EXPECT_TRUE(Intp::Property<Intp::TPropertyBasicsSettings>::Get(b).valid);

    env.protocol.Reply(Intp::ccBasicsSettingsGet, a, SettingsReply("Rack 7"));
    EXPECT_EQ(page.fills, 1);
    EXPECT_EQ(page.filledWith, a);
    EXPECT_EQ(page.m_Location->text(), "Rack 7");
    EXPECT_TRUE(page.m_Location->isEnabled());
    EXPECT_TRUE(page.isVisible());
}

TEST_F(ModulePageTest, OtherCodesAreIgnoredAndTheStatusIsNotLookedAt)
{
    env.host.selection = {a};
    page.OnNotify(a, Intp::ccBasicsSettingsSet, 0);
    page.OnNotify(a, ncDeviceIpChanged, 0);
    page.OnNotify(a, Intp::ccWarningSyslogGet, 0);
    EXPECT_EQ(page.fills, 0);

    page.Refresh(true);
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccBasicsSettingsGet));
    EXPECT_EQ(page.fills, 1);  // a time-out refills from whatever the cache holds
    EXPECT_EQ(page.m_Location->text(), "");
}

TEST_F(ModulePageTest, ADeviceRemovedWithoutDeviceRefillsFromTheNewSelection)
{
    env.host.selection = {a};
    Intp::Property<Intp::TPropertyBasicsSettings>::Get(a).valid = true;
    page.OnNotify(a, ncSelectionChanged, 0);
    EXPECT_TRUE(page.m_Apply->isEnabled());

    env.host.selection.clear();
    page.OnNotify(nullptr, ncDeviceRemoved, 0);
    EXPECT_EQ(page.fills, 2);
    EXPECT_EQ(page.filledWith, nullptr);
    EXPECT_FALSE(page.m_Apply->isEnabled());
}

TEST_F(ModulePageTest, ApplySendsOneWriteToEverySelectedDevice)
{
    env.host.selection = {a, b, c};
    Read({a, b, c});
    page.OnNotify(a, ncSelectionChanged, 0);
    page.m_Location->clear();
    page.Apply();  // a failed check shows its message and sends nothing
    EXPECT_EQ(page.applied, -1);
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccBasicsSettingsSet).empty());
    EXPECT_EQ(env.messages, QStringList{"Location is empty!"});

    page.m_Location->setText("Lab");
    page.Apply();
    EXPECT_EQ(page.applied, 3);
    auto writes = env.protocol.SentWith(Intp::ccBasicsSettingsSet);
    ASSERT_EQ(writes.size(), 3u);
    for (const IntpTest::TSent& frame : writes) {
        ASSERT_EQ(frame.payload.size(), 1024u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(frame.payload.data()) + 512), "Lab");
    }
    EXPECT_EQ(writes[1].mac, b->GetMac());
}

TEST_F(ModulePageTest, TheWriteReplyRefillsThroughTheLibrarysReRead)
{
    env.host.selection = {a};
    Read({a});
    page.m_Location->setText("Lab");
    page.Apply();
    env.protocol.Reply(Intp::ccBasicsSettingsSet, a);
    EXPECT_EQ(page.fills, 0);  // the write's own code is ignored
    ASSERT_EQ(env.protocol.SentWith(Intp::ccBasicsSettingsGet).size(), 1u);
    env.protocol.Reply(Intp::ccBasicsSettingsGet, a, SettingsReply("Lab"));
    EXPECT_EQ(page.fills, 1);
    EXPECT_EQ(page.m_Location->text(), "Lab");
}

TEST_F(ModulePageTest, APageThatHidesWhileRefillingIsHiddenDuringFillAndLeavingHidesIt)
{
    env.host.selection = {a};
    page.show();
    page.OnNotify(a, ncSelectionChanged, 0);
    EXPECT_FALSE(page.visibleDuringFill);
    EXPECT_TRUE(page.isVisible());

    page.SetHideWhileRefilling(false);
    page.OnNotify(a, ncSelectionChanged, 0);
    EXPECT_TRUE(page.visibleDuringFill);

    EXPECT_TRUE(page.Leave(false));
    EXPECT_FALSE(page.isVisible());
}

TEST_F(ModulePageTest, ReadsRunByCurrentAndTheAnswerIsTheLastReadsCount)
{
    class TTwoReads : public TTestPage {
    public:
        TTwoReads()
        {
            AddRead<Intp::TSessionWarningSyslogGet>(rwAll);
            AddRead<Intp::TSessionWarningEventGet>(rwCurrent);
        }
    } two;
    two.SetHost(&env.host);
    env.host.selection = {a, b};
    EXPECT_EQ(two.Refresh(true), 2);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccBasicsSettingsGet).size(), 2u);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccWarningEventGet).size(), 2u);
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccWarningSyslogGet).empty());

    env.protocol.sent.clear();
    EXPECT_EQ(two.Refresh(false), 2);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccWarningSyslogGet).size(), 2u);
    EXPECT_TRUE(env.protocol.SentWith(Intp::ccWarningEventGet).empty());
}

TEST_F(ModulePageTest, AChainReadsTheNextRecordForThatDeviceAloneWhenItsFirstIsValid)
{
    TTestPage chained;
    chained.SetHost(&env.host);
    env.page = &chained;
    chained.AddRefillCode(Intp::ccWarningEventGet);
    chained.AddChain<Intp::TSessionWarningSyslogGet, Intp::TSessionWarningEventGet>();
    env.host.selection = {a, b};

    // A valid first record: the chain goes on, no refill yet.
    ASSERT_TRUE(Intp::StartNew<Intp::TSessionWarningSyslogGet>(b));
    env.protocol.Reply(Intp::ccWarningSyslogGet, b, {1, 10, 0, 0, 1});
    EXPECT_EQ(chained.fills, 0);
    auto next = env.protocol.SentWith(Intp::ccWarningEventGet);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].mac, b->GetMac());

    // A rejected first record of the current device refills like an own read.
    ASSERT_TRUE(Intp::StartNew<Intp::TSessionWarningSyslogGet>(a));
    env.protocol.Reply(Intp::ccWarningSyslogGet, a, std::vector<uint8_t>(5, 0), 0x0105);
    EXPECT_EQ(chained.fills, 1);
    EXPECT_EQ(env.protocol.SentWith(Intp::ccWarningEventGet).size(), 1u);

    // ... but not for another device.
    ASSERT_TRUE(Intp::StartNew<Intp::TSessionWarningSyslogGet>(b));
    env.protocol.Reply(Intp::ccWarningSyslogGet, b, std::vector<uint8_t>(5, 0), 0x0105);
    EXPECT_EQ(chained.fills, 1);

    // The last link refills for the current device only.
    env.protocol.Reply(Intp::ccWarningEventGet, b, std::vector<uint8_t>(24, 0));
    EXPECT_EQ(chained.fills, 1);
    env.page = &page;
}

TEST_F(ModulePageTest, AnyDeviceCodesRefillForEverySelectedDevice)
{
    page.AddRefillCode(ncDeviceIpChanged, true);
    env.host.selection = {a, b};
    page.OnNotify(b, ncDeviceIpChanged, 0);
    EXPECT_EQ(page.fills, 1);
}

TEST_F(ModulePageTest, AMessageDuringARefillWaitsUntilTheRefillIsOver)
{
    class TWarningPage : public TTestPage {
    protected:
        void Fill(Intp::TDevice* device) override
        {
            TTestPage::Fill(device);
            ShowMessage("Retrieve device info failed!");
            shownDuringFill = !messages->isEmpty();
        }

    public:
        QStringList* messages = nullptr;
        bool shownDuringFill = true;
    } warning;
    warning.messages = &env.messages;
    warning.SetHost(&env.host);
    warning.OnNotify(nullptr, ncSelectionChanged, 0);
    EXPECT_FALSE(warning.shownDuringFill);
    EXPECT_TRUE(env.messages.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages, QStringList{"Retrieve device info failed!"});
}

TEST_F(ModulePageTest, LiveValidationKeepsTheButtonDisabledWithoutAMessage)
{
    class TLivePage : public TModulePage {
    public:
        TLivePage() : TModulePage("Live")
        {
            m_Server = new TIpEdit(this);
            m_Apply = new QPushButton(this);
            AddInputs({m_Server});
            WatchChanges({m_Server});
        }
        TIpEdit* m_Server;
        QPushButton* m_Apply;

    protected:
        void Fill(Intp::TDevice*) override { UpdateActions(); }
        void UpdateActions() override { m_Apply->setEnabled(m_Server->IsHost()); }
    } live;
    live.SetHost(&env.host);
    live.OnNotify(nullptr, ncSelectionChanged, 0);
    EXPECT_FALSE(live.m_Apply->isEnabled());
    live.m_Server->setText("10.1.1.1");
    EXPECT_TRUE(live.m_Apply->isEnabled());
    live.m_Server->setText("127.0.0.1");
    EXPECT_FALSE(live.m_Apply->isEnabled());
    live.m_Server->setText("10.1.1");
    EXPECT_FALSE(live.m_Apply->isEnabled());  // only a dotted quad is an address
    EXPECT_TRUE(env.messages.isEmpty());
}

TEST_F(ModulePageTest, AMaskPageListsTheFirst32PortsAndSaysSoOncePerSwitch)
{
    class TMaskPage : public TModulePage {
    public:
        TMaskPage() : TModulePage("Mask") {}
        int rows = 0;

    protected:
        void Fill(Intp::TDevice* device) override { rows = MaskPorts(device).RowCount(); }
    } mask;
    mask.SetHost(&env.host);
    Intp::InitDeviceTypes();
    Intp::TDeviceType big;
    big.Name = "Forty-eight";
    big.PortNum = 48;
    int model = Intp::RegisterDeviceType(&big);
    ASSERT_GT(model, 0);
    a->SetType(uint32_t(model));
    env.host.selection = {a};
    mask.OnNotify(a, ncSelectionChanged, 0);
    mask.OnNotify(a, ncSelectionChanged, 0);
    EXPECT_EQ(mask.rows, 32);
    QCoreApplication::processEvents();
    EXPECT_EQ(env.messages, QStringList{"This switch has 48 ports; this page shows and sets the first 32 only."});
    Intp::ResetDeviceTypes();
}

TEST_F(ModulePageTest, AReadThatFailsShowsTheFieldsAsNotAvailableWithApplyOff)
{
    env.host.selection = {a};
    page.Refresh(true);
    env.protocol.Reply(Intp::ccBasicsSettingsGet, a, SettingsReply("Rack 7"));
    EXPECT_TRUE(page.m_Apply->isEnabled());
    EXPECT_EQ(page.StatusLine()->text(), "");

    // The switch stops answering: no stale or default values, nothing to send.
    page.Refresh(true);
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccBasicsSettingsGet));
    EXPECT_EQ(page.m_Location->text(), "");
    EXPECT_EQ(page.m_Location->placeholderText(), "not available");
    EXPECT_FALSE(page.m_Apply->isEnabled());
    EXPECT_EQ(page.StatusLine()->text(), "Not available: the switch did not answer.");

    // Refused (logged out), then answered again.
    page.Refresh(true);
    env.protocol.Reply(Intp::ccBasicsSettingsGet, a, SettingsReply(""), Intp::ssNotLoggedIn);
    EXPECT_EQ(page.StatusLine()->text(), "Not available: the switch refused: not logged in.");
    page.Refresh(true);
    env.protocol.Reply(Intp::ccBasicsSettingsGet, a, SettingsReply("Rack 8"));
    EXPECT_EQ(page.m_Location->text(), "Rack 8");
    EXPECT_EQ(page.m_Location->placeholderText(), "");
    EXPECT_TRUE(page.m_Apply->isEnabled());
    EXPECT_EQ(page.StatusLine()->text(), "");
}

TEST_F(ModulePageTest, ChangesTheSwitchesRefuseAreToldOncePerApplyNamingEach)
{
    env.host.selection = {a, b, c};
    Read({a, b, c});
    page.OnNotify(a, ncSelectionChanged, 0);
    page.m_Location->setText("Lab");
    page.Apply();
    ASSERT_TRUE(RunUntil([&] { return !page.StatusLine()->text().isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_EQ(page.StatusLine()->text(), "Waiting for 3 switches to answer...");

    env.protocol.Reply(Intp::ccBasicsSettingsSet, a);
    env.protocol.Reply(Intp::ccBasicsSettingsSet, b, {0, 0, 0, 0}, 5);
    QCoreApplication::processEvents();
    EXPECT_TRUE(env.messages.isEmpty()); // c has not answered yet
    EXPECT_EQ(page.StatusLine()->text(), "Waiting for 1 switch to answer...");
    ASSERT_TRUE(env.protocol.TimeOut(c, Intp::ccBasicsSettingsSet));
    ASSERT_TRUE(RunUntil([&] { return !env.messages.isEmpty(); }, std::chrono::seconds(5)));
    EXPECT_EQ(env.messages, QStringList{"The change was not made on every switch:\n\n"
                                        "10.0.0.2 (00:11:22:33:44:02): the switch refused (code 5)\n"
                                        "10.0.0.3 (00:11:22:33:44:03): the switch did not answer"});
    EXPECT_EQ(page.StatusLine()->text(), "Changed on 1 of 3 switches.");

    // All taken: said on the page, no message.
    page.Apply();
    QCoreApplication::processEvents();
    for (Intp::TDevice* device : {a, b, c})
        env.protocol.Reply(Intp::ccBasicsSettingsSet, device);
    EXPECT_EQ(page.StatusLine()->text(), "Changed on 3 switches.");
    EXPECT_EQ(env.messages.size(), 1);

    // One switch that does not answer: the wait is said, through refills,
    // until it times out.
    env.host.selection = {a};
    page.Apply();
    ASSERT_TRUE(RunUntil([&] { return page.StatusLine()->text() == "Waiting for 1 switch to answer..."; },
                         std::chrono::seconds(5)));
    page.OnNotify(a, ncSelectionChanged, 0);
    EXPECT_EQ(page.StatusLine()->text(), "Waiting for 1 switch to answer...");
    ASSERT_TRUE(env.protocol.TimeOut(a, Intp::ccBasicsSettingsSet));
    EXPECT_EQ(page.StatusLine()->text(), "Not changed on 1 switch.");
}

TEST_F(ModulePageTest, ARefillDiscardsUnsentEditsWithoutAsking)
{
    auto select = [&](TDeviceList devices, const char* location) {
        env.host.selection = devices;
        page.Refresh(true);
        env.protocol.Reply(Intp::ccBasicsSettingsGet, devices.front(), SettingsReply(location));
    };
    select({a}, "Rack 7");
    QTest::keyClicks(page.m_Location, "b");
    select({a, b}, "Rack 7"); // a second target: refilled from the switch
    EXPECT_EQ(page.m_Location->text(), "Rack 7");
    QTest::keyClicks(page.m_Location, "c");
    select({b}, "Hall 2"); // another switch on show
    EXPECT_EQ(page.m_Location->text(), "Hall 2");
    QTest::keyClicks(page.m_Location, "d");
    env.protocol.Reply(Intp::ccBasicsSettingsGet, b, SettingsReply("Hall 3")); // a read of its own
    EXPECT_EQ(page.m_Location->text(), "Hall 3");
    EXPECT_TRUE(env.messages.isEmpty());
    EXPECT_EQ(page.StatusLine()->text(), "");
}

}  // namespace
