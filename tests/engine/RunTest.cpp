// Formula test runs: FormulaList.txt and the good and bad formula files byte for byte, the
// range set-up, the grid's values and count, the progress cadence, both kinds of stop, the
// refusal of a nested run, and the best and worst rows.
#include "EngineTestSupport.h"

#include "FormulaFile.h"
#include "FormulaLog.h"

#include <filesystem>

namespace vexal::test {
namespace {

Match Game(int home, int away, int homeScore, int awayScore, float spread)
{
    Match m;
    m.home = home;
    m.away = away;
    m.homeScore = homeScore;
    m.awayScore = awayScore;
    m.spread = spread;
    m.total = 44;
    return m;
}

class TestRun : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // Predicted 24-17, home side giving 3: one win and one loss for the home side.
        BuildMatchWeek({Game(1, 2, 21, 17, -3), Game(3, 4, 19, 17, -3)});
        App().CurrentFormula = PlainFormula(2);
        high = {};
        for (int k = 0; k < RangeSlots; ++k)
            high[static_cast<std::size_t>(k)] = App().CurrentFormula[static_cast<std::size_t>(k)];
        filters = {-100, 100, 0, 100, 0};
    }
    void Run(bool save, int16_t quick = 0, bool sortByWin = false, bool weekly = false)
    {
        engine.TestFormulas({.Low = App().CurrentFormula, .High = high, .Filters = filters, .PlayedGamesOnly = true,
                             .SortByWin = sortByWin, .SaveFormulas = save, .ShowWeekly = weekly, .QuickMode = quick});
    }
    Formula& Low() { return App().CurrentFormula; }
    std::string File(const std::string& name) { return folder.Read(name); }
    bool Exists(const std::string& name) { return std::filesystem::exists(folder / name); }
    std::vector<float> Values(const std::string& name) { return ParseFormulaFileNumbers(File(name)); }
    std::vector<std::vector<float>> GoodFiles()
    {
        std::vector<std::vector<float>> out;
        for (int n = 0; Exists("Good" + std::to_string(n) + ".fla"); ++n)
            out.push_back(Values("Good" + std::to_string(n) + ".fla"));
        return out;
    }

    FormulaHighEnds high{};
};

TEST_F(TestRun, FormulaListAndFormulaFilesAreWrittenByteForByte)
{
    high[fsMinDiff] = 1;
    Run(true);
    const std::string rule55(55, '=');
    const std::string rule52(52, '=');
    const std::string entries = "Bad0.fla       1-1-0     50.0 %    -.10\r\n\r\n"
                                "Good0.fla      1-1-0     50.0 %    -.10\r\n\r\n"
                                "Bad1.fla       1-1-0     50.0 %    -.10\r\n\r\n"
                                "Good1.fla      1-1-0     50.0 %    -.10\r\n\r\n";
    const std::string expected =
        rule55 + "\r\n" + "www.vexal.example - The following formula list was \r\n" +
        "                   started on 03-05-2024 at 14:07:09\r\n" + rule55 + "\r\n" +
        "These Formulas were generated for Sides\r\n" + rule52 + "\r\n" + "Formula Ranges used were as follows:\r\n" +
        "Run from Wk 2 of 2024 to Wk 2 of 2024\r\n" + "Rolling Average:1 - 1\r\n" + "Min. Point Diff.:0 - 1\r\n" +
        "Max. Point Diff.:99 - 99\r\n" + "Home Field Adv.:0 - 0\r\n" + "% Offense:100 - 100\r\n" +
        "% Defense:0 - 0\r\n" + "% Rushing:100 - 100\r\n" + "% Passing:0 - 0\r\n" + "Turnovers:0 - 0\r\n" +
        "Multiplier:1 - 1\r\n" + "\r\n" + "Unit win rate between -100 - 100\r\n" +
        "Win percentage between 0 - 100\r\n" + "\r\n" + "Formula        W-L-T     Winning%  Unit Win\r\n" + "\r\n" +
        entries + "\r\n" + rule52 + "\r\n" + "Formula list was completed on 03-05-2024 at 14:07:09\r\n" + rule52 +
        "\r\n\r\n";
    EXPECT_EQ(File("FormulaList.txt"), expected);
    EXPECT_EQ(File("Good0.fla"), "0,0,99,1,100,0,1,100,0,0,0,0,0,0,0,0,0,0,99,99\r\n");
    EXPECT_EQ(File("Bad0.fla"), "0,0,99,1,100,0,1,100,0,0,0,0,0,0,0,0,0,0,99,99\r\n");
    EXPECT_EQ(File("Good1.fla"), "0,1,99,1,100,0,1,100,0,0,0,0,0,0,0,0,0,0,99,99\r\n");
    EXPECT_FALSE(Exists("Good2.fla"));
}

// A good or bad formula file holds every slot a formula file stores, read back through the
// codec: the combination's values in the searched slots and the run's formula in all the
// others. A run for each game filter (and for separate home/away) gives every stored slot a
// value not 0.
TEST_F(TestRun, GoodAndBadFilesStoreEverySlotOfTheFormula)
{
    Match underdog = Game(3, 4, 17, 24, -3);   // predicted 17-24: the away underdog is picked
    underdog.homePoints = 17;
    underdog.awayPoints = 24;
    BuildMatchWeek({Game(1, 2, 21, 17, -3), underdog});
    const std::pair<int, float> searched[] = {{fsHomeField, 2.5f}, {fsMinDiff, 1.5f}, {fsMaxDiff, 12},
                                              {fsOffense, 60},     {fsDefense, 40},    {fsRushing, 70},
                                              {fsPassing, 30},     {fsTurnovers, 3.5f}, {fsMultiplier, 1.5f},
                                              {fsRollingWeeks, 1}};
    // The switches that count only when 1 at 2, the line range around the games' lines.
    const std::pair<int, float> options[] = {{fsDiscardHighLow, 2}, {fsNoLine, 2}, {fsPowerRating, 2},
                                             {fsLineStart, -7.5f},  {fsLineEnd, 6.5f}};
    // One at a time, as each lets a game through alone.
    const std::pair<int, int> sides[] = {{fsHomeOnly, 1},   {fsAwayOnly, 1},        {fsFavOrOver, 1},
                                         {fsDogOrUnder, 1}, {fsSeparateHomeAway, 2}};
    std::array<int, FormulaSlots> notZero{};
    for (const auto& [filter, on] : sides) {
        Formula& f = Low();
        f = PlainFormula(2);
        for (int slot : FormulaFileSlots)
            f[static_cast<std::size_t>(slot)] = 0;
        f[static_cast<std::size_t>(filter)] = static_cast<float>(on);
        for (const auto& [slot, value] : options)
            f[static_cast<std::size_t>(slot)] = value;
        for (const auto& [slot, value] : searched)
            f[static_cast<std::size_t>(slot)] = value;
        for (int k = 0; k < RangeSlots; ++k)
            high[static_cast<std::size_t>(k)] = f[static_cast<std::size_t>(k)];
        for (const char* name : {"Bad0.fla", "Good0.fla"})
            std::filesystem::remove(folder / name);
        Run(true);
        const Formula held = Low();
        EXPECT_TRUE(Exists("Bad0.fla") || Exists("Good0.fla")) << "filter slot " << filter;
        for (const char* name : {"Bad0.fla", "Good0.fla"}) {
            if (!Exists(name))
                continue;
            Formula saved{};
            ASSERT_TRUE(ReadFormulaFile(folder / name, saved));
            for (int slot : FormulaFileSlots) {
                EXPECT_EQ(saved[static_cast<std::size_t>(slot)], held[static_cast<std::size_t>(slot)])
                    << name << " slot " << slot;
                notZero[static_cast<std::size_t>(slot)] += saved[static_cast<std::size_t>(slot)] != 0;
            }
        }
    }
    for (int slot : FormulaFileSlots)
        EXPECT_GT(notZero[static_cast<std::size_t>(slot)], 0) << "slot " << slot << " is 0 in every file";
}

TEST_F(TestRun, GoodLineOfSixWinsAndFourLosses)
{
    // Ten games: six home wins, four home losses.
    std::vector<Match> matches;
    for (int i = 0; i < 8; ++i)
        matches.push_back(Game(2 * i + 1, 2 * i + 2, i < 5 ? 30 : 10, 17, -3));
    BuildMatchWeeks({matches, {Game(17, 18, 30, 17, -3), Game(19, 20, 10, 17, -3)}});
    App().CurrentFormula[fsCurrentWeek] = 2;
    high[fsCurrentWeek] = 4;
    filters = {0, 100, 0, 100, 0};
    Run(true);
    const std::string log = File("FormulaList.txt");
    EXPECT_NE(log.find("\r\n\r\nGood0.fla      6-4-0     60.0 %    1.60\r\n\r\n\r\n"), std::string::npos) << log;
    EXPECT_FALSE(Exists("Bad0.fla")) << "the bad side's units are negative";
    EXPECT_FLOAT_EQ(engine.BestRow[13], 1.6f);
    EXPECT_FLOAT_EQ(engine.WorstRow[13], -2.6f);
    EXPECT_FLOAT_EQ(engine.BestRow[12], 60) << "the Single win fraction times 100";
}

TEST_F(TestRun, WinPercentageBoundsCompareTheSingleWinFraction)
{
    // Six wins and four losses: exactly 60 % (and 40 % for the bad side). The win fraction is
    // a Single, and so are the bounds in percent over 100: a bound of 60 is the same number.
    std::vector<Match> matches;
    for (int i = 0; i < 8; ++i)
        matches.push_back(Game(2 * i + 1, 2 * i + 2, i < 5 ? 30 : 10, 17, -3));
    BuildMatchWeeks({matches, {Game(17, 18, 30, 17, -3), Game(19, 20, 10, 17, -3)}});
    App().CurrentFormula[fsCurrentWeek] = 2;
    high[fsCurrentWeek] = 4;
    auto written = [&](std::array<float, 5> bounds, const std::string& name) {
        std::filesystem::remove(folder / name);
        filters = bounds;
        App().CurrentFormula[fsCurrentWeek] = 2;
        Run(true);
        return Exists(name);
    };
    EXPECT_TRUE(written({0, 100, 0, 60, 0}, "Good0.fla")) << "60 % lies within an upper bound of 60";
    EXPECT_FALSE(written({0, 100, 60, 100, 0}, "Good0.fla")) << "60 % is not above a lower bound of 60";
    EXPECT_TRUE(written({-100, 0, 0, 40, 0}, "Bad0.fla")) << "40 % lies within an upper bound of 40";
    EXPECT_FALSE(written({-100, 0, 40, 100, 0}, "Bad0.fla")) << "40 % is not above a lower bound of 40";
}

TEST_F(TestRun, WithoutSavingNoFileIsTouched)
{
    folder.Write("FormulaList.txt", "older log");
    Run(false);
    EXPECT_EQ(File("FormulaList.txt"), "older log");
    EXPECT_FALSE(Exists("Good0.fla"));
}

TEST_F(TestRun, HeaderNamesTheFiltersOfTheRun)
{
    Low()[fsHomeOnly] = 1;
    Low()[fsFavOrOver] = 1;
    Low()[fsPowerRating] = 1;
    Low()[fsSeparateHomeAway] = 1;
    Low()[fsNoLine] = 1;
    Run(true);
    const std::string log = File("FormulaList.txt");
    EXPECT_NE(log.find("Sides\r\nwith the 'Home only' checkbox selected\r\nand with the 'Favorite only' checkbox selected\r\n="),
              std::string::npos) << log;
    EXPECT_NE(log.find("Multiplier:1 - 1\r\nPower Ratings were ON\r\nSeparate Home/Away was ON\r\nNo Line option was ON\r\n\r\n"),
              std::string::npos);

    Low() = PlainFormula(2);
    Low()[fsTotalsMode] = 1;
    Low()[fsFavOrOver] = 10;
    Low()[fsDogOrUnder] = 10;
    Run(true);
    EXPECT_NE(File("FormulaList.txt")
                  .find("Over/Unders\r\nwith the Unders Only checkbox selected.\r\nwith the Overs Only checkbox selected.\r\n="),
              std::string::npos);
}

TEST_F(TestRun, RangesAreOrderedInTheCallersArraysBeforeTheHeader)
{
    Low()[fsMinDiff] = 7;
    high[fsMinDiff] = 3;
    Run(true);
    EXPECT_NE(File("FormulaList.txt").find("Min. Point Diff.:3 - 7\r\n"), std::string::npos);
    EXPECT_EQ(high[fsMinDiff], 7);
}

TEST_F(TestRun, GridValuesAndTheExpectedCount)
{
    high[fsMultiplier] = 1.5f;
    Run(true);
    std::vector<float> multipliers;
    for (const auto& v : GoodFiles())
        multipliers.push_back(v[3]);
    EXPECT_EQ(multipliers, (std::vector<float>{1, 1.1f, 1.2f, 1.3f, 1.4f, 1.5f}));

    Low() = PlainFormula(2);
    high[fsMultiplier] = 1;
    Low()[fsOffense] = 52.5f;
    high[fsOffense] = 120;
    Low()[fsHomeField] = 0;
    high[fsHomeField] = 2.5f;
    Run(true);
    EXPECT_EQ(high[fsOffense], 100) << "capped in the caller's array";
    EXPECT_FLOAT_EQ(engine.TotalCombinations(), 3.5f * (5 + 120 - 52.5f) / 5);
    std::vector<std::pair<float, float>> seen;
    for (const auto& v : GoodFiles())
        seen.emplace_back(v[0], v[4]);
    const std::vector<std::pair<float, float>> expected{{0, 52}, {0, 57}, {0, 62}, {0, 67}, {0, 72}, {0, 77}, {0, 82},
                                                        {0, 87}, {0, 92}, {0, 97}, {1, 52}, {1, 57}, {1, 62}, {1, 67},
                                                        {1, 72}, {1, 77}, {1, 82}, {1, 87}, {1, 92}, {1, 97}, {2, 52},
                                                        {2, 57}, {2, 62}, {2, 67}, {2, 72}, {2, 77}, {2, 82}, {2, 87},
                                                        {2, 92}, {2, 97}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(GoodFiles()[1][5], 43) << "defense follows as 100 - offense";
}

TEST_F(TestRun, ProgressAfterEveryCombinationUpToOneHundred)
{
    high[fsHomeField] = 99;
    Run(false);
    ASSERT_EQ(events.progress.size(), 101u);
    EXPECT_EQ(events.progress[0].percent, "1.0");
    EXPECT_EQ(events.progress[99].percent, "100.0");
    EXPECT_EQ(events.progress[100].percent, " 100");
    EXPECT_EQ(events.order.back(), "Done");
    EXPECT_EQ(events.weekly.size(), 0u) << "Weekly only for a single combination";
}

TEST_F(TestRun, ProgressAfterEveryTwentiethCombinationAboveOneHundred)
{
    high[fsHomeField] = 119;
    Run(false);
    EXPECT_EQ(events.Percents(), (std::vector<std::string>{"16.7", "33.3", "50.0", "66.7", "83.3", "100.0", " 100"}));
    EXPECT_EQ(host.yields, 6);
}

TEST_F(TestRun, RunsOfFewerThanFiveCombinationsAlsoReportInsideACombination)
{
    GeneratedOptions options;
    options.seasons = 2;
    GenerateSeasons(options);
    Low() = PlainFormula(1);
    high = {};
    for (int k = 0; k < RangeSlots; ++k)
        high[static_cast<std::size_t>(k)] = Low()[static_cast<std::size_t>(k)];
    high[fsCurrentWeek] = 42;
    high[fsHomeField] = 1;
    Run(false);
    EXPECT_EQ(events.Percents(),
              (std::vector<std::string>{"23.2", "47.6", "50.0", "73.2", "97.6", "100.0", " 100"}));
}

TEST_F(TestRun, StopSetBeforeTheRunEvaluatesNothingAndStillEnds)
{
    high[fsHomeField] = 2;
    high[fsMinDiff] = 3;
    host.stop = true;
    Run(true);
    EXPECT_EQ(events.order, (std::vector<std::string>{"Progress  100", "Done"}));
    EXPECT_EQ(engine.CombinationsDone(), 0);
    EXPECT_EQ(Low()[fsHomeField], 2) << "the high ends are copied into the low ends";
    EXPECT_EQ(Low()[fsMinDiff], 3);
    EXPECT_TRUE(host.stop) << "left set";
    EXPECT_NE(File("FormulaList.txt").find("Formula list was completed"), std::string::npos);
    EXPECT_FALSE(Exists("Good0.fla"));
}

TEST_F(TestRun, StopDuringAYieldEndsTheRunWithoutDone)
{
    high[fsHomeField] = 9;
    host.onYield = [this] { host.stop = true; };
    Run(true);
    EXPECT_EQ(events.order, (std::vector<std::string>{"Progress 10.0"}));
    EXPECT_EQ(engine.CombinationsDone(), 1);
    EXPECT_FALSE(host.stop);
    const std::string log = File("FormulaList.txt");
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
    EXPECT_EQ(log.find("completed"), std::string::npos);
    EXPECT_NE(log.find("Good0.fla"), std::string::npos);
}

// A Single counts no further than 2^24: a run whose count was one stopped reporting and
// yielding there, so Stop never reached it. The count starts near that point, as a run of
// that length would have it, and goes on past it.
TEST_F(TestRun, ProgressAndStopReachARunPastTheSinglesLastWholeStep)
{
    constexpr int64_t SinglesLast = int64_t{1} << 24;
    constexpr int64_t Start = SinglesLast / 20 * 20 - 20000;   // a multiple of 20, as the reports
    constexpr int64_t StopAt = Start + 30000;
    high[fsHomeField] = 199;
    high[fsMinDiff] = 199;   // 200 x 200 combinations
    engine.StartCountForTests(Start);
    std::vector<int64_t> counts;
    const auto record = engine.Progress;
    engine.Progress = [&](TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percent,
                          std::string& message) {
        record(best, worst, percent, message);
        counts.push_back(engine.CombinationsDone());
        if (counts.back() == StopAt)
            host.stop = true;
    };
    Run(false);
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.front(), Start + 20);
    EXPECT_GT(StopAt, SinglesLast + 9000);
    EXPECT_EQ(counts.back(), StopAt) << "the Stop ended the run where it was asked";
    EXPECT_EQ(counts.size(), 1500u) << "every 20th combination reported, before and after 2^24";
    for (std::size_t i = 1; i < counts.size(); ++i)
        ASSERT_EQ(counts[i] - counts[i - 1], 20) << i;
    EXPECT_EQ(host.yields, 1500);
    EXPECT_EQ(events.done, 0);
    EXPECT_FALSE(host.stop);
    EXPECT_EQ(engine.TotalCombinations(), 40000);
    EXPECT_EQ(events.progress.back().percent, "41968.0") << "16787200 of 40000, from the whole count";
    EXPECT_EQ(engine.CombinationsDone(), StopAt);

    // The next run counts from 0 again.
    high[fsHomeField] = 0;
    high[fsMinDiff] = 0;
    Run(false);
    EXPECT_EQ(engine.CombinationsDone(), 1);
}

// The record of a combination counts every game the loaded seasons can hold: 99 seasons of
// full week slots hold more games than a 16-bit count reaches. Every game is the same home
// win, picked by the home-field advantage alone.
TEST_F(TestRun, ARecordHoldsEveryGameTheLoadedSeasonsCanHold)
{
    struct Case {
        int seasons;
        int32_t wins;
        const char* entry;
    };
    filters = {-100, 100000, 0, 100, 0};
    const Case cases[] = {
        {1, WeekSlotsPerSeason * GamesPerWeekSlot, "Good0.fla      352-0-0   100.0 %   352.00\r\n"},
        {99, 99 * WeekSlotsPerSeason * GamesPerWeekSlot, "Good0.fla      34848-0-0 100.0 %   34848.00\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seasons);
        SeasonBuilder builder(c.seasons, 2024);
        for (int year = 2024 - c.seasons + 1; year <= 2024; ++year) {
            for (int week = 1; week <= WeekSlotsPerSeason; ++week) {
                const int slot = builder.AddWeek(year, week);
                for (int g = 0; g < GamesPerWeekSlot; ++g) {
                    GameSpec game;
                    game.home = 2 * g + 1;
                    game.away = 2 * g + 2;
                    game.homeScore = 21;
                    game.awayScore = 17;
                    game.homeRush = game.awayRush = 120;
                    game.homeRushAtt = game.awayRushAtt = 25;
                    game.homePass = game.awayPass = 200;
                    game.homePassAtt = game.awayPassAtt = 30;
                    game.homeComp = game.awayComp = 18;
                    game.homeTop = game.awayTop = 1800;
                    game.homeFirstDowns = game.awayFirstDowns = 18;
                    builder.AddGame(slot, game);
                }
            }
        }
        Low() = PlainFormula(1);
        Low()[fsHomeField] = 10;
        high = {};
        for (int k = 0; k < RangeSlots; ++k)
            high[static_cast<std::size_t>(k)] = Low()[static_cast<std::size_t>(k)];
        high[fsCurrentWeek] = static_cast<float>(c.seasons * WeekSlotsPerSeason);
        Run(true);
        EXPECT_EQ(engine.WinCount(), c.wins);
        EXPECT_EQ(engine.LossCount() + engine.TieCount(), 0);
        EXPECT_EQ(engine.BestRow[rrWins], static_cast<float>(c.wins));
        EXPECT_EQ(engine.BestRow[rrWinPercent], 100);
        const std::string log = File("FormulaList.txt");
        EXPECT_NE(log.find(c.entry), std::string::npos) << log;
    }
}

TEST_F(TestRun, ANestedRunFromAnEventHandlerIsRefused)
{
    high[fsHomeField] = 2;
    int nestedEvents = 0;
    engine.Progress = [&](TSPredict::FormulaRow&, TSPredict::FormulaRow&, std::string&, std::string&) {
        ++nestedEvents;
        EXPECT_TRUE(engine.Running());
        FormulaHighEnds other = high;
        engine.TestFormulas({.Low = App().CurrentFormula, .High = other, .Filters = filters, .PlayedGamesOnly = true});
    };
    Run(false);
    EXPECT_EQ(nestedEvents, 4) << "three combinations and the end, nothing from the nested calls";
    EXPECT_FALSE(engine.Running());
}

TEST_F(TestRun, RowsKeepTheirContentsBetweenCallsUntilClearBest)
{
    Run(false);
    const TSPredict::FormulaRow first = engine.BestRow;
    EXPECT_EQ(first[9], 1);
    EXPECT_EQ(first[10], 1);
    filters[4] = 5;   // no combination reaches 5 decided games
    events = {};
    events.Attach(engine);
    Run(false);
    EXPECT_EQ(events.progress[0].best, first);
    engine.ClearBest();
    events = {};
    events.Attach(engine);
    Run(false);
    EXPECT_EQ(events.progress[0].best, TSPredict::FormulaRow{});
}

TEST_F(TestRun, AWorstWithNoWinsIsNotReplacedByABetterCandidate)
{
    // Home-side margins against the spread of 4 + H (a loss) and 2 + H (a win), MinDiff 1:
    // H -2 and -1 pick only the loss (0-1), H 0 picks both (1-1).
    BuildMatchWeek({Game(1, 2, 10, 17, -3), Game(3, 4, 30, 17, -5)});
    Low()[fsMinDiff] = 1;
    high[fsMinDiff] = 1;
    Low()[fsMaxDiff] = 20;
    high[fsMaxDiff] = 20;
    Low()[fsHomeField] = -2;
    high[fsHomeField] = 0;
    Run(false, 0, true);
    EXPECT_EQ(engine.WorstRow[9], 0);
    EXPECT_EQ(engine.WorstRow[10], 1);
    EXPECT_EQ(engine.WorstRow[0], -2) << "the first formula without a win stays the worst";
    EXPECT_EQ(engine.BestRow[0], 0);
    EXPECT_EQ(engine.BestRow[12], 50);
}

TEST_F(TestRun, ABestOfExactlyZeroUnitsIsNotReplacedByAWorseCandidate)
{
    // Money lines at pick'em: a home win pays 1, a home loss costs 1. Margins 7 (win) and 18 (loss).
    Match win = Game(1, 2, 21, 17, 0);
    Match loss = Game(3, 4, 10, 17, 0);
    loss.homePoints = 30;
    loss.awayPoints = 12;
    BuildMatchWeek({win, loss});
    engine.SetMoneyLine(1);
    Low()[fsMaxDiff] = 50;
    high[fsMaxDiff] = 50;
    high[fsMinDiff] = 10;
    Run(false);
    EXPECT_EQ(engine.BestRow[13], 0);
    EXPECT_EQ(engine.BestRow[1], 0) << "MinDiff 0 gave 0.00 units first; MinDiff 7 and up give -1";
    EXPECT_EQ(engine.WorstRow[13], 1.0f) << "loss minus 1.1 x wins of the worst (0-1)";
    EXPECT_EQ(engine.WorstRow[1], 7);
}

TEST_F(TestRun, QuickSearchSweepsOneSlotAtATimeTwiceAndEndsOnTheBestRow)
{
    std::vector<Match> matches;
    for (int i = 0; i < 8; ++i)
        matches.push_back(Game(2 * i + 1, 2 * i + 2, 20 + i, 17, static_cast<float>(i) - 4));
    BuildMatchWeek(matches);
    filters = {-1000, 1000, -1, 100, 0};
    Low()[fsMultiplier] = 0.8f;
    high[fsMultiplier] = 1.2f;
    Low()[fsHomeField] = 0;
    high[fsHomeField] = 1;
    Low()[fsRushing] = 90;
    high[fsRushing] = 100;
    Low()[fsPassing] = 0;
    high[fsPassing] = 10;
    Low()[fsMinDiff] = 0;
    high[fsMinDiff] = 0;
    Run(true, 1);
    const auto files = GoodFiles();
    ASSERT_EQ(files.size(), 23u);
    EXPECT_NEAR(engine.TotalCombinations(), 23, 1e-4);
    // Start point: multiplier 1, home field 0.5, rushing 95 (passing 5).
    EXPECT_EQ(files[0][3], 1);
    EXPECT_EQ(files[0][0], 0.5f);
    EXPECT_EQ(files[0][7], 95);
    EXPECT_EQ(files[0][8], 5);
    for (int pass = 0; pass < 2; ++pass) {
        const int base = 1 + pass * 11;
        const float m[] = {0.8f, 0.9f, 1.0f, 1.1f, 1.2f};
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(files[static_cast<std::size_t>(base + i)][3], m[i]) << pass << " " << i;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(files[static_cast<std::size_t>(base + 5 + i)][0], 0.5f * i);
            EXPECT_EQ(files[static_cast<std::size_t>(base + 8 + i)][7], 90 + 5 * i);
            EXPECT_EQ(files[static_cast<std::size_t>(base + 8 + i)][8], 10 - 5 * i);
        }
        // Every sweep keeps the values the sweeps before it chose.
        const float chosenM = files[static_cast<std::size_t>(base + 5)][3];
        EXPECT_EQ(files[static_cast<std::size_t>(base + 10)][3], chosenM);
        EXPECT_EQ(files[static_cast<std::size_t>(base + 8)][0], files[static_cast<std::size_t>(base + 10)][0]);
    }
    EXPECT_EQ(engine.CurrentRollingWeeks(), engine.BestRow[14]);
}

TEST_F(TestRun, QuickSearchWithoutQualifyingCombinationsReturnsToTheStartValues)
{
    filters[4] = 1000;
    Low()[fsMultiplier] = 0.8f;
    high[fsMultiplier] = 1.2f;
    Low()[fsHomeField] = 0;
    high[fsHomeField] = 3;
    Low()[fsRollingWeeks] = 1;
    high[fsRollingWeeks] = 2;
    Run(false, 1);
    EXPECT_EQ(engine.BestRow[8], 1);
    EXPECT_EQ(engine.BestRow[0], 1.5f);
    EXPECT_EQ(engine.CombinationsDone(), 2 * (1 + 2 * (5 + 7)));
}

TEST_F(TestRun, EverySavedFormulaReproducesTheResultItWasSavedFor)
{
    // Two seasons, weeks across the start of the newer one, rolling windows 0 (season to date)
    // to 2 searched from a lower end of 0.
    GeneratedOptions options;
    options.seasons = 2;
    options.seed = 11;
    GenerateSeasons(options);
    Low() = PlainFormula(15);
    Low()[fsOffense] = 50;
    Low()[fsDefense] = 50;
    Low()[fsRushing] = 50;
    Low()[fsPassing] = 50;
    Low()[fsMinDiff] = 1;
    Low()[fsMaxDiff] = 12;
    Low()[fsRollingWeeks] = 0;
    Low()[fsDiscardHighLow] = 1;
    for (int k = 0; k < RangeSlots; ++k)
        high[static_cast<std::size_t>(k)] = Low()[static_cast<std::size_t>(k)];
    high[fsRollingWeeks] = 2;
    high[fsHomeField] = 1;
    high[fsCurrentWeek] = 30;
    filters = {-1000, 1000, -1, 100, 0};
    Run(true);
    const std::string log = File("FormulaList.txt");
    int checked = 0;
    for (int n = 0; Exists("Good" + std::to_string(n) + ".fla"); ++n) {
        const std::string name = "Good" + std::to_string(n) + ".fla";
        const std::size_t at = log.find("\r\n" + name);
        ASSERT_NE(at, std::string::npos);
        const std::string record = log.substr(at + 2 + 15, 10);
        Formula saved{};
        ASSERT_TRUE(ReadFormulaFile(folder / name, saved));
        saved[fsCurrentWeek] = 15;
        FormulaHighEnds savedHigh{};
        for (int k = 0; k < RangeSlots; ++k)
            savedHigh[static_cast<std::size_t>(k)] = saved[static_cast<std::size_t>(k)];
        savedHigh[fsCurrentWeek] = 30;
        App().CurrentFormula = saved;
        TSPredict again{host};
        again.TestFormulas({.Low = App().CurrentFormula, .High = savedHigh, .Filters = filters, .PlayedGamesOnly = true});
        const std::string result = std::to_string(again.WinCount()) + "-" + std::to_string(again.LossCount()) + "-" +
                                   std::to_string(again.TieCount());
        EXPECT_EQ(FormulaLog::PadTo(result, 10), record) << name << " (rolling " << saved[fsRollingWeeks] << ")";
        ++checked;
    }
    EXPECT_EQ(checked, 6);
}

TEST_F(TestRun, IndexesOutsideTheLoadedArraysAreSkipped)
{
    Low()[fsPowerRating] = 1;
    Low()[fsCurrentWeek] = -3;
    high[fsCurrentWeek] = 500;
    Run(true);
    EXPECT_EQ(events.order.back(), "Done");
    EXPECT_EQ(File("FormulaList.txt").find("Run from"), std::string::npos) << "a week the selector lacks loses its line";

    // Team codes beyond the tables in single-game mode, with power ratings on.
    Formula& f = App().CurrentFormula;
    f = PlainFormula(2);
    f[fsPowerRating] = 1;
    engine.TestFormulas({.Low = f, .High = f, .Filters = filters, .HomeTeam = 250, .AwayTeam = 40, .SingleGame = true});
    ASSERT_FALSE(events.weekly.empty());
    EXPECT_NE(Cell(events.weekly.back(), 0, 2), "<empty>");

    engine.lastgame_team(1, 30000, 4);
    engine.lastgame_opponent(40, 3, 4);
    engine.CalcPowerRating(30000, 99);
    engine.CalcPowerRating(-5);
    engine.highlowtem(" 1", 0, 20, -1, 3);
    EXPECT_EQ(engine.TeamTotals[18], 0);
}

} // namespace
} // namespace vexal::test
