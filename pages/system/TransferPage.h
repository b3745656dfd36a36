#pragma once

// The transfer pages (backup, restore, upgrade, save to flash): one row per
// logged-in target switch, each with its state as the row image, requests
// started with the page as their wizard, further rows started from the
// progress callback, and no leaving the page while a run lasts.

#include "pages/kit/ModulePage.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/TypedReportList.h"

#include <QIcon>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace Intp {
class TSession;
struct TTftpParam;
}  // namespace Intp

// A row's state, shown as its image index.
enum TTransferState : int {
    tsIdle = -1,
    tsRunning = 0,
    tsDone = 1,
    tsError = 2,
    tsTimeout = 3,
    tsWritingFlash = 4,
};

// What a progress notification (status 0) means for its row.
enum TTransferOutcome {
    toRunning,       // more follow
    toWritingFlash,  // the switch writes its flash; more follow
    toDone,
    toError,
};

// One row of a transfer list: a logged-in switch, matched by its MAC
// address, and how far its transfer is.
struct TTransferRow {
    Intp::TMacAddr mac;
    QString model, kernel, firmware, macText, ip, status;
    TTransferState state = tsIdle;
    int percent = -1;  // of a running row; -1 when not known
    qint64 lastHeard = 0;

    // The row of a device, with its versions.
    static TTransferRow Of(Intp::TDevice* device);
    // The texts of the columns before Status, and the idle row of such texts.
    QStringList Cells() const;
    static TTransferRow Of(const Intp::TMacAddr& mac, const QStringList& cells);
};

// The mode panel of the file transfer pages: built-in support (a read-only
// path and its button) or a remote TFTP server (its address and one more
// labelled field).
struct TTransferModePanel {
    QWidget* panel = nullptr;
    QRadioButton* local = nullptr;
    QLineEdit* path = nullptr;
    QPushButton* open = nullptr;
    QRadioButton* remote = nullptr;
    QLabel* serverLabel = nullptr;
    QLineEdit* server = nullptr;
    QLabel* fieldLabel = nullptr;
    QLineEdit* field = nullptr;
    bool folder = false;      // the path names a folder, not a file
    bool fieldIsTftp = true;  // the field is an input of TFTP mode, not of both

    bool IsLocal() const;
    // Enables the controls of the chosen method only.
    void ShowMethod() const;
    // The address typed as the TFTP server.
    std::uint32_t Server() const;
    // The chosen path in the file system's encoding.
    std::string LocalPath() const;
    // The TFTP record of that server and the field's name (cut to 32 bytes).
    Intp::TTftpParam TftpParam() const;
    // The field is a switch text of at most bytes, the width of its wire
    // field: Latin-1, one byte per character.
    void LimitField(int bytes) const;
    // The chosen method's input is complete: an existing file (folder), or a
    // valid server address and, when the field is TFTP's, a name of 1 to 32
    // bytes (the switch takes no more).
    bool IsReady() const;
};

class TTransferPage : public TWizardModulePage, public TRunningWork {
    Q_OBJECT

public:
    // TRunningWork: a run that closing the console would cut off.
    QString RunningWork() const override;

    // Makes the request of one row; answers null when it can't be made
    // ("Memory insufficient"); prepared false when it can't be prepared (the
    // start counts as failed: "Fail to send request").
    using TMakeRequest = std::function<Intp::TSession*(Intp::TDevice* device, bool& prepared)>;

    // Rows started by one call of a batched start.
    static constexpr int BatchSize = 20;
    // A row that heard nothing for longer than the longest reply timer (60 s)
    // has lost its request: a discovery removed its device, so the library no
    // longer reports its time-out.
    static constexpr int WatchdogMs = 65000;
    static constexpr int WatchdogTickMs = 1000;

    // Columns of the list.
    enum TColumn { tcModel, tcKernel, tcFirmware, tcMac, tcIp, tcStatus };

    // images: how many row images the page uses (4 without "writing flash").
    TTransferPage(const QString& caption, int images, QWidget* parent = nullptr);
    ~TTransferPage() override;

    // TModule
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    int Refresh(bool current) override;

    // Intp::TWizard
    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context) override;

    // A transfer's progress word: 2 done, 4 error, 1 writing flash; any
    // other word is running.
    static TTransferOutcome OutcomeOf(std::uint32_t word);

    bool IsBusy() const { return m_Busy; }
    int RowCount() const { return m_ListView->RowCount(); }
    TTransferState RowState(int row) const;
    QString RowText(int row, int column) const;
    // Percent done of a running row, -1 when not known.
    int RowProgress(int row) const;
    // Row of a MAC address, searched from the last row; -1 when none.
    int FindRow(const Intp::TMacAddr& mac) const;

    // Rows made elsewhere (a wizard's own list); every row idle.
    void SetRows(const std::vector<TTransferRow>& rows);

    // The watchdog: ticks while a run lasts. Tests replace the clock (ms) and
    // fire the tick by hand.
    void SetClock(std::function<qint64()> clock) { m_Clock = std::move(clock); }
    QTimer* Watchdog() const { return m_Watchdog; }
    void EventOnWatchdogTimer();

    TTypedReportList<TTransferRow>* m_ListView = nullptr;

protected:
    // The list fill; the page then shows itself.
    void Fill(Intp::TDevice* device) override;
    bool CanLeave(bool force) override;

    // After a list fill: the devices that got a row, in row order.
    virtual void AfterFill(const std::vector<Intp::TDevice*>& listed) = 0;
    // The code of the transfers of the page's current mode.
    virtual bool IsRunCode(std::uint16_t code) const = 0;
    // A progress notification (status 0) of a running row.
    virtual TTransferOutcome Progress(std::uint16_t code, const void* context) const = 0;
    // Percent done that a progress notification of a running row tells; -1
    // when it tells none.
    virtual int ProgressPercent(std::uint16_t, const void*) const { return -1; }
    // The rows of the current mode show their percent done from their start.
    virtual bool ShowsProgress() const { return false; }
    // Starts the rows of the current mode from row first; answers the count.
    virtual int StartTransfers(int first) = 0;
    // A row's final outcome starts the next row at once (one transfer at a
    // time); otherwise the next batch starts when no row is running.
    virtual bool StartsNextAtOnce() const { return false; }
    // The run began or ended: enable or disable the page's controls.
    virtual void OnBusyChanged(bool busy) = 0;
    // What a run does, after the page's caption ("is sending its image to the switches.").
    virtual QString RunningText() const { return "is transferring to the switches."; }

    // Every row becomes idle, then StartTransfers(0); busy when it started
    // any. Answers the count.
    int StartRun();

    // Starts rows from first (down from first with reverse) with the page as
    // wizard, at most limit of them (0: no limit). Answers the count.
    int StartRows(int first, int limit, const QString& runningText, const TMakeRequest& make, bool reverse = false);

    // Builds the mode panel; openText captions the path's button, fieldText
    // labels the third row.
    TTransferModePanel MakeModePanel(const QString& openText, const QString& fieldText);
    // The page's form: top (if any) above the list; the buttons go below it.
    TPageForm LayOut(QWidget* top);

    void SetRow(int row, const QString& text, TTransferState state);
    // Why the start button is disabled when a run lasts or no row is listed;
    // empty otherwise.
    QString StartBlocker() const;
    // Why a TFTP start is disabled: the server's address is no host.
    static QString NoServerText();
    const Intp::TMacAddr& RowMac(int row) const { return m_ListView->Row(row).mac; }

private:
    static bool IsActive(TTransferState state) { return state == tsRunning || state == tsWritingFlash; }
    void ShowVersions(Intp::TDevice* device, int row);
    void SetRowProgress(int row, int percent);
    // Changes the row through change and shows it.
    template <class F> void ChangeRow(int row, F&& change) { m_ListView->Change(row, change); }
    void ShowRows(const std::vector<TTransferRow>& rows);
    // Carries the run on after row ended (-1: none ended): starts the next
    // row or batch and decides whether the run goes on.
    void ContinueRun(int ended);
    void SetBusy(bool busy);
    qint64 Now() const;

    std::vector<QIcon> m_Images;
    bool m_Busy = false;
    QTimer* m_Watchdog = nullptr;
    std::function<qint64()> m_Clock;
};

// "v%d.%02d" of a version word (major in the high byte).
QString TransferVersionText(std::uint16_t version);
