#include "intp/UdpSender.h"

#include <algorithm>
#include <cstring>

bool TUdpSender::Start(TSend send)
{
    Stop();
    m_Send = std::move(send);
    m_Running = true;
    try {
        m_Thread = std::thread(&TUdpSender::Run, this);
    } catch (...) {
        m_Running = false;
        return false;
    }
    return true;
}

void TUdpSender::Stop()
{
    {
        std::lock_guard lock(m_Lock);
        m_Running = false;
    }
    m_Wake.notify_one();
    if (m_Thread.joinable())
        m_Thread.join();
    m_Queue = {};
}

bool TUdpSender::TQueue::Push(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    if (length > UINT32_MAX)
        return false;
    const std::size_t need = kHeadSize + length;
    if (m_Filled == 0 || m_Blocks[m_Filled - 1].size - m_Blocks[m_Filled - 1].used < need) {
        if (m_Filled == m_Blocks.size())
            m_Blocks.emplace_back();
        TBlock& next = m_Blocks[m_Filled];
        if (next.size < need) {
            const std::size_t size = std::max(kBlockSize, need);
            next.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            next.size = size;
        }
        next.used = 0;
        ++m_Filled;
    }
    TBlock& block = m_Blocks[m_Filled - 1];
    std::uint8_t* at = block.bytes.get() + block.used;
    const std::uint32_t length32 = std::uint32_t(length);
    std::memcpy(at, &address, 4);
    std::memcpy(at + 4, &length32, 4);
    if (length)
        std::memcpy(at + kHeadSize, data, length);
    block.used += need;
    ++m_Count;
    return true;
}

template <class TVisit>
void TUdpSender::TQueue::ForEach(const TVisit& visit) const
{
    for (std::size_t b = 0; b < m_Filled; ++b) {
        const TBlock& block = m_Blocks[b];
        for (std::size_t at = 0; at < block.used;) {
            std::uint32_t address = 0, length = 0;
            std::memcpy(&address, block.bytes.get() + at, 4);
            std::memcpy(&length, block.bytes.get() + at + 4, 4);
            visit(address, block.bytes.get() + at + kHeadSize, std::size_t(length));
            at += kHeadSize + length;
        }
    }
}

void TUdpSender::TQueue::Clear()
{
    m_Filled = 0;
    m_Count = 0;
}

void TUdpSender::TQueue::Release()
{
    // A usual burst's block is kept; what a large one took is given back.
    if (m_Blocks.size() > 1)
        m_Blocks.resize(1);
    if (!m_Blocks.empty() && m_Blocks.front().size > kBlockSize)
        m_Blocks.clear();
    m_Blocks.shrink_to_fit();
}

bool TUdpSender::Post(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    bool wake = false;
    {
        std::lock_guard lock(m_Lock);
        if (!m_Running || !PushLocked(address, data, length, wake))
            return false;
    }
    if (wake)
        m_Wake.notify_one();
    return true;
}

bool TUdpSender::PushLocked(std::uint32_t address, const std::uint8_t* data, std::size_t length, bool& wake)
{
    if (m_Queue.Count() >= MaxQueued)
        return false;
    // The thread looks at the queue again after each batch: only the first
    // datagram of an empty queue need wake it.
    wake = m_Queue.Count() == 0;
    return m_Queue.Push(address, data, length);
}

bool TUdpSender::Send(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    bool wake = false;
    {
        std::lock_guard lock(m_Lock);
        if (!m_Running)
            return false;
        const auto now = std::chrono::steady_clock::now();
        const bool lone = m_Queue.Count() == 0 && !m_Sending && now - m_LastSend >= LoneGap;
        m_LastSend = now;
        if (lone) {
            // Under the lock: the thread can't start a later datagram first.
            try {
                m_Send(address, data, length);
            } catch (...) {
            }
            return true;
        }
        // Posted under the same lock: a burst takes it once a datagram.
        if (!PushLocked(address, data, length, wake))
            return false;
    }
    if (wake)
        m_Wake.notify_one();
    return true;
}

void TUdpSender::StartTurn()
{
    std::lock_guard lock(m_Lock);
    m_LastSend = {};
}

void TUdpSender::Run()
{
    TQueue batch;
    for (;;) {
        {
            std::unique_lock lock(m_Lock);
            m_Sending = false;
            if (m_Queue.Count() == 0) {
                // Idle: a burst's room goes back.
                batch.Release();
                m_Queue.Release();
            }
            m_Wake.wait(lock, [this] { return !m_Running || m_Queue.Count() != 0; });
            if (m_Queue.Count() == 0)
                return;
            std::swap(batch, m_Queue);
            m_Sending = true;
        }
        batch.ForEach([this](std::uint32_t address, const std::uint8_t* data, std::size_t length) {
            // A failed send is the caller's to notice (no reply comes).
            try {
                m_Send(address, data, length);
            } catch (...) {
            }
        });
        batch.Clear();
    }
}
