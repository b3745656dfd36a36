#pragma once

// "Port Security": the MAC addresses each port of the current switch
// admits; one (port, address) entry at a time is added on, or its address
// deleted from, every target device.

#include "intp/SecurityTables.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

#include <string>
#include <vector>

class QComboBox;
class QPushButton;
class TMacEdit;

class TModuleSecurityPort : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityPort(QWidget* parent = nullptr);

    TUntypedReportList* m_List = nullptr;
    TMacEdit* m_MAC = nullptr;
    QComboBox* m_Port = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Delete = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;

private:
    TTypedTableEditor<Intp::TSessionSecurityPortGet, Intp::TSessionSecurityPortAdd, Intp::TSessionSecurityPortDel>
        m_Table;
    std::vector<std::string> m_Names;  // the current switch's port names
};
