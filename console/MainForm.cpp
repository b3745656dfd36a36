#include "console/MainForm.h"

#include "console/DeviceTree.h"
#include "console/DeviceTypesFile.h"
#include "console/FilterForm.h"
#include "console/Icons.h"
#include "console/IntpReceiveQueue.h"
#include "console/IntpSock.h"
#include "console/LoginDialog.h"
#include "console/MainActions.h"
#include "console/ModuleFrame.h"
#include "console/ModuleTree.h"
#include "console/PageHost.h"
#include "console/ProtocolHost.h"
#include "console/ScanDialog.h"
#include "console/StatusMonitor.h"
#include "console/TopologyLauncher.h"
#include "console/GroupFirmwareWizard.h"
#include "console/GroupIpWizard.h"
#include "console/TreeNode.h"
#include "console/WizardsModule.h"
#include "intp/Session.h"
#include "pages/kit/MessageBox.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QComboBox>
#include <QHeaderView>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

const char* g_SupportedOid = "32473";

// ---------------------------------------------------------------------------
// Construction and shutdown

TMainForm::TMainForm(const TOptions& options, QWidget* parent) : QMainWindow(parent), m_Options(options)
{
    m_Host = new TProtocolHost(this);
    m_Host->SetPageNotify([this](Intp::TDevice* d, std::uint16_t c, std::uint16_t s) { NotifyCurrentPage(d, c, s); });
    m_MainActions = new TMainActions(this);
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
    m_WizardsNode = nullptr;
    if (m_PageHost)
        m_PageHost->ForgetNodes();
    m_StatusServer = nullptr;
    m_SyslogServer = nullptr;
    m_FilterServer = nullptr;
    delete m_ModuleFrame;
    m_ModuleFrame = nullptr;
    if (m_PageHost)
        m_PageHost->ReleasePages();
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
    // The "Devices" page: its page tree and the page itself.
    const TTreePane pane = BuildTreePane(central, tr("&Sort Devices By:"), 720, m_TreeSort);
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
    connect(m_TreeWidthTimer, &QTimer::timeout, this, [this] {
        if (!m_Tree)
            return;
        m_Tree->resizeColumnToContents(0);
        WidenTreePane();
    });
    // In a burst of new rows the tree is repainted at its own pace and the
    // column is fitted at that pace too, not within the burst.
    auto fitLater = [this] {
        if (m_TreeWidthTimer && !m_TreeWidthTimer->isActive())
            m_TreeWidthTimer->start(m_DeviceTree && m_DeviceTree->InBurst() ? TDeviceTree::RepaintMs : TreeWidthMs);
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
    m_PageHost = new TPageHost(this, m_Tree, pane.right);
    m_DeviceTree = new TDeviceTree(this, m_PageHost, m_Tree, m_TreeSort);
    m_PageHost->SetDeviceTree(m_DeviceTree);
    m_Splitter = pane.splitter;
    pane.splitter->setSizes({280, 920});
    setCentralWidget(central);
    // A useful size for the screen, centred (the program shows the window
    // maximised; this is the size it returns to).
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize size(std::max(available.width() * 17 / 20, std::min(1280, available.width())),
                         std::max(available.height() * 17 / 20, std::min(860, available.height())));
        resize(size.boundedTo(available.size()));
        move(available.center() - rect().center());
    }
    statusBar();

    m_MainActions->CreateActions();
    m_MainActions->CreateMenus();

    // 2. Page host and protocol host.
    g_ModuleCallback = this;
    Intp::SetDeviceCallback(this);
    Intp::SetSessionCallback(this);

    // 3. Reception.
    m_IntpQueue = new TIntpSocketThread(
        [host = m_Host](std::uint32_t address, std::uint32_t length, std::uint8_t* data) {
            host->Deliver(address, length, data);
        },
        this);
    connect(m_Host, &TProtocolHost::DeviceLimitReached, this, [this] {
        statusBar()->showMessage(tr("The device list is full (%1 switches): replies from further switches are ignored.")
                                     .arg(QLocale().toString(qulonglong(Intp::MaxDevices))));
    });
    // Told once, with the count when the queue first overflowed.
    connect(
        m_IntpQueue, &TIntpSocketThread::QueueDropped, this,
        [this](quint64 total) {
            statusBar()->showMessage(tr("Replies arrived faster than the console could take them: %1 were dropped, "
                                        "the oldest first.")
                                         .arg(QLocale().toString(total)));
        },
        Qt::SingleShotConnection);
    m_IntpSock = new TIntpSock(m_IntpQueue, this);
    m_IntpSock->SetRemotePort(m_Options.remotePort);
    m_Host->SetSocket(m_IntpSock);
    if (!m_IntpSock->Open(m_Options.bindAddress, m_Options.bindPort))
        qWarning("cannot open the protocol socket");

    // Dialogs.
    m_FilterForm = new TFilterForm(this);
    m_FilterServer = m_FilterForm;
    m_ScanForm = new TScanForm(this);

    // 4.-8. Page tree.
    auto root = std::make_unique<TModuleDummy>(QString::fromLatin1(kApplicationTitle));
    m_PageHost->SetRootNode(AddOwnedPageNode(std::move(root), nullptr, tiRoot));

    m_ModuleFrame = new TModuleFrame();
    g_ModuleFrame = m_ModuleFrame;
    m_PageHost->SetDevicesNode(AddPageNode(m_ModuleFrame, RootNode(), tiDevices), m_ModuleFrame);
    g_ModuleLayout = 0;
    BuildModuleTree(this, m_ModuleFrame, 0);

    BuildMainPages();
    if (m_ShutDown)
        return false;

    // 9. Wizard actions, root selected, settings, whole tree expanded.
    m_PageHost->Start();
    connect(m_TreeSort, &QComboBox::currentIndexChanged, this, &TMainForm::EventOnTreeSortChange);
    connect(m_Tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_MainActions->ShowTreeMenu(m_Tree, pos); });

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
    m_MainActions->DiscoveryTimer()->stop();
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
    if (m_PageHost)
        m_PageHost->Stop();
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

bool TMainForm::MayClose()
{
    // Every page and wizard of the window: device pages, main pages and the
    // wizards' own transfer lists.
    const QStringList running = RunningWorkBelow(this);
    if (running.isEmpty())
        return true;
    return ShowMessageBox(QMessageBox::Warning,
                          running.join('\n') +
                              tr("\nClosing the console now cuts this off, which can leave a switch with half an "
                                 "image or without its new settings.\n\nClose anyway?"),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm::WidenTreePane()
{
    // The tree pane grows until the widest node shows whole, as far as the
    // page area keeps its width; it never shrinks by itself, so a width the
    // user chose stays.
    if (!m_Splitter || m_Splitter->count() < 2)
        return;
    ::WidenTreePane(m_Splitter, m_Tree->columnWidth(0) +
                                    (m_Splitter->widget(0)->width() - m_Tree->viewport()->width()) + 2);
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // Exit asked already; the window's close button asks here.
    if (!m_ReceptionStopped && !m_ShutDown && !MayClose()) {
        event->ignore();
        return;
    }
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

QTreeWidgetItem* TMainForm::RootNode() const { return m_PageHost ? m_PageHost->RootNode() : nullptr; }

QTreeWidgetItem* TMainForm::DevicesNode() const { return m_PageHost ? m_PageHost->DevicesNode() : nullptr; }

void TMainForm::BuildMainPages()
{
    auto status = std::make_unique<TStatusFrame>();
    m_StatusServer = status.get();
    AddOwnedPageNode(std::move(status), RootNode(), tiMonitor);
    auto syslog = std::make_unique<TSyslogFrame>();
    m_SyslogServer = syslog.get();
    AddOwnedPageNode(std::move(syslog), RootNode(), tiSyslog);

    if (m_Options.openSyslog && !OpenSyslog())
        return;

    AddOwnedPageNode(std::make_unique<TJavaTopologyFrame>(), RootNode(), tiTopology);
    m_WizardsNode = AsNode(AddOwnedPageNode(std::make_unique<TWizardFrame>(), RootNode(), tiWizard));
    AddOwnedPageNode(std::make_unique<TWizardGroupIpFrame>(), m_WizardsNode, tiWizard);
    AddOwnedPageNode(std::make_unique<TWizardGroupFwFrame>(), m_WizardsNode, tiWizard);
}

bool TMainForm::OpenSyslog()
{
    m_SyslogThread = new TSyslogSocketThread([this] { return GetSyslogServer(); }, this);
    connect(m_SyslogThread, &TSyslogSocketThread::QueueDropped, this, [this](quint64 total) {
        if (auto* frame = dynamic_cast<TSyslogFrame*>(m_SyslogServer))
            frame->SetQueueDropped(total);
    });
    connect(m_SyslogThread, &TSyslogSocketThread::KernelDropped, this, [this](quint64 total) {
        if (auto* frame = dynamic_cast<TSyslogFrame*>(m_SyslogServer))
            frame->SetKernelDropped(total);
    });
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
    const bool listed = FindDeviceNode(device) != nullptr;
    UpdateDeviceNode(device, ncDeviceIpChanged);
    // A node added just now has its text already; the page is told all the same.
    if (listed)
        DeviceNameChanged(device);
    else if (FindDeviceNode(device))
        NotifyCurrentPage(device, ncDeviceNameChanged, 0);
}

void TMainForm::DeviceTypeChanged(Intp::TDevice* device) { UpdateDeviceNode(device, ncDeviceTypeChanged); }

void TMainForm::DeviceNameChanged(Intp::TDevice* device)
{
    if (m_DeviceTree)
        m_DeviceTree->UpdateDeviceText(device);
}

// ---------------------------------------------------------------------------
// Device tree and page host

QTreeWidgetItem* TMainForm::FindDeviceNode(const Intp::TDevice* device) const
{
    return m_DeviceTree ? m_DeviceTree->FindDeviceNode(device) : nullptr;
}

QTreeWidgetItem* TMainForm::GetGroupNode(Intp::TDevice* device, bool create)
{
    return m_DeviceTree ? m_DeviceTree->GetGroupNode(device, create) : nullptr;
}

std::uint16_t TMainForm::AddDeviceNode(Intp::TDevice* device)
{
    return m_DeviceTree ? m_DeviceTree->AddDeviceNode(device) : ncNothing;
}

std::uint16_t TMainForm::RegroupDeviceNode(Intp::TDevice* device, QTreeWidgetItem* node, std::uint16_t code)
{
    return m_DeviceTree ? m_DeviceTree->RegroupDeviceNode(device, node, code) : ncNothing;
}

void TMainForm::RemoveDeviceNode(QTreeWidgetItem* node)
{
    if (m_DeviceTree)
        m_DeviceTree->RemoveDeviceNode(node);
}

void TMainForm::ClearDeviceNodes()
{
    if (m_DeviceTree)
        m_DeviceTree->ClearDeviceNodes();
}

QString TMainForm::FormatDeviceNodeText(const Intp::TDevice* device)
{
    return TDeviceTree::FormatDeviceNodeText(device);
}

void TMainForm::UpdateDeviceNode(Intp::TDevice* device, std::uint16_t code)
{
    if (m_DeviceTree)
        m_DeviceTree->UpdateDeviceNode(device, code);
}

void TMainForm::EventOnTreeSortChange(int index)
{
    if (m_DeviceTree)
        m_DeviceTree->EventOnTreeSortChange(index);
}

int TMainForm::DeviceCount() const { return m_DeviceTree ? m_DeviceTree->DeviceCount() : 0; }

TModule* TMainForm::GetCurrentPage() const { return m_PageHost ? m_PageHost->GetCurrentPage() : nullptr; }

void TMainForm::NotifyCurrentPage(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (m_PageHost)
        m_PageHost->NotifyCurrentPage(device, code, status);
}

bool TMainForm::IsDeviceNodeSelected() const { return m_PageHost && m_PageHost->IsDeviceNodeSelected(); }

QTreeWidgetItem* TMainForm::AddPageNode(TModule* page, QTreeWidgetItem* parent, int image)
{
    return m_PageHost ? m_PageHost->AddPageNode(page, parent, image) : nullptr;
}

QTreeWidgetItem* TMainForm::AddOwnedPageNode(std::unique_ptr<TModule> page, QTreeWidgetItem* parent, int image)
{
    return m_PageHost ? m_PageHost->AddOwnedPageNode(std::move(page), parent, image) : nullptr;
}

bool TMainForm::SelectNode(QTreeWidgetItem* node) { return m_PageHost && m_PageHost->SelectNode(node); }

bool TMainForm::SelectDeviceNodes(const std::vector<Intp::TDevice*>& devices)
{
    return m_PageHost && m_PageHost->SelectDeviceNodes(devices);
}

// ---------------------------------------------------------------------------
// TModuleCallback

int TMainForm::GetSelectedDevice(Intp::TDevice*& device)
{
    device = nullptr;
    return m_PageHost ? m_PageHost->GetSelectedDevice(device) : 0;
}

int TMainForm::GetSelectedDevices(TDeviceList& devices)
{
    return m_PageHost ? m_PageHost->GetSelectedDevices(devices) : 0;
}

int TMainForm::GetCurrentDevice(Intp::TDevice*& device) { return GetSelectedDevice(device); }

int TMainForm::GetTargetDevices(TDeviceList& devices) { return GetSelectedDevices(devices); }

int TMainForm::GetAllDevices(TDeviceList& devices) { return GetListedDevices(devices); }

int TMainForm::GetListedDevices(TDeviceList& devices) { return m_PageHost ? m_PageHost->GetListedDevices(devices) : 0; }

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

bool TMainForm::IsSelectedDevice(const Intp::TDevice* device)
{
    return IsFirstOf(&TMainForm::GetSelectedDevice, device);
}

bool TMainForm::IsAmongSelectedDevices(const Intp::TDevice* device)
{
    return IsAmong(&TMainForm::GetSelectedDevices, device);
}

bool TMainForm::IsCurrentDevice(const Intp::TDevice* device) { return IsFirstOf(&TMainForm::GetCurrentDevice, device); }

bool TMainForm::IsTargetDevice(const Intp::TDevice* device) { return IsAmong(&TMainForm::GetTargetDevices, device); }

bool TMainForm::SelectPage(const QString& path) { return m_PageHost && m_PageHost->SelectPage(path); }

Filter::TFilterServer* TMainForm::GetFilterServer() { return m_FilterServer; }

Status::TStatusServer* TMainForm::GetStatusServer() { return m_StatusServer; }

Syslog::TSyslogServer* TMainForm::GetSyslogServer() { return m_SyslogServer; }

// ---------------------------------------------------------------------------
// Actions

QAction* TMainForm::Action(const QString& name) const { return m_MainActions->Action(name); }

QTimer* TMainForm::DiscoveryTimer() const { return m_MainActions->DiscoveryTimer(); }

void TMainForm::EventOnDiscoveryExecute() { m_MainActions->EventOnDiscoveryExecute(); }

void TMainForm::EventOnFilterExecute() { m_MainActions->EventOnFilterExecute(); }

void TMainForm::EventOnLoginExecute() { m_MainActions->EventOnLoginExecute(); }

void TMainForm::EventOnLogoutExecute() { m_MainActions->EventOnLogoutExecute(); }

void TMainForm::EventOnRebootExecute() { m_MainActions->EventOnRebootExecute(); }

void TMainForm::EventOnRefreshExecute() { m_MainActions->EventOnRefreshExecute(); }

void TMainForm::EventOnRefreshAllExecute() { m_MainActions->EventOnRefreshAllExecute(); }

void TMainForm::EventOnExitExecute() { m_MainActions->EventOnExitExecute(); }

void TMainForm::EventOnAboutExecute() { m_MainActions->EventOnAboutExecute(); }

void TMainForm::EventOnOpenWebExecute() { m_MainActions->EventOnOpenWebExecute(); }

void TMainForm::EventOnGroupIPWizardExecute() { m_MainActions->EventOnGroupIPWizardExecute(); }

void TMainForm::EventOnGroupFwWizardExecute() { m_MainActions->EventOnGroupFwWizardExecute(); }

void TMainForm::EventOnLoadConfigExecute() { m_MainActions->EventOnLoadConfigExecute(); }

void TMainForm::EventOnSaveConfigExecute() { m_MainActions->EventOnSaveConfigExecute(); }

void TMainForm::EventOnScanExecute() { m_MainActions->EventOnScanExecute(); }

void TMainForm::Timer4Timer() { m_MainActions->Timer4Timer(); }
