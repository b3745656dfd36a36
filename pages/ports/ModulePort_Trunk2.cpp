#include "pages/kit/SwitchText.h"
#include "pages/ports/ModulePort_Trunk2.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/PageRules.h"

#include <QHeaderView>
#include <QPushButton>

#include <bit>

using namespace Intp;

TModulePortTrunk2::TModulePortTrunk2(QWidget* parent) : TModulePage("Port Trunk", parent)
{
    using R = TTrunk2Row;
    TPageForm form(this);
    m_ListView = new TTypedEditedList<R>();
    m_ListView->Caption("Trunk No.", [](const R& r) { return SwitchText(TrunkCaption(int(r.group) + 1)); });
    m_LacpColumn = m_ListView->Choice("LACP", &R::lacp, {"Disable", "Enable"}, "&LACP:");
    m_WorkColumn = m_ListView->Number("Work Ports", &R::workPorts, 0, 255, "&Work Ports:");
    m_MemberColumn = m_ListView->Ports("Member Ports", &R::members, "&Member Ports:");
    // The headers only name the columns: no click sets every group.
    m_ListView->SetStep(m_LacpColumn, nullptr);
    m_ListView->header()->setSectionsClickable(false);
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    connect(m_ListView, &TUntypedEditedList::ValueEdited, this, [this](int line, int column) {
        if (column == m_MemberColumn)
            EventOnMemberClick(line);
    });

    AddRead<TSessionPortNameGet>(rwAlways, false);
    AddRead<TSessionPortTrunkGet2>();
}

void TModulePortTrunk2::Fill(TDevice* device)
{
    const auto& trunks = ValidRecord<TPropertyPortTrunk2>(device);
    m_ListView->SetMaskPorts(device ? MaskPorts(device) : TPortLayout());
    const std::vector<TTrunk2Row> rows = Trunk2Rows(trunks, device ? device->GetTrunkGroupNum() : 0);
    m_ListView->SetRows(rows);
    m_MemberLimit = device ? device->GetTrunkMemberNum() : 0;
    m_ActivityWorkPorts = trunks.entries.empty() ? 0 : trunks.entries.back().workPorts;
    m_Members.clear();
    for (const TTrunk2Row& row : rows)
        m_Members.push_back(row.members);
}

// A port ticked in one group leaves every other group; the work ports of
// the groups it touches follow their members.
void TModulePortTrunk2::EventOnMemberClick(int line)
{
    if (std::size_t(line) >= m_Members.size())
        return;
    const std::uint32_t members = std::uint32_t(m_ListView->Value(line, m_MemberColumn));
    if (m_MemberLimit > 0 && std::uint32_t(std::popcount(members)) > m_MemberLimit) {
        m_ListView->SetValue(line, m_MemberColumn, int(m_Members[std::size_t(line)]));
        m_ListView->UpdateEditors();
        ShowMessage(QString("port number must be <=%1").arg(m_MemberLimit));
        return;
    }
    const std::uint32_t added = members & ~m_Members[std::size_t(line)];
    for (int other = 0; other < m_ListView->RowCount(); ++other) {
        std::uint32_t& held = m_Members[std::size_t(other)];
        if (other == line)
            held = members;
        else if (held & added)
            held &= ~added;
        else
            continue;
        m_ListView->SetValue(other, m_MemberColumn, int(held));
        m_ListView->SetValue(other, m_WorkColumn, std::popcount(held));
    }
    m_ListView->UpdateEditors(m_MemberColumn);
}

void TModulePortTrunk2::EventOnApplyClick()
{
    const std::vector<TTrunk2Row> rows = m_ListView->Rows();
    if (rows.empty())
        return;
    const QString fault = CheckTrunk2Rows(rows);
    if (!Check(fault.isEmpty(), fault))
        return;
    SendTrunk2(*this, rows, LacpPorts(rows), m_ActivityWorkPorts);
}

REGISTER_PAGE(TModulePortTrunk2);
