#pragma once

// "Port Status" of the second generation: each listed port's trunk group,
// media type, link, state, speed and duplex, flow control and port
// security, read-only and sortable.

#include "pages/ports/ModulePort_Status.h"

class TModulePortStatus2 : public TModulePage {
    Q_OBJECT

public:
    explicit TModulePortStatus2(QWidget* parent = nullptr);

    TTypedReportList<TPortStatusRow>* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override { m_List->Clear(); }
};
