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

int SendTrunk2(TModulePage& page, const std::vector<TTrunk2Row>& rows, std::uint32_t active,
               std::uint32_t activityWorkPorts)
{
    const std::vector<TPropertyPortTrunk2Entry> entries = Trunk2Entries(rows, active, activityWorkPorts);
    std::uint32_t members = 0;
    for (const TPropertyPortTrunk2Entry& entry : entries)
        members |= entry.members;
    // Work ports count the members: a target's own members beyond the
    // current switch's ports can't be kept, so such a target is named.
    const int shown = PortMerge::MaskSpan(page.CurrentDevice());
    return page.SendToEachTarget<TSessionPortTrunkSet2>([&](TSessionPortTrunkSet2& request, TDevice* device) {
        QString fault = TrunkTargetFault(device, rows.size(), members);
        if (fault.isEmpty())
            fault = PortMerge::HoldsBeyondWhy(device, shown, &TPropertyPortTrunk2::entries,
                                              &TPropertyPortTrunk2Entry::members);
        if (fault.isEmpty())
            request.SetEntries(entries);
        return fault;
    });
}
