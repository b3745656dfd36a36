#pragma once

// "Port Status": media type, link, state, speed and duplex and flow control
// of every port, read-only and sortable. The second generation's page
// (ModulePort_Status2) adds each port's trunk group and port security.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

// A row of either status page.
struct TPortStatusRow {
    QString caption;
    QString group;
    Intp::TPropertyPortStatusEntry status;
    bool security = false;
};

// The five status columns, after the page's own first ones.
void AddPortStatusColumns(TTypedReportList<TPortStatusRow>* list);

class TModulePortStatus : public TModulePage {
    Q_OBJECT

public:
    explicit TModulePortStatus(QWidget* parent = nullptr);

    TTypedReportList<TPortStatusRow>* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override { m_List->Clear(); }
};
