#include "pages/security/ModuleSecurity_MacAging.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

#include <cstdint>

TModuleSecurityMacAging::TModuleSecurityMacAging(QWidget* parent) : TModulePage("MAC Address Aging", parent)
{
    using R = Intp::TPropertySecurityMacAging;
    TPageForm form(this);
    // No negative time: typed, it would reach the switch as a huge unsigned one.
    m_AgingTime = m_Fields.Number(form.Number("MAC Address Table Aging &Time:", 0, UINT32_MAX), &R::agingTime);
    m_AgingTime->setSingleStep(15);
    m_AutoFlush = m_Fields.Check(form.Check("Auto &Flush MAC Address Table When Ports Link Down"), &R::autoFlush);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<Intp::TSessionSecurityMacAgingGet>();
    connect(m_Apply, &QPushButton::clicked, this,
            [this] { SendFields<Intp::TSessionSecurityMacAgingSet>(*this, m_Fields); });
}

void TModuleSecurityMacAging::Fill(Intp::TDevice* device)
{
    m_Fields.Fill(ValidRecord<Intp::TPropertySecurityMacAging>(device));
}

REGISTER_PAGE(TModuleSecurityMacAging);
