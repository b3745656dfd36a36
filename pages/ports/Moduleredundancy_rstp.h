#pragma once

// "RSTP Settings": the bridge settings of the Rapid Spanning Tree and each
// port's path cost, priority and admin flags. While the switch runs its
// ring the page shows RSTP off (with the switch's own values): the two
// exclude each other.

#include "intp/Redundancy.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QComboBox;
class QLabel;
class QPushButton;
class TNumberBox;

class TModuleRedundancyRstp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleRedundancyRstp(QWidget* parent = nullptr);

    // RSTP shows off while the ring runs (the tree builder sets it).
    void SetExclusive(bool exclusive) { m_Exclusive = exclusive; }

    QComboBox* m_Mode = nullptr;
    QLabel* m_BridgeLabel = nullptr;
    TNumberBox* m_BridgePriority = nullptr;
    TNumberBox* m_BridgeAge = nullptr;
    TNumberBox* m_BridgeHello = nullptr;
    TNumberBox* m_BridgeDelay = nullptr;
    TTypedEditedList<Intp::TPropertyRedundancyRstpPort>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnModeChange();
    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    bool m_Exclusive = false;
    // What the page shows: the record, or the defaults; Apply sends it with
    // the listed ports as edited.
    Intp::TPropertyRedundancyRstp m_Shown;
};
