#include "pages/kit/TypedTableEditor.h"

#include <algorithm>

void TTableEditorBase::BindBase(TUntypedReportList* list, QAbstractButton* add, QAbstractButton* del,
                                QAbstractButton* modify)
{
    m_List = list;
    m_Add = add;
    m_Modify = modify;
    m_Delete = del;
    if (modify)
        QObject::connect(modify, &QAbstractButton::clicked, modify, [this] { EventOnModifyClick(); });
    QObject::connect(list, &TUntypedReportList::SelectedRowChanged, list, [this](int row) {
        FillFormFromRow(row);
        UpdateButtons();
    });
    // A click on the line already selected fills the form from it again.
    QObject::connect(list, &QAbstractItemView::clicked, list, [this](const QModelIndex& index) {
        FillFormFromRow(index.row());
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
    if (m_Page && !m_Page->CurrentDevice()) {
        for (QAbstractButton* button : {m_Add, m_Modify, m_Delete})
            if (button)
                button->setEnabled(false);
        return;
    }
    if (m_KeyGiven) {
        const bool given = m_KeyGiven();
        m_Add->setEnabled(given);
        m_Delete->setEnabled(given);
        return;
    }
    const std::optional<QString> key = FormKey();
    const bool listed = key && IsListed(*key);
    const std::optional<QString> keyOnly = FormKeyOnly();
    m_Add->setEnabled(key && !listed);
    if (m_Modify)
        m_Modify->setEnabled(listed);
    m_Delete->setEnabled(keyOnly && IsListed(*keyOnly));
}
