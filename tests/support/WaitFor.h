#pragma once
// Lets the event loop run until a condition holds, for window tests that wait on timers,
// transfers, child processes or the program's own deferred work; false when it does not hold
// within the time given (StateWaitLimitMs). The one pair of these helpers every window test uses.
#include "WaitLimit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <functional>

namespace vexal::test {

// Runs what is pending, deferred deletions included, so a window the program closed is gone.
inline void Pump()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

inline bool WaitFor(const std::function<bool()>& ready, int milliseconds = StateWaitLimitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > milliseconds)
            return false;
        Pump();
        QThread::msleep(5);
    }
    return true;
}

} // namespace vexal::test
