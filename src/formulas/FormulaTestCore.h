#pragma once
// What the Test Formula window computes without its controls: the launch that turns the
// window's settings into the engine's low ends (CurrentFormula), high ends (FormulaHigh)
// and save filters (TestFilters); the texts of the best and worst rows and of the progress
// bar; the test template (.ftp) line; the printed summary; the All Formula Report's run and
// lines; the name and the slots of a saved best or worst formula. GUI-free.
#include "AppState.h"
#include "FormulaFile.h"
#include "ResultRow.h"

namespace vexal {
class TSPredict;
}

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexal::formulatest {

// The high ends of a back-test (it grades played games only).
using FormulaHighArray = FormulaHighEnds;
using FilterArray = std::array<float, TestFilterCount>;
using vexal::ResultRow;   // the engine's best and worst row layout

// The formula slot each range row of the window tests, rows 1 to 9 (Text1 low, Text2 high):
// on screen rows 6 and 7 feed slots 6 and 5. The rolling weeks (txtrola) test fsRollingWeeks.
inline constexpr int RangeRowSlot[10] = {-1, fsMinDiff, fsMaxDiff, fsHomeField, fsOffense, fsDefense,
                                         fsRushing,  fsPassing, fsTurnovers, fsMultiplier};

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
// What shows that a template's text is none the program or an editor wrote, in words for a
// message ("it holds a byte no template holds (0 at byte 3)"); empty when the file holds a
// line and no byte no text holds (TextByteDamage), whether a line break ends it or not.
std::string TemplateTextDamage(std::string_view fileText);
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

// A whole All Formula Report: every formula file of the list tested in turn over the chosen
// weeks, its values and options and the engine's final breakdown written into the report.
struct AllFormulaSettings {
    std::filesystem::path folder;             // the formula files, and the report written there
    std::vector<std::string> names;           // the formula files in the list's order
    bool totals = false;
    float seasonToDate = 0;                   // the formula editor's choice
    bool otherFactors = false;
    int startWeekIndex = -1, endWeekIndex = -1;
    bool limitWeek = false;                   // chkLimitWeek fully checked
    std::string limitStart, limitEnd;
    std::string weekText, date;               // of the title
};

class AllFormulaRun {
public:
    explicit AllFormulaRun(AllFormulaSettings settings);

    // "AllConsensus.txt" or "AllOUConsensus.txt" in the folder.
    std::filesystem::path ReportPath() const;
    // Tests each formula with the engine over `low` and `high` (the current formula and the
    // high ends), asking `stop` before each one; a stop ends the run there. A file that gives
    // no formula is not tested and has no block (DamagedMessage names it).
    void Run(TSPredict& engine, Formula& low, FormulaHighArray& high, std::span<const float> filters,
             const std::function<bool()>& stop);
    // True while the engine tests one of the formulas.
    bool Testing() const { return testing_; }
    // A result the engine reported while testing: a final one (100 % with its breakdown)
    // goes into the report and answers the bar to show; any other answers nothing.
    std::optional<ProgressView> Result(const std::string& percentDone, const std::string& breakdown);
    // The report written so far, lines ended by CR LF.
    const std::string& Text() const { return text_; }
    // The message naming the formula files of the run that gave no formula
    // (ListedFormulasMessage); empty when every file was whole.
    std::string DamagedMessage() const;
    // Writes the report in Windows-1252, replacing the old one only when the whole is written;
    // false with the file and the cause the write met, in words a message can show.
    bool WriteReport(std::string& problem) const;

private:
    void Line(const std::string& text) { text_ += text + "\r\n"; }

    AllFormulaSettings settings_;
    std::string text_;
    ListedFormulaProblems problems_;
    int reported_ = 0;
    bool testing_ = false;
};

// ---- Printed summary

// What the summary prints, as the window shows it.
struct SummaryTexts {
    int seasonYear = 0;
    std::string startWeek, endWeek;                 // the week lists' texts
    std::array<std::string, 10> low, high;          // the range rows 1 to 9
    std::array<std::string, RowBoxes> best, worst;  // the best and worst rows' boxes
    std::string breakdown;                          // the breakdown pane's plain text
};

// The printer page the summary is drawn on, in twips from the top left corner. Print writes
// at the current position and moves to the start of the next line.
class SummaryPage {
public:
    virtual ~SummaryPage() = default;
    virtual double Width() const = 0;
    virtual void SetPointSize(double points) = 0;
    virtual double TextWidth(const std::string& text) const = 0;
    virtual double AverageCharWidth() const = 0;
    virtual double X() const = 0;
    virtual double Y() const = 0;
    virtual void MoveTo(double x, double y) = 0;
    virtual void Print(const std::string& text) = 0;
    // A rule across the page at the current line, leaving the position at its left end.
    virtual void Rule() = 0;
};

// How much too wide the summary is with every size scaled by `scale`: the largest needed
// width over the room each text has (1 or less: everything fits).
double SummaryOverflow(const SummaryTexts& texts, SummaryPage& page, double scale);
// Draws the summary with every size scaled by `scale`.
void PrintSummary(const SummaryTexts& texts, SummaryPage& page, double scale);
// After a printout the range's low ends become the formula's weights; a box that is no
// number leaves its slot as it is.
void ApplyRangeLowEnds(const std::array<std::string, 10>& low, Formula& f);

// ---- Save Best / Save Worst

// The file name of a typed answer: as typed when it matches "*.fla" (case-sensitive), else
// with ".fla" added.
std::string SavedFormulaName(const std::string& answer);
// Slots 0 to 9 from the row's weight boxes, by their leading numbers.
void ApplyRowTexts(const std::array<std::string, RowBoxes>& boxes, Formula& f);

} // namespace vexal::formulatest
