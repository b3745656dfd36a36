#pragma once

// The switch's DHCP server: "DHCP Server" (on or off, the pool and what it
// hands out), "Client Entries" (the leases, read only) and "Port and IP
// Binding" (a fixed address per port).

#include "pages/ModulePage.h"

#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TIpEdit;
class TPageListView;

class TModuleBasicsDhcp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsDhcp(QWidget* parent = nullptr);

    // The five addresses in edit order.
    enum TField { dfStart, dfEnd, dfMask, dfGateway, dfDns, dfCount };

    QComboBox* m_Server = nullptr;
    TIpEdit* m_Edits[dfCount] = {};
    QSpinBox* m_Lease = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnServerChange();
    void EventOnStartIpChange(int field);
    void EventOnStartIpExit(int field);
    void EventOnApplyClick();
    bool IsPoolValid() const;

    QLabel* m_Label1 = nullptr;
    QLabel* m_Labels[dfCount] = {};
    QLabel* m_Label7 = nullptr;
    QLabel* m_Label8 = nullptr;
    uint32_t m_Values[dfCount] = {};
    bool m_Valid[dfCount] = {};
};

class TModuleBasicsDhcpEntry : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleBasicsDhcpEntry(QWidget* parent = nullptr);

    QLabel* m_Total = nullptr;
    TPageListView* m_List = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void OnLeave() override;
};
