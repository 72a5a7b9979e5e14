#pragma once
// Lets the event loop run until a condition holds, for window tests that wait on timers,
// transfers or child processes; false when it does not hold within the time given.
#include <QApplication>
#include <QElapsedTimer>

#include <functional>

namespace vexal::test {

inline bool WaitFor(const std::function<bool()>& ready, int milliseconds = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace vexal::test
