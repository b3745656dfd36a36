#pragma once

// "Static MAC Addresses": addresses the current switch binds to a port in
// a VLAN, added or removed one at a time on every target device. The ports
// are those of the port configuration that the switch offers, read after
// the port names.

#include "intp/Ports.h"
#include "intp/SecurityTables.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/TypedTableEditor.h"

class QComboBox;
class QPushButton;
class TNumberBox;
class TMacEdit;

class TModuleSecurityMac2Static : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityMac2Static(QWidget* parent = nullptr);

    TUntypedReportList* m_ListView = nullptr;
    QComboBox* m_Port = nullptr;
    TMacEdit* m_Mac = nullptr;
    TNumberBox* m_VlanId = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Remove = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    // The chooser's item of a port number; -1 when it is not listed.
    int ItemOfPort(uint32_t port) const;
    static int ItemOfPort(const TPortLayout& ports, uint32_t port);
    // The ports of a port configuration, by position.
    static std::vector<int> PortsByPosition(const Intp::TPropertyPortConfig& config);
    // The ports another switch's own page offers, as read last.
    static TPortLayout OfferedPorts(Intp::TDevice* device);

    // The chooser's ports: positions in the port configuration and their ports.
    TPortLayout m_Ports;
    TTypedTableEditor<Intp::TSessionSecurityMac2StaticGet, Intp::TSessionSecurityMac2StaticAdd,
                      Intp::TSessionSecurityMac2StaticDel>
        m_Table;
};
