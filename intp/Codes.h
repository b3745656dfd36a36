// Command codes, request status codes and page notification codes.
#pragma once

#include <cstdint>

namespace Intp {

// Command codes: high byte = feature group, low byte = operation. One
// constant per request class (cc + the class name without "TSession"); the
// two trunk generations share 518 and 519.
#define INTP_COMMAND(CLASS, CODE, ...) inline constexpr uint16_t cc##CLASS = CODE;
#include "intp/Commands.def"
#undef INTP_COMMAND

// Outcome of a finished request, as passed to Notify. Any other value is
// the switch's own error code, passed through unchanged.
enum TSessionStatus : uint16_t {
    ssOk = 0,
    ssShortReply = 2,    // reply payload shorter than the command's minimum
    ssNotLoggedIn = 3,   // the switch refuses: not logged in
    ssBadReply = 0x1100, // decoder: wrong count or length
    ssBadValue = 0x1101, // decoder: field value out of range
    ssBadEntry = 0x1102, // decoder: empty, overlapping or duplicate entry
    ssTimeout = 0xFF00,  // no reply before the reply timer fired
};

// Page notification codes; they share the code argument of Notify's
// receivers with the command codes and never appear in frames.
enum TNotifyCode : uint16_t {
    ncSelectionChanged = 0xFF01,
    ncDeviceShown = 0xFF02,
    ncDeviceRemoved = 0xFF03,
    ncDeviceTypeChanged = 0xFF04,
    ncDeviceNameChanged = 0xFF05,
    ncDeviceIpChanged = 0xFF06,
    ncDeviceFlagsChanged = 0xFF07,
};

// Cache key of a feature: its Get code shifted left by 16.
constexpr int32_t PropertyKey(uint16_t getCode) { return int32_t(uint32_t(getCode) << 16); }

} // namespace Intp
