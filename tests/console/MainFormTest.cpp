#include "FakePages.h"
#include "LoopbackForm.h"

#include "console/ConfigActions.h"
#include "console/ConfigFile.h"
#include "console/DeviceTypesFile.h"
#include "console/FilterForm.h"
#include "console/GroupFirmwareWizard.h"
#include "console/Icons.h"
#include "console/TreeNode.h"
#include "pages/kit/FilterServer.h"
#include "console/IntpSock.h"
#include "console/IntpReceiveQueue.h"
#include "console/MainForm.h"
#include "pages/system/Banner.h"
#include "pages/system/Modulebasics_restore.h"
#include "pages/kit/MessageBox.h"
#include "console/ModuleFrame.h"
#include "console/ProtocolHost.h"
#include "console/ScanDialog.h"
#include "intp/SystemSettings.h"
#include "intp/Operations.h"
#include "intp/Maintenance.h"
#include "pages/kit/UntypedReportList.h"
#include "tests/common/FakeHost.h"
#include "intp/Session.h"
#include "syslog/SyslogSocketThread.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace {

struct TSent {
    std::uint32_t ip;
    std::uint16_t code;
    std::vector<std::uint8_t> payload;
};

class MainForm : public TLoopbackFormTest {
protected:
    void SetUp() override
    {
        RegisterTestModels(7);
        g_LayoutThreshold = 5;
        g_ModuleLayout = 0;
        ASSERT_NO_FATAL_FAILURE(OpenForm(&m_Filter));
        m_Form->Host()->SetSendHook([this](std::uint32_t ip, const std::uint8_t* data, std::size_t size) {
            ASSERT_GE(size, 12u);
            m_Sent.push_back({ip, std::uint16_t(data[0] << 8 | data[1]),
                              std::vector<std::uint8_t>(data + 12, data + size)});
        });
        m_OldHook = SetMessageBoxHook([this](const TMessageBoxRequest& request) {
            m_Boxes.push_back(request.text.toStdString());
            return m_BoxAnswer;
        });
        auto page = std::make_unique<TRecordingPage>("Recorder");
        m_Page = page.get();
        m_PageNode = m_Form->AddOwnedPageNode(std::move(page), m_Form->RootNode(), 6);
    }
    void TearDown() override
    {
        TLoopbackFormTest::TearDown();
        SetMessageBoxHook(m_OldHook);
    }

    void ShowRecorder() { ASSERT_TRUE(m_Form->SelectNode(m_PageNode)); }

    QTreeWidgetItem* Group(int i) { return m_Form->DevicesNode()->child(i); }
    QStringList GroupTexts()
    {
        QStringList texts;
        for (int i = 0; i < m_Form->DevicesNode()->childCount(); ++i)
            texts << Group(i)->text(0);
        return texts;
    }
    int Sent(std::uint16_t code) const
    {
        int n = 0;
        for (const TSent& s : m_Sent)
            n += s.code == code;
        return n;
    }

    // The restore page of the selected switches, on show.
    TModuleBasicsRestore* ShowRestore()
    {
        QTreeWidget* pages = m_Form->ModuleFrame()->ModuleTree();
        const QList<QTreeWidgetItem*> found = pages->findItems("Restore", Qt::MatchExactly | Qt::MatchRecursive);
        if (found.size() != 1)
            return nullptr;
        pages->setCurrentItem(found.front());
        return dynamic_cast<TModuleBasicsRestore*>(TModuleFrame::ModuleOf(found.front()));
    }
    // An image file of size bytes.
    QString Image(int size)
    {
        QFile image(m_Dir.filePath("image.bin"));
        EXPECT_TRUE(image.open(QIODevice::WriteOnly) && image.write(QByteArray(size, 'c')) == size);
        return image.fileName();
    }

    QTemporaryDir m_Dir;
    TFakeFilter m_Filter;
    std::vector<TSent> m_Sent;
    std::vector<std::string> m_Boxes;
    QMessageBox::StandardButton m_BoxAnswer = QMessageBox::Ok;
    TMessageBoxHook m_OldHook;
    TRecordingPage* m_Page = nullptr;
    QTreeWidgetItem* m_PageNode = nullptr;
};

}  // namespace

TEST_F(MainForm, DeviceGetsANodeOnlyOnceItsModelIsKnown)
{
    ShowRecorder();
    Intp::TDevice* d = MakeDevice(1, 0, 0x0A000001);
    EXPECT_EQ(m_Form->FindDeviceNode(d), nullptr);
    EXPECT_EQ(m_Form->DevicesNode()->text(0), "Devices");
    d->SetType(2);
    QTreeWidgetItem* node = m_Form->FindDeviceNode(d);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->text(0), " (10.0.0.1, 02:00:00:00:00:01)");
    EXPECT_EQ(m_Form->DevicesNode()->text(0), "Devices (1)");
    EXPECT_EQ(m_Page->Count(ncDeviceShown), 1);
    d->SetName("K\xFChlhaus"); // the switch's Latin-1 bytes
    EXPECT_EQ(node->text(0), QString::fromUtf8("Kühlhaus (10.0.0.1, 02:00:00:00:00:01)"));
    EXPECT_EQ(m_Page->Count(ncDeviceNameChanged), 1);
}

TEST_F(MainForm, FilterChangeRemovesTheNodeAtTheNextReport)
{
    ShowRecorder();
    m_Filter.refused = 0x0A000009;
    EXPECT_EQ(m_Form->FindDeviceNode(MakeDevice(9, 1, 0x0A000009)), nullptr);
    EXPECT_EQ(m_Form->DeviceCount(), 0);
    Intp::TDevice* d = MakeDevice(1, 1, 0x0A000001);
    ASSERT_NE(m_Form->FindDeviceNode(d), nullptr);
    m_Filter.refused = 0x0A000001;
    d->SetFlags(Intp::dfWarning);
    EXPECT_EQ(m_Form->FindDeviceNode(d), nullptr);
    ASSERT_EQ(m_Page->Count(ncDeviceRemoved), 1);
    EXPECT_EQ(m_Page->notifications.back().device, d);
    EXPECT_EQ(m_Form->DevicesNode()->text(0), "Devices (0)");
}

TEST_F(MainForm, IpGroupingSharesAGroupPerAddressAndSortsUnsigned)
{
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gIpAddress);
    Intp::TDevice* high = MakeDevice(1, 1, 0xC8000001);
    Intp::TDevice* a = MakeDevice(2, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(3, 2, 0x0A000001);
    EXPECT_EQ(GroupTexts(), (QStringList{"10.0.0.1", "200.0.0.1"}));
    ASSERT_EQ(Group(0)->childCount(), 2);
    // Devices keep their order of insertion within a group.
    EXPECT_EQ(Group(0)->child(0), m_Form->FindDeviceNode(a));
    EXPECT_EQ(Group(0)->child(1), m_Form->FindDeviceNode(b));
    // A new address moves the node and deletes the emptied group.
    high->SetIp(0x0A000005);
    EXPECT_EQ(GroupTexts(), (QStringList{"10.0.0.1", "10.0.0.5"}));
}

TEST_F(MainForm, ModelGroupingFollowsAChangeOfTheSortBox)
{
    MakeDevice(1, 3, 0x0A000001);
    MakeDevice(2, 1, 0x0A000002);
    MakeDevice(3, 3, 0x0A000003);
    EXPECT_EQ(GroupTexts(), (QStringList{"All Devices"}));
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gModel);
    EXPECT_EQ(GroupTexts(), (QStringList{"Model 1", "Model 3"}));
    EXPECT_EQ(Group(1)->childCount(), 2);
    EXPECT_EQ(m_Form->DeviceCount(), 3);
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gNone);
    EXPECT_EQ(GroupTexts(), (QStringList{"All Devices"}));
    EXPECT_EQ(Group(0)->childCount(), 3);
}

TEST_F(MainForm, AddingADeviceOpensDevicesWithEveryGroup)
{
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gModel);
    MakeDevice(1, 1, 0x0A000001);
    MakeDevice(2, 2, 0x0A000002);
    Group(0)->setExpanded(false);
    m_Form->DevicesNode()->setExpanded(false);
    MakeDevice(3, 2, 0x0A000003);
    EXPECT_TRUE(m_Form->DevicesNode()->isExpanded());
    EXPECT_TRUE(Group(0)->isExpanded());
    EXPECT_TRUE(Group(1)->isExpanded());
}

TEST_F(MainForm, FilterMethodGroupsUnicastSubnetsAndOthers)
{
    m_Filter.settings.Unicasts = {{0x0A000001, 0xFFFFFFFF}};
    m_Filter.settings.LocalSubnets = {{0xC0A8010A, 0xFFFFFF00}};
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gFilterMethod);
    MakeDevice(1, 1, 0xAC100001);
    MakeDevice(2, 1, 0xC0A80133);
    MakeDevice(3, 1, 0x0A000001);
    EXPECT_EQ(GroupTexts(), (QStringList{"Unicast Devices", "192.168.1.10/255.255.255.0", "Others"}));
}

TEST_F(MainForm, DevicesAreAnsweredOnlyWhileADeviceNodeIsSelected)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 2, 0x0A000002);
    ASSERT_TRUE(m_Form->SelectNode(Group(0)));
    EXPECT_EQ(m_Form->Tree()->selectionMode(), QAbstractItemView::SingleSelection);
    Intp::TDevice* current = a;
    EXPECT_EQ(m_Form->GetCurrentDevice(current), 0);
    EXPECT_EQ(current, nullptr);
    TDeviceList list;
    EXPECT_EQ(m_Form->GetTargetDevices(list), 0);
    EXPECT_FALSE(m_Form->IsSelectedDevice(a) || m_Form->IsCurrentDevice(a));
    EXPECT_FALSE(m_Form->IsAmongSelectedDevices(a) || m_Form->IsTargetDevice(a));

    // The first selected device is the current one; every selected one is a target.
    ASSERT_TRUE(m_Form->SelectDeviceNodes({a, b}));
    EXPECT_TRUE(m_Form->IsSelectedDevice(a));
    EXPECT_TRUE(m_Form->IsCurrentDevice(a));
    EXPECT_FALSE(m_Form->IsSelectedDevice(b));
    EXPECT_FALSE(m_Form->IsCurrentDevice(b));
    EXPECT_TRUE(m_Form->IsAmongSelectedDevices(b));
    EXPECT_TRUE(m_Form->IsTargetDevice(b));

    // Listed devices are answered whatever is on show.
    ShowRecorder();
    EXPECT_FALSE(m_Form->IsCurrentDevice(a));
    EXPECT_FALSE(m_Form->IsTargetDevice(b));
    EXPECT_EQ(m_Form->GetListedDevices(list), 2);
    EXPECT_EQ(m_Form->GetAllDevices(list), 2);
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(MainForm, SelectPageFollowsCaptionsAsFarAsTheyMatch)
{
    EXPECT_TRUE(m_Form->SelectPage("Wizards/Group IP Setting"));
    EXPECT_EQ(m_Form->GetCurrentPage()->GetCaption(), "Group IP Setting");
    EXPECT_TRUE(m_Form->SelectPage("Wizards/No Such Page"));
    EXPECT_EQ(m_Form->GetCurrentPage()->GetCaption(), "Wizards");
    EXPECT_TRUE(m_Form->SelectPage(""));
    EXPECT_EQ(m_Form->Tree()->currentItem(), m_Form->RootNode());
    EXPECT_TRUE(m_Form->SelectPage("Devices"));
    EXPECT_EQ(m_Form->GetCurrentPage(), m_Form->ModuleFrame());
    m_Form->Action("acGroupFwWizard")->trigger();
    EXPECT_EQ(m_Form->GetCurrentPage()->GetCaption(), "Group Firmware Update");
}

TEST_F(MainForm, PageThatRefusesToLeaveKeepsTheMainSelection)
{
    ShowRecorder();
    m_Page->m_AllowLeave = false;
    EXPECT_FALSE(m_Form->SelectPage("Wizards"));
    EXPECT_EQ(m_Form->GetCurrentPage(), m_Page);
    // A click is reverted the same way.
    m_Form->Tree()->setCurrentItem(m_Form->RootNode());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Form->Tree()->currentItem(), m_PageNode);
    EXPECT_EQ(m_Form->GetCurrentPage(), m_Page);
    // So is a mouse click: no other node stays highlighted.
    m_Form->resize(900, 700);
    m_Form->show();
    const QRect rect = m_Form->Tree()->visualItemRect(m_Form->DevicesNode());
    QTest::mouseClick(m_Form->Tree()->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_Form->Tree()->currentItem(), m_PageNode);
    EXPECT_EQ(m_Form->Tree()->selectedItems(), QList<QTreeWidgetItem*>{m_PageNode});
    EXPECT_EQ(m_Form->GetCurrentPage(), m_Page);
}

TEST_F(MainForm, SecondGenerationModelRebuildsThePageTreeOnce)
{
    Intp::TDevice* first = MakeDevice(1, 2, 0x0A000001);
    Intp::TDevice* second = MakeDevice(2, 6, 0x0A000002);
    Intp::TDevice* third = MakeDevice(3, 7, 0x0A000003);
    QTreeWidget* pages = m_Form->ModuleFrame()->ModuleTree();
    ASSERT_TRUE(m_Form->SelectDeviceNodes({first}));
    EXPECT_EQ(g_ModuleLayout, 0);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({second}));
    EXPECT_EQ(g_ModuleLayout, 1);
    ASSERT_GT(pages->topLevelItemCount(), 0);
    EXPECT_EQ(pages->topLevelItem(0)->text(0), "System");
    QTreeWidgetItem* top = pages->topLevelItem(0);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({third}));
    EXPECT_EQ(pages->topLevelItem(0), top);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({first}));
    EXPECT_EQ(g_ModuleLayout, 0);
    EXPECT_EQ(pages->topLevelItem(0)->text(0), "Basics");
}

TEST_F(MainForm, DeviceWithoutTheSupportedEnterpriseNumberDisablesTheDevicesPage)
{
    Intp::TDevice* other = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* ours = MakeDevice(2, 1, 0x0A000002);
    Intp::TDevice* unread = MakeDevice(3, 1, 0x0A000003);
    auto& a = Intp::Property<Intp::TPropertyBasicsSettings>::Get(other);
    a.valid = true;
    a.ObjectId = "9999.1.2";
    auto& b = Intp::Property<Intp::TPropertyBasicsSettings>::Get(ours);
    b.valid = true;
    b.ObjectId = std::string(g_SupportedOid) + ".1.2";
    ASSERT_TRUE(m_Form->SelectDeviceNodes({other}));
    EXPECT_EQ(m_Boxes, (std::vector<std::string>{"The program can't support the device"}));
    EXPECT_FALSE(m_Form->ModuleFrame()->isEnabled());
    ASSERT_TRUE(m_Form->SelectDeviceNodes({ours}));
    EXPECT_TRUE(m_Form->ModuleFrame()->isEnabled());
    ASSERT_TRUE(m_Form->SelectDeviceNodes({unread}));
    EXPECT_TRUE(m_Form->ModuleFrame()->isEnabled());
    EXPECT_EQ(m_Boxes.size(), 1u);
}

TEST_F(MainForm, RemovingTheSelectedDeviceLeavesTheDevicesPageOnShowWithoutItsPage)
{
    // A device page of the "Devices" page records what it is told.
    auto* devicePage = static_cast<TRecordingPage*>(
        m_Form->ModuleFrame()->Adopt(std::make_unique<TRecordingPage>("Device Page")));
    QTreeWidgetItem* node = m_Form->ModuleFrame()->AddModule(devicePage, nullptr);
    for (bool reboot : {false, true}) {
        SCOPED_TRACE(reboot);
        Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
        ASSERT_TRUE(m_Form->SelectDeviceNodes({a}));
        m_Form->ModuleFrame()->ModuleTree()->setCurrentItem(node);
        ASSERT_EQ(m_Form->ModuleFrame()->GetSelectedModule(), devicePage);
        ASSERT_EQ(devicePage->notifications.back().device, a);
        if (reboot) {
            m_Filter.refused = 0;  // as the console's filter: no address 0
            a->SetIp(0);
        } else {
            Intp::DeleteAllDevices();  // a discovery
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(m_Form->GetCurrentPage(), m_Form->ModuleFrame());
        EXPECT_EQ(m_Form->Tree()->currentItem(), m_Form->DevicesNode());
        Intp::TDevice* current = nullptr;
        EXPECT_EQ(m_Form->GetCurrentDevice(current), 0);
        // The page left with the switch and stays hidden as others come; the banner shows none.
        EXPECT_TRUE(devicePage->isHidden());
        EXPECT_EQ(dynamic_cast<TModuleBanner*>(m_Form->ModuleFrame()->ShownBanner())->m_IpAddr->text(),
                  "(Not Available)");
        const std::size_t told = devicePage->notifications.size();
        Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
        EXPECT_EQ(devicePage->notifications.size(), told);
        ASSERT_TRUE(m_Form->SelectDeviceNodes({b}));
        EXPECT_FALSE(devicePage->isHidden());
        // A page at work stays, told that no switch is on show.
        devicePage->m_AllowLeave = false;
        Intp::DeleteAllDevices();
        QCoreApplication::processEvents();
        EXPECT_FALSE(devicePage->isHidden());
        EXPECT_EQ(devicePage->notifications.back().device, nullptr);
        devicePage->m_AllowLeave = true;
        QCoreApplication::processEvents();
    }
}

TEST_F(MainForm, FollowUpTimerReadsMissingSettingsAndStopsOnTheSixthCountedTick)
{
    g_DiscoveryTicks = 0;
    m_Form->DiscoveryTimer()->start();
    // Ticks while nothing is listed are not counted.
    m_Form->Timer4Timer();
    EXPECT_EQ(g_DiscoveryTicks, 0);
    EXPECT_TRUE(m_Sent.empty());
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
    Intp::Property<Intp::TPropertyBasicsSettings>::Get(b).valid = true;
    for (int tick = 1; tick <= 5; ++tick) {
        m_Form->Timer4Timer();
        EXPECT_TRUE(m_Form->DiscoveryTimer()->isActive());
        // Asked on every tick, with one read outstanding.
        EXPECT_EQ(Sent(Intp::ccBasicsSettingsGet), tick);
        EXPECT_EQ(Intp::CountOutstanding(Intp::ccBasicsSettingsGet, a->GetMac()), 1u);
    }
    m_Form->Timer4Timer();
    EXPECT_FALSE(m_Form->DiscoveryTimer()->isActive());
    EXPECT_EQ(g_DiscoveryTicks, 0);
    EXPECT_EQ(Sent(Intp::ccBasicsSettingsGet), 6);
    EXPECT_EQ(m_Sent.back().ip, 0x0A000001u);
}

TEST_F(MainForm, ASettingsReadLostOrSentToAnotherFindersAddressIsAskedAgainOnTheNextTick)
{
    constexpr std::uint32_t own = 0x0A000001, other = 0x0A000063;
    const Intp::TMacAddr mac(2, 0, 0, 0, 0, 1);
    const std::uint32_t pid = Intp::MakeProductId("TEST-ID-1");
    const std::vector<std::uint8_t> find = {std::uint8_t(pid >> 24), std::uint8_t(pid >> 16), std::uint8_t(pid >> 8),
                                            std::uint8_t(pid), 0, 0, 0, 0};
    std::vector<std::uint8_t> settings(1289, 0);
    settings[9] = 'S';  // the name's first byte
    // The switch answers the find; its settings read is lost; the tick asks again.
    auto discover = [&] {
        m_Form->Action("acDiscovery")->trigger();
        IntpTest::TFakeHost::Reply(Intp::ccIntpFind, mac, find, 0, own);
        const int sent = Sent(Intp::ccBasicsSettingsGet);
        m_Form->Timer4Timer();
        EXPECT_EQ(Sent(Intp::ccBasicsSettingsGet), sent + 1);
        EXPECT_EQ(m_Sent.back().ip, own);
        IntpTest::TFakeHost::Reply(Intp::ccBasicsSettingsGet, mac, settings, 0, own);
        EXPECT_EQ(Intp::FindDevice(mac, false)->GetName(), "S");
    };
    m_Filter.targets = {{own, 0xFFFFFFFF}};
    g_DiscoveryTicks = 0;
    discover();
    // The read asked again is the chain's: the IP configuration read follows.
    EXPECT_EQ(Sent(Intp::ccBasicsIPConfGet), 1);
    // The switch's MAC in a find reply from elsewhere sends a read there.
    IntpTest::TFakeHost::Reply(Intp::ccIntpFind, mac, find, 0, other);
    ASSERT_EQ(m_Sent.back().ip, other);
    discover();
}

TEST_F(MainForm, FollowUpTimerStopsOnceEveryListedDeviceHasItsSettings)
{
    g_DiscoveryTicks = 0;
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    m_Form->DiscoveryTimer()->start();
    m_Form->Timer4Timer();
    EXPECT_TRUE(m_Form->DiscoveryTimer()->isActive());
    Intp::Property<Intp::TPropertyBasicsSettings>::Get(a).valid = true;
    m_Form->Timer4Timer();
    EXPECT_FALSE(m_Form->DiscoveryTimer()->isActive());
    EXPECT_EQ(g_DiscoveryTicks, 0);
}

TEST_F(MainForm, DiscoveryClearsTheTreeAndSendsOneFindPerTarget)
{
    MakeDevice(1, 1, 0x0A000001);
    m_Filter.targets = {{0x0A010200, 0xFFFFFF00}, {0xC0A80005, 0xFFFFFFFF}};
    m_Form->Action("acDiscovery")->trigger();
    EXPECT_EQ(m_Form->DeviceCount(), 0);
    EXPECT_TRUE(m_Form->DiscoveryTimer()->isActive());
    ASSERT_EQ(m_Sent.size(), 2u);
    EXPECT_EQ(m_Sent[0].ip, 0x0A0102FFu);
    EXPECT_EQ(m_Sent[0].code, Intp::ccIntpFind);
    EXPECT_EQ(m_Sent[1].ip, 0xC0A80005u);
}

TEST_F(MainForm, LoginLogoutAndRebootActOnTheTargetDevices)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({a, b}));
    m_Sent.clear();  // whatever the selection itself asked for

    m_Form->SetCredentialsHook([](QString&, QString&) { return false; });
    m_Form->Action("acLogin")->trigger();
    EXPECT_TRUE(m_Sent.empty());

    m_Form->SetCredentialsHook([](QString& user, QString& password) {
        user = "admin";
        password = "secret";
        return true;
    });
    m_Form->Action("acLogin")->trigger();
    ASSERT_EQ(Sent(Intp::ccIntpLogin), 2);
    EXPECT_EQ(m_Sent[1].ip, 0x0A000002u);
    const Intp::TMd5Digest digest = Intp::MakeLoginDigest("admin", "secret");
    for (const TSent& sent : m_Sent) {
        ASSERT_GE(sent.payload.size(), 16u);
        EXPECT_TRUE(std::equal(digest.begin(), digest.end(), sent.payload.begin()));
    }

    // Logout is a login with an all-zero digest.
    m_Sent.clear();
    m_Form->Action("acLogout")->trigger();
    ASSERT_EQ(Sent(Intp::ccIntpLogin), 2);
    EXPECT_EQ(std::vector<std::uint8_t>(m_Sent[0].payload.begin(), m_Sent[0].payload.begin() + 16),
              std::vector<std::uint8_t>(16, 0));

    m_Sent.clear();
    m_BoxAnswer = QMessageBox::Cancel;
    m_Form->Action("acReboot")->trigger();
    EXPECT_TRUE(m_Sent.empty());
    m_BoxAnswer = QMessageBox::Ok;
    m_Form->Action("acReboot")->trigger();
    EXPECT_EQ(Sent(Intp::ccBasicsReboot), 2);
    EXPECT_EQ(m_Boxes.back(), "Are you sure to reboot selected devices?");

    // With a group node selected there is nothing to act on: nothing happens.
    ASSERT_TRUE(m_Form->SelectNode(Group(0)));
    m_Sent.clear();
    m_Boxes.clear();
    for (const char* action : {"acLogin", "acLogout", "acReboot", "acOpenWeb"}) {
        m_Form->statusBar()->clearMessage();
        m_Form->Action(action)->trigger();
        EXPECT_TRUE(m_Form->statusBar()->currentMessage().isEmpty()) << action;
    }
    EXPECT_TRUE(m_Sent.empty());
    EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(MainForm, OpenWebOpensEachTargetAddress)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0xC0A80164);
    QStringList urls;
    bool browser = true;
    m_Form->SetOpenUrlHook([&](const QUrl& url) {
        urls << url.toString();
        return browser;
    });
    m_Form->Action("acOpenWeb")->trigger();
    EXPECT_TRUE(urls.isEmpty());
    ASSERT_TRUE(m_Form->SelectDeviceNodes({a, b}));
    m_Form->Action("acOpenWeb")->trigger();
    EXPECT_EQ(urls, (QStringList{"http://10.0.0.1", "http://192.168.1.100"}));
    EXPECT_TRUE(m_Boxes.empty());

    // Without a browser the user is told, once.
    browser = false;
    urls.clear();
    m_Form->Action("acOpenWeb")->trigger();
    EXPECT_EQ(urls, QStringList{"http://10.0.0.1"});
    EXPECT_EQ(m_Boxes, std::vector<std::string>{WebPageFailedMessage(QUrl("http://10.0.0.1")).toStdString()});
}

TEST_F(MainForm, SaveConfigWritesTheFilterAndTheListedSwitchesAndSaysWhenItFails)
{
    ShowRecorder();
    MakeDevice(1, 2, 0x0A000001);
    m_Filter.settings.Unicasts = {{0x0A000009, 0xFFFFFFFFu}};
    QTemporaryDir dir;
    QString path = dir.filePath("Config.xml");
    TConfigFileHook old = SetConfigFileHook([&](bool save) { return save ? path : QString(); });
    m_Form->Action("acSaveConfig")->trigger();
    QByteArray saved;
    ASSERT_TRUE(ReadConfigFile(path, saved));
    EXPECT_TRUE(saved.contains("<Filter Address=\"10.0.0.9\"/>")) << saved.constData();
    EXPECT_TRUE(saved.contains("<Device MacAddr=\"02:00:00:00:00:01\">\n      <Type>" +
                               QByteArray::fromStdString(Intp::GetDeviceTypeName(2)) +
                               "</Type>\n      <Address>10.0.0.1</Address>\n      <Properties/>"))
        << saved.constData();
    EXPECT_TRUE(m_Boxes.empty());

    path = dir.filePath("missing/Config.xml");
    m_Form->Action("acSaveConfig")->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0].rfind("Failed to save config\n" + path.toStdString(), 0), 0u) << m_Boxes[0];
    SetConfigFileHook(old);
}

TEST_F(MainForm, LoadConfigReplacesTheFilterAndDiscoversOnlyWhenTheFileIsRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Config.xml");
    auto write = [&](const QByteArray& text) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };
    TConfigFileHook old = SetConfigFileHook([&](bool save) { return save ? QString() : path; });
    m_Filter.targets = {{0x0A000000, 0xFFFFFF00}};
    Filter::TFilterSettings* settings = m_Form->FilterForm()->GetSettings();

    write("<Config><Discovery><Method>2</Method><Address>10.1.0.0</Address><Mask>255.255.0.0</Mask>"
          "<Filters><Filter Address=\"10.9.0.1\"/><Filter Address=\"10.1.0.5\" Mask=\"255.255.0.0\"/></Filters>"
          "</Discovery></Config>");
    m_Form->Action("acLoadConfig")->trigger();
    EXPECT_EQ(settings->Address, 0x0A010000u);
    EXPECT_EQ(settings->Unicasts, (TIpMaskList{{0x0A090001, 0xFFFFFFFFu}}));
    EXPECT_EQ(settings->LocalSubnets, (TIpMaskList{{0x0A010005, 0xFFFF0000}}));
    EXPECT_EQ(Sent(Intp::ccIntpFind), 1);
    EXPECT_TRUE(m_Boxes.empty());

    write("<Config><Devices/></Config>");  // no discovery settings: unchanged, but a discovery
    m_Form->Action("acLoadConfig")->trigger();
    EXPECT_EQ(settings->Address, 0x0A010000u);
    EXPECT_EQ(Sent(Intp::ccIntpFind), 2);

    write("<Config><Discovery>");
    m_Form->Action("acLoadConfig")->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_EQ(m_Boxes[0], "Failed to load config");
    EXPECT_EQ(settings->Unicasts.size(), 1u);
    EXPECT_EQ(Sent(Intp::ccIntpFind), 2);

    // A hundred thousand nested levels are refused at once, changing nothing.
    write("<Config><Discovery>" + QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000) +
          "</Discovery></Config>");
    m_Form->Action("acLoadConfig")->trigger();
    EXPECT_EQ(m_Boxes, (std::vector<std::string>{"Failed to load config", "Failed to load config"}));
    EXPECT_EQ(settings->Unicasts.size(), 1u);
    EXPECT_EQ(Sent(Intp::ccIntpFind), 2);
    SetConfigFileHook(old);
}

TEST_F(MainForm, ScanDevicesOpensTheScanDialog)
{
    bool shown = false;
    QTimer::singleShot(0, m_Form.get(), [&] {
        shown = m_Form->ScanForm()->isVisible() && m_Form->ScanForm()->isModal();
        m_Form->ScanForm()->reject();
    });
    m_Form->Action("acScan")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(m_Form->ScanForm()->isVisible());
}

TEST_F(MainForm, ClosingWhileARestoreRunsAsksFirst)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({a}));
    TModuleBasicsRestore* restore = ShowRestore();
    ASSERT_NE(restore, nullptr);
    ASSERT_EQ(restore->RowCount(), 1);
    restore->EventOnFileChosen(Image(2048));
    restore->EventOnRestoreClick();
    ASSERT_TRUE(restore->IsBusy());
    m_Form->show();

    // Exit (its menu item, Ctrl+X, the tray's) and the window's close button
    // ask; No keeps the window and the transfer.
    m_BoxAnswer = QMessageBox::No;
    m_Form->Action("acExit")->trigger();
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_NE(m_Boxes[0].find("\"Restore\""), std::string::npos) << m_Boxes[0];
    EXPECT_NE(m_Boxes[0].find("half an image"), std::string::npos);
    EXPECT_TRUE(m_Form->isVisible());
    EXPECT_TRUE(m_Form->IntpSock()->IsOpen());
    EXPECT_FALSE(m_Form->close());
    EXPECT_EQ(m_Boxes.size(), 2u);
    EXPECT_TRUE(restore->IsBusy());

    m_BoxAnswer = QMessageBox::Yes;
    m_Form->Action("acExit")->trigger();
    EXPECT_EQ(m_Boxes.size(), 3u);  // asked once
    EXPECT_FALSE(m_Form->isVisible());
}

TEST_F(MainForm, AMixedSelectionIsSaidAndChangesDuringATransferAreRefusedSilently)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 2, 0x0A000002);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({a, b}));
    TModuleBasicsRestore* restore = ShowRestore();
    ASSERT_NE(restore, nullptr);
    QHelpEvent hover(QEvent::ToolTip, QPoint(2, 2), restore->m_rbLocal->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(restore->m_rbLocal, &hover);
    EXPECT_TRUE(QToolTip::text().contains("different models"));
    EXPECT_TRUE(m_Form->statusBar()->currentMessage().isEmpty());

    ASSERT_TRUE(m_Form->SelectDeviceNodes({a}));
    restore->EventOnFileChosen(Image(2048));
    restore->EventOnRestoreClick();
    ASSERT_TRUE(restore->IsBusy());
    QTreeWidget* pages = m_Form->ModuleFrame()->ModuleTree();
    const std::function<void()> changes[] = {[&] { m_Form->SelectDeviceNodes({b}); },
                                             [&] { pages->setCurrentItem(pages->topLevelItem(0)); }};
    for (const std::function<void()>& change : changes) {
        m_Form->statusBar()->clearMessage();
        change();
        EXPECT_EQ(m_Form->ModuleFrame()->GetSelectedModule(), restore);
        EXPECT_TRUE(m_Form->statusBar()->currentMessage().isEmpty());
    }
}

TEST_F(MainForm, ClosingWhileTheGroupFirmwareWizardUpgradesAsksFirst)
{
    MakeDevice(1, 1, 0x0A000001);
    MakeDevice(2, 1, 0x0A000002);
    ASSERT_TRUE(m_Form->SelectPage("Wizards/Group Firmware Update"));
    auto* wizard = m_Form->findChild<TWizardGroupFwFrame*>();
    ASSERT_NE(wizard, nullptr);
    wizard->EventOnNextClick();
    wizard->m_Picker->EventOnSelectAllClick();
    wizard->EventOnNextClick();
    wizard->m_Step2Preview->EventOnFileChosen(Image(4096));
    wizard->EventOnNextClick();
    ASSERT_EQ(Sent(Intp::ccBasicsUpgradeBuildin), 2);
    m_Form->show();

    m_BoxAnswer = QMessageBox::No;
    EXPECT_FALSE(m_Form->close());
    ASSERT_EQ(m_Boxes.size(), 1u);
    EXPECT_NE(m_Boxes[0].find("\"Group Firmware Update\""), std::string::npos) << m_Boxes[0];
    EXPECT_TRUE(m_Form->IntpSock()->IsOpen());
}

TEST_F(MainForm, ARebootedSwitchComesBackLoggedOutAtTheEndOfItsGroup)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
    Intp::TDevice* c = MakeDevice(3, 1, 0x0A000003);
    ASSERT_TRUE(Intp::StartNew<Intp::TSessionBasicsReboot>(b));
    IntpTest::TFakeHost::Reply(Intp::ccBasicsReboot, b);
    EXPECT_EQ(m_Form->FindDeviceNode(b), nullptr);
    b->SetIp(0x0A000002);  // heard again
    auto order = [&] { return QList<QTreeWidgetItem*>{Group(0)->child(0), Group(0)->child(1), Group(0)->child(2)}; };
    auto nodes = [&](auto... d) { return QList<QTreeWidgetItem*>{m_Form->FindDeviceNode(d)...}; };
    EXPECT_EQ(order(), nodes(a, c, b));
    EXPECT_EQ(static_cast<TTreeNode*>(m_Form->FindDeviceNode(b))->m_Image, int(ikDevice));  // logged out
    // A new address within the group keeps the node where it is.
    a->SetIp(0x0A000009);
    EXPECT_EQ(order(), nodes(a, c, b));
}

TEST_F(MainForm, ClosingWithNoTransferRunningAsksNothing)
{
    m_Form->show();
    EXPECT_TRUE(m_Form->close());
    EXPECT_TRUE(m_Boxes.empty());
}

TEST_F(MainForm, RepliesDroppedByTheReceiveQueueAreToldOnceInTheStatusBar)
{
    emit m_Form->IntpQueue()->QueueDropped(1234);
    EXPECT_TRUE(m_Form->statusBar()->currentMessage().contains(QLocale().toString(1234)))
        << m_Form->statusBar()->currentMessage().toStdString();
    m_Form->statusBar()->clearMessage();
    emit m_Form->IntpQueue()->QueueDropped(5000);
    EXPECT_TRUE(m_Form->statusBar()->currentMessage().isEmpty());
}

TEST_F(MainForm, ExitStopsReceptionAndTheWindowEndsRequestsBeforeLeavingTheLibrary)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    ASSERT_TRUE(Intp::StartNew<Intp::TSessionBasicsSettingsGet>(a));
    m_Form->DiscoveryTimer()->start();
    m_Form->Action("acExit")->trigger();
    EXPECT_FALSE(m_Form->IntpSock()->IsOpen());
    EXPECT_TRUE(m_Form->IntpQueue()->IsTerminated());
    EXPECT_FALSE(m_Form->DiscoveryTimer()->isActive());
    // Nested loops may still be unwinding: the registry stays until the
    // window goes.
    EXPECT_EQ(Intp::GetDeviceCount(), 1u);
    m_Form.reset();
    EXPECT_EQ(Intp::GetSessionCount(), 0u);
    EXPECT_EQ(Intp::GetDeviceCount(), 0u);
    EXPECT_EQ(Intp::GetSessionCallback(), nullptr);
    EXPECT_EQ(Intp::GetDeviceCallback(), nullptr);
    EXPECT_EQ(g_ModuleCallback, nullptr);
}

namespace {

std::unique_ptr<TMainForm> StartWithSyslogPort(std::uint16_t port, bool* initialised)
{
    TMainForm::TOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.trayIcon = false;
    options.syslogPort = port;
    auto form = std::make_unique<TMainForm>(options);
    *initialised = form->Init();
    return form;
}

}  // namespace

TEST(MainFormStart, BusySyslogPortOffersAbortOrIgnore)
{
    RegisterTestModels(1);
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress(QHostAddress::AnyIPv4), 0, QUdpSocket::DontShareAddress));
    std::vector<std::string> boxes;
    QMessageBox::StandardButton answer = QMessageBox::Ignore;
    TMessageBoxHook old = SetMessageBoxHook([&](const TMessageBoxRequest& request) {
        boxes.push_back(request.text.toStdString());
        EXPECT_EQ(request.buttons, QMessageBox::Abort | QMessageBox::Ignore);
        return answer;
    });

    // A free port opens without asking; exit stops it.
    bool initialised = false;
    auto form = StartWithSyslogPort(0, &initialised);
    EXPECT_TRUE(initialised);
    EXPECT_TRUE(boxes.empty());
    ASSERT_NE(form->SyslogQueue(), nullptr);
    EXPECT_TRUE(form->SyslogQueue()->IsOpen());
    form->Action("acExit")->trigger();
    EXPECT_TRUE(form->SyslogQueue()->IsStopped());
    form.reset();

    form = StartWithSyslogPort(holder.localPort(), &initialised);
    EXPECT_TRUE(initialised);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Cannot bind SYSLOG port, syslog function will be disabled. Press Ignore to continue.");
    EXPECT_EQ(Intp::GetDeviceCallback(), form.get());
    // Ignore goes on with the rest of the page tree.
    EXPECT_TRUE(form->SelectPage("Wizards/Group IP Setting"));
    form.reset();

    answer = QMessageBox::Abort;
    form = StartWithSyslogPort(holder.localPort(), &initialised);
    EXPECT_FALSE(initialised);
    EXPECT_EQ(Intp::GetDeviceCallback(), nullptr);
    EXPECT_EQ(Intp::GetSessionCallback(), nullptr);
    form.reset();
    SetMessageBoxHook(old);
}

TEST(MainFormStart, AnAbsentOrEmptyDevicesFileIsToldOnceAndTheWindowStillOpens)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath("devices.dev");
    ASSERT_TRUE(QFile(empty).open(QIODevice::WriteOnly));
    for (const QString& path : {dir.filePath("absent.dev"), empty}) {
        Intp::ResetDeviceTypes();
        Intp::InitDeviceTypes();
        std::vector<std::string> boxes;
        TMessageBoxHook old = SetMessageBoxHook([&](const TMessageBoxRequest& request) {
            boxes.push_back(request.text.toStdString());
            return QMessageBox::Ok;
        });
        EXPECT_FALSE(LoadDevicesFile(path.toStdString()));
        EXPECT_EQ(Intp::GetDeviceTypeCount(), 1u) << "only the unknown model";
        bool initialised = false;
        auto form = StartWithSyslogPort(0, &initialised);
        EXPECT_TRUE(initialised);
        form->show();
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->SelectPage("Devices"));
        EXPECT_EQ(boxes, std::vector<std::string>{kLoadDevicesError}) << path.toStdString();
        form.reset();
        SetMessageBoxHook(old);
    }
}

TEST_F(MainForm, CtrlClicksSelectSiblingsOnly)
{
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gModel);
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
    Intp::TDevice* c = MakeDevice(3, 2, 0x09000003);
    m_Form->resize(900, 700);
    m_Form->show();
    QTreeWidget* tree = m_Form->Tree();
    tree->expandAll();
    auto click = [&](Intp::TDevice* d, Qt::KeyboardModifiers modifiers) {
        QRect rect = tree->visualItemRect(m_Form->FindDeviceNode(d));
        ASSERT_TRUE(rect.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers, rect.center());
        QCoreApplication::processEvents();
    };
    auto selected = [&] {
        TDeviceList list;
        m_Form->GetSelectedDevices(list);
        return list;
    };
    click(a, Qt::NoModifier);
    click(b, Qt::ControlModifier);
    click(c, Qt::ControlModifier);
    EXPECT_EQ(selected(), (TDeviceList{a, b}));
    EXPECT_FALSE(m_Form->FindDeviceNode(c)->isSelected());
    EXPECT_TRUE(m_Form->statusBar()->currentMessage().isEmpty());
    Intp::TDevice* current = nullptr;
    EXPECT_EQ(m_Form->GetCurrentDevice(current), 2);
    EXPECT_EQ(current, a);
    EXPECT_TRUE(m_Form->IsTargetDevice(b));
    EXPECT_FALSE(m_Form->IsCurrentDevice(b));
    EXPECT_FALSE(m_Form->SelectDeviceNodes({a, c}));
    // A plain click on the other group starts a new selection there.
    click(c, Qt::NoModifier);
    EXPECT_EQ(selected(), (TDeviceList{c}));

    // Ctrl+click on a node that is already selected leaves that node alone.
    click(a, Qt::NoModifier);
    click(b, Qt::ControlModifier);
    ASSERT_EQ(selected(), (TDeviceList{a, b}));
    click(b, Qt::ControlModifier);
    EXPECT_EQ(selected(), (TDeviceList{b}));
    EXPECT_TRUE(m_Form->IsCurrentDevice(b));
    EXPECT_TRUE(m_Form->FindDeviceNode(b)->isSelected());
    EXPECT_FALSE(m_Form->FindDeviceNode(a)->isSelected());
    click(a, Qt::ControlModifier);
    click(a, Qt::ControlModifier);  // the current node itself
    EXPECT_EQ(selected(), (TDeviceList{a}));
    EXPECT_EQ(m_Form->Tree()->selectedItems().size(), 1);

    // A re-sort moves switches group by group, each to the end of its new
    // group, and keeps the switch on show current with its selected siblings.
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gNone);
    EXPECT_EQ(Group(0)->child(2), m_Form->FindDeviceNode(c));
    click(b, Qt::ControlModifier);
    click(c, Qt::ControlModifier);
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gModel);
    EXPECT_EQ(selected(), (TDeviceList{a, b}));
    EXPECT_TRUE(m_Form->IsCurrentDevice(a));
    EXPECT_EQ(m_Form->Tree()->selectedItems().size(), 2);
    EXPECT_FALSE(m_Form->FindDeviceNode(c)->isSelected());
}

TEST_F(MainForm, DiscoveryChainFollowsOnlySuccessfulAcceptedReplies)
{
    Intp::TDevice* refused = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* unknown = MakeDevice(2, 0, 0x0A000002);
    Intp::TDevice* good = MakeDevice(3, 1, 0x0A000003);
    m_Filter.refused = 0x0A000001;
    Intp::TWizard* hook = GetFindHook();
    hook->OnWizardEvent(refused, Intp::ccIntpFind, 0, nullptr);
    hook->OnWizardEvent(unknown, Intp::ccIntpFind, 0, nullptr);
    EXPECT_TRUE(m_Sent.empty());
    hook->OnWizardEvent(good, Intp::ccIntpFind, 0xFF00, nullptr);
    EXPECT_TRUE(m_Sent.empty());
    hook->OnWizardEvent(good, Intp::ccIntpFind, 0, nullptr);
    // Further answers while the settings read runs start no second one.
    hook->OnWizardEvent(good, Intp::ccIntpFind, 0, nullptr);
    hook->OnWizardEvent(good, Intp::ccBasicsSettingsGet, 0, nullptr);
    hook->OnWizardEvent(good, Intp::ccBasicsIPConfGet, 0, nullptr);
    hook->OnWizardEvent(good, Intp::ccIntpSipGet, 0, nullptr);
    // The status monitor may poll the device it was handed; the chain sends
    // one read of each kind, in order.
    std::vector<std::uint16_t> chain;
    for (const TSent& sent : m_Sent) {
        if (sent.code != Intp::ccIntpPing2)
            chain.push_back(sent.code);
    }
    EXPECT_EQ(chain, (std::vector<std::uint16_t>{Intp::ccBasicsSettingsGet, Intp::ccBasicsIPConfGet,
                                                 Intp::ccIntpSipGet}));
    for (const TSent& sent : m_Sent)
        EXPECT_EQ(sent.ip, 0x0A000003u);
}

namespace {

// A page that opens a box when a device's address changes.
class TBoxOnIpChange : public TRecordingPage {
public:
    using TRecordingPage::TRecordingPage;
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override
    {
        TRecordingPage::OnNotify(device, code, status);
        if (code == ncDeviceIpChanged) {
            ShowWarning("address changed");
            // The device is still there when the box returns.
            seenName = device->GetMac().ToString();
        }
    }
    std::string seenName;
};

}  // namespace

TEST_F(MainForm, ExitFromABoxOpenedInsideADeliveryIsClean)
{
    auto page = std::make_unique<TBoxOnIpChange>("Boxer");
    TBoxOnIpChange* boxer = page.get();
    QTreeWidgetItem* node = m_Form->AddOwnedPageNode(std::move(page), m_Form->RootNode(), 6);
    ASSERT_TRUE(m_Form->SelectNode(node));
    MakeDevice(7, 1, 0x0A000007);
    SetMessageBoxHook([this](const TMessageBoxRequest&) {
        m_Form->Action("acExit")->trigger();
        RunNestedLoop(5);
        return QMessageBox::Ok;
    });
    // A reply from the device's new address.
    const Intp::TMacAddr mac(2, 0, 0, 0, 0, 7);
    m_Form->IntpQueue()->PushDatagram(0x0A000070,
                                      IntpTest::TFakeHost::Frame(Intp::ccBasicsSettingsGet, mac, 0, {0, 0, 0, 0}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxer->seenName.empty(); }, 5000));
    EXPECT_EQ(boxer->seenName, "02:00:00:00:00:07");
    EXPECT_TRUE(m_Form->IntpQueue()->IsTerminated());
    m_Form.reset();
    EXPECT_EQ(Intp::GetDeviceCount(), 0u);
}

// ---------------------------------------------------------------------------
// A full subnet at once.

namespace {

constexpr int kSubnet = 254;

std::vector<Intp::TDevice*> MakeSubnet()
{
    // Models and addresses arrive out of order, as replies do.
    std::vector<Intp::TDevice*> devices;
    for (int i = 0; i < kSubnet; ++i) {
        const int n = (i * 97) % kSubnet + 1;
        devices.push_back(MakeDevice(std::uint8_t(n), std::uint32_t(7 - n % 7), 0x0A000000u + std::uint32_t(n)));
    }
    return devices;
}

}  // namespace

TEST_F(MainForm, AFullSubnetIsGroupedSortedAndInArrivalOrderWithinAGroup)
{
    m_Form->TreeSort()->setCurrentIndex(TMainForm::gModel);
    std::vector<Intp::TDevice*> devices = MakeSubnet();
    EXPECT_EQ(GroupTexts(), (QStringList{"Model 1", "Model 2", "Model 3", "Model 4", "Model 5", "Model 6", "Model 7"}));
    EXPECT_EQ(m_Form->DeviceCount(), kSubnet);
    EXPECT_EQ(m_Form->DevicesNode()->text(0), QStringLiteral("Devices (%1)").arg(kSubnet));
    std::map<QTreeWidgetItem*, std::vector<QTreeWidgetItem*>> arrival;
    for (Intp::TDevice* d : devices) {
        QTreeWidgetItem* node = m_Form->FindDeviceNode(d);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->parent()->text(0), QString::fromStdString("Model " + std::to_string(d->GetType())));
        arrival[node->parent()].push_back(node);
    }
    int listed = 0;
    for (int g = 0; g < m_Form->DevicesNode()->childCount(); ++g) {
        QTreeWidgetItem* group = Group(g);
        EXPECT_TRUE(group->isExpanded()) << g;
        ASSERT_EQ(group->childCount(), int(arrival[group].size()));
        for (int i = 0; i < group->childCount(); ++i)
            EXPECT_EQ(group->child(i), arrival[group][std::size_t(i)]);
        listed += group->childCount();
    }
    EXPECT_EQ(listed, kSubnet);
}

TEST_F(MainForm, DiscoveryOverAFullTreeRemovesEveryNodeWithOneRemovalEach)
{
    ShowRecorder();
    MakeSubnet();
    MakeDevice(255, 0, 0x0A0000FF);  // model unknown: never listed
    m_Page->notifications.clear();
    m_Form->EventOnDiscoveryExecute();
    EXPECT_EQ(m_Page->Count(ncDeviceRemoved), kSubnet);
    for (const auto& note : m_Page->notifications)
        EXPECT_EQ(note.device, nullptr);
    EXPECT_EQ(m_Form->DevicesNode()->childCount(), 0);
    EXPECT_EQ(m_Form->DeviceCount(), 0);
    EXPECT_EQ(m_Form->DevicesNode()->text(0), "Devices (0)");
    EXPECT_EQ(m_Form->Tree()->currentItem(), m_PageNode);

    // The devices come back on their next replies.
    const std::vector<Intp::TDevice*> again = MakeSubnet();
    EXPECT_EQ(m_Form->DeviceCount(), kSubnet);
    EXPECT_NE(m_Form->FindDeviceNode(again.back()), nullptr);
}

TEST_F(MainForm, TreeColumnFitsALongDeviceTextOnceTheBatchIsDone)
{
    QTreeWidget* tree = m_Form->Tree();
    MakeSubnet();
    Intp::TDevice* d = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, 0, 7), false);
    ASSERT_NE(d, nullptr);
    QTreeWidgetItem* node = m_Form->FindDeviceNode(d);
    ASSERT_NE(node, nullptr);
    // Room for the text beside its icon, behind the indentation of its level.
    auto fits = [&] {
        const int needed = tree->fontMetrics().horizontalAdvance(node->text(0)) + 3 * tree->indentation();
        return tree->columnWidth(0) >= needed;
    };
    ASSERT_TRUE(QTest::qWaitFor(fits, 5000));
    const int before = tree->columnWidth(0);
    d->SetName(std::string(80, 'W'));
    ASSERT_TRUE(QTest::qWaitFor(fits, 5000));
    EXPECT_GT(tree->columnWidth(0), before);
}

TEST_F(MainForm, TheWindowOpensAtAUsefulSizeAndTheTreePaneShowsWholeDeviceNames)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_GE(m_Form->width(), available.width() * 4 / 5);
    EXPECT_GE(m_Form->height(), available.height() * 4 / 5);
    EXPECT_LE(m_Form->width(), available.width());
    EXPECT_LE(m_Form->height(), available.height());

    m_Form->resize(1280, 800);
    m_Form->show();
    Intp::TDevice* d = MakeDevice(1, 1, 0xC0A8640A);
    d->SetName("Distribution-Switch-West");
    QTreeWidget* tree = m_Form->Tree();
    QTreeWidgetItem* node = m_Form->FindDeviceNode(d);
    ASSERT_NE(node, nullptr);
    auto whole = [&] {
        const QRect rect = tree->visualItemRect(node);
        return rect.isValid() &&
               rect.left() + tree->fontMetrics().horizontalAdvance(node->text(0)) < tree->viewport()->width();
    };
    EXPECT_TRUE(QTest::qWaitFor(whole, 5000));
}

TEST_F(MainForm, AtAThousandPixelsTheTreePanesGiveWayToThePageAndTheBannerReadsWhole)
{
    m_Form->resize(1000, 700);
    m_Form->show();
    Intp::TDevice* d = MakeDevice(1, 1, 0x0A000001);
    d->SetName(std::string(60, 'W'));
    ASSERT_TRUE(m_Form->SelectDeviceNodes({d}));
    // Once the tree's column has taken the long name.
    QTreeWidget* tree = m_Form->Tree();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return tree->columnWidth(0) > tree->fontMetrics().horizontalAdvance(QString(60, 'W')); }, 5000));
    QWidget* pageArea = m_Form->ModuleFrame()->WaitLabel()->parentWidget();
    EXPECT_TRUE(QTest::qWaitFor([&] { return pageArea->width() >= 480; }, 5000)) << pageArea->width();

    auto* banner = dynamic_cast<QWidget*>(m_Form->ModuleFrame()->ShownBanner());
    ASSERT_NE(banner, nullptr);
    QLabel* ipDifferent = nullptr;
    for (QLabel* label : banner->findChildren<QLabel*>())
        ipDifferent = label->text() == "IP different" ? label : ipDifferent;
    ASSERT_NE(ipDifferent, nullptr);
    EXPECT_GE(ipDifferent->width(), ipDifferent->sizeHint().width());
    EXPECT_EQ(ipDifferent->visibleRegion().boundingRect().width(), ipDifferent->width());
}

TEST_F(MainForm, SelectingAGroupNodeEndsMultipleSelectionAndNotifiesWithNoDevice)
{
    Intp::TDevice* a = MakeDevice(1, 1, 0x0A000001);
    Intp::TDevice* b = MakeDevice(2, 1, 0x0A000002);
    ASSERT_TRUE(m_Form->SelectDeviceNodes({a, b}));
    auto* page = static_cast<TRecordingPage*>(m_Form->ModuleFrame()->Adopt(std::make_unique<TRecordingPage>("Probe")));
    m_Form->ModuleFrame()->ModuleTree()->setCurrentItem(m_Form->ModuleFrame()->AddModule(page, nullptr));
    page->notifications.clear();

    ASSERT_TRUE(m_Form->SelectNode(Group(0)));
    EXPECT_EQ(m_Form->Tree()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(m_Form->Tree()->selectedItems(), QList<QTreeWidgetItem*>{Group(0)});
    ASSERT_EQ(page->notifications.size(), 1u);
    EXPECT_EQ(page->notifications[0].code, ncSelectionChanged);
    EXPECT_EQ(page->notifications[0].device, nullptr);
}

TEST_F(MainForm, DiscoveryWithoutTargetsClearsTheTreeAndTicksWithoutEffectUntilADeviceIsListed)
{
    MakeDevice(1, 1, 0x0A000001);
    m_Filter.targets.clear();
    g_DiscoveryTicks = 0;
    m_Form->Action("acDiscovery")->trigger();
    EXPECT_EQ(m_Form->DeviceCount(), 0);
    EXPECT_TRUE(m_Sent.empty());
    for (int tick = 0; tick < 10; ++tick)
        m_Form->Timer4Timer();
    EXPECT_TRUE(m_Form->DiscoveryTimer()->isActive());
    EXPECT_EQ(g_DiscoveryTicks, 0);
    EXPECT_TRUE(m_Sent.empty());
    MakeDevice(2, 1, 0x0A000002);
    m_Form->Timer4Timer();
    EXPECT_EQ(g_DiscoveryTicks, 1);
    EXPECT_EQ(Sent(Intp::ccBasicsSettingsGet), 1);
}

TEST_F(MainForm, DiscoveryPressedAgainWithinATickGoesOnWithTheTicksOfTheFirst)
{
    m_Filter.targets = {{0x0A010200, 0xFFFFFF00}};
    g_DiscoveryTicks = 0;
    m_Form->Action("acDiscovery")->trigger();
    MakeDevice(1, 1, 0x0A000001);
    m_Form->Timer4Timer();
    m_Form->Timer4Timer();
    ASSERT_EQ(g_DiscoveryTicks, 2);
    m_Form->Action("acDiscovery")->trigger();
    EXPECT_EQ(m_Form->DeviceCount(), 0);
    EXPECT_EQ(g_DiscoveryTicks, 2);
    EXPECT_TRUE(m_Form->DiscoveryTimer()->isActive());
    MakeDevice(2, 1, 0x0A000002);
    for (int tick = 3; tick <= 5; ++tick)
        m_Form->Timer4Timer();
    EXPECT_TRUE(m_Form->DiscoveryTimer()->isActive());
    m_Form->Timer4Timer();
    EXPECT_FALSE(m_Form->DiscoveryTimer()->isActive());
    EXPECT_EQ(g_DiscoveryTicks, 0);
}
