// Season files as the program writes them, compared byte for byte with the expected files
// in golden/<case>/: the record writer, a game inserted, a blank record opened and a record
// dropped in a small season, and a week's stat file imported into it.
#include "LoaderFixtures.h"
#include "Golden.h"

#include "GameInsertion.h"
#include "StatImport.h"

#include <filesystem>
#include <functional>
#include <string>

namespace vexal::test {
namespace {

const std::filesystem::path Golden = GoldenFolder("season");

// A game with a different value in every field, so that a field written at the wrong offset,
// with the wrong width or the wrong byte order shows in the file.
GameRecord EveryFieldGame()
{
    GameRecord g;
    g.Year = 2024;
    g.Week = 3;
    g.GameDate = vb::DateSerial(2024, 9, 22);
    g.Surface = 2;
    g.HomeTeam = 17;
    g.AwayTeam = 30;
    g.SetLine(-6.5);
    g.SetTotal(47.5);
    g.HomeScore = 27;
    g.AwayScore = 24;
    g.HomeStats = {142, 301, 31, 38, 25, 3, 1, 2, 1, 4, 27, 23, 6, 45, 33, 12, 96};
    g.AwayStats = {88, 265, 19, 41, 28, 3, 2, 1, 0, 2, 13, 19, 9, 70, 26, 48, 131};
    g.Injuries = -2;
    g.Psychological = 1;
    g.Situational = -1;
    g.Weather = 3;
    g.SetComment("Late field goal, Müller hurt");
    return g;
}

struct SeasonCase {
    const char* name;
    std::function<bool(const std::filesystem::path&)> write;
};

class SeasonGoldenTest : public LoaderFixture, public ::testing::WithParamInterface<SeasonCase> {};

TEST_P(SeasonGoldenTest, WrittenFileMatchesExpected)
{
    const std::filesystem::path dir = Golden / GetParam().name;
    const std::filesystem::path season = folder / "2024.nfl";
    if (std::filesystem::exists(dir / "input.nfl"))
        std::filesystem::copy_file(dir / "input.nfl", season);
    ASSERT_TRUE(GetParam().write(season));
    EXPECT_TRUE(FileMatchesGolden(season, dir / "expected.nfl"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SeasonGoldenTest,
    ::testing::Values(
        SeasonCase{"record-writer",
                   [](const std::filesystem::path& p) { return WriteSeasonFile(p, {EveryFieldGame()}); }},
        SeasonCase{"insert-game",
                   [](const std::filesystem::path& p) { return InsertGameRecord(p, 2, EveryFieldGame()); }},
        SeasonCase{"insert-first",
                   [](const std::filesystem::path& p) { return InsertGameRecord(p, 0, EveryFieldGame()); }},
        SeasonCase{"insert-blank", [](const std::filesystem::path& p) { return ReplaceFile(p, 3, true); }},
        SeasonCase{"drop-record", [](const std::filesystem::path& p) { return ReplaceFile(p, 4, false); }}),
    [](const ::testing::TestParamInfo<SeasonCase>& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

// A week's stat file imported into the loaded season: three scheduled games get their
// results and box scores, and one game marked 1 is added right after the last game updated.
class StatImportGolden : public LoaderFixture {};

TEST_F(StatImportGolden, ImportedSeasonMatchesExpected)
{
    const std::filesystem::path dir = Golden / "stat-import";
    std::filesystem::copy_file(dir / "input.nfl", folder / "2024.nfl");
    std::filesystem::copy_file(dir / "week1.24", folder / "week1.24");
    WriteYearsToLoad("1");
    ASSERT_TRUE(SelectSeason(2024));
    const ImportResult result = Import((folder / "week1.24").string());
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(ImportCounts(result), "4 games imported, 0 failed");
    EXPECT_TRUE(FileMatchesGolden(folder / "2024.nfl", dir / "expected.nfl"));
}

} // namespace
} // namespace vexal::test
