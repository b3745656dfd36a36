#include <gtest/gtest.h>

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
