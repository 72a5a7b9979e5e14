#pragma once
// The consensus report page: one row per formula file of a consensus set, one column per
// game of the week, each cell the play that formula makes. GUI-free; the Predictions window
// runs the formulas and hands the picks over row by row.
#include "AppState.h"
#include "FormulaFile.h"
#include "HtmlReport.h"
#include "TSPredict.h"

#include <array>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

inline constexpr int ReportGameSlots = GamesPerWeekSlot;

// One game of the week as the report's header shows it.
struct ReportGame {
    std::string away;   // three-letter abbreviations
    std::string home;
    float number = 0;   // the line (sides) or the total (totals)
};

// The week's games in slot order and which slots hold a game (away team differs from home team).
struct ReportWeek {
    std::vector<ReportGame> header;             // slots 0 onward up to the first empty slot
    std::array<bool, ReportGameSlots> hasGame{}; // every slot
};

// Reads the week slot's games from the loaded season; a slot outside the season gives no games.
ReportWeek ReadReportWeek(int weekSlot, bool totals);

// A row's label: the file name up to its first period.
std::string ConsensusRowLabel(std::string_view fileName);
// A number as report text: period as decimal separator, no blanks ("-3.5", "44", "0").
std::string ReportNumberText(float value);
// Today as month-day-year, "12-08-2026".
std::string ReportDate();

// What each formula of a report pass takes from the windows besides its file.
struct ReportBoxes {
    int week = 0;              // the week slot kept before the pass (CurrentWeek, 1-based)
    float totalsMode = 0;      // the Predictions window's "Over / Under" box
    float seasonToDate = 0;    // the formula editor's "Season To Date" box
    float otherFactors = 0;    // the Predictions window's "Other Factors" box
};

// Readies one listed formula file for its run, the same whatever ran before it: all slots are
// cleared, the week, totals, season-to-date and other-factor slots set from boxes, and the file
// read by the rule of every listed formula (ReadListedFormula). False for a file that gives no
// formula, added to the problems the report names once at its end (ListedFormulasMessage):
// the report has no row for it.
bool PrepareReportFormula(Formula& formula, const std::filesystem::path& file, const std::string& listedName,
                          const ReportBoxes& boxes, ListedFormulaProblems& problems);
// One engine run of a report pass: formula as the low end, high as the high end (a back-test
// of played games, or a prediction), with mode true for the length of the call (the host's
// Weekly and Progress handlers read it).
void RunReportFormula(TSPredict& engine, Formula& formula, std::span<float> high, bool playedGamesOnly,
                      std::span<const float> filters, bool showWeekly, bool& mode);
// The first week of the loaded season that holds `week`, counted from 1, as the all-formula
// back-test starts it: SeasonFirstWeek(k) + 1.000001 for the first k whose first week lies
// before `week`, else the last season's.
float AllConsensusStartWeek(std::span<const int16_t> seasonFirstWeeks, int week);

// The printed consensus report: the heading, three header lines (away teams, "@" home teams,
// lines or totals) over the week's games, and per formula its label and a pick position per
// row of the weekly table.
struct ConsensusPrintRow {
    std::string label;
    std::array<std::string, WeeklyRows> picks;
};
struct ConsensusPrintout {
    std::string heading;
    std::vector<std::string> away, home, numbers;
    std::vector<ConsensusPrintRow> rows;
};
ConsensusPrintout ConsensusPrintHeader(bool totals, std::string_view weekText, std::string_view date,
                                       const ReportWeek& week);

class ConsensusPage {
public:
    // Opens the page: the heading table and the games' header row.
    ConsensusPage(const std::filesystem::path& path, bool totals, std::string_view weekText, std::string_view date,
                  const std::string& themePicture, const ReportWeek& week);
    // One formula's row: its label, then the pick of every slot that holds a game.
    void Row(std::string_view label, const std::array<std::string, WeeklyRows>& picks);
    // Ends the table and writes the page.
    void Close();
    const std::string& Text() const { return html_.Text(); }

private:
    clsHTML html_;
    ReportWeek week_;
};

// The all-formula consensus page: per formula file its settings, options and its back-tested
// record week by week, taken from the engine's weekly breakdown.
std::string AllConsensusOptionsText(const Formula& formula);     // "" when none
std::string AllConsensusOptimizedText(const Formula& formula);   // "" when none

class AllConsensusPage {
public:
    AllConsensusPage(const std::filesystem::path& path, bool totals, std::string_view weekText, std::string_view date,
                     const std::string& themePicture);
    // The label, settings, options and record heading tables, and the record table's header row.
    void BeginBlock(std::string_view label, const Formula& formula);
    // The record rows: one per line of the breakdown that starts with a number (lines end CR LF).
    void Breakdown(std::string message);
    void EndBlock();
    void Close();
    const std::string& Text() const { return html_.Text(); }

private:
    clsHTML html_;
};

} // namespace vexal
