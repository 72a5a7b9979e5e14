// Rolling team and opponent statistics, the high and low game drop, and the power ratings
// with strength of schedule.
#include "TSPredict.h"

#include "EngineArrays.h"
#include "Steps.h"
#include "TSPredictInternals.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WeekRange.h"

#include <cmath>

namespace vexal {

namespace {

using engine::GameFields;

// The fields of one side of a game, in the order the totals take them.
struct SideFields {
    int score, rushYds, passYds, rushAtt, passAtt, comp, ints, fumLost, sacks, top, tds, firstDowns;
};
constexpr SideFields HomeSide{gfHomeScore, gfHomeRushYds, gfHomePassYds, gfHomeRushAtt, gfHomePassAtt,
                              gfHomePassComp, gfHomeInt, gfHomeFumLost, gfHomeSacks, gfHomeTOP,
                              gfHomeTDs, gfHomeFirstDowns};
constexpr SideFields AwaySide{gfAwayScore, gfAwayRushYds, gfAwayPassYds, gfAwayRushAtt, gfAwayPassAtt,
                              gfAwayPassComp, gfAwayInt, gfAwayFumLost, gfAwaySacks, gfAwayTOP,
                              gfAwayTDs, gfAwayFirstDowns};

// Adds (sign 1) or subtracts (sign -1) one game to a totals array, own side first.
// teamSide: elements 3 and 4 hold own rushing then own pass attempts (TeamTotals);
// otherwise own pass then own rushing attempts (OppTotals).
void AccumulateGame(TSPredict::TotalsArray& t, const int16_t* game, bool ownHome, bool teamSide, float sign)
{
    const SideFields& own = ownHome ? HomeSide : AwaySide;
    const SideFields& opp = ownHome ? AwaySide : HomeSide;
    auto add = [&](int element, int field) { t[element] = t[element] + sign * static_cast<float>(game[field]); };
    add(0, own.score);
    add(1, own.rushYds);
    add(2, own.passYds);
    add(3, teamSide ? own.rushAtt : own.passAtt);
    add(4, teamSide ? own.passAtt : own.rushAtt);
    add(5, own.comp);
    add(6, own.ints);
    add(7, own.fumLost);
    add(8, own.sacks);
    add(9, opp.score);
    add(10, opp.rushYds);
    add(11, opp.passYds);
    add(12, opp.passAtt);
    add(13, opp.rushAtt);
    add(14, opp.comp);
    add(15, opp.ints);
    add(16, opp.fumLost);
    add(17, opp.sacks);
    add(19, own.top);
    add(20, opp.top);
    add(21, own.tds);
    add(22, opp.tds);
    add(23, own.firstDowns);
    add(24, opp.firstDowns);
}

// One statement of the averages: a ratio of 0 over 0 skips the statement (the element keeps
// its value), any other division by 0 ends the routine.
enum class Step { Done, Skipped, Fail };

Step Ratio(double numerator, double denominator, float& out, double scale = 1.0)
{
    if (denominator == 0.0)
        return numerator == 0.0 ? Step::Skipped : Step::Fail;
    const double value = numerator / denominator * scale;
    if (!std::isfinite(value) || std::fabs(value) > 3.4028234663852886e38)
        return Step::Skipped;
    out = static_cast<float>(value);
    return Step::Done;
}

// Passer rating of one side; a, b, c, d carry over from the previous side when a component
// is skipped. False when the routine must end.
bool PasserRating(double cmp, double att, double yds, double td, double ints, float& a, float& b, float& c,
                  float& d, float& rating)
{
    float r = 0;
    Step step = Ratio(cmp, att, r);
    if (step == Step::Fail)
        return false;
    if (step == Step::Done)
        a = static_cast<float>(static_cast<double>(r) * 5 - 1.5);
    step = Ratio(yds, att, r);
    if (step == Step::Fail)
        return false;
    if (step == Step::Done)
        b = static_cast<float>(static_cast<double>(r) * 0.25 - 0.75);
    step = Ratio(td, att, r);
    if (step == Step::Fail)
        return false;
    if (step == Step::Done)
        c = static_cast<float>(static_cast<double>(r) * 20);
    step = Ratio(ints, att, r);
    if (step == Step::Fail)
        return false;
    if (step == Step::Done)
        d = static_cast<float>(2.375 - static_cast<double>(r) * 25);
    for (float* component : {&a, &b, &c, &d}) {
        if (*component < 0)
            *component = 0;
        if (*component > 2.375f)
            *component = 2.375f;
    }
    rating = static_cast<float>((static_cast<double>(a) + b + c + d) / 6 * 100);
    return true;
}

} // namespace

StatisticsOptions StatisticsOptions::Of(const Formula& formula)
{
    StatisticsOptions options;
    options.RollingWeeks = formula[fsRollingWeeks];
    options.SeparateHomeAway = formula[fsSeparateHomeAway] != 0;
    options.DiscardHighLow = formula[fsDiscardHighLow] == 1;
    return options;
}

void TSPredict::lastgame_opponent(int16_t Team, int16_t Week, int16_t Games)
{
    Formula& formula = host_.CurrentFormula();
    const StatisticsOptions options = StatisticsOptions::Of(formula);
    MarkSeasonToDate(&formula, Team, options);
    RollingStatistics(Team, Week, Games, false, options);
}

void TSPredict::lastgame_team(int16_t Team, int16_t Week, int16_t Games)
{
    Formula& formula = host_.CurrentFormula();
    const StatisticsOptions options = StatisticsOptions::Of(formula);
    MarkSeasonToDate(&formula, Team, options);
    RollingStatistics(Team, Week, Games, true, options);
}

void TSPredict::MarkSeasonToDate(Formula* formula, int16_t Team, const StatisticsOptions& options)
{
    // The hosts' calls leave the current formula's season-to-date slot saying which window
    // the statistics took; a call for no team changes nothing.
    if (formula && Team >= 0)
        (*formula)[fsSeasonToDate] = options.SeasonToDate() ? 1.0f : 0.0f;
}

void TSPredict::RollingStatistics(int16_t Team, int16_t Week, int16_t Games, bool teamSide,
                                  const StatisticsOptions& options)
{
    TotalsArray& t = teamSide ? TeamTotals : OppTotals;
    AveragesArray& avg = teamSide ? TeamAverages : OppAverages;
    if (engine::RollingSide(host_.Seasons(), t, avg, seasonStartSlot_, Team, Week, Games, teamSide, options) &&
        !teamSide && Stats)
        Stats(TeamTotals, OppTotals, TeamAverages, OppAverages);
}

bool engine::RollingSide(const SeasonData& season, TSPredict::TotalsArray& t, TSPredict::AveragesArray& avg,
                         int16_t& seasonStart, int16_t Team, int16_t Week, int16_t Games, bool teamSide,
                         const StatisticsOptions& options)
{
    if (Team < 0)
        return false;
    t.fill(0.0f);
    avg.fill(0.0f);
    seasonStart = SeasonStartWeek(season, static_cast<int16_t>(Week > INT16_MIN ? Week - 1 : Week));

    const bool seasonToDate = options.SeasonToDate();
    const int wanted = (seasonToDate || Games < 1) ? Week - seasonStart - 1 : Games;
    const bool separate = options.SeparateHomeAway;
    const bool dropHighLow = options.DiscardHighLow;

    int counted = 0;
    int visited = 0;
    int highMargin = -100, lowMargin = 100;
    int16_t highWeek = 0, highSlot = 0, lowWeek = 0, lowSlot = 0;
    while (wanted > counted) {
        const int s = Week - 2 - visited;
        if (s < 0)
            break;
        if (seasonToDate && s < seasonStart)
            break;
        ++visited;
        for (int g = 0; g < GamesPerWeekSlot; ++g) {
            // A week outside the loaded week slots ends the routine: no averages, no event.
            const int16_t* game = GameFields(season, s, g);
            if (!game)
                return false;
            const int away = game[gfAwayTeam];
            const int home = game[gfHomeTeam];
            if (away + home == 0)
                break;
            const bool played = game[gfAwayScore] + game[gfHomeScore] > 0;
            bool counts = false;
            bool ownHome = false;
            if (teamSide) {
                if (home == Team) {
                    counts = played;
                    ownHome = true;
                } else if (away == Team && !separate) {
                    counts = played;
                }
            } else {
                if (away == Team) {
                    counts = played;
                } else if (home == Team && !separate) {
                    counts = played;
                    ownHome = true;
                }
            }
            if (!counts)
                continue;
            ++counted;
            if (dropHighLow) {
                const int margin = ownHome ? game[gfHomeScore] - game[gfAwayScore]
                                           : game[gfAwayScore] - game[gfHomeScore];
                if (margin > highMargin) {
                    highMargin = margin;
                    highWeek = static_cast<int16_t>(s);
                    highSlot = static_cast<int16_t>(g);
                }
                if (margin < lowMargin) {
                    lowMargin = margin;
                    lowWeek = static_cast<int16_t>(s);
                    lowSlot = static_cast<int16_t>(g);
                }
            }
            AccumulateGame(t, game, ownHome, teamSide, 1.0f);
            break;
        }
    }

    if (dropHighLow) {
        DropGames(season, t, Team, highWeek, highSlot, lowWeek, lowSlot, teamSide);
        counted -= 2;
    }
    if (counted < 1)
        return false;

    // Averages, in element order: a division by 0 of a nonzero value ends the routine here.
    const double G = counted;
    t[18] = static_cast<float>(counted);
    const double ownPassAtt = teamSide ? t[4] : t[3];
    const double ownRushAtt = teamSide ? t[3] : t[4];
    auto per = [&](int element, double numerator, double denominator, double scale = 1.0) {
        return Ratio(numerator, denominator, avg[static_cast<std::size_t>(element)], scale) != Step::Fail;
    };
    auto T = [&](int k) { return static_cast<double>(t[static_cast<std::size_t>(k)]); };
    if (!per(0, T(0), G) || !per(1, T(9), G) || !per(2, T(1), G) || !per(3, T(10), G) ||
        !per(4, T(2), G) || !per(5, T(11), G))
        return false;
    avg[6] = T(0) == 0 ? 100.0f : static_cast<float>((T(1) + T(2)) / T(0));
    avg[7] = T(9) == 0 ? 100.0f : static_cast<float>((T(10) + T(11)) / T(9));
    if (!per(8, T(1), ownRushAtt) || !per(9, T(10), T(13)) || !per(10, T(2), T(5)) ||
        !per(11, T(11), T(14)) || !per(12, T(2), ownPassAtt) || !per(13, T(11), T(12)) ||
        !per(14, T(5), ownPassAtt, 100) || !per(15, T(14), T(12), 100) || !per(16, ownPassAtt, G) ||
        !per(17, T(12), G) || !per(18, ownRushAtt, G) || !per(19, T(13), G) || !per(20, T(5), G) ||
        !per(21, T(14), G) || !per(22, T(6), G) || !per(23, T(15), G) || !per(24, T(7), G) ||
        !per(25, T(16), G) || !per(26, T(8), G) || !per(27, T(17), G) ||
        !per(28, T(0), T(1) + T(2), 100) || !per(29, T(9), T(10) + T(11), 100))
        return false;
    avg[30] = static_cast<float>((T(6) + T(7)) + (T(15) + T(16)) / (2 * G));
    avg[31] = static_cast<float>(G);
    if (!per(32, T(19), G) || !per(33, T(20), G) || !per(34, T(21), G) || !per(35, T(22), G))
        return false;
    float a = 0, b = 0, c = 0, d = 0;
    if (!PasserRating(T(5), ownPassAtt, T(2), T(21), T(6), a, b, c, d, avg[36]))
        return false;
    if (!PasserRating(T(14), T(12), T(11), T(22), T(15), a, b, c, d, avg[37]))
        return false;
    if (!per(38, T(23), G) || !per(39, T(24), G))
        return false;
    return true;
}

void TSPredict::highlowopp(std::string TeamText, int16_t Week, int16_t Slot, int16_t A, int16_t B)
{
    HighLowDrop(TeamText, Week, Slot, A, B, false);
}

void TSPredict::highlowtem(std::string TeamText, int16_t Week, int16_t Slot, int16_t A, int16_t B)
{
    HighLowDrop(TeamText, Week, Slot, A, B, true);
}

void TSPredict::HighLowDrop(const std::string& TeamText, int16_t Week, int16_t Slot, int16_t A, int16_t B,
                            bool teamSide)
{
    engine::DropGames(host_.Seasons(), teamSide ? TeamTotals : OppTotals, vb::Val(TeamText), Week, Slot, A, B,
                      teamSide);
}

void engine::DropGames(const SeasonData& season, TSPredict::TotalsArray& t, double team, int16_t Week, int16_t Slot,
                       int16_t A, int16_t B, bool teamSide)
{
    const std::pair<int16_t, int16_t> games[2] = {{Week, Slot}, {A, B}};
    for (const auto& [weekSlot, gameSlot] : games) {
        const int16_t* game = GameFields(season, weekSlot, gameSlot);
        if (!game)
            return;
        if (team == game[gfAwayTeam])
            AccumulateGame(t, game, false, teamSide, -1.0f);
        else if (team == game[gfHomeTeam])
            AccumulateGame(t, game, true, teamSide, -1.0f);
    }
}

void TSPredict::CalcPowerRating(int16_t Week, int16_t Team)
{
    Formula& formula = host_.CurrentFormula();
    PowerRatings(Week, Team, StatisticsOptions::Of(formula), &formula);
}

void TSPredict::PowerRatings(int16_t Week, int16_t Team, const StatisticsOptions& options, Formula* marked)
{
    for (auto& row : PowerTable)
        row.fill(0.0f);
    for (auto& row : OffensePerformance)
        row.fill(0.0f);
    for (auto& row : DefensePerformance)
        row.fill(0.0f);
    for (auto& row : OpponentTable)
        row.fill(0);

    const SeasonData& season = host_.Seasons();
    seasonStartSlot_ = SeasonStartWeek(season, static_cast<int16_t>(Week > INT16_MIN ? Week - 1 : Week));
    const int start = seasonStartSlot_;
    int back = (Week - 1) - start;
    if (back < 1)
        back = 0;
    int16_t games = 0;
    SkipStep([&] { games = vb::CInt(options.RollingWeeks); });

    std::array<int16_t, 33> counted{};
    std::array<int16_t, 33> offenseSum{};
    std::array<int16_t, 33> defenseSum{};
    const bool oneTeam = Team >= 1;
    auto teamOk = [](int code) { return code >= 0 && code <= 32; };
    auto perfOk = [](int i) { return i >= 0 && i <= 22; };
    auto oppOk = [](int i) { return i >= 0 && i <= 44; };
    // One side of a game: its opponent, its performance against the opponent's averages and
    // its running sums; a position outside the tables loses that entry only.
    auto side = [&](int i, int own, int opp, int ownScore, int oppScore, bool ownHome) {
        TeamAverages[0] = TeamAverages[1] = 0;
        OppAverages[0] = OppAverages[1] = 0;
        if (oppOk(i) && teamOk(own))
            OpponentTable[static_cast<std::size_t>(i)][static_cast<std::size_t>(own)] = static_cast<int16_t>(opp);
        int16_t week = static_cast<int16_t>(i + start);
        const AveragesArray* averages = nullptr;
        MarkSeasonToDate(marked, static_cast<int16_t>(opp), options);
        if (ownHome) {
            RollingStatistics(static_cast<int16_t>(opp), week, games, false, options);
            averages = &OppAverages;
        } else {
            RollingStatistics(static_cast<int16_t>(opp), week, games, true, options);
            averages = &TeamAverages;
        }
        const bool cell = perfOk(i) && teamOk(own);
        if (cell) {
            OffensePerformance[static_cast<std::size_t>(i)][static_cast<std::size_t>(own)] =
                static_cast<float>(ownScore - static_cast<double>((*averages)[1]));
            DefensePerformance[static_cast<std::size_t>(i)][static_cast<std::size_t>(own)] =
                static_cast<float>(static_cast<double>((*averages)[0]) - oppScore);
        }
        if (!teamOk(own))
            return;
        const auto o = static_cast<std::size_t>(own);
        counted[o] = static_cast<int16_t>(counted[o] + 1);
        if (!cell)
            return;
        const auto w = static_cast<std::size_t>(i);
        SkipStep([&] { offenseSum[o] = vb::CInt(offenseSum[o] + static_cast<double>(OffensePerformance[w][o])); });
        SkipStep([&] { defenseSum[o] = vb::CInt(defenseSum[o] + static_cast<double>(DefensePerformance[w][o])); });
    };

    for (int k = Week - 1; k >= Week - back && back > 0; --k) {
        const int s = k - 1;
        const int i = k - start;
        for (int g = 0; g < GamesPerWeekSlot; ++g) {
            const int16_t* game = GameFields(season, s, g);
            if (!game)
                break;
            if (game[gfAwayScore] + game[gfHomeScore] < 1)
                break;
            const int away = game[gfAwayTeam];
            const int home = game[gfHomeTeam];
            if (oneTeam && Team != away && Team != home)
                continue;
            const int awayScore = game[gfAwayScore];
            const int homeScore = game[gfHomeScore];
            side(i, home, away, homeScore, awayScore, true);
            side(i, away, home, awayScore, homeScore, false);
            if (oneTeam)
                break;
        }
    }

    const int firstTeam = oneTeam ? Team : 1;
    const int lastTeam = oneTeam ? Team : static_cast<int>(season.DivisionOrder.size()) - 1;
    for (int t = firstTeam; t <= lastTeam; ++t) {
        if (t < 1 || t > 32)
            continue;
        const auto tt = static_cast<std::size_t>(t);
        const double n = counted[tt] == 0 ? 1 : counted[tt];
        PowerTable[tt][1] = static_cast<float>(offenseSum[tt] / n + 100);
        PowerTable[tt][2] = static_cast<float>(defenseSum[tt] / n + 100);
        PowerTable[tt][3] = static_cast<float>((static_cast<double>(PowerTable[tt][1]) + PowerTable[tt][2]) / 2);
    }
    for (int t = firstTeam; t <= lastTeam; ++t) {
        if (t < 1 || t > 32)
            continue;
        const auto tt = static_cast<std::size_t>(t);
        int n = 0;
        for (int i = Week - start; i >= 1; --i) {
            if (!oppOk(i))
                continue;
            const int o = OpponentTable[static_cast<std::size_t>(i)][tt];
            if (o > 0) {
                ++n;
                if (o <= 32) {
                    PowerTable[tt][4] = static_cast<float>(static_cast<double>(PowerTable[tt][4]) + PowerTable[static_cast<std::size_t>(o)][1]);
                    PowerTable[tt][5] = static_cast<float>(static_cast<double>(PowerTable[tt][5]) + PowerTable[static_cast<std::size_t>(o)][2]);
                }
            }
        }
        if (n == 0)
            n = 1;
        PowerTable[tt][4] = static_cast<float>(static_cast<double>(PowerTable[tt][4]) / n);
        PowerTable[tt][5] = static_cast<float>(static_cast<double>(PowerTable[tt][5]) / n);
        PowerTable[tt][6] = static_cast<float>((static_cast<double>(PowerTable[tt][4]) + PowerTable[tt][5]) / 2);
    }

    if (PowerRating)
        PowerRating(PowerTable, OffensePerformance, DefensePerformance, OpponentTable);
}

} // namespace vexal
