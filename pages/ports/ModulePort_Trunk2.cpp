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
    if (!trunks.valid)
        ShowReadFailed(device);
}

// A tick runs over the groups in order: each counts its members in port
// order (a hidden member too: it stays in its group). Past the member limit
// the member at which it was passed is unticked and nothing else changes.
// A member counted above the group's work ports is remembered, and each
// group's work ports become its count. The last member remembered then
// leaves every other group, whose work ports drop by one.
void TModulePortTrunk2::EventOnMemberClick()
{
    int remembered = -1;
    std::uint32_t port = 0;
    for (int line = 0; line < m_ListView->RowCount(); ++line) {
        const std::uint32_t members = std::uint32_t(m_ListView->Value(line, m_MemberColumn));
        const long long work = m_ListView->Value(line, m_WorkColumn);
        std::uint32_t count = 0;
        for (std::uint32_t p = 0; p < 32; ++p) {
            if (!(members >> p & 1u))
                continue;
            if (++count > m_MemberLimit) {
                m_ListView->SetValue(line, m_MemberColumn, members & ~(1u << p));
                m_ListView->UpdateEditors();
                ShowMessage(QString("port number must be <=%1").arg(m_MemberLimit));
                return;
            }
            if (work < count) {
                remembered = line;
                port = p;
            }
        }
        m_ListView->SetValue(line, m_WorkColumn, count);
    }
    for (int line = 0; remembered >= 0 && line < m_ListView->RowCount(); ++line) {
        const std::uint32_t members = std::uint32_t(m_ListView->Value(line, m_MemberColumn));
        if (line == remembered || !(members >> port & 1u))
            continue;
        m_ListView->SetValue(line, m_MemberColumn, members & ~(1u << port));
        m_ListView->SetValue(line, m_WorkColumn, m_ListView->Value(line, m_WorkColumn) - 1);
    }
    m_ListView->UpdateEditors();
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
