#include "console/MainActions.h"

#include "console/AboutDialog.h"
#include "console/ConfigActions.h"
#include "console/FilterForm.h"
#include "console/Icons.h"
#include "console/MainForm.h"
#include "console/ScanDialog.h"
#include "console/WizardsModule.h"
#include "intp/SystemSettings.h"
#include "intp/NetUtils.h"
#include "intp/Operations.h"
#include "pages/kit/AddressText.h"
#include "pages/kit/FilterServer.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/Requests.h"
#include "pages/kit/StatusServer.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include <chrono>

int g_DiscoveryTicks = 0;

namespace {

bool IsSettingsReadRunning(const Intp::TDevice* device)
{
    return Intp::CountOutstanding(Intp::ccBasicsSettingsGet, device->GetMac()) != 0;
}

// The discovery chain: each step starts the next on success.
class TFindHook : public Intp::TWizard {
public:
    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void*) override
    {
        if (status != Intp::ssOk || !device)
            return;
        switch (code) {
        case Intp::ccIntpFind:
            if (Filter::TFilterServer* filter = g_ModuleCallback ? g_ModuleCallback->GetFilterServer() : nullptr) {
                if (!filter->Accept(device->GetIp()))
                    return;
                if (device->GetType() == 0)
                    return;
            }
            if (m_AddToMonitor)
                m_AddToMonitor(device);
            // A switch answers every find it hears (broadcasts through
            // several interfaces, repeated discoveries): one read at a time.
            if (!IsSettingsReadRunning(device))
                StartRequest<Intp::TSessionBasicsSettingsGet>(device, this);
            break;
        case Intp::ccBasicsSettingsGet:
            StartRequest<Intp::TSessionBasicsIPConfGet>(device, this);
            break;
        case Intp::ccBasicsIPConfGet:
            StartRequest<Intp::TSessionIntpSipGet>(device, this);
            break;
        default:
            break;
        }
    }

    std::function<void(Intp::TDevice*)> m_AddToMonitor;
};

TFindHook g_FindHook;

}  // namespace

Intp::TWizard* GetFindHook() { return &g_FindHook; }

TMainActions::TMainActions(TMainForm* form) : QObject(form), m_Form(form)
{
    m_Timer4 = new QTimer(this);
    m_Timer4->setInterval(400);
    connect(m_Timer4, &QTimer::timeout, form, &TMainForm::Timer4Timer);
    m_FollowUpSlice = new QTimer(this);
    m_FollowUpSlice->setSingleShot(true);
    m_FollowUpSlice->setInterval(0);
    connect(m_FollowUpSlice, &QTimer::timeout, this, &TMainActions::ContinueFollowUp);
    g_FindHook.m_AddToMonitor = [](Intp::TDevice* device) {
        if (Status::TStatusServer* monitor = g_ModuleCallback ? g_ModuleCallback->GetStatusServer() : nullptr)
            monitor->AddDevice(device);
    };
}

TMainActions::~TMainActions() = default;

void TMainActions::ShowTreeMenu(QTreeWidget* tree, const QPoint& pos)
{
    QMenu menu(m_Form);
    for (const char* name :
         {"acLogin", "acLogout", "acReboot", "acOpenWeb", "", "acRefresh", "acRefreshAll", "", "acDiscovery"}) {
        if (*name)
            menu.addAction(Action(name));
        else
            menu.addSeparator();
    }
    menu.exec(tree->viewport()->mapToGlobal(pos));
}

QAction* TMainActions::Action(const QString& name) const
{
    for (QAction* action : m_Actions) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

void TMainActions::CreateActions()
{
    struct TDef {
        const char* name;
        const char* caption;
        QList<QKeySequence> keys;
        TIconKind icon;
        void (TMainForm::*handler)();
    };
    const TDef defs[] = {
        {"acDiscovery",
         "&Discovery",
         {QKeySequence(Qt::CTRL | Qt::Key_D)},
         ikDiscovery,
         &TMainForm::EventOnDiscoveryExecute},
        {"acFilter",
         "Discovery &Filter",
         {QKeySequence(Qt::CTRL | Qt::Key_F)},
         ikFilter,
         &TMainForm::EventOnFilterExecute},
        {"acLogin", "&Login", {QKeySequence(Qt::CTRL | Qt::Key_L)}, ikLogin, &TMainForm::EventOnLoginExecute},
        {"acReboot", "Re&boot", {QKeySequence(Qt::CTRL | Qt::Key_B)}, ikReboot, &TMainForm::EventOnRebootExecute},
        {"acRefresh",
         "&Refresh",
         {QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)},
         ikRefresh,
         &TMainForm::EventOnRefreshExecute},
        {"acExit", "E&xit", {QKeySequence(Qt::CTRL | Qt::Key_X)}, ikExit, &TMainForm::EventOnExitExecute},
        {"acAbout", "&About", {QKeySequence(Qt::Key_F1)}, ikAbout, &TMainForm::EventOnAboutExecute},
        {"acOpenWeb", "Open &Web", {QKeySequence(Qt::CTRL | Qt::Key_W)}, ikInternet, &TMainForm::EventOnOpenWebExecute},
        {"acRefreshAll", "Refresh &All", {}, ikRefreshAll, &TMainForm::EventOnRefreshAllExecute},
        {"acLogout", "Log&out", {}, ikLogout, &TMainForm::EventOnLogoutExecute},
        {"acLoadConfig",
         "Load Config",
         {QKeySequence(Qt::CTRL | Qt::Key_O)},
         ikOpen,
         &TMainForm::EventOnLoadConfigExecute},
        {"acSaveConfig",
         "Save Config",
         {QKeySequence(Qt::CTRL | Qt::Key_S)},
         ikSave,
         &TMainForm::EventOnSaveConfigExecute},
        {"acScan", "&Scan Devices ...", {QKeySequence(Qt::CTRL | Qt::Key_N)}, ikScan, &TMainForm::EventOnScanExecute},
        {"acGroupIpWizard",
         "Group IP Wizard",
         {QKeySequence(Qt::CTRL | Qt::Key_I)},
         ikWizard,
         &TMainForm::EventOnGroupIPWizardExecute},
        {"acGroupFwWizard", "Group Firmware Wizard", {}, ikWizard, &TMainForm::EventOnGroupFwWizardExecute},
    };
    for (const TDef& def : defs) {
        auto* action = new QAction(ConsoleIcon(def.icon), tr(def.caption), m_Form);
        action->setObjectName(def.name);
        action->setShortcuts(def.keys);
        connect(action, &QAction::triggered, m_Form, def.handler);
        m_Actions.push_back(action);
    }
    auto* preference = new QAction(tr("&Preference"), m_Form);
    preference->setObjectName("acPreference");
    preference->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    preference->setVisible(false);
    preference->setEnabled(false);
    m_Actions.push_back(preference);
    for (QAction* action : m_Actions)
        m_Form->addAction(action);
}

void TMainActions::CreateMenus()
{
    auto add = [this](QWidget* menu, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            if (*name)
                menu->addAction(Action(name));
            else if (auto* m = qobject_cast<QMenu*>(menu))
                m->addSeparator();
            else if (auto* t = qobject_cast<QToolBar*>(menu))
                t->addSeparator();
        }
    };
    QMenu* task = m_Form->menuBar()->addMenu(tr("&Task"));
    add(task, {"acDiscovery", "acFilter", "acScan", "", "acLogin", "acLogout", "acReboot", "acOpenWeb", "", "acRefresh",
               "acRefreshAll", "", "acExit"});
    m_SettingsMenu = m_Form->menuBar()->addMenu(tr("&Settings"));
    add(m_SettingsMenu, {"acLoadConfig", "acSaveConfig", "", "acPreference"});
    QMenu* help = m_Form->menuBar()->addMenu(tr("&Help"));
    add(help, {"acAbout"});

    QToolBar* bar = m_Form->addToolBar(tr("Tools"));
    bar->setObjectName("ToolBar");
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    add(bar, {"acDiscovery", "acFilter", "", "acLogin", "acLogout", "acReboot", "acOpenWeb", "", "acRefresh",
              "acRefreshAll", "", "acGroupIpWizard", "acGroupFwWizard", "", "acAbout"});
}

void TMainActions::EventOnDiscoveryExecute()
{
    m_FollowUpSlice->stop();
    m_FollowUp.clear();
    m_Timer4->start();
    m_Form->ClearDeviceNodes();
    Intp::DeleteAllDevices();
    TIpMaskList targets;
    if (Filter::TFilterServer* filter = m_Form->GetFilterServer())
        filter->GetTargets(targets);
    // Only this discovery's replies may re-type a switch.
    Intp::TSessionIntpFind::ForgetFinds();
    for (const TIpMask& target : targets)
        Intp::TSessionIntpFind::SendFind(GetFindHook(), target.Address | ~target.Mask, target.Mask);
}

void TMainActions::Timer4Timer()
{
    const auto start = std::chrono::steady_clock::now();
    QTreeWidgetItem* listed = m_Form->DevicesNode();
    if (!listed || listed->childCount() == 0)
        return;
    ++g_DiscoveryTicks;
    TDeviceList devices;
    m_Form->GetListedDevices(devices);
    m_FollowUp.clear();
    m_FollowUp.reserve(devices.size());
    for (const Intp::TDevice* device : devices)
        m_FollowUp.push_back(device->GetMac());
    m_FollowUpNext = 0;
    m_FollowUpMissing = false;
    FollowUpSlice(start);
}

void TMainActions::FollowUpSlice(std::chrono::steady_clock::time_point start)
{
    const auto end = start + std::chrono::milliseconds(FollowUpSliceMs);
    for (; m_FollowUpNext < m_FollowUp.size(); ++m_FollowUpNext) {
        if (m_FollowUpNext % 64 == 63 && std::chrono::steady_clock::now() >= end) {
            m_FollowUpSlice->start();
            return;
        }
        // A switch that went meanwhile (a discovery) is passed over.
        Intp::TDevice* device = Intp::FindDevice(m_FollowUp[m_FollowUpNext], false);
        if (!device || Intp::Property<Intp::TPropertyBasicsSettings>::Get(device).valid)
            continue;
        m_FollowUpMissing = true;
        // Still one read per switch, but asked again on every tick: a lost
        // datagram, or a read sent to an address the switch left, costs a
        // tick. The read keeps its wizard, so the chain goes on from it.
        if (Intp::TSession* running = Intp::FindOutstanding(Intp::ccBasicsSettingsGet, device->GetMac()))
            running->Resend(device);
        else
            Intp::StartNew<Intp::TSessionBasicsSettingsGet>(device);
    }
    m_FollowUp.clear();
    if (!m_FollowUpMissing || g_DiscoveryTicks > 5) {
        m_Timer4->stop();
        g_DiscoveryTicks = 0;
        Intp::TSessionIntpFind::ForgetFinds();
    }
}

void TMainActions::EventOnFilterExecute()
{
    if (m_Form->FilterForm() && m_Form->FilterForm()->exec() == QDialog::Accepted)
        m_Form->EventOnDiscoveryExecute();
}

int TMainActions::CountTargets() const
{
    TDeviceList devices;
    return m_Form->GetTargetDevices(devices);
}

void TMainActions::EventOnLoginExecute()
{
    if (CountTargets() == 0)
        return;
    QString user;
    QString password;
    if (!m_Form->AskCredentials(user, password))
        return;
    Intp::TMd5Digest digest = LoginDigest(user, password);
    LoginSelectedDevices(digest.data(), nullptr);
}

void TMainActions::EventOnLogoutExecute()
{
    if (CountTargets() == 0)
        return;
    const std::uint8_t zero[16] = {};
    LoginSelectedDevices(zero, nullptr);
}

void TMainActions::EventOnRebootExecute()
{
    if (CountTargets() == 0 || !AskOkCancel(tr("Are you sure to reboot selected devices?")))
        return;
    RebootSelectedDevices(nullptr);
}

void TMainActions::EventOnRefreshExecute()
{
    if (TModule* page = m_Form->GetCurrentPage())
        page->Refresh(true);
}

void TMainActions::EventOnRefreshAllExecute()
{
    if (TModule* page = m_Form->GetCurrentPage())
        page->Refresh(false);
}

void TMainActions::EventOnExitExecute()
{
    if (!m_Form->MayClose())
        return;
    m_Form->StopReception();
    m_Form->close();
}

void TMainActions::EventOnAboutExecute()
{
    TAboutForm about(m_Form);
    about.exec();
}

void TMainActions::EventOnOpenWebExecute()
{
    TDeviceList devices;
    m_Form->GetTargetDevices(devices);
    for (Intp::TDevice* device : devices) {
        // Without a browser the user is told once, not once per switch.
        if (!OpenWebPage(QUrl(QStringLiteral("http://%1").arg(IpText(device->GetIp()))), m_Form->OpenUrlHook()))
            break;
    }
}

void TMainActions::EventOnGroupIPWizardExecute()
{
    m_Form->SelectPage(QString::fromLatin1(TWizardFrame::kGroupIpPath));
}

void TMainActions::EventOnGroupFwWizardExecute()
{
    m_Form->SelectPage(QString::fromLatin1(TWizardFrame::kGroupFwPath));
}

void TMainActions::EventOnLoadConfigExecute()
{
    if (LoadConsoleConfig(m_Form, m_Form->FilterForm()))
        m_Form->EventOnDiscoveryExecute();
}

void TMainActions::EventOnSaveConfigExecute() { SaveConsoleConfig(m_Form, m_Form->GetFilterServer(), m_Form); }

void TMainActions::EventOnScanExecute()
{
    if (m_Form->ScanForm())
        m_Form->ScanForm()->exec();
}
