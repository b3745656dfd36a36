#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "intp/SystemSettings.h"
#include "intp/Operations.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutHost;
using IntpTest::PutText;
using IntpTest::PutU16;
using IntpTest::PutU32;
using IntpTest::TDeviceEvent;
using IntpTest::TFakeHost;

constexpr uint32_t SettingsDeviceIp = 0x0A000005;

std::vector<uint8_t> SettingsReply(uint8_t loggedIn, const std::string& name) {
    std::vector<uint8_t> v;
    PutU16(v, 0x0102);
    PutU16(v, 0x030A);
    PutU32(v, 0x01020304);
    v.push_back(loggedIn);
    PutText(v, name, 256);
    PutText(v, "Core switch", 256);
    PutText(v, "Rack 4", 256);
    PutText(v, "noc@example.com", 256);
    PutText(v, "99999.1.2", 256);
    return v;
}

std::vector<uint8_t> AutoProvisionBytes(const std::string& configFile, const std::string& firmwareFile) {
    std::vector<uint8_t> v;
    v.push_back(1);
    PutU32(v, 0xC0A80001);
    PutText(v, configFile, 256);
    v.push_back(0);
    PutU32(v, 0xC0A80002);
    PutText(v, firmwareFile, 256);
    return v;
}

class Basics : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(5, SettingsDeviceIp); }
};

// Switch settings

TEST_F(Basics, SettingsReplyFillsRecordAndNamesTheDevice) {
    m_Device->SetLoggedIn(true);
    m_Host.Clear();
    Started(new TSessionBasicsSettingsGet);
    std::string longName(256, 'N'); // fills its field: no NUL
    m_Host.Reply(ccBasicsSettingsGet, m_Device, SettingsReply(0, longName));

    const auto& r = Property<TPropertyBasicsSettings>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.KernelVersion, 0x0102);
    EXPECT_EQ(r.FirmwareVersion, 0x030A);
    EXPECT_EQ(r.HardwareVersion, 0x01020304u);
    EXPECT_EQ(r.Description, "Core switch");
    EXPECT_EQ(r.ObjectId, "99999.1.2");
    EXPECT_EQ(m_Device->GetName(), longName);
    EXPECT_EQ(m_Host.CountEvents(TDeviceEvent::NameChanged), 1u);
    // Logged-in byte 0 logs the console out of this device.
    EXPECT_FALSE(m_Device->IsLoggedIn());
    ASSERT_EQ(m_Host.CountEvents(TDeviceEvent::FlagsChanged), 1u);
}

TEST_F(Basics, SettingsErrorReplyKeepsNameAndFlags) {
    m_Device->SetName("old");
    m_Device->SetLoggedIn(true);
    Started(new TSessionBasicsSettingsGet);
    m_Host.Reply(ccBasicsSettingsGet, m_Device, SettingsReply(1, "sw1"));
    Started(new TSessionBasicsSettingsGet);
    m_Host.Reply(ccBasicsSettingsGet, m_Device, SettingsReply(0, "new"), 0x0042);
    EXPECT_FALSE(Property<TPropertyBasicsSettings>::Get(m_Device).valid);
    EXPECT_EQ(m_Device->GetName(), "sw1");
    EXPECT_TRUE(m_Device->IsLoggedIn());
    EXPECT_EQ(m_Host.LastNotify().status, 0x0042);
}

TEST_F(Basics, SettingsSetSendsFieldsInGetOrderCutAt256) {
    auto* set = new TSessionBasicsSettingsSet;
    std::string name(300, 'a');
    set->SetPayload(name, "desc", "loc", "contact");
    Started(set);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    std::vector<uint8_t> expected;
    PutText(expected, name, 256); // cut, no NUL
    PutText(expected, "desc", 256);
    PutText(expected, "loc", 256);
    PutText(expected, "contact", 256);
    EXPECT_EQ(m_Host.sent[0].payload, expected);

    // The raw form is sent unchanged.
    auto* raw = new TSessionBasicsSettingsSet;
    raw->SetPayload(expected.data());
    Started(raw);
    EXPECT_EQ(m_Host.LastSent().payload, expected);
}

// IP configuration

TEST_F(Basics, IPConfReplyIgnoresTheAddressField) {
    Started(new TSessionBasicsIPConfGet);
    std::vector<uint8_t> v{1};
    PutU32(v, 0x0A000063); // not read
    PutU32(v, 0xFFFFFF00);
    PutU32(v, 0x0A000001);
    PutU32(v, 0x08080808);
    PutU32(v, 0x08080404);
    m_Host.Reply(ccBasicsIPConfGet, m_Device, v);
    const auto& r = Property<TPropertyBasicsIPConf>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.Netmask, 0xFFFFFF00u);
    EXPECT_EQ(r.Dns2, 0x08080404u);
    EXPECT_EQ(m_Device->GetIp(), SettingsDeviceIp);
}

TEST_F(Basics, IPConfSetGoesToLimitedBroadcastWithDigestAndBigEndianAddresses) {
    auto* set = new TSessionBasicsIPConfSet;
    TSessionBasicsIPConfSet::TPayload p;
    p.Digest = MakeLoginDigest("admin", "secret");
    p.Dhcp = true;
    p.Ip = 0xC0A80102;
    p.Netmask = 0xFFFFFF00;
    p.Gateway = 0xC0A80101;
    p.Dns1 = 0x01020304;
    p.Dns2 = 0x05060708;
    set->SetPayload(p);
    Started(set);

    ASSERT_EQ(m_Host.sent.size(), 1u);
    const auto& sent = m_Host.sent[0];
    EXPECT_EQ(sent.ip, 0xFFFFFFFFu);
    ASSERT_EQ(sent.bytes.size(), 49u);
    EXPECT_EQ(THeader::Read(sent.bytes.data()).mac, m_Device->GetMac());
    std::vector<uint8_t> expected(p.Digest.begin(), p.Digest.end());
    expected.push_back(1);
    for (uint32_t a : {0xC0A80102u, 0xFFFFFF00u, 0xC0A80101u, 0x01020304u, 0x05060708u}) PutU32(expected, a);
    EXPECT_EQ(sent.payload, expected);

    // The switch answers from its new address; the re-read goes there.
    m_Host.Clear();
    m_Host.Reply(ccBasicsIPConfSet, m_Device->GetMac(), {0, 0, 0, 0}, 0, 0xC0A80102);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].code, ccBasicsIPConfGet);
    EXPECT_EQ(m_Host.sent[0].ip, 0xC0A80102u);
    EXPECT_EQ(m_Host.LastNotify().code, ccBasicsIPConfSet);
}

// SNTP

TEST_F(Basics, SntpSetSendsTheGetLayoutWithoutCurrentTime) {
    std::vector<uint8_t> reply{1};
    PutU16(reply, 62);
    PutU32(reply, 0xC0A80005);
    PutU32(reply, 0x5F000000); // current time
    reply.push_back(1);
    PutU32(reply, 1600000000);
    PutU32(reply, 1610000000);
    PutU32(reply, 60);
    Started(new TSessionBasicsSntpGet);
    m_Host.Reply(ccBasicsSntpGet, m_Device, reply);
    const auto& r = Property<TPropertyBasicsSntp>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.TimeZone, 62);
    EXPECT_EQ(r.CurrentTime, 0x5F000000u);
    EXPECT_EQ(r.DaylightOffset, 60u);

    auto* set = new TSessionBasicsSntpSet;
    set->SetPayload(r);
    Started(set);
    std::vector<uint8_t> expected(reply.begin(), reply.begin() + 7);
    expected.insert(expected.end(), reply.begin() + 11, reply.end());
    EXPECT_EQ(m_Host.LastSent().payload, expected);
}

// Auto provisioning

TEST_F(Basics, AutoProvisionRecordRoundTrips) {
    std::string longFile(256, 'f');
    std::vector<uint8_t> reply = AutoProvisionBytes("switch.cfg", longFile);
    Started(new TSessionBasicsAutoProvisionGet);
    m_Host.Reply(ccBasicsAutoProvisionGet, m_Device, reply);
    const auto& r = Property<TPropertyBasicsAutoProvision>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.ConfigFile, "switch.cfg");
    EXPECT_EQ(r.FirmwareIp, 0xC0A80002u);
    EXPECT_EQ(r.FirmwareFile, longFile);

    auto* set = new TSessionBasicsAutoProvisionSet;
    set->SetPayload(r);
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload, reply);
}

// The record bytes as the page built them: only integers change order.

TEST_F(Basics, SetsTakeThePagesRecordBytesAndConvertOnlyTheirIntegers) {
    std::vector<uint8_t> provision{2}; // a flag byte other than 0 and 1
    PutHost(provision, 0xC0A80001u);
    PutText(provision, std::string("a.cfg\0old", 10), 256); // bytes after the NUL
    provision.push_back(0);
    PutHost(provision, 0xC0A80002u);
    PutText(provision, "fw.bin", 256);
    ASSERT_EQ(provision.size(), 522u);
    std::vector<uint8_t> wire = provision;
    for (size_t at : {size_t(1), size_t(262)}) std::reverse(wire.begin() + long(at), wire.begin() + long(at) + 4);
    auto* provisionSet = new TSessionBasicsAutoProvisionSet;
    provisionSet->SetPayload(provision.data());
    Started(provisionSet);
    EXPECT_EQ(m_Host.LastSent().payload, wire);

    std::vector<uint8_t> sntp{1};
    PutHost(sntp, uint16_t(62));
    PutHost(sntp, 0xC0A80005u);
    sntp.push_back(1);
    for (uint32_t x : {1600000000u, 1610000000u, 60u}) PutHost(sntp, x);
    auto* sntpSet = new TSessionBasicsSntpSet;
    sntpSet->SetPayload(sntp.data());
    Started(sntpSet);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{1, 0, 62, 0xC0, 0xA8, 0, 5, 1, 0x5F, 0x5E, 0x10, 0,
                                                                 0x5F, 0xF6, 0xA6, 0x80, 0, 0, 0, 60}));

    std::vector<uint8_t> net(16, 0xD1); // digest
    net.push_back(0);
    for (uint32_t x : {0xC0A80102u, 0xFFFFFF00u, 0xC0A80101u, 0x01020304u, 0x05060708u}) PutHost(net, x);
    auto* netSet = new TSessionBasicsIPConfSet;
    netSet->SetPayload(net.data());
    Started(netSet);
    std::vector<uint8_t> expected(16, 0xD1);
    expected.push_back(0);
    for (uint32_t a : {0xC0A80102u, 0xFFFFFF00u, 0xC0A80101u, 0x01020304u, 0x05060708u}) PutU32(expected, a);
    EXPECT_EQ(m_Host.LastSent().payload, expected);
    EXPECT_EQ(m_Host.LastSent().ip, 0xFFFFFFFFu);
}

} // namespace
