#pragma once
// Seasons made in memory for the engine's tests and benchmark: the loaded arrays filled
// directly (Season().Allocate, then the fields), as the loader would leave them.
#include "SeasonData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vexal::test {

// One game as the arrays hold it (scores -1 and -1 for a game not yet played).
struct GameSpec {
    int away = 0;
    int home = 0;
    int awayScore = -1;
    int homeScore = -1;
    float spread = 0;
    float total = 0;
    // Box score: rushing and passing yards, rushing and pass attempts, completions,
    // interceptions, fumbles lost, sacks, possession seconds, touchdown passes, first downs.
    int homeRush = 0, homePass = 0, homeRushAtt = 0, homePassAtt = 0, homeComp = 0;
    int homeInt = 0, homeFum = 0, homeSacks = 0, homeTop = 0, homeTds = 0, homeFirstDowns = 0;
    int awayRush = 0, awayPass = 0, awayRushAtt = 0, awayPassAtt = 0, awayComp = 0;
    int awayInt = 0, awayFum = 0, awaySacks = 0, awayTop = 0, awayTds = 0, awayFirstDowns = 0;
    int injury = 0, weather = 0, psychological = 0, situational = 0;
    int surface = 0;
};

// Builds the loaded arrays week slot by week slot, oldest season first, and the week
// selector's texts ("Wk 5 of 2023") and SeasonFirstWeek to match.
class SeasonBuilder {
public:
    // Room for `seasons` seasons; the newest is `newestYear`.
    SeasonBuilder(int seasons, int newestYear);
    // The next week slot, for a week of a season; returns the slot.
    int AddWeek(int year, int week);
    // The next game slot of a week slot; returns the game slot.
    int AddGame(int weekSlot, const GameSpec& game);
    // Writes one game into a given slot (the slot's other games are left as they are).
    void PutGame(int weekSlot, int gameSlot, int week, const GameSpec& game);
    int WeekCount() const { return static_cast<int>(weekYears_.size()); }

private:
    void Finish();
    int newestYear_;
    int seasons_;
    std::vector<int> weekYears_;
    std::vector<int> gamesInWeek_;
};

struct GeneratedOptions {
    int seasons = 3;
    int newestYear = 2024;
    int regularWeeks = 17;
    int playoffWeeks = 4;
    uint64_t seed = 1;
    // The games from this week on of the newest season are not played (0: all played).
    int unplayedFromWeek = 0;
    // Extra roughness for tests: ties, games without yards, zero scores, factor values.
    bool rough = false;
};

// Fills Season() with generated seasons of 32 teams: a schedule with byes, then playoff
// weeks with fewer games, box scores that roughly agree with the scores, spreads and totals
// on half points, other factors on some games.
void GenerateSeasons(const GeneratedOptions& options);

} // namespace vexal::test
