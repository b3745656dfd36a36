#pragma once

// "LLDP": the switch's link-layer discovery agent on or off and its transmit
// interval.

#include "intp/Lldp.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;
class TNumberBox;

class TModuleLldp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleLldp(QWidget* parent = nullptr);

    QComboBox* m_Enable = nullptr;
    TNumberBox* m_Interval = nullptr; // seconds
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyLldp> m_Fields;
};
