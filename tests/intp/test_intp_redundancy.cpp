#include <gtest/gtest.h>

#include <vector>

#include "intp/Redundancy.h"
#include "tests/intp/FakeHost.h"

namespace {

using namespace Intp;
using IntpTest::TFakeHost;

constexpr uint32_t DeviceIp = 0x0A000007;

class RedundancySummary : public ::testing::Test {
protected:
    void SetUp() override {
        m_Device = m_Host.MakeDevice(IntpTest::Mac(7), DeviceIp, m_Host.AddModel("M8", 8));
        m_Device->SetLoggedIn(true);
        m_Host.Clear();
    }
    void Start() {
        auto* get = new TSessionRedundancyGet;
        ASSERT_TRUE(get->Start(m_Device, nullptr));
    }

    TFakeHost m_Host;
    TDevice* m_Device = nullptr;
};

TEST_F(RedundancySummary, RequestIsFourZeroBytesToTheSwitch) {
    Start();
    ASSERT_EQ(m_Host.sent.size(), 1u);
    const std::vector<uint8_t>& bytes = m_Host.sent[0].bytes;
    EXPECT_EQ(m_Host.sent[0].ip, DeviceIp);
    const std::vector<uint8_t> golden = {0x03, 0x07, 0x00, 0x00, 0x00, 0x04, 0x00, 0x1A, 0x00, 0x00,
                                         0x00, 0x07, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(bytes, golden);
    EXPECT_STREQ(TSessionRedundancyGet().GetName(), "RedundancyGet");
}

TEST_F(RedundancySummary, ReplyFillsFlagAndMode) {
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x01, 0x03});
    const auto& r = Property<TPropertyRedundancy>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.mode, 3u);
    EXPECT_EQ(m_Host.LastNotify().code, ccRedundancyGet);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_EQ(m_Host.LastNotify().context, nullptr);
}

TEST_F(RedundancySummary, UnknownModeWithFlagOffIsAccepted) {
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x00, 0x07, 0x00, 0x00});
    const auto& r = Property<TPropertyRedundancy>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_FALSE(r.enabled);
    EXPECT_EQ(r.mode, 7u);
}

TEST_F(RedundancySummary, ErrorStatusInvalidatesButKeepsFields) {
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x01, 0x02});
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x00, 0x01}, 0x0010);
    const auto& r = Property<TPropertyRedundancy>::Get(m_Device);
    EXPECT_FALSE(r.valid);
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.mode, 2u);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0010);
}

TEST_F(RedundancySummary, ShortReplyAndNotLoggedInLeaveTheRecord) {
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x01, 0x01});
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x00});
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
    Start();
    m_Host.Reply(ccRedundancyGet, m_Device, {0x00, 0x02}, ssNotLoggedIn);
    EXPECT_EQ(m_Host.LastNotify().status, ssNotLoggedIn);
    EXPECT_FALSE(m_Device->IsLoggedIn());
    const auto& r = Property<TPropertyRedundancy>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.mode, 1u);
}

TEST_F(RedundancySummary, TimeoutNotifiesWhileTheDeviceIsRegistered) {
    auto* get = new TSessionRedundancyGet;
    ASSERT_TRUE(get->Start(m_Device, nullptr));
    ASSERT_TRUE(m_Host.FireTimer(get));
    EXPECT_EQ(m_Host.LastNotify().code, ccRedundancyGet);
    EXPECT_EQ(m_Host.LastNotify().status, ssTimeout);
    EXPECT_FALSE(Property<TPropertyRedundancy>::Get(m_Device).valid);
    EXPECT_EQ(GetSessionCount(), 0u);
}

} // namespace
