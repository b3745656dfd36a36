#pragma once

// "SNMPv3 Group Table": which group each SNMPv3 security name belongs to,
// added and deleted one entry at a time.

#include "intp/Snmp.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QLineEdit;
class QPushButton;

class TModuleSnmpGroup : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpGroup(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    QLineEdit* m_SecName = nullptr;
    QLineEdit* m_GrpName = nullptr;
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    TTypedTableEditor<Intp::TSessionSnmpGroupGet, Intp::TSessionSnmpGroupAdd, Intp::TSessionSnmpGroupDel> m_Table;
};
