#pragma once

// "VLAN": the switch's VLAN mode (disabled, port based or 802.1Q), which
// also decides which of the other VLAN pages can be used.

#include "intp/Vlan.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;

class TModuleVlan : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleVlan(QWidget* parent = nullptr);

    QComboBox* m_Mode = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyVlan> m_Fields;
};

// Why a target's own page of a VLAN mode keeps its change off: its latest
// read names another mode (or, with readNeeded, none was read).
QString VlanModeWhy(Intp::TDevice* device, Intp::TVlanMode mode, bool readNeeded);
