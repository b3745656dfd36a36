#include "pages/system/FileTransferPage.h"

#include "intp/Maintenance.h"
#include "intp/NetUtils.h"
#include "pages/kit/PageWidgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TFileTransferPage::TFileTransferPage(const QString& caption, const TModes& modes, QWidget* parent)
    : TTransferPage(caption, 5, parent), m_Modes(modes)
{
    m_Mode = MakeModePanel(modes.openText, modes.fieldText);
    m_Mode.folder = modes.folder;
    m_Mode.fieldIsTftp = modes.fieldIsTftp;
    m_Mode.LimitField(modes.fieldLength);
    m_TopPanel = m_Mode.panel;
    m_rbLocal = m_Mode.local;
    m_Open = m_Mode.open;
    m_rbRemote = m_Mode.remote;
    m_ServerIp = m_Mode.server;

    TPageForm form = LayOut(m_TopPanel);
    if (!modes.rebootText.isEmpty())
        m_Reboot = form.Button(modes.rebootText, "RC_BITMAP_16X16_REBOOT");
    m_Start = form.Button(modes.startText, modes.startGlyph, true);
    m_ButtomPanel = form.ButtonPanel();

    connect(m_rbLocal, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbLocal); });
    connect(m_rbRemote, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbRemote); });
    connect(m_ServerIp, &QLineEdit::textChanged, this, [this] { EventOnServerIpChange(); });
    if (modes.fieldIsTftp)
        connect(m_Mode.field, &QLineEdit::textChanged, this, [this] { EventOnServerIpChange(); });
    connect(m_Open, &QPushButton::clicked, this, [this] { EventOnOpenClick(); });
    connect(m_Start, &QPushButton::clicked, this, [this] { EventOnStartClick(); });

    m_rbLocal->setChecked(true);
    m_Mode.ShowMethod();
    m_Start->setEnabled(false);

    // Disabled controls say why.
    SetToolTipReason(m_Start, [this] { return m_Start->isEnabled() ? QString() : WhyNoStart(); });
    for (QWidget* control : ModeControls())
        SetToolTipReason(control, [this, control] {
            return !control->isEnabled() && RowCount() > 0 ? Refusal() : QString();
        });
    if (m_Reboot) {
        connect(m_Reboot, &QPushButton::clicked, this, [this] { EventOnRebootClick(); });
        m_Reboot->setEnabled(false);
        SetToolTipReason(
            m_Reboot, [this] { return m_Reboot->isEnabled() ? QString() : QString("Offered once a run has ended."); });
    }
}

QString TFileTransferPage::WhyNoStart() const
{
    QString why = StartBlocker();
    if (why.isEmpty())
        why = Refusal();
    if (!why.isEmpty())
        return why;
    if (IsBuildin())
        return m_Modes.pathHint;
    if (!IsValidHostIp(m_Mode.Server()))
        return NoServerText();
    return m_Modes.fieldHint;
}

std::array<QWidget*, 8> TFileTransferPage::ModeControls() const
{
    return {m_rbRemote, m_rbLocal, m_Mode.path, m_Open, m_Mode.serverLabel, m_ServerIp, m_Mode.fieldLabel, m_Mode.field};
}

void TFileTransferPage::UpdateStart() { m_Start->setEnabled(m_Usable && !IsBusy() && m_Mode.IsReady()); }

void TFileTransferPage::EventOnLocalClick(QRadioButton* sender)
{
    if (sender && !sender->isChecked())
        sender->setChecked(true);
    m_Mode.ShowMethod();
    EventOnServerIpChange();
}

void TFileTransferPage::EventOnServerIpChange()
{
    m_ServerAddress = m_Mode.Server();
    UpdateStart();
}

void TFileTransferPage::ShowPath(const QString& path)
{
    m_Mode.path->setText(path);
    UpdateStart();
}

void TFileTransferPage::EventOnRebootClick() { SendToSelectedDevices<Intp::TSessionBasicsReboot>(); }

void TFileTransferPage::AfterFill(const std::vector<Intp::TDevice*>& listed)
{
    m_Usable = !listed.empty() && Refusal().isEmpty();
    for (QWidget* control : ModeControls())
        control->setEnabled(m_Usable);
    m_Start->setEnabled(false);
    if (m_Reboot)
        m_Reboot->setEnabled(false);
    if (m_Usable)
        EventOnLocalClick(m_rbLocal->isChecked() ? m_rbLocal : m_rbRemote);
}

void TFileTransferPage::OnBusyChanged(bool busy)
{
    m_Start->setEnabled(!busy);
    if (m_Reboot)
        m_Reboot->setEnabled(!busy);
    m_TopPanel->setEnabled(!busy);
}

bool TFileTransferPage::IsRunCode(std::uint16_t code) const
{
    return code == (IsBuildin() ? m_Modes.buildinCode : m_Modes.tftpCode);
}
