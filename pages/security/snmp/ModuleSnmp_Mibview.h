#pragma once

// "SNMPv3 MIBView Table": the OID subtrees each SNMPv3 view includes or
// excludes, added and deleted one entry at a time.

#include "intp/Snmp.h"
#include "pages/kit/CodeRadios.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QLineEdit;
class QPushButton;

class TModuleSnmpMibview : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpMibview(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    QLineEdit* m_Viewname = nullptr;
    QLineEdit* m_SubOidTree = nullptr;
    TCodeRadios m_Type;  // the type's code: 0 excluded, 1 included
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    bool CheckForm(bool add);

    TTypedTableEditor<Intp::TSessionSnmpMibviewGet, Intp::TSessionSnmpMibviewAdd, Intp::TSessionSnmpMibviewDel>
        m_Table;
};
