// Port security and multicast filter tables: golden bytes of every Add and
// Del, and the decoders' rejections.

#include <gtest/gtest.h>

#include <vector>

#include "intp/SecurityMultiFilter.h"
#include "intp/SecurityTables.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using TBytes = std::vector<uint8_t>;

// A page: the prefix, then the entries as the switch sends them.
template <class R> TBytes Page(const std::vector<typename decltype(R::entries)::value_type>& entries, TBytes prefix)
{
    TBytes page = EncodeEntries(R::EntryFields, entries, TOrder::Wire, TMessage::Get);
    page.insert(page.begin(), prefix.begin(), prefix.end());
    return page;
}

class PortSecurity : public IntpTest::TDeviceTest {
protected:
    // 8 ports and 2 trunk groups: ports 0 to 9.
    void SetUp() override { MakeDevice(7, 0x0A000007, m_Host.AddModel("M8T2", 8, 2)); }
    const TPropertySecurityPort& Table() { return Property<TPropertySecurityPort>::Get(m_Device); }
    static TPropertySecurityPortEntry Entry(uint32_t port, uint8_t last) { return {port, TMacAddr(0, 0x11, 0x22, 0x33, 0x44, last)}; }
};

TEST_F(PortSecurity, AddSendsPortAndAddressDelTheAddressAloneThenEachReadsTheTable)
{
    auto* add = new TSessionSecurityPortAdd;
    add->SetPayload(Entry(9, 0x55));
    Started(add);
    auto* del = new TSessionSecurityPortDel;
    del->SetPayload(Entry(3, 0x66));
    Started(del);
    ASSERT_EQ(m_Host.sent.size(), 2u);
    EXPECT_EQ(m_Host.sent[0].payload, (TBytes{9, 0, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(m_Host.sent[1].payload, (TBytes{0, 0x11, 0x22, 0x33, 0x44, 0x66}));
    EXPECT_EQ(m_Host.sent[1].bytes.size(), 18u);

    m_Host.Reply(ccSecurityPortDel, m_Device, {0, 0, 0, 0}, 0x0009);
    EXPECT_EQ(m_Host.sent.back().code, ccSecurityPortGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccSecurityPortDel);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0009);

    // A port past the ports and trunk groups is not sent.
    auto* bad = new TSessionSecurityPortAdd;
    bad->SetPayload(Entry(10, 0x55));
    EXPECT_FALSE(bad->Start(m_Device));
    delete bad;
    EXPECT_EQ(m_Host.sent.size(), 3u);
}

TEST_F(PortSecurity, APortPastThePortsAndTrunkGroupsEmptiesTheWholeTableEvenOnAFullPage)
{
    std::vector<TPropertySecurityPortEntry> full(128, Entry(9, 1)); // the last trunk group: accepted
    Started(new TSessionSecurityPortGet);
    m_Host.Reply(ccSecurityPortGet, m_Device, Page<TPropertySecurityPort>(full, {0, 0, 0, 0}));
    EXPECT_TRUE(m_Host.notified.empty());
    EXPECT_EQ(Table().entries.size(), 128u);

    full[5].port = 10;
    m_Host.Reply(ccSecurityPortGet, m_Device, Page<TPropertySecurityPort>(full, {0, 0, 0, 0}));
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    EXPECT_FALSE(Table().valid);
    EXPECT_TRUE(Table().entries.empty());
    EXPECT_EQ(GetSessionCount(), 0u);

    Started(new TSessionSecurityPortGet);
    m_Host.Reply(ccSecurityPortGet, m_Device, Page<TPropertySecurityPort>({Entry(0, 1), Entry(9, 2)}, {1, 2, 3, 4}));
    ASSERT_TRUE(Table().valid);
    ASSERT_EQ(Table().entries.size(), 2u);
    EXPECT_EQ(Table().entries[1].port, 9u);
    EXPECT_EQ(Table().entries[1].mac, Entry(9, 2).mac);
}

class MulticastFilter : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(8, 0x0A000008); }
    const TPropertySecurityMultiFilter& Table() { return Property<TPropertySecurityMultiFilter>::Get(m_Device); }
    static TBytes Prefix(uint32_t ports) { return {0xEE, 0xEE, 0xEE, 0xEE, uint8_t(ports >> 24), uint8_t(ports >> 16), uint8_t(ports >> 8), uint8_t(ports)}; }
};

TEST_F(MulticastFilter, AddAndDelSendTheGroupBigEndianLikeEveryOtherField)
{
    const TPropertySecurityMultiFilterEntry entry{0x5, 0xEF010203, 5}; // ports 1 and 3, 239.1.2.3
    const TBytes wire = {0, 0, 0, 5, 0xEF, 1, 2, 3, 0, 5};
    auto* add = new TSessionSecurityMultiFilterAdd;
    add->SetPayload(entry);
    Started(add);
    auto* del = new TSessionSecurityMultiFilterDel;
    del->SetPayload(entry);
    Started(del);
    ASSERT_EQ(m_Host.sent.size(), 2u);
    EXPECT_EQ(m_Host.sent[0].payload, wire);
    EXPECT_EQ(m_Host.sent[1].payload, wire);
    EXPECT_EQ(m_Host.sent[1].bytes.size(), 22u);
    m_Host.Reply(ccSecurityMultiFilterAdd, m_Device);
    EXPECT_EQ(m_Host.sent.back().code, ccSecurityMultiFilterGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccSecurityMultiFilterAdd);
}

TEST_F(MulticastFilter, ThePrefixNamesThePortsWhichOutliveANewReadAndAnError)
{
    // Eight bytes: no entries, the ports.
    Started(new TSessionSecurityMultiFilterGet);
    m_Host.Reply(ccSecurityMultiFilterGet, m_Device, Prefix(0x0B));
    EXPECT_TRUE(Table().valid);
    EXPECT_TRUE(Table().entries.empty());
    EXPECT_EQ(Table().availablePorts, 0x0Bu);

    // A full page of 8 + 128 x 10 bytes waits; a short one ends the table.
    Started(new TSessionSecurityMultiFilterGet);
    EXPECT_EQ(Table().availablePorts, 0x0Bu);
    std::vector<TPropertySecurityMultiFilterEntry> full(128, {0x3, 0xE0000001, 4094});
    const TBytes page = Page<TPropertySecurityMultiFilter>(full, Prefix(0x0F));
    ASSERT_EQ(page.size(), 1288u);
    m_Host.Reply(ccSecurityMultiFilterGet, m_Device, page);
    EXPECT_FALSE(Table().valid);
    m_Host.Reply(ccSecurityMultiFilterGet, m_Device, Page<TPropertySecurityMultiFilter>({{0x80000000, 0xEF7F0001, 1}}, Prefix(0x0F)));
    ASSERT_TRUE(Table().valid);
    ASSERT_EQ(Table().entries.size(), 129u);
    EXPECT_EQ(Table().entries[0].vid, 4094u);
    EXPECT_EQ(Table().entries[128].group, 0xEF7F0001u);
    EXPECT_EQ(Table().entries[128].ports, 0x80000000u);
    EXPECT_EQ(Table().availablePorts, 0x0Fu);

    // An error status empties the table and keeps the ports; 7 bytes are short.
    Started(new TSessionSecurityMultiFilterGet);
    m_Host.Reply(ccSecurityMultiFilterGet, m_Device, Prefix(0x01), 0x0042);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0042);
    EXPECT_TRUE(Table().entries.empty());
    EXPECT_EQ(Table().availablePorts, 0x0Fu);
    Started(new TSessionSecurityMultiFilterGet);
    m_Host.Reply(ccSecurityMultiFilterGet, m_Device, TBytes(7, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
}

} // namespace
