#pragma once
// The standings arithmetic of the Standings window, GUI-free: which week slots count, each
// team's straight-up and against-the-spread record under the game filters and teasers, the
// order of the teams in their divisions, one team's schedule with its results, and the
// points-for/against table of the points chart.
#include "SeasonData.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexal::standings {

// The game filters, each 0 or 1, as the filter controls set them.
struct GameFilters {
    int16_t FavoriteFilter = 0;
    int16_t UnderdogFilter = 0;
    int16_t GrassFilter = 0;
    int16_t TurfFilter = 0;
    int16_t DomeFilter = 0;
    int16_t UseAwayGames = 1;
    int16_t UseHomeGames = 1;
};

// The filter items of the game filter list, by list index.
inline constexpr const char* FilterItems[] = {"All",  "Home",         "Away",           "Grass",
                                               "Turf", "Dome",         "6 pt. Teaser",   "6.5 pt. Teaser",
                                               "7 pt. Teaser", "7.5 pt. Teaser", "9 pt. Teaser"};
inline constexpr int FilterItemCount = 11;

// The filters a list index and the two check boxes stand for. The surface members are
// taken from the list only when allGames is off; with allGames on they keep `previous`'s.
GameFilters FiltersFrom(int listIndex, bool favorite, bool underdog, bool allGames, const GameFilters& previous);

// The points of a teaser item, half points kept (6.5 is 6.5); 0 for any other text.
float TeaserPoints(const std::string& itemText);

// Week slots counted for the standings: from the first slot of the season that holds the
// chosen week up to the chosen week (1-based currentWeek), both ends included.
struct WeekSpan {
    int First = 0;
    int Last = -1;
};
std::optional<WeekSpan> StandingsWeeks(const SeasonData& season, int currentWeek);

struct TeamRecord {
    int16_t Wins = 0, Losses = 0, Ties = 0;
    int16_t AtsWins = 0, AtsLosses = 0, Pushes = 0;
    int16_t PointsFor = 0, PointsAgainst = 0;
    // wins / (wins + losses); -1 without a win or a loss.
    float Fraction() const;
    std::string StraightText() const;   // "10 - 5 - 1"
    std::string AtsText() const;        // "8 - 7 - 1"
};

// One team's record over the week span; teaser points are added to the team's side.
TeamRecord CountTeam(const SeasonData& season, WeekSpan span, int team, const GameFilters& filters, float teaser);

// The standings grid holds one block of columns per conference (the team, then its
// figures), the AFC block first and one spacer column between them.
inline constexpr int BlockColumns = 5;
inline constexpr int AfcColumn = 1;
inline constexpr int SpacerColumn = AfcColumn + BlockColumns;
inline constexpr int NfcColumn = SpacerColumn + 1;
inline constexpr int StandingsGridColumns = NfcColumn + BlockColumns - 1;

// One team row of the standings grid.
struct StandingsRow {
    int Row = 0;          // 1-based grid row
    int Column = 0;       // first column of the block: AfcColumn or NfcColumn
    int Rank = 0;         // position in its division in display order, from 0
    int Team = 0;
    TeamRecord Record;
};
// Every team row, divisions in DivisionOrder order and each sorted by win fraction. from2002
// chooses the eight-division table (best first, teams without a decision last, ties in
// division order); teaser points count from 2002 only.
std::vector<StandingsRow> ComputeStandings(const SeasonData& season, int currentWeek, const GameFilters& filters,
                                           float teaser, bool from2002);

// One game of a team's schedule.
struct ScheduleGame {
    int WeekSlot = 0;
    int GameSlot = 0;
    bool Played = false;
    std::string Ats;        // "WIN/OVER", "LOSS/PUSH" ...; played games only
    std::string Straight;   // "WIN", "PUSH", "LOSS" by the score alone; played games only
};
// The team's games over every loaded week slot under the filters (opponent 0 = any); the
// teaser counts against the spread only.
std::vector<ScheduleGame> TeamSchedule(const SeasonData& season, int team, int opponent, const GameFilters& filters,
                                       float teaser);

// The points chart of one team: one column per week slot of the range.
struct PointsColumn {
    int Opponent = 0;                       // 0: no game that week
    std::optional<int16_t> PointsFor;
    std::optional<int16_t> PointsAgainst;
};
struct PointsTable {
    int FirstWeekSlot = 0;
    std::vector<PointsColumn> Columns;      // never empty
    int AverageFor = 0;                     // over the games played
    int AverageAgainst = 0;
};
// The chart's week slots: the newest season up to the current week, or the whole older
// season that holds it. Empty when no loaded season holds the week.
std::optional<WeekSpan> PointsWeeks(const SeasonData& season, int currentWeek);
PointsTable PointsForAgainst(const SeasonData& season, int currentWeek, int team);

} // namespace vexal::standings
