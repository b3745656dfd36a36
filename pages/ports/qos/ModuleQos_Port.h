#pragma once

// "Port Based Priority": the queue of each port.

#include "intp/Qos.h"
#include "pages/ports/qos/QosListPage.h"

class TModuleQosPort : public TQosListPage {
    Q_OBJECT

public:
    explicit TModuleQosPort(QWidget* parent = nullptr);

    void EventOnApplyClick() override;

protected:
    void Fill(Intp::TDevice* device) override;
};
