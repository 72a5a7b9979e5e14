#pragma once
// The loaded seasons, shared by every view and the engine and read in place.
// Game field   = SeasonGames[weekSlot * WeekSlotStride + gameSlot * FieldsPerGame + field]
// Spread/total = SeasonLines[weekSlot * LineSlotStride + gameSlot * LinesPerGame (+0 spread, +1 total)]
// (the design's 512, 32 and 2: 16 game slots of 32 fields and of a spread and total each).
// Only the season loader sizes these arrays; other writers change elements in place.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vexal {

// Field numbers of a game slot; the last entry counts them. A field added here widens every
// game slot and week slot of the arrays; GameRecord::GameFields() then needs its source and
// what sets it (the schedule, the result or a factor; a stat import refreshes the result's).
enum GameField : int {
    gfWeek = 0, gfAwayTeam = 1, gfHomeTeam = 2, gfAwayScore = 3, gfHomeScore = 4,
    gfHomeTOP = 5, gfAwayTOP = 6,
    gfHomeRushYds = 7, gfHomePassYds = 8, gfHomeRushAtt = 9, gfHomePassAtt = 10, gfHomePassComp = 11,
    gfHomeInt = 12, gfHomeFumLost = 13, gfHomeSacks = 14,
    gfAwayRushYds = 15, gfAwayPassYds = 16, gfAwayRushAtt = 17, gfAwayPassAtt = 18, gfAwayPassComp = 19,
    gfAwayInt = 20, gfAwayFumLost = 21, gfAwaySacks = 22,
    gfInjury = 23, gfWeather = 24, gfPsychological = 25, gfSituational = 26, gfSurface = 27,
    gfHomeTDs = 28, gfAwayTDs = 29, gfHomeFirstDowns = 30, gfAwayFirstDowns = 31,
    GameFieldCount
};

inline constexpr int GamesPerWeekSlot = 16;
inline constexpr int FieldsPerGame = GameFieldCount;
inline constexpr int WeekSlotStride = GamesPerWeekSlot * FieldsPerGame;
inline constexpr int LinesPerGame = 2;   // the spread, then the total
inline constexpr int LineSlotStride = GamesPerWeekSlot * LinesPerGame;
// SeasonLines runs this far past the week slots' own pairs (the design's WeekSlots x 32 + 481
// as the last index: 15 week slots and one pair more).
inline constexpr int LineArraySpare = (GamesPerWeekSlot - 1) * LineSlotStride + LinesPerGame;
inline constexpr int WeekSlotsPerSeason = 22;
inline constexpr int FirstSeason = 1984;
inline constexpr int CurrentSeason = 2024;

struct SeasonData {
    int16_t WeekSlots = 0;                 // 22 x seasons loaded: the capacity in week slots
    std::vector<int16_t> SeasonGames;      // one week slot more than WeekSlots
    std::vector<float> SeasonLines;        // WeekSlots * LineSlotStride + LineArraySpare
    std::vector<int16_t> SeasonFirstWeek;  // 0 .. seasons asked for; [0] = newest loaded season
    int16_t SeasonYear = 0;                // the season chosen in the season selector
    int16_t WeekSeason = 0;                // the season of the chosen week
    std::vector<std::string> WeekItems;    // the week selector's texts, "Wk 5 of 2023", in load order
    int16_t WeekListIndex = -1;            // the week selector's chosen position, -1 = none
    int16_t CurrentGame = 0;               // data-entry navigation within a week
    int32_t WeekFirstRecord = 0;           // first record of the chosen week in its season file
    int32_t NextWeekFirstRecord = 0;       // first record of the following week (record count at the end)
    std::array<uint8_t, 33> DivisionOrder{}; // team codes in division order for WeekSeason

    int16_t& Game(int weekSlot, int gameSlot, int field)
    {
        return SeasonGames[static_cast<std::size_t>(weekSlot) * WeekSlotStride + gameSlot * FieldsPerGame + field];
    }
    int16_t Game(int weekSlot, int gameSlot, int field) const
    {
        return SeasonGames[static_cast<std::size_t>(weekSlot) * WeekSlotStride + gameSlot * FieldsPerGame + field];
    }
    float& Spread(int weekSlot, int gameSlot)
    {
        return SeasonLines[static_cast<std::size_t>(weekSlot) * LineSlotStride + gameSlot * LinesPerGame];
    }
    float& Total(int weekSlot, int gameSlot)
    {
        return SeasonLines[static_cast<std::size_t>(weekSlot) * LineSlotStride + gameSlot * LinesPerGame + 1];
    }
    // Sizes the arrays for `seasons` seasons, all zero.
    void Allocate(int seasons);
};

SeasonData& Season();
void ResetSeason();

} // namespace vexal
