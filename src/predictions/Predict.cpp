#include "Predict.h"

#include "SeasonData.h"
#include "VbConvert.h"

#include <cmath>
#include <limits>

namespace vexal::predict {

const std::array<ColumnSpec, 10> PredictColumns = {{
    {"Away Team", "Away Team", 0.173, "", true},
    {"ATP/S", "P/S", 0.08, "0.0", true},
    {"Home Team", "Home Team", 0.173, "", true},
    {"HTP/S", "P/S", 0.08, "0.0", true},
    {"Line", "Line", 0.08, "", true},
    {"O/U", "O/U", 0.08, "", true},
    {"Pick?", "Pick?", 0.173, "", true},
    {"Score", "Score", 0.085, "", true},
    {"W/L", "W/L", 0.07, "", true},
    {"Pool", "Pool", 0.0, "", false},
}};

const std::array<const char*, 6> TeaserItems = {"-", "6", "6.5", "7", "7.5", "9"};

int32_t ResultColor(std::string_view result)
{
    if (result == "Win")
        return Green;
    if (result == "Loss")
        return Red;
    if (result == "Tie")
        return Blue;
    return Black;
}

std::optional<ScheduledGame> GameAt(int weekSlot, int gameSlot)
{
    const SeasonData& s = Season();
    if (weekSlot < 0 || gameSlot < 0 || gameSlot >= GamesPerWeekSlot)
        return std::nullopt;
    const std::size_t base = static_cast<std::size_t>(weekSlot) * WeekSlotStride +
                             static_cast<std::size_t>(gameSlot) * FieldsPerGame;
    const std::size_t lineAt = static_cast<std::size_t>(weekSlot) * LineSlotStride +
                               static_cast<std::size_t>(gameSlot) * LinesPerGame;
    if (base + FieldsPerGame > s.SeasonGames.size())
        return std::nullopt;
    ScheduledGame g;
    g.awayTeam = s.SeasonGames[base + gfAwayTeam];
    g.homeTeam = s.SeasonGames[base + gfHomeTeam];
    g.awayScore = s.SeasonGames[base + gfAwayScore];
    g.homeScore = s.SeasonGames[base + gfHomeScore];
    if (lineAt + 1 < s.SeasonLines.size()) {
        g.line = s.SeasonLines[lineAt];
        g.total = s.SeasonLines[lineAt + 1];
    }
    return g;
}

std::vector<int> WeekGameSlots(int weekSlot, int startGame)
{
    std::vector<int> slots;
    for (int i = std::max(startGame, 0); i < GamesPerWeekSlot; ++i) {
        std::optional<ScheduledGame> g = GameAt(weekSlot, i);
        if (!g || (g->awayTeam <= 0 && g->homeTeam <= 0))
            break;
        slots.push_back(i);
    }
    return slots;
}

std::string ScoreText(int16_t awayScore, int16_t homeScore)
{
    return std::to_string(awayScore) + " - " + std::to_string(homeScore);
}

int16_t PoolValue(double line, double homePoints, double awayPoints)
{
    // The grid holds Singles, so the sum is made in single precision as the cells hold it.
    const float margin = static_cast<float>(line) + static_cast<float>(homePoints) - static_cast<float>(awayPoints);
    return static_cast<int16_t>(std::abs(vb::CInt(margin)));
}

ColumnSort ColumnClickSort(int column)
{
    const std::string c = vb::CStr(column);
    if (vb::InStr(1, "2456", c) > 0)
        return {2, 100};
    if (vb::InStr(1, "79", c) > 0)
        return {2, 102};
    return {1, 102};
}

int16_t WholeNumber(std::string_view text)
{
    const double v = vb::RoundHalfEven(vb::Val(text));
    // A number no whole-number box can hold counts as no number.
    if (!std::isfinite(v) || v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        return 0;
    return static_cast<int16_t>(v);
}

int16_t TeaserPoints(std::string_view text) { return WholeNumber(text); }

namespace {
float OneDecimal(double v) { return static_cast<float>(vb::Val(vb::Format(v, "0.0"))); }
} // namespace

RangeItems RangeLimitsOf(float homePoints, float awayPoints, float minDiff, float maxDiff, bool totals)
{
    RangeItems r;
    if (!totals) {
        const float diff = awayPoints - homePoints;
        r.item1 = OneDecimal(static_cast<double>(diff - minDiff) - 0.05);
        r.item2 = OneDecimal(static_cast<double>(diff - maxDiff) + 0.05);
        r.item4 = OneDecimal(static_cast<double>(diff + minDiff) + 0.05);
        r.item5 = OneDecimal(static_cast<double>(diff + maxDiff) - 0.05);
    } else {
        const float sum = awayPoints + homePoints;
        r.item1 = OneDecimal(static_cast<double>(sum + minDiff) + 0.05);
        r.item2 = OneDecimal(static_cast<double>(sum + maxDiff) - 0.05);
        r.item4 = OneDecimal(static_cast<double>(sum - minDiff) - 0.05);
        r.item5 = OneDecimal(static_cast<double>(sum - maxDiff) + 0.05);
    }
    return r;
}

SingleGamePlays SingleGameMarks(float homePoints, float awayPoints, int line, int total, float minDiff,
                                float maxDiff)
{
    const float h = homePoints;
    const float a = awayPoints;
    const float l = static_cast<float>(line);
    const float t = static_cast<float>(total);
    SingleGamePlays p;
    p.away = a - l > h + minDiff && a - l < h + maxDiff;
    p.home = h + l > a + minDiff && h + l < a + maxDiff;
    const float sum = h + a;
    p.over = sum > t + minDiff && sum < t + maxDiff;
    p.under = sum < t - minDiff && sum > t - maxDiff;
    return p;
}

} // namespace vexal::predict
