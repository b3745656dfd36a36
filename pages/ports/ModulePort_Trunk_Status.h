#pragma once

// "Port Trunk Status": the first generation's trunk groups, read-only and
// sortable.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

class TModulePortTrunkStatus : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        QString group, type, members;
    };

    explicit TModulePortTrunkStatus(QWidget* parent = nullptr);

    TTypedReportList<TRow>* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override { m_List->Clear(); }
};
