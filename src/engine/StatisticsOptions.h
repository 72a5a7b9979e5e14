#pragma once
// How the rolling statistics and the power ratings take a side's earlier games: the window,
// home and away games apart, and the best and worst game dropped. The hosts' calls take
// them from the current formula (slots 9 to 11); a test run passes its own. GUI-free.
#include "FormulaSlots.h"

namespace vexal {

struct StatisticsOptions {
    // Games in the window; 0 takes the season to date.
    float RollingWeeks = 0;
    // The home side counts its home games only, the away side its away games only.
    bool SeparateHomeAway = false;
    // The best and the worst game of the window are taken out again.
    bool DiscardHighLow = false;

    bool SeasonToDate() const { return RollingWeeks == 0; }
    // The options a formula's slots 9 to 11 set.
    static StatisticsOptions Of(const Formula& formula);
};

} // namespace vexal
