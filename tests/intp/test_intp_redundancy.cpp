// The redundancy summary's decoder; framing, error statuses, short replies
// and time-outs are the engine's (test_intp_session, test_intp_command_table).
#include <gtest/gtest.h>

#include "intp/Redundancy.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;

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

} // namespace
