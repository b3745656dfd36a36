// The device-model table reader on arbitrary files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "console/DeviceTypesFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t registered = 0;
    const bool ok = LoadDeviceTypes(in, [&](const TDeviceTypeFileModel& model, const std::string& id,
                                            const std::string& lowerId) {
        if (model.portNum > kMaxDeviceTypeValue || model.tagVidNum > kMaxDeviceTypeValue || id.size() != lowerId.size())
            std::abort();
        return int(++registered);
    });
    if (registered > std::size_t(kMaxDeviceTypeCount) || g_DeviceTypeIndex.size() != registered ||
        g_DeviceBanner.size() != registered)
        std::abort();
    if (ok && int(registered) != g_DeviceTypeCount)
        std::abort();
    return 0;
}
