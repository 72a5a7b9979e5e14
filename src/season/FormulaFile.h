#pragma once
// The formula file (.fla): one saved formula as a single line of 20 comma-separated numbers,
// 20 of the 24 current-formula slots in a fixed position order, ended by CR LF. The formula
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

inline constexpr int FormulaFilePositions = 20;
// The smart predictions keep only the first 14 positions.
inline constexpr int ShortFormulaFilePositions = 14;

// The CurrentFormula slot held by each position, in file order. Slots 12 to 15 (season to
// date, current week, totals mode, other factors) are never stored.
inline constexpr std::array<int, FormulaFilePositions> FormulaFileSlots{
    fsHomeField, fsMinDiff, fsMaxDiff, fsMultiplier, fsOffense, fsDefense, fsRollingWeeks,
    fsRushing, fsPassing, fsSeparateHomeAway, fsTurnovers, fsDiscardHighLow, fsNoLine,
    fsPowerRating, fsHomeOnly, fsAwayOnly, fsFavOrOver, fsDogOrUnder, fsLineStart, fsLineEnd};

// One value as stored: "." as the decimal point whatever the locale, a leading minus for a
// negative value, no point for a whole value (99, -1, 2.5, 0.1).
std::string FormulaNumberText(float value);

// The line of the values given in position order (up to 20), commas between, CR LF after.
std::string FormulaFileLine(std::span<const float> positionValues);
// The line of a formula: its slots in position order, all 20 or the first `positions`.
std::string FormulaFileLine(const Formula& formula, int positions = FormulaFilePositions);

// Writes the line as the whole file. A failed write leaves an older file of that name as it
// was and returns false.
[[nodiscard]] bool WriteFormulaFileValues(const std::filesystem::path& path, std::span<const float> positionValues,
                            WriteSync sync = WriteSync::Durable);
[[nodiscard]] bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula,
                      int positions = FormulaFilePositions);
// The same, with the reason for a failure in words a message can show.
bool WriteFormulaFile(const std::filesystem::path& path, const Formula& formula, std::string& reason,
                      int positions = FormulaFilePositions);

// The numbers of a formula file's text in position order, at most 20. Fields are separated by
// commas or line ends; blanks around a field are ignored; a field is read by its leading
// number (".5" and "0.5" alike, an empty field is 0). Reading stops at a number outside the
// Single range, as a damaged file does.
std::vector<float> ParseFormulaFileNumbers(std::string_view text);

// The reading rule every reader follows: all 24 slots are cleared, then the numbers found are
// put into their slots; positions missing from a short line stay 0. A missing or unreadable
// file leaves the formula all 0 and returns false; nothing is reported.
bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula);
// The same, with what is wrong with the file (naming it) when it cannot be read.
bool ReadFormulaFile(const std::filesystem::path& path, Formula& formula, std::string& problem);
void ApplyFormulaFileNumbers(std::span<const float> numbers, Formula& formula);

} // namespace vexal
