// Behaviour of a fleet of fake switches over loopback: addressing, login,
// address changes, maintenance commands and malformed replies on request.
#include "tests/fakeswitch/FleetFixture.h"

#include <cstdio>
#include <fstream>
#include <set>

using namespace FakeSwitch;
using namespace std::chrono_literals;

namespace {

constexpr uint32_t LoopbackBroadcast = 0x7FFFFFFF;

class FakeSwitchFleet : public TFleetTest {
protected:
    void SetUp() override { StartFleet(3); }

    TBytes IpSetPayload(const std::string &user, const std::string &password, uint32_t ip)
    {
        TWriter w;
        auto d = LoginDigest(user, password);
        w.Bytes(d.data(), d.size()).U8(0).U32(ip).U32(0xFF000000).U32(0x7F0000FE).U32(0).U32(0);
        return w.Take();
    }
};

TEST_F(FakeSwitchFleet, BroadcastFindIsAnsweredByEverySwitchFromItsOwnAddress)
{
    ASSERT_TRUE(m_Client.Send(LoopbackBroadcast, m_Fleet.Port(), 0, TMac{}));
    std::set<uint32_t> sources;
    std::set<TMac> macs;
    while (auto reply = m_Client.Receive(sources.size() < 3 ? 2000ms : 100ms)) {
        THeader h;
        ASSERT_TRUE(DecodeHeader(reply->Bytes.data(), reply->Bytes.size(), h));
        sources.insert(reply->Source);
        macs.insert(h.Mac);
    }
    EXPECT_EQ(sources, (std::set<uint32_t>{FirstSwitchIp, FirstSwitchIp + 1, FirstSwitchIp + 2}));
    EXPECT_EQ(macs, (std::set<TMac>{MacOf(0), MacOf(1), MacOf(2)}));
}

TEST_F(FakeSwitchFleet, OnlyTheAddressedSwitchAnswersAndOnlyToItsOwnMac)
{
    ASSERT_TRUE(m_Client.Send(FirstSwitchIp + 1, m_Fleet.Port(), 0, TMac{}));
    auto reply = m_Client.Receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->Source, FirstSwitchIp + 1);
    EXPECT_FALSE(m_Client.Receive(100ms));

    ASSERT_TRUE(m_Client.Send(FirstSwitchIp, m_Fleet.Port(), 262, MacOf(1)));
    TBytes next = Exchange(0, 7);
    ASSERT_GE(next.size(), 2u);
    EXPECT_EQ(next[1], 7);
    EXPECT_EQ(m_Fleet.Requests(0, 262) + m_Fleet.Requests(1, 262), 0u);
}

TEST_F(FakeSwitchFleet, LoginOpensSetsAndLogoutClosesThem)
{
    TBytes settings = TWriter().Text("Core", 256).Text("Desc", 256).Text("Lab", 256).Text("Ops", 256).Take();
    EXPECT_EQ(StatusOf(Exchange(0, 261, settings)), StatusNotLoggedIn);
    EXPECT_EQ(StatusOf(Exchange(0, 2, LoginPayload("admin", "admin"))), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, 261, settings)), StatusOk);
    EXPECT_EQ(m_Fleet.Snapshot(0).Running.Name, "Core");
    EXPECT_EQ(m_Fleet.Snapshot(0).Running.Contact, "Ops");
    EXPECT_FALSE(m_Fleet.IsLoggedIn(1, ClientIp));

    EXPECT_EQ(StatusOf(Exchange(0, 2, TBytes(16, 0))), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, 261, settings)), StatusNotLoggedIn);
}

TEST_F(FakeSwitchFleet, IpSetToLimitedBroadcastMovesOnlyTheSwitchWithThatMacAndTheRightDigest)
{
    ASSERT_TRUE(m_Client.Send(0xFFFFFFFF, m_Fleet.Port(), 263, MacOf(1), IpSetPayload("admin", "wrong", 0x7F000063)));
    auto refused = m_Client.Receive();
    ASSERT_TRUE(refused);
    EXPECT_EQ(StatusOf(refused->Bytes), StatusRefused);
    EXPECT_EQ(m_Fleet.Ip(1), FirstSwitchIp + 1);

    ASSERT_TRUE(m_Client.Send(0xFFFFFFFF, m_Fleet.Port(), 263, MacOf(1), IpSetPayload("admin", "admin", 0x7F000063)));
    auto reply = m_Client.Receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(StatusOf(reply->Bytes), StatusOk);
    EXPECT_EQ(reply->Source, 0x7F000063u);
    EXPECT_EQ(m_Fleet.Ip(1), 0x7F000063u);
    EXPECT_EQ(m_Fleet.Ip(0), FirstSwitchIp);
    EXPECT_EQ(m_Fleet.Ip(2), FirstSwitchIp + 2);

    TBytes conf = Exchange(1, 262);
    ASSERT_EQ(conf.size(), 12u + 21u);
    EXPECT_EQ(TBytes(conf.begin() + 13, conf.begin() + 17), (TBytes{0x7F, 0, 0, 0x63}));
    EXPECT_FALSE(m_Client.Send(FirstSwitchIp + 1, m_Fleet.Port(), 0, TMac{}) && m_Client.Receive(100ms));
}

TEST_F(FakeSwitchFleet, RebootGoesSilentThenAnswersWithTheSavedConfiguration)
{
    m_Fleet.SetRebootSilence(300ms);
    Exchange(0, 2, LoginPayload("admin", "admin"));
    TBytes saved = TWriter().Text("Saved", 256).Text("", 256).Text("", 256).Text("", 256).Take();
    TBytes unsaved = TWriter().Text("Unsaved", 256).Text("", 256).Text("", 256).Text("", 256).Take();
    ASSERT_EQ(StatusOf(Exchange(0, 261, saved)), StatusOk);
    ASSERT_EQ(StatusOf(Exchange(0, 264)), StatusOk);
    ASSERT_EQ(StatusOf(Exchange(0, 261, unsaved)), StatusOk);

    auto rebooted = std::chrono::steady_clock::now();
    ASSERT_EQ(StatusOf(Exchange(0, 259)), StatusOk);
    EXPECT_TRUE(Exchange(0, 6, TBytes(4, 0), 100ms).empty());

    std::optional<TDatagram> reply;
    auto deadline = rebooted + 5s;
    while (!reply && std::chrono::steady_clock::now() < deadline) {
        Send(0, 6);
        reply = m_Client.Receive(50ms);
    }
    ASSERT_TRUE(reply);
    EXPECT_GE(std::chrono::steady_clock::now() - rebooted, 300ms);
    EXPECT_EQ(m_Fleet.Snapshot(0).Running.Name, "Saved");
    EXPECT_FALSE(m_Fleet.IsLoggedIn(0, ClientIp));
}

TEST_F(FakeSwitchFleet, NewCredentialsAreNeededForTheNextLoginAndFactoryDefaultKeepsOnlyWhatTheMaskSays)
{
    Exchange(0, 2, LoginPayload("admin", "admin"));
    ASSERT_EQ(StatusOf(Exchange(0, 268, TWriter().Text("root", 16).Text("toor", 16).Take())), StatusOk);
    EXPECT_EQ(StatusOf(Exchange(0, 2, LoginPayload("admin", "admin"))), StatusRefused);
    EXPECT_EQ(StatusOf(Exchange(0, 2, LoginPayload("root", "toor"))), StatusOk);
    TBytes settings = TWriter().Text("Changed", 256).Text("", 256).Text("", 256).Text("", 256).Take();
    ASSERT_EQ(StatusOf(Exchange(0, 261, settings)), StatusOk);

    ASSERT_EQ(StatusOf(Exchange(0, 271, TWriter().U32(0x1).Take())), StatusOk);
    TSwitch sw = m_Fleet.Snapshot(0);
    EXPECT_EQ(sw.Running.Name, "Switch-1");
    EXPECT_EQ(sw.Running.User, "root");
    EXPECT_EQ(sw.Saved.User, "root");

    ASSERT_EQ(StatusOf(Exchange(0, 271, TWriter().U32(0x2).Take())), StatusOk);
    EXPECT_EQ(m_Fleet.Snapshot(0).Running.User, "admin");
}

TEST_F(FakeSwitchFleet, MalformedRepliesOnRequest)
{
    m_Fleet.SetFault(0, 6, {TFaultKind::Short, 0});
    EXPECT_EQ(Exchange(0, 6), EncodeFrame(6, 0, MacOf(0), {}));

    m_Fleet.SetFault(0, 6, {TFaultKind::WrongMac, 0});
    TBytes wrongMac = Exchange(0, 6);
    THeader h;
    ASSERT_TRUE(DecodeHeader(wrongMac.data(), wrongMac.size(), h));
    EXPECT_NE(h.Mac, MacOf(0));

    m_Fleet.SetFault(0, 6, {TFaultKind::Garbage, 0});
    EXPECT_LT(Exchange(0, 6).size(), HeaderSize);

    m_Fleet.SetFault(0, -1, {TFaultKind::Silent, 0});
    m_Fleet.SetFault(0, 6, {TFaultKind::None, 0});
    EXPECT_EQ(Exchange(0, 6).size(), 12u + 12u);
    EXPECT_TRUE(Exchange(0, 7, TBytes(4, 0), 100ms).empty());

    m_Fleet.ClearFaults(0);
    EXPECT_EQ(Exchange(0, 7).size(), 12u + 4u);
}

TEST_F(FakeSwitchFleet, ShortAndUnknownDatagramsAreIgnored)
{
    ASSERT_TRUE(m_Client.Send(FirstSwitchIp, m_Fleet.Port(), TBytes{0, 0, 0}));
    ASSERT_TRUE(Send(0, 0x7777));
    ASSERT_TRUE(m_Fleet.WaitForRequests(0, 0x7777, 1, 2s));
    EXPECT_FALSE(m_Client.Receive(100ms));
    EXPECT_EQ(Exchange(0, 7).size(), 12u + 4u);
}

TEST_F(FakeSwitchFleet, RequestOfTheWrongSizeIsRefusedAndCounted)
{
    EXPECT_EQ(StatusOf(Exchange(0, 2, TBytes(15, 0))), StatusRefused);
    TBytes lengthLies = EncodeFrame(262, 0, MacOf(0), TBytes(4, 0));
    lengthLies[5] = 8;
    ASSERT_TRUE(m_Client.Send(FirstSwitchIp, m_Fleet.Port(), lengthLies));
    auto reply = m_Client.Receive();
    ASSERT_TRUE(reply);
    EXPECT_EQ(StatusOf(reply->Bytes), StatusRefused);
    EXPECT_EQ(reply->Bytes.size(), 12u + 21u);
    EXPECT_EQ(m_Fleet.MalformedRequests(), 2u);
    EXPECT_EQ(StatusOf(Exchange(0, 262)), StatusOk);
    EXPECT_EQ(m_Fleet.MalformedRequests(), 2u);
}

TEST(FakeSwitchModels, ModelFileGivesNamesProductIdsAndRecipientCounts)
{
    std::string path = ::testing::TempDir() + "fakeswitch_devices.dev";
    {
        std::ofstream f(path);
        f << "devicenum=2\r\ndevicenum6095=1\r\nName0=Alpha\r\nID0=alpha-id\r\nPortNum0=8\r\nSmtpRecipientNum0=3\r\n"
             "Name1=Beta\r\nPortNum1=x\r\n";
    }
    auto models = LoadModels(path);
    std::remove(path.c_str());
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(models[0].Type.Name, "Alpha");
    EXPECT_EQ(models[0].ProductIds, std::vector<std::string>{"alpha-id"});
    EXPECT_EQ(models[0].Type.PortNum, 8u);
    EXPECT_EQ(models[0].Type.SmtpRecipientNum, 3u);
    EXPECT_TRUE(models[1].ProductIds.empty());
    EXPECT_EQ(models[1].Type.PortNum, 0u);
    EXPECT_TRUE(LoadModels("/nonexistent/devices.dev").empty());
}

TEST(FakeSwitchModels, EveryShippedModelHasAProductIdForItsSwitches)
{
    std::ifstream file(CONSOLE_DEVICES_DEV);
    if (!file)
        GTEST_SKIP() << "no model table at " << CONSOLE_DEVICES_DEV;
    auto models = LoadModels(CONSOLE_DEVICES_DEV);
    ASSERT_FALSE(models.empty());
    std::set<uint32_t> ids;
    for (const auto &m : models) {
        EXPECT_FALSE(m.Type.Name.empty());
        ASSERT_FALSE(m.ProductIds.empty()) << m.Type.Name;
        EXPECT_TRUE(ids.insert(ProductId(m.ProductIds.front())).second) << m.Type.Name << " shares a product id";
    }
}

} // namespace
