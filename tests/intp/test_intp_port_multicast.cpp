// Port security and multicast filter tables: golden bytes of every Add and
// Del, and the decoders' rejections.

#include <gtest/gtest.h>

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

// Starts a request of class T carrying entry on device; false when it did not start.
template <class T, class E> bool Send(TDevice* device, const E& entry)
{
    T* request = new T;
    request->SetPayload(entry);
    return request->Start(device) || (delete request, false);
}

class PortSecurity : public IntpTest::TDeviceTest {
protected:
    // 8 ports and 2 trunk groups: ports 0 to 9.
    void SetUp() override { MakeDevice(7, 0x0A000007, m_Host.AddModel("M8T2", 8, 2)); }
    const TPropertySecurityPort& Table() { return Property<TPropertySecurityPort>::Get(m_Device); }
    static TPropertySecurityPortEntry Entry(uint32_t port) { return {port, TMacAddr(0, 0x11, 0x22, 0x33, 0x44, 0x55)}; }
};

TEST_F(PortSecurity, AddSendsPortAndAddressDelTheAddressAloneAndAPortPastTheTrunkGroupsNothing)
{
    EXPECT_TRUE(Send<TSessionSecurityPortAdd>(m_Device, Entry(9)));
    EXPECT_TRUE(Send<TSessionSecurityPortDel>(m_Device, Entry(3)));
    EXPECT_FALSE(Send<TSessionSecurityPortAdd>(m_Device, Entry(10)));
    ASSERT_EQ(m_Host.sent.size(), 2u);
    EXPECT_EQ(m_Host.sent[0].payload, (TBytes{9, 0, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(m_Host.sent[1].payload, (TBytes{0, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(PortSecurity, APortPastThePortsAndTrunkGroupsEmptiesTheWholeTableEvenOnAFullPage)
{
    std::vector<TPropertySecurityPortEntry> full(128, Entry(9)); // the last trunk group: accepted
    Started(new TSessionSecurityPortGet);
    m_Host.Reply(ccSecurityPortGet, m_Device, Page<TPropertySecurityPort>(full, {0, 0, 0, 0}));
    EXPECT_EQ(Table().entries.size(), 128u);
    full[5].port = 10;
    m_Host.Reply(ccSecurityPortGet, m_Device, Page<TPropertySecurityPort>(full, {0, 0, 0, 0}));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    EXPECT_FALSE(Table().valid);
    EXPECT_TRUE(Table().entries.empty());
    EXPECT_EQ(GetSessionCount(), 0u);
}

class MulticastFilter : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(8, 0x0A000008); }
    const TPropertySecurityMultiFilter& Table() { return Property<TPropertySecurityMultiFilter>::Get(m_Device); }
    static TBytes Prefix(uint8_t ports) { return {0xEE, 0xEE, 0xEE, 0xEE, 0, 0, 0, ports}; }
    void Reply(const TBytes& page, uint16_t status = ssOk) { m_Host.Reply(ccSecurityMultiFilterGet, m_Device, page, status); }
};

TEST_F(MulticastFilter, AddAndDelSendTheGroupBigEndianLikeEveryOtherField)
{
    const TPropertySecurityMultiFilterEntry entry{0x5, 0xEF010203, 5}; // ports 1 and 3, 239.1.2.3
    EXPECT_TRUE(Send<TSessionSecurityMultiFilterAdd>(m_Device, entry) && Send<TSessionSecurityMultiFilterDel>(m_Device, entry));
    ASSERT_EQ(m_Host.sent.size(), 2u);
    for (const auto& sent : m_Host.sent) EXPECT_EQ(sent.payload, (TBytes{0, 0, 0, 5, 0xEF, 1, 2, 3, 0, 5}));
}

TEST_F(MulticastFilter, ThePrefixNamesThePortsWhichOutliveANewReadAndAnError)
{
    Started(new TSessionSecurityMultiFilterGet);
    const std::vector<TPropertySecurityMultiFilterEntry> entries(128, {0x3, 0xE0000001, 4094});
    Reply(Page<TPropertySecurityMultiFilter>(entries, Prefix(0x0B))); // 1288 bytes: a full page
    EXPECT_FALSE(Table().valid);
    Reply(Page<TPropertySecurityMultiFilter>({{0x80000000, 0xEF7F0001, 1}}, Prefix(0x0B)));
    ASSERT_TRUE(Table().valid);
    ASSERT_EQ(Table().entries.size(), 129u);
    EXPECT_EQ(Table().entries[128].group, 0xEF7F0001u);
    EXPECT_EQ(Table().entries[128].ports, 0x80000000u);

    Started(new TSessionSecurityMultiFilterGet);
    EXPECT_EQ(Table().availablePorts, 0x0Bu);
    Reply(Prefix(0x01), 0x0042);
    EXPECT_TRUE(Table().entries.empty());
    EXPECT_EQ(Table().availablePorts, 0x0Bu);
    Started(new TSessionSecurityMultiFilterGet);
    Reply(TBytes(7, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
}

} // namespace
