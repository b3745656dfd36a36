#include "pages/kit/PortMerge.h"

#include <algorithm>
#include <bit>

namespace PortMerge {

std::uint32_t Bits(int from, int to)
{
    from = std::clamp(from, 0, 32);
    to = std::clamp(to, 0, 32);
    if (from >= to)
        return 0;
    const std::uint32_t upTo = to == 32 ? ~0u : (1u << to) - 1;
    return upTo & ~((1u << from) - 1);
}

int MaskSpan(const Intp::TDevice* device)
{
    return device ? int(std::min<std::uint32_t>(device->GetPortNum(), 32)) : 0;
}

std::uint32_t Beyond(const Intp::TDevice* target, int shown)
{
    return target ? Bits(shown, int(target->GetPortNum())) : 0;
}

QString LacksWhy(const Intp::TDevice* target, std::uint32_t ports)
{
    const int has = target ? int(target->GetPortNum()) : 0;
    if (has >= 32 || (ports >> has) == 0)
        return QString();
    return QString("its model has %1, this change is for port %2")
        .arg(Counted(has, "port", "ports"))
        .arg(std::bit_width(ports));
}

QString NotReadWhy(std::uint32_t keep, bool ownRead)
{
    if (keep == 0 || ownRead)
        return QString();
    return NotReadWhy(std::countr_zero(keep), 32 - std::countl_zero(keep));
}

QString HeldWhy(std::uint32_t ports)
{
    const int from = std::countr_zero(ports), to = 32 - std::countl_zero(ports);
    if (to - from == 1)
        return QString("its own settings of port %1 can't be kept").arg(from + 1);
    return QString("its own settings of ports %1-%2 can't be kept").arg(from + 1).arg(to);
}

QString NotReadWhy(int from, int to)
{
    if (to - from == 1)
        return QString("its own settings of port %1 were not read").arg(from + 1);
    return QString("its own settings of ports %1-%2 were not read").arg(from + 1).arg(to);
}

} // namespace PortMerge
