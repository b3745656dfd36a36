#include "pages/security/vlan/ModuleVlan_8021qPort.h"

#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/VlanRules.h"

#include <QPushButton>

using namespace Intp;

TModuleVlan8021qPort::TModuleVlan8021qPort(QWidget* parent) : TModulePage("Port Configuration", parent)
{
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TRow>();
    m_ListView->Caption("Port No.", [](const TRow& row) { return row.caption; });
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

    // Port names, the VLAN mode, then the table: rows exist only in 802.1Q mode.
    AddRead<TSessionPortNameGet>(rwCurrent, false);
    AddRead<TSessionVlan8021qPortGet>(rwAll);
    AddChain<TSessionPortNameGet, TSessionVlanGet>();
    AddChain<TSessionVlanGet, TSessionVlan8021qPortGet>();
    connect(m_ListView, &TUntypedEditedList::ValueEdited, this, [this] { UpdateActions(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleVlan8021qPort::Fill(TDevice* device)
{
    const auto& vlan = ValidRecord<TPropertyVlan>(device);
    const bool enabled = vlan.valid && vlan.mode == vm8021q;
    m_ListView->setEnabled(enabled);
    std::vector<TRow> rows;
    const auto& table = ValidRecord<TPropertyVlan8021qPort>(device);
    if (enabled && table.valid && ValidRecord<TPropertyPortName>(device).valid) {
        const TPortLayout ports = MaskPorts(device, int(device->GetTrunkGroupNum()));
        for (int row = 0; row < ports.RowCount(); ++row) {
            const TVlanPortRow port = VlanPortRowOf(table, ports.PortOfRow(row));
            rows.push_back({port.port, ports.RowName(row), port.type, port.untagged, QString::fromStdString(port.tagged)});
        }
    }
    m_ListView->SetRows(rows);
    UpdateActions();
}

// An 802.1Q or hybrid port needs a tagged VLAN (a wrong text is told on Apply).
void TModuleVlan8021qPort::UpdateActions()
{
    bool ok = m_ListView->isEnabled();
    for (const TRow& row : m_ListView->Rows()) {
        std::vector<std::uint16_t> vids;
        ok = ok && (row.type == vlAccess || !ParseTaggedVids(row.tagged.toStdString(), vids) || !vids.empty());
    }
    m_Apply->setEnabled(ok);
}

void TModuleVlan8021qPort::EventOnApplyClick()
{
    std::vector<TVlanPortRow> rows;
    for (const TRow& row : m_ListView->Rows())
        rows.push_back({row.port, row.type, row.untagged, row.tagged.toStdString()});
    TUVecList lists;
    if (!Check(BuildPortWords(rows, lists), "Wrong tagged VIDs format!"))
        return;
    for (TDevice* device : TargetDevices()) {
        for (const auto& words : lists)
            StartFor<TSessionVlan8021qPortSet>(
                device, [&words](TSessionVlan8021qPortSet& set) { set.SetEntries(words.data(), int(words.size())); });
    }
}

REGISTER_PAGE(TModuleVlan8021qPort);
