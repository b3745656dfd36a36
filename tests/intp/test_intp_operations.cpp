// Find, login, ping and IntpSip: golden frames and reply handling.
#include <gtest/gtest.h>

#include "intp/Operations.h"
#include "tests/common/FakeHost.h"

using namespace Intp;
using IntpTest::Mac;
using IntpTest::PutU32;
using IntpTest::TDeviceEvent;
using IntpTest::TFakeHost;

namespace {

class TRecordingWizard : public TWizard {
public:
    ~TRecordingWizard() override { TSessionIntpFind::ForgetWizard(this); }
    void OnWizardEvent(TDevice* device, uint16_t code, uint16_t status, const void*) override {
        events.push_back({device, code, status});
    }
    struct TEvent {
        TDevice* device;
        uint16_t code;
        uint16_t status;
    };
    std::vector<TEvent> events;
};

class OperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        model = host.AddModel("Larch", 8, 2, 4, 0, 0, 0, 0, {"LARCH-8"});
        dev = host.MakeDevice(Mac(1), 0xC0A80001, model);
        host.Clear();
    }
    TFakeHost host;
    uint32_t model = 0;
    TDevice* dev = nullptr;
};

std::vector<uint8_t> FindReply(uint32_t pid)
{
    std::vector<uint8_t> p;
    PutU32(p, pid);
    PutU32(p, 0xFFFFFFFF);
    return p;
}

} // namespace

TEST_F(OperationsTest, FindRequestIsSixteenBytesToTheGivenAddress)
{
    TRecordingWizard wizard;
    EXPECT_TRUE(TSessionIntpFind::SendFind(&wizard, 0xC0A801FF));
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].ip, 0xC0A801FFu);
    const std::vector<uint8_t> expected = {0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(host.sent[0].bytes, expected);
    EXPECT_EQ(GetSessionCount(), 0u);
    EXPECT_TRUE(host.timers.empty());
    EXPECT_FALSE(TSessionIntpFind::GetInstance()->Request(dev));
}

TEST_F(OperationsTest, FindReplySetsModelAndAddressAndReportsToTheLastWizard)
{
    TRecordingWizard first, last;
    TSessionIntpFind::SendFind(&first, 0xC0A801FF);
    TSessionIntpFind::SendFind(&last, 0xC0A802FF);
    host.Reply(ccIntpFind, Mac(5), FindReply(MakeProductId("LARCH-8")), 0, 0xC0A80205);
    TDevice* d = FindDevice(Mac(5), false);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetType(), model);
    EXPECT_EQ(d->GetIp(), 0xC0A80205u);
    EXPECT_TRUE(first.events.empty());
    ASSERT_EQ(last.events.size(), 1u);
    EXPECT_EQ(last.events[0].status, ssOk);
    // An unknown product id gives model zero and status zero.
    host.Reply(ccIntpFind, Mac(6), FindReply(0x12345678), 0, 0xC0A80006);
    EXPECT_EQ(FindDevice(Mac(6), false)->GetType(), 0u);
    EXPECT_EQ(host.LastNotify().status, ssOk);
}

TEST_F(OperationsTest, ShortFailedOrUnknownFindReplyChangesNothing)
{
    host.Reply(ccIntpFind, dev->GetMac(), {1, 2, 3, 4, 5, 6, 7}, 0, 0xC0A80077);
    EXPECT_EQ(host.LastNotify().status, ssShortReply);
    EXPECT_EQ(dev->GetIp(), 0xC0A80001u);
    EXPECT_EQ(dev->GetType(), model);
    host.Reply(ccIntpFind, dev->GetMac(), FindReply(0), 0x21, 0xC0A80077);
    EXPECT_EQ(host.LastNotify().status, 0x21);
    EXPECT_EQ(dev->GetType(), model);
    EXPECT_EQ(dev->GetIp(), 0xC0A80001u);
    // An unknown product id from elsewhere leaves a switch of a known model as it was.
    host.Reply(ccIntpFind, dev->GetMac(), FindReply(0x12345678), 0, 0xC0A80077);
    EXPECT_EQ(host.LastNotify().status, ssBadValue);
    EXPECT_EQ(dev->GetType(), model);
    EXPECT_EQ(dev->GetIp(), 0xC0A80001u);
}

// A discovery's burst: finds to many addresses under two masks, out of
// order and some twice, each counts; finds sent after a look-up count too.
TEST_F(OperationsTest, EveryFindOfABurstCountsAsRequested)
{
    TRecordingWizard wizard;
    TSessionIntpFind::ForgetFinds();
    for (uint32_t i = 0; i < 1000; ++i)
        TSessionIntpFind::SendFind(&wizard, 0x0A000000 + (i * 7919) % 1000);  // 10.0.0.0 up to 10.0.3.231
    TSessionIntpFind::SendFind(&wizard, 0x0A000005);
    TSessionIntpFind::SendFind(&wizard, 0xAC1001FF, 0xFFFFFF00);
    for (uint32_t source : {0x0A000000u, 0x0A000005u, 0x0A0003E7u, 0xAC100109u})
        EXPECT_TRUE(TSessionIntpFind::IsRequested(source)) << std::hex << source;
    for (uint32_t source : {0x0A0003E8u, 0x0A010005u, 0xAC100209u})
        EXPECT_FALSE(TSessionIntpFind::IsRequested(source)) << std::hex << source;
    TSessionIntpFind::SendFind(&wizard, 0x0A0003E8);
    EXPECT_TRUE(TSessionIntpFind::IsRequested(0x0A0003E8));
    TSessionIntpFind::ForgetFinds();
    EXPECT_FALSE(TSessionIntpFind::IsRequested(0x0A000005));
}

TEST_F(OperationsTest, AKnownSwitchIsRetypedOnlyByARequestedReplyFromItsOwnAddress)
{
    const uint32_t cedar = host.AddModel("Cedar", 24, 0, 0, 0, 0, 0, 0, {"CEDAR-24"});
    const std::vector<uint8_t> cedarReply = FindReply(MakeProductId("CEDAR-24"));
    TRecordingWizard wizard;
    TSessionIntpFind::ForgetFinds();
    // Unrequested, even from its own address.
    host.Reply(ccIntpFind, dev->GetMac(), cedarReply, 0, 0xC0A80001);
    EXPECT_EQ(host.LastNotify().status, ssBadValue);
    EXPECT_EQ(dev->GetType(), model);
    // Requested (the subnet's broadcast), but from another address.
    TSessionIntpFind::SendFind(&wizard, 0xC0A800FF, 0xFFFFFF00);
    host.Reply(ccIntpFind, dev->GetMac(), cedarReply, 0, 0xC0A80009);
    EXPECT_EQ(dev->GetType(), model);
    EXPECT_EQ(dev->GetIp(), 0xC0A80001u);
    // A network that was not asked.
    dev->SetIp(0xC0A80101);
    host.Reply(ccIntpFind, dev->GetMac(), cedarReply, 0, 0xC0A80101);
    EXPECT_EQ(dev->GetType(), model);
    dev->SetIp(0xC0A80001);
    host.Reply(ccIntpFind, dev->GetMac(), cedarReply, 0, 0xC0A80001);
    EXPECT_EQ(dev->GetType(), cedar);
    EXPECT_EQ(host.LastNotify().status, ssOk);
    // The discovery is over.
    TSessionIntpFind::ForgetFinds();
    host.Reply(ccIntpFind, dev->GetMac(), FindReply(MakeProductId("LARCH-8")), 0, 0xC0A80001);
    EXPECT_EQ(dev->GetType(), cedar);
    // A switch not yet known takes its model from any reply.
    host.Reply(ccIntpFind, Mac(9), cedarReply, 0, 0x0A000009);
    EXPECT_EQ(FindDevice(Mac(9), false)->GetType(), cedar);
}

TEST_F(OperationsTest, LoginFrameCarriesTheDigest)
{
    auto* login = new TSessionIntpLogin;
    login->SetPayload(MakeLoginDigest("admin", ""));
    ASSERT_TRUE(login->Start(dev));
    const std::vector<uint8_t> expected = {0x00, 0x02, 0, 0, 0, 16, 0x00, 0x1A, 0, 0, 0, 1,
                                           0x93, 0x0b, 0x70, 0xfb, 0xbc, 0x68, 0x7b, 0xe6,
                                           0x27, 0xfc, 0xfd, 0x6f, 0x3a, 0xaa, 0xc7, 0x1b};
    EXPECT_EQ(host.LastSent().bytes, expected);
    EXPECT_EQ(host.LastSent().ip, 0xC0A80001u);
}

TEST_F(OperationsTest, LoginAcceptedSetsAndRefusedClearsTheFlag)
{
    TRecordingWizard wizard;
    auto* login = new TSessionIntpLogin;
    login->SetPayload(MakeLoginDigest("admin", "pw"));
    ASSERT_TRUE(login->Start(dev, &wizard));
    host.Reply(ccIntpLogin, dev, {0, 0, 0, 0});
    EXPECT_TRUE(dev->IsLoggedIn());
    ASSERT_EQ(wizard.events.size(), 1u);
    EXPECT_EQ(wizard.events[0].code, ccIntpLogin);
    auto* again = new TSessionIntpLogin;
    again->SetPayload(MakeLoginDigest("admin", "wrong"));
    ASSERT_TRUE(again->Start(dev));
    host.Reply(ccIntpLogin, dev, {0, 0, 0, 0}, 0x0009);
    EXPECT_FALSE(dev->IsLoggedIn());
    EXPECT_EQ(host.LastNotify().status, 0x0009);
}

TEST_F(OperationsTest, LogoutLeavesTheDeviceLoggedOutWhateverTheSwitchAnswers)
{
    for (uint16_t status : {uint16_t(0), uint16_t(5)}) {
        dev->SetLoggedIn(true);
        auto* logout = new TSessionIntpLogin;
        EXPECT_TRUE(logout->IsLogout());
        ASSERT_TRUE(logout->Start(dev));
        host.Reply(ccIntpLogin, dev, {0, 0, 0, 0}, status);
        EXPECT_FALSE(dev->IsLoggedIn()) << status;
    }
    dev->SetLoggedIn(true);
    auto* logout = new TSessionIntpLogin;
    ASSERT_TRUE(logout->Start(dev));
    host.Reply(ccIntpLogin, dev, {0}); // too short
    EXPECT_EQ(host.LastNotify().status, ssShortReply);
    EXPECT_FALSE(dev->IsLoggedIn());
}

TEST_F(OperationsTest, PingDecodesItsWordsAndKeepsThemOnError)
{
    auto* ping = new TSessionIntpPing2(5000);
    ASSERT_TRUE(ping->Start(dev));
    EXPECT_EQ(host.TimerMs(ping), 5000u);
    const std::vector<uint8_t> frame = {0x00, 0x06, 0, 0, 0, 4, 0x00, 0x1A, 0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(host.LastSent().bytes, frame);
    std::vector<uint8_t> reply;
    PutU32(reply, 0x2);
    PutU32(reply, 0x81);
    PutU32(reply, 0xF0F0);
    host.Reply(ccIntpPing2, dev, reply);
    auto& rec = Property<TPropertyIntpPing2>::Get(dev);
    EXPECT_TRUE(rec.valid);
    EXPECT_EQ(rec.powerAlarm, 2u);
    EXPECT_EQ(rec.portFailed, 0x81u);
    EXPECT_EQ(rec.portState, 0xF0F0u);
    ASSERT_TRUE((new TSessionIntpPing2)->Start(dev));
    host.Reply(ccIntpPing2, dev, reply, 0x10);
    EXPECT_FALSE(rec.valid);
    EXPECT_EQ(rec.portFailed, 0x81u);
}

TEST_F(OperationsTest, IntpSipSetsTheWarningFlagOnlyOnChange)
{
    auto* sip = new TSessionIntpSipGet;
    ASSERT_TRUE(sip->Start(dev));
    const std::vector<uint8_t> frame = {0x00, 0x07, 0, 0, 0, 4, 0x00, 0x1A, 0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(host.LastSent().bytes, frame);
    host.Reply(ccIntpSipGet, dev, {1, 1, 0x12, 0x34});
    auto& rec = Property<TPropertyIntpSip>::Get(dev);
    EXPECT_TRUE(rec.valid);
    EXPECT_TRUE(rec.enabled);
    EXPECT_EQ(rec.value, 0x1234);
    EXPECT_TRUE(dev->TestFlags(dfWarning));
    ASSERT_EQ(host.CountEvents(TDeviceEvent::FlagsChanged), 1u);
    EXPECT_EQ(host.events.back().changed, uint32_t(dfWarning));
    ASSERT_TRUE((new TSessionIntpSipGet)->Start(dev));
    host.Reply(ccIntpSipGet, dev, {1, 1, 0x12, 0x34});
    EXPECT_EQ(host.CountEvents(TDeviceEvent::FlagsChanged), 1u);
}

TEST_F(OperationsTest, IntpSipRecordIsValidWhenTheFlagsHandlerRuns)
{
    Property<TPropertyIntpSip>::Get(dev).valid = false;
    bool validInHandler = false;
    uint16_t valueInHandler = 0;
    host.onFlagsChanged = [&](TDevice* d) {
        validInHandler = Property<TPropertyIntpSip>::Get(d).valid;
        valueInHandler = Property<TPropertyIntpSip>::Get(d).value;
    };
    ASSERT_TRUE((new TSessionIntpSipGet)->Start(dev));
    host.Reply(ccIntpSipGet, dev, {1, 1, 0x00, 0x07});
    ASSERT_EQ(host.CountEvents(TDeviceEvent::FlagsChanged), 1u);
    EXPECT_TRUE(validInHandler);
    EXPECT_EQ(valueInHandler, 7);
}

TEST_F(OperationsTest, IntpSipErrorLeavesTheFlagAndInvalidatesTheRecord)
{
    dev->SetFlags(dfWarning);
    ASSERT_TRUE((new TSessionIntpSipGet)->Start(dev));
    host.Reply(ccIntpSipGet, dev, {0, 0, 0, 0}, 0x30);
    EXPECT_TRUE(dev->TestFlags(dfWarning));
    EXPECT_FALSE(Property<TPropertyIntpSip>::Get(dev).valid);
    ASSERT_TRUE((new TSessionIntpSipGet)->Start(dev));
    host.Reply(ccIntpSipGet, dev, {0, 0, 0, 0});
    EXPECT_FALSE(dev->TestFlags(dfWarning));
}
