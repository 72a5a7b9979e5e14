// Single-formula runs (predictions and one-combination back-tests): the order of the events,
// the weekly table, the predicted scores and the grading against the line with every filter.
#include "EngineTestSupport.h"

#include <stdexcept>

namespace vexal::test {
namespace {

Match Game(int home, int away, int homeScore, int awayScore, float spread, float total = 44)
{
    Match m;
    m.home = home;
    m.away = away;
    m.homeScore = homeScore;
    m.awayScore = awayScore;
    m.spread = spread;
    m.total = total;
    return m;
}

class Prediction : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        App().CurrentFormula = PlainFormula(2);
    }
    Formula& F() { return App().CurrentFormula; }
    const WeeklyTableArray& Table()
    {
        EXPECT_EQ(events.weekly.size(), 1u);
        static WeeklyTableArray empty{};
        return events.weekly.empty() ? empty : events.weekly.back();
    }
    std::string Pick(int row) { return Cell(Table(), row, 0); }
    std::string Result(int row) { return Cell(Table(), row, 1); }
};

TEST_F(Prediction, OneFormulaRaisesProgressWeeklyFinalProgressAndDoneInOrder)
{
    BuildMatchWeek({Game(1, 2, 21, 17, -3), Game(3, 4, -1, -1, 2.5f)});
    Predict();
    EXPECT_EQ(events.order, (std::vector<std::string>{"Progress 100.0", "Weekly", "Progress  100", "Done"}));
    const WeeklyTableArray& t = Table();
    EXPECT_EQ(Cell(t, 0, 2), "24");
    EXPECT_EQ(Cell(t, 0, 3), "17");
    EXPECT_EQ(Cell(t, 1, 2), "24") << "an unplayed game is predicted";
    EXPECT_EQ(Cell(t, 0, 0), "1");
    EXPECT_EQ(Cell(t, 0, 1), "Win");
    for (int row = 2; row < 17; ++row)
        for (int col = 0; col < 5; ++col)
            EXPECT_EQ(Cell(t, row, col), "<empty>") << row << "," << col;
    EXPECT_EQ(Cell(t, 0, 4), "<empty>");
    EXPECT_EQ(engine.TotalCombinations(), 1);
    EXPECT_EQ(events.progress[1].percent, " 100");
}

TEST_F(Prediction, TwentyTwoSlotHighEvaluatesPlayedGamesOnly)
{
    BuildMatchWeek({Game(1, 2, 21, 17, -3), Game(3, 4, -1, -1, 2.5f)});
    BackTest();
    EXPECT_EQ(events.order, (std::vector<std::string>{"Progress 100.0", "Weekly", "Progress  100", "Done"}));
    EXPECT_EQ(Cell(Table(), 0, 2), "24");
    EXPECT_EQ(Cell(Table(), 1, 2), "<empty>");
    EXPECT_EQ(Cell(Table(), 1, 0), "<empty>");
}

TEST_F(Prediction, SidesAreGradedAgainstTheSpreadWithTheTeaserAdded)
{
    // Predicted 24-17 with the home side giving 3: the home side is picked.
    BuildMatchWeek({Game(1, 2, 20, 17, -3), Game(3, 4, 21, 17, -3), Game(5, 6, 19, 17, -3)});
    F()[fsMinDiff] = 2;
    Predict();
    EXPECT_EQ(Pick(0), "1");
    EXPECT_EQ(Result(0), "Tie");
    EXPECT_EQ(Result(1), "Win");
    EXPECT_EQ(Result(2), "Loss");
    EXPECT_EQ(engine.WinCount(), 1);
    EXPECT_EQ(engine.LossCount(), 1);
    EXPECT_EQ(engine.TieCount(), 1);

    events = {};
    events.Attach(engine);
    engine.SetTeaser(6);
    Predict();
    EXPECT_EQ(Result(2), "Win") << "19 + 6 - 3 beats 17";
    EXPECT_EQ(Result(0), "Win");
}

TEST_F(Prediction, AwaySideIsPickedWhenTheAwayMarginFits)
{
    // Predicted 24-17 with the home side giving 10: 17 + 10 - 24 = 3.
    BuildMatchWeek({Game(1, 2, 30, 17, -10), Game(3, 4, 20, 17, -10)});
    F()[fsMinDiff] = 2;
    Predict();
    EXPECT_EQ(Pick(0), "2");
    EXPECT_EQ(Result(0), "Loss");
    EXPECT_EQ(Result(1), "Win");
}

TEST_F(Prediction, BothDifferenceBoundsAreStrict)
{
    BuildMatchWeek({Game(1, 2, 20, 17, -3)});
    F()[fsMinDiff] = 4;   // 24 - 3 - 17 is exactly 4
    Predict();
    EXPECT_EQ(Pick(0), "-1");
    EXPECT_EQ(Result(0), "");
    events = {};
    events.Attach(engine);
    F()[fsMinDiff] = 0;
    F()[fsMaxDiff] = 4;
    Predict();
    EXPECT_EQ(Pick(0), "-1");
    events = {};
    events.Attach(engine);
    F()[fsMaxDiff] = 4.5f;
    Predict();
    EXPECT_EQ(Pick(0), "1");
}

TEST_F(Prediction, FavouriteUnderdogHomeAndAwayFilters)
{
    // Predicted 24-17 in every row: home favoured by 3, pick'em, home underdog by 3 and by 10;
    // the home side is picked in each.
    BuildMatchWeek({Game(1, 2, 20, 10, -3), Game(3, 4, 20, 10, 0), Game(5, 6, 20, 10, 3), Game(7, 8, 10, 20, 10)});
    F()[fsMinDiff] = 0;
    F()[fsMaxDiff] = 50;
    auto picks = [&] {
        events = {};
        events.Attach(engine);
        Predict();
        return std::vector<std::string>{Pick(0), Pick(1), Pick(2), Pick(3)};
    };
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "3", "5", "7"}));
    F()[fsFavOrOver] = 1;
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "-1", "-1", "-1"})) << "a pick'em has no favourite";
    F()[fsFavOrOver] = 0;
    F()[fsDogOrUnder] = 1;
    EXPECT_EQ(picks(), (std::vector<std::string>{"-1", "-1", "5", "7"}));
    F()[fsDogOrUnder] = 0;
    F()[fsFavOrOver] = 10;
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "3", "5", "7"})) << "an overs setting lets home plays through";
    F()[fsFavOrOver] = 0;
    F()[fsAwayOnly] = 1;
    EXPECT_EQ(picks(), (std::vector<std::string>{"-1", "-1", "-1", "-1"}));
}

TEST_F(Prediction, AwayPlaysAndTheirFilters)
{
    // Predicted 24-17: with the home side giving 10 the away side is picked (away favoured: no).
    BuildMatchWeek({Game(1, 2, 10, 20, -10), Game(3, 4, 10, 20, -10)});
    F()[fsMinDiff] = 1;
    F()[fsMaxDiff] = 50;
    auto picks = [&] {
        events = {};
        events.Attach(engine);
        Predict();
        return std::vector<std::string>{Pick(0), Result(0)};
    };
    EXPECT_EQ(picks(), (std::vector<std::string>{"2", "Win"}));
    F()[fsHomeOnly] = 1;
    EXPECT_EQ(picks(), (std::vector<std::string>{"-1", ""}));
    F()[fsHomeOnly] = 0;
    F()[fsDogOrUnder] = 1;
    EXPECT_EQ(picks(), (std::vector<std::string>{"2", "Win"})) << "the away side is the underdog";
    F()[fsDogOrUnder] = 0;
    F()[fsFavOrOver] = 1;
    EXPECT_EQ(picks(), (std::vector<std::string>{"-1", ""}));
    F()[fsFavOrOver] = 10;
    EXPECT_EQ(picks(), (std::vector<std::string>{"-1", ""})) << "no pass for the values 10 on the away side";
}

TEST_F(Prediction, LineRangeFilterSignedAbsoluteAndOff)
{
    BuildMatchWeek({Game(1, 2, 20, 10, -3), Game(3, 4, 20, 10, -2.5f), Game(5, 6, 20, 10, 7),
                    Game(7, 8, 20, 10, 7.5f)});
    F()[fsMaxDiff] = 50;
    auto picks = [&] {
        events = {};
        events.Attach(engine);
        Predict();
        return std::vector<std::string>{Pick(0), Pick(1), Pick(2), Pick(3)};
    };
    F()[fsLineStart] = 103;
    F()[fsLineEnd] = 107;
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "<empty>", "5", "<empty>"}));
    F()[fsLineStart] = 107;   // given high to low: put in order in the caller's formula
    F()[fsLineEnd] = 103;
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "<empty>", "5", "<empty>"}));
    EXPECT_EQ(F()[fsLineStart], 103);
    EXPECT_EQ(F()[fsLineEnd], 107);
    F()[fsLineStart] = -3;
    F()[fsLineEnd] = 0;
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "3", "<empty>", "<empty>"}));
    F()[fsLineStart] = 99;
    F()[fsLineEnd] = 0;
    EXPECT_EQ(picks(), (std::vector<std::string>{"1", "3", "5", "7"}));
}

TEST_F(Prediction, TotalsAreGradedAgainstThePostedTotal)
{
    // Predicted total 41.
    BuildMatchWeek({Game(1, 2, 20, 17, 0, 38), Game(3, 4, 20, 17, 0, 45), Game(5, 6, 20, 17, 0, 39),
                    Game(7, 8, 21, 17, 0, 38)});
    F()[fsTotalsMode] = 1;
    F()[fsMinDiff] = 2;
    Predict();
    EXPECT_EQ(Pick(0), "101");
    EXPECT_EQ(Result(0), "Loss");
    EXPECT_EQ(Pick(1), "100");
    EXPECT_EQ(Result(1), "Win");
    EXPECT_EQ(Pick(2), "0") << "39 + 2 is not below 41";
    EXPECT_EQ(Result(2), "");
    EXPECT_EQ(Result(3), "Tie");

    events = {};
    events.Attach(engine);
    engine.SetTeaser(6);
    Predict();
    EXPECT_EQ(Result(0), "Win") << "37 + 6 > 38";
    EXPECT_EQ(Result(1), "Win");

    events = {};
    events.Attach(engine);
    F()[fsFavOrOver] = 10;   // overs only
    Predict();
    EXPECT_EQ(Pick(0), "101");
    EXPECT_EQ(Pick(1), "0");
    F()[fsFavOrOver] = 0;
    F()[fsDogOrUnder] = 10;
    events = {};
    events.Attach(engine);
    Predict();
    EXPECT_EQ(Pick(0), "0");
    EXPECT_EQ(Pick(1), "100");
}

TEST_F(Prediction, TotalsSkipAGameWhoseAwayScorePlusTotalIsZero)
{
    BuildMatchWeek({Game(1, 2, -1, -1, 0, 1)});
    F()[fsTotalsMode] = 1;
    Predict();
    EXPECT_EQ(Pick(0), "<empty>");
    EXPECT_EQ(Cell(Table(), 0, 2), "24");
}

TEST_F(Prediction, MoneyLineUnitsFromTheFactorTables)
{
    auto bestUnits = [&](float spread, int homePoints, int awayPoints, int homeScore, int awayScore) {
        Match m = Game(1, 2, homeScore, awayScore, spread);
        m.homePoints = homePoints;
        m.awayPoints = awayPoints;
        BuildMatchWeek({m});
        App().CurrentFormula = PlainFormula(2);
        App().CurrentFormula[fsMaxDiff] = 50;
        engine.SetMoneyLine(1);
        engine.ClearBest();
        events = {};
        events.Attach(engine);
        BackTest();
        EXPECT_EQ(Season().Spread(1, 0), spread) << "the spread is put back";
        return engine.BestRow[13];
    };
    EXPECT_EQ(bestUnits(7, 24, 17, 21, 17), 2.5f) << "home underdog wins";
    EXPECT_EQ(bestUnits(-7, 24, 17, 17, 21), -3.3f) << "home favourite loses, graded straight up";
    EXPECT_EQ(bestUnits(0, 17, 24, 21, 17), -1.1f) << "pick'em away loss";
    EXPECT_EQ(bestUnits(0, 24, 17, 17, 21), -1.0f) << "pick'em home loss";
    EXPECT_EQ(engine.WorstRow[13], 1.0f) << "the worst row's units never use money lines";
}

TEST_F(Prediction, NoLineHoldsTheSpreadAtZeroAndPutsItBackEvenWhenAGameIsSkipped)
{
    BuildMatchWeek({Game(1, 2, 20, 17, -10), Game(3, 4, -1, -1, -6.5f), Game(5, 6, 20, 17, 3)});
    F()[fsNoLine] = 1;
    F()[fsMinDiff] = 2;
    const std::vector<float> before = Season().SeasonLines;
    BackTest();
    EXPECT_EQ(Season().SeasonLines, before);
    EXPECT_EQ(Pick(0), "1") << "graded as if the spread were 0";
    EXPECT_EQ(Result(0), "Win");

    // An event handler that fails inside the evaluation leaves the spread as it was.
    engine.Stats = [](TSPredict::TotalsArray&, TSPredict::TotalsArray&, TSPredict::AveragesArray&,
                      TSPredict::AveragesArray&) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(BackTest(), std::runtime_error);
    EXPECT_EQ(Season().SeasonLines, before);
    EXPECT_FALSE(engine.Running());
}

TEST_F(Prediction, SingleGameModePredictsTheGivenTeamsInEveryOccupiedSlot)
{
    Match m1 = Game(1, 2, -1, -1, 0);
    Match m2 = Game(3, 4, -1, -1, 0);
    m2.homePoints = 30;
    m2.awayPoints = 12;
    BuildMatchWeek({m1, m2});
    Predict(true, 3, 2);
    EXPECT_EQ(Cell(Table(), 0, 2), "30");
    EXPECT_EQ(Cell(Table(), 0, 3), "17");
    EXPECT_EQ(Cell(Table(), 1, 2), "30");
    EXPECT_EQ(Cell(Table(), 2, 2), "<empty>");
}

TEST_F(Prediction, TeamFilterWithAndWithoutSeparateHomeAway)
{
    BuildMatchWeek({Game(5, 2, 20, 17, 0), Game(3, 5, 20, 17, 0), Game(6, 7, 20, 17, 0)});
    Formula& f = F();
    engine.TestFormulas({.Low = f, .High = f, .Filters = filters, .HomeTeam = 5});
    EXPECT_EQ(Cell(events.weekly.back(), 0, 2), "24");
    EXPECT_EQ(Cell(events.weekly.back(), 1, 2), "24");
    EXPECT_EQ(Cell(events.weekly.back(), 2, 2), "<empty>");
    f[fsSeparateHomeAway] = 1;
    engine.TestFormulas({.Low = f, .High = f, .Filters = filters, .HomeTeam = 5});
    EXPECT_EQ(Cell(events.weekly.back(), 0, 2), "14") << "team 2's home game does not count for it as visitor";
    EXPECT_EQ(Cell(events.weekly.back(), 1, 2), "<empty>");
}

TEST_F(Prediction, OtherFactorsAreSplitBetweenTheScores)
{
    BuildMatchWeek({Game(1, 2, 20, 17, 0)});
    Season().Game(1, 0, gfInjury) = 3;
    Season().Game(1, 0, gfWeather) = 2;
    Season().Game(1, 0, gfPsychological) = -1;
    Season().Game(1, 0, gfSituational) = 0;
    F()[fsOtherFactors] = 1;
    F()[fsHomeField] = 3;
    Predict();
    EXPECT_EQ(Cell(Table(), 0, 2), "27.5") << "24 + 3/2 + 4/2";
    EXPECT_EQ(Cell(Table(), 0, 3), "13.5");
}

TEST_F(Prediction, CliffAdjustmentByProjectedPossession)
{
    const int tops[] = {1920, 1860, 1800, 1799, 1680, 1679};
    const double moved[] = {3, 2.5, 2, 2, 1.5, 1};
    std::vector<Match> matches;
    for (int i = 0; i < 6; ++i) {
        Match m = Game(2 * i + 1, 2 * i + 2, 20, 17, 0);
        m.homeTop = tops[i];
        m.awayOppTop = tops[i];
        matches.push_back(m);
    }
    BuildMatchWeek(matches);
    engine.SetCliffAdjust(1);
    Predict();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(CellNumber(Table()[static_cast<std::size_t>(i)][2]), 24 - moved[i]) << tops[i];
        EXPECT_EQ(CellNumber(Table()[static_cast<std::size_t>(i)][3]), 17 + moved[i]) << tops[i];
    }
    // Different possession of the two sides: (1950 + 1890) / 2 = 1920.
    Match m = Game(1, 2, 20, 17, 0);
    m.homeTop = 1950;
    m.awayOppTop = 1890;
    BuildMatchWeek({m});
    events = {};
    events.Attach(engine);
    Predict();
    EXPECT_EQ(Cell(Table(), 0, 2), "21");
    EXPECT_EQ(Cell(Table(), 0, 3), "20");
}

TEST_F(Prediction, PredictedScoresAreFlooredAtZero)
{
    BuildMatchWeek({Game(1, 2, 20, 17, 0)});
    F()[fsHomeField] = -60;
    Predict();
    EXPECT_EQ(Cell(Table(), 0, 2), "0");
    EXPECT_EQ(Cell(Table(), 0, 3), "47");
}

TEST_F(Prediction, PowerRatingsAdjustBothScores)
{
    BuildMatchWeek({Game(1, 2, 20, 17, 0)});
    F()[fsPowerRating] = 1;
    Predict();
    EXPECT_EQ(events.powerRatings, 1) << "once per week slot of the range in the statistics pass";
    const auto& p = engine.PowerTable;
    const float c14 = static_cast<float>((static_cast<double>(p[1][1]) - p[1][4]) / 2 - (static_cast<double>(p[2][2]) - p[2][5]) / 2);
    EXPECT_EQ(CellNumber(Table()[0][2]), static_cast<float>(24.0 + c14));
}

TEST_F(Prediction, SeasonToDateMakesNoPlayInASeasonsFirstWeek)
{
    BuildMatchWeek({Game(1, 2, 20, 17, -30)});
    F()[fsRollingWeeks] = 0;
    F()[fsCurrentWeek] = 1;
    F()[fsHomeField] = 10;
    Predict();
    EXPECT_EQ(Cell(Table(), 0, 2), "5");
    EXPECT_EQ(Pick(0), "<empty>");
    EXPECT_EQ(engine.WinCount() + engine.LossCount() + engine.TieCount(), 0);
}

TEST_F(Prediction, WeeklyBreakdownLines)
{
    // Week 2: 3-1-0; week 4: 2-2-0; weeks 1 and 3 make no plays.
    BuildMatchWeeks({{Game(1, 2, 30, 10, 0), Game(3, 4, 30, 10, 0), Game(5, 6, 30, 10, 0), Game(7, 8, 10, 30, 0)},
                     {Game(9, 10, 30, 10, 0), Game(11, 12, 30, 10, 0), Game(13, 14, 10, 30, 0),
                      Game(15, 16, 10, 30, 0)}});
    Formula& f = F();
    f[fsCurrentWeek] = 1;
    Formula high = f;
    high[fsCurrentWeek] = 4;
    engine.TestFormulas({.Low = f, .High = high, .Filters = filters, .ShowWeekly = true});
    ASSERT_FALSE(events.progress.empty());
    const std::string expected = std::string(12, ' ') + "Weekly" + std::string(12, ' ') + "Season\r\n" +
                                 "Week        W-L-T  Win%       W-L-T      Win%\r\n\r\n" +
                                 "1 of 2024   0-0-0  0.00%      0-0-0      0.00%\r\n" +
                                 "2 of 2024   3-1-0  75.00%     3-1-0      75.00%\r\n" +
                                 "3 of 2024   0-0-0  0.00%      3-1-0      75.00%\r\n" +
                                 "4 of 2024   2-2-0  50.00%     5-3-0      62.50%\r\n";
    EXPECT_EQ(events.progress[0].message, expected);
    EXPECT_EQ(events.progress[0].percent, "100.0");
}

TEST_F(Prediction, WeekLimitIsDecodedFromSlotsEighteenAndNineteen)
{
    GeneratedOptions options;
    options.seasons = 1;
    GenerateSeasons(options);
    Formula& f = F();
    f = PlainFormula(1);
    f[fsMaxDiff] = 99;
    f[fsHomeOnly] = 30;    // home only off, first limited week 3
    f[fsAwayOnly] = 150;   // away only off, last limited week 15
    FormulaHighEnds high{};
    for (int k = 0; k < RangeSlots; ++k)
        high[static_cast<std::size_t>(k)] = f[static_cast<std::size_t>(k)];
    high[fsCurrentWeek] = 21;
    f[fsHomeOnly] = 31;
    engine.TestFormulas({.Low = f, .High = high, .Filters = filters, .PlayedGamesOnly = true, .ShowWeekly = true});
    EXPECT_EQ(f[fsHomeOnly], 1);
    EXPECT_EQ(f[fsAwayOnly], 0);
    ASSERT_EQ(events.Percents(), (std::vector<std::string>{"95.0", "100.0", " 100"}))
        << "a run of one combination also reports at week index 20";
    const std::string& text = events.progress[1].message;
    EXPECT_EQ(text.find("\r\n2 of 2024"), std::string::npos);
    EXPECT_NE(text.find("\r\n3 of 2024"), std::string::npos);
    EXPECT_NE(text.find("\r\n15 of 2024"), std::string::npos);
    EXPECT_EQ(text.find("\r\n16 of 2024"), std::string::npos);

    // One of the two below 10: no limit, both slots kept.
    events = {};
    events.Attach(engine);
    f[fsHomeOnly] = 31;
    f[fsAwayOnly] = 5;
    engine.TestFormulas({.Low = f, .High = high, .Filters = filters, .PlayedGamesOnly = true, .ShowWeekly = true});
    EXPECT_EQ(f[fsHomeOnly], 31);
    EXPECT_EQ(f[fsAwayOnly], 5);
}

TEST_F(Prediction, AWeekOfLoadedSampleSeasonsIsPredictedAndBackTestedPlayedGamesOnly)
{
    ASSERT_TRUE(LoadSampleSeasons(2, 10));
    F() = PlainFormula(0);
    F()[fsRollingWeeks] = 4;
    F()[fsOffense] = 50;
    F()[fsDefense] = 50;
    F()[fsRushing] = 40;
    F()[fsPassing] = 60;
    F()[fsHomeField] = 3;
    F()[fsMinDiff] = 1;
    const int slot = Season().SeasonFirstWeek[0] + 11;   // week 12 of 2024, not played yet
    F()[fsCurrentWeek] = static_cast<float>(slot + 1);
    int games = 0;
    while (games < 16 && Season().Game(slot, games, gfHomeTeam) != 0)
        ++games;
    ASSERT_GT(games, 10);
    Predict();
    EXPECT_EQ(events.order, (std::vector<std::string>{"Progress 100.0", "Weekly", "Progress  100", "Done"}));
    for (int g = 0; g < 17; ++g) {
        EXPECT_EQ(Cell(Table(), g, 2) == "<empty>", g >= games) << g;
        if (g < games) {
            EXPECT_GT(CellNumber(Table()[static_cast<std::size_t>(g)][2]), 5) << g;
        }
    }

    events = {};
    events.Attach(engine);
    BackTest();
    EXPECT_EQ(Cell(Table(), 0, 2), "<empty>") << "no game of the week has been played";
    EXPECT_EQ(engine.GameEvaluations(), 0u);

    // A played week of the older season is back-tested game by game.
    events = {};
    events.Attach(engine);
    F()[fsCurrentWeek] = 8;
    BackTest();
    EXPECT_NE(Cell(Table(), 0, 2), "<empty>");
    EXPECT_GT(engine.WinCount() + engine.LossCount() + engine.TieCount(), 0);
}

} // namespace
} // namespace vexal::test
