// Rewriting a season file with a record inserted or dropped, and opening and closing game
// slots in the loaded arrays.
#include "LoaderFixtures.h"

#include "GameInsertion.h"
#include "RecordFile.h"
#include "VbError.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace vexal::test {
namespace {

using ::testing::HasSubstr;

class ReplaceFileTest : public LoaderFixture {
protected:
    void SetUp() override
    {
        LoaderFixture::SetUp();
        // Ten games, two weeks, each record different.
        records = SeasonOfWeeks(2024, {5, 5});
        for (std::size_t i = 0; i < records.size(); ++i)
            records[i].SetComment("game " + std::to_string(i + 1));
        WriteSeason(2024, records);
        original = folder.Read("2024.nfl");
    }
    std::string RecordBytesOf(const std::string& file, int recordNumber) const
    {
        return file.substr(static_cast<std::size_t>(recordNumber - 1) * GameRecord::Size, GameRecord::Size);
    }
    std::filesystem::path Path() const { return folder / "2024.nfl"; }

    std::vector<GameRecord> records;
    std::string original;
};

TEST_F(ReplaceFileTest, InsertAfterRecordFive)
{
    ASSERT_TRUE(ReplaceFile(Path(), 5, true));
    const std::string now = folder.Read("2024.nfl");
    ASSERT_EQ(now.size(), 11 * GameRecord::Size);
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(RecordBytesOf(now, i), RecordBytesOf(original, i)) << i;
    for (int i = 6; i <= 10; ++i)
        EXPECT_EQ(RecordBytesOf(now, i + 1), RecordBytesOf(original, i)) << i;
    // The blank record: season, week and date of record 5, every other byte 0.
    const std::string blank = RecordBytesOf(now, 6);
    EXPECT_EQ(blank.substr(0, 11), RecordBytesOf(original, 5).substr(0, 11));
    EXPECT_EQ(blank.substr(11), std::string(GameRecord::Size - 11, '\0'));
    const GameRecord decoded = GameRecord::Decode(reinterpret_cast<const uint8_t*>(blank.data()));
    EXPECT_EQ(decoded.Year, 2024);
    EXPECT_EQ(decoded.Week, 1);
    EXPECT_EQ(decoded.GameDate, records[4].GameDate);
    // The backup holds the file as it was; the work copy is gone.
    EXPECT_EQ(folder.Read("2024.nfl.old"), original);
    EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
}

TEST_F(ReplaceFileTest, InsertAfterTheLastRecordAppends)
{
    ASSERT_TRUE(ReplaceFile(Path(), 10, true));
    const std::string now = folder.Read("2024.nfl");
    ASSERT_EQ(now.size(), 11 * GameRecord::Size);
    EXPECT_EQ(now.substr(0, original.size()), original);
    EXPECT_EQ(GameRecord::Decode(reinterpret_cast<const uint8_t*>(now.data()) + 10 * GameRecord::Size).Week, 2);
}

TEST_F(ReplaceFileTest, DropRecordFive)
{
    ASSERT_TRUE(ReplaceFile(Path(), 5, false));
    const std::string now = folder.Read("2024.nfl");
    ASSERT_EQ(now.size(), 9 * GameRecord::Size);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(RecordBytesOf(now, i), RecordBytesOf(original, i));
    for (int i = 6; i <= 10; ++i)
        EXPECT_EQ(RecordBytesOf(now, i - 1), RecordBytesOf(original, i));
    EXPECT_EQ(folder.Read("2024.nfl.old"), original);
}

TEST_F(ReplaceFileTest, RecordNumberOutsideTheFileRewritesItUnchanged)
{
    folder.Write("~temp.tmp", "left over");
    ASSERT_TRUE(ReplaceFile(Path(), 0, true));
    EXPECT_EQ(folder.Read("2024.nfl"), original);
    ASSERT_TRUE(ReplaceFile(Path(), 11, false));
    EXPECT_EQ(folder.Read("2024.nfl"), original);
    EXPECT_EQ(folder.Read("2024.nfl.old"), original);
    EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
}

// In a folder a group shares, the first backup is the group's to replace as the season file
// is: it takes the season file's mode and group, whatever the user's mask.
TEST_F(ReplaceFileTest, BackupIsTheFileBeforeTheLastRewrite)
{
    const gid_t group = ::geteuid() == 0 ? 1 : ::getegid();
    ASSERT_EQ(::chown(Path().c_str(), static_cast<uid_t>(-1), group) + ::chmod(Path().c_str(), 0664), 0);
    ASSERT_TRUE(ReplaceFile(Path(), 2, false));
    const std::string afterFirst = folder.Read("2024.nfl");
    ASSERT_TRUE(ReplaceFile(Path(), 3, true));
    EXPECT_EQ(folder.Read("2024.nfl.old"), afterFirst);
    struct stat backup {};
    ASSERT_EQ(::stat(BackupPath(Path()).c_str(), &backup), 0);
    EXPECT_EQ(backup.st_mode & 07777, 0664u);
    EXPECT_EQ(backup.st_gid, group);
}

TEST_F(ReplaceFileTest, InsertFirstPutsTheBlankBeforeRecordOne)
{
    ASSERT_TRUE(ReplaceFileInsertFirst(Path()));
    const std::string now = folder.Read("2024.nfl");
    ASSERT_EQ(now.size(), 11 * GameRecord::Size);
    EXPECT_EQ(now.substr(GameRecord::Size), original);
}

TEST_F(ReplaceFileTest, MissingFileIsReportedAndNothingWritten)
{
    const auto missing = folder / "2019.nfl";
    EXPECT_FALSE(ReplaceFile(missing, 1, true));
    ASSERT_EQ(messages->shown.size(), 1u);
    EXPECT_EQ(messages->shown[0].text, missing.string() + " not found");
    EXPECT_EQ(messages->shown[0].title, "Vexal");
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(std::filesystem::exists(folder / "2019.nfl.old"));
    EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
}

TEST_F(ReplaceFileTest, FailedRewriteLeavesTheSeasonFileAndTheEarlierBackupWhole)
{
    // What a crash left under the names of the work copy and the new backup is no one's
    // to take: the rewrite makes files of its own and leaves those as they are.
    folder.Write("~temp.tmp/x", "x");
    folder.Write("2024.nfl.old.new/x", "x");
    ASSERT_TRUE(ReplaceFile(Path(), 5, true));
    EXPECT_EQ(folder.Read("2024.nfl.old"), original);
    EXPECT_EQ(folder.Read("~temp.tmp/x") + folder.Read("2024.nfl.old.new/x"), "xx");
    std::filesystem::remove_all(folder / "~temp.tmp");
    std::filesystem::remove_all(folder / "2024.nfl.old.new");
    folder.Write("2024.nfl", original);

    folder.Write("2024.nfl.old", "earlier backup");

    // A disk that fails part way through the work copy, then through the new backup.
    for (const auto& failing : {Path(), BackupPath(Path())}) {
        SCOPED_TRACE(failing.filename().string());
        WriteFault fault(GameRecord::Size + 7, failing);
        try {
            ReplaceFile(Path(), 5, true);
            ADD_FAILURE() << "the rewrite went through";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Number(), 61);
        }
        EXPECT_EQ(folder.Read("2024.nfl"), original);
        EXPECT_EQ(folder.Read("2024.nfl.old"), "earlier backup");
        EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
        EXPECT_FALSE(std::filesystem::exists(folder / "2024.nfl.old.new"));
    }
}

// A rewrite that fails names the file the write failed on and the cause the write met, in
// one text, whatever the cause: a disk that fills or fails to put the data on it, in the work
// copy or the backup, and a folder in the place of the work copy, the new backup or the
// backup. Nothing is left changed.
struct RewriteFailure {
    const char* name;
    std::function<std::unique_ptr<WriteFault>(const std::filesystem::path& season)> fault;
    const char* folderInTheWay; // made a folder holding a file, when given
    const char* namedFile;      // the file the message names
    std::string reason;
    int32_t number;
};

void PrintTo(const RewriteFailure& c, std::ostream* os) { *os << c.name; }

class RewriteFailureTest : public ReplaceFileTest, public ::testing::WithParamInterface<RewriteFailure> {};

TEST_P(RewriteFailureTest, NamesTheFileAndItsOwnCauseAndChangesNothing)
{
    const RewriteFailure& c = GetParam();
    folder.Write("2024.nfl.old", "earlier backup");
    if (c.folderInTheWay) {
        std::filesystem::remove(folder / c.folderInTheWay);
        folder.Write(std::string(c.folderInTheWay) + "/x", "x");
    }
    const std::string expected = (folder / c.namedFile).string() + " could not be written: " + c.reason + ".";
    for (const bool insert : {true, false}) {
        SCOPED_TRACE(insert);
        const std::unique_ptr<WriteFault> fault = c.fault ? c.fault(Path()) : nullptr;
        try {
            if (insert)
                InsertGameRecord(Path(), 5, Game(2024, 1, 30, 31));
            else
                ReplaceFile(Path(), 5, false);
            ADD_FAILURE() << "the rewrite went through";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Description(), expected);
            EXPECT_EQ(e.Number(), c.number);
        }
        EXPECT_EQ(folder.Read("2024.nfl"), original);
        const std::string inTheWay = c.folderInTheWay ? c.folderInTheWay : "";
        if (inTheWay != "2024.nfl.old") {
            EXPECT_EQ(folder.Read("2024.nfl.old"), "earlier backup");
        }
        if (inTheWay != "~temp.tmp") {
            EXPECT_FALSE(std::filesystem::exists(folder / "~temp.tmp"));
        }
        if (inTheWay != "2024.nfl.old.new") {
            EXPECT_FALSE(std::filesystem::exists(folder / "2024.nfl.old.new"));
        }
        EXPECT_TRUE(messages->shown.empty());
    }
    if (c.folderInTheWay) {
        EXPECT_EQ(folder.Read(std::string(c.folderInTheWay) + "/x"), "x");
    }
}

std::unique_ptr<WriteFault> Full(const std::filesystem::path& file)
{
    return std::make_unique<WriteFault>(GameRecord::Size + 7, file);
}

std::unique_ptr<WriteFault> SyncFails(const std::filesystem::path& file)
{
    return std::make_unique<WriteFault>(WriteFault::AtSync, file);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCause, RewriteFailureTest,
    ::testing::Values(
        RewriteFailure{"WorkCopyFillsTheDisk", [](const auto& season) { return Full(season); }, nullptr, "2024.nfl",
                       ReasonOfError(ENOSPC), 61},
        RewriteFailure{"BackupFillsTheDisk", [](const auto& season) { return Full(BackupPath(season)); }, nullptr,
                       "2024.nfl.old", ReasonOfError(ENOSPC), 61},
        RewriteFailure{"WorkCopyFailsToReachTheDisk", [](const auto& season) { return SyncFails(season); }, nullptr,
                       "2024.nfl", ReasonOfError(EIO), 57},
        RewriteFailure{"BackupFailsToReachTheDisk", [](const auto& season) { return SyncFails(BackupPath(season)); },
                       nullptr, "2024.nfl.old", ReasonOfError(EIO), 57},
        RewriteFailure{"FolderInPlaceOfTheBackup", nullptr, "2024.nfl.old", "2024.nfl.old", ReasonOfError(EISDIR), 75}),
    [](const ::testing::TestParamInfo<RewriteFailure>& info) { return std::string(info.param.name); });

// ---- the arrays ----

class GameRowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Two week slots; every element numbered so that moves show.
        games.resize(3 * WeekSlotStride);
        std::iota(games.begin(), games.end(), int16_t{1});
        lines.resize(2 * LineSlotStride + LineArraySpare);
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = static_cast<float>(i) + 0.5f;
    }
    int16_t G(int slot, int game, int field) const
    {
        return games[static_cast<std::size_t>(slot * WeekSlotStride + game * FieldsPerGame + field)];
    }
    float L(int slot, int pair, int which) const { return lines[static_cast<std::size_t>(LineAt(slot, pair) + which)]; }
    static int LineAt(int slot, int pair) { return slot * LineSlotStride + pair * LinesPerGame; }
    static float OriginalLine(int slot, int pair, int which) { return static_cast<float>(LineAt(slot, pair) + which) + 0.5f; }
    static int16_t Original(int slot, int game, int field)
    {
        return static_cast<int16_t>(slot * WeekSlotStride + game * FieldsPerGame + field + 1);
    }
    static int GameAt(int slot, int game) { return slot * WeekSlotStride + game * FieldsPerGame; }
    static constexpr int LastGame = GamesPerWeekSlot - 1;
    static constexpr int LastField = FieldsPerGame - 1;

    std::vector<int16_t> games;
    std::vector<float> lines;
};

TEST_F(GameRowTest, OpeningSlotZeroMovesEverySlotOn)
{
    GameRecord g = Game(2024, 3, 9, 10);
    g.HomeStats.TOPMin = 30;
    g.Injuries = 2;
    g.Weather = -1;
    InsertGameRow(games, g, GameAt(1, 0), GameAt(2, 0) - 1, FieldsPerGame);
    EXPECT_EQ(G(1, 0, gfWeek), 3);
    EXPECT_EQ(G(1, 0, gfAwayTeam), 10);
    EXPECT_EQ(G(1, 0, gfHomeTeam), 9);
    EXPECT_EQ(G(1, 0, gfAwayScore), -1); // 0 to 0: not played
    EXPECT_EQ(G(1, 0, gfHomeScore), -1);
    EXPECT_EQ(G(1, 0, gfHomeTOP), 1800);
    EXPECT_EQ(G(1, 0, gfInjury), 2);
    EXPECT_EQ(G(1, 0, gfWeather), -1);
    for (int game = 1; game < GamesPerWeekSlot; ++game)
        for (int f = 0; f < FieldsPerGame; ++f)
            ASSERT_EQ(G(1, game, f), Original(1, game - 1, f));
    // The weeks around are untouched.
    EXPECT_EQ(G(0, LastGame, LastField), Original(0, LastGame, LastField));
    EXPECT_EQ(G(2, 0, 0), Original(2, 0, 0));
}

TEST_F(GameRowTest, OpeningSlotFifteenOnlyOverwritesIt)
{
    InsertGameRow(games, Game(2024, 3, 9, 10, 21, 14), GameAt(1, LastGame), GameAt(2, 0) - 1, FieldsPerGame);
    EXPECT_EQ(G(1, LastGame, gfHomeScore), 21);
    EXPECT_EQ(G(1, LastGame - 1, 5), Original(1, LastGame - 1, 5));
    EXPECT_EQ(G(2, 0, 0), Original(2, 0, 0));
}

TEST_F(GameRowTest, OpeningASlotOutsideTheArrayChangesNothing)
{
    const auto before = games;
    InsertGameRow(games, Game(2024, 3, 9, 10), GameAt(5, 0), GameAt(6, 0) - 1, FieldsPerGame);
    InsertLinePair(lines, Game(2024, 3, 9, 10), LineAt(40, 0), LineAt(41, 0) - 1, LinesPerGame);
    EXPECT_EQ(games, before);
}

TEST_F(GameRowTest, LinePairsOpenAndClose)
{
    GameRecord g = Game(2024, 3, 9, 10);
    g.SetLine(-2.5);
    g.SetTotal(47);
    // Pair 2 of week slot 1 opened: its old values move to pair 3, pair 14's to pair 15.
    InsertLinePair(lines, g, LineAt(1, 2), LineAt(2, 0) - 1, LinesPerGame);
    EXPECT_EQ(L(1, 2, 0), -2.5f);
    EXPECT_EQ(L(1, 2, 1), 47.0f);
    EXPECT_EQ(L(1, 3, 0), OriginalLine(1, 2, 0));
    EXPECT_EQ(L(1, 3, 1), OriginalLine(1, 2, 1));
    EXPECT_EQ(L(1, LastGame, 0), OriginalLine(1, LastGame - 1, 0));
    EXPECT_EQ(L(1, LastGame, 1), OriginalLine(1, LastGame - 1, 1));
    EXPECT_EQ(L(1, 1, 1), OriginalLine(1, 1, 1));
    EXPECT_EQ(L(2, 0, 0), OriginalLine(2, 0, 0));

    // Closing it again moves them back and clears pair 15.
    RemoveLinePair(lines, LineAt(1, 2), LineAt(1, LastGame), LinesPerGame);
    EXPECT_EQ(L(1, 2, 0), OriginalLine(1, 2, 0));
    EXPECT_EQ(L(1, LastGame - 1, 0), OriginalLine(1, LastGame - 1, 0));
    EXPECT_EQ(L(1, LastGame - 1, 1), OriginalLine(1, LastGame - 1, 1));
    EXPECT_EQ(L(1, LastGame, 0), 0.0f);
    EXPECT_EQ(L(1, LastGame, 1), 0.0f);
    EXPECT_EQ(L(2, 0, 0), OriginalLine(2, 0, 0));
}

TEST_F(GameRowTest, ClosingSlotZeroMovesTheRestBack)
{
    RemoveGameRow(games, GameAt(1, 0), GameAt(1, LastGame), FieldsPerGame);
    for (int game = 0; game < LastGame; ++game)
        for (int f = 0; f < FieldsPerGame; ++f)
            ASSERT_EQ(G(1, game, f), Original(1, game + 1, f));
    for (int f = 0; f < FieldsPerGame; ++f)
        EXPECT_EQ(G(1, LastGame, f), 0);
    EXPECT_EQ(G(2, 0, 0), Original(2, 0, 0));
}

TEST_F(GameRowTest, ClosingSlotFifteenOnlyClearsIt)
{
    RemoveGameRow(games, GameAt(1, LastGame), GameAt(1, LastGame), FieldsPerGame);
    EXPECT_EQ(G(1, LastGame - 1, LastField), Original(1, LastGame - 1, LastField));
    for (int f = 0; f < FieldsPerGame; ++f)
        EXPECT_EQ(G(1, LastGame, f), 0);
}

TEST_F(GameRowTest, ClosingOutsideTheArrayIsASubscriptError)
{
    try {
        RemoveGameRow(games, GameAt(5, 0), GameAt(5, LastGame), FieldsPerGame);
        FAIL() << "no error";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Number(), 9);
    }
    EXPECT_THROW(RemoveLinePair(lines, LineAt(100, 0), LineAt(100, LastGame), LinesPerGame), VbError);
}

} // namespace
} // namespace vexal::test
