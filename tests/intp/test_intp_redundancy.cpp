// The redundancy decoders and Sets; framing, error statuses, short replies
// and time-outs are the engine's (test_intp_session, test_intp_command_table).
#include <gtest/gtest.h>

#include <vector>

#include "intp/Redundancy.h"
#include "tests/common/Records.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutU32;
using Bytes = std::vector<uint8_t>;

class RedundancySummary : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(7, 0x0A000007); }
};

TEST_F(RedundancySummary, ReplyFillsFlagAndModeAndAnUnknownModeIsAccepted) {
    Started(new TSessionRedundancyGet);
    m_Host.Reply(ccRedundancyGet, m_Device, {0x01, 0x03});
    const auto& r = Property<TPropertyRedundancy>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.mode, 3u);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);

    Started(new TSessionRedundancyGet);
    m_Host.Reply(ccRedundancyGet, m_Device, {0x00, 0x07, 0x00, 0x00});
    EXPECT_TRUE(r.valid);
    EXPECT_FALSE(r.enabled);
    EXPECT_EQ(r.mode, 7u);
}

// The families below on an 8-port model.
class Redundancy : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(8, 0x0A000008); }

    template <class TGet> uint16_t Read(const Bytes& reply, uint16_t status = ssOk)
    {
        Started(new TGet);
        m_Host.Reply(TGet::CommandCode, m_Device, reply, status);
        EXPECT_EQ(m_Host.LastNotify().code, TGet::CommandCode);
        return m_Host.LastNotify().status;
    }
    // A Set's reply re-reads its feature and then tells the reply's status.
    void ExpectRefresh(uint16_t setCode, uint16_t getCode)
    {
        m_Host.Reply(setCode, m_Device, {0, 0, 0, 0}, 0x0042);
        EXPECT_EQ(m_Host.LastSent().code, getCode);
        EXPECT_EQ(m_Host.LastNotify().code, setCode);
        EXPECT_EQ(m_Host.LastNotify().status, 0x0042);
    }
};

TEST_F(Redundancy, RingFlagsAreNonZeroBytesAndItsSetSendsTheNineBytesAsGiven) {
    ASSERT_EQ(Read<TSessionRedundancyRingGet>({2, 0, 3, 4, 0x80, 5, 6, 0, 7}), ssOk);
    const auto& r = Property<TPropertyRedundancyRing>::Get(m_Device);
    EXPECT_TRUE(r.ringEnabled && !r.ringMaster && r.couplingEnabled && !r.dualHoming);
    EXPECT_EQ(std::vector<uint32_t>({r.firstPort, r.secondPort, r.controlPort, r.couplingPort, r.homingPort}),
              std::vector<uint32_t>({3, 4, 5, 6, 7}));

    const uint8_t sent[9] = {1, 1, 0, 2, 1, 3, 4, 9, 5};
    auto* set = new TSessionRedundancyRingSet;
    set->SetPayload(sent);
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes(sent, sent + 9));
    ExpectRefresh(ccRedundancyRingSet, ccRedundancyRingGet);
}

TEST_F(Redundancy, ChainRingNeedsOneValuePerPortAndSkipsItsUnreadWord) {
    Bytes reply{1, 0, 2, 3, 0, 0, 0, 0, 0, 0, 9, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0xAA, 0xBB, 0xCC, 0xDD};
    PutU32(reply, 0x01020304);
    reply.resize(37, 7);
    ASSERT_EQ(Read<TSessionRedundancyRing2Get>(reply), ssOk);
    const auto& r = Property<TPropertyRedundancyRing2>::Get(m_Device);
    EXPECT_TRUE(r.ringEnabled);
    EXPECT_EQ(r.groupFlags[1], 9);
    EXPECT_EQ(r.groupSecondValues[3], 8);
    EXPECT_EQ(r.value, 0x01020304u);
    EXPECT_EQ(r.portValues, std::vector<uint32_t>(8, 7));

    for (size_t size : {29, 36, 38}) {
        reply.resize(size, 7);
        EXPECT_EQ(Read<TSessionRedundancyRing2Get>(reply), ssBadReply) << size;
        EXPECT_FALSE(r.valid);
    }
}

TEST_F(Redundancy, FastRecoveryPrioritiesRunToThePortCount) {
    ASSERT_EQ(Read<TSessionRedundancyFastRecoveryGet>({1, 0, 1, 2, 3, 4, 5, 6, 8}), ssOk);
    const auto& r = Property<TPropertyRedundancyFastRecovery>::Get(m_Device);
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.priorities, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5, 6, 8}));

    EXPECT_EQ(Read<TSessionRedundancyFastRecoveryGet>({1, 0, 1, 2, 9, 4, 5, 6, 8}), ssBadValue);
    EXPECT_EQ(Read<TSessionRedundancyFastRecoveryGet>({1, 0, 1, 2, 3, 4, 5, 6, 7, 8}), ssBadReply);
    EXPECT_FALSE(r.valid);

    const uint8_t sent[9] = {1, 0, 3, 0, 0, 1, 2, 0, 8};
    auto* set = new TSessionRedundancyFastRecoverySet;
    set->SetEntries(sent, 8);
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes(sent, sent + 9));
    ExpectRefresh(ccRedundancyFastRecoverySet, ccRedundancyFastRecoveryGet);

    // Not sent: the count of another model, a priority past the port count.
    TSessionRedundancyFastRecoverySet wrongCount, badPriority;
    wrongCount.SetEntries(sent, 7);
    EXPECT_FALSE(wrongCount.Start(m_Device));
    const uint8_t nine[9] = {1, 9, 0, 0, 0, 0, 0, 0, 0};
    badPriority.SetEntries(nine, 8);
    EXPECT_FALSE(badPriority.Start(m_Device));
}

// Bridge: on, priority, max age, hello, delay; then 8-byte port entries.
Bytes RstpReply(size_t ports, size_t extra = 0)
{
    Bytes v{1, 0x80, 0x00, 20, 2, 15};
    for (size_t i = 0; i < ports; ++i) {
        PutU32(v, 200000 + uint32_t(i));
        v.insert(v.end(), {0x80, 2, 1, 0});
    }
    v.insert(v.end(), extra, 0xEE);
    return v;
}

TEST_F(Redundancy, RstpSettingsAreBigEndianAndOneEntryPerPort) {
    ASSERT_EQ(Read<TSessionRedundancyRstpGet>(RstpReply(8, 3)), ssOk); // 73 bytes: the tail is ignored
    const auto& r = Property<TPropertyRedundancyRstp>::Get(m_Device);
    EXPECT_EQ(r.bridgePriority, 32768u);
    EXPECT_EQ(r.ports[0].pathCost, 200000u);
    EXPECT_EQ(r.ports[7].priority, 128u);
    EXPECT_EQ(r.ports[7].p2p, uint32_t(rpAuto));
    EXPECT_TRUE(r.ports[7].edge && !r.ports[7].nonStp);

    for (size_t ports : {0, 7, 9}) {
        EXPECT_EQ(Read<TSessionRedundancyRstpGet>(RstpReply(ports)), ssBadReply) << ports;
        EXPECT_FALSE(r.valid);
    }
}

TEST_F(Redundancy, RstpSetTurnsTheHostOrderPriorityAndCostsIntoWireOrder) {
    TPropertyRedundancyRstp settings = IntpTest::PerPort<TPropertyRedundancyRstp>(
        ModelOf(m_Device), [](size_t i, TPropertyRedundancyRstpPort& p) { p = {20000, 16, rpTrue, i == 0, true}; });
    settings.enabled = true;
    settings.bridgePriority = 4096;
    settings.maxAge = 6;
    settings.helloTime = 1;
    settings.forwardDelay = 4;
    auto* set = new TSessionRedundancyRstpSet;
    set->SetPayload(settings);
    Started(set);
    const Bytes& sent = m_Host.LastSent().payload;
    ASSERT_EQ(sent.size(), 6u + 8 * 8);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 14), Bytes({1, 0x10, 0x00, 6, 1, 4, 0, 0, 0x4E, 0x20, 16, 1, 1, 1}));
    EXPECT_EQ(Bytes(sent.end() - 8, sent.end()), Bytes({0, 0, 0x4E, 0x20, 16, 1, 0, 1}));
    ExpectRefresh(ccRedundancyRstpSet, ccRedundancyRstpGet);

    settings.ports.pop_back();
    TSessionRedundancyRstpSet shorter;
    shorter.SetPayload(settings);
    EXPECT_FALSE(shorter.Start(m_Device));
}

TEST_F(Redundancy, RstpInformationKeepsTheRootIdAsReceived) {
    Bytes reply{1, 0x80, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x55, 0x80, 0x00, 255};
    PutU32(reply, 0xFFFFFFFE);
    reply.insert(reply.end(), {20, 2, 15});
    for (uint8_t i = 0; i < 8; ++i) {
        PutU32(reply, 2000000000u + i);
        reply.insert(reply.end(), {128, 1, 0, 1, 3, 2});
    }
    reply.resize(99, 0xEE);
    ASSERT_EQ(Read<TSessionRedundancyRstpInfoGet>(reply), ssOk);
    const auto& r = Property<TPropertyRedundancyRstpInfo>::Get(m_Device);
    EXPECT_EQ(r.rootBridgeId, (std::array<uint8_t, 8>{0x80, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(r.rootPort, RstpRootIsSelf);
    EXPECT_EQ(r.rootPathCost, 0xFFFFFFFEu);
    EXPECT_EQ(r.ports[7].pathCost, 2000000007u);
    EXPECT_TRUE(r.ports[7].neighbour && !r.ports[7].edge);
    EXPECT_EQ(r.ports[7].state, uint32_t(rsForwarding));
    EXPECT_EQ(r.ports[7].role, uint32_t(rrDesignated));

    reply.resize(19);
    EXPECT_EQ(Read<TSessionRedundancyRstpInfoGet>(reply), ssBadReply);
    EXPECT_FALSE(r.valid);
}

} // namespace
