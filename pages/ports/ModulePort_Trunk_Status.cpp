#include "pages/kit/SwitchText.h"
#include "pages/ports/ModulePort_Trunk_Status.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/PageRules.h"

using namespace Intp;

TModulePortTrunkStatus::TModulePortTrunkStatus(QWidget* parent) : TModulePage("Port Trunk Status", parent)
{
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    m_List->Column("Group ID", [](const TRow& r) { return r.group; });
    m_List->Column("Type", [](const TRow& r) { return r.type; });
    m_List->Column("Member Ports", [](const TRow& r) { return r.members; });
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);
    AddRead<TSessionPortTrunkGet>(rwCurrent);
}

void TModulePortTrunkStatus::Fill(TDevice* device)
{
    const auto& trunks = ValidRecord<TPropertyPortTrunk>(device);
    const TPortLayout ports = device ? MaskPorts(device) : TPortLayout();
    std::vector<TRow> rows;
    for (std::size_t g = 0; g < trunks.entries.size(); ++g) {
        const TPropertyPortTrunkEntry& e = trunks.entries[g];
        rows.push_back({SwitchText(TrunkCaption(int(g) + 1)), e.lacp ? "802.3ad LACP" : "Static",
                        ports.MaskText(e.members)});
    }
    m_List->Update(std::move(rows));
}

REGISTER_PAGE(TModulePortTrunkStatus);
