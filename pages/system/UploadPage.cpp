#include "pages/system/UploadPage.h"

#include "intp/SystemSettings.h"
#include "intp/Device.h"
#include "intp/Maintenance.h"
#include "intp/NetUtils.h"
#include "intp/Transfer.h"
#include "pages/kit/PageList.h"
#include "pages/kit/PageWidgets.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

QString UploadTooLargeMessage()
{
    return "The image file is larger than 32 MiB (65,536 blocks of 512 bytes) and cannot be sent.";
}

QString UploadEmptyMessage()
{
    return "The image file is empty and cannot be sent.";
}

TUploadPage::TUploadPage(const TKind& kind, QWidget* parent) : TTransferPage(kind.caption, 5, parent), m_Kind(kind)
{
    m_Mode = MakeModePanel("&Open", "&File Name:");
    const TTransferModePanel& mode = m_Mode;
    m_TopPanel = mode.panel;
    m_rbLocal = mode.local;
    m_LocalFile = mode.path;
    m_Open = mode.open;
    m_rbRemote = mode.remote;
    m_ServerIpLabel = mode.serverLabel;
    m_ServerIp = mode.server;
    m_RemoteFileLabel = mode.fieldLabel;
    m_RemoteFile = mode.field;
    if (kind.serverIpLength > 0)
        m_ServerIp->setMaxLength(kind.serverIpLength);
    // The switch gets at most 32 bytes of the name: a longer one would name another file.
    m_RemoteFile->setMaxLength(32);
    m_OpenDialog = new QFileDialog(this, kind.dialogTitle);
    m_OpenDialog->setFileMode(QFileDialog::ExistingFile);
    m_OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_OpenDialog->setSizeGripEnabled(true);

    m_Reboot = new QPushButton(kind.rebootText, this);
    LoadGlyph(m_Reboot, "RC_BITMAP_16X16_REBOOT");
    m_Start = new QPushButton(kind.startText, this);
    m_Start->setDefault(true);
    LoadGlyph(m_Start, kind.startGlyph);
    m_ButtomPanel = LayOutPage(m_TopPanel, {m_Reboot, m_Start});

    connect(m_rbLocal, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbLocal); });
    connect(m_rbRemote, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbRemote); });
    connect(m_ServerIp, &QLineEdit::textChanged, this, [this] { EventOnServerIpChange(); });
    connect(m_RemoteFile, &QLineEdit::textChanged, this, [this] { EventOnServerIpChange(); });
    connect(m_Open, &QPushButton::clicked, this, [this] { EventOnOpenClick(); });
    connect(m_Reboot, &QPushButton::clicked, this, [this] { EventOnRebootClick(); });
    connect(m_Start, &QPushButton::clicked, this, [this] { EventOnStartClick(); });

    m_rbLocal->setChecked(true);
    EventOnLocalClick(m_rbLocal);
    m_Reboot->setEnabled(false);

    // Disabled controls say why.
    SetToolTipReason(m_Start, [this] { return m_Start->isEnabled() ? QString() : WhyNoStart(); });
    SetToolTipReason(m_Reboot, [this] {
        return m_Reboot->isEnabled() ? QString() : QString("Offered once a run has ended.");
    });
    SetToolTipReason(m_TopPanel, [this] { return RowCount() > 0 && !m_SameModel ? MixedModels() : QString(); });
}

QString TUploadPage::MixedModels()
{
    return "The selected switches are of different models: one image serves one model. "
           "Select switches of one model.";
}

QString TUploadPage::WhyNoStart() const
{
    QString why = StartBlocker();
    if (!why.isEmpty())
        return why;
    if (!m_SameModel)
        return MixedModels();
    if (IsBuildin())
        return "Choose an existing image file with Open.";
    if (!IsValidHostIp(m_ServerAddress))
        return NoServerText();
    return "Enter the image's file name on the TFTP server.";
}

QString TUploadPage::RunningWork() const
{
    return IsBusy() ? QString("\"%1\" is sending its image to the switches.").arg(m_Kind.caption) : QString();
}

bool TUploadPage::IsBuildin() const { return !m_rbRemote->isChecked(); }

void TUploadPage::EventOnLocalClick(QRadioButton* sender)
{
    if (sender && !sender->isChecked())
        sender->setChecked(true);
    m_Mode.ShowMethod();
    EventOnServerIpChange();
}

void TUploadPage::EventOnServerIpChange()
{
    m_ServerAddress = m_Mode.Server();
    m_Start->setEnabled(m_Mode.IsReady());
}

void TUploadPage::EventOnOpenClick()
{
    if (m_OpenDialog->exec() == QDialog::Accepted && !m_OpenDialog->selectedFiles().isEmpty())
        EventOnFileChosen(m_OpenDialog->selectedFiles().constFirst());
}

void TUploadPage::EventOnFileChosen(const QString& file)
{
    m_LocalFile->setText(file);
    m_Start->setEnabled(m_Mode.IsReady());
}

void TUploadPage::SetModeControlsEnabled(bool enabled)
{
    SetEnabled({m_rbRemote, m_rbLocal, m_LocalFile, m_Open, m_ServerIpLabel, m_ServerIp, m_RemoteFileLabel,
                m_RemoteFile},
               enabled);
}

void TUploadPage::AfterFill(const std::vector<Intp::TDevice*>& listed)
{
    // One image for one model: any two listed switches of different models
    // (an unknown model included), in whatever order, make a mixed selection.
    m_SameModel = true;
    for (Intp::TDevice* device : listed) {
        if (device->GetType() != listed.front()->GetType())
            m_SameModel = false;
    }
    const bool usable = !listed.empty() && m_SameModel;
    SetModeControlsEnabled(usable);
    m_Start->setEnabled(false);
    m_Reboot->setEnabled(false);
    if (usable)
        EventOnLocalClick(m_rbLocal->isChecked() ? m_rbLocal : m_rbRemote);
}

void TUploadPage::EventOnStartClick()
{
    if (IsBuildin()) {
        // Block numbers are 16-bit: a larger image can't be addressed. An
        // empty file is no image: a switch would be sent a block of zeros.
        QFileInfo file(m_LocalFile->text());
        if (file.isFile() && quint64(file.size()) > Intp::TransferMaxUploadSize) {
            ShowMessage(UploadTooLargeMessage());
            return;
        }
        if (file.isFile() && file.size() == 0) {
            ShowMessage(UploadEmptyMessage());
            return;
        }
        m_Blocks = UploadBlockCount(file.size());
    }
    StartRun();
}

void TUploadPage::EventOnRebootClick() { SendToSelectedDevices<Intp::TSessionBasicsReboot>(); }

void TUploadPage::OnBusyChanged(bool busy)
{
    m_Start->setEnabled(!busy);
    m_Reboot->setEnabled(!busy);
    m_TopPanel->setEnabled(!busy);
}

bool TUploadPage::IsRunCode(std::uint16_t code) const
{
    return code == (IsBuildin() ? m_Kind.buildinCode : m_Kind.tftpCode);
}

TTransferOutcome UploadOutcome(bool buildin, const void* context)
{
    if (!context)
        return toRunning;
    return TTransferPage::OutcomeOf(buildin ? static_cast<const Intp::TUploadProgress*>(context)->state
                                            : static_cast<const Intp::TTftpProgress*>(context)->state);
}

int UploadPercent(const void* context, std::int64_t blocks)
{
    if (!context || blocks <= 0)
        return -1;
    const auto* progress = static_cast<const Intp::TUploadProgress*>(context);
    // State 0: block acknowledged; 3: that block goes again.
    const std::int64_t done = progress->block + (progress->state == 0 ? 1 : 0);
    return int(done * 100 / blocks);
}

std::int64_t UploadBlockCount(std::int64_t size)
{
    const auto block = std::int64_t(Intp::TransferBlockSize);
    return std::max<std::int64_t>(1, (size + block - 1) / block);
}

TTransferOutcome TUploadPage::Progress(std::uint16_t code, const void* context) const
{
    return UploadOutcome(code == m_Kind.buildinCode, context);
}

int TUploadPage::ProgressPercent(std::uint16_t code, const void* context) const
{
    return code == m_Kind.buildinCode ? UploadPercent(context, m_Blocks) : -1;
}

int TUploadPage::StartTransfers(int first)
{
    return IsBuildin() ? StartBuildinTransfers(first) : StartTftpTransfers(first);
}

int TUploadPage::StartBuildinTransfers(int first)
{
    // Every request opens the file itself.
    const std::string file = QFile::encodeName(m_LocalFile->text()).toStdString();
    return StartRows(first, BatchSize, "Transmitting", [&](Intp::TDevice*, bool& prepared) {
        return NewBuildin(file, prepared);
    });
}

int TUploadPage::StartTftpTransfers(int first)
{
    const Intp::TTftpParam param =
        Intp::MakeTftpParam(m_ServerAddress, 69, m_RemoteFile->text().toUtf8().toStdString());
    return StartRows(first, BatchSize, "Transmitting", [&](Intp::TDevice*, bool&) { return NewTftp(param); });
}
