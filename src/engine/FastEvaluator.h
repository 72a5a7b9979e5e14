#pragma once
// The fast evaluation of back-test combinations. Once the statistics of a rolling window are
// prepared, every game the run evaluates is reduced to the constants its prediction needs
// (sums of its cached averages, its other factors, its spread and total) and to the result
// each possible pick would have (its win, loss or tie is fixed by the final score), so one
// combination costs a few floating-point operations per game and no allocation. The
// arithmetic is the straightforward evaluation's, operation for operation: the results agree
// bit for bit. The list holds copies of the games' scores and lines, so it is built again for
// every rolling window and every change of the options; the loaded arrays themselves do not
// change during a run (the hosts refuse data entry and loads while one runs).
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vexal {

class FastEvaluator {
public:
    struct Settings {
        bool totals = false;
        bool power = false;
        bool cliff = false;
        bool moneyLine = false;
        // Pick filters and teaser, as the grading reads them.
        float homeOnly = 0;
        float awayOnly = 0;
        float favOrOver = 0;
        float dogOrUnder = 0;
        int16_t teaser = 0;
        // Keep every game and record the predicted scores of each evaluation (tests compare
        // them with the straightforward evaluation's).
        bool trace = false;
    };
    struct GameInput {
        const float* block = nullptr;   // the game's block of GameStatsCache
        int16_t otherFactors = 0;
        double spread = 0;              // as the grading sees it (0 while it is held)
        double total = 0;
        int awayScore = 0;
        int homeScore = 0;
        float savedSpread = 0;          // the game's own spread, for money-line units
    };
    struct Combination {
        float homeField = 0;
        float minDiff = 0;
        float maxDiff = 0;
        float turnover = 0;
        float multiplier = 0;
        int16_t offense = 0;
        int16_t defense = 0;
        int16_t rushing = 0;
        int16_t passing = 0;
    };
    struct Result {
        int32_t wins = 0;
        int32_t losses = 0;
        int32_t ties = 0;
        float moneyLineUnits = 0;
    };

    // The per-weight tables the evaluator keeps for its own evaluations while the game list
    // stands: the yards-per-point ratios depend on the four weights only, the turnover terms
    // on the turnover value only. They are emptied when they would pass their limit and when
    // the list changes.
    struct Pools {
        explicit Pools(std::size_t limitBytes = std::size_t{64} << 20) : limit(limitBytes) {}
        std::size_t limit;
        uint64_t generation = 0;
        std::unordered_map<uint64_t, std::size_t> ratioIndex;
        std::vector<float> ratioPool;
        std::unordered_map<uint32_t, std::size_t> turnoverIndex;
        std::vector<double> turnoverPool;
        void Clear();
        // Gives the memory back, not only the contents.
        void Release();
    };

    void Reset(const Settings& settings);
    // False when no pick of the game could ever count; such a game is left out.
    bool Add(const GameInput& game);
    std::size_t Size() const { return count_; }
    Result Evaluate(const Combination& combination);
    // Pads the list for evaluation; after it, Evaluate with the caller's tables only reads the
    // list, so several threads may evaluate at once (without a trace).
    void Prepare();
    // The tables a combination reads besides the list, for callers that keep their own: its
    // yards-per-point ratios (TableSize() home values, then as many away values), which depend
    // on its four weights only, and its turnover terms (TableSize() values), which depend on
    // its turnover value only. Evaluate with them only reads the list and the tables.
    std::size_t TableSize() const;
    void FillRatios(const Combination& combination, float* ratios) const;
    void FillTurnoverTerms(float turnover, double* terms) const;
    Result Evaluate(const Combination& combination, const float* ratios, const double* terms) const;
    // Gives back the memory of the list and of the pools.
    void Release();
    // With Settings::trace: the home and away scores of every game of the last evaluation.
    const std::vector<float>& Trace() const { return trace_; }

private:
    const float* Ratios(const Combination& c, Pools& pools) const;
    const double* TurnoverTerms(float turnover, Pools& pools) const;
    Result Run(const Combination& combination, const float* ratios, const double* terms, float* trace) const;

    Settings settings_;
    std::size_t count_ = 0;
    // Per game, in evaluation order.
    std::vector<double> homeYards12_, homeYards34_, awayYards56_, awayYards78_;
    std::vector<double> rate9_, rate10_, rate11_, rate12_, turnoverDiff_;
    std::vector<double> power14_, power15_, cliffHalf_, factorsHalf_, spread_, total_;
    // The result of each pick as a count in one of three bit fields (0 when it cannot count):
    // sides home and away, totals over and under.
    std::vector<uint64_t> firstPick_, secondPick_;
    std::vector<double> firstUnits_, secondUnits_;

    bool padded_ = false;
    // Changes with every change of the list, so pools built for an older list are emptied.
    uint64_t generation_ = 1;
    Pools pools_;
    std::vector<float> trace_;
};

} // namespace vexal
