#include "console/MainForm.h"

#include "console/DeviceTree.h"
#include "console/DeviceTypesFile.h"
#include "console/FilterForm.h"
#include "console/Icons.h"
#include "console/IntpReceiveQueue.h"
#include "console/IntpSock.h"
#include "console/MainActions.h"
#include "console/ModuleFrame.h"
#include "console/ModuleTree.h"
#include "console/PageHost.h"
#include "console/ProtocolHost.h"
#include "console/ScanDialog.h"
#include "console/StatusMonitor.h"
#include "console/TreePaneFit.h"
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
    delete m_TreePaneFit;
    m_TreePaneFit = nullptr;
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
    m_PageHost = new TPageHost(this, m_Tree, pane.right);
    m_DeviceTree = new TDeviceTree(this, m_PageHost, m_Tree, m_TreeSort);
    m_PageHost->SetDeviceTree(m_DeviceTree);
    m_TreePaneFit = new TTreePaneFit(m_Tree, pane.splitter, m_DeviceTree, this);
    SetTreePaneWidth(pane.splitter, 280, 1200);
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
            statusBar()->showMessage(
                total == 1 ? tr("Replies arrived faster than the console could take them: 1 was dropped.")
                           : tr("Replies arrived faster than the console could take them: %1 were dropped, "
                                "the oldest first.")
                                 .arg(QLocale().toString(total)));
        },
        Qt::SingleShotConnection);
    m_IntpSock = new TIntpSock(m_IntpQueue, this);
    m_IntpSock->SetRemotePort(m_Options.remotePort);
    m_Host->SetSocket(m_IntpSock);
    if (!m_IntpSock->Open(m_Options.bindAddress, m_Options.bindPort))
        qWarning("cannot open the protocol socket");

    // The filter and scan dialogs are made when first needed.

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
    return ShowMessageBox(QMessageBox::Warning, running.join('\n') + tr("\n\nClose anyway?"),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

void TMainForm::WidenTreePane() { m_TreePaneFit->WidenTreePane(); }

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

TFilterForm* TMainForm::FilterForm() const
{
    if (!m_FilterForm)
        m_FilterForm = new TFilterForm(const_cast<TMainForm*>(this));
    return m_FilterForm;
}

TScanForm* TMainForm::ScanForm() const
{
    if (!m_ScanForm)
        m_ScanForm = new TScanForm(const_cast<TMainForm*>(this));
    return m_ScanForm;
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

    // Pages not on show at start are made when first shown.
    auto lazy = [](const QString& caption, TLazyModule::TMake make) {
        return std::make_unique<TLazyModule>(caption, std::move(make));
    };
    AddOwnedPageNode(lazy(tr("Devices Topology"), [] { return new TJavaTopologyFrame(); }), RootNode(), tiTopology);
    m_WizardsNode =
        AsNode(AddOwnedPageNode(lazy(tr("Wizards"), [] { return new TWizardFrame(); }), RootNode(), tiWizard));
    AddOwnedPageNode(lazy(tr("Group IP Setting"), [] { return new TWizardGroupIpFrame(); }), m_WizardsNode, tiWizard);
    AddOwnedPageNode(lazy(tr("Group Firmware Update"), [] { return new TWizardGroupFwFrame(); }), m_WizardsNode,
                     tiWizard);
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
