#include "pages/security/vlan/ModuleVlan_PortBased.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PortMerge.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortCheckList.h"
#include "pages/kit/SwitchText.h"
#include "pages/rules/VlanRules.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Intp;

TModuleVlanPortBased::TModuleVlanPortBased(QWidget* parent) : TModulePage("Port Based VLAN", parent)
{
    TPageForm form(this);
    m_List = new TUntypedReportList();
    m_List->AddColumn(QString(), ckNumber);
    m_List->AddColumn("Group Name");
    m_List->AddColumn("VLAN ID", ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    m_List->AddColumn("Member Ports", ckNumber);
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);
    m_GroupName = MakeSwitchText(form.Text("Group &Name:"),
                                 TPropertyVlanPort::EntryFields.TextWidth(&TPropertyVlanPortEntry::name));
    m_Vid = form.Number("&VLAN ID:", 1, int(VlanMaxVid));
    m_Ports = new TPortCheckList();
    form.List("&Member Port:", m_Ports);
    m_Delete = form.Button("&Delete", "RC_BITMAP_16X16_DELETE");
    m_Edit = form.Button("&Edit", "RC_BITMAP_16X16_EDIT");
    m_Add = form.Button("&Add", "RC_BITMAP_16X16_ADD", true);

    // Port names, configuration, the VLAN mode, then the groups: the page is
    // for port-based mode. With the configuration read of Refresh the chain
    // runs twice; the library fills the group table once all the same.
    AddRead<TSessionPortConfigGet>(rwAlways, false);
    AddRead<TSessionPortNameGet>(rwCurrent, false);
    AddRead<TSessionVlanPortGet>(rwAll);
    AddChain<TSessionPortNameGet, TSessionPortConfigGet>();
    AddChain<TSessionPortConfigGet, TSessionVlanGet>();
    AddChain<TSessionVlanGet, TSessionVlanPortGet>();

    auto typed = [this]() -> std::optional<TPropertyVlanPortEntry> {
        return TPropertyVlanPortEntry{uint32_t(m_Vid->value()), m_Ports->Mask(), SwitchBytes(m_GroupName->text())};
    };
    auto members = [this](const TPropertyVlanPortEntry& group) {
        return SwitchText(PortMaskText(group.ports, m_Config, m_Names));
    };
    m_Table.Bind(this, m_List, m_Add, m_Delete,
                 {.cells = [members](const TPropertyVlanPortEntry& group) {
                      return QStringList{SwitchText(group.name), QString::number(group.vid), members(group)};
                  },
                  // A group is its VLAN, on the switch too; Add is off for a listed
                  // one, Edit and Delete need one.
                  .key = [](const TPropertyVlanPortEntry& group) { return QString::number(group.vid); },
                  .add = arRefusesHeld,
                  .del = drListedKey,
                  .readForm = [typed]() -> std::optional<TPropertyVlanPortEntry> {
                      auto group = typed();
                      return group->ports && !group->name.empty() ? group : std::nullopt;
                  },
                  .fillForm = [this](const TPropertyVlanPortEntry* group) {
                      if (!group)
                          return;
                      m_GroupName->setText(SwitchText(group->name));
                      m_Vid->setValue(group->vid);
                      m_Ports->SetMask(group->ports);
                  },
                  .readKey = typed,
                  .numbered = true,
                  .sortKey = [](const TPropertyVlanPortEntry& group, int column) {
                      return column == 3 ? std::optional<long long>(group.ports) : std::nullopt;
                  },
                  // Delete names the VLAN alone; members go as the same ports and trunk
                  // groups, to a switch that has every line shown. A group the target
                  // holds keeps its members the page does not show.
                  .fit = [this](TPropertyVlanPortEntry& group, TDevice* target, bool del) {
                      if (del)
                          return QString();
                      QString why = TTableEditorBase::PositionsOnTarget(group.ports, CurrentDevice(), target);
                      if (why.isEmpty())
                          why = TTableEditorBase::LinesOnTarget(m_Ports->LineMask(), CurrentDevice(), target);
                      if (!why.isEmpty())
                          return why;
                      return PortMerge::KeepEntryBits<TPropertyVlanPort>(
                          target, UnshownPositions(target), group, &TPropertyVlanPortEntry::ports,
                          [&group](const TPropertyVlanPortEntry& held) { return held.vid == group.vid; });
                  },
                  // The groups are edited in port-based mode alone.
                  .ownPageWhy = [](TDevice* target) {
                      const auto* vlan = target->LatestRead<TPropertyVlan>();
                      return vlan && vlan->mode != vmPortBased ? QString("it is not in port-based VLAN mode")
                                                               : QString();
                  }},
                 m_Edit);
    connect(m_GroupName, &QLineEdit::textChanged, this, [this] { m_Table.UpdateButtons(); });
    connect(m_Vid, &TNumberBox::valueChanged, this, [this] { m_Table.UpdateButtons(); });
    connect(m_Ports, &QListWidget::itemChanged, this, [this] { m_Table.UpdateButtons(); });
}

void TModuleVlanPortBased::Fill(TDevice* device)
{
    const auto& vlan = ValidRecord<TPropertyVlan>(device);
    const bool enabled = device && (!vlan.valid || vlan.mode == vmPortBased);
    m_List->setEnabled(enabled);
    TPageForm::SetFieldsEnabled({m_GroupName, m_Vid, m_Ports}, enabled);
    m_GroupName->clear();
    m_Vid->setValue(1);
    const auto& names = ValidRecord<TPropertyPortName>(device);
    const bool ports = names.valid && ValidRecord<TPropertyPortConfig>(device).valid;
    m_Names = names.names;
    m_Config = ValidRecord<TPropertyPortConfig>(device);
    // Bit i of a member mask is position i of the port configuration.
    std::vector<int> portOf;
    for (std::size_t i = 0; i < std::min<std::size_t>(m_Config.count, m_Config.entries.size()); ++i)
        portOf.push_back(int(m_Config.entries[i].port));
    m_Ports->SetPorts(enabled && ports ? MaskPorts(device, portOf) : TPortLayout(), true);
    m_Table.Rebuild(enabled && ports ? device : nullptr);
    if (enabled && ports && !Property<TPropertyVlanPort>::Get(device).valid)
        ShowReadFailed(device, "Retrieve vlan port info failed!");
}

std::uint32_t TModuleVlanPortBased::UnshownPositions(TDevice* target)
{
    // Every position but those a line shows, past its port configuration's
    // too: a member bit the switch holds there goes back as held.
    std::uint32_t unshown = ~0u;
    const std::uint32_t lines = m_Ports->LineMask();
    for (std::uint32_t bit = 0; bit < 32; ++bit) {
        std::uint32_t position = bit;
        if ((lines >> bit & 1u) && TTableEditorBase::PositionOnTarget(position, CurrentDevice(), target).isEmpty() && position < 32)
            unshown &= ~(1u << position);
    }
    return unshown;
}

void TModuleVlanPortBased::OnLeave()
{
    m_Table.Rebuild(nullptr);
    m_Ports->SetPorts(TPortLayout());
}

REGISTER_PAGE(TModuleVlanPortBased);
