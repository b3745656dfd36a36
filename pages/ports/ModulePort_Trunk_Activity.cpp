#include "pages/ports/ModulePort_Trunk_Activity.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

#include <QPushButton>

using namespace Intp;

TModulePortTrunkActivity::TModulePortTrunkActivity(QWidget* parent) : TModulePage("LACP State Activity ", parent)
{
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TRow>();
    m_ListView->Caption("Port No.", [](const TRow& r) { return TPortLayout::NumberedCaption(r.number - 1); });
    const int state =
        m_ListView->Choice("LACP State Activity", &TRow::state, {"Passive", "Active"}, "LACP State &Activity:");
    m_ListView->SetMissingText(state, "N/A");
    m_ListView->EnabledWhen(state, [](const TRow& r) { return r.lacp; });
    // A header click steps the LACP ports only.
    m_ListView->OnChange(state, [](TRow& r) {
        if (!r.lacp)
            r.state = NotApplicable;
    });
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });

    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionPortTrunkGet2>();
}

void TModulePortTrunkActivity::Fill(TDevice* device)
{
    const auto& trunks = ValidRecord<TPropertyPortTrunk2>(device);
    m_Groups = Trunk2Rows(trunks, device ? device->GetTrunkGroupNum() : 0);
    const std::uint32_t active = trunks.entries.empty() ? 0 : trunks.entries.back().members;
    const std::uint32_t lacp = LacpPorts(m_Groups);
    const TPortLayout ports = device ? MaskPorts(device) : TPortLayout();
    std::vector<TRow> rows;
    for (int row = 0; row < ports.RowCount(); ++row) {
        const int p = ports.IndexOfRow(row);
        if (!TPortLayout::InMask(p))
            continue;
        const bool inLacp = lacp >> p & 1u;
        rows.push_back({row + 1, std::uint32_t(p), inLacp ? (active >> p & 1u) : NotApplicable, inLacp});
    }
    m_ListView->SetRows(rows);
    if (!trunks.valid)
        ShowReadFailed(device);
}

void TModulePortTrunkActivity::EventOnApplyClick()
{
    const std::vector<TRow> rows = m_ListView->Rows();
    if (rows.empty() || m_Groups.empty())
        return;
    const QString fault = CheckTrunk2Rows(m_Groups);
    if (!Check(fault.isEmpty(), fault))
        return;
    // A port's activity is shown only while it is in an LACP group.
    std::uint32_t ports = 0, shown = 0, active = 0;
    for (const TRow& row : rows) {
        ports |= 1u << row.port;
        shown |= row.lacp ? 1u << row.port : 0u;
        active |= row.lacp && row.state == 1 ? 1u << row.port : 0u;
    }
    SendTrunk2Activity(*this, ports, shown, active);
}

REGISTER_PAGE(TModulePortTrunkActivity);
