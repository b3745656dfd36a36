#include "console/MainForm.h"

#include "console/AboutDialog.h"
#include "console/ConfigActions.h"
#include "console/DeviceTypesFile.h"
#include "console/FilterForm.h"
#include "console/FilterServer.h"
#include "console/Icons.h"
#include "console/IntpSock.h"
#include "console/IntpSocketThread.h"
#include "console/LoginDialog.h"
#include "console/MessageBox.h"
#include "console/ModuleFrame.h"
#include "console/ProtocolHost.h"
#include "console/ScanDialog.h"
#include "console/StatusMonitor.h"
#include "console/TopologyLauncher.h"
#include "console/WizardsModule.h"
#include "pages/PageWidgets.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"
#include "intp/Basics.h"
#include "intp/DeviceType.h"
#include "intp/Maintenance.h"
#include "intp/NetUtils.h"
#include "intp/Operations.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

const char* g_SupportedOid = "32473";
int g_DiscoveryTicks = 0;

namespace {

int g_TreeGrouping = 0;  // read by the group nodes' compare rule

}  // namespace

// One node of the main tree: a page, a group of devices or a device.
class TTreeNode : public QTreeWidgetItem {
public:
    enum TKind { nkPage, nkGroup, nkDevice };
    static constexpr int kType = QTreeWidgetItem::UserType + 201;

    TTreeNode(TKind kind) : QTreeWidgetItem(kType), m_Kind(kind) {}

    TKind m_Kind;
    TModule* m_Page = nullptr;
    Intp::TDevice* m_Device = nullptr;
    bool m_HasKey = false;
    std::uint32_t m_Key[2] = {0, 0};
    int m_Image = -1;  // icon kind on show (devices)

    bool operator<(const QTreeWidgetItem& other) const override
    {
        if (other.type() != kType)
            return QTreeWidgetItem::operator<(other);
        const auto& o = static_cast<const TTreeNode&>(other);
        if (m_Kind == nkGroup && o.m_Kind == nkGroup && m_HasKey && o.m_HasKey) {
            switch (g_TreeGrouping) {
            case TMainForm::gIpAddress:
                return m_Key[0] < o.m_Key[0];
            case TMainForm::gFilterMethod:
                return m_Key[0] != o.m_Key[0] ? m_Key[0] < o.m_Key[0] : m_Key[1] < o.m_Key[1];
            default:
                return std::int32_t(m_Key[0]) < std::int32_t(o.m_Key[0]);
            }
        }
        if (m_Kind == nkDevice && o.m_Kind == nkDevice && m_Device && o.m_Device)
            return m_Device->GetIp() < o.m_Device->GetIp();
        return text(0).toUtf8() < o.text(0).toUtf8();
    }
};

namespace {

TTreeNode* AsNode(QTreeWidgetItem* item)
{
    return item && item->type() == TTreeNode::kType ? static_cast<TTreeNode*>(item) : nullptr;
}

void DeviceImage(TTreeNode* node)
{
    const Intp::TDevice* d = node->m_Device;
    const TIconKind kind = DeviceIconKind(d->TestFlags(Intp::dfLoggedIn), d->TestFlags(Intp::dfWarning));
    // Unchanged images cost the view nothing.
    if (node->m_Image == int(kind))
        return;
    node->m_Image = int(kind);
    node->setIcon(0, ConsoleIcon(kind));
}

// Starts a new request with its progress callback; deletes it when it can't
// start. setup fills the request first.
template <class R, class TSetup>
bool StartRequest(Intp::TDevice* device, Intp::TWizard* wizard, TSetup setup)
{
    auto* request = new R;
    setup(*request);
    if (request->Start(device, wizard))
        return true;
    delete request;
    return false;
}

template <class R>
bool StartRequest(Intp::TDevice* device, Intp::TWizard* wizard)
{
    return StartRequest<R>(device, wizard, [](R&) {});
}

// One request per target device; answers the number started.
template <class R, class TSetup>
int StartForTargets(Intp::TWizard* wizard, TSetup setup)
{
    if (!g_ModuleCallback)
        return 0;
    TDeviceList devices;
    g_ModuleCallback->GetTargetDevices(devices);
    int started = 0;
    for (Intp::TDevice* device : devices)
        started += StartRequest<R>(device, wizard, setup) ? 1 : 0;
    return started;
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
                if (device->GetType() == 0 || !filter->Accept(device->GetIp()))
                    return;
            }
            if (m_AddToMonitor)
                m_AddToMonitor(device);
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

// ---------------------------------------------------------------------------
// Construction and shutdown

TMainForm::TMainForm(const TOptions& options, QWidget* parent) : QMainWindow(parent), m_Options(options)
{
    m_Host = new TProtocolHost(this);
    m_Host->SetPageNotify([this](Intp::TDevice* d, std::uint16_t c, std::uint16_t s) { NotifyCurrentPage(d, c, s); });
    m_Timer4 = new QTimer(this);
    m_Timer4->setInterval(400);
    connect(m_Timer4, &QTimer::timeout, this, &TMainForm::Timer4Timer);
}

TMainForm::~TMainForm()
{
    Shutdown();
    // The tree's width follows it no longer.
    if (m_Tree) {
        QObject::disconnect(m_Tree->model(), nullptr, this, nullptr);
        QObject::disconnect(m_Tree, &QTreeView::expanded, this, nullptr);
        QObject::disconnect(m_Tree, &QTreeView::collapsed, this, nullptr);
    }
    delete m_TreeWidthTimer;
    m_TreeWidthTimer = nullptr;
    // Pages go before the widgets that hold their frames.
    {
        QSignalBlocker blocker(m_Tree);
        if (m_Tree)
            m_Tree->clear();
    }
    m_DevicesNode = m_RootNode = m_WizardsNode = nullptr;
    m_Current = nullptr;
    m_Selection.clear();
    m_StatusServer = nullptr;
    m_SyslogServer = nullptr;
    m_FilterServer = nullptr;
    delete m_ModuleFrame;
    m_ModuleFrame = nullptr;
    while (!m_OwnedPages.empty())
        m_OwnedPages.pop_back();
}

bool TMainForm::Init()
{
    if (m_Initialised)
        return true;
    m_Initialised = true;

    // 1. Images, caption.
    setWindowTitle(kApplicationTitle);
    setWindowIcon(ConsoleIcon(ikDevice));

    auto* central = new QWidget(this);
    m_TreeSort = new QComboBox(central);
    m_TreeSort->addItems({tr("None"), tr("Model"), tr("IP Address"), tr("Filter Method")});
    const TTreePane pane = BuildTreePane(central, tr("&Sort Devices By:"), m_TreeSort);
    central->layout()->setContentsMargins(2, 2, 2, 2);
    m_Tree = pane.tree;
    m_Tree->setContextMenuPolicy(Qt::CustomContextMenu);
    // Every row is one line of text beside an icon: the view lays rows out
    // without asking each item for its size.
    m_Tree->setUniformRowHeights(true);
    // Long device texts scroll rather than being cut. The column follows
    // its contents at most every 40 ms, however many replies change the
    // tree meanwhile (a header in resize-to-contents mode measures every
    // row on each single change).
    m_Tree->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_Tree->header()->setStretchLastSection(false);
    m_TreeWidthTimer = new QTimer(this);
    m_TreeWidthTimer->setSingleShot(true);
    m_TreeWidthTimer->setInterval(40);
    connect(m_TreeWidthTimer, &QTimer::timeout, this, [this] {
        if (m_Tree)
            m_Tree->resizeColumnToContents(0);
    });
    auto fitLater = [this] {
        if (m_TreeWidthTimer && !m_TreeWidthTimer->isActive())
            m_TreeWidthTimer->start();
    };
    // Images are all of one size: only texts change the width.
    connect(m_Tree->model(), &QAbstractItemModel::dataChanged, this,
            [fitLater](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
                    fitLater();
            });
    connect(m_Tree->model(), &QAbstractItemModel::rowsInserted, this, fitLater);
    connect(m_Tree->model(), &QAbstractItemModel::rowsRemoved, this, fitLater);
    connect(m_Tree->model(), &QAbstractItemModel::layoutChanged, this, fitLater);
    connect(m_Tree, &QTreeView::expanded, this, fitLater);
    connect(m_Tree, &QTreeView::collapsed, this, fitLater);
    m_FuncPages = pane.right;
    auto* pagesLayout = new QGridLayout(m_FuncPages);
    pagesLayout->setContentsMargins(0, 0, 0, 0);
    pane.splitter->setSizes({280, 920});
    setCentralWidget(central);
    statusBar();

    CreateActions();
    CreateMenus();

    // 2. Page host and protocol host.
    g_ModuleCallback = this;
    Intp::SetDeviceCallback(this);
    Intp::SetSessionCallback(this);

    // 3. Reception.
    m_IntpQueue = new TIntpSocketThread(
        [](std::uint32_t address, std::uint32_t length, std::uint8_t* data) {
            Intp::DispatchPacket(address, length, data);
        },
        this);
    m_IntpSock = new TIntpSock(m_IntpQueue, this);
    m_IntpSock->SetRemotePort(m_Options.remotePort);
    m_Host->SetSocket(m_IntpSock);
    if (!m_IntpSock->Open(m_Options.bindAddress, m_Options.bindPort))
        qWarning("cannot open the protocol socket");

    // Dialogs.
    m_FilterForm = new TFilterForm(this);
    m_FilterServer = m_FilterForm;
    m_ScanForm = new TScanForm(this);
    g_FindHook.m_AddToMonitor = [](Intp::TDevice* device) {
        if (Status::TStatusServer* monitor = g_ModuleCallback ? g_ModuleCallback->GetStatusServer() : nullptr)
            monitor->AddDevice(device);
    };

    // 4.-8. Page tree.
    auto root = std::make_unique<TModuleDummy>(QString::fromLatin1(kApplicationTitle));
    m_RootNode = AsNode(AddOwnedPageNode(std::move(root), nullptr, tiRoot));

    m_ModuleFrame = new TModuleFrame();
    g_ModuleFrame = m_ModuleFrame;
    m_DevicesNode = AsNode(AddPageNode(m_ModuleFrame, m_RootNode, tiDevices));
    g_ModuleLayout = 0;
    BuildModuleTree(this, m_ModuleFrame, 0);

    BuildMainPages();
    if (m_ShutDown)
        return false;

    // 9. Wizard actions, root selected, settings, whole tree expanded.
    ShowSelection(m_RootNode, {m_RootNode});
    m_Current = m_RootNode;
    m_Selection = {m_RootNode};
    m_Tree->expandAll();

    connect(m_Tree, &QTreeWidget::currentItemChanged, this, [this] { PostSelectionCheck(); });
    connect(m_Tree, &QTreeWidget::itemSelectionChanged, this, [this] { PostSelectionCheck(); });
    connect(m_TreeSort, &QComboBox::currentIndexChanged, this, &TMainForm::EventOnTreeSortChange);
    connect(m_Tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        for (const char* name : {"acLogin", "acLogout", "acReboot", "acOpenWeb", "", "acRefresh", "acRefreshAll", "",
                                 "acDiscovery"}) {
            if (*name)
                menu.addAction(Action(name));
            else
                menu.addSeparator();
        }
        menu.exec(m_Tree->viewport()->mapToGlobal(pos));
    });

    if (m_Options.trayIcon && QSystemTrayIcon::isSystemTrayAvailable()) {
        m_TrayIcon = new QSystemTrayIcon(ConsoleIcon(ikDevice), this);
        m_TrayIcon->setToolTip(kApplicationTitle);
        auto* menu = new QMenu(this);
        menu->addAction(Action("acAbout"));
        menu->addSeparator();
        QAction* restore = menu->addAction(tr("&Restore"));
        connect(restore, &QAction::triggered, this, [this] {
            showNormal();
            activateWindow();
        });
        menu->addAction(Action("acExit"));
        m_TrayIcon->setContextMenu(menu);
        connect(m_TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick) {
                showNormal();
                activateWindow();
            }
        });
        m_TrayIcon->show();
    }
    return true;
}

void TMainForm::StopReception()
{
    if (m_ReceptionStopped)
        return;
    m_ReceptionStopped = true;
    if (m_Timer4)
        m_Timer4->stop();
    if (m_IntpSock)
        m_IntpSock->Close();
    if (m_IntpQueue)
        m_IntpQueue->Terminate();
    if (m_SyslogThread)
        m_SyslogThread->Stop();
    if (m_TrayIcon)
        m_TrayIcon->hide();
}

void TMainForm::Shutdown()
{
    if (m_ShutDown)
        return;
    StopReception();
    m_ShutDown = true;
    // End the outstanding requests while their host still exists, then clear
    // the registry and leave the library.
    if (Intp::GetSessionCallback() == this) {
        m_Host->EndAllSessions();
        if (Intp::GetDeviceCallback() == this) {
            ClearDeviceNodes();
            Intp::DeleteAllDevices();
        }
        Intp::SetSessionCallback(nullptr);
    }
    if (Intp::GetDeviceCallback() == this)
        Intp::SetDeviceCallback(nullptr);
    if (g_ModuleCallback == this)
        g_ModuleCallback = nullptr;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Exit may come from a modal box opened inside a delivery or a
    // notification; the registry is cleared only when the window goes,
    // after every nested loop has returned.
    StopReception();
    event->accept();
}

void TMainForm::changeEvent(QEvent* event)
{
    // Minimised to the tray only where a tray exists.
    if (event->type() == QEvent::WindowStateChange && m_TrayIcon && isMinimized())
        QTimer::singleShot(0, this, &QWidget::hide);
    QMainWindow::changeEvent(event);
}

QAction* TMainForm::Action(const QString& name) const
{
    for (QAction* action : m_Actions) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

void TMainForm::CreateActions()
{
    struct TDef {
        const char* name;
        const char* caption;
        QList<QKeySequence> keys;
        TIconKind icon;
        void (TMainForm::*handler)();
    };
    const TDef defs[] = {
        {"acDiscovery", "&Discovery", {QKeySequence(Qt::CTRL | Qt::Key_D)}, ikDiscovery,
         &TMainForm::EventOnDiscoveryExecute},
        {"acFilter", "Discovery &Filter", {QKeySequence(Qt::CTRL | Qt::Key_F)}, ikFilter,
         &TMainForm::EventOnFilterExecute},
        {"acLogin", "&Login", {QKeySequence(Qt::CTRL | Qt::Key_L)}, ikLogin, &TMainForm::EventOnLoginExecute},
        {"acReboot", "Re&boot", {QKeySequence(Qt::CTRL | Qt::Key_B)}, ikReboot, &TMainForm::EventOnRebootExecute},
        {"acRefresh", "&Refresh", {QKeySequence(Qt::CTRL | Qt::Key_R), QKeySequence(Qt::Key_F5)}, ikRefresh,
         &TMainForm::EventOnRefreshExecute},
        {"acExit", "E&xit", {QKeySequence(Qt::CTRL | Qt::Key_X)}, ikExit, &TMainForm::EventOnExitExecute},
        {"acAbout", "&About", {QKeySequence(Qt::Key_F1)}, ikAbout, &TMainForm::EventOnAboutExecute},
        {"acOpenWeb", "Open &Web", {QKeySequence(Qt::CTRL | Qt::Key_W)}, ikInternet,
         &TMainForm::EventOnOpenWebExecute},
        {"acRefreshAll", "Refresh &All", {}, ikRefreshAll, &TMainForm::EventOnRefreshAllExecute},
        {"acLogout", "Log&out", {}, ikLogout, &TMainForm::EventOnLogoutExecute},
        {"acLoadConfig", "Load Config", {QKeySequence(Qt::CTRL | Qt::Key_O)}, ikOpen,
         &TMainForm::EventOnLoadConfigExecute},
        {"acSaveConfig", "Save Config", {QKeySequence(Qt::CTRL | Qt::Key_S)}, ikSave,
         &TMainForm::EventOnSaveConfigExecute},
        {"acScan", "&Scan Devices ...", {QKeySequence(Qt::CTRL | Qt::Key_N)}, ikScan, &TMainForm::EventOnScanExecute},
        {"acGroupIpWizard", "Group IP Wizard", {QKeySequence(Qt::CTRL | Qt::Key_I)}, ikWizard,
         &TMainForm::EventOnGroupIPWizardExecute},
        {"acGroupFwWizard", "Group Firmware Wizard", {}, ikWizard, &TMainForm::EventOnGroupFwWizardExecute},
    };
    for (const TDef& def : defs) {
        auto* action = new QAction(ConsoleIcon(def.icon), tr(def.caption), this);
        action->setObjectName(def.name);
        action->setShortcuts(def.keys);
        connect(action, &QAction::triggered, this, def.handler);
        m_Actions.push_back(action);
    }
    auto* preference = new QAction(tr("&Preference"), this);
    preference->setObjectName("acPreference");
    preference->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    preference->setVisible(false);
    preference->setEnabled(false);
    m_Actions.push_back(preference);
    for (QAction* action : m_Actions)
        addAction(action);
}

void TMainForm::CreateMenus()
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
    QMenu* task = menuBar()->addMenu(tr("&Task"));
    add(task, {"acDiscovery", "acFilter", "acScan", "", "acLogin", "acLogout", "acReboot", "acOpenWeb", "",
               "acRefresh", "acRefreshAll", "", "acExit"});
    m_SettingsMenu = menuBar()->addMenu(tr("&Settings"));
    add(m_SettingsMenu, {"acLoadConfig", "acSaveConfig", "", "acPreference"});
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    add(help, {"acAbout"});

    QToolBar* bar = addToolBar(tr("Tools"));
    bar->setObjectName("ToolBar");
    bar->setIconSize(QSize(24, 24));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setMovable(false);
    add(bar, {"acDiscovery", "acFilter", "", "acLogin", "acLogout", "acReboot", "acOpenWeb", "", "acRefresh",
              "acRefreshAll", "", "acGroupIpWizard", "acGroupFwWizard", "", "acAbout"});
}

QTreeWidgetItem* TMainForm::AddPageNode(TModule* page, QTreeWidgetItem* parent, int image)
{
    if (!page)
        return nullptr;
    if (QWidget* frame = page->GetFrame()) {
        frame->setParent(m_FuncPages);
        static_cast<QGridLayout*>(m_FuncPages->layout())->addWidget(frame, 0, 0);
        frame->hide();
    }
    auto* node = new TTreeNode(TTreeNode::nkPage);
    node->m_Page = page;
    node->setText(0, page->GetCaption());
    // Tree image numbers are the first icon kinds.
    if (image >= int(ikDevice) && image <= int(ikWizard))
        node->setIcon(0, ConsoleIcon(TIconKind(image)));
    if (parent)
        parent->addChild(node);
    else
        m_Tree->addTopLevelItem(node);
    return node;
}

QTreeWidgetItem* TMainForm::AddOwnedPageNode(std::unique_ptr<TModule> page, QTreeWidgetItem* parent, int image)
{
    QTreeWidgetItem* node = AddPageNode(page.get(), parent, image);
    if (node)
        m_OwnedPages.push_back(std::move(page));
    return node;
}

QTreeWidgetItem* TMainForm::RootNode() const { return m_RootNode; }

QTreeWidgetItem* TMainForm::DevicesNode() const { return m_DevicesNode; }

void TMainForm::BuildMainPages()
{
    auto status = std::make_unique<TStatusFrame>();
    m_StatusServer = status.get();
    AddOwnedPageNode(std::move(status), m_RootNode, tiMonitor);
    auto syslog = std::make_unique<TSyslogFrame>();
    m_SyslogServer = syslog.get();
    AddOwnedPageNode(std::move(syslog), m_RootNode, tiSyslog);

    if (m_Options.openSyslog && !OpenSyslog())
        return;

    AddOwnedPageNode(std::make_unique<TJavaTopologyFrame>(), m_RootNode, tiTopology);
    m_WizardsNode = AsNode(AddOwnedPageNode(std::make_unique<TWizardFrame>(), m_RootNode, tiWizard));
    // The wizards are not built in: their nodes keep the tree's shape.
    AddOwnedPageNode(std::make_unique<TModuleDummy>(tr("Group IP Setting")), m_WizardsNode, tiWizard);
    AddOwnedPageNode(std::make_unique<TModuleDummy>(tr("Group Firmware Update")), m_WizardsNode, tiWizard);
}

bool TMainForm::OpenSyslog()
{
    m_SyslogThread = new TSyslogSocketThread([this] { return GetSyslogServer(); }, this);
    if (m_SyslogThread->Open(m_Options.syslogPort))
        return true;
    const QMessageBox::StandardButton answer =
        ShowMessageBox(QMessageBox::Warning,
                       tr("Cannot bind SYSLOG port, syslog function will be disabled. Press Ignore to continue."),
                       QMessageBox::Abort | QMessageBox::Ignore, QMessageBox::Ignore);
    if (answer == QMessageBox::Abort) {
        Shutdown();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Protocol host

void TMainForm::CreateTimer(Intp::TSession* session, unsigned ms) { m_Host->CreateTimer(session, ms); }

void TMainForm::DestroyTimer(Intp::TSession* session) { m_Host->DestroyTimer(session); }

void TMainForm::EnableTimer(Intp::TSession* session, bool enable) { m_Host->EnableTimer(session, enable); }

void TMainForm::Send(std::uint32_t ip, const std::uint8_t* data, std::size_t size) { m_Host->Send(ip, data, size); }

void TMainForm::Notify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context,
                       Intp::TWizard* wizard, const char* name)
{
    m_Host->Notify(device, code, status, context, wizard, name);
}

void TMainForm::SetTimerInterval(Intp::TSession* session, unsigned ms) { m_Host->SetTimerInterval(session, ms); }

void TMainForm::DeviceAdded(Intp::TDevice*) {}

void TMainForm::DeviceRemoved(Intp::TDevice* device)
{
    QTreeWidgetItem* node = FindDeviceNode(device);
    if (!node)
        return;
    RemoveDeviceNode(node);
    NotifyCurrentPage(nullptr, ncDeviceRemoved, 0);
}

void TMainForm::DeviceFlagsChanged(Intp::TDevice* device, std::uint32_t)
{
    UpdateDeviceNode(device, ncDeviceFlagsChanged);
}

void TMainForm::DeviceIpChanged(Intp::TDevice* device)
{
    UpdateDeviceNode(device, ncDeviceIpChanged);
    DeviceNameChanged(device);
}

void TMainForm::DeviceTypeChanged(Intp::TDevice* device) { UpdateDeviceNode(device, ncDeviceTypeChanged); }

void TMainForm::DeviceNameChanged(Intp::TDevice* device)
{
    QTreeWidgetItem* node = FindDeviceNode(device);
    if (!node)
        return;
    const QString text = FormatDeviceNodeText(device);
    if (node->text(0) != text)
        node->setText(0, text);
    NotifyCurrentPage(device, ncDeviceNameChanged, 0);
}

TModule* TMainForm::PageOf(const TTreeNode* node) const
{
    if (!node)
        return nullptr;
    if (IsUnderDevices(node))
        return m_ModuleFrame;
    return node->m_Page;
}

bool TMainForm::IsUnderDevices(const QTreeWidgetItem* item) const
{
    for (const QTreeWidgetItem* i = item; i; i = i->parent()) {
        if (i == m_DevicesNode)
            return true;
    }
    return false;
}

TModule* TMainForm::GetCurrentPage() const { return PageOf(m_Current); }

void TMainForm::NotifyCurrentPage(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (m_ShutDown)
        return;
    if (TModule* page = GetCurrentPage())
        page->OnNotify(device, code, status);
}

void TMainForm::UpdateDeviceNode(Intp::TDevice* device, std::uint16_t code)
{
    if (!device)
        return;
    QTreeWidgetItem* node = FindDeviceNode(device);
    std::uint16_t result = node ? RegroupDeviceNode(device, node, code) : AddDeviceNode(device);
    if (result != ncNothing)
        NotifyCurrentPage(device, result, 0);
}

// ---------------------------------------------------------------------------
// Device tree

QString TMainForm::FormatDeviceNodeText(const Intp::TDevice* device)
{
    return QStringLiteral("%1 (%2, %3)")
        .arg(QString::fromStdString(device->GetName()), IpText(device->GetIp()),
             QString::fromStdString(device->GetMac().ToString()));
}

QTreeWidgetItem* TMainForm::FindDeviceNode(const Intp::TDevice* device) const
{
    auto it = m_DeviceNodes.find(device);
    return it == m_DeviceNodes.end() ? nullptr : it->second;
}

bool TMainForm::AcceptDevice(const Intp::TDevice* device)
{
    if (device->GetType() == 0)
        return false;
    Filter::TFilterServer* filter = GetFilterServer();
    return !filter || filter->Accept(device->GetIp());
}

QTreeWidgetItem* TMainForm::GetGroupNode(Intp::TDevice* device, bool create)
{
    if (!m_DevicesNode || !device)
        return nullptr;
    const int grouping = m_TreeSort ? m_TreeSort->currentIndex() : 0;
    std::uint32_t key[2] = {0, 0};
    QString text;
    switch (grouping) {
    case gModel:
        key[0] = device->GetType();
        text = QString::fromStdString(Intp::GetDeviceTypeName(device->GetType()));
        break;
    case gIpAddress:
        key[0] = device->GetIp();
        text = IpText(device->GetIp());
        break;
    case gFilterMethod: {
        key[0] = key[1] = 0xFFFFFFFFu;
        text = tr("Others");
        Filter::TFilterServer* filter = GetFilterServer();
        Filter::TFilterSettings* settings = filter ? filter->GetSettings() : nullptr;
        if (settings) {
            const std::uint32_t ip = device->GetIp();
            bool found = false;
            for (const TIpMask& unicast : settings->Unicasts) {
                if (unicast.Address == ip) {
                    key[0] = key[1] = 0;
                    text = tr("Unicast Devices");
                    found = true;
                    break;
                }
            }
            for (std::size_t i = 0; !found && i < settings->LocalSubnets.size(); ++i) {
                const TIpMask& subnet = settings->LocalSubnets[i];
                if (((subnet.Address ^ ip) & subnet.Mask) == 0) {
                    key[0] = subnet.Address;
                    key[1] = subnet.Mask;
                    text = SubnetText(subnet);
                    found = true;
                }
            }
        }
        break;
    }
    default:
        key[0] = 1;
        text = tr("All Devices");
        break;
    }
    for (int i = 0; i < m_DevicesNode->childCount(); ++i) {
        TTreeNode* group = AsNode(m_DevicesNode->child(i));
        if (!group || group->m_Kind != TTreeNode::nkGroup || !group->m_HasKey)
            continue;
        if (grouping == gNone ? group->m_Key[0] != 0
                              : (group->m_Key[0] == key[0] && (grouping != gFilterMethod || group->m_Key[1] == key[1])))
            return group;
    }
    if (!create)
        return nullptr;
    auto* group = new TTreeNode(TTreeNode::nkGroup);
    group->m_HasKey = true;
    group->m_Key[0] = key[0];
    group->m_Key[1] = key[1];
    group->setText(0, text);
    group->setIcon(0, ConsoleIcon(ikDevices));
    // Groups stay sorted: a new one goes to its place instead of a sort of all.
    g_TreeGrouping = grouping;
    int lo = 0, hi = m_DevicesNode->childCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (*group < *m_DevicesNode->child(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    m_DevicesNode->insertChild(lo, group);
    return group;
}

void TMainForm::SetDevicesText()
{
    m_DevicesNode->setText(0, QStringLiteral("Devices (%1)").arg(m_DeviceCount));
}

void TMainForm::SortGroups()
{
    if (!m_DevicesNode)
        return;
    g_TreeGrouping = m_TreeSort ? m_TreeSort->currentIndex() : 0;
    QSignalBlocker blocker(m_Tree);
    m_DevicesNode->sortChildren(0, Qt::AscendingOrder);
}

std::uint16_t TMainForm::AddDeviceNode(Intp::TDevice* device)
{
    if (!AcceptDevice(device))
        return ncNothing;
    QTreeWidgetItem* group = GetGroupNode(device, true);
    if (!group)
        return ncNothing;
    auto* node = new TTreeNode(TTreeNode::nkDevice);
    node->m_Device = device;
    node->setText(0, FormatDeviceNodeText(device));
    DeviceImage(node);
    {
        QSignalBlocker blocker(m_Tree);
        group->addChild(node);
    }
    m_DeviceNodes[device] = node;
    ++m_DeviceCount;
    SetDevicesText();
    if (!m_DevicesNode->isExpanded())
        m_DevicesNode->setExpanded(true);
    if (!group->isExpanded())
        group->setExpanded(true);
    return ncDeviceShown;
}

std::uint16_t TMainForm::RegroupDeviceNode(Intp::TDevice* device, QTreeWidgetItem* item, std::uint16_t code)
{
    TTreeNode* node = AsNode(item);
    if (!node)
        return ncNothing;
    if (!AcceptDevice(device)) {
        RemoveDeviceNode(node);
        return ncDeviceRemoved;
    }
    QTreeWidgetItem* group = GetGroupNode(device, true);
    QTreeWidgetItem* old = node->parent();
    if (group && group != old) {
        const bool wasCurrent = m_Current == node;
        {
            QSignalBlocker blocker(m_Tree);
            old->removeChild(node);
            group->addChild(node);
            group->setExpanded(true);
            if (old->childCount() == 0)
                delete old;
        }
        KeepSelectionAfterMove(node, wasCurrent);
    }
    DeviceImage(node);
    return code;
}

void TMainForm::KeepSelectionAfterMove(TTreeNode* node, bool wasCurrent)
{
    // A node that left its group leaves the selection of its old siblings;
    // when it was the current node it stays current, alone.
    if (wasCurrent) {
        m_Selection = {node};
        ShowSelection(node, m_Selection);
    } else if (m_Selection.removeAll(node) > 0) {
        ShowSelection(m_Current, m_Selection);
    }
}

void TMainForm::ForgetNode(TTreeNode* node)
{
    m_Selection.removeAll(node);
    if (m_Current == node || (m_Current && m_Current->parent() == node)) {
        // The page on show stays the "Devices" page, with no device selected.
        m_Current = m_DevicesNode;
        m_Selection = {m_DevicesNode};
        ShowSelection(m_Current, m_Selection);
    }
}

void TMainForm::RemoveDeviceNode(QTreeWidgetItem* item)
{
    TTreeNode* node = AsNode(item);
    if (!node || node->m_Kind != TTreeNode::nkDevice)
        return;
    ForgetNode(node);
    m_DeviceNodes.erase(node->m_Device);
    QTreeWidgetItem* group = node->parent();
    {
        QSignalBlocker blocker(m_Tree);
        delete node;
        if (group && group != m_DevicesNode && group->childCount() == 0) {
            ForgetNode(AsNode(group));
            delete group;
        }
    }
    --m_DeviceCount;
    SetDevicesText();
    if (m_Current)
        ShowSelection(m_Current, m_Selection);
}

void TMainForm::ClearDeviceNodes()
{
    if (!m_DevicesNode || m_DevicesNode->childCount() == 0)
        return;
    const int removed = int(m_DeviceNodes.size());
    for (auto& [device, node] : m_DeviceNodes)
        m_Selection.removeAll(node);
    if (m_Current && m_Current != m_DevicesNode && IsUnderDevices(m_Current)) {
        // The page on show stays the "Devices" page, with no device selected.
        m_Current = m_DevicesNode;
        m_Selection = {m_DevicesNode};
    }
    m_DeviceNodes.clear();
    {
        QSignalBlocker blocker(m_Tree);
        qDeleteAll(m_DevicesNode->takeChildren());
    }
    m_DeviceCount = 0;
    SetDevicesText();
    if (m_Current)
        ShowSelection(m_Current, m_Selection);
    for (int i = 0; i < removed; ++i)
        NotifyCurrentPage(nullptr, ncDeviceRemoved, 0);
}

void TMainForm::EventOnTreeSortChange(int)
{
    if (!m_DevicesNode || m_DevicesNode->childCount() == 0)
        return;
    TTreeNode* current = m_Current;
    const bool deviceCurrent = current && current->m_Kind == TTreeNode::nkDevice;
    for (int i = 0; i < m_DevicesNode->childCount(); ++i) {
        if (TTreeNode* group = AsNode(m_DevicesNode->child(i)))
            group->m_HasKey = false;
    }
    {
        QSignalBlocker blocker(m_Tree);
        int i = 0;
        while (i < m_DevicesNode->childCount()) {
            TTreeNode* group = AsNode(m_DevicesNode->child(i));
            if (!group || group->m_HasKey) {
                ++i;
                continue;
            }
            while (group->childCount() > 0) {
                TTreeNode* node = AsNode(group->child(0));
                QTreeWidgetItem* target = node && node->m_Device ? GetGroupNode(node->m_Device, true) : nullptr;
                group->removeChild(group->child(0));
                if (target)
                    target->addChild(node);
                else
                    delete node;
            }
            if (m_Current == group)
                m_Current = m_DevicesNode;
            delete group;
            i = 0;
        }
    }
    SortGroups();
    m_Tree->expandItem(m_DevicesNode);
    for (int i = 0; i < m_DevicesNode->childCount(); ++i)
        m_DevicesNode->child(i)->setExpanded(true);
    if (deviceCurrent) {
        m_Current = current;
        m_Selection = {current};
    } else if (m_Current != current) {
        m_Selection = {m_Current};
    }
    ShowSelection(m_Current, m_Selection);
}

// ---------------------------------------------------------------------------
// Selection

void TMainForm::ShowSelection(TTreeNode* current, const QList<TTreeNode*>& selection)
{
    if (!m_Tree)
        return;
    const bool multi = current && current->m_Kind == TTreeNode::nkDevice;
    QSignalBlocker blocker(m_Tree);
    m_Tree->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    m_Tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    m_Tree->clearSelection();
    for (TTreeNode* node : selection)
        node->setSelected(true);
}

void TMainForm::PostSelectionCheck()
{
    if (m_ApplyingSelection || m_SelectionCheckPosted || m_ShutDown)
        return;
    // Qt reports the current item and the selection separately; look once
    // both have settled.
    m_SelectionCheckPosted = true;
    QMetaObject::invokeMethod(this, &TMainForm::EventOnTreeChanging, Qt::QueuedConnection);
}

void TMainForm::EventOnTreeChanging()
{
    m_SelectionCheckPosted = false;
    if (m_ShutDown || !m_Tree)
        return;
    TTreeNode* current = AsNode(m_Tree->currentItem());
    QList<TTreeNode*> selection;
    if (current && current->m_Kind == TTreeNode::nkDevice) {
        // Selection is limited to siblings: adding a device of another group
        // to the selection (Ctrl or Shift) is refused.
        if (current != m_Current && m_Current && m_Current->m_Kind == TTreeNode::nkDevice &&
            current->parent() != m_Current->parent()) {
            for (TTreeNode* node : m_Selection) {
                if (node->isSelected()) {
                    ShowSelection(m_Current, m_Selection);
                    return;
                }
            }
        }
        // Keep the order in which the siblings were selected.
        QList<TTreeNode*> selected;
        for (QTreeWidgetItem* item : m_Tree->selectedItems()) {
            TTreeNode* node = AsNode(item);
            if (node && node->m_Kind == TTreeNode::nkDevice && node->parent() == current->parent())
                selected.push_back(node);
        }
        for (TTreeNode* node : m_Selection) {
            if (selected.contains(node))
                selection.push_back(node);
        }
        for (TTreeNode* node : selected) {
            if (!selection.contains(node))
                selection.push_back(node);
        }
        if (!selection.contains(current))
            selection.push_back(current);
    } else if (current) {
        selection = {current};
    }
    ApplySelection(current, selection);
}

bool TMainForm::ApplySelection(TTreeNode* current, QList<TTreeNode*> selection)
{
    if (!current) {
        // A move to no node is refused.
        ShowSelection(m_Current, m_Selection);
        return false;
    }
    if (current == m_Current && selection == m_Selection) {
        ShowSelection(m_Current, m_Selection);
        return true;
    }
    m_ApplyingSelection = true;
    TModule* page = GetCurrentPage();
    const bool allowed = !page || page->Leave(false);
    if (!allowed) {
        ShowSelection(m_Current, m_Selection);
        m_ApplyingSelection = false;
        return false;
    }
    TModule* next = PageOf(current);
    if (page && page != next) {
        if (QWidget* frame = page->GetFrame())
            frame->hide();
    }
    m_Current = current;
    m_Selection = selection;
    ShowSelection(m_Current, m_Selection);
    m_ApplyingSelection = false;
    EventOnTreeChange();
    return true;
}

bool TMainForm::SelectNode(QTreeWidgetItem* item)
{
    TTreeNode* node = AsNode(item);
    if (!node)
        return false;
    return ApplySelection(node, {node}) && m_Current == node;
}

bool TMainForm::SelectDeviceNodes(const std::vector<Intp::TDevice*>& devices)
{
    QList<TTreeNode*> selection;
    for (Intp::TDevice* device : devices) {
        TTreeNode* node = AsNode(FindDeviceNode(device));
        if (!node || (!selection.isEmpty() && node->parent() != selection.front()->parent()))
            return false;
        if (!selection.contains(node))
            selection.push_back(node);
    }
    if (selection.isEmpty())
        return false;
    return ApplySelection(selection.front(), selection);
}

void TMainForm::EventOnTreeChange()
{
    if (m_ModuleFrame)
        m_ModuleFrame->setEnabled(true);
    Intp::TDevice* device = nullptr;
    if (IsDeviceNodeSelected()) {
        GetCurrentDevice(device);
        bool supported = true;
        if (device) {
            const Intp::TPropertyBasicsSettings& settings = Intp::Property<Intp::TPropertyBasicsSettings>::Get(device);
            supported = !settings.valid || settings.ObjectId.find(g_SupportedOid) != std::string::npos;
        }
        if (!supported) {
            ShowWarning(tr("The program can't support the device"));
            if (m_ModuleFrame)
                m_ModuleFrame->setEnabled(false);
        }
        const int layout = device && std::int64_t(device->GetType()) > std::int64_t(g_LayoutThreshold) ? 1 : 0;
        if (layout != g_ModuleLayout && m_ModuleFrame) {
            m_ModuleFrame->ClearModuleTree();
            BuildModuleTree(this, m_ModuleFrame, layout);
            g_ModuleLayout = layout;
        }
    }
    NotifyCurrentPage(device, ncSelectionChanged, 0);
    // Main pages other than "Devices" show their frame when selected.
    TModule* page = GetCurrentPage();
    if (page && page != m_ModuleFrame) {
        if (QWidget* frame = page->GetFrame())
            frame->show();
    }
}

bool TMainForm::IsDeviceNodeSelected() const
{
    return m_Current && m_ModuleFrame && GetCurrentPage() == m_ModuleFrame && m_Current->m_Kind == TTreeNode::nkDevice;
}

// ---------------------------------------------------------------------------
// TModuleCallback

int TMainForm::GetSelectedDevice(Intp::TDevice*& device)
{
    device = nullptr;
    if (!IsDeviceNodeSelected() || m_Selection.isEmpty())
        return 0;
    device = m_Selection.front()->m_Device;
    return int(m_Selection.size());
}

int TMainForm::GetSelectedDevices(TDeviceList& devices)
{
    if (!IsDeviceNodeSelected())
        return 0;
    int n = 0;
    for (TTreeNode* node : m_Selection) {
        if (node->m_Device) {
            devices.push_back(node->m_Device);
            ++n;
        }
    }
    return n;
}

int TMainForm::GetCurrentDevice(Intp::TDevice*& device) { return GetSelectedDevice(device); }

int TMainForm::GetTargetDevices(TDeviceList& devices) { return GetSelectedDevices(devices); }

int TMainForm::GetAllDevices(TDeviceList& devices) { return GetListedDevices(devices); }

int TMainForm::GetListedDevices(TDeviceList& devices)
{
    if (!m_DevicesNode)
        return 0;
    int n = 0;
    for (int g = 0; g < m_DevicesNode->childCount(); ++g) {
        QTreeWidgetItem* group = m_DevicesNode->child(g);
        for (int i = 0; i < group->childCount(); ++i) {
            TTreeNode* node = AsNode(group->child(i));
            if (node && node->m_Device) {
                devices.push_back(node->m_Device);
                ++n;
            }
        }
    }
    return n;
}

bool TMainForm::AskCredentials(QString& user, QString& password)
{
    if (m_CredentialsHook)
        return m_CredentialsHook(user, password);
    // One dialog for the window's life, so the texts are there at the next login.
    if (!m_LoginForm)
        m_LoginForm = new TLoginForm(this);
    return m_LoginForm->AskCredentials(user, password);
}

// The getters are reached through the window's own virtual operations, so a
// window class that overrides a getter changes its test as well.
bool TMainForm::IsFirstOf(int (TMainForm::*get)(Intp::TDevice*&), const Intp::TDevice* device)
{
    Intp::TDevice* first = nullptr;
    return (this->*get)(first) != 0 && first == device;
}

bool TMainForm::IsAmong(int (TMainForm::*get)(TDeviceList&), const Intp::TDevice* device)
{
    TDeviceList list;
    (this->*get)(list);
    return std::find(list.begin(), list.end(), device) != list.end();
}

bool TMainForm::IsSelectedDevice(const Intp::TDevice* device) { return IsFirstOf(&TMainForm::GetSelectedDevice, device); }

bool TMainForm::IsAmongSelectedDevices(const Intp::TDevice* device)
{
    return IsAmong(&TMainForm::GetSelectedDevices, device);
}

bool TMainForm::IsCurrentDevice(const Intp::TDevice* device) { return IsFirstOf(&TMainForm::GetCurrentDevice, device); }

bool TMainForm::IsTargetDevice(const Intp::TDevice* device) { return IsAmong(&TMainForm::GetTargetDevices, device); }

bool TMainForm::SelectPage(const QString& path)
{
    QTreeWidgetItem* node = m_RootNode;
    if (!node)
        return false;
    QString rest = path;
    while (!rest.isEmpty()) {
        const qsizetype slash = rest.indexOf('/');
        const QString part = slash < 0 ? rest : rest.left(slash);
        rest = slash < 0 ? QString() : rest.mid(slash + 1);
        QTreeWidgetItem* match = nullptr;
        for (int i = 0; i < node->childCount() && !match; ++i) {
            const TTreeNode* child = AsNode(node->child(i));
            if (child && child->m_Page && child->m_Page->GetCaption() == part)
                match = node->child(i);
        }
        if (!match)
            break;
        node = match;
    }
    return SelectNode(node);
}

Filter::TFilterServer* TMainForm::GetFilterServer() { return m_FilterServer; }

Status::TStatusServer* TMainForm::GetStatusServer() { return m_StatusServer; }

Syslog::TSyslogServer* TMainForm::GetSyslogServer() { return m_SyslogServer; }

// ---------------------------------------------------------------------------
// Actions

void TMainForm::EventOnDiscoveryExecute()
{
    m_Timer4->start();
    ClearDeviceNodes();
    Intp::DeleteAllDevices();
    TIpMaskList targets;
    if (Filter::TFilterServer* filter = GetFilterServer())
        filter->GetTargets(targets);
    for (const TIpMask& target : targets)
        Intp::TSessionIntpFind::SendFind(GetFindHook(), target.Address | ~target.Mask);
}

void TMainForm::Timer4Timer()
{
    if (!m_DevicesNode || m_DevicesNode->childCount() == 0)
        return;
    ++g_DiscoveryTicks;
    TDeviceList devices;
    GetListedDevices(devices);
    bool missing = false;
    for (Intp::TDevice* device : devices) {
        if (Intp::Property<Intp::TPropertyBasicsSettings>::Get(device).valid)
            continue;
        missing = true;
        Intp::StartNew<Intp::TSessionBasicsSettingsGet>(device);
    }
    if (!missing || g_DiscoveryTicks > 5) {
        m_Timer4->stop();
        g_DiscoveryTicks = 0;
    }
}

void TMainForm::EventOnFilterExecute()
{
    if (m_FilterForm && m_FilterForm->exec() == QDialog::Accepted)
        EventOnDiscoveryExecute();
}

void TMainForm::EventOnLoadConfigExecute()
{
    if (LoadConsoleConfig(this, m_FilterForm))
        EventOnDiscoveryExecute();
}

void TMainForm::EventOnSaveConfigExecute() { SaveConsoleConfig(this, GetFilterServer(), this); }

void TMainForm::EventOnScanExecute()
{
    if (m_ScanForm)
        m_ScanForm->exec();
}

void TMainForm::EventOnLoginExecute()
{
    QString user;
    QString password;
    if (!AskCredentials(user, password))
        return;
    Intp::TMd5Digest digest = LoginDigest(user, password);
    LoginSelectedDevices(digest.data(), nullptr);
}

void TMainForm::EventOnLogoutExecute()
{
    const std::uint8_t zero[16] = {};
    LoginSelectedDevices(zero, nullptr);
}

void TMainForm::EventOnRebootExecute()
{
    if (!AskOkCancel(tr("Are you sure to reboot selected devices?")))
        return;
    RebootSelectedDevices(nullptr);
}

void TMainForm::EventOnRefreshExecute()
{
    if (TModule* page = GetCurrentPage())
        page->Refresh(true);
}

void TMainForm::EventOnRefreshAllExecute()
{
    if (TModule* page = GetCurrentPage())
        page->Refresh(false);
}

void TMainForm::EventOnExitExecute()
{
    StopReception();
    close();
}

void TMainForm::EventOnAboutExecute()
{
    TAboutForm about(this);
    about.exec();
}

void TMainForm::EventOnOpenWebExecute()
{
    TDeviceList devices;
    GetTargetDevices(devices);
    for (Intp::TDevice* device : devices) {
        const QString url = QStringLiteral("http://%1").arg(IpText(device->GetIp()));
        if (m_OpenUrlHook)
            m_OpenUrlHook(url);
        else
            QDesktopServices::openUrl(QUrl(url));
    }
}

void TMainForm::EventOnGroupIPWizardExecute() { SelectPage(QString::fromLatin1(TWizardFrame::kGroupIpPath)); }

void TMainForm::EventOnGroupFwWizardExecute() { SelectPage(QString::fromLatin1(TWizardFrame::kGroupFwPath)); }

// ---------------------------------------------------------------------------
// Services of the target devices

int LoginSelectedDevices(const std::uint8_t digest[16], Intp::TWizard* wizard)
{
    return StartForTargets<Intp::TSessionIntpLogin>(wizard,
                                                    [digest](Intp::TSessionIntpLogin& login) { login.SetPayload(digest); });
}

int RebootSelectedDevices(Intp::TWizard* wizard)
{
    return StartForTargets<Intp::TSessionBasicsReboot>(wizard, [](Intp::TSessionBasicsReboot&) {});
}
