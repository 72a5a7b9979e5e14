#pragma once
// What a host asks of one TestFormulas call, by name: the ranges to search, the games to
// evaluate, the files to write and how the best and worst are ranked. GUI-free.
#include <cstdint>
#include <span>

namespace vexal {

struct TestRequest {
    // The lower and the upper end of every formula slot's range, indexed like CurrentFormula.
    // Slots without a range (10 to 23) are read from Low. A single formula is passed as both.
    // The run writes into Low (the week limit packed into slots 18 and 19, the ranges put in
    // order, the values a stopped search leaves) and orders the ranges of High: hosts that pass
    // CurrentFormula as Low see those changes in the current formula.
    std::span<float> Low;
    std::span<float> High;
    // Unit-win low and high, win-percentage low and high, minimum decided games.
    std::span<const float> Filters;
    // A back-test: only games already played (both scores adding up to more than 0) are
    // evaluated. Otherwise unplayed games are predicted too.
    bool PlayedGamesOnly = false;
    // The games of these teams only (0 and 0: every game); with SingleGame, the away and home
    // team of one hypothetical game.
    uint8_t HomeTeam = 0;
    uint8_t AwayTeam = 0;
    bool SingleGame = false;
    // Best and worst by win percentage first; otherwise by units first.
    bool SortByWin = false;
    // Write FormulaList.txt and the Good<n>.fla and Bad<n>.fla files.
    bool SaveFormulas = false;
    // Build each combination's weekly and season breakdown.
    bool ShowWeekly = false;
    // 0: every combination of the ranges; any other value: one slot at a time.
    int16_t QuickMode = 0;
};

} // namespace vexal
