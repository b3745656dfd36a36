#pragma once

// The restore and upgrade pages: one image sent to every logged-in target
// switch, by the console itself in 512-byte blocks (built-in) or fetched by
// each switch from a TFTP server, in batches of 20; a reboot button offered
// once a run has ended. The two pages differ only in texts and requests.

#include "intp/Transfer.h"
#include "pages/system/TransferPage.h"

#include <new>
#include <string>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class TUploadPage : public TTransferPage, public TRunningWork {
    Q_OBJECT

public:
    // TRunningWork: a run that closing would cut off.
    QString RunningWork() const override;

    // What makes a page of this kind.
    struct TKind {
        QString caption;
        QString startText;
        const char* startGlyph;
        QString rebootText;
        QString dialogTitle;
        int serverIpLength;  // 0: no limit
        std::uint16_t buildinCode = 0;  // TUploadPageOf fills in the codes
        std::uint16_t tftpCode = 0;
    };

    TUploadPage(const TKind& kind, QWidget* parent = nullptr);

    // A file confirmed in the open dialog.
    void EventOnFileChosen(const QString& file);
    void EventOnLocalClick(QRadioButton* sender);
    void EventOnServerIpChange();
    void EventOnOpenClick();
    void EventOnRebootClick();
    void EventOnStartClick();

    QWidget* m_TopPanel = nullptr;
    QRadioButton* m_rbLocal = nullptr;
    QLineEdit* m_LocalFile = nullptr;
    QPushButton* m_Open = nullptr;
    QFileDialog* m_OpenDialog = nullptr;
    QRadioButton* m_rbRemote = nullptr;
    QLabel* m_ServerIpLabel = nullptr;
    QLineEdit* m_ServerIp = nullptr;
    QLabel* m_RemoteFileLabel = nullptr;
    QLineEdit* m_RemoteFile = nullptr;
    QWidget* m_ButtomPanel = nullptr;
    QPushButton* m_Reboot = nullptr;
    QPushButton* m_Start = nullptr;
    std::uint32_t m_ServerAddress = 0xFFFFFFFF;
    bool m_SameModel = true;

protected:
    // The built-in request with its file opened (opened false when it could not be).
    virtual Intp::TSession* NewBuildin(const std::string& file, bool& opened) = 0;
    virtual Intp::TSession* NewTftp(const Intp::TTftpParam& param) = 0;

    void AfterFill(const std::vector<Intp::TDevice*>& listed) override;
    bool IsRunCode(std::uint16_t code) const override;
    TTransferOutcome Progress(std::uint16_t code, const void* context) const override;
    int ProgressPercent(std::uint16_t code, const void* context) const override;
    bool ShowsProgress() const override { return IsBuildin(); }
    int StartTransfers(int first) override;
    void OnBusyChanged(bool busy) override;

private:
    bool IsBuildin() const;
    static QString MixedModels();
    // Why the start button is disabled.
    QString WhyNoStart() const;
    int StartBuildinTransfers(int first);
    int StartTftpTransfers(int first);
    void SetModeControlsEnabled(bool enabled);

    TKind m_Kind;
    TTransferModePanel m_Mode;
    // Blocks of the image of the run (built-in mode).
    std::int64_t m_Blocks = 0;
};

// An upload page of one pair of requests: built-in (TBuildin) and TFTP (TTftp).
template <class TBuildin, class TTftp>
class TUploadPageOf : public TUploadPage {
public:
    TUploadPageOf(TKind kind, QWidget* parent) : TUploadPage(WithCodes(kind), parent) {}

protected:
    Intp::TSession* NewBuildin(const std::string& file, bool& opened) override
    {
        auto* request = new (std::nothrow) TBuildin;
        if (request)
            opened = request->OpenFile(file) != Intp::InvalidFileHandle;
        return request;
    }
    Intp::TSession* NewTftp(const Intp::TTftpParam& param) override
    {
        auto* request = new (std::nothrow) TTftp;
        if (request)
            request->SetPayload(param);
        return request;
    }

private:
    static TKind WithCodes(TKind kind)
    {
        kind.buildinCode = TBuildin::CommandCode;
        kind.tftpCode = TTftp::CommandCode;
        return kind;
    }
};

// The message shown when the image file is too large for 16-bit block numbers.
QString UploadTooLargeMessage();
// The message shown when the image file is empty.
QString UploadEmptyMessage();
// What an upload's progress report (status 0) means for its row: the built-in
// upload's state word (0 and 3, a block sent again, are running) or the TFTP
// state.
TTransferOutcome UploadOutcome(bool buildin, const void* context);
// Percent of an image of blocks that a built-in upload's report tells.
int UploadPercent(const void* context, std::int64_t blocks);
// Blocks of 512 bytes of an image of size bytes (at least one).
std::int64_t UploadBlockCount(std::int64_t size);
