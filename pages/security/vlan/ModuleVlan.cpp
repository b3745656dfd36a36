#include "pages/security/vlan/ModuleVlan.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

TModuleVlan::TModuleVlan(QWidget* parent) : TModulePage("VLAN", parent)
{
    TPageForm form(this);
    m_Mode = m_Fields.Choice(form.Choice("Operation &Mode:", {"Disable", "Port Based", "802.1Q"}),
                             &Intp::TPropertyVlan::mode);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    AddRead<Intp::TSessionVlanGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleVlan::Fill(Intp::TDevice* device) { m_Fields.Fill(ValidRecord<Intp::TPropertyVlan>(device)); }

void TModuleVlan::EventOnApplyClick() { SendFields<Intp::TSessionVlanSet>(*this, m_Fields); }

QString VlanModeWhy(Intp::TDevice* device, Intp::TVlanMode mode, bool readNeeded)
{
    // A page that does not wait for the mode goes by the mode held, as its
    // own refill does (a read that timed out keeps it).
    const auto& held = Intp::Property<Intp::TPropertyVlan>::Get(device);
    const auto* vlan = readNeeded ? device->LatestRead<Intp::TPropertyVlan>() : held.valid ? &held : nullptr;
    if (vlan ? vlan->mode == mode : !readNeeded)
        return QString();
    return QString("it is not in %1 VLAN mode").arg(mode == Intp::vm8021q ? "802.1Q" : "port-based");
}

REGISTER_PAGE(TModuleVlan);
