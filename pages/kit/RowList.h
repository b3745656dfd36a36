#pragma once

// A typed row list: the columns are described once against the page's row
// type (header, the member a column reads and writes, its editor, its
// header-click step); the list creates and binds the editors in an editor
// panel under it, keeps one row value per line and hands the edited rows
// back. A refill replaces the rows and discards unsent edits. Report lists
// without editors replace single rows as their state changes (SetRow).
//
//   TRowList<TEventRow> list;
//   list.Caption("Port No.", [](const TEventRow& r) { return r.caption; });
//   list.Choice("Syslog", &TEventRow::syslog, {"Disable", "Link Up", ...}, "Syslog:");
//   form.List("&Port Event:", &list);
//   list.CreateEditors(form);

#include "pages/kit/PageForm.h"
#include "pages/kit/PageList.h"

#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <functional>
#include <vector>

template <class TRow> class TRowList : public TEditedList {
public:
    explicit TRowList(QWidget* parent = nullptr) : TEditedList(parent) {}

    // The first column: the row's caption.
    void Caption(const QString& header, std::function<QString(const TRow&)> caption)
    {
        AddCaptionColumn(header);
        m_Caption = std::move(caption);
    }
    // An int member shown as one of the choices; the header click steps
    // every row to the first row's next choice.
    int Choice(const QString& header, int TRow::*member, const QStringList& choices, const QString& editor = {})
    {
        return Declare(AddChoiceColumn(header, choices), {member, nullptr, editor, choices, 0, 0});
    }
    // An int member edited in a spin box between minimum and maximum.
    int Number(const QString& header, int TRow::*member, int minimum, int maximum, const QString& editor = {},
               TStep step = nullptr)
    {
        return Declare(AddNumberColumn(header, std::move(step)), {member, nullptr, editor, {}, minimum, maximum});
    }
    // A text member edited in a line edit.
    int Text(const QString& header, QString TRow::*member, const QString& editor = {})
    {
        return Declare(AddTextColumn(header), {nullptr, member, editor, {}, 0, 0});
    }

    // Makes the editor of every column that names one, in the form's editor
    // panel under this list, enabled with the selection.
    void CreateEditors(TPageForm& form)
    {
        for (const TColumn& c : m_Columns) {
            if (c.editor.isEmpty())
                continue;
            if (c.text) {
                BindEditor(c.column, form.PanelEditor(c.editor, new QLineEdit()));
            } else if (!c.choices.isEmpty()) {
                auto* combo = new QComboBox();
                combo->addItems(c.choices);
                BindEditor(c.column, form.PanelEditor(c.editor, combo));
            } else {
                auto* spin = new QSpinBox();
                spin->setRange(c.minimum, c.maximum);
                BindEditor(c.column, form.PanelEditor(c.editor, spin));
            }
            SetEditorLabel(c.column, form.LabelOf(EditorOf(c.column)));
        }
        UpdateEditors();
    }

    // The row's image, set with every row (a null icon: none).
    void Icon(std::function<QIcon(const TRow&)> icon) { m_Icon = std::move(icon); }

    void SetRows(const std::vector<TRow>& rows)
    {
        Clear();
        m_Rows = rows;
        for (std::size_t i = 0; i < m_Rows.size(); ++i)
            Show(AddEditedRow(QString(), (long long)i, {}));
        UpdateEditors();
    }
    // The row of a line as last set (unsent edits not included).
    const TRow& Row(int line) const { return m_Rows.at(std::size_t(Index(line))); }
    // Replaces the row of a line and shows it.
    void SetRow(int line, const TRow& row)
    {
        m_Rows.at(std::size_t(Index(line))) = row;
        Show(line);
    }
    // The last line whose row matches, or -1.
    template <class Match> int FindLast(Match match) const
    {
        for (int line = RowCount() - 1; line >= 0; --line) {
            if (match(Row(line)))
                return line;
        }
        return -1;
    }
    // The rows as edited, in row order.
    std::vector<TRow> Rows() const
    {
        std::vector<TRow> rows;
        for (int line = 0; line < RowCount(); ++line) {
            TRow row = m_Rows.at(std::size_t(Index(line)));
            for (const TColumn& c : m_Columns) {
                if (c.text)
                    row.*(c.text) = TEditedList::Text(line, c.column);
                else
                    row.*(c.value) = Value(line, c.column);
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

private:
    struct TColumn {
        int TRow::*value;
        QString TRow::*text;
        QString editor;
        QStringList choices;
        int minimum;
        int maximum;
        int column = -1;
    };
    int Declare(int column, TColumn c)
    {
        c.column = column;
        m_Columns.push_back(c);
        return column;
    }

    void Show(int line)
    {
        const TRow& row = Row(line);
        if (m_Caption)
            Model()->SetCell(line, 0, m_Caption(row));
        for (const TColumn& c : m_Columns) {
            if (c.text)
                SetText(line, c.column, row.*(c.text));
            else
                SetValue(line, c.column, row.*(c.value));
        }
        const QIcon icon = m_Icon ? m_Icon(row) : QIcon();
        if (!icon.isNull())
            Model()->SetIcon(line, icon);
        else if (Model()->Row(line).hasIcon)
            Model()->ClearIcon(line);
    }

    std::function<QString(const TRow&)> m_Caption;
    std::function<QIcon(const TRow&)> m_Icon;
    std::vector<TColumn> m_Columns;
    std::vector<TRow> m_Rows;
};
