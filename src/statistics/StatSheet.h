#pragma once
// The Statistics window's figures without the window: the statistic codes and their menu
// items, the weekly matchup sheet's rows (raw, projected, letter grades), the one-team
// tables, the possession texts and the box-score rows read from the season arrays.
// GUI-free: the window only lays these out in its grid.
#include "TSPredict.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexal::stats {

using Totals = TSPredict::TotalsArray;
using Averages = TSPredict::AveragesArray;

// ---- Statistic codes ------------------------------------------------------------------
enum class StatWarning { None, TdPasses, QbRating };
// Where a statistic's menu item stands.
enum class StatMenu { OffensiveTotals, DefensiveTotals, OffensiveAverages, DefensiveAverages, SheetOnly };

struct StatItem {
    int16_t code;
    const char* menuName;     // objectName of its menu item; empty for the sheet-only code 114
    const char* caption;      // menu caption with its "&"
    const char* heading;
    StatMenu menu;
    int sheetColumn;          // column of the weekly sheet whose header opens it; 0 = none
    StatWarning warning;
};

// Every statistic with a ranking, in menu order within each submenu.
const std::vector<StatItem>& StatItems();
const StatItem* StatItemByCode(int code);
const StatItem* StatItemBySheetColumn(int column);
const char* WarningText(StatWarning warning);
inline constexpr const char* WarningTitle = "Inaccurate";
// True when the ranking lists the lowest value first.
bool RanksAscending(int code);
// The engine's TeamTotals keep own rushing attempts in element 3 and own pass attempts in 4
// (OppTotals the other way round): the element of the totals array of that side that holds
// the statistic of a totals code 1..25.
int TotalsElement(int code, bool teamSide);
// The value of a statistic code (1..25 totals, 100..139 averages) from one side's arrays.
float StatValue(int code, const Totals& totals, const Averages& averages, bool teamSide);
// True for the time-of-possession codes, shown as minutes and seconds.
inline bool IsPossessionCode(int code) { return code == 132 || code == 133; }

// ---- League ranking of one statistic ------------------------------------------------------
// One club of a ranking: its name and, when the engine counted games for it, its games and
// the statistic's value.
struct RankEntry {
    std::string name;
    std::optional<float> games;
    std::optional<float> value;
    int team = 0;   // its team code
};
struct Ranking {
    std::vector<RankEntry> ordered;       // best first by the statistic's order, ties by name
    int leftRows = 0;                      // ranks 1..leftRows stand in the left block
    std::optional<float> average;          // mean value of the clubs with games; none without
};
// Orders the clubs by value (ascending or descending as the code ranks; clubs without a
// value after every value when descending, before them when ascending, as the grid sorts
// empty cells), equal values by name without regard to case; splits them into the two
// blocks of the view (the left one takes half and one more) and averages the values of the
// clubs that have games, each club once.
Ranking RankTeams(std::vector<RankEntry> entries, int code);

// ---- Weekly matchup sheet --------------------------------------------------------------
inline constexpr int SheetColumns = 17;
struct SheetColumn {
    const char* header;
    double widthFactor;
    int ownElement;           // element of the row's side (own); the DEFENSE row reads own + 1
};
// Columns 2..17 (index 0 = column 2).
const std::array<SheetColumn, 16>& SheetColumnsFrom2();
inline constexpr const char* TeamNameHeader = "Team Name";
inline constexpr double TeamNameWidthFactor = 0.11;
inline constexpr const char* DefenseRowName = "   DEFENSE";

// The two heading lines of the sheet.
std::string SheetHeadingLine1(const std::string& weekItem, bool seasonToDate, bool discardHighLow,
                              double rollingWeeks);
std::string SheetHeadingLine2(bool separateHomeAway);

// Possession texts (seconds per game to minutes and seconds).
// Each rounds the value half to even to whole seconds before it splits it, so 1799.5
// seconds read 30:00.
std::string PossessionText(float seconds);            // " 30:05"
std::string ProjectedPossessionText(float seconds);   // " 30:05"
std::string RankingPossessionText(double seconds);    // "31:05": no leading blank

struct SheetRow {
    std::string name;
    std::array<float, 15> values{};                   // columns 2..16
    std::string possession;                           // column 17
};
struct GradeRow {
    std::string name;
    std::array<std::string, 16> grades;               // columns 2..17
};

// Raw mode: away offense, away DEFENSE, home offense, home DEFENSE. home = TeamAverages,
// away = OpponentAverages of the Stats event.
std::array<SheetRow, 4> RawRows(const Averages& home, const Averages& away, const std::string& awayName,
                                const std::string& homeName);
// Projected numbers: away row, home row; each figure the mean of own and allowed.
std::array<SheetRow, 2> ProjectedRows(const Averages& home, const Averages& away, const std::string& awayName,
                                      const std::string& homeName);
// Letter grades: away row, home row.
std::array<GradeRow, 2> GradeRows(const Averages& home, const Averages& away, const std::string& awayName,
                                  const std::string& homeName);
// The grade of a sum s in sheet column 2..16, and of whole minutes of possession (column 17).
std::string GradeOf(int column, float s);
std::string PossessionGrade(float meanSeconds);

// ---- One-team tables --------------------------------------------------------------------
struct TeamTableRow {
    const char* label;
    float offense;
    float defense;
};
inline constexpr const char* AverageStatsHeader = "Average Stats";
inline constexpr const char* TotalStatsHeader = "Total Stats";
std::array<TeamTableRow, 8> TeamAverageRows(const Averages& a);
// From the chosen club's totals (OppTotals layout: pass attempts 3, rushing attempts 4).
std::array<TeamTableRow, 8> TeamTotalRows(const Totals& t);
std::string TeamTableHeading(const std::string& teamName, double rollingWeeks);

// ---- Box scores ---------------------------------------------------------------------------
struct BoxGame {
    int weekSlot;
    int gameSlot;
};
// Team mode: one game per week slot from currentWeek - 2 down to 0 (first matching slot),
// optionally only those against opponent. Week slots beyond the loaded arrays are skipped.
std::vector<BoxGame> TeamBoxGames(int team, int opponent, int currentWeek);
// Week mode: the games of week slot weekSlot up to the first empty slot; nothing for a week
// slot outside the loaded arrays.
std::vector<BoxGame> WeekBoxGames(int weekSlot);
// Columns 2..11 of a game's away or home row: the line or total, the score ("0" when
// unplayed) and the eight counts, as shown.
std::array<std::string, 10> BoxScoreCells(const BoxGame& game, bool away);

} // namespace vexal::stats
