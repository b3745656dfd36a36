#pragma once

// "MAC Filtering": addresses whose frames the current switch drops in a
// VLAN, added or removed one at a time on every target device.

#include "intp/SecurityTables.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QPushButton;
class TNumberBox;
class TMacEdit;

class TModuleSecurityMac2Filter : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityMac2Filter(QWidget* parent = nullptr);

    TUntypedReportList* m_ListView = nullptr;
    TMacEdit* m_Mac = nullptr;
    TNumberBox* m_VlanId = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Remove = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    TTypedTableEditor<Intp::TSessionSecurityMac2FilterGet, Intp::TSessionSecurityMac2FilterAdd,
                      Intp::TSessionSecurityMac2FilterDel>
        m_Table;
};
