#include "pages/ports/qos/ModuleQos_Tos.h"

#include "pages/kit/PageRegistry.h"
#include "pages/ports/qos/QosTexts.h"

TModuleQosTos::TModuleQosTos(QWidget* parent)
    : TQosMapPage("TOS Settings", new TValueList("DSCP", "Priority", QosTexts::Queues, "&Priority:"),
                  QosTexts::DscpCaption, parent)
{
}

REGISTER_PAGE(TModuleQosTos);
