#include "console/ProtocolHost.h"

#include "console/IntpSock.h"

#include <QTimer>

namespace {

int Interval(unsigned ms)
{
    if (ms == 0)
        return int(Intp::DefaultReplyMs);
    return ms > unsigned(INT32_MAX) ? INT32_MAX : int(ms);
}

}  // namespace

TProtocolHost::TProtocolHost(QObject* parent) : QObject(parent) {}

// Timers are children and go with the host.
TProtocolHost::~TProtocolHost() = default;

void TProtocolHost::CreateTimer(Intp::TSession* session, unsigned ms)
{
    if (!session || m_SessionTimers.count(session))
        return;
    auto* timer = new QTimer(this);
    timer->setInterval(Interval(ms));
    connect(timer, &QTimer::timeout, this, [this, timer] { EventOnSessionTimer(timer); });
    m_SessionTimers.emplace(session, timer);
    m_TimerSessions.emplace(timer, session);
    timer->start();
}

void TProtocolHost::DestroyTimer(Intp::TSession* session)
{
    auto it = m_SessionTimers.find(session);
    if (it == m_SessionTimers.end())
        return;
    QTimer* timer = it->second;
    timer->stop();
    m_TimerSessions.erase(timer);
    m_SessionTimers.erase(it);
    // This may run inside the timer's own time-out.
    timer->disconnect(this);
    timer->deleteLater();
}

void TProtocolHost::EnableTimer(Intp::TSession* session, bool enable)
{
    auto it = m_SessionTimers.find(session);
    if (it == m_SessionTimers.end())
        return;
    if (enable)
        it->second->start();
    else
        it->second->stop();
}

void TProtocolHost::SetTimerInterval(Intp::TSession* session, unsigned ms)
{
    auto it = m_SessionTimers.find(session);
    if (it == m_SessionTimers.end())
        return;
    it->second->setInterval(Interval(ms));
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

void TProtocolHost::EventOnSessionTimer(QTimer* timer)
{
    auto it = m_TimerSessions.find(timer);
    if (it == m_TimerSessions.end())
        return;
    Intp::TSession* session = it->second;
    // A page may open a modal box from the time-out's notification; the
    // repeating timer must not time the same request out again meanwhile.
    if (!m_InTimeout.insert(session).second)
        return;
    struct TLeave {
        std::set<Intp::TSession*>& set;
        Intp::TSession* session;
        ~TLeave() { set.erase(session); }
    } leave{m_InTimeout, session};
    // Notifies the time-out and deletes the request, which destroys the timer.
    session->OnTimeout();
}

void TProtocolHost::EndAllSessions()
{
    Intp::DeleteAllSessions();
    // Requests not listed by the library but holding a timer cannot remain;
    // drop their timers all the same.
    for (auto& [session, timer] : m_SessionTimers) {
        timer->stop();
        timer->deleteLater();
    }
    m_SessionTimers.clear();
    m_TimerSessions.clear();
}

QTimer* TProtocolHost::TimerOf(Intp::TSession* session) const
{
    auto it = m_SessionTimers.find(session);
    return it == m_SessionTimers.end() ? nullptr : it->second;
}
