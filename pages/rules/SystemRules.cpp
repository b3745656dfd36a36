#include "pages/rules/SystemRules.h"

#include "intp/NetUtils.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

uint32_t HostOrZero(uint32_t address) { return IsValidHostIp(address) ? address : 0; }

bool IsValidIpRange(uint32_t begin, uint32_t end, uint32_t mask) { return begin <= end && IsValidNetmask(mask); }

namespace {

bool InSubnet(uint32_t a, uint32_t b, uint32_t mask) { return ((a ^ b) & mask) == 0; }

} // namespace

TIpExtras RangeExtras(uint32_t begin, uint32_t end, uint32_t mask, const TIpExtras& typed)
{
    TIpExtras extras;
    if (InSubnet(begin, end, mask) && IsValidHostIp(typed.Gateway) && InSubnet(typed.Gateway, begin, mask))
        extras.Gateway = typed.Gateway;
    extras.Dns1 = HostOrZero(typed.Dns1);
    extras.Dns2 = HostOrZero(typed.Dns2);
    return extras;
}

TIpExtras HostExtras(uint32_t address, uint32_t mask, const TIpExtras& typed)
{
    TIpExtras extras;
    if (IsValidHostIp(typed.Gateway) && InSubnet(typed.Gateway, address, mask))
        extras.Gateway = typed.Gateway;
    extras.Dns1 = HostOrZero(typed.Dns1);
    extras.Dns2 = HostOrZero(typed.Dns2);
    return extras;
}

// ---------------------------------------------------------------------------
// TIpRangeAllocator

TIpRangeAllocator::TIpRangeAllocator(uint32_t begin, uint32_t end, uint32_t mask, const TIpExtras& exclude)
    : m_Candidate(begin), m_End(end), m_Mask(mask), m_Exclude(exclude)
{
    // Under a /31 or /32 mask every host part is all zeros or all ones.
    if (~mask <= 1u)
        m_Candidate = m_End + 1;
}

bool TIpRangeAllocator::IsExcluded(uint32_t address) const
{
    return address == m_Exclude.Gateway || address == m_Exclude.Dns1 || address == m_Exclude.Dns2;
}

std::optional<uint32_t> TIpRangeAllocator::Next()
{
    // The candidate is 64 bits wide so that stepping past 255.255.255.255
    // ends the range instead of starting again at 0. Each step below skips
    // one address except the loopback jump, so a call takes a few steps.
    while (m_Candidate <= m_End) {
        uint32_t address = uint32_t(m_Candidate);
        uint32_t host = address & ~m_Mask;
        if ((address >> 24) == 127) {
            m_Candidate = uint64_t(128) << 24;
            continue;
        }
        if (host == 0 || host == ~m_Mask || !IsValidHostIp(address) || IsExcluded(address)) {
            ++m_Candidate;
            continue;
        }
        m_Candidate = uint64_t(address) + 1;
        return address;
    }
    return std::nullopt;
}

std::string IpPlanText(std::string_view mac, bool recordValid, const TIpPlan& plan)
{
    std::string text(mac);
    if (!recordValid)
        text += "(Retrieve device info failed)";
    if (plan.Dhcp)
        return text + " => DHCP";
    text += " => " + IpToString(plan.Ip);
    text += "/" + IpToString(plan.Netmask);
    text += ", gw = " + IpToString(plan.Extras.Gateway);
    text += ", dns1 = " + IpToString(plan.Extras.Dns1);
    text += ", dns2 = " + IpToString(plan.Extras.Dns2);
    return text;
}

// ---------------------------------------------------------------------------
// TRefillThrottle

bool TRefillThrottle::Request(int count)
{
    if (count > 1 && count == m_LastCount && m_Running) {
        m_Pending = true;
        return false;
    }
    m_Running = true;
    m_Pending = false;
    m_LastCount = count;
    return true;
}

bool TRefillThrottle::PeriodEnded()
{
    m_Running = false;
    bool pending = m_Pending;
    m_Pending = false;
    return pending;
}

// ---------------------------------------------------------------------------

// Time

uint32_t WallClockSeconds(const TWallClock& clock)
{
    using namespace std::chrono;
    const sys_days day = year{clock.Year} / month{unsigned(clock.Month)} / std::chrono::day{unsigned(clock.Day)};
    int64_t seconds = int64_t(day.time_since_epoch().count()) * 86400 + int64_t(clock.Hour) * 3600 +
                      int64_t(clock.Minute) * 60 + clock.Second;
    return uint32_t(std::clamp<int64_t>(seconds, 0, 0xFFFFFFFF));
}

TWallClock WallClockOf(int64_t seconds)
{
    using namespace std::chrono;
    const sys_seconds instant{std::chrono::seconds{seconds}};
    const sys_days day = floor<days>(instant);
    const year_month_day date{day};
    const hh_mm_ss<std::chrono::seconds> time{instant - day};
    TWallClock clock;
    clock.Year = int(date.year());
    clock.Month = int(unsigned(date.month()));
    clock.Day = int(unsigned(date.day()));
    clock.Hour = int(time.hours().count());
    clock.Minute = int(time.minutes().count());
    clock.Second = int(time.seconds().count());
    return clock;
}

std::string WallClockText(int64_t seconds)
{
    const TWallClock c = WallClockOf(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", c.Year, c.Month, c.Day, c.Hour, c.Minute,
                  c.Second);
    return text;
}

std::string SntpApplyProblem(bool sntp, uint32_t server, bool daylight, uint32_t begin, uint32_t end)
{
    if (!sntp)
        return {};
    if (!IsValidHostIp(server))
        return "The SNTP server IP address is not a valid host address.";
    if (daylight && end <= begin)
        return "The daylight saving period must end after it begins.";
    return {};
}

bool ReachedInstant(int64_t previous, int64_t now, int64_t instant)
{
    return previous < instant && instant <= now;
}

// ---------------------------------------------------------------------------

std::string DhcpPoolProblem(uint32_t start, uint32_t end, uint32_t mask)
{
    if (!IsValidHostIp(start))
        return "The start IP address is not a valid host address.";
    if (!IsValidHostIp(end))
        return "The end IP address is not a valid host address.";
    if (!IsValidNetmask(mask))
        return "The subnet mask is not a valid netmask.";
    if (start >= end)
        return "The start IP address must be below the end IP address.";
    return {};
}

bool IsProvisionHalfAcceptable(bool enabled, uint32_t server, std::string_view file)
{
    return !enabled || (IsValidHostIp(server) && !file.empty());
}

bool IsPasswordAcceptable(std::string_view user, std::string_view password, std::string_view confirm)
{
    return !user.empty() && !password.empty() && confirm == password;
}

std::string VersionText(uint16_t version)
{
    char text[16];
    std::snprintf(text, sizeof text, "v%d.%02d", version >> 8, version & 0xFF);
    return text;
}

std::string HardwareVersionText(uint32_t version)
{
    char text[48];
    std::snprintf(text, sizeof text, "v%d.%02d(MPCB), v%d.%02d(APCB)", int(version >> 24), int((version >> 16) & 0xFF),
                  int((version >> 8) & 0xFF), int(version & 0xFF));
    return text;
}
