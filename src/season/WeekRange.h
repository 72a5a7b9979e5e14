#pragma once
// The week selector cboWeek and what ties it to the loaded seasons: choosing a week, the
// season a week slot belongs to, a week's records in its season file, where the current
// season's spreads and totals come from, and the exact-text search of a list.
// The selector's model is Season().WeekItems with Season().WeekListIndex chosen.
#include "SeasonFileAccess.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vexal {

struct GameRecord;
struct LineRecord;
struct SeasonData;

// "Wk 5 of 2023": a week's text in the week selector.
std::string WeekText(int week, int year);

// The week selector's click: makes the chosen week current (CurrentWeek, WeekSeason, the
// division order) and refreshes the active view; nothing when the week is already current,
// when no week is chosen, or while a load is reading records.
void cboWeek_Click();
// Chooses position `index` in the week selector (-1 = none) and runs its click handler,
// as setting the selector's position does. False when the position does not exist.
bool SelectWeek(int index);
// The text the week selector shows: the chosen item, or "" when none is chosen.
std::string WeekSelectorText();

// True when the loaded seasons hold the current week (CurrentFormula slot 13), which every
// view computes with; false before any season has loaded (its file could not be read).
bool CurrentWeekLoaded();

// A loaded week and its season: a week is its number, never its place among the season's
// weeks (a season file may lack a week, as 1987 lacks week 3).
struct SeasonWeek {
    int year = 0;
    int week = 0;
};
// The week of week slot `slot` of Season(): the one its item in the week selector names, when
// that week is loaded in that slot (LoadedWeekSlot gives the slot back); nothing otherwise.
std::optional<SeasonWeek> WeekOfSlot(int slot);
// The same for the current week (CurrentFormula slot 13, the slot plus 1).
std::optional<SeasonWeek> CurrentSeasonWeek();

// The first week slot of the loaded season that holds week slot w (of Season(), or of the
// seasons given).
int16_t SeasonStartWeek(int16_t weekSlot);
int16_t SeasonStartWeek(const SeasonData& seasons, int16_t weekSlot);

// Sets WeekFirstRecord and NextWeekFirstRecord for a week of a season file (Week > 0), or
// for the current week (Week <= 0: CurrentSeasonWeek), and CurrentGame = 0.
// NextWeekFirstRecord of a file's last week is the record count; both are 0 when the file
// is missing or neither the week nor a later week has a record. A season file that is there
// but cannot be read leaves both 0 and throws VbError naming it and the cause.
void SetWeekRange(int16_t Week, int16_t Season);

// The line file of a name and season in the program folder (FindLineFile): <name>.L<yy>, or
// the file listed under that name whose suffix is written in another letter case.
std::filesystem::path LineFilePath(const std::string& name, int seasonYear);

// Whether a saved line-file choice missing from a list of line files stays chosen: while
// something of its name is there, even what the list leaves out (a folder, a pipe, a
// device), as an unreadable or oversized file stays; reading it then names what is wrong,
// where falling back to "Default" would change the setting without a word.
bool LineFileStaysChosen(const std::string& name, int seasonYear);

// Reads the line file in use of the season whole. False when it is missing, or (named once,
// ReportFileProblem) when it cannot be read whole or is damaged: the season file's lines
// stand in for it. A file read whole is found sound once it pairs (NameUnpairedLineFile).
bool ReadLineFileInUse(const std::filesystem::path& path, int seasonYear, RecordBytes& out);

// What shows that a line file no longer pairs with its season file, record for record (a
// record of it holds another game than the season record of its number, or it goes on past
// the season file's end), in words for a message; empty when it pairs. A line file shorter
// than the season file pairs: it was made before the later weeks came.
std::string LinePairingProblem(const RecordBytes& lines, const RecordBytes& games);
// The same for line record `record` and the season record of its number (none: the season
// file ends before it).
std::string LinePairingProblem(int32_t record, const LineRecord& line, const GameRecord* game);
// Names a line file in use that no longer pairs with its season file (`problem`) once
// (ReportFileProblem): the season file's lines stand in for the games it does not pair. One
// that pairs (no problem) is found sound (ForgetFileProblem), so that a later problem is news.
void NameUnpairedLineFile(const std::filesystem::path& lineFile, const std::filesystem::path& seasonFile,
                          const std::string& problem);

// True when the chosen week's spreads and totals come from its season file.
bool UseSeasonFileLines();
// Re-reads the current season's spreads and totals into SeasonLines from the season file or
// the line file in use. A game the line file lacks, or whose line record holds another game,
// keeps its season record's lines; a missing line file is never created, and one that cannot be
// read or no longer pairs with the season file is named (ReadLineFileInUse, NameUnpairedLineFile).
// When the file of a loaded season (WeekLinesSeasonFile) is missing or cannot be read, its
// games keep no lines of the source chosen before: they take the line file's, else none (0),
// and VbError names the file and the cause for the caller to report.
void LoadWeekLines(bool ForceLineFile);
// The season file LoadWeekLines walks: the loaded season's when its lines come from the line
// file, else the current season's.
std::filesystem::path WeekLinesSeasonFile(bool ForceLineFile);

// Position of the item whose whole text equals `text` (letter case ignored), appended at the
// end when missing.
int FindOrAddComboItem(std::vector<std::string>& list, const std::string& text);
// Position of that item, or -1.
int FindComboItem(const std::vector<std::string>& list, const std::string& text);

// The same look-ups for a loop that makes many: each in constant time. The index follows the
// list it was made from as long as items are added only through FindOrAdd.
class ComboItemIndex {
public:
    explicit ComboItemIndex(const std::vector<std::string>& list);
    int Find(const std::string& text) const;
    int FindOrAdd(std::vector<std::string>& list, const std::string& text);

private:
    std::unordered_map<std::string, int> first_; // letter case folded; the first such item
};

} // namespace vexal
