#pragma once
// The layout of the engine's best and worst rows (BestRow and WorstRow, the Best and Worst of
// its Progress event). The engine fills a row by these names and every window that shows or
// reuses a row reads it by them, so the boxes, the printout, the saved formulas and the smart
// formulas all take each weight from the same element. GUI-free.
#include "FormulaSlots.h"

#include <array>

namespace vexal {

// Elements 0 to 8 are the combination's weights and hold the formula slots of the same
// number (element 5 the passing weight, element 6 the rushing weight).
enum ResultRowElement : int {
    rrHomeField = fsHomeField,
    rrMinDiff = fsMinDiff,
    rrMaxDiff = fsMaxDiff,
    rrOffense = fsOffense,
    rrDefense = fsDefense,
    rrPassing = fsPassing,
    rrRushing = fsRushing,
    rrTurnovers = fsTurnovers,
    rrMultiplier = fsMultiplier,   // rounded to one decimal
    rrWins = 9,
    rrLosses = 10,
    rrTies = 11,
    rrWinPercent = 12,             // 0 to 100
    rrUnits = 13,                  // the worst row: losses - 1.1 x wins
    rrRollingWeeks = 14,           // formula slot 9
};
inline constexpr int ResultRowElements = 16;   // element 15 is never written
using ResultRow = std::array<float, ResultRowElements>;

} // namespace vexal
