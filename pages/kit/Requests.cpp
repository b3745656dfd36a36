#include "pages/kit/Requests.h"

#include "intp/Maintenance.h"
#include "intp/Operations.h"

TDeviceList HostTargetDevices(TModuleCallback* host)
{
    TDeviceList devices;
    if (host)
        host->GetTargetDevices(devices);
    return devices;
}

int LoginSelectedDevices(const std::uint8_t digest[16], Intp::TWizard* wizard)
{
    return StartForTargets<Intp::TSessionIntpLogin>(
        [digest](Intp::TSessionIntpLogin& login) { login.SetPayload(digest); }, wizard);
}

int RebootSelectedDevices(Intp::TWizard* wizard)
{
    return StartForTargets<Intp::TSessionBasicsReboot>([](Intp::TSessionBasicsReboot&) {}, wizard);
}
