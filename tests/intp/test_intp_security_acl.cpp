#include <gtest/gtest.h>

#include <vector>

#include "intp/SecurityAcl.h"
#include "intp/SecurityTables.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using TBytes = std::vector<uint8_t>;

const TMacAddr Mac1(0x02, 0x00, 0x5E, 0x10, 0x20, 0x42);
const TBytes Mac1Bytes = {0x02, 0x00, 0x5E, 0x10, 0x20, 0x42};

// group 5, permit, VLAN 100, IPv4 with fragments checked, 10.0.0.1/8 to
// 192.168.1.0/24, TCP port 80
TPropertySecurityAclEntry Rule()
{
    return {5, true, 0, 100, EtherTypeIpv4, true, 0x0A000001, 0xFF000000, 0xC0A80100, 0xFFFFFF00, IpProtocolTcp, 80};
}
const TBytes RuleBytes = {5,    1,    0,    1,    0x00, 0x64, 0x08, 0x00, 0x0A, 0, 0, 1, 0xFF, 0,
                          0,    0,    0xC0, 0xA8, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0, 0, 6, 0x00, 0x50};

template <class E, class L> TBytes Page(const L& fields, std::vector<E> entries, size_t extra = 0)
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
    template <class T, class P> const IntpTest::TSent& Send(const P& payload)
    {
        auto* set = new T;
        set->SetPayload(payload);
        Started(set);
        return m_Host.LastSent();
    }
    template <class R> const R& Table() { return Property<R>::Get(m_Device); }
};

TEST_F(SecurityAcl, EveryAddAndDelSendsItsGoldenEntryThenReadsTheTableAgain)
{
    struct TCase {
        uint16_t code;
        uint16_t get;
        const char* name;
        TBytes sent;
    };
    const TPropertySecurityMac2FilterEntry filter{4094, Mac1};
    const TPropertySecurityMac2StaticEntry pinned{3, 0x0102, Mac1};
    TBytes filterBytes = {0x0F, 0xFE}, staticBytes = {3, 0x01, 0x02};
    filterBytes.insert(filterBytes.end(), Mac1Bytes.begin(), Mac1Bytes.end());
    staticBytes.insert(staticBytes.end(), Mac1Bytes.begin(), Mac1Bytes.end());
    for (const TCase& c : {TCase{ccSecurityAclAdd, ccSecurityAclGet, "SecurityAclAdd", RuleBytes},
                           TCase{ccSecurityAclDel, ccSecurityAclGet, "SecurityAclDel", RuleBytes},
                           TCase{ccSecurityMac2FilterAdd, ccSecurityMac2FilterGet, "SecMacFilterAdd", filterBytes},
                           TCase{ccSecurityMac2FilterDel, ccSecurityMac2FilterGet, "SecMacDel", filterBytes},
                           TCase{ccSecurityMac2StaticAdd, ccSecurityMac2StaticGet, "SecMacStaticAdd", staticBytes},
                           TCase{ccSecurityMac2StaticDel, ccSecurityMac2StaticGet, "SecMacDel", staticBytes}}) {
        m_Host.Clear();
        switch (c.code) {
        case ccSecurityAclAdd: Send<TSessionSecurityAclAdd>(Rule()); break;
        case ccSecurityAclDel: Send<TSessionSecurityAclDel>(Rule()); break;
        case ccSecurityMac2FilterAdd: Send<TSessionSecurityMac2FilterAdd>(filter); break;
        case ccSecurityMac2FilterDel: Send<TSessionSecurityMac2FilterDel>(filter); break;
        case ccSecurityMac2StaticAdd: Send<TSessionSecurityMac2StaticAdd>(pinned); break;
        default: Send<TSessionSecurityMac2StaticDel>(pinned); break;
        }
        ASSERT_EQ(m_Host.sent.size(), 1u);
        EXPECT_EQ(m_Host.sent[0].code, c.code);
        EXPECT_EQ(m_Host.sent[0].payload, c.sent) << c.name;

        m_Host.Reply(c.code, m_Device, {0, 0, 0, 0}, 0x0007); // refused: read again all the same
        ASSERT_EQ(m_Host.sent.size(), 2u);
        EXPECT_EQ(m_Host.sent[1].code, c.get);
        EXPECT_EQ(m_Host.LastNotify().code, c.code);
        EXPECT_EQ(m_Host.LastNotify().status, 0x0007);
        EXPECT_EQ(m_Host.LastNotify().name, c.name);
    }

    // The reserved byte goes out as 0 whatever the page's bytes hold there.
    TBytes host = EncodeEntries(TPropertySecurityAcl::EntryFields, std::vector{Rule()}, TOrder::Host);
    host[24] = 0x77;
    EXPECT_EQ(Send<TSessionSecurityAclAdd>(host.data()).payload, RuleBytes);
}

TEST_F(SecurityAcl, RulesArePagedByThirtyTwoAndDecodedWhole)
{
    TBytes one = Page(TPropertySecurityAcl::EntryFields, std::vector{Rule()});
    one[4 + 1] = 2;  // permit: non-zero is true
    one[4 + 24] = 9; // reserved: not read
    Started(new TSessionSecurityAclGet);
    m_Host.Reply(ccSecurityAclGet, m_Device, Page(TPropertySecurityAcl::EntryFields, std::vector(32, Rule())));
    EXPECT_TRUE(m_Host.notified.empty());
    EXPECT_FALSE(Table<TPropertySecurityAcl>().valid);
    TBytes last = one;
    last.resize(4 + 28 + 27); // 59 bytes: the part of a second rule is ignored
    m_Host.Reply(ccSecurityAclGet, m_Device, last);
    ASSERT_EQ(m_Host.LastNotify().status, ssOk);
    ASSERT_TRUE(Table<TPropertySecurityAcl>().valid);
    ASSERT_EQ(Table<TPropertySecurityAcl>().entries.size(), 33u);
    const TPropertySecurityAclEntry& r = Table<TPropertySecurityAcl>().entries[32];
    EXPECT_TRUE(r.permit && r.fragmentCheck);
    EXPECT_EQ(r.vlanId, 100u);
    EXPECT_EQ(r.etherType, EtherTypeIpv4);
    EXPECT_EQ(r.srcIp, 0x0A000001u);
    EXPECT_EQ(r.dstMask, 0xFFFFFF00u);
    EXPECT_EQ(r.l4Protocol, IpProtocolTcp);
    EXPECT_EQ(r.l4Port, 80u);

    // Exactly 32 rules: a page of the prefix alone completes the table.
    Started(new TSessionSecurityAclGet);
    m_Host.Reply(ccSecurityAclGet, m_Device, Page(TPropertySecurityAcl::EntryFields, std::vector(32, Rule())));
    m_Host.Reply(ccSecurityAclGet, m_Device, {0, 0, 0, 0});
    EXPECT_TRUE(Table<TPropertySecurityAcl>().valid);
    EXPECT_EQ(Table<TPropertySecurityAcl>().entries.size(), 32u);
}

TEST_F(SecurityAcl, MacTablesTakeWholeEntriesOnly)
{
    const std::vector<TPropertySecurityMac2StaticEntry> two = {{1, 1, Mac1}, {25, 4094, TMacAddr(0, 1, 2, 3, 4, 5)}};
    TBytes page = Page(TPropertySecurityMac2Static::EntryFields, two);
    ASSERT_EQ(page.size(), 22u);
    Started(new TSessionSecurityMac2StaticGet);
    m_Host.Reply(ccSecurityMac2StaticGet, m_Device, page);
    ASSERT_EQ(Table<TPropertySecurityMac2Static>().entries.size(), 2u);
    EXPECT_EQ(Table<TPropertySecurityMac2Static>().entries[1].port, 25u); // no port check in this table
    EXPECT_EQ(Table<TPropertySecurityMac2Static>().entries[1].vlanId, 4094u);
    page.resize(21);
    Started(new TSessionSecurityMac2StaticGet);
    m_Host.Reply(ccSecurityMac2StaticGet, m_Device, page);
    ASSERT_EQ(Table<TPropertySecurityMac2Static>().entries.size(), 1u);
    EXPECT_EQ(Table<TPropertySecurityMac2Static>().entries[0].mac, Mac1);

    Started(new TSessionSecurityMac2FilterGet);
    m_Host.Reply(ccSecurityMac2FilterGet, m_Device,
                 Page(TPropertySecurityMac2Filter::EntryFields,
                      std::vector<TPropertySecurityMac2FilterEntry>(128, {7, Mac1})));
    EXPECT_FALSE(Table<TPropertySecurityMac2Filter>().valid); // a full page: more follow
    m_Host.Reply(ccSecurityMac2FilterGet, m_Device, Page(TPropertySecurityMac2Filter::EntryFields,
                                                         std::vector<TPropertySecurityMac2FilterEntry>{{8, Mac1}}, 7));
    ASSERT_TRUE(Table<TPropertySecurityMac2Filter>().valid);
    ASSERT_EQ(Table<TPropertySecurityMac2Filter>().entries.size(), 129u);
    EXPECT_EQ(Table<TPropertySecurityMac2Filter>().entries[128].vlanId, 8u);
}

// The switch's own error, a short reply and a lost login leave each table
// empty and invalid, told once with that status.
TEST_F(SecurityAcl, RefusedReadsLeaveEachTableEmptyAndInvalid)
{
    using TCase = std::pair<TBytes, uint16_t>;
    const TBytes rule = Page(TPropertySecurityAcl::EntryFields, std::vector{Rule()});
    for (auto [reply, status] : {TCase{rule, 0x0042}, TCase{{0, 0, 0}, ssOk}, TCase{rule, ssNotLoggedIn}}) {
        const uint16_t told = reply.size() < 4 ? uint16_t(ssShortReply) : status;
        m_Host.Clear();
        Started(new TSessionSecurityAclGet);
        m_Host.Reply(ccSecurityAclGet, m_Device, reply, status);
        Started(new TSessionSecurityMac2FilterGet);
        m_Host.Reply(ccSecurityMac2FilterGet, m_Device, reply, status);
        Started(new TSessionSecurityMac2StaticGet);
        m_Host.Reply(ccSecurityMac2StaticGet, m_Device, reply, status);
        ASSERT_EQ(m_Host.notified.size(), 3u);
        for (const auto& n : m_Host.notified) EXPECT_EQ(n.status, told);
        EXPECT_FALSE(Table<TPropertySecurityAcl>().valid || Table<TPropertySecurityMac2Filter>().valid ||
                     Table<TPropertySecurityMac2Static>().valid);
        EXPECT_TRUE(Table<TPropertySecurityAcl>().entries.empty());
        EXPECT_TRUE(Table<TPropertySecurityMac2Filter>().entries.empty());
    }
}

} // namespace
