#pragma once

// "Access Control List": the current switch's access rules, one row each;
// a rule filled in below is added to every target device, or removed by its
// group ID. A rule is changed by removing it and adding it anew.

#include "intp/SecurityAcl.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedTableEditor.h"

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class TNumberBox;
class THexSpinBox;
class TIpEdit;

class TModuleSecurityAcl : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurityAcl(QWidget* parent = nullptr);

    TUntypedReportList* m_ListView = nullptr;
    TNumberBox* m_GroupId = nullptr;
    QComboBox* m_Action = nullptr;
    TNumberBox* m_VlanId = nullptr;
    QComboBox* m_L3Protocol = nullptr;
    THexSpinBox* m_L3ProtocolCustom = nullptr;
    QLabel* m_L3ProtocolCustomHex = nullptr;
    QComboBox* m_IpFragment = nullptr;
    TIpEdit* m_IpSrcAddr = nullptr;
    TIpEdit* m_IpSrcMask = nullptr;
    TIpEdit* m_IpDstAddr = nullptr;
    TIpEdit* m_IpDstMask = nullptr;
    QComboBox* m_L4Protocol = nullptr;
    THexSpinBox* m_L4ProtocolCustom = nullptr;
    QLabel* m_L4ProtocolCustomHex = nullptr;
    QComboBox* m_TcpPort = nullptr;
    TNumberBox* m_TcpPortCustom = nullptr;
    QComboBox* m_UdpPort = nullptr;
    TNumberBox* m_UdpPortCustom = nullptr;
    QPushButton* m_Add = nullptr;
    QPushButton* m_Remove = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;
    void UpdateActions() override;

private:
    using TEntry = Intp::TPropertySecurityAclEntry;
    // The rule the editor holds; none while an IPv4 address or mask is not valid.
    std::optional<TEntry> ReadRule() const;
    void FillRule(const TEntry* rule);
    void FillIpv4(const TEntry& rule);
    // The packet type was chosen (or shown again): a rule of another type
    // passes the address checks until an address or mask is edited.
    void TypeChosen();
    uint32_t EtherType() const;
    // None while the L4 Protocol text names no choice.
    std::optional<uint32_t> L4Protocol() const;
    // Why a box whose text counts for the rule holds text naming no choice.
    QString TypedTextWhy() const;
    // Enables each mask with its address and each port number with "Custom".
    void EnableFields();

    bool m_SrcValid = true;
    bool m_DstValid = true;
    TTypedTableEditor<Intp::TSessionSecurityAclGet, Intp::TSessionSecurityAclAdd, Intp::TSessionSecurityAclDel> m_Table;
};
