#include "pages/security/vlan/ModuleVlan_8021qPort.h"

#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"
#include "pages/rules/VlanRules.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Intp;

TModuleVlan8021qPort::TModuleVlan8021qPort(QWidget* parent) : TModulePage("Port Configuration", parent)
{
    TPageForm form(this);
    m_ListView = new TTypedEditedList<TRow>();
    m_ListView->Caption("Port No.", [](const TRow& row) { return row.caption; });
    m_Type = m_ListView->Choice("Link Type", &TRow::type, {"Access", "802.1Q", "Hybrid"}, "&Link Type:");
    m_Untagged = m_ListView->Number("Untagged VID", &TRow::untagged, 1, VlanMaxVid, "&Untagged VID:");
    m_Tagged = m_ListView->Text("Tagged VIDs", &TRow::tagged, "&Tagged VID:");
    form.List(QString(), m_ListView);
    m_ListView->CreateEditors(form);
    auto* tagged = static_cast<QLineEdit*>(m_ListView->EditorOf(m_Tagged));
    tagged->setMaxLength(1023);
    tagged->setToolTip("Note: Use comma or space to separate the multiple tagged VIDs. E.g., 2,3,4 means joining "
                       "the Tagged VLAN 2,3 and 4.");
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

    // Port names, the VLAN mode, then the table: rows exist only in 802.1Q mode.
    AddRead<TSessionPortNameGet>(rwCurrent, false);
    AddRead<TSessionVlan8021qPortGet>(rwAll);
    AddChain<TSessionPortNameGet, TSessionVlanGet>();
    AddChain<TSessionVlanGet, TSessionVlan8021qPortGet>();
    connect(m_ListView, &TUntypedEditedList::ValueEdited, this, [this](int row, int column) { EventOnRowEdited(row, column); });
    connect(m_ListView, &TUntypedReportList::SelectedRowChanged, this, [this] { FollowType(); });
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
        TPortLayout ports;
        ports.BuildFor(device, int(device->GetTrunkGroupNum()));
        // A 32-bit mask has no bit for the ports beyond: they get no row.
        for (int row = 0; row < ports.RowCount() && TPortLayout::InMask(ports.PortOfRow(row)); ++row) {
            const TVlanPortRow port = VlanPortRowOf(table, ports.PortOfRow(row));
            rows.push_back({port.port, ports.RowName(row), port.type, port.untagged, QString::fromStdString(port.tagged)});
        }
    }
    m_ListView->SetRows(rows);
    FollowType();
    UpdateActions();
}

void TModuleVlan8021qPort::EventOnRowEdited(int row, int column)
{
    if (column == m_Type) {
        const int type = m_ListView->Value(row, m_Type);
        if (type == vl8021q)
            m_ListView->SetValue(row, m_Untagged, 1);
        if (type == vlAccess)
            m_ListView->SetText(row, m_Tagged, QString());
        FollowType();
    }
    UpdateActions();
}

// The editors of what the selected port's type keeps fixed are off.
void TModuleVlan8021qPort::FollowType()
{
    const int row = m_ListView->SelectedRow();
    const int type = row >= 0 ? m_ListView->Value(row, m_Type) : -1;
    m_ListView->SetColumnEnabled(m_Untagged, type != vl8021q);
    m_ListView->SetColumnEnabled(m_Tagged, type != vlAccess);
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
