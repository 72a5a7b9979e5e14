#pragma once
// A formula: 24 Singles, one per slot, as CurrentFormula and the formula files hold them.
#include "NumberKind.h"

#include <array>

namespace vexal {

// Slots of CurrentFormula.
enum FormulaSlot : int {
    fsHomeField = 0, fsMinDiff = 1, fsMaxDiff = 2, fsOffense = 3, fsDefense = 4, fsPassing = 5,
    fsRushing = 6, fsTurnovers = 7, fsMultiplier = 8, fsRollingWeeks = 9, fsSeparateHomeAway = 10,
    fsDiscardHighLow = 11, fsSeasonToDate = 12, fsCurrentWeek = 13, fsTotalsMode = 14,
    fsOtherFactors = 15, fsPowerRating = 16, fsNoLine = 17, fsHomeOnly = 18, fsAwayOnly = 19,
    fsFavOrOver = 20, fsDogOrUnder = 21, fsLineStart = 22, fsLineEnd = 23,
};
inline constexpr int FormulaSlots = 24;
using Formula = std::array<float, FormulaSlots>;
// The upper ends of a back-test's ranges, slots 0 to 21: the line range (22 and 23) is
// always read from the lower ends.
inline constexpr int RangeSlots = 22;
using FormulaHighEnds = std::array<float, RangeSlots>;

// What a box that writes a slot takes. The weights, differences and percentages are numbers
// of 0 or more with decimals, the turnover value may be below 0; the rolling weeks, the week
// and the switches are whole numbers (slots 18 and 19 carry a limited week in their tens);
// the line range's boxes hold texts such as "ABS 3.5" around their number.
constexpr NumberKind SlotNumbers(int slot)
{
    if (slot == fsTurnovers)
        return AnyNumber;
    if (slot >= fsHomeField && slot <= fsMultiplier)
        return DecimalsOfZeroOrMore;
    if (slot == fsLineStart || slot == fsLineEnd)
        return NumberKind{true, true, {}, true, 0};
    return WholeNumbers;
}

} // namespace vexal
