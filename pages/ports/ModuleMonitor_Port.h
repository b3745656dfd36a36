#pragma once

// "Port Statistics": media type, link, state and six traffic counters of
// every port of the current switch, sortable by any column; Clear resets
// the switch's counters.

#include "intp/Monitor.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

class QPushButton;

class TModuleMonitorPort : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        int number = 0; // port order, from 1
        std::uint32_t type = 0, link = 0, state = 0;
        Intp::TPropertyMonitorPortEntry counters;
    };

    explicit TModuleMonitorPort(QWidget* parent = nullptr);

    TTypedReportList<TRow>* m_List = nullptr;
    QPushButton* m_Clear = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
};
