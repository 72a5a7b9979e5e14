// The back-test as the Test Formula window runs it: a grid search over three loaded sample
// seasons, every played week, with a Progress handler that does what a host does with the
// event (copies the rows, reads the percentage, shows the text) and a message-loop hook.
#include "AppState.h"
#include "FastKernel.h"
#include "Host.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "TSPredict.h"
#include "VbConvert.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace vexal;

// Writes three sample seasons into a temporary program folder and loads them as the program
// does; the folder is removed again at once.
bool LoadThreeSeasons()
{
    static bool loaded = false;
    if (loaded)
        return true;
    const auto folder = std::filesystem::temp_directory_path() / ("vexal-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    samplegen::SampleOptions options;
    options.Seed = 20240905;
    options.FromYear = 2022;
    options.ToYear = 2024;
    std::string error;
    if (!samplegen::WriteSampleSeasons(folder, options, &error))
        return false;
    std::ofstream(folder / "Vexal.ini") << "[Vexal]\r\nYear to Load=03\r\n";
    SetProgramFolder(folder);
    loaded = SelectSeason(2024);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    SetProgramFolder({});
    return loaded && !Season().WeekItems.empty();
}

struct Grid {
    FormulaHighEnds high{};
    int combinations = 0;
};

// Rolling 3..5, home field 0..4, minimum difference 0..4, maximum 10..13, offense and
// rushing 40..60, turnovers 0..2, multiplier 0.8..1.2: 112 500 combinations.
Grid SetUpGrid()
{
    Formula& low = App().CurrentFormula;
    low = {};
    Grid g;
    auto range = [&](int slot, float from, float to) {
        low[static_cast<std::size_t>(slot)] = from;
        g.high[static_cast<std::size_t>(slot)] = to;
    };
    range(fsRollingWeeks, 3, 5);
    range(fsHomeField, 0, 4);
    range(fsMinDiff, 0, 4);
    range(fsMaxDiff, 10, 13);
    range(fsOffense, 40, 60);
    range(fsDefense, 60, 40);
    range(fsRushing, 40, 60);
    range(fsPassing, 60, 40);
    range(fsTurnovers, 0, 2);
    range(fsMultiplier, 0.8f, 1.2f);
    range(fsCurrentWeek, 1, static_cast<float>(Season().WeekItems.size()));
    low[fsLineStart] = 99;
    low[fsLineEnd] = 99;
    g.combinations = 3 * 5 * 5 * 4 * 5 * 5 * 3 * 5;
    return g;
}

void BM_GridSearch(benchmark::State& state)
{
    if (!LoadThreeSeasons()) {
        state.SkipWithError("the sample seasons could not be made");
        return;
    }
    TSPredict engine;
    TSPredict::FormulaRow shownBest{};
    double shownPercent = 0;
    std::string shownText;
    long progressEvents = 0;
    engine.Progress = [&](TSPredict::FormulaRow& best, TSPredict::FormulaRow&, std::string& percent,
                          std::string& message) {
        shownBest = best;
        shownPercent = vb::Val(percent);
        if (!message.empty())
            shownText = message;
        ++progressEvents;
    };
    SetDoEventsHook([] {});
    // The row's path: 0 the straightforward evaluation on one core; 2, 4, 8 the fast evaluation
    // on one core with that many games per step; 99 the fast evaluation, widest build, on
    // every core.
    const int64_t path = state.range(0);
    engine.SetFastEvaluation(path != 0);
    engine.SetWorkerCount(path == 99 ? 0 : 1);
    fastkernel::ForceLanes(path == 2 || path == 4 || path == 8 ? static_cast<int>(path) : 0);
    if ((path == 4 || path == 8) && fastkernel::ChosenLanes() != path) {
        state.SkipWithError("the processor lacks this vector width");
        return;
    }
    const std::array<float, 5> filters{0, 100, 0, 100, 0};
    uint64_t combinations = 0;
    uint64_t games = 0;
    for (auto _ : state) {
        Grid grid = SetUpGrid();
        engine.TestFormulas(
            {.Low = App().CurrentFormula, .High = grid.high, .Filters = filters, .PlayedGamesOnly = true});
        combinations += static_cast<uint64_t>(engine.CombinationsDone());
        games += engine.GameEvaluations();
        benchmark::DoNotOptimize(shownBest);
        benchmark::DoNotOptimize(shownPercent);
    }
    SetDoEventsHook({});
    fastkernel::ForceLanes(0);
    state.counters["combinations/s"] = benchmark::Counter(static_cast<double>(combinations), benchmark::Counter::kIsRate);
    state.counters["game evaluations/s"] = benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
    state.counters["combinations"] = static_cast<double>(combinations) / static_cast<double>(state.iterations());
    state.counters["games per combination"] = combinations ? static_cast<double>(games) / static_cast<double>(combinations) : 0;
    state.counters["progress events"] = static_cast<double>(progressEvents) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GridSearch)
    ->ArgName("path")
    ->Arg(0)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Arg(99)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
