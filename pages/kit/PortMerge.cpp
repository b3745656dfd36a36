#include "pages/kit/PortMerge.h"

#include "intp/Ports.h"
#include "pages/rules/PageRules.h"

#include <QStringList>

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

std::vector<int> MaskIndexes(std::uint32_t mask)
{
    std::vector<int> indexes;
    for (int index = 0; index < 32; ++index)
        if (mask >> index & 1u)
            indexes.push_back(index);
    return indexes;
}

int MaskSpan(const Intp::TDevice* device)
{
    return device ? int(std::min<std::uint32_t>(device->GetPortNum(), 32)) : 0;
}

std::uint32_t NotShown(const TPortLayout& shown)
{
    // Past its ports too: a bit the switch reports there goes back as read.
    return Bits(shown.PortCount(), 32) | shown.UnlistedMask();
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
    return QString("its model has %1, this change is for %2").arg(Counted(qint64(has), one, many))
        .arg(Counted(qint64(shown), one, many));
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

QString UnlistedWhy(const Intp::TDevice* target, const std::vector<int>& ports)
{
    // The names its own page hides ports by: those it holds, whatever its
    // latest read of them did; none hides no port.
    auto* device = const_cast<Intp::TDevice*>(target);
    const auto* names = device ? &Intp::Property<Intp::TPropertyPortName>::Get(device) : nullptr;
    if (!names || !names->valid)
        return QString();
    const int has = int(std::min<std::size_t>(device->GetPortNum(), names->names.size()));
    std::vector<int> lacks;
    for (const int port : ports)
        if (port >= 0 && port < has && IsHiddenPort(names->names[std::size_t(port)]))
            lacks.push_back(port);
    if (lacks.empty())
        return QString();
    std::sort(lacks.begin(), lacks.end());
    lacks.erase(std::unique(lacks.begin(), lacks.end()), lacks.end());
    QStringList lacked;
    for (const int port : lacks)
        lacked << QString::number(port + 1);
    return QString("its own page does not list %1 %2").arg(lacked.size() == 1 ? "port" : "ports", lacked.join(", "));
}

QString UnlistedWhy(const Intp::TDevice* target, const TPortLayout& shown)
{
    return shown.UsesNames() ? UnlistedWhy(target, shown.ListedPorts()) : QString();
}

QString NotReadWhy(int from, int to) { return QString("its own settings of %1 were not read").arg(PortRange(from, to)); }

} // namespace PortMerge
