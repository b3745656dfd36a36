#include "console/GroupPlan.h"
#include "tests/common/Ip.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

constexpr uint32_t Mask24 = 0xFFFFFF00;

TEST(AddressPlan, ThreeSwitchesTakeTheFirstAddressesOfTheRangeFromTheTop)
{
    EXPECT_EQ(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 20), Mask24, 3),
              (std::vector<uint32_t>{Ip(10, 0, 0, 10), Ip(10, 0, 0, 11), Ip(10, 0, 0, 12)}));
    // Exactly as many addresses as switches is enough.
    EXPECT_EQ(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 12), Mask24, 3).size(), 3u);
}

TEST(AddressPlan, RefusesOneAddressRangesTooFewAddressesAndInvalidInput)
{
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 10), Mask24, 1).empty());
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 20), Ip(10, 0, 0, 10), Mask24, 1).empty());
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 11), Mask24, 3).empty());
    EXPECT_TRUE(PlanAddresses(0, Ip(10, 0, 0, 11), Mask24, 1).empty());
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 10), 0xFFFFFFFF, Mask24, 1).empty());
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 20), 0xFF00FF00, 1).empty());
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 20), Mask24, 0).empty());
}

TEST(AddressPlan, SkipsNetworkAndBroadcastAddressesOfEverySubnetItCrosses)
{
    // .254, then .255 (broadcast) and .1.0 (network) are left out.
    EXPECT_EQ(PlanAddresses(Ip(10, 0, 0, 254), Ip(10, 0, 1, 10), Mask24, 3),
              (std::vector<uint32_t>{Ip(10, 0, 0, 254), Ip(10, 0, 1, 1), Ip(10, 0, 1, 2)}));
    // A range from the network address starts at the first host.
    EXPECT_EQ(PlanAddresses(Ip(10, 0, 0, 0) + 1, Ip(10, 0, 0, 3), 0xFFFFFFFC, 2),
              (std::vector<uint32_t>{Ip(10, 0, 0, 1), Ip(10, 0, 0, 2)}));
    // .0 to .255 of a /24 holds 254 hosts, not 256.
    EXPECT_EQ(PlanAddresses(Ip(10, 0, 0, 1), Ip(10, 0, 0, 255), Mask24, 254).size(), 254u);
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 1), Ip(10, 0, 0, 255), Mask24, 255).empty());
    // Under /31 and /32 no address is a host's; the walk does not visit the range.
    EXPECT_TRUE(PlanAddresses(Ip(1, 0, 0, 1), Ip(254, 0, 0, 1), 0xFFFFFFFF, 2).empty());
    EXPECT_TRUE(PlanAddresses(Ip(1, 0, 0, 1), Ip(254, 0, 0, 1), 0xFFFFFFFE, 2).empty());
}

TEST(AddressPlan, NeverWrapsPastTheTopAndNeverRepeatsAnAddress)
{
    // The top of the address space: .254 is the last host; nothing wraps to 0.x.
    const uint32_t top = 0xFFFFFFFE;
    const auto last = PlanAddresses(top - 13, top, 0xFFFFFFF0, 14);
    ASSERT_EQ(last.size(), 14u);
    EXPECT_EQ(last.front(), top - 13);
    EXPECT_EQ(last.back(), top);
    EXPECT_TRUE(PlanAddresses(top - 13, top, 0xFFFFFFF0, 15).empty());
    // The whole space under a /8: many switches, every address once.
    const auto plan = PlanAddresses(Ip(1, 0, 0, 1), top, 0xFF000000, 70000);
    ASSERT_EQ(plan.size(), 70000u);
    EXPECT_EQ(std::set<uint32_t>(plan.begin(), plan.end()).size(), plan.size());
    EXPECT_TRUE(std::is_sorted(plan.begin(), plan.end()));
}

TEST(AddressPlan, LeavesOutAddressesInUseAndTheGateway)
{
    const std::vector<uint32_t> taken{Ip(10, 0, 0, 11), Ip(10, 0, 0, 1)};
    EXPECT_EQ(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 13), Mask24, 3, taken),
              (std::vector<uint32_t>{Ip(10, 0, 0, 10), Ip(10, 0, 0, 12), Ip(10, 0, 0, 13)}));
    EXPECT_TRUE(PlanAddresses(Ip(10, 0, 0, 10), Ip(10, 0, 0, 12), Mask24, 3, taken).empty());
}

std::string Letters(const std::vector<char>& rows) { return std::string(rows.begin(), rows.end()); }

TEST(RowMoves, MovesAreOfferedOnlyWhereTheRowCanGo)
{
    EXPECT_EQ(MovedRowIndex(0, 4, rmTop), -1);
    EXPECT_EQ(MovedRowIndex(0, 4, rmUp), -1);
    EXPECT_EQ(MovedRowIndex(0, 4, rmBottom), 3);
    EXPECT_EQ(MovedRowIndex(2, 4, rmUp), 1);
    EXPECT_EQ(MovedRowIndex(2, 4, rmDown), 3);
    EXPECT_EQ(MovedRowIndex(3, 4, rmDown), -1);
    EXPECT_EQ(MovedRowIndex(3, 4, rmBottom), -1);
    EXPECT_EQ(MovedRowIndex(-1, 4, rmTop), -1);
    EXPECT_EQ(MovedRowIndex(0, 1, rmBottom), -1);
}

// The switches move; the planned addresses stay with the positions, so the
// top switch moved to the bottom takes the last address and every other one
// the address one below its former one.
TEST(RowMoves, TopToBottomShiftsTheOthersUpAndBackRestoresTheOrder)
{
    std::vector<char> rows{'a', 'b', 'c', 'd'};
    MoveRow(rows, 0, MovedRowIndex(0, 4, rmBottom));
    EXPECT_EQ(Letters(rows), "bcda");
    MoveRow(rows, 3, MovedRowIndex(3, 4, rmTop));
    EXPECT_EQ(Letters(rows), "abcd");
    MoveRow(rows, 1, MovedRowIndex(1, 4, rmDown));
    EXPECT_EQ(Letters(rows), "acbd");
    MoveRow(rows, 2, 7); // out of range: nothing moves
    EXPECT_EQ(Letters(rows), "acbd");
}

TEST(RowMoves, MovingBetweenListsReversesTheMovedRowsAndSelectsThem)
{
    std::vector<char> left{'a', 'b', 'c', 'd'}, right{'x'};
    EXPECT_EQ(MoveSelectedRows(left, right, {3, 0, 2, 2}), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Letters(right), "xdca");
    EXPECT_EQ(Letters(left), "b");
    EXPECT_TRUE(MoveSelectedRows(left, right, {}).empty());
    EXPECT_EQ(Letters(left), "b");
}

} // namespace
