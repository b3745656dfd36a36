#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "intp/UdpSender.h"

// Each reply starts a turn: the answer to it leaves on the calling thread at
// once, however soon after the previous datagram (a stop-and-wait transfer
// to a fast switch), and in order.
TEST(UdpSender, TheFirstSendOfEachTurnLeavesOnTheCallingThread)
{
    std::mutex lock;
    std::vector<std::pair<std::uint8_t, std::thread::id>> sent;
    TUdpSender sender;
    ASSERT_TRUE(sender.Start([&](std::uint32_t, const std::uint8_t* data, std::size_t) {
        std::lock_guard guard(lock);
        sent.emplace_back(data[0], std::this_thread::get_id());
    }));
    for (std::uint8_t block = 0; block < 50; ++block) {
        sender.StartTurn();
        ASSERT_TRUE(sender.Send(0x7F000002, &block, 1));
    }
    sender.Stop();
    ASSERT_EQ(sent.size(), 50u);
    for (std::uint8_t block = 0; block < 50; ++block) {
        EXPECT_EQ(sent[block].first, block);
        EXPECT_EQ(sent[block].second, std::this_thread::get_id());
    }
}

// A burst leaves in order, each datagram whole: empty ones, ones that fill
// the queue's room unevenly and one larger than any room kept; and again
// once the sender has sent the first and gone idle.
TEST(UdpSender, ABurstLeavesInOrderEachDatagramWhole)
{
    using TDatagrams = std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>>;
    std::mutex lock;
    std::condition_variable more;
    TDatagrams sent;
    TUdpSender sender;
    ASSERT_TRUE(sender.Start([&](std::uint32_t address, const std::uint8_t* data, std::size_t length) {
        std::lock_guard guard(lock);
        sent.emplace_back(address, std::vector<std::uint8_t>(data, data + length));
        more.notify_all();
    }));
    TDatagrams burst;
    for (std::uint32_t i = 0; i < 3000; ++i)
        burst.emplace_back(0x7F000001 + i, std::vector<std::uint8_t>(i % 7 == 0 ? 0 : 10 + i % 1500, std::uint8_t(i)));
    burst.emplace_back(0x7F000002, std::vector<std::uint8_t>(100000, 0xA5));
    TDatagrams twice = burst;
    twice.insert(twice.end(), burst.begin(), burst.end());

    for (const auto& [address, bytes] : burst)
        ASSERT_TRUE(sender.Send(address, bytes.data(), bytes.size()));
    {
        std::unique_lock guard(lock);
        more.wait(guard, [&] { return sent.size() == burst.size(); });
    }
    for (const auto& [address, bytes] : burst)
        ASSERT_TRUE(sender.Send(address, bytes.data(), bytes.size()));
    sender.Stop();
    EXPECT_TRUE(sent == twice);
}
