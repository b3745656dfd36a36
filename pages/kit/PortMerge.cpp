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

std::uint32_t NotShown(const Intp::TDevice* target, const TPortLayout& shown)
{
    return (Bits(shown.PortCount(), 32) | shown.UnlistedMask()) & Bits(0, MaskSpan(target));
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

QString CountWhy(std::size_t has, std::size_t shown, const char* one, const char* many)
{
    return QString("its model has %1, this change is for %2").arg(Counted(qint64(has), one, many)).arg(shown);
}

QString NotReadWhy(std::uint32_t keep, bool ownRead)
{
    if (keep == 0 || ownRead)
        return QString();
    return NotReadWhy(std::countr_zero(keep), 32 - std::countl_zero(keep));
}

namespace {

// "port 3" or "ports 3-8" of the indexes from to to - 1.
QString PortRange(int from, int to)
{
    return to - from == 1 ? QString("port %1").arg(from + 1) : QString("ports %1-%2").arg(from + 1).arg(to);
}

} // namespace

QString NotReadWhy(int from, int to) { return QString("its own settings of %1 were not read").arg(PortRange(from, to)); }

} // namespace PortMerge
