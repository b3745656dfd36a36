#include "pages/rules/VlanRules.h"

#include <gtest/gtest.h>

namespace {

using TVids = std::vector<std::uint16_t>;

TVids Parse(std::string_view text)
{
    TVids vids{999};
    EXPECT_TRUE(ParseTaggedVids(text, vids)) << text;
    return vids;
}

TEST(TaggedVids, CommasBlanksTabsAndTheirRunsSeparateAlike)
{
    for (std::string_view text : {"2,3,4", "2 3 4", " ,2,\t, 3\t\t4,, "})
        EXPECT_EQ(Parse(text), (TVids{2, 3, 4})) << text;
    EXPECT_EQ(Parse("4094,1,1"), (TVids{4094, 1, 1}));  // order and duplicates kept
    EXPECT_EQ(Parse("12abc +7"), (TVids{12, 7}));        // a number reads from the piece's start
    EXPECT_EQ(Parse(""), TVids{});
    EXPECT_EQ(Parse(" ,\t"), TVids{});
}

TEST(TaggedVids, AnyPieceOutsideTheVlanRangeRejectsTheTextAndLeavesTheOutput)
{
    for (std::string_view text : {"0", "2,4095", "-1", "65537", "99999999999999999999", "abc", "5,x7", "-", "+"}) {
        TVids vids{9};
        EXPECT_FALSE(ParseTaggedVids(text, vids)) << text;
        EXPECT_EQ(vids, TVids{9});
    }
}

TEST(VlanPortRows, ThePortsBitsInTheTableGiveItsTypeAndVlans)
{
    Intp::TPropertyVlan8021qPort table;
    table.hybridPorts = 1u << 2;
    table.entries = {{1, 0b0111, 0}, {10, 0b0010, 0b0110}, {20, 0, 0b0100}, {30, 1u << 31, 1u << 31}};
    auto row = [&](int port) {
        TVlanPortRow r = VlanPortRowOf(table, port);
        return std::tuple(r.type, r.untagged, r.tagged);
    };
    EXPECT_EQ(row(0), std::tuple(int(Intp::vlAccess), 1, std::string()));
    EXPECT_EQ(row(1), std::tuple(int(Intp::vl8021q), 10, std::string("10")));  // the later untagged entry wins
    EXPECT_EQ(row(2), std::tuple(int(Intp::vlHybrid), 1, std::string("10,20")));
    EXPECT_EQ(row(3), std::tuple(int(Intp::vlAccess), 1, std::string()));  // a member of no VLAN
    EXPECT_EQ(row(31), std::tuple(int(Intp::vl8021q), 30, std::string("30")));
    EXPECT_EQ(row(63), std::tuple(int(Intp::vlAccess), 1, std::string()));  // never port 31's bit
}

TEST(VlanPortRows, OnlyATrunkPortWithoutTaggedVlansLacksThem)
{
    EXPECT_TRUE(LacksTaggedVlan({0, Intp::vl8021q, 1, " ,"}));
    EXPECT_TRUE(LacksTaggedVlan({0, Intp::vlHybrid, 1, ""}));
    EXPECT_FALSE(LacksTaggedVlan({0, Intp::vlAccess, 1, ""}));
    EXPECT_FALSE(LacksTaggedVlan({0, Intp::vl8021q, 1, "4095"}));  // told on Apply instead
}

TEST(VlanPortWords, RowsBecomeWordListsUnderSevenHundredWordsNeverSplittingARow)
{
    TUVecList lists;
    ASSERT_TRUE(BuildPortWords({{3, Intp::vl8021q, 1, "10 20"}, {0, Intp::vlAccess, 5, ""}}, lists));
    EXPECT_EQ(lists, (TUVecList{{0x0301, 1, 10, 20, 0, 0x0000, 5, 0}}));

    // 24 ports of 40 tagged VLANs: 43 words a row, 16 rows (688 words) a list.
    std::string forty;
    for (int vid = 100; vid < 140; ++vid)
        forty += std::to_string(vid) + ",";
    std::vector<TVlanPortRow> rows;
    for (int port = 0; port < 24; ++port)
        rows.push_back({port, Intp::vlHybrid, 1, forty});
    ASSERT_TRUE(BuildPortWords(rows, lists));
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].size(), 16u * 43);
    EXPECT_EQ(lists[1].size(), 8u * 43);
    EXPECT_EQ(lists[1][0], 16 << 8 | Intp::vlHybrid);
    EXPECT_EQ(lists[1].back(), 0);

    // A row of 700 words or more travels alone, and no list is empty.
    std::string many;
    for (int i = 0; i < 700; ++i)
        many += "7 ";
    ASSERT_TRUE(BuildPortWords({{0, Intp::vl8021q, 1, many}, {1, Intp::vlAccess, 1, ""}}, lists));
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].size(), 703u);
    EXPECT_EQ(lists[1], (std::vector<std::uint16_t>{0x0100, 1, 0}));

    EXPECT_FALSE(BuildPortWords({{0, Intp::vl8021q, 1, "4095"}}, lists));
    EXPECT_EQ(lists.size(), 2u);
}

TEST(VlanPortText, NamesTheMaskedPortsButNeverAHiddenOne)
{
    const std::vector<std::string> names{"Port.01", "Port.XX", "Uplink", "Port.04"};
    Intp::TPropertyPortConfig config{true, 4, {{0}, {1}, {2}, {3}}};
    EXPECT_EQ(PortMaskText(0b1111, config, names), "Port.01, Uplink, Port.04");
    EXPECT_EQ(PortMaskText(0b0010, config, names), "");
    EXPECT_EQ(PortMaskText(0xFFFFFFF0, config, names), "");  // bits beyond the ports
}

}  // namespace
