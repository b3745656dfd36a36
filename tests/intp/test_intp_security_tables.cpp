#include <gtest/gtest.h>

#include <vector>

#include "intp/SecurityTables.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;

TMacAddr Addr(uint8_t n) { return TMacAddr(0x02, 0x00, 0x5E, 0x10, 0x20, n); }

std::vector<uint8_t> Page(uint8_t first, size_t count, size_t extra = 0) {
    std::vector<uint8_t> v(4, 0xEE); // prefix, not read
    for (size_t i = 0; i < count; ++i) {
        const TMacAddr a = Addr(uint8_t(first + i));
        v.insert(v.end(), a.Bytes().begin(), a.Bytes().end());
    }
    v.insert(v.end(), extra, 0xAB);
    return v;
}

class MacBlacklist : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(6, 0x0A000006); }
    const TPropertySecurityMac& Table() { return Property<TPropertySecurityMac>::Get(m_Device); }
};

TEST_F(MacBlacklist, FullPagesWaitAndAShortPageEndsTheTable) {
    TSession* get = Started(new TSessionSecurityMacGet);
    m_Host.Reply(ccSecurityMacGet, m_Device, Page(0, 128)); // 4 + 128 x 6 = 772 bytes
    EXPECT_TRUE(m_Host.notified.empty());
    EXPECT_TRUE(m_Host.TimerEnabled(get));
    EXPECT_FALSE(Table().valid);
    m_Host.Reply(ccSecurityMacGet, m_Device, Page(128, 2, 5)); // 5 bytes short of an entry: ignored
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.LastNotify().code, ccSecurityMacGet);
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    ASSERT_TRUE(Table().valid);
    ASSERT_EQ(Table().entries.size(), 130u);
    EXPECT_EQ(Table().entries[0], Addr(0));
    EXPECT_EQ(Table().entries[129], Addr(129));

    // A full page, then a page of the prefix alone: 128 entries.
    Started(new TSessionSecurityMacGet);
    EXPECT_FALSE(Table().valid);
    EXPECT_TRUE(Table().entries.empty());
    m_Host.Reply(ccSecurityMacGet, m_Device, Page(0, 128));
    m_Host.Reply(ccSecurityMacGet, m_Device, Page(0, 0));
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_TRUE(Table().valid);
    EXPECT_EQ(Table().entries.size(), 128u);

    // An error status leaves the table empty.
    Started(new TSessionSecurityMacGet);
    m_Host.Reply(ccSecurityMacGet, m_Device, Page(0, 3), 0x0042);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0042);
    EXPECT_TRUE(Table().entries.empty());
}

TEST_F(MacBlacklist, ATimeOutAfterAFullPageKeepsItsEntriesInATableNotValid) {
    Started(new TSessionSecurityMacGet);
    m_Host.Reply(ccSecurityMacGet, m_Device, Page(0, 128));
    m_Host.Clear();
    ASSERT_TRUE(m_Host.TimeOut(m_Device, ccSecurityMacGet));
    ASSERT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.LastNotify().status, ssTimeout);
    EXPECT_FALSE(Table().valid);
    EXPECT_EQ(Table().entries.size(), 128u);
    EXPECT_EQ(GetSessionCount(), 0u);
}

TEST_F(MacBlacklist, AddAndDelSendTheAddressThenReadTheTableAgain) {
    const std::vector<uint8_t> wire = {0x02, 0x00, 0x5E, 0x10, 0x20, 0x42};
    for (uint16_t code : {ccSecurityMacAdd, ccSecurityMacDel}) {
        m_Host.Clear();
        if (code == ccSecurityMacAdd) {
            auto* add = new TSessionSecurityMacAdd;
            add->SetPayload(Addr(0x42));
            Started(add);
        } else {
            auto* del = new TSessionSecurityMacDel;
            del->SetPayload(wire.data()); // the bytes as the page holds them
            Started(del);
        }
        ASSERT_EQ(m_Host.sent.size(), 1u);
        EXPECT_EQ(m_Host.sent[0].code, code);
        EXPECT_EQ(m_Host.sent[0].payload, wire);

        m_Host.Reply(code, m_Device, {0, 0, 0, 0}, 0x0007);
        ASSERT_EQ(m_Host.sent.size(), 2u);
        EXPECT_EQ(m_Host.sent[1].code, ccSecurityMacGet);
        EXPECT_EQ(m_Host.LastNotify().code, code);
        EXPECT_EQ(m_Host.LastNotify().status, 0x0007);
        EXPECT_EQ(m_Host.LastNotify().name, code == ccSecurityMacAdd ? "SecMacAdd" : "SecMacDel");
    }
}

TEST_F(MacBlacklist, ShortOrNotLoggedInReplyToAnAddReadsNothing) {
    using TCase = std::pair<std::vector<uint8_t>, uint16_t>;
    for (auto [payload, status] : {TCase{{0, 0, 0}, 0}, TCase{{0, 0, 0, 0}, ssNotLoggedIn}}) {
        m_Host.Clear();
        auto* add = new TSessionSecurityMacAdd;
        add->SetPayload(Addr(1));
        Started(add);
        m_Host.Reply(ccSecurityMacAdd, m_Device, payload, status);
        EXPECT_EQ(m_Host.sent.size(), 1u);
        EXPECT_EQ(m_Host.LastNotify().status, payload.size() < 4 ? ssShortReply : ssNotLoggedIn);
    }
}

} // namespace
