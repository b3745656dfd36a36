#include <gtest/gtest.h>

#include <vector>

#include "intp/SecurityAcl.h"
#include "intp/SecurityTables.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using TBytes = std::vector<uint8_t>;

const TMacAddr Mac1(0x02, 0x00, 0x5E, 0x10, 0x20, 0x42);
constexpr auto& AclFields = TPropertySecurityAcl::EntryFields;

// group 5, permit, VLAN 100, IPv4 with fragments checked, 10.0.0.1/8 to
// 192.168.1.0/24, TCP port 80
TPropertySecurityAclEntry Rule()
{
    return {5, true, 0, 100, EtherTypeIpv4, true, 0x0A000001, 0xFF000000, 0xC0A80100, 0xFFFFFF00, IpProtocolTcp, 80};
}
const TBytes RuleBytes = {5, 1, 0, 1, 0x00, 0x64, 0x08, 0x00, 0x0A, 0, 0, 1, 0xFF, 0,
                          0, 0, 0xC0, 0xA8, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0, 0, 6, 0x00, 0x50};

template <class L, class E> TBytes Page(const L& fields, std::vector<E> entries, size_t extra = 0)
{
    TBytes page(4, 0xEE); // prefix, not read
    TBytes body = EncodeEntries(fields, entries, TOrder::Wire, TMessage::Get);
    page.insert(page.end(), body.begin(), body.end());
    page.insert(page.end(), extra, 0xAB);
    return page;
}

class SecurityAcl : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(9, 0x0A000009); }
    // Sends one entry, then answers it with a refusal: the table is read again all the same.
    template <class T, class P> void SendAndRefuse(const P& entry, const TBytes& wire, uint16_t get, const char* name)
    {
        m_Host.Clear();
        auto* set = new T;
        set->SetPayload(entry);
        Started(set);
        ASSERT_EQ(m_Host.sent.size(), 1u);
        EXPECT_EQ(m_Host.sent[0].payload, wire) << name;
        m_Host.Reply(T::CommandCode, m_Device, {0, 0, 0, 0}, 0x0007);
        ASSERT_EQ(m_Host.sent.size(), 2u);
        EXPECT_EQ(m_Host.sent[1].code, get);
        EXPECT_EQ(m_Host.LastNotify().code, T::CommandCode);
        EXPECT_EQ(m_Host.LastNotify().status, 0x0007);
        EXPECT_EQ(m_Host.LastNotify().name, name);
    }
    template <class TGet> void Read(const TBytes& reply, uint16_t status = ssOk, bool start = true)
    {
        if (start) Started(new TGet);
        m_Host.Reply(TGet::CommandCode, m_Device, reply, status);
    }
    template <class R> const R& Table() { return Property<R>::Get(m_Device); }
};

TEST_F(SecurityAcl, EveryAddAndDelSendsItsGoldenEntryThenReadsTheTableAgain)
{
    const TPropertySecurityMac2FilterEntry filter{4094, Mac1};
    const TPropertySecurityMac2StaticEntry pinned{3, 0x0102, Mac1};
    const TBytes filterBytes = {0x0F, 0xFE, 0x02, 0x00, 0x5E, 0x10, 0x20, 0x42};
    const TBytes staticBytes = {3, 0x01, 0x02, 0x02, 0x00, 0x5E, 0x10, 0x20, 0x42};
    SendAndRefuse<TSessionSecurityAclAdd>(Rule(), RuleBytes, ccSecurityAclGet, "SecurityAclAdd");
    SendAndRefuse<TSessionSecurityAclDel>(Rule(), RuleBytes, ccSecurityAclGet, "SecurityAclDel");
    SendAndRefuse<TSessionSecurityMac2FilterAdd>(filter, filterBytes, ccSecurityMac2FilterGet, "SecMacFilterAdd");
    SendAndRefuse<TSessionSecurityMac2FilterDel>(filter, filterBytes, ccSecurityMac2FilterGet, "SecMacDel");
    SendAndRefuse<TSessionSecurityMac2StaticAdd>(pinned, staticBytes, ccSecurityMac2StaticGet, "SecMacStaticAdd");
    SendAndRefuse<TSessionSecurityMac2StaticDel>(pinned, staticBytes, ccSecurityMac2StaticGet, "SecMacDel");

    // The reserved byte goes out as 0 whatever the page's bytes hold there.
    TBytes host = EncodeEntries(AclFields, std::vector{Rule()}, TOrder::Host);
    host[24] = 0x77;
    SendAndRefuse<TSessionSecurityAclAdd>(host.data(), RuleBytes, ccSecurityAclGet, "SecurityAclAdd");
}

TEST_F(SecurityAcl, RulesArePagedByThirtyTwoAndDecodedWhole)
{
    TBytes last = Page(AclFields, std::vector{Rule()}, 27); // 59 bytes: part of a second rule, ignored
    last[4 + 1] = 2;  // permit: non-zero is true
    last[4 + 24] = 9; // reserved: not read
    Read<TSessionSecurityAclGet>(Page(AclFields, std::vector(32, Rule())));
    EXPECT_TRUE(m_Host.notified.empty());
    EXPECT_FALSE(Table<TPropertySecurityAcl>().valid);
    Read<TSessionSecurityAclGet>(last, ssOk, false);
    ASSERT_EQ(m_Host.LastNotify().status, ssOk);
    ASSERT_TRUE(Table<TPropertySecurityAcl>().valid);
    ASSERT_EQ(Table<TPropertySecurityAcl>().entries.size(), 33u);
    EXPECT_EQ(EncodeEntries(AclFields, std::vector{Table<TPropertySecurityAcl>().entries[32]}), RuleBytes);

    // Exactly 32 rules: a page of the prefix alone completes the table.
    Read<TSessionSecurityAclGet>(Page(AclFields, std::vector(32, Rule())));
    Read<TSessionSecurityAclGet>({0, 0, 0, 0}, ssOk, false);
    EXPECT_TRUE(Table<TPropertySecurityAcl>().valid);
    EXPECT_EQ(Table<TPropertySecurityAcl>().entries.size(), 32u);
}

TEST_F(SecurityAcl, MacTablesTakeWholeEntriesOnly)
{
    TBytes page = Page(TPropertySecurityMac2Static::EntryFields,
                       std::vector<TPropertySecurityMac2StaticEntry>{{1, 1, Mac1}, {25, 4094, Mac1}});
    ASSERT_EQ(page.size(), 22u);
    Read<TSessionSecurityMac2StaticGet>(page);
    ASSERT_EQ(Table<TPropertySecurityMac2Static>().entries.size(), 2u);
    EXPECT_EQ(Table<TPropertySecurityMac2Static>().entries[1].port, 25u); // no port check in this table
    EXPECT_EQ(Table<TPropertySecurityMac2Static>().entries[1].vlanId, 4094u);
    page.resize(21);
    Read<TSessionSecurityMac2StaticGet>(page);
    ASSERT_EQ(Table<TPropertySecurityMac2Static>().entries.size(), 1u);
    EXPECT_EQ(Table<TPropertySecurityMac2Static>().entries[0].mac, Mac1);

    constexpr auto& filter = TPropertySecurityMac2Filter::EntryFields;
    Read<TSessionSecurityMac2FilterGet>(Page(filter, std::vector<TPropertySecurityMac2FilterEntry>(128, {7, Mac1})));
    EXPECT_FALSE(Table<TPropertySecurityMac2Filter>().valid); // a full page: more follow
    Read<TSessionSecurityMac2FilterGet>(Page(filter, std::vector<TPropertySecurityMac2FilterEntry>{{8, Mac1}}, 7),
                                        ssOk, false);
    ASSERT_TRUE(Table<TPropertySecurityMac2Filter>().valid);
    ASSERT_EQ(Table<TPropertySecurityMac2Filter>().entries.size(), 129u);
    EXPECT_EQ(Table<TPropertySecurityMac2Filter>().entries[128].vlanId, 8u);
}

// The switch's own error, a short reply and a lost login leave each table
// empty and invalid, told once with that status.
TEST_F(SecurityAcl, RefusedReadsLeaveEachTableEmptyAndInvalid)
{
    using TCase = std::pair<TBytes, uint16_t>;
    const TBytes rule = Page(AclFields, std::vector{Rule()});
    for (auto [reply, status] : {TCase{rule, 0x0042}, TCase{{0, 0, 0}, ssOk}, TCase{rule, ssNotLoggedIn}}) {
        m_Host.Clear();
        Read<TSessionSecurityAclGet>(reply, status);
        Read<TSessionSecurityMac2FilterGet>(reply, status);
        Read<TSessionSecurityMac2StaticGet>(reply, status);
        ASSERT_EQ(m_Host.notified.size(), 3u);
        for (const auto& n : m_Host.notified) EXPECT_EQ(n.status, reply.size() < 4 ? uint16_t(ssShortReply) : status);
        EXPECT_FALSE(Table<TPropertySecurityAcl>().valid || Table<TPropertySecurityMac2Filter>().valid ||
                     Table<TPropertySecurityMac2Static>().valid);
        EXPECT_TRUE(Table<TPropertySecurityAcl>().entries.empty());
    }
}

} // namespace
