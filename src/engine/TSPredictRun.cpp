// A formula test run: its set-up and log header, the grid and quick searches, the result of
// every combination (formula files, log lines, best and worst rows, progress, the stop
// request) and the run end.
#include "TSPredict.h"

#include "EngineArrays.h"
#include "FlagScope.h"
#include "FormulaFile.h"
#include "SeasonData.h"
#include "Steps.h"
#include "TSPredictInternals.h"
#include "VbConvert.h"
#include "VbError.h"

#include <cmath>

namespace vexal {

namespace {

constexpr const char* CrLf = "\r\n";

// A counting loop over Singles: the limit and step are fixed when it starts, the counter is
// compared before each pass. A step too small to move the counter ends the loop instead of
// running for ever.
template <class Body>
bool ForSingle(float start, float limit, float step, Body body)
{
    for (float x = start; x <= limit;) {
        if (!body(x))
            return false;
        const float next = x + step;
        if (!(next > x))
            break;
        x = next;
    }
    return true;
}

template <class Body>
bool ForInteger(int start, int limit, int step, Body body)
{
    for (int x = start; x <= limit; x += step) {
        if (!body(x))
            return false;
    }
    return true;
}

std::string Number(float v)
{
    return vb::CStrSingle(v);
}

// A share done as Progress shows it, "0.0" pattern; a count that cannot be divided shows 0.
// A run's text changes once in many reports, so the last one is kept with the values that
// surely show it: those farther inside its rounding interval than the formatting's fifteen
// significant digits could move them.
std::string PercentText(double percent)
{
    if (!std::isfinite(percent))
        return "0.0";
    thread_local double low = 1;
    thread_local double high = 0;
    thread_local std::string text;
    if (percent > low && percent < high)
        return text;
    text = vb::Format(percent, "0.0");
    low = 1;
    high = 0;
    if (percent >= 0 && percent < 1e6) {
        const double shown = vb::Val(text);
        low = shown - 0.05 + 1e-6;
        high = shown + 0.05 - 1e-6;
    }
    return text;
}

} // namespace

void TSPredict::TestFormulas(const TestRequest& request)
{
    // A host event handler that runs inside a yield of this call must not start another run:
    // the arrays and counters of the running one would be overwritten under it.
    if (running_)
        return;
    const FlagScope runningFlag(running_);

    Run run;
    run.SortByWin = request.SortByWin;
    run.HomeTeam = request.HomeTeam;
    run.AwayTeam = request.AwayTeam;
    run.Low = request.Low;
    run.High = request.High;
    run.SaveFormulas = request.SaveFormulas;
    run.Filters = request.Filters;
    run.ShowWeekly = request.ShowWeekly;
    run.QuickMode = request.QuickMode;
    run.SingleGame = request.SingleGame;
    run.PlayedGamesOnly = request.PlayedGamesOnly;

    gameEvaluations_ = 0;
    fastCombinations_ = 0;
    aheadCombinations_ = 0;
    // A run whose every evaluation returns at once (a stop set before it began) must not hand
    // the host the table of an earlier call.
    ClearWeeklyTable(WeeklyTable);

    BeginRun(run);
    if (run.QuickMode == 0)
        GridSearch(run);
    else
        QuickSearch(run);
    // The workers are done with the game list; a finished run keeps none of its memory.
    run.Ahead.reset();
    fast_.reset();
    if (run.Stopped)
        return;
    EndRun(run);
}

void TSPredict::BeginRun(Run& run)
{
    // 1. The statistics cache, all zero, a block per game slot.
    const long weekSlots = std::max<long>(host_.Seasons().WeekSlots, 0);
    GameStatsCache.assign(static_cast<std::size_t>(weekSlots) * engine::CacheWeekStride + engine::CacheWeekStride, 0.0f);

    // 3. The week limit packed into slots 18 and 19 by the Test Formula window.
    if (run.L(fsHomeOnly) > 9 && run.L(fsAwayOnly) > 9) {
        SkipStep([&] { run.LimitFirstWeek = vb::CInt(static_cast<double>(run.L(fsHomeOnly)) / 10); });
        SkipStep([&] { run.LimitLastWeek = vb::CInt(static_cast<double>(run.L(fsAwayOnly)) / 10); });
        SkipStep([&] { run.SetL(fsHomeOnly, static_cast<float>(vb::CInt(run.L(fsHomeOnly)) % 10)); });
        SkipStep([&] { run.SetL(fsAwayOnly, static_cast<float>(vb::CInt(run.L(fsAwayOnly)) % 10)); });
    } else {
        run.LimitFirstWeek = 0;
        run.LimitLastWeek = 23;
    }

    // 4. Starting working values, taken before the ranges are put in order.
    if (run.L(fsMultiplier) > 0)
        run.Multiplier = run.L(fsMultiplier);
    if (run.L(fsHomeField) >= 0)
        run.HomeField = run.L(fsHomeField);
    if (run.L(fsMaxDiff) > 0)
        run.MaxDiff = run.L(fsMaxDiff);
    if (run.L(fsMinDiff) >= 0)
        run.MinDiff = run.L(fsMinDiff);
    if (run.L(fsOffense) >= 0)
        run.Offense = engine::SaturatingCInt(run.L(fsOffense));
    if (run.L(fsDefense) >= 0)
        run.Defense = engine::SaturatingCInt(run.L(fsDefense));
    if (run.L(fsRushing) >= 0)
        run.Rushing = engine::SaturatingCInt(run.L(fsRushing));
    if (run.L(fsPassing) >= 0)
        run.Passing = engine::SaturatingCInt(run.L(fsPassing));
    if (run.L(fsTurnovers) >= 0)
        run.Turnover = run.L(fsTurnovers);

    // 5. Every searched range in order, low to high.
    for (int k : {fsRollingWeeks, fsHomeField, fsMinDiff, fsMaxDiff, fsOffense, fsRushing, fsTurnovers, fsMultiplier}) {
        if (run.L(k) > run.H(k))
            run.SwapRange(k);
    }

    // 6. The log and its header.
    if (run.SaveFormulas)
        WriteLogHeader(run);
}

void TSPredict::WriteLogHeader(Run& run)
{
    if (!run.Log.Open(host_.OutputFolder() / FormulaLogName))
        return;
    const double now = clock_();
    const Formula& cf = host_.CurrentFormula();
    std::string text;
    text += std::string(55, '=') + CrLf;
    text += std::string(ProductWebAddress) + " - The following formula list was " + CrLf;
    text += std::string(19, ' ') + "started on " + FormulaLog::DateText(now) + " at " + FormulaLog::TimeText(now) + CrLf;
    text += std::string(55, '=') + CrLf;
    if (run.L(fsTotalsMode) == 1) {
        text += std::string("These Formulas were generated for Over/Unders") + CrLf;
        if (cf[fsDogOrUnder] == 10)
            text += std::string("with the Unders Only checkbox selected.") + CrLf;
        if (cf[fsFavOrOver] == 10)
            text += std::string("with the Overs Only checkbox selected.") + CrLf;
    } else {
        text += std::string("These Formulas were generated for Sides") + CrLf;
        if (cf[fsHomeOnly] == 1)
            text += std::string("with the 'Home only' checkbox selected") + CrLf;
        if (cf[fsAwayOnly] == 1)
            text += std::string("with the 'Away only' checkbox selected") + CrLf;
        SkipStep([&] {
            const int home = vb::CInt(cf[fsHomeOnly]);
            const int away = vb::CInt(cf[fsAwayOnly]);
            const int fav = vb::CInt(cf[fsFavOrOver]);
            const int dog = vb::CInt(cf[fsDogOrUnder]);
            if (((home | away) & (fav | dog)) != 0)
                text += "and ";
        });
        if (cf[fsFavOrOver] == 1)
            text += std::string("with the 'Favorite only' checkbox selected") + CrLf;
        if (cf[fsDogOrUnder] == 1)
            text += std::string("with the 'Underdog only' checkbox selected") + CrLf;
    }
    text += std::string(52, '=') + CrLf;
    text += std::string("Formula Ranges used were as follows:") + CrLf;
    {
        // A week the selector does not hold loses this line only.
        const auto& items = host_.Seasons().WeekItems;
        const int from = engine::SaturatingCInt(static_cast<double>(run.L(fsCurrentWeek)) - 1);
        const int to = engine::SaturatingCInt(static_cast<double>(run.H(fsCurrentWeek)) - 1);
        if (from >= 0 && to >= 0 && static_cast<std::size_t>(from) < items.size() &&
            static_cast<std::size_t>(to) < items.size())
            text += "Run from " + items[static_cast<std::size_t>(from)] + " to " + items[static_cast<std::size_t>(to)] + CrLf;
    }
    auto range = [&](const char* title, int k) {
        text += std::string(title) + Number(run.L(k)) + " - " + Number(run.H(k)) + CrLf;
    };
    range("Rolling Average:", fsRollingWeeks);
    range("Min. Point Diff.:", fsMinDiff);
    range("Max. Point Diff.:", fsMaxDiff);
    range("Home Field Adv.:", fsHomeField);
    range("% Offense:", fsOffense);
    range("% Defense:", fsDefense);
    range("% Rushing:", fsRushing);
    range("% Passing:", fsPassing);
    range("Turnovers:", fsTurnovers);
    range("Multiplier:", fsMultiplier);
    if (run.L(fsPowerRating) == 1)
        text += std::string("Power Ratings were ON") + CrLf;
    if (run.L(fsSeparateHomeAway) == 1)
        text += std::string("Separate Home/Away was ON") + CrLf;
    if (run.L(fsNoLine) == 1)
        text += std::string("No Line option was ON") + CrLf;
    text += CrLf;
    text += "Unit win rate between " + Number(run.F(0)) + " - " + Number(run.F(1)) + CrLf;
    text += "Win percentage between " + Number(run.F(2)) + " - " + Number(run.F(3)) + CrLf;
    text += CrLf;
    text += "Formula" + std::string(8, ' ') + "W-L-T" + std::string(5, ' ') + "Winning%" + std::string(2, ' ') +
            "Unit Win" + CrLf;
    run.Log.Print(text);
}

void TSPredict::GridSearch(Run& run)
{
    // The expected count, from the ordered ranges, before the caps; not made whole.
    {
        const auto L = [&](int k) { return static_cast<double>(run.L(k)); };
        const auto H = [&](int k) { return static_cast<double>(run.H(k)); };
        const double total = (1 + H(9) - L(9)) * (1 + H(0) - L(0)) * (1 + H(1) - L(1)) * (1 + H(2) - L(2)) *
                             ((5 + H(3) - L(3)) / 5) * ((5 + H(6) - L(6)) / 5) * (1 + H(7) - L(7)) *
                             ((H(8) + 0.1 - L(8)) / 0.1);
        // Rounded as a Single: that takes the product of one-value ranges, which the
        // multiplier's tenths leave a hair off 1, to exactly 1 (a prediction of one formula).
        StartCount(static_cast<float>(total));
    }
    if (run.H(fsOffense) > 100)
        run.SetH(fsOffense, 100);
    if (run.H(fsRushing) > 100)
        run.SetH(fsRushing, 100);

    run.Grid = true;
    run.Workers = EffectiveWorkerCount();
    ForSingle(run.L(fsRollingWeeks), run.H(fsRollingWeeks), 1.0f, [&](float rolling) {
        currentRollingWeeks_ = rolling;
        run.StatsPrepared = false;
        ++run.WindowGeneration;
        StartGridWindow(run);
        return ForSingle(run.L(fsHomeField), run.H(fsHomeField), 1.0f, [&](float homeField) {
            run.HomeField = homeField;
            return ForSingle(run.L(fsMinDiff), run.H(fsMinDiff), 1.0f, [&](float minDiff) {
                run.MinDiff = minDiff;
                return ForSingle(run.L(fsMaxDiff), run.H(fsMaxDiff), 1.0f, [&](float maxDiff) {
                    run.MaxDiff = maxDiff;
                    const int offenseFrom = engine::SaturatingCInt(run.L(fsOffense));
                    const int offenseTo = engine::SaturatingCInt(run.H(fsOffense));
                    return ForInteger(offenseFrom, offenseTo, 5, [&](int offense) {
                        run.Offense = static_cast<int16_t>(offense);
                        run.Defense = static_cast<int16_t>(100 - offense);
                        const int rushingFrom = engine::SaturatingCInt(run.L(fsRushing));
                        const int rushingTo = engine::SaturatingCInt(run.H(fsRushing));
                        return ForInteger(rushingFrom, rushingTo, 5, [&](int rushing) {
                            run.Rushing = static_cast<int16_t>(rushing);
                            run.Passing = static_cast<int16_t>(100 - rushing);
                            return ForSingle(run.L(fsTurnovers), run.H(fsTurnovers), 1.0f, [&](float turnover) {
                                run.Turnover = turnover;
                                const float limit = static_cast<float>(static_cast<double>(run.H(fsMultiplier)) + 0.05);
                                return ForSingle(run.L(fsMultiplier), limit, 0.1f, [&](float multiplier) {
                                    run.Multiplier = multiplier;
                                    EvaluateCombination(run);
                                    ++run.WindowIndex;
                                    return !run.Stopped;
                                });
                            });
                        });
                    });
                });
            });
        });
    });
}

void TSPredict::StartGridWindow(Run& run)
{
    if (run.Ahead)
        run.Ahead->Stop();
    run.AheadRefused = false;
    run.WindowIndex = 0;
    GridWindow& w = run.Window;
    w = GridWindow{};
    auto singles = [&](std::vector<float>& values, int k) {
        ForSingle(run.L(k), run.H(k), 1.0f, [&](float x) {
            values.push_back(x);
            return true;
        });
    };
    auto integers = [&](std::vector<int16_t>& values, int k) {
        ForInteger(engine::SaturatingCInt(run.L(k)), engine::SaturatingCInt(run.H(k)), 5, [&](int x) {
            values.push_back(static_cast<int16_t>(x));
            return true;
        });
    };
    singles(w.homeField, fsHomeField);
    singles(w.minDiff, fsMinDiff);
    singles(w.maxDiff, fsMaxDiff);
    integers(w.offense, fsOffense);
    integers(w.rushing, fsRushing);
    singles(w.turnover, fsTurnovers);
    ForSingle(run.L(fsMultiplier), static_cast<float>(static_cast<double>(run.H(fsMultiplier)) + 0.05), 0.1f,
              [&](float x) {
                  w.multiplier.push_back(x);
                  return true;
              });
}

void TSPredict::QuickSearch(Run& run)
{
    // 1. The count: the values of every swept slot, twice, plus one, for each rolling window.
    // Each slot's number of values is rounded as a Single (the multiplier's tenths come out a
    // hair off a whole number); their sum and the total are held whole however wide the ranges.
    double swept = 0;
    auto count = [&](int k, double step) {
        const double width = static_cast<double>(run.H(k)) - run.L(k);
        if (width > 0)
            swept += static_cast<float>(width / step + 1);
    };
    count(fsHomeField, 0.5);
    count(fsMinDiff, 1);
    count(fsMaxDiff, 1);
    count(fsOffense, 5);
    count(fsRushing, 5);
    count(fsTurnovers, 1);
    count(fsMultiplier, 0.1);
    const double windows = static_cast<double>(run.H(fsRollingWeeks)) - run.L(fsRollingWeeks);
    StartCount((2.0 * swept) * (windows + 1) + 1 + windows);

    // 2. Every slot starts in the middle of its range.
    auto middle = [&](int k) {
        const float mid = static_cast<float>((static_cast<double>(run.L(k)) + run.H(k)) / 2);
        return static_cast<float>(vb::Val(vb::FormatSingle(mid, "0.0")));
    };
    run.MinDiff = middle(fsMinDiff);
    run.MaxDiff = middle(fsMaxDiff);
    run.Multiplier = middle(fsMultiplier);
    run.HomeField = middle(fsHomeField);
    run.Turnover = middle(fsTurnovers);
    run.Passing = engine::SaturatingCInt(vb::Int((static_cast<double>(run.L(fsPassing)) + run.H(fsPassing)) / 2));
    run.Rushing = static_cast<int16_t>(100 - run.Passing);
    run.Offense = engine::SaturatingCInt(vb::Int((static_cast<double>(run.L(fsOffense)) + run.H(fsOffense)) / 2));
    run.Defense = static_cast<int16_t>(100 - run.Offense);

    // 3. The best row starts as the start point.
    BestRow[rrMinDiff] = run.MinDiff;
    BestRow[rrMaxDiff] = run.MaxDiff;
    BestRow[rrMultiplier] = run.Multiplier;
    BestRow[rrHomeField] = run.HomeField;
    BestRow[rrTurnovers] = run.Turnover;
    BestRow[rrPassing] = run.Passing;
    BestRow[rrRushing] = run.Rushing;
    BestRow[rrOffense] = run.Offense;
    BestRow[rrDefense] = run.Defense;
    BestRow[rrRollingWeeks] = currentRollingWeeks_;

    auto evaluate = [&] {
        EvaluateCombination(run);
        return !run.Stopped;
    };
    auto differs = [&](int k) { return run.L(k) != run.H(k); };

    // 4. Two passes of one-slot sweeps for every rolling window.
    const int windowFrom = engine::SaturatingCInt(run.L(fsRollingWeeks));
    const int windowTo = engine::SaturatingCInt(run.H(fsRollingWeeks));
    const bool finished = ForInteger(windowFrom, windowTo, 1, [&](int window) {
        currentRollingWeeks_ = static_cast<float>(window);
        run.StatsPrepared = false;
        ++run.WindowGeneration;
        if (!evaluate())
            return false;
        for (int pass = 1; pass <= 2; ++pass) {
            if (differs(fsMultiplier)) {
                const float limit = static_cast<float>(static_cast<double>(run.H(fsMultiplier)) + 0.05);
                if (!ForSingle(run.L(fsMultiplier), limit, 0.1f, [&](float m) {
                        run.Multiplier = m;
                        return evaluate();
                    }))
                    return false;
                run.Multiplier = BestRow[rrMultiplier];
            }
            if (differs(fsHomeField)) {
                if (!ForSingle(run.L(fsHomeField), run.H(fsHomeField), 0.5f, [&](float h) {
                        run.HomeField = h;
                        return evaluate();
                    }))
                    return false;
                run.HomeField = BestRow[rrHomeField];
            }
            if (differs(fsRushing)) {
                if (!ForInteger(engine::SaturatingCInt(run.L(fsRushing)), engine::SaturatingCInt(run.H(fsRushing)), 5,
                                [&](int r) {
                                    run.Rushing = static_cast<int16_t>(r);
                                    run.Passing = static_cast<int16_t>(100 - r);
                                    return evaluate();
                                }))
                    return false;
                run.Rushing = engine::SaturatingCInt(BestRow[rrRushing]);
                run.Passing = static_cast<int16_t>(100 - run.Rushing);
            }
            if (differs(fsOffense)) {
                if (!ForInteger(engine::SaturatingCInt(run.L(fsOffense)), engine::SaturatingCInt(run.H(fsOffense)), 5,
                                [&](int o) {
                                    run.Offense = static_cast<int16_t>(o);
                                    run.Defense = static_cast<int16_t>(100 - o);
                                    return evaluate();
                                }))
                    return false;
                run.Offense = engine::SaturatingCInt(BestRow[rrOffense]);
                run.Defense = static_cast<int16_t>(100 - run.Offense);
            }
            if (differs(fsTurnovers)) {
                if (!ForSingle(run.L(fsTurnovers), run.H(fsTurnovers), 1.0f, [&](float t) {
                        run.Turnover = t;
                        return evaluate();
                    }))
                    return false;
                run.Turnover = BestRow[rrTurnovers];
            }
            if (differs(fsMinDiff)) {
                if (!ForSingle(run.L(fsMinDiff), run.H(fsMinDiff), 1.0f, [&](float d) {
                        run.MinDiff = d;
                        return evaluate();
                    }))
                    return false;
                run.MinDiff = BestRow[rrMinDiff];
            }
            if (differs(fsMaxDiff)) {
                if (!ForSingle(run.L(fsMaxDiff), run.H(fsMaxDiff), 1.0f, [&](float d) {
                        run.MaxDiff = d;
                        return evaluate();
                    }))
                    return false;
                run.MaxDiff = BestRow[rrMaxDiff];
            }
        }
        return true;
    });
    // 5. The run ends on the best row's rolling window.
    if (finished)
        currentRollingWeeks_ = BestRow[rrRollingWeeks];
}

TSPredict::GameOptions TSPredict::ReadGameOptions(const Run& run) const
{
    GameOptions o;
    o.powerRating = run.L(fsPowerRating) == 1;
    o.noLine = run.L(fsNoLine) == 1;
    o.otherFactors = run.L(fsOtherFactors) != 0;
    o.separateHomeAway = run.L(fsSeparateHomeAway) == 1;
    o.totalsMode = run.L(fsTotalsMode) == 1;
    o.playedOnly = run.PlayedGamesOnly;
    o.moneyLine = moneyLine_ == 1;
    o.cliff = cliffAdjust_ == 1;
    o.singleGame = run.SingleGame;
    o.homeTeam = run.HomeTeam;
    o.awayTeam = run.AwayTeam;
    const Formula& cf = host_.CurrentFormula();
    o.homeOnly = cf[fsHomeOnly];
    o.awayOnly = cf[fsAwayOnly];
    o.favOrOver = cf[fsFavOrOver];
    o.dogOrUnder = cf[fsDogOrUnder];
    o.lineFrom = run.L(fsLineStart);
    o.lineTo = run.L(fsLineEnd);
    o.teaser = teaser_;
    o.limitFirst = run.LimitFirstWeek;
    o.limitLast = run.LimitLastWeek;
    o.firstWeek = engine::SaturatingCInt(run.L(fsCurrentWeek));
    o.lastWeek = engine::SaturatingCInt(run.H(fsCurrentWeek));
    return o;
}

void TSPredict::EvaluateCombination(Run& run)
{
    // 1. A stop request seen on entry: nothing is evaluated or counted, so the searches run out.
    if (host_.StopRequested()) {
        for (int k = 0; k <= 9; ++k)
            run.SetL(k, run.H(k));
        return;
    }

    // 2. and 3. The record of this combination over the chosen weeks.
    Tally tally;
    run.Options = ReadGameOptions(run);
    bool evaluated = false;
    if (fastEvaluation_ && run.StatsPrepared && totalCombinations_ >= 5)
        evaluated = run.Grid ? EvaluateAhead(run, run.Options, tally) : EvaluateFast(run, run.Options, tally);
    if (evaluated)
        ++fastCombinations_;
    if (!evaluated) {
        if (!run.StatsPrepared && !run.BlocksPrepared && totalCombinations_ >= 5)
            run.BlocksPrepared = PrepareWindowBlocks(run, run.Options);
        const int first = std::max(run.Options.firstWeek, 1);
        const int last = std::min<int>(run.Options.lastWeek, host_.Seasons().WeekSlots);
        for (int w = first; w <= last; ++w) {
            const double lowWeek = run.L(fsCurrentWeek);
            const double highWeek = run.H(fsCurrentWeek);
            if (totalCombinations_ < 5 && w % 20 == 0 && highWeek - lowWeek > 0) {
                const double p = static_cast<double>(combinationsDone_) / totalCombinations_ +
                                 (1 / totalCombinations_) * ((w - lowWeek) / (highWeek - lowWeek));
                std::string message;
                RaiseProgress(PercentText(p * 100), message);
                host_.Yield();
                run.Options = ReadGameOptions(run);
            }
            EvaluateWeek(run, run.Options, w, tally);
        }
    }
    winCount_ = tally.wins;
    lossCount_ = tally.losses;
    tieCount_ = tally.ties;
    gameEvaluations_ += tally.gameEvaluations;

    // 4. to 9. The result of the combination.
    const int32_t decided = winCount_ + lossCount_;
    if (decided == 0) {
        if (combinationsDone_ == 0)
            run.ProgressMessage = tally.breakdown;
    } else {
        run.WinFraction = static_cast<float>(static_cast<double>(winCount_) / decided);
        run.UnitWin = moneyLine_ == 1 ? tally.moneyLineUnits
                                      : static_cast<float>(winCount_ - 1.1 * lossCount_);
        const bool enoughGames = decided >= static_cast<double>(run.F(4));
        if (run.SaveFormulas && enoughGames) {
            const double badUnits = lossCount_ - 1.1 * winCount_;
            const double goodUnits = winCount_ - 1.1 * lossCount_;
            // The fractions and the percentage bounds are Singles and compared as Singles: a
            // bound of 60 equals a 6-4 record's 0.6, which a wider type would set apart.
            const float lossFraction = 1.0f - run.WinFraction;
            const float winFraction = run.WinFraction;
            const float lowerPercent = run.F(2) / 100.0f;
            const float upperPercent = run.F(3) / 100.0f;
            if (lowerPercent < lossFraction && lossFraction <= upperPercent && run.F(0) < badUnits &&
                badUnits <= run.F(1))
                WriteQualifiedFormula(run, "Bad", run.BadCount);
            if (lowerPercent < winFraction && winFraction <= upperPercent && run.F(0) < goodUnits &&
                goodUnits <= run.F(1))
                WriteQualifiedFormula(run, "Good", run.GoodCount);
        }
        if (enoughGames)
            RankCombination(run, tally);
    }

    // 10. and 11. Count it and report.
    run.StatsPrepared = true;
    run.BlocksPrepared = false;
    // Counted whole, so every 20th combination of any run, however long, reports and yields.
    ++combinationsDone_;
    const bool report = totalCombinations_ > 100 ? combinationsDone_ % 20 == 0 : true;
    if (report) {
        const double percent = static_cast<double>(combinationsDone_) / totalCombinations_ * 100;
        RaiseProgress(PercentText(percent), run.ProgressMessage);
        run.ProgressMessage.clear();
        host_.Yield();
    }

    // 12. A stop requested during the yield ends the call here: no footer, no Done.
    if (host_.StopRequested()) {
        host_.ClearStopRequest();
        run.Log.Close();
        run.Stopped = true;
    }
}

void TSPredict::RankCombination(Run& run, Tally& tally)
{
    auto breakdown = [&]() -> const std::string& {
        if (tally.breakdownPending) {
            // The fast evaluation builds no text; the combination is evaluated again the
            // straightforward way only now that its text is shown.
            Tally detailed;
            const int first = std::max(run.Options.firstWeek, 1);
            const int last = std::min<int>(run.Options.lastWeek, host_.Seasons().WeekSlots);
            std::vector<float>* trace = std::exchange(scoreTrace_, nullptr);
            for (int w = first; w <= last; ++w)
                EvaluateWeek(run, run.Options, w, detailed);
            scoreTrace_ = trace;
            tally.breakdown = std::move(detailed.breakdown);
            tally.breakdownPending = false;
        }
        return tally.breakdown;
    };
    const float wf = run.WinFraction;
    const float units = run.UnitWin;
    bool best = false;
    bool worst = false;
    if (run.SortByWin) {
        best = !run.BestFound || wf > run.BestPercent || (wf == run.BestPercent && units > run.BestUnits);
        worst = !run.WorstFound || wf < run.WorstPercent || (wf == run.WorstPercent && units < run.WorstUnits);
    } else {
        best = !run.BestFound || units > run.BestUnits || (units == run.BestUnits && wf > run.BestPercent);
        worst = !run.WorstFound || units < run.WorstUnits || (units == run.WorstUnits && wf < run.WorstPercent);
    }
    if (best) {
        run.ProgressMessage = breakdown();
        run.BestPercent = wf;
        run.BestUnits = units;
        run.BestFound = true;
        FillRow(run, BestRow, true);
    }
    if (worst) {
        if (combinationsDone_ == 0)
            run.ProgressMessage = breakdown();
        run.WorstPercent = wf;
        run.WorstUnits = units;
        run.WorstFound = true;
        FillRow(run, WorstRow, false);
    }
}

void TSPredict::FillRow(Run& run, FormulaRow& row, bool best)
{
    row[rrWins] = winCount_;
    row[rrLosses] = lossCount_;
    row[rrTies] = tieCount_;
    row[rrWinPercent] = static_cast<float>(static_cast<double>(run.WinFraction) * 100);
    row[rrUnits] = best ? run.UnitWin : static_cast<float>(lossCount_ - 1.1 * winCount_);
    run.PutCombination(row);
    row[rrMultiplier] = static_cast<float>(vb::Val(vb::FormatSingle(run.Multiplier, "0.0")));
    row[rrRollingWeeks] = currentRollingWeeks_;
}

void TSPredict::WriteQualifiedFormula(Run& run, const std::string& prefix, int64_t& count)
{
    const std::string name = prefix + vb::CStrInt(count) + ".fla";
    // The formula the run holds, with the combination's values in the slots it searches.
    Formula formula{};
    for (int slot = 0; slot < FormulaSlots; ++slot)
        formula[static_cast<std::size_t>(slot)] = run.L(slot);
    run.PutCombination(formula);
    formula[fsRollingWeeks] = currentRollingWeeks_;
    const bool written =
        WriteFormulaFile(host_.OutputFolder() / name, formula, FormulaFilePositions, WriteSync::Fast);
    ++count;
    // The log lists the files that exist: a file that could not be written gets no line.
    if (written)
        run.Log.Print(FormulaLog::EntryText(name, winCount_, lossCount_, tieCount_));
}

void TSPredict::StartCount(double total)
{
    totalCombinations_ = total;
    combinationsDone_ = std::exchange(countStart_, 0);
}

void TSPredict::RaiseProgress(const std::string& percent, std::string& message)
{
    if (!Progress)
        return;
    std::string text = percent;
    Progress(BestRow, WorstRow, text, message);
}

void TSPredict::EndRun(Run& run)
{
    if (run.SaveFormulas) {
        run.Log.Print(FormulaLog::FooterText(clock_()));
        run.Log.Close();
    }
    if (totalCombinations_ == 1 && Weekly)
        Weekly(WeeklyTable);
    RaiseProgress(" 100", run.ProgressMessage);
    run.ProgressMessage.clear();
    if (Done)
        Done();
}

} // namespace vexal
