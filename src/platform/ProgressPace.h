#pragma once
// ProgressPace: decides which progress reports of a long piece of work are painted. Painting
// and the message loop that comes with it cost far more than the work between two reports,
// so a report is shown only when the last one shown is about a frame old (at most about 30 a
// second); the first report and a complete one are always shown, and the caller shows the
// last one held back when the work ends.
#include <chrono>
#include <functional>

namespace vexal {

class ProgressPace {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds Interval{33};

    // True when a report now is to be shown; a false answer marks the report as held back.
    bool Due(bool complete = false);
    // True when the newest report was held back.
    bool HeldBack() const { return heldBack_; }

    // The clock every pace reads (steady_clock when empty); tests set one that steps.
    static void SetClock(std::function<Clock::time_point()> now);

private:
    Clock::time_point shownAt_{};
    bool shownOnce_ = false;
    bool heldBack_ = false;
};

} // namespace vexal
