#include "pages/system/UploadPage.h"

#include "intp/Basics.h"
#include "intp/Device.h"
#include "intp/Maintenance.h"
#include "intp/NetUtils.h"
#include "intp/Transfer.h"
#include "pages/PageList.h"
#include "pages/PageWidgets.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

QString UploadTooLargeMessage()
{
    return "The image file is larger than 32 MiB (65,536 blocks of 512 bytes) and cannot be sent.";
}

TUploadPage::TUploadPage(const TKind& kind, QWidget* parent) : TTransferPage(kind.caption, 5, parent), m_Kind(kind)
{
    m_TopPanel = new QWidget(this);
    m_rbLocal = new QRadioButton("Use &build-in support:", m_TopPanel);
    m_LocalFile = new QLineEdit(m_TopPanel);
    m_LocalFile->setReadOnly(true);
    m_LocalFile->setFocusPolicy(Qt::NoFocus);
    m_Open = new QPushButton("&Open", m_TopPanel);
    LoadGlyph(m_Open, "RC_BITMAP_16X16_OPEN");
    m_OpenDialog = new QFileDialog(this, kind.dialogTitle);
    m_OpenDialog->setFileMode(QFileDialog::ExistingFile);
    m_OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_OpenDialog->setSizeGripEnabled(true);
    m_rbRemote = new QRadioButton("Use &remote tftp server:", m_TopPanel);
    m_ServerIpLabel = new QLabel("&TFTP Server IP:", m_TopPanel);
    m_ServerIp = new QLineEdit(m_TopPanel);
    if (kind.serverIpLength > 0)
        m_ServerIp->setMaxLength(kind.serverIpLength);
    m_ServerIpLabel->setBuddy(m_ServerIp);
    m_RemoteFileLabel = new QLabel("&File Name:", m_TopPanel);
    m_RemoteFile = new QLineEdit(m_TopPanel);
    // The switch gets at most 32 bytes of the name: a longer one would name another file.
    m_RemoteFile->setMaxLength(32);
    m_RemoteFileLabel->setBuddy(m_RemoteFile);

    auto* grid = new QGridLayout(m_TopPanel);
    grid->addWidget(m_rbLocal, 0, 0);
    grid->addWidget(m_LocalFile, 0, 1, 1, 2);
    grid->addWidget(m_Open, 0, 3);
    grid->addWidget(m_rbRemote, 1, 0);
    grid->addWidget(m_ServerIpLabel, 1, 1);
    grid->addWidget(m_ServerIp, 1, 2);
    grid->addWidget(m_RemoteFileLabel, 2, 1);
    grid->addWidget(m_RemoteFile, 2, 2);
    grid->setColumnStretch(2, 1);

    m_ButtomPanel = new QWidget(this);
    m_Reboot = new QPushButton(kind.rebootText, m_ButtomPanel);
    LoadGlyph(m_Reboot, "RC_BITMAP_16X16_REBOOT");
    m_Start = new QPushButton(kind.startText, m_ButtomPanel);
    m_Start->setDefault(true);
    LoadGlyph(m_Start, kind.startGlyph);
    auto* buttons = new QHBoxLayout(m_ButtomPanel);
    buttons->addStretch(1);
    buttons->addWidget(m_Reboot);
    buttons->addWidget(m_Start);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_TopPanel);
    layout->addWidget(m_ListView, 1);
    layout->addWidget(m_ButtomPanel);

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
}

bool TUploadPage::IsBuildin() const { return !m_rbRemote->isChecked(); }

void TUploadPage::EventOnLocalClick(QRadioButton* sender)
{
    const bool buildin = sender == m_rbLocal;
    m_LocalFile->setEnabled(buildin);
    m_Open->setEnabled(buildin);
    m_ServerIpLabel->setEnabled(!buildin);
    m_ServerIp->setEnabled(!buildin);
    m_RemoteFileLabel->setEnabled(!buildin);
    m_RemoteFile->setEnabled(!buildin);
    if (buildin)
        m_Start->setEnabled(QFileInfo(m_LocalFile->text()).isFile());
    else
        EventOnServerIpChange();
}

void TUploadPage::EventOnServerIpChange()
{
    m_ServerAddress = StringToIp(m_ServerIp->text().toStdString());
    if (m_rbRemote->isChecked()) {
        const QByteArray name = m_RemoteFile->text().toUtf8();
        m_Start->setEnabled(IsValidHostIp(m_ServerAddress) && !name.isEmpty() &&
                            name.size() <= int(sizeof(Intp::TTftpParam::name)));
    }
}

void TUploadPage::EventOnOpenClick()
{
    if (m_OpenDialog->exec() == QDialog::Accepted && !m_OpenDialog->selectedFiles().isEmpty())
        EventOnFileChosen(m_OpenDialog->selectedFiles().constFirst());
}

void TUploadPage::EventOnFileChosen(const QString& file)
{
    m_LocalFile->setText(file);
    m_Start->setEnabled(QFileInfo(file).isFile());
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
        // Block numbers are 16-bit: a larger image can't be addressed.
        QFileInfo file(m_LocalFile->text());
        if (file.isFile() && quint64(file.size()) > Intp::TransferMaxUploadSize) {
            ShowMessage(UploadTooLargeMessage());
            return;
        }
        m_Blocks = std::max<std::int64_t>(1, (file.size() + qint64(Intp::TransferBlockSize) - 1) /
                                                 qint64(Intp::TransferBlockSize));
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

TTransferOutcome TUploadPage::Progress(std::uint16_t code, const void* context) const
{
    if (!context)
        return toRunning;
    std::uint32_t word = code == m_Kind.buildinCode ? static_cast<const Intp::TUploadProgress*>(context)->state
                                                    : static_cast<const Intp::TTftpProgress*>(context)->state;
    switch (word) {
    case 2: return toDone;
    case 4: return toError;
    case 1: return toWritingFlash;
    default: return toRunning;  // 0 and 3 (a block sent again)
    }
}

int TUploadPage::ProgressPercent(std::uint16_t code, const void* context) const
{
    if (code != m_Kind.buildinCode || !context || m_Blocks <= 0)
        return -1;
    const auto* progress = static_cast<const Intp::TUploadProgress*>(context);
    // State 0: block acknowledged; 3: that block goes again.
    const std::int64_t done = progress->block + (progress->state == 0 ? 1 : 0);
    return int(done * 100 / m_Blocks);
}

int TUploadPage::StartTransfers(int first)
{
    return IsBuildin() ? StartBuildinTransfers(first) : StartTftpTransfers(first);
}

int TUploadPage::StartBuildinTransfers(int first)
{
    // Every request opens the file itself.
    const std::string file = QFile::encodeName(m_LocalFile->text()).toStdString();
    return StartRows(first, BatchSize, "Transmitting", [&](Intp::TDevice*, int, bool& prepared) {
        return NewBuildin(file, prepared);
    });
}

int TUploadPage::StartTftpTransfers(int first)
{
    const Intp::TTftpParam param =
        Intp::MakeTftpParam(m_ServerAddress, 69, m_RemoteFile->text().toUtf8().toStdString());
    return StartRows(first, BatchSize, "Transmitting", [&](Intp::TDevice*, int, bool&) { return NewTftp(param); });
}
