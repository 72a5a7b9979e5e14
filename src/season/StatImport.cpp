#include "StatImport.h"

#include "AppState.h"
#include "GameInsertion.h"
#include "GameRecord.h"
#include "GameWrite.h"
#include "Host.h"
#include "LineRecord.h"
#include "LoaderHost.h"
#include "MsgBox.h"
#include "Preferences.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "SeasonFileAccess.h"
#include "SeasonLoader.h"
#include "SharedProcs.h"
#include "StatFile.h"
#include "Steps.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WeekRange.h"

#include <cerrno>
#include <functional>
#include <optional>
#include <sstream>

namespace vexal {

namespace {

struct ImportState {
    int reportedWeek = 1;
    int32_t weekFirst = 0;       // the week scan's first record; the reported week follows records until it is found
    int overwriteTeams = 0;
    int32_t answer = 0;          // the last answer to the data-present or play-off question
    int32_t lastUpdated = 0;     // the record the last update wrote
    ImportResult result;
    RecordSyncBatch written;     // the records put in place, on the disk together at the end
    std::vector<std::string> lineFilesLeft; // line files that could not follow an insertion or removal
    // The bytes of a season file as the import read it and has written it since: read once,
    // kept in step with every record put, and read again after a rewrite, a failure or a record
    // found changed. The scans go by them; every write reads its record again (GameWrite.h), as
    // another program or a sync tool may have changed the file since, or a window while a
    // question of the import was open.
    RecordBytes seasonBytes;
    std::filesystem::path seasonBytesPath; // empty: nothing kept
    // The season file the updates write, open for the whole import as long as its path names
    // it: a write costs the read of its record and the put, not an open and the file's checks.
    std::optional<RecordFile> records;
    std::filesystem::path recordsPath;
    // The line file in use as the import read it, to tell the games whose loaded lines are its
    // own (only its records' games matter, which move only with the season file's): read once,
    // and again after the season file was.
    RecordBytes lineBytes;
    std::filesystem::path lineBytesPath; // empty: nothing kept

    // The season file at `path` open for writing; opened again when another program replaced
    // it since. Null when nothing plain is there: the write by path names what is.
    RecordFile* RecordsOf(const std::filesystem::path& path)
    {
        if (records && recordsPath == path && records->StillAtPath())
            return &*records;
        records.reset();
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
            return nullptr;
        records.emplace(path, GameRecord::Size, RecordFile::Mode::ReadWrite, FileKind::Season, &written);
        recordsPath = path;
        return &*records;
    }

    // The import's own fields (`edit`) into record `recordNumber`, read as `seen`, written only
    // while the record holds that game; false (nothing written, nothing kept) when it no longer
    // does. `stored` receives the record as the file then holds it.
    bool Rewrite(const std::filesystem::path& path, int32_t recordNumber, const GameRecord& seen,
                 const std::function<void(GameRecord&)>& edit, GameRecord& stored)
    {
        const bool kept = seasonBytesPath == path && recordNumber >= 1 && recordNumber <= seasonBytes.Count();
        seasonBytesPath.clear(); // until the record is in place
        RecordFile* open = RecordsOf(path);
        const GameWrite write =
            open ? RewriteGameWhereItIs<GameRecord>(*open, recordNumber, GameKey::Of(seen), edit, &stored)
                 : RewriteGameWhereItIs<GameRecord>(path, recordNumber, GameKey::Of(seen), edit, &stored, &written);
        if (!write.Written())
            return false;
        if (kept) {
            seasonBytes.Replace(recordNumber, stored.Encode().data());
            seasonBytesPath = path;
        }
        return true;
    }
    // Forgets what was read of the season file, and closes it.
    void CloseSeasonFile()
    {
        seasonBytesPath.clear();
        records.reset();
        lineBytesPath.clear();
    }
    // The season file took an insertion or removal: the line files prepared for it follow.
    void LineFilesFollowed(LineFilesFollow& lines)
    {
        for (std::string& failure : lines.Commit())
            lineFilesLeft.push_back(std::move(failure));
    }
};

// Again: the season file no longer holds what the import read of it; the record is imported
// once more from the file as it is now. NotFound: no game of the season file took the record.
enum class Outcome { Next, Stop, Again, NotFound };

// Where a week lies in its season file (which keeps weeks in order): its first and last
// record, and the last record of an earlier week; 0 for none.
struct WeekBlock {
    int32_t first = 0;
    int32_t last = 0;
    int32_t lastEarlier = 0;
};

WeekBlock ScanWeek(const RecordBytes& file, int week)
{
    WeekBlock b;
    for (int32_t i = 1; i <= file.Count(); ++i) {
        int w = SeasonRecordWeek(file.Record(i));
        if (w < week) {
            b.lastEarlier = i;
        } else if (w == week) {
            if (b.first == 0)
                b.first = i;
            b.last = i;
        } else {
            break;
        }
    }
    return b;
}

// Reads the season file of a stat record. False when nothing is at its path; anything else
// that cannot be read (a folder, a link to nowhere, a file the disk fails to give back) is an
// error of the record in the reader's own words, never taken for a missing file (an insertion
// would otherwise start the file anew over it).
bool ReadSeasonFileOf(const std::filesystem::path& path, RecordBytes& file)
{
    return ReadRecordFileIfThere(path, GameRecord::Size, file);
}

// The season file of a stat record as the import keeps it; null when there is none.
const RecordBytes* SeasonFileOf(ImportState& st, const std::filesystem::path& path)
{
    if (!st.seasonBytesPath.empty() && st.seasonBytesPath == path)
        return &st.seasonBytes;
    st.seasonBytesPath.clear();
    if (!ReadSeasonFileOf(path, st.seasonBytes))
        return nullptr;
    st.seasonBytesPath = path;
    return &st.seasonBytes;
}

bool AskContinue(const std::string& description)
{
    return MsgBox(description + "\n" + "Should I continue?", vbYesNo + vbCritical, "Error") == vbYes;
}

// The game slot of record `recordNumber` in the loaded arrays, when its season and week are
// loaded and its place in the week (record number - week's first record) is a game slot.
struct ArrayPlace {
    int slot = -1;
    int game = -1;
    bool Loaded() const { return slot >= 0 && game >= 0 && game < GamesPerWeekSlot; }
};

ArrayPlace PlaceOf(int year, int week, int32_t recordNumber, int32_t weekFirst)
{
    ArrayPlace p;
    p.slot = LoadedWeekSlot(year, week);
    const int32_t game = recordNumber - weekFirst;
    p.game = game >= 0 && game < GamesPerWeekSlot ? static_cast<int>(game) : -1;
    return p;
}

// The line file the loaded spread and total of a game of `year` come from: the one in use,
// for the current season while it is the season loaded; empty for the season file's own.
std::filesystem::path LoadedLineFile(int year)
{
    const std::string name = LineFileInUse();
    if (name == pref::LineFile.defaultValue || year != CurrentSeason || Season().SeasonYear != CurrentSeason)
        return {};
    return LineFilePath(name, Season().SeasonYear);
}

// True when the loaded spread and total of this game came from the line file in use; the
// import then leaves them alone, as they are not the season file's.
bool LinesFromLineFile(ImportState& st, const GameRecord& game, int32_t recordNumber)
{
    const std::filesystem::path file = LoadedLineFile(game.Year);
    if (file.empty())
        return false;
    if (st.lineBytesPath != file) {
        st.lineBytesPath.clear();
        if (!ReadRecordFile(file, LineRecord::Size, st.lineBytes))
            return false;
        st.lineBytesPath = file;
    }
    if (recordNumber > st.lineBytes.Count())
        return false;
    const LineRecord line = LineRecord::Decode(st.lineBytes.Record(recordNumber));
    return line.IsLineOf(game);
}

// After an insertion or removal in a week whose loaded lines come from the line file in use:
// the week's games take their lines as a load takes them, from the line file where it pairs
// (a game inserted there has none yet), so that the running program shows what a new start
// will.
void TakeWeekLinesFromLineFile(const std::filesystem::path& seasonFile, const GameRecord& game)
{
    const std::filesystem::path lineFile = LoadedLineFile(game.Year);
    if (!lineFile.empty())
        SkipStep([&] { ReloadWeekSlot(seasonFile, game.Year, game.Week, lineFile); });
}

std::string NameOf(int code, int year)
{
    try {
        return TeamName(code, 0, NameStyleAsShown);
    } catch (const VbError&) {
        // No week chosen: name the team as in the record's own season.
        return TeamName(code, year, NameStyleAsShown);
    }
}

std::string ChosenWeekText()
{
    const auto& items = Season().WeekItems;
    int index = -1;
    SkipStep([&] { index = vb::CInt(App().CurrentFormula[fsCurrentWeek]) - 1; });
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)] : "";
}

// An Action 1 game that its week does not hold yet: a new record after the game the last
// update wrote when that is of the same week, else after the week's last record, else after
// the last record of an earlier week, else before every record.
Outcome InsertGame(const StatRecord& stat, ImportState& st, const std::filesystem::path& path, const RecordBytes& file,
                   bool fileExists, const WeekBlock& block)
{
    const GameRecord& game = stat.Game;
    int32_t after = 0;
    if (st.lastUpdated > 0 && st.lastUpdated <= file.Count() &&
        SeasonRecordWeek(file.Record(st.lastUpdated)) == game.Week)
        after = st.lastUpdated;
    else if (block.last > 0)
        after = block.last;
    else if (block.lastEarlier > 0)
        after = block.lastEarlier;

    if (!fileExists) {
        // The season's first game: the season file starts with it. Made new and empty, never
        // through what stands at the path (another instance's file made since is taken as it is).
        std::string reason;
        if (!WriteNewFile(path, {}, reason) && reason != ReasonOfError(EEXIST))
            throw VbError(VbError::PathFileAccess, path.string() + " could not be created: " + reason + ".");
    }
    // The game goes in after the record it was placed after, as the file holds it when it is
    // rewritten, and only when the file does not hold it by then.
    const GameKey afterKey = after > 0 ? GameKey::Of(GameRecord::Decode(file.Record(after))) : GameKey{};
    st.CloseSeasonFile();
    // The line files of the season take the same insertion, so that their records keep
    // pairing with the season file's: written first, put in place once the season file is.
    LineFilesFollow lines;
    if (file.Count() > 0)
        lines = LineFilesFollow::Insertion(ProgramFolder(), game.Year, after, after > 0 ? &afterKey : nullptr,
                                           GameKey::Of(game));
    const Rewritten inserted = InsertNewGame(path, after, after > 0 ? &afterKey : nullptr, game);
    if (inserted == Rewritten::Missing)
        return Outcome::NotFound;
    if (inserted != Rewritten::Done)
        return Outcome::Again;
    st.LineFilesFollowed(lines);
    ++st.result.imported;
    if (after > 0)
        st.lastUpdated = after;

    const int32_t weekFirst = block.first > 0 && block.first <= after ? block.first : after + 1;
    const ArrayPlace place = PlaceOf(game.Year, game.Week, after + 1, weekFirst);
    if (!place.Loaded())
        return Outcome::Next;
    auto& season = Season();
    InsertGameRow(season.SeasonGames, game, place.slot * WeekSlotStride + place.game * FieldsPerGame,
                  place.slot * WeekSlotStride + WeekSlotStride - 1, FieldsPerGame);
    InsertLinePair(season.SeasonLines, game, place.slot * LineSlotStride + place.game * LinesPerGame,
                   place.slot * LineSlotStride + LineSlotStride - 1, LinesPerGame);
    TakeWeekLinesFromLineFile(path, game);
    return Outcome::Next;
}

Outcome ApplyToCandidate(const StatRecord& stat, ImportState& st, const std::filesystem::path& path,
                         const GameRecord& seen, int32_t candidateNumber, int32_t weekFirst)
{
    const GameRecord& game = stat.Game;
    const ArrayPlace place = PlaceOf(game.Year, game.Week, candidateNumber, weekFirst);
    const bool linesFromLineFile = place.Loaded() && LinesFromLineFile(st, seen, candidateNumber);
    const bool overwriteTeams = st.overwriteTeams == 1;
    const bool hasResult = game.HomeScore + game.AwayScore > 0;

    // The file first: the arrays show what the file holds. Only the import's own fields
    // change, in the record as the file holds it now; the factors, the comment and a line
    // set since stay.
    GameRecord candidate;
    const bool written = st.Rewrite(path, candidateNumber, seen, [&](GameRecord& r) {
        if (overwriteTeams) {
            r.AwayTeam = game.AwayTeam;
            r.HomeTeam = game.HomeTeam;
        }
        if (r.Total == 0) {
            r.Total = game.Total;
            if (r.Line == 0)
                r.Line = game.Line;
        }
        if (hasResult) {
            r.Year = game.Year;
            r.Week = game.Week;
            r.GameDate = game.GameDate;
            r.Surface = game.Surface;
            r.HomeScore = game.HomeScore;
            r.AwayScore = game.AwayScore;
            r.HomeStats = game.HomeStats;
            r.AwayStats = game.AwayStats;
        }
    }, candidate);
    if (!written)
        return Outcome::Again;
    st.lastUpdated = candidateNumber;
    ++st.result.imported;
    // New teams (a play-off game's, or the stat file's after a Yes): the line files' record of
    // the game takes them too, so that it stays the game's line.
    if (candidate.HomeTeam != seen.HomeTeam || candidate.AwayTeam != seen.AwayTeam) {
        for (std::string& failure :
             LineFilesFollowTeams(ProgramFolder(), candidateNumber, GameKey::Of(seen), candidate.HomeTeam, candidate.AwayTeam))
            st.lineFilesLeft.push_back(std::move(failure));
        st.lineBytesPath.clear();
    }

    if (!place.Loaded())
        return Outcome::Next;
    auto& season = Season();
    const auto fields = candidate.GameFields();
    auto at = [&](int field) -> int16_t& { return season.Game(place.slot, place.game, field); };
    if (overwriteTeams) {
        at(gfAwayTeam) = fields[gfAwayTeam];
        at(gfHomeTeam) = fields[gfHomeTeam];
    }
    if (!linesFromLineFile) {
        season.Spread(place.slot, place.game) = candidate.LineSingle();
        season.Total(place.slot, place.game) = candidate.TotalSingle();
    }
    if (hasResult)
        for (const GameField f : GameRecord::ResultFields())
            at(f) = fields[static_cast<std::size_t>(f)];
    return Outcome::Next;
}

int32_t AskTeams(const std::string& title, const std::string& text)
{
    return MsgBox(text, vbYesNo + vbQuestion, title);
}

// The update of a game of the week, or its removal (Action -1).
Outcome UpdateGame(const StatRecord& stat, ImportState& st, const std::filesystem::path& path)
{
    const GameRecord& game = stat.Game;
    const RecordBytes* kept = SeasonFileOf(st, path);
    if (!kept)
        return Outcome::NotFound; // no season file: no record of the week to update
    const RecordBytes& file = *kept;

    // The week scan.
    for (int32_t i = 1; i <= file.Count(); ++i) {
        if (SeasonRecordWeek(file.Record(i)) >= game.Week) {
            st.weekFirst = i;
            break;
        }
    }
    const WeekBlock block = ScanWeek(file, game.Week);
    if (block.first == 0)
        return Outcome::NotFound;

    for (int32_t c = block.first; c <= block.last; ++c) {
        st.lastUpdated = 0;
        const GameRecord candidate = GameRecord::Decode(file.Record(c));
        if (candidate.Week != game.Week)
            continue;
        const bool shares = candidate.HomeTeam == game.HomeTeam || candidate.HomeTeam == game.AwayTeam ||
                            candidate.AwayTeam == game.HomeTeam || candidate.AwayTeam == game.AwayTeam;
        const bool placeholder = candidate.HomeTeam == candidate.AwayTeam;
        if (!shares && !placeholder)
            continue;

        if (candidate.HomeTeam == game.HomeTeam && candidate.AwayTeam == game.AwayTeam &&
            stat.Action == ActionRemove) {
            st.CloseSeasonFile();
            LineFilesFollow lines = LineFilesFollow::Removal(ProgramFolder(), game.Year, c, GameKey::Of(candidate));
            const Rewritten removed = RemoveGame(path, c, GameKey::Of(candidate));
            if (removed == Rewritten::Missing)
                return Outcome::NotFound;
            if (removed != Rewritten::Done)
                return Outcome::Again;
            st.LineFilesFollowed(lines);
            ++st.result.imported;
            const ArrayPlace place = PlaceOf(game.Year, game.Week, c, block.first);
            if (place.Loaded()) {
                auto& season = Season();
                RemoveGameRow(season.SeasonGames, place.slot * WeekSlotStride + place.game * FieldsPerGame,
                              place.slot * WeekSlotStride + (GamesPerWeekSlot - 1) * FieldsPerGame, FieldsPerGame);
                RemoveLinePair(season.SeasonLines, place.slot * LineSlotStride + place.game * LinesPerGame,
                               place.slot * LineSlotStride + (GamesPerWeekSlot - 1) * LinesPerGame, LinesPerGame);
                TakeWeekLinesFromLineFile(path, game);
            }
            return Outcome::Next;
        }

        if (candidate.HomeScore + candidate.AwayScore > 0 && st.answer == 0) {
            st.answer = MsgBox(std::string("This data appears to be present,") + "\n" + "Should I import anyway?",
                               vbYesNo + vbQuestion, "Data present");
            if (st.answer == vbNo)
                return Outcome::Stop;
        }

        const int32_t n = c - block.first + 1;
        auto name = [&](int code) { return NameOf(code, game.Year); };
        const std::string weekText = ChosenWeekText();
        const std::string mismatch = "Team Name Mismatch - " + weekText;
        int32_t reply = vbYes;
        if (placeholder) {
            if (st.overwriteTeams == 0) {
                st.answer = MsgBox("Update Team names for Playoffs?", vbYesNo + vbQuestion, "Vexal");
                if (st.answer != vbYes)
                    return Outcome::Stop;
                st.overwriteTeams = 1;
            }
        } else if (candidate.HomeTeam == game.HomeTeam && candidate.AwayTeam == game.AwayTeam) {
            // the same game
        } else {
            if (candidate.HomeTeam == game.HomeTeam) {
                reply = AskTeams(" " + mismatch,
                                 std::string("Away team names do not match!") + "\n" + "The import file has " +
                                     name(game.AwayTeam) + " for game " + std::to_string(n) + "\n" +
                                     "and the stats file has " + name(candidate.AwayTeam) + "\n" + "Should I overwrite?");
            } else if (candidate.AwayTeam == game.AwayTeam) {
                reply = AskTeams(mismatch, std::string("Home team names do not match!") + "\n" + "The import file has " +
                                               name(game.HomeTeam) + " home for game " + std::to_string(n) + "\n" +
                                               "and the stats file has the " + name(candidate.HomeTeam) + "\n" +
                                               "Should I overwrite?");
            } else if (candidate.HomeTeam == game.AwayTeam && candidate.AwayTeam == game.HomeTeam) {
                reply = AskTeams(mismatch, std::string("Home and Away appear to be swapped!") + "\n" +
                                               "The import file has " + name(game.HomeTeam) + " at home for game " +
                                               std::to_string(n) + "\n" + "and the stats file has " +
                                               name(candidate.HomeTeam) + "\n" + "Should I overwrite?");
            } else {
                reply = AskTeams(mismatch, std::string("There is a discrepancy in the schedule.") + "\n" +
                                               "The import file has " + name(game.AwayTeam) + "@" + name(game.HomeTeam) +
                                               " for game " + std::to_string(n) + "\n" + "and the stats file has " +
                                               name(candidate.AwayTeam) + "@" + name(candidate.HomeTeam) + "\n" +
                                               "Should I overwrite?");
            }
            if (reply != vbYes)
                continue;
            st.overwriteTeams = 1;
        }

        return ApplyToCandidate(stat, st, path, candidate, c, block.first);
    }
    return Outcome::NotFound;
}

Outcome ImportRecordFromFile(const StatRecord& stat, ImportState& st)
{
    const GameRecord& game = stat.Game;
    // Each game goes to the season file its own season names.
    const std::filesystem::path path = ProgramFolder() / SeasonFileName(game.Year);
    if (stat.Action == ActionInsert) {
        SetWeekRange(game.Week, game.Year);
        const RecordBytes* kept = SeasonFileOf(st, path);
        const bool exists = kept != nullptr;
        static const RecordBytes none;
        const RecordBytes& file = exists ? *kept : none;
        const WeekBlock block = ScanWeek(file, game.Week);
        bool present = false;
        for (int32_t i = block.first; i > 0 && i <= block.last && !present; ++i) {
            const GameRecord r = GameRecord::Decode(file.Record(i));
            present = r.Week == game.Week && r.HomeTeam == game.HomeTeam && r.AwayTeam == game.AwayTeam;
        }
        if (!present)
            return InsertGame(stat, st, path, file, exists, block);
    }
    return UpdateGame(stat, st, path);
}

// One record of the stat file, imported again from the season file as it is now when the file
// no longer held what the import read of it (another program wrote it meanwhile).
Outcome ImportRecord(const StatRecord& stat, ImportState& st)
{
    Outcome outcome = ImportRecordFromFile(stat, st);
    if (outcome != Outcome::Again)
        return outcome;
    st.CloseSeasonFile();
    outcome = ImportRecordFromFile(stat, st);
    const std::filesystem::path path = ProgramFolder() / SeasonFileName(stat.Game.Year);
    if (outcome != Outcome::Again) {
        // The loaded week was patched by the game's place in the file as the other program
        // left it, which the arrays, loaded before, need not match: they take the week from
        // the file again, the lines from the line file in use as a load takes them.
        if (outcome != Outcome::Stop && LoadedWeekSlot(stat.Game.Year, stat.Game.Week) >= 0)
            SkipStep([&] { ReloadWeekSlot(path, stat.Game.Year, stat.Game.Week, LoadedLineFile(stat.Game.Year)); });
        return outcome;
    }
    throw VbError(VbError::PathFileAccess, path.string() + " changed while the game was imported; it was not written.");
}

std::string DescriptionOf(const std::exception& e)
{
    if (auto vb = dynamic_cast<const VbError*>(&e))
        return vb->Description();
    return e.what();
}

// The error's description with the file it concerns named once.
std::string NamingFile(const std::string& file, const std::string& description)
{
    return description.find(file) != std::string::npos ? description : file + ": " + description;
}

// Every record of the stat file in turn; false when the user stopped the import.
bool ImportRecords(StatFileReader& reader, const std::string& file, ImportState& st)
{
    int recordNumber = 0;
    while (!reader.AtEnd()) {
        ++recordNumber;
        // A record is read and checked whole before anything is written, so a bad record is
        // skipped whole and the next one starts at its own first field.
        StatRecord stat;
        try {
            StatFields fields;
            int count = 0;
            if (!reader.ReadFields(fields, count))
                throw VbError(62, "Stat record " + std::to_string(recordNumber) + " ends after " +
                                      std::to_string(count) + " of its " + std::to_string(StatFieldCount) +
                                      " fields: " + VbError::TextOf(62));
            stat = ParseStatRecord(fields, recordNumber);
        } catch (const std::exception& e) {
            ++st.result.failed;
            if (!AskContinue(NamingFile(file, DescriptionOf(e))))
                return false;
            continue;
        }
        if (st.weekFirst == 0)
            st.reportedWeek = stat.Game.Week;
        try {
            const Outcome outcome = ImportRecord(stat, st);
            if (outcome == Outcome::Stop)
                return false;
            if (outcome == Outcome::NotFound)
                ++st.result.notFound[SeasonFileName(stat.Game.Year)];
        } catch (const std::exception& e) {
            // What is left of this game is not applied: a half-applied game could overwrite
            // another game's record. What the file holds now is read afresh.
            st.CloseSeasonFile();
            ++st.result.failed;
            const std::filesystem::path seasonFile = ProgramFolder() / SeasonFileName(stat.Game.Year);
            if (!AskContinue(NamingFile(seasonFile.string(), DescriptionOf(e))))
                return false;
        }
    }
    return true;
}

} // namespace

std::string ImportCounts(const ImportResult& result)
{
    std::string counts = std::to_string(result.imported) + (result.imported == 1 ? " game" : " games") +
                         " imported, " + std::to_string(result.failed) + " failed";
    for (const auto& [seasonFile, records] : result.notFound)
        counts += ", " + std::to_string(records) + " not found in " + seasonFile;
    return counts;
}

ImportResult Import(const std::string& file)
{
    // A season load is replacing the arrays this would patch; the shell refuses the command
    // while it runs, so this is only a safeguard.
    if (SeasonLoadRunning())
        return {};
    if (file.empty()) {
        MsgBox("No File Selected!");
        return {};
    }
    if (!FileExists(file)) {
        MsgBox("File " + file + " not found. Please make sure this file exists and then try again.", vbCritical,
               "File not found");
        return {};
    }
    if (!vb::Like(file, "*." + vb::Right(std::to_string(CurrentSeason), 2))) {
        MsgBox("This is not a valid data file", vbExclamation, "Invalid Format");
        return {};
    }
    std::string text, problem;
    if (!ReadWholeFile(file, text, problem, FileKind::StatFile)) {
        MsgBox(problem, vbCritical, "Error");
        return {};
    }
    // A field cut at a byte no text holds would be taken for the game's own figure.
    if (const std::string damage = StatFileTextDamage(text); !damage.empty()) {
        MsgBox(file + " is damaged: " + damage + ". Nothing was imported.", vbCritical, "Error");
        return {};
    }

    StatFileReader reader(std::move(text));
    ImportState st;
    const bool toTheEnd = ImportRecords(reader, file, st);
    st.CloseSeasonFile();
    // The records written reach the disk once, whether the import ran to the end or stopped.
    // A file that could not take them is named, and its games count as failed.
    if (const auto unwritten = st.written.Finish(); !unwritten.empty()) {
        for (const RecordSyncBatch::Failure& f : unwritten) {
            st.result.imported -= std::min(st.result.imported, static_cast<int>(f.records));
            st.result.failed += static_cast<int>(f.records);
        }
        MsgBox(RecordSyncBatch::Describe(unwritten), vbCritical, "Error");
    }
    if (!st.lineFilesLeft.empty()) {
        std::string text;
        for (const std::string& left : st.lineFilesLeft)
            text += (text.empty() ? "" : "\n") + left;
        MsgBox(text, vbCritical, "Error");
    }
    if (!toTheEnd)
        return st.result;
    st.result.finished = true;
    const std::string week = std::to_string(st.reportedWeek);
    if (st.result.failed == 0)
        MsgBox("Import of Week " + week + " Completed" + "\n" + ImportCounts(st.result) + ".", vbExclamation,
               "Import Complete!");
    else
        MsgBox("Import of Week " + week + " ended with errors" + "\n" + ImportCounts(st.result) + ".", vbCritical,
               "Import incomplete");
    TheLoaderHost().RefreshActiveView(true);
    return st.result;
}

} // namespace vexal
