#include "pages/system/Modulebasics_backup.h"

#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "intp/Transfer.h"
#include "pages/PageList.h"
#include "pages/PageWidgets.h"

#include <QDir>
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

TModuleBasicsBackup::TModuleBasicsBackup(QWidget* parent) : TTransferPage("Backup", 5, parent)
{
    m_TopPanel = new QWidget(this);
    m_rbLocal = new QRadioButton("Use &build-in support:", m_TopPanel);
    m_LocalDir = new QLineEdit(m_TopPanel);
    m_LocalDir->setReadOnly(true);
    m_LocalDir->setFocusPolicy(Qt::NoFocus);
    m_Open = new QPushButton("&Save ...", m_TopPanel);
    LoadGlyph(m_Open, "RC_BITMAP_16X16_OPEN");
    m_rbRemote = new QRadioButton("Use &remote tftp server:", m_TopPanel);
    m_Label1 = new QLabel("&TFTP Server IP:", m_TopPanel);
    m_ServerIp = new QLineEdit(m_TopPanel);
    m_Label1->setBuddy(m_ServerIp);
    m_PrefixLabel = new QLabel("&Filename Prefix:", m_TopPanel);
    m_Prefix = new QLineEdit("backup_", m_TopPanel);
    m_Prefix->setMaxLength(12);
    m_PrefixLabel->setBuddy(m_Prefix);

    auto* grid = new QGridLayout(m_TopPanel);
    grid->addWidget(m_rbLocal, 0, 0);
    grid->addWidget(m_LocalDir, 0, 1, 1, 2);
    grid->addWidget(m_Open, 0, 3);
    grid->addWidget(m_rbRemote, 1, 0);
    grid->addWidget(m_Label1, 1, 1);
    grid->addWidget(m_ServerIp, 1, 2);
    grid->addWidget(m_PrefixLabel, 2, 1);
    grid->addWidget(m_Prefix, 2, 2);
    grid->setColumnStretch(2, 1);

    m_ButtomPanel = new QWidget(this);
    m_Backup = new QPushButton("&Backup", m_ButtomPanel);
    m_Backup->setDefault(true);
    LoadGlyph(m_Backup, "RC_BITMAP_16X16_BACKUP");
    auto* buttons = new QHBoxLayout(m_ButtomPanel);
    buttons->addStretch(1);
    buttons->addWidget(m_Backup);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_TopPanel);
    layout->addWidget(m_ListView, 1);
    layout->addWidget(m_ButtomPanel);

    connect(m_rbLocal, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbLocal); });
    connect(m_rbRemote, &QRadioButton::clicked, this, [this] { EventOnLocalClick(m_rbRemote); });
    connect(m_ServerIp, &QLineEdit::textChanged, this, [this] { EventOnServerIpChange(); });
    connect(m_Open, &QPushButton::clicked, this, [this] { EventOnOpenClick(); });
    connect(m_Backup, &QPushButton::clicked, this, [this] { EventOnBackupClick(); });

    m_rbLocal->setChecked(true);
    EventOnLocalClick(m_rbLocal);
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
    std::uint32_t word = code == Intp::ccBasicsBackupBuildin
                             ? static_cast<const Intp::TBackupProgress*>(context)->progress
                             : static_cast<const Intp::TTftpProgress*>(context)->state;
    switch (word) {
    case 2: return toDone;
    case 4: return toError;
    case 1: return toWritingFlash;
    default: return toRunning;
    }
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
    return StartRows(first, BatchSize, "Transmitting", [&](Intp::TDevice* device, int, bool& prepared) {
        auto* request = new (std::nothrow) Intp::TSessionBasicsBackupBuildin;
        if (request) {
            const QString path = folder + "/" + FileNameOf(device);
            prepared = request->OpenFile(QFile::encodeName(path).toStdString());
        }
        return request;
    });
}

int TModuleBasicsBackup::StartTftpTransfers(int first)
{
    // One TFTP backup at a time: the next row starts when this one ends.
    return StartRows(first, 1, "Transmitting", [&](Intp::TDevice* device, int, bool&) {
        auto* request = new (std::nothrow) Intp::TSessionBasicsBackupTftp;
        if (request)
            request->SetPayload(m_ServerAddress, 69, FileNameOf(device).toStdString());
        return request;
    });
}
