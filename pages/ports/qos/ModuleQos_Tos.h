#pragma once

// "TOS Settings": the queue of each DSCP value.

#include "intp/Qos.h"
#include "pages/ports/qos/QosListPage.h"

class TModuleQosTos
    : public TQosMapPage<Intp::TSessionQosTosGet, Intp::TSessionQosTosSet, &Intp::TPropertyQosTos::tosMap> {
    Q_OBJECT

public:
    explicit TModuleQosTos(QWidget* parent = nullptr);
};
