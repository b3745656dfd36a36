#pragma once

// Lists of the device pages: a row model with one record per row, a view that
// sorts only on a header click, and a list whose rows are edited by controls
// below it (one value per column, header click sets every row).

#include <QAbstractTableModel>
#include <QBrush>
#include <QIcon>
#include <QStringList>
#include <QTreeView>

#include <functional>
#include <vector>

class QAbstractSpinBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class TIpEdit;

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
struct TPageRow {
    QStringList cells;              // one text per column
    std::vector<long long> numbers; // per column: sort key or edited value
    QIcon icon;                     // shown before the first cell
    bool hasIcon = false;
    QBrush background;              // Qt::NoBrush: drawn normally
    QString toolTip;
    long long tag = 0;              // the page's own: row number, port index ...
};

class TPageListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using TComparator = std::function<int(const TPageRow& a, const TPageRow& b, int column)>;

    explicit TPageListModel(QObject* parent = nullptr);

    // Columns; answers the new column's index.
    int AddColumn(const QString& header, TColumnKind kind = ckText,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    int ColumnCount() const { return int(m_Headers.size()); }
    TColumnKind ColumnKind(int column) const;

    // Rows, in the order added until a header click sorts them.
    void Clear();
    int AddRow(TPageRow row);
    int AddRow(const QStringList& cells, long long tag = 0);
    int RowCount() const { return int(m_Rows.size()); }
    const TPageRow& Row(int row) const { return m_Rows.at(std::size_t(row)); }
    void SetCell(int row, int column, const QString& text);
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

    // Sorting.
    void SetSortMode(TSortMode mode) { m_SortMode = mode; }
    TSortMode SortMode() const { return m_SortMode; }
    // Initial state of the reference mode (the first column is 0).
    void SetSortState(int column, int direction);
    int SortColumn() const { return m_SortColumn; }
    int SortDirection(int column) const;
    // Replaces the comparison of two rows on a column (before the direction).
    void SetComparator(TComparator comparator) { m_Comparator = std::move(comparator); }
    int CompareRows(const TPageRow& a, const TPageRow& b, int column) const;
    // The header-click rule: updates the state and sorts once.
    void ClickColumn(int column);
    // Stable sort on a column with a direction (-1, 0 keeps the order, +1).
    void SortRows(int column, int direction);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void Normalise(TPageRow& row) const;
    void RowChanged(int row, int column);

    QStringList m_Headers;
    std::vector<TColumnKind> m_Kinds;
    std::vector<Qt::Alignment> m_Alignments;
    std::vector<TPageRow> m_Rows;
    TSortMode m_SortMode = smReference;
    int m_SortColumn = 0;
    int m_Direction = 1;
    std::vector<int> m_Directions;
    TComparator m_Comparator;
};

// A read-only report list over its own model.
class TPageListView : public QTreeView {
    Q_OBJECT

public:
    explicit TPageListView(QWidget* parent = nullptr);

    TPageListModel* Model() const { return m_Model; }
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
    // emptying the list fits the columns to their headers again.
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

    TPageListModel* m_Model;
    // Cells changed since the last measuring (no rows: first > last).
    int m_ChangedRows[2] = {0, -1};
    int m_ChangedColumns[2] = {0, -1};
    bool m_GrowPosted = false;
};

// Table pages never edit their list: Add and Remove send requests, and the
// list is rebuilt from the switch's table when the library has re-read it.
// Rebuilds the rows in record order (none unless valid); makeRow(entry,
// number) builds the row of an entry, numbered from 1 (the default tag).
template <class Entries, class MakeRow>
void RebuildRows(TPageListView* view, bool valid, const Entries& entries, MakeRow makeRow)
{
    view->Clear();
    if (!valid)
        return;
    int number = 0;
    for (const auto& entry : entries) {
        ++number;
        TPageRow row = makeRow(entry, number);
        if (row.tag == 0)
            row.tag = number;
        view->Model()->AddRow(std::move(row));
    }
}

// Edited list rows: every row holds its index and one value per value column;
// the editors below the list edit the selected row only; a click on a value
// column's header sets every row to the step of the first row's value; a
// refill (Clear) discards unsent edits.
class TEditedList : public TPageListView {
    Q_OBJECT

public:
    using TStep = std::function<int(int first)>;
    using TText = std::function<QString(int value)>;

    explicit TEditedList(QWidget* parent = nullptr);

    // The caption column (row names); call first.
    int AddCaptionColumn(const QString& header);
    // A value shown as one of the choices; the header click steps modulo their number.
    int AddChoiceColumn(const QString& header, const QStringList& choices);
    // A numeric value with its own header-click step (none: header click does nothing).
    int AddNumberColumn(const QString& header, TStep step = nullptr, TText text = nullptr);
    void SetStep(int column, TStep step);
    // A text value; its editor is a line edit and its header click does nothing.
    int AddTextColumn(const QString& header);
    // An IPv4 address (host order) shown dotted; its editor is an address
    // field whose text that is no host address is taken as 0. No header click.
    int AddAddressColumn(const QString& header);
    QString Text(int row, int column) const { return Model()->Cell(row, column); }
    void SetText(int row, int column, const QString& text);
    // A column whose editor and header click are off (a choice the switch
    // does not offer now); on by default.
    void SetColumnEnabled(int column, bool enabled);

    // Adds a row: caption, the row's index (port index, entry number) and its
    // values in the order of the value columns.
    int AddEditedRow(const QString& caption, long long index, const std::vector<int>& values);
    long long Index(int row) const { return Model()->Row(row).tag; }
    int Value(int row, int column) const;
    void SetValue(int row, int column, int value);
    // The current values of a row, in the order of the value columns.
    std::vector<int> Values(int row) const;

    // Editors of the selected row; enabled exactly while a row is selected.
    void BindEditor(int column, QComboBox* editor);
    void BindEditor(int column, QSpinBox* editor);
    void BindEditor(int column, QLineEdit* editor);
    void BindEditor(int column, TIpEdit* editor);
    // Further controls (labels) that follow the selection.
    void AddSelectionControl(QWidget* control);
    // The label of a column's editor: enabled with the editor.
    void SetEditorLabel(int column, QWidget* label);
    QWidget* EditorOf(int column) const
    {
        const TValueColumn* c = FindColumn(column);
        return c ? c->editor : nullptr;
    }
    // Re-reads the editors from the selected row (or disables them).
    void UpdateEditors();

signals:
    // A value changed by an editor or a header click.
    void ValueEdited(int row, int column);

protected:
    void OnHeaderClicked(int column) override;

private:
    struct TValueColumn {
        int column = -1;
        QStringList choices;
        TStep step;
        TText text;
        QWidget* editor = nullptr;
        QWidget* label = nullptr;  // the editor's label follows it
        bool isText = false;
        bool enabled = true;
    };
    TValueColumn* FindColumn(int column);
    const TValueColumn* FindColumn(int column) const;
    QString TextOf(const TValueColumn& column, int value) const;
    void EditorChanged(int column, int value);

    std::vector<TValueColumn> m_Columns;
    std::vector<QWidget*> m_SelectionControls;
    bool m_Updating = false;
};
