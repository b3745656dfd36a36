#pragma once

// "MAC Blacklist": the addresses the current switch refuses, added or
// deleted one at a time on every target device.

#include "intp/SecurityTables.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QPushButton;
class TMacEdit;

class TModuleSecurityMac : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityMac(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    TMacEdit* m_MAC = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Delete = nullptr;

    // Address handler: Add or Delete by whether the typed address is listed.
    void EventOnMacChange();

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    TTypedTableEditor<Intp::TSessionSecurityMacGet, Intp::TSessionSecurityMacAdd, Intp::TSessionSecurityMacDel> m_Table;
};
