#pragma once

// "Port Based VLAN": the switch's port-based VLAN groups (a VLAN id, a name
// and member ports), added, edited and deleted on every target switch.

#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

class QLineEdit;
class QPushButton;
class TNumberBox;
class TPortCheckList;

class TModuleVlanPortBased : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleVlanPortBased(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    QLineEdit* m_GroupName = nullptr;
    TNumberBox* m_Vid = nullptr;
    TPortCheckList* m_Ports = nullptr;
    QPushButton* m_Delete = nullptr;
    QPushButton* m_Edit = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    // The positions of target's port configuration (in a mask) that no
    // position the page lists of the current switch's goes to.
    std::uint32_t UnshownPositions(Intp::TDevice* target);
    TTypedTableEditor<Intp::TSessionVlanPortGet, Intp::TSessionVlanPortAdd, Intp::TSessionVlanPortDel,
                 Intp::TSessionVlanPortEdit>
        m_Table;
    // The port configuration and names, for the member texts.
    Intp::TPropertyPortConfig m_Config;
    std::vector<std::string> m_Names;
};
