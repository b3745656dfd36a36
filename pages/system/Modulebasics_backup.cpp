#include "pages/system/Modulebasics_backup.h"
#include "pages/kit/PageRegistry.h"

#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "intp/Transfer.h"
#include "pages/kit/PageList.h"
#include "pages/kit/PageWidgets.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TModuleBasicsBackup::TModuleBasicsBackup(QWidget* parent) : TTransferPage("Backup", 5, parent)
{
    const TTransferModePanel mode = MakeModePanel("&Save ...", "&Filename Prefix:");
    m_TopPanel = mode.panel;
    m_rbLocal = mode.local;
    m_LocalDir = mode.path;
    m_Open = mode.open;
    m_rbRemote = mode.remote;
    m_Label1 = mode.serverLabel;
    m_ServerIp = mode.server;
    m_PrefixLabel = mode.fieldLabel;
    m_Prefix = mode.field;
    m_Prefix->setText("backup_");
    m_Prefix->setMaxLength(12);

    m_Backup = new QPushButton("&Backup", this);
    m_Backup->setDefault(true);
    LoadGlyph(m_Backup, "RC_BITMAP_16X16_BACKUP");
    m_ButtomPanel = LayOutPage(m_TopPanel, {m_Backup});

    connect(m_rbLocal, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbLocal); });
    connect(m_rbRemote, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbRemote); });
    connect(m_ServerIp, &QLineEdit::textChanged, this, [this] { EventOnServerIpChange(); });
    connect(m_Open, &QPushButton::clicked, this, [this] { EventOnOpenClick(); });
    connect(m_Backup, &QPushButton::clicked, this, [this] { EventOnBackupClick(); });

    m_rbLocal->setChecked(true);
    EventOnLocalClick(m_rbLocal);

    SetToolTipReason(m_Backup, [this] {
        if (m_Backup->isEnabled())
            return QString();
        QString why = StartBlocker();
        if (!why.isEmpty())
            return why;
        if (IsBuildin())
            return QString("Choose an existing folder with Save ...");
        return NoServerText();
    });
}

bool TModuleBasicsBackup::IsBuildin() const { return !m_rbRemote->isChecked(); }

void TModuleBasicsBackup::EventOnLocalClick(QRadioButton* sender)
{
    const bool buildin = sender == m_rbLocal;
    m_LocalDir->setEnabled(buildin);
    m_Open->setEnabled(buildin);
    m_Label1->setEnabled(!buildin);
    m_ServerIp->setEnabled(!buildin);
    if (buildin) {
        const QString folder = m_LocalDir->text();
        m_Backup->setEnabled(!folder.isEmpty() && QFileInfo(folder).isDir());
    } else {
        EventOnServerIpChange();
    }
}

void TModuleBasicsBackup::EventOnServerIpChange()
{
    m_ServerAddress = StringToIp(m_ServerIp->text().toStdString());
    if (m_rbRemote->isChecked())
        m_Backup->setEnabled(IsValidHostIp(m_ServerAddress));
}

void TModuleBasicsBackup::EventOnOpenClick()
{
    const QString folder = QFileDialog::getExistingDirectory(this, "Save in ...", m_LocalDir->text());
    if (!folder.isEmpty())
        EventOnFolderChosen(folder);
}

void TModuleBasicsBackup::EventOnFolderChosen(const QString& folder)
{
    m_LocalDir->setText(QDir::toNativeSeparators(folder));
    m_Backup->setEnabled(QFileInfo(folder).isDir());
}

void TModuleBasicsBackup::AfterFill(const std::vector<Intp::TDevice*>& listed)
{
    const bool any = !listed.empty();
    SetEnabled({m_rbRemote, m_rbLocal, m_LocalDir, m_Open, m_Label1, m_ServerIp, m_PrefixLabel, m_Prefix}, any);
    m_Backup->setEnabled(false);
    if (any)
        EventOnLocalClick(m_rbLocal->isChecked() ? m_rbLocal : m_rbRemote);
}

void TModuleBasicsBackup::EventOnBackupClick()
{
    m_RunNames.clear();
    StartRun();
}

void TModuleBasicsBackup::OnBusyChanged(bool busy)
{
    m_Backup->setEnabled(!busy);
    m_TopPanel->setEnabled(!busy);
}

bool TModuleBasicsBackup::IsRunCode(std::uint16_t code) const
{
    return code == (IsBuildin() ? Intp::ccBasicsBackupBuildin : Intp::ccBasicsBackupTftp);
}

TTransferOutcome TModuleBasicsBackup::Progress(std::uint16_t code, const void* context) const
{
    if (!context)
        return toRunning;
    return OutcomeOf(code == Intp::ccBasicsBackupBuildin ? static_cast<const Intp::TBackupProgress*>(context)->progress
                                                         : static_cast<const Intp::TTftpProgress*>(context)->state);
}

bool TModuleBasicsBackup::StartsNextAtOnce() const { return !IsBuildin(); }

int TModuleBasicsBackup::StartTransfers(int first)
{
    return IsBuildin() ? StartBuildinTransfers(first) : StartTftpTransfers(first);
}

QString TModuleBasicsBackup::FileNameOf(Intp::TDevice* device)
{
    const std::string mac = device->GetMac().ToString();
    const QString prefix = m_Prefix->text();
    QString name = prefix + QString::fromStdString(IpToString(device->GetIp())) + ".bin";
    auto taken = m_RunNames.find(name);
    if (taken != m_RunNames.end() && taken->second != mac)
        name = prefix + QString::fromStdString(mac).remove(':') + ".bin";
    m_RunNames.emplace(name, mac);
    return name;
}

int TModuleBasicsBackup::StartBuildinTransfers(int first)
{
    const QString folder = m_LocalDir->text();
    return StartRows(first, BatchSize, "Transmitting", [&](Intp::TDevice* device, bool& prepared) {
        auto* request = new (std::nothrow) Intp::TSessionBasicsBackupBuildin;
        if (request) {
            const QString path = folder + "/" + FileNameOf(device);
            prepared = request->OpenFile(QFile::encodeName(path).toStdString()) != Intp::InvalidFileHandle;
        }
        return request;
    });
}

int TModuleBasicsBackup::StartTftpTransfers(int first)
{
    // One TFTP backup at a time: the next row starts when this one ends.
    return StartRows(first, 1, "Transmitting", [&](Intp::TDevice* device, bool&) {
        auto* request = new (std::nothrow) Intp::TSessionBasicsBackupTftp;
        if (request)
            request->SetPayload(m_ServerAddress, 69, FileNameOf(device).toStdString());
        return request;
    });
}

REGISTER_PAGE(TModuleBasicsBackup);
