#pragma once

// Rules of the system pages (IP configuration, time, DHCP server, auto
// provisioning, password, advanced settings). Plain functions and small
// classes without widgets.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// ---------------------------------------------------------------------------
// IP configuration planning

// The gateway and DNS servers planned together with an address.
struct TIpExtras {
    uint32_t Gateway = 0;
    uint32_t Dns1 = 0;
    uint32_t Dns2 = 0;
};

// A gateway or DNS server that is not a valid host address is dropped (0).
uint32_t HostOrZero(uint32_t address);

// "Auto Range": the begin is not above the end and the mask is a netmask.
bool IsValidIpRange(uint32_t begin, uint32_t end, uint32_t mask);
// The gateway stays only when the whole range lies in one subnet of the mask
// and the gateway is a host of that subnet; DNS servers must be hosts.
TIpExtras RangeExtras(uint32_t begin, uint32_t end, uint32_t mask, const TIpExtras& typed);
// "Manual": the gateway stays only when it is a host in the address's subnet.
TIpExtras HostExtras(uint32_t address, uint32_t mask, const TIpExtras& typed);

// Hands out the addresses of a range one switch after the other: hosts only,
// host part neither all zeros nor all ones, never the gateway or a DNS
// server. The walk never wraps past 255.255.255.255, never goes below the
// begin, and costs a few steps per address whatever the range and mask (a
// /31 or /32 mask has no usable host and ends at once).
class TIpRangeAllocator {
public:
    TIpRangeAllocator(uint32_t begin, uint32_t end, uint32_t mask, const TIpExtras& exclude);
    // The next free address; none when the range is used up.
    std::optional<uint32_t> Next();

private:
    bool IsExcluded(uint32_t address) const;

    uint64_t m_Candidate;
    uint64_t m_End;
    uint32_t m_Mask;
    TIpExtras m_Exclude;
};

// The text of a switch node of the IP configuration tree: its MAC, a note
// when its IP configuration was never read, then its settings.
struct TIpPlan {
    bool Dhcp = false;
    uint32_t Ip = 0;
    uint32_t Netmask = 0;
    TIpExtras Extras;
};
std::string IpPlanText(std::string_view mac, bool recordValid, const TIpPlan& plan);

// The 500 ms refill throttle of the IP configuration page: while several
// switches answer, the tree is rebuilt at most once a period; a refill asked
// for during the period is not dropped but runs when the period ends, so the
// tree never stays behind the last reply.
class TRefillThrottle {
public:
    // A refill is asked for with count selected devices: true to run it now
    // (the caller then starts the period), false when it was put off.
    bool Request(int count);
    // The period ended: true when a refill was put off and must run now.
    bool PeriodEnded();
    bool IsRunning() const { return m_Running; }

private:
    int m_LastCount = -1;
    bool m_Running = false;
    bool m_Pending = false;
};

// ---------------------------------------------------------------------------
// Time (SNTP)

// Seconds since 1970-01-01 00:00 of a wall-clock date and time, with no time
// zone applied (what the switch keeps). The field range is 1970-01-01 00:00:00
// to 2106-02-07 06:28:15; dates outside it are clamped.
struct TWallClock {
    int Year = 1970, Month = 1, Day = 1;
    int Hour = 0, Minute = 0, Second = 0;
};
uint32_t WallClockSeconds(const TWallClock& clock);
TWallClock WallClockOf(int64_t seconds);
// "yyyy/mm/dd hh:nn:ss"
std::string WallClockText(int64_t seconds);

// Why Apply is not allowed, or empty: it is when SNTP is off, or the server is
// a host address and, with daylight saving on, the period ends strictly after
// it begins.
std::string SntpApplyProblem(bool sntp, uint32_t server, bool daylight, uint32_t begin, uint32_t end);
// The live clock reached a daylight-saving change instant since its last tick
// (instant 0: unknown). Once a second this is the instant itself.
bool ReachedInstant(int64_t previous, int64_t now, int64_t instant);

// ---------------------------------------------------------------------------
// DHCP server, auto provisioning, password

// Why the pool is not valid, or empty: start and end are hosts, the mask a
// netmask, start below end.
std::string DhcpPoolProblem(uint32_t start, uint32_t end, uint32_t mask);
// One half of the auto provisioning: off, or a host server and a file name.
bool IsProvisionHalfAcceptable(bool enabled, uint32_t server, std::string_view file);
// A user name, a password and a confirmation equal to it (case matters).
bool IsPasswordAcceptable(std::string_view user, std::string_view password, std::string_view confirm);

// ---------------------------------------------------------------------------
// Switch settings

// "v%d.%02d" of a version word (major in the high byte).
std::string VersionText(uint16_t version);
// "v%d.%02d(MPCB), v%d.%02d(APCB)" of bytes 3, 2, 1 and 0.
std::string HardwareVersionText(uint32_t version);
