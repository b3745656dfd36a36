#include <gtest/gtest.h>

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
