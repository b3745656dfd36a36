#pragma once

// "MAC Address Aging": the aging time of the MAC address table and whether
// the table is flushed when a port's link goes down.

#include "intp/IpSecurity.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QCheckBox;
class QPushButton;
class TNumberBox;

class TModuleSecurityMacAging : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityMacAging(QWidget* parent = nullptr);

    TNumberBox* m_AgingTime = nullptr;
    QCheckBox* m_AutoFlush = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertySecurityMacAging> m_Fields;
};
