// The Statistics window's figures without the window: codes, sheet rows, grades, texts and
// box-score rows.
#include "AppState.h"
#include "SeasonData.h"
#include "StatSheet.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vexal::stats {
namespace {

Averages Filled(float base)
{
    Averages a{};
    for (std::size_t i = 0; i < a.size(); ++i)
        a[i] = base + static_cast<float>(i);
    return a;
}

TEST(StatCodes, MenuItemsAreCompleteAndDistinct)
{
    std::set<std::string> names;
    std::set<int> codes;
    int menuItems = 0;
    for (const StatItem& item : StatItems()) {
        EXPECT_TRUE(codes.insert(item.code).second) << item.code;
        if (item.menu == StatMenu::SheetOnly)
            continue;
        ++menuItems;
        EXPECT_TRUE(names.insert(item.menuName).second) << item.menuName;
    }
    EXPECT_EQ(menuItems, 46);
    ASSERT_NE(StatItemByCode(114), nullptr);
    EXPECT_STREQ(StatItemByCode(114)->heading, "OFFENSIVE PASSING PERCENTAGE");
    EXPECT_STREQ(StatItemByCode(111)->heading, "AVE. YARDS/PASS COMPLETED AGAINST");
}

TEST(StatCodes, SheetColumnsLeadToTheirRankings)
{
    const int expected[18] = {0, 0, 100, 138, 102, 104, 108, 110, 5, 4, 6, 7, 8, 114, 112, 9, 128, 132};
    for (int column = 2; column <= 17; ++column) {
        const StatItem* item = StatItemBySheetColumn(column);
        ASSERT_NE(item, nullptr) << column;
        EXPECT_EQ(item->code, expected[column]) << column;
    }
    EXPECT_EQ(StatItemBySheetColumn(1), nullptr);
    EXPECT_EQ(StatItemBySheetColumn(18), nullptr);
}

TEST(StatCodes, RankingOrderAndWarnings)
{
    EXPECT_TRUE(RanksAscending(8));     // fewest fumbles first
    EXPECT_FALSE(RanksAscending(12));   // most passing yards allowed first
    EXPECT_TRUE(RanksAscending(139));
    EXPECT_FALSE(RanksAscending(132));
    EXPECT_EQ(StatItemByCode(136)->warning, StatWarning::QbRating);
    EXPECT_EQ(StatItemByCode(23)->warning, StatWarning::TdPasses);
    EXPECT_STREQ(WarningText(StatWarning::QbRating),
                 "QB Rating is inaccurate prior to 1995 because TD passes are not in the database");
}

TEST(StatCodes, TeamSideTotalsKeepAttemptsTheOtherWayRound)
{
    Totals team{}, opp{};
    team[3] = 30;   // rushing attempts on the team side
    team[4] = 40;   // pass attempts on the team side
    opp[3] = 41;    // pass attempts on the opponent side
    opp[4] = 31;
    Averages none{};
    EXPECT_EQ(StatValue(4, team, none, true), 40.0f);   // total passing attempts
    EXPECT_EQ(StatValue(5, team, none, true), 30.0f);   // total rushing attempts
    EXPECT_EQ(StatValue(4, opp, none, false), 41.0f);
    EXPECT_EQ(StatValue(5, opp, none, false), 31.0f);
    Averages a = Filled(0);
    EXPECT_EQ(StatValue(139, team, a, true), 39.0f);
    EXPECT_EQ(StatValue(24, opp, a, false), opp[23]);
}

TEST(SheetTexts, HeadingLines)
{
    EXPECT_EQ(SheetHeadingLine1("Wk 5 of 2024", true, false, 0), "Stats for Wk 5 of 2024 using The season to date");
    EXPECT_EQ(SheetHeadingLine1("Wk 5 of 2024", true, true, 0),
              "Stats for Wk 5 of 2024 using The season to date (Discard High / Low)");
    EXPECT_EQ(SheetHeadingLine1("Wk 5 of 2024", false, false, 4), "Stats for Wk 5 of 2024 using A rolling average of 4 weeks");
    EXPECT_EQ(SheetHeadingLine1("Wk 5 of 2024", false, true, 4),
              "Stats for Wk 5 of 2024 using A rolling average of 4  weeks (Discard High / Low)");
    EXPECT_EQ(SheetHeadingLine2(true), " and separate home and away games");
    EXPECT_EQ(SheetHeadingLine2(false), " and no separate home and away games");
}

TEST(SheetTexts, PossessionTexts)
{
    EXPECT_EQ(PossessionText(1805.0f), " 30:05");
    EXPECT_EQ(PossessionText(1500.0f), " 25:00");
    EXPECT_EQ(PossessionText(0.0f), " 0:00");
    EXPECT_EQ(ProjectedPossessionText(1805.0f), " 30:05");
    EXPECT_EQ(ProjectedPossessionText(1799.8f), " 30:00");
    EXPECT_EQ(ProjectedPossessionText(600.0f), " 10:00");
    EXPECT_EQ(RankingPossessionText(31 * 60 + 5), "31:05");
    // Rounded to whole seconds before the split: half a second short of 30 minutes is 30:00
    // in every view, never 29:00.
    EXPECT_EQ(RankingPossessionText(1799.5), "30:00");
    EXPECT_EQ(PossessionText(1799.5f), " 30:00");
    EXPECT_EQ(ProjectedPossessionText(1799.5f), " 30:00");
    EXPECT_EQ(PossessionText(59.6f), " 1:00");
    EXPECT_EQ(RankingPossessionText(1805.4), "30:05");
    // The letter grade keeps its own minutes (59.99 to the minute).
    EXPECT_EQ(PossessionGrade(1799.8f), PossessionGrade(1800.0f));
}

TEST(Ranking, OrdersByTheStatisticThenNameSplitsAndAverages)
{
    auto entry = [](const char* name, std::optional<float> games, std::optional<float> value) {
        return RankEntry{name, games, value};
    };
    auto names = [](const Ranking& r) {
        std::string out;
        for (const RankEntry& e : r.ordered)
            out += e.name + ",";
        return out;
    };
    const std::vector<RankEntry> clubs = {entry("Rams", 4, 10), entry("bears", 4, 12), entry("Colts", std::nullopt, std::nullopt),
                                          entry("Bills", 4, 12), entry("Jets", 4, 9)};
    // Points (code 1) rank highest first, equal values by name whatever the case; the club
    // without games goes last.
    Ranking r = RankTeams(clubs, 1);
    EXPECT_EQ(names(r), "bears,Bills,Rams,Jets,Colts,");
    EXPECT_EQ(r.leftRows, 3);
    ASSERT_TRUE(r.average);
    EXPECT_FLOAT_EQ(*r.average, (10 + 12 + 12 + 9) / 4.0f);
    // Fumbles (code 8) rank lowest first; the club without a value comes first then.
    r = RankTeams(clubs, 8);
    EXPECT_EQ(names(r), "Colts,Jets,Rams,bears,Bills,");
    // The view's blocks: 32 clubs give 17 and 15, 28 give 15 and 13.
    EXPECT_EQ(RankTeams(std::vector<RankEntry>(32), 1).leftRows, 17);
    EXPECT_EQ(RankTeams(std::vector<RankEntry>(28), 1).leftRows, 15);
    // Nobody with games: no average.
    EXPECT_FALSE(RankTeams({entry("Rams", std::nullopt, std::nullopt)}, 1).average);
    EXPECT_FALSE(RankTeams({}, 1).average);
}

TEST(SheetGrades, BandsAtTheCutPoints)
{
    EXPECT_EQ(GradeOf(2, 45.0f), " A");
    EXPECT_EQ(GradeOf(2, 44.9f), " B");
    EXPECT_EQ(GradeOf(2, 37.0f), " C");
    EXPECT_EQ(GradeOf(2, 36.9f), " D");
    EXPECT_EQ(GradeOf(2, 34.9f), " F");
    EXPECT_EQ(GradeOf(11, 1.5f), " A");
    EXPECT_EQ(GradeOf(11, 1.6f), " B");
    EXPECT_EQ(GradeOf(11, 2.49f), " D");
    EXPECT_EQ(GradeOf(11, 2.5f), " F");
    EXPECT_EQ(GradeOf(15, 0.0f), " A");
    EXPECT_EQ(GradeOf(15, 6.0f), " F");
    EXPECT_EQ(GradeOf(12, 2.1f), " F");
    EXPECT_EQ(GradeOf(6, 7.33f), " C");
    EXPECT_EQ(GradeOf(6, 7.32f), " D");
    EXPECT_EQ(PossessionGrade(1920.0f), " A");
    EXPECT_EQ(PossessionGrade(1919.5f), " B");
    EXPECT_EQ(PossessionGrade(1740.0f), " C");
    EXPECT_EQ(PossessionGrade(1739.0f), " D");
    EXPECT_EQ(PossessionGrade(0.0f), " F");
}

TEST(SheetRows, RawRowsTakeOwnAndAllowedElements)
{
    const Averages home = Filled(100);
    Averages away = Filled(200);
    away[32] = 1805;
    away[33] = 1500;
    const auto rows = RawRows(home, away, "Away", "Home");
    EXPECT_EQ(rows[0].name, "Away");
    EXPECT_EQ(rows[1].name, "   DEFENSE");
    EXPECT_EQ(rows[2].name, "Home");
    EXPECT_EQ(rows[3].name, "   DEFENSE");
    EXPECT_EQ(rows[0].values[0], 200.0f);   // points
    EXPECT_EQ(rows[0].values[1], 238.0f);   // first downs
    EXPECT_EQ(rows[1].values[1], 239.0f);
    EXPECT_EQ(rows[0].values[6], 218.0f);   // rushing attempts
    EXPECT_EQ(rows[0].values[7], 216.0f);   // pass attempts
    EXPECT_EQ(rows[3].values[14], 129.0f);  // points per 100 yards allowed
    EXPECT_EQ(rows[0].possession, " 30:05");
    EXPECT_EQ(rows[1].possession, " 25:00");
}

TEST(SheetRows, ProjectedRowsAverageOwnWithTheOpponentsAllowed)
{
    Averages home{}, away{};
    away[2] = 130;   // away rushing yards a game
    home[3] = 95;    // home rushing yards allowed a game
    away[0] = 24;
    home[1] = 20;
    home[38] = 20;
    away[39] = 16;
    away[32] = 1800;
    home[33] = 1810;
    const auto rows = ProjectedRows(home, away, "Away", "Home");
    EXPECT_EQ(rows[0].name, "Away");
    EXPECT_EQ(rows[0].values[2], 112.5f);
    EXPECT_EQ(rows[0].values[0], 22.0f);
    EXPECT_EQ(rows[1].values[1], 18.0f);    // home first downs with the away allowed
    EXPECT_EQ(rows[0].possession, " 30:05");
    // A home side without games: the away row halves its own figures, the home row its allowed.
    Averages none{};
    const auto half = ProjectedRows(none, away, "Away", "Home");
    EXPECT_EQ(half[0].values[2], 65.0f);
    EXPECT_EQ(half[1].values[1], 8.0f);
}

TEST(SheetRows, GradeRowsSumOwnAndAllowed)
{
    Averages home{}, away{};
    home[38] = 25;
    away[39] = 20;   // 45 first downs: A
    away[0] = 20;
    home[1] = 17;    // 37 points: C
    home[32] = 1920;
    away[33] = 1920;
    const auto rows = GradeRows(home, away, "Away", "Home");
    EXPECT_EQ(rows[1].grades[1], " A");
    EXPECT_EQ(rows[0].grades[0], " C");
    EXPECT_EQ(rows[1].grades[15], " A");
    EXPECT_EQ(rows[0].grades[15], " F");
}

TEST(TeamTables, RowsAndLabels)
{
    Totals t{};
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = static_cast<float>(i);
    const auto totals = TeamTotalRows(t);
    EXPECT_STREQ(totals[2].label, "Rushing Attempts");
    EXPECT_EQ(totals[2].offense, 4.0f);
    EXPECT_EQ(totals[4].offense, 3.0f);
    EXPECT_EQ(totals[7].defense, 16.0f);
    const auto averages = TeamAverageRows(Filled(0));
    EXPECT_STREQ(averages[5].label, "Yards / Point");
    EXPECT_EQ(averages[5].offense, 6.0f);
    EXPECT_EQ(averages[6].defense, 29.0f);
    EXPECT_EQ(TeamTableHeading("Bears", 0), "Stats for Bears for the season.");
    EXPECT_EQ(TeamTableHeading("Bears", 4), "Stats for Bears over the last 4 games");
}

class BoxScores : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSeason();
        Season().Allocate(1);
        Season().WeekSlots = 22;
    }
    void TearDown() override { ResetSeason(); }
    static void Game(int week, int slot, int away, int home, int awayScore, int homeScore)
    {
        SeasonData& s = Season();
        s.Game(week, slot, gfAwayTeam) = static_cast<int16_t>(away);
        s.Game(week, slot, gfHomeTeam) = static_cast<int16_t>(home);
        s.Game(week, slot, gfAwayScore) = static_cast<int16_t>(awayScore);
        s.Game(week, slot, gfHomeScore) = static_cast<int16_t>(homeScore);
    }
};

TEST_F(BoxScores, WeekModeStopsAtTheFirstEmptySlot)
{
    Game(3, 0, 1, 2, 10, 13);
    Game(3, 1, 3, 4, 20, 17);
    Game(3, 3, 5, 6, 7, 3);   // after an empty slot: not listed
    const auto games = WeekBoxGames(3);
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(games[1].gameSlot, 1);
    EXPECT_TRUE(WeekBoxGames(22).empty());
    EXPECT_TRUE(WeekBoxGames(-1).empty());
}

TEST_F(BoxScores, TeamModeOneGamePerWeekNewestFirst)
{
    Game(0, 0, 1, 2, 10, 13);
    Game(1, 4, 2, 5, 21, 24);
    Game(1, 5, 2, 9, 1, 1);    // a second game of the same week slot is not taken
    Game(2, 0, 7, 2, -1, -1);  // unplayed
    Game(4, 0, 2, 1, 3, 0);    // the current week: not listed
    auto games = TeamBoxGames(2, 0, 5);
    ASSERT_EQ(games.size(), 3u);
    EXPECT_EQ(games[0].weekSlot, 2);
    EXPECT_EQ(games[1].gameSlot, 4);
    EXPECT_EQ(games[2].weekSlot, 0);
    games = TeamBoxGames(2, 1, 5);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].weekSlot, 0);
    EXPECT_TRUE(TeamBoxGames(2, 0, 1).empty());
    // A current week beyond the loaded slots reads only what is loaded.
    EXPECT_EQ(TeamBoxGames(2, 0, 40).size(), 4u);
}

TEST_F(BoxScores, CellsOfAnAwayAndAHomeRow)
{
    Game(2, 0, 7, 2, -1, -1);
    SeasonData& s = Season();
    s.Spread(2, 0) = -3.5f;
    s.Total(2, 0) = 44.5f;
    s.Game(2, 0, gfAwayRushYds) = 120;
    s.Game(2, 0, gfAwayRushAtt) = 30;
    s.Game(2, 0, gfHomeSacks) = 4;
    const auto away = BoxScoreCells({2, 0}, true);
    const auto home = BoxScoreCells({2, 0}, false);
    EXPECT_EQ(away[0], "44.5");
    EXPECT_EQ(home[0], "-3.5");
    EXPECT_EQ(away[1], "0");
    EXPECT_EQ(home[1], "0");
    EXPECT_EQ(away[2], "120");
    EXPECT_EQ(away[3], "30");
    EXPECT_EQ(home[9], "4");
}

} // namespace
} // namespace vexal::stats
