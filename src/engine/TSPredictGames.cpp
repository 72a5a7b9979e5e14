// The straightforward evaluation of a week: which games are evaluated, their statistics
// (prepared once per rolling window into GameStatsCache), the predicted scores, the cliff
// adjustment, the grading against the line and the week's line of the breakdown.
#include "TSPredict.h"

#include "CliffAdjustment.h"
#include "EngineArrays.h"
#include "FormulaLog.h"
#include "HelperThreads.h"
#include "MoneyLineTable.h"
#include "SeasonData.h"
#include "TSPredictInternals.h"
#include "VbConvert.h"
#include "WeekRange.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>

namespace vexal {

namespace {

constexpr const char* CrLf = "\r\n";
constexpr int16_t True = -1;
constexpr int16_t False = 0;
constexpr int16_t PickUnder = 100;
constexpr int16_t PickOver = 101;
// A window's games are prepared on several threads when its weeks have room for this many a
// thread; a thread claims a week at a time, so one put aside by the system holds back little.
constexpr std::size_t GamesPerThread = 256;

// The game's block of GameStatsCache, or nullptr outside it.
float* CacheBlock(std::vector<float>& cache, int weekSlot, int gameSlot)
{
    if (weekSlot < 0 || gameSlot < 0 || gameSlot >= GamesPerWeekSlot)
        return nullptr;
    const std::size_t base = static_cast<std::size_t>(weekSlot) * engine::CacheWeekStride +
                             static_cast<std::size_t>(gameSlot) * engine::CacheBlockValues;
    if (base + engine::CacheBlockValues > cache.size())
        return nullptr;
    return cache.data() + base;
}

// Puts the held spread back however the game's evaluation ends.
class SpreadHold {
public:
    SpreadHold(float* cell, bool hold, float& saved)
    {
        if (hold && cell) {
            saved = cell[0];
            cell[0] = 0;
            cell_ = cell;
            value_ = saved;
        }
    }
    ~SpreadHold()
    {
        if (cell_)
            cell_[0] = value_;
    }
    SpreadHold(const SpreadHold&) = delete;
    SpreadHold& operator=(const SpreadHold&) = delete;

private:
    float* cell_ = nullptr;
    float value_ = 0;
};

} // namespace

bool TSPredict::SelectGame(const GameOptions& options, const int16_t* game, int16_t& away, int16_t& home)
{
    // Played rule: a back-test evaluates played games only.
    if (options.playedOnly && !(game[gfAwayScore] + game[gfHomeScore] > 0))
        return false;
    if (options.singleGame) {
        away = options.awayTeam;
        home = options.homeTeam;
    } else {
        away = game[gfAwayTeam];
        home = game[gfHomeTeam];
    }
    // An empty slot, also in single-game mode.
    if (!(game[gfAwayTeam] != 0 || game[gfHomeTeam] != 0))
        return false;
    if (options.homeTeam == 0 && options.awayTeam == 0)
        return true;
    if (options.separateHomeAway)
        return away == options.awayTeam || home == options.homeTeam;
    return away == options.homeTeam || away == options.awayTeam || home == options.homeTeam ||
           home == options.awayTeam;
}

int16_t TSPredict::OtherFactorsOf(const GameOptions& options, const int16_t* game)
{
    if (!options.otherFactors)
        return 0;
    const int sum = game[gfInjury] + game[gfWeather] + game[gfPsychological] + game[gfSituational];
    // A sum beyond the Integer range cannot be kept; such a game gets no factor.
    if (sum < INT16_MIN || sum > INT16_MAX)
        return 0;
    return static_cast<int16_t>(sum);
}

void TSPredict::EvaluateWeek(Run& run, const GameOptions& options, int w, Tally& tally)
{
    ClearWeeklyTable(WeeklyTable);
    const int weekSlot = w - 1;

    // The power ratings of the week, once per rolling window, rated with the combination's
    // window.
    if (options.powerRating && !run.StatsPrepared)
        PowerRatings(static_cast<int16_t>(w), 0, RunStatisticsOptions(run), nullptr);

    int16_t weekWins = 0;
    int16_t weekLosses = 0;
    int16_t weekTies = 0;
    const int16_t* first = engine::GameFields(host_.Seasons(), weekSlot, 0);
    if (!first)
        return;
    const int weekNumber = first[gfWeek];
    if (weekNumber < options.limitFirst || weekNumber > options.limitLast)
        return;
    for (int g = 0; g < GamesPerWeekSlot; ++g)
        EvaluateGame(run, options, w, g, tally, weekWins, weekLosses, weekTies);
    CloseWeek(run, w, tally, weekWins, weekLosses, weekTies);
}

void TSPredict::EvaluateGame(Run& run, const GameOptions& options, int w, int g, Tally& tally, int16_t& weekWins,
                             int16_t& weekLosses, int16_t& weekTies)
{
    SeasonData& season = host_.Seasons();
    const int weekSlot = w - 1;
    const int16_t* game = engine::GameFields(season, weekSlot, g);
    if (!game)
        return;
    // With no line or money lines every comparison with the spread sees 0; the spread is put
    // back however this game's evaluation ends.
    float* lines = engine::SpreadCell(season, weekSlot, g);
    const bool hold = options.noLine || options.moneyLine;
    if (hold && !lines)
        SavedSpread = 0;
    SpreadHold spreadHold(lines, hold, SavedSpread);

    int16_t away = 0;
    int16_t home = 0;
    if (!SelectGame(options, game, away, home))
        return;
    OtherFactorsSum = OtherFactorsOf(options, game);
    float* c = CacheBlock(GameStatsCache, weekSlot, g);
    if (!c)
        return;
    if (!run.StatsPrepared && !run.BlocksPrepared)
        PrepareGameStatistics(run, w, away, home, c);

    const double R = run.Rushing;
    const double P = run.Passing;
    const double O = run.Offense;
    const double D = run.Defense;
    ScoreWork[4] = static_cast<float>((R * (static_cast<double>(c[1]) + static_cast<double>(c[2])) +
                                       P * (static_cast<double>(c[3]) + static_cast<double>(c[4]))) / 100.0);
    ScoreWork[5] = static_cast<float>((R * (static_cast<double>(c[5]) + static_cast<double>(c[6])) +
                                       P * (static_cast<double>(c[7]) + static_cast<double>(c[8]))) / 100.0);
    ScoreWork[6] = static_cast<float>((O * static_cast<double>(c[9]) + D * static_cast<double>(c[10])) / 100.0);
    ScoreWork[7] = static_cast<float>((O * static_cast<double>(c[11]) + D * static_cast<double>(c[12])) / 100.0);
    const float homeRatio =
        ScoreWork[6] == 0 ? 0.0f : static_cast<float>(static_cast<double>(ScoreWork[4]) / static_cast<double>(ScoreWork[6]));
    const float awayRatio =
        ScoreWork[7] == 0 ? 0.0f : static_cast<float>(static_cast<double>(ScoreWork[5]) / static_cast<double>(ScoreWork[7]));
    const double M = run.Multiplier;
    const double H = run.HomeField;
    const double T = run.Turnover;
    const double factors = OtherFactorsSum;
    ScoreWork[8] = static_cast<float>(M * homeRatio + H / 2.0 - T * static_cast<double>(c[13]) / 10.0 + factors / 2.0);
    ScoreWork[9] = static_cast<float>(M * awayRatio - H / 2.0 + T * static_cast<double>(c[13]) / 10.0 - factors / 2.0);

    if (options.powerRating) {
        if (!run.StatsPrepared) {
            // Team codes outside 1..32 have no rating: no adjustment.
            if (home >= 1 && home <= 32 && away >= 1 && away <= 32) {
                const auto& h = PowerTable[static_cast<std::size_t>(home)];
                const auto& a = PowerTable[static_cast<std::size_t>(away)];
                c[14] = static_cast<float>((static_cast<double>(h[1]) - h[4]) / 2 - (static_cast<double>(a[2]) - a[5]) / 2);
                c[15] = static_cast<float>((static_cast<double>(a[1]) - a[4]) / 2 - (static_cast<double>(h[2]) - h[5]) / 2);
            } else {
                c[14] = 0;
                c[15] = 0;
            }
        }
        ScoreWork[8] = static_cast<float>(static_cast<double>(ScoreWork[8]) + c[14]);
        ScoreWork[9] = static_cast<float>(static_cast<double>(ScoreWork[9]) + c[15]);
    }
    if (options.cliff)
        CliffAdjustScores(c[0]);
    if (ScoreWork[8] < 0)
        ScoreWork[8] = 0;
    if (ScoreWork[9] < 0)
        ScoreWork[9] = 0;
    WeeklyTable[static_cast<std::size_t>(g)][1] = std::string();
    WeeklyTable[static_cast<std::size_t>(g)][2] = ScoreWork[8];
    WeeklyTable[static_cast<std::size_t>(g)][3] = ScoreWork[9];
    GradeGame(run, options, w, g, tally, weekWins, weekLosses, weekTies);
}

void TSPredict::PrepareGameStatistics(Run& run, int w, int16_t away, int16_t home, float* block)
{
    const StatisticsOptions options = RunStatisticsOptions(run);
    const int16_t games = engine::SaturatingCInt(currentRollingWeeks_);
    const int16_t week = static_cast<int16_t>(w);
    RollingStatistics(away, week, games, false, options);
    RollingStatistics(home, week, games, true, options);

    engine::FillBlock(TeamAverages, OppAverages, block);
}

void engine::FillBlock(TSPredict::AveragesArray& home, const TSPredict::AveragesArray& away, float* block)
{
    home[30] = static_cast<float>(static_cast<double>(home[30]) - away[30]);
    block[1] = home[2];
    block[2] = away[3];
    block[3] = home[4];
    block[4] = away[5];
    block[5] = away[2];
    block[6] = home[3];
    block[7] = away[4];
    block[8] = home[5];
    block[9] = home[6];
    block[10] = away[7];
    block[11] = away[6];
    block[12] = home[7];
    block[13] = home[30];
    // The projected home possession of the cliff adjustment, kept with the game so that cached
    // evaluations use this game's averages.
    block[0] = static_cast<float>((static_cast<double>(away[33]) + home[32]) / 2);
}

bool TSPredict::PrepareWindowBlocks(Run& run, const GameOptions& options)
{
    // The power ratings are rated week by week between the games, and a host that watches the
    // statistics sees every game's; both need the games one after another.
    if (run.Workers < 2 || options.powerRating || Stats)
        return false;
    const SeasonData& season = host_.Seasons();
    const int first = std::max(options.firstWeek, 1);
    const int last = std::min<int>(options.lastWeek, season.WeekSlots);
    if (last < first || static_cast<std::size_t>(last - first + 1) * GamesPerWeekSlot / GamesPerThread < 2)
        return false;

    // The games the straightforward evaluation prepares, and how it finds them.
    struct Game {
        float* block = nullptr;
        int16_t away = 0;
        int16_t home = 0;
    };
    auto gameOf = [&](int w, int g) {
        Game found;
        const int weekSlot = w - 1;
        const int16_t* game = engine::GameFields(season, weekSlot, g);
        if (game && SelectGame(options, game, found.away, found.home))
            found.block = CacheBlock(GameStatsCache, weekSlot, g);
        return found;
    };
    auto weekCounts = [&](int w) {
        const int16_t* firstGame = engine::GameFields(season, w - 1, 0);
        return firstGame && firstGame[gfWeek] >= options.limitFirst && firstGame[gfWeek] <= options.limitLast;
    };

    const StatisticsOptions statistics = RunStatisticsOptions(run);
    const int16_t rolling = engine::SaturatingCInt(currentRollingWeeks_);
    std::atomic<int> nextWeek{first};
    std::atomic<bool> inOrderOnly{false};
    const std::function<void()> work = [&] {
        TotalsArray homeTotals{}, awayTotals{};
        AveragesArray homeAverages{}, awayAverages{};
        int16_t seasonStart = 0;
        for (int w = nextWeek.fetch_add(1, std::memory_order_relaxed); w <= last;
             w = nextWeek.fetch_add(1, std::memory_order_relaxed)) {
            if (!weekCounts(w))
                continue;
            for (int g = 0; g < GamesPerWeekSlot; ++g) {
                const Game game = gameOf(w, g);
                if (!game.block)
                    continue;
                // A side with no team leaves the previous game's averages in place: only the
                // games in order give those.
                if (game.away < 0 || game.home < 0) {
                    inOrderOnly.store(true, std::memory_order_relaxed);
                    return;
                }
                const int16_t week = static_cast<int16_t>(w);
                engine::RollingSide(season, awayTotals, awayAverages, seasonStart, game.away, week, rolling, false,
                                    statistics);
                engine::RollingSide(season, homeTotals, homeAverages, seasonStart, game.home, week, rolling, true,
                                    statistics);
                engine::FillBlock(homeAverages, awayAverages, game.block);
            }
        }
    };
    if (!run.Helpers)
        run.Helpers = std::make_unique<HelperThreads>(run.Workers - 1);
    run.Helpers->Run(work);
    if (inOrderOnly.load())
        return false;
    // The control's own arrays end as the games one after another leave them.
    for (int w = last; w >= first; --w) {
        if (!weekCounts(w))
            continue;
        for (int g = GamesPerWeekSlot - 1; g >= 0; --g) {
            const Game game = gameOf(w, g);
            if (game.block) {
                PrepareGameStatistics(run, w, game.away, game.home, game.block);
                return true;
            }
        }
    }
    return true;
}

StatisticsOptions TSPredict::RunStatisticsOptions(const Run& run) const
{
    // The combination's rolling window with the run's own switches, so the season-to-date
    // decision is the one a saved formula with that window makes.
    StatisticsOptions options;
    options.RollingWeeks = currentRollingWeeks_;
    options.SeparateHomeAway = run.L(fsSeparateHomeAway) != 0;
    options.DiscardHighLow = run.L(fsDiscardHighLow) == 1;
    return options;
}

void TSPredict::CliffAdjustScores(float top)
{
    const int a = CliffAdjustment(top);
    ScoreWork[8] = static_cast<float>(static_cast<double>(ScoreWork[8]) + a / 2.0);
    ScoreWork[9] = static_cast<float>(static_cast<double>(ScoreWork[9]) - a / 2.0);
}

bool TSPredict::PassesGradingFilters(Run& run, const GameOptions& options, int weekSlot, double spread,
                                     double total, int awayScore)
{
    // Line range; the caller's Low keeps the exchanged order.
    if (run.L(fsLineStart) != 99) {
        if (run.L(fsLineStart) > run.L(fsLineEnd)) {
            if (static_cast<std::size_t>(fsLineEnd) < run.Low.size())
                TSPredict::swap(run.Low[fsLineStart], run.Low[fsLineEnd]);
        }
        const double from = run.L(fsLineStart);
        const double to = run.L(fsLineEnd);
        if (options.totalsMode) {
            if (!(from <= total && total <= to))
                return false;
        } else if (from < 100 && to < 100) {
            if (!(from <= spread && spread <= to))
                return false;
        } else {
            const double size = std::fabs(static_cast<float>(spread));
            if (!(from - 100 <= size && size <= to - 100))
                return false;
        }
    }
    // Season to date has no earlier games in a season's first week: no play there.
    if (currentRollingWeeks_ <= 0 && SeasonStartWeek(host_.Seasons(), static_cast<int16_t>(weekSlot)) == weekSlot)
        return false;
    if (options.totalsMode && !(awayScore + total != 0))
        return false;
    return true;
}

void TSPredict::GradeGame(Run& run, const GameOptions& options, int w, int g, Tally& tally, int16_t& weekWins,
                          int16_t& weekLosses, int16_t& weekTies)
{
    SeasonData& season = host_.Seasons();
    const int weekSlot = w - 1;
    const int16_t* game = engine::GameFields(season, weekSlot, g);
    const float* lines = engine::SpreadCell(season, weekSlot, g);
    const double S = lines ? lines[0] : 0.0;
    const double L = lines ? lines[1] : 0.0;
    const int awayScore = game[gfAwayScore];
    const int homeScore = game[gfHomeScore];
    auto& row = WeeklyTable[static_cast<std::size_t>(g)];

    if (!PassesGradingFilters(run, options, weekSlot, S, L, awayScore))
        return;
    ++tally.gameEvaluations;
    if (scoreTrace_) {
        scoreTrace_->push_back(ScoreWork[8]);
        scoreTrace_->push_back(ScoreWork[9]);
    }

    const double minDiff = run.MinDiff;
    const double maxDiff = run.MaxDiff;
    const double ph = ScoreWork[8];
    const double pa = ScoreWork[9];
    const double t = options.teaser;
    const float fav = options.favOrOver;
    const float dog = options.dogOrUnder;
    auto record = [&](int outcome) {
        if (outcome == 0) {
            row[1] = std::string("Win");
            ++weekWins;
        } else if (outcome == 1) {
            row[1] = std::string("Loss");
            ++weekLosses;
        } else {
            row[1] = std::string("Tie");
            ++weekTies;
        }
    };

    if (options.totalsMode) {
        ActualTotal = static_cast<int16_t>(awayScore + homeScore);
        PredictedTotal = static_cast<float>(ph + pa);
        const double predicted = PredictedTotal;
        int16_t pick = 0;
        if (L + minDiff < predicted && predicted < L + maxDiff && (fav == 10 || (fav < 10 && dog < 10)))
            pick = PickOver;
        if (L - maxDiff < predicted && predicted < L - minDiff && (dog == 10 || (dog < 10 && fav < 10)))
            pick = PickUnder;
        row[0] = pick;
        if (pick == 0) {
            row[1] = std::string();
            return;
        }
        const double actual = ActualTotal;
        if (pick == PickOver)
            record(actual + t > L ? 0 : actual + t == L ? 2 : 1);
        else
            record(actual - t < L ? 0 : actual - t == L ? 2 : 1);
        return;
    }

    row[0] = int16_t(-1);
    auto addUnits = [&](float units) {
        tally.moneyLineUnits = static_cast<float>(static_cast<double>(tally.moneyLineUnits) + units);
    };
    auto subtractUnits = [&](float units) {
        tally.moneyLineUnits = static_cast<float>(static_cast<double>(tally.moneyLineUnits) - units);
    };
    if (pa + minDiff < ph + S && ph + S < pa + maxDiff) {
        if (options.awayOnly != 0)
            return;
        if (!((fav == 1 && S < 0) || (dog == 1 && S > 0) || (fav == 0 && dog == 0) || fav == 10 || dog == 10))
            return;
        row[0] = game[gfHomeTeam];
        const double x = homeScore + S + t;
        if (awayScore == x) {
            record(2);
        } else if (awayScore < x) {
            record(0);
            addUnits(SavedSpread > 0 ? SpreadToMoneyLineFactor(SavedSpread, True) : 1.0f);
        } else {
            record(1);
            subtractUnits(SavedSpread < 0 ? SpreadToMoneyLineFactor(SavedSpread, False) : 1.0f);
        }
    } else if (ph + minDiff < pa - S && pa - S < ph + maxDiff) {
        if (options.homeOnly != 0)
            return;
        if (!((fav == 1 && S > 0) || (dog == 1 && S < 0) || (fav == 0 && dog == 0)))
            return;
        row[0] = game[gfAwayTeam];
        const double y = awayScore - S + t;
        if (homeScore == y) {
            record(2);
        } else if (homeScore < y) {
            record(0);
            addUnits(SavedSpread < 0 ? SpreadToMoneyLineFactor(SavedSpread, True) : 1.0f);
        } else {
            record(1);
            subtractUnits(SavedSpread >= 0 ? SpreadToMoneyLineFactor(SavedSpread, False) : 1.0f);
        }
    }
}

void TSPredict::CloseWeek(Run& run, int w, Tally& tally, int16_t weekWins, int16_t weekLosses, int16_t weekTies)
{
    tally.wins += weekWins;
    tally.losses += weekLosses;
    tally.ties += weekTies;
    if (!run.ShowWeekly)
        return;
    std::string& text = tally.breakdown;
    if (text.empty()) {
        text += std::string(12, ' ') + "Weekly" + std::string(12, ' ') + "Season" + CrLf;
        text += "Week" + std::string(8, ' ') + "W-L-T" + std::string(2, ' ') + "Win%" + std::string(7, ' ') + "W-L-T" +
                std::string(6, ' ') + "Win%" + CrLf + CrLf;
    }
    auto percent = [](int wins, int losses) {
        if (wins > 0)
            return vb::Format(static_cast<double>(wins) / (wins + losses) * 100, "0.00");
        return std::string("0.00");
    };
    const std::string weekPercent = percent(weekWins, weekLosses);
    const std::string seasonPercent = percent(tally.wins, tally.losses);
    std::string label;
    const auto& items = host_.Seasons().WeekItems;
    if (w >= 1 && static_cast<std::size_t>(w - 1) < items.size())
        label = vb::Mid(items[static_cast<std::size_t>(w - 1)], 4);
    text += FormulaLog::PadTo(label, 12);
    text += FormulaLog::PadTo(vb::CStrInt(weekWins) + "-" + vb::CStrInt(weekLosses) + "-" + vb::CStrInt(weekTies), 7);
    text += weekPercent + "%" + std::string(weekPercent.size() < 10 ? 10 - weekPercent.size() : 0, ' ');
    text += FormulaLog::PadTo(vb::CStrInt(tally.wins) + "-" + vb::CStrInt(tally.losses) + "-" + vb::CStrInt(tally.ties), 11);
    text += seasonPercent + "%" + CrLf;
}

} // namespace vexal
