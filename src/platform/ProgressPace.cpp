#include "ProgressPace.h"

namespace vexal {

namespace {
std::function<ProgressPace::Clock::time_point()>& PaceClock()
{
    static std::function<ProgressPace::Clock::time_point()> now;
    return now;
}
} // namespace

void ProgressPace::SetClock(std::function<Clock::time_point()> now) { PaceClock() = std::move(now); }

bool ProgressPace::Due(bool complete)
{
    const Clock::time_point now = PaceClock() ? PaceClock()() : Clock::now();
    if (!shownOnce_ || complete || now - shownAt_ >= Interval) {
        shownOnce_ = true;
        shownAt_ = now;
        heldBack_ = false;
        return true;
    }
    heldBack_ = true;
    return false;
}

} // namespace vexal
