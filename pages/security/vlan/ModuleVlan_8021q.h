#pragma once

// "802.1Q VLAN": GVRP and the management VLAN of switches in 802.1Q mode.

#include "intp/Vlan.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;
class TNumberBox;

class TModuleVlan8021q : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleVlan8021q(QWidget* parent = nullptr);

    QComboBox* m_Gvrp = nullptr;
    TNumberBox* m_Vid = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyVlan8021q> m_Fields;
};
