#pragma once

// A switch table edited one entry at a time: the list of the table, an
// entry form and the entry's key. Add is enabled when the form holds a
// valid entry whose key is not listed, Modify (when the table has one) when
// it is, Delete when the form's key is listed; selecting a row fills the
// form. Add, Modify and Delete send one request per target device and never
// touch the list: it is rebuilt from the switch's table when the library has
// read it again.
//
//   TTypedTableEditor<Intp::TSessionSecurityMacGet, Intp::TSessionSecurityMacAdd,
//                Intp::TSessionSecurityMacDel> m_Table;
//   m_Table.Bind(this, m_List, m_Add, m_Delete, {cells, key, readForm, fillForm});

#include "intp/Device.h"
#include "intp/Property.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/UntypedReportList.h"

#include <QAbstractButton>
#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>
#include <type_traits>
#include <vector>

// What the table editor knows of the page: the key, the row and the form.
class TTableEditorBase {
public:
    // Add, Modify and Delete by the form's entry and key; none: all off.
    void UpdateButtons();
    bool IsListed(const QString& key) const;

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
        std::function<QString(const Entry&)> key;        // identifies an entry
        std::function<std::optional<Entry>()> readForm;  // none while the form is not a valid entry
        std::function<void(const Entry*)> fillForm;      // a selected row into the form (null: none selected)
        // The form's entry as far as Delete needs it (its key); default readForm.
        std::function<std::optional<Entry>()> readKey = nullptr;
        // A first column of row numbers (1, 2, ...) before the cells.
        bool numbered = false;
        // A number column's sort key when it is not the number its text shows.
        std::function<std::optional<long long>(const Entry&, int column)> sortKey = nullptr;
        // Pages that check on click: Add and Delete are both enabled exactly
        // while keyGiven answers true, and check(add) runs before sending;
        // false (it has said why) sends nothing.
        std::function<bool()> keyGiven = nullptr;
        std::function<bool(bool add)> check = nullptr;
        // Entries of the table that get a row (default: all).
        std::function<bool(const Entry&)> listed = nullptr;
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
            std::erase_if(m_Entries, [this](const Entry& entry) { return !m_Description.listed(entry); });
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
            m_List->Model()->AddRow(std::move(row));
            m_Keys.push_back(m_Description.key(entry));
        }
        UpdateButtons();
    }

protected:
    std::optional<QString> FormKey() const override { return KeyOf(m_Description.readForm()); }
    std::optional<QString> FormKeyOnly() const override
    {
        return m_Description.readKey ? KeyOf(m_Description.readKey()) : FormKey();
    }
    void FillFormFromRow(int row) override
    {
        const long long index = row >= 0 ? m_List->Model()->Row(row).tag : -1;
        const bool known = index >= 0 && std::size_t(index) < m_Entries.size();
        m_Description.fillForm(known ? &m_Entries[std::size_t(index)] : nullptr);
    }
    void EventOnAddClick() override
    {
        if (!m_Description.check || m_Description.check(true))
            Send<TAdd>(m_Description.readForm());
    }
    void EventOnModifyClick() override
    {
        if constexpr (!std::is_void_v<TModify>)
            Send<TModify>(m_Description.readForm());
    }
    void EventOnDeleteClick() override
    {
        if (m_Description.check && !m_Description.check(false))
            return;
        Send<TDel>(m_Description.readKey ? m_Description.readKey() : m_Description.readForm());
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
    std::optional<QString> KeyOf(const std::optional<Entry>& entry) const
    {
        return entry ? std::optional<QString>(m_Description.key(*entry)) : std::nullopt;
    }
    template <class R> void Send(const std::optional<Entry>& entry)
    {
        if (entry)
            this->m_Page->SendToSelectedDevices<R>([&entry](R& request) { request.SetPayload(*entry); });
    }

    TDescription m_Description;
    std::vector<Entry> m_Entries;
};
