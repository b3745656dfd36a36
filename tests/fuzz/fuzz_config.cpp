// The configuration file reader on arbitrary documents. What it reads must
// follow the filter's rules and come back unchanged through the writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "console/ConfigFile.h"

namespace {

bool Same(const Filter::TFilterSettings& a, const Filter::TFilterSettings& b)
{
    return a.Method == b.Method && a.Address == b.Address && a.Mask == b.Mask && a.Begin == b.Begin &&
           a.End == b.End && a.Unicasts == b.Unicasts && a.LocalSubnets == b.LocalSubnets;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    Filter::TFilterSettings settings;
    if (ReadConfigDocument(document, settings) != crRead)
        return 0;
    if (settings.Unicasts.size() > kMaxConfigEntries || settings.LocalSubnets.size() > kMaxConfigEntries)
        std::abort();
    for (const TIpMask& unicast : settings.Unicasts)
        if (!IsValidHostIp(unicast.Address) || unicast.Mask != 0xFFFFFFFFu)
            std::abort();
    for (const TIpMask& subnet : settings.LocalSubnets)
        if (!IsValidHostIp(subnet.Address) || !IsValidNetmask(subnet.Mask) || subnet.Mask == 0xFFFFFFFFu)
            std::abort();
    Filter::TFilterSettings again;
    if (ReadConfigDocument(WriteConfigDocument(settings, {}), again) != crRead || !Same(settings, again))
        std::abort();
    return 0;
}
