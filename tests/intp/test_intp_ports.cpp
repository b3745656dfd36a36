#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "intp/Ports.h"
#include "tests/common/Records.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutText;

std::vector<uint8_t> Names(const std::vector<std::string>& names) {
    std::vector<uint8_t> v;
    for (const std::string& n : names) PutText(v, n, 8);
    return v;
}

class PortName : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(3, 0x0A000003, m_Host.AddModel("M4T2", 4, 2)); }

    uint16_t Read(const std::vector<uint8_t>& reply, uint16_t status = ssOk) {
        Started(new TSessionPortNameGet);
        m_Host.Reply(ccPortNameGet, m_Device, reply, status);
        EXPECT_EQ(m_Host.LastNotify().code, ccPortNameGet);
        EXPECT_EQ(m_Host.LastNotify().name, "PortName");
        return m_Host.LastNotify().status;
    }
};

TEST_F(PortName, OneEightByteNamePerPortThenPerTrunkGroup) {
    ASSERT_EQ(Read(Names({"Port.01", "Port.XX", "Uplink12", "P4", "Trk1", "Trk2"})), ssOk);
    const auto& r = Property<TPropertyPortName>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.names, (std::vector<std::string>{"Port.01", "Port.XX", "Uplink12", "P4", "Trk1", "Trk2"}));

    // Trailing bytes short of a name are ignored.
    std::vector<uint8_t> reply = Names({"a", "b", "c", "d", "e", "f"});
    reply.resize(reply.size() + 7, 'x');
    EXPECT_EQ(Read(reply), ssOk);
    EXPECT_EQ(r.names.back(), "f");
}

TEST_F(PortName, ACountOtherThanPortsAndTrunkGroupsIsBadReply) {
    for (size_t count : {size_t(0), size_t(4), size_t(5), size_t(7)}) {
        Read(Names({"ok", "ok", "ok", "ok", "ok", "ok"}));
        std::vector<uint8_t> reply = count ? Names(std::vector<std::string>(count, "x")) : std::vector<uint8_t>(7, 'x');
        EXPECT_EQ(Read(reply), ssBadReply) << count;
        EXPECT_FALSE(Property<TPropertyPortName>::Get(m_Device).valid) << count;
    }
    EXPECT_EQ(Read(Names({"a", "b", "c", "d", "e", "f"}), 0x0042), 0x0042);
    EXPECT_FALSE(Property<TPropertyPortName>::Get(m_Device).valid);

    TDevice* unknown = m_Host.MakeDevice(IntpTest::Mac(4), 0x0A000004, 0);
    Started(new TSessionPortNameGet, unknown);
    m_Host.Reply(ccPortNameGet, unknown, Names({"a"}));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
}

TEST_F(PortName, NamesFollowTheModelWhenItChanges) {
    Read(Names({"a", "b", "c", "d", "e", "f"}));
    m_Device->SetType(m_Host.AddModel("M2", 2));
    ASSERT_EQ(Read(Names({"x", "y"})), ssOk);
    EXPECT_EQ(Property<TPropertyPortName>::Get(m_Device).names, (std::vector<std::string>{"x", "y"}));
}

// Port configuration on a model of 4 ports and 2 trunk groups.
class PortConfig : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(5, 0x0A000005, m_Host.AddModel("M4T2", 4, 2)); }
    const TPropertyPortConfig& Record() { return Property<TPropertyPortConfig>::Get(m_Device); }

    // A reply: 4 ignored bytes, then 6-byte entries.
    uint16_t Read(std::vector<std::vector<uint8_t>> entries, uint16_t status = ssOk)
    {
        std::vector<uint8_t> reply(4, 0xEE);
        for (const auto& e : entries) reply.insert(reply.end(), e.begin(), e.end());
        Started(new TSessionPortConfigGet);
        m_Host.Reply(ccPortConfigGet, m_Device, reply, status);
        EXPECT_EQ(m_Host.LastNotify().code, ccPortConfigGet);
        return m_Host.LastNotify().status;
    }
    // Starts a Set of entries; the payload sent, empty when it did not start.
    std::vector<uint8_t> Send(const std::vector<TPropertyPortConfigEntry>& entries)
    {
        m_Host.Clear();
        auto* set = new TSessionPortConfigSet;
        set->SetEntries(entries);
        if (!set->Start(m_Device)) {
            delete set;
            return {};
        }
        return m_Host.LastSent().payload;
    }
};

TEST_F(PortConfig, AReplyMayHoldFewerEntriesThanPortsAndTrunkGroups)
{
    ASSERT_EQ(Read({{5, 9, 1, 7, 2, 1}, {0, 1, 0, 0, 0, 0}}), ssOk); // speed 7: no name, still accepted
    const TPropertyPortConfig& r = Record();
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.count, 2u);
    ASSERT_EQ(r.entries.size(), 6u); // room for every port and trunk group
    const TPropertyPortConfigEntry& e = r.entries[0]; // reply order, not port order
    EXPECT_EQ(e.port, 5u);
    EXPECT_EQ(e.mediaType, 9u);
    EXPECT_TRUE(e.enabled);
    EXPECT_EQ(e.speedDuplex, 7u);
    EXPECT_EQ(e.flowControl, 2u);
    EXPECT_TRUE(e.security);
    EXPECT_EQ(r.entries[1].port, 0u);
}

TEST_F(PortConfig, CountsAndValuesOutOfRangeAreRefusedAndLeaveTheStoredEntries)
{
    const std::vector<uint8_t> good = {3, 1, 1, 0, 0, 0};
    struct TCase {
        std::vector<std::vector<uint8_t>> entries;
        uint16_t status;
    } cases[] = {
        {{}, ssBadReply},                                // no entry
        {std::vector(7, good), ssBadReply},              // more than ports and trunk groups: never overruns
        {{good, {6, 1, 1, 0, 0, 0}}, ssBadValue},        // port past the trunk groups
        {{{0, 10, 1, 0, 0, 0}}, ssBadValue},             // media type
        {{{0, 1, 1, 8, 0, 0}}, ssBadValue},              // speed and duplex
        {{{0, 1, 1, 0, 3, 0}}, ssBadValue},              // flow control
    };
    for (const TCase& c : cases) {
        ASSERT_EQ(Read({good}), ssOk);
        EXPECT_EQ(Read(c.entries), c.status) << c.entries.size();
        EXPECT_FALSE(Record().valid);
        EXPECT_EQ(Record().count, 1u);
        EXPECT_EQ(Record().entries.at(0).port, 3u);
    }
    EXPECT_EQ(Read(std::vector(6, good)), ssOk);
    EXPECT_EQ(Read({good}, 0x0042), 0x0042);
    EXPECT_FALSE(Record().valid);
}

TEST_F(PortConfig, SetSendsFourZeroBytesThenFiveBytesPerEntryAndRereads)
{
    TPropertyPortConfigEntry trunk{5, 0, false, 7, 0, false}, port{2, 9, true, 3, 1, true};
    const std::vector<uint8_t> golden = {0, 0, 0, 0, 5, 0, 7, 0, 0, 2, 1, 3, 1, 1}; // no media type
    EXPECT_EQ(Send({trunk, port}), golden);
    EXPECT_EQ(IntpTest::Sent<TSessionPortConfigSet>(m_Host.LastSent()).count, 2u);

    // The page's own bytes, and a read record (its held entries only), send the same.
    auto* bytes = new TSessionPortConfigSet;
    bytes->SetEntries(golden.data(), 2);
    Started(bytes);
    EXPECT_EQ(m_Host.LastSent().payload, golden);
    TPropertyPortConfig record = IntpTest::PortConfig(ModelOf(m_Device));
    record.entries[0] = trunk;
    record.entries[1] = port;
    record.count = 2;
    auto* typed = new TSessionPortConfigSet;
    typed->SetPayload(record);
    Started(typed);
    EXPECT_EQ(m_Host.LastSent().payload, golden);

    m_Host.Clear();
    m_Host.Reply(ccPortConfigSet, m_Device, {0, 0, 0, 0}, 0x0009);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].code, ccPortConfigGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccPortConfigSet);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0009);
}

TEST_F(PortConfig, ASetTheModelCannotTakeIsNotSent)
{
    TPropertyPortConfigEntry ok{0, 0, true, 0, 0, false};
    EXPECT_FALSE(Send(std::vector(6, ok)).empty());
    EXPECT_TRUE(Send({}).empty());
    EXPECT_TRUE(Send(std::vector(7, ok)).empty());
    for (TPropertyPortConfigEntry bad : {TPropertyPortConfigEntry{6, 0, true, 0, 0, false},
                                         TPropertyPortConfigEntry{32, 0, true, 0, 0, false},
                                         TPropertyPortConfigEntry{0, 0, true, 8, 0, false},
                                         TPropertyPortConfigEntry{0, 0, true, 0, 3, false}})
        EXPECT_TRUE(Send({ok, bad}).empty()) << bad.port;
    EXPECT_TRUE(m_Host.sent.empty());
}

} // namespace

namespace {

using namespace Intp;

// Status, limits and trunks on a model of 10 ports and 3 trunk groups.
class PortFamilies : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(6, 0x0A000006, m_Host.AddModel("M10T3", 10, 3)); }

    template <class TGet> uint16_t Read(const std::vector<uint8_t>& reply, uint16_t status = ssOk)
    {
        Started(new TGet);
        m_Host.Reply(TGet::CommandCode, m_Device, reply, status);
        EXPECT_EQ(m_Host.LastNotify().code, TGet::CommandCode);
        return m_Host.LastNotify().status;
    }
    template <class TGet> const typename TGet::Record& Record() { return Property<typename TGet::Record>::Get(m_Device); }
    // The payload a Set of these entries sends; empty when it did not start.
    template <class TSet, class E> std::vector<uint8_t> Send(const std::vector<E>& entries)
    {
        m_Host.Clear();
        auto* set = new TSet;
        set->SetEntries(entries);
        if (!set->Start(m_Device)) {
            delete set;
            return {};
        }
        return m_Host.LastSent().payload;
    }
    // A reply of n copies of a record's entry in the Get's layout.
    template <class R, class E> static std::vector<uint8_t> Reply(std::vector<E> entries)
    {
        R r;
        r.entries = std::move(entries);
        return EncodeRecord(r, TMessage::Get);
    }
};

TEST_F(PortFamilies, StatusTakesOneEntryPerPortAndRefusesValuesWithoutNames)
{
    std::vector<uint8_t> reply;
    for (int i = 0; i < 10; ++i) reply.insert(reply.end(), {9, 2, 0, 7, 1}); // speed 7: no name, accepted
    ASSERT_EQ(Read<TSessionPortStatusGet>(reply), ssOk);
    const TPropertyPortStatusEntry& e = Record<TSessionPortStatusGet>().entries.at(9);
    EXPECT_TRUE(e.link);
    EXPECT_FALSE(e.enabled);
    EXPECT_EQ(e.speedDuplex, 7u);
    EXPECT_TRUE(e.flowControl);

    for (auto [offset, value] : {std::pair{3, 8}, std::pair{0, 10}}) {
        std::vector<uint8_t> bad = reply;
        bad[5 * 4 + offset] = uint8_t(value);
        EXPECT_EQ(Read<TSessionPortStatusGet>(bad), ssBadValue);
        EXPECT_FALSE(Record<TSessionPortStatusGet>().valid);
        EXPECT_EQ(Record<TSessionPortStatusGet>().entries.at(4).mediaType, 9u); // not half-updated
    }
    reply.resize(49);
    EXPECT_EQ(Read<TSessionPortStatusGet>(reply), ssBadReply);
}

TEST_F(PortFamilies, RateLimitsAreBigEndianAndTheSecondFormLittleEndian)
{
    std::vector<TPropertyPortLimitEntry> limits(10, {3, 0x00012345, 100});
    std::vector<uint8_t> reply = Reply<TPropertyPortLimit>(limits);
    reply.resize(98, 0xEE); // bytes short of an entry are ignored
    ASSERT_EQ(Read<TSessionPortLimitGet>(reply), ssOk);
    EXPECT_EQ(Record<TSessionPortLimitGet>().entries.at(9).ingress, 0x12345u);
    reply.resize(89);
    EXPECT_EQ(Read<TSessionPortLimitGet>(reply), ssBadReply);
    limits[2].frameType = 4;
    EXPECT_EQ(Read<TSessionPortLimitGet>(Reply<TPropertyPortLimit>(limits)), ssBadValue);
    EXPECT_TRUE(Send<TSessionPortLimitSet>(limits).empty());

    limits[2].frameType = 1;
    std::vector<uint8_t> sent = Send<TSessionPortLimitSet>(limits);
    ASSERT_EQ(sent.size(), 90u);
    EXPECT_EQ(std::vector<uint8_t>(sent.begin() + 18, sent.begin() + 27),
              (std::vector<uint8_t>{1, 0, 1, 0x23, 0x45, 0, 0, 0, 100}));
    m_Host.Clear();
    m_Host.Reply(ccPortLimitSet, m_Device, {0, 0, 0, 0}, 0x0001);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].code, ccPortLimitGet);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0001);

    std::vector<TPropertyPortLimit2Entry> rates(10, {0x0102, 0xFFFF});
    sent = Send<TSessionPortLimit2Set>(rates);
    ASSERT_EQ(sent.size(), 40u);
    EXPECT_EQ(std::vector<uint8_t>(sent.begin(), sent.begin() + 4), (std::vector<uint8_t>{2, 1, 0xFF, 0xFF}));
    ASSERT_EQ(Read<TSessionPortLimit2Get>(sent), ssOk);
    EXPECT_EQ(Record<TSessionPortLimit2Get>().entries.at(9).inRate, 0x0102u);
    rates.pop_back();
    EXPECT_TRUE(Send<TSessionPortLimit2Set>(rates).empty());
}

TEST_F(PortFamilies, FirstGenerationTrunksTakeOneDisjointGroupPerTrunkGroup)
{
    const std::vector<TPropertyPortTrunkEntry> good = {{0x0003, false}, {0, false}, {0x0210, true}};
    std::vector<uint8_t> reply = Reply<TPropertyPortTrunk>(good);
    ASSERT_EQ(reply.size(), 15u);
    EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 10, reply.end()), (std::vector<uint8_t>{0, 0, 2, 0x10, 1}));
    ASSERT_EQ(Read<TSessionPortTrunkGet>(reply), ssOk);
    EXPECT_EQ(Record<TSessionPortTrunkGet>().entries.at(2).members, 0x0210u);

    struct TCase {
        std::vector<TPropertyPortTrunkEntry> groups;
        uint16_t status;
    } cases[] = {
        {{good[0], good[1]}, ssBadReply},
        {{good[0], {0x0400, false}, good[2]}, ssBadValue}, // port 11 of 10
        {{{0x0010, false}, good[1], good[2]}, ssBadEntry}, // port 5 in groups 1 and 3
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Read<TSessionPortTrunkGet>(Reply<TPropertyPortTrunk>(c.groups)), c.status);
        EXPECT_FALSE(Record<TSessionPortTrunkGet>().valid);
        EXPECT_EQ(Record<TSessionPortTrunkGet>().entries.at(0).members, 0x0003u);
    }

    EXPECT_EQ(Send<TSessionPortTrunkSet>(good), reply);
    EXPECT_TRUE(Send<TSessionPortTrunkSet>(std::vector(good.begin(), good.end() - 1)).empty());
    // Groups sharing a port go as they are; a member past the target's ports does not.
    EXPECT_EQ(Send<TSessionPortTrunkSet>(std::vector<TPropertyPortTrunkEntry>{{0x3, false}, {0x2, true}, {0, false}}),
              (std::vector<uint8_t>{0, 0, 0, 3, 0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(Send<TSessionPortTrunkSet>(std::vector<TPropertyPortTrunkEntry>(3, {0x0400, false})).empty());
    m_Host.Clear();
    m_Host.Reply(ccPortTrunkSet, m_Device, {0, 0, 0, 0});
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].code, ccPortTrunkGet);
}

TEST_F(PortFamilies, SecondGenerationTrunksDecodeLittleEndianDetailsAndNeverStayHalfUpdated)
{
    std::vector<TPropertyPortTrunk2Entry> groups(4);
    groups[0].members = 0x0007;
    groups[0].lacp = true;
    groups[0].workPorts = 3;
    groups[0].actorPriority = 0x8001;
    groups[0].actorMac = std::string(13, 'A'); // fills the field: no NUL
    groups[0].partnerMac = "00c0f2000001";
    groups[0].actorPort = {1, 2, 3, 0};
    groups[0].actorKey = {0x0102, 0, 0, 0};
    groups[0].selected = {true, false, false, false};
    groups[3].members = 0x0003; // the activity entry may share ports with the groups
    groups[3].workPorts = 7;
    std::vector<uint8_t> reply = Reply<TPropertyPortTrunk2>(groups);
    ASSERT_EQ(reply.size(), 320u);
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 8), (std::vector<uint8_t>{0, 0, 0, 7, 1, 3, 1, 0x80}));
    EXPECT_EQ(reply[44], 2);
    EXPECT_EQ(reply[45], 1);

    ASSERT_EQ(Read<TSessionPortTrunkGet2>(reply), ssOk);
    EXPECT_EQ(Read<TSessionPortTrunkGet2>(reply, 0x0005), 0x0005);
    const TPropertyPortTrunk2& r = Record<TSessionPortTrunkGet2>();
    ASSERT_TRUE(r.valid); // an error status leaves the record as it was
    EXPECT_EQ(r.entries[0].actorPriority, 0x8001u);
    EXPECT_EQ(r.entries[0].actorMac, std::string(13, 'A'));
    EXPECT_EQ(r.entries[0].partnerMac, "00c0f2000001");
    EXPECT_EQ(r.entries[0].actorKey[0], 0x0102u);
    EXPECT_TRUE(r.entries[0].selected[0]);
    EXPECT_EQ(r.entries[3].workPorts, 7u);
    // The first generation's record lives beside it under the shared key.
    EXPECT_FALSE(Property<TPropertyPortTrunk>::Get(m_Device).valid);

    auto bad = groups;
    bad[2].members = 0x0004; // port 3 in groups 1 and 3
    EXPECT_EQ(Read<TSessionPortTrunkGet2>(Reply<TPropertyPortTrunk2>(bad)), ssBadEntry);
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(r.entries[2].members, 0u);
    bad[2].members = 0x0400;
    EXPECT_EQ(Read<TSessionPortTrunkGet2>(Reply<TPropertyPortTrunk2>(bad)), ssBadValue);
    EXPECT_EQ(Read<TSessionPortTrunkGet2>(std::vector(reply.begin(), reply.begin() + 240)), ssBadReply);
    EXPECT_FALSE(r.valid);

    std::vector<uint8_t> sent = Send<TSessionPortTrunkSet2>(groups);
    ASSERT_EQ(sent.size(), 320u);
    std::vector<uint8_t> first(80, 0);
    for (size_t i = 0; i < 6; ++i) first[i] = reply[i];
    EXPECT_EQ(std::vector<uint8_t>(sent.begin(), sent.begin() + 80), first); // the details are the switch's
    EXPECT_EQ(sent[240 + 3], 3);
    EXPECT_EQ(sent[240 + 5], 7);
    EXPECT_TRUE(Send<TSessionPortTrunkSet2>(std::vector(groups.begin(), groups.end() - 1)).empty());
    // Bytes 6 to 79 of the page's entries go out as 0.
    std::vector<uint8_t> held(320, 0xAA), wire(320, 0);
    for (size_t k = 0; k < 4; ++k)
        std::fill_n(held.begin() + long(80 * k), 6, uint8_t(0));
    held[5] = wire[5] = 3;
    auto* raw = new TSessionPortTrunkSet2;
    raw->SetEntries(held.data(), 4);
    Started(raw);
    EXPECT_EQ(m_Host.LastSent().payload, wire);
}

} // namespace
