#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "intp/Dot1x.h"
#include "intp/IpSecurity.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using Bytes = std::vector<uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes Padded(const std::string& text, size_t width)
{
    Bytes b(text.begin(), text.end());
    b.resize(width, 0);
    return b;
}

// A 10-port model with 10 secure addresses, and model 0 (no counts).
class Dot1xIpSecurity : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(7, 0x0A000007, m_Host.AddModel("R10", 10, 0, 0, 0, 10)); }

    template <class T> uint16_t Answer(const Bytes& reply, uint16_t status = 0)
    {
        Started(new T);
        m_Host.notified.clear();
        m_Host.Reply(T::CommandCode, m_Device, reply, status);
        EXPECT_EQ(m_Host.notified.size(), 1u);
        return m_Host.LastNotify().status;
    }
    template <class R> const R& Rec() { return Property<R>::Get(m_Device); }
};

const Bytes RadiusBlock = Join({{1, 198, 18, 0, 5, 0x07, 0x14, 0x07, 0x15},
                                Padded(std::string(32, 'k'), 32), // a key of 32 characters: no terminator
                                Padded("NAS_L2_SWITCH", 32),
                                {0, 60, 0, 30, 0, 30, 1, 44, 10, 0, 0x0F, 0x42, 0x3F}});

TEST_F(Dot1xIpSecurity, RadiusSettingsAreReadWithoutTheSharedKeyAndSentWithIt)
{
    EXPECT_EQ(Answer<TSessionSecurity8021xGet>(Join({RadiusBlock, {9, 9, 9, 9}})), ssOk); // tail ignored
    const auto& r = Rec<TPropertySecurity8021x>();
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.server, 0xC6120005u);
    EXPECT_EQ(r.serverPort, 1812u);
    EXPECT_EQ(r.accountingPort, 1813u);
    EXPECT_TRUE(r.sharedKey.empty()); // the switch's copy of the secret is never kept
    EXPECT_EQ(r.nasId, "NAS_L2_SWITCH");
    EXPECT_EQ(r.serverTimeout, 300u);
    EXPECT_EQ(r.maxRequests, 10u);
    EXPECT_EQ(r.reAuthPeriod, 999999u);
    EXPECT_EQ(Answer<TSessionSecurity8021xGet>(Bytes(85, 0)), ssShortReply);
    EXPECT_TRUE(Rec<TPropertySecurity8021x>().valid);
    EXPECT_EQ(Answer<TSessionSecurity8021xGet>(Bytes(86, 0), 5), 5);
    EXPECT_FALSE(Rec<TPropertySecurity8021x>().valid);

    TPropertySecurity8021x set = r;
    set.enabled = true;
    set.sharedKey = std::string(32, 'k');
    auto* request = new TSessionSecurity8021xSet;
    request->SetPayload(set);
    Started(request);
    EXPECT_EQ(m_Host.LastSent().payload, RadiusBlock);
    m_Host.Reply(ccSecurity8021xSet, m_Device, {0, 0, 0, 0}, 7);
    EXPECT_EQ(m_Host.LastSent().code, ccSecurity8021xGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccSecurity8021xSet);
    EXPECT_EQ(m_Host.LastNotify().status, 7);
}

TEST_F(Dot1xIpSecurity, PortModesCheckCountThenValuesWithTheirOwnStatuses)
{
    Bytes modes = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1};
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>(modes), ssOk);
    ASSERT_EQ(Rec<TPropertySecurity8021xPort>().ports.size(), 10u);
    EXPECT_EQ(Rec<TPropertySecurity8021xPort>().ports[3].mode, 3u);
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>(Bytes(9, 0)), ssBadValue);
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>(Bytes(11, 0)), ssBadValue);
    Bytes bad(10, 0);
    bad[5] = 4;
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>(bad), ssBadReply);
    EXPECT_FALSE(Rec<TPropertySecurity8021xPort>().valid);
    EXPECT_EQ(Rec<TPropertySecurity8021xPort>().ports[1].mode, 1u); // nothing overwritten

    // A refused read is told once and leaves the record invalid.
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>(modes), ssOk);
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>({0}, 6), 6);
    EXPECT_FALSE(Rec<TPropertySecurity8021xPort>().valid);

    auto* set = new TSessionSecurity8021xPortSet;
    set->SetPayload(Rec<TPropertySecurity8021xPort>());
    Started(set);
    EXPECT_EQ(m_Host.LastSent().bytes.size(), 22u);
    EXPECT_EQ(m_Host.LastSent().payload, modes);
}

TEST_F(Dot1xIpSecurity, SecureAddressesFillTheModelsSlots)
{
    const Bytes head = {1, 0, 0, 0, 5};
    Bytes slots = Join({{192, 168, 1, 10, 10, 1, 1, 1}, Bytes(32, 0)});
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({head, slots})), ssOk);
    const auto& r = Rec<TPropertySecurityIp>();
    EXPECT_TRUE(r.enabled);
    EXPECT_EQ(r.services, ssvWeb | ssvSnmp);
    ASSERT_EQ(r.addresses.size(), 10u);
    EXPECT_EQ(r.addresses[1], 0x0A010101u);
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({head, slots, {7}})), ssOk); // 46 bytes: 10 slots
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({{0, 0, 0, 0, 0}, Bytes(36, 0)})), ssBadReply);
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({head, slots, Bytes(4, 0)})), ssBadReply);
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(head), ssBadReply); // no slot
    EXPECT_FALSE(Rec<TPropertySecurityIp>().valid);
    EXPECT_TRUE(Rec<TPropertySecurityIp>().enabled); // the values read before stay

    TPropertySecurityIp set;
    set.enabled = true;
    set.services = ssvTelnet;
    set.addresses = {0xC0A8010A, 0x0A010101};
    set.addresses.resize(10);
    auto* request = new TSessionSecurityIpSet;
    request->SetPayload(set);
    Started(request);
    EXPECT_EQ(m_Host.LastSent().bytes.size(), 57u);
    EXPECT_EQ(m_Host.LastSent().payload, Join({{1, 0, 0, 0, 2}, slots}));

    auto* aging = new TSessionSecurityMacAgingSet;
    aging->SetPayload(TPropertySecurityMacAging{false, 300, true});
    Started(aging);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({0, 0, 1, 0x2C, 1}));
    EXPECT_EQ(Answer<TSessionSecurityMacAgingGet>({0, 0, 0, 15, 7}), ssOk);
    EXPECT_TRUE(Rec<TPropertySecurityMacAging>().autoFlush);
    EXPECT_EQ(Rec<TPropertySecurityMacAging>().agingTime, 15u);
}

TEST_F(Dot1xIpSecurity, SetsWithAnotherCountThanTheModelsAreNeverSent)
{
    TPropertySecurityIp eleven;
    eleven.addresses.resize(11);
    TPropertySecurity8021xPort nine;
    nine.ports.resize(9);
    TPropertySecurity8021xPort badMode;
    badMode.ports.resize(10);
    badMode.ports[2].mode = 0xFF;
    Intp::TDevice* unknown = m_Host.MakeDevice(IntpTest::Mac(8), 0x0A000008, 0);
    TPropertySecurityIp ten;
    ten.addresses.resize(10);
    TSessionSecurityIpSet ip, ipUnknown;
    ip.SetPayload(eleven);
    ipUnknown.SetPayload(ten);
    TSessionSecurity8021xPortSet ports, modes;
    ports.SetPayload(nine);
    modes.SetPayload(badMode);
    EXPECT_FALSE(ip.Start(m_Device));
    EXPECT_FALSE(ipUnknown.Start(unknown));
    EXPECT_FALSE(ports.Start(m_Device));
    EXPECT_FALSE(modes.Start(m_Device));
    EXPECT_TRUE(m_Host.sent.empty());

    // Model 0 has no slots and no ports: every reply is refused.
    Started(new TSessionSecurityIpGet, unknown);
    m_Host.Reply(ccSecurityIpGet, unknown, Bytes(45, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    Started(new TSessionSecurity8021xPortGet, unknown);
    m_Host.Reply(ccSecurity8021xPortGet, unknown, Bytes(1, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadValue);
}

} // namespace
