// The main window against a fleet of fake switches on loopback: discovery,
// the follow-up reads and login, through the real socket and queue.
#include "FakePages.h"

#include "console/FilterServer.h"
#include "console/MainForm.h"
#include "console/MessageBox.h"
#include "intp/Device.h"
#include "tests/fakeswitch/FakeSwitch.h"

#include <QAction>
#include <QTest>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kFirstSwitch = 0x7F000002;

}  // namespace

TEST(ShellLoopback, DiscoveryListsTheSwitchesAndReadsTheirSettings)
{
    Intp::ResetDeviceTypes();
    Intp::InitDeviceTypes();
    Intp::TDeviceType type;
    type.Name = "Loopback Model";
    type.PortNum = 8;
    ASSERT_EQ(Intp::RegisterDeviceType(&type, {"LOOP-8T"}), 1);

    FakeSwitch::TFleet fleet(0, 0);
    for (std::uint8_t i = 0; i < 2; ++i) {
        FakeSwitch::TSwitchSettings s;
        s.Mac = {0x02, 0x00, 0x00, 0x00, 0x00, std::uint8_t(0x31 + i)};
        s.ProductId = "LOOP-8T";
        s.ObjectId = std::string(g_SupportedOid) + ".1.1";
        s.Factory.Name = "Loop-" + std::to_string(i + 1);
        s.Factory.Ip = kFirstSwitch + i;
        s.Factory.Netmask = 0xFF000000;
        fleet.Add(s);
    }
    std::string error;
    ASSERT_TRUE(fleet.Start(&error)) << error;

    TMainForm::TOptions options;
    options.bindAddress = QHostAddress(QHostAddress::LocalHost);
    options.remotePort = fleet.Port();
    options.openSyslog = false;
    options.trayIcon = false;
    TMainForm form(options);
    ASSERT_TRUE(form.Init());
    TFakeFilter filter;
    filter.targets = {{0x7F000000, 0xFF000000}};
    form.SetFilterServer(&filter);

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
    EXPECT_TRUE(fleet.IsLoggedIn(0, 0x7F000001));
    fleet.Stop();
}
