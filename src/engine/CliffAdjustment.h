#pragma once
// The cliff adjustment's table: the points moved from the predicted home score to the away
// score for the projected home time of possession (seconds). A longer possession moves more.
#include <cmath>

namespace vexal {

// -6 for 32 minutes or more, -5 for 31, -4 for 29 or 30, -3 for 28, -2 for 27 or less; the
// minutes are the seconds over 59.99 truncated, so 1800 seconds are 30 minutes, 1799 are 29.
inline int CliffAdjustment(float projectedPossession)
{
    const double minutes = std::trunc(static_cast<double>(projectedPossession) / 59.99);
    if (minutes >= 32)
        return -6;
    if (minutes == 31)
        return -5;
    if (minutes == 29 || minutes == 30)
        return -4;
    if (minutes == 28)
        return -3;
    return -2;
}

} // namespace vexal
