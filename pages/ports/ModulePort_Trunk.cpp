#include "pages/kit/SwitchText.h"
#include "pages/kit/PortMerge.h"
#include "pages/ports/ModulePort_Trunk.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/ports/PortTrunk.h"
#include "pages/rules/PageRules.h"

#include <QPushButton>

using namespace Intp;

TModulePortTrunk::TModulePortTrunk(QWidget* parent) : TModulePage("Port Trunk", parent)
{
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TRow>();
    m_ListView->Caption("Group ID", [](const TRow& r) { return SwitchText(TrunkCaption(int(r.group) + 1)); });
    m_ListView->Choice("Type", &TRow::lacp, {"Static", "802.3ad LACP"}, "&Type:");
    m_ListView->Ports("Member Ports", &TRow::members, "&Members:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    // Its own port names, not whatever another page left: they decide
    // which ports are listed and which members each target keeps.
    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionPortTrunkGet>();
}

void TModulePortTrunk::Fill(TDevice* device)
{
    std::vector<TRow> rows;
    m_ListView->SetMaskPorts(device ? MaskPorts(device) : TPortLayout());
    if (device) {
        const auto& trunks = ValidRecord<TPropertyPortTrunk>(device);
        for (std::uint32_t g = 0; g < device->GetTrunkGroupNum(); ++g) {
            const bool read = g < trunks.entries.size();
            rows.push_back({g, read && trunks.entries[g].lacp ? 1u : 0u, read ? trunks.entries[g].members : 0u});
        }
    }
    m_ListView->SetRows(rows);
}

void TModulePortTrunk::EventOnApplyClick()
{
    std::vector<TPropertyPortTrunkEntry> entries;
    for (const TRow& row : m_ListView->Rows())
        entries.push_back({row.members, row.lacp == 1});
    if (entries.empty())
        return;
    // Each group's members go as shown, its own of the ports not listed kept.
    const TPortLayout& shown = m_ListView->MaskPorts();
    SendToEachTarget<TSessionPortTrunkSet>([&](TSessionPortTrunkSet& request, TDevice* device) {
        std::vector<TPropertyPortTrunkEntry> own = entries;
        const TPropertyPortTrunk* read = device->LatestRead<TPropertyPortTrunk>();
        const QString fault = TrunkTargetFault(device, shown, own, read ? &read->entries : nullptr);
        if (fault.isEmpty())
            request.SetEntries(own);
        return fault;
    });
}

REGISTER_PAGE(TModulePortTrunk);
