// A thread that sends the datagrams other threads queue, so the caller (the
// GUI thread, answering hundreds of replies with requests) never waits in the
// network stack. Datagrams leave in the order queued.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TUdpSender {
public:
    // Sends one datagram; called on the sender thread, in queue order.
    using TSend = std::function<void(std::uint32_t address, const std::uint8_t* data, std::size_t length)>;
    // Queued datagrams beyond this are refused (a sender that can't keep up
    // loses the newest, as a full socket buffer would). A full registry's
    // discovery or monitor poll queues a few per switch: far fewer.
    static constexpr std::size_t MaxQueued = 1'000'000;

    TUdpSender() = default;
    TUdpSender(const TUdpSender&) = delete;
    TUdpSender& operator=(const TUdpSender&) = delete;
    ~TUdpSender() { Stop(); }

    // False when the thread can't be started.
    bool Start(TSend send);
    // Sends what is queued, then stops and joins the thread.
    void Stop();
    // Queues a copy of the bytes (any thread); false when stopped or full.
    bool Post(std::uint32_t address, const std::uint8_t* data, std::size_t length);
    // Sends at once on the calling thread when nothing waits or is being
    // sent and the previous datagram left at least LoneGap ago: a lone
    // request (the next block of a transfer) skips the hand-off to the
    // thread; a burst is posted from its second datagram on. Order holds.
    bool Send(std::uint32_t address, const std::uint8_t* data, std::size_t length);
    static constexpr std::chrono::microseconds LoneGap{20};
    // A received reply starts a turn: the first datagram sent after it
    // leaves at once whatever the gap (the next block of a stop-and-wait
    // transfer, which a fast switch asks for within LoneGap).
    void StartTurn();

private:
    // Queued datagrams, each its address, its length and its bytes, one
    // after another in blocks (a large datagram has a block of its own): a
    // burst touches little more memory than its bytes and allocates once a
    // block. The thread swaps the whole queue for its emptied one, whose
    // blocks are filled again; once idle, one block stays.
    class TQueue {
    public:
        std::size_t Count() const { return m_Count; }
        // False for a datagram of 4 GiB or more.
        bool Push(std::uint32_t address, const std::uint8_t* data, std::size_t length);
        template <class TVisit>
        void ForEach(const TVisit& visit) const;
        void Clear();  // keeps the blocks
        void Release();

    private:
        struct TBlock {
            std::unique_ptr<std::uint8_t[]> bytes;
            std::size_t size = 0;
            std::size_t used = 0;
        };
        static constexpr std::size_t kBlockSize = 64 * 1024;
        static constexpr std::size_t kHeadSize = 8;  // address, length
        std::vector<TBlock> m_Blocks;
        std::size_t m_Filled = 0;  // blocks in use
        std::size_t m_Count = 0;
    };
    // Queues a copy under m_Lock; false when full. wake: the thread is to be woken.
    bool PushLocked(std::uint32_t address, const std::uint8_t* data, std::size_t length, bool& wake);
    void Run();

    TSend m_Send;
    std::mutex m_Lock;
    std::condition_variable m_Wake;
    TQueue m_Queue;
    bool m_Running = false;
    bool m_Sending = false;  // the thread sends a batch
    std::chrono::steady_clock::time_point m_LastSend;
    std::thread m_Thread;
};
