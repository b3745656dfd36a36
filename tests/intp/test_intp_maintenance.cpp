#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intp/Maintenance.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutText;
using IntpTest::TDeviceEvent;
using IntpTest::TFakeHost;

constexpr uint32_t MaintainedIp = 0x0A000003;
const std::vector<uint8_t> Ack{0, 0, 0, 0};

class Maintenance : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(3, MaintainedIp); }
};

TEST_F(Maintenance, OnlyASuccessfulRebootLogsOutAndClearsTheAddressUntilTheSwitchIsHeardAgain) {
    m_Device->SetLoggedIn(true);
    Started(new TSessionBasicsReboot);
    m_Host.Clear();
    m_Host.Reply(ccBasicsReboot, m_Device, Ack, 0x0011);
    EXPECT_EQ(m_Device->GetIp(), MaintainedIp);
    EXPECT_TRUE(m_Device->IsLoggedIn());
    EXPECT_EQ(m_Host.CountEvents(TDeviceEvent::IpChanged), 0u);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0011);

    Started(new TSessionBasicsReboot);
    m_Host.Clear();
    m_Host.Reply(ccBasicsReboot, m_Device, Ack);
    EXPECT_EQ(m_Device->GetIp(), 0u);
    EXPECT_FALSE(m_Device->IsLoggedIn()) << "a rebooted switch has forgotten the login";
    EXPECT_EQ(m_Host.CountEvents(TDeviceEvent::IpChanged), 1u);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_TRUE(m_Host.sent.empty()) << "nothing is read back";

    // Any later datagram from the switch gives it its address back.
    m_Host.Reply(ccBasicsSave, m_Device->GetMac(), Ack, 0, MaintainedIp);
    EXPECT_EQ(m_Device->GetIp(), MaintainedIp);
}

TEST_F(Maintenance, SaveReportsTheSwitchStatusAndReadsNothing) {
    Started(new TSessionBasicsSave);
    m_Host.Clear();
    m_Host.Reply(ccBasicsSave, m_Device, Ack, 0x0005);
    EXPECT_TRUE(m_Host.sent.empty());
    EXPECT_EQ(m_Host.LastNotify().status, 0x0005);
}

TEST_F(Maintenance, PasswordFieldsAreCutAt16WithoutTerminator) {
    auto* pw = new TSessionBasicsPassword;
    pw->SetPayload("administrator-account", "pw");
    Started(pw);
    std::vector<uint8_t> expected;
    std::string user = "administrator-ac"; // 16 characters, no NUL
    expected.insert(expected.end(), user.begin(), user.end());
    expected.insert(expected.end(), {'p', 'w'});
    expected.resize(32, 0);
    EXPECT_EQ(m_Host.LastSent().payload, expected);

    m_Host.Clear();
    m_Host.Reply(ccBasicsPassword, m_Device, Ack);
    EXPECT_EQ(m_Host.sent.size(), 0u);
}

TEST_F(Maintenance, DefaultWithRebootFlagRebootsAfterSuccess) {
    auto* def = new TSessionBasicsDefault;
    def->SetReboot(true);
    def->SetKeepMask(dkAccount | dkNetwork);
    Started(def);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{0, 0, 0, 3})); // only the keep mask
    m_Host.Clear();
    m_Host.Reply(ccBasicsDefault, m_Device, Ack);
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.notified[0].code, ccBasicsDefault);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].code, ccBasicsReboot);
    EXPECT_EQ(m_Host.sent[0].ip, MaintainedIp);

    m_Host.Reply(ccBasicsReboot, m_Device, Ack);
    ASSERT_EQ(m_Host.notified.size(), 2u);
    EXPECT_EQ(m_Host.notified[1].code, ccBasicsReboot);
    EXPECT_EQ(m_Device->GetIp(), 0u);
}

TEST_F(Maintenance, DefaultStartsNoRebootWhenItFailsOrWasNotAsked) {
    auto* failed = new TSessionBasicsDefault;
    failed->SetReboot(true);
    Started(failed);
    auto* plain = new TSessionBasicsDefault;
    Started(plain);
    m_Host.Clear();
    m_Host.Reply(ccBasicsDefault, m_Device, Ack, 0x0030);
    m_Host.Reply(ccBasicsDefault, m_Device, Ack);
    EXPECT_TRUE(m_Host.sent.empty());
    ASSERT_EQ(m_Host.notified.size(), 2u);
    EXPECT_EQ(m_Host.notified[0].status, 0x0030);
    EXPECT_EQ(m_Host.notified[1].status, ssOk);
    EXPECT_EQ(GetSessionCount(), 0u);
}

} // namespace
