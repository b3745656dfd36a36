#include "pages/ports/qos/ModuleQos.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

using Intp::TPropertyQos;

TModuleQos::TModuleQos(QWidget* parent) : TModulePage("Traffic Prioritization", parent)
{
    TPageForm form(this);
    m_Policy = m_Fields.Radios(form.Radios("Qos Policy:", {"Use 8, 4, 2, 1 &weighted fair queuing scheme",
                                                           "Use &strict priority scheme"}),
                               &TPropertyQos::policy);
    m_Weighted = m_Policy->button(0);
    m_Strict = m_Policy->button(1);
    m_Weighted->setChecked(true);
    m_Mode = m_Fields.Choice(form.Choice("Priority &Type:", {"Disable", "Port Based", "COS Only", "TOS Only",
                                                             "COS First", "TOS First"}),
                             &TPropertyQos::priorityType);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<Intp::TSessionQosGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleQos::Fill(Intp::TDevice* device) { m_Fields.Fill(ValidRecord<TPropertyQos>(device)); }

void TModuleQos::EventOnApplyClick() { SendFields<Intp::TSessionQosSet>(*this, m_Fields); }

REGISTER_PAGE(TModuleQos);
