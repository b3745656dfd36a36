#include "pages/security/vlan/ModuleVlan_8021q.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/security/vlan/ModuleVlan.h"

#include <QPushButton>

using R = Intp::TPropertyVlan8021q;

TModuleVlan8021q::TModuleVlan8021q(QWidget* parent) : TModulePage("802.1Q VLAN", parent)
{
    TPageForm form(this);
    m_Gvrp = m_Fields.Choice(form.Choice("&GVRP Mode:", {"Disable", "Enable"}), &R::gvrp);
    m_Vid = m_Fields.Number(form.Number("&Management VLAN ID:", 0, 4094, ", 0 for disable"), &R::managementVid);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    // The VLAN mode first: the page is for switches in 802.1Q mode, and for
    // one whose mode was never read.
    AddRead<Intp::TSessionVlanGet>(rwCurrent, false, false);
    AddRead<Intp::TSessionVlan8021qGet>(rwAll);
    AddChain<Intp::TSessionVlanGet, Intp::TSessionVlan8021qGet>();
    SetTargetCheck([](Intp::TDevice* device) { return VlanModeWhy(device, Intp::vm8021q, false); });
    // A VLAN edited out of range keeps Apply off; one read so goes back as read.
    connect(m_Apply, &QPushButton::clicked, this,
            [this] { SendFields<Intp::TSessionVlan8021qSet>(*this, m_Fields); });
}

void TModuleVlan8021q::Fill(Intp::TDevice* device)
{
    const auto& vlan = ValidRecord<Intp::TPropertyVlan>(device);
    const bool enabled = device && (!vlan.valid || vlan.mode == Intp::vm8021q);
    TPageForm::SetFieldsEnabled({m_Gvrp, m_Vid, m_Apply}, enabled);
    const R& record = enabled ? ValidRecord<R>(device) : R{};
    m_Fields.Fill(record);
}

REGISTER_PAGE(TModuleVlan8021q);
