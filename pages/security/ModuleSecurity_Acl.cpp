#include "pages/security/ModuleSecurity_Acl.h"

#include "pages/kit/AddressText.h"
#include "pages/kit/HexSpinBox.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <array>
#include <tuple>

using namespace Intp;

namespace {

// Packet types and L4 protocols by item; the last item of each is "Custom".
constexpr std::array<uint32_t, 4> EtherTypes = {0, 0x0806, 0x8137, EtherTypeIpv4};
constexpr std::array<uint32_t, 5> L4Protocols = {255, 1, 2, IpProtocolTcp, IpProtocolUdp};
constexpr std::array<uint32_t, 3> TcpPorts = {0, 21, 80};
constexpr std::array<uint32_t, 2> UdpPorts = {0, 69};

template <std::size_t N> int ItemOf(const std::array<uint32_t, N>& values, uint32_t value)
{
    for (std::size_t i = 0; i < N; ++i)
        if (values[i] == value)
            return int(i);
    return int(N); // "Custom"
}

// The item the combo's text names, matched as the combo matches typed text
// (without case, so "tcp" is "TCP" whether or not the box still has focus);
// -1 for text that names none.
int ItemShown(const QComboBox* combo) { return combo->findText(combo->currentText(), Qt::MatchFixedString); }

// The value of the item the text names; none for text that names no item.
template <std::size_t N>
std::optional<uint32_t> ValueOf(const std::array<uint32_t, N>& values, const QComboBox* combo, int custom)
{
    const int item = ItemShown(combo);
    if (item < 0)
        return std::nullopt;
    return std::size_t(item) < N ? values[std::size_t(item)] : uint32_t(custom);
}

QString NamesNoItem(const QComboBox* combo, const QString& field, const QString& custom)
{
    return QString("%1: \"%2\" is none of its choices; choose Custom for another %3.")
        .arg(field, combo->currentText(), custom);
}

// A combo box whose text may be typed as well as picked.
QComboBox* Typeable(QComboBox* combo)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QString EtherTypeText(uint32_t type)
{
    switch (type) {
    case EtherTypeIpv4: return "IP";
    case 0: return "ANY";
    case 0x0806: return "ARP";
    case 0x8137: return "IPX";
    default: return QString::asprintf("0x%04X", type);
    }
}

QString SideText(uint32_t address, uint32_t mask)
{
    return address ? IpText(address) + "/" + IpText(mask) : QString("ANY");
}

QString L4PortText(uint32_t port)
{
    switch (port) {
    case 0: return "ANY";
    case 21: return "FTP";
    case 69: return "TFTP";
    case 80: return "HTTP";
    default: return QString::number(port);
    }
}

// An IPv4 side: no address is any (mask 0); else a host address and a netmask.
std::optional<std::pair<uint32_t, uint32_t>> Side(uint32_t address, uint32_t mask)
{
    if (address == 0)
        return std::pair<uint32_t, uint32_t>(0, 0);
    if (!IsHostIp(address) || !IsNetmask(mask))
        return std::nullopt;
    return std::pair(address, mask);
}

// A rule as the form reads it back once filled from it: the fields of its
// packet type and protocol, nothing else.
std::optional<TPropertySecurityAclEntry> AsFilled(const TPropertySecurityAclEntry& r)
{
    TPropertySecurityAclEntry rule{};
    std::tie(rule.groupId, rule.permit, rule.vlanId, rule.etherType) =
        std::tie(r.groupId, r.permit, r.vlanId, r.etherType);
    if (rule.etherType != EtherTypeIpv4)
        return rule;
    const auto source = Side(r.srcIp, r.srcMask);
    const auto destination = Side(r.dstIp, r.dstMask);
    if (!source || !destination)
        return std::nullopt;
    std::tie(rule.srcIp, rule.srcMask) = *source;
    std::tie(rule.dstIp, rule.dstMask) = *destination;
    rule.fragmentCheck = r.fragmentCheck;
    rule.l4Protocol = r.l4Protocol;
    if (rule.l4Protocol == IpProtocolTcp || rule.l4Protocol == IpProtocolUdp)
        rule.l4Port = r.l4Port;
    return rule;
}

// Sort keys of an address and its mask together, as unsigned numbers.
long long SideKey(uint32_t address, uint32_t mask)
{
    return (long long)((uint64_t(address) << 32 | mask) ^ (1ull << 63));
}

} // namespace

TModuleSecurityAcl::TModuleSecurityAcl(QWidget* parent) : TModulePage("Access Control List", parent)
{
    TPageForm form(this);
    m_ListView = new TUntypedReportList();
    m_ListView->AddColumn(QString(), ckNumber);
    m_ListView->AddColumn("Group ID", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    m_ListView->AddColumn("Action", ckNumber);
    m_ListView->AddColumn("VLAN ID", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    m_ListView->AddColumn("L3 Type", ckNumber);
    m_ListView->AddColumn("IP Fragment", ckNumber);
    m_ListView->AddColumn("Source IP/Mask", ckNumber);
    m_ListView->AddColumn("Destination IP/Mask", ckNumber);
    m_ListView->AddColumn("L4 Protocol", ckNumber);
    m_ListView->AddColumn("TCP/UDP Port", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    form.List(QString(), m_ListView);

    // Sixteen fields in two columns leave the list its rows.
    form.FieldColumns(2);
    m_GroupId = form.Number("&Group ID:", 1, 255);
    m_Action = form.Choice("A&ction:", {"Permit", "Deny"});
    m_VlanId = form.Number("&VLAN ID:", 0, 4094, "(0 as ANY)");
    // Each type beside its number, so that one column holds the notes.
    m_IpFragment = form.Choice("IP &Fragment:", {"Check", "Uncheck"});
    m_L3Protocol = form.Choice("Packet &Type:", {"ANY", "ARP", "IPX", "IPv4", "Custom"});
    m_L3ProtocolCustom = static_cast<THexSpinBox*>(form.Field("Protocol &Number:", new THexSpinBox()));
    m_L3ProtocolCustom->SetLimits(0, 0xFFFF);
    m_L3ProtocolCustomHex = form.Note(m_L3ProtocolCustom, "(Hex: 0x0000)");
    m_IpSrcAddr = form.Ip("&Source IP:");
    m_IpSrcMask = form.Ip("Source Mask:");
    m_IpDstAddr = form.Ip("Destination IP:");
    m_IpDstMask = form.Ip("Destination Mask:");
    m_L4Protocol = Typeable(form.Choice("L4 Protocol:", {"ANY", "ICMP", "IGMP", "TCP", "UDP", "Custom"}));
    m_L4ProtocolCustom = static_cast<THexSpinBox*>(form.Field("Protocol &Number:", new THexSpinBox()));
    m_L4ProtocolCustom->SetLimits(0, 0xFF);
    m_L4ProtocolCustomHex = form.Note(m_L4ProtocolCustom, "(Hex: 0x00)");
    m_TcpPort = Typeable(form.Choice("TCP Port:", {"ANY", "FTP (21)", "HTTP (80)", "Custom"}));
    m_TcpPortCustom = form.Number("Port Number:", 1, 65535);
    m_UdpPort = Typeable(form.Choice("UDP Port:", {"ANY", "TFTP (69)", "Custom"}));
    m_UdpPortCustom = form.Number("Port Number:", 1, 65535);
    m_Remove = form.Button("&Remove", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSecurityAclGet>();

    m_Table.Bind(this, m_ListView, m_Add, m_Remove,
                 {.cells = [](const TEntry& r) {
                      QStringList cells{QString::number(r.groupId), r.permit ? "Permit" : "Deny",
                                        r.vlanId ? QString::number(r.vlanId) : QString("ANY"),
                                        EtherTypeText(r.etherType)};
                      if (r.etherType != EtherTypeIpv4)
                          return cells << QString() << QString() << QString() << QString() << QString();
                      const bool tcpUdp = r.l4Protocol == IpProtocolTcp || r.l4Protocol == IpProtocolUdp;
                      return cells << (r.fragmentCheck ? "Check" : "Uncheck") << SideText(r.srcIp, r.srcMask)
                                   << SideText(r.dstIp, r.dstMask)
                                   << (r.l4Protocol == IpProtocolTcp   ? QString("TCP")
                                       : r.l4Protocol == IpProtocolUdp ? QString("UDP")
                                       : r.l4Protocol == 255           ? QString("ANY")
                                                             : QString::asprintf("0x%04X", r.l4Protocol))
                                   << (tcpUdp ? L4PortText(r.l4Port) : QString());
                  },
                  // A rule is named by its group ID, on the switch too. Add is off
                  // for a listed group ID; Remove needs one.
                  .key = [](const TEntry& r) { return QString::number(r.groupId); },
                  .add = arRefusesHeld,
                  .del = drListedKey,
                  .readForm = [this] { return ReadRule(); },
                  .fillForm = [this](const TEntry* r) { FillRule(r); },
                  .numbered = true,
                  .sortKey = [](const TEntry& r, int column) -> std::optional<long long> {
                      switch (column) {
                      case 2: return r.permit;
                      case 3: return r.vlanId;
                      case 4: return r.etherType;
                      case 5: return r.fragmentCheck;
                      case 6: return SideKey(r.srcIp, r.srcMask);
                      case 7: return SideKey(r.dstIp, r.dstMask);
                      case 8: return r.l4Protocol;
                      case 9: return r.l4Port;
                      default: return std::nullopt;
                      }
                  },
                  .asFilled = AsFilled});
    // The address checks of a rule of another packet type: both pass when the
    // type is chosen, and an address or mask edited since decides its side.
    connect(m_L3Protocol, &QComboBox::currentIndexChanged, this, [this] {
        TypeChosen();
        UpdateActions();
    });
    for (TIpEdit* edit : {m_IpSrcAddr, m_IpSrcMask})
        connect(edit, &QLineEdit::textChanged, this,
                [this] { m_SrcValid = Side(m_IpSrcAddr->Value(), m_IpSrcMask->Value()).has_value(); });
    for (TIpEdit* edit : {m_IpDstAddr, m_IpDstMask})
        connect(edit, &QLineEdit::textChanged, this,
                [this] { m_DstValid = Side(m_IpDstAddr->Value(), m_IpDstMask->Value()).has_value(); });
    WatchChanges({m_GroupId, m_Action, m_VlanId, m_L3Protocol, m_L3ProtocolCustom, m_IpFragment, m_IpSrcAddr,
                  m_IpSrcMask, m_IpDstAddr, m_IpDstMask, m_L4Protocol, m_L4ProtocolCustom, m_TcpPort, m_TcpPortCustom,
                  m_UdpPort, m_UdpPortCustom});
    // No source or destination address: any, with the mask 0.
    for (auto [address, mask] : {std::pair(m_IpSrcAddr, m_IpSrcMask), std::pair(m_IpDstAddr, m_IpDstMask)}) {
        mask->SetValue(0);
        connect(address, &QLineEdit::textChanged, mask, [address, mask] {
            if (address->Value() == 0)
                mask->SetValue(0);
        });
    }
    UpdateActions();
}

uint32_t TModuleSecurityAcl::EtherType() const
{
    return ValueOf(EtherTypes, m_L3Protocol, m_L3ProtocolCustom->value()).value_or(0);
}

std::optional<uint32_t> TModuleSecurityAcl::L4Protocol() const
{
    return ValueOf(L4Protocols, m_L4Protocol, m_L4ProtocolCustom->value());
}

QString TModuleSecurityAcl::TypedTextWhy() const
{
    if (EtherType() != EtherTypeIpv4)
        return QString();
    const auto l4 = L4Protocol();
    if (!l4)
        return NamesNoItem(m_L4Protocol, "L4 Protocol", "protocol number");
    if (*l4 == IpProtocolTcp && ItemShown(m_TcpPort) < 0)
        return NamesNoItem(m_TcpPort, "TCP Port", "port number");
    if (*l4 == IpProtocolUdp && ItemShown(m_UdpPort) < 0)
        return NamesNoItem(m_UdpPort, "UDP Port", "port number");
    return QString();
}

std::optional<TModuleSecurityAcl::TEntry> TModuleSecurityAcl::ReadRule() const
{
    TEntry rule{};
    rule.groupId = uint32_t(m_GroupId->value());
    rule.permit = m_Action->currentIndex() == 0;
    rule.vlanId = uint32_t(m_VlanId->value());
    rule.etherType = EtherType();
    if (rule.etherType != EtherTypeIpv4)
        return m_SrcValid && m_DstValid ? std::optional(rule) : std::nullopt;
    // The IPv4 fields count whenever the EtherType is IPv4, typed as a custom number or not.
    const auto source = Side(m_IpSrcAddr->Value(), m_IpSrcMask->Value());
    const auto destination = Side(m_IpDstAddr->Value(), m_IpDstMask->Value());
    if (!source || !destination)
        return std::nullopt;
    rule.fragmentCheck = m_IpFragment->currentIndex() == 0;
    std::tie(rule.srcIp, rule.srcMask) = *source;
    std::tie(rule.dstIp, rule.dstMask) = *destination;
    const auto l4 = L4Protocol();
    if (!l4)
        return std::nullopt;
    rule.l4Protocol = *l4;
    std::optional<uint32_t> port = 0;
    if (rule.l4Protocol == IpProtocolTcp)
        port = ValueOf(TcpPorts, m_TcpPort, m_TcpPortCustom->value());
    else if (rule.l4Protocol == IpProtocolUdp)
        port = ValueOf(UdpPorts, m_UdpPort, m_UdpPortCustom->value());
    if (!port)
        return std::nullopt;
    rule.l4Port = *port;
    return rule;
}

void TModuleSecurityAcl::TypeChosen()
{
    const bool ip = EtherType() == EtherTypeIpv4;
    m_SrcValid = !ip || Side(m_IpSrcAddr->Value(), m_IpSrcMask->Value());
    m_DstValid = !ip || Side(m_IpDstAddr->Value(), m_IpDstMask->Value());
}

void TModuleSecurityAcl::FillRule(const TEntry* rule)
{
    if (!rule)
        return;
    m_GroupId->setValue(rule->groupId);
    m_Action->setCurrentIndex(rule->permit ? 0 : 1);
    m_VlanId->setValue(rule->vlanId);
    m_L3Protocol->setCurrentIndex(ItemOf(EtherTypes, rule->etherType));
    if (m_L3Protocol->currentIndex() == int(EtherTypes.size()))
        m_L3ProtocolCustom->SetHexValue(int(rule->etherType));
    if (rule->etherType == EtherTypeIpv4)
        FillIpv4(*rule);
    TypeChosen();
}

void TModuleSecurityAcl::FillIpv4(const TEntry& rule)
{
    m_IpFragment->setCurrentIndex(rule.fragmentCheck ? 0 : 1);
    m_IpSrcAddr->SetValue(rule.srcIp);
    m_IpSrcMask->SetValue(rule.srcMask);
    m_IpDstAddr->SetValue(rule.dstIp);
    m_IpDstMask->SetValue(rule.dstMask);
    m_L4Protocol->setCurrentIndex(ItemOf(L4Protocols, rule.l4Protocol));
    if (m_L4Protocol->currentIndex() == int(L4Protocols.size()))
        m_L4ProtocolCustom->SetHexValue(int(rule.l4Protocol));
    if (rule.l4Protocol == IpProtocolTcp || rule.l4Protocol == IpProtocolUdp) {
        const bool tcp = rule.l4Protocol == IpProtocolTcp;
        QComboBox* ports = tcp ? m_TcpPort : m_UdpPort;
        ports->setCurrentIndex(tcp ? ItemOf(TcpPorts, rule.l4Port) : ItemOf(UdpPorts, rule.l4Port));
        if (ports->currentIndex() == ports->count() - 1)
            (tcp ? m_TcpPortCustom : m_UdpPortCustom)->setValue(rule.l4Port);
    }
}

void TModuleSecurityAcl::EnableFields()
{
    const bool device = CurrentDevice() != nullptr && !IsUnavailable();
    // A mask counts only with its address; a port number only for "Custom".
    TPageForm::SetFieldEnabled(m_IpSrcMask, device && m_IpSrcAddr->Value() != 0);
    TPageForm::SetFieldEnabled(m_IpDstMask, device && m_IpDstAddr->Value() != 0);
    TPageForm::SetFieldEnabled(m_TcpPortCustom, device && ItemShown(m_TcpPort) == int(TcpPorts.size()));
    TPageForm::SetFieldEnabled(m_UdpPortCustom, device && ItemShown(m_UdpPort) == int(UdpPorts.size()));
    m_L3ProtocolCustomHex->setText(QString::asprintf("(Hex: 0x%04X)", unsigned(m_L3ProtocolCustom->value())));
    m_L4ProtocolCustomHex->setText(QString::asprintf("(Hex: 0x%02X)", unsigned(m_L4ProtocolCustom->value())));
}

void TModuleSecurityAcl::UpdateActions()
{
    EnableFields();
    m_Table.UpdateButtons();
    // Typed text that names no choice keeps both off: say which.
    const QString why = CurrentDevice() && !IsUnavailable() ? TypedTextWhy() : QString();
    for (QPushButton* button : {m_Add, m_Remove}) {
        if (why.isEmpty())
            button->setToolTip(QString());
        else
            SetEnabledWhy(button, why);
    }
}

void TModuleSecurityAcl::Fill(TDevice* device)
{
    // The editor keeps its values across refills and devices.
    TypeChosen();
    m_Table.Rebuild(device);
    UpdateActions();
}

REGISTER_PAGE(TModuleSecurityAcl);
