#include "pages/ports/PortTrunk.h"

#include "intp/Device.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortMerge.h"

#include <bit>

using namespace Intp;

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

// Why a target's own groups, sent back, don't pass the page's check.
QString OwnRowsWhy(const std::vector<TTrunk2Row>& rows)
{
    const QString fault = CheckTrunk2Rows(rows);
    return fault.isEmpty() ? fault : QString("its own trunk groups can't be sent back: %1").arg(fault);
}

// What a member ticked or unticked does on the target's own page, its
// groups all as own but merged: nothing when no member differs; else a
// group past its member limit takes the tick back (why), and each group
// the page on show does not list takes its member count as work ports.
QString MemberTickWhy(const TDevice* target, std::vector<TTrunk2Row>& merged, const std::vector<TTrunk2Row>& own,
                      std::size_t shown)
{
    bool ticked = false;
    for (std::size_t g = 0; g < merged.size() && g < own.size(); ++g)
        ticked = ticked || merged[g].members != own[g].members;
    if (!ticked)
        return QString();
    const std::uint32_t limit = target->GetTrunkMemberNum();
    for (TTrunk2Row& row : merged) {
        const auto count = std::uint32_t(std::popcount(row.members));
        if (count > limit)
            return QString("port number must be <=%1").arg(limit);
        if (row.group >= shown)
            row.workPorts = count;
    }
    return QString();
}

} // namespace

int SendTrunk2(TModulePage& page, const std::vector<TTrunk2Row>& rows, const TPortLayout& shown)
{
    return page.SendToEachTarget<TSessionPortTrunkSet2>([&](TSessionPortTrunkSet2& request, TDevice* device) {
        QString fault;
        const TPropertyPortTrunk2* own = OwnTrunk2(device, fault);
        if (!own)
            return fault;
        std::vector<TTrunk2Row> all = rows;
        const std::vector<TTrunk2Row> ownRows = Trunk2Rows(*own, device->GetTrunkGroupNum());
        if (fault = TrunkTargetFault(device, shown, all, &ownRows); fault.isEmpty())
            fault = MemberTickWhy(device, all, ownRows, rows.size());
        if (fault.isEmpty())
            fault = CheckTrunk2Rows(all);
        if (fault.isEmpty())
            request.SetEntries(Trunk2Entries(all, LacpPorts(all), own->entries.back().workPorts));
        return fault;
    });
}

int SendTrunk2Activity(TModulePage& page, std::uint32_t ports, std::uint32_t shown, std::uint32_t active)
{
    return page.SendToEachTarget<TSessionPortTrunkSet2>([&](TSessionPortTrunkSet2& request, TDevice* device) {
        QString fault = PortMerge::LacksWhy(device, ports);
        if (fault.isEmpty())
            fault = PortMerge::UnlistedWhy(device, PortMerge::MaskIndexes(ports));
        const TPropertyPortTrunk2* own = fault.isEmpty() ? OwnTrunk2(device, fault) : nullptr;
        if (!own)
            return fault;
        const std::vector<TTrunk2Row> rows = Trunk2Rows(*own, device->GetTrunkGroupNum());
        if (fault = OwnRowsWhy(rows); !fault.isEmpty())
            return fault;
        const TPropertyPortTrunk2Entry& activity = own->entries.back();
        request.SetEntries(Trunk2Entries(rows, PortMerge::Keep(active, activity.members, ~shown), activity.workPorts));
        return QString();
    });
}
