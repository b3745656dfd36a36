#include "console/ProtocolHost.h"

#include "console/IntpSock.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <type_traits>

namespace {

int Interval(unsigned ms)
{
    if (ms == 0)
        return int(Intp::DefaultReplyMs);
    return ms > unsigned(INT32_MAX) ? INT32_MAX : int(ms);
}

}  // namespace

std::uint64_t TProtocolHost::NewMark()
{
    static std::atomic<std::uint64_t> marks{0};
    return ++marks;
}

TProtocolHost::TProtocolHost(QObject* parent) : QObject(parent), m_Mark(NewMark())
{
    m_Wake.setSingleShot(true);
    m_Wake.setTimerType(Qt::PreciseTimer);
    connect(&m_Wake, &QTimer::timeout, this, &TProtocolHost::EventOnWake);
}

TProtocolHost::~TProtocolHost() = default;

TProtocolHost::TTimer* TProtocolHost::Find(Intp::TSession* session) const
{
    if (!session)
        return nullptr;
    // A timer kept under another host's mark, or under this host's mark
    // from before its timers were all dropped, is not this host's.
    Intp::TSession::THostTimer& kept = session->HostTimer();
    return kept.owner == m_Mark ? std::launder(reinterpret_cast<TTimer*>(kept.room)) : nullptr;
}

void TProtocolHost::CreateTimer(Intp::TSession* session, unsigned ms)
{
    static_assert(sizeof(TTimer) <= sizeof(Intp::TSession::THostTimer::room) &&
                  alignof(TTimer) <= alignof(Intp::TSession::THostTimer) && std::is_trivially_destructible_v<TTimer>);
    if (!session || Find(session))
        return;
    Intp::TSession::THostTimer& kept = session->HostTimer();
    TTimer& timer = *new (kept.room) TTimer;
    kept.owner = m_Mark;
    ++m_Live;
    timer.session = session;
    timer.interval = Interval(ms);
    Start(timer, TClock::now());
}

void TProtocolHost::DestroyTimer(Intp::TSession* session)
{
    // This may run inside the timer's own time-out.
    TTimer* timer = Find(session);
    if (!timer)
        return;
    Stop(*timer);
    session->HostTimer().owner = 0;
    --m_Live;
}

void TProtocolHost::EnableTimer(Intp::TSession* session, bool enable)
{
    if (TTimer* timer = Find(session)) {
        if (enable)
            Start(*timer, TClock::now());
        else
            Stop(*timer);
    }
}

void TProtocolHost::SetTimerInterval(Intp::TSession* session, unsigned ms)
{
    TTimer* timer = Find(session);
    if (!timer)
        return;
    // As with a QTimer, a running timer starts again with the new interval.
    timer->interval = Interval(ms);
    if (timer->active)
        Start(*timer, TClock::now());
}

TProtocolHost::TQueue& TProtocolHost::QueueOf(int interval)
{
    for (TQueue& queue : m_Queues)
        if (queue.interval == interval)
            return queue;
    return m_Queues.emplace_back(TQueue{interval});
}

void TProtocolHost::Start(TTimer& timer, TClock::time_point now)
{
    Stop(timer);
    timer.at = now + std::chrono::milliseconds(timer.interval);
    TQueue& queue = QueueOf(timer.interval);
    timer.queued = timer.interval;
    timer.prev = queue.tail;
    timer.next = nullptr;
    (queue.tail ? queue.tail->next : queue.head) = &timer;
    queue.tail = &timer;
    timer.active = true;
    if (!m_WakeAt || timer.at < *m_WakeAt)
        WakeAt(timer.at, now);
}

void TProtocolHost::Stop(TTimer& timer)
{
    if (!timer.active)
        return;
    TQueue& queue = QueueOf(timer.queued);
    (timer.prev ? timer.prev->next : queue.head) = timer.next;
    (timer.next ? timer.next->prev : queue.tail) = timer.prev;
    timer.prev = timer.next = nullptr;
    timer.active = false;
}

void TProtocolHost::WakeAt(TClock::time_point at, TClock::time_point now)
{
    m_WakeAt = at;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(at - now).count();
    m_Wake.start(int(std::clamp<long long>(wait, 0, INT32_MAX)));
}

void TProtocolHost::WakeAtEarliest()
{
    std::optional<TClock::time_point> earliest;
    for (const TQueue& queue : m_Queues)
        if (queue.head && (!earliest || queue.head->at < *earliest))
            earliest = queue.head->at;
    if (!earliest) {
        m_WakeAt.reset();
        m_Wake.stop();
    } else if (earliest != m_WakeAt || !m_Wake.isActive()) {
        WakeAt(*earliest, TClock::now());
    }
}

void TProtocolHost::EventOnWake()
{
    m_WakeAt.reset();
    const TClock::time_point now = TClock::now();
    for (;;) {
        // The earliest deadline that has passed; every time-out below may
        // create, restart or destroy timers, so look again each time.
        TTimer* due = nullptr;
        for (const TQueue& queue : m_Queues)
            if (queue.head && queue.head->at <= now && (!due || queue.head->at < due->at))
                due = queue.head;
        if (!due)
            break;
        Intp::TSession* session = due->session;
        // Timers repeat until stopped.
        Start(*due, now);
        // A page may open a modal box from the time-out's notification; the
        // request must not time out again meanwhile, but others may.
        if (m_InTimeout.count(session))
            continue;
        WakeAtEarliest();
        m_InTimeout.insert(session);
        struct TLeave {
            std::set<Intp::TSession*>& set;
            Intp::TSession* session;
            ~TLeave() { set.erase(session); }
        } leave{m_InTimeout, session};
        // Notifies the time-out and deletes the request, which destroys the timer.
        session->OnTimeout();
    }
    WakeAtEarliest();
}

void TProtocolHost::Send(std::uint32_t ip, const std::uint8_t* data, std::size_t size)
{
    // A failed send is not reported: the request ends by its time-out.
    if (m_SendHook) {
        m_SendHook(ip, data, size);
        return;
    }
    if (m_Socket)
        m_Socket->Send(ip, data, size);
}

void TProtocolHost::Notify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context,
                           Intp::TWizard* wizard, const char*)
{
    if (m_PageNotify)
        m_PageNotify(device, code, status);
    if (wizard)
        wizard->OnWizardEvent(device, code, status, context);
}

void TProtocolHost::Deliver(std::uint32_t address, std::uint32_t length, const std::uint8_t* data)
{
    Intp::DispatchPacket(address, length, data);
    if (!m_DeviceLimitTold && Intp::GetRefusedDeviceCount() > 0) {
        m_DeviceLimitTold = true;
        emit DeviceLimitReached();
    }
}

void TProtocolHost::EndAllSessions()
{
    Intp::DeleteAllSessions();
    // Requests not listed by the library but holding a timer cannot remain;
    // drop their timers all the same.
    m_Live = 0;
    m_Mark = NewMark();  // what requests still keep is no longer this host's
    m_Queues.clear();
    m_WakeAt.reset();
    m_Wake.stop();
}

std::optional<TProtocolHost::TTimerInfo> TProtocolHost::TimerOf(Intp::TSession* session) const
{
    const TTimer* timer = Find(session);
    if (!timer)
        return std::nullopt;
    return TTimerInfo{timer->interval, timer->active};
}
