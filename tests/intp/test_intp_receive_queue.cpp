#include "intp/ReceiveQueue.h"
#include "intp/UdpListener.h"

#include <arpa/inet.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include <condition_variable>
#include <mutex>

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

// Binds fd to an ephemeral loopback port; local answers the address.
static bool BindLoopback(int fd, sockaddr_in& local)
{
    local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof local;
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0 &&
           ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) == 0;
}

// A socket that overflowed before it was read: the listener reads what the
// kernel kept, in order, with the kernel's drop count.
TEST(UdpListener, ReadsInOrderAndCarriesTheKernelsDropCount)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    const int small = 2048;  // the kernel keeps only a few datagrams
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in local{};
    ASSERT_TRUE(BindLoopback(fd, local));
    const int out = ::socket(AF_INET, SOCK_DGRAM, 0);
    auto send = [&](int i) {
        const std::string text = std::to_string(i);
        ::sendto(out, text.data(), text.size(), 0, reinterpret_cast<const sockaddr*>(&local), sizeof local);
    };
    constexpr int Sent = 200;
    for (int i = 0; i < Sent; ++i)
        send(i);

    std::mutex lock;
    std::condition_variable changed;
    std::vector<int> read;
    std::uint32_t dropped = 0;
    auto onBatch = [&](const TUdpListener::TDatagram* datagrams, std::size_t count) {
        std::lock_guard hold(lock);
        for (std::size_t i = 0; i < count; ++i) {
            read.push_back(std::stoi(std::string(datagrams[i].bytes)));
            dropped = std::max(dropped, datagrams[i].kernelDropped);
        }
        changed.notify_all();
        return true;
    };
    TUdpListener listener;
    listener.SetCountDrops(true);
    ASSERT_TRUE(listener.Start(fd, 64, onBatch));
    {
        std::unique_lock hold(lock);
        ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(5), [&] { return !read.empty(); }));
    }
    send(Sent);  // the buffer has room again
    {
        std::unique_lock hold(lock);
        ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(5), [&] { return !read.empty() && read.back() == Sent; }));
        EXPECT_GT(dropped, 0u);
        EXPECT_EQ(std::size_t(dropped) + read.size(), std::size_t(Sent + 1));
        EXPECT_TRUE(std::is_sorted(read.begin(), read.end()));
    }
    listener.Stop();
    ::close(out);
    ::close(fd);
}

// With a deferral, the listener leaves datagrams to the thread that reads
// them itself, yet takes them when that thread stops reading.
TEST(UdpListener, ADeferringListenerStillReadsWhatTheOtherReaderLeaves)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in local{};
    ASSERT_TRUE(BindLoopback(fd, local));
    const int out = ::socket(AF_INET, SOCK_DGRAM, 0);
    auto send = [&](char c) { ::sendto(out, &c, 1, 0, reinterpret_cast<const sockaddr*>(&local), sizeof local); };

    std::mutex lock;
    std::condition_variable changed;
    std::string byListener, byOther;
    auto reader = [&](std::string& into) {
        return [&](const TUdpListener::TDatagram* datagrams, std::size_t count) {
            std::lock_guard hold(lock);
            for (std::size_t i = 0; i < count; ++i)
                into += datagrams[i].bytes;
            changed.notify_all();
            return true;
        };
    };
    TUdpListener listener;
    listener.SetDeferral(std::chrono::milliseconds(50));
    ASSERT_TRUE(listener.Start(fd, 64, reader(byListener)));
    EXPECT_EQ(listener.ReadNow(reader(byOther)), 0u);  // the other reader emptied the socket just now
    for (char c : std::string("abc"))
        send(c);
    {
        std::unique_lock hold(lock);
        ASSERT_TRUE(changed.wait_for(hold, std::chrono::seconds(5), [&] { return byListener.size() + byOther.size() == 3; }));
        EXPECT_EQ(byListener, "abc");
    }
    listener.Stop();
    ::close(out);
    ::close(fd);
}
