#pragma once
// The formula file (.fla): one saved formula as a single line of comma-separated numbers, the
// stored slots of the current formula (FormulaFileSlots: today 20 of the FormulaSlots) in a
// fixed position order, ended by CR LF. The formula
// editor, the Test Formula window, the Predictions window and the engine's good and bad
// formulas all write and read it through here, so every writer produces the same bytes and
// every reader applies the same rule to short or missing files. GUI-free.
#include "AppState.h"
#include "RecordFile.h"

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// The CurrentFormula slot held by each position, in file order: the one list of what a
// formula file stores. Slots 12 to 15 (season to date, current week, totals mode, other
// factors) are never stored. A slot stored later goes at the end, never between: the files
// users already have keep their positions.
inline constexpr auto FormulaFileSlots = std::to_array<int>(
    {fsHomeField, fsMinDiff, fsMaxDiff, fsMultiplier, fsOffense, fsDefense, fsRollingWeeks, fsRushing, fsPassing,
     fsSeparateHomeAway, fsTurnovers, fsDiscardHighLow, fsNoLine, fsPowerRating, fsHomeOnly, fsAwayOnly,
     fsFavOrOver, fsDogOrUnder, fsLineStart, fsLineEnd});
inline constexpr int FormulaFilePositions = static_cast<int>(FormulaFileSlots.size());
// Every length a whole formula file has had, oldest first, the last today's: a file of an older
// length is read as whole, the slots it does not reach keeping the value their reader starts
// from (0 in the editor, the prepared value in a run). A stored slot added to FormulaFileSlots
// adds its new length here, or every file users have would read as damaged.
inline constexpr auto WholeFormulaFileLengths = std::to_array<int>({20});
static_assert(WholeFormulaFileLengths.back() == FormulaFilePositions,
              "a stored formula slot was added: add the new length to WholeFormulaFileLengths, keeping the "
              "older ones, so the formula files users have stay whole");
// The smart predictions keep only the first 14 positions, in files whose names end in
// ".FLA" (sides) or "OU.FLA" (totals).
inline constexpr int ShortFormulaFilePositions = 14;
inline constexpr std::string_view SmartFormulaFileSuffix = ".FLA";

namespace formulafile {
consteval bool EverySlotStoredOnceAndNeverAnUnstoredOne()
{
    std::array<int, FormulaSlots> seen{};
    for (int slot : FormulaFileSlots) {
        if (slot < 0 || slot >= FormulaSlots || ++seen[static_cast<std::size_t>(slot)] > 1)
            return false;
        if (slot == fsSeasonToDate || slot == fsCurrentWeek || slot == fsTotalsMode || slot == fsOtherFactors)
            return false;
    }
    return true;
}
} // namespace formulafile
static_assert(formulafile::EverySlotStoredOnceAndNeverAnUnstoredOne(),
              "a formula file stores each slot once, and never slots 12 to 15");
static_assert(ShortFormulaFilePositions <= FormulaFilePositions);

// One value as stored: "." as the decimal point whatever the locale, a leading minus for a
// negative value, no point for a whole value (99, -1, 2.5, 0.1).
std::string FormulaNumberText(float value);

// The line of a formula: its slots in position order, all of them or the first `positions`,
// commas between, CR LF after.
std::string FormulaFileLine(const Formula& formula, int positions = FormulaFilePositions);

// Writes a formula's line as the whole file. Every formula file is written through here (the
// editor's save, the Test Formula window's best and worst rows, the engine's good and bad
// formulas, the smart predictions' short form), so each writer stores every position. A
// failed write leaves an older file of that name as it was and returns false.
[[nodiscard]] bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula,
                                    int positions = FormulaFilePositions, WriteSync sync = WriteSync::Durable);
// The same, with the reason for a failure in words a message can show.
bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula, std::string& reason,
                      int positions = FormulaFilePositions);

// The numbers of a formula file's text in position order, at most FormulaFilePositions. A UTF-8
// mark before the first is no part of it (WithoutUtf8Mark). Fields are separated by
// commas or line ends; blanks around a field are ignored; a field is read by its leading
// number (".5" and "0.5" alike, an empty field is 0). Reading stops at a number outside the
// Single range, as a damaged file does.
std::vector<float> ParseFormulaFileNumbers(std::string_view text);

// Puts numbers given in position order into their slots; the slots of positions they do not
// reach keep their values.
void PutFormulaFileNumbers(std::span<const float> numbers, Formula& formula);
// The same over a cleared formula: the slots of positions the numbers do not reach are 0.
void ApplyFormulaFileNumbers(std::span<const float> numbers, Formula& formula);

// What a formula file holds.
struct FormulaFileContents {
    bool read = false;            // false: missing, a folder, unreadable, damaged; `problem` says which
    bool damaged = false;         // read, but holding a byte no text holds (TextByteDamage): none of it is used
    std::string problem;          // naming the file
    std::vector<float> numbers;   // in position order, at most FormulaFilePositions
};
// Reads the file whole. A file holding a byte no text holds is damaged, whatever numbers come
// before the byte: no number of it is kept (a number cut at the byte would pass for the file's).
FormulaFileContents ReadFormulaFileContents(const std::filesystem::path& path);
// A file read whole: one of the WholeFormulaFileLengths, or the smart predictions' short form
// in a file named as they name theirs. Anything else that was read is a damaged file.
bool HoldsWholeFormula(const FormulaFileContents& contents, std::string_view fileName);
// A count of numbers that is one of the WholeFormulaFileLengths.
bool IsWholeFormulaLength(std::size_t count);

// The formula editor's reading rule (a formula file opened): every slot is cleared, then
// the numbers found are put into their slots; positions missing from a short line stay 0. A
// missing or unreadable file leaves the formula all 0 and returns false; nothing is reported.
bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula);
// The same, with what is wrong with the file (naming it) when it cannot be read.
bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula, std::string& problem);

// What is wrong with a formula file read whole that gives no whole formula, naming it:
// "<file> ends after 14 of the 20 numbers of a formula."
std::string CutFormulaProblem(const std::filesystem::path& file, std::size_t numbers);

// What the formula files of a run over a list (a report, a consensus) could not give: named
// once when the run ends (ListedFormulasMessage). Such a file has no row or block in the report.
struct ListedFormulaProblems {
    std::vector<std::string> damaged;   // names as listed: read, but no whole formula
    std::vector<std::string> unread;    // why each other file could not be read, naming it
    bool empty() const { return damaged.empty() && unread.empty(); }
};

// How every report and batch run reads a listed formula file into the formula prepared for it
// (cleared, with the run's own slots set), so that a formula runs the same whatever ran before
// it: the file's numbers go into their slots, the positions it lacks stay as prepared, and a
// formula left without a line range (both ends 0) runs without a line filter. A file that
// gives no whole formula (gone since it was listed, unreadable, damaged, cut short: anything
// but HoldsWholeFormula) leaves the prepared formula, none of its numbers used, and is added
// to the problems under `listedName`: false, and the caller runs nothing for it, for a row
// computed from the prepared formula alone would pass for the file's.
bool ReadListedFormula(const std::filesystem::path& file, const std::string& listedName, Formula& prepared,
                       ListedFormulaProblems& problems);
// The one message that names the files of a run that gave no formula ("" when there are none):
// the damaged ones together, then each unread one with its cause, each name once.
std::string ListedFormulasMessage(const ListedFormulaProblems& problems);
// The part of it that names the damaged formula files ("" when there are none).
std::string DamagedFormulasMessage(const std::vector<std::string>& fileNames);

} // namespace vexal
