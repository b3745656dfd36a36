#include "pages/security/snmp/ModuleSnmp_Context.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QLineEdit>
#include <QPushButton>

TModuleSnmpContext::TModuleSnmpContext(QWidget* parent) : TModulePage("SNMPv3 Context Table", parent)
{
    TPageForm form(this);
    m_ContextName = m_Fields.Text(form.Text("&Context Name"), &Intp::TPropertySnmpContext::name);
    m_Apply = form.Button("&Apply");
    form.KeepAtTop();
    AddRead<Intp::TSessionSnmpContextGet>();
    // Any change of the name, to an empty one too, may be applied.
    connect(m_ContextName, &QLineEdit::textChanged, this, [this] { m_Apply->setEnabled(CurrentDevice() != nullptr); });
    connect(m_Apply, &QPushButton::clicked, this,
            [this] { SendFields<Intp::TSessionSnmpContextSet>(*this, m_Fields); });
}

void TModuleSnmpContext::Fill(Intp::TDevice* device)
{
    const auto& context = ValidRecord<Intp::TPropertySnmpContext>(device);
    m_Fields.Fill(context);
    if (!context.valid)
        ShowReadFailed(device);
    m_Apply->setEnabled(device && !m_ContextName->text().isEmpty());
}

REGISTER_PAGE(TModuleSnmpContext);
