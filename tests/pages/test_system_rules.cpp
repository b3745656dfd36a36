#include "pages/rules/SystemRules.h"
#include "tests/common/Ip.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<uint32_t> Allocate(uint32_t begin, uint32_t end, uint32_t mask, int switches, TIpExtras exclude = {})
{
    TIpRangeAllocator allocator(begin, end, mask, exclude);
    std::vector<uint32_t> out;
    for (int i = 0; i < switches; ++i)
        out.push_back(allocator.Next().value_or(0));
    return out;
}

TEST(IpRange, SkipsTheGatewayAndRunsOutAtTheEnd)
{
    TIpExtras extras = RangeExtras(Ip(192, 168, 1, 1), Ip(192, 168, 1, 3), Ip(255, 255, 255, 0),
                                   {Ip(192, 168, 1, 2), 0, 0});
    EXPECT_EQ(extras.Gateway, Ip(192, 168, 1, 2));
    EXPECT_EQ(Allocate(Ip(192, 168, 1, 1), Ip(192, 168, 1, 3), Ip(255, 255, 255, 0), 3, extras),
              (std::vector<uint32_t>{Ip(192, 168, 1, 1), Ip(192, 168, 1, 3), 0}));
}

TEST(IpRange, NeverWrapsPastTheTopNorHandsOutAddressesBelowTheBegin)
{
    // An unparsable "IP End" reads as 255.255.255.255.
    auto got = Allocate(Ip(223, 255, 255, 252), 0xFFFFFFFF, Ip(255, 255, 255, 0), 6);
    EXPECT_EQ(got, (std::vector<uint32_t>{Ip(223, 255, 255, 252), Ip(223, 255, 255, 253), Ip(223, 255, 255, 254),
                                          Ip(224, 0, 0, 1), Ip(224, 0, 0, 2), Ip(224, 0, 0, 3)}));
    got = Allocate(Ip(255, 255, 255, 250), 0xFFFFFFFF, Ip(255, 255, 255, 0), 8);
    EXPECT_EQ(got, (std::vector<uint32_t>{Ip(255, 255, 255, 250), Ip(255, 255, 255, 251), Ip(255, 255, 255, 252),
                                          Ip(255, 255, 255, 253), Ip(255, 255, 255, 254), 0, 0, 0}));
}

TEST(IpRange, ANarrowMaskEndsAtOnceAndLoopbackAndSubnetEdgesAreSkipped)
{
    // The whole address space under /31 and /32: no usable host, no long walk.
    EXPECT_EQ(Allocate(Ip(1, 0, 0, 0), Ip(254, 255, 255, 255), 0xFFFFFFFE, 2), (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(Allocate(Ip(1, 0, 0, 0), Ip(254, 255, 255, 255), 0xFFFFFFFF, 2), (std::vector<uint32_t>{0, 0}));
    // /30: two hosts per block of four.
    EXPECT_EQ(Allocate(Ip(10, 0, 0, 0), Ip(10, 0, 0, 8), 0xFFFFFFFC, 5),
              (std::vector<uint32_t>{Ip(10, 0, 0, 1), Ip(10, 0, 0, 2), Ip(10, 0, 0, 5), Ip(10, 0, 0, 6), 0}));
    // Across 127.0.0.0/8 in one step, and DNS servers are not handed out.
    EXPECT_EQ(Allocate(Ip(126, 255, 255, 254), Ip(128, 0, 0, 9), Ip(255, 0, 0, 0), 3, {0, Ip(128, 0, 0, 1), 0}),
              (std::vector<uint32_t>{Ip(126, 255, 255, 254), Ip(128, 0, 0, 2), Ip(128, 0, 0, 3)}));
}

TEST(IpRange, ExtrasOutsideTheSubnetOrNotHostsAreDropped)
{
    const uint32_t mask = Ip(255, 255, 255, 0);
    // The range spans two subnets: no gateway can serve it.
    EXPECT_EQ(RangeExtras(Ip(10, 0, 0, 1), Ip(10, 0, 1, 9), mask, {Ip(10, 0, 0, 254), 0, 0}).Gateway, 0u);
    TIpExtras manual = HostExtras(Ip(10, 0, 0, 5), mask, {Ip(10, 0, 1, 1), Ip(127, 0, 0, 1), Ip(8, 8, 8, 8)});
    EXPECT_EQ(manual.Gateway, 0u);
    EXPECT_EQ(manual.Dns1, 0u);
    EXPECT_EQ(manual.Dns2, Ip(8, 8, 8, 8));
    EXPECT_FALSE(IsValidIpRange(Ip(10, 0, 0, 9), Ip(10, 0, 0, 1), mask));
    EXPECT_FALSE(IsValidIpRange(Ip(10, 0, 0, 1), Ip(10, 0, 0, 9), Ip(255, 0, 255, 0)));
}

TEST(IpRange, NodeTextsShowThePlan)
{
    TIpPlan plan{false, Ip(10, 0, 0, 5), Ip(255, 255, 255, 0), {Ip(10, 0, 0, 1), Ip(10, 0, 0, 2), 0}};
    EXPECT_EQ(IpPlanText("00:11:22:33:44:55", true, plan),
              "00:11:22:33:44:55 => 10.0.0.5/255.255.255.0, gw = 10.0.0.1, dns1 = 10.0.0.2, dns2 = 0.0.0.0");
    plan.Dhcp = true;
    EXPECT_EQ(IpPlanText("00:11:22:33:44:55", false, plan), "00:11:22:33:44:55(Retrieve device info failed) => DHCP");
}

TEST(RefillThrottle, ARefillPutOffDuringThePeriodRunsWhenItEnds)
{
    TRefillThrottle throttle;
    EXPECT_TRUE(throttle.Request(3));
    EXPECT_FALSE(throttle.Request(3));
    EXPECT_FALSE(throttle.Request(3));
    EXPECT_TRUE(throttle.PeriodEnded()); // one trailing refill for both
    EXPECT_TRUE(throttle.Request(3));    // ... which starts a new period
    EXPECT_FALSE(throttle.PeriodEnded());
    // A change of the selection, or a single switch, always refills.
    EXPECT_TRUE(throttle.Request(3));
    EXPECT_TRUE(throttle.Request(2));
    EXPECT_TRUE(throttle.Request(1));
    EXPECT_TRUE(throttle.Request(1));
}

TEST(WallClock, SecondsCountTheWallClockWithoutZoneAndClampToTheField)
{
    EXPECT_EQ(WallClockSeconds({2026, 3, 29, 2, 30, 0}), 1774751400u);
    TWallClock back = WallClockOf(1774751400);
    EXPECT_EQ(back.Year, 2026);
    EXPECT_EQ(back.Month, 3);
    EXPECT_EQ(back.Day, 29);
    EXPECT_EQ(back.Hour, 2);
    EXPECT_EQ(back.Minute, 30);
    EXPECT_EQ(WallClockSeconds({2106, 2, 7, 6, 28, 15}), 0xFFFFFFFFu);
    EXPECT_EQ(WallClockSeconds({2200, 1, 1, 0, 0, 0}), 0xFFFFFFFFu);
    EXPECT_EQ(WallClockSeconds({1960, 1, 1, 0, 0, 0}), 0u);
    EXPECT_EQ(WallClockText(0), "1970/01/01 00:00:00");
    EXPECT_EQ(WallClockText(1774751400 + 59), "2026/03/29 02:30:59");
}

TEST(Sntp, ApplyRuleAndChangeInstants)
{
    EXPECT_TRUE(SntpApplyProblem(false, 0, true, 5, 5).empty());
    EXPECT_EQ(SntpApplyProblem(true, Ip(127, 0, 0, 1), false, 0, 0),
              "The SNTP server IP address is not a valid host address.");
    EXPECT_FALSE(SntpApplyProblem(true, Ip(10, 0, 0, 1), true, 1000, 1000).empty());
    EXPECT_TRUE(SntpApplyProblem(true, Ip(10, 0, 0, 1), true, 1000, 1001).empty());
    EXPECT_TRUE(SntpApplyProblem(true, Ip(10, 0, 0, 1), false, 1000, 1000).empty());
    EXPECT_TRUE(ReachedInstant(99, 100, 100));
    EXPECT_FALSE(ReachedInstant(100, 101, 100));
    EXPECT_TRUE(ReachedInstant(98, 101, 100)); // a late tick does not miss it
}

TEST(SystemInput, PoolProvisionAndPasswordRules)
{
    const uint32_t mask = Ip(255, 255, 255, 0);
    EXPECT_EQ(DhcpPoolProblem(Ip(192, 168, 0, 10), Ip(192, 168, 0, 10), mask),
              "The start IP address must be below the end IP address.");
    EXPECT_TRUE(DhcpPoolProblem(Ip(192, 168, 0, 10), Ip(192, 168, 0, 11), mask).empty());
    EXPECT_FALSE(DhcpPoolProblem(Ip(192, 168, 0, 10), Ip(192, 168, 0, 11), 0).empty());
    EXPECT_EQ(HostOrZero(Ip(127, 0, 0, 1)), 0u);
    EXPECT_EQ(HostOrZero(0xFFFFFFFF), 0u);

    EXPECT_FALSE(IsProvisionHalfAcceptable(true, Ip(10, 0, 0, 1), ""));
    EXPECT_TRUE(IsProvisionHalfAcceptable(true, Ip(10, 0, 0, 1), "a"));
    EXPECT_FALSE(IsProvisionHalfAcceptable(true, 0, "a"));
    EXPECT_TRUE(IsProvisionHalfAcceptable(false, 0, ""));

    EXPECT_FALSE(IsPasswordAcceptable("admin", "Secret", "secret"));
    EXPECT_FALSE(IsPasswordAcceptable("admin", "", ""));
    EXPECT_FALSE(IsPasswordAcceptable("", "x", "x"));
    EXPECT_TRUE(IsPasswordAcceptable("admin", "Secret", "Secret"));
}

TEST(SystemInput, VersionTexts)
{
    EXPECT_EQ(VersionText(0x0A05), "v10.05");
    EXPECT_EQ(VersionText(0x0102), "v1.02");
    EXPECT_EQ(HardwareVersionText(0x01020304), "v1.02(MPCB), v3.04(APCB)");
}

} // namespace
