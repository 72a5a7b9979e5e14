#include "GameRecord.h"
#include "Golden.h"
#include "Host.h"
#include "LineFiles.h"
#include "LineRecord.h"
#include "SeasonData.h"
#include "TempFolder.h"
#include "VbError.h"
#include "WeekRange.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

namespace vexal::test {
namespace {

// Record `record` of a season or line file as the Enter Lines grid shows it; past the end of
// the file (or without one) a row of no game.
WeekLine ShownAt(const std::filesystem::path& file, bool lineFile, int32_t record)
{
    WeekLine shown;
    shown.Record = record;
    const std::string bytes = std::filesystem::exists(file) ? ReadFile(file) : std::string();
    const std::size_t size = lineFile ? LineRecord::Size : GameRecord::Size;
    if (record < 1 || static_cast<std::size_t>(record) * size > bytes.size())
        return shown;
    const auto* at = reinterpret_cast<const uint8_t*>(bytes.data()) + static_cast<std::size_t>(record - 1) * size;
    if (lineFile) {
        const LineRecord r = LineRecord::Decode(at);
        return {record, r.HomeTeam, r.AwayTeam, r.LineValue(), r.TotalValue(), r.Year, r.Week};
    }
    const GameRecord g = GameRecord::Decode(at);
    return {record, g.HomeTeam, g.AwayTeam, g.LineValue(), g.TotalValue(), g.Year, g.Week};
}

GameRecord Game(int year, int week, int home, int away, double line, double total)
{
    GameRecord g;
    g.Year = static_cast<int16_t>(year);
    g.Week = static_cast<uint8_t>(week);
    g.HomeTeam = static_cast<uint8_t>(home);
    g.AwayTeam = static_cast<uint8_t>(away);
    g.SetLine(line);
    g.SetTotal(total);
    g.HomeScore = 21;
    g.AwayScore = 17;
    g.SetComment("kept");
    return g;
}

// Three weeks: two games, one game, two games.
std::vector<GameRecord> SmallSeason()
{
    return {Game(2024, 1, 1, 2, -3.5, 41), Game(2024, 1, 3, 4, 7, 44.5), Game(2024, 2, 5, 6, 1, 38),
            Game(2024, 3, 7, 8, -10, 50), Game(2024, 3, 9, 10, 2.5, 47)};
}

class LineFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSeason();
        SetProgramFolder(folder.Path());
        ASSERT_TRUE(WriteSeasonFile(folder / "2024.nfl", SmallSeason()));
    }
    void TearDown() override
    {
        ResetSeason();
        SetProgramFolder({});
    }
    TempFolder folder;
};

TEST_F(LineFilesTest, CreatedFileHoldsOneExactRecordPerGame)
{
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "MyLines.L24"));
    const std::string bytes = ReadFile(folder / "MyLines.L24");
    ASSERT_EQ(bytes.size(), 5u * 21u);
    // Record 1: 2024, week 1, home 1, away 2, -3.5 as -35000, 41 as 410000.
    const uint8_t expected[21] = {0xE8, 0x07, 1, 1, 2, 0x48, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                  0x90, 0x41, 0x06, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data(), expected, 21), 0);
    const auto rec4 = LineRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.data()) + 3 * 21);
    EXPECT_EQ(rec4.Week, 3);
    EXPECT_EQ(rec4.HomeTeam, 7);
    EXPECT_EQ(rec4.Line, -100000);
    EXPECT_EQ(rec4.Total, 500000);
}

TEST_F(LineFilesTest, CreatingReplacesAnOldFileAndAMissingSeasonLeavesItWhole)
{
    folder.Write("MyLines.L24", std::string(7, 'x'));
    EXPECT_FALSE(CreateLineFile(folder / "1999.nfl", folder / "MyLines.L24"));
    EXPECT_EQ(ReadFile(folder / "MyLines.L24"), std::string(7, 'x'));
    // A season of no game gives no line file: one of no line is read as damaged.
    folder.Write("2000.nfl", "");
    std::string problem;
    EXPECT_FALSE(CreateLineFile(folder / "2000.nfl", folder / "MyLines.L24", &problem));
    EXPECT_EQ(problem, (folder / "2000.nfl").string() + " holds no game to take the lines of.");
    EXPECT_EQ(ReadFile(folder / "MyLines.L24"), std::string(7, 'x'));
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "MyLines.L24"));
    EXPECT_EQ(ReadFile(folder / "MyLines.L24").size(), 105u);
}

TEST_F(LineFilesTest, ListsOnlyTheSeasonsFilesSortedWithoutSuffixAndFindsEachAsListed)
{
    // A suffix in small letters (copied from a system that writes names so) is listed, once
    // beside the same name's own file, and the name finds the file the list stands for.
    for (const char* name : {"Gamma.L24", "alpha.L24", "Beta.L24", "Alpha.L23", "notes.txt", "delta.l24", "Beta.l24"})
        folder.Write(name, name);
    std::filesystem::create_directories(folder / "Dir.L24");
    EXPECT_EQ(ListLineFiles(folder.Path(), 2024), (std::vector<std::string>{"alpha", "Beta", "delta", "Gamma"}));
    EXPECT_EQ(ListLineFiles(folder.Path(), 2023), (std::vector<std::string>{"Alpha"}));
    const struct {
        const char* name;
        int year;
        const char* file;   // the file found
    } cases[] = {
        {"alpha", 2024, "alpha.L24"}, {"Beta", 2024, "Beta.L24"}, {"delta", 2024, "delta.l24"},
        {"Gamma", 2024, "Gamma.L24"}, {"Alpha", 2023, "Alpha.L23"},
        // The name is the user's, letter case and all; a new file takes the name the program gives.
        {"Delta", 2024, "Delta.L24"}, {"New", 2024, "New.L24"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindLineFile(folder.Path(), c.name, c.year), folder / c.file) << c.name;
        EXPECT_EQ(LineFilePath(c.name, c.year), folder / c.file) << c.name;
    }
    for (const std::string& name : ListLineFiles(folder.Path(), 2024))
        EXPECT_TRUE(std::filesystem::is_regular_file(FindLineFile(folder.Path(), name, 2024))) << name;
}

TEST_F(LineFilesTest, ReadsAWeekFromEitherKindOfFile)
{
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "L.L24"));
    for (bool lineFile : {false, true}) {
        const auto path = lineFile ? folder / "L.L24" : folder / "2024.nfl";
        const WeekLines week1 = ReadWeekLines(path, lineFile, 1);
        EXPECT_EQ(week1.FirstRecord, 1);
        EXPECT_EQ(week1.NextFirstRecord, 3);
        ASSERT_EQ(week1.Games.size(), 2u);
        EXPECT_EQ(week1.Games[1].HomeTeam, 3);
        EXPECT_EQ(week1.Games[1].AwayTeam, 4);
        EXPECT_DOUBLE_EQ(week1.Games[1].Line, 7);
        EXPECT_DOUBLE_EQ(week1.Games[1].Total, 44.5);
        const WeekLines week3 = ReadWeekLines(path, lineFile, 3);
        EXPECT_EQ(week3.FirstRecord, 4);
        EXPECT_EQ(week3.NextFirstRecord, 5);   // the last week ends at the record count
        EXPECT_EQ(week3.Games.size(), 2u);
        EXPECT_TRUE(ReadWeekLines(path, lineFile, 9).Games.empty());
    }
    EXPECT_THROW(ReadWeekLines(folder / "missing.L24", true, 1), VbError);
}

TEST_F(LineFilesTest, RewritesOnlyTheLinesOfOneRecord)
{
    ASSERT_TRUE(CreateLineFile(folder / "2024.nfl", folder / "L.L24"));
    const std::string seasonBefore = ReadFile(folder / "2024.nfl");
    const std::string lineBefore = ReadFile(folder / "L.L24");

    ASSERT_TRUE(WriteRecordLines(folder / "2024.nfl", false, 2, ShownAt(folder / "2024.nfl", false, 2), 7.5, 43).Written());
    std::string season = ReadFile(folder / "2024.nfl");
    ASSERT_EQ(season.size(), seasonBefore.size());
    auto g = GameRecord::Decode(reinterpret_cast<const uint8_t*>(season.data()) + 159);
    EXPECT_EQ(g.Line, 75000);
    EXPECT_EQ(g.Total, 430000);
    // Every byte outside the two currency fields of record 2 is as it was.
    for (std::size_t i = 0; i < season.size(); ++i) {
        if (i < 159 + 14 || i >= 159 + 30) {
            ASSERT_EQ(season[i], seasonBefore[i]) << i;
        }
    }

    ASSERT_TRUE(WriteRecordLines(folder / "L.L24", true, 5, ShownAt(folder / "L.L24", true, 5), 0, 0).Written());
    const std::string lines = ReadFile(folder / "L.L24");
    EXPECT_EQ(lines.substr(0, 4 * 21 + 5), lineBefore.substr(0, 4 * 21 + 5));
    EXPECT_EQ(lines.substr(4 * 21 + 5), std::string(16, '\0'));

    // Outside the file nothing is written and no file is made.
    EXPECT_FALSE(WriteRecordLines(folder / "L.L24", true, 6, ShownAt(folder / "L.L24", true, 6), 1, 1).Written());
    EXPECT_FALSE(WriteRecordLines(folder / "L.L24", true, 0, ShownAt(folder / "L.L24", true, 0), 1, 1).Written());
    EXPECT_EQ(ReadFile(folder / "L.L24").size(), 105u);
    EXPECT_FALSE(WriteRecordLines(folder / "Gone.L24", true, 1, ShownAt(folder / "Gone.L24", true, 1), 1, 1).Written());
    EXPECT_FALSE(std::filesystem::exists(folder / "Gone.L24"));
}

TEST_F(LineFilesTest, RestoresSeasonLinesOfListedWeeksOnly)
{
    SeasonData& s = Season();
    s.Allocate(1);
    s.WeekItems = {WeekText(1, 2024), WeekText(3, 2024)};
    std::fill(s.SeasonLines.begin(), s.SeasonLines.end(), 99.0f);
    RestoreSeasonLines(folder / "2024.nfl");
    EXPECT_FLOAT_EQ(s.Spread(0, 0), -3.5f);
    EXPECT_FLOAT_EQ(s.Total(0, 1), 44.5f);
    EXPECT_FLOAT_EQ(s.Spread(0, 2), 99.0f);   // week 2 is not listed
    EXPECT_FLOAT_EQ(s.Spread(1, 0), -10.0f);
    EXPECT_FLOAT_EQ(s.Total(1, 1), 47.0f);
    EXPECT_FLOAT_EQ(s.Spread(1, 2), 99.0f);
}

TEST(LineFileNames, RefusesNamesThatLeaveTheFolderOrCannotBeHeld)
{
    for (const char* good : {"MyLines", "Week 5 lines", "a-b_c", "x.y"})
        EXPECT_TRUE(IsPlainLineFileName(good)) << good;
    for (const char* bad : {"", "..", "a/b", "a\\b", "..x", "c:x", "a*b", "a?b", "a\"b", "a<b", "a|b", "tab\tname",
                            "trailing ", "trailing."})
        EXPECT_FALSE(IsPlainLineFileName(bad)) << bad;
}

TEST(LineValues, ParsesTypedNumbersAndRefusesTheRest)
{
    double v = 5;
    EXPECT_TRUE(ParseLineValue("", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(ParseLineValue("-3.5", v));
    EXPECT_EQ(v, -3.5);
    EXPECT_TRUE(ParseLineValue("7.5", v));
    EXPECT_EQ(v, 7.5);
    EXPECT_TRUE(ParseLineValue(".5", v));
    EXPECT_EQ(v, 0.5);
    v = 5;
    for (const char* bad : {"-", ".", "7-3", "1.2.3", "abc", "1e5", "5000"}) {
        EXPECT_FALSE(ParseLineValue(bad, v)) << bad;
        EXPECT_EQ(v, 5);
    }
}


// Files the Enter Lines window writes, compared byte for byte with golden/<case>/: a line file
// made from a season, and one game's spread and total rewritten in a line file and in a
// season file.
struct LineFileCase {
    const char* name;
    const char* input;      // golden input.<ext>, copied into the program folder under this name
    const char* written;    // compared with golden expected.<ext>
    std::function<bool(const std::filesystem::path& folder)> write;
};

class LineFilesGolden : public LineFilesTest, public ::testing::WithParamInterface<LineFileCase> {};

TEST_P(LineFilesGolden, WrittenFileMatchesExpected)
{
    const std::filesystem::path dir = GoldenFolder("entry") / GetParam().name;
    const std::filesystem::path input = GetParam().input;
    const std::filesystem::path written = GetParam().written;
    std::filesystem::copy_file(dir / ("input" + input.extension().string()), folder.Path() / input,
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_TRUE(GetParam().write(folder.Path()));
    EXPECT_TRUE(FileMatchesGolden(folder.Path() / written, dir / ("expected" + written.extension().string())));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineFilesGolden,
    ::testing::Values(
        LineFileCase{"create-line-file", "2024.nfl", "Mine.L24",
                     [](const std::filesystem::path& f) { return CreateLineFile(f / "2024.nfl", f / "Mine.L24"); }},
        LineFileCase{"write-line-file", "Mine.L24", "Mine.L24",
                     [](const std::filesystem::path& f) { return WriteRecordLines(f / "Mine.L24", true, 2, ShownAt(f / "Mine.L24", true, 2), -2.5, 51.5).Written(); }},
        LineFileCase{"write-season-lines", "2024.nfl", "2024.nfl",
                     [](const std::filesystem::path& f) { return WriteRecordLines(f / "2024.nfl", false, 5, ShownAt(f / "2024.nfl", false, 5), 3.5, 40.5).Written(); }}),
    [](const ::testing::TestParamInfo<LineFileCase>& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

} // namespace
} // namespace vexal::test
