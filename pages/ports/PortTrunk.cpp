#include "pages/ports/PortTrunk.h"

#include "intp/Device.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortMerge.h"

#include <bit>

using namespace Intp;

QString TrunkTargetFault(const TDevice* device, std::size_t groups, std::uint32_t members)
{
    if (device->GetTrunkGroupNum() != groups)
        return QString("its model has %1, this change is for %2")
            .arg(Counted(device->GetTrunkGroupNum(), "trunk group", "trunk groups"))
            .arg(groups);
    return PortMerge::LacksWhy(device, members);
}

std::vector<TTrunk2Row> Trunk2Rows(const TPropertyPortTrunk2& record, std::size_t groups)
{
    std::vector<TTrunk2Row> rows;
    for (std::size_t g = 0; g < groups; ++g) {
        TTrunk2Row row{std::uint32_t(g), 0, 0, 0};
        if (record.valid && g + 1 < record.entries.size()) {
            const TPropertyPortTrunk2Entry& e = record.entries[g];
            row = {std::uint32_t(g), e.lacp ? 1u : 0u, e.workPorts, e.members};
        }
        rows.push_back(row);
    }
    return rows;
}

QString CheckTrunk2Rows(const std::vector<TTrunk2Row>& rows)
{
    for (const TTrunk2Row& row : rows) {
        const std::uint32_t n = std::uint32_t(std::popcount(row.members));
        if (row.lacp != 1 && row.workPorts != n)
            return "work ports must be the same as group ports in Static Trunking Group";
        if (row.lacp == 1 && row.workPorts < 1)
            return "work ports should be at last one port";
        if (row.lacp == 1 && row.workPorts > n)
            return "work ports should be smaller than Group ports";
    }
    return QString();
}

std::uint32_t LacpPorts(const std::vector<TTrunk2Row>& rows)
{
    std::uint32_t ports = 0;
    for (const TTrunk2Row& row : rows) {
        if (row.lacp == 1)
            ports |= row.members;
    }
    return ports;
}

std::vector<TPropertyPortTrunk2Entry> Trunk2Entries(const std::vector<TTrunk2Row>& rows, std::uint32_t active,
                                                    std::uint32_t activityWorkPorts)
{
    std::vector<TPropertyPortTrunk2Entry> entries(rows.size() + 1);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        entries[k].members = rows[k].members;
        entries[k].lacp = rows[k].lacp == 1;
        entries[k].workPorts = rows[k].workPorts;
    }
    entries.back().members = active & LacpPorts(rows);
    entries.back().workPorts = activityWorkPorts;
    return entries;
}

namespace {

// The target's own trunk record as its latest read gave it, every group
// and the activity entry; else null, and why.
const TPropertyPortTrunk2* OwnTrunk2(TDevice* target, QString& why)
{
    const TPropertyPortTrunk2* own = target->LatestRead<TPropertyPortTrunk2>();
    why = own ? QString() : TModulePage::OwnReadWhy<TPropertyPortTrunk2>(target, "its own trunk groups were not read");
    if (own && own->entries.size() != target->GetTrunkGroupNum() + 1)
        why = "its own trunk groups were not read";
    return why.isEmpty() ? own : nullptr;
}

} // namespace

int SendTrunk2(TModulePage& page, const std::vector<TTrunk2Row>& rows, std::uint32_t active)
{
    std::uint32_t members = 0;
    for (const TPropertyPortTrunk2Entry& entry : Trunk2Entries(rows, active, 0))
        members |= entry.members;
    // Work ports count the members: a target's own members beyond the
    // current switch's ports can't be kept, so such a target is named.
    const int shown = PortMerge::MaskSpan(page.CurrentDevice());
    return page.SendToEachTarget<TSessionPortTrunkSet2>([&](TSessionPortTrunkSet2& request, TDevice* device) {
        QString fault = TrunkTargetFault(device, rows.size(), members);
        if (fault.isEmpty())
            fault = PortMerge::HoldsBeyondWhy(device, shown, &TPropertyPortTrunk2::entries,
                                              &TPropertyPortTrunk2Entry::members);
        const TPropertyPortTrunk2* own = fault.isEmpty() ? OwnTrunk2(device, fault) : nullptr;
        if (own)
            request.SetEntries(Trunk2Entries(rows, active, own->entries.back().workPorts));
        return fault;
    });
}

int SendTrunk2Activity(TModulePage& page, std::uint32_t ports, std::uint32_t shown, std::uint32_t active)
{
    return page.SendToEachTarget<TSessionPortTrunkSet2>([&](TSessionPortTrunkSet2& request, TDevice* device) {
        QString fault = PortMerge::LacksWhy(device, ports);
        const TPropertyPortTrunk2* own = fault.isEmpty() ? OwnTrunk2(device, fault) : nullptr;
        if (!own)
            return fault;
        const std::vector<TTrunk2Row> rows = Trunk2Rows(*own, device->GetTrunkGroupNum());
        if (fault = CheckTrunk2Rows(rows); !fault.isEmpty())
            return QString("its own trunk groups can't be sent back: %1").arg(fault);
        const TPropertyPortTrunk2Entry& activity = own->entries.back();
        request.SetEntries(Trunk2Entries(rows, PortMerge::Keep(active, activity.members, ~shown), activity.workPorts));
        return QString();
    });
}
