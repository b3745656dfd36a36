#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "intp/Igmp.h"
#include "intp/Lldp.h"
#include "intp/Qos.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using Bytes = std::vector<uint8_t>;

class QosIgmpLldp : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(3, 0x0A000003); } // 8 ports

    // Starts a T, answers it with reply and gives the notified status.
    template <class T> uint16_t Answer(const Bytes& reply)
    {
        Started(new T);
        m_Host.Reply(T::CommandCode, m_Device, reply);
        EXPECT_EQ(m_Host.LastNotify().code, T::CommandCode);
        return m_Host.LastNotify().status;
    }
    template <class T> const typename T::Record& Rec() { return Property<typename T::Record>::Get(m_Device); }
};

Bytes Filled(size_t n, uint8_t v) { return Bytes(n, v); }
Bytes Join(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Each decoder's statuses, as its family assigns them.
TEST_F(QosIgmpLldp, DecodersRejectWithTheirFamilysStatus)
{
    EXPECT_EQ(Answer<TSessionQosGet>({1, 5}), ssOk);
    EXPECT_EQ(Rec<TSessionQosGet>().priorityType, 5u);
    EXPECT_EQ(Answer<TSessionQosGet>({2, 0}), ssBadReply);
    EXPECT_EQ(Answer<TSessionQosGet>({0, 6}), ssBadValue);
    EXPECT_FALSE(Rec<TSessionQosGet>().valid);

    EXPECT_EQ(Answer<TSessionQosPortGet>(Filled(8, 3)), ssOk);
    EXPECT_EQ(Answer<TSessionQosPortGet>(Filled(9, 0)), ssBadValue); // wrong count
    EXPECT_EQ(Answer<TSessionQosPortGet>(Filled(8, 4)), ssBadReply);

    EXPECT_EQ(Answer<TSessionQosCosGet>(Join(Filled(8, 3), Filled(8, 7))), ssOk);
    EXPECT_EQ(Rec<TSessionQosCosGet>().portDefault, std::vector<uint32_t>(8, 7));
    EXPECT_EQ(Answer<TSessionQosCosGet>(Filled(8, 0)), ssBadEntry); // no ports
    EXPECT_EQ(Answer<TSessionQosCosGet>(Join(Filled(8, 0), Filled(7, 0))), ssBadEntry);
    EXPECT_EQ(Answer<TSessionQosCosGet>(Join(Filled(8, 4), Filled(8, 0))), ssBadReply);
    EXPECT_EQ(Answer<TSessionQosCosGet>(Join(Filled(8, 0), Filled(8, 8))), ssBadValue);

    EXPECT_EQ(Answer<TSessionQosTosGet>(Join(Filled(64, 3), Filled(6, 9))), ssOk); // tail ignored
    EXPECT_EQ(Answer<TSessionQosTosGet>(Join(Filled(63, 0), {4})), ssBadReply);

    EXPECT_EQ(Answer<TSessionQos2Get>({4, 0, 0, 0}), ssOk);
    EXPECT_EQ(Answer<TSessionQos2Get>({5, 0, 0, 0}), ssBadValue);
    EXPECT_EQ(Answer<TSessionQos2CosGet>({0, 1, 2, 3, 3, 2, 1, 0}), ssOk);
    EXPECT_EQ(Answer<TSessionQos2CosGet>({0, 1, 2, 4, 3, 2, 1, 0}), ssBadReply);
    EXPECT_EQ(Answer<TSessionQos2PortGet>(Filled(8, 8)), ssOk);
    EXPECT_EQ(Answer<TSessionQos2PortGet>(Filled(7, 0)), ssBadValue); // wrong count
    EXPECT_EQ(Answer<TSessionQos2PortGet>(Join(Filled(7, 0), {9})), ssBadReply);
    EXPECT_EQ(Answer<TSessionQos2TosGet>(Filled(64, 7)), ssOk);
    EXPECT_EQ(Answer<TSessionQos2TosGet>(Join(Filled(63, 0), {8})), ssBadReply);

    EXPECT_EQ(Answer<TSessionIgmpGet>({1}), ssShortReply);
    EXPECT_EQ(Answer<TSessionIgmp2Get>({1, 0, 0}), ssShortReply);
    EXPECT_EQ(Answer<TSessionLldpGet>({1, 0, 0}), ssShortReply);
}

TEST_F(QosIgmpLldp, IgmpQueryModeOutOfRangeKeepsTheOldModeButStoresTheRest)
{
    EXPECT_EQ(Answer<TSessionIgmpGet>({1, 2}), ssOk);
    EXPECT_EQ(Answer<TSessionIgmpGet>({0, 3}), ssBadReply);
    EXPECT_FALSE(Rec<TSessionIgmpGet>().valid);
    EXPECT_FALSE(Rec<TSessionIgmpGet>().enabled);
    EXPECT_EQ(Rec<TSessionIgmpGet>().queryMode, 2u);

    EXPECT_EQ(Answer<TSessionIgmp2Get>({0, 5, 10, 2}), ssBadReply);
    EXPECT_EQ(Rec<TSessionIgmp2Get>().lastMemberQueryInterval, 10u);
    EXPECT_EQ(Rec<TSessionIgmp2Get>().lastMemberQueryCount, 2u);
}

TEST_F(QosIgmpLldp, SetsSendTheirGoldenBytesAndReadTheFeatureAgain)
{
    auto* qos2 = new TSessionQos2Set;
    qos2->SetPayload(TPropertyQos2{false, 3});
    Started(qos2);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({3, 0, 0, 0})); // little-endian word

    auto* lldp = new TSessionLldpSet;
    lldp->SetPayload(TPropertyLldp{false, true, 65535});
    Started(lldp);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({1, 0, 0xFF, 0xFF}));
    // The page's bytes (interval in host order): the reserved byte goes out as 0.
    uint8_t held[4] = {1, 0x55, 0, 0};
    const uint16_t interval = 30;
    std::memcpy(held + 2, &interval, 2);
    auto* raw = new TSessionLldpSet;
    raw->SetPayload(static_cast<const void*>(held));
    Started(raw);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({1, 0, 0, 0x1E}));
    auto* igmp2 = new TSessionIgmp2Set;
    igmp2->SetPayload(TPropertyIgmp2{false, true, 2, 25, 1});
    Started(igmp2);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({1, 2, 25, 1}));

    auto* cos = new TSessionQosCosSet;
    TPropertyQosCos c;
    c.cosMap = {0, 0, 1, 1, 2, 2, 3, 3};
    c.portDefault = {7, 6, 5, 4, 3, 2, 1, 0};
    cos->SetPayload(c);
    Started(cos);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({0, 0, 1, 1, 2, 2, 3, 3, 7, 6, 5, 4, 3, 2, 1, 0}));

    // Whatever the switch answers, the feature is read again and the Set's code told.
    m_Host.Reply(ccQosCosSet, m_Device, {0, 0, 0, 0}, 5);
    EXPECT_EQ(m_Host.LastSent().code, ccQosCosGet);
    EXPECT_EQ(m_Host.LastNotify().code, ccQosCosSet);
    EXPECT_EQ(m_Host.LastNotify().status, 5);
}

// Every other QoS Set sends its record's bytes as they stand.
TEST_F(QosIgmpLldp, QosSetsSendTheirRecordsBytes)
{
    auto sent = [&](auto* request, const auto& record) {
        request->SetPayload(record);
        Started(request);
        return m_Host.LastSent().payload;
    };
    const std::vector<uint32_t> ports = {0, 1, 2, 3, 3, 2, 1, 8};
    const Bytes portBytes = {0, 1, 2, 3, 3, 2, 1, 8};
    Bytes map(64, 0);
    map[63] = 3;
    TPropertyQosTos tos;
    tos.tosMap[63] = 3;
    TPropertyQos2Tos tos2;
    tos2.dscpMap[63] = 3;
    TPropertyQos2Cos cos2;
    cos2.priorityMap = {0, 0, 1, 1, 2, 2, 3, 3};

    EXPECT_EQ(sent(new TSessionQosSet, TPropertyQos{false, 1, 4}), Bytes({1, 4}));
    EXPECT_EQ(sent(new TSessionQosPortSet, TPropertyQosPort{false, ports}), portBytes);
    EXPECT_EQ(sent(new TSessionQosTosSet, tos), map);
    EXPECT_EQ(sent(new TSessionQos2CosSet, cos2), Bytes({0, 0, 1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(sent(new TSessionQos2PortSet, TPropertyQos2Port{false, ports}), portBytes);
    EXPECT_EQ(sent(new TSessionQos2TosSet, tos2), map);
}

TEST_F(QosIgmpLldp, RefusedBeforeSending)
{
    auto* mode = new TSessionQos2Set;
    mode->SetPayload(TPropertyQos2{false, 259}); // would read as 3 if cut
    EXPECT_FALSE(mode->Start(m_Device));
    delete mode;

    for (int n : {0, 7}) {
        auto* ports = new TSessionQos2PortSet;
        Bytes bytes(size_t(n + 1), 1);
        ports->SetEntries(bytes.data(), n);
        EXPECT_FALSE(ports->Start(m_Device)) << n;
        delete ports;
    }
    EXPECT_TRUE(m_Host.sent.empty());
}

TEST_F(QosIgmpLldp, IgmpTableArrivesInPagesOf64)
{
    TPropertyIgmp2Table groups;
    for (uint32_t i = 0; i < 100; ++i) groups.entries.push_back({1u << (i % 8), 0xE0000000 + i, i});
    Bytes first = Join(Bytes(4, 0), EncodeEntries(IgmpEntryFields, std::vector(groups.entries.begin(),
                                                                                 groups.entries.begin() + 64)));
    Bytes second = Join(Bytes(4, 0), EncodeEntries(IgmpEntryFields, std::vector(groups.entries.begin() + 64,
                                                                                  groups.entries.end())));
    Started(new TSessionIgmp2Table);
    m_Host.Reply(ccIgmp2Table, m_Device, first);
    EXPECT_TRUE(m_Host.notified.empty());
    m_Host.Reply(ccIgmp2Table, m_Device, second);
    const auto& r = Property<TPropertyIgmp2Table>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.entries.size(), 100u);
    EXPECT_EQ(r.entries[99].groupIp, 0xE0000063u);
    EXPECT_EQ(r.entries[99].vid, 99u);
    EXPECT_EQ(m_Host.notified.size(), 1u);

    Started(new TSessionIgmpTable);
    m_Host.Reply(ccIgmpTable, m_Device, first);
    EXPECT_TRUE(m_Host.TimeOut(m_Device, ccIgmpTable));
    EXPECT_EQ(m_Host.LastNotify().status, ssTimeout);
    EXPECT_FALSE(Property<TPropertyIgmpTable>::Get(m_Device).valid);
}

TEST_F(QosIgmpLldp, LldpReplyIgnoresItsReservedByteAndIgmpSetSendsTwoBytes)
{
    EXPECT_EQ(Answer<TSessionLldpGet>({1, 0x55, 0x00, 0x1E}), ssOk);
    EXPECT_EQ(Rec<TSessionLldpGet>().interval, 30u);
    auto* igmp = new TSessionIgmpSet;
    igmp->SetPayload(TPropertyIgmp{false, true, 2});
    Started(igmp);
    EXPECT_EQ(m_Host.LastSent().payload, Bytes({1, 2}));
}

} // namespace
