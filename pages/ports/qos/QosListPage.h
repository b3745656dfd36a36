#pragma once

// The QoS pages of one list: a value per priority, port or DSCP value,
// edited row by row (a header click steps every row) and sent whole.

#include "pages/kit/ModulePage.h"
#include "pages/kit/ValueList.h"

#include <cstddef>
#include <functional>

class QPushButton;

class TQosListPage : public TModulePage {
    Q_OBJECT

public:
    TValueList* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    virtual void EventOnApplyClick() = 0;

protected:
    // The page takes list.
    TQosListPage(const QString& caption, TValueList* list, QWidget* parent);
};

// A page of a fixed map (Member: the record's std::array), one row per
// element captioned caption(index).
template <class TGet, class TSet, auto Member> class TQosMapPage : public TQosListPage {
public:
    using TRecord = typename TGet::Record;

    TQosMapPage(const QString& caption, TValueList* list, std::function<QString(std::size_t)> rowCaption,
                QWidget* parent)
        : TQosListPage(caption, list, parent), m_RowCaption(std::move(rowCaption))
    {
        AddRead<TGet>();
    }

    void EventOnApplyClick() override
    {
        TRecord record{};
        record.*Member = m_ListView->Edited(record.*Member);
        SendPayload<TSet>(record);
    }

protected:
    void Fill(Intp::TDevice* device) override
    {
        m_ListView->SetValues(IfRead<TRecord>(device), ValidRecord<TRecord>(device).*Member, m_RowCaption);
    }

private:
    std::function<QString(std::size_t)> m_RowCaption;
};
