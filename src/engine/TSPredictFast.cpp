// The engine's side of the fast evaluation: the list of a rolling window's games that pass
// every test independent of the combination, and the evaluation of a combination over it.
#include "TSPredict.h"

#include "EngineArrays.h"
#include "FastEvaluator.h"
#include "SeasonData.h"
#include "TSPredictInternals.h"

namespace vexal {

void TSPredict::BuildFastGames(Run& run, const GameOptions& options)
{
    if (!fast_)
        fast_ = std::make_unique<FastEvaluator>();
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

    SeasonData& season = Season();
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
            const std::size_t base = static_cast<std::size_t>(weekSlot) * 256 + static_cast<std::size_t>(g) * 16;
            if (base + 16 > GameStatsCache.size())
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
    FastEvaluator::Combination combination;
    combination.homeField = run.HomeField;
    combination.minDiff = run.MinDiff;
    combination.maxDiff = run.MaxDiff;
    combination.turnover = run.Turnover;
    combination.multiplier = run.Multiplier;
    combination.offense = run.Offense;
    combination.defense = run.Defense;
    combination.rushing = run.Rushing;
    combination.passing = run.Passing;
    const FastEvaluator::Result result = fast_->Evaluate(combination);
    if (scoreTrace_)
        scoreTrace_->insert(scoreTrace_->end(), fast_->Trace().begin(), fast_->Trace().end());
    tally.wins = static_cast<int16_t>(result.wins);
    tally.losses = static_cast<int16_t>(result.losses);
    tally.ties = static_cast<int16_t>(result.ties);
    tally.moneyLineUnits = result.moneyLineUnits;
    tally.gameEvaluations = fast_->Size() + run.FastDropped;
    tally.breakdownPending = run.ShowWeekly;
    return true;
}

} // namespace vexal
