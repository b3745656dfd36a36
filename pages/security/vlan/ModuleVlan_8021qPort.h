#pragma once

// "Port Configuration" of 802.1Q VLANs: each port's link type, untagged
// VLAN and tagged VLANs, read from the switch's VLAN table and written back
// per port.

#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"
#include "pages/rules/VlanRules.h"

class QPushButton;

class TModuleVlan8021qPort : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleVlan8021qPort(QWidget* parent = nullptr);

    TTypedEditedList<TVlanPortRow>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    // The rows device's own page would send with rows (the page's, moved by
    // map to device's numbering) in place of its own: empty, or why it can't.
    QString OwnRowsOn(Intp::TDevice* device, const TPortMap& map, const std::vector<TVlanPortRow>& rows,
                      std::vector<TVlanPortRow>& own) const;
};
