#include "pages/kit/SwitchText.h"
#include "pages/ports/ModulePort_Trunk2.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/PageRules.h"

#include <QHeaderView>
#include <QPushButton>

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
    connect(m_ListView, &TUntypedEditedList::ValueEdited, this, [this](int, int column) {
        if (column == m_MemberColumn)
            EventOnMemberClick();
    });

    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionPortTrunkGet2>();
}

void TModulePortTrunk2::Fill(TDevice* device)
{
    const auto& trunks = ValidRecord<TPropertyPortTrunk2>(device);
    m_ListView->SetMaskPorts(device ? MaskPorts(device) : TPortLayout());
    const std::vector<TTrunk2Row> rows = Trunk2Rows(trunks, device ? device->GetTrunkGroupNum() : 0);
    m_ListView->SetRows(rows);
    m_MemberLimit = device ? device->GetTrunkMemberNum() : 0;
    if (!trunks.valid)
        ShowReadFailed(device);
}

// A tick runs over the groups as Trunk2MemberTick says; a hidden member
// counts too (it stays in its group).
void TModulePortTrunk2::EventOnMemberClick()
{
    std::vector<TTrunk2Row> rows = m_ListView->Rows();
    const QString taken = Trunk2MemberTick(rows, m_MemberLimit);
    for (std::size_t line = 0; line < rows.size(); ++line) {
        m_ListView->SetValue(int(line), m_MemberColumn, rows[line].members);
        m_ListView->SetValue(int(line), m_WorkColumn, rows[line].workPorts);
    }
    m_ListView->UpdateEditors();
    if (!taken.isEmpty())
        ShowMessage(taken);
}

void TModulePortTrunk2::EventOnApplyClick()
{
    const std::vector<TTrunk2Row> rows = m_ListView->Rows();
    if (rows.empty())
        return;
    const QString fault = CheckTrunk2Rows(rows);
    if (!Check(fault.isEmpty(), fault))
        return;
    SendTrunk2(*this, rows, m_ListView->MaskPorts());
}

REGISTER_PAGE(TModulePortTrunk2);
