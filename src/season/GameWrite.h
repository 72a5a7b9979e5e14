#pragma once
// A game record is written only where it still is. Another program instance, a sync tool or a
// copy may have changed a season or line file since a window showed its week or the import read
// it: at the moment of the write the record is read again, it must still hold the game the writer
// means (its season, week and teams), and only the fields that write owns change; every other
// byte goes back as the file holds it then. One rule for the data-entry windows and the stat
// import, for season records and line records alike.
#include "GameRecord.h"
#include "LineRecord.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace vexal {

class RecordFile;
class RecordSyncBatch;

// Which game a record holds.
struct GameKey {
    int16_t Year = 0;
    uint8_t Week = 0;
    uint8_t HomeTeam = 0;
    uint8_t AwayTeam = 0;
    template <class Record>
    static GameKey Of(const Record& r)
    {
        return {r.Year, r.Week, r.HomeTeam, r.AwayTeam};
    }
    bool operator==(const GameKey&) const = default;
    // "Atlanta at Carolina in week 5 of 2024", the teams named as the season named them.
    std::string Text() const;
};

// What a write of one game record did.
struct GameWrite {
    enum class Status {
        Written,   // the record holds what the write owns
        Moved,     // the record no longer holds the game meant (or the file ends before it): nothing written
        Changed,   // a field the write owns was changed in the file since it was shown: nothing written
        Failed,    // the file could not be read or written: nothing written
    };
    Status status = Status::Written;
    // Moved, Changed: what the file holds now, for ChangedSinceShown; Failed: the cause in words
    // that follow a message naming the file (FailureCause).
    std::string reason;
    bool Written() const { return status == Status::Written; }
    // The file no longer holds what the writer saw: the write is refused and the week shown again.
    bool Stale() const { return status == Status::Moved || status == Status::Changed; }
};

// "2024.nfl changed since the week was shown: <reason>. The week is shown as the file now holds it."
std::string ChangedSinceShown(const std::filesystem::path& file, const std::string& reason);

// Rewrites record `record` of `file` in place (GameRecord: a season file, LineRecord: a line
// file): read now, it must hold the game `key` names; `edit` then changes the record as read,
// and it goes back with every field `edit` left as the file held it. `stored` receives the
// record as the file holds it afterwards (as read, when nothing was written). The file is never
// created: a file missing, or one that cannot be read or written, throws VbError naming it and
// the cause (the result is Written or Moved). With a batch, the record reaches the disk when the
// batch is finished.
template <class Record>
GameWrite RewriteGameWhereItIs(const std::filesystem::path& file, int32_t record, const GameKey& key,
                               const std::function<void(Record&)>& edit, Record* stored = nullptr,
                               RecordSyncBatch* batch = nullptr);

// The same in a record file the caller keeps open (with the batch it was opened with): a
// writer of many records (the stat import) opens its file once, and each write still reads its
// record again. The caller makes sure the file is still the one at its path
// (RecordFile::StillAtPath). A read or write that fails throws VbError naming the file.
template <class Record>
GameWrite RewriteGameWhereItIs(RecordFile& file, int32_t record, const GameKey& key,
                               const std::function<void(Record&)>& edit, Record* stored = nullptr);

// The write of a window: the `owned` fields (indexes into Record::Layout()) go from what the
// window showed (`shown`) to what it wants (`wanted`), in the record that still holds the game
// `shown` holds. A field it owns that the file holds otherwise than shown, and not as wanted,
// refuses the write (Changed).
template <class Record>
GameWrite WriteShownFields(const std::filesystem::path& file, int32_t record, const Record& shown, const Record& wanted,
                           std::span<const std::size_t> owned, Record* stored = nullptr, RecordSyncBatch* batch = nullptr);

// Indexes of the fields of the two records, for WriteShownFields.
constexpr std::size_t FieldIndex(GameRecord::Field field) { return static_cast<std::size_t>(field); }
inline constexpr std::size_t LineRecordLine = 4;    // LineRecord::Layout(): Year, Week, HomeTeam, AwayTeam, Line, Total
inline constexpr std::size_t LineRecordTotal = 5;

// The loaded arrays' slot of week `week` of `year` as `seasonFile` now holds it: each game's
// fields from its record, the spread and total from the same record of `lineFile` when one is
// given and that record is the line of the same game (LineRecord::IsLineOf), else from the
// season record; game slots the week no longer fills are cleared. Nothing changes when the
// week is not loaded. A season file that cannot be read throws VbError naming it and changes
// nothing.
void ReloadWeekSlot(const std::filesystem::path& seasonFile, int year, int week,
                    const std::filesystem::path& lineFile = {});

} // namespace vexal
