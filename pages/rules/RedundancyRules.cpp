#include "pages/rules/RedundancyRules.h"

#include "pages/rules/PageRules.h"

#include <algorithm>

std::string RstpBridgeError(long long priority, long long maxAge, long long hello, long long delay)
{
    if (!IsInRange(priority, 0, 61440))
        return "Bridge priority out of range";
    if (priority % 4096 != 0)
        return "Bridge priority must be multiple of 4096";
    if (!IsInRange(maxAge, 6, 40))
        return "Bridge max age out of range";
    if (!IsInRange(hello, 1, 10))
        return "Hello time out of range";
    if (!IsInRange(delay, 4, 30))
        return "Bridge forward delay out of range";
    if (2 * (delay - 1) < maxAge)
        return "2*(Forward Delay Time-1) should greater than or queal to Max Age";
    if (maxAge < 2 * (hello + 1))
        return "Max Age should be greater than or equal to 2*(Hello Time + 1)";
    return {};
}

std::size_t RepeatedPriorityAt(const std::vector<uint32_t>& priorities)
{
    for (auto it = priorities.begin(); it != priorities.end(); ++it)
        if (*it != 0 && std::find(priorities.begin(), it, *it) != it)
            return std::size_t(it - priorities.begin());
    return priorities.size();
}

uint32_t DuplicatedPriority(const std::vector<uint32_t>& priorities)
{
    const std::size_t at = RepeatedPriorityAt(priorities);
    return at < priorities.size() ? priorities[at] : 0;
}

std::vector<uint32_t Intp::TRingSettings::*> RingPortFields(const Intp::TRingSettings& ring)
{
    using S = Intp::TRingSettings;
    std::vector<uint32_t S::*> fields;
    if (!ring.ringEnabled)
        return fields;
    fields = {&S::firstPort, &S::secondPort};
    if (ring.couplingEnabled)
        fields.insert(fields.end(), {&S::controlPort, &S::couplingPort});
    if (ring.dualHoming)
        fields.push_back(&S::homingPort);
    return fields;
}

std::vector<uint32_t> RingPorts(const Intp::TRingSettings& ring)
{
    std::vector<uint32_t> used;
    for (uint32_t Intp::TRingSettings::* field : RingPortFields(ring))
        used.push_back(ring.*field);
    return used;
}

bool RingPortsClash(const Intp::TRingSettings& ring)
{
    std::vector<uint32_t> used = RingPorts(ring);
    std::sort(used.begin(), used.end());
    return std::adjacent_find(used.begin(), used.end()) != used.end();
}

Intp::TPropertyRedundancyRing RingToSend(const Intp::TRingSettings& ring)
{
    Intp::TPropertyRedundancyRing sent;
    if (!ring.ringEnabled)
        return sent;
    static_cast<Intp::TRingSettings&>(sent) = ring;
    if (!ring.couplingEnabled)
        sent.controlPort = sent.couplingPort = 0;
    if (!ring.dualHoming)
        sent.homingPort = 0;
    return sent;
}

std::string NameOf(const std::vector<const char*>& names, uint32_t value)
{
    return value < names.size() ? names[value] : "Unknown (" + std::to_string(value) + ")";
}
