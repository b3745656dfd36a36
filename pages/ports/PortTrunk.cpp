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

QString Trunk2MemberTick(std::vector<TTrunk2Row>& rows, std::uint32_t limit)
{
    std::size_t remembered = rows.size();
    std::uint32_t port = 0;
    for (std::size_t line = 0; line < rows.size(); ++line) {
        TTrunk2Row& row = rows[line];
        std::uint32_t count = 0;
        for (std::uint32_t p = 0; p < 32; ++p) {
            if (!(row.members >> p & 1u))
                continue;
            if (++count > limit) {
                row.members &= ~(1u << p);
                return QString("port number must be <=%1").arg(limit);
            }
            if (row.workPorts < count) {
                remembered = line;
                port = p;
            }
        }
        row.workPorts = count;
    }
    for (std::size_t line = 0; remembered < rows.size() && line < rows.size(); ++line) {
        TTrunk2Row& row = rows[line];
        if (line == remembered || !(row.members >> port & 1u))
            continue;
        row.members &= ~(1u << port);
        row.workPorts -= 1;
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

// The target's own page ticked to the members of merged on the ports
// listed, as one ticks them there: group by group in port order, the
// unticks first. Why when its page takes back a tick, or a member its page
// lists of a group shown that the change keeps; else the groups beyond
// those shown take what the ticks left them.
QString MemberTickWhy(const TDevice* target, std::vector<TTrunk2Row>& merged, const std::vector<TTrunk2Row>& own,
                      std::size_t shown, std::uint32_t listed)
{
    std::vector<TTrunk2Row> page = own;
    QString taken;
    for (const bool tick : {false, true})
        for (std::size_t g = 0; g < shown && g < page.size(); ++g)
            for (std::uint32_t p = 0; p < 32; ++p) {
                const std::uint32_t bit = 1u << p;
                if (!(listed & bit) || bool(merged[g].members & bit) != tick || bool(page[g].members & bit) == tick)
                    continue;
                page[g].members ^= bit;
                if (QString why = Trunk2MemberTick(page, target->GetTrunkMemberNum()); !why.isEmpty())
                    taken = why;
            }
    // A member of a port its own page does not list goes back as read there,
    // whatever the ticks did.
    TPortLayout ports;
    ports.BuildFor(target, 0, psMask);
    for (std::size_t g = 0; g < shown && g < page.size(); ++g)
        if ((page[g].members ^ merged[g].members) & ~ports.UnlistedMask())
            return taken.isEmpty() ? QString("its own page takes back member ports") : taken;
    for (std::size_t g = shown; g < page.size() && g < merged.size(); ++g)
        merged[g] = page[g];
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
        // The switch on show takes the groups its page's ticks made.
        if (fault = TrunkTargetFault(device, shown, all, &ownRows); fault.isEmpty() && !page.IsCurrent(device))
            fault = MemberTickWhy(device, all, ownRows, rows.size(),
                                  ~PortMerge::NotShown(shown) & PortMerge::Bits(0, PortMerge::MaskSpan(device)));
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
        // Its own page sends nothing without a group.
        if (rows.empty())
            return QString("its model has no trunk groups");
        if (fault = OwnRowsWhy(rows); !fault.isEmpty())
            return fault;
        const TPropertyPortTrunk2Entry& activity = own->entries.back();
        request.SetEntries(Trunk2Entries(rows, PortMerge::Keep(active, activity.members, ~shown), activity.workPorts));
        return QString();
    });
}
