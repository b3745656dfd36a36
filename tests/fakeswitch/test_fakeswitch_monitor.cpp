// The monitor and mirroring families at a 10-port and a 26-port switch.
#include "intp/Families.h"
#include "tests/fakeswitch/Features.h"
#include "tests/fakeswitch/FleetFixture.h"

using namespace FakeSwitch;
using namespace Intp;

namespace {

class FakeSwitchMonitor : public TFleetTest {
protected:
    void SetUp() override
    {
        for (size_t i : {0, 1}) {
            TSwitchSettings s;
            s.Mac = MacOf(i);
            s.ProductId = "abc";
            s.Model.PortNum = i ? 26 : 10;
            s.Model.TrunkGroupNum = i ? 8 : 3;
            s.MacTableEntries = i ? 16384 : 40;
            s.Factory.Ip = FirstSwitchIp + uint32_t(i);
            m_Fleet.Add(s);
        }
        std::string error;
        ASSERT_TRUE(m_Fleet.Start(&error)) << error;
        for (size_t i : {0, 1})
            Exchange(i, 2, LoginPayload("admin", "admin"));
    }
    static TBytes PayloadOf(const TBytes &reply) { return reply.size() > 12 ? TBytes(reply.begin() + 12, reply.end()) : TBytes{}; }
};

TEST_F(FakeSwitchMonitor, MacTableOfSixteenThousandEntriesOnRequestAndClear)
{
    EXPECT_EQ(StatusOf(Exchange(0, ccMonitorMacClear)), StatusOk);
    EXPECT_TRUE(TableOf<TSessionMonitorMacGet>(m_Fleet.Snapshot(0)).empty());
    const auto table = TableOf<TSessionMonitorMacGet>(m_Fleet.Snapshot(1));
    ASSERT_EQ(table.size(), 16384u);
    EXPECT_TRUE(std::all_of(table.begin(), table.end(), [](const auto &e) { return e.port < 34; }));
    // Full pages follow the first (their pacing over loopback is not this test's).
    EXPECT_EQ(PayloadOf(Exchange(1, ccMonitorMacGet)).size(), 4u + 128 * 8);
}

TEST_F(FakeSwitchMonitor, CountersAnswerOneEntryPerPortAndClearOnePortOrAll)
{
    EXPECT_EQ(PayloadOf(Exchange(0, ccMonitorPortGet)).size(), 10u * 24);
    EXPECT_EQ(PayloadOf(Exchange(1, ccMonitorPortCounter2Get)).size(), 26u * 56);
    EXPECT_EQ(StatusOf(Exchange(1, ccMonitorPortCounterClear, {25, 0})), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(1, ccMonitorPortCounterClear, {26, 0})), StatusRefused);
    const TSwitch sw = m_Fleet.Snapshot(1);
    EXPECT_EQ(RecordOf<TSessionMonitorPortCounterGet>(sw).entries[25].rxOctet, 0u);
    EXPECT_EQ(RecordOf<TSessionMonitorPortCounter2Get>(sw).entries[25].txUnderrun, 0u);
    EXPECT_NE(RecordOf<TSessionMonitorPortCounter2Get>(sw).entries[24].txUnderrun, 0u);
    EXPECT_EQ(StatusOf(Exchange(0, ccMonitorPortClear)), StatusOk);
    EXPECT_EQ(PayloadOf(Exchange(0, ccMonitorPortGet)), TBytes(10 * 24, 0));
}

TEST_F(FakeSwitchMonitor, MirroringOfBothGenerationsIsKept)
{
    TPropertyMonitorMirror m{false, 9, 2, 0x3FF, 0x1};
    EXPECT_EQ(StatusOf(Exchange(0, ccMonitorMirrorSet, EncodeRecord(m))), StatusOk);
    EXPECT_EQ(PayloadOf(Exchange(0, ccMonitorMirrorGet)), EncodeRecord(m, TMessage::Get));
    TPropertyMonitorMirror2 m2{false, 3, 25, 0};
    EXPECT_EQ(StatusOf(Exchange(1, ccMonitorMirror2Set, EncodeRecord(m2))), StatusOk);
    EXPECT_EQ(PayloadOf(Exchange(1, ccMonitorMirror2Get)), (TBytes{3, 25, 0, 0}));
    EXPECT_EQ(PayloadOf(Exchange(1, ccMonitorEventGet)).size(), 4u + 5 * 256);
}

} // namespace
