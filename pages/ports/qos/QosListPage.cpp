#include "pages/ports/qos/QosListPage.h"

#include "pages/kit/PageForm.h"

#include <QPushButton>

TQosListPage::TQosListPage(const QString& caption, TValueList* list, QWidget* parent)
    : TModulePage(caption, parent), m_ListView(list)
{
    TPageForm form(this);
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}
