#include "pages/security/vlan/ModuleVlan_Table.h"

#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "pages/kit/SwitchText.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/rules/VlanRules.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>

using namespace Intp;

TModuleVlanTable::TModuleVlanTable(QWidget* parent) : TModulePage("VLAN Table", parent)
{
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    m_List->Column(QString(), [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    m_List->Column("VLAN ID", [](const TRow& r) { return QString::number(r.vid); }, &TRow::vid);
    m_List->Column("Untagged Ports", [](const TRow& r) { return r.untagged; });
    m_List->Column("Tagged Ports", [](const TRow& r) { return r.tagged; });
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    // Long member texts are cut at the column's edge; the tip shows them whole.
    m_List->SetToolTip([](const QStringList& cells) {
        QStringList lines;
        if (!cells.at(2).isEmpty())
            lines << "Untagged Ports: " + cells.at(2);
        if (!cells.at(3).isEmpty())
            lines << "Tagged Ports: " + cells.at(3);
        return lines.join('\n');
    });
    connect(m_List->header(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column < 3)
            ShareMemberColumns();
    });
    m_List->viewport()->installEventFilter(this);
    form.List(QString(), m_List);

    // Port names, configuration and the mode; the mode's reply reads the table of that mode.
    AddRead<TSessionPortNameGet>(rwAlways, false);
    AddRead<TSessionPortConfigGet>(rwAlways, false);
    AddRead<TSessionVlanGet>(rwCurrent, false);
    AddReadStep([] { return 0; }, rwAll);
    AddChainStep(ccVlanGet, [](TDevice* device) {
        const auto& vlan = Property<TPropertyVlan>::Get(device);
        if (vlan.valid && vlan.mode == vmPortBased)
            return StartFor<TSessionVlanPortGet>(device);
        return vlan.valid && vlan.mode == vm8021q && StartFor<TSessionVlan8021qPortGet>(device);
    });
    AddRefillCode(ccVlanPortGet);
    AddRefillCode(ccVlan8021qPortGet);
}

void TModuleVlanTable::Fill(TDevice* device)
{
    m_List->Clear();
    const auto& vlan = ValidRecord<TPropertyVlan>(device);
    if (!vlan.valid)
        return;
    const std::vector<std::string>& names = ValidRecord<TPropertyPortName>(device).names;
    const auto& config = ValidRecord<TPropertyPortConfig>(device);
    auto text = [&](std::uint32_t mask) { return SwitchText(PortMaskText(mask, config, names)); };
    int number = 0;
    if (vlan.mode == vmPortBased) {
        for (const auto& group : ValidRecord<TPropertyVlanPort>(device).entries)
            m_List->Add({++number, group.vid, text(group.ports), QString()});
    } else if (vlan.mode == vm8021q) {
        for (const auto& entry : ValidRecord<TPropertyVlan8021qPort>(device).entries)
            m_List->Add({++number, entry.vid, text(entry.untaggedPorts), text(entry.taggedPorts)});
    } else if (m_NotEnabledTold != device->GetMac()) {
        // Once per visit and switch, not on every refill.
        m_NotEnabledTold = device->GetMac();
        ShowMessage("VLAN Not Enabled!");
    }
}

bool TModuleVlanTable::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_List->viewport() && event->type() == QEvent::Resize)
        ShareMemberColumns();
    return TModulePage::eventFilter(watched, event);
}

void TModuleVlanTable::ShareMemberColumns()
{
    if (m_Sharing)
        return;
    QHeaderView* header = m_List->header();
    const int room = m_List->viewport()->width() - header->sectionSize(0) - header->sectionSize(1);
    const int tagged = std::max(static_cast<QAbstractItemView*>(m_List)->sizeHintForColumn(3), header->sectionSizeHint(3));
    // The tagged texts keep what they need up to half the room.
    const int most = std::max(room - std::min(tagged, room / 2), header->sectionSizeHint(2));
    if (header->sectionSize(2) <= most)
        return;
    m_Sharing = true;
    header->resizeSection(2, most);
    m_Sharing = false;
}

void TModuleVlanTable::OnLeave()
{
    m_List->Clear();
    m_NotEnabledTold.reset();
}

REGISTER_PAGE(TModuleVlanTable);
