#include "pages/ports/qos/ModuleQos2_Tos.h"

#include "pages/kit/PageRegistry.h"
#include "pages/ports/qos/QosTexts.h"

TModuleQos2Tos::TModuleQos2Tos(QWidget* parent)
    : TQosMapPage("TOS/DSCP Priority Mapping", new TValueList("DSCP", "Priority", QosTexts::Priorities, "&Priority:"),
                  QosTexts::DscpCaption, parent)
{
}

REGISTER_PAGE(TModuleQos2Tos);
