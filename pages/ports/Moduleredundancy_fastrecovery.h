#pragma once

// "Fast Recovery Mode": fast recovery on or off and each port's recovery
// priority, "Not Included" or 1 to the port count, each used once at most.

#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

#include <cstdint>

class QCheckBox;
class QPushButton;

struct TFastRecoveryRow {
    int port = 0;
    std::uint32_t priority = 0;
};

class TModuleRedundancyFastRecovery : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleRedundancyFastRecovery(QWidget* parent = nullptr);

    QCheckBox* m_Active = nullptr;
    TTypedEditedList<TFastRecoveryRow>* m_List = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnActiveClick();
    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    int m_PriorityColumn = -1;
};
