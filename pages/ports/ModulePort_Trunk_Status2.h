#pragma once

// "Aggregator Information": the second generation's aggregators, read-only
// and sortable: each static group with its members, and the actor and the
// partner of each LACP group that has a partner.

#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

class TModulePortTrunkStatus2 : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        QString type, priority, mac, members;
    };

    explicit TModulePortTrunkStatus2(QWidget* parent = nullptr);

    TTypedReportList<TRow>* m_List = nullptr;

    // The port names always; the aggregators only when the page is shown or
    // refreshed on show (Refresh All answers 0).
    int Refresh(bool current) override;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override { m_List->Clear(); }
};
