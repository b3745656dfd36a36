#pragma once

// "TOS/DSCP Priority Mapping": the 802.1p priority of each DSCP value.

#include "intp/Qos.h"
#include "pages/ports/qos/QosListPage.h"

class TModuleQos2Tos
    : public TQosMapPage<Intp::TSessionQos2TosGet, Intp::TSessionQos2TosSet, &Intp::TPropertyQos2Tos::dscpMap> {
    Q_OBJECT

public:
    explicit TModuleQos2Tos(QWidget* parent = nullptr);
};
