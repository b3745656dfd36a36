#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intp/Vlan.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using TBytes = std::vector<uint8_t>;

// A table page: the 4 bytes that open it, then the entries.
template <class E, class L> TBytes Page(const L& fields, const std::vector<E>& entries)
{
    TBytes page(4, 0xEE);
    TBytes body = EncodeEntries(fields, entries);
    page.insert(page.end(), body.begin(), body.end());
    return page;
}
TBytes GroupPage(const std::vector<TPropertyVlanPortEntry>& groups)
{
    return Page(TPropertyVlanPort::EntryFields, groups);
}
std::vector<TPropertyVlanPortEntry> Groups(uint32_t first, size_t n)
{
    std::vector<TPropertyVlanPortEntry> groups;
    for (uint32_t vid = first; vid < first + n; ++vid) groups.push_back({vid, vid, "G" + std::to_string(vid)});
    return groups;
}

class Vlan : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(4, 0x0A000004); }
    const TPropertyVlanPort& GroupTable() { return Property<TPropertyVlanPort>::Get(m_Device); }
    const TPropertyVlan8021qPort& QTable() { return Property<TPropertyVlan8021qPort>::Get(m_Device); }
    template <class T, class P> void Send(const P& payload)
    {
        auto* set = new T;
        set->SetPayload(payload);
        Started(set);
    }
};

TEST_F(Vlan, EverySetSendsItsGoldenBytes)
{
    Send<TSessionVlanSet>(TPropertyVlan{false, vm8021q});
    EXPECT_EQ(m_Host.LastSent().payload, TBytes{2});
    Send<TSessionVlan8021qSet>(TPropertyVlan8021q{false, true, 4094});
    EXPECT_EQ(m_Host.LastSent().payload, (TBytes{1, 0x0F, 0xFE}));
    const TBytes group{0x00, 0x0A, 0x80, 0x00, 0x00, 0x05, 'S', 'i', 'x', 't', 'e', 'e', 'n', 'C',
                       'h', 'a', 'r', 's', 'N', 'a', 'm', 'e'};
    for (uint16_t code : {ccVlanPortAdd, ccVlanPortEdit}) {
        const TPropertyVlanPortEntry entry{10, 0x80000005, "SixteenCharsName"};
        if (code == ccVlanPortAdd) Send<TSessionVlanPortAdd>(entry);
        else Send<TSessionVlanPortEdit>(entry);
        EXPECT_EQ(m_Host.LastSent().code, code);
        EXPECT_EQ(m_Host.LastSent().payload, group);
    }
    Send<TSessionVlanPortDel>(TPropertyVlanPortEntry{4094, 1, "ignored"});
    EXPECT_EQ(m_Host.LastSent().payload, (TBytes{0x0F, 0xFE}));

    auto* ports = new TSessionVlan8021qPortSet;
    const uint16_t words[] = {0x0301, 1, 10, 20, 0};
    ports->SetEntries(words, 5);
    Started(ports);
    EXPECT_EQ(m_Host.LastSent().payload, (TBytes{0x03, 0x01, 0, 1, 0, 10, 0, 20, 0, 0}));
    EXPECT_EQ(m_Host.LastSent().bytes.size(), 22u);
}

TEST_F(Vlan, GroupsArriveInPagesAndABadEntryEmptiesTheWholeTable)
{
    Started(new TSessionVlanPortGet);
    m_Host.Clear();
    m_Host.Reply(ccVlanPortGet, m_Device, GroupPage(Groups(1, 32)));
    EXPECT_TRUE(m_Host.notified.empty());
    m_Host.Reply(ccVlanPortGet, m_Device, GroupPage(Groups(33, 5)));
    ASSERT_EQ(m_Host.notified.size(), 1u);
    ASSERT_TRUE(GroupTable().valid);
    EXPECT_EQ(GroupTable().entries.size(), 37u);
    EXPECT_EQ(GroupTable().entries[36].name, "G37");

    Started(new TSessionVlanPortGet);
    m_Host.Reply(ccVlanPortGet, m_Device, {0, 0, 0, 0});
    EXPECT_TRUE(GroupTable().valid && GroupTable().entries.empty());

    // A 16-character name has no terminator; VLAN 4094 is the last accepted.
    Started(new TSessionVlanPortGet);
    m_Host.Reply(ccVlanPortGet, m_Device, GroupPage({{4094, 3, "SixteenCharsName"}}));
    ASSERT_EQ(GroupTable().entries.size(), 1u);
    EXPECT_EQ(GroupTable().entries[0].name, "SixteenCharsName");

    using TCase = std::pair<TPropertyVlanPortEntry, uint16_t>;
    for (auto [bad, status] : {TCase{{4095, 1, "x"}, ssBadReply}, TCase{{0, 1, "x"}, ssBadReply},
                               TCase{{5, 1, ""}, ssBadEntry}}) {
        Started(new TSessionVlanPortGet);
        m_Host.Reply(ccVlanPortGet, m_Device, GroupPage(Groups(1, 32)));
        std::vector<TPropertyVlanPortEntry> page = Groups(40, 2);
        page.push_back(bad);
        m_Host.Reply(ccVlanPortGet, m_Device, GroupPage(page));
        EXPECT_EQ(m_Host.LastNotify().status, status);
        EXPECT_FALSE(GroupTable().valid);
        EXPECT_TRUE(GroupTable().entries.empty());
    }
}

}  // namespace
