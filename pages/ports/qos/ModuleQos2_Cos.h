#pragma once

// "802.1p Priority": the queue of each 802.1p priority.

#include "intp/Qos.h"
#include "pages/ports/qos/QosListPage.h"

class TModuleQos2Cos
    : public TQosMapPage<Intp::TSessionQos2CosGet, Intp::TSessionQos2CosSet, &Intp::TPropertyQos2Cos::priorityMap> {
    Q_OBJECT

public:
    explicit TModuleQos2Cos(QWidget* parent = nullptr);
};
