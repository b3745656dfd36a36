#include "pages/kit/SwitchText.h"
#include "pages/kit/PortMerge.h"
#include "pages/ports/Moduleredundancy_fastrecovery.h"

#include "intp/Redundancy.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/PageRules.h"
#include "pages/rules/RedundancyRules.h"

#include <QCheckBox>
#include <QPushButton>

#include <algorithm>

using namespace Intp;

TModuleRedundancyFastRecovery::TModuleRedundancyFastRecovery(QWidget* parent)
    : TModulePage("Fast Recovery Mode", parent)
{
    using R = TFastRecoveryRow;
    TPageForm form(this);
    m_Active = form.Check("A&ctive");
    m_List = new TTypedEditedList<R>();
    m_List->Caption("Port", [](const R& row) { return SwitchText(PortCaption(row.port + 1)); });
    m_PriorityColumn = m_List->Choice("Priority", &R::priority, {"Not Included"}, "&Priority:");
    form.List(QString(), m_List);
    m_List->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    AddRead<TSessionRedundancyFastRecoveryGet>();
    connect(m_Active, &QCheckBox::toggled, this, [this] { EventOnActiveClick(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleRedundancyFastRecovery::Fill(TDevice* device)
{
    const auto& record = ValidRecord<TPropertyRedundancyFastRecovery>(device);
    const int ports = device ? int(device->GetPortNum()) : 0;
    QStringList items = {"Not Included"};
    for (int priority = 1; priority <= ports; ++priority)
        items << QString::asprintf("Priority.%02d", priority);
    m_List->SetChoices(m_PriorityColumn, items);
    std::vector<TFastRecoveryRow> rows;
    for (int port = 0; port < ports; ++port)
        rows.push_back({port, std::size_t(port) < record.priorities.size() ? record.priorities[std::size_t(port)] : 0});
    m_List->SetRows(rows);
    m_Active->setChecked(record.enabled);
    EventOnActiveClick();
}

void TModuleRedundancyFastRecovery::EventOnActiveClick()
{
    const bool active = CurrentDevice() && m_Active->isChecked();
    m_List->setEnabled(active);
    if (!active)
        m_List->SelectRow(-1);
}

void TModuleRedundancyFastRecovery::EventOnApplyClick()
{
    TPropertyRedundancyFastRecovery record;
    record.enabled = m_Active->isChecked();
    for (const TFastRecoveryRow& row : m_List->Rows())
        record.priorities.push_back(row.priority);
    const uint32_t duplicated = DuplicatedPriority(record.priorities);
    if (!Check(duplicated == 0, QString::asprintf("Duplicated priority %d", int(duplicated))) ||
        record.priorities.empty())
        return;
    SendToEachTarget<TSessionRedundancyFastRecoverySet>(
        [&](TSessionRedundancyFastRecoverySet& request, TDevice* device) {
            TPropertyRedundancyFastRecovery own = record;
            QString why = PortMerge::KeepList(device, own, &TPropertyRedundancyFastRecovery::priorities,
                                              PortMerge::NoneHidden);
            // Its own ports past those shown keep their priorities: one may
            // repeat a priority given here, or one of its own.
            const std::vector<uint32_t>& kept = own.priorities;
            if (const std::size_t again = RepeatedPriorityAt(kept); why.isEmpty() && again < kept.size()) {
                const auto first = std::size_t(std::find(kept.begin(), kept.end(), kept[again]) - kept.begin());
                why = first < record.priorities.size()
                          ? QString("its own port %1 takes priority %2, which this change gives port %3")
                                .arg(again + 1)
                                .arg(kept[again])
                                .arg(first + 1)
                          : QString("its own ports %1 and %2 both take priority %3")
                                .arg(first + 1)
                                .arg(again + 1)
                                .arg(kept[again]);
            }
            if (why.isEmpty())
                request.SetPayload(own);
            return why;
        });
}

REGISTER_PAGE(TModuleRedundancyFastRecovery);
