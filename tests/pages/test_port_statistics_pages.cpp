// The port statistics and port counters pages through the page test kit.

#include "PageTestKit.h"
#include "RunUntil.h"
#include "intp/Monitor.h"
#include "pages/ports/ModuleMonitor_Port.h"
#include "pages/ports/ModuleMonitor_Port_Counter.h"
#include "tests/common/Records.h"

#include <QHeaderView>
#include <QPushButton>

namespace {

template <class R> R Counting(const Intp::TDeviceType& model, std::uint32_t base)
{
    return IntpTest::PerPort<R>(model, [base](std::size_t i, auto& e) {
        auto bytes = Intp::EncodeEntries(R::EntryFields, std::vector{e}, Intp::TOrder::Wire);
        bytes[3] = std::uint8_t(base + i); // the first counter
        bytes.back() = std::uint8_t(base + 9 - i); // the last counter
        e = Intp::DecodeEntries<std::decay_t<decltype(e)>>(R::EntryFields, bytes.data(), bytes.size()).at(0);
    });
}

} // namespace

class PortStatisticsPage : public TPageTest<TModuleMonitorPort> {};

TEST_F(PortStatisticsPage, StatusReadChainsTheCountersAndNumbersSortAsNumbers)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    const auto& model = Intp::ModelOf(device);
    EXPECT_EQ(page->Refresh(true), 1);
    auto status = IntpTest::PerPort<Intp::TPropertyPortStatus>(model, [](std::size_t i, auto& e) {
        e.mediaType = i == 3 ? 12 : 4; // 12 has no name
        e.link = i == 0;
    });
    Put(device, status);
    Notify(device, Intp::ccPortStatusGet);
    EXPECT_EQ(SentCount(Intp::ccMonitorPortGet), 1u);
    auto stats = Counting<Intp::TPropertyMonitorPort>(model, 8);
    stats.entries[0].collision = 0xFFFFFFFF;
    Put(device, stats);
    Notify(device, Intp::ccMonitorPortGet);
    ASSERT_EQ(page->m_List->RowCount(), 4);
    const auto cell = [this](int r, int c) { return page->m_List->Model()->Cell(r, c); };
    EXPECT_EQ(cell(0, 2), "Up");
    EXPECT_EQ(cell(1, 1), "100TX");
    EXPECT_EQ(cell(3, 1), "Unknown (12)");
    EXPECT_EQ(cell(0, 9), "4294967295");
    page->m_List->header()->sectionClicked(4); // TX Good: 8, 9, 10, 11 as numbers
    page->m_List->header()->sectionClicked(4);
    EXPECT_EQ(cell(0, 0), "Port.04");
    // A poll keeps the sort.
    Put(device, Counting<Intp::TPropertyMonitorPort>(model, 20));
    Notify(device, Intp::ccMonitorPortGet);
    EXPECT_EQ(cell(0, 4), "23");
    page->m_Clear->click();
    EXPECT_EQ(SentCount(Intp::ccMonitorPortClear), 1u);
}

class PortCountersPage : public TPageTest<TModuleMonitorPortCounter> {};

TEST_F(PortCountersPage, HiddenPortsGetNoRowAndClearNamesTheSelectedRowsPort)
{
    Intp::TDevice* device = Select(1, TestModel(4));
    const auto& model = Intp::ModelOf(device);
    Put(device, IntpTest::PortNames(model, {1}));
    Put(device, IntpTest::PerPort<Intp::TPropertyPortStatus>(model, [](std::size_t, auto&) {}));
    Notify(device, Intp::ccPortStatusGet);
    ASSERT_EQ(env.protocol.sent.size(), 2u);
    EXPECT_EQ(env.protocol.sent[0].code, Intp::ccMonitorPortCounter2Get);
    EXPECT_EQ(env.protocol.sent[1].code, Intp::ccMonitorPortCounterGet);
    Put(device, Counting<Intp::TPropertyMonitorPortCounter>(model, 1));
    Put(device, Counting<Intp::TPropertyMonitorPortCounter2>(model, 100));
    Notify(device, Intp::ccMonitorPortCounter2Get);
    ASSERT_EQ(page->m_List->RowCount(), 3);
    const auto cell = [this](int r, int c) { return page->m_List->Model()->Cell(r, c); };
    EXPECT_EQ(cell(1, 0), "Port.02");
    EXPECT_EQ(cell(1, 1), "3");     // port index 2's RxBcastPkt
    EXPECT_EQ(cell(1, 28), "107");  // its TxUnderrun
    page->m_Clear->click();
    EXPECT_EQ(SentCount(Intp::ccMonitorPortCounterClear), 0u);
    page->m_List->SelectRow(1);
    page->m_Clear->click();
    auto sent = Sent<Intp::TSessionMonitorPortCounterClear>();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].port, 2u);
}

// The page hides ports by names it reads itself, not by names another page left.
TEST_F(PortCountersPage, ARefreshOnShowReadsThePortNamesBeforeTheStatus)
{
    Select(1, TestModel(4));
    page->Refresh(true);
    ASSERT_EQ(env.protocol.sent.size(), 2u);
    EXPECT_EQ(env.protocol.sent[0].code, Intp::ccPortNameGet);
    EXPECT_EQ(env.protocol.sent[1].code, Intp::ccPortStatusGet);
}

// A target whose own page hides the selected row's port has no row to clear.
TEST_F(PortCountersPage, ClearNamesATargetWhosePageHidesThePort)
{
    Intp::TDevice* shown = Select(1, TestModel(4));
    Intp::TDevice* hides = Select(2, TestModel(4));
    Intp::TDevice* lists = Select(3, TestModel(4));
    const auto& model = Intp::ModelOf(shown);
    Put(shown, IntpTest::PortNames(model));
    Put(hides, IntpTest::PortNames(model, {2}));
    PutEach(IntpTest::PerPort<Intp::TPropertyPortStatus>(model, [](std::size_t, auto&) {}));
    PutEach(Counting<Intp::TPropertyMonitorPortCounter>(model, 1));
    PutEach(Counting<Intp::TPropertyMonitorPortCounter2>(model, 100));
    Notify(shown, Intp::ccMonitorPortCounter2Get);
    page->m_List->SelectRow(2);
    page->m_Clear->click();
    const auto sent = env.protocol.SentWith(Intp::ccMonitorPortCounterClear);
    ASSERT_EQ(sent.size(), 2u);
    for (const auto& frame : sent) {
        EXPECT_NE(frame.mac, hides->GetMac());
        EXPECT_EQ(frame.payload, (std::vector<std::uint8_t>{0x02, 0x00}));  // port index 2, little-endian
    }
    EXPECT_EQ(sent[1].mac, lists->GetMac());
    IntpTest::TFakeHost::Reply(Intp::ccMonitorPortCounterClear, shown);
    IntpTest::TFakeHost::Reply(Intp::ccMonitorPortCounterClear, lists);
    EXPECT_TRUE(RunUntil([&] {
        return env.messages.join("").contains("44:02): not changed, its own page does not list port 3");
    }, std::chrono::seconds(5)));
}
