#include "pages/system/Modulebasics_backup.h"

#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "intp/Transfer.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

TModuleBasicsBackup::TModuleBasicsBackup(QWidget* parent)
    : TFileTransferPage("Backup",
                        {.openText = "&Save ...",
                         .fieldText = "&Filename Prefix:",
                         .fieldLength = 12,
                         .fieldIsTftp = false,
                         .folder = true,
                         .startText = "&Backup",
                         .startGlyph = "RC_BITMAP_16X16_BACKUP",
                         .buildinCode = Intp::ccBasicsBackupBuildin,
                         .tftpCode = Intp::ccBasicsBackupTftp,
                         .pathHint = "Choose an existing folder with Save ..."},
                        parent)
{
    m_LocalDir = m_Mode.path;
    m_Label1 = m_Mode.serverLabel;
    m_PrefixLabel = m_Mode.fieldLabel;
    m_Prefix = m_Mode.field;
    m_Prefix->setText("backup_");
    m_Backup = m_Start;
}

void TModuleBasicsBackup::EventOnOpenClick()
{
    const QString folder = QFileDialog::getExistingDirectory(this, "Save in ...", m_LocalDir->text());
    if (!folder.isEmpty())
        EventOnFolderChosen(folder);
}

void TModuleBasicsBackup::EventOnFolderChosen(const QString& folder) { ShowPath(QDir::toNativeSeparators(folder)); }

void TModuleBasicsBackup::EventOnStartClick()
{
    m_RunNames.clear();
    StartRun();
}

TTransferOutcome TModuleBasicsBackup::Progress(std::uint16_t code, const void* context) const
{
    if (!context)
        return toRunning;
    return OutcomeOf(code == Intp::ccBasicsBackupBuildin ? static_cast<const Intp::TBackupProgress*>(context)->progress
                                                         : static_cast<const Intp::TTftpProgress*>(context)->state);
}

bool TModuleBasicsBackup::StartsNextAtOnce() const { return !IsBuildin(); }

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

int TModuleBasicsBackup::StartTransfers(int first)
{
    return IsBuildin() ? StartBuildinTransfers(first) : StartTftpTransfers(first);
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
            request->SetPayload(m_ServerAddress, 69, SwitchBytes(FileNameOf(device)));
        return request;
    });
}

REGISTER_PAGE(TModuleBasicsBackup);
