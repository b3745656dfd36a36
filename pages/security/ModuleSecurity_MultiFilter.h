#pragma once

// "Multicast Filter": the current switch's static multicast filters (group
// address, VLAN, member ports); one entry at a time is added on, or removed
// from, every target device. One box per port the switch lets be a member.

#include "intp/SecurityMultiFilter.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortCheckList.h"
#include "pages/kit/TypedTableEditor.h"

#include <optional>

class QPushButton;
class TNumberBox;
class TIpEdit;

class TModuleSecurityMultiFilter : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityMultiFilter(QWidget* parent = nullptr);

    TUntypedReportList* m_ListView = nullptr;
    TIpEdit* m_Ip = nullptr;
    TNumberBox* m_VlanId = nullptr;
    TPortCheckList* m_Ports = nullptr;
    QPushButton* m_Remove = nullptr;
    QPushButton* m_Add = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override { m_Table.Rebuild(nullptr); }

private:
    TTypedTableEditor<Intp::TSessionSecurityMultiFilterGet, Intp::TSessionSecurityMultiFilterAdd,
                      Intp::TSessionSecurityMultiFilterDel>
        m_Table;
};
