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

// A 10-port model with 10 secure addresses.
class Dot1xIpSecurity : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(7, 0x0A000007, m_Host.AddModel("R10", 10, 0, 0, 0, 10)); }

    // Answers a T with reply: the status notified (once).
    template <class T> uint16_t Answer(const Bytes& reply, uint16_t status = 0)
    {
        Started(new T);
        m_Host.notified.clear();
        m_Host.Reply(T::CommandCode, m_Device, reply, status);
        EXPECT_EQ(m_Host.notified.size(), 1u);
        return m_Host.LastNotify().status;
    }
    // The payload a T carrying record sends, empty when it does not start.
    template <class T, class R> Bytes Sends(const R& record, TDevice* device = nullptr)
    {
        auto* request = new T; // the library's once started
        request->SetPayload(record);
        m_Host.sent.clear();
        if (request->Start(device ? device : m_Device)) return m_Host.LastSent().payload;
        delete request;
        return {};
    }
    template <class R> const R& Rec() { return Property<R>::Get(m_Device); }
};

// A key of 32 characters goes without a terminator.
const Bytes RadiusBlock = [] {
    Bytes b = {1, 198, 18, 0, 5, 0x07, 0x14, 0x07, 0x15};
    IntpTest::PutText(b, std::string(32, 'k'), 32);
    IntpTest::PutText(b, "NAS_L2_SWITCH", 32);
    return Join({b, {0, 60, 0, 30, 0, 30, 1, 44, 10, 0, 0x0F, 0x42, 0x3F}});
}();

TEST_F(Dot1xIpSecurity, RadiusSettingsAreReadAndSentWithTheSharedKey)
{
    EXPECT_EQ(Answer<TSessionSecurity8021xGet>(Join({RadiusBlock, {9, 9, 9, 9}})), ssOk); // tail ignored
    TPropertySecurity8021x r = Rec<TPropertySecurity8021x>();
    EXPECT_EQ(r.sharedKey, std::string(32, 'k')); // all 32 bytes, no terminator
    EXPECT_EQ(r.nasId, "NAS_L2_SWITCH");
    EXPECT_EQ(r.reAuthPeriod, 999999u);
    EXPECT_EQ(Answer<TSessionSecurity8021xGet>(Bytes(85, 0)), ssShortReply);
    EXPECT_TRUE(Rec<TPropertySecurity8021x>().valid);
    EXPECT_EQ(Answer<TSessionSecurity8021xGet>(Bytes(86, 0), 5), 5);
    EXPECT_FALSE(Rec<TPropertySecurity8021x>().valid);

    EXPECT_EQ(Sends<TSessionSecurity8021xSet>(r), RadiusBlock);
    EXPECT_EQ(Sends<TSessionSecurityMacAgingSet>(TPropertySecurityMacAging{false, 300, true}),
              Bytes({0, 0, 1, 0x2C, 1}));
    EXPECT_EQ(Answer<TSessionSecurityMacAgingGet>({0, 0, 0, 15, 7}), ssOk);
    EXPECT_TRUE(Rec<TPropertySecurityMacAging>().autoFlush);
}

TEST_F(Dot1xIpSecurity, PortModesCheckCountThenValuesWithTheirOwnStatuses)
{
    Bytes modes = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1};
    EXPECT_EQ(Answer<TSessionSecurity8021xPortGet>(modes), ssOk);
    EXPECT_EQ(Rec<TPropertySecurity8021xPort>().ports.at(3).mode, 3u);
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

    EXPECT_EQ(Sends<TSessionSecurity8021xPortSet>(Rec<TPropertySecurity8021xPort>()), modes);
    m_Host.Reply(ccSecurity8021xPortSet, m_Device, {0, 0, 0, 0}, 7); // re-read, then told
    EXPECT_EQ(m_Host.LastSent().code, ccSecurity8021xPortGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccSecurity8021xPortSet);
    EXPECT_EQ(m_Host.LastNotify().status, 7);
}

TEST_F(Dot1xIpSecurity, SecureAddressesFillTheModelsPlaces)
{
    const Bytes head = {1, 0, 0, 0, 5};
    Bytes slots = Join({{192, 168, 1, 10, 10, 1, 1, 1}, Bytes(32, 0)});
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({head, slots, {7}})), ssOk); // 46 bytes: 10 places
    TPropertySecurityIp r = Rec<TPropertySecurityIp>();
    EXPECT_EQ(r.services, ssvWeb | ssvSnmp);
    EXPECT_EQ(r.addresses.at(1), 0x0A010101u);
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({{0, 0, 0, 0, 0}, Bytes(36, 0)})), ssBadReply);
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(Join({head, slots, Bytes(4, 0)})), ssBadReply);
    EXPECT_EQ(Answer<TSessionSecurityIpGet>(head), ssBadReply); // no place
    EXPECT_FALSE(Rec<TPropertySecurityIp>().valid);
    EXPECT_TRUE(Rec<TPropertySecurityIp>().enabled); // the values read before stay

    r.services = ssvTelnet;
    EXPECT_EQ(Sends<TSessionSecurityIpSet>(r), Join({{1, 0, 0, 0, 2}, slots}));
}

TEST_F(Dot1xIpSecurity, SetsWithAnotherCountThanTheModelsAreNeverSent)
{
    TDevice* unknown = m_Host.MakeDevice(IntpTest::Mac(8), 0x0A000008, 0); // model 0: no counts
    TPropertySecurityIp ips;
    ips.addresses.resize(11);
    EXPECT_TRUE(Sends<TSessionSecurityIpSet>(ips).empty());
    ips.addresses.resize(10);
    EXPECT_TRUE(Sends<TSessionSecurityIpSet>(ips, unknown).empty());
    TPropertySecurity8021xPort modes;
    modes.ports.resize(9);
    EXPECT_TRUE(Sends<TSessionSecurity8021xPortSet>(modes).empty());
    modes.ports.resize(10, {0xFF}); // no mode beyond the four
    EXPECT_TRUE(Sends<TSessionSecurity8021xPortSet>(modes).empty());

    Started(new TSessionSecurityIpGet, unknown);
    m_Host.Reply(ccSecurityIpGet, unknown, Bytes(45, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
}

} // namespace
