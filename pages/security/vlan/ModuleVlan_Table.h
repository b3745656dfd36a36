#pragma once

// "VLAN Table": the VLANs the switch reports for the mode it runs in, the
// port-based groups or the 802.1Q VLANs, with their member ports.

#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

class TModuleVlanTable : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        int number = 0;
        std::uint32_t vid = 0;
        QString untagged;
        QString tagged;
    };

    explicit TModuleVlanTable(QWidget* parent = nullptr);

    TTypedReportList<TRow>* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;
};
