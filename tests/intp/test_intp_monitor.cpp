#include <gtest/gtest.h>

#include <vector>

#include "intp/Monitor.h"
#include "tests/common/Records.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;
using Bytes = std::vector<uint8_t>;

// A table page: 4 prefix bytes, then the entries in wire order.
template <class R, class E> Bytes Page(const std::vector<E>& entries)
{
    Bytes v(4, 0xEE);
    Bytes e = EncodeEntries(R::EntryFields, entries, TOrder::Wire, TMessage::Get);
    v.insert(v.end(), e.begin(), e.end());
    return v;
}

TPropertyMonitorMacEntry MacOn(uint32_t port, uint32_t n, bool isStatic = false)
{
    return {port, IntpTest::Mac(n), isStatic};
}

// A model of 4 ports and 2 trunk groups.
class Monitor : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(7, 0x0A000007, m_Host.AddModel("M4T2", 4, 2)); }
    template <class R> const R& Rec() { return Property<R>::Get(m_Device); }
    // Starts a request and answers it; the status notified for code.
    uint16_t Answer(TSession* request, uint16_t code, const Bytes& reply, uint16_t status = ssOk)
    {
        Started(request);
        m_Host.Reply(code, m_Device, reply, status);
        return m_Host.LastNotify().status;
    }
    // The codes sent since the last Clear, in order.
    std::vector<uint16_t> SentCodes()
    {
        std::vector<uint16_t> codes;
        for (const auto& s : m_Host.sent) codes.push_back(s.code);
        return codes;
    }
};

TEST_F(Monitor, MacTableReadsPagesKeepsArrivalOrderAndCountsEachKind)
{
    std::vector<TPropertyMonitorMacEntry> full;
    for (uint32_t i = 0; i < 128; ++i) full.push_back(MacOn(i % 6, i, i % 4 == 0));
    TSession* get = Started(new TSessionMonitorMacGet);
    m_Host.Reply(ccMonitorMacGet, m_Device, Page<TPropertyMonitorMac>(full));
    EXPECT_TRUE(m_Host.notified.empty());
    EXPECT_TRUE(m_Host.TimerEnabled(get));
    EXPECT_FALSE(Rec<TPropertyMonitorMac>().valid);
    m_Host.Reply(ccMonitorMacGet, m_Device, Page<TPropertyMonitorMac>(std::vector{MacOn(5, 500), MacOn(0, 501)}));
    EXPECT_EQ(m_Host.LastNotify().status, ssOk);
    EXPECT_EQ(m_Host.LastNotify().name, "MacTableGet");
    const auto& r = Rec<TPropertyMonitorMac>();
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.entries.size(), 130u);
    EXPECT_EQ(r.staticCount, 32u);
    EXPECT_EQ(r.dynamicCount, 98u);
    EXPECT_EQ(r.entries[129].port, 0u);
    EXPECT_EQ(r.entries[129].mac, IntpTest::Mac(501));

    // Exactly one full page: the empty page that follows ends the table.
    full.resize(128);
    Started(new TSessionMonitorMacGet);
    m_Host.Reply(ccMonitorMacGet, m_Device, Page<TPropertyMonitorMac>(full));
    m_Host.Reply(ccMonitorMacGet, m_Device, Bytes(4, 0));
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.entries.size(), 128u);
}

TEST_F(Monitor, MacEntryPastThePortsAndTrunkGroupsRejectsTheWholeTable)
{
    EXPECT_EQ(Answer(new TSessionMonitorMacGet, ccMonitorMacGet,
                     Page<TPropertyMonitorMac>(std::vector{MacOn(5, 1, true), MacOn(6, 2)})),
              ssBadReply);
    const auto& r = Rec<TPropertyMonitorMac>();
    EXPECT_FALSE(r.valid);
    EXPECT_TRUE(r.entries.empty());
    EXPECT_EQ(r.staticCount + r.dynamicCount, 0u);
}

TEST_F(Monitor, EventLogPagesOfFiveAndBoundedTexts)
{
    std::vector<TPropertyMonitorEventEntry> five(5, {"head", "text"});
    Started(new TSessionMonitorEventGet);
    m_Host.Reply(ccMonitorEventGet, m_Device, Page<TPropertyMonitorEvent>(five));
    EXPECT_TRUE(m_Host.notified.empty());
    Bytes last = Page<TPropertyMonitorEvent>(std::vector<TPropertyMonitorEventEntry>{{"", ""}});
    std::fill(last.begin() + 4, last.end(), 'x'); // no NUL at all
    m_Host.Reply(ccMonitorEventGet, m_Device, last);
    const auto& r = Rec<TPropertyMonitorEvent>();
    ASSERT_TRUE(r.valid);
    ASSERT_EQ(r.entries.size(), 6u);
    EXPECT_EQ(r.entries[0].text, "text");
    EXPECT_EQ(r.entries[5].head, std::string(128, 'x'));
    EXPECT_EQ(r.entries[5].text, std::string(128, 'x'));

    EXPECT_EQ(Answer(new TSessionMonitorEventGet, ccMonitorEventGet, Bytes(4, 0)), ssOk);
    EXPECT_TRUE(r.valid);
    EXPECT_TRUE(r.entries.empty());
}

TEST_F(Monitor, PerPortRepliesNeedExactlyOneEntryPerPort)
{
    auto stats = IntpTest::PerPort<TPropertyMonitorPort>(ModelOf(m_Device), [](size_t i, TPropertyMonitorPortEntry& e) {
        e.txGood = uint32_t(i);
        e.collision = 0xFFFFFFFF;
    });
    Bytes good = EncodeRecord(stats, TMessage::Get);
    ASSERT_EQ(Answer(new TSessionMonitorPortGet, ccMonitorPortGet, good), ssOk);
    const auto& r = Rec<TPropertyMonitorPort>();
    ASSERT_EQ(r.entries.size(), 4u);
    EXPECT_EQ(r.entries[3].txGood, 3u);
    EXPECT_EQ(r.entries[3].collision, 0xFFFFFFFFu);

    // One byte short, or an entry too many: refused, nothing read past the ports.
    for (Bytes reply : {Bytes(good.begin(), good.end() - 1), Bytes(good.size() + 24, 0xFF)}) {
        EXPECT_EQ(Answer(new TSessionMonitorPortGet, ccMonitorPortGet, reply), ssBadReply);
        EXPECT_FALSE(r.valid);
        EXPECT_EQ(r.entries.size(), 4u);
        EXPECT_EQ(r.entries[3].txGood, 3u);
    }

    auto halves = IntpTest::PerPort<TPropertyMonitorPortCounter2>(
        ModelOf(m_Device), [](size_t i, TPropertyMonitorPortCounter2Entry& e) { e.txUnderrun = uint32_t(i + 7); });
    ASSERT_EQ(Answer(new TSessionMonitorPortCounter2Get, ccMonitorPortCounter2Get, EncodeRecord(halves, TMessage::Get)),
              ssOk);
    EXPECT_EQ(Rec<TPropertyMonitorPortCounter2>().entries[2].txUnderrun, 9u);
    EXPECT_EQ(m_Host.LastNotify().name, "Port Counters2");
    Bytes five(5 * 56, 0);
    EXPECT_EQ(Answer(new TSessionMonitorPortCounterGet, ccMonitorPortCounterGet, five), ssBadReply);
}

TEST_F(Monitor, PortCounterClearSendsThePortLittleEndianThenReadsBothHalves)
{
    auto* clear = new TSessionMonitorPortCounterClear;
    clear->SetPayload(TMonitorPortCounterClear{3});
    Started(clear);
    ASSERT_EQ(m_Host.sent.size(), 1u);
    EXPECT_EQ(m_Host.sent[0].bytes.size(), 14u);
    EXPECT_EQ(m_Host.sent[0].payload, (Bytes{0x03, 0x00}));
    EXPECT_EQ(IntpTest::Sent<TSessionMonitorPortCounterClear>(m_Host.sent[0]).port, 3u);

    m_Host.Reply(ccMonitorPortCounterClear, m_Device, Bytes(4, 0), 0x0009);
    EXPECT_EQ(SentCodes(), (std::vector<uint16_t>{ccMonitorPortCounterClear, ccMonitorPortCounterGet,
                                                  ccMonitorPortCounter2Get}));
    EXPECT_EQ(m_Host.LastNotify().code, ccMonitorPortCounterClear);
    EXPECT_EQ(m_Host.LastNotify().status, 0x0009);

    // A port past the model's ports is not sent.
    auto* beyond = new TSessionMonitorPortCounterClear;
    beyond->SetPayload(TMonitorPortCounterClear{4});
    EXPECT_FALSE(beyond->Start(m_Device));
    delete beyond;
}

TEST_F(Monitor, ClearsEmptyTheDataThenReadItAgain)
{
    struct TCase {
        TSession* clear;
        uint16_t code, get;
        const char* name;
    };
    for (TCase c : {TCase{new TSessionMonitorMacClear, ccMonitorMacClear, ccMonitorMacGet, "MacTableClear"},
                    TCase{new TSessionMonitorPortClear, ccMonitorPortClear, ccMonitorPortGet, "StatiticsClear"},
                    TCase{new TSessionMonitorEventClear, ccMonitorEventClear, ccMonitorEventGet, "EvnTblClear"}}) {
        m_Host.Clear();
        Started(c.clear);
        EXPECT_EQ(m_Host.LastSent().payload, Bytes(4, 0));
        m_Host.Reply(c.code, m_Device, Bytes(4, 0), 0x0005);
        EXPECT_EQ(SentCodes(), (std::vector<uint16_t>{c.code, c.get}));
        EXPECT_EQ(m_Host.LastNotify().name, c.name);
        EXPECT_EQ(m_Host.LastNotify().status, 0x0005);
    }
}

TEST_F(Monitor, MirrorDestinationsMustBePortsMasksAreKept)
{
    TPropertyMonitorMirror m{true, 3, 0, 0x80000001, 0x6};
    ASSERT_EQ(Answer(new TSessionMonitorMirrorGet, ccMonitorMirrorGet, EncodeRecord(m, TMessage::Get)), ssOk);
    EXPECT_EQ(Rec<TPropertyMonitorMirror>().rxSources, 0x80000001u);
    EXPECT_EQ(Rec<TPropertyMonitorMirror>().rxPort, 3u);
    m.txPort = 4;
    EXPECT_EQ(Answer(new TSessionMonitorMirrorGet, ccMonitorMirrorGet, EncodeRecord(m, TMessage::Get)), ssBadReply);
    EXPECT_FALSE(Rec<TPropertyMonitorMirror>().valid);
    EXPECT_EQ(Answer(new TSessionMonitorMirrorGet, ccMonitorMirrorGet, Bytes(9, 0)), ssShortReply);

    TPropertyMonitorMirror2 m2{true, 3, 0, 3};
    Bytes reply = EncodeRecord(m2, TMessage::Get);
    reply[3] = 0xAA; // reserved: ignored
    ASSERT_EQ(Answer(new TSessionMonitorMirror2Get, ccMonitorMirror2Get, reply), ssOk);
    EXPECT_EQ(Rec<TPropertyMonitorMirror2>().analysisPort, 3u);
    for (Bytes bad : {Bytes{4, 0, 1, 0}, Bytes{1, 4, 1, 0}, Bytes{1, 0, 4, 0}}) {
        EXPECT_EQ(Answer(new TSessionMonitorMirror2Get, ccMonitorMirror2Get, bad), ssBadReply);
        EXPECT_FALSE(Rec<TPropertyMonitorMirror2>().valid);
    }
}

TEST_F(Monitor, MirrorSetsGoldenBytesRangeChecksAndReRead)
{
    auto* set = new TSessionMonitorMirrorSet;
    set->SetPayload(TPropertyMonitorMirror{false, 2, 1, 0x0000000A, 0x80000005});
    Started(set);
    EXPECT_EQ(m_Host.LastSent().bytes.size(), 22u);
    EXPECT_EQ(m_Host.LastSent().payload, (Bytes{2, 1, 0, 0, 0, 0x0A, 0x80, 0, 0, 5}));
    m_Host.Reply(ccMonitorMirrorSet, m_Device, Bytes(4, 0));
    EXPECT_EQ(m_Host.LastSent().code, ccMonitorMirrorGet);
    EXPECT_EQ(m_Host.LastNotify().name, "MirrorSet");

    auto* set2 = new TSessionMonitorMirror2Set;
    set2->SetPayload(TPropertyMonitorMirror2{false, 2, 3, 1});
    Started(set2);
    EXPECT_EQ(m_Host.LastSent().payload, (Bytes{2, 3, 1, 0}));

    // Out of range on the target's model: not sent.
    auto* bad = new TSessionMonitorMirrorSet;
    bad->SetPayload(TPropertyMonitorMirror{false, 4, 0, 0, 0});
    EXPECT_FALSE(bad->Start(m_Device));
    delete bad;
    auto* bad2 = new TSessionMonitorMirror2Set;
    bad2->SetPayload(TPropertyMonitorMirror2{false, 4, 0, 1});
    EXPECT_FALSE(bad2->Start(m_Device));
    delete bad2;
}

} // namespace
