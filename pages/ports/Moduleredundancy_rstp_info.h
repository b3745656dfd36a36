#pragma once

// "RSTP Information": the root bridge and each listed port's spanning-tree
// state, read only.

#include "intp/Redundancy.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

class QLabel;

struct TRstpInfoRow {
    QString caption;
    Intp::TPropertyRedundancyRstpInfoPort port;
};

class TModuleRedundancyRstpInfo : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleRedundancyRstpInfo(QWidget* parent = nullptr);

    QLabel* m_BridgeId = nullptr;
    QLabel* m_Priority = nullptr;
    QLabel* m_RootPort = nullptr;
    QLabel* m_PathCost = nullptr;
    QLabel* m_MaxAge = nullptr;
    QLabel* m_Hello = nullptr;
    QLabel* m_Delay = nullptr;
    TTypedReportList<TRstpInfoRow>* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
};
