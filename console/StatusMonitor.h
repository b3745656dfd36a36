#pragma once

// The "Status Monitor" page: polls every listed switch with a ping and shows
// whether it answers, power and port failures, and address changes.

#include "pages/kit/NumberBox.h"
#include "pages/kit/PageInterface.h"
#include "pages/kit/TypedReportList.h"
#include "pages/kit/StatusServer.h"
#include "intp/Device.h"
#include "intp/Session.h"

#include <QFrame>
#include <QIcon>
#include <QString>

#include <cstdint>
#include <functional>

class QAction;
class QCheckBox;
class QMenu;
class QPushButton;
class QTimer;

namespace Status {

// "Online", "Offline", "Online/query fail/IP different", "Online/power2 fail/port 1,5 fail" ...
QString StatusText(std::uint32_t state, std::uint32_t powerAlarm, std::uint32_t portFailed);

// Background of a row by the first of its bits 0x1, 0x2, 0x4, 0x8; invalid when none.
QColor RowColour(std::uint32_t state);

}  // namespace Status

// A listed switch: its row data and what its cells show.
struct TStatusRow {
    std::uint32_t number = 0;
    std::uint32_t listedIp = 0;  // the address when listed or last cleared
    Intp::TMacAddr mac;
    QString model;
    std::uint32_t replyIp = 0;   // the address of the last reply
    long long time = 0;          // last reply, ms since the epoch; 0 for none
    std::uint32_t state = 0;     // Status::TStatusBit
    std::uint32_t powerAlarm = 0;
    std::uint32_t portFailed = 0;
    int image = 0;               // TStatusFrame::TImage
};

class TStatusFrame : public QFrame, public Status::TStatusServer, public TModule, public Intp::TWizard {
    Q_OBJECT

public:
    enum TColumn { scNumber, scIp, scMac, scModel, scTime, scStatus };
    enum TImage { imAnswering = 0, imSilent = 1 };

    explicit TStatusFrame(QWidget* parent = nullptr);
    ~TStatusFrame() override;

    // Status::TStatusServer
    void AddDevices(const TDeviceList& devices) override;
    void AddDevice(Intp::TDevice* device) override;
    std::uint32_t GetDeviceStatus(const Intp::TDevice* device) override;

    // TModule
    QString GetCaption() const override;
    QWidget* GetFrame() override;
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    bool Leave(bool force) override;
    int Refresh(bool current) override;

    // Intp::TWizard: the outcome of one ping.
    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status,
                       const void* context) override;

    // The one way the monitor beeps (QApplication::beep unless replaced).
    void SetBeeper(std::function<void()> beeper);

    // Handlers, public for the tests' hand-driven timers.
    void EventOnTimer();
    void EventOnBeepTimer();
    void EventOnClearErrorExecute();
    void EventOnQueryPeriodChange();
    static bool TakeInLimits(const TNumberBox* field, int& seconds);

    // The page's widgets, built on first need.
    // clang-format off
    TNumberBox* QueryPeriod() { Build(); return m_QueryPeriod; }
    TNumberBox* QueryTmo() { Build(); return m_QueryTmo; }
    QCheckBox* Beep() { Build(); return m_Beep; }
    QPushButton* ClearErrorButton() { Build(); return m_ClearError; }
    QPushButton* RefreshButton() { Build(); return m_Refresh; }
    TTypedReportList<TStatusRow>* List() { Build(); return m_List; }
    // clang-format on

    int RowCount() const;
    // Row of a MAC; -1 when none.
    int FindRow(const Intp::TMacAddr& mac) const;
    std::uint32_t RowState(int row) const;
    int RowImage(int row) const;
    QString RowText(int row, int column) const;

    // The seconds in use: the fields' last values within their limits.
    int m_Period = 10;
    int m_Tmo = 5;
    QTimer* m_Timer = nullptr;
    QTimer* m_BeepTimer = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Makes the widgets the first time they are needed.
    void Build();
    void PollRow(int row, unsigned timeoutMs);
    void UpdateActions();

    TNumberBox* m_QueryPeriod = nullptr;
    TNumberBox* m_QueryTmo = nullptr;
    QCheckBox* m_Beep = nullptr;
    QPushButton* m_ClearError = nullptr;
    QPushButton* m_Refresh = nullptr;
    TTypedReportList<TStatusRow>* m_List = nullptr;

    QAction* m_acClearError = nullptr;
    QAction* m_acRefresh = nullptr;
    QMenu* m_Popup = nullptr;
    std::uint32_t m_NextNumber = 1;
    QIcon m_AnsweringIcon;
    QIcon m_SilentIcon;
    std::function<void()> m_Beeper;
};
