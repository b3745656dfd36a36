#pragma once

// The messages of one sender: a sortable list and the details of the
// selected message, with Previous, Next and Copy.

#include <QDialog>

#include <functional>
#include <string>

#include "pages/kit/TypedReportList.h"
#include "syslog/core/SyslogParser.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;

namespace Syslog {
class TSyslogServer;
}

// A row of the dialog's list: the message and what the sort reads.
struct TSyslogLogRow {
    std::int32_t facility = 0;
    std::int32_t severity = 0;
    std::uint32_t eventId = 0;
    Syslog::TDateTime received = 0;
    std::uint32_t address = 0;
    qint64 day = 0;      // calendar day of received
    int timeOfDay = 0;   // milliseconds since local midnight
    std::string message; // bytes, for the byte-wise sort
};

class TSyslogForm : public QDialog {
    Q_OBJECT
public:
    enum TColumn { colEventId, colFacility, colSeverity, colHost, colDate, colTime, colMessage };

    // The list is copied; the caller may release it once this returns.
    // Names come from the given server, or from the page host's when none is given.
    TSyslogForm(QWidget* owner, const TSyslogList* list, Syslog::TSyslogServer* names = nullptr);
    ~TSyslogForm() override;

    // Selects the row of the event id, searching from the last row backwards.
    void SelectEventId(std::uint32_t eventId);

    // Queries the sender's messages (marking them read) and shows them
    // modally, titled with the sender's address, the event id selected
    // when given; show replaces the modal run (tests look at the form).
    static void ShowSender(Syslog::TSyslogServer* server, std::uint32_t address, std::uint32_t eventId = 0,
        QWidget* owner = nullptr, const std::function<void(TSyslogForm&)>& show = {});

    // Row on show (view order), or -1.
    int SelectedRow() const;
    int RowCount() const;
    void SelectRow(int row);
    // The sort state: column and +1 ascending / -1 descending.
    int SortColumn() const;
    int SortDirection() const;
    // Event id of the row on show at a view position.
    std::uint32_t EventIdAt(int row) const;

    void EventOnPrevClick();
    void EventOnNextClick();
    void EventOnCopyClick();
    void EventOnCloseClick();
    void EventOnLogListColumnClick(int column);

    QLineEdit* m_Date = nullptr;
    QLineEdit* m_Time = nullptr;
    QLineEdit* m_Severity = nullptr;
    QLineEdit* m_Facility = nullptr;
    QLineEdit* m_EventId = nullptr;
    QLineEdit* m_Host = nullptr;
    QPushButton* m_Prev = nullptr;
    QPushButton* m_Next = nullptr;
    QPushButton* m_Copy = nullptr;
    QPlainTextEdit* m_Memo = nullptr;
    TTypedReportList<TSyslogLogRow>* m_LogList = nullptr;
    QPushButton* m_Close = nullptr;

private:
    void EventOnLogListSelectItem();
    void EventOnLogListSorted();
    QLineEdit* AddDetail(class QGridLayout* grid, int row, int column, const QString& caption);

    QTabWidget* m_TabControl = nullptr;
    QWidget* m_InnerPanel = nullptr;
    QLabel* m_Label7 = nullptr;
    QSplitter* m_Splitter = nullptr;
    QWidget* m_BottomPanel = nullptr;
};
