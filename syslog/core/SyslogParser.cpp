#include "syslog/core/SyslogParser.h"

#include <array>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <ctime>

namespace Syslog {

namespace {

// Bounds-checked view: every position past the end reads as NUL, so the
// fixed-width steps of the header grammar can never leave the datagram.
class TCursor {
public:
    explicit TCursor(std::string_view text)
        : m_Text(text)
    {
    }

    char At(std::size_t pos) const { return pos < m_Text.size() ? m_Text[pos] : '\0'; }

    // Decimal integer the way atoi reads it (white space, sign, digits, no
    // digits is 0), saturated instead of overflowing.
    std::int32_t ReadInt(std::size_t pos) const
    {
        while (IsSpace(At(pos)))
            ++pos;
        bool negative = false;
        if (At(pos) == '+' || At(pos) == '-') {
            negative = At(pos) == '-';
            ++pos;
        }
        std::int64_t value = 0;
        for (char c = At(pos); c >= '0' && c <= '9'; c = At(++pos)) {
            if (value <= INT_MAX)
                value = value * 10 + (c - '0');
        }
        if (negative)
            return value > static_cast<std::int64_t>(INT_MAX) + 1 ? INT_MIN : static_cast<std::int32_t>(-value);
        return value > INT_MAX ? INT_MAX : static_cast<std::int32_t>(value);
    }

    std::size_t Find(char c, std::size_t from) const
    {
        if (from >= m_Text.size())
            return std::string_view::npos;
        return m_Text.find(c, from);
    }

private:
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    std::string_view m_Text;
};

constexpr char Months[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Days from 1970-01-01 to a proleptic Gregorian date, and back (month 1..12).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

constexpr const char* FacilityNames[16] = {
    "kernel messages",
    "user-level messages",
    "mail system",
    "system daemons",
    "security/authorization messages",
    "messages generated internally by syslogd",
    "line printer subsystem",
    "network news subsystem",
    "UUCP subsystem",
    "clock daemon",
    "security/authorization messages",
    "FTP daemon",
    "NTP subsystem",
    "log audit",
    "log alert",
    "clock daemon",
};

constexpr const char* SeverityNames[8]
    = {"Emergency", "Alert", "Critical", "Error", "Warning", "Notice", "Informational", "Debug"};

// Runs the header grammar; facility and severity are set once the priority
// is read, whatever happens later.
bool ParseSteps(const TCursor& c, const TYearBase& base, THeader& h)
{
    if (c.At(0) != '<')
        return false;
    const std::int32_t priority = c.ReadInt(1);
    if (priority < 0)
        return false;
    const std::size_t close = c.Find('>', 1);
    if (close == std::string_view::npos)
        return false;
    h.facility = priority / 8;
    h.severity = priority % 8;

    std::size_t p = close + 1;
    int month = -1;
    for (int i = 0; i < 12; ++i) {
        if (c.At(p) == Months[i][0] && c.At(p + 1) == Months[i][1] && c.At(p + 2) == Months[i][2]) {
            month = i;
            break;
        }
    }
    if (month < 0)
        return false;
    p += 3;
    if (c.At(p) != ' ')
        return false;
    ++p;
    const bool oneDigitDay = c.At(p) == ' ';
    if (oneDigitDay)
        ++p;
    const std::int32_t day = c.ReadInt(p);
    if (day < 0)
        return false;
    p += oneDigitDay ? 1 : 2;

    if (c.At(p) != ' ')
        return false;
    ++p;
    const std::int32_t hour = c.ReadInt(p);
    p += 2;
    if (hour < 0 || c.At(p) != ':')
        return false;
    ++p;
    const std::int32_t minute = c.ReadInt(p);
    p += 2;
    if (minute < 0 || c.At(p) != ':')
        return false;
    ++p;
    const std::int32_t second = c.ReadInt(p);
    p += 2;
    if (second < 0 || c.At(p) != ' ')
        return false;
    ++p;

    const std::size_t hostEnd = c.Find(' ', p);
    if (hostEnd == std::string_view::npos)
        return false;

    h.timestamp = LocalDateTime(base.year, month, day, hour, minute, second);
    h.hostBegin = p;
    h.hostLength = hostEnd - p;
    h.messageBegin = hostEnd + 1;
    return true;
}

} // namespace

TYearBase TYearBase::Current()
{
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    TYearBase base;
    base.year = tm.tm_year + 1900;
    return base;
}

namespace {

// Civil day number and second of the day as local time, made UTC by the C
// library, which knows the zone's summer time.
TDateTime ConvertLocal(std::int64_t days, std::int64_t rest)
{
    std::int64_t y = 0;
    int m = 0, d = 0;
    CivilFromDays(days, y, m, d);
    if (y - 1900 < INT_MIN || y - 1900 > INT_MAX)
        return (days * 86400 + rest) * 1000;
    std::tm tm{};
    tm.tm_year = int(y - 1900);
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = int(rest / 3600);
    tm.tm_min = int(rest / 60 % 60);
    tm.tm_sec = int(rest % 60);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == std::time_t(-1) && tm.tm_year != 69)
        return (days * 86400 + rest) * 1000;
    return TDateTime(t) * 1000;
}

// The UTC offset of a local hour (hours since the epoch), in seconds.
struct THourOffset {
    std::int64_t hour = INT64_MIN;
    std::int64_t offset = 0;
    // One offset holds from two hours before the hour to two hours after
    // it: no summer-time change falls inside it, nor makes any of its times
    // occur twice, so every time of it converts with that offset. Else each
    // conversion goes to the C library.
    bool steady = false;
};

THourOffset ProbeHour(std::int64_t days, std::int64_t hourOfDay)
{
    THourOffset h;
    h.hour = days * 24 + hourOfDay;
    const std::int64_t start = ConvertLocal(days, hourOfDay * 3600) / 1000;
    h.offset = h.hour * 3600 - start;
    for (const std::int64_t probe : {start - 7200, start, start + 3599, start + 3599 + 7200}) {
        const std::time_t t = std::time_t(probe);
        std::tm tm{};
        if (!localtime_r(&t, &tm) || tm.tm_gmtoff != h.offset)
            return h;
    }
    h.steady = true;
    return h;
}

} // namespace

TDateTime LocalDateTime(int year, int month, std::int64_t day, std::int64_t hour, std::int64_t minute,
    std::int64_t second)
{
    // Rolled over in 64 bits first (the fields may be far out of range).
    const std::int64_t seconds = (day - 1) * 86400 + hour * 3600 + minute * 60 + second;
    const std::int64_t days = DaysFromCivil(year, month + 1, 1) + FloorDiv(seconds, 86400);
    const std::int64_t rest = seconds - FloorDiv(seconds, 86400) * 86400;
    // Each local hour asks the C library once: its UTC offset is kept while
    // the zone setting stays, in a few slots for senders whose clocks differ.
    struct TZoneHours {
        bool zoneSet = false;
        std::string zone;
        std::array<THourOffset, 16> hours;
    };
    thread_local TZoneHours cache;
    const char* zone = std::getenv("TZ");
    if (cache.zoneSet != (zone != nullptr) || (zone && cache.zone != zone)) {
        cache.zoneSet = zone != nullptr;
        cache.zone = zone ? zone : "";
        cache.hours = {};
    }
    const std::int64_t localHour = days * 24 + rest / 3600;
    THourOffset& slot = cache.hours[std::size_t(localHour) % cache.hours.size()];
    if (slot.hour != localHour)
        slot = ProbeHour(days, rest / 3600);
    if (!slot.steady)
        return ConvertLocal(days, rest);
    return (localHour * 3600 + rest % 3600 - slot.offset) * 1000;
}

std::string_view CutAtNul(std::string_view text)
{
    const void* nul = text.empty() ? nullptr : std::memchr(text.data(), '\0', text.size());
    if (nul)
        text = text.substr(0, static_cast<const char*>(nul) - text.data());
    return text;
}

THeader ParseHeader(std::string_view text, const TYearBase& base)
{
    THeader h;
    const TCursor cursor(CutAtNul(text));
    h.parsed = ParseSteps(cursor, base, h);
    if (!h.parsed) {
        if (h.facility >= NoFacility) {
            h.facility = DefaultFacility;
            h.severity = DefaultSeverity;
        }
        h.hostBegin = h.hostLength = h.messageBegin = 0;
    }
    return h;
}

bool ParseInto(std::string_view text, TSyslogListNode& node, const TYearBase& base, TDateTime now)
{
    text = CutAtNul(text);
    const THeader h = ParseHeader(text, base);
    node.facility = h.facility;
    node.severity = h.severity;
    if (h.parsed) {
        node.timestamp = h.timestamp;
        node.host.assign(text.substr(h.hostBegin, h.hostLength));
        node.message.assign(text.substr(h.messageBegin));
    } else {
        node.timestamp = now;
        node.message.assign(text);
    }
    return h.parsed;
}

const char* FacilityName(int facility)
{
    if (facility >= 0 && facility < 16)
        return FacilityNames[facility];
    return "local use";
}

const char* SeverityName(int severity)
{
    if (severity >= 0 && severity < 8)
        return SeverityNames[severity];
    return nullptr;
}

std::string AddressText(std::uint32_t address)
{
    char buf[16];
    char* p = buf;
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned octet = (address >> shift) & 0xFF;
        if (octet >= 100)
            *p++ = char('0' + octet / 100);
        if (octet >= 10)
            *p++ = char('0' + octet / 10 % 10);
        *p++ = char('0' + octet % 10);
        if (shift)
            *p++ = '.';
    }
    return std::string(buf, p);
}

TDateTime Now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace Syslog
