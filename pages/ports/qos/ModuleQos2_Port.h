#pragma once

// "Default Ingress Port Priority Mapping": the 802.1p priority each listed
// port gives untagged frames (or none); a port named "Port.XX" is not
// listed and keeps each switch's own priority.

#include "intp/Qos.h"
#include "pages/ports/qos/QosListPage.h"

class TModuleQos2Port : public TQosListPage {
    Q_OBJECT

public:
    explicit TModuleQos2Port(QWidget* parent = nullptr);

    void EventOnApplyClick() override;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TPortLayout m_Ports;  // the listed ports of the switch on show
};
