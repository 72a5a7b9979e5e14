// Loading every season the program knows (1984 to 2024) and importing a full week of
// results, over generated season files of real size in a temporary program folder. The
// loads are measured as the benchmark repeats them (the arrays' memory kept by the heap)
// and as a user meets them: into arrays freed between loads, their memory given back to the
// system, with the season files in the system's file cache or read from the disk.
#include "GameRecord.h"
#include "Host.h"
#include "MsgBox.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "StatFile.h"
#include "StatImport.h"
#include "VbConvert.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace vexal;

constexpr uint64_t Seed = 7;
constexpr int ImportedWeek = 10;

void WriteText(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

// Puts a file written for the benchmark on the disk, so that no measured wait for the disk
// carries it; with `evict`, also drops it from the system's file cache, so that the next
// read comes from the disk.
void Settle(const std::filesystem::path& path, bool evict)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path.string());
    const bool ok = ::fsync(fd) == 0 && (!evict || ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED) == 0);
    ::close(fd);
    if (!ok)
        throw std::runtime_error("cannot settle " + path.string());
}

std::string StatLine(const GameRecord& g)
{
    auto n = [](int v) { return std::to_string(v); };
    auto block = [&](const TeamStats& s) {
        std::string text;
        for (const StatBlockField& f : StatBlock) {
            if (!text.empty())
                text += ',';
            text += n(f.Value(s));
        }
        return text;
    };
    return n(g.Year) + "," + n(g.Week) + "," + vb::FormatDate(g.GameDate, "m/d/yyyy") + "," + n(g.Surface) + "," +
           n(g.AwayTeam) + "," + n(g.HomeTeam) + "," + vb::CStr(g.LineValue()) + "," + vb::CStr(g.TotalValue()) + "," +
           n(g.AwayScore) + "," + n(g.HomeScore) + "," + block(g.AwayStats) + "," + block(g.HomeStats) + ",0\r\n";
}

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof())
        throw std::runtime_error("cannot read " + path.string());
    return text;
}

// The program folder of the benchmarks: every season played, except 2024 from week 10 on.
// VEXAL_BENCH_SEASONS may name a folder of other season files to measure on instead (its
// 1984.nfl to 2024.nfl, 2024 without the results to import, and week10.24, the stat file
// imported), copied into the temporary folder.
class ProgramFolderFixture {
public:
    ProgramFolderFixture()
    {
        std::random_device rd;
        folder_ = std::filesystem::temp_directory_path() / ("vexal-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(folder_);
        WriteText(folder_ / "Vexal.ini", "[Vexal]\r\nYear to Load=41\r\n");
        SetProgramFolder(folder_);
        if (const char* seasons = std::getenv("VEXAL_BENCH_SEASONS"); seasons && *seasons) {
            const std::filesystem::path from(seasons);
            for (int year = 1984; year <= 2024; ++year)
                std::filesystem::copy_file(from / SeasonFileName(year), folder_ / SeasonFileName(year));
            std::filesystem::copy_file(from / "week10.24", folder_ / "week10.24");
            unplayed_ = ReadText(folder_ / "2024.nfl");
            const std::string stats = ReadText(folder_ / "week10.24");
            for (char c : stats)
                games_ += c == '\n';
            return;
        }
        samplegen::SampleOptions options;
        options.Seed = Seed;
        options.FromYear = 1984;
        options.ToYear = 2024;
        options.UnplayedFromWeek = ImportedWeek;
        std::string error;
        if (!samplegen::WriteSampleSeasons(folder_, options, &error))
            throw std::runtime_error(error);
        unplayed_ = EncodeRecords(samplegen::MakeSeason(2024, Seed, ImportedWeek));
        std::string stats;
        for (const auto& g : samplegen::MakeSeason(2024, Seed))
            if (g.Week == ImportedWeek) {
                stats += StatLine(g);
                ++games_;
            }
        WriteText(folder_ / "week10.24", stats);
    }
    ~ProgramFolderFixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::filesystem::path& Folder() const { return folder_; }
    void RestoreSeason() const
    {
        WriteText(folder_ / "2024.nfl", unplayed_);
        Settle(folder_ / "2024.nfl", false);
    }
    // Every season file on the disk and, with `evict`, out of the file cache.
    void SettleSeasons(bool evict) const
    {
        for (int year = 1984; year <= 2024; ++year)
            Settle(folder_ / SeasonFileName(year), evict);
    }
    int Games() const { return games_; }

private:
    std::filesystem::path folder_;
    std::string unplayed_;
    int games_ = 0;
};

ProgramFolderFixture& Fixture()
{
    static ProgramFolderFixture fixture;
    return fixture;
}

void BM_LoadAllSeasons(benchmark::State& state)
{
    Fixture();
    InstallScriptedMessages();
    for (auto _ : state) {
        if (!SelectSeason(2024))
            state.SkipWithError("the load failed");
        benchmark::DoNotOptimize(Season().SeasonGames.data());
    }
    std::size_t records = 0;
    for (int year = 1984; year <= 2024; ++year)
        records += std::filesystem::file_size(Fixture().Folder() / SeasonFileName(year)) / GameRecord::Size;
    state.counters["seasons"] = static_cast<double>(Season().WeekSlots / WeekSlotsPerSeason);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(records));
}
BENCHMARK(BM_LoadAllSeasons)->Unit(benchmark::kMillisecond);

// "Year to Load" 41 as a user meets it: the previous arrays freed and their memory given back
// before each load; argument 0 reads the season files from the system's file cache, 1 from
// the disk.
void BM_LoadAllSeasonsFreshArrays(benchmark::State& state)
{
    Fixture();
    InstallScriptedMessages();
    const bool fromDisk = state.range(0) != 0;
    Fixture().SettleSeasons(false);
    // The page faults of the loads themselves: memory first touched, files mapped in.
    auto faults = [] {
        rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        return static_cast<double>(usage.ru_minflt + usage.ru_majflt);
    };
    double loadFaults = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ResetSeason();
        ::malloc_trim(0);
        if (fromDisk)
            Fixture().SettleSeasons(true);
        const double before = faults();
        state.ResumeTiming();
        if (!SelectSeason(2024))
            state.SkipWithError("the load failed");
        benchmark::DoNotOptimize(Season().SeasonGames.data());
        state.PauseTiming();
        loadFaults += faults() - before;
        state.ResumeTiming();
    }
    state.counters["seasons"] = static_cast<double>(Season().WeekSlots / WeekSlotsPerSeason);
    state.counters["page_faults"] = benchmark::Counter(loadFaults, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LoadAllSeasonsFreshArrays)->ArgName("fromDisk")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ImportWeek(benchmark::State& state)
{
    Fixture();
    auto& messages = InstallScriptedMessages();
    Fixture().RestoreSeason();
    if (!SelectSeason(2024))
        state.SkipWithError("the load failed");
    const std::string stats = (Fixture().Folder() / "week10.24").string();
    for (auto _ : state) {
        state.PauseTiming();
        Fixture().RestoreSeason();
        messages.shown.clear();
        state.ResumeTiming();
        Import(stats);
    }
    if (messages.shown.size() != 1 || messages.shown[0].title != "Import Complete!")
        state.SkipWithError("the import did not complete");
    state.counters["games"] = Fixture().Games();
    state.SetItemsProcessed(state.iterations() * Fixture().Games());
}
BENCHMARK(BM_ImportWeek)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
