// The season loader: seasons to load, week and game slots, lines, the missing-stats notice,
// the current week from the date, the splash, and season files the arrays cannot hold.
#include "LoaderFixtures.h"

#include "GameWrite.h"
#include "SampleSeasons.h"
#include "SettingsStore.h"
#include "WeekRange.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace vexal::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class LoaderTest : public LoaderFixture {
protected:
    void TearDown() override
    {
        SetDoEventsHook(nullptr);
        LoaderFixture::TearDown();
    }
    float CurrentWeek() const { return App().CurrentFormula[fsCurrentWeek]; }
};

// ---- Year to Load ----

TEST_F(LoaderTest, YearsToLoadDefaultsAndBuffer)
{
    EXPECT_EQ(GetYearsToLoad(), 2); // no Vexal.ini
    for (const char* value : {"0", "-3", "x", ""}) {
        WriteYearsToLoad(value);
        EXPECT_EQ(GetYearsToLoad(), 2) << value;
    }
    WriteYearsToLoad("5");
    EXPECT_EQ(GetYearsToLoad(), 5);
    WriteYearsToLoad("123"); // the value is cut to two characters
    EXPECT_EQ(GetYearsToLoad(), 12);
    WriteYearsToLoad("02");
    EXPECT_EQ(GetYearsToLoad(), 2);
}

// ---- week slots and game slots ----

TEST_F(LoaderTest, ThreeSeasonsTakeConsecutiveWeekSlots)
{
    WriteSeason(2022, SeasonOfWeeks(2022, Weeks(21)));
    WriteSeason(2023, SeasonOfWeeks(2023, Weeks(22)));
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(21)));
    WriteYearsToLoad("3");

    ASSERT_TRUE(SelectSeason(2024));

    const auto& s = Season();
    EXPECT_EQ(s.SeasonYear, 2024);
    EXPECT_EQ(s.WeekSlots, 66);
    EXPECT_EQ(s.SeasonGames.size(), 67u * WeekSlotStride);
    EXPECT_EQ(s.SeasonLines.size(), 66u * LineSlotStride + LineArraySpare);
    EXPECT_THAT(s.SeasonFirstWeek, ElementsAre(43, 21, 0, 0));
    ASSERT_EQ(s.WeekItems.size(), 64u);
    EXPECT_EQ(s.WeekItems[0], "Wk 1 of 2022");
    EXPECT_EQ(s.WeekItems[21], "Wk 1 of 2023");
    EXPECT_EQ(s.WeekItems[43], "Wk 1 of 2024");
    EXPECT_EQ(s.WeekItems[63], "Wk 21 of 2024");
    // Week 22 of 2023 is slot 42; its last game is game slot 13.
    EXPECT_EQ(s.Game(42, 13, gfWeek), 22);
    EXPECT_EQ(s.Game(42, 13, gfHomeTeam), 27);
    EXPECT_EQ(s.Game(42, 13, gfAwayTeam), 28);
    // Slots past the loaded weeks are empty.
    for (int slot = 64; slot <= 66; ++slot)
        for (int g = 0; g < 16; ++g)
            EXPECT_EQ(s.Game(slot, g, gfHomeTeam), 0);
    EXPECT_EQ(host->weekListChanges, 1);
}

TEST_F(LoaderTest, ThirteenGameWeekLeavesTheLastSlotsEmpty)
{
    WriteSeason(2024, SeasonOfWeeks(2024, {13, 16}));
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2024));
    auto& s = Season();
    EXPECT_EQ(s.Game(0, 12, gfHomeTeam), 25);
    for (int g = 13; g < 16; ++g) {
        for (int f = 0; f < FieldsPerGame; ++f)
            EXPECT_EQ(s.Game(0, g, f), 0) << g << "/" << f;
        EXPECT_EQ(s.Spread(0, g), 0.0f);
        EXPECT_EQ(s.Total(0, g), 0.0f);
    }
    EXPECT_EQ(s.Game(1, 15, gfWeek), 2);
}

TEST_F(LoaderTest, GameFieldsComeFromTheRecord)
{
    GameRecord unplayed = Game(2024, 1, 5, 6);
    GameRecord shutout = Game(2024, 1, 7, 8, 0, 3);
    shutout.HomeStats.TOPMin = 31;
    shutout.HomeStats.TOPSec = 45;
    shutout.AwayStats.TOPMin = 28;
    shutout.AwayStats.TOPSec = 15;
    shutout.HomeStats.RushYds = 140;
    shutout.AwayStats.PassYds = -5;
    shutout.HomeStats.FumLost = 2;
    shutout.AwayStats.Sacks = 4;
    shutout.HomeStats.TDs = 1;
    shutout.AwayStats.FirstDowns = 17;
    shutout.Injuries = 3;
    shutout.Psychological = -2;
    shutout.Situational = 1;
    shutout.Weather = -7;
    shutout.Surface = 2;
    shutout.SetLine(-3.5);
    shutout.SetTotal(41.5);
    WriteSeason(2024, {unplayed, shutout});
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2024));

    const auto& s = Season();
    EXPECT_EQ(s.Game(0, 0, gfAwayScore), -1);
    EXPECT_EQ(s.Game(0, 0, gfHomeScore), -1);
    EXPECT_EQ(s.Game(0, 1, gfAwayScore), 3);
    EXPECT_EQ(s.Game(0, 1, gfHomeScore), 0);
    EXPECT_EQ(s.Game(0, 1, gfHomeTOP), 1905);
    EXPECT_EQ(s.Game(0, 1, gfAwayTOP), 1695);
    EXPECT_EQ(s.Game(0, 1, gfHomeRushYds), 140);
    EXPECT_EQ(s.Game(0, 1, gfAwayPassYds), -5);
    EXPECT_EQ(s.Game(0, 1, gfHomeFumLost), 2);
    EXPECT_EQ(s.Game(0, 1, gfAwaySacks), 4);
    EXPECT_EQ(s.Game(0, 1, gfHomeTDs), 1);
    EXPECT_EQ(s.Game(0, 1, gfAwayFirstDowns), 17);
    EXPECT_EQ(s.Game(0, 1, gfInjury), 3);
    EXPECT_EQ(s.Game(0, 1, gfWeather), -7);
    EXPECT_EQ(s.Game(0, 1, gfPsychological), -2);
    EXPECT_EQ(s.Game(0, 1, gfSituational), 1);
    EXPECT_EQ(s.Game(0, 1, gfSurface), 2);
    EXPECT_EQ(Season().Spread(0, 1), -3.5f);
    EXPECT_EQ(Season().Total(0, 1), 41.5f);
}

TEST_F(LoaderTest, RunOfSeasonsIsCutAtTheNewestMissingFile)
{
    for (int year : {2020, 2022, 2023, 2024})
        WriteSeason(year, SeasonOfWeeks(year, Weeks(22, 2)));
    WriteYearsToLoad("5");
    ASSERT_TRUE(SelectSeason(2024));
    const auto& s = Season();
    EXPECT_EQ(s.WeekSlots, 66);
    EXPECT_THAT(s.SeasonFirstWeek, ElementsAre(44, 22, 0, 0, 0, 0));
    EXPECT_EQ(s.WeekItems.front(), "Wk 1 of 2022");
}

TEST_F(LoaderTest, MissingChosenSeasonLeavesThePreviousLoadWhole)
{
    WriteSeason(2023, SeasonOfWeeks(2023, Weeks(3)));
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2023));
    const SeasonData before = Season();
    const int refreshes = static_cast<int>(host->refreshes.size());

    EXPECT_FALSE(SelectSeason(2024));

    const auto& s = Season();
    EXPECT_EQ(s.SeasonYear, 2023);
    EXPECT_EQ(s.WeekItems, before.WeekItems);
    EXPECT_EQ(s.WeekListIndex, before.WeekListIndex);
    EXPECT_EQ(s.SeasonGames, before.SeasonGames);
    EXPECT_EQ(s.SeasonFirstWeek, before.SeasonFirstWeek);
    EXPECT_EQ(static_cast<int>(host->refreshes.size()), refreshes);
    EXPECT_EQ(SeasonSelectorText(), " 2023");
    ASSERT_FALSE(messages->shown.empty());
    EXPECT_THAT(messages->shown.back().text, HasSubstr("2024.nfl was not found."));

    // A folder where the season file should be is named as such, not as a missing file.
    std::filesystem::create_directory(folder.Path() / "2024.nfl");
    EXPECT_FALSE(SelectSeason(2024));
    EXPECT_EQ(Season().SeasonGames, before.SeasonGames);
    EXPECT_EQ(messages->shown.back().text, (folder.Path() / "2024.nfl").string() + " is a folder, not a file.");
}

TEST_F(LoaderTest, EmptySeasonFileYieldsNoWeeks)
{
    WriteSeason(2023, SeasonOfWeeks(2023, Weeks(2)));
    WriteSeason(2024, {});
    WriteYearsToLoad("2");
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(Season().WeekItems.size(), 2u);
    EXPECT_THAT(Season().SeasonFirstWeek, ElementsAre(0, 0, 0));
}

// ---- the missing-statistics notice ----

TEST_F(LoaderTest, PlayedGameAfterAnUnplayedOneRaisesOneNotice)
{
    auto records = SeasonOfWeeks(2024, {3, 3, 3, 3, 3, 3});
    records[12].HomeScore = records[12].AwayScore = 0; // week 5, first game not played
    records[13].HomeScore = records[13].AwayScore = 0;
    WriteSeason(2024, records);
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2024));

    EXPECT_EQ(host->noticesCreated, 1);
    EXPECT_THAT(host->notices,
                ElementsAre("text:There appears to be missing stats for Wk 5 of 2024\r\n"
                            "You should re-import the stats for this week\r\n"
                            "Click this message to close or it will disappear automatically soon",
                            "title:Missing Stats", "number:6", "owner:Main", "show"));
}

TEST_F(LoaderTest, NoticeCrossesSeasonsAndUsesOneInstancePerLoad)
{
    auto older = SeasonOfWeeks(2023, {2, 2});
    older.back().HomeScore = older.back().AwayScore = 0; // the last game of 2023 unplayed
    auto newer = SeasonOfWeeks(2024, {2, 2});
    newer[2].HomeScore = newer[2].AwayScore = 0;         // week 2 of 2024: unplayed, then played
    WriteSeason(2023, older);
    WriteSeason(2024, newer);
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(host->noticesCreated, 1);
    ASSERT_EQ(host->notices.size(), 10u);
    EXPECT_THAT(host->notices[0], HasSubstr("for Wk 1 of 2024\r\n"));
    EXPECT_THAT(host->notices[5], HasSubstr("for Wk 2 of 2024\r\n"));
}

TEST_F(LoaderTest, UnplayedWeeksAtTheEndRaiseNothing)
{
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(4), false));
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_TRUE(host->notices.empty());
}

// ---- lines from a line file ----

class LoaderLinesTest : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        WriteSeason(2023, SeasonOfWeeks(2023, {2}));
        WriteSeason(2024, SeasonOfWeeks(2024, {2, 2}));
        SaveSetting("Preference", "LineFile", "MyLines");
    }
    static LineRecord LineOf(const GameRecord& g, double spread, double total)
    {
        LineRecord l = LineRecord::FromGame(g);
        l.SetLine(spread);
        l.SetTotal(total);
        return l;
    }
};

TEST_F(LoaderLinesTest, CurrentSeasonTakesTheLineFilesLines)
{
    const auto games = SeasonOfWeeks(2024, {2, 2});
    WriteLineFile("MyLines", 2024, {LineOf(games[0], 1.5, 40), LineOf(games[1], -7, 51.5), LineOf(games[2], 3, 38),
                                    LineOf(games[3], -1, 47)});
    ASSERT_TRUE(SelectSeason(2024));
    const int first = Season().SeasonFirstWeek[0];
    EXPECT_EQ(first, 1);
    EXPECT_EQ(Season().Spread(first, 0), 1.5f);
    EXPECT_EQ(Season().Total(first, 0), 40.0f);
    EXPECT_EQ(Season().Spread(first + 1, 1), -1.0f);
    EXPECT_EQ(Season().Total(first + 1, 1), 47.0f);
    // 2023 keeps its own.
    EXPECT_EQ(Season().Spread(0, 0), -3.5f);
    EXPECT_EQ(Season().Total(0, 0), 44.0f);
}

TEST_F(LoaderLinesTest, GamesTheLineFileLacksKeepTheirOwnLines)
{
    const auto games = SeasonOfWeeks(2024, {2, 2});
    LineRecord otherWeek = LineOf(games[1], 9, 60);
    otherWeek.Week = 7;
    LineRecord otherGame = LineOf(games[2], 9, 60); // the game next to it, as an old copy has it
    otherGame.HomeTeam = games[3].HomeTeam;
    WriteLineFile("MyLines", 2024, {LineOf(games[0], 1.5, 40), otherWeek, otherGame});
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(Season().Spread(1, 0), 1.5f);
    EXPECT_EQ(Season().Spread(1, 1), -3.5f); // a line record of another week
    EXPECT_EQ(Season().Spread(2, 0), -3.5f); // of another game of the week
    EXPECT_EQ(Season().Total(2, 1), 44.0f);  // past the end of the line file
    // Named once, by its first record of another game, however often the season is loaded.
    ASSERT_TRUE(SelectSeason(2024));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, (folder / "MyLines.L24").string() + " no longer pairs with 2024.nfl: its record 2 holds " +
                                           GameKey::Of(otherWeek).Text() + ", where the season file holds " +
                                           GameKey::Of(games[1]).Text() +
                                           ". The season file's lines are used for the games it does not pair.");
}

TEST_F(LoaderLinesTest, MissingLineFileIsNeverCreated)
{
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_FALSE(std::filesystem::exists(folder / "MyLines.L24"));
    EXPECT_EQ(Season().Spread(1, 0), -3.5f);
    EXPECT_EQ(Season().Total(2, 1), 44.0f);
}

// ---- the current week from the date ----

class CurrentWeekTest : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        WriteSeason(2023, SeasonOfWeeks(2023, Weeks(22, 1)));
        WriteSeason(2024, SeasonOfWeeks(2024, Weeks(22, 1)));
    }
    // Loads 2023 and 2024 on the date and returns the chosen week's text.
    std::string LoadOn(int year, int month, int day, int season = 2024)
    {
        SetToday(year, month, day);
        EXPECT_TRUE(SelectSeason(season));
        return WeekSelectorText();
    }
};

TEST_F(CurrentWeekTest, WeeksOfTheSeasonFromTheDate)
{
    EXPECT_EQ(LoadOn(2024, 9, 9), "Wk 1 of 2024");
    EXPECT_EQ(CurrentWeek(), 23.0f);
    EXPECT_EQ(Season().WeekSeason, 2024);
    EXPECT_EQ(LoadOn(2024, 9, 10), "Wk 2 of 2024");
    EXPECT_EQ(LoadOn(2024, 12, 24), "Wk 17 of 2024");
    EXPECT_EQ(LoadOn(2025, 1, 20), "Wk 20 of 2024");
    EXPECT_EQ(LoadOn(2025, 6, 1), "Wk 21 of 2024");
}

TEST_F(CurrentWeekTest, BeforeTheSeasonTheLastWeekOfTheSeasonBefore)
{
    EXPECT_EQ(LoadOn(2024, 8, 1), "Wk 22 of 2023");
    EXPECT_EQ(CurrentWeek(), 22.0f);
    EXPECT_EQ(Season().WeekSeason, 2023);
    // Up to D - 14 days only: 27 August is already week 1.
    EXPECT_EQ(LoadOn(2024, 8, 27), "Wk 1 of 2024");
}

TEST_F(CurrentWeekTest, BeforeTheSeasonWithAnotherSeasonChosenTheLastWeek)
{
    WriteSeason(2022, SeasonOfWeeks(2022, Weeks(20, 1)));
    EXPECT_EQ(LoadOn(2024, 8, 1, 2023), "Wk 22 of 2023");
    EXPECT_EQ(Season().WeekSeason, 2023);
}

// Past the dates the loader knows (and before them) the newest season's games choose the week.
TEST_F(CurrentWeekTest, OtherYearsTakeTheNewestSeasonsWeekFromItsGames)
{
    struct Case {
        const char* what;
        int playedWeeks;         // weeks of 2024 with every result in
        bool nextWeekUnderWay;   // the week after them with one of its two games played
        int year;
        const char* expected;
    };
    const Case cases[] = {
        {"season over", 22, false, 2026, "Wk 22 of 2024"},
        {"five weeks played", 5, false, 2026, "Wk 6 of 2024"},
        {"a week under way", 5, true, 2027, "Wk 6 of 2024"},
        {"nothing played", 0, false, 2026, "Wk 1 of 2024"},
        {"before the dates", 5, false, 2023, "Wk 6 of 2024"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto records = SeasonOfWeeks(2024, Weeks(22, 2));
        for (std::size_t i = static_cast<std::size_t>(c.playedWeeks) * 2; i < records.size(); ++i)
            records[i].HomeScore = records[i].AwayScore = 0;
        if (c.nextWeekUnderWay)
            records[static_cast<std::size_t>(c.playedWeeks) * 2].HomeScore = 21;
        WriteSeason(2024, records);
        EXPECT_EQ(LoadOn(c.year, 2, 1), c.expected);
        EXPECT_EQ(Season().WeekSeason, 2024);
    }
}

TEST_F(CurrentWeekTest, AWeekTheFileLacksSelectsTheFirstWeek)
{
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(6, 1)));
    EXPECT_EQ(LoadOn(2024, 11, 10), "Wk 1 of 2023");
    EXPECT_EQ(CurrentWeek(), 1.0f);
    EXPECT_EQ(Season().WeekListIndex, 0);
}

TEST_F(CurrentWeekTest, TheWeekSeasonFollowsTheChosenWeek)
{
    WriteSeason(1999, SeasonOfWeeks(1999, Weeks(22, 1)));
    WriteSeason(2000, SeasonOfWeeks(2000, Weeks(22, 1)));
    ASSERT_EQ(LoadOn(2026, 1, 5, 2024), "Wk 22 of 2024");
    EXPECT_NE(Season().DivisionOrder[31], 0);
    // The same position of another season: the click handler sees no change, yet the week
    // shown is of 2000, so its season and divisions are.
    ASSERT_EQ(LoadOn(2026, 1, 5, 2000), "Wk 22 of 2000");
    EXPECT_EQ(Season().WeekSeason, 2000);
    EXPECT_EQ(Season().DivisionOrder[31], 0); // the 31-team order of the seasons before 2002
}

TEST_F(CurrentWeekTest, SeasonChoiceSelectsAndRefreshes)
{
    host->refreshes.clear();
    EXPECT_EQ(LoadOn(2024, 9, 20), "Wk 3 of 2024");
    EXPECT_EQ(Season().WeekListIndex, 24);
    EXPECT_GE(host->weekSelections, 1);
    ASSERT_FALSE(host->refreshes.empty());
    EXPECT_TRUE(host->refreshes.back());
    EXPECT_EQ(host->cursorDepth, 0);
    EXPECT_THAT(host->busyCalls, ElementsAre(true, false));
}

// ---- splash and yields ----

TEST_F(LoaderTest, ProgressOnTheSplash)
{
    // Every tenth record has its progress; it is painted (and the message loop runs) only when
    // the last one painted is a frame old, and the last one held back is painted at the end.
    struct Shown {
        int32_t value;
        const char* caption;
    };
    struct Case {
        const char* name;
        bool clockStandsStill;
        std::vector<int> weeks2024;
        std::vector<Shown> shown;
    };
    const Case cases[] = {
        {"a frame between reports", false, {10, 10},
         {{25, "Loading Data for 2023...50%"}, {50, "Loading Data for 2023...100%"},
          {75, "Loading Data for 2024...50%"}, {100, "Loading Data for 2024...100%"}}},
        {"a fast machine: the first and the complete one", true, {10, 10},
         {{25, "Loading Data for 2023...50%"}, {100, "Loading Data for 2024...100%"}}},
        {"a fast machine: the first and the last one held back", true, {10, 5},
         {{29, "Loading Data for 2023...50%"}, {86, "Loading Data for 2024...66%"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSeasonLoader();
        host->progress.clear();
        host->splashShown = host->splashClosed = 0;
        host->splashVisible = false;
        if (c.clockStandsStill)
            ProgressPace::SetClock([] { return ProgressPace::Clock::time_point{}; });
        WriteSeason(2023, SeasonOfWeeks(2023, {10, 10}));
        WriteSeason(2024, SeasonOfWeeks(2024, c.weeks2024));
        int yields = 0;
        SetDoEventsHook([&] { ++yields; });
        ASSERT_TRUE(SelectSeason(2024));
        EXPECT_EQ(host->splashShown, 1); // at the first record, the splash not being visible
        ASSERT_EQ(host->progress.size(), c.shown.size());
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(host->progress[i].value, c.shown[i].value) << i;
            EXPECT_EQ(host->progress[i].caption, c.shown[i].caption) << i;
        }
        EXPECT_EQ(yields, static_cast<int>(c.shown.size()));
        EXPECT_EQ(host->splashClosed, 1);
    }
}

TEST_F(LoaderTest, SplashStaysWhenAnotherWindowIsActive)
{
    WriteSeason(2024, SeasonOfWeeks(2024, {4}));
    host->activeCaption = "Vexal - [Standings]";
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(host->splashClosed, 0);
}

TEST_F(LoaderTest, SecondSeasonChoiceDuringTheLoadIsRefused)
{
    WriteSeason(2023, SeasonOfWeeks(2023, Weeks(3, 10)));
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(3, 10)));
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2023));
    ASSERT_EQ(CurrentWeek(), 3.0f);
    host->splashVisible = true;
    std::vector<bool> inner;
    std::vector<std::string> firstItemSeen;
    SetDoEventsHook([&] {
        EXPECT_TRUE(SeasonLoadRunning());
        inner.push_back(SelectSeason(2023));
        // Views repainting meanwhile see the previous load whole.
        firstItemSeen.push_back(Season().WeekItems.front());
        // A week choice meanwhile is refused.
        Season().WeekListIndex = 2;
        cboWeek_Click();
        EXPECT_EQ(CurrentWeek(), 3.0f);
    });
    ASSERT_TRUE(SelectSeason(2024));
    ASSERT_EQ(inner.size(), 3u);
    for (bool accepted : inner)
        EXPECT_FALSE(accepted);
    for (const auto& item : firstItemSeen)
        EXPECT_EQ(item, "Wk 1 of 2023");
    EXPECT_EQ(Season().SeasonYear, 2024);
    EXPECT_EQ(Season().WeekItems.front(), "Wk 1 of 2024");
    EXPECT_FALSE(SeasonLoadRunning());
}

// ---- season files the arrays cannot hold ----

TEST_F(LoaderTest, PartRecordAtTheEndIsLeftOut)
{
    std::string bytes = EncodeRecords(SeasonOfWeeks(2024, {3}));
    bytes += std::string(100, '\x07');
    folder.Write("2024.nfl", bytes);
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(Season().Game(0, 2, gfHomeTeam), 5);
    EXPECT_EQ(Season().Game(0, 3, gfHomeTeam), 0);
    EXPECT_EQ(Season().WeekItems.size(), 1u);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr((folder / "2024.nfl").string()));
    EXPECT_THAT(messages->shown[0].text, HasSubstr("100 bytes"));
}

TEST_F(LoaderTest, BadTeamCodeLeavesItsSlotEmpty)
{
    auto records = SeasonOfWeeks(2024, {4});
    records[1].HomeTeam = 40;
    records[3].AwayTeam = 101; // a totals pick code is no error
    WriteSeason(2024, records);
    ASSERT_TRUE(SelectSeason(2024));
    const auto& s = Season();
    for (int f = 0; f < FieldsPerGame; ++f)
        EXPECT_EQ(s.Game(0, 1, f), 0);
    EXPECT_EQ(s.Game(0, 2, gfHomeTeam), 5); // the later games keep their record's place
    EXPECT_EQ(s.Game(0, 3, gfAwayTeam), 101);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr("record 2 (Wk 1 of 2024)"));
    EXPECT_THAT(messages->shown[0].text, HasSubstr("team code"));
}

TEST_F(LoaderTest, WeekOfMoreThanSixteenGamesKeepsSixteen)
{
    auto records = SeasonOfWeeks(2024, {16, 2});
    records.insert(records.begin() + 16, Game(2024, 1, 31, 32, 7, 3));
    records.insert(records.begin() + 16, Game(2024, 1, 30, 29, 7, 3));
    WriteSeason(2024, records);
    ASSERT_TRUE(SelectSeason(2024));
    const auto& s = Season();
    EXPECT_EQ(s.Game(0, 15, gfHomeTeam), 31);
    EXPECT_EQ(s.Game(1, 0, gfWeek), 2);   // the next week is untouched
    EXPECT_EQ(s.Game(1, 0, gfHomeTeam), 1);
    EXPECT_EQ(s.Game(1, 2, gfHomeTeam), 0);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr("Wk 1 of 2024 holds more than 16 games"));
}

TEST_F(LoaderTest, WeeksBeyondTheArraysAreLeftOut)
{
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(24, 2)));
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(Season().WeekItems.size(), 22u);
    EXPECT_EQ(Season().WeekItems.back(), "Wk 22 of 2024");
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr("Wk 23 of 2024 and the weeks after it"));
    // Nothing was written past the last slot's game slots.
    for (int g = 0; g < 16; ++g)
        EXPECT_EQ(Season().Game(22, g, gfWeek), 0);
}

TEST_F(LoaderTest, RecordOutOfWeekOrderIsLeftOut)
{
    auto records = SeasonOfWeeks(2024, {16, 2});
    records.push_back(Game(2024, 1, 30, 29, 7, 3)); // week 1 again after week 2
    WriteSeason(2024, records);
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(Season().Game(0, 15, gfHomeTeam), 31);
    EXPECT_EQ(Season().Game(1, 2, gfHomeTeam), 0);
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr("record 19 (Wk 1 of 2024) is out of week order"));
}

// ---- all seasons ----

TEST_F(LoaderTest, AllFortyOneGeneratedSeasons)
{
    samplegen::SampleOptions options;
    options.FromYear = 1984;
    options.ToYear = 2024;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options));
    WriteYearsToLoad("41");
    ASSERT_TRUE(SelectSeason(2024));
    auto& s = Season();
    EXPECT_EQ(s.WeekSlots, 41 * 22);
    EXPECT_EQ(s.SeasonFirstWeek.back(), 0);
    for (std::size_t k = 1; k + 1 < s.SeasonFirstWeek.size(); ++k)
        EXPECT_LT(s.SeasonFirstWeek[k], s.SeasonFirstWeek[k - 1]);
    // Every loaded game sits at its record's place in its week.
    int slot = 0;
    for (int year = 1984; year <= 2024; ++year) {
        const auto records = samplegen::MakeSeason(year, options.Seed);
        EXPECT_EQ(s.SeasonFirstWeek[static_cast<std::size_t>(2024 - year)], slot) << year;
        int week = -1;
        int game = 0;
        for (const auto& r : records) {
            if (r.Week != week) {
                if (week != -1)
                    ++slot;
                week = r.Week;
                game = 0;
            } else {
                ++game;
            }
            ASSERT_EQ(s.WeekItems[static_cast<std::size_t>(slot)], WeekText(r.Week, r.Year));
            ASSERT_EQ(s.Game(slot, game, gfHomeTeam), r.HomeTeam);
            ASSERT_EQ(s.Spread(slot, game), r.LineSingle());
        }
        ++slot;
    }
    EXPECT_EQ(static_cast<int>(s.WeekItems.size()), slot);
    EXPECT_TRUE(messages->shown.empty());
}

} // namespace
} // namespace vexal::test
