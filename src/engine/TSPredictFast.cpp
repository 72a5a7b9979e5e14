// The engine's side of the fast evaluation: the list of a rolling window's games that pass
// every test independent of the combination, and the evaluation of a combination over it.
#include "TSPredict.h"

#include "EngineArrays.h"
#include "FastEvaluator.h"
#include "SeasonData.h"
#include "TSPredictInternals.h"

#include <algorithm>
#include <bit>
#include <thread>

#include <sched.h>

namespace vexal {

void TSPredict::BuildFastGames(Run& run, const GameOptions& options)
{
    if (!fast_)
        fast_ = std::make_unique<FastEvaluator>();
    // Every game option is named here, so a new one does not compile until it is placed: a
    // filter of which games count goes into SelectGame or PassesGradingFilters, which both
    // evaluations share; a rule of which side is picked goes into the settings below as well
    // as into the one-by-one grading.
    [[maybe_unused]] const auto& [powerRating, noLine, otherFactors, separateHomeAway, totalsMode, playedOnly,
                                  moneyLine, cliff, singleGame, homeTeam, awayTeam, homeOnly, awayOnly, favOrOver,
                                  dogOrUnder, lineFrom, lineTo, teaser, limitFirst, limitLast, firstWeek, lastWeek] =
        options;
    FastEvaluator::Settings settings;
    settings.totals = options.totalsMode;
    settings.power = options.powerRating;
    settings.cliff = options.cliff;
    settings.moneyLine = options.moneyLine;
    settings.homeOnly = options.homeOnly;
    settings.awayOnly = options.awayOnly;
    settings.favOrOver = options.favOrOver;
    settings.dogOrUnder = options.dogOrUnder;
    settings.teaser = options.teaser;
    settings.trace = scoreTrace_ != nullptr;
    fast_->Reset(settings);
    run.FastDropped = 0;

    SeasonData& season = host_.Seasons();
    const bool hold = options.noLine || options.moneyLine;
    const int first = std::max(options.firstWeek, 1);
    const int last = std::min<int>(options.lastWeek, season.WeekSlots);
    for (int w = first; w <= last; ++w) {
        const int weekSlot = w - 1;
        const int16_t* firstGame = engine::GameFields(season, weekSlot, 0);
        if (!firstGame)
            continue;
        if (firstGame[gfWeek] < options.limitFirst || firstGame[gfWeek] > options.limitLast)
            continue;
        for (int g = 0; g < GamesPerWeekSlot; ++g) {
            const int16_t* game = engine::GameFields(season, weekSlot, g);
            if (!game)
                continue;
            int16_t away = 0;
            int16_t home = 0;
            if (!SelectGame(options, game, away, home))
                continue;
            const std::size_t base = static_cast<std::size_t>(weekSlot) * engine::CacheWeekStride +
                                     static_cast<std::size_t>(g) * engine::CacheBlockValues;
            if (base + engine::CacheBlockValues > GameStatsCache.size())
                continue;
            const float* lines = engine::SpreadCell(season, weekSlot, g);
            const double spread = lines ? lines[0] : 0.0;
            const double total = lines ? lines[1] : 0.0;
            const double graded = hold ? 0.0 : spread;
            if (!PassesGradingFilters(run, options, weekSlot, graded, total, game[gfAwayScore]))
                continue;
            FastEvaluator::GameInput input;
            input.block = GameStatsCache.data() + base;
            input.otherFactors = OtherFactorsOf(options, game);
            input.spread = graded;
            input.total = total;
            input.awayScore = game[gfAwayScore];
            input.homeScore = game[gfHomeScore];
            input.savedSpread = static_cast<float>(spread);
            if (!fast_->Add(input))
                ++run.FastDropped;
        }
    }
    run.FastBuilt = true;
    run.FastGeneration = run.WindowGeneration;
    // The line range may have been put in order while the list was built.
    run.FastOptions = ReadGameOptions(run);
    run.Options = run.FastOptions;
}

bool TSPredict::EvaluateFast(Run& run, const GameOptions& options, Tally& tally)
{
    if (!run.FastBuilt || run.FastGeneration != run.WindowGeneration || !(run.FastOptions == options))
        BuildFastGames(run, options);
    const FastEvaluator::Combination combination = run.CurrentCombination();
    const FastEvaluator::Result result = fast_->Evaluate(combination);
    if (scoreTrace_)
        scoreTrace_->insert(scoreTrace_->end(), fast_->Trace().begin(), fast_->Trace().end());
    FastTally(run, result, tally);
    return true;
}

void TSPredict::FastTally(const Run& run, const FastEvaluator::Result& result, Tally& tally) const
{
    tally.wins = result.wins;
    tally.losses = result.losses;
    tally.ties = result.ties;
    tally.moneyLineUnits = result.moneyLineUnits;
    tally.gameEvaluations = fast_->Size() + run.FastDropped;
    tally.breakdownPending = run.ShowWeekly;
}

namespace {

// Fewer combinations left in a window than this are not worth starting threads for.
constexpr uint64_t AheadThreshold = 64;

bool SameCombination(const FastEvaluator::Combination& a, const FastEvaluator::Combination& b)
{
    auto bits = [](float v) { return std::bit_cast<uint32_t>(v); };
    return bits(a.homeField) == bits(b.homeField) && bits(a.minDiff) == bits(b.minDiff) &&
           bits(a.maxDiff) == bits(b.maxDiff) && bits(a.turnover) == bits(b.turnover) &&
           bits(a.multiplier) == bits(b.multiplier) && a.offense == b.offense && a.defense == b.defense &&
           a.rushing == b.rushing && a.passing == b.passing;
}

} // namespace

int TSPredict::EffectiveWorkerCount() const
{
    if (workerCount_ > 0)
        return workerCount_;
    // The processors this process may run on (a CPU set or affinity mask narrows them).
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

bool TSPredict::EvaluateAhead(Run& run, const GameOptions& options, Tally& tally)
{
    const bool listCurrent =
        run.FastBuilt && run.FastGeneration == run.WindowGeneration && run.FastOptions == options;
    if (!listCurrent && run.Ahead)
        run.Ahead->Stop();   // the list is about to be built again: no thread may read it
    const uint64_t j = run.WindowIndex;
    if (!(run.Ahead && run.Ahead->Started()) && !run.AheadRefused && !scoreTrace_) {
        if (!listCurrent)
            BuildFastGames(run, options);
        const uint64_t count = run.Window.Count();
        if (count > j && count - j >= AheadThreshold && fast_->Size() > 0) {
            fast_->Prepare();
            const int most = std::max(run.Workers - 1, 0);
            // A count the host set is used as it is; otherwise the cores the work pays for.
            const int helpers =
                workerCount_ > 0 ? most : GridWorkers::HelpersFor(count - j, fast_->Size(), most);
            if (!run.Ahead)
                run.Ahead = std::make_unique<GridWorkers>(most);
            run.Ahead->Start(*fast_, run.Window, j, count, helpers);
        } else {
            run.AheadRefused = true;
        }
    }
    if (run.Ahead && run.Ahead->Started()) {
        // Started means the list is the one of these options.
        GridWorkers& ahead = *run.Ahead;
        if (ahead.Next() == j && j < ahead.End() && SameCombination(run.CurrentCombination(), ahead.NextCombination())) {
            if (ahead.Helpers() > 0)
                ++aheadCombinations_;
            FastTally(run, ahead.Take(), tally);
            return true;
        }
        // The loops left the values the workers follow: the rest of the window goes one by one.
        ahead.Stop();
        run.AheadRefused = true;
    }
    return EvaluateFast(run, options, tally);
}

} // namespace vexal
