#pragma once

// "SNMPv3 Access Table": the access rights of SNMPv3 groups per context
// prefix (security level, context match, read, write and notify views),
// added and deleted one entry at a time.

#include "intp/Snmp.h"
#include "pages/kit/CodeRadios.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QLineEdit;
class QPushButton;

class TModuleSnmpAccess : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpAccess(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    QLineEdit* m_ContextName = nullptr;
    QLineEdit* m_GroupName = nullptr;
    TCodeRadios m_SecLevel;      // the level's code: 0, 1 or 3
    TCodeRadios m_ContextMatch;  // the match's code: 1 or 2
    QLineEdit* m_ReadViewName = nullptr;
    QLineEdit* m_WriteViewName = nullptr;
    QLineEdit* m_NotifyViewName = nullptr;
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    bool CheckForm(bool add);

    TTypedTableEditor<Intp::TSessionSnmpAccessGet, Intp::TSessionSnmpAccessAdd, Intp::TSessionSnmpAccessDel> m_Table;
};
