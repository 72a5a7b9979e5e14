#pragma once
// Bounded access to the shared season arrays for the engine: every week slot and game slot
// the engine takes from the formula, its arguments or the arrays themselves is checked here,
// and a position outside the loaded arrays gives nothing instead of a read out of bounds.
#include "SeasonData.h"

#include <cstddef>
#include <cstdint>

namespace vexal::engine {

// The fields of a game slot, or nullptr when the position lies outside SeasonGames.
inline const int16_t* GameFields(const SeasonData& season, long weekSlot, long gameSlot)
{
    if (weekSlot < 0 || gameSlot < 0 || gameSlot >= GamesPerWeekSlot)
        return nullptr;
    const std::size_t base = static_cast<std::size_t>(weekSlot) * WeekSlotStride +
                             static_cast<std::size_t>(gameSlot) * FieldsPerGame;
    if (base + FieldsPerGame > season.SeasonGames.size())
        return nullptr;
    return season.SeasonGames.data() + base;
}

// The spread of a game slot (its total is the next element), or nullptr outside SeasonLines.
inline float* SpreadCell(SeasonData& season, long weekSlot, long gameSlot)
{
    if (weekSlot < 0 || gameSlot < 0 || gameSlot >= GamesPerWeekSlot)
        return nullptr;
    const std::size_t index = static_cast<std::size_t>(weekSlot) * LineSlotStride +
                              static_cast<std::size_t>(gameSlot) * LinesPerGame;
    if (index + LinesPerGame > season.SeasonLines.size())
        return nullptr;
    return season.SeasonLines.data() + index;
}

// Rounds half to even into a 16-bit integer, saturating instead of failing; for loop bounds
// and slot numbers taken from the formula, where a failing conversion must not stop a run.
// A whole number in range, the common case read for every combination, converts in line.
int16_t SaturatingCIntRounded(double value);
inline int16_t SaturatingCInt(double value)
{
    if (value > -32768.0 && value < 32767.0) {
        const auto whole = static_cast<int16_t>(value);
        if (static_cast<double>(whole) == value)
            return whole;
    }
    return SaturatingCIntRounded(value);
}

} // namespace vexal::engine
