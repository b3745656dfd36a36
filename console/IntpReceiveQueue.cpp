#include "console/IntpReceiveQueue.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QtGlobal>

#include <exception>

TIntpSocketThread::TIntpSocketThread(TSink sink, QObject* parent) : QObject(parent), m_Sink(std::move(sink)) {}

TIntpSocketThread::~TIntpSocketThread() { Terminate(); }

void TIntpSocketThread::PushDatagram(std::uint32_t address, std::vector<std::uint8_t> data)
{
    std::vector<TIntpDatagram> items;
    items.push_back(TIntpDatagram{address, std::move(data)});
    PushDatagrams(items);
}

void TIntpSocketThread::PushDatagrams(std::vector<TIntpDatagram>& items)
{
    std::lock_guard lock(m_Lock);
    if (m_Terminated)
        return;
    for (TIntpDatagram& item : items) {
        m_QueuedBytes += item.data.size();
        m_Queue.push_back(std::move(item));
    }
    while (m_Queue.size() > MaxQueued || m_QueuedBytes > MaxQueuedBytes) {
        m_QueuedBytes -= m_Queue.front().data.size();
        m_Queue.pop_front();
        ++m_Dropped;
    }
    PostDrainLocked();
}

void TIntpSocketThread::Terminate()
{
    std::lock_guard lock(m_Lock);
    m_Terminated = true;
    m_Queue.clear();
    m_QueuedBytes = 0;
}

bool TIntpSocketThread::IsTerminated() const
{
    std::lock_guard lock(m_Lock);
    return m_Terminated;
}

std::size_t TIntpSocketThread::Pending() const
{
    std::lock_guard lock(m_Lock);
    return m_Queue.size();
}

std::uint64_t TIntpSocketThread::Dropped() const
{
    std::lock_guard lock(m_Lock);
    return m_Dropped;
}

void TIntpSocketThread::PostDrainLocked()
{
    // A running delivery picks the item up when it returns.
    if (m_DrainPosted || m_Queue.empty())
        return;
    m_DrainPosted = true;
    QMetaObject::invokeMethod(this, &TIntpSocketThread::Drain, Qt::QueuedConnection);
}

void TIntpSocketThread::Drain()
{
    {
        std::lock_guard lock(m_Lock);
        m_DrainPosted = false;
    }
    // Inside a delivery's nested event loop: the running drain goes on once
    // that delivery returns.
    if (m_Delivering)
        return;
    struct TGuard {
        bool& flag;
        explicit TGuard(bool& f) : flag(f) { flag = true; }
        ~TGuard() { flag = false; }
        TGuard(const TGuard&) = delete;
        TGuard& operator=(const TGuard&) = delete;
    } guard(m_Delivering);
    QElapsedTimer slice;
    slice.start();
    for (unsigned delivered = 1;; ++delivered) {
        TIntpDatagram item;
        {
            std::lock_guard lock(m_Lock);
            if (m_Terminated || m_Queue.empty())
                return;
            // Let the window breathe during a flood; the rest follows.
            if (delivered % 8 == 0 && slice.elapsed() >= SliceMs) {
                PostDrainLocked();
                return;
            }
            item = std::move(m_Queue.front());
            m_Queue.pop_front();
            m_QueuedBytes -= item.data.size();
        }
        ++m_Delivered;
        if (!m_Sink)
            continue;
        // A fault in one delivery must not stall the queue or unwind
        // through the event loop.
        try {
            m_Sink(item.address, std::uint32_t(item.data.size()), item.data.data());
        } catch (const std::exception& e) {
            qWarning("protocol delivery failed: %s", e.what());
        } catch (...) {
            qWarning("protocol delivery failed");
        }
    }
}
