#pragma once

// "Port Mirroring", second generation: one monitored port copied to one
// analysis port, received, transmitted or both.

#include "intp/Monitor.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;

class TModuleMonitorMirror2 : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleMonitorMirror2(QWidget* parent = nullptr);

    QComboBox* m_Mode = nullptr;
    QComboBox* m_SrcPort = nullptr;
    QComboBox* m_DstPort = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;
};
