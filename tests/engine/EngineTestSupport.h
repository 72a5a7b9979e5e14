#pragma once
// Shared fixture of the engine tests: a temporary program folder, fresh season arrays and
// current formula, a fixed clock, an engine whose events are recorded, and a small season
// whose predicted scores are whole numbers chosen by the test.
#include "AppState.h"
#include "EngineHost.h"
#include "GeneratedSeasons.h"
#include "Host.h"
#include "SeasonData.h"
#include "TSPredict.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vexal::test {

// The engine's host in these tests: the shared season arrays and current formula the tests
// fill, the test's program folder, and a stop request and yields the test scripts.
class StubEngineHost : public EngineHost {
public:
    SeasonData& Seasons() override { return Season(); }
    Formula& CurrentFormula() override { return App().CurrentFormula; }
    bool StopRequested() override { return stop; }
    void ClearStopRequest() override { stop = false; }
    void Yield() override
    {
        ++yields;
        if (onYield)
            onYield();
    }
    std::filesystem::path OutputFolder() override { return ProgramFolder(); }

    bool stop = false;
    int yields = 0;
    std::function<void()> onYield;
};

// 5 March 2024, 14:07:09.
double FixedNow();

struct ProgressEvent {
    TSPredict::FormulaRow best{};
    TSPredict::FormulaRow worst{};
    std::string percent;
    std::string message;
};

// Every event of an engine, in order: "Progress <percent>", "Weekly", "Done", "Stats", "PowerRating".
struct EventRecorder {
    std::vector<std::string> order;
    std::vector<ProgressEvent> progress;
    std::vector<WeeklyTableArray> weekly;
    int done = 0;
    int stats = 0;
    int powerRatings = 0;
    void Attach(TSPredict& engine);
    std::vector<std::string> Percents() const;
};

// A formula with plain values: H 0, min 0, max 99, weights 100/0 offense and rushing,
// turnovers 0, multiplier 1, rolling 1, every filter off, week `week`.
Formula PlainFormula(int week);

// A match whose predicted scores are known: with PlainFormula the home team is predicted
// `homePoints` and the away team `awayPoints` (both above 10), from a prior week in which
// each of the two teams played a filler team.
struct Match {
    int home = 0;
    int away = 0;
    int homePoints = 24;
    int awayPoints = 17;
    int homeScore = -1;   // the final score, -1 and -1 for a game not played
    int awayScore = -1;
    float spread = 0;
    float total = 0;
    int homeTop = 1800;   // the home team's possession in the prior week (seconds)
    int awayOppTop = 1800; // the away team's opponent's possession in the prior week
};

// One season (newest year 2024) of week 1 (the prior games) and week 2 (the matches, at
// most 8); slot 1 is the tested week (CurrentWeek 2).
void BuildMatchWeek(const std::vector<Match>& matches);
// Several such pairs of weeks in one season: weeks 1 and 2, 3 and 4, ...; the teams of
// different pairs must differ; the fillers are teams 32, 31, ... (one per pair).
void BuildMatchWeeks(const std::vector<std::vector<Match>>& tested);

// Writes sample seasons (2024 and the years before it) into the program folder and loads
// them with the season loader, as the program does. The games from week `unplayedFromWeek`
// of 2024 on are not played (0: all played).
bool LoadSampleSeasons(int years, int unplayedFromWeek = 0, uint64_t seed = 7);

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A single-formula run of the current formula, 24 slots as both ends (a prediction).
    void Predict(bool singleGame = false, uint8_t home = 0, uint8_t away = 0);
    // The same run as a back-test of played games.
    void BackTest(bool sortByWin = false);

    TempFolder folder;
    StubEngineHost host;
    TSPredict engine{host};
    EventRecorder events;
    std::array<float, 5> filters{};
};

std::string Cell(const WeeklyTableArray& table, int row, int column);

} // namespace vexal::test
