#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "intp/Dhcp.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutU16;
using IntpTest::PutU32;

std::vector<uint8_t> DhcpBytes(uint8_t enabled) {
    std::vector<uint8_t> v{enabled};
    for (uint32_t x : {0xC0A8000Au, 0xC0A800C8u, 0xFFFFFF00u, 0xC0A80001u, 0x08080808u, 86400u}) PutU32(v, x);
    return v;
}

void PutEntry(std::vector<uint8_t>& v, uint32_t ip, uint8_t macLast, uint16_t type, uint16_t status, uint32_t lease) {
    PutU32(v, ip);
    for (uint8_t b : {uint8_t(0x00), uint8_t(0x1B), uint8_t(0x21), uint8_t(0x3C), uint8_t(0x4D), macLast}) v.push_back(b);
    PutU16(v, type);
    PutU16(v, status);
    PutU32(v, lease);
}

std::vector<uint8_t> EntryPage(int first, int count) {
    std::vector<uint8_t> v(4, 0xAB); // the page prefix is not interpreted
    for (int i = first; i < first + count; ++i) PutEntry(v, 0x0A000000u + uint32_t(i), uint8_t(i), 2, 3, 600);
    return v;
}

class Dhcp : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(7, 0x0A000007); } // 8 ports
};

TEST_F(Dhcp, SettingsDecodeAndTheSetSendsThemBackBigEndian) {
    Started(new TSessionBasicsDhcpGet);
    std::vector<uint8_t> reply = DhcpBytes(2);
    reply.push_back(0xEE); // bytes past 25 are ignored
    m_Host.Reply(ccBasicsDhcpGet, m_Device, reply);
    const auto& r = Property<TPropertyBasicsDhcp>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.startIp, 0xC0A8000Au);
    EXPECT_EQ(r.endIp, 0xC0A800C8u);
    EXPECT_EQ(r.subnetMask, 0xFFFFFF00u);
    EXPECT_EQ(r.gateway, 0xC0A80001u);
    EXPECT_EQ(r.dns, 0x08080808u);
    EXPECT_EQ(r.leaseTime, 86400u);

    auto* set = new TSessionBasicsDhcpSet;
    set->SetPayload(r);
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload, DhcpBytes(1)); // the flag is sent as 0 or 1

    // The raw form: the 25 bytes as a page packs them, in host order.
    uint8_t packed[25] = {0};
    uint32_t host[6] = {1, 2, 3, 4, 5, 0x01020304};
    std::memcpy(packed + 1, host, sizeof host);
    auto* raw = new TSessionBasicsDhcpSet;
    raw->SetPayload(static_cast<const void*>(packed));
    Started(raw);
    std::vector<uint8_t> expected{0};
    for (uint32_t x : host) PutU32(expected, x);
    EXPECT_EQ(m_Host.LastSent().payload, expected);

    // Whatever the switch answers, the Set re-reads, then notifies its code.
    m_Host.Reply(ccBasicsDhcpSet, m_Device, {0, 0, 0, 0}, 0x0042);
    EXPECT_EQ(m_Host.LastSent().code, ccBasicsDhcpGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccBasicsDhcpSet);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0042);
}

TEST_F(Dhcp, ShortOrFailedSettingsRepliesLeaveTheRecordAlone) {
    Started(new TSessionBasicsDhcpGet);
    m_Host.Reply(ccBasicsDhcpGet, m_Device, std::vector<uint8_t>(24, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssShortReply);
    EXPECT_FALSE(Property<TPropertyBasicsDhcp>::Get(m_Device).valid);
    Started(new TSessionBasicsDhcpGet);
    m_Host.Reply(ccBasicsDhcpGet, m_Device, DhcpBytes(1), 0x0005);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0005);
    EXPECT_FALSE(Property<TPropertyBasicsDhcp>::Get(m_Device).valid);
}

TEST_F(Dhcp, ClientTableArrivesPageByPageWithOneNotification) {
    Started(new TSessionBasicsDhcpEntry);
    m_Host.Clear();
    m_Host.Reply(ccBasicsDhcpEntry, m_Device, EntryPage(0, 32));
    EXPECT_TRUE(m_Host.notified.empty());
    m_Host.Reply(ccBasicsDhcpEntry, m_Device, EntryPage(32, 8));
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    const auto& r = Property<TPropertyBasicsDhcpEntry>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.entries.size(), 40u);
    const auto& last = r.entries.back();
    EXPECT_EQ(last.ip, 0x0A000027u);
    EXPECT_EQ(last.clientId, TMacAddr(0x00, 0x1B, 0x21, 0x3C, 0x4D, 39));
    EXPECT_EQ(last.type, 2u);
    EXPECT_EQ(last.status, 3u);
    EXPECT_EQ(last.lease, 600u);

    // An empty page is an empty, valid table.
    Started(new TSessionBasicsDhcpEntry);
    m_Host.Reply(ccBasicsDhcpEntry, m_Device, {0, 0, 0, 0});
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.entries.empty());
}

TEST_F(Dhcp, AnEntryOutOfRangeEmptiesTheWholeTable) {
    for (auto [type, status] : {std::pair<uint16_t, uint16_t>{5, 0}, {0, 4}}) {
        Started(new TSessionBasicsDhcpEntry);
        m_Host.Reply(ccBasicsDhcpEntry, m_Device, EntryPage(0, 32));
        std::vector<uint8_t> page = EntryPage(32, 2);
        PutEntry(page, 1, 1, type, status, 0);
        m_Host.Reply(ccBasicsDhcpEntry, m_Device, page);
        EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
        EXPECT_FALSE(Property<TPropertyBasicsDhcpEntry>::Get(m_Device).valid);
        EXPECT_TRUE(Property<TPropertyBasicsDhcpEntry>::Get(m_Device).entries.empty());
    }
    // The highest known type and status are accepted.
    Started(new TSessionBasicsDhcpEntry);
    std::vector<uint8_t> page(4, 0);
    PutEntry(page, 1, 1, 4, 3, 0);
    m_Host.Reply(ccBasicsDhcpEntry, m_Device, page);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
}

TEST_F(Dhcp, PortBindingsNeedOneAddressPerPort) {
    std::vector<uint8_t> reply;
    for (uint32_t i = 0; i < 8; ++i) PutU32(reply, 0x0A000100u + i);
    Started(new TSessionBasicsDhcpPortIpGet);
    m_Host.Reply(ccBasicsDhcpPortIpGet, m_Device, reply);
    const auto& r = Property<TPropertyBasicsDhcpPortIp>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.addresses.size(), 8u);
    EXPECT_EQ(r.addresses[7], 0x0A000107u);

    std::vector<uint8_t> withTail = reply; // 35 bytes: the remainder is ignored
    withTail.insert(withTail.end(), {1, 2, 3});
    Started(new TSessionBasicsDhcpPortIpGet);
    m_Host.Reply(ccBasicsDhcpPortIpGet, m_Device, withTail);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);

    for (size_t size : {28u, 3u}) {
        Started(new TSessionBasicsDhcpPortIpGet);
        m_Host.Reply(ccBasicsDhcpPortIpGet, m_Device, std::vector<uint8_t>(reply.begin(), reply.begin() + long(size)));
        EXPECT_EQ(m_Host.LastNotify().status, ssBadReply) << size;
        EXPECT_FALSE(r.valid);
        EXPECT_EQ(r.addresses.size(), 8u); // the stored addresses stay
    }
}

TEST_F(Dhcp, PortBindingSetIsSentOnlyWithOneAddressPerPort) {
    std::vector<uint32_t> addresses{0x0A000101, 0, 0, 0, 0, 0, 0, 0x0A000108};
    auto* set = new TSessionBasicsDhcpPortIpSet;
    set->SetEntries(addresses.data(), 8);
    Started(set);
    std::vector<uint8_t> expected;
    for (uint32_t a : addresses) PutU32(expected, a);
    EXPECT_EQ(m_Host.LastSent().payload, expected);
    m_Host.Reply(ccBasicsDhcpPortIpSet, m_Device, {0, 0, 0, 0});
    EXPECT_EQ(m_Host.LastSent().code, ccBasicsDhcpPortIpGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccBasicsDhcpPortIpSet);

    // Eight addresses for a ten-port model: nothing is sent.
    Intp::TDevice* ten = m_Host.MakeDevice(IntpTest::Mac(10), 0x0A00000A, m_Host.AddModel("M10", 10));
    TSessionBasicsDhcpPortIpSet wrong;
    wrong.SetEntries(addresses.data(), 8);
    size_t sent = m_Host.sent.size();
    EXPECT_FALSE(wrong.Start(ten));
    TSessionBasicsDhcpPortIpSet empty;
    EXPECT_FALSE(empty.Start(m_Device));
    EXPECT_EQ(m_Host.sent.size(), sent);
}

} // namespace
