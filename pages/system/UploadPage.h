#pragma once

// The restore and upgrade pages: one image sent to every logged-in target
// switch, by the console itself in 512-byte blocks (built-in) or fetched by
// each switch from a TFTP server, in batches of 20; a reboot button offered
// once a run has ended. The two pages differ only in texts and requests.

#include "intp/Transfer.h"
#include "pages/system/FileTransferPage.h"

#include <functional>
#include <new>
#include <string>

class QFileDialog;

class TUploadPage : public TFileTransferPage {
    Q_OBJECT

public:
    // What makes a page of this kind.
    struct TKind {
        QString caption;
        QString startText;
        const char* startGlyph;
        QString rebootText;
        QString dialogTitle;
        int serverIpLength;             // 0: no limit
        std::uint16_t buildinCode = 0;  // TUploadPageOf fills in the codes
        std::uint16_t tftpCode = 0;
    };

    TUploadPage(const TKind& kind, QWidget* parent = nullptr);

    // A file confirmed in the open dialog.
    void EventOnFileChosen(const QString& file);
    void EventOnOpenClick() override;
    void EventOnStartClick() override;

    QLineEdit* m_LocalFile = nullptr;
    QFileDialog* m_OpenDialog = nullptr;
    QLabel* m_ServerIpLabel = nullptr;
    QLabel* m_RemoteFileLabel = nullptr;
    QLineEdit* m_RemoteFile = nullptr;
    bool m_SameModel = true;

protected:
    // What makes the rows' requests of the chosen method.
    virtual TMakeRequest Requests() const = 0;

    QString Refusal() const override;
    void AfterFill(const std::vector<Intp::TDevice*>& listed) override;
    TTransferOutcome Progress(std::uint16_t code, const void* context) const override;
    int ProgressPercent(std::uint16_t code, const void* context) const override;
    bool ShowsProgress() const override { return IsBuildin(); }
    QString RunningText() const override;
    int StartTransfers(int first) override;

private:
    TKind m_Kind;
    // Blocks of the image of the run (built-in mode).
    std::int64_t m_Blocks = 0;
};

// Makes the rows' upload requests of the panel's method: a TBuildin that
// opens the image itself (prepared false when it can't), or a TTftp that
// names the server and the image.
template <class TBuildin, class TTftp> TTransferPage::TMakeRequest UploadRequests(const TTransferModePanel& mode)
{
    if (mode.IsLocal()) {
        const std::string file = mode.LocalPath();
        return [file](Intp::TDevice*, bool& prepared) -> Intp::TSession* {
            auto* request = new (std::nothrow) TBuildin;
            if (request)
                prepared = request->OpenFile(file) != Intp::InvalidFileHandle;
            return request;
        };
    }
    const Intp::TTftpParam param = mode.TftpParam();
    return [param](Intp::TDevice*, bool&) -> Intp::TSession* {
        auto* request = new (std::nothrow) TTftp;
        if (request)
            request->SetPayload(param);
        return request;
    };
}

// An upload page of one pair of requests: built-in (TBuildin) and TFTP (TTftp).
template <class TBuildin, class TTftp> class TUploadPageOf : public TUploadPage {
public:
    TUploadPageOf(TKind kind, QWidget* parent) : TUploadPage(WithCodes(kind), parent) {}

protected:
    TMakeRequest Requests() const override { return UploadRequests<TBuildin, TTftp>(m_Mode); }

private:
    static TKind WithCodes(TKind kind)
    {
        kind.buildinCode = TBuildin::CommandCode;
        kind.tftpCode = TTftp::CommandCode;
        return kind;
    }
};

// What an upload run does, after the page's caption.
QString UploadRunningText();
// The message shown when the image file is too large for 16-bit block numbers.
QString UploadTooLargeMessage();
// The message shown when the image file is empty.
QString UploadEmptyMessage();
// Blocks of the image at path for a built-in upload; 0 when it can't be sent
// (too large or empty), after refuse was told why.
std::int64_t UploadImageBlocks(const QString& path, const std::function<void(const QString&)>& refuse);
// What an upload's progress report (status 0) means for its row: the built-in
// upload's state word (0 and 3, a block sent again, are running) or the TFTP
// state.
TTransferOutcome UploadOutcome(bool buildin, const void* context);
// Blocks of 512 bytes of an image of size bytes (at least one).
std::int64_t UploadBlockCount(std::int64_t size);
