#pragma once
// Lets the event loop run until a condition holds, for window tests that wait on timers,
// transfers or child processes; false when it does not hold within the time given.
// The limit only ends a test that would otherwise wait for ever: a loaded machine may take
// many times longer than an idle one, so it is generous and no test shortens it.
#include <QApplication>
#include <QElapsedTimer>

#include <functional>

namespace vexal::test {

inline constexpr int StateWaitLimitMs = 180000;

inline bool WaitFor(const std::function<bool()>& ready, int milliseconds = StateWaitLimitMs)
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
