#pragma once

// "Fault Alarm": which failures raise the switch's fault alarm, the loss of
// either power input and the link-down of each port.

#include "pages/kit/ModulePage.h"
#include "pages/kit/PortLayout.h"

class QPushButton;
class TPortCheckList;

class TModuleWarningFault : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleWarningFault(QWidget* parent = nullptr);

    TPortCheckList* m_SysList = nullptr;
    TPortCheckList* m_PortList = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TPortLayout m_Ports;  // the ports m_PortList lists
};
