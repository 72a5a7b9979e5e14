#pragma once
// The season-file side of the data-entry windows: reading the game on show, saving the
// edits of the Input Stats window, and rewriting named fields of one record in place.
// GUI-free.
#include "GameForm.h"
#include "GameRecord.h"
#include "GameWrite.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace vexal {

// Reads record `record` of a season file. False when the record lies outside the file; a
// file that cannot be read throws VbError, naming it.
bool ReadGame(const std::filesystem::path& seasonFile, int32_t record, GameRecord& game);

// The game a window shows: record `record` of the season file (zero past the end of the file),
// with its spread and total from the record, or with `seasonLines` false from the same record
// of `lineFile` (a line file of `seasonYear`) when that record is the game's line. A season
// file that cannot be read throws VbError, naming it. A line file that is there but cannot be
// read whole, is damaged or holds another game there (it no longer pairs with the season file)
// is named once (ReportFileProblem) and the record's own lines are shown.
void ReadShownGame(const std::filesystem::path& seasonFile, int32_t record, bool seasonLines,
                   const std::filesystem::path& lineFile, int seasonYear, GameRecord& game, double& line,
                   double& total);

// One of the other factors (Injuries, Psychological, Situational, Weather) of the game `shown`
// holds, as the window showed it: written only where record `record` still holds that game and
// the factor is still as shown (GameWrite.h). `stored` receives the record as the file holds it.
GameWrite PutGameFactor(const std::filesystem::path& seasonFile, int32_t record, const GameRecord& shown,
                        GameRecord::Field factor, int16_t value, GameRecord* stored = nullptr);
// The comment as typed (UTF-8), cut or padded with blanks to 75 bytes of ANSI text.
std::array<uint8_t, GameRecord::CommentLength> CommentBytes(const std::string& utf8);
// The comment of the game `shown` holds, by the same rule.
GameWrite PutGameComment(const std::filesystem::path& seasonFile, int32_t record, const GameRecord& shown,
                         const std::array<uint8_t, GameRecord::CommentLength>& comment, GameRecord* stored = nullptr);
// The stored comment as text, all 75 characters, trailing blanks kept.
std::string FullCommentText(const GameRecord& game);

// What saving the Input Stats edits of one game did.
struct GameSave {
    enum class Status {
        Saved,          // the record (and the line file in use) hold the edits
        Invalid,        // an edit was refused: `message` says which; nothing written
        GameRefused,    // the season file refused the write: `message` says why; nothing written
        LinesRefused,   // the record was written but the line file refused the spread and total
        Stale,          // the season file or the line file no longer holds the game or a changed field
                        // as shown: `message` says so (ChangedSinceShown); that file was not written
    };
    Status status = Status::Saved;
    std::string message;
    GameRecord game;            // the record as now stored (Saved, LinesRefused)
    double line = 0;            // the spread and total now stored
    double total = 0;
};

// Writes the boxes the user changed since the window showed `shown` (record `record` of the
// season file, with `shownLine` and `shownTotal`), and only those, into the record that still
// holds that game; with `seasonLines` false a changed spread or total goes to the same record
// of `lineFile` instead, and `shownLine`, `shownTotal` stay the stored values when that file
// refuses them. Every box is checked first, as ApplyGameEdits checks them.
GameSave SaveGameEdits(const GameEdits& edits, const std::filesystem::path& seasonFile, int32_t record,
                       const GameRecord& shown, bool seasonLines, const std::filesystem::path& lineFile,
                       double shownLine, double shownTotal);

} // namespace vexal
