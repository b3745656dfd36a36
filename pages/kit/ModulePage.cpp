#include "pages/kit/ModulePage.h"

#include "pages/kit/MessageBox.h"
#include "pages/kit/PageForm.h"
#include "intp/Device.h"
#include "pages/rules/PageRules.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>

TModulePage::TModulePage(const QString& caption, QWidget* parent) : QFrame(parent), m_Caption(caption)
{
    setObjectName(caption);
    PressDefaultOnEnter(this);
}

TModulePage::~TModulePage() = default;

QString TModulePage::GetCaption() const { return m_Caption; }

QWidget* TModulePage::GetFrame() { return this; }

TModuleCallback* TModulePage::Host() const { return m_Host ? m_Host : g_ModuleCallback; }

Intp::TDevice* TModulePage::CurrentDevice() const
{
    Intp::TDevice* device = nullptr;
    if (TModuleCallback* host = Host()) {
        if (host->GetCurrentDevice(device) == 0)
            device = nullptr;
    }
    return device;
}

bool TModulePage::IsCurrent(const Intp::TDevice* device) const
{
    TModuleCallback* host = Host();
    return device && host && host->IsCurrentDevice(device);
}

void TModulePage::AddReadStep(std::function<int()> send, TReadWhen when)
{
    m_Reads.push_back({std::move(send), when});
}

void TModulePage::AddRefillCode(std::uint16_t code, bool anyDevice)
{
    for (TRefillCode& entry : m_RefillCodes) {
        if (entry.code == code) {
            entry.anyDevice = entry.anyDevice || anyDevice;
            return;
        }
    }
    m_RefillCodes.push_back({code, anyDevice});
}

void TModulePage::AddChainStep(std::uint16_t code, std::function<bool(Intp::TDevice*)> startNext)
{
    m_Chains.push_back({code, std::move(startNext)});
}

void TModulePage::AddInputs(std::initializer_list<QWidget*> controls)
{
    for (QWidget* control : controls) {
        if (control)
            m_Inputs.push_back(control);
    }
}

int TModulePage::Refresh(bool current)
{
    int count = 0;
    for (const TRead& read : m_Reads) {
        if ((read.when == rwCurrent && !current) || (read.when == rwAll && current))
            continue;
        count = read.send();
    }
    return count;
}

bool TModulePage::AcceptNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t)
{
    if (code == ncSelectionChanged || code == ncDeviceRemoved)
        return true;
    // A selected switch's new address shows at once, not at the next selection.
    if (code == ncDeviceIpChanged && device) {
        const TDeviceList targets = TargetDevices();
        return std::find(targets.begin(), targets.end(), device) != targets.end();
    }
    for (const TRefillCode& entry : m_RefillCodes) {
        if (entry.code == code)
            return entry.anyDevice || IsCurrent(device);
    }
    return false;
}

void TModulePage::OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    bool chained = false;
    for (const TChain& chain : m_Chains) {
        if (chain.code != code)
            continue;
        chained = true;
        if (device && chain.startNext(device))
            return;
    }
    if (chained) {
        // The chain did not go on: the link refills like an own read.
        if (!IsCurrent(device) && !IsAnyDeviceCode(code))
            return;
    } else if (!AcceptNotify(device, code, status)) {
        return;
    }
    Refill();
}

bool TModulePage::IsAnyDeviceCode(std::uint16_t code) const
{
    for (const TRefillCode& entry : m_RefillCodes) {
        if (entry.code == code && entry.anyDevice)
            return true;
    }
    return false;
}

void TModulePage::Refill()
{
    if (m_Refilling)
        return;
    m_Refilling = true;
    if (m_HideWhileRefilling)
        hide();
    setUpdatesEnabled(false);
    Intp::TDevice* device = CurrentDevice();
    for (const QPointer<QWidget>& control : m_Inputs) {
        if (control)
            control->setEnabled(device != nullptr);
    }
    Fill(device);
    setUpdatesEnabled(true);
    show();
    raise();
    m_Refilling = false;
}

bool TModulePage::CanLeave(bool) { return true; }

bool TModulePage::Leave(bool force)
{
    if (!force && !CanLeave(false))
        return false;
    OnLeave();
    hide();
    return true;
}

bool TModulePage::Check(bool ok, const QString& message)
{
    if (!ok)
        ShowMessage(message);
    return ok;
}

void TModulePage::WatchChanges(std::initializer_list<QWidget*> controls)
{
    for (QWidget* control : controls) {
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            connect(edit, &QLineEdit::textChanged, this, [this] { UpdateActions(); });
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
            connect(memo, &QPlainTextEdit::textChanged, this, [this] { UpdateActions(); });
        else if (auto* combo = qobject_cast<QComboBox*>(control))
            connect(combo, &QComboBox::currentTextChanged, this, [this] { UpdateActions(); });
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            connect(spin, &QSpinBox::valueChanged, this, [this] { UpdateActions(); });
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            connect(button, &QAbstractButton::toggled, this, [this] { UpdateActions(); });
    }
}

void TModulePage::ShowMessage(const QString& message)
{
    if (m_Refilling) {
        ShowMessageLater(message);
        return;
    }
    ShowMessageBox(QMessageBox::Warning, message);
}

void TModulePage::ShowMessageLater(const QString& message)
{
    QPointer<TModulePage> self(this);
    QTimer::singleShot(0, this, [self, message] {
        if (self)
            ShowMessageBox(QMessageBox::Warning, message);
    });
}

void TModulePage::SetEnabled(std::initializer_list<QWidget*> controls, bool enabled)
{
    for (QWidget* control : controls) {
        if (control)
            control->setEnabled(enabled);
    }
}

TPortLayout TModulePage::MaskPorts(Intp::TDevice* device, int trunkGroups)
{
    TPortLayout ports;
    ports.BuildFor(device, trunkGroups, psMask);
    SayPortsCut(device, ports);
    return ports;
}

TPortLayout TModulePage::MaskPorts(Intp::TDevice* device, const std::vector<int>& portOf)
{
    TPortLayout ports;
    ports.BuildEntriesFor(device, portOf, psMask);
    SayPortsCut(device, ports);
    return ports;
}

void TModulePage::SayPortsCut(Intp::TDevice* device, const TPortLayout& ports)
{
    // Said once per device, not on every refill.
    if (!device || ports.CutCount() == 0 || (m_PortWarningShown && m_PortWarningMac == device->GetMac()))
        return;
    m_PortWarningShown = true;
    m_PortWarningMac = device->GetMac();
    ShowMessageLater(QString("This switch has %1 ports; this page shows and sets the first %2 only.")
                         .arg(ports.PortCount())
                         .arg(MaxMaskPorts));
}
