#include "pages/ports/ModuleLldp.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QComboBox>
#include <QPushButton>

using namespace Intp;

TModuleLldp::TModuleLldp(QWidget* parent) : TModulePage("LLDP", parent)
{
    TPageForm form(this);
    m_Enable = m_Fields.Choice(form.Choice("LLDP &Protocol:", {"Disable", "Enable"}), &TPropertyLldp::enabled);
    m_Interval = m_Fields.Number(form.Number("&Interval:", 0, 0xFFFF, "(sec)"), &TPropertyLldp::interval);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<TSessionLldpGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { SendFields<TSessionLldpSet>(*this, m_Fields); });
}

void TModuleLldp::Fill(TDevice* device)
{
    // Nothing read: the page shows not available, never the last switch's values.
    m_Fields.Fill(ValidRecord<TPropertyLldp>(device));
}

REGISTER_PAGE(TModuleLldp);
