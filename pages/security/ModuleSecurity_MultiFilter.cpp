#include "pages/security/ModuleSecurity_MultiFilter.h"

#include "pages/kit/AddressText.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <bit>

using namespace Intp;
using TMultiEntry = TPropertySecurityMultiFilterEntry;

namespace {

// The boxes a switch offers: one per port of its model, or one per port its
// table names (box i is mask bit i whatever ports those are).
int OfferedPorts(TDevice* device)
{
    const uint32_t ports = ModelOf(device).PortNum;
    const uint32_t available = Property<TPropertySecurityMultiFilter>::Get(device).availablePorts;
    if (available == 0)
        return int(ports);
    const uint32_t model = ports >= 32 ? ~0u : (1u << ports) - 1;
    return std::popcount(available & model);
}

} // namespace

TModuleSecurityMultiFilter::TModuleSecurityMultiFilter(QWidget* parent) : TModulePage("Multicast Filter", parent)
{
    TPageForm form(this);
    m_ListView = new TUntypedReportList();
    m_ListView->AddColumn(QString(), ckNumber);
    m_ListView->AddColumn("IP Address", ckNumber);
    m_ListView->AddColumn("VLAN ID", ckNumber);
    m_ListView->AddColumn("Member Port", ckNumber);
    m_ListView->SetColumnsFollowContents();
    form.List(QString(), m_ListView);
    m_Ip = form.Ip("&IP Address:");
    m_VlanId = form.Number("&VID:", 1, 4094);
    m_Ports = new TPortCheckList();
    form.Field("&Port:", m_Ports);
    m_Remove = form.Button("&Remove", "RC_BITMAP_16X16_REMOVE");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);
    AddRead<TSessionSecurityMultiFilterGet>();

    // The group address alone tells a listed entry for the buttons (whatever
    // its VLAN); a switch's entry is its group in its VLAN. The mask is the
    // boxes': bits of boxes a switch does not offer are never sent.
    m_Table.Bind(this, m_ListView, m_Add, m_Remove,
                 {.cells = [this](const TMultiEntry& e) {
                      QString members;
                      for (int i = 0; i < m_Ports->count(); ++i)
                          members += (e.ports >> i) & 1u ? QString::number(i + 1) : QString("*");
                      return QStringList{IpText(e.group), QString::number(e.vid), members};
                  },
                  // The buttons follow the group; the switch keys an entry by its
                  // group in its VLAN. A port box changed offers Add for a listed
                  // group; Remove sends each switch its own entry of the key.
                  .key = [](const TMultiEntry& e) { return IpText(e.group); },
                  .switchKey = [](const TMultiEntry& e) { return IpText(e.group) + ' ' + QString::number(e.vid); },
                  .add = arSendsHeld,
                  .del = drOwnEntry,
                  .readForm = [this]() -> std::optional<TMultiEntry> {
                      if (!m_Ip->IsHost())
                          return std::nullopt;
                      return TMultiEntry{m_Ports->Mask(), m_Ip->Value(), uint32_t(m_VlanId->value())};
                  },
                  .fillForm = [this](const TMultiEntry* e) {
                      if (!e)
                          return;
                      m_Ip->SetValue(e->group);
                      m_VlanId->setValue(e->vid);
                      m_Ports->SetMask(e->ports);
                  },
                  .numbered = true,
                  // Rows sort by number and by VLAN; address and members compare equal.
                  .sortKey = [](const TMultiEntry&, int column) {
                      return column == 1 || column == 3 ? std::optional<long long>(0) : std::nullopt;
                  },
                  // Add goes to a switch that offers every box shown.
                  .fit = [this](TMultiEntry&, TDevice* target, bool del) {
                      const int has = std::min(OfferedPorts(target), int(MaxMaskPorts));
                      return del ? QString() : TTableEditorBase::LinesWhy(m_Ports->count(), has);
                  },
                  // Remove sends a listed entry's VLAN as the switch gave it,
                  // even one the box can't show.
                  .asRead = [](TMultiEntry& e, const TMultiEntry& row) { e.vid = row.vid; }});
    connect(m_Ip, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
    connect(m_VlanId, &TNumberBox::valueChanged, this, [this] { m_Table.UpdateButtons(); });
    // A box changed may send a listed group again with other members, but
    // never an address that is no group's.
    connect(m_Ports, &QListWidget::itemChanged, this, [this] {
        if (m_Ip->IsHost())
            m_Add->setEnabled(true);
    });
}

void TModuleSecurityMultiFilter::Fill(TDevice* device)
{
    // The boxes keep their ticks while the count stays.
    if (device) {
        const int ports = MaskPortCount(device, OfferedPorts(device));
        if (ports != m_Ports->count()) {
            QStringList boxes;
            for (int i = 0; i < ports; ++i)
                boxes << TPortLayout::NumberedCaption(i);
            m_Ports->SetLines(boxes);
        }
    }
    m_Table.Rebuild(device);
}

REGISTER_PAGE(TModuleSecurityMultiFilter);
