#include "console/IntpReceiveQueue.h"

#include <QMetaObject>
#include <QtGlobal>

TIntpSocketThread::TIntpSocketThread(TSink sink, QObject* parent)
    : QObject(parent), m_Sink(std::move(sink)),
      m_Queue({MaxQueued, MaxQueuedBytes}, std::chrono::milliseconds(SliceMs),
              [this] { QMetaObject::invokeMethod(this, &TIntpSocketThread::Drain, Qt::QueuedConnection); })
{
}

TIntpSocketThread::~TIntpSocketThread() { Terminate(); }

void TIntpSocketThread::PushDatagram(std::uint32_t address, std::vector<std::uint8_t> data)
{
    m_Queue.Push(TIntpDatagram{address, std::move(data)});
}

void TIntpSocketThread::PushDatagramsToDeliver(std::vector<TIntpDatagram>& items)
{
    const bool deliverHere = !m_Queue.IsDelivering() && m_Queue.Pending() + items.size() <= FewWaiting;
    m_Queue.Push(items, !deliverHere);
}

void TIntpSocketThread::DeliverWaiting()
{
    const std::size_t waiting = m_Queue.Pending();
    if (waiting != 0 && waiting <= FewWaiting && !m_Queue.IsDelivering())
        Drain();
    else
        m_Queue.Kick();  // what was appended without a drain posted
}

void TIntpSocketThread::Drain()
{
    m_Queue.Drain(
        [this](TIntpDatagram& item) {
            if (m_Sink)
                m_Sink(item.address, std::uint32_t(item.data.size()), item.data.data());
        },
        [](const char* what) { qWarning("protocol delivery failed: %s", what); });
    std::uint64_t total = 0;
    if (m_Queue.TakeNewDrops(total))
        emit QueueDropped(total);
    if (m_Queue.Pending() == 0 && !m_Queue.IsDelivering())
        emit Drained();
}
