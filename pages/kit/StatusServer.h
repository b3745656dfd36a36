#pragma once

// What pages read of the status monitor.

#include "pages/kit/PageInterface.h"

#include <cstdint>

namespace Status {

// State word of a monitored switch.
enum TStatusBit : std::uint32_t {
    sbNoReply = 0x1,    // the last poll timed out, or no device could be had
    sbError = 0x2,      // the last reply carried an error, or the poll did not start
    sbIpChanged = 0x4,  // the current address differs from the listed one
    sbAlarm = 0x8,      // the last good reply reported a power or port failure
};

// What other parts read of the monitor.
class TStatusServer {
public:
    virtual ~TStatusServer() = default;
    virtual void AddDevices(const TDeviceList& devices) = 0;
    // Appends a row unless the device's MAC is listed; polls it at once.
    virtual void AddDevice(Intp::TDevice* device) = 0;
    // The row's state word; 0 for none or a device not listed.
    virtual std::uint32_t GetDeviceStatus(const Intp::TDevice* device) = 0;
};

}  // namespace Status
