#include "console/IntpReceiveQueue.h"

#include <QMetaObject>
#include <QtGlobal>

#include <exception>

TIntpSocketThread::TIntpSocketThread(TSink sink, QObject* parent) : QObject(parent), m_Sink(std::move(sink)) {}

TIntpSocketThread::~TIntpSocketThread() { Terminate(); }

void TIntpSocketThread::PushDatagram(std::uint32_t address, std::vector<std::uint8_t> data)
{
    if (m_Terminated)
        return;
    m_Queue.push_back(TIntpDatagram{address, std::move(data)});
    PostDrain();
}

void TIntpSocketThread::Terminate()
{
    m_Terminated = true;
    m_Queue.clear();
}

void TIntpSocketThread::PostDrain()
{
    // A running delivery picks the item up when it returns.
    if (m_Delivering || m_DrainPosted)
        return;
    m_DrainPosted = true;
    QMetaObject::invokeMethod(this, &TIntpSocketThread::Drain, Qt::QueuedConnection);
}

void TIntpSocketThread::Drain()
{
    m_DrainPosted = false;
    if (m_Delivering)
        return;
    struct TGuard {
        bool& flag;
        explicit TGuard(bool& f) : flag(f) { flag = true; }
        ~TGuard() { flag = false; }
        TGuard(const TGuard&) = delete;
        TGuard& operator=(const TGuard&) = delete;
    } guard(m_Delivering);
    while (!m_Terminated && !m_Queue.empty()) {
        TIntpDatagram item = std::move(m_Queue.front());
        m_Queue.pop_front();
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
