#pragma once
// Named line files: creating one from a season file, listing those of a season, and the
// reading and rewriting of a week's spreads and totals that the Enter Lines window does,
// from either a season file (159-byte records) or a line file (21-byte records).
// GUI-free: the window only moves these values in and out of its controls.
#include "GameWrite.h"
#include "LineRecord.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexal {

class RecordSyncBatch;

// False for a typed name that could leave the program folder or that the file system
// cannot hold: empty, "..", a path separator, a control character, one of < > : " | ? *,
// or a name ending in a blank or a period.
bool IsPlainLineFileName(const std::string& name);

// Writes <lineFile> as one 21-byte line record per record of <seasonFile>, replacing an
// existing file whole. False (and the old file untouched) when the season file cannot be
// read, holds no game, or the new file cannot be written, with words naming the file that
// failed and the cause in `problem` when asked for.
[[nodiscard]] bool CreateLineFile(const std::filesystem::path& seasonFile, const std::filesystem::path& lineFile,
                                  std::string* problem = nullptr);

// After a line file is made from the season file: the season's own spreads and totals go
// back into SeasonLines, placed by the week selector's items ("Wk <w> of <year>") and a game
// counter within each week. Records of weeks not listed, and games beyond the 16 slots of a
// week, change nothing. A season file that cannot be read throws VbError and changes nothing.
void RestoreSeasonLines(const std::filesystem::path& seasonFile);

// One game of a week as the Enter Lines grid shows it.
struct WeekLine {
    int32_t Record = 0;   // record number in its file, from 1
    int HomeTeam = 0;
    int AwayTeam = 0;
    double Line = 0;
    double Total = 0;
    int Year = 0;         // the record's season and week
    int Week = 0;
};

struct WeekLines {
    int32_t FirstRecord = 0;       // first record of the week (0 when it has none)
    int32_t NextFirstRecord = 0;   // first record of a later week (the record count when none follows)
    int32_t RecordCount = 0;
    std::vector<WeekLine> Games;
};

// Where the game `key` names stands in the week (from 0), as `week` was read; `fallback`,
// kept within the week, when the week no longer holds it. A window showing one game of a week
// read again keeps the same game on show, wherever the week's records moved.
int PlaceInWeek(const WeekLines& week, const GameKey& key, int fallback);
// Loads week `week` of `year` again as `seasonFile` now holds it (ReloadWeekSlot, the lines
// from `lineFile` when one is given) and says where the game `key` names stands in it now
// (PlaceInWeek). A season file that cannot be read throws VbError and changes nothing.
int ReloadWeekKeepingGame(const std::filesystem::path& seasonFile, int year, int week,
                          const std::filesystem::path& lineFile, const GameKey& key, int fallback);

// Whether a line file of the season reads whole and sound: false with what is wrong, naming
// the file ("... could not be read: ...", "... is damaged: ..."), for a message.
bool CheckLineFile(const std::filesystem::path& file, int seasonYear, std::string& problem);

// Reads the games of week `week` from a season file (lineFile false) or a line file.
// Throws VbError 53 when the file is missing.
WeekLines ReadWeekLines(const std::filesystem::path& file, bool lineFile, int week);

// Rewrites the spread, the total or both (those given) of one game in place, by the rule of
// GameWrite.h: record `record` must still hold the game `shown` names (its season, week and
// teams), and a value given that the file holds otherwise than `shown` has it (and not as
// given) refuses the write; every other byte keeps its value. Nothing is written when the record
// lies outside the file, the file is missing or cannot be read or written; the result's reason
// then says why in words that follow a message naming the file (FailureCause). Values are
// stored as the file's fixed-point currency. `storedLine` and `storedTotal` receive the spread
// and total the record holds afterwards. With a batch, the record reaches the disk when the
// batch is finished.
[[nodiscard]] GameWrite WriteRecordLines(const std::filesystem::path& file, bool lineFile, int32_t record,
                                         const WeekLine& shown, std::optional<double> line,
                                         std::optional<double> total, RecordSyncBatch* batch = nullptr,
                                         double* storedLine = nullptr, double* storedTotal = nullptr);

// Reads a spread or total as a number typed for it is read (ReadTypedNumber, TypedNumber.h):
// empty text is 0; "." is the decimal separator. False for text that is not a number or lies
// outside what a line can hold (+/- 1000 points).
bool ParseLineValue(const std::string& text, double& value);

} // namespace vexal
