#include "pages/system/UploadPage.h"

#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "intp/Transfer.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include <algorithm>

QString UploadTooLargeMessage()
{
    return "The image file is larger than 32 MiB (65,536 blocks of 512 bytes) and cannot be sent.";
}

QString UploadEmptyMessage() { return "The image file is empty and cannot be sent."; }

std::int64_t UploadImageBlocks(const QString& path, const std::function<void(const QString&)>& refuse)
{
    const QFileInfo file(path);
    // Block numbers are 16-bit: a larger image can't be addressed. An empty
    // file is no image: a switch would be sent a block of zeros. A file that
    // is gone fails each row's start instead.
    if (file.isFile() && (quint64(file.size()) > Intp::TransferMaxUploadSize || file.size() == 0)) {
        refuse(file.size() == 0 ? UploadEmptyMessage() : UploadTooLargeMessage());
        return 0;
    }
    return UploadBlockCount(file.size());
}

TUploadPage::TUploadPage(const TKind& kind, QWidget* parent)
    : TFileTransferPage(kind.caption,
                        {.openText = "&Open",
                         .fieldText = "&File Name:",
                         // The switch gets at most 32 bytes of the name: a longer one would name another file.
                         .fieldLength = int(sizeof(Intp::TTftpParam::name)),
                         .startText = kind.startText,
                         .startGlyph = kind.startGlyph,
                         .rebootText = kind.rebootText,
                         .buildinCode = kind.buildinCode,
                         .tftpCode = kind.tftpCode,
                         .pathHint = "Choose an existing image file with Open.",
                         .fieldHint = "Enter the image's file name on the TFTP server."},
                        parent),
      m_Kind(kind)
{
    m_LocalFile = m_Mode.path;
    m_ServerIpLabel = m_Mode.serverLabel;
    m_RemoteFileLabel = m_Mode.fieldLabel;
    m_RemoteFile = m_Mode.field;
    if (kind.serverIpLength > 0)
        m_ServerIp->setMaxLength(kind.serverIpLength);
}

QString TUploadPage::Refusal() const
{
    if (m_SameModel)
        return QString();
    return "The selected switches are of different models: one image serves one model. "
           "Select switches of one model.";
}

QString UploadRunningText() { return "is sending its image to the switches."; }

QString TUploadPage::RunningText() const { return UploadRunningText(); }

void TUploadPage::EventOnOpenClick()
{
    // Made when first asked for (a file dialog reads the file system), then
    // kept, so it opens where the last file was chosen.
    if (!m_OpenDialog) {
        m_OpenDialog = new QFileDialog(this, m_Kind.dialogTitle);
        m_OpenDialog->setFileMode(QFileDialog::ExistingFile);
        m_OpenDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_OpenDialog->setSizeGripEnabled(true);
    }
    if (m_OpenDialog->exec() == QDialog::Accepted && !m_OpenDialog->selectedFiles().isEmpty())
        EventOnFileChosen(m_OpenDialog->selectedFiles().constFirst());
}

void TUploadPage::EventOnFileChosen(const QString& file) { ShowPath(file); }

void TUploadPage::AfterFill(const std::vector<Intp::TDevice*>& listed)
{
    // One image for one model: any two listed switches of different models
    // (an unknown model included), in whatever order, make a mixed selection.
    m_SameModel = true;
    for (Intp::TDevice* device : listed) {
        if (device->GetType() != listed.front()->GetType())
            m_SameModel = false;
    }
    TFileTransferPage::AfterFill(listed);
}

void TUploadPage::EventOnStartClick()
{
    if (IsBuildin()) {
        m_Blocks = UploadImageBlocks(m_LocalFile->text(), [this](const QString& why) { ShowMessage(why); });
        if (m_Blocks == 0)
            return;
    }
    StartRun();
}

TTransferOutcome UploadOutcome(bool buildin, const void* context)
{
    if (!context)
        return toRunning;
    return TTransferPage::OutcomeOf(buildin ? static_cast<const Intp::TUploadProgress*>(context)->state
                                            : static_cast<const Intp::TTftpProgress*>(context)->state);
}

namespace {

// Percent of an image of blocks that a built-in upload's report tells.
int UploadPercent(const void* context, std::int64_t blocks)
{
    if (!context || blocks <= 0)
        return -1;
    const auto* progress = static_cast<const Intp::TUploadProgress*>(context);
    // State 0: block acknowledged; 3: that block goes again.
    const std::int64_t done = progress->block + (progress->state == 0 ? 1 : 0);
    return int(done * 100 / blocks);
}

}  // namespace

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

int TUploadPage::StartTransfers(int first) { return StartRows(first, BatchSize, "Transmitting", Requests()); }
