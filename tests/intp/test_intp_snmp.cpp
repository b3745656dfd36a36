#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intp/Snmp.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using TBytes = std::vector<uint8_t>;

const std::string Chars32(32, 'n');
const std::string Chars33(33, 'x');

TBytes Zeros(size_t n) { return TBytes(n, 0); }
TBytes Le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
TBytes Slice(const TBytes& bytes, size_t at, size_t n) { return TBytes(bytes.begin() + at, bytes.begin() + at + n); }

class Snmp : public IntpTest::TDeviceTest {
protected:
    // A model with four community slots.
    void SetUp() override { MakeDevice(7, 0x0A000007, m_Host.AddModel("S4", 8, 0, 0, 0, 0, 4)); }
    template <class T, class P> const IntpTest::TSent& Send(const P& payload)
    {
        auto* set = new T;
        set->SetPayload(payload);
        Started(set);
        return m_Host.LastSent();
    }
    template <class R> const R& Record() { return Property<R>::Get(m_Device); }
    template <class TGet> void Read(const TBytes& reply, uint16_t status = ssOk)
    {
        Started(new TGet);
        m_Host.Clear();
        m_Host.Reply(TGet::CommandCode, m_Device, reply, status);
    }
    template <class L, class E> static TBytes Entries(const L& fields, const std::vector<E>& entries)
    {
        return EncodeEntries(fields, entries);
    }
};

TEST_F(Snmp, EverySetSendsItsGoldenBytes)
{
    EXPECT_EQ(Send<TSessionSnmpSet>(TPropertySnmp{false, svV3}).payload, TBytes{1});

    const auto& trap = Send<TSessionSnmpTrapAdd>(TPropertySnmpTrapEntry{0xC0A8010A, Chars32, stV2c});
    ASSERT_EQ(trap.payload.size(), 37u);
    EXPECT_EQ(Slice(trap.payload, 0, 4), (TBytes{0xC0, 0xA8, 0x01, 0x0A}));
    EXPECT_EQ(std::string(trap.payload.begin() + 4, trap.payload.begin() + 36), Chars32); // no terminator
    EXPECT_EQ(trap.payload[36], 1);
    EXPECT_EQ(Send<TSessionSnmpTrapDel>(TPropertySnmpTrapEntry{0xC0A8010A, "x", 0}).payload,
              (TBytes{0xC0, 0xA8, 0x01, 0x0A}));

    for (uint16_t code : {ccSnmpUserAdd, ccSnmpUserDel}) {
        const TSnmpUserChange user{Chars32, "authpass", ""};
        const auto& sent = code == ccSnmpUserAdd ? Send<TSessionSnmpUserAdd>(user) : Send<TSessionSnmpUserDel>(user);
        ASSERT_EQ(sent.payload.size(), 96u);
        EXPECT_EQ(sent.code, code);
        EXPECT_EQ(std::string(sent.payload.begin(), sent.payload.begin() + 32), Chars32);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&sent.payload[32])), "authpass");
        EXPECT_EQ(Slice(sent.payload, 64, 32), Zeros(32));
    }

    // SNMPv3 texts: 33 characters typed, 32 sent, the 33rd byte 0.
    const auto& context = Send<TSessionSnmpContextSet>(TPropertySnmpContext{false, Chars33});
    ASSERT_EQ(context.payload.size(), 33u);
    EXPECT_EQ(std::string(context.payload.begin(), context.payload.begin() + 32), Chars33.substr(0, 32));
    EXPECT_EQ(context.payload[32], 0);
    const auto& group = Send<TSessionSnmpGroupAdd>(TPropertySnmpGroupEntry{Chars33, "g"});
    EXPECT_EQ(group.payload[32], 0);
    EXPECT_EQ(group.payload[33], 'g');

    const auto& access = Send<TSessionSnmpAccessAdd>(
        TPropertySnmpAccessEntry{"grp", "ctx", slAuthPriv, cmPrefix, "r", "w", Chars33});
    ASSERT_EQ(access.payload.size(), 173u);
    EXPECT_EQ(Slice(access.payload, 66, 4), (TBytes{3, 0, 0, 0}));
    EXPECT_EQ(Slice(access.payload, 70, 4), (TBytes{2, 0, 0, 0}));
    EXPECT_EQ(access.payload[74], 'r');
    EXPECT_EQ(access.payload[172], 0);
    EXPECT_EQ(Send<TSessionSnmpAccessDel>(TPropertySnmpAccessEntry{"grp", "ctx", slAuthPriv, cmPrefix, "", "", ""})
                  .code,
              ccSnmpAccessDel);

    const auto& view = Send<TSessionSnmpMibviewAdd>(TPropertySnmpMibviewEntry{"all", "1.3.6.1", vtIncluded});
    ASSERT_EQ(view.payload.size(), 70u);
    EXPECT_EQ(Slice(view.payload, 66, 4), (TBytes{1, 0, 0, 0}));

    // Raw bytes from a caller that filled a text's 33rd byte still end in 0.
    TBytes raw(33, 'z');
    EXPECT_EQ(Send<TSessionSnmpContextSet>(raw.data()).payload[32], 0);
}

TEST_F(Snmp, CommunitiesAreTheModelsSlotsWrittenWhole)
{
    const TBytes four = Entries(TPropertySnmpCommunity::EntryFields,
                                std::vector<TPropertySnmpCommunityEntry>{{"public", 0}, {Chars32, 1}, {}, {"w", 1}});
    ASSERT_EQ(four.size(), 132u);
    Read<TSessionSnmpCommunityGet>(four);
    ASSERT_TRUE(Record<TPropertySnmpCommunity>().valid);
    EXPECT_EQ(Record<TPropertySnmpCommunity>().entries[1].community, Chars32);
    EXPECT_EQ(Record<TPropertySnmpCommunity>().entries[3].access, 1u);

    TBytes longer = four;
    longer.push_back(0xAA);
    Read<TSessionSnmpCommunityGet>(longer); // a remainder is ignored
    EXPECT_TRUE(Record<TPropertySnmpCommunity>().valid);

    for (size_t size : {99u, 165u}) {
        TBytes reply = four;
        reply.resize(size);
        Read<TSessionSnmpCommunityGet>(reply);
        EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
        EXPECT_FALSE(Record<TPropertySnmpCommunity>().valid);
    }
    TBytes badAccess = four;
    badAccess[33 * 2 + 32] = 2;
    Read<TSessionSnmpCommunityGet>(badAccess);
    EXPECT_EQ(m_Host.LastNotify().status, ssBadValue);
    EXPECT_FALSE(Record<TPropertySnmpCommunity>().valid);

    // A refused read is told once and leaves the record invalid.
    Read<TSessionSnmpCommunityGet>(four);
    Read<TSessionSnmpCommunityGet>(four, 0x1234);
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.LastNotify().status, 0x1234);
    EXPECT_FALSE(Record<TPropertySnmpCommunity>().valid);

    // The Set carries exactly the model's slots.
    auto* set = new TSessionSnmpCommunitySet;
    set->SetEntries(std::vector<TPropertySnmpCommunityEntry>{{"a", 0}, {"b", 1}, {"c", 0}, {"d", 1}});
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload.size(), 132u);
    EXPECT_EQ(m_Host.LastSent().payload[33 + 32], 1);
    auto* wrong = new TSessionSnmpCommunitySet;
    wrong->SetEntries(std::vector<TPropertySnmpCommunityEntry>{{"a", 0}, {"b", 1}});
    EXPECT_FALSE(wrong->Start(m_Device));
    delete wrong;
}

TEST_F(Snmp, VersionTrapAndUserReplies)
{
    Read<TSessionSnmpGet>({1, 9});
    EXPECT_TRUE(Record<TPropertySnmp>().valid);
    EXPECT_EQ(Record<TPropertySnmp>().version, svV3);
    Read<TSessionSnmpGet>({2});
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    EXPECT_FALSE(Record<TPropertySnmp>().valid);

    Read<TSessionSnmpTrapGet>({0, 0, 0, 0});
    EXPECT_TRUE(Record<TPropertySnmpTrap>().valid && Record<TPropertySnmpTrap>().entries.empty());
    Read<TSessionSnmpTrapGet>({0, 0, 0});
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);

    // Receivers with address 0, no community or version 2 are left out.
    TBytes traps = Zeros(4);
    const TBytes body = Entries(TPropertySnmpTrap::EntryFields,
                                std::vector<TPropertySnmpTrapEntry>{{0x0A000001, "pub", 0},
                                                                    {0, "pub", 0},
                                                                    {0x0A000002, "", 1},
                                                                    {0x0A000003, "pub", 2},
                                                                    {0x0A000004, Chars32, 1}});
    traps.insert(traps.end(), body.begin(), body.end());
    Read<TSessionSnmpTrapGet>(traps);
    const auto& kept = Record<TPropertySnmpTrap>().entries;
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].address, 0x0A000004u);
    EXPECT_EQ(kept[1].community, Chars32);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);

    Read<TSessionSnmpUserGet>(Zeros(33));
    EXPECT_TRUE(Record<TPropertySnmpUser>().valid && Record<TPropertySnmpUser>().entries.empty());
    Read<TSessionSnmpUserGet>(
        Entries(TPropertySnmpUser::EntryFields, std::vector<TPropertySnmpUserEntry>{{Chars32, true, false}}));
    ASSERT_EQ(Record<TPropertySnmpUser>().entries.size(), 1u);
    EXPECT_EQ(Record<TPropertySnmpUser>().entries[0].name, Chars32);
    EXPECT_TRUE(Record<TPropertySnmpUser>().entries[0].auth);
    Read<TSessionSnmpUserGet>(Zeros(34), 0x1234);
    EXPECT_TRUE(Record<TPropertySnmpUser>().entries.empty());
    EXPECT_FALSE(Record<TPropertySnmpUser>().valid);

    // A change re-reads its table, then tells its own code.
    Send<TSessionSnmpTrapDel>(TPropertySnmpTrapEntry{1, "", 0});
    m_Host.Clear();
    m_Host.Reply(ccSnmpTrapDel, m_Device, Zeros(4), 0x0001);
    EXPECT_EQ(m_Host.LastSent().code, ccSnmpTrapGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccSnmpTrapDel);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0001);
}

TEST_F(Snmp, Snmpv3TablesReadFullWidthTextsAndLittleEndianCodes)
{
    TBytes context(33, 'c');
    context.push_back('!');
    Read<TSessionSnmpContextGet>(context);
    EXPECT_EQ(Record<TPropertySnmpContext>().name, std::string(33, 'c'));

    const TBytes two = Entries(TPropertySnmpGroup::EntryFields,
                               std::vector<TPropertySnmpGroupEntry>{{Chars33, "g1"}, {"s2", "g2"}});
    for (auto [size, n] : {std::pair<size_t, size_t>{133, 2}, {132, 1}, {1, 0}}) {
        TBytes reply = two;
        reply.resize(size, 0);
        Read<TSessionSnmpGroupGet>(reply);
        EXPECT_TRUE(Record<TPropertySnmpGroup>().valid);
        EXPECT_EQ(Record<TPropertySnmpGroup>().entries.size(), n) << size;
    }
    EXPECT_EQ(Record<TPropertySnmpGroup>().entries.size(), 0u);

    TBytes access = Entries(TPropertySnmpAccess::EntryFields,
                            std::vector<TPropertySnmpAccessEntry>{{"g", "c", 0, 1, "r", "w", "n"}, {}});
    std::copy_n(Le32(2).begin(), 4, access.begin() + 173 + 66); // level 2 is kept as read
    std::copy_n(Le32(0x0102).begin(), 4, access.begin() + 173 + 70);
    Read<TSessionSnmpAccessGet>(access);
    ASSERT_EQ(Record<TPropertySnmpAccess>().entries.size(), 2u);
    EXPECT_EQ(Record<TPropertySnmpAccess>().entries[0].notifyView, "n");
    EXPECT_EQ(Record<TPropertySnmpAccess>().entries[1].level, 2u);
    EXPECT_EQ(Record<TPropertySnmpAccess>().entries[1].match, 0x0102u);
    access.resize(172);
    Read<TSessionSnmpAccessGet>(access);
    EXPECT_TRUE(Record<TPropertySnmpAccess>().valid && Record<TPropertySnmpAccess>().entries.empty());

    TBytes view = Zeros(70);
    view[66] = 1;
    Read<TSessionSnmpMibviewGet>(view);
    ASSERT_EQ(Record<TPropertySnmpMibview>().entries.size(), 1u);
    EXPECT_EQ(Record<TPropertySnmpMibview>().entries[0].type, vtIncluded);
    Read<TSessionSnmpMibviewGet>(view, 0x0005);
    EXPECT_TRUE(Record<TPropertySnmpMibview>().entries.empty());
    EXPECT_EQ(m_Host.LastNotify().status, 0x0005);

    Read<TSessionSnmpContextGet>(Zeros(32));
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
}

} // namespace
