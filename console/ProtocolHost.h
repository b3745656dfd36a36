#pragma once

// The protocol library's host side that needs no window: the reply timers
// of the outstanding requests, sending datagrams, and routing each request
// outcome to the page on show first and to the request's wizard second.
// The main window forwards its Intp::TSessionCallback here.
//
// Reply timers repeat like QTimers, but thousands of them share one QTimer:
// each interval has a linked queue in deadline order (a restart appends,
// since the clock only moves forward), so creating, restarting and
// destroying a timer cost the same with 10 or 10,000 requests outstanding. The QTimer
// is set for the earliest deadline; a removal leaves it set, and waking
// early only sets it again.

#include "intp/Session.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <vector>

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

    // Hands one received datagram to the library. The first time the full
    // device registry refuses a new switch, emits DeviceLimitReached.
    void Deliver(std::uint32_t address, std::uint32_t length, const std::uint8_t* data);

    // Ends every outstanding request while the host still exists; no
    // notification is sent for them.
    void EndAllSessions();

    struct TTimerInfo {
        int interval = 0;  // milliseconds
        bool active = false;
    };
    std::optional<TTimerInfo> TimerOf(Intp::TSession* session) const;
    std::size_t TimerCount() const { return m_Live; }

signals:
    void DeviceLimitReached();

private:
    using TClock = std::chrono::steady_clock;
    // A reply timer, held in its request's room for the host; while running
    // it is linked into its interval's queue.
    struct TTimer {
        Intp::TSession* session = nullptr;
        TClock::time_point at;
        TTimer* prev = nullptr;
        TTimer* next = nullptr;
        int interval = 0;
        int queued = 0;  // interval of the queue it is linked into
        bool active = false;
    };
    // Running timers of one interval, in deadline order.
    struct TQueue {
        int interval = 0;
        TTimer* head = nullptr;
        TTimer* tail = nullptr;
    };

    // The timer of session (null when it has none), kept with the request
    // under this host's mark: no lookup per reply.
    TTimer* Find(Intp::TSession* session) const;
    TQueue& QueueOf(int interval);
    void Start(TTimer& timer, TClock::time_point now);
    void Stop(TTimer& timer);
    // Sets the QTimer for the earliest deadline, or stops it.
    void WakeAtEarliest();
    void WakeAt(TClock::time_point at, TClock::time_point now);
    void EventOnWake();

    std::size_t m_Live = 0;
    // Marks the timers this host keeps with the requests; a new mark when
    // they are all dropped at once. Never reused by another host.
    std::uint64_t m_Mark = 0;
    static std::uint64_t NewMark();
    std::vector<TQueue> m_Queues;  // one per interval in use; there are few
    QTimer m_Wake;
    std::optional<TClock::time_point> m_WakeAt;
    std::set<Intp::TSession*> m_InTimeout;
    bool m_DeviceLimitTold = false;
    TIntpSock* m_Socket = nullptr;
    TSendHook m_SendHook;
    TPageNotify m_PageNotify;
};
