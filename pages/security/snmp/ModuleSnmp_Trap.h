#pragma once

// "Trap Settings": the switch's SNMP trap receivers (server address,
// community, trap version), added and deleted one at a time.

#include "intp/Snmp.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;
class TIpEdit;

class TModuleSnmpTrap : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpTrap(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    TIpEdit* m_ServerIp = nullptr;
    QLineEdit* m_Community = nullptr;
    QButtonGroup* m_Version = nullptr;
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    TTypedTableEditor<Intp::TSessionSnmpTrapGet, Intp::TSessionSnmpTrapAdd, Intp::TSessionSnmpTrapDel> m_Table;
};
