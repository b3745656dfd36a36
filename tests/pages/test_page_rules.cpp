#include "pages/rules/PageRules.h"

#include "intp/Device.h"
#include "tests/common/Ip.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(IpInput, EmptyTextReadsAsZeroAndGarbageAsAllOnes)
{
    EXPECT_EQ(ReadIpText(""), 0u);
    EXPECT_EQ(ReadIpText("   "), 0u);
    EXPECT_EQ(ReadIpText("not an address"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadIpText("192.168.1.300"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadIpText("192.168.1.20"), Ip(192, 168, 1, 20));
    // Only four decimal parts are an address.
    for (const char* bad : {"99999", "10.1", "10.0.0.1.", "0x0A.0.0.1", "1.2.3.4x", "1..2.3", "0001.2.3.4"})
        EXPECT_EQ(ReadIpText(bad), 0xFFFFFFFFu) << bad;
    EXPECT_EQ(ReadIpText(" 010.0.0.001 "), Ip(10, 0, 0, 1));
}

// The address and netmask rules themselves are the host library's (tested there).
TEST(IpInput, AFieldPairNeedsAHostAndAMaskAndSubnetsCompareUnderTheMask)
{
    EXPECT_TRUE(IsHostWithMask(Ip(10, 0, 0, 1), Ip(255, 0, 0, 0)));
    EXPECT_FALSE(IsHostWithMask(Ip(10, 0, 0, 1), 0));
    EXPECT_FALSE(IsHostWithMask(Ip(127, 0, 0, 1), Ip(255, 0, 0, 0)));
    EXPECT_TRUE(IsSameSubnet(Ip(192, 168, 1, 1), Ip(192, 168, 1, 254), Ip(255, 255, 255, 0)));
    EXPECT_FALSE(IsSameSubnet(Ip(192, 168, 1, 1), Ip(192, 168, 2, 1), Ip(255, 255, 255, 0)));
}

TEST(MacInput, TakesExactlyTwelveDigitsWithoutSeparatorsAndARejectedTextLeavesTheOutputUntouched)
{
    uint8_t mac[6] = {1, 2, 3, 4, 5, 6};
    for (const char* bad : {"00112233445Z", "001a2b3c4d5", "001a2b3c4d5e0", "00:1a:2b:3c:4d:5e", "00-1A-2B-3C-4D-5E",
                            "00.1a.2b.3c.4d.5e", " 001a2b3c4d5e"})
        EXPECT_FALSE(ReadMacText(bad, mac)) << bad;
    const uint8_t kept[6] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(std::memcmp(mac, kept, 6), 0);

    ASSERT_TRUE(ReadMacText("001a2B3c4D5e", mac));
    const uint8_t expected[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(std::memcmp(mac, expected, 6), 0);
    EXPECT_EQ(Intp::TMacAddr(mac).ToString(), "00:1A:2B:3C:4D:5E");
}

TEST(MacKey, RoundTripsEveryByteAndOrdersAsTheBytesDo)
{
    const Intp::TMacAddr high(0xFF, 0xFE, 0x80, 0x01, 0x00, 0x7F);
    const Intp::TMacAddr low(0xFF, 0xFE, 0x80, 0x00, 0xFF, 0xFF);
    EXPECT_EQ(MacOfKey(MacKey(high)), high);
    EXPECT_EQ(MacOfKey(MacKey(low)), low);
    EXPECT_GT(MacKey(high), MacKey(low));
    EXPECT_GT(MacKey(low), 0);
}

TEST(NumberInput, ReadsDecimalWithinRangeOnly)
{
    long long value = -1;
    EXPECT_TRUE(ReadNumber("4094", 0, 4094, value));
    EXPECT_EQ(value, 4094);
    EXPECT_FALSE(ReadNumber("4095", 0, 4094, value));
    EXPECT_FALSE(ReadNumber("-1", 0, 4094, value));
    EXPECT_TRUE(ReadNumber("-1", -5, 5, value));
    EXPECT_EQ(value, -1);
    EXPECT_FALSE(ReadNumber("", 0, 10, value));
    EXPECT_FALSE(ReadNumber("1 ", 0, 10, value));
    EXPECT_FALSE(ReadNumber("0x10", 0, 100, value));
    EXPECT_FALSE(ReadNumber("+", 0, 100, value));
}

TEST(NumberInput, HugeDigitRunsAreRejectedNotWrapped)
{
    long long value = 7;
    EXPECT_FALSE(ReadNumber("99999999999999999999999999", 0, 100, value));
    EXPECT_FALSE(ReadNumber("18446744073709551617", 0, 100, value));
    EXPECT_EQ(value, 7);
}

TEST(FixedText, CutsToTheFieldAndZeroPadsTheRest)
{
    char field[8];
    std::memset(field, 'x', sizeof field);
    CopyFixedText(field, sizeof field, "abc");
    EXPECT_EQ(std::memcmp(field, "abc\0\0\0\0\0", 8), 0);

    char full[4];
    CopyFixedText(full, sizeof full, "abcdef");
    EXPECT_EQ(std::memcmp(full, "abcd", 4), 0);  // no terminator when the text fills it
}

TEST(PortRules, HiddenPortIsExactlyPortXX)
{
    EXPECT_TRUE(IsHiddenPort("Port.XX"));
    EXPECT_FALSE(IsHiddenPort("Port.xx"));
    EXPECT_FALSE(IsHiddenPort("Port.XX "));
    EXPECT_FALSE(IsHiddenPort("Port.01"));
    EXPECT_EQ(PortCaption(3), "Port.03");
    EXPECT_EQ(PortCaption(12), "Port.12");
    EXPECT_EQ(TrunkCaption(1), "Trunk.01");
}

TEST(PortRules, MasksNeverReachPastBit31)
{
    EXPECT_TRUE(FitsPortMask(32));
    EXPECT_FALSE(FitsPortMask(33));
    EXPECT_EQ(MaskWithPort(0, 31, true), 0x80000000u);
    EXPECT_EQ(MaskWithPort(0, 32, true), 0u);
    EXPECT_EQ(MaskWithPort(0xFFFFFFFF, -1, false), 0xFFFFFFFFu);
    EXPECT_TRUE(MaskHasPort(0x80000000u, 31));
    EXPECT_FALSE(MaskHasPort(0xFFFFFFFFu, 32));
}

TEST(EditedRows, HeaderStepWrapsModuloTheChoices)
{
    EXPECT_EQ(NextChoice(2, 3), 0);  // "Asymmetric" -> "Disable"
    EXPECT_EQ(NextChoice(6, 7), 0);  // "10 Half" -> "Auto Negotiation"
    EXPECT_EQ(NextChoice(0, 2), 1);
    EXPECT_EQ(NextChoice(1, 2), 0);
    EXPECT_EQ(NextChoice(5, 0), 0);
}

TEST(ListCompare, ComparesNumbersWithoutOverflow) { EXPECT_EQ(Compare3(1u, 0xFFFFFFFFu), -1); }

}  // namespace
