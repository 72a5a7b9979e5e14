// lastgame_team, lastgame_opponent, highlowtem and highlowopp: the window of games walked,
// the sums and averages, the Stats event, the high and low game drop and the division rules.
#include "EngineTestSupport.h"

#include <cmath>

namespace vexal::test {
namespace {

// Week 1: team 1 at home beats team 2, 24-17. Week 2: team 1 wins at team 3, 20-10.
// Week 3: teams 2 and 3 only. Week 4 is the current week.
GameSpec Week1Game()
{
    GameSpec g;
    g.home = 1, g.away = 2, g.homeScore = 24, g.awayScore = 17;
    g.homeRush = 120, g.homePass = 230, g.homeRushAtt = 30, g.homePassAtt = 35, g.homeComp = 22;
    g.homeInt = 1, g.homeFum = 0, g.homeSacks = 2, g.homeTop = 1900, g.homeTds = 2, g.homeFirstDowns = 20;
    g.awayRush = 90, g.awayPass = 200, g.awayRushAtt = 25, g.awayPassAtt = 30, g.awayComp = 18;
    g.awayInt = 2, g.awayFum = 1, g.awaySacks = 3, g.awayTop = 1700, g.awayTds = 1, g.awayFirstDowns = 17;
    return g;
}

GameSpec Week2Game()
{
    GameSpec g;
    g.home = 3, g.away = 1, g.homeScore = 10, g.awayScore = 20;
    g.homeRush = 80, g.homePass = 150, g.homeRushAtt = 22, g.homePassAtt = 28, g.homeComp = 15;
    g.homeInt = 0, g.homeFum = 2, g.homeSacks = 4, g.homeTop = 1600, g.homeTds = 1, g.homeFirstDowns = 14;
    g.awayRush = 140, g.awayPass = 180, g.awayRushAtt = 34, g.awayPassAtt = 26, g.awayComp = 17;
    g.awayInt = 0, g.awayFum = 1, g.awaySacks = 1, g.awayTop = 2000, g.awayTds = 2, g.awayFirstDowns = 21;
    return g;
}

GameSpec Plain(int home, int away, int homeScore, int awayScore)
{
    GameSpec g;
    g.home = home, g.away = away, g.homeScore = homeScore, g.awayScore = awayScore;
    g.homeRush = 100, g.homePass = 200, g.homeRushAtt = 25, g.homePassAtt = 30, g.homeComp = 20;
    g.awayRush = 100, g.awayPass = 200, g.awayRushAtt = 25, g.awayPassAtt = 30, g.awayComp = 20;
    g.homeTop = 1800, g.awayTop = 1800;
    return g;
}

float Rating(double cmp, double att, double yds, double td, double ints)
{
    auto clamp = [](float v) { return v < 0 ? 0.0f : v > 2.375f ? 2.375f : v; };
    const float a = clamp(static_cast<float>(cmp / att * 5 - 1.5));
    const float b = clamp(static_cast<float>(yds / att * 0.25 - 0.75));
    const float c = clamp(static_cast<float>(td / att * 20));
    const float d = clamp(static_cast<float>(2.375 - ints / att * 25));
    return static_cast<float>((static_cast<double>(a) + b + c + d) / 6 * 100);
}

class RollingStats : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        SeasonBuilder b(1, 2024);
        b.AddGame(b.AddWeek(2024, 1), Week1Game());
        b.AddGame(b.AddWeek(2024, 2), Week2Game());
        b.AddGame(b.AddWeek(2024, 3), Plain(2, 3, 13, 27));
        b.AddWeek(2024, 4);
        App().CurrentFormula[fsRollingWeeks] = 3;
    }
};

TEST_F(RollingStats, TeamWindowSumsBothSidesOfItsGames)
{
    engine.lastgame_team(1, 4, 3);
    const auto& t = engine.TeamTotals;
    const std::array<float, 25> expected{44, 260, 410, 64, 61, 39, 1, 1, 3, 27, 170, 350, 58, 47, 33, 2, 3, 7,
                                         2, 3900, 3300, 4, 2, 41, 31};
    for (std::size_t k = 0; k < 25; ++k)
        EXPECT_EQ(t[k], expected[k]) << "element " << k;
    EXPECT_EQ(events.stats, 0) << "lastgame_team raises nothing";
    EXPECT_EQ(App().CurrentFormula[fsSeasonToDate], 0);

    const auto& a = engine.TeamAverages;
    EXPECT_EQ(a[0], 22);
    EXPECT_EQ(a[1], 13.5f);
    EXPECT_EQ(a[2], 130);
    EXPECT_EQ(a[5], 175);
    EXPECT_EQ(a[6], static_cast<float>(670.0 / 44));
    EXPECT_EQ(a[7], static_cast<float>(520.0 / 27));
    EXPECT_EQ(a[8], static_cast<float>(260.0 / 64)) << "yards per rush";
    EXPECT_EQ(a[12], static_cast<float>(410.0 / 61));
    EXPECT_EQ(a[14], static_cast<float>(39.0 / 61 * 100));
    EXPECT_EQ(a[15], static_cast<float>(33.0 / 58 * 100));
    EXPECT_EQ(a[16], 30.5f);
    EXPECT_EQ(a[18], 32);
    EXPECT_EQ(a[28], static_cast<float>(44.0 / 670 * 100));
    EXPECT_EQ(a[30], 3.25f) << "own turnovers summed, the opponents' per game and halved";
    EXPECT_EQ(a[31], 2);
    EXPECT_EQ(a[32], 1950);
    EXPECT_EQ(a[33], 1650);
    EXPECT_EQ(a[36], Rating(39, 61, 410, 4, 1));
    EXPECT_EQ(a[37], Rating(33, 58, 350, 2, 2));
    EXPECT_EQ(a[38], 20.5f);
    EXPECT_EQ(a[39], 15.5f);
}

TEST_F(RollingStats, OpponentRoutineKeepsAttemptsTheOtherWayRoundAndRaisesStats)
{
    TSPredict::TotalsArray teamTotals{};
    TSPredict::TotalsArray oppTotals{};
    engine.Stats = [&](TSPredict::TotalsArray& tt, TSPredict::TotalsArray& ot, TSPredict::AveragesArray&,
                       TSPredict::AveragesArray&) {
        teamTotals = tt;
        oppTotals = ot;
        ++events.stats;
    };
    engine.lastgame_team(1, 4, 3);
    engine.lastgame_opponent(1, 4, 3);
    EXPECT_EQ(events.stats, 1);
    EXPECT_EQ(teamTotals[3], 64) << "TeamTotals: own rushing attempts";
    EXPECT_EQ(teamTotals[4], 61);
    EXPECT_EQ(oppTotals[3], 61) << "OppTotals: own pass attempts";
    EXPECT_EQ(oppTotals[4], 64);
    EXPECT_EQ(engine.OppAverages[8], engine.TeamAverages[8]) << "element 8 is yards per rush in both";
    EXPECT_EQ(engine.OppAverages, engine.TeamAverages);
}

TEST_F(RollingStats, FirstWeekIndexCountsNothingAndRaisesNoEvent)
{
    engine.TeamTotals.fill(9);
    engine.lastgame_opponent(1, 1, 3);
    EXPECT_EQ(events.stats, 0);
    for (float v : engine.OppTotals)
        EXPECT_EQ(v, 0);
    engine.lastgame_team(-1, 4, 3);
    EXPECT_EQ(engine.TeamTotals[0], 9) << "a negative team changes nothing";
}

TEST_F(RollingStats, SeparateHomeAwayCountsOnlyTheRoutinesOwnSide)
{
    App().CurrentFormula[fsSeparateHomeAway] = 1;
    engine.lastgame_team(1, 4, 3);
    EXPECT_EQ(engine.TeamTotals[18], 1);
    EXPECT_EQ(engine.TeamTotals[0], 24) << "the home game of week 1 only";
    engine.lastgame_opponent(1, 4, 3);
    EXPECT_EQ(engine.OppTotals[18], 1);
    EXPECT_EQ(engine.OppTotals[0], 20) << "the away game of week 2 only";
}

TEST_F(RollingStats, SeasonToDateStopsAtTheSeasonAndRollingWindowsCrossIt)
{
    // Two seasons: 2023 with team 1 playing weeks 1 and 2; 2024 with team 1 in week 1.
    SeasonBuilder b(2, 2024);
    b.AddGame(b.AddWeek(2023, 1), Plain(1, 2, 30, 3));
    b.AddGame(b.AddWeek(2023, 2), Plain(4, 1, 3, 31));
    b.AddGame(b.AddWeek(2024, 1), Plain(1, 5, 21, 7));
    b.AddWeek(2024, 2);
    ASSERT_EQ(Season().SeasonFirstWeek[0], 2);

    App().CurrentFormula[fsRollingWeeks] = 0;
    engine.lastgame_team(1, 3, 0);   // week slot 2: the first week of 2024
    EXPECT_EQ(App().CurrentFormula[fsSeasonToDate], 1);
    EXPECT_EQ(engine.TeamTotals[18], 0) << "nothing before the first week of a season";
    engine.lastgame_team(1, 4, 0);
    EXPECT_EQ(engine.TeamTotals[18], 1);
    EXPECT_EQ(engine.TeamTotals[0], 21);

    App().CurrentFormula[fsRollingWeeks] = 4;
    engine.lastgame_team(1, 4, 4);
    EXPECT_EQ(App().CurrentFormula[fsSeasonToDate], 0);
    EXPECT_EQ(engine.TeamTotals[18], 3) << "a rolling window walks into the older season";
    EXPECT_EQ(engine.TeamTotals[0], 21 + 31 + 30);
}

TEST_F(RollingStats, DiscardHighLowDropsTheBestAndWorstMargins)
{
    SeasonBuilder b(1, 2024);
    b.AddGame(b.AddWeek(2024, 1), Plain(1, 2, 17, 10));   // +7
    b.AddGame(b.AddWeek(2024, 2), Plain(3, 1, 10, 20));   // +10: high
    b.AddGame(b.AddWeek(2024, 3), Plain(1, 4, 3, 17));    // -14: low
    b.AddWeek(2024, 4);
    App().CurrentFormula[fsRollingWeeks] = 3;
    App().CurrentFormula[fsDiscardHighLow] = 1;
    engine.lastgame_opponent(1, 4, 3);
    EXPECT_EQ(engine.OppTotals[18], 1);
    EXPECT_EQ(engine.OppTotals[0], 17);
    EXPECT_EQ(engine.OppTotals[9], 10);
    EXPECT_EQ(engine.OppAverages[0], 17);
    EXPECT_EQ(events.stats, 1);

    // Two counted games: both dropped, nothing left, no event.
    engine.lastgame_opponent(1, 4, 2);
    EXPECT_EQ(engine.OppTotals[18], 0);
    EXPECT_EQ(engine.OppAverages[0], 0);
    EXPECT_EQ(events.stats, 1);
}

TEST_F(RollingStats, EqualMarginsDropTheNewestGameTwice)
{
    SeasonBuilder b(1, 2024);
    b.AddGame(b.AddWeek(2024, 1), Plain(1, 2, 20, 10));
    b.AddGame(b.AddWeek(2024, 2), Plain(1, 3, 24, 14));
    b.AddGame(b.AddWeek(2024, 3), Plain(4, 1, 7, 17));
    b.AddWeek(2024, 4);
    App().CurrentFormula[fsRollingWeeks] = 3;
    App().CurrentFormula[fsDiscardHighLow] = 1;
    engine.lastgame_team(1, 4, 3);
    EXPECT_EQ(engine.TeamTotals[18], 1);
    EXPECT_EQ(engine.TeamTotals[0], 20 + 24 + 17 - 2 * 17);
    // One counted game: subtracted twice, the count falls to -1 and nothing is averaged.
    engine.lastgame_team(1, 2, 3);
    EXPECT_EQ(engine.TeamTotals[0], -20);
    EXPECT_EQ(engine.TeamTotals[18], 0);
    EXPECT_EQ(engine.TeamAverages[0], 0);
}

TEST_F(RollingStats, HighLowMethodsSubtractTheGivenSidesWithAttemptsInTheirOwnOrder)
{
    // High game: week slot 0 (team 1 at home); low game: week slot 1 (team 1 away).
    engine.TeamTotals.fill(1000);
    engine.OppTotals.fill(1000);
    engine.highlowtem(" 1", 0, 0, 1, 0);
    engine.highlowopp(" 1", 0, 0, 1, 0);
    EXPECT_EQ(engine.TeamTotals[0], 1000 - 24 - 20);
    EXPECT_EQ(engine.TeamTotals[3], 1000 - 30 - 34) << "own rushing attempts";
    EXPECT_EQ(engine.TeamTotals[4], 1000 - 35 - 26);
    EXPECT_EQ(engine.OppTotals[3], 1000 - 35 - 26) << "own pass attempts";
    EXPECT_EQ(engine.OppTotals[4], 1000 - 30 - 34);
    EXPECT_EQ(engine.TeamTotals[18], 1000) << "the count is the caller's";
    EXPECT_EQ(engine.TeamTotals[19], 1000 - 1900 - 2000);
    // A game without the team subtracts nothing; a slot outside the arrays ends the method.
    engine.highlowtem(" 7", 0, 0, 1, 0);
    EXPECT_EQ(engine.TeamTotals[0], 1000 - 24 - 20);
    engine.highlowtem(" 1", 500, 0, 0, 0);
    EXPECT_EQ(engine.TeamTotals[0], 1000 - 24 - 20);
}

TEST_F(RollingStats, ZeroOverZeroSkipsAStatementAndNonzeroOverZeroEndsTheRoutine)
{
    SeasonBuilder b(1, 2024);
    GameSpec g = Plain(1, 2, 14, 7);
    g.homeRush = 0;
    g.homeRushAtt = 0;
    b.AddGame(b.AddWeek(2024, 1), g);
    b.AddWeek(2024, 2);
    App().CurrentFormula[fsRollingWeeks] = 1;
    engine.lastgame_opponent(1, 2, 1);
    EXPECT_EQ(engine.OppAverages[8], 0) << "0 yards over 0 attempts is skipped";
    EXPECT_EQ(engine.OppAverages[10], 10) << "the routine goes on";
    EXPECT_EQ(engine.OppAverages[39], 0);
    EXPECT_EQ(events.stats, 1);

    Season().Game(0, 0, gfHomeRushYds) = 50;
    engine.lastgame_opponent(1, 2, 1);
    EXPECT_EQ(engine.OppAverages[7], static_cast<float>(300.0 / 7));
    EXPECT_EQ(engine.OppAverages[8], 0);
    EXPECT_EQ(engine.OppAverages[10], 0) << "elements after the failing one stay 0";
    EXPECT_EQ(events.stats, 1) << "and no event";
}

TEST_F(RollingStats, YardsPerPointWithoutPointsIsOneHundred)
{
    SeasonBuilder b(1, 2024);
    b.AddGame(b.AddWeek(2024, 1), Plain(1, 2, 0, 9));
    b.AddWeek(2024, 2);
    App().CurrentFormula[fsRollingWeeks] = 1;
    engine.lastgame_team(1, 2, 1);
    EXPECT_EQ(engine.TeamAverages[6], 100);
    EXPECT_EQ(engine.TeamAverages[28], 0);
}

TEST_F(RollingStats, TurnoverElementOfFourGames)
{
    SeasonBuilder b(1, 2024);
    const int ownTurnovers[4] = {2, 1, 2, 1};
    const int oppTurnovers[4] = {3, 1, 2, 2};
    for (int w = 0; w < 4; ++w) {
        GameSpec g = Plain(1, 2 + w, 20, 10);
        g.homeInt = ownTurnovers[w];
        g.awayFum = oppTurnovers[w];
        b.AddGame(b.AddWeek(2024, w + 1), g);
    }
    b.AddWeek(2024, 5);
    App().CurrentFormula[fsRollingWeeks] = 4;
    engine.lastgame_team(1, 5, 4);
    EXPECT_EQ(engine.TeamAverages[30], 7) << "6 + 8 / (2 x 4)";
}

} // namespace
} // namespace vexal::test
