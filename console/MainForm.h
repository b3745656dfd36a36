#pragma once

// The console's main window. It keeps the window, the sockets and the
// servers; the page host (TPageHost), the device tree (TDeviceTree), the
// tree's width (TTreePaneFit) and the actions (TMainActions) are classes of
// their own, entered through the window's methods below.

#include "console/TreeNode.h"
#include "intp/Device.h"
#include "intp/Session.h"
#include "pages/kit/PageInterface.h"

#include <QHostAddress>
#include <QList>
#include <QMainWindow>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QAction;
class QComboBox;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TFilterForm;
class TIntpSock;
class TDeviceTree;
class TIntpSocketThread;
class TMainActions;
class TModuleFrame;
class TPageHost;
class TProtocolHost;
class TScanForm;
class TSyslogSocketThread;
class TTreePaneFit;

// Enterprise number of the switch family that the console manages; a
// device whose object identifier lacks it is not supported.
extern const char* g_SupportedOid;

// The application title: window caption, tray hint and root node text.
inline constexpr const char* kApplicationTitle = "Tarvo Rovadavuv";

class TLoginForm;

class TMainForm : public QMainWindow,
                  public TModuleCallback,
                  public Intp::TDeviceCallback,
                  public Intp::TSessionCallback {
    Q_OBJECT
public:
    struct TOptions {
        // Protocol socket binding and the switches' port (tests use loopback).
        QHostAddress bindAddress = QHostAddress(QHostAddress::AnyIPv4);
        std::uint16_t bindPort = 0;
        std::uint16_t remotePort = 1638;
        // Syslog reception (port 514) when a syslog page exists.
        bool openSyslog = true;
        std::uint16_t syslogPort = 514;
        // Tray icon (off in tests).
        bool trayIcon = true;
    };

    // Tree images.
    enum TTreeImage { tiRoot = 4, tiDevices = 5, tiMonitor = 6, tiSyslog = 7, tiTopology = 8, tiWizard = 9 };
    // Grouping of the device tree (the "Sort Devices By" combo box).
    enum TGrouping { gNone = dgNone, gModel = dgModel, gIpAddress = dgIpAddress, gFilterMethod = dgFilterMethod };

    explicit TMainForm(const TOptions& options, QWidget* parent = nullptr);
    TMainForm() : TMainForm(TOptions()) {}
    ~TMainForm() override;

    // Builds the window's contents; false when the user chose Abort (the
    // program then ends without running).
    bool Init();
    // Closes the sockets and ends both receive queues and the discovery
    // timer (Exit, close); idempotent.
    void StopReception();
    // Whether the window may close now: while a page's work runs (a restore
    // or firmware upgrade) the user is asked first.
    bool MayClose();
    // Widens the tree pane to the widest node text, up to half the window,
    // as far as the page area keeps its width.
    void WidenTreePane();
    // Stops reception, ends every request, clears the registry and
    // unregisters from the library; idempotent. Run by the destructor; the
    // widgets go with the window.
    void Shutdown();

    // --- TModuleCallback
    int GetSelectedDevice(Intp::TDevice*& device) override;
    int GetSelectedDevices(TDeviceList& devices) override;
    int GetCurrentDevice(Intp::TDevice*& device) override;
    int GetTargetDevices(TDeviceList& devices) override;
    int GetAllDevices(TDeviceList& devices) override;
    int GetListedDevices(TDeviceList& devices) override;
    bool AskCredentials(QString& user, QString& password) override;
    bool IsSelectedDevice(const Intp::TDevice* device) override;
    bool IsAmongSelectedDevices(const Intp::TDevice* device) override;
    bool IsCurrentDevice(const Intp::TDevice* device) override;
    bool IsTargetDevice(const Intp::TDevice* device) override;
    bool SelectPage(const QString& path) override;
    Filter::TFilterServer* GetFilterServer() override;
    Status::TStatusServer* GetStatusServer() override;
    Syslog::TSyslogServer* GetSyslogServer() override;

    // --- Intp::TDeviceCallback
    void DeviceAdded(Intp::TDevice* device) override;
    void DeviceRemoved(Intp::TDevice* device) override;
    void DeviceFlagsChanged(Intp::TDevice* device, std::uint32_t changed) override;
    void DeviceIpChanged(Intp::TDevice* device) override;
    void DeviceTypeChanged(Intp::TDevice* device) override;
    void DeviceNameChanged(Intp::TDevice* device) override;

    // --- Intp::TSessionCallback (kept by TProtocolHost)
    void CreateTimer(Intp::TSession* session, unsigned ms) override;
    void DestroyTimer(Intp::TSession* session) override;
    void EnableTimer(Intp::TSession* session, bool enable) override;
    void Send(std::uint32_t ip, const std::uint8_t* data, std::size_t size) override;
    void Notify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context,
                Intp::TWizard* wizard, const char* name) override;
    void SetTimerInterval(Intp::TSession* session, unsigned ms) override;

    // --- Device tree
    QTreeWidgetItem* FindDeviceNode(const Intp::TDevice* device) const;
    QTreeWidgetItem* GetGroupNode(Intp::TDevice* device, bool create);
    std::uint16_t AddDeviceNode(Intp::TDevice* device);
    std::uint16_t RegroupDeviceNode(Intp::TDevice* device, QTreeWidgetItem* node, std::uint16_t code);
    void RemoveDeviceNode(QTreeWidgetItem* node);
    // Removes every device node and group in one go (a new discovery).
    void ClearDeviceNodes();
    static QString FormatDeviceNodeText(const Intp::TDevice* device);
    void UpdateDeviceNode(Intp::TDevice* device, std::uint16_t code);

    // --- Page host
    TModule* GetCurrentPage() const;
    void NotifyCurrentPage(Intp::TDevice* device, std::uint16_t code, std::uint16_t status);
    bool IsDeviceNodeSelected() const;
    // Adds a main page under parent (the root for null): its frame goes into
    // the page area, hidden. The window does not own the page.
    QTreeWidgetItem* AddPageNode(TModule* page, QTreeWidgetItem* parent, int image);
    // The same, and the window owns the page from now on.
    QTreeWidgetItem* AddOwnedPageNode(std::unique_ptr<TModule> page, QTreeWidgetItem* parent, int image);
    // Selects a node as a user's click would (the page on show may refuse).
    bool SelectNode(QTreeWidgetItem* node);
    // Selects device nodes of one group; the first is the current device.
    bool SelectDeviceNodes(const std::vector<Intp::TDevice*>& devices);

    // --- Services of the pages and the actions
    // Replaces the discovery filter (tests).
    void SetFilterServer(Filter::TFilterServer* server) { m_FilterServer = server; }
    // Replaces the login dialog of AskCredentials (tests, other dialogs).
    using TCredentialsHook = std::function<bool(QString& user, QString& password)>;
    void SetCredentialsHook(TCredentialsHook hook) { m_CredentialsHook = std::move(hook); }
    // Opens a URL, answering whether a browser took it (tests replace the browser).
    using TOpenUrlHook = std::function<bool(const QUrl& url)>;
    void SetOpenUrlHook(TOpenUrlHook hook) { m_OpenUrlHook = std::move(hook); }
    const TOpenUrlHook& OpenUrlHook() const { return m_OpenUrlHook; }

    // --- Parts, for the pages and the tests
    QTreeWidget* Tree() const { return m_Tree; }
    QComboBox* TreeSort() const { return m_TreeSort; }
    QTreeWidgetItem* RootNode() const;
    QTreeWidgetItem* DevicesNode() const;
    TModuleFrame* ModuleFrame() const { return m_ModuleFrame; }
    TProtocolHost* Host() const { return m_Host; }
    TIntpSock* IntpSock() const { return m_IntpSock; }
    TIntpSocketThread* IntpQueue() const { return m_IntpQueue; }
    // The discovery filter dialog, made when first asked for (it is the
    // filter server unless one is set).
    TFilterForm* FilterForm() const;
    // Made when first asked for.
    TScanForm* ScanForm() const;
    TSyslogSocketThread* SyslogQueue() const { return m_SyslogThread; }
    QTimer* DiscoveryTimer() const;
    int DeviceCount() const;
    TPageHost* PageHost() const { return m_PageHost; }
    TDeviceTree* DeviceTree() const { return m_DeviceTree; }
    QAction* Action(const QString& name) const;

    // --- Actions
    void EventOnDiscoveryExecute();
    void EventOnFilterExecute();
    void EventOnLoginExecute();
    void EventOnLogoutExecute();
    void EventOnRebootExecute();
    void EventOnRefreshExecute();
    void EventOnRefreshAllExecute();
    void EventOnExitExecute();
    void EventOnAboutExecute();
    void EventOnOpenWebExecute();
    void EventOnGroupIPWizardExecute();
    void EventOnGroupFwWizardExecute();
    void EventOnLoadConfigExecute();
    void EventOnSaveConfigExecute();
    void EventOnScanExecute();
    // One follow-up tick of a discovery (400 ms).
    void Timer4Timer();
    void EventOnTreeSortChange(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMainPages();
    bool OpenSyslog();
    // The look-alike services: the first device of a getter, or any of a list.
    bool IsFirstOf(int (TMainForm::*get)(Intp::TDevice*&), const Intp::TDevice* device);
    bool IsAmong(int (TMainForm::*get)(TDeviceList&), const Intp::TDevice* device);

    TOptions m_Options;
    bool m_ShutDown = false;
    bool m_ReceptionStopped = false;
    bool m_Initialised = false;
    TProtocolHost* m_Host = nullptr;
    TIntpSocketThread* m_IntpQueue = nullptr;
    TIntpSock* m_IntpSock = nullptr;
    TSyslogSocketThread* m_SyslogThread = nullptr;

    QTreeWidget* m_Tree = nullptr;
    QComboBox* m_TreeSort = nullptr;
    TPageHost* m_PageHost = nullptr;
    TDeviceTree* m_DeviceTree = nullptr;
    TMainActions* m_MainActions = nullptr;
    QTreeWidgetItem* m_WizardsNode = nullptr;
    TModuleFrame* m_ModuleFrame = nullptr;

    TTreePaneFit* m_TreePaneFit = nullptr; // the tree's column and pane width
    QSystemTrayIcon* m_TrayIcon = nullptr;

    mutable TFilterForm* m_FilterForm = nullptr;
    mutable TScanForm* m_ScanForm = nullptr;
    Filter::TFilterServer* m_FilterServer = nullptr;
    Status::TStatusServer* m_StatusServer = nullptr;
    Syslog::TSyslogServer* m_SyslogServer = nullptr;
    TCredentialsHook m_CredentialsHook;
    TLoginForm* m_LoginForm = nullptr;
    TOpenUrlHook m_OpenUrlHook;
};

// Follow-up ticks of the discovery timer counted so far.
extern int g_DiscoveryTicks;
// The discovery chain: find -> settings -> IP configuration -> IntpSip.
Intp::TWizard* GetFindHook();
