#include "pages/kit/TypedTableEditor.h"

#include <algorithm>

void TTableEditorBase::BindBase(TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del)
{
    m_List = list;
    m_Add = add;
    m_Delete = del;
    QObject::connect(list, &TUntypedReportList::SelectedRowChanged, list, [this](int row) {
        FillFormFromRow(row);
        UpdateButtons();
    });
    QObject::connect(add, &QAbstractButton::clicked, add, [this] { EventOnAddClick(); });
    QObject::connect(del, &QAbstractButton::clicked, del, [this] { EventOnDeleteClick(); });
}

bool TTableEditorBase::IsListed(const QString& key) const
{
    return std::find(m_Keys.begin(), m_Keys.end(), key) != m_Keys.end();
}

void TTableEditorBase::UpdateButtons()
{
    const std::optional<QString> key = FormKey();
    const bool listed = key && IsListed(*key);
    m_Add->setEnabled(key && !listed);
    m_Delete->setEnabled(listed);
}
