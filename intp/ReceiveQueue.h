// A bounded queue between the thread that reads a socket and the thread that
// handles what was read (the GUI thread). Readers append from any thread;
// past either bound (items, bytes) the oldest items are dropped and counted.
// The handling thread takes items in arrival order, strictly one delivery
// (an item, or a batch of them) at a time: a delivery that spins a nested
// event loop never starts a second delivery, and items that arrive
// meanwhile wait. Delivery runs in slices; after a
// slice the rest is posted again, so a flood never freezes the window.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

// T answers the bytes it holds through Bytes().
template <class T>
class TReceiveQueue {
public:
    struct TBounds {
        std::size_t items;
        std::size_t bytes;
    };
    // Asks the handling thread to call Drain once (from any thread).
    using TPost = std::function<void()>;

    TReceiveQueue(TBounds bounds, std::chrono::milliseconds slice, TPost post)
        : m_Bounds(bounds), m_Slice(slice), m_Post(std::move(post))
    {
    }
    TReceiveQueue(const TReceiveQueue&) = delete;
    TReceiveQueue& operator=(const TReceiveQueue&) = delete;

    // Appends the items (any thread) and posts a drain unless one is
    // pending; false, and nothing kept, once ended. The handling thread,
    // about to drain or Kick itself, may append without posting.
    bool Push(std::vector<T>& items, bool post = true)
    {
        {
            std::lock_guard lock(m_Lock);
            if (m_Ended)
                return false;
            for (T& item : items) {
                m_Bytes += item.Bytes();
                m_Queue.push_back(std::move(item));
            }
            while (m_Queue.size() > m_Bounds.items || m_Bytes > m_Bounds.bytes) {
                m_Bytes -= m_Queue.front().Bytes();
                m_Queue.pop_front();
                ++m_Dropped;
            }
            if (!post || m_Queue.empty() || m_DrainPosted)
                return true;
            m_DrainPosted = true;
        }
        m_Post();
        return true;
    }
    // Posts a drain when items wait and none is pending.
    void Kick()
    {
        {
            std::lock_guard lock(m_Lock);
            if (m_Ended || m_Queue.empty() || m_DrainPosted)
                return;
            m_DrainPosted = true;
        }
        m_Post();
    }
    bool Push(T item)
    {
        std::vector<T> items;
        items.push_back(std::move(item));
        return Push(items);
    }

    // Drops what is queued; later pushes are refused.
    void End()
    {
        std::lock_guard lock(m_Lock);
        m_Ended = true;
        m_Queue.clear();
        m_Bytes = 0;
    }

    bool IsEnded() const
    {
        std::lock_guard lock(m_Lock);
        return m_Ended;
    }
    std::size_t Pending() const
    {
        std::lock_guard lock(m_Lock);
        return m_Queue.size();
    }
    // Items dropped at the bounds so far.
    std::uint64_t Dropped() const
    {
        std::lock_guard lock(m_Lock);
        return m_Dropped;
    }
    // Handling thread only.
    bool IsDelivering() const { return m_Delivering; }
    std::uint64_t Delivered() const { return m_Delivered; }

    // Handling thread: hands items to deliver(T&) for one slice. A delivery
    // that throws is reported to fault(what) and the queue goes on.
    template <class Deliver, class Fault>
    void Drain(Deliver&& deliver, Fault&& fault)
    {
        DrainBatches(1, [&](T* items, std::size_t) { deliver(*items); }, fault);
    }

    // As Drain, but up to `most` items at a time, taken under one lock, go to
    // deliver(T* items, std::size_t count); a throw ends only its batch.
    template <class Deliver, class Fault>
    void DrainBatches(std::size_t most, Deliver&& deliver, Fault&& fault)
    {
        {
            std::lock_guard lock(m_Lock);
            m_DrainPosted = false;
        }
        // Inside a delivery's nested event loop: the running drain goes on
        // once that delivery returns.
        if (m_Delivering)
            return;
        struct TGuard {
            bool& flag;
            explicit TGuard(bool& f) : flag(f) { flag = true; }
            ~TGuard() { flag = false; }
            TGuard(const TGuard&) = delete;
            TGuard& operator=(const TGuard&) = delete;
        } guard(m_Delivering);
        const auto end = std::chrono::steady_clock::now() + m_Slice;
        most = std::max<std::size_t>(1, most);
        std::vector<T> batch;
        batch.reserve(most);
        // The clock is read about every 8 items.
        for (std::size_t taken = 0, nextCheck = 7;;) {
            batch.clear();
            {
                std::lock_guard lock(m_Lock);
                if (m_Ended || m_Queue.empty())
                    return;
                // Let the event loop run; the rest follows.
                if (taken >= nextCheck) {
                    nextCheck = taken + 8;
                    if (std::chrono::steady_clock::now() >= end) {
                        if (m_DrainPosted)
                            return;
                        m_DrainPosted = true;
                        break;
                    }
                }
                while (!m_Queue.empty() && batch.size() < most) {
                    m_Bytes -= m_Queue.front().Bytes();
                    batch.push_back(std::move(m_Queue.front()));
                    m_Queue.pop_front();
                }
            }
            taken += batch.size();
            m_Delivered += batch.size();
            // A fault in one delivery must neither stall the queue nor
            // unwind through the event loop.
            try {
                deliver(batch.data(), batch.size());
            } catch (const std::exception& e) {
                fault(e.what());
            } catch (...) {
                fault("unknown exception");
            }
        }
        m_Post();
    }

    // Handling thread: true, with the total, when items were dropped since
    // the last call.
    bool TakeNewDrops(std::uint64_t& total)
    {
        total = Dropped();
        if (total == m_DropsTaken)
            return false;
        m_DropsTaken = total;
        return true;
    }

private:
    const TBounds m_Bounds;
    const std::chrono::milliseconds m_Slice;
    const TPost m_Post;
    mutable std::mutex m_Lock;  // guards what the reading thread touches:
    std::deque<T> m_Queue;
    std::size_t m_Bytes = 0;
    std::uint64_t m_Dropped = 0;
    bool m_DrainPosted = false;
    bool m_Ended = false;
    bool m_Delivering = false;  // handling thread only
    std::atomic<std::uint64_t> m_Delivered{0};
    std::uint64_t m_DropsTaken = 0;
};
