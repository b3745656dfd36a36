// Request engine: frames, matching, common checks, time-outs, the family
// bases, and deletion from inside callbacks.
#include <gtest/gtest.h>

#include "intp/Operations.h"
#include "intp/Session.h"
#include "tests/common/FakeHost.h"

using namespace Intp;
using IntpTest::Mac;
using IntpTest::PutU16;
using IntpTest::PutU32;
using IntpTest::TDeviceEvent;
using IntpTest::TFakeHost;

namespace {

// A per-port feature on code 516 (smallest reply 1): one byte per port.
struct TPropertyTestPorts {
    static constexpr int32_t Key = PropertyKey(ccPortLimitGet);
    bool valid = false;
    std::vector<uint8_t> ports;
};

class TTestPortsGet : public TSessionGet<ccPortLimitGet, TPropertyTestPorts> {
protected:
    uint16_t Decode(TDevice* device, TPropertyTestPorts& record, TPayloadReader& in) override {
        size_t n = in.Size();
        if (n != device->GetPortNum()) return ssBadReply;
        record.ports.assign(n, 0);
        for (size_t i = 0; i < n; ++i) {
            record.ports[i] = in.U8();
            if (record.ports[i] > 3) return ssBadValue;
        }
        return ssOk;
    }
};

class TTestPortsSet : public TSessionVariableSet<ccPortLimitSet, TTestPortsGet> {};

// A paged table on code 2070: 4-byte prefix, 28-byte entries, 32 per page.
struct TPropertyTestTableEntry {
    uint32_t id = 0;
};
struct TPropertyTestTable {
    static constexpr int32_t Key = PropertyKey(ccSecurityAclGet);
    bool valid = false;
    std::vector<TPropertyTestTableEntry> entries;
};

class TTestTableGet : public TSessionPagedGet<ccSecurityAclGet, TPropertyTestTable> {
public:
    TTestTableGet() : TSessionPagedGet(28, 32) {}

protected:
    uint16_t DecodeEntry(TDevice*, TPropertyTestTableEntry& entry, TPayloadReader& in) override {
        entry.id = in.U32();
        return entry.id == 0xDEADBEEF ? ssBadEntry : ssOk;
    }
};

class TTestTableAdd : public TSessionSet<ccSecurityAclAdd, TTestTableGet> {
public:
    uint32_t id = 0;

protected:
    bool BuildPayload(TDevice*, TPayloadWriter& out) override {
        out.U32(id);
        return true;
    }
};

class TFailingBuild : public TSessionGeneral<ccBasicsReboot> {
protected:
    bool BuildPayload(TDevice*, TPayloadWriter&) override { return false; }
};

class TOverflowingBuild : public TSessionGeneral<ccBasicsReboot> {
protected:
    bool BuildPayload(TDevice*, TPayloadWriter& out) override {
        out.U32(1);
        out.U32(2); // one word too many for a 4-byte payload
        return true;
    }
};

std::vector<uint8_t> TablePage(size_t entries, uint32_t firstId = 1)
{
    std::vector<uint8_t> p(4, 0);
    for (size_t i = 0; i < entries; ++i) {
        PutU32(p, firstId + uint32_t(i));
        p.resize(p.size() + 24, 0);
    }
    return p;
}

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        model = host.AddModel("M4", 4, 2);
        dev = host.MakeDevice(Mac(1), 0x0A000001, model);
        host.Clear();
    }
    template <class T, class... A>
    T* StartOn(TDevice* d, A&&... args) {
        T* s = new T(std::forward<A>(args)...);
        if (!s->Start(d)) {
            delete s;
            return nullptr;
        }
        return s;
    }
    TFakeHost host;
    uint32_t model = 0;
    TDevice* dev = nullptr;
};

} // namespace

// Sending

TEST_F(SessionTest, StartSendsHeaderAndZeroPayloadAndArmsTheTimer)
{
    auto* s = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].ip, 0x0A000001u);
    const std::vector<uint8_t> expected = {0x01, 0x03, 0, 0, 0, 4, 0x00, 0x1A, 0, 0, 0, 1, 0, 0, 0, 0};
    EXPECT_EQ(host.sent[0].bytes, expected);
    EXPECT_TRUE(host.TimerEnabled(s));
    EXPECT_EQ(host.TimerMs(s), 60000u);
    EXPECT_EQ(GetSessionCount(), 1u);
}

TEST_F(SessionTest, FailedBuildSendsNothingAndListsNothing)
{
    auto* s = new TFailingBuild;
    EXPECT_FALSE(s->Start(dev));
    EXPECT_TRUE(host.sent.empty());
    EXPECT_FALSE(host.HasTimer(s));
    EXPECT_EQ(GetSessionCount(), 0u);
    delete s;
    auto* o = new TOverflowingBuild;
    EXPECT_FALSE(o->Start(dev));
    EXPECT_TRUE(host.sent.empty());
    delete o;
}

TEST_F(SessionTest, SendThatThrowsMakesStartFailCleanly)
{
    host.sendThrows = true;
    auto* s = new TSessionGeneral<ccBasicsReboot>;
    EXPECT_FALSE(s->Start(dev));
    EXPECT_FALSE(host.HasTimer(s));
    EXPECT_EQ(GetSessionCount(), 0u);
    delete s;
    EXPECT_FALSE(TSessionIntpFind::SendFind(nullptr, 0x0A0000FF));
}

TEST_F(SessionTest, SendFailingInsideAReplyHandlerIsContained)
{
    auto* add = StartOn<TTestTableAdd>(dev);
    ASSERT_NE(add, nullptr);
    host.sendThrows = true;
    host.Reply(ccSecurityAclAdd, dev, {0, 0, 0, 0});
    EXPECT_EQ(GetSessionCount(), 0u); // the Set finished, the refresh never listed
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].code, ccSecurityAclAdd);
    EXPECT_TRUE(host.timers.empty());
}

// Receiving

TEST_F(SessionTest, ShortReplyIsReportedBeforeTheStatus)
{
    StartOn<TTestTableGet>(dev);
    dev->SetLoggedIn(true);
    host.Reply(ccSecurityAclGet, dev, {}, ssNotLoggedIn);
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].status, ssShortReply);
    EXPECT_TRUE(dev->IsLoggedIn());
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(SessionTest, NotLoggedInClearsTheFlagAndLeavesTheRecord)
{
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {1, 2, 3, 0});
    ASSERT_TRUE(Property<TPropertyTestPorts>::Get(dev).valid);
    dev->SetLoggedIn(true);
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 0, 0, 0}, ssNotLoggedIn);
    EXPECT_EQ(host.LastNotify().status, ssNotLoggedIn);
    EXPECT_FALSE(dev->IsLoggedIn());
    EXPECT_TRUE(Property<TPropertyTestPorts>::Get(dev).valid);
    EXPECT_EQ(Property<TPropertyTestPorts>::Get(dev).ports[0], 1);
}

TEST_F(SessionTest, FirstStartedRequestTakesTheFirstReply)
{
    auto* a = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    auto* b = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    host.Reply(ccBasicsReboot, dev, {0, 0, 0, 0}, 0x55);
    EXPECT_EQ(GetSessionCount(), 1u);
    EXPECT_TRUE(b->IsListed());
    EXPECT_FALSE(host.HasTimer(a));
    EXPECT_EQ(host.LastNotify().status, 0x55);
}

TEST_F(SessionTest, RepliesMatchOnlyTheirCodeAndDevice)
{
    TDevice* other = host.MakeDevice(Mac(2), 0x0A000002, model);
    auto* s = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    host.Reply(ccBasicsReboot, other, {0, 0, 0, 0});
    host.Reply(ccBasicsSave, dev, {0, 0, 0, 0});
    // Short, null-addressed and broadcast-addressed datagrams match nothing.
    std::vector<uint8_t> f = TFakeHost::Frame(ccBasicsReboot, dev->GetMac(), 0, {0, 0, 0, 0});
    DispatchPacket(1, 11, f.data());
    host.Reply(ccBasicsReboot, TMacAddr(), {0, 0, 0, 0});
    host.Reply(ccBasicsReboot, TMacAddr(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF), {0, 0, 0, 0});
    EXPECT_EQ(GetDeviceCount(), 2u);
    EXPECT_TRUE(host.notified.empty());
    EXPECT_TRUE(s->IsListed());
}

TEST_F(SessionTest, UnknownMacCreatesTheDeviceBeforeTheReplyIsDropped)
{
    host.Reply(ccBasicsReboot, Mac(77), {0, 0, 0, 0}, 0, 0x0A000077);
    TDevice* d = FindDevice(Mac(77), false);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GetIp(), 0x0A000077u);
    EXPECT_EQ(host.CountEvents(TDeviceEvent::Added), 1u);
    EXPECT_TRUE(host.notified.empty());
    // A known device takes the reply's source as its address.
    host.Clear();
    StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    host.Reply(ccBasicsReboot, dev->GetMac(), {0, 0, 0, 0}, 0, 0x0A000099);
    EXPECT_EQ(dev->GetIp(), 0x0A000099u);
    EXPECT_EQ(host.CountEvents(TDeviceEvent::IpChanged), 1u);
}

TEST_F(SessionTest, OnlyAKnownCodeMovesAListedSwitch)
{
    auto* s = StartOn<TTestPortsGet>(dev);
    host.Clear();
    // Code 0xFFFF, status 0, length 4, the listed switch's MAC, four payload bytes.
    uint8_t stray[16] = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x04, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x01, 1, 1, 1, 1};
    DispatchPacket(0x0A000063, sizeof stray, stray);
    EXPECT_EQ(dev->GetIp(), 0x0A000001u);
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.notified.empty());
    EXPECT_TRUE(s->IsListed());
    // Nor does it make a switch of an unheard MAC.
    stray[11] = 0x4D;
    DispatchPacket(0x0A000063, sizeof stray, stray);
    EXPECT_EQ(GetDeviceCount(), 1u);
    EXPECT_TRUE(host.events.empty());
    // The pending read's reply (code 0x0204) from the new address moves it.
    uint8_t reply[16] = {0x02, 0x04, 0x00, 0x00, 0x00, 0x04, 0x00, 0x1A, 0x00, 0x00, 0x00, 0x01, 1, 1, 1, 1};
    DispatchPacket(0x0A000063, sizeof reply, reply);
    EXPECT_EQ(dev->GetIp(), 0x0A000063u);
    EXPECT_EQ(host.CountEvents(TDeviceEvent::IpChanged), 1u);
    EXPECT_EQ(host.LastNotify().status, ssOk);
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(SessionTest, HeaderLengthFieldIsIgnored)
{
    StartOn<TTestPortsGet>(dev);
    std::vector<uint8_t> f = TFakeHost::Frame(ccPortLimitGet, dev->GetMac(), 0, {1, 1, 1, 1});
    f[4] = 0x40; // claims 16384 payload bytes
    DispatchPacket(dev->GetIp(), f.size(), f.data());
    EXPECT_EQ(host.LastNotify().status, ssOk);
    EXPECT_EQ(Property<TPropertyTestPorts>::Get(dev).ports.size(), 4u);
}

TEST_F(SessionTest, FindRepliesNeverReachTheListAndOtherRepliesNeverReachFind)
{
    auto* s = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    host.Reply(ccIntpFind, dev, {0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_STREQ(host.notified[0].name.c_str(), "Find");
    EXPECT_TRUE(s->IsListed());
    host.Clear();
    host.Reply(ccBasicsSave, dev, {0, 0, 0, 0});
    EXPECT_TRUE(host.notified.empty());
}

// Time-outs

TEST_F(SessionTest, TimeoutNotifiesWithTheRequestAsContextAndDeletesIt)
{
    auto* s = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    ASSERT_TRUE(host.FireTimer(s));
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].status, ssTimeout);
    EXPECT_EQ(host.notified[0].context, static_cast<const void*>(s));
    EXPECT_EQ(GetSessionCount(), 0u);
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(SessionTest, LateReplyAfterRegistryClearRecreatesTheDeviceAndMatches)
{
    StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    TMacAddr mac = dev->GetMac();
    DeleteAllDevices();
    host.Clear();
    host.Reply(ccBasicsReboot, mac, {0, 0, 0, 0});
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].mac, mac);
    EXPECT_EQ(GetSessionCount(), 0u);
}

// Get base and per-port arrays

TEST_F(SessionTest, GetErrorAfterAGoodReplyLeavesTheRecordInvalid)
{
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 1, 2, 3});
    EXPECT_TRUE(Property<TPropertyTestPorts>::Get(dev).valid);
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 1, 2, 3}, 0x77);
    EXPECT_FALSE(Property<TPropertyTestPorts>::Get(dev).valid);
    EXPECT_EQ(host.LastNotify().status, 0x77);
    EXPECT_EQ(host.LastNotify().code, ccPortLimitGet);
}

TEST_F(SessionTest, ARecordIsTheLatestReadOnlyWhileItsLastGetSucceeded)
{
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 1, 2, 3});
    EXPECT_NE(dev->LatestRead<TPropertyTestPorts>(), nullptr);
    // A time-out keeps the older values, which are no latest read.
    auto* s = StartOn<TTestPortsGet>(dev);
    ASSERT_TRUE(host.FireTimer(s));
    EXPECT_TRUE(Property<TPropertyTestPorts>::Get(dev).valid);
    EXPECT_EQ(dev->LatestRead<TPropertyTestPorts>(), nullptr);
    EXPECT_EQ(dev->GetReadStatus(ccPortLimitGet), ssTimeout);
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 1, 2, 3});
    EXPECT_NE(dev->LatestRead<TPropertyTestPorts>(), nullptr);
}

TEST_F(SessionTest, DecoderRejectionReplacesTheStatus)
{
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 1, 2});
    EXPECT_EQ(host.LastNotify().status, ssBadReply);
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {0, 9, 2, 1});
    EXPECT_EQ(host.LastNotify().status, ssBadValue);
    EXPECT_FALSE(Property<TPropertyTestPorts>::Get(dev).valid);
}

TEST_F(SessionTest, PerPortArraysFollowTheModelOnEveryReply)
{
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {1, 1, 1, 1});
    EXPECT_EQ(Property<TPropertyTestPorts>::Get(dev).ports.size(), 4u);
    dev->SetType(host.AddModel("M8", 8));
    StartOn<TTestPortsGet>(dev);
    host.Reply(ccPortLimitGet, dev, {2, 2, 2, 2, 2, 2, 2, 2});
    ASSERT_EQ(Property<TPropertyTestPorts>::Get(dev).ports.size(), 8u);
    EXPECT_EQ(Property<TPropertyTestPorts>::Get(dev).ports[7], 2);
}

// Paged tables

TEST_F(SessionTest, FullPageWaitsForTheNextAndAShortPageEndsTheTable)
{
    auto* g = StartOn<TTestTableGet>(dev);
    size_t restarts = host.timerRestarts;
    host.Reply(ccSecurityAclGet, dev, TablePage(32));
    EXPECT_TRUE(g->IsListed());
    EXPECT_TRUE(host.notified.empty());
    EXPECT_GT(host.timerRestarts, restarts);
    host.Reply(ccSecurityAclGet, dev, TablePage(3, 100));
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].status, ssOk);
    auto& table = Property<TPropertyTestTable>::Get(dev);
    EXPECT_TRUE(table.valid);
    ASSERT_EQ(table.entries.size(), 35u);
    EXPECT_EQ(table.entries[32].id, 100u);
}

TEST_F(SessionTest, FullPageThenSilenceTimesOutWithTheEntriesSoFar)
{
    auto* g = StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, TablePage(32));
    ASSERT_TRUE(host.FireTimer(g));
    EXPECT_EQ(host.LastNotify().status, ssTimeout);
    auto& table = Property<TPropertyTestTable>::Get(dev);
    EXPECT_FALSE(table.valid);
    EXPECT_EQ(table.entries.size(), 32u);
}

TEST_F(SessionTest, PagePrefixOnlyEndsAnEmptyValidTableAndOddBytesAreIgnored)
{
    StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, {0, 0, 0, 0});
    EXPECT_TRUE(Property<TPropertyTestTable>::Get(dev).valid);
    EXPECT_TRUE(Property<TPropertyTestTable>::Get(dev).entries.empty());
    StartOn<TTestTableGet>(dev);
    std::vector<uint8_t> page = TablePage(2);
    page.pop_back(); // 59 bytes: one whole entry
    host.Reply(ccSecurityAclGet, dev, page);
    EXPECT_EQ(Property<TPropertyTestTable>::Get(dev).entries.size(), 1u);
}

TEST_F(SessionTest, TableErrorStatusOrBadEntryEmptiesTheTable)
{
    StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, TablePage(32));
    host.Reply(ccSecurityAclGet, dev, TablePage(1), 0x42);
    EXPECT_EQ(host.LastNotify().status, 0x42);
    EXPECT_TRUE(Property<TPropertyTestTable>::Get(dev).entries.empty());
    StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, TablePage(2, 0xDEADBEEE));
    EXPECT_EQ(host.LastNotify().status, ssBadEntry);
    EXPECT_TRUE(Property<TPropertyTestTable>::Get(dev).entries.empty());
    EXPECT_FALSE(Property<TPropertyTestTable>::Get(dev).valid);
}

TEST_F(SessionTest, TwoGetsOfOneTableNeverDuplicateEntries)
{
    StartOn<TTestTableGet>(dev);
    StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, TablePage(5));
    host.Reply(ccSecurityAclGet, dev, TablePage(5));
    ASSERT_EQ(host.notified.size(), 2u);
    auto& table = Property<TPropertyTestTable>::Get(dev);
    EXPECT_TRUE(table.valid);
    EXPECT_EQ(table.entries.size(), 5u);
}

TEST_F(SessionTest, TwoMultiPageGetsOfOneTableNeverMixPages)
{
    StartOn<TTestTableGet>(dev);
    StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, TablePage(32, 1));
    host.Reply(ccSecurityAclGet, dev, TablePage(2, 33));
    host.Reply(ccSecurityAclGet, dev, TablePage(32, 1));
    EXPECT_FALSE(Property<TPropertyTestTable>::Get(dev).valid);
    EXPECT_EQ(Property<TPropertyTestTable>::Get(dev).entries.size(), 32u);
    host.Reply(ccSecurityAclGet, dev, TablePage(2, 33));
    auto& table = Property<TPropertyTestTable>::Get(dev);
    EXPECT_TRUE(table.valid);
    ASSERT_EQ(table.entries.size(), 34u);
    for (size_t i = 0; i < table.entries.size(); ++i) EXPECT_EQ(table.entries[i].id, i + 1);
}

TEST_F(SessionTest, AGetStartedWhileAnotherFillsTheTableLosesNothing)
{
    StartOn<TTestTableGet>(dev);
    host.Reply(ccSecurityAclGet, dev, TablePage(32, 1));
    StartOn<TTestTableGet>(dev);
    EXPECT_FALSE(Property<TPropertyTestTable>::Get(dev).valid);
    host.Reply(ccSecurityAclGet, dev, TablePage(3, 33));
    auto& table = Property<TPropertyTestTable>::Get(dev);
    EXPECT_TRUE(table.valid);
    ASSERT_EQ(table.entries.size(), 35u);
    EXPECT_EQ(table.entries[0].id, 1u);
    host.Reply(ccSecurityAclGet, dev, TablePage(1, 7));
    ASSERT_EQ(table.entries.size(), 1u);
    EXPECT_EQ(table.entries[0].id, 7u);
    EXPECT_EQ(GetSessionCount(), 0u);
}

// Set bases

TEST_F(SessionTest, SetWithErrorStatusStartsTheGetThenNotifiesItsOwnCode)
{
    auto* add = StartOn<TTestTableAdd>(dev);
    add->id = 5;
    host.Clear();
    host.Reply(ccSecurityAclAdd, dev, {0, 0, 0, 0}, 0x1234);
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].bytes[0], 0x08);
    EXPECT_EQ(host.sent[0].bytes[1], 0x16);
    ASSERT_EQ(host.notified.size(), 1u);
    EXPECT_EQ(host.notified[0].code, ccSecurityAclAdd);
    EXPECT_EQ(host.notified[0].status, 0x1234);
    EXPECT_EQ(host.notified[0].name, "SecurityAclAdd");
    EXPECT_EQ(GetSessionCount(), 1u);
    EXPECT_FALSE(Property<TPropertyTestTable>::Get(dev).valid);
}

TEST_F(SessionTest, VariableSetRefusesACountTheModelDoesNotHave)
{
    auto* set = new TTestPortsSet;
    const uint8_t entries[9 * 4] = {1};
    EXPECT_FALSE(set->Start(dev)); // no entries
    set->SetEntries(entries, 3);
    EXPECT_FALSE(set->Start(dev));
    set->SetEntries(entries, 0); // changes nothing
    EXPECT_EQ(set->GetCount(), 3);
    EXPECT_TRUE(host.sent.empty());
    set->SetEntries(entries, 4);
    ASSERT_TRUE(set->Start(dev));
    ASSERT_EQ(host.sent.size(), 1u);
    EXPECT_EQ(host.sent[0].bytes.size(), 12u + 9 * 4);
    EXPECT_EQ(host.sent[0].bytes[5], 36);
    EXPECT_EQ(host.sent[0].bytes[12], 1);
}

// Deletion from inside callbacks

TEST_F(SessionTest, NotifyHandlerMayDeleteEveryDevice)
{
    StartOn<TTestTableGet>(dev);
    StartOn<TTestTableGet>(dev);
    host.onNotify = [](const IntpTest::TNotified&) { DeleteAllDevices(); };
    host.Reply(ccSecurityAclGet, dev, TablePage(1));
    EXPECT_EQ(GetDeviceCount(), 0u);
    EXPECT_EQ(GetSessionCount(), 1u);
}

TEST_F(SessionTest, NotifyHandlerMayDeleteEveryRequest)
{
    StartOn<TTestTableGet>(dev);
    StartOn<TTestTableGet>(dev);
    host.onNotify = [](const IntpTest::TNotified&) { DeleteAllSessions(); };
    host.Reply(ccSecurityAclGet, dev, TablePage(1));
    EXPECT_EQ(GetSessionCount(), 0u);
    auto* s = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    ASSERT_TRUE(host.FireTimer(s)); // deleted by the handler, not twice
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(SessionTest, NotifyHandlerMayStartRequestsThatTakeLaterReplies)
{
    int started = 0;
    host.onNotify = [&](const IntpTest::TNotified& n) {
        if (n.code == ccBasicsReboot && started++ == 0) StartOn<TSessionGeneral<ccBasicsReboot>>(FindDevice(n.mac, false));
    };
    StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    host.Reply(ccBasicsReboot, dev, {0, 0, 0, 0});
    EXPECT_EQ(GetSessionCount(), 1u);
    host.Reply(ccBasicsReboot, dev, {0, 0, 0, 0});
    EXPECT_EQ(GetSessionCount(), 0u);
    EXPECT_EQ(host.notified.size(), 2u);
}

TEST_F(SessionTest, TimeoutHandlerMayClearTheRegistry)
{
    auto* a = StartOn<TSessionGeneral<ccBasicsReboot>>(dev);
    StartOn<TSessionGeneral<ccBasicsSave>>(dev);
    host.onNotify = [](const IntpTest::TNotified&) { DeleteAllDevices(); };
    ASSERT_TRUE(host.FireTimer(a));
    EXPECT_EQ(GetSessionCount(), 1u);
    host.onNotify = nullptr;
    host.Clear();
    EXPECT_EQ(host.FireAllTimers(), 1u);
    EXPECT_TRUE(host.notified.empty()); // its device is gone
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(SessionTest, ManyRequestsOverManyDevicesMatchInStartOrder)
{
    std::vector<TDevice*> devices;
    for (uint32_t i = 0; i < 50; ++i) devices.push_back(host.MakeDevice(Mac(100 + i), 0x0B000000 + i, model));
    for (int round = 0; round < 3; ++round)
        for (TDevice* d : devices) StartOn<TSessionGeneral<ccBasicsReboot>>(d);
    EXPECT_EQ(GetSessionCount(), 150u);
    for (int round = 0; round < 3; ++round)
        for (size_t i = devices.size(); i-- > 0;) host.Reply(ccBasicsReboot, devices[i], {0, 0, 0, 0});
    EXPECT_EQ(GetSessionCount(), 0u);
    EXPECT_EQ(host.notified.size(), 150u);
}

// Requests ended out of start order (in the middle, at either end) leave the
// rest taking replies in start order, and deleting all ends exactly the rest.
TEST_F(SessionTest, RequestsEndedOutOfOrderLeaveTheRestInStartOrder)
{
    std::vector<TSession*> s;
    for (int i = 0; i < 6; ++i) s.push_back(StartOn<TSessionGeneral<ccBasicsReboot>>(dev));
    delete s[2];
    delete s[0];
    delete s[5];
    host.Reply(ccBasicsReboot, dev, {0, 0, 0, 0});
    EXPECT_EQ(GetSessionCount(), 2u);
    EXPECT_TRUE(s[3]->IsListed() && s[4]->IsListed());
    s.push_back(StartOn<TSessionGeneral<ccBasicsReboot>>(dev));
    delete s[4];
    host.Reply(ccBasicsReboot, dev, {0, 0, 0, 0});
    EXPECT_TRUE(s[6]->IsListed());
    EXPECT_EQ(host.notified.size(), 2u);
    DeleteAllSessions();
    EXPECT_EQ(GetSessionCount(), 0u);
}
