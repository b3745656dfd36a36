#pragma once

// "SNMP": which SNMP agent version the switch runs.

#include "intp/Snmp.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;

class TModuleSnmp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSnmp(QWidget* parent = nullptr);

    QComboBox* m_Version = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertySnmp> m_Fields;
};
