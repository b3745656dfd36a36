// Runs the event loop (never a sleep) until done() holds or the time is up;
// woken by every event and at least every 20 ms, for state that changes on
// another thread. Answers done().
#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>

template <class P>
bool RunUntil(P done, std::chrono::milliseconds timeout)
{
    QDeadlineTimer deadline(timeout.count());
    QTimer wake;
    wake.start(20);
    QEventLoop loop;
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
