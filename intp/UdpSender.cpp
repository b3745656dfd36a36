#include "intp/UdpSender.h"

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
    m_Queue.clear();
}

bool TUdpSender::Post(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    {
        std::lock_guard lock(m_Lock);
        if (!m_Running || m_Queue.size() >= MaxQueued)
            return false;
        m_Queue.push_back({address, std::vector<std::uint8_t>(data, data + length)});
    }
    m_Wake.notify_one();
    return true;
}

bool TUdpSender::Send(std::uint32_t address, const std::uint8_t* data, std::size_t length)
{
    {
        std::lock_guard lock(m_Lock);
        if (!m_Running)
            return false;
        const auto now = std::chrono::steady_clock::now();
        const bool lone = m_Queue.empty() && !m_Sending && now - m_LastSend >= LoneGap;
        m_LastSend = now;
        if (lone) {
            // Under the lock: the thread can't start a later datagram first.
            try {
                m_Send(address, data, length);
            } catch (...) {
            }
            return true;
        }
    }
    return Post(address, data, length);
}

void TUdpSender::StartTurn()
{
    std::lock_guard lock(m_Lock);
    m_LastSend = {};
}

void TUdpSender::Run()
{
    std::deque<TItem> batch;
    for (;;) {
        {
            std::unique_lock lock(m_Lock);
            m_Sending = false;
            m_Wake.wait(lock, [this] { return !m_Running || !m_Queue.empty(); });
            if (m_Queue.empty())
                return;
            batch.swap(m_Queue);
            m_Sending = true;
        }
        for (const TItem& item : batch) {
            // A failed send is the caller's to notice (no reply comes).
            try {
                m_Send(item.address, item.bytes.data(), item.bytes.size());
            } catch (...) {
            }
        }
        batch.clear();
    }
}
