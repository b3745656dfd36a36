#include "pages/kit/ModulePage.h"

#include "pages/kit/MessageBox.h"
#include "pages/kit/NotAvailable.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageForm.h"
#include "intp/Device.h"
#include "pages/rules/PageRules.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QWidget>


namespace {

const char* const kKeepProperty = "pageKeepWhenUnavailable";

QLabel* NewStatusLine(QWidget* page)
{
    auto* line = new QLabel(page);
    line->setObjectName("statusLine");
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return line;
}

}  // namespace

TModulePage::TModulePage(const QString& caption, QWidget* parent)
    : QFrame(parent),
      m_Caption(caption),
      m_Changes(
          this, [this](const QString& waiting) { TellChanges(waiting, {}); },
          [this](const QString& done, const QStringList& failed) { TellChanges(done, failed); })
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

QString TModulePage::PortCountWhy(const Intp::TDevice* device, std::size_t ports)
{
    if (device && device->GetPortNum() >= ports)
        return QString();
    return QString("its model has %1, this change is for %2")
        .arg(Counted(device ? device->GetPortNum() : 0, "port", "ports"))
        .arg(Counted(qint64(ports), "port", "ports"));
}

unsigned TModulePage::TreeLayouts() const
{
    if (!m_Layouts) {
        const std::optional<TPageId> id = RegisteredPageId(typeid(*this));
        m_Layouts = id ? PageLayouts(*id) : 0u;
    }
    return *m_Layouts;
}

QString TModulePage::GenerationWhy(const Intp::TDevice* device) const
{
    // A page both trees hold, or neither, goes to every switch.
    const unsigned layouts = TreeLayouts();
    if (!device || layouts == 0 || layouts == 3)
        return QString();
    const bool second = IsSecondGeneration(device);
    if (second == (layouts == 2))
        return QString();
    return second ? "it is a second-generation switch, this change is for first-generation switches"
                  : "it is a first-generation switch, this change is for second-generation switches";
}

QString TModulePage::TargetWhy(Intp::TDevice* device) const
{
    if (QString why = GenerationWhy(device); !why.isEmpty())
        return why;
    if (QString why = UnreadReason(device); !why.isEmpty())
        return QString("its own page is not available: %1").arg(why);
    return m_TargetCheck && device ? m_TargetCheck(device) : QString();
}

bool TModulePage::IsCurrent(const Intp::TDevice* device) const
{
    TModuleCallback* host = Host();
    return device && host && host->IsCurrentDevice(device);
}

void TModulePage::AddReadStep(std::function<int()> send, TReadWhen when)
{
    m_Reads.push_back({std::move(send), when, 0, nullptr, true});
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

void TModulePage::AddChainStep(std::uint16_t code, std::function<bool(Intp::TDevice*)> startNext,
                               std::function<bool(Intp::TDevice*)> nextValid)
{
    m_Chains.push_back({code, std::move(startNext), std::move(nextValid)});
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
    for (const TRefillCode& entry : m_RefillCodes) {
        if (entry.code == code)
            return entry.anyDevice || IsCurrent(device);
    }
    return false;
}

void TModulePage::OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (code == ncDeviceRemoved)
        m_Changes.Prune();
    bool chained = false;
    for (const TChain& chain : m_Chains) {
        if (chain.code != code)
            continue;
        chained = true;
        // A link that failed or timed out ends the chain: a switch that does
        // not answer costs one time-out, not one per link.
        if (device && status == Intp::ssOk && chain.startNext(device))
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
    EndUnavailable();
    for (const QPointer<QWidget>& control : m_Inputs) {
        if (control)
            control->setEnabled(device != nullptr);
    }
    Fill(device);
    const QString unread = UnreadReason(device);
    if (!unread.isEmpty())
        ShowUnavailable(unread);
    else if (m_StatusLine)
        m_StatusLine->setText(m_ChangeText);
    setUpdatesEnabled(true);
    show();
    raise();
    m_Refilling = false;
    UpdateNumberGates(this);
}

bool TModulePage::CanLeave(bool) { return true; }

bool TModulePage::Leave(bool force)
{
    if (!force && !CanLeave(false))
        return false;
    m_ChangeText.clear();
    if (m_StatusLine)
        m_StatusLine->clear();
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
        else if (auto* spin = qobject_cast<TNumberBox*>(control))
            connect(spin, &TNumberBox::valueChanged, this, [this] { UpdateActions(); });
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
    // Queued behind any box open by then; nothing waits for it.
    ShowMessageBoxLater(QMessageBox::Warning, message, this);
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

int TModulePage::MaskPortCount(Intp::TDevice* device, int ports)
{
    SayPortsCut(device, ports, 0, ports > MaxMaskPorts ? ports - MaxMaskPorts : 0);
    return ports > MaxMaskPorts ? MaxMaskPorts : ports;
}

void TModulePage::SayPortsCut(Intp::TDevice* device, const TPortLayout& ports)
{
    // A list of ports and trunk groups counts each as what it is.
    const int groups = ports.TrunkGroupCount();
    SayPortsCut(device, ports.PortCount() - groups, groups, ports.CutCount());
}

void TModulePage::SayPortsCut(Intp::TDevice* device, int ports, int trunkGroups, int cut)
{
    // Said once per device, not on every refill.
    if (!device || cut == 0 || (m_PortWarningShown && m_PortWarningMac == device->GetMac()))
        return;
    m_PortWarningShown = true;
    m_PortWarningMac = device->GetMac();
    QString has = Counted(ports, "port", "ports");
    if (trunkGroups > 0)
        has += " and " + Counted(trunkGroups, "trunk group", "trunk groups");
    ShowMessageLater(
        QString("This switch has %1; this page shows and sets the first %2 only.").arg(has).arg(MaxMaskPorts));
}

QString TModulePage::ReadFailure(std::uint16_t code, const Intp::TDevice* device)
{
    const std::uint16_t status = device && code ? device->GetReadStatus(code) : std::uint16_t(Intp::ssOk);
    return status != Intp::ssOk ? TChangeReport::StatusReason(status) : QString();
}

bool TModulePage::IsOptionalCode(std::uint16_t code) const
{
    bool optional = false;
    for (const TRead& read : m_Reads) {
        if (read.code == code) {
            if (read.needed)
                return false;
            optional = true;
        }
    }
    return optional;
}

QString TModulePage::FailedReadReason(const Intp::TDevice* device) const
{
    const auto failure = [&](std::uint16_t code) {
        return IsOptionalCode(code) ? QString() : ReadFailure(code, device);
    };
    for (const TChain& chain : m_Chains) {
        if (QString why = failure(chain.code); !why.isEmpty())
            return why;
    }
    for (const TRead& read : m_Reads) {
        if (QString why = failure(read.code); !why.isEmpty())
            return why;
    }
    // A read a chain starts refills the page too.
    for (const TRefillCode& refill : m_RefillCodes) {
        if (QString why = failure(refill.code); !why.isEmpty())
            return why;
    }
    return QString();
}

void TModulePage::ShowReadFailed(Intp::TDevice* device, const QString& message)
{
    if (FailedReadReason(device).isEmpty() || m_ReadFailedPending)
        return;
    m_ReadFailedPending = true;
    QPointer<TModulePage> self(this);
    QTimer::singleShot(0, this, [self, message] {
        if (!self)
            return;
        ShowMessageBox(QMessageBox::Warning, message);
        if (self)
            self->m_ReadFailedPending = false;
    });
}

QString TModulePage::UnreadReason(Intp::TDevice* device) const
{
    if (!m_UnavailableWhenUnread || !device)
        return QString();
    if (QString why = FailedReadReason(device); !why.isEmpty())
        return why;
    const QString notRead = "the switch's settings have not been read";
    for (const TRead& read : m_Reads) {
        if (read.valid && !read.valid(device))
            return notRead;
    }
    for (const TChain& chain : m_Chains) {
        if (chain.nextValid && !chain.nextValid(device))
            return notRead;
    }
    return QString();
}

QLabel* TModulePage::StatusLine()
{
    if (!m_StatusLine) {
        m_StatusLine = NewStatusLine(this);
        // A page that laid out no place for it shows it on top.
        if (auto* box = qobject_cast<QBoxLayout*>(layout()))
            box->insertWidget(0, m_StatusLine);
    }
    return m_StatusLine;
}

void TModulePage::PlaceStatusLine(QBoxLayout* row)
{
    if (!m_StatusLine)
        m_StatusLine = NewStatusLine(this);
    row->addWidget(m_StatusLine, 1);
}

void TModulePage::KeepWhenUnavailable(std::initializer_list<QWidget*> controls)
{
    for (QWidget* control : controls) {
        if (control)
            control->setProperty(kKeepProperty, true);
    }
}

void TModulePage::SetEnabledWhy(QWidget* control, const QString& why)
{
    if (!control)
        return;
    control->setEnabled(why.isEmpty());
    control->setToolTip(why);
}

void TModulePage::ShowUnavailable(const QString& reason)
{
    m_UnavailableShown = true;
    StatusLine()->setText(QString("Not available: %1.").arg(reason));
    // Every field shows that its value is unknown, and nothing can be sent;
    // what the controls held is put aside for the next refill.
    for (QWidget* control : findChildren<QWidget*>()) {
        QWidget* parent = control->parentWidget();
        if (control == m_StatusLine || qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent) ||
            control->property(kKeepProperty).toBool())
            continue;
        if (PutAside(control))
            m_Unavailable.push_back(control);
    }
}

void TModulePage::EndUnavailable()
{
    m_UnavailableShown = false;
    for (const QPointer<QWidget>& control : m_Unavailable) {
        if (!control)
            continue;
        TakeBack(control);
    }
    m_Unavailable.clear();
}

void TModulePage::TellChanges(const QString& done, const QStringList& failed)
{
    m_ChangeText = done;
    if (!m_UnavailableShown)
        StatusLine()->setText(done);
    if (!failed.isEmpty())
        ShowMessageLater("The change was not made on every switch:\n\n" + failed.join('\n'));
}
