// The fast evaluation against the straightforward one: random formulas, ranges and options
// over generated seasons, each run twice; every event, every file, the caller's arrays and
// the control's rows must agree bit for bit.
#include "EngineTestSupport.h"
#include "FastKernel.h"
#include "GridWorkers.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

namespace vexal::test {
namespace {

struct Case {
    Formula low{};
    std::vector<float> high;
    bool played = false;
    bool sortByWin = false;
    uint8_t homeTeam = 0;
    uint8_t awayTeam = 0;
    bool save = false;
    std::array<float, 5> filters{};
    bool weekly = false;
    int16_t quick = 0;
    int teaser = 0;
    int cliff = 0;
    int moneyLine = 0;
};

struct Outcome {
    std::vector<std::string> order;
    std::vector<ProgressEvent> progress;
    std::map<std::string, std::string> files;
    Formula low{};
    std::vector<float> high;
    Formula current{};
    TSPredict::FormulaRow best{};
    TSPredict::FormulaRow worst{};
    int64_t done = 0;
    double total = 0;
    float rolling = 0;
    int wins = 0, losses = 0, ties = 0;
    uint64_t games = 0;
    uint64_t fast = 0;
    uint64_t ahead = 0;
    std::vector<float> lines;
    std::vector<float> scores;
    // The control's statistics arrays as the run leaves them.
    TSPredict::TotalsArray teamTotals{}, oppTotals{};
    TSPredict::AveragesArray teamAverages{}, oppAverages{};
    int16_t seasonStart = 0;
};

bool SameBits(const TSPredict::FormulaRow& a, const TSPredict::FormulaRow& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(float) * a.size()) == 0;
}

template <class A>
bool SameBits(const A& a, const A& b)
{
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), sizeof(a[0]) * a.size()) == 0);
}

Case RandomCase(std::mt19937_64& rng, int weekCount)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto coin = [&](double p = 0.5) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    Case c;
    Formula& f = c.low;
    c.played = coin(0.85);
    c.high.assign(c.played ? RangeSlots : FormulaSlots, 0.0f);
    auto range = [&](int slot, float low, float high) {
        f[static_cast<std::size_t>(slot)] = low;
        c.high[static_cast<std::size_t>(slot)] = high;
    };
    const int h = pick(-1, 3);
    range(fsHomeField, static_cast<float>(h), static_cast<float>(h + pick(0, 2)));
    const int minDiff = pick(0, 3);
    range(fsMinDiff, static_cast<float>(minDiff), static_cast<float>(minDiff + pick(0, 2)));
    const int maxDiff = coin(0.2) ? 99 : pick(6, 14);
    range(fsMaxDiff, static_cast<float>(maxDiff), static_cast<float>(maxDiff + pick(0, 1)));
    const int offense = 5 * pick(6, 14);
    range(fsOffense, static_cast<float>(offense), static_cast<float>(offense + 5 * pick(0, 2)));
    range(fsDefense, static_cast<float>(100 - offense), static_cast<float>(100 - offense));
    const int rushing = 5 * pick(6, 14);
    range(fsRushing, static_cast<float>(rushing), static_cast<float>(rushing + 5 * pick(0, 2)));
    range(fsPassing, static_cast<float>(100 - rushing), static_cast<float>(100 - rushing + 5 * pick(0, 2)));
    const int turnovers = pick(-1, 3);
    range(fsTurnovers, static_cast<float>(turnovers), static_cast<float>(turnovers + pick(0, 1)));
    const float multiplier = 0.8f + 0.1f * static_cast<float>(pick(0, 3));
    range(fsMultiplier, multiplier, multiplier + 0.1f * static_cast<float>(pick(0, 3)));
    const int rolling = pick(0, 4);
    range(fsRollingWeeks, static_cast<float>(rolling), static_cast<float>(rolling + pick(0, 1)));
    if (coin(0.15)) {   // a range given high to low
        std::swap(f[fsMinDiff], c.high[fsMinDiff]);
    }
    const int first = pick(1, std::max(1, weekCount - 12));
    range(fsCurrentWeek, static_cast<float>(first), static_cast<float>(std::min(weekCount, first + pick(4, 30))));
    f[fsSeparateHomeAway] = coin(0.3) ? 1.0f : 0.0f;
    f[fsDiscardHighLow] = coin(0.3) ? 1.0f : 0.0f;
    f[fsTotalsMode] = coin(0.3) ? 1.0f : 0.0f;
    f[fsOtherFactors] = coin(0.3) ? 1.0f : 0.0f;
    f[fsPowerRating] = coin(0.3) ? 1.0f : 0.0f;
    f[fsNoLine] = coin(0.2) ? 1.0f : 0.0f;
    f[fsHomeOnly] = coin(0.15) ? 1.0f : 0.0f;
    f[fsAwayOnly] = coin(0.15) ? 1.0f : 0.0f;
    if (coin(0.2)) {
        f[fsHomeOnly] += static_cast<float>(10 * pick(2, 6));
        f[fsAwayOnly] += static_cast<float>(10 * pick(8, 18));
    }
    const bool totals = f[fsTotalsMode] == 1;
    const float filterValue = totals ? 10.0f : 1.0f;
    f[fsFavOrOver] = coin(0.2) ? filterValue : 0.0f;
    f[fsDogOrUnder] = coin(0.2) ? filterValue : 0.0f;
    switch (pick(0, 4)) {
    case 0:
        f[fsLineStart] = f[fsLineEnd] = 99;
        break;
    case 1:
        f[fsLineStart] = totals ? 38.0f : -7.0f;
        f[fsLineEnd] = totals ? 47.5f : 3.0f;
        break;
    case 2:
        f[fsLineStart] = 102.5f;
        f[fsLineEnd] = 107;
        break;
    case 3:   // reversed: put in order by the first graded game
        f[fsLineStart] = totals ? 50.0f : 6.0f;
        f[fsLineEnd] = totals ? 40.0f : -6.0f;
        break;
    default:
        f[fsLineStart] = f[fsLineEnd] = 100;
        break;
    }
    for (int k = 10; k < 22; ++k)
        if (k != fsCurrentWeek)
            c.high[static_cast<std::size_t>(k)] = f[static_cast<std::size_t>(k)];
    if (!c.played) {
        c.high[22] = f[22];
        c.high[23] = f[23];
    }
    // The game choice of the current formula's slots 18 to 21 is read from CurrentFormula.
    c.sortByWin = coin();
    if (coin(0.1)) {
        c.homeTeam = static_cast<uint8_t>(pick(1, 32));
        c.awayTeam = static_cast<uint8_t>(coin() ? 0 : pick(1, 32));
    }
    c.save = coin(0.4);
    c.filters = {static_cast<float>(pick(-20, 0)), static_cast<float>(pick(0, 40)), static_cast<float>(pick(0, 50)),
                 static_cast<float>(pick(50, 100)), static_cast<float>(pick(0, 20))};
    c.weekly = coin(0.4);
    c.quick = coin(0.3) ? 1 : 0;
    c.teaser = coin(0.2) ? pick(6, 7) : 0;
    c.cliff = coin(0.3) ? 1 : 0;
    c.moneyLine = coin(0.3) ? 1 : 0;
    return c;
}

class FastEvaluation : public EngineTest {
protected:
    // workers 0 keeps the engine's default; stopAtEvent > 0 sets the stop request in that
    // Progress event, stopAtYield > 0 in that yield to the message loop.
    Outcome RunCase(const Case& c, bool fast, int workers = 0, bool trace = true, int stopAtEvent = 0,
                    int stopAtYield = 0)
    {
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            std::filesystem::remove_all(entry.path());
        const std::vector<float> lines = Season().SeasonLines;
        StubEngineHost host;
        TSPredict e{host};
        e.SetClock(FixedNow);
        e.SetFastEvaluation(fast);
        if (workers > 0)
            e.SetWorkerCount(workers);
        Outcome o;
        if (trace)
            e.SetScoreTrace(&o.scores);
        e.SetTeaser(c.teaser);
        e.SetCliffAdjust(static_cast<int16_t>(c.cliff));
        e.SetMoneyLine(static_cast<int16_t>(c.moneyLine));
        EventRecorder recorder;
        recorder.Attach(e);
        // As in the Test Formula window, nobody watches each side's statistics.
        e.Stats = nullptr;
        if (stopAtEvent > 0) {
            auto record = e.Progress;
            e.Progress = [&, record](TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percent,
                                     std::string& message) {
                record(best, worst, percent, message);
                if (static_cast<int>(recorder.progress.size()) == stopAtEvent)
                    host.stop = true;
            };
        }
        host.onYield = [&] {
            if (host.yields == stopAtYield)
                host.stop = true;
        };
        App().CurrentFormula = c.low;
        std::vector<float> high = c.high;
        e.TestFormulas({.Low = App().CurrentFormula, .High = high, .Filters = c.filters, .PlayedGamesOnly = c.played,
                        .HomeTeam = c.homeTeam, .AwayTeam = c.awayTeam, .SortByWin = c.sortByWin, .SaveFormulas = c.save,
                        .ShowWeekly = c.weekly, .QuickMode = c.quick});
        o.order = recorder.order;
        o.progress = recorder.progress;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            o.files[entry.path().filename().string()] = ReadFile(entry.path());
        o.low = App().CurrentFormula;
        o.high = high;
        o.best = e.BestRow;
        o.worst = e.WorstRow;
        o.done = e.CombinationsDone();
        o.total = e.TotalCombinations();
        o.rolling = e.CurrentRollingWeeks();
        o.wins = e.WinCount();
        o.losses = e.LossCount();
        o.ties = e.TieCount();
        o.games = e.GameEvaluations();
        o.fast = e.FastCombinations();
        o.ahead = e.AheadCombinations();
        o.teamTotals = e.TeamTotals;
        o.oppTotals = e.OppTotals;
        o.teamAverages = e.TeamAverages;
        o.oppAverages = e.OppAverages;
        o.seasonStart = e.SeasonStartSlot();
        o.lines = Season().SeasonLines;
        EXPECT_TRUE(SameBits(o.lines, lines)) << "the spreads are all put back";
        return o;
    }

    void Compare(const Outcome& fast, const Outcome& plain, const std::string& label, bool plainIsStraightforward = true)
    {
        EXPECT_EQ(fast.order, plain.order) << label;
        ASSERT_EQ(fast.progress.size(), plain.progress.size()) << label;
        for (std::size_t i = 0; i < fast.progress.size(); ++i) {
            EXPECT_TRUE(SameBits(fast.progress[i].best, plain.progress[i].best)) << label << " progress " << i;
            EXPECT_TRUE(SameBits(fast.progress[i].worst, plain.progress[i].worst)) << label << " progress " << i;
            EXPECT_EQ(fast.progress[i].percent, plain.progress[i].percent) << label;
            EXPECT_EQ(fast.progress[i].message, plain.progress[i].message) << label << " progress " << i;
        }
        EXPECT_EQ(fast.files, plain.files) << label;
        EXPECT_TRUE(SameBits(fast.low, plain.low)) << label;
        EXPECT_TRUE(SameBits(fast.high, plain.high)) << label;
        EXPECT_TRUE(SameBits(fast.best, plain.best)) << label;
        EXPECT_TRUE(SameBits(fast.worst, plain.worst)) << label;
        EXPECT_EQ(fast.done, plain.done) << label;
        EXPECT_EQ(fast.total, plain.total) << label;
        EXPECT_EQ(fast.rolling, plain.rolling) << label;
        EXPECT_EQ(fast.wins, plain.wins) << label;
        EXPECT_EQ(fast.losses, plain.losses) << label;
        EXPECT_EQ(fast.ties, plain.ties) << label;
        EXPECT_EQ(fast.games, plain.games) << label;
        EXPECT_EQ(fast.scores.size(), plain.scores.size()) << label;
        EXPECT_TRUE(SameBits(fast.scores, plain.scores)) << label << ": every predicted score";
        EXPECT_TRUE(SameBits(fast.teamTotals, plain.teamTotals) && SameBits(fast.oppTotals, plain.oppTotals) &&
                    SameBits(fast.teamAverages, plain.teamAverages) && SameBits(fast.oppAverages, plain.oppAverages))
            << label << ": the statistics arrays";
        EXPECT_EQ(fast.seasonStart, plain.seasonStart) << label;
        if (plainIsStraightforward) {
            EXPECT_EQ(plain.fast, 0u);
        }
    }
};

// The grid search on several threads against the same grid on one: every event, file, row and
// counter, for runs that end normally and runs stopped at several points.
TEST_F(FastEvaluation, AllCoresAgreeByteForByteWithOneCore)
{
    ASSERT_TRUE(LoadSampleSeasons(3));
    const int weeks = static_cast<int>(Season().WeekItems.size());
    struct Variant {
        bool sortByWin, weekly, totals, moneyLine, power;
        int stopAtEvent, stopAtYield;
    };
    const Variant variants[] = {
        {false, true, false, false, false, 0, 0},  {true, false, false, true, false, 0, 0},
        {false, false, true, false, false, 0, 0},  {true, true, false, false, true, 0, 0},
        {false, true, false, false, false, 1, 0},  {false, false, false, false, false, 0, 2},
        {true, true, false, false, false, 17, 0},  {false, false, true, false, false, 0, 30},
        {false, true, false, true, false, 50, 0},
    };
    int index = 0;
    for (const Variant& v : variants) {
        Case c;
        c.low = {};
        c.played = true;
        c.high.assign(RangeSlots, 0.0f);
        auto range = [&](int slot, float from, float to) {
            c.low[static_cast<std::size_t>(slot)] = from;
            c.high[static_cast<std::size_t>(slot)] = to;
        };
        range(fsRollingWeeks, 3, 4);
        range(fsHomeField, 0, 2);
        range(fsMinDiff, 0, 1);
        range(fsMaxDiff, 10, 11);
        range(fsOffense, 45, 55);
        range(fsDefense, 55, 45);
        range(fsRushing, 45, 55);
        range(fsPassing, 55, 45);
        range(fsTurnovers, 0, 1);
        range(fsMultiplier, 0.9f, 1.1f);
        range(fsCurrentWeek, 1, static_cast<float>(weeks));
        c.low[fsLineStart] = c.low[fsLineEnd] = 99;
        c.low[fsTotalsMode] = v.totals ? 1.0f : 0.0f;
        c.low[fsPowerRating] = v.power ? 1.0f : 0.0f;
        c.sortByWin = v.sortByWin;
        c.weekly = v.weekly;
        c.moneyLine = v.moneyLine ? 1 : 0;
        c.save = true;
        // Good and bad files for the records well away from even.
        c.filters = {4, 1000, 53, 100, 30};
        const std::string label = "variant " + std::to_string(index++);
        const Outcome one = RunCase(c, true, 1, false, v.stopAtEvent, v.stopAtYield);
        const Outcome all = RunCase(c, true, 0, false, v.stopAtEvent, v.stopAtYield);
        const Outcome three = RunCase(c, true, 3, false, v.stopAtEvent, v.stopAtYield);
        Compare(all, one, label + " all cores", false);
        Compare(three, one, label + " three threads", false);
        EXPECT_EQ(all.fast, one.fast) << label;
        EXPECT_EQ(one.ahead, 0u) << label;
        if (v.stopAtEvent != 1 && v.stopAtYield != 2) {
            EXPECT_GT(three.ahead, 0u) << label << ": the workers were used";
        }
        if (v.stopAtEvent == 0 && v.stopAtYield == 0) {
            EXPECT_EQ(one.done, 1296) << label;
            EXPECT_EQ(one.order.back(), "Done") << label;
            EXPECT_GT(one.files.size(), 2u) << label << ": formula files were written";
        } else {
            EXPECT_LT(one.done, 1296) << label;
            EXPECT_NE(one.order.back(), "Done") << label;
        }
        if (HasFailure())
            break;
    }
}

// The grid workers' records against the evaluator's own, combination by combination: on the
// calling thread alone, with helpers, with shared tables and with every thread keeping its own
// (a window whose tables would pass the memory budget), over windows started part-way and
// stopped part-way, twice with the same workers; and over a window long enough for the ring of
// finished chunks to come round several times.
TEST(GridWorkers, RecordsAgreeWithTheEvaluatorsWhateverTheThreadsAndTables)
{
    std::mt19937_64 rng(2024);
    std::uniform_real_distribution<float> stat(0.5f, 40.0f);
    std::vector<float> blocks(16 * 300);
    for (float& v : blocks)
        v = stat(rng);
    auto fill = [&blocks](FastEvaluator& list, int games) {
        FastEvaluator::Settings settings;
        settings.moneyLine = true;
        list.Reset(settings);
        for (int g = 0; g < games; ++g) {
            FastEvaluator::GameInput game;
            game.block = blocks.data() + 16 * g;
            game.otherFactors = static_cast<int16_t>(g % 3);
            game.spread = (g % 21) - 10 + 0.5 * (g % 2);
            game.savedSpread = static_cast<float>(game.spread);
            game.total = 41;
            game.awayScore = (g * 7) % 35;
            game.homeScore = (g * 11) % 38;
            list.Add(game);
        }
        list.Prepare();
    };
    FastEvaluator list;
    fill(list, 300);
    GridWindow window;
    window.homeField = {0, 1.5f};
    window.minDiff = {0, 1};
    window.maxDiff = {10, 12};
    window.offense = {40, 45, 50};
    window.rushing = {45, 55};
    window.turnover = {0, 1, 2};
    window.multiplier = {0.9f, 1.0f, 1.1f};
    FastEvaluator shortList;
    fill(shortList, 30);
    GridWindow longWindow;
    longWindow.homeField = {0, 0.5f, 1, 1.5f, 2, 2.5f, 3, 3.5f, 4, 4.5f};
    longWindow.minDiff = {0, 1, 2, 3, 4};
    longWindow.maxDiff = {8, 9, 10, 11, 12};
    longWindow.offense = {40, 45, 50, 55, 60};
    longWindow.rushing = {40, 45, 50, 55, 60};
    longWindow.turnover = {0, 1, 2};
    longWindow.multiplier = {0.8f, 0.9f, 1.0f, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f, 1.6f, 1.7f};

    struct Variant {
        bool longOne;
        int helpers;
        std::size_t budget;
        uint64_t first, end;
    };
    const std::size_t shared = WindowTables::DefaultBudget;
    const uint64_t count = window.Count();
    const uint64_t longCount = longWindow.Count();
    const Variant variants[] = {
        {false, 0, shared, 0, count},     {false, 3, shared, 5, count}, {false, 3, 0, 0, count},
        {false, 2, 0, 17, count / 2},     {false, 1, shared, 0, 40},    {true, 3, shared, 0, longCount},
        {true, 2, 0, 1000, longCount - 7},
    };
    std::vector<FastEvaluator::Result> expected[2];
    for (uint64_t j = 0; j < count; ++j)
        expected[0].push_back(list.Evaluate(window.At(j)));
    for (uint64_t j = 0; j < longCount; ++j)
        expected[1].push_back(shortList.Evaluate(longWindow.At(j)));
    for (const Variant& v : variants) {
        const FastEvaluator& games = v.longOne ? shortList : list;
        const GridWindow& w = v.longOne ? longWindow : window;
        GridWorkers workers(3, v.budget);
        for (int pass = 0; pass < 2; ++pass) {
            workers.Start(games, w, v.first, w.Count(), v.helpers);
            for (uint64_t j = v.first; j < v.end; ++j) {
                ASSERT_EQ(workers.Next(), j);
                const FastEvaluator::Result r = workers.Take();
                const FastEvaluator::Result& e = expected[v.longOne ? 1 : 0][j];
                ASSERT_TRUE(r.wins == e.wins && r.losses == e.losses && r.ties == e.ties &&
                            std::bit_cast<uint32_t>(r.moneyLineUnits) == std::bit_cast<uint32_t>(e.moneyLineUnits))
                    << (v.longOne ? "long window, " : "") << "helpers " << v.helpers << ", budget " << v.budget
                    << ", combination " << j;
            }
            workers.Stop();
        }
    }
}

TEST_F(FastEvaluation, AgreesBitForBitWithTheStraightforwardEvaluation)
{
    uint64_t fastCombinations = 0;
    uint64_t plays = 0;
    uint64_t scores = 0;
    for (uint64_t seed = 1; seed <= 60; ++seed) {
        std::mt19937_64 rng(seed * 7919);
        GeneratedOptions options;
        options.seasons = 1 + static_cast<int>(seed % 3);
        options.seed = seed;
        options.rough = seed % 2 == 0;
        options.unplayedFromWeek = seed % 5 == 0 ? 15 : 0;
        GenerateSeasons(options);
        const Case c = RandomCase(rng, Season().WeekItems.size() > 0 ? static_cast<int>(Season().WeekItems.size()) : 1);
        std::ostringstream label;
        label << "seed " << seed;
        // The straightforward run on one thread; the fast one on every core, which also works
        // out each window's statistics on several threads.
        const Outcome plain = RunCase(c, false, 1);
        // The cases go in turn through the inner loop's builds of 2, 4 and 8 games per step
        // (those the processor has; the widest stands in for a missing one).
        fastkernel::ForceLanes(2 << (seed % 3));
        const Outcome fast = RunCase(c, true);
        fastkernel::ForceLanes(0);
        Compare(fast, plain, label.str());
        fastCombinations += fast.fast;
        plays += static_cast<uint64_t>(fast.wins + fast.losses);
        scores += fast.scores.size();
        if (HasFailure())
            break;
    }
    EXPECT_GT(fastCombinations, 1000u) << "the fast evaluation was used";
    EXPECT_GT(plays, 0u);
    EXPECT_GT(scores, 100000u);
}

TEST_F(FastEvaluation, AgreesOnLoadedSampleSeasons)
{
    ASSERT_TRUE(LoadSampleSeasons(3));
    const int weeks = static_cast<int>(Season().WeekItems.size());
    ASSERT_GT(weeks, 50);
    for (uint64_t seed = 100; seed < 106; ++seed) {
        std::mt19937_64 rng(seed);
        Case c = RandomCase(rng, weeks);
        c.low[fsCurrentWeek] = 1;
        c.high[fsCurrentWeek] = static_cast<float>(weeks);
        c.low[fsPowerRating] = seed % 2 == 0 ? 1.0f : 0.0f;
        c.high[fsHomeField] = c.low[fsHomeField] + 2;
        c.high[fsMinDiff] = c.low[fsMinDiff] + 1;
        c.quick = 0;
        const Outcome plain = RunCase(c, false);
        const Outcome fast = RunCase(c, true);
        Compare(fast, plain, "sample seed " + std::to_string(seed));
        EXPECT_GT(fast.fast, 0u);
        if (HasFailure())
            break;
    }
}

} // namespace
} // namespace vexal::test
