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
TBytes QPage(const std::vector<TPropertyVlan8021qPortEntry>& vlans)
{
    return Page(TPropertyVlan8021qPort::EntryFields, vlans);
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

TEST_F(Vlan, AModeAbove8021qIsRefusedAndLeavesTheStoredMode)
{
    Started(new TSessionVlanGet);
    m_Host.Reply(ccVlanGet, m_Device, {2});
    EXPECT_TRUE(Property<TPropertyVlan>::Get(m_Device).valid);
    Started(new TSessionVlanGet);
    m_Host.Reply(ccVlanGet, m_Device, {3});
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    EXPECT_FALSE(Property<TPropertyVlan>::Get(m_Device).valid);
    EXPECT_EQ(Property<TPropertyVlan>::Get(m_Device).mode, 2u);

    Started(new TSessionVlan8021qGet);
    m_Host.Reply(ccVlan8021qGet, m_Device, {7, 0x0F, 0xFF});
    const auto& q = Property<TPropertyVlan8021q>::Get(m_Device);
    EXPECT_TRUE(q.valid && q.gvrp);
    EXPECT_EQ(q.managementVid, 0x0FFFu);  // as received, no range check
}

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

TEST_F(Vlan, PortWordsWithoutAClosingZeroAreNeverSent)
{
    auto* set = new TSessionVlan8021qPortSet;
    const uint16_t open[] = {0x0301, 1, 10};
    set->SetEntries(open, 3);
    EXPECT_FALSE(set->Start(m_Device));
    const uint16_t closed[] = {0x0001, 1, 0};
    set->SetEntries(closed, 3);
    set->SetEntries(open, 3);  // ignored: the closed run stays
    ASSERT_TRUE(set->Start(m_Device));
    EXPECT_EQ(m_Host.LastSent().payload, (TBytes{0, 1, 0, 1, 0, 0}));
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

TEST_F(Vlan, TheVlanZeroEntryCarriesTheHybridPortsAndEveryReadResetsThem)
{
    Started(new TSessionVlan8021qPortGet);
    std::vector<TPropertyVlan8021qPortEntry> full;
    for (uint32_t vid = 1; vid <= 127; ++vid) full.push_back({vid, 1, 2});
    full.insert(full.begin() + 5, {0, 0xC, 0xFF});
    m_Host.Reply(ccVlan8021qPortGet, m_Device, QPage(full));
    EXPECT_TRUE(m_Host.notified.empty());  // 128 entries: a full page
    m_Host.Reply(ccVlan8021qPortGet, m_Device, QPage({{200, 4, 8}, {201, 0, 0}}));
    ASSERT_TRUE(QTable().valid);
    EXPECT_EQ(QTable().hybridPorts, 0xCu);
    ASSERT_EQ(QTable().entries.size(), 129u);
    EXPECT_EQ(QTable().entries[5].vid, 6u);
    EXPECT_EQ(QTable().entries[127].taggedPorts, 8u);

    Started(new TSessionVlan8021qPortGet);
    m_Host.Reply(ccVlan8021qPortGet, m_Device, QPage({{1, 3, 0}}));
    EXPECT_EQ(QTable().hybridPorts, 0u);
    EXPECT_EQ(QTable().entries.size(), 1u);
}

TEST_F(Vlan, GroupChangesNotifyTheTableFirstThenReadItAgain)
{
    Send<TSessionVlanPortAdd>(TPropertyVlanPortEntry{2, 1, "A"});
    m_Host.Clear();
    m_Host.Reply(ccVlanPortAdd, m_Device, {0, 0, 0, 0}, 0x0009);
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.notified[0].code, ccVlanPortGet);
    EXPECT_EQ(m_Host.notified[0].status, 0x0009);
    EXPECT_EQ(m_Host.notified[0].name, "VlanPortAdd");
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].code, ccVlanPortGet);
    m_Host.Reply(ccVlanPortGet, m_Device, {0, 0, 0, 0});
    EXPECT_EQ(m_Host.LastNotify().code, ccVlanPortGet);
    EXPECT_EQ(m_Host.notified.size(), 2u);

    // Failures before the reply is handled keep the request's own code.
    Send<TSessionVlanPortDel>(TPropertyVlanPortEntry{2, 0, ""});
    m_Host.Reply(ccVlanPortDel, m_Device, {0, 0});
    EXPECT_EQ(m_Host.LastNotify().code, ccVlanPortDel);
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
    Send<TSessionVlanPortEdit>(TPropertyVlanPortEntry{2, 0, "B"});
    ASSERT_TRUE(m_Host.TimeOut(m_Device, ccVlanPortEdit));
    EXPECT_EQ(m_Host.LastNotify().code, ccVlanPortEdit);

    // Other changes read again first, then notify their own code.
    Send<TSessionVlan8021qSet>(TPropertyVlan8021q{});
    m_Host.Clear();
    m_Host.Reply(ccVlan8021qSet, m_Device, {0, 0, 0, 0}, 0x0042);
    EXPECT_EQ(m_Host.LastSent().code, ccVlan8021qGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccVlan8021qSet);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0042);
}

}  // namespace
