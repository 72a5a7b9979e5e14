// The consensus and range report pages, written for a hand-made week of three games with the
// clock fixed at 14 February 2025, compared byte for byte with golden/<case>/expected.htm.
#include "Clock.h"
#include "Golden.h"
#include "ConsensusReports.h"
#include "Predict.h"
#include "RangeReports.h"
#include "TempFolder.h"
#include "VbConvert.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vexal::test {
namespace {

ReportWeek ThreeGames(bool totals)
{
    ReportWeek week;
    week.header = totals ? std::vector<ReportGame>{{"KC", "BAL", 46.5f}, {"PHI", "GB", 48}, {"PIT", "ATL", 42.5f}}
                         : std::vector<ReportGame>{{"KC", "BAL", -3}, {"PHI", "GB", 1.5f}, {"PIT", "ATL", -0.5f}};
    week.hasGame[0] = week.hasGame[1] = week.hasGame[2] = true;
    return week;
}

std::array<std::string, 17> Picks(std::initializer_list<const char*> first)
{
    std::array<std::string, 17> picks{};
    std::size_t i = 0;
    for (const char* p : first)
        picks[i++] = p;
    return picks;
}

void WriteConsensus(const std::filesystem::path& path, bool totals)
{
    ConsensusPage page(path, totals, "Wk 1 of 2024", ReportDate(), "", ThreeGames(totals));
    if (totals) {
        page.Row("Best", Picks({"OVER", "", "UNDER"}));
        page.Row("Trend", Picks({"UNDER", "OVER", ""}));
    } else {
        page.Row("Best", Picks({"KC", "", "ATL"}));
        page.Row("Trend", Picks({"BAL", "GB", ""}));
    }
    page.Close();
}

// Each game's limits as the Predictions window hands them over: from the formula's predicted
// points with a smallest and largest difference of 1 and 7 (items 1, 2, 4 and 5 of a game).
std::array<std::array<float, 17>, 6> Limits(bool totals, float extra)
{
    std::array<std::array<float, 17>, 6> limits{};
    const std::array<std::array<float, 2>, 3> points{{{24, 20}, {21, 27.5f}, {17, 16.5f}}};
    for (std::size_t g = 0; g < points.size(); ++g) {
        const predict::RangeItems r = predict::RangeLimitsOf(points[g][0] + extra, points[g][1], 1, 7, totals);
        limits[1][g] = r.item1;
        limits[2][g] = r.item2;
        limits[4][g] = r.item4;
        limits[5][g] = r.item5;
    }
    return limits;
}

void WriteRange(const std::filesystem::path& path, bool totals)
{
    const std::vector<RangeGame> games{{"Kansas City", "Baltimore"}, {"Philadelphia", "Green Bay"},
                                       {"Pittsburgh", "Atlanta"}};
    RangePage page(path, "Wk 1 of 2024", ReportDate(), "");
    page.Block("Best.fla", games, Limits(totals, 0), totals);
    page.Block("Trend.fla", games, Limits(totals, 2.5f), totals);
    page.Close();
}

struct PageCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> write;
};

class ReportPagesGolden : public ::testing::TestWithParam<PageCase> {
protected:
    void SetUp() override { SetFixedClock(vb::DateSerial(2025, 2, 14) + vb::TimeSerial(23, 59, 0)); }
    void TearDown() override { SetClock({}); }
};

TEST_P(ReportPagesGolden, PageMatchesExpected)
{
    TempFolder folder;
    GetParam().write(folder / "report.htm");
    EXPECT_TRUE(FileMatchesGolden(folder / "report.htm", GoldenFolder("predictions") / GetParam().name / "expected.htm"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportPagesGolden,
    ::testing::Values(
        PageCase{"consensus-sides", [](const std::filesystem::path& p) { WriteConsensus(p, false); }},
        PageCase{"consensus-totals", [](const std::filesystem::path& p) { WriteConsensus(p, true); }},
        PageCase{"range-sides", [](const std::filesystem::path& p) { WriteRange(p, false); }},
        PageCase{"range-totals", [](const std::filesystem::path& p) { WriteRange(p, true); }}),
    [](const ::testing::TestParamInfo<PageCase>& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

} // namespace
} // namespace vexal::test
