#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "syslog/core/SyslogStore.h"

using namespace Syslog;

namespace {

std::vector<std::uint32_t> Ids(const TSyslogList& list)
{
    std::vector<std::uint32_t> ids;
    for (const auto& node : list)
        ids.push_back(node.eventId);
    return ids;
}

int Unread(TSyslogStore& store, std::uint32_t address)
{
    TSyslogList list;
    store.Query(address, list, false);
    int n = 0;
    for (const auto& node : list)
        n += !node.read;
    return n;
}

// The banner's numbers as counted from a query.
TSenderSummary Counted(TSyslogStore& store, std::uint32_t address)
{
    TSyslogList list;
    store.Query(address, list, false);
    TSenderSummary summary;
    for (const auto& node : list) {
        ++summary.count;
        summary.unread += !node.read;
        summary.last = summary.hasLast ? std::max(summary.last, node.received) : node.received;
        summary.hasLast = true;
    }
    return summary;
}

} // namespace

TEST(SyslogStore, NumbersMessagesFromOneAndRestartsAfterClear)
{
    TSyslogStore store;
    EXPECT_EQ(store.Add(1, "a").eventId, 1u);
    EXPECT_EQ(store.Add(1, "b").eventId, 2u);
    store.Clear();
    EXPECT_EQ(store.Size(), 0u);
    EXPECT_EQ(store.Count(1), 0);
    EXPECT_EQ(store.Add(2, "c").eventId, 1u);
}

// The header rules are the parser's; the store adds the sender and the time.
TEST(SyslogStore, RecordsKeepTheParsedHeaderElseTheWholeTextWithTheSenderAsHost)
{
    TSyslogStore store;
    TSyslogListNode failed = TSyslogStore::ToNode(store.Add(0x0A000002, "<13>Oct 11 22:14:15 lastword", 777));
    EXPECT_EQ(failed.host, "10.0.0.2");
    EXPECT_EQ(failed.message, "<13>Oct 11 22:14:15 lastword");
    EXPECT_EQ(failed.timestamp, 777);
    EXPECT_EQ(failed.received, 777);

    TSyslogListNode parsed = TSyslogStore::ToNode(store.Add(5, "<34>Oct 11 22:14:15 mymachine su: failed"));
    EXPECT_EQ(parsed.host, "mymachine");
    EXPECT_EQ(parsed.message, "su: failed");

    TSyslogListNode empty = TSyslogStore::ToNode(store.Add(5, ""));
    EXPECT_EQ(empty.message, "");
    EXPECT_EQ(store.Count(5), 2);
}

TEST(SyslogStore, QueryAllOrdersBySenderThenArrivalAndAppendsToTheEnd)
{
    TSyslogStore store;
    store.Add(0x0A000002, "x1"); // 1
    store.Add(0x0A000001, "y1"); // 2
    store.Add(0x0A000002, "x2"); // 3
    store.Add(0x0A000001, "y2"); // 4
    TSyslogList list;
    store.Query(0, list, false);
    EXPECT_EQ(Ids(list), (std::vector<std::uint32_t>{2, 4, 1, 3}));
    store.Query(0x0A000002, list, false);
    EXPECT_EQ(Ids(list), (std::vector<std::uint32_t>{2, 4, 1, 3, 1, 3}));
    // The rows keep arrival order.
    EXPECT_EQ(store.Record(1).eventId, 2u);
    EXPECT_EQ(store.Record(1).address, 0x0A000001u);
}

TEST(SyslogStore, QueryWithMarkReadMarksOnlyThatSender)
{
    TSyslogStore store;
    store.Add(7, "a");
    store.Add(8, "b");
    store.Add(7, "c");
    EXPECT_EQ(Unread(store, 7), 2);
    EXPECT_EQ(store.Count(7), 2);
    EXPECT_EQ(Unread(store, 7), 2); // neither Count nor a plain query marks
    TSyslogList shown;
    store.Query(7, shown, true);
    EXPECT_TRUE(shown.front().read);
    EXPECT_EQ(Unread(store, 7), 0);
    EXPECT_EQ(Unread(store, 8), 1);
    store.Add(7, "d");
    EXPECT_EQ(Unread(store, 7), 1);
}

TEST(SyslogStore, QueryOfUnknownSenderAddsNothing)
{
    TSyslogStore store;
    store.Add(7, "a");
    TSyslogList list;
    store.Query(9, list, true);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(store.Count(9), 0);
}

TEST(SyslogStore, LargeAndManyTextsSurviveIntact)
{
    TSyslogStore store;
    std::string big(60000, 'q');
    big[0] = 'B';
    store.Add(1, big);
    for (int i = 0; i < 5000; ++i)
        store.Add(2, "<13>Oct 11 22:14:15 host message number " + std::to_string(i));
    store.Add(1, big);
    EXPECT_EQ(store.Record(0).Message(), big);
    EXPECT_EQ(store.Record(5001).Message(), big);
    EXPECT_EQ(store.Record(1).Message(), "message number 0");
    EXPECT_EQ(store.Record(5000).Message(), "message number 4999");
    EXPECT_EQ(store.Count(2), 5000);
}

TEST(SyslogStore, AtItsBoundTheOldestGoABlockAtATimeAndAreCounted)
{
    // 128 messages at most: a block is 2 messages.
    TSyslogStore store(128, std::size_t(1) << 20);
    for (int i = 0; i < 1000; ++i)
        store.Add(std::uint32_t(1 + i % 3), "<13>Oct 11 22:14:15 host m" + std::to_string(i));
    EXPECT_LE(store.Size(), 128u);
    EXPECT_EQ(store.Size() + store.Dropped(), 1000u);
    // The newest are kept in order, numbered as they arrived.
    const std::size_t last = store.Size() - 1;
    EXPECT_EQ(store.Record(last).Message(), "m999");
    EXPECT_EQ(store.Record(last).eventId, 1000u);
    EXPECT_EQ(store.Record(0).eventId, store.Dropped() + 1);
    EXPECT_EQ(store.Count(1) + store.Count(2) + store.Count(3), int(store.Size()));
    TSyslogList list;
    store.Query(2, list, true);
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list.back().message, "m997");
    EXPECT_EQ(list.front().eventId % 3, 2u);

    // The text bound: a big message pushes out as many old ones as it needs.
    TSyslogStore bytes(1000, 200000);
    for (int i = 0; i < 100; ++i)
        bytes.Add(9, std::string(1000, char('a' + i % 26)));
    bytes.Add(9, std::string(150000, 'Z'));
    EXPECT_LE(bytes.Size(), 51u);
    EXPECT_EQ(bytes.Record(bytes.Size() - 1).Message().size(), 150000u);
    EXPECT_EQ(bytes.Record(0).Message(), std::string(1000, char('a' + (bytes.Dropped() % 26))));
    bytes.Clear();
    EXPECT_EQ(bytes.Dropped(), 0u);
    EXPECT_EQ(bytes.Add(9, "x").eventId, 1u);
}

TEST(SyslogStore, SenderSummaryFollowsAddsReadMarksDropsAndClear)
{
    TSyslogStore store(8); // full after 8, then drops one a message
    const TDateTime times[] = {50, 10, 40, 30, 20, 60, 5, 70, 35, 15, 45, 25}; // the clock jumps back
    for (int i = 0; i < 12; ++i) {
        if (i == 6) {
            TSyslogList shown;
            store.Query(1, shown, true);
        }
        store.Add(std::uint32_t(1 + i % 2), "m", times[i]);
        for (std::uint32_t address : {0u, 1u, 2u, 3u})
            ASSERT_EQ(store.Summary(address), Counted(store, address)) << i << " " << address;
    }
    store.Clear();
    EXPECT_EQ(store.Summary(0), TSenderSummary{});
}

TEST(SyslogStore, AWalkGoesInQueryOrderOverWhatWasStoredWhenItBeganAndEndsAtAClear)
{
    TSyslogStore store(6);
    for (std::uint32_t sender : {2u, 0u, 1u, 2u, 1u}) // ids 1..5
        store.Add(sender, "m");
    TSyslogStore::TCursor cursor = store.Walk();
    bool cleared = false;
    std::vector<std::uint32_t> ids{store.Next(cursor, cleared)->eventId};
    store.Add(0, "late"); // not walked
    store.Add(3, "late"); // drops id 1 at the bound, which is skipped
    for (const TSyslogRecord* r; (r = store.Next(cursor, cleared));)
        ids.push_back(r->eventId);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{2, 3, 5, 4}));
    store.Clear();
    EXPECT_EQ(store.Next(cursor, cleared), nullptr);
    EXPECT_TRUE(cleared);
}
