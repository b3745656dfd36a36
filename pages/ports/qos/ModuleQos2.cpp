#include "pages/ports/qos/ModuleQos2.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QComboBox>
#include <QPushButton>

using Intp::TPropertyQos2;

TModuleQos2::TModuleQos2(QWidget* parent) : TModulePage("Traffic Prioritization", parent)
{
    TPageForm form(this);
    m_Mode = m_Fields.Choice(form.Choice("&Mode:", {"Disable", "High Empty Then Low",
                                                    "Highest:SecHigh:SecLow:Lowest = 8:4:2:1",
                                                    "Highest:SecHigh:SecLow:Lowest = 15:7:3:1",
                                                    "Highest:SecHigh:SecLow:Lowest = 15:10:5:1"}),
                             &TPropertyQos2::mode);
    m_Mode->setCurrentIndex(3);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<Intp::TSessionQos2Get>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleQos2::Fill(Intp::TDevice* device) { m_Fields.Fill(ValidRecord<TPropertyQos2>(device)); }

void TModuleQos2::EventOnApplyClick() { SendFields<Intp::TSessionQos2Set>(*this, m_Fields); }

REGISTER_PAGE(TModuleQos2);
