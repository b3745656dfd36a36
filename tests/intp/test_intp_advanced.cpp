#include <gtest/gtest.h>

#include <vector>

#include "intp/Advanced.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;

class Advanced : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(8, 0x0A000008); }
};

TEST_F(Advanced, StormFilterDecodesFlagsAndKeepsAnyRate) {
    Started(new TSessionAdvConBSFGet);
    m_Host.Reply(ccAdvConBSFGet, m_Device, {1, 0, 0, 7, 3});
    const auto& r = Property<TPropertyAdvConBSF>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_TRUE(r.filterFlooded);
    EXPECT_FALSE(r.filterControl);
    EXPECT_FALSE(r.filterIpMulticast);
    EXPECT_TRUE(r.filterBroadcast);
    EXPECT_EQ(r.rateLimit, 3u);

    Started(new TSessionAdvConBSFGet);
    m_Host.Reply(ccAdvConBSFGet, m_Device, {0, 0, 0, 0, 200});
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_EQ(r.rateLimit, 200u); // stored as received

    Started(new TSessionAdvConBSFGet);
    m_Host.Reply(ccAdvConBSFGet, m_Device, {1, 1, 1, 1});
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
    EXPECT_TRUE(r.valid);
}

TEST_F(Advanced, AgingTimeAndJumboFramesDecode) {
    Started(new TSessionAgingTimeGet);
    m_Host.Reply(ccAgingTimeGet, m_Device, {2, 7});
    const auto& aging = Property<TPropertyAgingTime>::Get(m_Device);
    ASSERT_TRUE(aging.valid);
    EXPECT_EQ(aging.agingTime, 2);
    EXPECT_TRUE(aging.autoFlush);
    Started(new TSessionAgingTimeGet);
    m_Host.Reply(ccAgingTimeGet, m_Device, {9, 0});
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_EQ(aging.agingTime, 9);
    EXPECT_FALSE(aging.autoFlush);

    Started(new TSessionJumboFrameGet);
    m_Host.Reply(ccJumboFrameGet, m_Device, {});
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
    Started(new TSessionJumboFrameGet);
    m_Host.Reply(ccJumboFrameGet, m_Device, {5});
    EXPECT_TRUE(Property<TPropertyJumboFrame>::Get(m_Device).enabled);
    Started(new TSessionJumboFrameGet);
    m_Host.Reply(ccJumboFrameGet, m_Device, {0}, 0x0009);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0009);
    EXPECT_FALSE(Property<TPropertyJumboFrame>::Get(m_Device).valid);
}

TEST_F(Advanced, SetsSendTheirBytesUnchangedAndReReadWhateverTheStatus) {
    const uint8_t storm[5] = {1, 0, 1, 0, 3};
    auto* bsf = new TSessionAdvConBSFSet;
    bsf->SetPayload(storm);
    Started(bsf);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{1, 0, 1, 0, 3}));
    m_Host.Reply(ccAdvConBSFSet, m_Device, {0, 0, 0, 0}, 0x0021);
    EXPECT_EQ(m_Host.LastSent().code, ccAdvConBSFGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccAdvConBSFSet);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0021);

    const uint8_t aging[2] = {3, 1};
    auto* agingSet = new TSessionAgingTimeSet;
    agingSet->SetPayload(aging);
    Started(agingSet);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{3, 1}));
    m_Host.Reply(ccAgingTimeSet, m_Device, {0, 0, 0, 0});
    EXPECT_EQ(m_Host.LastSent().code, ccAgingTimeGet);

    const uint8_t jumbo = 1;
    auto* jumboSet = new TSessionJumboFrameSet;
    jumboSet->SetPayload(&jumbo);
    Started(jumboSet);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{1}));
    m_Host.Reply(ccJumboFrameSet, m_Device, {0, 0, 0, 0});
    EXPECT_EQ(m_Host.LastSent().code, ccJumboFrameGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccJumboFrameSet);
}

} // namespace
