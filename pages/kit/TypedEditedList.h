#pragma once

// A typed edited list: the columns are described once against the page's row
// type (header, the member a column reads and writes, its editor, its
// header-click step); the list creates and binds the editors in an editor
// panel under it, keeps one row value per line and hands the edited rows
// back. A refill replaces the rows and discards unsent edits.
//
//   TTypedEditedList<TEventRow> list;
//   list.Caption("Port No.", [](const TEventRow& r) { return r.caption; });
//   list.Choice("Syslog", &TEventRow::syslog, {"Disable", "Link Up", ...}, "Syslog:");
//   form.List("&Port Event:", &list);
//   list.CreateEditors(form);

#include "pages/kit/PageForm.h"
#include "pages/kit/UntypedEditedList.h"
#include "pages/kit/PageWidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <cstdint>
#include <functional>
#include <vector>

template <class TRow> class TTypedEditedList : public TUntypedEditedList {
public:
    explicit TTypedEditedList(QWidget* parent = nullptr) : TUntypedEditedList(parent) {}

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
    // An IPv4 address member (host order) edited in an address field; text
    // that is no host address is taken as 0.
    int Address(const QString& header, std::uint32_t TRow::*member, const QString& editor = {})
    {
        return Declare(AddAddressColumn(header), {nullptr, nullptr, editor, {}, 0, 0, member});
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
            } else if (c.address) {
                BindEditor(c.column, form.PanelEditor(c.editor, new TIpEdit()));
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

    void SetRows(const std::vector<TRow>& rows)
    {
        Clear();
        m_Rows = rows;
        for (std::size_t i = 0; i < m_Rows.size(); ++i) {
            const TRow& row = m_Rows[i];
            int line = AddEditedRow(m_Caption ? m_Caption(row) : QString(), (long long)i, {});
            for (const TColumn& c : m_Columns) {
                if (c.text)
                    SetText(line, c.column, row.*(c.text));
                else if (c.address)
                    SetValue(line, c.column, int(row.*(c.address)));
                else
                    SetValue(line, c.column, row.*(c.value));
            }
        }
        UpdateEditors();
    }
    // The rows as edited, in row order.
    std::vector<TRow> Rows() const
    {
        std::vector<TRow> rows;
        for (int line = 0; line < RowCount(); ++line) {
            TRow row = m_Rows.at(std::size_t(Index(line)));
            for (const TColumn& c : m_Columns) {
                if (c.text)
                    row.*(c.text) = TUntypedEditedList::Text(line, c.column);
                else if (c.address)
                    row.*(c.address) = std::uint32_t(Value(line, c.column));
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
        std::uint32_t TRow::*address = nullptr;
        int column = -1;
    };
    int Declare(int column, TColumn c)
    {
        c.column = column;
        m_Columns.push_back(c);
        return column;
    }

    std::function<QString(const TRow&)> m_Caption;
    std::vector<TColumn> m_Columns;
    std::vector<TRow> m_Rows;
};
