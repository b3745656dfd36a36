#include "pages/ports/qos/ModuleQos_Port.h"

#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortMerge.h"
#include "pages/ports/qos/QosTexts.h"

using Intp::TPropertyQosPort;

TModuleQosPort::TModuleQosPort(QWidget* parent)
    : TQosListPage("Port Based Priority", new TValueList("Port No.", "Priority", QosTexts::Queues, "&Priority:"),
                   parent)
{
    AddRead<Intp::TSessionQosPortGet>();
}

void TModuleQosPort::Fill(Intp::TDevice* device)
{
    // Every port of the model, by index: port names are not read.
    TPortLayout ports;
    Intp::TDevice* read = IfRead<TPropertyQosPort>(device);
    ports.Build(read ? int(read->GetPortNum()) : 0, {});
    m_ListView->SetPortValues(ports, ValidRecord<TPropertyQosPort>(device).queues);
}

void TModuleQosPort::EventOnApplyClick()
{
    TPropertyQosPort record;
    record.queues = m_ListView->Edited(std::vector<std::uint32_t>(std::size_t(m_ListView->RowCount())));
    if (!record.queues.empty())
        PortMerge::SendKeepingList<Intp::TSessionQosPortSet>(*this, record, &TPropertyQosPort::queues,
                                                            PortMerge::NoneHidden);
}

REGISTER_PAGE(TModuleQosPort);
