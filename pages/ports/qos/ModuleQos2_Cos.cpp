#include "pages/ports/qos/ModuleQos2_Cos.h"

#include "pages/kit/PageRegistry.h"
#include "pages/ports/qos/QosTexts.h"

TModuleQos2Cos::TModuleQos2Cos(QWidget* parent)
    : TQosMapPage("802.1p Priority", new TValueList("Priority", "Mapping", QosTexts::Queues2, "&Mapping:"),
                  QosTexts::PriorityCaption, parent)
{
}

REGISTER_PAGE(TModuleQos2Cos);
