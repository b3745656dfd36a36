// 802.1X port authentication: the global settings (on or off, the RADIUS
// server, the NAS identifier and the protocol timers) and the authorize
// mode of each port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "intp/Record.h"

namespace Intp {

inline constexpr size_t RadiusTextWidth = 32;

enum T8021xAuthMode : uint32_t { amReject = 0, amAccept = 1, amAuthorize = 2, amDisable = 3, amCount = 4 };

struct TPropertySecurity8021x {
    static constexpr int32_t Key = PropertyKey(ccSecurity8021xGet);
    bool valid = false;
    bool enabled = false;
    uint32_t server = 0; // RADIUS server, IPv4 host order
    uint32_t serverPort = 0;
    uint32_t accountingPort = 0;
    // The RADIUS shared key as the switch gives it: kept in memory only, so
    // that a change sends each switch its own key unless a new one is typed.
    std::string sharedKey;
    std::string nasId;
    uint32_t quietPeriod = 0;
    uint32_t txPeriod = 0;
    uint32_t supplicantTimeout = 0;
    uint32_t serverTimeout = 0;
    uint32_t maxRequests = 0;
    uint32_t reAuthPeriod = 0;
    using R = TPropertySecurity8021x;
    static constexpr auto Fields =
        Layout(Wire::Flag(&R::enabled), Wire::Ip(&R::server), Wire::U16(&R::serverPort),
               Wire::U16(&R::accountingPort), Wire::Text(&R::sharedKey, RadiusTextWidth),
               Wire::Text(&R::nasId, RadiusTextWidth),
               Wire::U16(&R::quietPeriod), Wire::U16(&R::txPeriod), Wire::U16(&R::supplicantTimeout),
               Wire::U16(&R::serverTimeout), Wire::U8(&R::maxRequests), Wire::U32(&R::reAuthPeriod));
};

struct TPropertySecurity8021xPortEntry {
    uint32_t mode = amReject;
};

// One authorize mode per port of the model. A reply with another count is
// refused with ssBadValue, a mode of 4 or more with ssBadReply (the reverse
// of most families); a Set with such a mode is not sent.
struct TPropertySecurity8021xPort {
    static constexpr int32_t Key = PropertyKey(ccSecurity8021xPortGet);
    static constexpr uint16_t CountStatus = ssBadValue;
    bool valid = false;
    std::vector<TPropertySecurity8021xPortEntry> ports; // port 1 first
    static constexpr auto EntryFields = Layout(Wire::U8(&TPropertySecurity8021xPortEntry::mode));
    static constexpr auto Fields =
        Layout(Wire::Entries(&TPropertySecurity8021xPort::ports, EntryFields, TCountKind::ckPortNum));
    static uint16_t CheckEntry(const TDeviceType&, const TPropertySecurity8021xPortEntry& entry)
    {
        return entry.mode >= amCount ? ssBadReply : ssOk;
    }
};

class TSessionSecurity8021xGet : public TSessionRecordGet<ccSecurity8021xGet, TPropertySecurity8021x> {};
// SetPayload: the record with the shared key typed for this change, or the
// target's own key as read.
class TSessionSecurity8021xSet : public TSessionRecordSet<ccSecurity8021xSet, TSessionSecurity8021xGet> {};

class TSessionSecurity8021xPortGet : public TSessionRecordGet<ccSecurity8021xPortGet, TPropertySecurity8021xPort> {};
// Sent only with one mode per port of the target's model.
class TSessionSecurity8021xPortSet
    : public TSessionRecordArraySet<ccSecurity8021xPortSet, TSessionSecurity8021xPortGet> {};

} // namespace Intp
