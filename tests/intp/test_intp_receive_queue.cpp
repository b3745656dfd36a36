#include "intp/ReceiveQueue.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TItem {
    int id = 0;
    std::size_t size = 1;
    std::size_t Bytes() const { return size; }
};

struct TQueueTest : ::testing::Test {
    TQueueTest() : queue({4, 10}, std::chrono::milliseconds(1000), [this] { ++posts; }) {}

    std::vector<int> DrainAll()
    {
        std::vector<int> ids;
        queue.Drain([&](TItem& item) { ids.push_back(item.id); }, [](const char*) {});
        return ids;
    }

    int posts = 0;
    TReceiveQueue<TItem> queue;
};

} // namespace

TEST_F(TQueueTest, TheBoundsDropTheOldestAndCountThem)
{
    for (int id = 1; id <= 6; ++id)
        EXPECT_TRUE(queue.Push(TItem{id}));
    EXPECT_EQ(posts, 1); // one drain asked for, however many arrive meanwhile
    EXPECT_EQ(queue.Dropped(), 2u);
    std::uint64_t total = 0;
    EXPECT_TRUE(queue.TakeNewDrops(total));
    EXPECT_EQ(total, 2u);
    EXPECT_FALSE(queue.TakeNewDrops(total));
    // Ten bytes at most: a large item pushes out the older ones.
    queue.Push(TItem{7, 8});
    EXPECT_EQ(queue.Pending(), 3u);
    EXPECT_EQ(DrainAll(), (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(queue.Delivered(), 3u);
    // An item over the byte bound on its own is dropped at once.
    queue.Push(TItem{8, 11});
    EXPECT_EQ(queue.Pending(), 0u);
    EXPECT_EQ(queue.Dropped(), 5u);

    queue.Push(TItem{9});
    queue.End();
    EXPECT_FALSE(queue.Push(TItem{10}));
    EXPECT_EQ(queue.Pending(), 0u);
    EXPECT_TRUE(DrainAll().empty());
}

TEST_F(TQueueTest, DeliveryIsOneAtATimeSurvivesAFaultAndYieldsAfterItsSlice)
{
    std::vector<int> ids;
    std::vector<std::string> faults;
    queue.Push(TItem{1});
    queue.Push(TItem{2});
    queue.Push(TItem{3});
    queue.Drain(
        [&](TItem& item) {
            ids.push_back(item.id);
            // A nested event loop runs a posted drain: it delivers nothing.
            queue.Drain([&](TItem&) { ids.push_back(-1); }, [](const char*) {});
            if (item.id == 2)
                throw std::runtime_error("bad reply");
        },
        [&](const char* what) { faults.push_back(what); });
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(faults, (std::vector<std::string>{"bad reply"}));
    EXPECT_FALSE(queue.IsDelivering());

    // A slice that is over hands the rest to a new drain.
    TReceiveQueue<TItem> sliced({100, 100}, std::chrono::milliseconds(0), [this] { ++posts; });
    for (int id = 0; id < 20; ++id)
        sliced.Push(TItem{id});
    const int before = posts;
    int delivered = 0;
    sliced.Drain([&](TItem&) { ++delivered; }, [](const char*) {});
    EXPECT_EQ(delivered, 7);
    EXPECT_EQ(posts, before + 1);
    EXPECT_EQ(sliced.Pending(), 13u);
}
