// The record kit's mechanisms, each once: a Get's check before the stored
// record changes, count rules, table entries kept elsewhere, entry checks on
// entry Sets and the notify-first order.
#include <gtest/gtest.h>

#include <vector>

#include "intp/Record.h"
#include "tests/intp/DeviceTest.h"

namespace {

using namespace Intp;

// A mode with at least one value after it (code 1282, smallest reply 1).
struct TPropertyKitMode {
    static constexpr int32_t Key = PropertyKey(ccQosPortGet);
    bool valid = false;
    uint32_t mode = 0;
    std::vector<uint8_t> values;
    static constexpr auto Fields = Layout(Wire::U8(&TPropertyKitMode::mode),
                                          Wire::Array(&TPropertyKitMode::values, Wire::U8(), TCountKind::ckAny));
};
class TKitModeGet : public TSessionRecordGet<ccQosPortGet, TPropertyKitMode> {
protected:
    uint16_t Check(TDevice*, const TPropertyKitMode& r) override { return r.mode >= 3 ? ssBadReply : ssOk; }
};

// A table of 10-byte entries, 4 to a page (code 1538); the entry with id 0
// is no row: it carries the record's mask.
struct TKitEntry {
    uint32_t id = 0;
    uint32_t mask = 0;
    uint32_t value = 0;
};
struct TPropertyKitTable {
    static constexpr int32_t Key = PropertyKey(ccIgmpTable);
    bool valid = false;
    uint32_t mask = 0;
    std::vector<TKitEntry> entries;
    static constexpr auto EntryFields =
        Layout(Wire::U16(&TKitEntry::id), Wire::U32(&TKitEntry::mask), Wire::U32(&TKitEntry::value));
    static constexpr size_t PageEntries = 4;
    static uint16_t CheckEntry(const TDeviceType&, const TKitEntry& e) { return e.id > 4094 ? ssBadReply : ssOk; }
};
class TKitTableGet : public TSessionTableGet<ccIgmpTable, TPropertyKitTable> {
protected:
    bool KeepEntry(TDevice*, TPropertyKitTable& r, const TKitEntry& e) override
    {
        if (e.id != 0) return true;
        r.mask = e.mask;
        return false;
    }
};
// An entry command that tells its outcome as a change of the table first (10 bytes, code 2074).
class TKitTableAdd : public TSessionEntrySet<ccSecurityMultiFilterAdd, TKitTableGet, NotifyGetFirst> {};

std::vector<uint8_t> Page(std::vector<TKitEntry> entries)
{
    std::vector<uint8_t> page(4, 0);
    std::vector<uint8_t> bytes = EncodeEntries(TPropertyKitTable::EntryFields, entries);
    page.insert(page.end(), bytes.begin(), bytes.end());
    return page;
}

class RecordKit : public IntpTest::TDeviceTest {
protected:
    void SetUp() override { MakeDevice(9, 0x0A000009); }
    const TPropertyKitTable& Table() { return Property<TPropertyKitTable>::Get(m_Device); }
};

TEST_F(RecordKit, ARejectedReplyLeavesTheStoredRecordAsItWas)
{
    const auto& r = Property<TPropertyKitMode>::Get(m_Device);
    Started(new TKitModeGet);
    m_Host.Reply(ccQosPortGet, m_Device, {2, 7, 8});
    ASSERT_TRUE(r.valid);
    for (std::vector<uint8_t> reply : {std::vector<uint8_t>{3, 1}, std::vector<uint8_t>{1}}) { // mode 3; no value
        Started(new TKitModeGet);
        m_Host.Reply(ccQosPortGet, m_Device, reply);
        EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
        EXPECT_FALSE(r.valid);
        EXPECT_EQ(r.mode, 2u);
        EXPECT_EQ(r.values, (std::vector<uint8_t>{7, 8}));
    }
}

TEST_F(RecordKit, AnEntryTakenIntoTheRecordIsNoRowAndEachReadStartsAfresh)
{
    Started(new TKitTableGet);
    m_Host.Reply(ccIgmpTable, m_Device, Page({{1, 0, 0}, {0, 0xC, 0}, {2, 0, 0}, {3, 0, 0}}));
    m_Host.Reply(ccIgmpTable, m_Device, Page({{4, 0, 0}}));
    ASSERT_TRUE(Table().valid);
    EXPECT_EQ(Table().mask, 0xCu);
    ASSERT_EQ(Table().entries.size(), 4u); // the full page held 4 entries, one of them no row
    EXPECT_EQ(Table().entries[3].id, 4u);

    // Two overlapping reads of a table without the special entry: no rows twice, no stale mask.
    Started(new TKitTableGet);
    Started(new TKitTableGet);
    for (int read = 0; read < 2; ++read) m_Host.Reply(ccIgmpTable, m_Device, Page({{5, 1, 1}, {6, 1, 1}}));
    EXPECT_EQ(m_Host.notified.size(), 3u);
    EXPECT_EQ(Table().entries.size(), 2u);
    EXPECT_EQ(Table().mask, 0u);

    Started(new TKitTableGet);
    m_Host.Reply(ccIgmpTable, m_Device, Page({{1, 0, 0}, {4095, 0, 0}}));
    EXPECT_EQ(m_Host.LastNotify().status, ssBadReply);
    EXPECT_TRUE(Table().entries.empty());
}

TEST_F(RecordKit, AnEntrySetNotifiesTheTableFirstThenReadsItAndSendsNoEntryTheTableRefuses)
{
    auto* refused = new TKitTableAdd;
    refused->SetPayload(TKitEntry{4095, 1, 2});
    EXPECT_FALSE(refused->Start(m_Device));
    delete refused;
    EXPECT_TRUE(m_Host.sent.empty());

    auto* add = new TKitTableAdd;
    add->SetPayload(TKitEntry{7, 0x01020304, 9});
    Started(add);
    EXPECT_EQ(m_Host.LastSent().payload, (std::vector<uint8_t>{0, 7, 1, 2, 3, 4, 0, 0, 0, 9}));
    m_Host.onNotify = [&](const IntpTest::TNotified& n) {
        EXPECT_TRUE(m_Host.SentWith(ccIgmpTable).empty()) << "the read starts after the notification";
        EXPECT_EQ(n.code, ccIgmpTable);
        EXPECT_EQ(n.status, 0x0005u);
        EXPECT_EQ(n.name, "SecMultiFilterAdd");
    };
    m_Host.Reply(ccSecurityMultiFilterAdd, m_Device, {0, 0, 0, 0}, 0x0005);
    m_Host.onNotify = nullptr;
    EXPECT_EQ(m_Host.notified.size(), 1u);
    EXPECT_EQ(m_Host.SentWith(ccIgmpTable).size(), 1u);

    // A handler that deletes every request (a discovery) still gets the table read.
    add = new TKitTableAdd;
    add->SetPayload(TKitEntry{8, 0, 0});
    Started(add);
    m_Host.onNotify = [](const IntpTest::TNotified&) { DeleteAllSessions(); };
    m_Host.Reply(ccSecurityMultiFilterAdd, m_Device);
    m_Host.onNotify = nullptr;
    EXPECT_EQ(m_Host.SentWith(ccIgmpTable).size(), 2u);
    EXPECT_EQ(GetSessionCount(), 1u);
}

} // namespace
