#include "pages/kit/SwitchText.h"
#include "pages/security/ModuleSecurity_Mac2_Static.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/security/MacTables.h"

#include <QComboBox>
#include <QPushButton>

using namespace Intp;
using TStaticEntry = TPropertySecurityMac2StaticEntry;

TModuleSecurityMac2Static::TModuleSecurityMac2Static(QWidget* parent) : TModulePage("Static MAC Addresses", parent)
{
    TPageForm form(this);
    m_ListView = new TUntypedReportList();
    m_ListView->AddColumn(QString(), ckNumber);
    m_ListView->AddColumn("MAC Address");
    m_ListView->AddColumn("Port", ckNumber);
    m_ListView->AddColumn("VLAN ID", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    form.List(QString(), m_ListView);
    m_Port = form.Choice("&Port:", {});
    m_Mac = form.Mac("&MAC Address:");
    m_Mac->setMaxLength(17);
    m_VlanId = form.Number("&VID:", 1, 4094);
    m_Remove = form.Button("&Remove", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);

    // Port names, then the port configuration (the ports offered), then the
    // table; Refresh All reads the table alone.
    AddRead<TSessionPortNameGet>(rwCurrent, false);
    AddRead<TSessionSecurityMac2StaticGet>(rwAll);
    AddChain<TSessionPortNameGet, TSessionPortConfigGet>();
    AddChain<TSessionPortConfigGet, TSessionSecurityMac2StaticGet>();

    m_Table.Bind(this, m_ListView, m_Add, m_Remove,
                 {.cells = [this](const TStaticEntry& e) {
                      return QStringList{SwitchText(e.mac.ToString()), m_Port->itemText(ItemOfPort(e.port)),
                                         QString::number(e.vlanId)};
                  },
                  // The port is not part of the name: one address and VLAN ID is one
                  // entry, on the switch too. Add is off for a listed one; Remove
                  // sends each switch its own entry of it, on its own port.
                  .key = [](const TStaticEntry& e) { return MacVlanKey(e.mac, e.vlanId); },
                  .add = arRefusesHeld,
                  .del = drOwnEntry,
                  // Nothing is sent without a chosen port.
                  .readForm = [this]() -> std::optional<TStaticEntry> {
                      const auto mac = m_Mac->Address();
                      const int position = m_Ports.IndexOfRow(m_Port->currentIndex());
                      if (!mac || position < 0)
                          return std::nullopt;
                      return TStaticEntry{uint32_t(position), uint32_t(m_VlanId->value()), *mac};
                  },
                  .fillForm = [this](const TStaticEntry* e) {
                      if (!e)
                          return;
                      m_Port->setCurrentIndex(ItemOfPort(e->port));
                      m_Mac->SetAddress(&e->mac);
                      m_VlanId->setValue(e->vlanId);
                  },
                  .numbered = true,
                  .sortKey = [this](const TStaticEntry& e, int column) {
                      return column == 2 ? std::optional<long long>(ItemOfPort(e.port)) : std::nullopt;
                  },
                  // An entry on a port not offered gets no row: on another
                  // switch, one its own page does not offer.
                  .listed = [this](const TStaticEntry& e, TDevice* device) {
                      return device == CurrentDevice() ? ItemOfPort(e.port) >= 0
                                                       : ItemOfPort(OfferedPorts(device), e.port) >= 0;
                  },
                  // Add takes the port's position in each switch's own port
                  // configuration.
                  .fit = [this](TStaticEntry& e, TDevice* target, bool del) {
                      return del ? QString() : TTableEditorBase::PositionOnTarget(e.port, CurrentDevice(), target);
                  },
                  // Remove names a listed entry by its VLAN as read, even one the box can't show.
                  .asRead = [](TStaticEntry& e, const TStaticEntry& row) { e.vlanId = row.vlanId; }});
    WatchChanges({m_Port, m_Mac, m_VlanId});
}

int TModuleSecurityMac2Static::ItemOfPort(const TPortLayout& ports, uint32_t port)
{
    for (int row = ports.RowCount() - 1; row >= 0; --row)
        if (ports.PortOfRow(row) == int(port))
            return row;
    return -1;
}

int TModuleSecurityMac2Static::ItemOfPort(uint32_t port) const { return ItemOfPort(m_Ports, port); }

std::vector<int> TModuleSecurityMac2Static::PortsByPosition(const TPropertyPortConfig& config)
{
    std::vector<int> portOf;
    for (std::size_t i = 0; i < std::min<std::size_t>(config.count, config.entries.size()); ++i)
        portOf.push_back(int(config.entries[i].port));
    return portOf;
}

TPortLayout TModuleSecurityMac2Static::OfferedPorts(TDevice* device)
{
    TPortLayout ports;
    const auto* config = device ? device->LatestRead<TPropertyPortConfig>() : nullptr;
    if (config && device->LatestRead<TPropertyPortName>())
        ports.BuildEntriesFor(device, PortsByPosition(*config), psMask);
    return ports;
}

void TModuleSecurityMac2Static::UpdateActions() { m_Table.UpdateButtons(); }

void TModuleSecurityMac2Static::Fill(TDevice* device)
{
    m_Port->clear();
    m_Ports.Clear();
    const auto& config = ValidRecord<TPropertyPortConfig>(device);
    if (config.valid && ValidRecord<TPropertyPortName>(device).valid) {
        // The first 32 ports at most; a message says when more are cut.
        m_Ports = MaskPorts(device, PortsByPosition(config));
        for (int row = 0; row < m_Ports.RowCount(); ++row)
            m_Port->addItem(m_Ports.RowName(row));
        m_Port->setCurrentIndex(m_Port->count() ? 0 : -1);
    }
    m_Table.Rebuild(device);
}

REGISTER_PAGE(TModuleSecurityMac2Static);
