#pragma once

// "SNMPv3 Context Table": the switch's one SNMPv3 context name.

#include "intp/Snmp.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QLineEdit;
class QPushButton;

class TModuleSnmpContext : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmpContext(QWidget* parent = nullptr);

    QLineEdit* m_ContextName = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertySnmpContext> m_Fields;
};
