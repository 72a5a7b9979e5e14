#pragma once
// The state of one TestFormulas call, shared by the files that implement the run.
#include "FastEvaluator.h"
#include "FormulaLog.h"
#include "GridWindow.h"
#include "GridWorkers.h"
#include "HelperThreads.h"
#include "TSPredict.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vexal {

// What the evaluation of a game reads besides the combination's values: the options of the
// formula, the switches of the host, the arguments of the call. Read once per combination
// (and again after a yield inside one), so every game of a combination sees the same values.
struct TSPredict::GameOptions {
    bool powerRating = false;       // Low(16) = 1
    bool noLine = false;            // Low(17) = 1
    bool otherFactors = false;      // Low(15) <> 0
    bool separateHomeAway = false;  // Low(10) = 1: the kind of team filter
    bool totalsMode = false;        // Low(14) = 1
    bool playedOnly = false;        // a back-test of played games
    bool moneyLine = false;         // MoneyLine = 1
    bool cliff = false;             // CliffAdjust = 1
    bool singleGame = false;
    uint8_t homeTeam = 0;
    uint8_t awayTeam = 0;
    float homeOnly = 0;             // CurrentFormula 18 to 21
    float awayOnly = 0;
    float favOrOver = 0;
    float dogOrUnder = 0;
    float lineFrom = 99;            // Low(22), Low(23) as they stand
    float lineTo = 99;
    int16_t teaser = 0;
    int16_t limitFirst = 0;
    int16_t limitLast = 23;
    int firstWeek = 0;              // the week indexes walked: CInt(Low(13)) to CInt(High(13))
    int lastWeek = 0;
    bool operator==(const GameOptions&) const = default;
};

// The record of one evaluation of a combination: up to every game of the loaded week slots.
struct TSPredict::Tally {
    int32_t wins = 0;
    int32_t losses = 0;
    int32_t ties = 0;
    float moneyLineUnits = 0;
    std::string breakdown;          // GameBreakdown
    bool breakdownPending = false;  // the fast evaluation left it to be built when it is shown
    uint64_t gameEvaluations = 0;
};

struct TSPredict::Run {
    // The request.
    bool SortByWin = false;
    uint8_t HomeTeam = 0;
    uint8_t AwayTeam = 0;
    std::span<float> Low;
    std::span<float> High;
    bool SaveFormulas = false;
    std::span<const float> Filters;
    bool ShowWeekly = false;
    int16_t QuickMode = 0;
    bool SingleGame = false;
    bool PlayedGamesOnly = false;

    // Values of the call.
    int16_t LimitFirstWeek = 0;
    int16_t LimitLastWeek = 23;
    float HomeField = 0;
    float MinDiff = 0;
    float MaxDiff = 0;
    float Turnover = 0;
    float Multiplier = 0;
    int16_t Offense = 0;
    int16_t Defense = 0;
    int16_t Rushing = 0;
    int16_t Passing = 0;
    // The values above into slots 0 to 8 of a formula, or the elements of the same number of a
    // result row.
    template <class Slots>
    void PutCombination(Slots& slots) const
    {
        slots[fsHomeField] = HomeField;
        slots[fsMinDiff] = MinDiff;
        slots[fsMaxDiff] = MaxDiff;
        slots[fsOffense] = Offense;
        slots[fsDefense] = Defense;
        slots[fsPassing] = Passing;
        slots[fsRushing] = Rushing;
        slots[fsTurnovers] = Turnover;
        slots[fsMultiplier] = Multiplier;
    }
    // The values above as the fast evaluator takes them.
    FastEvaluator::Combination CurrentCombination() const
    {
        FastEvaluator::Combination c;
        c.homeField = HomeField;
        c.minDiff = MinDiff;
        c.maxDiff = MaxDiff;
        c.turnover = Turnover;
        c.multiplier = Multiplier;
        c.offense = Offense;
        c.defense = Defense;
        c.rushing = Rushing;
        c.passing = Passing;
        return c;
    }
    FormulaLog Log;
    // Ranking keys of the best and the worst so far, with explicit "found yet" flags: a key of
    // 0 is a real result (no wins, or exactly 0.00 units), not "none yet".
    float BestPercent = 0;
    float BestUnits = 0;
    float WorstPercent = 0;
    float WorstUnits = 0;
    bool BestFound = false;
    bool WorstFound = false;
    // The numbers of the next good and bad formula files: a long run may write many.
    int64_t GoodCount = 0;
    int64_t BadCount = 0;
    std::string ProgressMessage;
    bool StatsPrepared = false;
    // The window's GameStatsCache blocks were worked out ahead of its first combination.
    bool BlocksPrepared = false;
    float WinFraction = 0;
    float UnitWin = 0;
    bool Stopped = false;
    GameOptions Options;            // of the combination being evaluated

    // The fast evaluation's game list belongs to one rolling window and one set of options.
    uint64_t WindowGeneration = 0;
    bool FastBuilt = false;
    uint64_t FastGeneration = 0;
    GameOptions FastOptions;
    uint64_t FastDropped = 0;       // games evaluated but left out of the list (no side can play)

    // The grid search's rolling window evaluated by the grid workers: the index of the
    // combination under evaluation within the window, the window's loop values, and the
    // workers, kept for the whole run (stopped when a window ends, and for the rest of a window
    // whose loops no longer follow the values, which a host changing the ranges during a
    // yield would cause).
    bool Grid = false;
    int Workers = 1;
    uint64_t WindowIndex = 0;
    GridWindow Window;
    bool AheadRefused = false;
    std::unique_ptr<GridWorkers> Ahead;
    // The threads that work out a window's game statistics with the caller, kept for the run.
    std::unique_ptr<HelperThreads> Helpers;

    // Bounded access to the caller's arrays: a slot the array lacks reads 0 and is not written.
    float L(int k) const { return k >= 0 && static_cast<std::size_t>(k) < Low.size() ? Low[static_cast<std::size_t>(k)] : 0.0f; }
    float H(int k) const { return k >= 0 && static_cast<std::size_t>(k) < High.size() ? High[static_cast<std::size_t>(k)] : 0.0f; }
    float F(int k) const { return k >= 0 && static_cast<std::size_t>(k) < Filters.size() ? Filters[static_cast<std::size_t>(k)] : 0.0f; }
    void SetL(int k, float v) { if (k >= 0 && static_cast<std::size_t>(k) < Low.size()) Low[static_cast<std::size_t>(k)] = v; }
    void SetH(int k, float v) { if (k >= 0 && static_cast<std::size_t>(k) < High.size()) High[static_cast<std::size_t>(k)] = v; }
    // Exchanges Low(k) and High(k) (one element when both are the same array).
    void SwapRange(int k)
    {
        if (k < 0 || static_cast<std::size_t>(k) >= Low.size() || static_cast<std::size_t>(k) >= High.size())
            return;
        TSPredict::swap(Low[static_cast<std::size_t>(k)], High[static_cast<std::size_t>(k)]);
    }
};

namespace engine {

// GameStatsCache: a block of values for every game slot of every week slot, in the order of
// the season arrays.
inline constexpr std::size_t CacheBlockValues = 16;
inline constexpr std::size_t CacheWeekStride = GamesPerWeekSlot * CacheBlockValues;

// One side's rolling statistics (teamSide: the home team's own figures, else the away team's)
// worked out in t and avg; seasonStart gets the first week slot of the week's season. False
// when the averages ended early or the team is none (then nothing was touched), true when
// they are complete.
bool RollingSide(const SeasonData& season, TSPredict::TotalsArray& t, TSPredict::AveragesArray& avg,
                 int16_t& seasonStart, int16_t Team, int16_t Week, int16_t Games, bool teamSide,
                 const StatisticsOptions& options);
// Takes the high and the low game (week slot, game slot) of `team` out of its totals again.
void DropGames(const SeasonData& season, TSPredict::TotalsArray& t, double team, int16_t Week, int16_t Slot,
               int16_t A, int16_t B, bool teamSide);
// A game's block of GameStatsCache from the home side's and the away side's averages (the
// home side's turnover element becomes the difference of the two).
void FillBlock(TSPredict::AveragesArray& home, const TSPredict::AveragesArray& away, float* block);

} // namespace engine

} // namespace vexal
