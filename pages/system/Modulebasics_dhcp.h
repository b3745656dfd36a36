#pragma once

// The switch's DHCP server: "DHCP Server" (on or off, the pool and what it
// hands out), "Client Entries" (the leases, read only) and "Port and IP
// Binding" (a fixed address per port).

#include "pages/kit/ModulePage.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/TypedEditedList.h"

#include <cstdint>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class TNumberBox;
class TIpEdit;
class TUntypedReportList;

class TModuleBasicsDhcp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsDhcp(QWidget* parent = nullptr);

    // The five addresses in edit order.
    enum TField { dfStart, dfEnd, dfMask, dfGateway, dfDns, dfCount };

    QComboBox* m_Server = nullptr;
    TIpEdit* m_Edits[dfCount] = {};
    TNumberBox* m_Lease = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnServerChange();
    void EventOnStartIpChange(int field);
    void EventOnStartIpExit(int field);
    void EventOnApplyClick();
    // Why the pool can't be sent, or empty.
    QString PoolProblem() const;

    QWidget* m_LeaseField = nullptr; // the lease time and its unit
    uint32_t m_Values[dfCount] = {};
};

class TModuleBasicsDhcpEntry : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsDhcpEntry(QWidget* parent = nullptr);

    QLabel* m_Total = nullptr;
    TUntypedReportList* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;
};

// "Port and IP Binding": the address the DHCP server hands out on each port.
// Ports the switch does not offer get no row; each switch keeps its own
// bindings of them.
class TModuleBasicsDhcpPortIp : public TModulePage {
    Q_OBJECT

public:
    // One per row: the port it shows, its caption and the address to send.
    struct TBindingRow {
        int port = 0;
        QString caption;
        uint32_t address = 0;
    };

    explicit TModuleBasicsDhcpPortIp(QWidget* parent = nullptr);

    TTypedEditedList<TBindingRow>* m_ListView = nullptr;
    TIpEdit* m_IpAddress = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnApplyClick();

    TPortLayout m_Ports;
};
