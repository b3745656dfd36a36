#include "pages/kit/ListModel.h"

#include "pages/rules/PageRules.h"

#include <QColor>

#include <algorithm>
#include <numeric>

TListModel::TListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TListModel::AddColumn(const QString& header, TColumnKind kind, Qt::Alignment alignment)
{
    beginInsertColumns(QModelIndex(), ColumnCount(), ColumnCount());
    m_Headers.append(header);
    m_Kinds.push_back(kind);
    m_Alignments.push_back(alignment);
    m_Directions.push_back(0);
    for (TListRow& row : m_Rows)
        Normalise(row);
    endInsertColumns();
    return ColumnCount() - 1;
}

TColumnKind TListModel::ColumnKind(int column) const
{
    return column >= 0 && column < ColumnCount() ? m_Kinds[std::size_t(column)] : ckText;
}

void TListModel::Normalise(TListRow& row) const
{
    while (row.cells.size() < ColumnCount())
        row.cells.append(QString());
    if (row.numbers.size() < std::size_t(ColumnCount()))
        row.numbers.resize(std::size_t(ColumnCount()), 0);
}

void TListModel::Clear()
{
    if (m_Rows.empty())
        return;
    beginResetModel();
    m_Rows.clear();
    endResetModel();
}

int TListModel::AddRow(TListRow row)
{
    Normalise(row);
    int index = RowCount();
    beginInsertRows(QModelIndex(), index, index);
    m_Rows.push_back(std::move(row));
    endInsertRows();
    return index;
}

int TListModel::AddRow(const QStringList& cells, long long tag)
{
    TListRow row;
    row.cells = cells;
    row.tag = tag;
    return AddRow(std::move(row));
}

void TListModel::RowChanged(int row, int column)
{
    QModelIndex first = index(row, column < 0 ? 0 : column);
    QModelIndex last = index(row, column < 0 ? ColumnCount() - 1 : column);
    emit dataChanged(first, last);
}

bool TListModel::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return false;
    QString& cell = m_Rows[std::size_t(row)].cells[column];
    if (cell == text)
        return false;  // repainting an unchanged cell costs a text layout per row
    cell = text;
    RowChanged(row, column);
    return true;
}

QString TListModel::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return QString();
    CatchUpRow(row);
    return m_Rows[std::size_t(row)].cells.at(column);
}

void TListModel::SetNumber(int row, int column, long long number)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return;
    m_Rows[std::size_t(row)].numbers[std::size_t(column)] = number;
}

long long TListModel::Number(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return 0;
    CatchUpRow(row);
    return m_Rows[std::size_t(row)].numbers[std::size_t(column)];
}

void TListModel::SetIcon(int row, const QIcon& icon)
{
    if (row < 0 || row >= RowCount())
        return;
    TListRow& r = m_Rows[std::size_t(row)];
    if (r.hasIcon && r.icon.cacheKey() == icon.cacheKey())
        return;
    r.icon = icon;
    r.hasIcon = true;
    RowChanged(row, 0);
}

void TListModel::ClearIcon(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    m_Rows[std::size_t(row)].icon = QIcon();
    m_Rows[std::size_t(row)].hasIcon = false;
    RowChanged(row, 0);
}

void TListModel::SetTag(int row, long long tag)
{
    if (row >= 0 && row < RowCount())
        m_Rows[std::size_t(row)].tag = tag;
}

void TListModel::SetBackground(int row, const QBrush& brush)
{
    if (row < 0 || row >= RowCount())
        return;
    QBrush& background = m_Rows[std::size_t(row)].background;
    if (background == brush)
        return;
    background = brush;
    RowChanged(row, -1);
}

void TListModel::SetToolTip(int row, const QString& text)
{
    if (row >= 0 && row < RowCount())
        m_Rows[std::size_t(row)].toolTip = text;
}

int TListModel::FindTag(long long tag) const
{
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (m_Rows[std::size_t(row)].tag == tag)
            return row;
    }
    return -1;
}

void TListModel::SetSortState(int column, int direction)
{
    m_SortColumn = column;
    m_Direction = direction < 0 ? -1 : 1;
}

int TListModel::SortDirection(int column) const
{
    if (m_SortMode == smPerColumn)
        return column >= 0 && column < ColumnCount() ? m_Directions[std::size_t(column)] : 0;
    return m_Direction;
}

namespace {

// The next character of a cell, as its UTF-8 bytes order it: a surrogate
// pair is its code point, a lone surrogate U+FFFD (the encoder's stand-in).
inline char32_t NextCharacter(const QChar* text, qsizetype size, qsizetype& i)
{
    const char16_t unit = text[i++].unicode();
    if (!QChar::isSurrogate(unit))
        return unit;
    if (QChar::isHighSurrogate(unit) && i < size && QChar::isLowSurrogate(text[i].unicode()))
        return QChar::surrogateToUcs4(unit, text[i++].unicode());
    return U'\uFFFD';
}

inline char32_t FoldLetter(char32_t c) { return c >= U'a' && c <= U'z' ? c - U'a' + U'A' : c; }

} // namespace

// Character by character, in the order of the cells' UTF-8 bytes (which is
// code-point order) without making them: ckText folds a..z to upper case.
int CompareCells(const QString& a, const QString& b, TColumnKind kind)
{
    const bool fold = kind != ckExactText;
    const QChar* x = a.constData();
    const QChar* y = b.constData();
    const qsizetype m = a.size();
    const qsizetype n = b.size();
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < m && j < n) {
        char32_t u = NextCharacter(x, m, i);
        char32_t v = NextCharacter(y, n, j);
        if (fold) {
            u = FoldLetter(u);
            v = FoldLetter(v);
        }
        if (u != v)
            return u < v ? -1 : 1;
    }
    // On a common prefix the shorter text first.
    return Compare3(i < m, j < n);
}

int TListModel::CompareRows(const TListRow& a, const TListRow& b, int column) const
{
    if (m_Comparator)
        return m_Comparator(a, b, column);
    if (column < 0 || column >= ColumnCount())
        return 0;
    if (ColumnKind(column) == ckNumber)
        return Compare3(a.numbers[std::size_t(column)], b.numbers[std::size_t(column)]);
    return CompareCells(a.cells.at(column), b.cells.at(column), ColumnKind(column));
}

void TListModel::ClickColumn(int column)
{
    if (column < 0 || column >= ColumnCount())
        return;
    switch (m_SortMode) {
    case smNone:
        return;
    case smReference:
        m_Clicked = true;
        if (column != m_SortColumn) {
            m_SortColumn = column;
            m_Direction = 1;
        } else {
            m_Direction = -m_Direction;
        }
        SortRows(column, m_Direction);
        return;
    case smPerColumn: {
        int& direction = m_Directions[std::size_t(column)];
        direction = direction == 1 ? -1 : 1;
        m_SortColumn = column;
        SortRows(column, direction);
        return;
    }
    }
}

void TListModel::SortAgain()
{
    if (m_SortMode == smPerColumn)
        SortRows(m_SortColumn, SortDirection(m_SortColumn));
    else if (m_SortMode == smReference && m_Clicked)
        SortRows(m_SortColumn, m_Direction);
}

void TListModel::SortRows(int column, int direction)
{
    CatchUp();
    if (direction == 0 || m_Rows.size() < 2)
        return;
    std::vector<int> order(m_Rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        return CompareRows(m_Rows[std::size_t(x)], m_Rows[std::size_t(y)], column) * direction < 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        newPosition[std::size_t(order[i])] = int(i);
    std::vector<TListRow> sorted;
    sorted.reserve(m_Rows.size());
    for (int from : order)
        sorted.push_back(std::move(m_Rows[std::size_t(from)]));
    m_Rows = std::move(sorted);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex& index : persistent)
        moved.append(this->index(newPosition[std::size_t(index.row())], index.column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int TListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant TListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= RowCount() || index.column() >= ColumnCount())
        return QVariant();
    CatchUpRow(index.row());
    const TListRow& row = m_Rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.cells.at(index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && row.hasIcon)
            return row.icon;
        return QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_Alignments[std::size_t(index.column())]);
    case Qt::BackgroundRole:
        if (row.background.style() != Qt::NoBrush)
            return row.background;
        return QVariant();
    case Qt::ForegroundRole:
        // Text that reads on the row's colour: white on a dark one (the
        // status monitor's blue), black on a light one.
        if (row.background.style() != Qt::NoBrush)
            return QColor(qGray(row.background.color().rgb()) < 128 ? Qt::white : Qt::black);
        return QVariant();
    case Qt::ToolTipRole:
        if (!row.toolTip.isEmpty())
            return row.toolTip;
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount())
        return m_Headers.at(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && section >= 0 &&
        section < ColumnCount())
        return QVariant::fromValue(m_Alignments[std::size_t(section)]);
    return QVariant();
}
