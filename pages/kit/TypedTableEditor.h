#pragma once

// A switch table edited one entry at a time: the list of the table, an
// entry form and the entry's key. Add is enabled when the form holds a
// valid entry whose key is not listed, Modify (when the table has one) when
// it is, Delete when the form's key is listed; selecting a row fills the
// form. Add, Modify and Delete send one request per target device and never
// touch the list: it is rebuilt from the switch's table when the library has
// read it again.
//
// Each target takes the entry as its own page would send it, or is named as
// not changed. A table says once what decides that (TDescription): the
// switch's key of an entry (switchKey), what its own page's Add does with a
// key it lists (add), and what its Delete looks up and sends (del). Modify
// goes to a switch whose own page lists the form's key.
//
//   TTypedTableEditor<Intp::TSessionSecurityMacGet, Intp::TSessionSecurityMacAdd,
//                Intp::TSessionSecurityMacDel> m_Table;
//   m_Table.Bind(this, m_List, m_Add, m_Delete, {.cells = ..., .key = ..., .add = arRefusesHeld, ...});

#include "intp/Device.h"
#include "intp/Property.h"
#include "intp/Record.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/UntypedReportList.h"

#include <QAbstractButton>
#include <QObject>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

// What a table's own page does on Add with an entry whose key it lists.
enum TAddRule {
    arRefusesHeld,  // Add is off or refused: a target listing that key is named
    arSendsHeld,    // no check: every target takes it
};

// What a table's own page looks up and sends on Delete.
enum TDeleteRule {
    // Its Delete needs a listed row of the buttons' key. A selected row's
    // Delete sends each other switch its own entry of the switch's key (as
    // its own page does once its row of it is selected); a typed form, and
    // the switch on show, take the form as typed.
    drListedKey,
    // Its Delete searches no list: as drListedKey, but a switch is named
    // unless it holds the form's entry by the switch's key.
    drHeldEntry,
    // Every switch, the one on show too, takes its own entry of the
    // switch's key, selected or typed: the form's other fields name nothing.
    drOwnEntry,
};

// What the table editor knows of the page: the key, the row and the form.
class TTableEditorBase {
public:
    // Add, Modify and Delete by the form's entry and key; none: all off.
    void UpdateButtons();
    bool IsListed(const QString& key) const;

    // A port or trunk group of source's model (index: ports, then trunk
    // groups) as the same port or trunk group of target's model, by its
    // number, never by index; answers why target has none (empty: it has).
    static QString PortOnTarget(std::uint32_t& index, const Intp::TDevice* source, const Intp::TDevice* target);
    // A position of source's port configuration as the position of the same
    // port or trunk group in target's (both read), one its own page offers.
    static QString PositionOnTarget(std::uint32_t& position, Intp::TDevice* source, Intp::TDevice* target);
    // Every position of a mask (bit n: position n) the same way.
    static QString PositionsOnTarget(std::uint32_t& mask, Intp::TDevice* source, Intp::TDevice* target);
    // Why target's own page lacks the line of one of the positions of
    // source's port configuration in lines (a mask); empty when it has them all.
    static QString LinesOnTarget(std::uint32_t lines, Intp::TDevice* source, Intp::TDevice* target);
    // Why target's model refuses an entry; empty when it takes it.
    static QString ModelWhy(bool refused);
    // Why a target's own page can't show every port line the page shows:
    // it offers fewer (empty when it offers as many).
    static QString LinesWhy(int shown, int offered);

protected:
    void BindBase(TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del, QAbstractButton* modify);
    // The key of the form's whole entry, and the key the form names at all.
    virtual std::optional<QString> FormKey() const = 0;
    virtual std::optional<QString> FormKeyOnly() const = 0;
    virtual void FillFormFromRow(int row) = 0;
    virtual void EventOnAddClick() = 0;
    virtual void EventOnModifyClick() = 0;
    virtual void EventOnDeleteClick() = 0;
    virtual ~TTableEditorBase() = default;

    TUntypedReportList* m_List = nullptr;
    QAbstractButton* m_Add = nullptr;
    QAbstractButton* m_Modify = nullptr;
    QAbstractButton* m_Delete = nullptr;
    // Without a current device nothing is sent, whatever the form holds.
    TModulePage* m_Page = nullptr;
    std::vector<QString> m_Keys;  // per row, in table order
    std::function<bool()> m_KeyGiven;
};

// TModify: the request that changes a listed entry (void: the table has none).
template <class TGet, class TAdd, class TDel, class TModify = void> class TTypedTableEditor : public TTableEditorBase {
public:
    using Entry = typename TGet::Entry;
    using Record = typename TGet::Record;

    struct TDescription {
        std::function<QStringList(const Entry&)> cells;  // one text per list column (after the row number)
        // The buttons' key: what the page's Add, Modify and Delete rules
        // compare with the listed rows.
        std::function<QString(const Entry&)> key;
        // The switch's key: what identifies an entry on the switch, where it
        // is not key (wider, where the switch keys by more; or the address
        // alone). Targets' entries are matched by it. Default: key.
        std::function<QString(const Entry&)> switchKey = nullptr;
        // What the table's own page does on Add with a listed key, and what
        // it sends on Delete.
        TAddRule add = arRefusesHeld;
        TDeleteRule del = drListedKey;
        std::function<std::optional<Entry>()> readForm;  // none while the form is not a valid entry
        std::function<void(const Entry*)> fillForm;      // a selected row into the form (null: none selected)
        // The form's entry as far as Delete needs it (its key); default readForm.
        std::function<std::optional<Entry>()> readKey = nullptr;
        // The buttons' key the form names when it is not its entry's key (a
        // key as typed, say); asked only while the form holds an entry.
        std::function<QString()> formKey = nullptr;
        // A first column of row numbers (1, 2, ...) before the cells.
        bool numbered = false;
        // A number column's sort key when it is not the number its text shows.
        std::function<std::optional<long long>(const Entry&, int column)> sortKey = nullptr;
        // The row's tooltip: a text its cells may cut, whole (default none).
        std::function<QString(const Entry&)> toolTip = nullptr;
        // Pages that check on click: Add and Delete are both enabled exactly
        // while keyGiven answers true, and check(add) runs before sending;
        // false (it has said why) sends nothing.
        std::function<bool()> keyGiven = nullptr;
        std::function<bool(bool add)> check = nullptr;
        // Entries of the table that get a row on the page of the switch
        // holding them (default: all); only those are a switch's own.
        std::function<bool(const Entry&, Intp::TDevice*)> listed = nullptr;
        // The entry as target takes it: puts the form's entry (made for the
        // current switch) into target's own layout, and answers why target
        // can't take it (that switch is named as not changed), or empty.
        // del: the entry of a Delete of the form. Default: the entry as it
        // is, unless target's model refuses it.
        std::function<QString(Entry& entry, Intp::TDevice* target, bool del)> fit = nullptr;
        // While the form shows a row as it filled it, Delete names the entry
        // with the row's values the form can't show (a VLAN id outside the
        // field's range): asRead(entry, row) takes them into the entry.
        std::function<void(Entry& entry, const Entry& row)> asRead = nullptr;
        // Why target's own page has no table to edit though its reads
        // succeeded (another mode, say); default none.
        std::function<QString(Intp::TDevice* target)> ownPageWhy = nullptr;
        // A switch's own entry as its form reads it back once filled from
        // it: what Delete sends it of its own entry; none when its own form
        // can't hold it (that switch is named). Default: the entry as it is.
        std::function<std::optional<Entry>(const Entry&)> asFilled = nullptr;
    };

    void Bind(TModulePage* page, TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del,
              TDescription description, QAbstractButton* modify = nullptr)
    {
        m_Page = page;
        m_Description = std::move(description);
        m_KeyGiven = m_Description.keyGiven;
        BindBase(list, add, del, modify);
    }

    // Rebuilds the list from the device's table (empty without a device or
    // a valid table), in table order.
    void Rebuild(Intp::TDevice* device)
    {
        m_List->Clear();
        m_Keys.clear();
        m_Entries.clear();
        if (device) {
            const Record& record = Intp::Property<Record>::Get(device);
            if (record.valid)
                m_Entries = record.entries;
        }
        if (m_Description.listed)
            std::erase_if(m_Entries, [&](const Entry& entry) { return !m_Description.listed(entry, device); });
        for (const Entry& entry : m_Entries) {
            TListRow row;
            row.tag = (long long)m_Keys.size();
            if (m_Description.numbered)
                row.cells << QString::number(row.tag + 1);
            row.cells << m_Description.cells(entry);
            for (int column = 0; column < row.cells.size(); ++column) {
                const auto key = m_Description.sortKey ? m_Description.sortKey(entry, column) : std::nullopt;
                row.numbers.push_back(key ? *key : row.cells[column].toLongLong());
            }
            if (m_Description.toolTip)
                row.toolTip = m_Description.toolTip(entry);
            m_List->Model()->AddRow(std::move(row));
            m_Keys.push_back(m_Description.key(entry));
        }
        UpdateButtons();
    }

protected:
    std::optional<QString> FormKey() const override { return KeyOf(m_Description.readForm()); }
    std::optional<QString> FormKeyOnly() const override { return KeyOf(KeyEntry()); }
    void FillFormFromRow(int row) override
    {
        const long long index = row >= 0 ? m_List->Model()->Row(row).tag : -1;
        const bool known = index >= 0 && std::size_t(index) < m_Entries.size();
        m_Description.fillForm(known ? &m_Entries[std::size_t(index)] : nullptr);
        m_Filled.reset();
        if (known && m_Description.asRead) {
            m_Filled = m_Entries[std::size_t(index)];
            m_FilledForm = Bytes(ReadKey());
        }
    }
    void EventOnAddClick() override
    {
        if (!m_Description.check || m_Description.check(true))
            Send<TAdd>(m_Description.readForm(), taAdd);
    }
    void EventOnModifyClick() override
    {
        if constexpr (!std::is_void_v<TModify>)
            Send<TModify>(m_Description.readForm(), taModify);
    }
    void EventOnDeleteClick() override
    {
        if (m_Description.check && !m_Description.check(false))
            return;
        Send<TDel>(KeyEntry(), taDelete);
    }

public:
    // The listed entry with that key, or null.
    const Entry* Find(const QString& key) const
    {
        for (std::size_t i = 0; i < m_Keys.size() && i < m_Entries.size(); ++i)
            if (m_Keys[i] == key)
                return &m_Entries[i];
        return nullptr;
    }

private:
    std::optional<Entry> ReadKey() const
    {
        return m_Description.readKey ? m_Description.readKey() : m_Description.readForm();
    }
    // The form's entry for Delete, with the values a row as read holds.
    std::optional<Entry> KeyEntry() const
    {
        std::optional<Entry> entry = ReadKey();
        if (entry && m_Filled && Bytes(entry) == m_FilledForm)
            m_Description.asRead(*entry, *m_Filled);
        return entry;
    }
    static std::vector<std::uint8_t> Bytes(const std::optional<Entry>& entry)
    {
        return entry ? Intp::EncodeEntries(Record::EntryFields, std::vector<Entry>{*entry}) : std::vector<std::uint8_t>{};
    }
    std::optional<QString> KeyOf(const std::optional<Entry>& entry) const
    {
        return entry ? std::optional<QString>(ButtonsKey(*entry)) : std::nullopt;
    }
    enum TAction { taAdd, taModify, taDelete };
    template <class R> void Send(const std::optional<Entry>& entry, TAction action)
    {
        if (!entry)
            return;
        this->m_Page->template SendToEachTarget<R>([&](R& request, Intp::TDevice* target) {
            Entry own = *entry;
            const QString why = OnTarget(own, target, action);
            if (why.isEmpty())
                request.SetPayload(own);
            return why;
        });
    }
    // The form's entry as target's own page sends it; why it can't, or empty.
    QString OnTarget(Entry& entry, Intp::TDevice* target, TAction action) const
    {
        if (QString why = m_Description.ownPageWhy ? m_Description.ownPageWhy(target) : QString(); !why.isEmpty())
            return why;
        const bool current = m_Page->IsCurrent(target);
        // A Delete that sends the switch its own entry of the key, which its
        // own table took: its model takes it.
        const bool own =
            action == taDelete && (m_Description.del == drOwnEntry || (!current && m_List->SelectedRow() >= 0));
        if (!own) {
            if (QString why = m_Description.fit
                                  ? m_Description.fit(entry, target, action == taDelete)
                                  : ModelWhy(Intp::CheckEntryOf<Record>(Intp::ModelOf(target), entry) != Intp::ssOk);
                !why.isEmpty())
                return why;
        }
        const Record* table = target->template LatestRead<Record>();
        if (!table)
            return TModulePage::OwnReadWhy<Record>(target, "its own table was not read");
        // The switch on show takes an Add its page offered; another switch
        // one its own page offers.
        if (action == taAdd)
            return m_Description.add == arRefusesHeld && !current && Lists(*table, target, ButtonsKey(entry))
                       ? QString("it holds that entry already")
                       : QString();
        // Modify and a Delete of the form: where its own page offers them.
        if (!own) {
            const bool found = action == taDelete && m_Description.del == drHeldEntry
                                   ? Held(*table, target, entry) != nullptr
                                   : Lists(*table, target, ButtonsKey(entry));
            return found ? QString() : QString("it holds no such entry");
        }
        const Entry* held = Held(*table, target, entry);
        if (!held)
            return QString("it holds no such entry");
        const std::optional<Entry> filled = m_Description.asFilled ? m_Description.asFilled(*held) : *held;
        if (!filled)
            return QString("its own page can't show its entry of that key");
        entry = *filled;
        return QString();
    }

    QString SwitchKey(const Entry& entry) const
    {
        return m_Description.switchKey ? m_Description.switchKey(entry) : m_Description.key(entry);
    }
    // The buttons' key the form names, entry being its entry (on a target).
    QString ButtonsKey(const Entry& entry) const
    {
        return m_Description.formKey ? m_Description.formKey() : m_Description.key(entry);
    }
    bool Listed(const Entry& entry, Intp::TDevice* target) const
    {
        return !m_Description.listed || m_Description.listed(entry, target);
    }
    // Whether target's own page lists a row of that buttons' key.
    bool Lists(const Record& table, Intp::TDevice* target, const QString& key) const
    {
        return std::any_of(table.entries.begin(), table.entries.end(),
                           [&](const Entry& e) { return Listed(e, target) && m_Description.key(e) == key; });
    }
    // Target's own listed entry of entry's switch's key: of several, the one
    // the form shows as it is; null when it holds none.
    const Entry* Held(const Record& table, Intp::TDevice* target, const Entry& entry) const
    {
        const QString key = SwitchKey(entry);
        const std::vector<std::uint8_t> shown = Bytes(entry);
        const Entry* first = nullptr;
        for (const Entry& e : table.entries) {
            if (!Listed(e, target) || SwitchKey(e) != key)
                continue;
            if (Bytes(e) == shown)
                return &e;
            if (!first)
                first = &e;
        }
        return first;
    }

    TDescription m_Description;
    std::vector<Entry> m_Entries;
    // The row that filled the form last, and the form's entry then.
    std::optional<Entry> m_Filled;
    std::vector<std::uint8_t> m_FilledForm;
};
