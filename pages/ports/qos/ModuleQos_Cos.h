#pragma once

// "COS Settings": the queue of each 802.1p (CoS) priority, and the default
// priority of each port.

#include "intp/Qos.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/ValueList.h"

class QPushButton;

class TModuleQosCos : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleQosCos(QWidget* parent = nullptr);

    TValueList* m_CosList = nullptr;
    TValueList* m_PortList = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
};
