#include "pages/ports/qos/ModuleQos_Cos.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"
#include "pages/ports/qos/QosTexts.h"

#include <QPushButton>

using Intp::TPropertyQosCos;

TModuleQosCos::TModuleQosCos(QWidget* parent) : TModulePage("COS Settings", parent)
{
    TPageForm form(this);
    m_CosList = new TValueList("Priority", "Mapping", QosTexts::Queues, "&Mapping:");
    form.List("COS/802.1p:", m_CosList, true);
    m_CosList->CreateEditors(form);
    m_PortList = new TValueList("Port No.", "Priority", QosTexts::Priorities, "&Priority:");
    form.List("COS Port Default:", m_PortList, true);
    m_PortList->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    AddRead<Intp::TSessionQosCosGet>();
}

void TModuleQosCos::Fill(Intp::TDevice* device)
{
    const TPropertyQosCos& record = ValidRecord<TPropertyQosCos>(device);
    Intp::TDevice* read = IfRead<TPropertyQosCos>(device);
    m_CosList->SetValues(read, record.cosMap, QosTexts::PriorityCaption);
    // Every port of the model, by index: port names are not read.
    TPortLayout ports;
    ports.Build(read ? int(read->GetPortNum()) : 0, {});
    m_PortList->SetPortValues(ports, record.portDefault);
}

void TModuleQosCos::EventOnApplyClick()
{
    TPropertyQosCos record;
    record.cosMap = m_CosList->Edited(record.cosMap);
    record.portDefault = m_PortList->Edited(std::vector<std::uint32_t>(std::size_t(m_PortList->RowCount())));
    if (!record.portDefault.empty())
        PortMerge::SendKeepingList<Intp::TSessionQosCosSet>(*this, record, &TPropertyQosCos::portDefault,
                                                            PortMerge::NoneHidden);
}

REGISTER_PAGE(TModuleQosCos);
