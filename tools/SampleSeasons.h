#pragma once
// Sample seasons for trying the program and for test fixtures: real-looking season files
// made deterministically from a seed. Every season has the league of its year, a full
// schedule (regular weeks with byes, then four playoff weeks), scores, box scores that agree
// with the scores, spreads, totals, surfaces and Sunday dates. GUI-free.
#include "GameRecord.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexal::samplegen {

// The shape of a season by era.
struct SeasonShape {
    int RegularWeeks = 0;       // 16 before 1990, 17 to 2020, 18 from 2021
    int GamesPerTeam = 0;       // 16, 16, 17: RegularWeeks - GamesPerTeam byes for every team
    int PlayoffWeeks = 4;
    int PlayoffSeeds = 0;       // per conference: 5 before 1990, 6 to 2019, 7 from 2020
};
SeasonShape ShapeOf(int year);

// The teams that played a season, in division order.
std::vector<int> LeagueTeams(int year);

// Sunday of week 1: the first Sunday on or after 7 September (an OLE date).
double SeasonStart(int year);

struct SampleOptions {
    uint64_t Seed = 1;
    int FromYear = 2022;
    int ToYear = 2024;
    // When above 0, the games of this week and later of UnplayedSeason are left unplayed:
    // scores 0 and 0 and an empty box score; teams, dates, surfaces and lines stay.
    int UnplayedFromWeek = 0;
    int UnplayedSeason = 0;     // 0: the newest season made (ToYear)
};

// The records of one season in file order. A season is the same whichever range it is
// made in: it depends on the seed and the year only.
std::vector<GameRecord> MakeSeason(int year, uint64_t seed, int unplayedFromWeek = 0);

// Writes <year>.nfl into folder (made when missing) for every season of the range.
// Returns false with a message in error when the options are invalid or a file can't be written.
bool WriteSampleSeasons(const std::filesystem::path& folder, const SampleOptions& options,
                        std::string* error = nullptr);

} // namespace vexal::samplegen
