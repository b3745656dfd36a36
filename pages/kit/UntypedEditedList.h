#pragma once

// An edited list of untyped rows: one value per column, edited by controls
// below it; the typed edited list (TypedEditedList.h) builds on it.

#include "pages/kit/UntypedReportList.h"

#include <functional>
#include <set>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class TNumberBox;
class TIpEdit;
class TPortCheckList;

// Edited list rows: every row holds its index and one value per value column;
// the editors below the list edit the selected row only; a click on a value
// column's header sets every row to the step of the first row's value; a
// refill (Clear) discards unsent edits. A column may have rules: when its
// editor is enabled (by the selected row), and what else a change of it sets
// in the row. Columns grow to their contents.
class TUntypedEditedList : public TUntypedReportList {
    Q_OBJECT

public:
    using TStep = std::function<long long(long long first)>;
    using TText = std::function<QString(long long value)>;

    explicit TUntypedEditedList(QWidget* parent = nullptr);

    // The caption column (row names); call first.
    int AddCaptionColumn(const QString& header);
    // A value shown as one of the choices; the header click steps modulo their number.
    int AddChoiceColumn(const QString& header, const QStringList& choices);
    // A numeric value with its own header-click step (none: header click does nothing).
    int AddNumberColumn(const QString& header, TStep step = nullptr, TText text = nullptr,
                        Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter);
    void SetStep(int column, TStep step);
    // The values a number column takes: an editor's value outside them marks
    // its row (a value read outside them is shown as it is, and each switch
    // keeps its own unless it is edited: Shows).
    void SetLimits(int column, long long lowest, long long highest);
    // The first row whose edited value is out of range, said; empty when none.
    QString OutOfRangeWhy() const;
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
    // The text of a choice value that has no item ("%1", if given: the value); the
    // value itself is kept until edited. Default: the number.
    void SetMissingText(int column, const QString& text);
    // Whether the column shows value: a choice column only the values of
    // its items, a number column with limits only values within them (one
    // read outside is shown as it is, but is no value the column holds),
    // any other column every value.
    bool Shows(int column, long long value) const;
    // New choices for a choice column (they depend on the switch); its
    // editor takes them and the header click steps modulo their number.
    void SetChoices(int column, const QStringList& choices);
    // The column's editor is enabled only while rule(selected row) holds.
    void SetEnabledRule(int column, std::function<bool(int row)> rule);
    // Runs after an editor or a header click changed the column on a row:
    // may set other values of that row.
    void SetChangeRule(int column, std::function<void(int row)> rule);

    // Adds a row: caption, the row's index (port index, entry number) and its
    // values in the order of the value columns.
    int AddEditedRow(const QString& caption, long long index, const std::vector<long long>& values);
    long long Index(int row) const { return Model()->Row(row).tag; }
    long long Value(int row, int column) const;
    void SetValue(int row, int column, long long value);
    // The current values of a row, in the order of the value columns.
    std::vector<long long> Values(int row) const;

    // Editors of the selected row; enabled exactly while a row is selected.
    void BindEditor(int column, QComboBox* editor);
    void BindEditor(int column, TNumberBox* editor);
    void BindEditor(int column, QLineEdit* editor);
    void BindEditor(int column, TIpEdit* editor);
    // A port mask (the bits of the value) ticked in a port check list.
    void BindEditor(int column, TPortCheckList* editor);
    // An on/off value (1 or 0) ticked in a check box.
    void BindEditor(int column, QCheckBox* editor);
    // Further controls (labels) that follow the selection.
    void AddSelectionControl(QWidget* control);
    // The label of a column's editor, and a note after it: enabled with the editor.
    void SetEditorLabel(int column, QWidget* label);
    void SetEditorNote(int column, QWidget* note);
    QWidget* EditorOf(int column) const
    {
        const TValueColumn* c = FindColumn(column);
        return c ? c->editor : nullptr;
    }
    // Re-reads the editors from the selected row (or disables them); the
    // editor of column keep, being typed in, keeps its text.
    void UpdateEditors(int keep = -1);

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
        QWidget* label = nullptr;  // the editor's label and note follow it
        QWidget* note = nullptr;
        bool isText = false;
        bool enabled = true;
        QString missing;
        std::function<bool(int row)> enabledRule;
        std::function<void(int row)> changeRule;
        bool limited = false;
        long long lowest = 0;
        long long highest = 0;
    };
    TValueColumn* FindColumn(int column);
    const TValueColumn* FindColumn(int column) const;
    QString TextOf(const TValueColumn& column, long long value) const;
    void EditorChanged(int column, long long value);
    // A value of the row changed by the user: the column's rule runs.
    void Edited(int row, int column);
    // Why the row's value of c, edited out of range, can't be sent; or empty.
    QString CellWhy(int row, const TValueColumn& c) const;
    // Marks the row while an edited value of it is out of range.
    void MarkRow(int row);

    std::vector<TValueColumn> m_Columns;
    std::vector<QWidget*> m_SelectionControls;
    // Cells (row index, column) whose value was edited out of range.
    std::set<std::pair<long long, int>> m_OutOfRange;
    bool m_Updating = false;
};
