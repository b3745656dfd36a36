#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "intp/Warning.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using IntpTest::PutText;
using IntpTest::PutU32;
using IntpTest::TFakeHost;

std::vector<uint8_t> SmtpReply(size_t recipients, size_t extra = 0) {
    std::vector<uint8_t> v{1};
    PutU32(v, 0xC0A8000A);
    PutText(v, "switch@example.com", 64);
    PutText(v, "Alarm", 64);
    PutText(v, std::string(64, 'u'), 64); // fills the field
    for (size_t i = 0; i < recipients; ++i) PutText(v, "r" + std::to_string(i) + "@example.com", 64);
    v.insert(v.end(), extra, 0xEE);
    return v;
}

class Warning : public IntpTest::TDeviceTest {
protected:
    void SetUp() override {
        m_Model3 = m_Host.AddModel("M8", 8, 0, 0, 3);
        MakeDevice(9, 0x0A000009, m_Model3);
    }

    uint32_t m_Model3 = 0;
};

// Fault relay and event selection

TEST_F(Warning, FaultRecordAndSetAreTwoBigEndianMasks) {
    Started(new TSessionWarningFaultGet);
    std::vector<uint8_t> reply;
    PutU32(reply, 0x00000003);
    PutU32(reply, 0x80000001);
    m_Host.Reply(ccWarningFaultGet, m_Device, reply);
    const auto& r = Property<TPropertyWarningFault>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.systemMask, 3u);
    EXPECT_EQ(r.portMask, 0x80000001u);

    auto* set = new TSessionWarningFaultSet;
    set->SetPayload(r);
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload, reply);
}

TEST_F(Warning, EventMasksKeepPayloadOrder) {
    TPropertyWarningEvent masks;
    masks.syslogSystem = 0x1;
    masks.syslogLinkUp = 0x2;
    masks.syslogLinkDown = 0x4;
    masks.smtpSystem = 0x8;
    masks.smtpLinkUp = 0x10;
    masks.smtpLinkDown = 0x80000000;
    auto* set = new TSessionWarningEventSet;
    set->SetPayload(masks);
    Started(set);
    std::vector<uint8_t> expected;
    for (uint32_t m : {0x1u, 0x2u, 0x4u, 0x8u, 0x10u, 0x80000000u}) PutU32(expected, m);
    EXPECT_EQ(m_Host.LastSent().payload, expected);

    m_Host.Reply(ccWarningEventSet, m_Device, {0, 0, 0, 0});
    ASSERT_EQ(m_Host.LastSent().code, ccWarningEventGet);
    m_Host.Reply(ccWarningEventGet, m_Device, expected);
    const auto& r = Property<TPropertyWarningEvent>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(std::vector<uint32_t>({r.syslogSystem, r.syslogLinkUp, r.syslogLinkDown, r.smtpSystem, r.smtpLinkUp,
                                     r.smtpLinkDown}),
              std::vector<uint32_t>({0x1u, 0x2u, 0x4u, 0x8u, 0x10u, 0x80000000u}));
}

// Syslog client

TEST_F(Warning, SyslogModeIsOneByteAndFourIsAcceptedButFiveRejected) {
    Started(new TSessionWarningSyslogGet);
    const std::vector<uint8_t> reply{4, 0xC0, 0xA8, 0x00, 0x01};
    m_Host.Reply(ccWarningSyslogGet, m_Device, reply);
    const auto& r = Property<TPropertyWarningSyslog>::Get(m_Device);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.mode, 4u);
    EXPECT_EQ(r.server, 0xC0A80001u);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    auto* set = new TSessionWarningSyslogSet;
    set->SetPayload(r);
    Started(set);
    EXPECT_EQ(m_Host.LastSent().payload, reply);

    Started(new TSessionWarningSyslogGet);
    m_Host.Reply(ccWarningSyslogGet, m_Device, {5, 0, 0, 0, 0});
    EXPECT_FALSE(r.valid);
    EXPECT_EQ(m_Host.LastNotify().code, ccWarningSyslogGet);
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
}

// E-mail alerts

TEST_F(Warning, SmtpReplyIgnoresTrailingBytesBelowOneRecipient) {
    Started(new TSessionWarningSmtpGet);
    m_Host.Reply(ccWarningSmtpGet, m_Device, SmtpReply(3, 10));
    const auto& r = Property<TPropertyWarningSmtp>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_EQ(r.server, 0xC0A8000Au);
    EXPECT_EQ(r.account, std::string(64, 'u'));
    ASSERT_EQ(r.recipients.size(), 3u);
    EXPECT_EQ(r.recipients[2], "r2@example.com");
}

TEST_F(Warning, SmtpReplyRecipientCountMustMatchTheModelAndNotBeZero) {
    for (size_t count : {size_t(0), size_t(4)}) {
        Started(new TSessionWarningSmtpGet);
        m_Host.Reply(ccWarningSmtpGet, m_Device, SmtpReply(count));
        EXPECT_FALSE(Property<TPropertyWarningSmtp>::Get(m_Device).valid) << count;
        EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    }

    TDevice* unknown = m_Host.MakeDevice(IntpTest::Mac(10), 0x0A00000A, 0);
    Started(new TSessionWarningSmtpGet, unknown);
    m_Host.Reply(ccWarningSmtpGet, unknown, SmtpReply(3));
    EXPECT_FALSE(Property<TPropertyWarningSmtp>::Get(unknown).valid);
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
}

TEST_F(Warning, SmtpRecipientsFollowTheModelWhenItChanges) {
    Started(new TSessionWarningSmtpGet);
    m_Host.Reply(ccWarningSmtpGet, m_Device, SmtpReply(3));
    ASSERT_EQ(Property<TPropertyWarningSmtp>::Get(m_Device).recipients.size(), 3u);

    m_Device->SetType(m_Host.AddModel("M24", 24, 0, 0, 5));
    Started(new TSessionWarningSmtpGet);
    m_Host.Reply(ccWarningSmtpGet, m_Device, SmtpReply(5));
    const auto& r = Property<TPropertyWarningSmtp>::Get(m_Device);
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.recipients.size(), 5u);
    EXPECT_EQ(r.recipients[4], "r4@example.com");
}

std::vector<uint8_t> PageSmtpPayload(size_t n, uint32_t server) {
    std::vector<uint8_t> v(229 + 64 * n, 0);
    v[0] = 1;
    std::memcpy(&v[1], &server, 4); // host order, as the page builds it
    std::memcpy(&v[5], "from@x", 6);
    std::memcpy(&v[69], "subj", 4);
    std::memcpy(&v[133], "acct", 4);
    std::memcpy(&v[197], std::string(32, 'p').data(), 32);
    for (size_t i = 0; i < n; ++i) v[229 + 64 * i] = uint8_t('a' + i);
    return v;
}

TEST_F(Warning, SmtpSetSendsThePagePayloadWithBigEndianServer) {
    std::vector<uint8_t> page = PageSmtpPayload(3, 0xC0A80064);
    auto* set = new TSessionWarningSmtpSet;
    set->SetEntries(page.data(), 3);
    Started(set);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    std::vector<uint8_t> expected = page;
    expected[1] = 0xC0;
    expected[2] = 0xA8;
    expected[3] = 0x00;
    expected[4] = 0x64;
    EXPECT_EQ(m_Host.sent[0].payload, expected);
    EXPECT_EQ(THeader::Read(m_Host.sent[0].bytes.data()).length, 229 + 3 * 64);

    // The record form builds the same bytes.
    TPropertyWarningSmtp rec;
    rec.enabled = true;
    rec.server = 0xC0A80064;
    rec.sender = "from@x";
    rec.subject = "subj";
    rec.account = "acct";
    rec.password = std::string(40, 'p'); // cut to 32
    rec.recipients = {"a", "b", "c"};
    auto* fromRecord = new TSessionWarningSmtpSet;
    fromRecord->SetPayload(rec);
    Started(fromRecord);
    EXPECT_EQ(m_Host.LastSent().payload, expected);
}

TEST_F(Warning, SmtpSetIsNotSentWhenTheCountDiffersFromTheModel) {
    TDevice* unknown = m_Host.MakeDevice(IntpTest::Mac(10), 0x0A00000A, 0);
    std::vector<uint8_t> page = PageSmtpPayload(3, 1);
    auto* set = new TSessionWarningSmtpSet;
    set->SetEntries(page.data(), 3);
    EXPECT_FALSE(set->Start(unknown));

    auto* empty = new TSessionWarningSmtpSet;
    EXPECT_FALSE(empty->Start(m_Device));

    auto* two = new TSessionWarningSmtpSet;
    std::vector<uint8_t> small = PageSmtpPayload(2, 1);
    two->SetEntries(small.data(), 2);
    EXPECT_FALSE(two->Start(m_Device));
    EXPECT_TRUE(m_Host.sent.empty());
    delete set;
    delete empty;
    delete two;
}

TEST_F(Warning, SetsTakeThePagesRecordBytesInHostOrder) {
    std::vector<uint8_t> fault, syslog{3}, event;
    IntpTest::PutHost(fault, 0x5u);
    IntpTest::PutHost(fault, 0x80000001u);
    IntpTest::PutHost(syslog, 0xC0A80001u);
    for (uint32_t m : {1u, 2u, 3u, 4u, 5u, 0x80000000u}) IntpTest::PutHost(event, m);

    auto* faultSet = new TSessionWarningFaultSet;
    faultSet->SetPayload(fault.data());
    Started(faultSet);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{0, 0, 0, 5, 0x80, 0, 0, 1}));
    auto* syslogSet = new TSessionWarningSyslogSet;
    syslogSet->SetPayload(syslog.data());
    Started(syslogSet);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{3, 0xC0, 0xA8, 0, 1}));
    auto* eventSet = new TSessionWarningEventSet;
    eventSet->SetPayload(event.data());
    Started(eventSet);
    // The six masks on the wire, big-endian, in record order.
    std::vector<uint8_t> wire;
    for (uint32_t m : {1u, 2u, 3u, 4u, 5u, 0x80000000u}) PutU32(wire, m);
    EXPECT_EQ(m_Host.LastSent().payload, wire);
}

} // namespace
