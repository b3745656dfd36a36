// The model banners: lamps and sockets drawn from the status monitor and the
// ping record, the syslog summary, the redundancy display and the 775 reads.
#include "PageTestKit.h"

#include "console/StatusMonitor.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Operations.h"
#include "intp/Redundancy.h"
#include "pages/system/Banner.h"
#include "pages/kit/SyslogServer.h"
#include "syslog/SyslogForm.h"
#include "syslog/core/SyslogStore.h"

#include <QApplication>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

class TFakeStatusServer : public Status::TStatusServer {
public:
    std::map<const Intp::TDevice*, uint32_t> words;
    void AddDevices(const TDeviceList&) override {}
    void AddDevice(Intp::TDevice*) override {}
    uint32_t GetDeviceStatus(const Intp::TDevice* device) override
    {
        auto found = words.find(device);
        return found == words.end() ? 0 : found->second;
    }
};

// The real store behind the server interface.
class TStoreServer : public Syslog::TSyslogServer {
public:
    Syslog::TSyslogStore store;
    Syslog::TDateTime now = 1'700'000'000'000;
    void Clear() override { store.Clear(); }
    bool Parse(const char*, Syslog::TSyslogListNode&) override { return false; }
    void AddMessage(uint32_t address, const char* text) override { store.Add(address, text, now += 1000); }
    int Count(uint32_t address) override { return store.Count(address); }
    Syslog::TSenderSummary Summary(uint32_t address) override { return store.Summary(address); }
    const char* GetFacilityName(int facility) override { return Syslog::FacilityName(facility); }
    const char* GetSeverityName(int severity) override { return Syslog::SeverityName(severity); }
    void Query(uint32_t address, Syslog::TSyslogList* list, bool markRead) override
    {
        if (list)
            store.Query(address, *list, markRead);
    }
    bool SaveToFile(const Syslog::TSyslogList*, const std::string&) override { return false; }
    // As the events page does: the real message dialog.
    void ShowSender(std::uint32_t address, QWidget* owner) override { TSyslogForm::ShowSender(this, address, 0, owner); }
};

class TBannerHost : public TFakePageHost {
public:
    Status::TStatusServer* status = nullptr;
    Syslog::TSyslogServer* syslog = nullptr;
    Status::TStatusServer* GetStatusServer() override { return status; }
    Syslog::TSyslogServer* GetSyslogServer() override { return syslog; }
};

// A redundancy reply in hardware mode, as the switch sends it.
std::vector<uint8_t> RedundancyReply(uint32_t mode)
{
    Intp::TPropertyRedundancy record;
    record.enabled = true;
    record.mode = mode;
    return ReplyBytes(record);
}

const char* KindName(TBannerKind kind)
{
    static const char* const names[] = {"general", "larch", "cedar", "maple", "birch", "10port"};
    return names[kind];
}

class BannerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Intp::ResetDeviceTypes();
        Intp::InitDeviceTypes();
        host.status = &status;
        host.syslog = &syslog;
    }
    void TearDown() override
    {
        env.page = nullptr;
        banner.reset();
        Intp::DeleteAllSessions();
        Intp::DeleteAllDevices();
        Intp::ResetDeviceTypes();
    }

    uint32_t Model(uint32_t ports)
    {
        Intp::TDeviceType type;
        type.Name = "Model " + std::to_string(ports);
        type.PortNum = ports;
        return uint32_t(Intp::RegisterDeviceType(&type));
    }

    // A switch of a model with that many ports, selected as the current device.
    Intp::TDevice* Select(uint32_t ports, uint8_t last = 5, uint32_t ip = Ip(10, 0, 0, 5))
    {
        Intp::TDevice* device = env.AddDevice(last, ip);
        device->SetType(Model(ports));
        host.selection = {device};
        return device;
    }

    void Ping(Intp::TDevice* device, uint32_t links, uint32_t power = 0, uint32_t failed = 0)
    {
        auto& ping = Intp::Property<Intp::TPropertyIntpPing2>::Get(device);
        ping.valid = true;
        ping.portState = links;
        ping.powerAlarm = power;
        ping.portFailed = failed;
    }

    TModuleBanner& Make(TBannerKind kind)
    {
        banner.reset(static_cast<TModuleBanner*>(CreateBanner(BannerVariant(kind).bannerNumber)));
        banner->SetHost(&host);
        banner->SetWebOpener([this](const QUrl& url) {
            urls.append(url.toString());
            return browser;
        });
        banner->SetLogOpener([this](Syslog::TSyslogServer* server, uint32_t address) {
            opened.push_back(address);
            Syslog::TSyslogList list;
            server->Query(address, &list, true);
        });
        env.page = banner.get();
        return *banner;
    }

    void SelectionChanged()
    {
        Intp::TDevice* device = host.selection.empty() ? nullptr : host.selection.front();
        banner->OnNotify(device, ncSelectionChanged, 0);
    }

    // Colour of the picture's socket of port i, read from the rendered banner.
    QColor SocketOnScreen(const QImage& shot, int port) const
    {
        TFrontPanelView* view = banner->m_LinkImage;
        QPoint at = view->mapTo(banner.get(), view->PictureOrigin() + view->FillPoint(port));
        return shot.pixelColor(at);
    }
    QColor LampOnScreen(const QImage& shot, TStatusLamp* lamp) const
    {
        return shot.pixelColor(lamp->mapTo(banner.get(), QPoint(8, 8)));
    }
    QImage Shot() const
    {
        QCoreApplication::sendPostedEvents();  // pending layout requests, as the event loop would
        return banner->grab().toImage();
    }

    TPageTestEnvironment env;
    TBannerHost host;
    TFakeStatusServer status;
    TStoreServer syslog;
    std::unique_ptr<TModuleBanner> banner;
    QStringList urls;
    std::vector<uint32_t> opened;
    bool browser = true;
};

TEST(BannerFloodFill, RepaintsTheWholeShapeWhateverItsColourAndStopsAtTheCornerColour)
{
    QImage image(10, 6, QImage::Format_RGB32);
    image.fill(PanelBackground);
    for (int x = 2; x <= 6; ++x)
        for (int y = 1; y <= 4; ++y)
            image.setPixel(x, y, qRgb(0, 0, 0));
    image.setPixel(4, 2, PanelBackground);  // an island inside the shape
    image.setPixel(8, 3, qRgb(0, 0, 0));     // a separate shape
    FloodFillFromCorner(image, QPoint(2, 1), Qt::green);
    FloodFillFromCorner(image, QPoint(6, 4), Qt::green);  // already that colour: ends
    EXPECT_EQ(image.pixelColor(6, 4), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(2, 1), QColor(Qt::green));
    EXPECT_EQ(image.pixel(4, 2), PanelBackground);
    EXPECT_EQ(image.pixel(8, 3), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), PanelBackground);

    QImage before = image;
    FloodFillFromCorner(image, QPoint(10, 3), Qt::red);  // outside
    FloodFillFromCorner(image, QPoint(-1, 0), Qt::red);
    FloodFillFromCorner(image, QPoint(0, 5), Qt::red);   // on the corner colour
    EXPECT_EQ(image, before);
}

TEST(BannerFactory, MapsBannerNumbersToFamilies)
{
    for (int number = 0; number < 6; ++number) {
        std::unique_ptr<TModule> page(CreateBanner(number));
        EXPECT_EQ(static_cast<TModuleBanner*>(page.get())->Variant().bannerNumber, number);
    }
    // Unknown numbers fall back to the general banner.
    EXPECT_NE(dynamic_cast<TModuleBannerGeneral*>(std::unique_ptr<TModule>(CreateBanner(7)).get()), nullptr);
    EXPECT_STREQ(BannerClassName(-1), "TModuleBannerGeneral");
}

TEST_F(BannerTest, LarchShowsLinksOfAFourPortModelAndASilverSpareSocket)
{
    Intp::TDevice* device = Select(4);
    Ping(device, 0x5);
    Make(bkLarch);
    SelectionChanged();
    QImage shot = Shot();
    for (int port = 0; port < 5; ++port)
        EXPECT_EQ(SocketOnScreen(shot, port), PortColour(port == 4 ? psUnknown : port % 2 ? psLinkDown : psLinkUp));
    EXPECT_EQ(banner->m_IpAddr->text(), "10.0.0.5");
    EXPECT_EQ(banner->m_MacAddr->text(), "00:11:22:33:44:05");
}

TEST_F(BannerTest, CedarCountsPortsDownEachColumn)
{
    Intp::TDevice* device = Select(8);
    Ping(device, 0x5);  // ports 1 and 3
    Make(bkCedar);
    SelectionChanged();
    QImage shot = Shot();
    for (int port = 0; port < 8; ++port)
        EXPECT_EQ(SocketOnScreen(shot, port), PortColour(port == 0 || port == 2 ? psLinkUp : psLinkDown)) << port;
}

TEST_F(BannerTest, BirchDrawsSixSocketsAndTheSparePositionsPaintNothing)
{
    Intp::TDevice* device = Select(6);
    Ping(device, 0xFF);
    Make(bkBirch);
    SelectionChanged();
    const QImage& picture = banner->m_LinkImage->Picture();
    int green = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            QRgb pixel = picture.pixel(x, y);
            ASSERT_TRUE(pixel == PanelBackground || pixel == qRgb(0, 255, 0)) << x << "," << y;
            green += pixel != PanelBackground;
        }
    }
    EXPECT_GT(green, 6 * 400);
    EXPECT_FALSE(picture.rect().contains(banner->m_LinkImage->FillPoint(6)));
    EXPECT_FALSE(picture.rect().contains(banner->m_LinkImage->FillPoint(7)));
}

TEST_F(BannerTest, TenPortBannerUsesBothUprightRowsAndIgnoresPortsBeyondItsSockets)
{
    Intp::TDevice* device = Select(40);
    Ping(device, 0xFFFFFFFFu);
    Make(bk10port);
    SelectionChanged();
    QImage shot = Shot();
    for (int port = 0; port < 10; ++port)
        EXPECT_EQ(SocketOnScreen(shot, port), PortColour(psLinkUp)) << port;
}

TEST_F(BannerTest, OfflineWordTurnsOnlyTheOnlineLampRedAndTheFaultLampFollowsThePing)
{
    Intp::TDevice* device = Select(5);
    status.words[device] = Status::sbNoReply;
    Make(bkLarch);
    SelectionChanged();
    QImage shot = Shot();
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusOnline), LampColour(lsError));
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusQuery), LampColour(lsGood));
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusIp), LampColour(lsGood));
    // Never pinged: fault lamp and sockets silver.
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusFault), LampColour(lsUnknown));
    EXPECT_EQ(SocketOnScreen(shot, 0), PortColour(psUnknown));

    Ping(device, 0x1, 0, 0x10);
    banner->EventOnTimerTimer();
    shot = Shot();
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusFault), LampColour(lsError));
    EXPECT_EQ(SocketOnScreen(shot, 0), PortColour(psLinkUp));

    status.words[device] = Status::sbError | Status::sbIpChanged;
    Ping(device, 0x1);
    banner->EventOnTimerTimer();
    shot = Shot();
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusOnline), LampColour(lsGood));
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusQuery), LampColour(lsError));
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusIp), LampColour(lsError));
    EXPECT_EQ(LampOnScreen(shot, banner->m_StatusFault), LampColour(lsGood));
}

TEST_F(BannerTest, WithoutADeviceEverythingIsSilverAndNotAvailable)
{
    Make(bkMaple);
    SelectionChanged();
    EXPECT_TRUE(banner->isVisible());
    EXPECT_EQ(banner->m_IpAddr->text(), "(Not Available)");
    EXPECT_EQ(banner->m_MacAddr->text(), "");
    EXPECT_FALSE(banner->m_Timer->isActive());
    QImage shot = Shot();
    for (TStatusLamp* lamp : {banner->m_StatusOnline, banner->m_StatusQuery, banner->m_StatusIp, banner->m_StatusFault})
        EXPECT_EQ(LampOnScreen(shot, lamp), LampColour(lsUnknown));
    for (int port = 0; port < 4; ++port)
        EXPECT_EQ(SocketOnScreen(shot, port), PortColour(psUnknown));
    EXPECT_TRUE(env.protocol.sent.empty());
}

TEST_F(BannerTest, GeneralBannerHasLampsOnlyAndSendsNothing)
{
    Intp::TDevice* device = Select(16);
    status.words[device] = Status::sbAlarm;
    Ping(device, 0x3, 1);
    Make(bkGeneral);
    SelectionChanged();
    EXPECT_EQ(banner->m_LinkImage, nullptr);
    EXPECT_EQ(banner->m_Redundancy, nullptr);
    EXPECT_EQ(banner->m_StatusFault->State(), lsError);
    EXPECT_EQ(banner->m_StatusOnline->State(), lsGood);
    banner->EventOnTimerTimer();
    EXPECT_TRUE(env.protocol.sent.empty());
    banner->OnNotify(device, Intp::ccRedundancyGet, 0);  // has no redundancy box: must not crash
}

TEST_F(BannerTest, SyslogSummaryCountsUnreadAndFallsToZeroAfterOpening)
{
    Intp::TDevice* device = Select(5);
    for (const char* text : {"<13>one", "<13>two", "<13>three"})
        syslog.AddMessage(device->GetIp(), text);
    syslog.AddMessage(Ip(10, 0, 0, 99), "<13>someone else");
    Make(bkLarch);
    SelectionChanged();
    EXPECT_EQ(banner->m_LogNum->text(), "3");
    EXPECT_EQ(banner->m_LogUnread->text(), "3");
    EXPECT_TRUE(banner->m_OpenLog->isEnabled());
    QDateTime last = QDateTime::fromMSecsSinceEpoch(syslog.now - 1000);
    EXPECT_EQ(banner->m_LogLTime->text(), last.toString("hh:mm:ss"));
    EXPECT_EQ(banner->m_LogLDate->text(), QLocale().toString(last.date(), QLocale::ShortFormat));

    banner->m_OpenLog->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], device->GetIp());
    banner->EventOnTimerTimer();
    EXPECT_EQ(banner->m_LogNum->text(), "3");
    EXPECT_EQ(banner->m_LogUnread->text(), "0");

    syslog.AddMessage(device->GetIp(), "<13>four");
    banner->EventOnTimerTimer();
    EXPECT_EQ(banner->m_LogNum->text(), "4");
    EXPECT_EQ(banner->m_LogUnread->text(), "1");
}

TEST_F(BannerTest, NoOwnMessagesGiveZerosEmptyTimeAndADisabledButtonAlsoWithoutAnAddress)
{
    syslog.AddMessage(Ip(10, 0, 0, 99), "<13>someone else");
    for (uint32_t address : {Ip(10, 0, 0, 5), 0u}) {
        Select(5, address ? 5 : 6, address);
        Make(bkCedar);
        SelectionChanged();
        EXPECT_EQ(banner->m_LogNum->text(), "0") << address;
        EXPECT_EQ(banner->m_LogUnread->text(), "0");
        EXPECT_EQ(banner->m_LogLDate->text(), "");
        EXPECT_EQ(banner->m_LogLTime->text(), "");
        EXPECT_FALSE(banner->m_OpenLog->isEnabled());
        banner->m_OpenLog->click();
        EXPECT_TRUE(opened.empty());
    }
}

TEST_F(BannerTest, CaptionsCarryTheirMnemonicsAndTheLogDialogHasNoOwner)
{
    Intp::TDevice* device = Select(5);
    syslog.AddMessage(device->GetIp(), "<13>one");
    // The real message dialog, not the test's recorder.
    banner.reset(static_cast<TModuleBanner*>(CreateBanner(BannerVariant(bkMaple).bannerNumber)));
    banner->SetHost(&host);
    env.page = banner.get();
    SelectionChanged();

    QStringList buddied;
    for (QLabel* label : banner->m_Syslog->findChildren<QLabel*>()) {
        if (label->buddy() == banner->m_OpenLog)
            buddied << label->text();
    }
    EXPECT_EQ(buddied, (QStringList{"&Num:", "&Unread:", "&Last:"}));
    EXPECT_EQ(banner->m_Hardware->text(), "&Hardware Mode");
    EXPECT_EQ(banner->m_FRecovery->text(), "&Fast Recovery");
    EXPECT_EQ(banner->m_RSTP->text(), "&RSTP");

    bool shown = false;
    QWidget* owner = banner.get();
    QString title;
    // Looks at the modal dialog once it runs and closes it.
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        for (QWidget* modal : QApplication::topLevelWidgets()) {
            if (modal->isVisible() && modal->isModal()) {
                shown = qobject_cast<TSyslogForm*>(modal) != nullptr;
                owner = modal->parentWidget();
                title = modal->windowTitle();
                modal->close();
            }
        }
    });
    probe.start(10);
    banner->m_OpenLog->click();
    probe.stop();
    ASSERT_TRUE(shown);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(title, "10.0.0.5");
    EXPECT_EQ(banner->m_LogUnread->text(), "0");
}

TEST_F(BannerTest, IconOpensTheSwitchWebPage)
{
    Select(5, 5, Ip(192, 0, 2, 17));
    Make(bk10port);
    SelectionChanged();
    banner->m_Icon->click();
    EXPECT_EQ(urls, QStringList{"http://192.0.2.17"});
    EXPECT_TRUE(env.messages.isEmpty());
    // Without a browser the user is told.
    browser = false;
    banner->m_Icon->click();
    EXPECT_EQ(env.messages, QStringList{WebPageFailedMessage(QUrl("http://192.0.2.17"))});
    host.selection.clear();
    banner->EventOnIconClick();
    EXPECT_EQ(urls.size(), 2);
}

TEST_F(BannerTest, RedundancyRadioFollowsTheReplyAndModeThreeHasNoRadioOnTwoRowBanners)
{
    for (TBannerKind kind : {bkCedar, bkBirch, bk10port, bkLarch}) {
        Intp::TDevice* device = Select(8, uint8_t(10 + kind));
        Make(kind);
        SelectionChanged();
        env.protocol.Reply(Intp::ccRedundancyGet, device, RedundancyReply(Intp::rmRstp));
        EXPECT_TRUE(banner->m_RSTP->isChecked()) << KindName(kind);
        banner->EventOnTimerTimer();
        env.protocol.Reply(Intp::ccRedundancyGet, device, RedundancyReply(Intp::rmFastRecovery));
        if (kind == bkLarch) {
            EXPECT_TRUE(banner->m_FRecovery->isChecked());
        } else {
            EXPECT_EQ(banner->m_FRecovery, nullptr);
            EXPECT_FALSE(banner->m_RSTP->isChecked()) << KindName(kind);
            EXPECT_FALSE(banner->m_QuollRing->isChecked()) << KindName(kind);
        }
        EXPECT_EQ(banner->m_QuollRing->text(), "Swale Ring");
        EXPECT_FALSE(banner->m_Redundancy->isEnabled());
    }
}

TEST_F(BannerTest, MapleShowsHardwareModeAndAnErrorReplyUnchecksEverything)
{
    Intp::TDevice* device = Select(4);
    Make(bkMaple);
    SelectionChanged();
    env.protocol.Reply(Intp::ccRedundancyGet, device, RedundancyReply(Intp::rmRing));
    EXPECT_TRUE(banner->m_Hardware->isChecked());
    EXPECT_TRUE(banner->m_QuollRing->isChecked());
    banner->EventOnTimerTimer();
    env.protocol.Reply(Intp::ccRedundancyGet, device, RedundancyReply(Intp::rmRing), 0x0010);
    EXPECT_FALSE(banner->m_Hardware->isChecked());
    EXPECT_FALSE(banner->m_QuollRing->isChecked());
    EXPECT_FALSE(banner->m_RSTP->isChecked());
    EXPECT_FALSE(banner->m_FRecovery->isChecked());
}

TEST_F(BannerTest, RedundancyOfAnotherSwitchIsNotShown)
{
    Intp::TDevice* shown = Select(5);
    Intp::TDevice* other = env.AddDevice(9, Ip(10, 0, 0, 9));
    Make(bkLarch);
    SelectionChanged();
    auto& record = Intp::Property<Intp::TPropertyRedundancy>::Get(other);
    record.valid = true;
    record.mode = Intp::rmRstp;
    banner->OnNotify(other, Intp::ccRedundancyGet, 0);
    EXPECT_FALSE(banner->m_RSTP->isChecked());
    banner->OnNotify(shown, Intp::ccRedundancyGet, 0);
    EXPECT_FALSE(banner->m_RSTP->isChecked());
}

TEST_F(BannerTest, RefreshSendsOnlyTheRedundancyReadEveryFiveSecondsUntilLeft)
{
    Intp::TDevice* device = Select(5);
    Make(bkLarch);
    EXPECT_EQ(banner->Refresh(false), 0);
    EXPECT_TRUE(env.protocol.sent.empty());
    SelectionChanged();
    ASSERT_EQ(env.protocol.sent.size(), 1u);
    EXPECT_EQ(env.protocol.sent[0].code, Intp::ccRedundancyGet);
    EXPECT_EQ(env.protocol.sent[0].ip, device->GetIp());
    EXPECT_EQ(env.protocol.sent[0].payload, std::vector<uint8_t>(4, 0));
    EXPECT_TRUE(banner->m_Timer->isActive());
    EXPECT_EQ(banner->m_Timer->interval(), 5000);

    banner->EventOnTimerTimer();
    banner->EventOnTimerTimer();
    ASSERT_EQ(env.protocol.sent.size(), 3u);
    for (const IntpTest::TSent& frame : env.protocol.sent)
        EXPECT_EQ(frame.code, Intp::ccRedundancyGet);

    EXPECT_TRUE(banner->Leave(true));
    EXPECT_FALSE(banner->m_Timer->isActive());
    EXPECT_FALSE(banner->isVisible());
    EXPECT_EQ(env.protocol.sent.size(), 3u);
}

TEST_F(BannerTest, TheTimerReallyTicksAndStopsWhenTheSelectionEmpties)
{
    Select(5);
    Make(bkBirch);
    SelectionChanged();
    banner->m_Timer->setInterval(10);  // the real interval, shortened
    size_t before = env.protocol.sent.size();
    QSignalSpy ticks(banner->m_Timer, &QTimer::timeout);
    ASSERT_TRUE(ticks.wait(5000));
    EXPECT_GT(env.protocol.sent.size(), before);

    host.selection.clear();
    banner->OnNotify(nullptr, ncDeviceRemoved, 0);
    EXPECT_FALSE(banner->m_Timer->isActive());
    EXPECT_EQ(banner->m_IpAddr->text(), "(Not Available)");
}

TEST_F(BannerTest, RendersEveryBannerAsAPicture)
{
    const QString dir = QStringLiteral(BANNER_ARTIFACT_DIR);
    QDir().mkpath(dir);
    const uint32_t ports[bkCount] = {16, 5, 8, 4, 6, 10};
    for (int kind = 0; kind < bkCount; ++kind) {
        Intp::TDevice* device = Select(ports[kind], uint8_t(20 + kind), Ip(10, 0, 1, 20 + kind));
        Ping(device, 0x2D, 0, kind == bkCedar ? 0x4u : 0u);
        status.words[device] = kind == bkMaple ? uint32_t(Status::sbIpChanged) : 0u;
        syslog.AddMessage(device->GetIp(), "<13>link up");
        auto& redundancy = Intp::Property<Intp::TPropertyRedundancy>::Get(device);
        redundancy.valid = true;
        redundancy.enabled = true;
        redundancy.mode = Intp::rmRing;
        Make(TBannerKind(kind));
        SelectionChanged();
        QCoreApplication::sendPostedEvents();
        banner->resize(banner->sizeHint().expandedTo(banner->minimumSize()));
        QImage shot = Shot();
        EXPECT_GE(shot.width(), BannerVariant(TBannerKind(kind)).frame.width());
        EXPECT_TRUE(shot.save(dir + "/banner_" + KindName(TBannerKind(kind)) + ".png"));
        if (banner->m_LinkImage) {
            EXPECT_EQ(SocketOnScreen(shot, 0), PortColour(psLinkUp));
            EXPECT_EQ(SocketOnScreen(shot, 1), PortColour(psLinkDown));
        }
    }
}

}  // namespace
