// The window's services to the protocol library and the pages: each is
// handed to the part that keeps it (protocol host, device tree, page host,
// actions).

#include "console/MainForm.h"

#include "console/DeviceTree.h"
#include "console/FilterForm.h"
#include "console/LoginDialog.h"
#include "console/MainActions.h"
#include "console/PageHost.h"
#include "console/ProtocolHost.h"

#include <algorithm>

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

Filter::TFilterServer* TMainForm::GetFilterServer() { return m_FilterServer ? m_FilterServer : FilterForm(); }

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
