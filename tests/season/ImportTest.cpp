// Stat files and the stat import: reading records, the messages and questions with scripted
// answers, updates, insertions and removals in the season file and the loaded arrays.
#include "LoaderFixtures.h"

#include "FileChecks.h"
#include "GameWrite.h"
#include "GameInsertion.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "StatFile.h"
#include "StatFileText.h"
#include "StatImport.h"
#include "Teams.h"
#include "VbError.h"
#include "WeekRange.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexal::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// A box score that differs for every game and team.
TeamStats Box(int seed)
{
    TeamStats s;
    s.RushYds = static_cast<int16_t>(100 + seed);
    s.PassYds = static_cast<int16_t>(200 + seed);
    s.RushAtt = static_cast<uint8_t>(20 + seed);
    s.PassAtt = static_cast<uint8_t>(30 + seed);
    s.PassComp = static_cast<uint8_t>(18 + seed);
    s.TDs = static_cast<uint8_t>(1 + seed % 3);
    s.Int = static_cast<uint8_t>(seed % 2);
    s.Fum = static_cast<uint8_t>(2);
    s.FumLost = static_cast<uint8_t>(1);
    s.Sacks = static_cast<uint8_t>(3);
    s.SackYds = static_cast<int16_t>(-21 - seed);
    s.FirstDowns = static_cast<uint8_t>(15 + seed);
    s.Pen = static_cast<uint8_t>(6);
    s.PenYds = static_cast<int16_t>(45 + seed);
    s.TOPMin = static_cast<uint8_t>(29 + seed % 4);
    s.TOPSec = static_cast<uint8_t>(seed * 7 % 60);
    s.RetYds = static_cast<int16_t>(80 + seed);
    return s;
}

// The finished game of a scheduled one, as a stat file reports it.
GameRecord Finished(const GameRecord& scheduled, int homeScore, int awayScore, int seed)
{
    GameRecord g = scheduled;
    g.HomeScore = static_cast<uint8_t>(homeScore);
    g.AwayScore = static_cast<uint8_t>(awayScore);
    g.HomeStats = Box(seed);
    g.AwayStats = Box(seed + 50);
    g.GameDate = scheduled.GameDate + 1;
    g.Surface = 2;
    g.SetLine(-6.5);
    g.SetTotal(48);
    g.Injuries = g.Psychological = g.Situational = g.Weather = 0;
    g.Comment = {};
    return g;
}

// What the import makes of a scheduled record and the game's stat record.
GameRecord Updated(GameRecord scheduled, const GameRecord& stat)
{
    scheduled.Year = stat.Year;
    scheduled.Week = stat.Week;
    scheduled.GameDate = stat.GameDate;
    scheduled.Surface = stat.Surface;
    scheduled.HomeScore = stat.HomeScore;
    scheduled.AwayScore = stat.AwayScore;
    scheduled.HomeStats = stat.HomeStats;
    scheduled.AwayStats = stat.AwayStats;
    return scheduled;
}

// ---- reading ----

TEST(StatFileReader, RecordSpanningTwoLinesReadsTheSame)
{
    GameRecord g = Finished(Game(2024, 3, 1, 2), 24, 17, 1);
    auto f = StatFieldsOf(g, 0);
    StatFileReader oneLine(Join(f, 0, 45) + "\r\n");
    StatFileReader twoLines(Join(f, 0, 20) + "\r\n" + Join(f, 20, 45) + "\n");
    StatFileReader trailingComma(Join(f, 0, 20) + ",\r\n" + Join(f, 20, 45));
    for (auto* reader : {&oneLine, &twoLines, &trailingComma}) {
        ASSERT_FALSE(reader->AtEnd());
        StatFields fields;
        int count = 0;
        ASSERT_TRUE(reader->ReadFields(fields, count));
        EXPECT_EQ(count, 45);
        EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.end()), f);
        EXPECT_TRUE(reader->AtEnd());
    }
}

TEST(StatFileReader, BlanksQuotesAndBlankLines)
{
    StatFileReader reader("\r\n  \"9/8/2024\" , 12 ,\"a,b\",,7\r\n\r\n");
    StatFields fields;
    int count = 0;
    EXPECT_FALSE(reader.ReadFields(fields, count));
    EXPECT_EQ(count, 5);
    EXPECT_THAT(std::vector<std::string>(fields.begin(), fields.begin() + 5), ElementsAre("9/8/2024", "12", "a,b", "", "7"));
    EXPECT_TRUE(reader.AtEnd());
    StatFileReader empty("");
    EXPECT_TRUE(empty.AtEnd());
}

TEST(StatFileParse, FieldsLandInTheirRecordFields)
{
    GameRecord g = Finished(Game(2024, 3, 7, 12), 31, 45, 4);
    auto text = StatFieldsOf(g, -1);
    StatFields fields;
    std::copy(text.begin(), text.end(), fields.begin());
    StatRecord r = ParseStatRecord(fields, 1);
    EXPECT_EQ(r.Action, -1);
    EXPECT_EQ(r.Game, g);
}

TEST(StatFileParse, OutOfRangeFieldsNameTheRecordAndField)
{
    GameRecord g = Finished(Game(2024, 3, 7, 12), 31, 45, 4);
    auto check = [&](int field, const std::string& value, const std::string& expected) {
        auto text = StatFieldsOf(g, 0);
        text[static_cast<std::size_t>(field - 1)] = value;
        StatFields fields;
        std::copy(text.begin(), text.end(), fields.begin());
        try {
            ParseStatRecord(fields, 7);
            ADD_FAILURE() << "field " << field << " = " << value << " accepted";
        } catch (const VbError& e) {
            EXPECT_THAT(e.Description(), HasSubstr("Stat record 7, field " + std::to_string(field))) << value;
            EXPECT_THAT(e.Description(), HasSubstr(expected)) << value;
        }
    };
    check(12, "256", "outside 0 to 255");
    check(11, "40000", "outside -32768 to 32767");
    check(3, "31/31/2024", "not a date");
    check(5, "0", "1 to 32");
    check(6, "33", "1 to 32");
    check(1, "1983", "no season");
    check(2, "0", "from 1");
    check(9, "ten", "not a number");
}

// ---- the import ----

class ImportTest : public LoaderFixture {
protected:
    void SetUp() override
    {
        LoaderFixture::SetUp();
        // The schedule of 2024: week 1 and 2 of three games each, not played yet.
        schedule = SeasonOfWeeks(2024, {3, 3}, false);
        for (std::size_t i = 0; i < schedule.size(); ++i) {
            schedule[i].Injuries = static_cast<int16_t>(i);
            schedule[i].Weather = -2;
            schedule[i].SetComment("note " + std::to_string(i + 1));
        }
        WriteSeason(2024, schedule);
        WriteYearsToLoad("1");
        ASSERT_TRUE(SelectSeason(2024));
        ASSERT_EQ(WeekSelectorText(), "Wk 1 of 2024");
        messages->shown.clear();
        host->refreshes.clear();
    }
    std::string Stat(const std::string& name, const std::string& text) const
    {
        folder.Write(name, text);
        return (folder / name).string();
    }
    std::string RecordBytes(int year, int recordNumber) const
    {
        return folder.Read(SeasonFileName(year)).substr(static_cast<std::size_t>(recordNumber - 1) * GameRecord::Size,
                                                        GameRecord::Size);
    }
    static std::string Bytes(const GameRecord& g)
    {
        auto b = g.Encode();
        return std::string(reinterpret_cast<const char*>(b.data()), b.size());
    }
    void ExpectCompleted(int week, const std::string& counts = " imported, 0 failed.") const
    {
        ASSERT_FALSE(messages->shown.empty());
        const auto& last = messages->shown.back();
        EXPECT_THAT(last.text, StartsWith("Import of Week " + std::to_string(week) + " Completed\n"));
        EXPECT_THAT(last.text, EndsWith(counts));
        EXPECT_EQ(last.title, "Import Complete!");
        EXPECT_EQ(last.buttons, vbExclamation);
        EXPECT_THAT(host->refreshes, ElementsAre(true));
    }
    // After records that failed: never "Completed", and how many went in and how many failed.
    void ExpectEndedWithErrors(int week, const std::string& counts) const
    {
        ASSERT_FALSE(messages->shown.empty());
        const auto& last = messages->shown.back();
        EXPECT_EQ(last.text, "Import of Week " + std::to_string(week) + " ended with errors\n" + counts + ".");
        EXPECT_EQ(last.title, "Import incomplete");
        EXPECT_EQ(last.buttons, vbCritical);
        EXPECT_THAT(host->refreshes, ElementsAre(true));
    }
    void ExpectStopped() const
    {
        for (const auto& m : messages->shown)
            EXPECT_NE(m.title, "Import Complete!");
        EXPECT_TRUE(host->refreshes.empty());
    }
    std::string Name(int code) const { return TeamName(code, 2024, NameStyleCity); }
    // The line file "Mine" of the schedule, each game's line its own (-1.5, -2.5, ...).
    std::vector<LineRecord> WriteLines() const
    {
        std::vector<LineRecord> lines;
        for (const GameRecord& g : schedule) {
            lines.push_back(LineRecord::FromGame(g));
            lines.back().SetLine(-0.5 - static_cast<double>(lines.size()));
        }
        WriteLineFile("Mine", 2024, lines);
        return lines;
    }

    std::vector<GameRecord> schedule;
};

TEST_F(ImportTest, CheckMessagesBeforeReading)
{
    const std::string before = folder.Read("2024.nfl");
    Import("");
    const std::string missing = (folder / "week1.24").string();
    Import(missing);
    Import(Stat("week1.txt", StatLine(Finished(schedule[0], 20, 10, 1))));
    Import(Stat("week1.245", StatLine(Finished(schedule[0], 20, 10, 1))));
    ASSERT_EQ(messages->shown.size(), 4u);
    EXPECT_EQ(messages->shown[0].text, "No File Selected!");
    EXPECT_EQ(messages->shown[0].title, "Vexal");
    EXPECT_EQ(messages->shown[0].buttons, vbOKOnly);
    EXPECT_EQ(messages->shown[1].text,
              "File " + missing + " not found. Please make sure this file exists and then try again.");
    EXPECT_EQ(messages->shown[1].title, "File not found");
    EXPECT_EQ(messages->shown[1].buttons, vbCritical);
    for (int i : {2, 3}) {
        EXPECT_EQ(messages->shown[static_cast<std::size_t>(i)].text, "This is not a valid data file");
        EXPECT_EQ(messages->shown[static_cast<std::size_t>(i)].title, "Invalid Format");
        EXPECT_EQ(messages->shown[static_cast<std::size_t>(i)].buttons, vbExclamation);
    }
    EXPECT_EQ(folder.Read("2024.nfl"), before);
    EXPECT_TRUE(host->refreshes.empty());
}

TEST_F(ImportTest, WeekOfResultsFillsTheScheduledRecords)
{
    std::vector<GameRecord> stats;
    std::string text;
    for (int i = 0; i < 3; ++i) {
        stats.push_back(Finished(schedule[static_cast<std::size_t>(i)], 20 + i, 13, i));
        text += StatLine(stats.back());
    }
    Import(Stat("week1.24", text));

    ExpectCompleted(1);
    EXPECT_EQ(messages->shown.size(), 1u);
    const auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        // The season record keeps its own lines, teams, factors and comment.
        const GameRecord expected = Updated(schedule[static_cast<std::size_t>(i)], stats[static_cast<std::size_t>(i)]);
        EXPECT_EQ(records[static_cast<std::size_t>(i)], expected) << i;
        EXPECT_EQ(RecordBytes(2024, i + 1), Bytes(expected)) << i;
        const auto fields = expected.GameFields();
        for (int f = 0; f < FieldsPerGame; ++f)
            EXPECT_EQ(Season().Game(0, i, f), fields[static_cast<std::size_t>(f)]) << i << "/" << f;
        EXPECT_EQ(Season().Spread(0, i), -3.5f);
        EXPECT_EQ(Season().Total(0, i), 44.0f);
    }
    for (int i = 4; i <= 6; ++i)
        EXPECT_EQ(RecordBytes(2024, i), Bytes(schedule[static_cast<std::size_t>(i - 1)]));
    EXPECT_FALSE(std::filesystem::exists(folder / "2024.nfl.old"));

    // Memory holds what the file does: a load of it gives the same arrays, every field of
    // every game slot (a field the import left out would keep the schedule's value).
    const std::vector<int16_t> imported = Season().SeasonGames;
    const std::vector<float> importedLines = Season().SeasonLines;
    ASSERT_TRUE(SelectSeason(2024));
    EXPECT_EQ(imported, Season().SeasonGames);
    EXPECT_EQ(importedLines, Season().SeasonLines);
}

// A disk that takes the records and then fails to put them on the disk: the import names the
// file once, at the end, and counts the games written to it as failed.
TEST_F(ImportTest, AFailedWaitForTheDiskIsReported)
{
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += StatLine(Finished(schedule[static_cast<std::size_t>(i)], 20 + i, 13, i));
    const std::string stats = Stat("week1.24", text);
    ImportResult result;
    {
        WriteFault fault(WriteFault::AtSync, folder / "2024.nfl");
        result = Import(stats);
    }
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.imported, 0);
    EXPECT_EQ(result.failed, 3);
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text, (folder / "2024.nfl").string() + " could not be written to the disk: " +
                                           ReasonOfError(EIO) + ".");
    EXPECT_EQ(messages->shown[0].title, "Error");
    EXPECT_EQ(messages->shown[0].buttons, vbCritical);
    ExpectEndedWithErrors(1, "0 games imported, 3 failed");

    // A stop after a question still waits for the disk once for what was written.
    messages->shown.clear();
    host->refreshes.clear();
    messages->answers = {vbNo};
    {
        WriteFault fault(WriteFault::AtSync, folder / "2024.nfl");
        result = Import(Stat("again.24", StatLine(Finished(schedule[3], 20, 13, 3)) + text));
    }
    EXPECT_FALSE(result.finished);
    EXPECT_EQ(result.failed, 1);
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].title, "Data present");
    EXPECT_THAT(messages->shown[1].text, HasSubstr("could not be written to the disk"));
    ExpectStopped();
}

// A disk that fails only the wait for a rewrite's own file (the rewrite put it on the disk
// itself, and nothing was written into it since): the file is named, and the games the import
// wrote under its path count as failed, so the closing message agrees with the failure.
class FaultAtFirstQuestion : public ScriptedMessages {
public:
    explicit FaultAtFirstQuestion(std::filesystem::path file) : file_(std::move(file)) {}
    int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) override
    {
        if (!fault && (buttons & vbYesNo) == vbYesNo)
            fault.emplace(WriteFault::AtSync, file_);
        return ScriptedMessages::MsgBox(text, buttons, title);
    }
    std::optional<WriteFault> fault;

private:
    std::filesystem::path file_;
};

TEST_F(ImportTest, AFailedWaitForARewritesOwnFileCountsItsGamesAsFailed)
{
    const std::vector<GameRecord> older = SeasonOfWeeks(2022, {2}, true);
    WriteSeason(2022, older);
    // An update and an insertion in 2024, then a played game of 2022 whose question arms the
    // fault: by then the 2024 file is the insertion's, already on the disk.
    const std::string text = StatLine(Finished(schedule[0], 20, 10, 0)) +
                             StatLine(Finished(Game(2024, 1, 30, 31), 28, 0, 5), 1) +
                             StatLine(Finished(older[0], 24, 3, 1));
    const std::string stats = Stat("week1.24", text);
    auto owned = std::make_unique<FaultAtFirstQuestion>(folder / "2024.nfl");
    FaultAtFirstQuestion& faulty = *owned;
    InstallMessages(std::move(owned));
    messages = &faulty;
    const ImportResult result = Import(stats);
    const bool armed = faulty.fault.has_value();
    faulty.fault.reset();
    ASSERT_TRUE(armed);
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(result.failed, 1);
    ASSERT_EQ(messages->shown.size(), 3u);
    EXPECT_EQ(messages->shown[0].title, "Data present");
    EXPECT_EQ(messages->shown[1].text, (folder / "2024.nfl").string() + " could not be written to the disk: " +
                                           ReasonOfError(EIO) + ".");
    ExpectEndedWithErrors(1, "2 games imported, 1 failed");
    EXPECT_EQ(ReadSeason(2024).size(), 7u);
}

// What an import writes in place reaches the disk through one wait per season file, for the
// file that is at its path when the import ends: an insertion or removal puts a new file
// there, the records updated after it go into that file, and the file it replaced (whose
// records the rewrite carried over and put on the disk itself) is never the one waited for.
// Told apart by the files' identities, as a fault keyed by the path cannot.
struct SyncStep {
    char kind;  // 'u' update, 'i' insert, 'r' remove a game of 2024; 'o' update, 'n' insert one of 2022
    int game;   // the schedule's game, or for an insertion which new game
};
struct SyncCase {
    const char* name;
    std::vector<SyncStep> steps;
    std::vector<int> synced; // the seasons whose files are written in place, in that order
    bool rewritten;          // the 2024 file at the end is a rewrite's
};

void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

class ImportSyncTest : public ImportTest, public ::testing::WithParamInterface<SyncCase> {};

std::pair<std::uintmax_t, std::uintmax_t> IdentityOf(const std::filesystem::path& file)
{
    struct stat s {};
    EXPECT_EQ(::stat(file.c_str(), &s), 0) << file;
    return {static_cast<std::uintmax_t>(s.st_dev), static_cast<std::uintmax_t>(s.st_ino)};
}

TEST_P(ImportSyncTest, TheFileNowAtEachPathIsTheOneWaitedFor)
{
    const SyncCase& c = GetParam();
    const std::vector<GameRecord> older = SeasonOfWeeks(2022, {2}, false);
    WriteSeason(2022, older);
    // A line file in use, each game's line its own; it follows every insertion and removal.
    const std::vector<LineRecord> lines = WriteLines();
    SaveSetting("Preference", "LineFile", "Mine");
    ASSERT_TRUE(SelectSeason(2024));
    messages->shown.clear();
    // Held open, so that no file the import makes can be given the first file's identity.
    const int first = ::open((folder / "2024.nfl").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(first, 0);
    const auto before = IdentityOf(folder / "2024.nfl");
    const GameRecord added[] = {Game(2024, 1, 30, 31), Game(2024, 1, 27, 29), Game(2022, 1, 30, 31)};
    std::string text;
    for (const SyncStep& step : c.steps) {
        const auto i = static_cast<std::size_t>(step.game);
        switch (step.kind) {
        case 'u': text += StatLine(Finished(schedule[i], 20, 10, step.game)); break;
        case 'i': text += StatLine(Finished(added[i], 28, 0, 5 + step.game), 1); break;
        case 'r': text += StatLine(Finished(schedule[i], 0, 0, 1), -1); break;
        case 'o': text += StatLine(Finished(older[i], 24, 3, step.game)); break;
        case 'n': text += StatLine(Finished(added[2], 17, 14, 9), 1); break;
        }
    }
    ImportResult result;
    std::vector<BatchSyncLog::Synced> synced;
    {
        BatchSyncLog log;
        result = Import(Stat("week1.24", text));
        synced = log.Files();
    }
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.failed, 0);
    EXPECT_EQ(result.imported, static_cast<int>(c.steps.size()));
    ASSERT_EQ(messages->shown.size(), 1u) << messages->shown[0].text;
    EXPECT_EQ(messages->shown[0].title, "Import Complete!");

    ASSERT_EQ(synced.size(), c.synced.size());
    for (std::size_t i = 0; i < synced.size(); ++i) {
        const std::filesystem::path file = folder / SeasonFileName(c.synced[i]);
        EXPECT_EQ(synced[i].file, file) << i;
        EXPECT_EQ(std::make_pair(synced[i].device, synced[i].inode), IdentityOf(file))
            << file << " was waited for as a file no longer at its path";
    }
    EXPECT_EQ(IdentityOf(folder / "2024.nfl") != before, c.rewritten);
    ::close(first);

    // Record for record the season file's games, each with its own line (an inserted one with
    // none), in the running program and after a new start.
    const std::vector<GameRecord> games = ReadSeason(2024);
    const std::string bytes = folder.Read("Mine.L24");
    ASSERT_EQ(bytes.size(), games.size() * LineRecord::Size);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t r = 0, game = 0; r < games.size(); ++r, ++game) {
            const LineRecord line = LineRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.data()) + r * LineRecord::Size);
            double own = 0;
            for (std::size_t i = 0; i < schedule.size(); ++i)
                own = GameKey::Of(schedule[i]) == GameKey::Of(games[r]) ? lines[i].LineValue() : own;
            EXPECT_TRUE(line.IsLineOf(games[r]) && line.LineValue() == own) << "line record " << r + 1;
            game = r > 0 && games[r].Week != games[r - 1].Week ? 0 : game;
            EXPECT_EQ(Season().Spread(LoadedWeekSlot(2024, games[r].Week), static_cast<int>(game)), static_cast<float>(own))
                << "game " << r + 1 << (pass ? " after a new start" : "");
        }
        ASSERT_TRUE(SelectSeason(2024));
    }
    EXPECT_EQ(messages->shown.size(), 1u) << messages->shown.back().text;
}

INSTANTIATE_TEST_SUITE_P(
    EveryOrder, ImportSyncTest,
    ::testing::Values(
        SyncCase{"UpdatesOnly", {{'u', 0}, {'u', 1}, {'u', 2}}, {2024}, false},
        SyncCase{"UpdateInsertUpdate", {{'u', 0}, {'i', 0}, {'u', 1}}, {2024}, true},
        SyncCase{"UpdateRemoveUpdate", {{'u', 0}, {'r', 4}, {'u', 1}}, {2024}, true},
        SyncCase{"UpdateThenInsert", {{'u', 0}, {'i', 0}}, {2024}, true},
        SyncCase{"InsertThenUpdates", {{'i', 0}, {'u', 0}, {'u', 1}}, {2024}, true},
        SyncCase{"RewritesBetweenUpdatesOfTwoSeasons",
                 {{'u', 0}, {'o', 0}, {'i', 0}, {'n', 0}, {'u', 1}, {'i', 1}, {'o', 1}, {'u', 2}},
                 {2024, 2022},
                 true},
        SyncCase{"InsertionsOnly", {{'i', 0}, {'i', 1}}, {}, true}),
    [](const ::testing::TestParamInfo<SyncCase>& info) { return std::string(info.param.name); });

// An insertion whose rewrite fails is named once, by the file the write failed on and the
// cause it met (never a full disk it did not meet), and the season file stays as it was.
TEST_F(ImportTest, AFailedRewriteIsNamedOnceByItsFileAndCause)
{
    const std::string before = folder.Read("2024.nfl");
    const std::string season = (folder / "2024.nfl").string();
    const std::string insertion = StatLine(Finished(Game(2024, 1, 30, 31), 28, 0, 5), 1);
    {
        WriteFault fault(GameRecord::Size, folder / "2024.nfl");
        messages->answers = {vbYes};
        Import(Stat("add.24", insertion));
    }
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text,
              season + " could not be written: " + ReasonOfError(ENOSPC) + ".\nShould I continue?");
    ExpectEndedWithErrors(1, "0 games imported, 1 failed");

    messages->shown.clear();
    host->refreshes.clear();
    folder.Write("2024.nfl.old/x", "x");
    messages->answers = {vbYes};
    Import(Stat("add.24", insertion));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text, (folder / "2024.nfl.old").string() +
                                           " could not be written: " + ReasonOfError(EISDIR) + ".\nShould I continue?");
    ExpectEndedWithErrors(1, "0 games imported, 1 failed");
    EXPECT_EQ(folder.Read("2024.nfl"), before);
    EXPECT_EQ(folder.Read("2024.nfl.old/x"), "x");

    // A line file of the season that cannot take the insertion: named, and neither file changes,
    // so that they still pair.
    std::filesystem::remove_all(folder / "2024.nfl.old");
    WriteLines();
    const std::string lineBytes = folder.Read("Mine.L24");
    messages->shown.clear();
    host->refreshes.clear();
    messages->answers = {vbYes};
    WriteFault(0, folder / "Mine.L24"), Import(Stat("add.24", insertion));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text, season + ": " + (folder / "Mine.L24").string() + " could not be written: " +
                                           ReasonOfError(ENOSPC) + ".\nShould I continue?");
    ExpectEndedWithErrors(1, "0 games imported, 1 failed");
    EXPECT_EQ(folder.Read("2024.nfl"), before);
    EXPECT_EQ(folder.Read("Mine.L24"), lineBytes);
}

TEST_F(ImportTest, RecordSpanningTwoLinesImportsTheSame)
{
    const GameRecord stat = Finished(schedule[1], 27, 24, 9);
    auto f = StatFieldsOf(stat, 0);
    Import(Stat("split.24", Join(f, 0, 27) + "\r\n" + Join(f, 27, 45) + "\r\n"));
    ExpectCompleted(1);
    EXPECT_EQ(RecordBytes(2024, 2), Bytes(Updated(schedule[1], stat)));
}

TEST_F(ImportTest, RecordWithoutLinesTakesTheStatFilesLines)
{
    schedule[0].Total = 0;
    schedule[0].Line = 0;
    schedule[1].Total = 0; // a spread but no total: both lines taken... the spread only when it is 0
    schedule[2].Line = 0;  // a total: both kept
    WriteSeason(2024, schedule);
    std::string text;
    for (int i = 0; i < 3; ++i)
        text += StatLine(Finished(schedule[static_cast<std::size_t>(i)], 0, 0, i)); // no results yet
    Import(Stat("lines.24", text));
    ExpectCompleted(1);
    const auto records = ReadSeason(2024);
    EXPECT_EQ(records[0].LineValue(), -6.5);
    EXPECT_EQ(records[0].TotalValue(), 48.0);
    EXPECT_EQ(records[1].LineValue(), -3.5);
    EXPECT_EQ(records[1].TotalValue(), 48.0);
    EXPECT_EQ(records[2].LineValue(), 0.0);
    EXPECT_EQ(records[2].TotalValue(), 44.0);
    EXPECT_EQ(Season().Spread(0, 0), -6.5f);
    EXPECT_EQ(Season().Total(0, 1), 48.0f);
    // No result: scores and box scores stay.
    EXPECT_EQ(records[0].HomeScore, 0);
    EXPECT_EQ(records[0].HomeStats, TeamStats{});
    EXPECT_EQ(Season().Game(0, 0, gfHomeScore), -1);
}

TEST_F(ImportTest, DataPresentIsAskedOnceAndYesImports)
{
    schedule[0].HomeScore = 3;
    schedule[1].AwayScore = 7;
    WriteSeason(2024, schedule);
    const GameRecord first = Finished(schedule[0], 30, 3, 1);
    const GameRecord second = Finished(schedule[1], 14, 7, 2);
    messages->answers = {vbYes};
    Import(Stat("again.24", StatLine(first) + StatLine(second)));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text, "This data appears to be present,\nShould I import anyway?");
    EXPECT_EQ(messages->shown[0].title, "Data present");
    EXPECT_EQ(messages->shown[0].buttons, vbYesNo + vbQuestion);
    ExpectCompleted(1);
    EXPECT_EQ(ReadSeason(2024)[1].HomeScore, 14);
}

// Each record sees what the records before it wrote: a game listed twice finds its first
// result present, and the second result is the one kept.
TEST_F(ImportTest, AGameListedTwiceFindsItsFirstResult)
{
    const GameRecord first = Finished(schedule[1], 30, 3, 1);
    const GameRecord again = Finished(schedule[1], 31, 3, 2);
    messages->answers = {vbYes};
    Import(Stat("twice.24", StatLine(first) + StatLine(Finished(schedule[0], 10, 7, 3)) + StatLine(again)));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].title, "Data present");
    ExpectCompleted(1);
    EXPECT_EQ(RecordBytes(2024, 2), Bytes(Updated(schedule[1], again)));
    EXPECT_EQ(Season().Game(0, 1, gfHomeScore), 31);
}

TEST_F(ImportTest, DataPresentNoStopsAtOnce)
{
    schedule[1].HomeScore = 3;
    WriteSeason(2024, schedule);
    const std::string before = folder.Read("2024.nfl");
    messages->answers = {vbNo};
    const GameRecord first = Finished(schedule[0], 30, 3, 1);
    Import(Stat("again.24", StatLine(first) + StatLine(Finished(schedule[1], 14, 7, 2)) +
                                StatLine(Finished(schedule[2], 9, 6, 3))));
    ExpectStopped();
    // The first game was written before the question; nothing after it.
    EXPECT_EQ(RecordBytes(2024, 1), Bytes(Updated(schedule[0], first)));
    EXPECT_EQ(RecordBytes(2024, 2), before.substr(GameRecord::Size, GameRecord::Size));
    EXPECT_EQ(RecordBytes(2024, 3), before.substr(2 * GameRecord::Size, GameRecord::Size));
}

TEST_F(ImportTest, AwayMismatchQuestionAndOverwrite)
{
    // The stat file has team 9 as the away team of the first game (the schedule has 2).
    GameRecord stat = Finished(schedule[0], 21, 20, 1);
    stat.AwayTeam = 9;
    GameRecord later = Finished(schedule[1], 10, 3, 2);
    messages->answers = {vbYes};
    Import(Stat("teams.24", StatLine(stat) + StatLine(later)));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].title, " Team Name Mismatch - Wk 1 of 2024");
    EXPECT_EQ(messages->shown[0].text, "Away team names do not match!\nThe import file has " + Name(9) +
                                           " for game 1\nand the stats file has " + Name(2) + "\nShould I overwrite?");
    EXPECT_EQ(messages->shown[0].buttons, vbYesNo + vbQuestion);
    ExpectCompleted(1);
    const auto records = ReadSeason(2024);
    EXPECT_EQ(records[0].AwayTeam, 9);
    EXPECT_EQ(Season().Game(0, 0, gfAwayTeam), 9);
    // Later games take the stat file's codes too (the same here).
    EXPECT_EQ(records[1].AwayTeam, 4);
}

TEST_F(ImportTest, HomeSwapAndScheduleQuestions)
{
    GameRecord home = Finished(schedule[0], 21, 20, 1);
    home.HomeTeam = 11; // same away team 2
    GameRecord swapped = Finished(schedule[1], 10, 3, 2);
    std::swap(swapped.HomeTeam, swapped.AwayTeam); // 4 at 3
    GameRecord crossed = Finished(schedule[2], 10, 3, 3);
    crossed.HomeTeam = 6; // 6 was the away team of game 3
    crossed.AwayTeam = 12;
    messages->answers = {vbNo, vbNo, vbNo};
    const std::string before = folder.Read("2024.nfl");
    Import(Stat("teams.24", StatLine(home) + StatLine(swapped) + StatLine(crossed)));
    ASSERT_EQ(messages->shown.size(), 4u);
    EXPECT_EQ(messages->shown[0].title, "Team Name Mismatch - Wk 1 of 2024");
    EXPECT_EQ(messages->shown[0].text, "Home team names do not match!\nThe import file has " + Name(11) +
                                           " home for game 1\nand the stats file has the " + Name(1) +
                                           "\nShould I overwrite?");
    EXPECT_EQ(messages->shown[1].title, "Team Name Mismatch - Wk 1 of 2024");
    EXPECT_EQ(messages->shown[1].text, "Home and Away appear to be swapped!\nThe import file has " + Name(4) +
                                           " at home for game 2\nand the stats file has " + Name(3) +
                                           "\nShould I overwrite?");
    EXPECT_EQ(messages->shown[2].text, "There is a discrepancy in the schedule.\nThe import file has " + Name(12) +
                                           "@" + Name(6) + " for game 3\nand the stats file has " + Name(6) + "@" +
                                           Name(5) + "\nShould I overwrite?");
    // No to each: nothing changed, the import still completes, and says so.
    ExpectCompleted(1, "\n0 games imported, 0 failed, 3 not found in 2024.nfl.");
    EXPECT_EQ(folder.Read("2024.nfl"), before);
}

TEST_F(ImportTest, PlayoffPlaceholderTakesTheTeamsAfterOneYes)
{
    schedule[3].HomeTeam = schedule[3].AwayTeam = 0;
    schedule[4].HomeTeam = schedule[4].AwayTeam = 0;
    WriteSeason(2024, schedule);
    const std::vector<LineRecord> lines = WriteLines();
    GameRecord first = Finished(schedule[3], 24, 21, 1);
    first.HomeTeam = 20;
    first.AwayTeam = 21;
    GameRecord second = Finished(schedule[4], 17, 16, 2);
    second.HomeTeam = 22;
    second.AwayTeam = 23;
    messages->answers = {vbYes};
    Import(Stat("playoffs.24", StatLine(first) + StatLine(second)));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text, "Update Team names for Playoffs?");
    EXPECT_EQ(messages->shown[0].title, "Vexal");
    EXPECT_EQ(messages->shown[0].buttons, vbYesNo + vbQuestion);
    ExpectCompleted(2);
    const auto records = ReadSeason(2024);
    EXPECT_EQ(records[3].HomeTeam, 20);
    EXPECT_EQ(records[3].AwayTeam, 21);
    EXPECT_EQ(records[4].HomeTeam, 22);
    EXPECT_EQ(records[4].HomeScore, 17);
    EXPECT_EQ(Season().Game(1, 1, gfHomeTeam), 22);
    EXPECT_EQ(Season().Game(1, 1, gfHomeScore), 17);
    // The line file's records of the two games take their teams: still those games' lines.
    const std::string bytes = folder.Read("Mine.L24");
    ASSERT_EQ(bytes.size(), records.size() * LineRecord::Size);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const LineRecord line = LineRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.data()) + r * LineRecord::Size);
        EXPECT_TRUE(line.IsLineOf(records[r]) && line.LineValue() == lines[r].LineValue()) << "line record " << r + 1;
    }
}

TEST_F(ImportTest, PlayoffQuestionNoStops)
{
    schedule[3].HomeTeam = schedule[3].AwayTeam = 0;
    WriteSeason(2024, schedule);
    const std::string before = folder.Read("2024.nfl");
    messages->answers = {vbNo};
    Import(Stat("playoffs.24", StatLine(Finished(schedule[3], 24, 21, 1))));
    ExpectStopped();
    EXPECT_EQ(folder.Read("2024.nfl"), before);
}

TEST_F(ImportTest, PlaceholderBeforeTheGamesOwnRecordIsTheOneUpdated)
{
    schedule[3].HomeTeam = schedule[3].AwayTeam = 0; // week 2: placeholder, then 3 at 4
    WriteSeason(2024, schedule);
    messages->answers = {vbYes};
    const GameRecord stat = Finished(schedule[4], 17, 16, 2);
    Import(Stat("playoffs.24", StatLine(stat)));
    const auto records = ReadSeason(2024);
    EXPECT_EQ(records[3].HomeTeam, 3);
    EXPECT_EQ(records[3].HomeScore, 17);
    EXPECT_EQ(records[4], schedule[4]);
}

// ---- insertions and removals ----

TEST_F(ImportTest, InsertionGoesAfterTheWeeksLastRecord)
{
    GameRecord added = Finished(Game(2024, 1, 30, 31), 28, 0, 5);
    Import(Stat("add.24", StatLine(added, 1)));
    ExpectCompleted(1);
    const auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[3], added);
    EXPECT_EQ(records[4], schedule[3]);
    EXPECT_EQ(folder.Read("2024.nfl.old"), EncodeRecords(schedule));
    EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
    // Game slot 3 of week 1 in the arrays, lines beside it.
    EXPECT_EQ(Season().Game(0, 3, gfHomeTeam), 30);
    EXPECT_EQ(Season().Game(0, 3, gfHomeScore), 28);
    EXPECT_EQ(Season().Spread(0, 3), -6.5f);
    EXPECT_EQ(Season().Game(1, 0, gfHomeTeam), 1);
}

TEST_F(ImportTest, TwoInsertionsAfterAnUpdatedGameComeInReverseOrder)
{
    const GameRecord updated = Finished(schedule[0], 20, 10, 1);
    GameRecord a = Finished(Game(2024, 1, 30, 31), 28, 0, 5);
    GameRecord b = Finished(Game(2024, 1, 27, 29), 14, 13, 6);
    Import(Stat("add.24", StatLine(updated) + StatLine(a, 1) + StatLine(b, 1)));
    ExpectCompleted(1);
    const auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 8u);
    EXPECT_EQ(records[0], Updated(schedule[0], updated));
    EXPECT_EQ(records[1], b);
    EXPECT_EQ(records[2], a);
    EXPECT_EQ(records[3], schedule[1]);
    EXPECT_EQ(Season().Game(0, 1, gfHomeTeam), 27);
    EXPECT_EQ(Season().Game(0, 2, gfHomeTeam), 30);
    EXPECT_EQ(Season().Game(0, 3, gfHomeTeam), 3);
    EXPECT_EQ(Season().Spread(0, 3), -3.5f);
}

TEST_F(ImportTest, InsertionIntoAnEmptyWeekKeepsWeekOrder)
{
    // Weeks 1 and 3 only: a game of week 2 goes after week 1's last record.
    std::vector<GameRecord> gap = SeasonOfWeeks(2024, {2, 0, 2}, false);
    WriteSeason(2024, gap);
    ASSERT_TRUE(SelectSeason(2024));
    const auto games = Season().SeasonGames;
    GameRecord added = Finished(Game(2024, 2, 30, 31), 28, 0, 5);
    Import(Stat("add.24", StatLine(added, 1)));
    auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0], gap[0]);
    EXPECT_EQ(records[1], gap[1]);
    EXPECT_EQ(records[2], added);
    EXPECT_EQ(records[3], gap[2]);
    // Week 2 is not loaded (it had no record): the arrays are left alone.
    EXPECT_EQ(Season().SeasonGames, games);
}

TEST_F(ImportTest, InsertionBeforeEveryWeekGoesFirst)
{
    std::vector<GameRecord> later = SeasonOfWeeks(2024, {0, 2}, false);
    WriteSeason(2024, later);
    GameRecord added = Finished(Game(2024, 1, 30, 31), 28, 0, 5);
    Import(Stat("add.24", StatLine(added, 1)));
    auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], added);
    EXPECT_EQ(records[1], later[0]);
    EXPECT_EQ(records[2], later[1]);
}

TEST_F(ImportTest, InsertionOfAGameTheWeekHoldsUpdatesIt)
{
    const GameRecord stat = Finished(schedule[2], 35, 0, 7);
    Import(Stat("add.24", StatLine(stat, 1)));
    ExpectCompleted(1);
    const auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[2], Updated(schedule[2], stat));
    EXPECT_FALSE(std::filesystem::exists(folder / "2024.nfl.old"));
}

TEST_F(ImportTest, RemovalDropsTheRecordAndClosesItsSlot)
{
    Import(Stat("remove.24", StatLine(Finished(schedule[4], 0, 0, 1), -1)));
    ExpectCompleted(2);
    const auto records = ReadSeason(2024);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[3], schedule[3]);
    EXPECT_EQ(records[4], schedule[5]);
    EXPECT_EQ(folder.Read("2024.nfl.old"), EncodeRecords(schedule));
    // Week 2's game slot 1 closed: slot 2 moved up, slot 15 empty; week 1 untouched.
    EXPECT_EQ(Season().Game(1, 0, gfHomeTeam), 1);
    EXPECT_EQ(Season().Game(1, 1, gfHomeTeam), 5);
    EXPECT_EQ(Season().Game(1, 2, gfHomeTeam), 0);
    EXPECT_EQ(Season().Game(0, 1, gfHomeTeam), 3);
    EXPECT_EQ(Season().Spread(1, 1), -3.5f);
    EXPECT_EQ(Season().Spread(1, 2), 0.0f);
}

// ---- seasons loaded and not ----

TEST_F(ImportTest, SeasonNotLoadedChangesTheFileOnly)
{
    auto older = SeasonOfWeeks(2022, {2}, false);
    WriteSeason(2022, older);
    const auto games = Season().SeasonGames;
    const auto lines = Season().SeasonLines;
    const GameRecord stat = Finished(older[1], 24, 3, 1);
    const GameRecord added = Finished(Game(2022, 1, 30, 31), 28, 0, 5);
    Import(Stat("old.24", StatLine(stat) + StatLine(added, 1) + StatLine(Finished(older[0], 0, 0, 2), -1)));
    ExpectCompleted(1);
    const auto records = ReadSeason(2022);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], Updated(older[1], stat));
    EXPECT_EQ(records[1], added);
    EXPECT_EQ(Season().SeasonGames, games);
    EXPECT_EQ(Season().SeasonLines, lines);
}

TEST_F(ImportTest, OlderLoadedSeasonIsPatchedAtItsOwnWeek)
{
    auto older = SeasonOfWeeks(2023, {2, 2}, false);
    WriteSeason(2023, older);
    WriteYearsToLoad("2");
    ASSERT_TRUE(SelectSeason(2024));
    host->refreshes.clear();
    messages->shown.clear();
    const GameRecord stat = Finished(older[3], 24, 3, 1);
    Import(Stat("old.24", StatLine(stat)));
    ExpectCompleted(2);
    EXPECT_EQ(Season().WeekItems[1], "Wk 2 of 2023");
    EXPECT_EQ(Season().Game(1, 1, gfHomeScore), 24);
    EXPECT_EQ(Season().Game(3, 1, gfHomeScore), -1); // week 2 of 2024 untouched
}

TEST_F(ImportTest, LinesFromTheLineFileInUseStay)
{
    std::vector<LineRecord> lines;
    for (const auto& g : schedule) {
        LineRecord l = LineRecord::FromGame(g);
        l.SetLine(1.5);
        l.SetTotal(39);
        lines.push_back(l);
    }
    WriteLineFile("MyLines", 2024, lines);
    SaveSetting("Preference", "LineFile", "MyLines");
    ASSERT_TRUE(SelectSeason(2024));
    ASSERT_EQ(Season().Spread(0, 0), 1.5f);
    schedule[0].Total = 0; // takes the stat file's lines into the season file
    WriteSeason(2024, schedule);
    host->refreshes.clear();
    messages->shown.clear();
    Import(Stat("lines.24", StatLine(Finished(schedule[0], 20, 10, 1))));
    ExpectCompleted(1);
    EXPECT_EQ(ReadSeason(2024)[0].TotalValue(), 48.0);
    EXPECT_EQ(Season().Spread(0, 0), 1.5f);
    EXPECT_EQ(Season().Total(0, 0), 39.0f);
}

// ---- bad records ----

TEST_F(ImportTest, BadRecordIsSkippedWholeAfterYes)
{
    const GameRecord first = Finished(schedule[0], 20, 10, 1);
    const GameRecord third = Finished(schedule[2], 9, 6, 3);
    auto bad = StatFieldsOf(Finished(schedule[1], 14, 7, 2), 0);
    bad[13] = "300"; // away pass attempts
    messages->answers = {vbYes};
    const std::string before = folder.Read("2024.nfl");
    const std::string file = Stat("bad.24", StatLine(first) + Join(bad, 0, 45) + "\r\n" + StatLine(third));
    const ImportResult result = Import(file);
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text,
              file + ": Stat record 2, field 14 (away pass attempts) \"300\": outside 0 to 255\nShould I continue?");
    EXPECT_EQ(messages->shown[0].title, "Error");
    EXPECT_EQ(messages->shown[0].buttons, vbYesNo + vbCritical);
    ExpectEndedWithErrors(1, "2 games imported, 1 failed");
    EXPECT_TRUE(result.finished);
    EXPECT_EQ(result.imported, 2);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(RecordBytes(2024, 1), Bytes(Updated(schedule[0], first)));
    EXPECT_EQ(RecordBytes(2024, 2), before.substr(GameRecord::Size, GameRecord::Size));
    EXPECT_EQ(RecordBytes(2024, 3), Bytes(Updated(schedule[2], third)));
}

TEST_F(ImportTest, BadRecordAndNoStops)
{
    auto bad = StatFieldsOf(Finished(schedule[0], 14, 7, 2), 0);
    bad[2] = "someday";
    messages->answers = {vbNo};
    const std::string before = folder.Read("2024.nfl");
    Import(Stat("bad.24", Join(bad, 0, 45) + "\r\n" + StatLine(Finished(schedule[1], 9, 6, 3))));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr("field 3 (game date) \"someday\": not a date"));
    ExpectStopped();
    EXPECT_EQ(folder.Read("2024.nfl"), before);
}

TEST_F(ImportTest, TeamCodeOutsideTheLeagueIsRefused)
{
    auto bad = StatFieldsOf(Finished(schedule[0], 14, 7, 2), 0);
    bad[5] = "40";
    messages->answers = {vbYes};
    const std::string before = folder.Read("2024.nfl");
    Import(Stat("bad.24", Join(bad, 0, 45) + "\r\n"));
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_THAT(messages->shown[0].text, HasSubstr("Stat record 1, field 6 (home team) \"40\""));
    ExpectEndedWithErrors(1, "0 games imported, 1 failed");
    EXPECT_EQ(folder.Read("2024.nfl"), before);
}

TEST_F(ImportTest, FewerThanFortyFiveFieldsAtTheEnd)
{
    const GameRecord first = Finished(schedule[0], 20, 10, 1);
    auto part = StatFieldsOf(Finished(schedule[1], 14, 7, 2), 0);
    messages->answers = {vbYes};
    const std::string file = Stat("short.24", StatLine(first) + Join(part, 0, 30) + "\r\n");
    Import(file);
    ASSERT_EQ(messages->shown.size(), 2u);
    EXPECT_EQ(messages->shown[0].text,
              file + ": Stat record 2 ends after 30 of its 45 fields: Input past end of file\nShould I continue?");
    ExpectEndedWithErrors(1, "1 game imported, 1 failed");
    EXPECT_EQ(RecordBytes(2024, 1), Bytes(Updated(schedule[0], first)));
}

// A season file that is there but cannot be read: a folder, a link to nowhere, a file that
// cannot be opened, or one whose read fails after it opened, as on a failing disk.
enum class SeasonDamage { Folder, LinkToNowhere, Unreadable, ReadFails };

class ImportUnreadableSeasonFile : public ImportTest, public ::testing::WithParamInterface<SeasonDamage> {
protected:
    // Damages the season file and gives the reader's words for it.
    std::string Spoil(SeasonDamage damage)
    {
        const std::filesystem::path file = folder / "2024.nfl";
        switch (damage) {
        case SeasonDamage::Folder:
            std::filesystem::remove(file);
            std::filesystem::create_directory(file);
            return file.string() + " is a folder, not a file.";
        case SeasonDamage::LinkToNowhere:
            std::filesystem::remove(file);
            std::filesystem::create_symlink(folder / "moved.nfl", file);
            return file.string() + " was not found.";
        case SeasonDamage::Unreadable:
            unreadable = std::make_unique<ReadFault>(file);
            return file.string() + " could not be read: permission denied.";
        case SeasonDamage::ReadFails:
            failingRead = std::make_unique<ReadErrorFault>(file, std::filesystem::file_size(file) / 2);
            return file.string() + " could not be read: the disk reported an input/output error.";
        }
        return {};
    }
    std::unique_ptr<ReadFault> unreadable;
    std::unique_ptr<ReadErrorFault> failingRead;
};

TEST_P(ImportUnreadableSeasonFile, EveryRecordNamesTheFileAndTheCauseOnceAndNothingChanges)
{
    // An update, an insertion and a removal: none may pass the file over as a missing season
    // or start it anew, and each record's error names the file and why, in the reader's words.
    const std::string before = folder.Read("2024.nfl");
    const std::string words = Spoil(GetParam());
    messages->answers = {vbYes, vbYes, vbYes};
    const ImportResult result = Import(Stat("week1.24", StatLine(Finished(schedule[0], 20, 10, 1)) +
                                                            StatLine(Finished(Game(2024, 1, 30, 31), 28, 0, 5), 1) +
                                                            StatLine(Finished(schedule[4], 0, 0, 1), -1)));
    ASSERT_EQ(messages->shown.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(messages->shown[i].text, words + "\nShould I continue?") << i;
        EXPECT_EQ(messages->shown[i].title, "Error");
        EXPECT_EQ(messages->shown[i].buttons, vbYesNo + vbCritical);
    }
    // No week scan found a week, so the reported week is the last record's.
    ExpectEndedWithErrors(2, "0 games imported, 3 failed");
    EXPECT_EQ(result.failed, 3);

    // The rewrite an insertion or removal makes says the same and writes nothing.
    messages->shown.clear();
    for (const bool insert : {true, false}) {
        try {
            ReplaceFile(folder / "2024.nfl", 1, insert);
            ADD_FAILURE() << "the rewrite went on";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Description(), words);
        }
    }
    EXPECT_TRUE(messages->shown.empty()) << messages->shown[0].text;

    unreadable.reset();
    failingRead.reset();
    switch (GetParam()) {
    case SeasonDamage::Folder: EXPECT_TRUE(std::filesystem::is_directory(folder / "2024.nfl")); break;
    case SeasonDamage::LinkToNowhere:
        EXPECT_TRUE(std::filesystem::is_symlink(folder / "2024.nfl"));
        EXPECT_FALSE(std::filesystem::exists(folder / "moved.nfl"));
        break;
    default: EXPECT_EQ(folder.Read("2024.nfl"), before);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "2024.nfl.old"));
    EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
}

INSTANTIATE_TEST_SUITE_P(EveryWay, ImportUnreadableSeasonFile,
                         ::testing::Values(SeasonDamage::Folder, SeasonDamage::LinkToNowhere, SeasonDamage::Unreadable,
                                           SeasonDamage::ReadFails),
                         [](const ::testing::TestParamInfo<SeasonDamage>& info) {
                             switch (info.param) {
                             case SeasonDamage::Folder: return std::string("Folder");
                             case SeasonDamage::LinkToNowhere: return std::string("LinkToNowhere");
                             case SeasonDamage::Unreadable: return std::string("Unreadable");
                             case SeasonDamage::ReadFails: return std::string("ReadFails");
                             }
                             return std::string();
                         });

TEST_F(ImportTest, EmptyStatFileCompletesWeekOne)
{
    const std::string before = folder.Read("2024.nfl");
    Import(Stat("empty.24", ""));
    ExpectCompleted(1);
    EXPECT_EQ(folder.Read("2024.nfl"), before);
}

TEST_F(ImportTest, GameOfNoWeekInTheFileIsDroppedQuietly)
{
    const std::string before = folder.Read("2024.nfl");
    Import(Stat("none.24", StatLine(Finished(Game(2024, 9, 1, 2), 20, 10, 1))));
    ExpectCompleted(9, "\n0 games imported, 0 failed, 1 not found in 2024.nfl.");
    EXPECT_EQ(folder.Read("2024.nfl"), before);
    // A season with no season file: the closing counts name the file they were not found in.
    host->refreshes.clear();
    Import(Stat("old.24", StatLine(Finished(Game(2022, 6, 1, 2), 20, 10, 1)) +
                              StatLine(Finished(Game(2022, 6, 3, 4), 20, 10, 2))));
    ExpectCompleted(6, "\n0 games imported, 0 failed, 2 not found in 2022.nfl.");
    EXPECT_FALSE(std::filesystem::exists(folder / "2022.nfl"));
    EXPECT_FALSE(std::filesystem::exists(folder / "2019.nfl"));
}

} // namespace
} // namespace vexal::test
