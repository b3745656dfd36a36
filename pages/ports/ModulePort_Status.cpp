#include "pages/ports/ModulePort_Status.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"
#include "pages/ports/PortTexts.h"

using namespace Intp;

void AddPortStatusColumns(TTypedReportList<TPortStatusRow>* list)
{
    using R = TPortStatusRow;
    list->Column("Type", [](const R& r) { return PortTexts::Of(PortTexts::MediaTypes, r.status.mediaType); });
    list->Column("Link", [](const R& r) { return PortTexts::Of(PortTexts::Links, r.status.link); });
    list->Column("State", [](const R& r) { return PortTexts::Of(PortTexts::OnOff, r.status.enabled); });
    list->Column("Speed/Duplex", [](const R& r) { return PortTexts::Of(PortTexts::SpeedDuplexes, r.status.speedDuplex); });
    list->Column("Flow Control",
                 [](const R& r) { return PortTexts::Of(PortTexts::StatusFlowControls, r.status.flowControl); });
}

TModulePortStatus::TModulePortStatus(QWidget* parent) : TModulePage("Port Status", parent)
{
    TPageForm form(this);
    m_List = new TTypedReportList<TPortStatusRow>();
    m_List->Column("Port No.", [](const TPortStatusRow& r) { return r.caption; });
    AddPortStatusColumns(m_List);
    m_List->Model()->SetSortMode(smReference);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);

    AddRead<TSessionPortStatusGet>(rwAlways);
}

void TModulePortStatus::Fill(TDevice* device)
{
    m_List->Clear();
    const auto& status = ValidRecord<TPropertyPortStatus>(device);
    for (std::size_t i = 0; i < status.entries.size(); ++i)
        m_List->Add({TPortLayout::NumberedCaption(int(i)), QString(), status.entries[i], false});
}

REGISTER_PAGE(TModulePortStatus);
