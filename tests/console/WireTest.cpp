// The login page and the syslog server on the wire: fake switches on
// loopback, the main window's real sockets and queues.
#include "console/FilterServer.h"
#include "console/MainForm.h"
#include "console/ModuleFrame.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "pages/system/LoginPage.h"
#include "syslog/SyslogForm.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"
#include "tests/fakeswitch/FakeSwitch.h"

#include <QAction>
#include <QDomDocument>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kSwitchIp = 0x7F000002;  // 127.0.0.2

class TLoopbackFilter : public Filter::TFilterServer {
public:
    Filter::TFilterSettings* GetSettings() override { return &settings; }
    bool Accept(std::uint32_t address) override { return address != 0; }
    void GetTargets(TIpMaskList& targets) override { targets.push_back({0x7F000000, 0xFF000000}); }
    Filter::TFilterSettings settings;
};

}  // namespace

TEST(ConsoleOnTheWire, LoginPageLogsTheSwitchInAndOutAndSyslogReachesPageDialogAndExport)
{
    Intp::ResetDeviceTypes();
    Intp::InitDeviceTypes();
    Intp::TDeviceType type;
    type.Name = "Wire Model";
    type.PortNum = 8;
    ASSERT_EQ(Intp::RegisterDeviceType(&type, {"WIRE-8T"}), 1);

    FakeSwitch::TFleet fleet(0, 0);
    FakeSwitch::TSwitchSettings s;
    s.Mac = {0x02, 0x00, 0x00, 0x00, 0x00, 0x41};
    s.ProductId = "WIRE-8T";
    s.ObjectId = std::string(g_SupportedOid) + ".1.1";
    s.Factory.Name = "Wire-1";
    s.Factory.Ip = kSwitchIp;
    s.Factory.Netmask = 0xFF000000;
    fleet.Add(s);
    std::string error;
    ASSERT_TRUE(fleet.Start(&error)) << error;

    TMainForm::TOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.remotePort = fleet.Port();
    options.syslogPort = 0;  // any free port: the test sends to it on loopback
    options.trayIcon = false;
    TMainForm form(options);
    ASSERT_TRUE(form.Init());
    TLoopbackFilter filter;
    form.SetFilterServer(&filter);

    form.Action("acDiscovery")->trigger();
    Intp::TDevice* device = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            device = Intp::FindDevice(Intp::TMacAddr(2, 0, 0, 0, 0, 0x41), false);
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
    EXPECT_TRUE(fleet.IsLoggedIn(0, 0x7F000001));

    login->m_Logout->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return login->RowImage(device) == TModuleBasics::liLoggedOut; }, 5000));
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_FALSE(fleet.IsLoggedIn(0, 0x7F000001));

    // A syslog datagram from the switch's address.
    ASSERT_NE(form.SyslogQueue(), nullptr);
    ASSERT_NE(form.SyslogQueue()->LocalPort(), 0);
    auto* events = dynamic_cast<TSyslogFrame*>(form.GetSyslogServer());
    ASSERT_NE(events, nullptr);
    QUdpSocket sender;
    ASSERT_TRUE(sender.bind(QHostAddress(kSwitchIp), 0));
    const QByteArray text = "<13>Dec  7 06:00:00 Wire-1 Port 3 link up";
    sender.writeDatagram(text, QHostAddress::LocalHost, form.SyslogQueue()->LocalPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return events->Count(kSwitchIp) == 1; }, 5000));

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
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(&file));
    EXPECT_EQ(doc.documentElement().tagName(), "Syslog");
    EXPECT_EQ(doc.documentElement().elementsByTagName("Entry").count(), 1);
    EXPECT_TRUE(doc.toString().contains("Port 3 link up"));
    fleet.Stop();
}
