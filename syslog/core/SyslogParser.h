#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>

namespace Syslog {

// Milliseconds since 1970-01-01 00:00:00 UTC; shown in local time.
using TDateTime = std::int64_t;

// One received message.
struct TSyslogListNode {
    std::int32_t facility = 0;
    std::int32_t severity = 0;
    TDateTime timestamp = 0; // header time stamp, or the reception time
    std::string host; // header host name, or the sender's dotted address
    std::string message;
    std::uint32_t eventId = 0;
    TDateTime received = 0;
    std::uint32_t address = 0; // sender, host byte order
    bool read = false;
};

// Query results; owned by whoever asked.
using TSyslogList = std::list<TSyslogListNode>;

// What the banner shows of a sender's messages: their number, how many are
// unread, and the latest reception time among them.
struct TSenderSummary {
    int count = 0;
    int unread = 0;
    bool hasLast = false;
    TDateTime last = 0;

    bool operator==(const TSenderSummary&) const = default;
};

// Priority markers left in place when no priority was read.
constexpr std::int32_t NoFacility = 17;
constexpr std::int32_t NoSeverity = 8;
// What a message without a usable priority is stored with.
constexpr std::int32_t DefaultFacility = 16;
constexpr std::int32_t DefaultSeverity = 3;

// Result of the header parser in positions of the text, so a store can keep
// the bytes once and cut host and message from them.
struct THeader {
    std::int32_t facility = NoFacility;
    std::int32_t severity = NoSeverity;
    TDateTime timestamp = 0; // valid only when parsed
    std::size_t hostBegin = 0; // valid only when parsed
    std::size_t hostLength = 0; // valid only when parsed
    std::size_t messageBegin = 0; // valid only when parsed; else 0 (whole text)
    bool parsed = false;
};

// The year given to header time stamps, which carry none: the current year
// when the store was made.
struct TYearBase {
    int year = 1970;
    static TYearBase Current();
};

// The local date and time of the fields (month 0..11) in year; fields out of
// range roll over into the next unit as calendar normalisation does. Local
// time is the zone's, summer time included.
TDateTime LocalDateTime(int year, int month, std::int64_t day, std::int64_t hour, std::int64_t minute,
    std::int64_t second);

// Parses "<PRI>Mmm dd hh:mm:ss host message". The text is used up to its first
// NUL byte and never read past its end. On failure the priority rule of the
// fallback is applied to facility and severity (a facility of 17 or more, or
// none, becomes 16 with severity 3); the caller supplies time and message.
THeader ParseHeader(std::string_view text, const TYearBase& base);

// Fills facility, severity, timestamp, host and message of the node the way
// the server's Parse does; `now` is used for the time stamp on failure.
// On failure host is left as it was. Answers true when the header parsed.
bool ParseInto(std::string_view text, TSyslogListNode& node, const TYearBase& base, TDateTime now);

// The text cut at its first NUL byte.
std::string_view CutAtNul(std::string_view text);

const char* FacilityName(int facility);
// Null for a severity without a name (8 and above).
const char* SeverityName(int severity);

// Dotted-decimal text of a host-order IPv4 address.
std::string AddressText(std::uint32_t address);

// Current time in milliseconds since the epoch.
TDateTime Now();

} // namespace Syslog

using Syslog::TSyslogList;
