#include "pages/security/vlan/ModuleVlan_8021qPort.h"

#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/PageRegistry.h"
#include "pages/security/vlan/ModuleVlan.h"

#include <QPushButton>

#include <algorithm>

using namespace Intp;

TModuleVlan8021qPort::TModuleVlan8021qPort(QWidget* parent) : TModulePage("Port Configuration", parent)
{
    TPageForm form(this);
    using TRow = TVlanPortRow;
    m_ListView = new TTypedEditedList<TRow>();
    m_ListView->PortCaption("Port No.", &TRow::port);
    const int type = m_ListView->Choice("Link Type", &TRow::type, {"Access", "802.1Q", "Hybrid"}, "&Link Type:");
    const int untagged = m_ListView->Number("Untagged VID", &TRow::untagged, 1, VlanMaxVid, "&Untagged VID:");
    const int tagged = m_ListView->Text("Tagged VIDs", &TRow::tagged, "&Tagged VID:",
                                        {1023, "Note: Use comma or space to separate the multiple tagged VIDs. E.g., "
                                               "2,3,4 means joining the Tagged VLAN 2,3 and 4."});
    // 802.1Q ports carry VLAN 1 untagged, access ports no tagged VLAN.
    m_ListView->EnabledWhen(untagged, [](const TRow& row) { return row.type != vl8021q; });
    m_ListView->EnabledWhen(tagged, [](const TRow& row) { return row.type != vlAccess; });
    m_ListView->OnChange(type, [](TRow& row) {
        if (row.type == vl8021q)
            row.untagged = 1;
        if (row.type == vlAccess)
            row.tagged.clear();
    });
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    // Port names, configuration, the VLAN mode, then the table: rows exist
    // only in 802.1Q mode, in the configuration's order.
    AddRead<TSessionPortNameGet>(rwCurrent, false);
    AddRead<TSessionVlan8021qPortGet>(rwAll);
    AddChain<TSessionPortNameGet, TSessionPortConfigGet>();
    AddChain<TSessionPortConfigGet, TSessionVlanGet>();
    AddChain<TSessionVlanGet, TSessionVlan8021qPortGet>();
    SetTargetCheck([](TDevice* device) { return VlanModeWhy(device, vm8021q, true); });
    connect(m_ListView, &TUntypedEditedList::ValueEdited, this, [this] { UpdateActions(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleVlan8021qPort::Fill(TDevice* device)
{
    const auto& vlan = ValidRecord<TPropertyVlan>(device);
    const bool enabled = vlan.valid && vlan.mode == vm8021q;
    m_ListView->setEnabled(enabled);
    std::vector<TVlanPortRow> rows;
    std::vector<int> portOf;
    const auto& table = ValidRecord<TPropertyVlan8021qPort>(device);
    const auto& config = ValidRecord<TPropertyPortConfig>(device);
    if (enabled && table.valid && config.valid && ValidRecord<TPropertyPortName>(device).valid) {
        for (std::size_t i = 0; i < config.count && i < config.entries.size(); ++i) {
            rows.push_back(VlanPortRowOf(table, int(config.entries[i].port)));
            portOf.push_back(rows.back().port);
        }
    }
    m_ListView->SetPortRows(MaskPorts(device, portOf), rows);
    UpdateActions();
}

void TModuleVlan8021qPort::UpdateActions()
{
    const auto rows = m_ListView->Rows();
    m_Apply->setEnabled(m_ListView->isEnabled() && std::none_of(rows.begin(), rows.end(), LacksTaggedVlan));
}

void TModuleVlan8021qPort::EventOnApplyClick()
{
    const std::vector<TVlanPortRow> rows = m_ListView->Rows();
    TUVecList lists;
    if (!Check(BuildPortWords(rows, lists), "Wrong tagged VIDs format!"))
        return;
    TDevice* current = CurrentDevice();
    if (rows.empty() || !current)
        return;
    // Each row goes to the target's own port or trunk group of its number;
    // the target's other rows go as it holds them, as its own page lists
    // them, and its own page's checks run on them all.
    const TPortMap map(int(current->GetPortNum()));
    for (TDevice* device : TargetDevices()) {
        std::vector<TVlanPortRow> own;
        QString why = TargetWhy(device);
        if (why.isEmpty())
            why = OwnRowsOn(device, map, rows, own);
        if (why.isEmpty() && std::any_of(own.begin(), own.end(), LacksTaggedVlan))
            why = "its own page keeps Apply off: an 802.1Q or hybrid port has no tagged VLAN";
        if (why.isEmpty() && !BuildPortWords(own, lists))
            why = "Wrong tagged VIDs format!";
        if (!why.isEmpty()) {
            NotChanged(device, why);
            continue;
        }
        for (const auto& words : lists)
            SendChange<TSessionVlan8021qPortSet>(
                device, [&words](TSessionVlan8021qPortSet& set) { set.SetEntries(words.data(), int(words.size())); });
    }
}

QString TModuleVlan8021qPort::OwnRowsOn(TDevice* device, const TPortMap& map, const std::vector<TVlanPortRow>& rows,
                                        std::vector<TVlanPortRow>& own) const
{
    std::vector<TVlanPortRow> shown = rows;
    if (QString why = map.Move(device, shown, &TVlanPortRow::port); !why.isEmpty())
        return why;
    const auto* table = device->LatestRead<TPropertyVlan8021qPort>();
    const auto* config = device->LatestRead<TPropertyPortConfig>();
    if (!table || !config || !device->LatestRead<TPropertyPortName>())
        return OwnReadWhy<TPropertyVlan8021qPort>(device, "its own port settings were not read");
    // The rows its own page lists: ports a mask holds, not hidden.
    std::vector<TVlanPortRow> entries;
    for (std::size_t i = 0; i < config->count && i < config->entries.size(); ++i)
        if (TPortLayout::InMask(int(config->entries[i].port)))
            entries.push_back(VlanPortRowOf(*table, int(config->entries[i].port)));
    return m_ListView->PortRowsOn(device, entries, shown, own);
}

REGISTER_PAGE(TModuleVlan8021qPort);
