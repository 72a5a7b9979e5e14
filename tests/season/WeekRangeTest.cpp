// The week selector's procedures: the season of a week slot, a week's records, the week
// choice, where the current season's lines come from and the list searches.
#include "LoaderFixtures.h"

#include "FileChecks.h"
#include "SettingsStore.h"
#include "Teams.h"
#include "VbError.h"
#include "WeekRange.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <filesystem>
#include <optional>

namespace vexal::test {
namespace {

using ::testing::ElementsAre;

class WeekRangeTest : public LoaderFixture {
protected:
    void ThreeSeasonsLoaded()
    {
        auto& s = Season();
        s.Allocate(3);
        s.SeasonFirstWeek = {43, 21, 0, 0};
        s.SeasonYear = 2024;
    }
};

TEST_F(WeekRangeTest, SeasonStartWeekFindsTheSeasonsFirstSlot)
{
    ThreeSeasonsLoaded();
    EXPECT_EQ(SeasonStartWeek(50), 43);
    EXPECT_EQ(SeasonStartWeek(43), 43);
    EXPECT_EQ(SeasonStartWeek(42), 21);
    EXPECT_EQ(SeasonStartWeek(21), 21);
    for (int16_t w = 0; w <= 20; ++w)
        EXPECT_EQ(SeasonStartWeek(w), 0) << w;
}

// The current week is the week its item names, in the season that holds it, though the season
// file lacks a week (as 1987 lacks week 3); 10 games a week.
TEST_F(WeekRangeTest, SetWeekRangeOfTheCurrentWeekFindsItsSeasonAndItsNumber)
{
    // The week 2023.nfl lacks (none: 0), the current week's slot, and the records of its week.
    const struct { const char* name; int lacking, slot; int32_t first, next; } cases[] = {
        {"every week there, week 9", 0, 8, 81, 91},
        {"the first week lacking, week 2", 1, 0, 1, 11},
        {"week 3 lacking, week 4", 3, 2, 21, 31},
        {"week 3 lacking, the final", 3, 20, 201, 210},
        {"the final lacking, week 21", 22, 20, 201, 210},
    };
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(22, 10)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> weeks = Weeks(22, 10);
        if (c.lacking > 0)
            weeks[static_cast<std::size_t>(c.lacking - 1)] = 0;
        WriteSeason(2023, SeasonOfWeeks(2023, weeks));
        ASSERT_TRUE(SelectSeason(2024));
        App().CurrentFormula[fsCurrentWeek] = static_cast<float>(c.slot + 1);
        Season().CurrentGame = 5;
        SetWeekRange(0, 0);
        EXPECT_EQ(Season().WeekFirstRecord, c.first);
        EXPECT_EQ(Season().NextWeekFirstRecord, c.next);
        EXPECT_EQ(Season().CurrentGame, 0);
    }
}

TEST_F(WeekRangeTest, SetWeekRangeBoundsOfAWeek)
{
    // 15 games a week: week 3 is records 31 to 45, week 4 starts at 46; 18 weeks = 270 records.
    WriteSeason(2024, SeasonOfWeeks(2024, Weeks(18, 15)));
    SetWeekRange(3, 2024);
    EXPECT_EQ(Season().WeekFirstRecord, 31);
    EXPECT_EQ(Season().NextWeekFirstRecord, 46);
    // The last week: records 256 to 270; the following week's first record is the count.
    SetWeekRange(18, 2024);
    EXPECT_EQ(Season().WeekFirstRecord, 256);
    EXPECT_EQ(Season().NextWeekFirstRecord, 270);
}

TEST_F(WeekRangeTest, SetWeekRangeOfAWeekWithoutRecords)
{
    WriteSeason(2024, SeasonOfWeeks(2024, {2, 0, 3}));
    SetWeekRange(2, 2024);
    EXPECT_EQ(Season().WeekFirstRecord, 3);
    EXPECT_EQ(Season().NextWeekFirstRecord, 3);
    SetWeekRange(9, 2024);
    EXPECT_EQ(Season().WeekFirstRecord, 0);
    EXPECT_EQ(Season().NextWeekFirstRecord, 0);
}

TEST_F(WeekRangeTest, SetWeekRangeNeverCreatesASeasonFile)
{
    Season().WeekFirstRecord = 7;
    SetWeekRange(3, 2019);
    EXPECT_EQ(Season().WeekFirstRecord, 0);
    EXPECT_EQ(Season().NextWeekFirstRecord, 0);
    EXPECT_FALSE(std::filesystem::exists(folder / "2019.nfl"));
}

TEST_F(WeekRangeTest, WeekClickMakesTheWeekCurrent)
{
    Season().WeekItems = {"Wk 16 of 2001", "Wk 17 of 2001", "Wk 1 of 2002", "Wk 2 of 2002"};
    ASSERT_TRUE(SelectWeek(3));
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 4.0f);
    EXPECT_EQ(Season().WeekSeason, 2002);
    EXPECT_NE(Season().DivisionOrder[31], 0);
    EXPECT_THAT(host->refreshes, ElementsAre(true));

    // The week already current: nothing.
    ASSERT_TRUE(SelectWeek(3));
    EXPECT_EQ(host->refreshes.size(), 1u);

    ASSERT_TRUE(SelectWeek(0));
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 1.0f);
    EXPECT_EQ(Season().WeekSeason, 2001);
    EXPECT_EQ(Season().DivisionOrder[31], 0);
    EXPECT_EQ(host->refreshes.size(), 2u);
    EXPECT_EQ(host->weekSelections, 3);

    // No such position; no selection at all.
    EXPECT_FALSE(SelectWeek(4));
    EXPECT_EQ(Season().WeekListIndex, 0);
    ASSERT_TRUE(SelectWeek(-1));
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 1.0f);
    EXPECT_EQ(WeekSelectorText(), "");
}

TEST_F(WeekRangeTest, UseSeasonFileLinesByLineFileAndWeek)
{
    Season().WeekItems = {"Wk 22 of 2023", "Wk 1 of 2024"};
    Season().WeekListIndex = 1;
    EXPECT_TRUE(UseSeasonFileLines()); // "Default"
    SaveSetting("Preference", "LineFile", "MyLines");
    EXPECT_FALSE(UseSeasonFileLines());
    Season().WeekListIndex = 0;
    EXPECT_TRUE(UseSeasonFileLines());
    Season().WeekListIndex = -1;
    EXPECT_TRUE(UseSeasonFileLines());
}

class LoadWeekLinesTest : public WeekRangeTest {
protected:
    void SetUp() override
    {
        WeekRangeTest::SetUp();
        WriteSeason(2024, SeasonOfWeeks(2024, {2, 2}, false));
        WriteYearsToLoad("1");
        ASSERT_TRUE(SelectSeason(2024));
        ASSERT_EQ(WeekSelectorText(), "Wk 1 of 2024");
    }
    static LineRecord LineOf(int week, int home, int away, double spread, double total)
    {
        LineRecord l;
        l.Year = 2024;
        l.Week = static_cast<uint8_t>(week);
        l.HomeTeam = static_cast<uint8_t>(home);
        l.AwayTeam = static_cast<uint8_t>(away);
        l.SetLine(spread);
        l.SetTotal(total);
        return l;
    }
};

TEST_F(LoadWeekLinesTest, LineFileLinesGoToTheirGameSlots)
{
    WriteLineFile("MyLines", 2024, {LineOf(1, 1, 2, 2.5, 40), LineOf(1, 3, 4, -6, 45.5), LineOf(2, 1, 2, 1, 39)});
    SaveSetting("Preference", "LineFile", "MyLines");
    LoadWeekLines(false);
    EXPECT_EQ(Season().Spread(0, 0), 2.5f);
    EXPECT_EQ(Season().Total(0, 0), 40.0f);
    EXPECT_EQ(Season().Spread(0, 1), -6.0f);
    EXPECT_EQ(Season().Spread(1, 0), 1.0f);
    EXPECT_EQ(Season().Spread(1, 1), -3.5f); // past the end of the line file: the season's own

    // Back to the season file's lines.
    SaveSetting("Preference", "LineFile", "Default");
    LoadWeekLines(false);
    EXPECT_EQ(Season().Spread(0, 0), -3.5f);
    EXPECT_EQ(Season().Total(1, 0), 44.0f);
}

TEST_F(LoadWeekLinesTest, MissingLineFileKeepsTheSeasonLinesAndIsNotCreated)
{
    SaveSetting("Preference", "LineFile", "Gone");
    Season().Spread(0, 0) = 99;
    LoadWeekLines(true);
    EXPECT_EQ(Season().Spread(0, 0), -3.5f);
    EXPECT_FALSE(std::filesystem::exists(folder / "Gone.L24"));
}

TEST_F(LoadWeekLinesTest, StopsAtTheFirstWeekNotLoaded)
{
    // A season file of 2024 with a game of a week that is not loaded first.
    WriteSeason(2024, {Game(2024, 9, 1, 2), Game(2024, 1, 3, 4)});
    Season().Spread(0, 0) = 99;
    LoadWeekLines(false);
    EXPECT_EQ(Season().Spread(0, 0), 99.0f);
}

TEST_F(LoadWeekLinesTest, RecordOutOfWeekOrderTakesNoGameSlot)
{
    // Week 1, week 2, week 1 again (out of order, left out by the loader), week 2.
    WriteSeason(2024, {Game(2024, 1, 1, 2), Game(2024, 2, 3, 4), Game(2024, 1, 5, 6), Game(2024, 2, 7, 8)});
    ASSERT_TRUE(SelectSeason(2024));
    ASSERT_EQ(Season().Game(1, 1, gfHomeTeam), 7);
    messages->shown.clear();
    WriteLineFile("MyLines", 2024,
                  {LineOf(1, 1, 2, 1, 41), LineOf(2, 3, 4, 2, 42), LineOf(1, 5, 6, 3, 43), LineOf(2, 7, 8, 4, 44)});
    SaveSetting("Preference", "LineFile", "MyLines");
    LoadWeekLines(false);
    EXPECT_EQ(Season().Spread(0, 0), 1.0f);
    EXPECT_EQ(Season().Spread(1, 0), 2.0f);
    EXPECT_EQ(Season().Spread(1, 1), 4.0f); // the game of team 7, where the loader put it
    EXPECT_EQ(Season().Total(1, 1), 44.0f);
    EXPECT_EQ(Season().Spread(0, 1), 0.0f); // the left-out game has no slot
}

// A season file that cannot give its lines when the choice of lines changes: no line of the
// choice before stands under the new one (the line file's, else none), and the caller gets the
// file and the cause to name; nothing is shown here.
TEST_F(LoadWeekLinesTest, ASeasonFileThatFailsLeavesNoLineOfTheChoiceBefore)
{
    enum class Failure { ReadFails, OpenRefused, Removed };
    struct Case {
        const char* name;
        const char* before;   // the line file in use before, and after
        const char* after;
        Failure failure;
        std::string cause;
        float firstSpread;    // of the first game of week 1, and of the second game of week 2
        float lastSpread;
    };
    const std::filesystem::path file = folder / SeasonFileName(2024);
    const Case cases[] = {
        {"back to Default, the read failing", "MyLines", "Default", Failure::ReadFails,
         ReadFailure(file, EIO), 0.0f, 0.0f},
        {"back to Default, the open refused", "MyLines", "Default", Failure::OpenRefused,
         ReadFailure(file, EACCES), 0.0f, 0.0f},
        {"back to Default, the file gone", "MyLines", "Default", Failure::Removed, file.string() + " was not found.",
         0.0f, 0.0f},
        // The line file's three lines go in; the game it lacks has no season record's line.
        {"to a line file, the read failing", "Default", "MyLines", Failure::ReadFails, ReadFailure(file, EIO),
         2.5f, 0.0f},
    };
    WriteLineFile("MyLines", 2024, {LineOf(1, 1, 2, 2.5, 40), LineOf(1, 3, 4, -6, 45.5), LineOf(2, 1, 2, 1, 39)});
    const std::string seasonBytes = folder.Read(SeasonFileName(2024));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write(SeasonFileName(2024), seasonBytes);
        SaveSetting("Preference", "LineFile", c.before);
        LoadWeekLines(false);
        ASSERT_EQ(Season().Spread(1, 1), -3.5f);
        ASSERT_EQ(Season().Spread(0, 0), c.before == std::string("MyLines") ? 2.5f : -3.5f);
        messages->shown.clear();

        SaveSetting("Preference", "LineFile", c.after);
        std::optional<ReadErrorFault> failingRead;
        std::optional<ReadFault> refusedOpen;
        if (c.failure == Failure::ReadFails)
            failingRead.emplace(file);
        else if (c.failure == Failure::OpenRefused)
            refusedOpen.emplace(file);
        else
            std::filesystem::remove(file);
        try {
            LoadWeekLines(false);
            ADD_FAILURE() << "the season file's failure reached no caller";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Description(), c.cause);
        }
        EXPECT_EQ(WeekLinesSeasonFile(false), file);
        EXPECT_EQ(Season().Spread(0, 0), c.firstSpread);
        EXPECT_EQ(Season().Spread(1, 1), c.lastSpread);
        EXPECT_TRUE(messages->shown.empty());

        // The week range of the same file: none, and the caller told why.
        Season().WeekFirstRecord = 3;
        Season().NextWeekFirstRecord = 5;
        try {
            SetWeekRange(2, 2024);
            EXPECT_EQ(c.failure, Failure::Removed) << "only a missing file gives no range without a word";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Description(), c.cause);
        }
        EXPECT_EQ(Season().WeekFirstRecord, 0);
        EXPECT_EQ(Season().NextWeekFirstRecord, 0);
    }
}

TEST(ComboItems, FindOrAddAndFind)
{
    std::vector<std::string> list;
    EXPECT_EQ(FindOrAddComboItem(list, "Wk 1 of 2024"), 0);
    EXPECT_EQ(FindOrAddComboItem(list, "Wk 1 of 2024"), 0);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(FindOrAddComboItem(list, "Wk 2 of 2024"), 1);
    EXPECT_EQ(FindComboItem(list, "WK 2 OF 2024"), 1); // letter case is ignored
    EXPECT_EQ(FindComboItem(list, "Wk 2 of 202"), -1);  // the whole text must match
    EXPECT_EQ(FindComboItem(list, "Wk 3 of 2024"), -1);
    EXPECT_EQ(list.size(), 2u);

    // The index the loader uses answers the same, the first of two equal items included.
    list.push_back("wk 1 OF 2024");
    ComboItemIndex index(list);
    for (const char* text : {"Wk 1 of 2024", "WK 2 OF 2024", "Wk 2 of 202", "Wk 3 of 2024"})
        EXPECT_EQ(index.Find(text), FindComboItem(list, text)) << text;
    EXPECT_EQ(index.FindOrAdd(list, "WK 3 of 2024"), 3);
    EXPECT_EQ(index.FindOrAdd(list, "wk 3 OF 2024"), 3);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(FindComboItem(list, "Wk 3 of 2024"), 3);
}

} // namespace
} // namespace vexal::test
