#pragma once

// A typed edited list: the columns are described once against the page's row
// type (header, the member a column reads and writes, its editor, its
// header-click step, its rules); the list creates and binds the editors in
// an editor panel under it, keeps one row value per line and hands the
// edited rows back. A refill replaces the rows and discards unsent edits.
//
// The rows of a per-port record are its entries: each names its port (the
// caption is the port's name), a hidden "Port.XX" port gets no row and is
// counted, and the rows stay in the record's order or sort by caption.
//
//   TTypedEditedList<Intp::TPropertyPortConfigEntry> list;
//   list.PortCaption("Port No.", &Entry::port, roCaption);
//   int state = list.Choice("State", &Entry::enabled, {"Disable", "Enable"}, "&State:");
//   list.SetPortRows(device, record.entries);
//
//   TTypedEditedList<TEventRow> list;
//   list.Caption("Port No.", [](const TEventRow& r) { return r.caption; });
//   list.Choice("Syslog", &TEventRow::syslog, {"Disable", "Link Up", ...}, "Syslog:");
//   form.List("&Port Event:", &list);
//   list.CreateEditors(form);

#include "pages/kit/NumberBox.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/UntypedEditedList.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/PortCheckList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// The order of the rows of a per-port record.
enum TPortRowOrder {
    roRecord,   // as the record holds them
    roCaption,  // by caption, a..z folded
};

template <class TRow> class TTypedEditedList : public TUntypedEditedList {
public:
    // What a column's editor takes: at most maxLength characters (0: no
    // limit), and a hint shown over it.
    struct TEditorOptions {
        int maxLength = 0;
        QString hint;
    };

    explicit TTypedEditedList(QWidget* parent = nullptr) : TUntypedEditedList(parent) {}

    // The first column: the row's caption.
    void Caption(const QString& header, std::function<QString(const TRow&)> caption)
    {
        AddCaptionColumn(header);
        m_Caption = std::move(caption);
    }
    // The first column of the rows of a per-port record: the name of the
    // port the row's member port names (SetPortRows).
    template <class M>
        requires std::is_integral_v<M>
    void PortCaption(const QString& header, M TRow::*port, TPortRowOrder order = roRecord)
    {
        AddCaptionColumn(header);
        m_PortOf = [port](const TRow& row) { return int(row.*port); };
        m_Order = order;
    }
    // An integer or bool member shown as one of the choices; the header
    // click steps every row to the first row's next choice.
    template <class M>
        requires std::is_integral_v<M>
    int Choice(const QString& header, M TRow::*member, const QStringList& choices, const QString& editor = {},
               TEditorOptions options = {})
    {
        TColumn c = ValueColumn(member, editor, options);
        c.choices = choices;
        return Declare(AddChoiceColumn(header, choices), std::move(c));
    }
    // An on/off member shown as on (say "Yes") or nothing and ticked in a
    // check box; the header click sets every row to the first row's negation.
    template <class M>
        requires std::is_integral_v<M>
    int Check(const QString& header, M TRow::*member, const QString& on, const QString& editor = {})
    {
        const QStringList choices = {QString(), on};
        TColumn c = ValueColumn(member, editor, {});
        c.choices = choices;
        c.check = true;
        return Declare(AddChoiceColumn(header, choices), std::move(c));
    }
    // An integer member edited in a number field that takes minimum to
    // maximum (NumberBox.h).
    template <class M>
        requires std::is_integral_v<M>
    int Number(const QString& header, M TRow::*member, long long minimum, long long maximum, const QString& editor = {},
               TStep step = nullptr, TEditorOptions options = {})
    {
        TColumn c = ValueColumn(member, editor, options);
        c.minimum = minimum;
        c.maximum = maximum;
        const int column = Declare(AddNumberColumn(header, std::move(step)), std::move(c));
        SetLimits(column, minimum, maximum);
        return column;
    }
    // A text member edited in a line edit; a std::string member holds the
    // text as a switch does, one Latin-1 character a byte.
    int Text(const QString& header, QString TRow::*member, const QString& editor = {}, TEditorOptions options = {})
    {
        return TextColumn(header, editor, std::move(options), [member](const TRow& row) { return row.*member; },
                          [member](TRow& row, const QString& text) { row.*member = text; });
    }
    int Text(const QString& header, std::string TRow::*member, const QString& editor = {},
             TEditorOptions options = {})
    {
        const int column = TextColumn(
            header, editor, std::move(options), [member](const TRow& row) { return SwitchText(row.*member); },
            [member](TRow& row, const QString& text) { row.*member = SwitchBytes(text); });
        m_Columns.back().switchText = true;
        return column;
    }
    // An IPv4 address member (host order) edited in an address field; text
    // that is no host address is taken as 0.
    int Address(const QString& header, std::uint32_t TRow::*member, const QString& editor = {})
    {
        TColumn c = ValueColumn(member, editor, {});
        c.address = true;
        return Declare(AddAddressColumn(header), std::move(c));
    }

    // A 32-bit port mask member (bit n: port index n) shown as the listed
    // numbers of its ports ("1, 2, 5") and ticked in a port check list of the
    // layout given by SetMaskPorts; no header click.
    template <class M>
        requires std::is_integral_v<M>
    int Ports(const QString& header, M TRow::*member, const QString& editor = {})
    {
        TColumn c = ValueColumn(member, editor, {});
        c.ports = true;
        return Declare(AddNumberColumn(
                           header, nullptr, [this](int mask) { return MaskText(std::uint32_t(mask)); },
                           Qt::AlignLeft | Qt::AlignVCenter),
                       std::move(c));
    }
    // The ports of the mask columns' check lists and texts (call before the rows are set).
    void SetMaskPorts(const TPortLayout& ports)
    {
        m_MaskPorts = ports;
        for (const TColumn& c : m_Columns) {
            if (auto* list = qobject_cast<TPortCheckList*>(EditorOf(c.column)))
                list->SetPorts(ports);
        }
    }
    const TPortLayout& MaskPorts() const { return m_MaskPorts; }
    QString MaskText(std::uint32_t mask) const { return m_MaskPorts.MaskText(mask); }

    // A note after the column's editor (its range); call before CreateEditors.
    void EditorNote(int column, const QString& note)
    {
        for (TColumn& c : m_Columns) {
            if (c.column == column)
                c.note = note;
        }
    }
    // The column's editor is enabled only while rule(selected row) holds.
    void EnabledWhen(int column, std::function<bool(const TRow&)> rule)
    {
        SetEnabledRule(column, [this, rule = std::move(rule)](int line) { return rule(Row(line)); });
    }
    // After the column changed on a row (editor or header click), rule may
    // change the row's other members.
    void OnChange(int column, std::function<void(TRow&)> rule)
    {
        SetChangeRule(column, [this, rule = std::move(rule)](int line) {
            TRow row = Row(line);
            rule(row);
            Put(line, row);
        });
    }

    // Makes the editor of every column that names one, in the form's editor
    // panel under this list, enabled with the selection.
    void CreateEditors(TPageForm& form)
    {
        for (const TColumn& c : m_Columns) {
            if (c.editor.isEmpty())
                continue;
            QWidget* editor = nullptr;
            if (c.getText) {
                auto* edit = form.PanelEditor(c.editor, new QLineEdit());
                if (c.options.maxLength > 0)
                    edit->setMaxLength(c.options.maxLength);
                if (c.switchText)
                    MakeSwitchText(edit, 0);
                BindEditor(c.column, edit);
                editor = edit;
            } else if (c.ports) {
                auto* list = form.PanelEditor(c.editor, new TPortCheckList());
                list->SetPorts(m_MaskPorts);
                BindEditor(c.column, list);
                editor = list;
            } else if (c.address) {
                editor = form.PanelEditor(c.editor, new TIpEdit());
                BindEditor(c.column, static_cast<TIpEdit*>(editor));
            } else if (c.check) {
                auto* box = new QCheckBox();
                BindEditor(c.column, form.PanelEditor(c.editor, box));
                editor = box;
            } else if (!c.choices.isEmpty()) {
                auto* combo = new QComboBox();
                combo->addItems(c.choices);
                BindEditor(c.column, form.PanelEditor(c.editor, combo));
                editor = combo;
            } else {
                auto* number = new TNumberBox();
                number->SetLimits(c.minimum, c.maximum);
                BindEditor(c.column, form.PanelEditor(c.editor, number));
                editor = number;
            }
            if (!c.options.hint.isEmpty())
                editor->setToolTip(c.options.hint);
            if (!c.note.isEmpty())
                SetEditorNote(c.column, form.PanelNote(editor, c.note));
            SetEditorLabel(c.column, form.LabelOf(editor));
        }
        UpdateEditors();
    }

    void SetRows(const std::vector<TRow>& rows)
    {
        Clear();
        m_Rows = rows;
        m_Hidden = 0;
        for (std::size_t i = 0; i < m_Rows.size(); ++i)
            Put(AddEditedRow(m_Caption ? m_Caption(m_Rows[i]) : QString(), (long long)i, {}), m_Rows[i]);
        UpdateEditors();
    }
    // The rows of a per-port record, entry i at index i of the layout: the
    // layout's rows (no hidden or cut port), captioned with the port's name
    // (PortCaption) or else numbered by their position ("Port.%02d", the
    // rows after a hidden port keep consecutive numbers).
    void SetPortRows(const TPortLayout& ports, const std::vector<TRow>& entries)
    {
        Clear();
        m_Rows = entries;
        m_PortLayout = ports;
        m_Hidden = ports.HiddenCount();
        for (const auto& [caption, index] : Listed(ports, entries))
            Put(AddEditedRow(caption, (long long)index, {}), m_Rows[index]);
        UpdateEditors();
    }
    // The same with the device's port names for the ports the entries name.
    void SetPortRows(Intp::TDevice* device, const std::vector<TRow>& entries)
    {
        SetPortRows(LayoutOf(device, entries), entries);
    }
    // What Rows() of such a list (a PortCaption one) on device answers
    // when the rows of shown stand in place of own entries (device's as
    // read) of their ports, each keeping own's values it shows none of
    // (KeepOwnValues): empty, or why device's list has no line of a row of
    // shown. hidden, when given, takes the count of own's entries left out
    // for their "Port.XX" name.
    QString PortRowsOn(Intp::TDevice* device, const std::vector<TRow>& own, const std::vector<TRow>& shown,
                       std::vector<TRow>& rows, int* hidden = nullptr) const
    {
        std::vector<TRow> entries = own;
        const TPortLayout ports = LayoutOf(device, entries);
        const auto listed = Listed(ports, entries);
        for (const TRow& row : shown) {
            const auto line = std::find_if(listed.begin(), listed.end(),
                                           [&](const auto& l) { return m_PortOf(entries[l.second]) == m_PortOf(row); });
            if (line == listed.end()) {
                // Trunk groups follow the device's ports in the same indexes.
                const int index = m_PortOf(row), ports = int(device->GetPortNum());
                return index < ports ? QString("its own page lists no port %1").arg(index + 1)
                                     : QString("its own page lists no trunk group %1").arg(index - ports + 1);
            }
            TRow& entry = entries[line->second];
            TRow sent = row;
            KeepOwnValues(sent, &entry);
            entry = sent;
        }
        rows.clear();
        for (const auto& line : listed)
            rows.push_back(entries[line.second]);
        if (hidden)
            *hidden = ports.HiddenCount();
        return QString();
    }
    // Puts own's values (a target's own entry of row's port or index; null:
    // not read) in place of those of row its columns show none of (a choice
    // value without an item, "Unknown (7)"; a number read outside its
    // column's limits): such a value is the switch on show's, never the
    // target's. False when row has one and own is null.
    bool KeepOwnValues(TRow& row, const TRow* own) const
    {
        for (const TColumn& c : m_Columns) {
            if (!c.get || Shows(c.column, c.get(row)))
                continue;
            if (!own)
                return false;
            c.set(row, c.get(*own));
        }
        return true;
    }
    // KeepOwnValues as a function (PortMerge::TOwnValues).
    std::function<bool(TRow&, const TRow*)> OwnValues() const
    {
        return [this](TRow& row, const TRow* own) { return KeepOwnValues(row, own); };
    }
    // The ports of the last SetPortRows.
    const TPortLayout& PortLayout() const { return m_PortLayout; }
    // Entries of the last SetPortRows left out for their "Port.XX" name.
    int HiddenCount() const { return m_Hidden; }
    // The indexes of the entries of the last fill that have no line.
    std::vector<std::size_t> Unlisted() const
    {
        std::vector<bool> listed(m_Rows.size());
        for (int line = 0; line < RowCount(); ++line)
            if (std::size_t(Index(line)) < listed.size())
                listed[std::size_t(Index(line))] = true;
        std::vector<std::size_t> unlisted;
        for (std::size_t i = 0; i < listed.size(); ++i)
            if (!listed[i])
                unlisted.push_back(i);
        return unlisted;
    }

    // The row of a line as edited.
    TRow Row(int line) const
    {
        TRow row = m_Rows.at(std::size_t(Index(line)));
        for (const TColumn& c : m_Columns) {
            if (c.getText)
                c.setText(row, TUntypedEditedList::Text(line, c.column));
            else
                c.set(row, Value(line, c.column));
        }
        return row;
    }
    // The entries of a per-port record with each line's edits at its
    // index; a hidden port's entry stays as given (as read).
    std::vector<TRow> EditedEntries(std::vector<TRow> entries) const
    {
        for (int line = 0; line < RowCount(); ++line) {
            const std::size_t index = std::size_t(Index(line));
            if (index < entries.size())
                entries[index] = Row(line);
        }
        return entries;
    }
    // The rows as edited, in line order.
    std::vector<TRow> Rows() const
    {
        std::vector<TRow> rows;
        for (int line = 0; line < RowCount(); ++line)
            rows.push_back(Row(line));
        return rows;
    }

private:
    TPortLayout LayoutOf(Intp::TDevice* device, const std::vector<TRow>& entries) const
    {
        std::vector<int> portOf;
        for (const TRow& entry : entries)
            portOf.push_back(m_PortOf ? m_PortOf(entry) : int(portOf.size()));
        TPortLayout ports;
        ports.BuildEntriesFor(device, portOf);
        return ports;
    }
    // The caption and entry index of each line, in line order.
    std::vector<std::pair<QString, std::size_t>> Listed(const TPortLayout& ports, const std::vector<TRow>& entries) const
    {
        std::vector<std::pair<QString, std::size_t>> listed;
        for (int row = 0; row < ports.RowCount(); ++row) {
            const std::size_t index = std::size_t(ports.IndexOfRow(row));
            if (index < entries.size())
                listed.emplace_back(m_PortOf ? ports.RowName(row) : TPortLayout::NumberedCaption(row), index);
        }
        if (m_Order == roCaption) {
            std::stable_sort(listed.begin(), listed.end(), [](const auto& a, const auto& b) {
                return CompareCells(a.first, b.first, ckText) < 0;
            });
        }
        return listed;
    }

    struct TColumn {
        int column = -1;
        QString editor;
        TEditorOptions options;
        QString note;
        QStringList choices;
        long long minimum = 0;
        long long maximum = 0;
        bool address = false;
        bool ports = false;       // a port mask (Ports)
        bool check = false;       // on/off in a check box (Check)
        bool switchText = false;  // a std::string member: Latin-1 (SwitchText.h)
        std::function<QString(const TRow&)> getText;
        std::function<void(TRow&, const QString&)> setText;
        std::function<long long(const TRow&)> get;
        std::function<void(TRow&, long long)> set;
    };
    template <class M> static TColumn ValueColumn(M TRow::*member, const QString& editor, TEditorOptions options)
    {
        TColumn c;
        c.editor = editor;
        c.options = std::move(options);
        c.get = [member](const TRow& row) { return (long long)(row.*member); };
        c.set = [member](TRow& row, long long value) { row.*member = static_cast<M>(value); };
        return c;
    }
    int TextColumn(const QString& header, const QString& editor, TEditorOptions options,
                   std::function<QString(const TRow&)> get, std::function<void(TRow&, const QString&)> set)
    {
        TColumn c;
        c.getText = std::move(get);
        c.setText = std::move(set);
        c.editor = editor;
        c.options = std::move(options);
        return Declare(AddTextColumn(header), std::move(c));
    }
    int Declare(int column, TColumn c)
    {
        c.column = column;
        m_Columns.push_back(std::move(c));
        return column;
    }
    // Shows the row's values on a line.
    void Put(int line, const TRow& row)
    {
        for (const TColumn& c : m_Columns) {
            if (c.getText)
                SetText(line, c.column, c.getText(row));
            else
                SetValue(line, c.column, c.get(row));
        }
    }

    std::function<QString(const TRow&)> m_Caption;
    std::function<int(const TRow&)> m_PortOf;
    TPortLayout m_MaskPorts;
    TPortLayout m_PortLayout;
    TPortRowOrder m_Order = roRecord;
    std::vector<TColumn> m_Columns;
    std::vector<TRow> m_Rows;
    int m_Hidden = 0;
};
