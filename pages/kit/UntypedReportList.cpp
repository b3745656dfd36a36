#include "pages/kit/UntypedReportList.h"

#include <QHeaderView>
#include <QSet>

#include <algorithm>

TUntypedReportList::TUntypedReportList(QWidget* parent) : QTreeView(parent), m_Model(new TListModel(this))
{
    setModel(m_Model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    connect(header(), &QHeaderView::sectionClicked, this, &TUntypedReportList::OnHeaderClicked);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex&) { emit SelectedRowChanged(SelectedRow()); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection&, const QItemSelection&) { emit SelectedRowChanged(SelectedRow()); });
    SetColumnsFollowContents();
}

int TUntypedReportList::AddColumn(const QString& header, TColumnKind kind, Qt::Alignment alignment)
{
    const int column = m_Model->AddColumn(header, kind, alignment);
    // The columns before it were fitted as they came; the one that was last
    // (taking the rest of the width) now fits its header too.
    if (column > 0)
        this->header()->resizeSection(column - 1, this->header()->sectionSizeHint(column - 1));
    return column;
}

void TUntypedReportList::SetColumnsFollowContents()
{
    if (m_FollowContents)
        return;
    m_FollowContents = true;
    header()->setSectionResizeMode(QHeaderView::Interactive);
    FitColumnsToHeaders();
    connect(m_Model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        MarkChanged(first, last, 0, m_Model->ColumnCount() - 1);
    });
    connect(m_Model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                MarkChanged(topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column());
            });
    // Rows that moved or went away: the noted ones may be anywhere now.
    auto everyRow = [this] {
        if (m_ChangedRows[0] <= m_ChangedRows[1])
            m_ChangedRows[0] = 0, m_ChangedRows[1] = m_Model->RowCount() - 1;
    };
    connect(m_Model, &QAbstractItemModel::rowsRemoved, this, everyRow);
    connect(m_Model, &QAbstractItemModel::layoutChanged, this, everyRow);
    connect(m_Model, &QAbstractItemModel::modelReset, this, [this] {
        m_ChangedRows[0] = 0, m_ChangedRows[1] = -1;
        FitColumnsToHeaders();
    });
}

void TUntypedReportList::MarkChanged(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    if (m_ChangedRows[0] > m_ChangedRows[1]) {
        m_ChangedRows[0] = firstRow, m_ChangedRows[1] = lastRow;
        m_ChangedColumns[0] = firstColumn, m_ChangedColumns[1] = lastColumn;
    } else {
        m_ChangedRows[0] = std::min(m_ChangedRows[0], firstRow);
        m_ChangedRows[1] = std::max(m_ChangedRows[1], lastRow);
        m_ChangedColumns[0] = std::min(m_ChangedColumns[0], firstColumn);
        m_ChangedColumns[1] = std::max(m_ChangedColumns[1], lastColumn);
    }
    if (m_GrowPosted || !isVisible())
        return;
    m_GrowPosted = true;
    QMetaObject::invokeMethod(this, [this] {
        m_GrowPosted = false;
        GrowPending();
    }, Qt::QueuedConnection);
}

void TUntypedReportList::GrowPending()
{
    const int first = std::max(m_ChangedRows[0], 0);
    const int last = std::min(m_ChangedRows[1], m_Model->RowCount() - 1);
    m_ChangedRows[0] = 0, m_ChangedRows[1] = -1;
    if (first > last)
        return;
    // A large burst: its first and last rows and the rows on show stand for the rest.
    constexpr int kMeasuredRows = 512;
    if (last - first < kMeasuredRows) {
        GrowColumns(first, last, m_ChangedColumns[0], m_ChangedColumns[1]);
        return;
    }
    GrowColumns(first, first + kMeasuredRows - 1, m_ChangedColumns[0], m_ChangedColumns[1]);
    // Its last rows too: numbers that count up are widest there.
    GrowColumns(std::max(first + kMeasuredRows, last - kMeasuredRows + 1), last, m_ChangedColumns[0],
                m_ChangedColumns[1]);
    const QModelIndex top = indexAt(QPoint(0, 0));
    if (top.isValid()) {
        const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
        const int shown = bottom.isValid() ? bottom.row() : m_Model->RowCount() - 1;
        const int from = std::max({top.row(), first, first + kMeasuredRows});
        const int to = std::min({last, shown, from + kMeasuredRows - 1});
        if (from <= to)
            GrowColumns(from, to, m_ChangedColumns[0], m_ChangedColumns[1]);
    }
}

void TUntypedReportList::showEvent(QShowEvent* event)
{
    GrowPending();
    QTreeView::showEvent(event);
}

void TUntypedReportList::FitColumnsToHeaders()
{
    for (int column = 0; column + 1 < m_Model->ColumnCount(); ++column)
        header()->resizeSection(column, header()->sectionSizeHint(column));
}

void TUntypedReportList::GrowColumns(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    // The last column takes the rest of the width.
    lastColumn = std::min(lastColumn, m_Model->ColumnCount() - 2);
    QSet<QString> measured;
    for (int column = firstColumn; column <= lastColumn; ++column) {
        int width = header()->sectionSize(column);
        const int before = width;
        measured.clear();
        for (int row = firstRow; row <= lastRow; ++row) {
            // Cells of one text measure alike, unless an icon goes before it.
            const QString text = m_Model->Cell(row, column);
            if ((column != 0 || !m_Model->Row(row).hasIcon) && measured.contains(text))
                continue;
            measured.insert(text);
            width = std::max(width, sizeHintForIndex(m_Model->index(row, column)).width());
        }
        if (width != before)
            header()->resizeSection(column, width);
    }
}

void TUntypedReportList::Clear()
{
    m_Model->Clear();
    emit SelectedRowChanged(-1);
}

int TUntypedReportList::SelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TUntypedReportList::SelectRow(int row)
{
    if (row < 0 || row >= m_Model->RowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    QModelIndex index = m_Model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TUntypedReportList::OnHeaderClicked(int column)
{
    m_Model->ClickColumn(column);
    emit HeaderClicked(column);
}
