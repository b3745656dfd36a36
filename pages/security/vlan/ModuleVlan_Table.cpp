#include "pages/security/vlan/ModuleVlan_Table.h"

#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/SwitchText.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/VlanRules.h"

using namespace Intp;

TModuleVlanTable::TModuleVlanTable(QWidget* parent) : TModulePage("VLAN Table", parent)
{
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    m_List->Column(QString(), [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    m_List->Column("VLAN ID", [](const TRow& r) { return QString::number(r.vid); }, &TRow::vid);
    m_List->Column("Untagged Ports", [](const TRow& r) { return r.untagged; });
    m_List->Column("Tagged Ports", [](const TRow& r) { return r.tagged; });
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);

    // Port names, configuration and the mode; the mode's reply reads the table of that mode.
    // Without names or configuration the VLANs are listed with empty port texts.
    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionPortConfigGet>(rwAlways, false, false);
    AddRead<TSessionVlanGet>(rwCurrent, false);
    AddReadStep([] { return 0; }, rwAll);
    AddChainStep(ccVlanGet, [](TDevice* device) {
        const auto& vlan = Property<TPropertyVlan>::Get(device);
        if (vlan.valid && vlan.mode == vmPortBased)
            return StartFor<TSessionVlanPortGet>(device);
        return vlan.valid && vlan.mode == vm8021q && StartFor<TSessionVlan8021qPortGet>(device);
    });
    AddRefillCode(ccVlanPortGet);
    AddRefillCode(ccVlan8021qPortGet);
}

void TModuleVlanTable::Fill(TDevice* device)
{
    m_List->Clear();
    const auto& vlan = ValidRecord<TPropertyVlan>(device);
    if (!vlan.valid)
        return;
    const std::vector<std::string>& names = ValidRecord<TPropertyPortName>(device).names;
    const auto& config = ValidRecord<TPropertyPortConfig>(device);
    auto text = [&](std::uint32_t mask) { return SwitchText(PortMaskText(mask, config, names)); };
    int number = 0;
    if (vlan.mode == vmPortBased) {
        for (const auto& group : ValidRecord<TPropertyVlanPort>(device).entries)
            m_List->Add({++number, group.vid, text(group.ports), QString()});
    } else if (vlan.mode == vm8021q) {
        for (const auto& entry : ValidRecord<TPropertyVlan8021qPort>(device).entries)
            m_List->Add({++number, entry.vid, text(entry.untaggedPorts), text(entry.taggedPorts)});
    } else {
        ShowMessage("VLAN Not Enabled!");
    }
}

void TModuleVlanTable::OnLeave()
{
    m_List->Clear();
}

REGISTER_PAGE(TModuleVlanTable);
