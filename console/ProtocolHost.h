#pragma once

// The protocol library's host side that needs no window: one repeating
// timer per outstanding request, sending datagrams, and routing each
// request outcome to the page on show first and to the request's wizard
// second. The main window forwards its Intp::TSessionCallback here.

#include "intp/Session.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <set>

class QTimer;
class TIntpSock;

class TProtocolHost : public QObject, public Intp::TSessionCallback {
    Q_OBJECT
public:
    using TSendHook = std::function<void(std::uint32_t ip, const std::uint8_t* data, std::size_t size)>;
    using TPageNotify = std::function<void(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)>;

    explicit TProtocolHost(QObject* parent = nullptr);
    ~TProtocolHost() override;

    void SetSocket(TIntpSock* socket) { m_Socket = socket; }
    // Replaces the socket (tests).
    void SetSendHook(TSendHook hook) { m_SendHook = std::move(hook); }
    void SetPageNotify(TPageNotify notify) { m_PageNotify = std::move(notify); }

    // Intp::TSessionCallback
    void CreateTimer(Intp::TSession* session, unsigned ms) override;
    void DestroyTimer(Intp::TSession* session) override;
    void EnableTimer(Intp::TSession* session, bool enable) override;
    void Send(std::uint32_t ip, const std::uint8_t* data, std::size_t size) override;
    void Notify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context,
                Intp::TWizard* wizard, const char* name) override;
    void SetTimerInterval(Intp::TSession* session, unsigned ms) override;

    // Ends every outstanding request while the host still exists; no
    // notification is sent for them.
    void EndAllSessions();

    QTimer* TimerOf(Intp::TSession* session) const;
    std::size_t TimerCount() const { return m_SessionTimers.size(); }

private:
    void EventOnSessionTimer(QTimer* timer);

    std::map<Intp::TSession*, QTimer*> m_SessionTimers;
    std::map<QTimer*, Intp::TSession*> m_TimerSessions;
    std::set<Intp::TSession*> m_InTimeout;
    TIntpSock* m_Socket = nullptr;
    TSendHook m_SendHook;
    TPageNotify m_PageNotify;
};
