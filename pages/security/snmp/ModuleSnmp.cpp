#include "pages/security/snmp/ModuleSnmp.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

TModuleSnmp::TModuleSnmp(QWidget* parent) : TModulePage("SNMP", parent)
{
    TPageForm form(this);
    m_Version = m_Fields.Choice(form.Choice("Agent &Version:", {"SNMP V1/V2c", "SNMP V3"}),
                                &Intp::TPropertySnmp::version);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<Intp::TSessionSnmpGet>();
    connect(m_Apply, &QPushButton::clicked, this,
            [this] { SendFields<Intp::TSessionSnmpSet>(*this, m_Fields); });
}

void TModuleSnmp::Fill(Intp::TDevice* device) { m_Fields.Fill(ValidRecord<Intp::TPropertySnmp>(device)); }

REGISTER_PAGE(TModuleSnmp);
