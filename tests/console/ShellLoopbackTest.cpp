// The main window against a fleet of fake switches on loopback, through the
// real sockets and queues: discovery and its follow-up reads, login from the
// tree and from the login page, and syslog from a switch to the events page.
#include "FakePages.h"

#include "pages/kit/FilterServer.h"
#include "console/MainForm.h"
#include "console/ModuleFrame.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "pages/system/Modulebasics.h"
#include "syslog/SyslogForm.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"
#include "tests/fakeswitch/FakeSwitch.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItem>
#include <QUdpSocket>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

constexpr std::uint32_t kFirstSwitch = 0x7F000002;  // 127.0.0.2
constexpr std::uint32_t kConsoleIp = 0x7F000001;

class ShellLoopback : public ::testing::Test {
protected:
    // Starts `count` switches of one model (adjust may change each) and a
    // main window that finds them.
    void Open(int count, bool syslog, const std::function<void(int, FakeSwitch::TSwitchSettings&)>& adjust = {})
    {
        Intp::ResetDeviceTypes();
        Intp::InitDeviceTypes();
        Intp::TDeviceType type;
        type.Name = "Loopback Model";
        type.PortNum = 8;
        ASSERT_EQ(Intp::RegisterDeviceType(&type, {"LOOP-8T"}), 1);

        for (int i = 0; i < count; ++i) {
            FakeSwitch::TSwitchSettings s;
            s.Mac = {0x02, 0x00, 0x00, 0x00, 0x00, std::uint8_t(0x31 + i)};
            s.ProductId = "LOOP-8T";
            s.ObjectId = std::string(g_SupportedOid) + ".1.1";
            s.Factory.Name = "Loop-" + std::to_string(i + 1);
            s.Factory.Ip = kFirstSwitch + std::uint32_t(i);
            s.Factory.Netmask = 0xFF000000;
            if (adjust)
                adjust(i, s);
            m_Fleet.Add(s);
        }
        std::string error;
        ASSERT_TRUE(m_Fleet.Start(&error)) << error;

        TMainForm::TOptions options;
        options.bindAddress = QHostAddress(QHostAddress::LocalHost);
        options.remotePort = m_Fleet.Port();
        options.openSyslog = syslog;
        options.syslogPort = 0;  // any free port: the test sends to it on loopback
        options.trayIcon = false;
        m_Form = std::make_unique<TMainForm>(options);
        ASSERT_TRUE(m_Form->Init());
        m_Filter.targets = {{0x7F000000, 0xFF000000}};
        m_Form->SetFilterServer(&m_Filter);
    }

    void TearDown() override
    {
        m_Form.reset();
        m_Fleet.Stop();
    }

    FakeSwitch::TFleet m_Fleet{0, 0};
    TFakeFilter m_Filter;
    std::unique_ptr<TMainForm> m_Form;
};

}  // namespace

TEST_F(ShellLoopback, DiscoveryListsTheSwitchesAndReadsTheirSettings)
{
    ASSERT_NO_FATAL_FAILURE(Open(2, false));
    TMainForm& form = *m_Form;
    FakeSwitch::TFleet& fleet = m_Fleet;
    form.Action("acDiscovery")->trigger();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            TDeviceList listed;
            form.GetListedDevices(listed);
            if (listed.size() != 2)
                return false;
            for (Intp::TDevice* d : listed) {
                if (d->GetName().empty())
                    return false;
            }
            return true;
        },
        10000));
    Intp::TDevice* first = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, 0, 0x31), false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetType(), 1u);
    EXPECT_EQ(form.FindDeviceNode(first)->text(0), "Loop-1 (127.0.0.2, 02:00:00:00:00:31)");
    // The chain goes on to the IP configuration and IntpSip reads.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fleet.Requests(0, Intp::ccIntpSipGet) >= 1; }, 5000));

    // Login from the tree's selection.
    ASSERT_TRUE(form.SelectDeviceNodes({first}));
    form.SetCredentialsHook([](QString& user, QString& password) {
        user = "admin";
        password = "admin";
        return true;
    });
    form.Action("acLogin")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first->IsLoggedIn(); }, 5000))
        << "login requests " << fleet.Requests(0, Intp::ccIntpLogin);
    EXPECT_TRUE(fleet.IsLoggedIn(0, kConsoleIp));
}

TEST_F(ShellLoopback, LoginPageLogsTheSwitchInAndOutAndSyslogReachesPageDialogAndExport)
{
    ASSERT_NO_FATAL_FAILURE(Open(1, true));
    TMainForm& form = *m_Form;
    FakeSwitch::TFleet& fleet = m_Fleet;
    form.Action("acDiscovery")->trigger();
    Intp::TDevice* device = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            device = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, 0, 0x31), false);
            return device && !device->GetName().empty();
        },
        10000));

    // Selecting a switch that is not logged in shows the login page.
    ASSERT_TRUE(form.SelectDeviceNodes({device}));
    TModuleBasics* login = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (login = dynamic_cast<TModuleBasics*>(form.ModuleFrame()->GetSelectedModule())) != nullptr; },
        5000));
    login->m_Username->setText("admin");
    login->m_Password->setText("admin");
    login->m_Login->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return login->RowImage(device) == TModuleBasics::liLoggedIn; }, 5000));
    EXPECT_TRUE(device->IsLoggedIn());
    EXPECT_TRUE(fleet.IsLoggedIn(0, kConsoleIp));

    login->m_Logout->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return login->RowImage(device) == TModuleBasics::liLoggedOut; }, 5000));
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_FALSE(fleet.IsLoggedIn(0, kConsoleIp));

    // A syslog datagram from the switch's address.
    ASSERT_NE(form.SyslogQueue(), nullptr);
    ASSERT_NE(form.SyslogQueue()->LocalPort(), 0);
    auto* events = dynamic_cast<TSyslogFrame*>(form.GetSyslogServer());
    ASSERT_NE(events, nullptr);
    QUdpSocket sender;
    ASSERT_TRUE(sender.bind(QHostAddress(kFirstSwitch), 0));
    const QByteArray text = "<13>Dec  7 06:00:00 Loop-1 Port 3 link up";
    sender.writeDatagram(text, QHostAddress::LocalHost, form.SyslogQueue()->LocalPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return events->Count(kFirstSwitch) == 1; }, 5000));

    ASSERT_TRUE(form.SelectPage("Syslog Events"));
    ASSERT_EQ(events->ListView()->model()->rowCount(), 1);

    int dialogRows = -1;
    QString dialogHost;
    events->SetShowFormHook([&](TSyslogForm& dialog) {
        dialogRows = dialog.RowCount();
        dialogHost = dialog.m_Host->text();
    });
    events->ListView()->selectRow(0);
    events->EventOnListViewDblClick();
    EXPECT_EQ(dialogRows, 1);
    EXPECT_EQ(dialogHost, "127.0.0.2");

    QTemporaryDir dir;
    const QString path = dir.filePath("syslog.xml");
    events->SetSaveFileNameHook([&] { return path; });
    ASSERT_TRUE(events->EventOnSaveClick());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The root's name, every "Entry" under it and all text.
    QXmlStreamReader reader(&file);
    QString root, allText;
    int entries = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && root.isEmpty())
            root = reader.name().toString();
        else if (reader.isStartElement() && reader.name() == QStringLiteral("Entry"))
            ++entries;
        else if (reader.isCharacters())
            allText += reader.text();
    }
    ASSERT_FALSE(reader.hasError());
    EXPECT_EQ(root, "Syslog");
    EXPECT_EQ(entries, 1);
    EXPECT_TRUE(allText.contains("Port 3 link up"));
}

TEST_F(ShellLoopback, ASwitchOfAModelTheTableLacksIsNotListedAndNothingIsSaid)
{
    // 127.0.0.3 announces the product id of "abc", which no model lists.
    ASSERT_NO_FATAL_FAILURE(Open(2, false, [](int i, FakeSwitch::TSwitchSettings& s) {
        if (i == 1)
            s.ProductId = "abc";
    }));
    QStatusBar* bar = m_Form->statusBar();
    const auto hint = [bar] {
        for (QLabel* label : bar->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                return label->text();
        return QString();
    };
    EXPECT_EQ(hint(), QString());
    // Until the listed switch's settings are read: the other switch's find
    // reply, sent just after its own, was taken by then.
    const auto discover = [this] {
        m_Form->Action("acDiscovery")->trigger();
        return QTest::qWaitFor([] {
            Intp::TDevice* listed = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, 0, 0x31), false);
            return listed && !listed->GetName().empty();
        });
    };
    ASSERT_TRUE(discover());
    EXPECT_EQ(m_Fleet.Requests(1, Intp::ccIntpFind), 1u);
    EXPECT_EQ(bar->currentMessage(), QString());
    EXPECT_EQ(hint(), QString());
    TDeviceList listed;
    m_Form->GetListedDevices(listed);
    EXPECT_EQ(listed.size(), 1u);
}
