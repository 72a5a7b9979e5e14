// The standings arithmetic on seasons built game by game: records against the spread with
// teasers, the filters, the week range, the division order, schedules and the points table.
#include "StandingsCalc.h"

#include "SeasonData.h"
#include "Teams.h"

#include <gtest/gtest.h>

namespace vexal::standings {
namespace {

class StandingsCalcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        season.Allocate(2);
        // Two seasons: the older in week slots 0 to 21, the newest (index 0) from slot 22.
        season.SeasonFirstWeek = {22, 0, 0};
        season.WeekSeason = 2024;
        const auto order = DivisionOrderOf(2024);
        std::copy(order.begin(), order.end(), season.DivisionOrder.begin());
    }
    // A game in a slot; scores -1 for unplayed.
    void Game(int week, int slot, int away, int home, int awayScore, int homeScore, float spread, float total = 40,
              int surface = 0)
    {
        season.Game(week, slot, gfAwayTeam) = static_cast<int16_t>(away);
        season.Game(week, slot, gfHomeTeam) = static_cast<int16_t>(home);
        season.Game(week, slot, gfAwayScore) = static_cast<int16_t>(awayScore);
        season.Game(week, slot, gfHomeScore) = static_cast<int16_t>(homeScore);
        season.Game(week, slot, gfSurface) = static_cast<int16_t>(surface);
        season.Spread(week, slot) = spread;
        season.Total(week, slot) = total;
    }
    TeamRecord Count(int team, int currentWeek, const GameFilters& f = {}, float teaser = 0)
    {
        return CountTeam(season, *StandingsWeeks(season, currentWeek), team, f, teaser);
    }
    SeasonData season;
};

TEST(TeaserPointsTest, HalfPointItemsKeepTheirHalfPoint)
{
    EXPECT_EQ(TeaserPoints("6 pt. Teaser"), 6.0f);
    EXPECT_EQ(TeaserPoints("6.5 pt. Teaser"), 6.5f);
    EXPECT_EQ(TeaserPoints("7 pt. Teaser"), 7.0f);
    EXPECT_EQ(TeaserPoints("7.5 pt. Teaser"), 7.5f);
    EXPECT_EQ(TeaserPoints("9 pt. Teaser"), 9.0f);
    EXPECT_EQ(TeaserPoints("Home"), 0.0f);
    EXPECT_EQ(TeaserPoints(""), 0.0f);
}

TEST(FiltersTest, ListItemsAndAllGames)
{
    GameFilters f = FiltersFrom(1, false, false, false, {});
    EXPECT_EQ(f.UseAwayGames, 0);
    EXPECT_EQ(f.UseHomeGames, 1);
    f = FiltersFrom(2, true, false, false, f);
    EXPECT_EQ(f.UseAwayGames, 1);
    EXPECT_EQ(f.UseHomeGames, 0);
    EXPECT_EQ(f.FavoriteFilter, 1);
    f = FiltersFrom(5, false, false, false, f);
    EXPECT_EQ(f.DomeFilter, 1);
    // All Games lifts the line and side filters; the surface chosen before stays.
    f = FiltersFrom(2, true, false, true, f);
    EXPECT_EQ(f.FavoriteFilter, 1);
    EXPECT_EQ(f.UnderdogFilter, 1);
    EXPECT_EQ(f.UseAwayGames, 1);
    EXPECT_EQ(f.UseHomeGames, 1);
    EXPECT_EQ(f.DomeFilter, 1);
    for (int teaser = 6; teaser <= 10; ++teaser) {
        const GameFilters t = FiltersFrom(teaser, false, false, false, f);
        EXPECT_EQ(t.UseAwayGames + t.UseHomeGames, 2);
        EXPECT_EQ(t.GrassFilter + t.TurfFilter + t.DomeFilter, 0);
    }
}

TEST_F(StandingsCalcTest, HomeFavouriteWinningByTheSpreadIsAPushUnlessTeased)
{
    Game(22, 0, 5, 6, 17, 20, -3);
    TeamRecord away = Count(5, 23);
    TeamRecord home = Count(6, 23);
    EXPECT_EQ(away.AtsText(), "0 - 0 - 1");
    EXPECT_EQ(home.AtsText(), "0 - 0 - 1");
    EXPECT_EQ(away.StraightText(), "0 - 1 - 0");
    EXPECT_EQ(home.StraightText(), "1 - 0 - 0");
    EXPECT_EQ(home.PointsFor, 20);
    EXPECT_EQ(home.PointsAgainst, 17);
    away = Count(5, 23, {}, 6);
    home = Count(6, 23, {}, 6);
    EXPECT_EQ(away.AtsText(), "1 - 0 - 0");
    EXPECT_EQ(home.AtsText(), "1 - 0 - 0");
    // The teaser changes nothing straight up.
    EXPECT_EQ(away.StraightText(), "0 - 1 - 0");
}

TEST_F(StandingsCalcTest, HalfPointTeasersDecideWhereAWholePointWouldPush)
{
    // Away team at spread 0 losing by 6 and by 8: the half point turns a push into a win
    // and a would-be push into a loss.
    struct Case {
        int awayScore, homeScore;
        const char* item;
        const char* ats;
    };
    const Case cases[] = {{10, 16, "6 pt. Teaser", "0 - 0 - 1"},   {10, 16, "6.5 pt. Teaser", "1 - 0 - 0"},
                          {10, 18, "7.5 pt. Teaser", "0 - 1 - 0"}, {10, 18, "7 pt. Teaser", "0 - 1 - 0"},
                          {10, 18, "9 pt. Teaser", "1 - 0 - 0"}};
    for (const Case& c : cases) {
        Game(22, 0, 5, 6, c.awayScore, c.homeScore, 0);
        EXPECT_EQ(Count(5, 23, {}, TeaserPoints(c.item)).AtsText(), c.ats) << c.item;
    }
}

TEST_F(StandingsCalcTest, SpreadZeroFavoursTheHomeTeam)
{
    Game(22, 0, 5, 6, 10, 13, 0);
    GameFilters fav;
    fav.FavoriteFilter = 1;
    GameFilters dog;
    dog.UnderdogFilter = 1;
    EXPECT_EQ(Count(6, 23, fav).Wins, 1);
    EXPECT_EQ(Count(5, 23, fav).Losses, 0);
    EXPECT_EQ(Count(5, 23, dog).Losses, 1);
    EXPECT_EQ(Count(6, 23, dog).Wins, 0);
    // Both boxes on is no line filter.
    GameFilters both = fav;
    both.UnderdogFilter = 1;
    EXPECT_EQ(Count(5, 23, both).Losses, 1);
}

TEST_F(StandingsCalcTest, SideAndSurfaceFilters)
{
    Game(22, 0, 5, 6, 21, 7, 1.5f, 40, 2);
    Game(23, 0, 6, 5, 14, 10, 1.5f, 40, 0);
    GameFilters homeOnly = FiltersFrom(1, false, false, false, {});
    EXPECT_EQ(Count(5, 24, homeOnly).StraightText(), "0 - 1 - 0");
    GameFilters awayOnly = FiltersFrom(2, false, false, false, {});
    EXPECT_EQ(Count(5, 24, awayOnly).StraightText(), "1 - 0 - 0");
    GameFilters dome = FiltersFrom(5, false, false, false, {});
    EXPECT_EQ(Count(5, 24, dome).StraightText(), "1 - 0 - 0");
    EXPECT_EQ(Count(5, 24, FiltersFrom(4, false, false, false, {})).StraightText(), "0 - 0 - 0");
    EXPECT_EQ(Count(5, 24).PointsFor, 31);
}

TEST_F(StandingsCalcTest, OnlyTheChosenSeasonUpToTheChosenWeekCounts)
{
    Game(0, 0, 5, 6, 30, 0, 0);     // the older season
    Game(22, 0, 5, 6, 3, 0, 0);
    Game(23, 0, 5, 6, 7, 0, 0);
    Game(24, 0, 5, 6, -1, -1, 0);   // unplayed
    Game(25, 0, 5, 6, 0, 0, 0);     // no score
    EXPECT_EQ(Count(5, 23).PointsFor, 3);
    EXPECT_EQ(Count(5, 24).PointsFor, 10);
    EXPECT_EQ(Count(5, 26).Wins, 2);
    EXPECT_EQ(Count(5, 1).PointsFor, 30);
    // No week chosen, or a week past the arrays: nothing to count.
    EXPECT_FALSE(StandingsWeeks(season, 0));
    EXPECT_FALSE(StandingsWeeks(season, 10000));
}

TEST_F(StandingsCalcTest, DivisionsWithoutDecisionsKeepOrReverseTheirOrder)
{
    const auto rows2002 = ComputeStandings(season, 23, {}, 0, true);
    ASSERT_EQ(rows2002.size(), 32u);
    // From 2002 a division whose last team has no decision is sorted ascending: as listed.
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(rows2002[static_cast<std::size_t>(i)].Team, season.DivisionOrder[static_cast<std::size_t>(i)]);
        EXPECT_EQ(rows2002[static_cast<std::size_t>(i)].Record.StraightText(), "0 - 0 - 0");
    }
    EXPECT_EQ(rows2002[4].Row, 7);
    EXPECT_EQ(rows2002[16].Column, 7);
    EXPECT_EQ(rows2002[31].Row, 20);

    const auto order = DivisionOrderOf(2001);
    season.DivisionOrder.fill(0);
    std::copy(order.begin(), order.end(), season.DivisionOrder.begin());
    const auto rows = ComputeStandings(season, 23, {}, 0, false);
    ASSERT_EQ(rows.size(), 31u);
    // Before 2002 always descending: equal fractions come out reversed.
    EXPECT_EQ(rows[0].Team, order[4]);
    EXPECT_EQ(rows[4].Team, order[0]);
    EXPECT_EQ(rows[5].Row, 8);
    EXPECT_EQ(rows[5].Team, order[10]);
    EXPECT_EQ(rows[10].Row, 13);
    EXPECT_EQ(rows[11].Row, 15);
}

TEST_F(StandingsCalcTest, TeamsWithDecisionsSortByFractionAndTiesOnlyGoBelow)
{
    const int a = season.DivisionOrder[0], b = season.DivisionOrder[1], c = season.DivisionOrder[2],
              d = season.DivisionOrder[3];
    const int x = season.DivisionOrder[16];   // an opponent from the other conference
    Game(22, 0, a, x, 10, 20, 0);   // a 0-1
    Game(23, 1, b, x, 20, 10, 0);   // b 1-0
    Game(24, 2, c, x, 10, 10, 0);   // c tie only: fraction -1
    Game(25, 3, d, x, 20, 10, 0);   // d 1-1, the last team decides the direction
    Game(26, 3, d, x, 10, 20, 0);
    const auto rows = ComputeStandings(season, 27, {}, 0, true);
    EXPECT_EQ(rows[0].Team, b);
    EXPECT_EQ(rows[1].Team, d);
    EXPECT_EQ(rows[2].Team, a);
    EXPECT_EQ(rows[3].Team, c);
    EXPECT_EQ(rows[3].Record.StraightText(), "0 - 0 - 1");
    EXPECT_EQ(rows[1].Record.StraightText(), "1 - 1 - 0");

    // The last-listed team without a decision changes nothing: still best first, the team
    // without a decision last.
    Game(24, 2, c, x, 10, 20, 0);   // c 0-1
    Game(25, 3, d, x, 20, 20, 0);   // d two ties: fraction -1
    Game(26, 3, d, x, 20, 20, 0);
    const auto last = ComputeStandings(season, 27, {}, 0, true);
    EXPECT_EQ(last[0].Team, b);
    EXPECT_EQ(last[1].Team, a);
    EXPECT_EQ(last[2].Team, c);
    EXPECT_EQ(last[3].Team, d);
    EXPECT_EQ(last[3].Record.StraightText(), "0 - 0 - 2");
}

TEST_F(StandingsCalcTest, TeasersCountFrom2002Only)
{
    Game(22, 0, season.DivisionOrder[0], 20, 17, 20, -3);
    const auto teased = ComputeStandings(season, 23, {}, 6, true);
    EXPECT_EQ(teased[0].Record.AtsText(), "1 - 0 - 0");
    const auto before = ComputeStandings(season, 23, {}, 6, false);
    const auto plain = ComputeStandings(season, 23, {}, 0, false);
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i].Record.AtsText(), plain[i].Record.AtsText());
}

TEST_F(StandingsCalcTest, ScheduleResultsAndFilters)
{
    Game(22, 0, 5, 6, 17, 20, -2.5f, 40);    // a teased away loss: WIN both ways with 6
    Game(23, 0, 6, 5, 20, 24, 0, 50);        // spread 0, team 5 at home
    Game(25, 0, 5, 7, -1, -1, 3, 44.5f);     // unplayed; week slot 24 is a bye
    auto games = TeamSchedule(season, 5, 0, {}, 6);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].Ats, "WIN/UNDER");
    EXPECT_EQ(games[0].Straight, "LOSS");   // straight up is the score alone
    EXPECT_EQ(games[1].Ats, "WIN/UNDER");
    EXPECT_EQ(games[1].Straight, "WIN");
    EXPECT_FALSE(games[2].Played);
    EXPECT_EQ(games[2].Ats, "");
    EXPECT_EQ(games[2].Straight, "");
    games = TeamSchedule(season, 5, 0, {}, 0);
    EXPECT_EQ(games[0].Ats, "LOSS/UNDER");
    EXPECT_EQ(games[0].Straight, "LOSS");
    // Spread 0 with underdogs: listed for both teams.
    GameFilters dog;
    dog.UnderdogFilter = 1;
    const auto six = TeamSchedule(season, 6, 0, dog, 0);
    ASSERT_EQ(six.size(), 1u);
    EXPECT_EQ(six[0].WeekSlot, 23);
    EXPECT_EQ(TeamSchedule(season, 5, 0, dog, 0).size(), 2u);
    // Favourites: the away side with spread +3 is listed, spread 0 is not.
    GameFilters fav;
    fav.FavoriteFilter = 1;
    const auto favourite = TeamSchedule(season, 5, 0, fav, 0);
    ASSERT_EQ(favourite.size(), 1u);
    EXPECT_EQ(favourite[0].WeekSlot, 25);
    // Home games only.
    const auto home = TeamSchedule(season, 5, 0, FiltersFrom(1, false, false, false, {}), 0);
    ASSERT_EQ(home.size(), 1u);
    EXPECT_EQ(home[0].WeekSlot, 23);
    // Head to head with team 7 only.
    games = TeamSchedule(season, 5, 7, {}, 0);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].WeekSlot, 25);
}

TEST_F(StandingsCalcTest, TotalEqualToThePointsIsAPush)
{
    Game(22, 0, 5, 6, 17, 20, -6, 37);
    EXPECT_EQ(TeamSchedule(season, 5, 0, {}, 0)[0].Ats, "WIN/PUSH");
    Game(22, 0, 5, 6, 17, 20, 0, 37);
    EXPECT_EQ(TeamSchedule(season, 5, 0, {}, 0)[0].Ats, "LOSS/PUSH");
}

TEST_F(StandingsCalcTest, PointsTableAveragesRoundHalfToEven)
{
    Game(22, 0, 5, 6, 0, 3, 0);     // away loss 0-3
    Game(23, 0, 7, 5, 0, 46, 0);    // home win 46-0
    auto t = PointsForAgainst(season, 24, 5);
    ASSERT_EQ(t.Columns.size(), 2u);
    EXPECT_EQ(t.Columns[0].Opponent, 6);
    EXPECT_EQ(*t.Columns[0].PointsFor, 0);
    EXPECT_EQ(*t.Columns[0].PointsAgainst, 3);
    EXPECT_EQ(*t.Columns[1].PointsAgainst, 0);
    EXPECT_EQ(t.AverageFor, 23);        // 46 / 2
    season.Game(23, 0, gfHomeScore) = 49;
    EXPECT_EQ(PointsForAgainst(season, 24, 5).AverageFor, 24);   // 24.5
    season.Game(23, 0, gfHomeScore) = 51;
    EXPECT_EQ(PointsForAgainst(season, 24, 5).AverageFor, 26);   // 25.5
}

TEST_F(StandingsCalcTest, PointsTableByesUnplayedAndOlderSeasons)
{
    Game(22, 0, 5, 6, 10, 20, 0);
    Game(24, 0, 5, 7, -1, -1, 0);   // bye in 23, unplayed in 24
    auto t = PointsForAgainst(season, 25, 5);
    ASSERT_EQ(t.Columns.size(), 3u);
    EXPECT_EQ(t.Columns[1].Opponent, 0);
    EXPECT_EQ(t.Columns[2].Opponent, 7);
    EXPECT_FALSE(t.Columns[2].PointsFor);
    // Over the one game played: the bye and the game to come are no 0-point games.
    EXPECT_EQ(t.AverageFor, 10);
    EXPECT_EQ(t.AverageAgainst, 20);
    // Only the first week in range: one column, no chart.
    EXPECT_EQ(PointsForAgainst(season, 23, 5).Columns.size(), 1u);
    // A week of the older season charts that whole season.
    Game(0, 0, 5, 6, 1, 2, 0);
    Game(21, 0, 5, 6, 1, 2, 0);
    const auto span = PointsWeeks(season, 3);
    ASSERT_TRUE(span);
    EXPECT_EQ(span->First, 0);
    EXPECT_EQ(span->Last, 21);
    EXPECT_EQ(PointsForAgainst(season, 3, 5).Columns.size(), 22u);
}

} // namespace
} // namespace vexal::standings
