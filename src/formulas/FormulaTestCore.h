#pragma once
// What the Test Formula window computes without its controls: the launch that turns the
// window's settings into the engine's low ends (CurrentFormula), high ends (FormulaHigh)
// and save filters (TestFilters); the texts of the best and worst rows and of the progress
// bar; the test template (.ftp) line; the All Formula Report's lines; the name and the
// slots of a saved best or worst formula. GUI-free.
#include "AppState.h"
#include "ResultRow.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexal::formulatest {

// The high ends of a back-test: 22 slots, which makes the engine grade played games only.
using FormulaHighArray = std::array<float, 22>;
using FilterArray = std::array<float, 5>;
using vexal::ResultRow;   // the engine's best and worst row layout

// The window's controls as the launch reads them. Texts as shown; check boxes 0, 1 or 2;
// week lists by their 0-based index (-1 = nothing chosen).
struct LaunchSettings {
    std::array<std::string, 10> Text1;   // items 1..9 used
    std::array<std::string, 10> Text2;
    std::array<std::string, 2> txtrola;
    int StartWeekIndex = -1;
    int EndWeekIndex = -1;
    int OtherFactors = 0;                 // cmdOtherFac
    int TotalsMode = 0;                   // cmdOU: 0 sides, 1 totals
    int SeparateHomeAway = 0, DiscardHighLow = 0, UsePowerRatings = 0, DontUseLine = 0;
    int Home = 0, Away = 0, Fav = 0, Dog = 0;
    int LimitWeek = 0;
    std::string LimitStart, LimitEnd;
    int Lines = 0;
    std::string LinesStart, LinesEnd;
    int SaveFormulas = 0;
    std::string UnitLower, UnitUpper, PercentLower, PercentUpper, Min;
};

// Runs one numbered step of the launch. The default runner just runs it (an error goes to
// the caller); the window's runner asks "Try and Continue?" and answers false to stop.
using StepRunner = std::function<bool(int line, const std::function<void()>& step)>;

// Copies the settings into the three arrays, step by step in the launch's order. Returns
// false when the runner stopped it.
bool ApplyLaunchSettings(const LaunchSettings& s, Formula& low, FormulaHighArray& high, FilterArray& filters,
                         const StepRunner& run = {});

// The line-range codes of a launch: 99/99 off; "ABS" in either text takes both as absolute
// ends (100 + |value|, strictly converted: VbError 13 when a text is no number); both texts
// strictly 0 gives 100/100; otherwise both by their leading numbers.
std::array<float, 2> LaunchLineRange(int chkLines, std::string_view start, std::string_view end);
// The same for a saved formula: nothing when an "ABS" text leaves no number.
std::optional<std::array<float, 2>> SavedLineRange(int chkLines, std::string_view start, std::string_view end);

// ---- Progress display

// The 13 boxes of a best or worst row (best(0..12), worst(0..12)) in the window's order.
enum RowBox : int {
    rbMinDiff = 0, rbMaxDiff = 1, rbHomeField = 2, rbOffense = 3, rbDefense = 4, rbRushing = 5, rbPassing = 6,
    rbTurnovers = 7, rbMultiplier = 8, rbRecord = 9, rbWinPercent = 10, rbUnits = 11, rbRollingWeeks = 12,
};
inline constexpr int RowBoxes = 13;
// Each weight box with the element of the engine's row it shows and the formula slot it
// saves into: the one table the boxes, Save Best and Save Worst share.
struct RowWeightBox {
    int box;
    int element;
    int slot;
};
inline constexpr RowWeightBox RowWeightBoxes[10] = {
    {rbRollingWeeks, rrRollingWeeks, fsRollingWeeks}, {rbHomeField, rrHomeField, fsHomeField},
    {rbMinDiff, rrMinDiff, fsMinDiff},                {rbMaxDiff, rrMaxDiff, fsMaxDiff},
    {rbMultiplier, rrMultiplier, fsMultiplier},       {rbTurnovers, rrTurnovers, fsTurnovers},
    {rbOffense, rrOffense, fsOffense},                {rbDefense, rrDefense, fsDefense},
    {rbRushing, rrRushing, fsRushing},                {rbPassing, rrPassing, fsPassing},
};

// The 13 box texts of a row: the weights as numbers, "W-L-T", the win % with one decimal and
// "%", the units with one decimal.
std::array<std::string, RowBoxes> RowTexts(const ResultRow& row);

struct ProgressView {
    std::string caption;
    std::optional<int> value;   // nothing: the bar keeps its value
};
// The bar of a normal test: a pending stop says so; above 100 shows 100.
ProgressView TestProgress(const std::string& percentDone, bool stopPending, float usePowerRating);
// The bar of an All Formula Report once `reported` of its `formulas` formulas are done;
// nothing for a run without formulas.
ProgressView AllFormulaProgress(int reported, int formulas);

// The breakdown text cut as the pane shows it: the first line, the second (each piece
// after the first starts with the line feed of the break before it) and the rest.
struct BreakdownPieces {
    std::string first, second, rest;
};
BreakdownPieces SplitBreakdown(const std::string& text);

// The breakdown as a rich-text document: the text in "Courier New", its first line bold and
// its second bold and underlined, as the pane shows it; non-ASCII characters as \'hh escapes.
std::string RichTextOf(const std::string& plainText);

// The web address the breakdown pane shows around character `at` of its text, ready to open
// ("www." addresses get "http://"); empty when no address covers that character. Only web
// and mail addresses count as links: the pane never starts a local file or program.
std::string LinkAt(std::string_view text, std::size_t at);

// ---- Test template (.ftp)

inline constexpr int TemplateFields = 46;
// The 46 fields joined by "," and ended by CR LF.
std::string TemplateLine(const std::vector<std::string>& fields);
// The first line trimmed and split at every ","; nothing for an empty line.
std::vector<std::string> TemplatePieces(std::string_view fileText);
// The path of a chosen name: as chosen when it ends in "ftp" in any case, else + ".ftp".
std::string TemplatePath(const std::string& chosen);
// Conversions of a loaded piece; nothing when it does not convert.
std::optional<int> TemplateWhole(std::string_view piece);
std::optional<bool> TemplateOption(std::string_view piece);

// ---- All Formula Report

std::string AllFormulaTitle(bool totals, const std::string& weekText, const std::string& date);
inline constexpr const char* AllFormulaHeader = "HFA Min. Max. Off. Def. Rush. Pass. T/O Mult. Roll.";
std::string AllFormulaValues(const Formula& f);
// "Options: ..." and "Optimized for: ..."; empty when the line is left out.
std::string AllFormulaOptions(const Formula& f);
std::string AllFormulaOptimized(const Formula& f);
// The name up to its first ".".
std::string AllFormulaName(const std::string& fileName);

// ---- Save Best / Save Worst

// The file name of a typed answer: as typed when it matches "*.fla" (case-sensitive), else
// with ".fla" added.
std::string SavedFormulaName(const std::string& answer);
// Slots 0 to 9 from the row's weight boxes, by their leading numbers.
void ApplyRowTexts(const std::array<std::string, RowBoxes>& boxes, Formula& f);

} // namespace vexal::formulatest
