#pragma once
// The season-file side of the data-entry windows: reading the game on show, saving the
// edits of the Input Stats window, and rewriting named fields of one record in place.
// GUI-free.
#include "GameForm.h"
#include "GameRecord.h"

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
// of `lineFile` (a line file of `seasonYear`) when that file holds it. A season file that
// cannot be read throws VbError, naming it. A line file that is there but cannot be read whole
// or is damaged is named once (ReportFileProblem) and the record's own lines are shown.
void ReadShownGame(const std::filesystem::path& seasonFile, int32_t record, bool seasonLines,
                   const std::filesystem::path& lineFile, int seasonYear, GameRecord& game, double& line,
                   double& total);

// Rewrites one record in place after `edit` changed its decoded fields, the rest of the
// record as it is on disk. False (nothing written) when the file is missing, the record lies
// outside it or the read or the write fails; `reason` then says why in words that follow a
// message naming the file (FailureCause: the failure that happened, in its own words).
bool UpdateGameRecord(const std::filesystem::path& seasonFile, int32_t record,
                      const std::function<void(GameRecord&)>& edit, std::string* reason = nullptr);
// One of the other factors (Injuries, Psychological, Situational, Weather).
bool PutGameFactor(const std::filesystem::path& seasonFile, int32_t record, GameRecord::Field factor, int16_t value,
                   std::string* reason = nullptr);
// The comment as typed (UTF-8), cut or padded with blanks to 75 bytes of ANSI text.
std::array<uint8_t, GameRecord::CommentLength> CommentBytes(const std::string& utf8);
bool PutGameComment(const std::filesystem::path& seasonFile, int32_t record,
                    const std::array<uint8_t, GameRecord::CommentLength>& comment, std::string* reason = nullptr);
// The stored comment as text, all 75 characters, trailing blanks kept.
std::string FullCommentText(const GameRecord& game);

// What saving the Input Stats edits of one game did.
struct GameSave {
    enum class Status {
        Saved,          // the record (and the line file in use) hold the edits
        Invalid,        // an edit was refused: `message` says which; nothing written
        GameRefused,    // the season file refused the write: `message` says why; nothing written
        LinesRefused,   // the record was written but the line file refused the spread and total
    };
    Status status = Status::Saved;
    std::string message;
    GameRecord game;            // the record as now stored (Saved, LinesRefused)
    double line = 0;            // the spread and total now stored
    double total = 0;
};

// Applies the edits to record `record` as the season file holds it now and writes it back;
// with `seasonLines` false the spread and total go to the same record of `lineFile` instead,
// and `shownLine`, `shownTotal` stay the stored values when that file refuses them.
GameSave SaveGameEdits(const GameEdits& edits, const std::filesystem::path& seasonFile, int32_t record,
                       bool seasonLines, const std::filesystem::path& lineFile, double shownLine, double shownTotal);

} // namespace vexal
