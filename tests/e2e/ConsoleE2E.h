// The console against a fleet of fake switches across a veth pair: the
// fixture shared by the end-to-end test files. Runs in the console's
// namespace (test_e2e_console.sh); the fleet's socket is made in the
// switches' namespace named by E2E_SWITCH_NETNS.
#pragma once

#include "console/DeviceTypesFile.h"
#include "console/GroupFirmwareWizard.h"
#include "console/GroupIpWizard.h"
#include "pages/kit/FilterServer.h"
#include "console/MainForm.h"
#include "pages/kit/MessageBox.h"
#include "console/ModuleFrame.h"
#include "console/ScanDialog.h"
#include "console/StatusMonitor.h"
#include "console/WizardsModule.h"
#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "intp/Md5.h"
#include "intp/NetUtils.h"
#include "intp/Operations.h"
#include "intp/Redundancy.h"
#include "console/ModuleTree.h"
#include "intp/SecurityTables.h"
#include "intp/Vlan.h"
#include "intp/Warning.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/ports/Moduleredundancy_ring.h"
#include "pages/ports/Moduleredundancy_rstp.h"
#include "pages/security/ModuleSecurity_Mac.h"
#include "pages/security/vlan/ModuleVlan.h"
#include "pages/security/vlan/ModuleVlan_8021qPort.h"
#include "pages/security/vlan/ModuleVlan_PortBased.h"
#include "pages/warning/ModuleWarning_Event.h"
#include "pages/warning/ModuleWarning_Fault.h"
#include "pages/warning/ModuleWarning_Smtp.h"
#include "pages/warning/ModuleWarning_Syslog.h"
#include "pages/system/Banner.h"
#include "pages/system/BannerPanel.h"
#include "pages/system/Modulebasics_ipconf.h"
#include "pages/system/Modulebasics_password.h"
#include "pages/system/Modulebasics_settings.h"
#include "pages/system/Modulebasics_upgrade.h"
#include "tests/e2e/RawClient.h"
#include "tests/fakeswitch/FakeSwitch.h"
#include "tests/fakeswitch/FakeSwitchTransfer.h"
#include "tests/fakeswitch/ScanResponder.h"
#include "tests/pages/RunUntil.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>

using namespace std::chrono_literals;

// Not in an anonymous namespace: every test file must see one ConsoleE2E class.
namespace E2E {

constexpr uint32_t ConsoleIp = 0xC6120001;   // 198.18.0.1
constexpr uint32_t FirstSwitchIp = 0xC6120101; // 198.18.1.1
constexpr uint32_t SubnetMask = 0xFFFE0000;  // /15
constexpr uint32_t DirectedBroadcast = 0xC613FFFF;
const char *const Password = "secret";

struct TModelUnderTest {
    Intp::TDeviceType Type; // name and counts
    std::string ProductId;
};

// The first model of the shipped model table, as the program would load it;
// a model of our own where there is none.
inline TModelUnderTest LoadModelTable()
{
    Intp::InitDeviceTypes();
    std::ifstream file(CONSOLE_DEVICES_DEV, std::ios::binary);
    if (file && LoadDeviceTypes(file, RegisterFileModel)) {
        for (const auto &m : FakeSwitch::LoadModels(CONSOLE_DEVICES_DEV))
            if (!m.ProductIds.empty())
                return {m.Type, m.ProductIds.front()};
    }
    Intp::TDeviceType record;
    record.Name = "E2E Switch 8";
    record.PortNum = 8;
    record.SmtpRecipientNum = 2;
    Intp::RegisterDeviceType(&record, {"E2E-SW-8"});
    return {record, "E2E-SW-8"};
}

inline const TModelUnderTest &Model()
{
    static const TModelUnderTest model = LoadModelTable();
    return model;
}

class TSubnetFilter : public Filter::TFilterServer {
public:
    Filter::TFilterSettings *GetSettings() override { return &m_Settings; }
    // As the console's own filter: the subnet, never address 0 (a rebooted switch).
    bool Accept(uint32_t address) override
    {
        return address != 0 && (address & SubnetMask) == (ConsoleIp & SubnetMask);
    }
    void GetTargets(TIpMaskList &targets) override { targets.push_back({ConsoleIp, SubnetMask}); }

private:
    Filter::TFilterSettings m_Settings;
};

class ConsoleE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char *ns = getenv("E2E_SWITCH_NETNS");
        if (!ns)
            GTEST_SKIP() << "needs the namespaces of test_e2e_console.sh";
        m_Fleet.SetNetworkNamespace(ns);
        m_OldHook = SetMessageBoxHook([](const TMessageBoxRequest &) { return QMessageBox::Ok; });
    }

    void TearDown() override
    {
        // A test that ended early leaves no hook that reaches its locals.
        SetMessageBoxHook([](const TMessageBoxRequest &) { return QMessageBox::Ok; });
        if (m_Form) {
            m_Form->Shutdown();
            m_Form.reset();
        }
        m_Fleet.Stop();
        SetMessageBoxHook(m_OldHook);
        // Every request of the console had its command's size.
        EXPECT_EQ(m_Fleet.MalformedRequests(), 0u);
    }

    void StartFleet(size_t count) { StartFleetOf({{Model().Type, {Model().ProductId}}}, count); }

    // Switch i is of models[i] (the last model for the rest), with its first
    // product id, answering as its generation.
    void StartFleetOf(const std::vector<FakeSwitch::TModel> &models, size_t count)
    {
        Model(); // the console knows the shipped models
        for (size_t i = 0; i < count; ++i) {
            const FakeSwitch::TModel &model = models[std::min(i, models.size() - 1)];
            FakeSwitch::TSwitchSettings s = SettingsOf(i, model.ProductIds.front(), model.Type, std::to_string(i + 1));
            s.SecondGeneration = model.SecondGeneration;
            m_Fleet.Add(s);
            m_TypeNames.push_back(model.Type.Name);
        }
        std::string error;
        Require(m_Fleet.Start(&error), error);
        m_Count = count;
    }

    // The first shipped model that pick answers true for, with the product id
    // it was picked by first.
    static FakeSwitch::TModel ShippedModel(const std::function<bool(const FakeSwitch::TModel &)> &pick,
                                           const std::string &productId = {})
    {
        for (FakeSwitch::TModel m : FakeSwitch::LoadModels(CONSOLE_DEVICES_DEV))
            if (!m.ProductIds.empty() && pick(m)) {
                if (!productId.empty())
                    m.ProductIds = {productId};
                return m;
            }
        Require(false, "no shipped model fits");
        return {};
    }
    static FakeSwitch::TModel ShippedModel(const std::string &productId)
    {
        return ShippedModel(
            [&](const FakeSwitch::TModel &m) {
                return std::find(m.ProductIds.begin(), m.ProductIds.end(), productId) != m.ProductIds.end();
            },
            productId);
    }

    // The console opened, every switch discovered, selected and logged in to.
    void OpenLoggedIn()
    {
        OpenConsole();
        DiscoverAll();
        SelectAll();
        LogInAll();
    }

    // Waits until every switch of the fleet answers true.
    template <class TCheck>
    bool OnEvery(TCheck check)
    {
        return RunUntil(
            [&] {
                for (size_t i = 0; i < m_Count; ++i)
                    if (!check(m_Fleet.Snapshot(i)))
                        return false;
                return true;
            },
            30s);
    }

    // A helper's failed step ends the whole test: GoogleTest reports the
    // exception and runs TearDown. (An ASSERT would end the helper only, and
    // the test would go on with switches or pages that are not there.)
    static void Require(bool done, const std::string &what)
    {
        if (!done)
            throw std::runtime_error(what);
    }

    void OpenConsole()
    {
        TMainForm::TOptions options;
        options.openSyslog = false;
        options.trayIcon = false;
        g_DiscoveryTicks = 0; // a window of an earlier test may have left its follow-up running
        m_Form = std::make_unique<TMainForm>(options);
        Require(m_Form->Init(), "the main window did not initialise");
        m_Form->SetFilterServer(&m_Filter);
        m_Form->SetCredentialsHook([](QString &user, QString &password) {
            user = QStringLiteral("admin");
            password = QString::fromLatin1(Password);
            return true;
        });
        m_Form->show();
    }

    // Switch i of the subnet, named "E2E-<name>".
    static FakeSwitch::TSwitchSettings SettingsOf(size_t i, const std::string &productId,
                                                  const Intp::TDeviceType &model, const std::string &name)
    {
        FakeSwitch::TSwitchSettings s;
        s.Mac = MacOf(i);
        s.ProductId = productId;
        s.Model = model;
        s.Factory.Name = "E2E-" + name;
        s.Factory.Ip = FirstSwitchIp + uint32_t(i);
        s.Factory.Netmask = SubnetMask;
        s.Factory.Password = Password;
        s.ObjectId = std::string("1.3.6.1.4.1.") + g_SupportedOid + ".1";
        return s;
    }

    static FakeSwitch::TMac MacOf(size_t i)
    {
        return {0x02, 0x00, 0x5E, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i + 1)};
    }

    Intp::TDevice *DeviceOf(size_t i) const
    {
        return Intp::FindDevice(Intp::TMacAddr(MacOf(i).data()), false);
    }

    std::vector<Intp::TDevice *> Devices() const
    {
        std::vector<Intp::TDevice *> devices;
        for (size_t i = 0; i < m_Count; ++i)
            devices.push_back(DeviceOf(i));
        return devices;
    }

    // Every switch's latest read of R is good: a change builds on each one's own.
    template <class R> bool EveryRead(std::chrono::milliseconds within = std::chrono::seconds(5)) const
    {
        return RunUntil([&] {
            const std::vector<Intp::TDevice *> devices = Devices();
            return std::all_of(devices.begin(), devices.end(),
                               [](Intp::TDevice *d) { return d && d->LatestRead<R>(); });
        }, within);
    }

    bool Listed(size_t i) const
    {
        Intp::TDevice *d = DeviceOf(i);
        const std::string &model = i < m_TypeNames.size() ? m_TypeNames[i] : Model().Type.Name;
        return d && m_Form->FindDeviceNode(d) && d->GetTypeName() == model;
    }

    // Listed with the whole discovery chain done (settings, IP configuration, IntpSip).
    bool Discovered(size_t i) const
    {
        Intp::TDevice *d = DeviceOf(i);
        return Listed(i) && Intp::Property<Intp::TPropertyBasicsSettings>::Get(d).valid &&
               Intp::Property<Intp::TPropertyBasicsIPConf>::Get(d).valid &&
               Intp::Property<Intp::TPropertyIntpSip>::Get(d).valid;
    }

    bool AllDiscovered() const
    {
        for (size_t i = 0; i < m_Count; ++i)
            if (!Discovered(i))
                return false;
        return true;
    }

    void DiscoverAll()
    {
        m_Form->EventOnDiscoveryExecute();
        Require(RunUntil([&] { return AllDiscovered(); }, 10s),
                "discovered " + std::to_string(ListedCount()) + " of " + std::to_string(m_Count) + " switches");
    }

    size_t ListedCount() const
    {
        size_t n = 0;
        for (size_t i = 0; i < m_Count; ++i)
            n += Listed(i);
        return n;
    }

    void SelectAll() { Require(m_Form->SelectDeviceNodes(Devices()), "cannot select every switch"); }

    // Selects switches and logs in to them.
    void SelectAndLogIn(const std::vector<size_t> &switches)
    {
        std::vector<Intp::TDevice *> devices;
        for (size_t i : switches)
            devices.push_back(DeviceOf(i));
        Require(m_Form->SelectDeviceNodes(devices), "cannot select the switches");
        m_Form->EventOnLoginExecute();
        Require(RunUntil(
            [&] {
                for (size_t i : switches)
                    if (!m_Fleet.IsLoggedIn(i, ConsoleIp) || !DeviceOf(i)->IsLoggedIn())
                        return false;
                return true;
            },
            30s), "the login did not reach every switch");
    }

    void LogInAll()
    {
        m_Form->EventOnLoginExecute();
        Require(RunUntil(
            [&] {
                for (size_t i = 0; i < m_Count; ++i)
                    if (!DeviceOf(i)->IsLoggedIn())
                        return false;
                return true;
            },
            30s), "the login did not reach every switch");
    }

    // Selects the device page of type T in the page tree as a user would and
    // waits until it shows itself.
    template <class T>
    T *ShowDevicePage()
    {
        QTreeWidget *tree = m_Form->ModuleFrame()->ModuleTree();
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            if (auto *page = dynamic_cast<T *>(TModuleFrame::ModuleOf(*it))) {
                tree->setCurrentItem(*it);
                Require(RunUntil([&] { return page->isVisible(); }, 30s), "the page did not show");
                return page;
            }
        }
        Require(false, "no node for the page");
        return nullptr;
    }

    // The scan dialog shown, with the adapter picked as a user would.
    TScanForm *ShowScanForm(const char *adapter)
    {
        TScanForm *form = m_Form->ScanForm();
        form->show();
        const int line = form->Interfaces()->findText(QString::fromLatin1(adapter));
        Require(line >= 0, std::string("the scan dialog does not list ") + adapter);
        emit form->Interfaces()->activated(line);
        return form;
    }

    TStatusFrame *Monitor() const { return dynamic_cast<TStatusFrame *>(m_Form->GetStatusServer()); }

    // The page of the "Devices" page tree with that caption, selected as a click would.
    TModule *SelectDevicePage(const QString &caption)
    {
        QTreeWidget *tree = m_Form->ModuleFrame()->ModuleTree();
        const QList<QTreeWidgetItem *> found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        if (found.isEmpty())
            return nullptr;
        tree->setCurrentItem(found.front());
        return TModuleFrame::ModuleOf(found.front());
    }

    // The whole main window as shown, saved to the artifacts folder when one is set.
    void Screenshot(const QString &name)
    {
        const QString artifacts = qEnvironmentVariable("E2E_ARTIFACTS_DIR");
        if (artifacts.isEmpty())
            return;
        QDir().mkpath(artifacts);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const QString path = artifacts + "/e2e_" + name + ".png";
        EXPECT_TRUE(m_Form->grab().save(path)) << path.toStdString();
    }

    FakeSwitch::TFleet m_Fleet{0, FakeSwitch::ProtocolPort};
    TSubnetFilter m_Filter;
    std::unique_ptr<TMainForm> m_Form;
    TMessageBoxHook m_OldHook;
    size_t m_Count = 0;
    std::vector<std::string> m_TypeNames; // switch i's model name
};

// A page of the "Devices" page, read for the selected switches and filled
// as its own read's notification would fill it.
template <class TPage, class TGet>
TPage *ReadPage(TMainForm &form, TPageId id, bool current = true)
{
    auto *page = dynamic_cast<TPage *>(FindBuiltModule(form.ModuleFrame(), id));
    if (!page)
        return nullptr;
    Intp::TDevice *device = nullptr;
    form.GetCurrentDevice(device);
    page->Refresh(current);
    // Every selected switch's record: a change builds on each one's own.
    TDeviceList targets;
    form.GetTargetDevices(targets);
    for (Intp::TDevice *target : targets)
        if (!RunUntil([&] { return target->LatestRead<typename TGet::Record>() != nullptr; }, 30s))
            return nullptr;
    page->OnNotify(device, TGet::CommandCode, 0);
    return page;
}

} // namespace E2E

using namespace E2E;
