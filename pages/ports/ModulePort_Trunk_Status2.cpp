#include "pages/ports/ModulePort_Trunk_Status2.h"

#include "intp/Ports.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/SwitchText.h"
#include "pages/ports/PortTexts.h"

#include <QStringList>

using namespace Intp;

namespace {

// The listed number of a port the switch names by number (from 1): "XX"
// for a hidden port, the number as sent for one the model lacks.
QString ListedNumber(const TPortLayout& ports, std::uint32_t number, std::uint32_t portNum)
{
    if (number == 0 || number > portNum)
        return PortTexts::Missing.arg(number);
    const int row = ports.RowOfPort(int(number - 1));
    return row >= 0 ? QString::number(row + 1) : QString("XX");
}

// The slots in use: up to the first with a port, key or priority of 0.
std::size_t UsedSlots(const TPropertyPortTrunk2Entry& e)
{
    std::size_t k = 0;
    while (k < TrunkSlots && e.actorPort[k] && e.partnerPort[k] && e.actorKey[k] && e.partnerKey[k] &&
           e.actorPortPriority[k] && e.partnerPortPriority[k])
        ++k;
    return k;
}

} // namespace

TModulePortTrunkStatus2::TModulePortTrunkStatus2(QWidget* parent) : TModulePage("Aggregator Information", parent)
{
    TPageForm form(this);
    m_List = new TTypedReportList<TRow>();
    m_List->Column("Type", [](const TRow& r) { return r.type; });
    m_List->Column("Group Priority", [](const TRow& r) { return r.priority; });
    m_List->Column("MAC", [](const TRow& r) { return r.mac; });
    m_List->Column("Port Member ( PortNo-Key-Priority-Active )", [](const TRow& r) { return r.members; });
    m_List->Model()->SetSortMode(smPerColumn);
    m_List->SetColumnsFollowContents();
    form.List(QString(), m_List);

    AddRead<TSessionPortNameGet>(rwAlways, false, false);
    AddRead<TSessionPortTrunkGet2>(rwCurrent);
}

int TModulePortTrunkStatus2::Refresh(bool current)
{
    const int started = TModulePage::Refresh(current);
    return current ? started : 0;
}

void TModulePortTrunkStatus2::Fill(TDevice* device)
{
    const auto& trunks = ValidRecord<TPropertyPortTrunk2>(device);
    std::vector<TRow> rows;
    if (device && trunks.valid) {
        TPortLayout ports;
        ports.BuildFor(device);
        for (std::size_t g = 0; g + 1 < trunks.entries.size(); ++g) {
            const TPropertyPortTrunk2Entry& e = trunks.entries[g];
            if (e.members == 0 || (e.lacp && e.partnerPriority == 0))
                continue;
            if (!e.lacp) {
                rows.push_back({QString("Static Trunking Group%1").arg(g + 1), {}, {}, ports.MaskText(e.members)});
                continue;
            }
            QStringList actor, partner;
            for (std::size_t k = 0; k < UsedSlots(e); ++k) {
                actor << QString("%1-%2-%3-%4")
                             .arg(ListedNumber(ports, e.actorPort[k], device->GetPortNum()))
                             .arg(e.actorKey[k])
                             .arg(e.actorPortPriority[k])
                             .arg(e.selected[k] ? "selected" : "standby");
                partner << QString("%1-%2-%3").arg(e.partnerPort[k]).arg(e.partnerKey[k]).arg(e.partnerPortPriority[k]);
            }
            rows.push_back({QString("LACP Group%1-Actor").arg(g + 1), QString::number(e.actorPriority),
                            SwitchText(e.actorMac), actor.join(", ")});
            rows.push_back({QString("LACP Group%1-Partner").arg(g + 1), QString::number(e.partnerPriority),
                            SwitchText(e.partnerMac), partner.join(", ")});
        }
    }
    m_List->Update(std::move(rows));
    if (!trunks.valid)
        ShowReadFailed(device);
}

REGISTER_PAGE(TModulePortTrunkStatus2);
