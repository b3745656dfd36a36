#include "pages/rules/GroupPlan.h"

#include "intp/NetUtils.h"

#include <unordered_set>

bool IsNetworkOrBroadcast(uint32_t address, uint32_t mask)
{
    const uint32_t host = address & ~mask;
    return host == 0 || host == ~mask;
}

uint32_t PlanGateway(uint32_t gateway, uint32_t begin, uint32_t mask)
{
    if (!IsValidHostIp(gateway) || !IsValidNetmask(mask) || ((gateway ^ begin) & mask) != 0 ||
        IsNetworkOrBroadcast(gateway, mask))
        return 0;
    return gateway;
}

bool RangeTakesGateway(uint32_t begin, uint32_t end, uint32_t mask) { return ((begin ^ end) & mask) == 0; }

std::vector<uint32_t> PlanAddresses(uint32_t begin, uint32_t end, uint32_t mask, std::size_t count,
                                    const std::vector<uint32_t>& taken)
{
    std::vector<uint32_t> plan;
    if (count == 0 || end <= begin || !IsValidHostIp(begin) || !IsValidHostIp(end) || !IsValidNetmask(mask))
        return plan;
    // Not more than the range can hold, checked before anything is reserved.
    if (std::uint64_t(count) > std::uint64_t(end) - begin + 1)
        return plan;
    // Under a 31- or 32-bit mask no address is a host's: nothing to walk.
    if (~mask < 3)
        return plan;
    const std::unordered_set<uint32_t> inUse(taken.begin(), taken.end());
    plan.reserve(count);
    // 64-bit: the walk ends at end and can't wrap to 0.
    for (std::uint64_t address = begin; address <= end && plan.size() < count; ++address) {
        const auto candidate = uint32_t(address);
        if (IsNetworkOrBroadcast(candidate, mask) || !IsValidHostIp(candidate) || inUse.count(candidate))
            continue;
        plan.push_back(candidate);
    }
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
