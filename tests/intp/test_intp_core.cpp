// Payload codec, MAC addresses, devices, property cache, models and MD5.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "intp/Md5.h"
#include "intp/Operations.h"
#include "intp/Payload.h"
#include "tests/common/FakeHost.h"

using namespace Intp;
using IntpTest::Mac;
using IntpTest::TDeviceEvent;
using IntpTest::TFakeHost;

namespace {

std::string Hex(const TMd5Digest& d)
{
    std::string s;
    char buf[3];
    for (uint8_t b : d) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        s += buf;
    }
    return s;
}

std::string Md5Hex(const std::string& text) { return Hex(Md5(text.data(), text.size())); }

struct TCounted {
    static constexpr int32_t Key = PropertyKey(0x0123);
    static inline int live = 0;
    bool valid = false;
    int value = 0;
    TCounted() { ++live; }
    TCounted(const TCounted& o) : valid(o.valid), value(o.value) { ++live; }
    TCounted& operator=(const TCounted&) = default;
    ~TCounted() { --live; }
};

struct TOtherAtSameKey {
    static constexpr int32_t Key = TCounted::Key;
    bool valid = false;
    std::vector<int> entries;
};

} // namespace

// Payload reader and writer

TEST(Payload, ReaderDecodesBigAndLittleEndian)
{
    const uint8_t bytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0x01, 0x02};
    TPayloadReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.U32(), 0x56789ABCu);
    EXPECT_EQ(r.U16Le(), 0x0201);
    EXPECT_TRUE(r.Ok());
    TPayloadReader le(bytes, sizeof bytes);
    EXPECT_EQ(le.U32Le(), 0x78563412u);
}

TEST(Payload, ReadingPastTheEndYieldsZeroAndFails)
{
    const uint8_t bytes[] = {0xFF, 0xFF, 0xFF};
    TPayloadReader r(bytes, sizeof bytes);
    EXPECT_EQ(r.U32(), 0u);
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(r.U8(), 0);
    TPayloadReader t(bytes, sizeof bytes);
    EXPECT_EQ(t.Text(4), "");
    EXPECT_TRUE(t.Failed());
    TPayloadReader empty(nullptr, 100);
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_EQ(empty.U16(), 0);
}

TEST(Payload, SubReaderNeverExceedsItsParent)
{
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    TPayloadReader r(bytes, sizeof bytes);
    TPayloadReader a = r.Sub(2);
    EXPECT_EQ(a.U16(), 0x0102);
    TPayloadReader b = r.Sub(10);
    EXPECT_EQ(b.Size(), 3u);
    EXPECT_TRUE(b.Failed());
    EXPECT_TRUE(r.Failed());
}

TEST(Payload, TextStopsAtNulAndAtWidth)
{
    const char field[8] = {'a', 'b', 0, 'x', 'y', 'z', 'w', 'v'};
    TPayloadReader r(field, 8);
    EXPECT_EQ(r.Text(8), "ab");
    const char full[4] = {'a', 'b', 'c', 'd'};
    TPayloadReader f(full, 4);
    EXPECT_EQ(f.Text(4), "abcd");
}

TEST(Payload, WriterNeverWritesPastTheEnd)
{
    uint8_t buf[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    TPayloadWriter w(buf, 5);
    w.U32(0x01020304);
    w.U16(0xAAAA);
    EXPECT_TRUE(w.Failed());
    EXPECT_EQ(buf[4], 0xEE);
    EXPECT_EQ(buf[5], 0xEE);
    EXPECT_EQ(buf[0], 0x01);
    EXPECT_EQ(buf[3], 0x04);
}

TEST(Payload, WriterTextCutsAndZeroFills)
{
    uint8_t buf[6];
    std::fill(std::begin(buf), std::end(buf), 0xEE);
    TPayloadWriter w(buf, 6);
    w.Text("abcdefgh", 4);
    w.Text("", 2);
    EXPECT_TRUE(w.Ok());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 4), "abcd");
    EXPECT_EQ(buf[4], 0);
    EXPECT_EQ(buf[5], 0);
    uint8_t le[4];
    TPayloadWriter l(le, 4);
    l.U32Le(0x01020304);
    EXPECT_EQ(le[0], 4);
    EXPECT_EQ(le[3], 1);
}

TEST(FixedString, FullFieldIsReadWholeAndWideFieldsYieldEmpty)
{
    std::string field(256, 'x');
    EXPECT_EQ(FixedString(field.data(), 256).size(), 256u);
    std::string wide(1100, 'y');
    EXPECT_EQ(FixedString(wide.data(), 1024), "");
    EXPECT_EQ(FixedString("ab\0cd", 5), "ab");
}

// MAC addresses

TEST(MacAddr, TextFormIsUpperCaseWithLeadingZeros)
{
    EXPECT_EQ(TMacAddr(0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F).ToString(), "0A:0B:0C:0D:0E:0F");
    EXPECT_EQ(TMacAddr(0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E).ToString(), "00:1A:2B:3C:4D:5E");
    const uint8_t buf[6] = {1, 2, 3, 4, 5, 6};
    uint8_t out[6] = {};
    TMacAddr(buf, buf + 4).CopyTo(out);
    EXPECT_EQ(std::vector<uint8_t>(out, out + 6), std::vector<uint8_t>(buf, buf + 6));
}

TEST(MacAddr, OrdersBytewiseFirstByteMostSignificant)
{
    TMacAddr a(0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF), b(0x02, 0, 0, 0, 0, 0);
    EXPECT_LT(a.Compare(b), 0);
    EXPECT_TRUE(a < b);
    EXPECT_GT(CompareMac(b, a), 0);
    EXPECT_EQ(CompareMac(a, a), 0);
    EXPECT_TRUE(TMacAddr().IsNull());
    EXPECT_TRUE(TMacAddr(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF).IsBroadcast());
}

// Device registry

TEST(Devices, NullAndBroadcastMacsCreateNothing)
{
    TFakeHost host;
    EXPECT_EQ(FindDevice(TMacAddr(), true), nullptr);
    EXPECT_EQ(FindDevice(TMacAddr(0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF), true), nullptr);
    EXPECT_EQ(GetDeviceCount(), 0u);
    EXPECT_TRUE(host.events.empty());
}

TEST(Devices, CreationIsReportedAndLookupFindsTheSameDevice)
{
    TFakeHost host;
    EXPECT_EQ(FindDevice(Mac(1), false), nullptr);
    TDevice* d = FindDevice(Mac(1), true);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(FindDevice(Mac(1), true), d);
    EXPECT_EQ(host.CountEvents(TDeviceEvent::Added), 1u);
}

TEST(Devices, AFullRegistryRefusesNewMacsAndCountsThemUntilCleared)
{
    TFakeHost host;
    for (size_t i = 0; i < MaxDevices; ++i)
        ASSERT_NE(FindDevice(TMacAddr(2, 0, 0, uint8_t(i >> 16), uint8_t(i >> 8), uint8_t(i)), true), nullptr);
    // A datagram from a further MAC is dropped: no device, no notification.
    std::vector<uint8_t> frame(HeaderSize + 8, 0);
    THeader h;
    h.mac = TMacAddr(2, 0, 1, 0, 0, 0);
    h.Write(frame.data());
    DispatchPacket(0x0A000001u, frame.size(), frame.data());
    EXPECT_EQ(FindDevice(TMacAddr(2, 0, 1, 0, 0, 1), true), nullptr);
    EXPECT_EQ(GetDeviceCount(), MaxDevices);
    EXPECT_EQ(GetRefusedDeviceCount(), 2u);
    EXPECT_TRUE(host.notified.empty());
    // Known devices are still found.
    EXPECT_NE(FindDevice(TMacAddr(2, 0, 0, 0, 0, 5), true), nullptr);
    DeleteAllDevices();
    EXPECT_EQ(GetRefusedDeviceCount(), 0u);
    EXPECT_NE(FindDevice(h.mac, true), nullptr);
}

TEST(Devices, SettersReportOnlyRealChanges)
{
    TFakeHost host;
    TDevice* d = FindDevice(Mac(1), true);
    host.Clear();
    d->SetIp(5);
    d->SetIp(5);
    d->SetName("sw");
    d->SetName("sw");
    d->SetType(0);
    EXPECT_EQ(host.events.size(), 2u);
    d->SetFlags(dfLoggedIn);
    host.Clear();
    d->SetFlags(dfLoggedIn);
    EXPECT_TRUE(host.events.empty());
    d->ClearFlags(dfLoggedIn);
    ASSERT_EQ(host.events.size(), 1u);
    EXPECT_EQ(host.events[0].event, TDeviceEvent::FlagsChanged);
    EXPECT_EQ(host.events[0].changed, uint32_t(dfLoggedIn));
    d->SetFlags(dfLoggedIn | dfWarning);
    d->SetLoggedIn(false);
    EXPECT_FALSE(d->IsLoggedIn());
    EXPECT_TRUE(d->TestFlags(dfWarning));
}

TEST(Devices, FindByIpReturnsTheLowerMac)
{
    TFakeHost host;
    host.MakeDevice(Mac(9), 0x0A000005);
    TDevice* low = host.MakeDevice(Mac(2), 0x0A000005);
    EXPECT_EQ(FindDeviceByIp(0x0A000005), low);
    EXPECT_EQ(FindDeviceByIp(0x0A000006), nullptr);
}

TEST(Devices, DeleteAllReportsEachRemovalInMacOrder)
{
    TFakeHost host;
    FindDevice(Mac(3), true);
    FindDevice(Mac(1), true);
    FindDevice(Mac(2), true);
    host.Clear();
    DeleteAllDevices();
    ASSERT_EQ(host.events.size(), 3u);
    EXPECT_EQ(host.events[0].mac, Mac(1));
    EXPECT_EQ(host.events[1].mac, Mac(2));
    EXPECT_EQ(host.events[2].mac, Mac(3));
    EXPECT_EQ(GetDeviceCount(), 0u);
}

TEST(Devices, RemovedDeviceIsUnregisteredButReadableDuringTheCallback)
{
    TFakeHost host;
    FindDevice(Mac(1), true)->SetName("one");
    std::string seen;
    bool stillRegistered = true;
    host.onDeviceRemoved = [&](TDevice* d) {
        seen = d->GetName();
        stillRegistered = FindDevice(d->GetMac(), false) != nullptr;
    };
    DeleteAllDevices();
    EXPECT_EQ(seen, "one");
    EXPECT_FALSE(stillRegistered);
}

// Property cache

TEST(Properties, FirstLookupCreatesAnInvalidRecordOnce)
{
    TFakeHost host;
    TDevice* d = FindDevice(Mac(1), true);
    TCounted& a = Property<TCounted>::Get(d);
    EXPECT_FALSE(a.valid);
    a.value = 7;
    EXPECT_EQ(&Property<TCounted>::Get(d), &a);
    EXPECT_EQ(d->GetProperties().Size(), 1u);
}

TEST(Properties, DeletingADeviceDeletesItsProperties)
{
    TFakeHost host;
    TCounted::live = 0;
    Property<TCounted>::Get(FindDevice(Mac(1), true));
    Property<TCounted>::Get(FindDevice(Mac(2), true));
    EXPECT_EQ(TCounted::live, 2);
    DeleteAllDevices();
    EXPECT_EQ(TCounted::live, 0);
}

TEST(Properties, AssignCopiesOnlyTheSameRecordType)
{
    Property<TOtherAtSameKey> a, b;
    a.value.valid = true;
    a.value.entries = {1, 2, 3};
    b.Assign(a);
    EXPECT_EQ(b.value.entries.size(), 3u);
    a.value.entries.clear();
    EXPECT_EQ(b.value.entries.size(), 3u);
    Property<TCounted> c;
    c.Assign(a);
    EXPECT_FALSE(c.value.valid);
    b.Assign(b);
    EXPECT_EQ(b.value.entries.size(), 3u);
}

TEST(Properties, AnotherRecordTypeUnderTheSameKeyNeverDiscardsTheStoredOne)
{
    TFakeHost host;
    TDevice* d = FindDevice(Mac(1), true);
    TCounted& first = Property<TCounted>::Get(d);
    first.valid = true;
    first.value = 42;
    TOtherAtSameKey& other = Property<TOtherAtSameKey>::Get(d);
    EXPECT_FALSE(other.valid);
    EXPECT_TRUE(other.entries.empty());
    other.valid = true;
    other.entries = {5};
    // The first type stored under the key stays, and each type keeps its own record.
    EXPECT_EQ(&Property<TCounted>::Get(d), &first);
    EXPECT_TRUE(first.valid);
    EXPECT_EQ(first.value, 42);
    EXPECT_EQ(&Property<TOtherAtSameKey>::Get(d), &other);
    EXPECT_EQ(other.entries, std::vector<int>{5});
    EXPECT_EQ(dynamic_cast<Property<TCounted>*>(d->GetProperties().Find(TCounted::Key))->value.value, 42);
}

// Device models

TEST(DeviceTypes, InitTwiceLeavesOneModelZero)
{
    TFakeHost host;
    InitDeviceTypes();
    InitDeviceTypes();
    ASSERT_EQ(GetDeviceTypeCount(), 1u);
    EXPECT_EQ(GetDeviceTypeName(0), "Unknown Intp Compatible Device");
    EXPECT_EQ(GetDeviceTypePortNum(0), 0u);
    EXPECT_EQ(FindTypeByPid(MakeProductId("anything")), 0u);
}

TEST(DeviceTypes, RegistrationAppendsInOrderAndKeepsNamelessModelsInPlace)
{
    TFakeHost host;
    EXPECT_EQ(RegisterDeviceType(nullptr), -1);
    EXPECT_EQ(host.AddModel("A", 8, 2, 4, 3, 10, 4, 16, {"pidA"}), 1u);
    TDeviceType nameless;
    EXPECT_EQ(RegisterDeviceType(&nameless), 2);
    EXPECT_EQ(host.AddModel("B", 24, 8), 3u);
    EXPECT_EQ(GetDeviceTypeCount(), 4u);
    EXPECT_EQ(FindTypeByPid(MakeProductId("pidA")), 1u);
    TDevice* d = host.MakeDevice(Mac(1), 1, 1);
    EXPECT_EQ(d->GetTypeName(), "A");
    EXPECT_EQ(d->GetPortAndTrunkGroupNum(), 10u);
    EXPECT_EQ(GetDeviceTypeName(99), GetDeviceTypeName(0));
}

TEST(DeviceTypes, ASharedProductIdBelongsToTheFirstModel)
{
    TFakeHost host;
    host.AddModel("A", 8, 0, 0, 0, 0, 0, 0, {"same", "SAME"});
    host.AddModel("B", 8, 0, 0, 0, 0, 0, 0, {"same", "b"});
    EXPECT_EQ(FindTypeByPid(MakeProductId("same")), 1u);
    EXPECT_EQ(GetDeviceTypes()[1].Pids.size(), 2u);
    EXPECT_EQ(GetDeviceTypes()[2].Pids.size(), 1u);
    EXPECT_FALSE(AddPid(0, "zero"));
    EXPECT_FALSE(AddPid(3, "out of range"));
    EXPECT_FALSE(AddPid(2, "same"));
}

// MD5

TEST(Md5, MatchesTheRfc1321TestSuite)
{
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, ProductIdIsTheFirstFourDigestBytesLittleEndian)
{
    EXPECT_EQ(MakeProductId(""), 0xD98C1DD4u);
    EXPECT_EQ(MakeProductId("abc"), 0x98500190u);
}

TEST(Md5, LoginDigestPadsAndCutsBothFieldsTo16Bytes)
{
    EXPECT_EQ(Hex(MakeLoginDigest("admin", "")), "930b70fbbc687be627fcfd6f3aaac71b");
    EXPECT_EQ(Hex(MakeLoginDigest("admin", "secret")), "f3ba98d18198db040e0494a58e22c797");
    EXPECT_EQ(Hex(MakeLoginDigest("ABCDEFGHIJKLMNOPQRST", "pw")), "ed1712a2df381d2e7c2955017832a28e");
}
