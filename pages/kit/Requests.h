#pragma once

// Starting requests for a device or for each of a list of devices. A request
// that starts belongs to the library; one that does not is deleted.

#include "intp/Session.h"
#include "pages/kit/PageInterface.h"

#include <concepts>
#include <type_traits>

// A new R, filled by fill(R&) and started on device. fill may answer false
// to skip the device.
template <class R, class F>
requires std::invocable<F&, R&>
bool StartRequest(Intp::TDevice* device, F&& fill, Intp::TWizard* wizard = nullptr)
{
    if (!device)
        return false;
    auto* request = new R;
    if constexpr (std::is_same_v<std::invoke_result_t<F&, R&>, bool>) {
        if (!fill(*request)) {
            delete request;
            return false;
        }
    } else {
        fill(*request);
    }
    return Intp::StartOrDelete(request, device, wizard);
}

template <class R> bool StartRequest(Intp::TDevice* device, Intp::TWizard* wizard = nullptr)
{
    return StartRequest<R>(
        device, [](R&) {}, wizard);
}

// One R per device; answers the number started.
template <class R, class F> int StartForEach(const TDeviceList& devices, F&& fill, Intp::TWizard* wizard = nullptr)
{
    int started = 0;
    for (Intp::TDevice* device : devices)
        started += StartRequest<R>(device, fill, wizard) ? 1 : 0;
    return started;
}

// The target devices of a page host (none without one).
TDeviceList HostTargetDevices(TModuleCallback* host = g_ModuleCallback);

// One R per target device of the page host; answers the number started.
template <class R, class F> int StartForTargets(F&& fill, Intp::TWizard* wizard = nullptr)
{
    return StartForEach<R>(HostTargetDevices(), fill, wizard);
}
