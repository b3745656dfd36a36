#include "pages/ports/multicast/ModuleIgmp_Table.h"

#include "intp/Ports.h"
#include "pages/kit/AddressText.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"

using namespace Intp;

TIgmpTablePage::TIgmpTablePage(QWidget* parent) : TModulePage("IGMP Snooping Table", parent)
{
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    m_List->Column(QString(), [](const TRow& r) { return QString::number(r.number); }, &TRow::number);
    m_List->Column("IP Address", [](const TRow& r) { return IpText(r.groupIp); },
                   &TRow::groupIp);
    m_List->Column("VLAN ID", [](const TRow& r) { return QString::number(r.vid); }, &TRow::vid,
                   Qt::AlignRight | Qt::AlignVCenter);
    m_List->Column("Member Port", [](const TRow& r) { return r.members; }, &TRow::ports);
    m_List->Model()->SetSortMode(smPerColumn);
    form.List(QString(), m_List);
    AddRead<TSessionPortNameGet>(rwAlways, false, false);
}

void TIgmpTablePage::ShowGroups(TDevice* device, const std::vector<TPropertyIgmpTableEntry>& groups)
{
    m_List->Clear();
    const TPortLayout ports = MaskPorts(device);
    int number = 0;
    for (const TPropertyIgmpTableEntry& group : groups)
        m_List->Add({++number, group.groupIp, group.vid, group.ports, ports.MaskText(group.ports)});
    m_List->Model()->SortAgain();
}

REGISTER_PAGE(TModuleIgmpTable);
REGISTER_PAGE(TModuleIgmp2Table);
