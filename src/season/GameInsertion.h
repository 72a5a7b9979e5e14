#pragma once
// Opening and closing a gap for one game: in a season file (rewritten through the work copy
// "~temp.tmp", the previous file kept as "<file>.old") and in a week block of the loaded
// arrays (16 game slots of 32 fields in SeasonGames, 16 pairs in SeasonLines).
#include "GameRecord.h"
#include "GameWrite.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vexal {

// Rewrites a season file with a blank record inserted right after record `recordNumber`
// (insert True; the blank takes that record's year, week and date, every other field 0) or
// with that record dropped (insert False). A record number of 0 or above the count rewrites
// the file unchanged. The file is replaced only at the end, by renaming the finished work
// copy over it, after the previous file was copied to "<file>.old"; a failure before that
// leaves the season file as it was and raises VbError. A missing file gets the message
// "<path> not found" and nothing is written; the result then is false.
bool ReplaceFile(const std::filesystem::path& path, int32_t recordNumber, bool insert);
// The same rewrite, with the blank record put before record 1.
bool ReplaceFileInsertFirst(const std::filesystem::path& path);
// The same rewrite with `game` in place of the blank record, after record `recordNumber`
// (before record 1 when it is 0 or less): the game is in the file whole or not at all.
bool InsertGameRecord(const std::filesystem::path& path, int32_t recordNumber, const GameRecord& game);

// What a rewrite that looks at the file as it reads it did. Another program or a sync tool may
// have changed the file since the caller read it.
enum class Rewritten {
    Done,
    Missing,   // nothing at the path ("<path> not found" was said); nothing written
    Present,   // the file holds the game to insert already; nothing written
    Moved,     // the record the rewrite goes by no longer holds the game meant; nothing written
};
// InsertGameRecord, only when the file as read for the rewrite holds no game of `game`'s season,
// week and teams, and (with `after`) record `recordNumber` still holds the game `after` names.
Rewritten InsertNewGame(const std::filesystem::path& path, int32_t recordNumber, const GameKey* after,
                        const GameRecord& game);
// ReplaceFile's removal of record `recordNumber`, only while it holds the game `key` names.
Rewritten RemoveGame(const std::filesystem::path& path, int32_t recordNumber, const GameKey& key);

// The work copy: "~temp.tmp" in the program folder.
std::filesystem::path WorkCopyPath();
// "<season file>.old"
std::filesystem::path BackupPath(const std::filesystem::path& seasonFile);

// The same insertion or removal in every line file of a season, so that each keeps one record
// per season record under the same numbers. Each line file is written whole beside itself
// before the season file is rewritten (a failure then throws VbError naming it and the cause,
// and the season file is left alone too), and put in its place by Commit once the season file
// took the change; a rewrite of the season file that did not happen puts none in place. A line
// file that cannot be read or is damaged is left as its readers take it, and so is one that no
// longer pairs with the season file where the change goes, or that ends before it (made
// before the later weeks came).
class LineFilesFollow {
public:
    LineFilesFollow();
    ~LineFilesFollow();
    LineFilesFollow(LineFilesFollow&&) noexcept;
    LineFilesFollow& operator=(LineFilesFollow&&) noexcept;

    // The line files of `year` in `folder`, for `game` inserted after season record `after`
    // (0: before record 1), which holds the game `afterKey` names. The inserted line record
    // holds the game's season, week and teams and no line.
    static LineFilesFollow Insertion(const std::filesystem::path& folder, int year, int32_t after,
                                     const GameKey* afterKey, const GameKey& game);
    // The same for season record `record`, which holds `game`, removed.
    static LineFilesFollow Removal(const std::filesystem::path& folder, int year, int32_t record, const GameKey& game);
    // Puts each line file written in its place. What could not be, one message a file: the file,
    // the cause, and that it no longer pairs with the season file from the change on.
    std::vector<std::string> Commit();

    struct Rewrite;
    using Rewrites = std::vector<std::unique_ptr<Rewrite>>;

private:
    Rewrites rewrites_;
};

// The teams of the game `was` names changed in record `record` of its season file: the same
// record of every line file of the season takes them, where it holds that game, so that it
// still pairs. Written in place (GameWrite.h); a line file whose record holds another game is
// left as it is. What could not be written, one message a file naming it and the cause.
std::vector<std::string> LineFilesFollowTeams(const std::filesystem::path& folder, int32_t record, const GameKey& was,
                                              uint8_t homeTeam, uint8_t awayTeam);

// Opens the game slot whose first element is `first` (moving the slots after it, up to the
// week block's last element `last`, one slot on; the last slot's old content is lost) and
// fills it from the record as the loader fills a game slot. Elements outside the array are
// skipped one by one.
void InsertGameRow(std::vector<int16_t>& SeasonGames, const GameRecord& record, int32_t first, int32_t last, int16_t size);
// The same for a spread and total pair; `last` is the week's last element of SeasonLines.
void InsertLinePair(std::vector<float>& SeasonLines, const GameRecord& record, int32_t first, int32_t last, int16_t size);
// Closes the game slot at `first`: the slots after it move one slot back, up to the slot that
// starts at `last`, which is cleared. Throws VbError 9 at the first element outside the array
// (the moves made before it stay).
void RemoveGameRow(std::vector<int16_t>& SeasonGames, int32_t first, int32_t last, int16_t size);
// The same for a pair of SeasonLines; `last` is the first element of the week's last pair.
void RemoveLinePair(std::vector<float>& SeasonLines, int32_t first, int32_t last, int16_t size);

} // namespace vexal
