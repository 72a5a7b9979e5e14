#pragma once
// The GUI-free part of a week's predictions: what each grid row of the Predictions window
// shows for a game, the pool-pick value and the sort of a column click, the teaser points
// of the teaser list, the line limits of a range run and the plays of a single game.
// The window (PredictWindow) turns these into cells; the engine makes the predictions.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexal::predict {

// The predictions grid's columns, 1-based, in the order they are added.
enum Column : int {
    colAwayTeam = 1, colAwayPoints = 2, colHomeTeam = 3, colHomePoints = 4, colLine = 5,
    colTotal = 6, colPick = 7, colScore = 8, colResult = 9, colPool = 10,
};
struct ColumnSpec {
    const char* key;
    const char* header;
    double share;         // of the grid's width; 0 = the grid's default width
    const char* format;   // number format of the column's values, "" = none
    bool shown;
};
extern const std::array<ColumnSpec, 10> PredictColumns;

// Colours of the grid (Windows BGR values).
inline constexpr int32_t White = 0xFFFFFF;
inline constexpr int32_t Blue = 0xFF0000;
inline constexpr int32_t Green = 0x8000;
inline constexpr int32_t Red = 0xFF;
inline constexpr int32_t Black = 0x0;
// The text colour of a graded pick: green "Win", red "Loss", blue "Tie", else black.
int32_t ResultColor(std::string_view result);

// A game of the week slot as the schedule holds it.
struct ScheduledGame {
    int16_t awayTeam = 0;
    int16_t homeTeam = 0;
    int16_t awayScore = -1;
    int16_t homeScore = -1;
    float line = 0;
    float total = 0;
};
// Game g (0..15) of a week slot (0-based) from SeasonGames and SeasonLines; nothing when the
// slot lies outside the loaded arrays.
std::optional<ScheduledGame> GameAt(int weekSlot, int gameSlot);
// The games the grid mode shows, from startGame on: it stops at the first slot without a
// team on either side, at the 16th slot, and at the end of the loaded arrays.
std::vector<int> WeekGameSlots(int weekSlot, int startGame);

// Played when the two scores add up to 1 or more (both are -1 while unplayed).
inline bool IsPlayed(const ScheduledGame& g) { return g.awayScore + g.homeScore >= 1; }
// "17 - 24": the away score first, whole numbers, no extra blanks.
std::string ScoreText(int16_t awayScore, int16_t homeScore);

// Pool value of a row: |line + home points - away points| rounded to a whole number,
// halves to even (2.5 gives 2, -3.5 gives 4).
int16_t PoolValue(double line, double homePoints, double awayPoints);

// The sort a click on column c asks for: the points, line and total columns descending by
// number; pick and result descending by text; the others ascending by text.
struct ColumnSort {
    int order;   // 1 ascending, 2 descending
    int type;    // 100 numeric, 102 text
};
ColumnSort ColumnClickSort(int column);

// The teaser list's items and the points each gives the engine: the text's number rounded
// to a whole number, halves to even ("6.5" gives 6, "7.5" gives 8, "-" gives 0).
extern const std::array<const char*, 6> TeaserItems;
int16_t TeaserPoints(std::string_view text);

// A typed line or total as a whole number, halves to even; no number gives 0.
int16_t WholeNumber(std::string_view text);

// The four line (or total) limits of a game in a range run: items 1, 2, 4 and 5, each
// formatted with one decimal and kept as a Single. Sides: items 1 and 2 are the upper and
// lower end of the home lines at which the away team is a play, items 4 and 5 the home
// team's; totals: items 1 and 2 bound the unders, 4 and 5 the overs.
struct RangeItems {
    float item1 = 0, item2 = 0, item4 = 0, item5 = 0;
};
RangeItems RangeLimitsOf(float homePoints, float awayPoints, float minDiff, float maxDiff, bool totals);

// The plays of a single game (strict comparisons throughout).
struct SingleGamePlays {
    bool away = false;
    bool home = false;
    bool over = false;
    bool under = false;
};
SingleGamePlays SingleGameMarks(float homePoints, float awayPoints, int line, int total, float minDiff,
                                float maxDiff);

} // namespace vexal::predict
