#pragma once

// A switch table edited one entry at a time: the list of the table, an
// entry form and the entry's key. Add is enabled when the form holds a
// valid entry whose key is not listed, Delete when it is; selecting a row
// fills the form. Add and Delete send one request per target device and
// never touch the list: it is rebuilt from the switch's table when the
// library has read it again.
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
#include <vector>

// What the table editor knows of the page: the key, the row and the form.
class TTableEditorBase {
public:
    // Add and Delete by the form's key; none: both off.
    void UpdateButtons();
    bool IsListed(const QString& key) const;

protected:
    void BindBase(TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del);
    virtual std::optional<QString> FormKey() const = 0;
    virtual void FillFormFromRow(int row) = 0;
    virtual void EventOnAddClick() = 0;
    virtual void EventOnDeleteClick() = 0;
    virtual ~TTableEditorBase() = default;

    TUntypedReportList* m_List = nullptr;
    QAbstractButton* m_Add = nullptr;
    QAbstractButton* m_Delete = nullptr;
    std::vector<QString> m_Keys;  // per row, in table order
};

template <class TGet, class TAdd, class TDel> class TTypedTableEditor : public TTableEditorBase {
public:
    using Entry = typename TGet::Entry;
    using Record = typename TGet::Record;

    struct TDescription {
        std::function<QStringList(const Entry&)> cells;  // one text per list column
        std::function<QString(const Entry&)> key;        // identifies an entry
        std::function<std::optional<Entry>()> readForm;  // none while the form is not a valid entry
        std::function<void(const Entry*)> fillForm;      // a selected row into the form (null: none selected)
    };

    void Bind(TModulePage* page, TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del,
              TDescription description)
    {
        m_Page = page;
        m_Description = std::move(description);
        BindBase(list, add, del);
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
        for (const Entry& entry : m_Entries) {
            m_List->Model()->AddRow(m_Description.cells(entry), (long long)m_Keys.size());
            m_Keys.push_back(m_Description.key(entry));
        }
        UpdateButtons();
    }

protected:
    std::optional<QString> FormKey() const override
    {
        std::optional<Entry> entry = m_Description.readForm();
        if (!entry)
            return std::nullopt;
        return m_Description.key(*entry);
    }
    void FillFormFromRow(int row) override
    {
        const long long index = row >= 0 ? m_List->Model()->Row(row).tag : -1;
        const bool known = index >= 0 && std::size_t(index) < m_Entries.size();
        m_Description.fillForm(known ? &m_Entries[std::size_t(index)] : nullptr);
    }
    void EventOnAddClick() override { Send<TAdd>(); }
    void EventOnDeleteClick() override { Send<TDel>(); }

private:
    template <class R> void Send()
    {
        std::optional<Entry> entry = m_Description.readForm();
        if (entry)
            m_Page->SendToSelectedDevices<R>([&entry](R& request) { request.SetPayload(*entry); });
    }

    TModulePage* m_Page = nullptr;
    TDescription m_Description;
    std::vector<Entry> m_Entries;
};
