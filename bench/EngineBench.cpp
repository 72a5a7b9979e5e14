// The back-test as the Test Formula window runs it: a grid search over 3 and 41 loaded sample
// seasons, every played week, with a Progress handler that does what a host does with the
// event (copies the rows, reads the percentage, shows the text) and a message-loop hook.
#include "AppState.h"
#include "FastKernel.h"
#include "Host.h"
#include "ProgramEngineHost.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SmokeRun.h"
#include "TSPredict.h"
#include "VbConvert.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

namespace {

using namespace vexal;

// Writes the sample seasons ending with 2024 into a temporary program folder and loads them as
// the program does; the folder is removed again at once. The seasons stay loaded for the rows
// that ask for as many.
bool LoadSeasons(int seasons)
{
    static int loaded = 0;
    if (loaded == seasons)
        return true;
    loaded = 0;
    const auto folder = std::filesystem::temp_directory_path() / ("vexal-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    samplegen::SampleOptions options;
    options.Seed = 20240905;
    options.FromYear = 2024 - seasons + 1;
    options.ToYear = 2024;
    std::string error;
    bool ok = samplegen::WriteSampleSeasons(folder, options, &error);
    if (ok) {
        std::ofstream(folder / "Vexal.ini") << "[Vexal]\r\nYear to Load=" << (seasons < 10 ? "0" : "") << seasons
                                            << "\r\n";
        SetProgramFolder(folder);
        ok = SelectSeason(2024);
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    SetProgramFolder({});
    if (!ok || static_cast<int>(Season().SeasonFirstWeek.size()) < seasons || Season().WeekItems.empty())
        return false;
    loaded = seasons;
    return true;
}

struct Grid {
    FormulaHighEnds high{};
    int combinations = 0;
};

// Rolling 3..5, home field 0..4, minimum difference 0..4, maximum 10..13, offense and
// rushing 40..60, turnovers 0..2, multiplier 0.8..1.2: 112 500 combinations. A smoke run
// takes one rolling window of 80.
Grid SetUpGrid()
{
    Formula& low = App().CurrentFormula;
    low = {};
    Grid g;
    auto range = [&](int slot, float from, float to) {
        low[static_cast<std::size_t>(slot)] = from;
        g.high[static_cast<std::size_t>(slot)] = to;
    };
    const bool smoke = bench::SmokeRun();
    range(fsRollingWeeks, 3, smoke ? 3 : 5);
    range(fsHomeField, 0, smoke ? 1 : 4);
    range(fsMinDiff, 0, smoke ? 1 : 4);
    range(fsMaxDiff, 10, smoke ? 11 : 13);
    range(fsOffense, smoke ? 50 : 40, smoke ? 50 : 60);
    range(fsDefense, smoke ? 50 : 60, smoke ? 50 : 40);
    range(fsRushing, smoke ? 50 : 40, smoke ? 50 : 60);
    range(fsPassing, smoke ? 50 : 60, smoke ? 50 : 40);
    range(fsTurnovers, 0, smoke ? 1 : 2);
    range(fsMultiplier, 0.8f, 1.2f);
    range(fsCurrentWeek, 1, static_cast<float>(Season().WeekItems.size()));
    low[fsLineStart] = 99;
    low[fsLineEnd] = 99;
    g.combinations = smoke ? 2 * 2 * 2 * 2 * 5 : 3 * 5 * 5 * 4 * 5 * 5 * 3 * 5;
    return g;
}

// One engine as the Test Formula window drives it: a Progress handler that does what a host
// does with the event (copies the rows, reads the percentage, keeps the text).
class BenchHost {
public:
    BenchHost()
    {
        engine.Progress = [this](TSPredict::FormulaRow& best, TSPredict::FormulaRow&, std::string& percent,
                                 std::string& message) {
            shownBest = best;
            shownPercent = vb::Val(percent);
            if (!message.empty())
                shownText = message;
            ++progressEvents;
        };
    }
    // One whole grid search; returns its game evaluations.
    uint64_t Run()
    {
        static const std::array<float, 5> filters{0, 100, 0, 100, 0};
        Grid grid = SetUpGrid();
        engine.TestFormulas(
            {.Low = App().CurrentFormula, .High = grid.high, .Filters = filters, .PlayedGamesOnly = true});
        combinations += static_cast<uint64_t>(engine.CombinationsDone());
        benchmark::DoNotOptimize(shownBest);
        benchmark::DoNotOptimize(shownPercent);
        return engine.GameEvaluations();
    }
    TSPredict engine{ProgramEngineHost()};
    TSPredict::FormulaRow shownBest{};
    double shownPercent = 0;
    std::string shownText;
    long progressEvents = 0;
    uint64_t combinations = 0;
};

void BM_GridSearch(benchmark::State& state)
{
    if (!LoadSeasons(static_cast<int>(state.range(0)))) {
        state.SkipWithError("the sample seasons could not be made");
        return;
    }
    BenchHost host;
    SetDoEventsHook([] {});
    // The row's path: 0 the straightforward evaluation on one core; 2, 4, 8 the fast evaluation
    // on one core with that many games per step; 99 the fast evaluation, widest build, on
    // every core. The CPU column is the whole process's: what all its threads took.
    const int64_t path = state.range(1);
    host.engine.SetFastEvaluation(path != 0);
    host.engine.SetWorkerCount(path == 99 ? 0 : 1);
    fastkernel::ForceLanes(path == 2 || path == 4 || path == 8 ? static_cast<int>(path) : 0);
    if ((path == 4 || path == 8) && fastkernel::ChosenLanes() != path) {
        state.SkipWithError("the processor lacks this vector width");
        return;
    }
    uint64_t games = 0;
    for (auto _ : state)
        games += host.Run();
    SetDoEventsHook({});
    fastkernel::ForceLanes(0);
    const double runs = static_cast<double>(state.iterations());
    state.counters["combinations/s"] =
        benchmark::Counter(static_cast<double>(host.combinations), benchmark::Counter::kIsRate);
    state.counters["game evaluations/s"] = benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
    state.counters["combinations"] = static_cast<double>(host.combinations) / runs;
    state.counters["games per combination"] =
        host.combinations ? static_cast<double>(games) / static_cast<double>(host.combinations) : 0;
    state.counters["progress events"] = static_cast<double>(host.progressEvents) / runs;
}
// The rows of the paths this processor has: a vector width it lacks is no row at all, so a
// run on an older processor reports nothing as an error.
void RegisterGridSearch()
{
    auto* rows = benchmark::RegisterBenchmark("BM_GridSearch", BM_GridSearch)->ArgNames({"seasons", "path"});
    for (const int64_t seasons : {3, 41})
        for (const int64_t path : {0, 2, 4, 8, 99}) {
            const bool vector = path == 4 || path == 8;
            const bool wanted = seasons == 3 || path == 8 || path == 99;
            if (wanted && (!vector || fastkernel::NativeLanes() >= path))
                rows->Args({seasons, path});
        }
    rows->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
}

// Two threads that spin on each processor this process may use, as other programs would
// on a loaded machine, for as long as the object lives.
class BusyLoops {
public:
    static constexpr int PerCore = 2;

    BusyLoops()
    {
        cpu_set_t allowed;
        CPU_ZERO(&allowed);
        sched_getaffinity(0, sizeof allowed, &allowed);
        for (int c = 0; c < CPU_SETSIZE; ++c) {
            if (!CPU_ISSET(c, &allowed))
                continue;
            for (int k = 0; k < PerCore; ++k) {
                threads_.emplace_back([this] {
                    uint64_t n = 0;
                    while (!stop_.load(std::memory_order_relaxed))
                        benchmark::DoNotOptimize(++n);
                });
                cpu_set_t one;
                CPU_ZERO(&one);
                CPU_SET(c, &one);
                pthread_setaffinity_np(threads_.back().native_handle(), sizeof one, &one);
            }
        }
    }
    int Count() const { return static_cast<int>(threads_.size()); }
    ~BusyLoops()
    {
        stop_.store(true);
        for (auto& t : threads_)
            t.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

// All cores while two busy loops spin on each of them, against one worker in the same run: every
// iteration runs the grid with one worker, then on all cores. The row's time is the all-cores
// run's; "ratio to one worker" is the one worker's time over it (above 1: all cores faster).
void BM_GridSearchBusy(benchmark::State& state)
{
    if (!LoadSeasons(static_cast<int>(state.range(0)))) {
        state.SkipWithError("the sample seasons could not be made");
        return;
    }
    BenchHost one;
    BenchHost all;
    one.engine.SetWorkerCount(1);
    all.engine.SetWorkerCount(0);
    SetDoEventsHook([] {});
    const BusyLoops busy;
    double oneSeconds = 0;
    double allSeconds = 0;
    uint64_t games = 0;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        one.Run();
        const auto t1 = Clock::now();
        games += all.Run();
        const auto t2 = Clock::now();
        const double seconds = std::chrono::duration<double>(t2 - t1).count();
        oneSeconds += std::chrono::duration<double>(t1 - t0).count();
        allSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    SetDoEventsHook({});
    state.counters["ratio to one worker"] = allSeconds > 0 ? oneSeconds / allSeconds : 0;
    state.counters["busy loops"] = busy.Count();
    state.counters["one worker ms"] = 1000 * oneSeconds / static_cast<double>(state.iterations());
    state.counters["game evaluations/s"] = benchmark::Counter(static_cast<double>(games), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GridSearchBusy)->ArgName("seasons")->Arg(3)->Arg(41)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace

int main(int argc, char** argv)
{
    RegisterGridSearch();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
