#pragma once
// The prediction engine control. A host window places one instance, sets its three
// properties, calls its methods and receives every result through the event callbacks it
// sets: rolling team statistics (Stats), power ratings and strength of schedule
// (PowerRating), predictions and back-tests of formulas with their progress (Progress,
// Weekly, Done). Everything else it reaches through its EngineHost: the loaded seasons, the
// current formula and the stop request, read in place; the folder where it writes only
// FormulaList.txt, Good<n>.fla and Bad<n>.fla; and the host's message loop, which it lets run
// only between combinations of a run and, in runs of fewer than five combinations, at the
// head of every 20th week. GUI-free.
#include "EngineHost.h"
#include "FastEvaluator.h"
#include "ResultRow.h"
#include "StatisticsOptions.h"
#include "TestRequest.h"
#include "WeeklyTable.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vexal {

class TSPredict {
public:
    using TotalsArray = std::array<float, 25>;
    using AveragesArray = std::array<float, 40>;
    using FormulaRow = ResultRow;   // the layout of BestRow and WorstRow: ResultRow.h
    // [team code 1..32][column 1..6]: OPR, DPR, TPR, OSS, DSS, TSS; index 0 unused.
    using PowerTableArray = std::array<std::array<float, 7>, 33>;
    // [week of the season 0..22][team code 0..32]
    using PerformanceArray = std::array<std::array<float, 33>, 23>;
    // [week of the season 0..44][team code 0..32]: the opponent's code, 0 for no game.
    using OpponentTableArray = std::array<std::array<int16_t, 33>, 45>;

    explicit TSPredict(EngineHost& host);
    ~TSPredict();
    TSPredict(const TSPredict&) = delete;
    TSPredict& operator=(const TSPredict&) = delete;

    // ---- Events, in the order of their declaration. Arguments are the control's own arrays.
    std::function<void(TotalsArray& TeamTotals, TotalsArray& OppTotals, AveragesArray& TeamAverages,
                       AveragesArray& OppAverages)> Stats;
    std::function<void(PowerTableArray& PowerTable, PerformanceArray& OffensePerformance,
                       PerformanceArray& DefensePerformance, OpponentTableArray& OpponentTable)> PowerRating;
    std::function<void(FormulaRow& Best, FormulaRow& Worst, std::string& Percent, std::string& Message)> Progress;
    std::function<void()> Done;
    std::function<void(WeeklyTableArray& Table)> Weekly;

    // ---- Methods, in the order of the control's interface.
    // Evaluates every combination of formula values between the request's Low and High (grid
    // search, QuickMode 0) or one slot at a time (quick search) over the week slots
    // Low[13]..High[13]. The run changes Low as described for the week limit, the range order,
    // the line range and a stop. A call made from one of the run's own events is refused.
    void TestFormulas(const TestRequest& request);
    void ClearBest();
    // Week is a 1-based week index (week slot + 1); Team 1..32 rates that team only, else all.
    void CalcPowerRating(int16_t Week, int16_t Team = 0);
    void lastgame_opponent(int16_t Team, int16_t Week, int16_t Games);
    void lastgame_team(int16_t Team, int16_t Week, int16_t Games);
    void highlowopp(std::string TeamText, int16_t Week, int16_t Slot, int16_t A, int16_t B);
    void highlowtem(std::string TeamText, int16_t Week, int16_t Slot, int16_t A, int16_t B);
    template <class T>
    static void swap(T& A, T& B)
    {
        T copy = A;
        A = B;
        B = copy;
    }

    // ---- Properties (all 0 when the control is created).
    void SetCliffAdjust(int16_t value) { cliffAdjust_ = value; }
    int16_t CliffAdjust() const { return cliffAdjust_; }
    // Stored rounded to a whole number, halves to even: 6.5 gives 6, 7.5 gives 8.
    void SetTeaser(double points);
    int16_t Teaser() const { return teaser_; }
    void SetMoneyLine(int16_t value) { moneyLine_ = value; }
    int16_t MoneyLine() const { return moneyLine_; }

    // ---- The control's arrays: handed to the host in the events, readable at any time.
    FormulaRow BestRow{};
    FormulaRow WorstRow{};
    TotalsArray TeamTotals{};
    TotalsArray OppTotals{};
    AveragesArray TeamAverages{};
    AveragesArray OppAverages{};
    PowerTableArray PowerTable{};
    PerformanceArray OffensePerformance{};
    PerformanceArray DefensePerformance{};
    OpponentTableArray OpponentTable{};
    WeeklyTableArray WeeklyTable{};

    // ---- Working values of the last run, for hosts that show them and for tests.
    int16_t SeasonStartSlot() const { return seasonStartSlot_; }
    // The evaluations the run expects, as its search works them out: not made whole (a range
    // that is not a whole number of steps wide counts its fraction), so it is no count.
    double TotalCombinations() const { return totalCombinations_; }
    // The evaluations the run has made: a count, exact however long the run.
    int64_t CombinationsDone() const { return combinationsDone_; }
    float CurrentRollingWeeks() const { return currentRollingWeeks_; }
    // The record of the last combination evaluated: as many games as the loaded week slots hold.
    int32_t WinCount() const { return winCount_; }
    int32_t LossCount() const { return lossCount_; }
    int32_t TieCount() const { return tieCount_; }
    bool Running() const { return running_; }
    // Game evaluations of the last run: every game whose pick was decided, once per combination.
    uint64_t GameEvaluations() const { return gameEvaluations_; }
    // Combinations of the last run that went through the fast evaluation.
    uint64_t FastCombinations() const { return fastCombinations_; }
    // Of those, the combinations evaluated ahead by the grid search's workers.
    uint64_t AheadCombinations() const { return aheadCombinations_; }

    // The clock of the log's time stamps (an OLE date); the system clock by default.
    void SetClock(std::function<double()> now);
    // On by default: combinations after the first of each rolling window go through the fast
    // evaluation. Off sends every combination through the straightforward one (the results
    // are the same; tests compare the two).
    void SetFastEvaluation(bool on) { fastEvaluation_ = on; }
    // Threads a grid search evaluates on: 0 (the default) one per hardware thread, 1 only the
    // calling one. The results, files, events and their order are the same for every count;
    // the events are raised on the calling thread only.
    void SetWorkerCount(int count) { workerCount_ = count < 0 ? 0 : count; }
    int WorkerCount() const { return workerCount_; }
    // The count a run uses: the hardware's for 0.
    int EffectiveWorkerCount() const;
    // Tests: when set, every evaluation appends the predicted home and away score of each game
    // whose pick it decides, in evaluation order, whichever way the combination is evaluated.
    void SetScoreTrace(std::vector<float>* trace) { scoreTrace_ = trace; }
    // Tests: the next run counts its combinations from `done` instead of 0, as a run that had
    // already made that many would, so a test reaches a count no short run does.
    void StartCountForTests(int64_t done) { countStart_ = done; }

private:
    struct Run;
    struct Tally;
    struct GameOptions;

    // Rolling statistics of one side, shared by lastgame_team and lastgame_opponent.
    void RollingStatistics(int16_t Team, int16_t Week, int16_t Games, bool teamSide, const StatisticsOptions& options);
    // CalcPowerRating with the given options; `marked` is the formula whose season-to-date
    // slot the hosts' calls keep in step (none in a test run).
    void PowerRatings(int16_t Week, int16_t Team, const StatisticsOptions& options, Formula* marked);
    static void MarkSeasonToDate(Formula* formula, int16_t Team, const StatisticsOptions& options);
    void HighLowDrop(const std::string& TeamText, int16_t Week, int16_t Slot, int16_t A, int16_t B, bool teamSide);

    // The test run.
    void BeginRun(Run& run);
    void WriteLogHeader(Run& run);
    void GridSearch(Run& run);
    void QuickSearch(Run& run);
    void StartGridWindow(Run& run);
    void EvaluateCombination(Run& run);
    void RankCombination(Run& run, Tally& tally);
    void FillRow(Run& run, FormulaRow& row, bool best);
    void WriteQualifiedFormula(Run& run, const std::string& prefix, int64_t& count);
    // Sets the run's expected total and starts its count.
    void StartCount(double total);
    void RaiseProgress(const std::string& percent, std::string& message);
    void EndRun(Run& run);
    GameOptions ReadGameOptions(const Run& run) const;

    // The straightforward evaluation of one week slot (w is 1-based) and of one game slot.
    void EvaluateWeek(Run& run, const GameOptions& options, int w, Tally& tally);
    void EvaluateGame(Run& run, const GameOptions& options, int w, int g, Tally& tally, int16_t& weekWins,
                      int16_t& weekLosses, int16_t& weekTies);
    void PrepareGameStatistics(Run& run, int w, int16_t away, int16_t home, float* block);
    // The blocks of every game the window's first combination evaluates, worked out on the
    // run's threads before it; false (nothing done) where they must be made one after another.
    bool PrepareWindowBlocks(Run& run, const GameOptions& options);
    StatisticsOptions RunStatisticsOptions(const Run& run) const;
    void GradeGame(Run& run, const GameOptions& options, int w, int g, Tally& tally, int16_t& weekWins,
                   int16_t& weekLosses, int16_t& weekTies);
    void CloseWeek(Run& run, int w, Tally& tally, int16_t weekWins, int16_t weekLosses, int16_t weekTies);
    // Whether a game slot is evaluated at all (played rule, empty slot, team filter) and with
    // which two teams; the sum of its other factors when the formula adds them.
    static bool SelectGame(const GameOptions& options, const int16_t* game, int16_t& away, int16_t& home);
    static int16_t OtherFactorsOf(const GameOptions& options, const int16_t* game);
    // The tests of a game that do not depend on the combination's values: the line range (which
    // puts Low(22) and Low(23) in order), the first-week rule and, for totals, a posted total.
    bool PassesGradingFilters(Run& run, const GameOptions& options, int weekSlot, double spread, double total,
                              int awayScore);
    void CliffAdjustScores(float top);
    // The fast evaluation of the current combination over the rolling window's game list
    // (built, or built again when the options changed, on first use).
    bool EvaluateFast(Run& run, const GameOptions& options, Tally& tally);
    // The same record taken from the workers that evaluate the grid's window ahead.
    bool EvaluateAhead(Run& run, const GameOptions& options, Tally& tally);
    void FastTally(const Run& run, const FastEvaluator::Result& result, Tally& tally) const;
    void BuildFastGames(Run& run, const GameOptions& options);

    EngineHost& host_;
    int16_t cliffAdjust_ = 0;
    int16_t teaser_ = 0;
    int16_t moneyLine_ = 0;

    std::vector<float> GameStatsCache;
    double totalCombinations_ = 0;
    int64_t combinationsDone_ = 0;
    int64_t countStart_ = 0;
    float currentRollingWeeks_ = 0;
    int32_t winCount_ = 0;
    int32_t lossCount_ = 0;
    int32_t tieCount_ = 0;
    int16_t seasonStartSlot_ = 0;

    // The current game's prediction: 4/5 yardage, 6/7 yards-per-point rates, 8/9 scores.
    std::array<float, 11> ScoreWork{};
    int16_t OtherFactorsSum = 0;
    float SavedSpread = 0;
    int16_t ActualTotal = 0;
    float PredictedTotal = 0;

    bool running_ = false;
    bool fastEvaluation_ = true;
    int workerCount_ = 0;
    uint64_t gameEvaluations_ = 0;
    uint64_t fastCombinations_ = 0;
    uint64_t aheadCombinations_ = 0;
    std::vector<float>* scoreTrace_ = nullptr;
    std::function<double()> clock_;
    std::unique_ptr<FastEvaluator> fast_;
};

} // namespace vexal
