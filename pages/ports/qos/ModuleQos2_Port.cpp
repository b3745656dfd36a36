#include "pages/ports/qos/ModuleQos2_Port.h"

#include "intp/Ports.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortMerge.h"
#include "pages/ports/qos/QosTexts.h"

using Intp::TPropertyQos2Port;

TModuleQos2Port::TModuleQos2Port(QWidget* parent)
    : TQosListPage("Default Ingress Port Priority Mapping",
                   new TValueList("Port No.", "Priority", QosTexts::PortPriorities2, "&Priority:"), parent)
{
    // The port names read first are used as cached when the priorities arrive.
    AddRead<Intp::TSessionPortNameGet>(rwAlways, false, false);
    AddRead<Intp::TSessionQos2PortGet>();
}

void TModuleQos2Port::Fill(Intp::TDevice* device)
{
    m_Ports.BuildFor(IfRead<TPropertyQos2Port>(device));
    m_ListView->SetPortValues(m_Ports, ValidRecord<TPropertyQos2Port>(device).priorities);
}

void TModuleQos2Port::EventOnApplyClick()
{
    Intp::TDevice* device = CurrentDevice();
    if (!device)
        return;
    TPropertyQos2Port record;
    // One value per port of the model; a port without a row keeps each
    // switch's own.
    record.priorities = m_ListView->Edited(std::vector<std::uint32_t>(device->GetPortNum(), 0));
    PortMerge::SendKeepingList<Intp::TSessionQos2PortSet>(*this, record, &TPropertyQos2Port::priorities, m_Ports);
}

REGISTER_PAGE(TModuleQos2Port);
