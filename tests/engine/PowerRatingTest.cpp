// CalcPowerRating: game performances against the opponents' averages, ratings, strength of
// schedule and the PowerRating event.
#include "EngineTestSupport.h"

namespace vexal::test {
namespace {

GameSpec Scored(int home, int away, int homeScore, int awayScore)
{
    GameSpec g;
    g.home = home, g.away = away, g.homeScore = homeScore, g.awayScore = awayScore;
    g.homeRush = g.awayRush = 100;
    g.homePass = g.awayPass = 200;
    g.homeRushAtt = g.awayRushAtt = 25;
    g.homePassAtt = g.awayPassAtt = 30;
    g.homeComp = g.awayComp = 20;
    return g;
}

class PowerRatings : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        // Week 1: team 1 beats team 2 21-14 at home; week 2: team 2 beats team 1 28-7 at home.
        SeasonBuilder b(1, 2024);
        b.AddGame(b.AddWeek(2024, 1), Scored(1, 2, 21, 14));
        const int w2 = b.AddWeek(2024, 2);
        b.AddGame(w2, Scored(2, 1, 28, 7));
        b.AddGame(w2, Scored(3, 4, 10, 3));
        b.AddWeek(2024, 3);
        App().CurrentFormula[fsRollingWeeks] = 4;
    }
};

TEST_F(PowerRatings, RatingsFromPerformancesAgainstTheOpponentsAverages)
{
    engine.CalcPowerRating(3);
    EXPECT_EQ(events.powerRatings, 1);
    const auto& p = engine.PowerTable;
    // Team 1: offense 21 - 0 (team 2 had no game before week 1) and 7 - 21; defense 0 - 14
    // and 14 - 28.
    EXPECT_EQ(engine.OffensePerformance[1][1], 21);
    EXPECT_EQ(engine.OffensePerformance[2][1], -14);
    EXPECT_EQ(engine.DefensePerformance[2][1], -14);
    EXPECT_EQ(p[1][1], 103.5f);
    EXPECT_EQ(p[1][2], 86);
    EXPECT_EQ(p[1][3], 94.75f);
    EXPECT_EQ(p[2][1], 114);
    EXPECT_EQ(p[2][2], 96.5f);
    EXPECT_EQ(p[2][3], 105.25f);
    // Strength of schedule: the opponents' ratings.
    EXPECT_EQ(p[1][4], 114);
    EXPECT_EQ(p[1][5], 96.5f);
    EXPECT_EQ(p[1][6], 105.25f);
    EXPECT_EQ(p[2][4], 103.5f);
    EXPECT_EQ(engine.OpponentTable[1][1], 2);
    EXPECT_EQ(engine.OpponentTable[2][2], 1);
    EXPECT_EQ(engine.OpponentTable[1][3], 0) << "team 3 had no game in week 1";
    EXPECT_EQ(p[3][4], 103) << "team 4 scored 3 against a team without earlier games";
    // Codes without games.
    EXPECT_EQ(p[20][1], 100);
    EXPECT_EQ(p[20][3], 100);
    EXPECT_EQ(p[20][4], 0);
    EXPECT_EQ(p[20][6], 0);
    EXPECT_EQ(engine.SeasonStartSlot(), 0);
}

TEST_F(PowerRatings, FirstWeekRatesEveryTeamOneHundred)
{
    engine.CalcPowerRating(1);
    for (int t = 1; t <= 32; ++t) {
        EXPECT_EQ(engine.PowerTable[static_cast<std::size_t>(t)][1], 100);
        EXPECT_EQ(engine.PowerTable[static_cast<std::size_t>(t)][3], 100);
        EXPECT_EQ(engine.PowerTable[static_cast<std::size_t>(t)][6], 0);
    }
    EXPECT_EQ(engine.OpponentTable[1][1], 0);
    EXPECT_EQ(events.powerRatings, 1);
}

TEST_F(PowerRatings, OneTeamLeavesTheOtherRowsErased)
{
    engine.CalcPowerRating(3);
    engine.CalcPowerRating(3, 1);
    const auto& p = engine.PowerTable;
    EXPECT_EQ(p[1][1], 103.5f);
    EXPECT_EQ(p[1][2], 86);
    EXPECT_EQ(p[2][1], 0) << "the opponent's row stays erased";
    EXPECT_EQ(p[1][4], 0);
    EXPECT_EQ(p[1][6], 0);
}

TEST_F(PowerRatings, WeeksBeyondTheTablesAreSkippedNotWrittenOutOfBounds)
{
    // A season of 30 week slots: performances past week 22 of the season have no place.
    SeasonBuilder b(2, 2024);
    for (int w = 1; w <= 30; ++w)
        b.AddGame(b.AddWeek(2024, w), Scored(1 + w % 2, 2 - w % 2, 20, 10));
    engine.CalcPowerRating(30);
    EXPECT_EQ(events.powerRatings, 1);
    EXPECT_NE(engine.OffensePerformance[22][1], 0);
    EXPECT_NE(engine.OpponentTable[29][1], 0) << "the opponent table reaches further";
}

} // namespace
} // namespace vexal::test
