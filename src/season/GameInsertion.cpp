#include "GameInsertion.h"

#include "FileChecks.h"
#include "LineRecord.h"
#include "Host.h"
#include "MsgBox.h"
#include "RecordFile.h"
#include "SeasonFileAccess.h"
#include "SharedProcs.h"
#include "VbError.h"

#include <functional>
#include <optional>
#include <string_view>

namespace vexal {

namespace {

enum class Rewrite { InsertAfter, Drop, InsertFirst };

// Writes the bytes to the write's temporary file and makes sure they reached the disk;
// VbError naming the file and the cause the write met when anything fails (the partial file
// is removed).
void WriteWhole(AtomicFileWrite& file, const std::vector<uint8_t>& bytes)
{
    if (!file.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
        throw file.Error();
}

void Commit(AtomicFileWrite& file)
{
    if (!file.Commit())
        throw file.Error();
}

// A blank record after `from`: its season, week and date, every other byte 0.
void AppendBlank(std::vector<uint8_t>& out, const uint8_t* from)
{
    GameRecord blank;
    if (from) {
        const GameRecord previous = GameRecord::Decode(from);
        blank.Year = previous.Year;
        blank.Week = previous.Week;
        blank.GameDate = previous.GameDate;
    }
    const auto bytes = blank.Encode();
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// Inserts `inserted` when given, else a blank record. `check` looks at the file as read and
// stops the rewrite unless it answers Done.
Rewritten RewriteSeasonFile(const std::filesystem::path& path, int32_t recordNumber, Rewrite how,
                            const GameRecord* inserted = nullptr,
                            const std::function<Rewritten(const RecordBytes&)>& check = {})
{
    // Only a path with nothing at it is "not found"; a file that is there but cannot be read is
    // an error naming it and the cause, and is never rewritten.
    RecordBytes file;
    std::string problem;
    if (!ReadRecordFile(path, GameRecord::Size, file, &problem)) {
        if (IsMissingFile(path)) {
            MsgBox(path.string() + " not found");
            return Rewritten::Missing;
        }
        throw VbError(VbError::PathFileAccess, problem);
    }
    if (check)
        if (const Rewritten found = check(file); found != Rewritten::Done)
            return found;
    const int32_t count = file.Count();

    const std::filesystem::path work = WorkCopyPath();
    std::error_code ec;
    if (std::filesystem::exists(work, ec))
        std::filesystem::remove(work, ec);

    std::vector<uint8_t> out;
    out.reserve((static_cast<std::size_t>(count) + 1) * GameRecord::Size);
    // The new game goes in with its data in this same rewrite, so that no interruption
    // leaves an empty game in the season.
    auto insert = [&](const uint8_t* from) {
        if (inserted) {
            const auto bytes = inserted->Encode();
            out.insert(out.end(), bytes.begin(), bytes.end());
        } else {
            AppendBlank(out, from);
        }
    };
    if (how == Rewrite::InsertFirst)
        insert(count > 0 ? file.Record(1) : nullptr);
    for (int32_t i = 1; i <= count; ++i) {
        const uint8_t* record = file.Record(i);
        if (i == recordNumber && how == Rewrite::Drop)
            continue;
        out.insert(out.end(), record, record + GameRecord::Size);
        if (i == recordNumber && how == Rewrite::InsertAfter)
            insert(record);
    }
    // The season file is replaced by the work copy; a write not committed removes its copy.
    AtomicFileWrite replacement(path, WriteSync::Durable, work);
    WriteWhole(replacement, out);

    // Keep the file as it was before this rewrite, then put the work copy in its place in
    // one rename, so that an interruption leaves the old file or its backup, never half a file.
    // The new backup is written whole beside the earlier one and only then takes its name, so
    // a full disk leaves the earlier backup as it was.
    const std::filesystem::path backup = BackupPath(path);
    std::filesystem::path newBackup = backup;
    newBackup += ".new";
    AtomicFileWrite backupWrite(backup, WriteSync::Durable, newBackup);
    // A first backup is the season file's in a folder a group shares, as the season file is.
    backupWrite.MadeLike(path);
    WriteWhole(backupWrite, file.Bytes());
    Commit(backupWrite);
    Commit(replacement);
    return Rewritten::Done;
}

// Whether record `recordNumber` of the file holds the game `key` names.
bool Holds(const RecordBytes& file, int32_t recordNumber, const GameKey& key)
{
    return recordNumber >= 1 && recordNumber <= file.Count() &&
           GameKey::Of(GameRecord::Decode(file.Record(recordNumber))) == key;
}

int16_t& GameAt(std::vector<int16_t>& a, int64_t i)
{
    if (i < 0 || i >= static_cast<int64_t>(a.size()))
        throw VbError::Of(VbError::SubscriptOutOfRange);
    return a[static_cast<std::size_t>(i)];
}

float& LineAt(std::vector<float>& a, int64_t i)
{
    if (i < 0 || i >= static_cast<int64_t>(a.size()))
        throw VbError::Of(VbError::SubscriptOutOfRange);
    return a[static_cast<std::size_t>(i)];
}

template <class T>
bool Inside(const std::vector<T>& a, int64_t i)
{
    return i >= 0 && i < static_cast<int64_t>(a.size());
}

// Moves blocks of `size` one block on, from the block before the last down to `first`,
// skipping elements outside the array; then writes `values` at `first`.
template <class T, class V>
void OpenBlock(std::vector<T>& a, int32_t first, int32_t last, int16_t size, const V& values)
{
    if (size <= 0)
        return;
    for (int64_t i = static_cast<int64_t>(last) - 2 * size + 1; i >= first; i -= size)
        for (int64_t j = 0; j < size; ++j)
            if (Inside(a, i + size + j) && Inside(a, i + j))
                a[static_cast<std::size_t>(i + size + j)] = a[static_cast<std::size_t>(i + j)];
    for (int64_t j = 0; j < size && j < static_cast<int64_t>(values.size()); ++j)
        if (Inside(a, first + j))
            a[static_cast<std::size_t>(first + j)] = values[static_cast<std::size_t>(j)];
}

} // namespace

std::filesystem::path WorkCopyPath() { return ProgramFolder() / "~temp.tmp"; }

std::filesystem::path BackupPath(const std::filesystem::path& seasonFile)
{
    std::filesystem::path backup = seasonFile;
    backup += ".old";
    return backup;
}

bool ReplaceFile(const std::filesystem::path& path, int32_t recordNumber, bool insert)
{
    return RewriteSeasonFile(path, recordNumber, insert ? Rewrite::InsertAfter : Rewrite::Drop) == Rewritten::Done;
}

bool ReplaceFileInsertFirst(const std::filesystem::path& path)
{
    return RewriteSeasonFile(path, 0, Rewrite::InsertFirst) == Rewritten::Done;
}

bool InsertGameRecord(const std::filesystem::path& path, int32_t recordNumber, const GameRecord& game)
{
    return RewriteSeasonFile(path, recordNumber, recordNumber > 0 ? Rewrite::InsertAfter : Rewrite::InsertFirst,
                             &game) == Rewritten::Done;
}

Rewritten InsertNewGame(const std::filesystem::path& path, int32_t recordNumber, const GameKey* after,
                        const GameRecord& game)
{
    const GameKey key = GameKey::Of(game);
    return RewriteSeasonFile(path, recordNumber, recordNumber > 0 ? Rewrite::InsertAfter : Rewrite::InsertFirst, &game,
                             [&](const RecordBytes& file) {
                                 for (int32_t i = 1; i <= file.Count(); ++i)
                                     if (Holds(file, i, key))
                                         return Rewritten::Present;
                                 if (after && !Holds(file, recordNumber, *after))
                                     return Rewritten::Moved;
                                 return Rewritten::Done;
                             });
}

Rewritten RemoveGame(const std::filesystem::path& path, int32_t recordNumber, const GameKey& key)
{
    return RewriteSeasonFile(path, recordNumber, Rewrite::Drop, nullptr, [&](const RecordBytes& file) {
        return Holds(file, recordNumber, key) ? Rewritten::Done : Rewritten::Moved;
    });
}

void InsertGameRow(std::vector<int16_t>& SeasonGames, const GameRecord& record, int32_t first, int32_t last, int16_t size)
{
    OpenBlock(SeasonGames, first, last, size, record.GameFields());
}

void InsertLinePair(std::vector<float>& SeasonLines, const GameRecord& record, int32_t first, int32_t last, int16_t size)
{
    const std::array<float, 2> pair{record.LineSingle(), record.TotalSingle()};
    OpenBlock(SeasonLines, first, last, size, pair);
}

void RemoveGameRow(std::vector<int16_t>& SeasonGames, int32_t first, int32_t last, int16_t size)
{
    if (size <= 0)
        return;
    for (int64_t i = first; i <= static_cast<int64_t>(last) - size; i += size)
        for (int64_t j = 0; j < size; ++j)
            GameAt(SeasonGames, i + j) = GameAt(SeasonGames, i + size + j);
    for (int64_t j = 0; j < size; ++j)
        GameAt(SeasonGames, static_cast<int64_t>(last) + j) = 0;
}

void RemoveLinePair(std::vector<float>& SeasonLines, int32_t first, int32_t last, int16_t size)
{
    if (size <= 0)
        return;
    for (int64_t i = first; i <= static_cast<int64_t>(last) - size; i += size)
        for (int64_t j = 0; j < size; ++j)
            LineAt(SeasonLines, i + j) = LineAt(SeasonLines, i + size + j);
    for (int64_t j = 0; j < size; ++j)
        LineAt(SeasonLines, static_cast<int64_t>(last) + j) = 0.0f;
}

struct LineFilesFollow::Rewrite {
    Rewrite(std::filesystem::path lineFile, int32_t record) : file(std::move(lineFile)), from(record), write(file) {}
    std::filesystem::path file;
    int32_t from;            // the first record the change moves
    AtomicFileWrite write;
};

LineFilesFollow::LineFilesFollow() = default;
LineFilesFollow::~LineFilesFollow() = default;
LineFilesFollow::LineFilesFollow(LineFilesFollow&&) noexcept = default;
LineFilesFollow& LineFilesFollow::operator=(LineFilesFollow&&) noexcept = default;

namespace {

// What a line file becomes: its bytes with the change made, and the first record it moves;
// nothing when the file is to be left as it is.
struct LineChange {
    std::vector<uint8_t> bytes;
    int32_t from = 0;
};

// Each line file of the season that reads whole and sound, with the change `change` makes of it.
template <class Change>
LineFilesFollow::Rewrites Prepare(const std::filesystem::path& folder, int year, const Change& change)
{
    LineFilesFollow::Rewrites rewrites;
    for (const std::filesystem::path& file : LineFilesOf(folder, year)) {
        std::vector<uint8_t> bytes;
        std::string problem;
        if (!ReadWholeFile(file, bytes, problem, FileKind::Line) ||
            !LineFileDamage(bytes.data(), bytes.size(), year).empty())
            continue;
        const std::optional<LineChange> changed = change(RecordBytes(std::move(bytes), LineRecord::Size));
        if (!changed)
            continue;
        auto rewrite = std::make_unique<LineFilesFollow::Rewrite>(file, changed->from);
        if (!rewrite->write.Write(
                std::string_view(reinterpret_cast<const char*>(changed->bytes.data()), changed->bytes.size())))
            throw rewrite->write.Error();
        rewrites.push_back(std::move(rewrite));
    }
    return rewrites;
}

GameKey KeyAt(const RecordBytes& lines, int32_t record) { return GameKey::Of(LineRecord::Decode(lines.Record(record))); }

} // namespace

LineFilesFollow LineFilesFollow::Insertion(const std::filesystem::path& folder, int year, int32_t after,
                                           const GameKey* afterKey, const GameKey& game)
{
    LineFilesFollow follow;
    follow.rewrites_ = Prepare(folder, year, [&](const RecordBytes& lines) -> std::optional<LineChange> {
        const int32_t n = lines.Count();
        // A line file that ends before the new game's place, or at it but before its week, was
        // made before the game's week came: it gets no record for it, as for any later game.
        if (after > n || (after == n && LineRecord::Decode(lines.Record(n)).Week != game.Week))
            return std::nullopt;
        if (after > 0 && (!afterKey || KeyAt(lines, after) != *afterKey))
            return std::nullopt;
        LineRecord line;
        line.Year = game.Year;
        line.Week = game.Week;
        line.HomeTeam = game.HomeTeam;
        line.AwayTeam = game.AwayTeam;
        const auto record = line.Encode();
        const auto& old = lines.Bytes();
        const auto at = old.begin() + static_cast<std::ptrdiff_t>(after) * static_cast<std::ptrdiff_t>(LineRecord::Size);
        LineChange change;
        change.from = after + 1;
        change.bytes.reserve(old.size() + LineRecord::Size);
        change.bytes.insert(change.bytes.end(), old.begin(), at);
        change.bytes.insert(change.bytes.end(), record.begin(), record.end());
        change.bytes.insert(change.bytes.end(), at, old.end());
        return change;
    });
    return follow;
}

LineFilesFollow LineFilesFollow::Removal(const std::filesystem::path& folder, int year, int32_t record,
                                         const GameKey& game)
{
    LineFilesFollow follow;
    follow.rewrites_ = Prepare(folder, year, [&](const RecordBytes& lines) -> std::optional<LineChange> {
        if (record < 1 || record > lines.Count() || KeyAt(lines, record) != game)
            return std::nullopt;
        const auto& old = lines.Bytes();
        const auto at = old.begin() + static_cast<std::ptrdiff_t>(record - 1) * static_cast<std::ptrdiff_t>(LineRecord::Size);
        LineChange change;
        change.from = record;
        change.bytes.reserve(old.size());
        change.bytes.insert(change.bytes.end(), old.begin(), at);
        change.bytes.insert(change.bytes.end(), at + LineRecord::Size, old.end());
        return change;
    });
    return follow;
}

std::vector<std::string> LineFilesFollowTeams(const std::filesystem::path& folder, int32_t record, const GameKey& was,
                                              uint8_t homeTeam, uint8_t awayTeam)
{
    std::vector<std::string> failures;
    for (const std::filesystem::path& file : LineFilesOf(folder, was.Year)) {
        try {
            RewriteGameWhereItIs<LineRecord>(file, record, was, [&](LineRecord& line) {
                line.HomeTeam = homeTeam;
                line.AwayTeam = awayTeam;
            });
        } catch (const VbError& e) {
            failures.push_back(e.Description() + " It no longer pairs with its season file at record " +
                               std::to_string(record) + "; the season file's lines are used for that game.");
        }
    }
    return failures;
}

std::vector<std::string> LineFilesFollow::Commit()
{
    std::vector<std::string> failures;
    for (const auto& r : rewrites_)
        if (!r->write.Commit())
            failures.push_back(r->write.Describe() + " It no longer pairs with its season file from record " +
                               std::to_string(r->from) +
                               " on; the season file's lines are used for the games it does not pair.");
    rewrites_.clear();
    return failures;
}

} // namespace vexal
