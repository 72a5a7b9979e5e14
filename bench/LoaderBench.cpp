// Loading every season the program knows (1984 to 2024) and importing a full week of
// results, over generated season files in a temporary program folder.
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
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

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

std::string StatLine(const GameRecord& g)
{
    auto n = [](int v) { return std::to_string(v); };
    auto block = [&](const TeamStats& s) {
        std::string text;
        for (const StatBlockField& f : StatBlock)
            text += (text.empty() ? "" : ",") + n(f.Value(s));
        return text;
    };
    return n(g.Year) + "," + n(g.Week) + "," + vb::FormatDate(g.GameDate, "m/d/yyyy") + "," + n(g.Surface) + "," +
           n(g.AwayTeam) + "," + n(g.HomeTeam) + "," + vb::CStr(g.LineValue()) + "," + vb::CStr(g.TotalValue()) + "," +
           n(g.AwayScore) + "," + n(g.HomeScore) + "," + block(g.AwayStats) + "," + block(g.HomeStats) + ",0\r\n";
}

// The program folder of the benchmarks: every season played, except 2024 from week 10 on.
class ProgramFolderFixture {
public:
    ProgramFolderFixture()
    {
        std::random_device rd;
        folder_ = std::filesystem::temp_directory_path() / ("vexal-bench-" + std::to_string(rd()));
        std::filesystem::create_directories(folder_);
        samplegen::SampleOptions options;
        options.Seed = Seed;
        options.FromYear = 1984;
        options.ToYear = 2024;
        options.UnplayedFromWeek = ImportedWeek;
        std::string error;
        if (!samplegen::WriteSampleSeasons(folder_, options, &error))
            throw std::runtime_error(error);
        WriteText(folder_ / "Vexal.ini", "[Vexal]\r\nYear to Load=41\r\n");
        unplayed_ = EncodeRecords(samplegen::MakeSeason(2024, Seed, ImportedWeek));
        std::string stats;
        for (const auto& g : samplegen::MakeSeason(2024, Seed))
            if (g.Week == ImportedWeek) {
                stats += StatLine(g);
                ++games_;
            }
        WriteText(folder_ / "week10.24", stats);
        SetProgramFolder(folder_);
    }
    ~ProgramFolderFixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::filesystem::path& Folder() const { return folder_; }
    void RestoreSeason() const { WriteText(folder_ / "2024.nfl", unplayed_); }
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
