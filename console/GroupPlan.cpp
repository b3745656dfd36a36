#include "console/GroupPlan.h"

#include "intp/NetUtils.h"
#include "pages/rules/SystemRules.h"

#include <unordered_set>

std::vector<uint32_t> FreeAddresses(uint32_t begin, uint32_t end, uint32_t mask, std::size_t limit,
                                    const std::vector<uint32_t>& taken)
{
    std::vector<uint32_t> free;
    // A range of one address is refused like an empty one.
    if (limit == 0 || end <= begin || !IsValidHostIp(begin) || !IsValidHostIp(end) || !IsValidIpRange(begin, end, mask))
        return free;
    const std::unordered_set<uint32_t> inUse(taken.begin(), taken.end());
    TIpRangeAllocator addresses(begin, end, mask, {});
    while (free.size() < limit) {
        const std::optional<uint32_t> next = addresses.Next();
        if (!next)
            break;
        if (!inUse.count(*next))
            free.push_back(*next);
    }
    return free;
}

std::vector<uint32_t> PlanAddresses(uint32_t begin, uint32_t end, uint32_t mask, std::size_t count,
                                    const std::vector<uint32_t>& taken)
{
    if (std::uint64_t(count) > std::uint64_t(end) - begin + 1)
        return {};
    std::vector<uint32_t> plan = FreeAddresses(begin, end, mask, count, taken);
    if (plan.size() < count)
        plan.clear();
    return plan;
}

int MovedRowIndex(int from, int count, TRowMove move)
{
    if (from < 0 || from >= count)
        return -1;
    const bool first = from == 0, last = from == count - 1;
    switch (move) {
    case rmTop: return first ? -1 : 0;
    case rmUp: return first ? -1 : from - 1;
    case rmDown: return last ? -1 : from + 1;
    case rmBottom: return last ? -1 : count - 1;
    }
    return -1;
}
