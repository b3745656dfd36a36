#pragma once

// The messages of one sender: a sortable list and the details of the
// selected message, with Previous, Next and Copy.

#include <QAbstractTableModel>
#include <QDialog>
#include <QIcon>
#include <QSortFilterProxyModel>

#include <array>
#include <string>
#include <vector>

#include "syslog/SyslogParser.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;

namespace Syslog {
class TSyslogServer;
}

// Rows of the dialog's list, in the order of the list it was given.
class TSyslogLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colEventId, colFacility, colSeverity, colHost, colDate, colTime, colMessage, colCount };

    // The row's record, and what the sort reads.
    struct TRow {
        std::int32_t facility = 0;
        std::int32_t severity = 0;
        std::uint32_t eventId = 0;
        Syslog::TDateTime received = 0;
        std::uint32_t address = 0;
        qint64 day = 0; // calendar day of received
        int timeOfDay = 0; // milliseconds since local midnight
        std::string message; // bytes, for the byte-wise sort
    };

    // Names come from the server; without one the numbers are shown.
    TSyslogLogModel(const TSyslogList& list, Syslog::TSyslogServer* names, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    const TRow& Row(int row) const { return m_Rows[std::size_t(row)]; }
    // Three-way comparison of two rows by a column's key.
    int Compare(int column, int left, int right) const;

private:
    std::vector<TRow> m_Rows;
    Syslog::TSyslogServer* m_Names;
    std::array<QIcon, 3> m_Icons;
};

class TSyslogLogSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

class TSyslogForm : public QDialog {
    Q_OBJECT
public:
    // The list is copied; the caller may release it once this returns.
    // Names come from the given server, or from the page host's when none is given.
    TSyslogForm(QWidget* owner, const TSyslogList* list, Syslog::TSyslogServer* names = nullptr);
    ~TSyslogForm() override;

    // Selects the row of the event id, searching from the last row backwards.
    void SelectEventId(std::uint32_t eventId);

    // Queries the sender's messages (marking them read) and shows them
    // modally, titled with the sender's address, the event id selected
    // when given.
    static void ShowSender(
        Syslog::TSyslogServer* server, std::uint32_t address, std::uint32_t eventId = 0, QWidget* owner = nullptr);

    // Row on show (view order), or -1.
    int SelectedRow() const;
    int RowCount() const;
    void SelectRow(int row);
    // The sort state: column and +1 ascending / -1 descending.
    int SortColumn() const { return m_SortColumn; }
    int SortDirection() const { return m_SortDirection; }
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
    QTableView* m_LogList = nullptr;
    QPushButton* m_Close = nullptr;

private:
    void EventOnLogListSelectItem();
    QLineEdit* AddDetail(class QGridLayout* grid, int row, int column, const QString& caption);

    TSyslogLogModel* m_Model = nullptr;
    TSyslogLogSortModel* m_Sorted = nullptr;
    QTabWidget* m_TabControl = nullptr;
    QWidget* m_InnerPanel = nullptr;
    QLabel* m_Label7 = nullptr;
    QSplitter* m_Splitter = nullptr;
    QWidget* m_BottomPanel = nullptr;
    int m_SortColumn = TSyslogLogModel::colEventId;
    int m_SortDirection = 1;
};
