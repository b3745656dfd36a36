#pragma once

// A read-only list of untyped rows over its own model, sorting only on a
// header click. The typed report list (TypedReportList.h) and the edited
// lists build on it.

#include "pages/kit/ListModel.h"

#include <QTreeView>

// A read-only report list over its own model.
class TUntypedReportList : public QTreeView {
    Q_OBJECT

public:
    explicit TUntypedReportList(QWidget* parent = nullptr);

    TListModel* Model() const { return m_Model; }
    int AddColumn(const QString& header, TColumnKind kind = ckText,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    void Clear();
    int RowCount() const { return m_Model->RowCount(); }
    // Selected row, or -1.
    int SelectedRow() const;
    void SelectRow(int row);
    // Every column but the last grows to the widest cell as rows are added
    // and cells change. Changed cells are measured together once the event
    // loop runs, and a hidden list measures them when it is shown, so a
    // burst of replies costs one pass instead of a text layout per change;
    // emptying the list fits the columns to their headers again. Every list
    // does this from the start; a large burst measures its first and last
    // rows and those on show.
    void SetColumnsFollowContents();

signals:
    void HeaderClicked(int column);
    void SelectedRowChanged(int row);

protected:
    virtual void OnHeaderClicked(int column);
    void showEvent(QShowEvent* event) override;

private:
    // Notes changed cells; they are measured by GrowPending.
    void MarkChanged(int firstRow, int lastRow, int firstColumn, int lastColumn);
    void GrowPending();
    void GrowColumns(int firstRow, int lastRow, int firstColumn, int lastColumn);
    void FitColumnsToHeaders();

    TListModel* m_Model;
    // Cells changed since the last measuring (no rows: first > last).
    int m_ChangedRows[2] = {0, -1};
    int m_ChangedColumns[2] = {0, -1};
    bool m_GrowPosted = false;
    bool m_FollowContents = false;
};

// Table pages never edit their list: Add and Remove send requests, and the
// list is rebuilt from the switch's table when the library has re-read it.
// Rebuilds the rows in record order (none unless valid); makeRow(entry,
// number) builds the row of an entry, numbered from 1 (the default tag).
template <class Entries, class MakeRow>
void RebuildRows(TUntypedReportList* view, bool valid, const Entries& entries, MakeRow makeRow)
{
    view->Clear();
    if (!valid)
        return;
    int number = 0;
    for (const auto& entry : entries) {
        ++number;
        TListRow row = makeRow(entry, number);
        if (row.tag == 0)
            row.tag = number;
        view->Model()->AddRow(std::move(row));
    }
}
