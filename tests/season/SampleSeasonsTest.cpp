// The sample-season generator: the seasons it makes must hold what every reader of season
// files relies on (week order, at most 16 games a week, one game per team a week) and look
// like football (box scores that agree with the scores, playoffs of the winners).
#include "SampleSeasons.h"
#include "Golden.h"

#include "SeasonData.h"
#include "TempFolder.h"
#include "Teams.h"
#include "VbConvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

namespace vexal {
namespace {

using samplegen::MakeSeason;
using samplegen::ShapeOf;

class SampleSeason : public ::testing::TestWithParam<int> {};

TEST_P(SampleSeason, HoldsTheLeagueAndAFullSchedule)
{
    const int year = GetParam();
    const auto shape = ShapeOf(year);
    const auto teams = samplegen::LeagueTeams(year);
    const std::set<int> league(teams.begin(), teams.end());
    for (uint64_t seed : {1u, 7u, 12345u}) {
        const auto records = MakeSeason(year, seed);
        ASSERT_FALSE(records.empty());
        const int lastWeek = shape.RegularWeeks + shape.PlayoffWeeks;
        EXPECT_LE(lastWeek, WeekSlotsPerSeason);

        std::map<int, int> gamesInWeek;
        std::map<int, std::set<int>> teamsInWeek;
        std::map<int, int> regularGames;
        int previousWeek = 1;
        for (const GameRecord& r : records) {
            EXPECT_EQ(r.Year, year);
            EXPECT_GE(r.Week, previousWeek) << "weeks out of order";
            EXPECT_LE(r.Week, previousWeek + 1) << "a week left out";
            previousWeek = r.Week;
            ++gamesInWeek[r.Week];
            EXPECT_TRUE(league.count(r.HomeTeam)) << int(r.HomeTeam);
            EXPECT_TRUE(league.count(r.AwayTeam)) << int(r.AwayTeam);
            EXPECT_NE(r.HomeTeam, r.AwayTeam);
            EXPECT_TRUE(teamsInWeek[r.Week].insert(r.HomeTeam).second) << "team twice in week " << int(r.Week);
            EXPECT_TRUE(teamsInWeek[r.Week].insert(r.AwayTeam).second) << "team twice in week " << int(r.Week);
            if (r.Week <= shape.RegularWeeks) {
                ++regularGames[r.HomeTeam];
                ++regularGames[r.AwayTeam];
            }
            // Sundays, a week apart from the season's first Sunday.
            EXPECT_EQ(vb::Weekday(r.GameDate), 1);
            EXPECT_DOUBLE_EQ(r.GameDate, samplegen::SeasonStart(year) + 7.0 * (r.Week - 1));
            EXPECT_LE(r.Surface, 2);
            // Spreads and totals in half points.
            EXPECT_EQ(r.Line % 5000, 0);
            EXPECT_EQ(r.Total % 5000, 0);
            EXPECT_GT(r.TotalValue(), 20.0);
        }
        EXPECT_EQ(previousWeek, lastWeek);
        for (const auto& [week, games] : gamesInWeek)
            EXPECT_LE(games, GamesPerWeekSlot) << week;
        for (int t : teams)
            EXPECT_EQ(regularGames[t], shape.GamesPerTeam) << t;
        // Playoff rounds: wild cards, divisional, conference, final.
        const int wildCards = 2 * (shape.PlayoffSeeds - (8 - shape.PlayoffSeeds));
        EXPECT_EQ(gamesInWeek[shape.RegularWeeks + 1], wildCards / 2);
        EXPECT_EQ(gamesInWeek[shape.RegularWeeks + 2], 4);
        EXPECT_EQ(gamesInWeek[shape.RegularWeeks + 3], 2);
        EXPECT_EQ(gamesInWeek[shape.RegularWeeks + 4], 1);
    }
}

TEST_P(SampleSeason, ScoresAndBoxScoresAgree)
{
    const int year = GetParam();
    for (const GameRecord& r : MakeSeason(year, 3)) {
        EXPECT_TRUE(r.Played());
        EXPECT_NE(r.HomeScore, r.AwayScore);
        for (const auto* s : {&r.HomeStats, &r.AwayStats}) {
            const int score = s == &r.HomeStats ? r.HomeScore : r.AwayScore;
            EXPECT_LE(s->TDs * 6, score);
            if (year < 1995) {
                EXPECT_EQ(s->TDs, 0);
            }
            EXPECT_LE(s->PassComp, s->PassAtt);
            EXPECT_LE(s->TDs, s->PassComp);
            EXPECT_LE(s->Int, s->PassAtt - s->PassComp);
            EXPECT_LE(s->FumLost, s->Fum);
            EXPECT_GE(s->RushYds, 0);
            EXPECT_GE(s->PassYds, 0);
            EXPECT_GT(s->RushAtt, 0);
            EXPECT_GT(s->FirstDowns, 0);
            EXPECT_LT(s->TOPSec, 60);
            EXPECT_GE(s->SackYds, s->Sacks);
        }
        EXPECT_EQ(r.HomeStats.TOPSeconds() + r.AwayStats.TOPSeconds(), 3600);
    }
}

TEST_P(SampleSeason, PlayoffsAreWonThrough)
{
    const int year = GetParam();
    const auto shape = ShapeOf(year);
    const auto records = MakeSeason(year, 5);
    std::set<int> losers;
    std::set<int> playoffTeams;
    for (const GameRecord& r : records) {
        if (r.Week <= shape.RegularWeeks)
            continue;
        EXPECT_FALSE(losers.count(r.HomeTeam)) << "eliminated team plays on";
        EXPECT_FALSE(losers.count(r.AwayTeam)) << "eliminated team plays on";
        playoffTeams.insert(r.HomeTeam);
        playoffTeams.insert(r.AwayTeam);
        losers.insert(r.HomeScore > r.AwayScore ? r.AwayTeam : r.HomeTeam);
    }
    EXPECT_EQ(static_cast<int>(playoffTeams.size()), 2 * shape.PlayoffSeeds);
    EXPECT_EQ(losers.size(), playoffTeams.size() - 1);
}

INSTANTIATE_TEST_SUITE_P(Eras, SampleSeason, ::testing::Values(1984, 1990, 1995, 1999, 2001, 2002, 2020, 2021, 2024));

TEST(SampleSeasons, LeagueSizeByEra)
{
    EXPECT_EQ(samplegen::LeagueTeams(1984).size(), 28u);
    EXPECT_EQ(samplegen::LeagueTeams(1995).size(), 30u);
    EXPECT_EQ(samplegen::LeagueTeams(1998).size(), 30u);
    EXPECT_EQ(samplegen::LeagueTeams(1999).size(), 31u);
    EXPECT_EQ(samplegen::LeagueTeams(2001).size(), 31u);
    EXPECT_EQ(samplegen::LeagueTeams(2002).size(), 32u);
    const auto t1999 = samplegen::LeagueTeams(1999);
    EXPECT_NE(std::find(t1999.begin(), t1999.end(), 31), t1999.end());
    EXPECT_EQ(std::find(t1999.begin(), t1999.end(), 32), t1999.end());
    EXPECT_EQ(ShapeOf(2024).RegularWeeks + ShapeOf(2024).PlayoffWeeks, 22);
    EXPECT_EQ(samplegen::SeasonStart(2024), vb::DateSerial(2024, 9, 8));
    EXPECT_EQ(samplegen::SeasonStart(2023), vb::DateSerial(2023, 9, 10));
}

TEST(SampleSeasons, SameSeedSameSeasonWhateverTheRange)
{
    EXPECT_EQ(MakeSeason(2023, 1), MakeSeason(2023, 1));
    EXPECT_NE(MakeSeason(2023, 1), MakeSeason(2023, 2));

    test::TempFolder folder;
    samplegen::SampleOptions wide;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder / "wide", wide));
    samplegen::SampleOptions one;
    one.FromYear = one.ToYear = 2023;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder / "one", one));
    const std::string bytes = folder.Read("wide/2023.nfl");
    EXPECT_EQ(bytes, folder.Read("one/2023.nfl"));
    EXPECT_EQ(bytes.size() % GameRecord::Size, 0u);
    EXPECT_EQ(ReadSeasonFile(folder / "wide" / "2023.nfl"), MakeSeason(2023, 1));
    EXPECT_TRUE(std::filesystem::exists(folder / "wide" / "2022.nfl"));
    EXPECT_TRUE(std::filesystem::exists(folder / "wide" / "2024.nfl"));
}

TEST(SampleSeasons, GamesFromTheChosenWeekOnStayUnplayed)
{
    test::TempFolder folder;
    samplegen::SampleOptions options;
    options.FromYear = 2023;
    options.UnplayedFromWeek = 10;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options));

    const auto full = MakeSeason(2024, 1);
    const auto cut = ReadSeasonFile(SeasonFilePath(2024));
    ASSERT_EQ(cut.size(), full.size());
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const GameRecord& r = cut[i];
        if (r.Week < 10) {
            EXPECT_EQ(r, full[i]);
            continue;
        }
        EXPECT_EQ(r.HomeScore, 0);
        EXPECT_EQ(r.AwayScore, 0);
        EXPECT_EQ(r.HomeStats, TeamStats{});
        EXPECT_EQ(r.AwayStats, TeamStats{});
        EXPECT_EQ(r.Line, full[i].Line);
        EXPECT_EQ(r.Total, full[i].Total);
        EXPECT_EQ(r.HomeTeam, full[i].HomeTeam);
        EXPECT_EQ(r.GameDate, full[i].GameDate);
    }
    // Only the newest season is cut.
    EXPECT_EQ(ReadSeasonFile(SeasonFilePath(2023)), MakeSeason(2023, 1));
}

TEST(SampleSeasons, BadOptionsWriteNothing)
{
    test::TempFolder folder;
    samplegen::SampleOptions options;
    options.FromYear = 2024;
    options.ToYear = 2022;
    std::string error;
    EXPECT_FALSE(samplegen::WriteSampleSeasons(folder.Path(), options, &error));
    EXPECT_FALSE(error.empty());
    options.FromYear = 1950;
    options.ToYear = 1984;
    EXPECT_FALSE(samplegen::WriteSampleSeasons(folder.Path(), options, &error));
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(SampleSeasons, CommandWritesTheSampleFolder)
{
    const std::string tool = test::BuildFile("tools/make_sample_seasons").string();
    test::TempFolder folder;
    const std::string command = tool + " --out '" +
                                (folder / "sample").string() + "' --seed 1 --from 2022 --to 2024";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int year = 2022; year <= 2024; ++year)
        EXPECT_EQ(ReadSeasonFile(folder / "sample" / SeasonFileName(year)), MakeSeason(year, 1)) << year;

    const std::string bad = tool + " --out '" +
                            (folder / "other").string() + "' --from 2030 2>/dev/null";
    EXPECT_NE(std::system(bad.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "other" / "2030.nfl"));
}

} // namespace
} // namespace vexal
