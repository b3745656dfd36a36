#pragma once

// The row model of the device pages' lists: untyped rows (cell texts and one
// number per column), column kinds and the header-click sort rules.

#include <QAbstractTableModel>
#include <QBrush>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <type_traits>
#include <utility>
#include <vector>

// How a column compares in a sort.
enum TColumnKind {
    ckText,       // cell texts, a..z folded to upper case
    ckNumber,     // the row's number of that column
    ckExactText,  // cell texts, case-sensitive bytes
};

// Three-way comparison of two cell texts of a text column kind.
int CompareCells(const QString& a, const QString& b, TColumnKind kind);

enum TSortMode {
    smNone,       // header clicks never sort
    smReference,  // one sort column and direction; a new column starts ascending, the same column reverses
    smPerColumn,  // a direction per column, 0 at first; a click makes it -1 after +1, else +1
};

// One row and its record.
struct TListRow {
    // QBrush has no move: without these a growing row vector copies every
    // row (a full registry's status list stalled a burst of new rows).
    TListRow() = default;
    TListRow(const TListRow&) = default;
    TListRow(TListRow&&) noexcept = default;
    TListRow& operator=(const TListRow&) = default;
    TListRow& operator=(TListRow&&) noexcept = default;
    ~TListRow() = default;

    QStringList cells;              // one text per column
    std::vector<long long> numbers; // per column: sort key or edited value
    QIcon icon;                     // shown before the first cell
    bool hasIcon = false;
    QBrush background;              // Qt::NoBrush: drawn normally
    QString toolTip;
    long long tag = 0;              // the page's own: row number, port index ...
};
static_assert(std::is_nothrow_move_constructible_v<TListRow>);

class TListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using TComparator = std::function<int(const TListRow& a, const TListRow& b, int column)>;

    explicit TListModel(QObject* parent = nullptr);

    // Columns; answers the new column's index.
    int AddColumn(const QString& header, TColumnKind kind = ckText,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    int ColumnCount() const { return int(m_Headers.size()); }
    TColumnKind ColumnKind(int column) const;

    // Rows, in the order added until a header click sorts them.
    void Clear();
    int AddRow(TListRow row);
    int AddRow(const QStringList& cells, long long tag = 0);
    int RowCount() const { return int(m_Rows.size()); }
    // The row as last written, without a catch-up: read texts through Cell or data.
    const TListRow& Row(int row) const { return m_Rows.at(std::size_t(row)); }
    // Answers whether the text changed (an unchanged cell is left alone).
    bool SetCell(int row, int column, const QString& text);
    QString Cell(int row, int column) const;
    void SetNumber(int row, int column, long long number);
    long long Number(int row, int column) const;
    void SetIcon(int row, const QIcon& icon);
    void ClearIcon(int row);
    void SetTag(int row, long long tag);
    void SetBackground(int row, const QBrush& brush);
    void SetToolTip(int row, const QString& text);
    // Index of the first row with the tag, searched from the last; -1 when none.
    int FindTag(long long tag) const;
    // Run once before rows are next read or sorted: a hidden view brings the
    // rows it left out of date up to date (null: none).
    void SetCatchUp(std::function<void()> catchUp) { m_CatchUp = std::move(catchUp); }
    // Run before one row is read (its cells, numbers or look): the view
    // brings that row alone up to date. Without it a read of a row runs the
    // catch-up of every row.
    void SetRowCatchUp(std::function<void(int row)> catchUp) { m_RowCatchUp = std::move(catchUp); }

    // Sorting.
    void SetSortMode(TSortMode mode) { m_SortMode = mode; }
    TSortMode SortMode() const { return m_SortMode; }
    // Initial state of the reference mode (the first column is 0).
    void SetSortState(int column, int direction);
    int SortColumn() const { return m_SortColumn; }
    int SortDirection(int column) const;
    // Replaces the comparison of two rows on a column (before the direction).
    void SetComparator(TComparator comparator) { m_Comparator = std::move(comparator); }
    int CompareRows(const TListRow& a, const TListRow& b, int column) const;
    // The header-click rule: updates the state and sorts once.
    void ClickColumn(int column);
    // Stable sort on a column with a direction (-1, 0 keeps the order, +1).
    void SortRows(int column, int direction);
    // Sorts again as the header clicks left it, so rows added since take
    // their places; nothing before the first click.
    void SortAgain();

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void Normalise(TListRow& row) const;
    void RowChanged(int row, int column);
    void CatchUp() const
    {
        if (m_CatchUp)
            std::exchange(m_CatchUp, nullptr)();
    }
    void CatchUpRow(int row) const
    {
        if (m_RowCatchUp)
            m_RowCatchUp(row);
        else
            CatchUp();
    }

    QStringList m_Headers;
    std::vector<TColumnKind> m_Kinds;
    std::vector<Qt::Alignment> m_Alignments;
    std::vector<TListRow> m_Rows;
    TSortMode m_SortMode = smReference;
    int m_SortColumn = 0;
    int m_Direction = 1;
    bool m_Clicked = false;
    std::vector<int> m_Directions;
    TComparator m_Comparator;
    mutable std::function<void()> m_CatchUp;
    std::function<void(int)> m_RowCatchUp;
};
