#include "GeneratedSeasons.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <random>

namespace vexal::test {

SeasonBuilder::SeasonBuilder(int seasons, int newestYear)
    : newestYear_(newestYear), seasons_(seasons)
{
    Season() = SeasonData{};
    Season().Allocate(seasons);
    Season().SeasonYear = static_cast<int16_t>(newestYear);
    Season().WeekSeason = static_cast<int16_t>(newestYear);
}

int SeasonBuilder::AddWeek(int year, int week)
{
    const int slot = static_cast<int>(weekYears_.size());
    weekYears_.push_back(year);
    gamesInWeek_.push_back(0);
    Season().WeekItems.push_back("Wk " + std::to_string(week) + " of " + std::to_string(year));
    Season().Game(slot, 0, gfWeek) = static_cast<int16_t>(week);
    Finish();
    return slot;
}

int SeasonBuilder::AddGame(int weekSlot, const GameSpec& game)
{
    const int g = gamesInWeek_[static_cast<std::size_t>(weekSlot)]++;
    const int week = Season().Game(weekSlot, 0, gfWeek);
    PutGame(weekSlot, g, week, game);
    return g;
}

void SeasonBuilder::PutGame(int weekSlot, int g, int week, const GameSpec& s)
{
    SeasonData& d = Season();
    auto set = [&](int field, int value) { d.Game(weekSlot, g, field) = static_cast<int16_t>(value); };
    set(gfWeek, week);
    set(gfAwayTeam, s.away);
    set(gfHomeTeam, s.home);
    set(gfAwayScore, s.awayScore);
    set(gfHomeScore, s.homeScore);
    set(gfHomeTOP, s.homeTop);
    set(gfAwayTOP, s.awayTop);
    set(gfHomeRushYds, s.homeRush);
    set(gfHomePassYds, s.homePass);
    set(gfHomeRushAtt, s.homeRushAtt);
    set(gfHomePassAtt, s.homePassAtt);
    set(gfHomePassComp, s.homeComp);
    set(gfHomeInt, s.homeInt);
    set(gfHomeFumLost, s.homeFum);
    set(gfHomeSacks, s.homeSacks);
    set(gfAwayRushYds, s.awayRush);
    set(gfAwayPassYds, s.awayPass);
    set(gfAwayRushAtt, s.awayRushAtt);
    set(gfAwayPassAtt, s.awayPassAtt);
    set(gfAwayPassComp, s.awayComp);
    set(gfAwayInt, s.awayInt);
    set(gfAwayFumLost, s.awayFum);
    set(gfAwaySacks, s.awaySacks);
    set(gfInjury, s.injury);
    set(gfWeather, s.weather);
    set(gfPsychological, s.psychological);
    set(gfSituational, s.situational);
    set(gfSurface, s.surface);
    set(gfHomeTDs, s.homeTds);
    set(gfAwayTDs, s.awayTds);
    set(gfHomeFirstDowns, s.homeFirstDowns);
    set(gfAwayFirstDowns, s.awayFirstDowns);
    d.Spread(weekSlot, g) = s.spread;
    d.Total(weekSlot, g) = s.total;
}

void SeasonBuilder::Finish()
{
    // SeasonFirstWeek[k]: the first week slot of the season k years before the newest.
    SeasonData& d = Season();
    std::fill(d.SeasonFirstWeek.begin(), d.SeasonFirstWeek.end(), 0);
    for (std::size_t slot = weekYears_.size(); slot-- > 0;) {
        const int k = newestYear_ - weekYears_[slot];
        if (k >= 0 && k <= seasons_ && static_cast<std::size_t>(k) < d.SeasonFirstWeek.size())
            d.SeasonFirstWeek[static_cast<std::size_t>(k)] = static_cast<int16_t>(slot);
    }
}

namespace {

// A side's box score for a given score, from the team's strength and chance.
void BoxScore(std::mt19937_64& rng, int score, double strength, int& rush, int& pass, int& rushAtt, int& passAtt,
              int& comp, int& ints, int& fum, int& sacks, int& tds, int& firstDowns)
{
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    rushAtt = uniform(18, 38);
    rush = std::max(10, static_cast<int>(rushAtt * (3.2 + strength * 0.4) + uniform(-25, 25)));
    passAtt = uniform(22, 48);
    comp = std::min(passAtt, static_cast<int>(passAtt * (0.55 + strength * 0.03)) + uniform(-3, 3));
    comp = std::max(comp, 5);
    pass = std::max(40, comp * 11 + score * 3 + uniform(-40, 40));
    ints = std::max(0, uniform(-1, 3) - static_cast<int>(strength));
    fum = std::max(0, uniform(-2, 2));
    sacks = uniform(0, 6);
    tds = std::max(0, std::min(5, score / 9 + uniform(-1, 1)));
    firstDowns = std::max(6, (rush + pass) / 17 + uniform(-3, 3));
}

} // namespace

void GenerateSeasons(const GeneratedOptions& o)
{
    SeasonBuilder builder(o.seasons, o.newestYear);
    std::mt19937_64 rng(o.seed);
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };

    for (int k = o.seasons - 1; k >= 0; --k) {
        const int year = o.newestYear - k;
        std::array<double, 33> strength{};
        for (int t = 1; t <= 32; ++t)
            strength[static_cast<std::size_t>(t)] = std::normal_distribution<double>(0, 1)(rng);
        const int weeks = o.regularWeeks + o.playoffWeeks;
        for (int week = 1; week <= weeks; ++week) {
            const int slot = builder.AddWeek(year, week);
            std::vector<int> teams(32);
            std::iota(teams.begin(), teams.end(), 1);
            std::shuffle(teams.begin(), teams.end(), rng);
            int games = 16;
            if (week > o.regularWeeks)
                games = std::max(1, 8 >> (week - o.regularWeeks - 1));
            else if (week >= 5 && week <= 14)
                games = 16 - uniform(0, 2);   // byes
            for (int g = 0; g < games; ++g) {
                GameSpec s;
                s.home = teams[static_cast<std::size_t>(2 * g)];
                s.away = teams[static_cast<std::size_t>(2 * g + 1)];
                const double edge = strength[static_cast<std::size_t>(s.home)] - strength[static_cast<std::size_t>(s.away)];
                s.spread = static_cast<float>(std::round((-edge * 4.0 - 2.5 + uniform(-3, 3)) * 2) / 2);
                if (o.rough && chance(0.05))
                    s.spread = 0;
                s.total = static_cast<float>(std::round((44 + uniform(-8, 8)) * 2) / 2);
                s.surface = uniform(0, 2);
                if (chance(0.25)) {
                    s.injury = uniform(-3, 3);
                    s.weather = uniform(-2, 2);
                    s.psychological = uniform(-2, 2);
                    s.situational = uniform(-2, 2);
                }
                const bool played = !(k == 0 && o.unplayedFromWeek > 0 && week >= o.unplayedFromWeek);
                if (played) {
                    const double homeMean = 22 + edge * 3.5 + 1.5;
                    const double awayMean = 22 - edge * 3.5 - 1.5;
                    s.homeScore = std::max(0, static_cast<int>(std::lround(std::normal_distribution<double>(homeMean, 9)(rng))));
                    s.awayScore = std::max(0, static_cast<int>(std::lround(std::normal_distribution<double>(awayMean, 9)(rng))));
                    if (o.rough && chance(0.04))
                        s.awayScore = s.homeScore;
                    if (s.homeScore == 0 && s.awayScore == 0)
                        s.homeScore = 3;
                    BoxScore(rng, s.homeScore, strength[static_cast<std::size_t>(s.home)], s.homeRush, s.homePass,
                             s.homeRushAtt, s.homePassAtt, s.homeComp, s.homeInt, s.homeFum, s.homeSacks, s.homeTds,
                             s.homeFirstDowns);
                    BoxScore(rng, s.awayScore, strength[static_cast<std::size_t>(s.away)], s.awayRush, s.awayPass,
                             s.awayRushAtt, s.awayPassAtt, s.awayComp, s.awayInt, s.awayFum, s.awaySacks, s.awayTds,
                             s.awayFirstDowns);
                    s.homeTop = uniform(1500, 2100);
                    s.awayTop = 3600 - s.homeTop;
                    if (o.rough && chance(0.03)) {
                        // Scores entered without a box score.
                        s.homeRush = s.homePass = s.homeRushAtt = s.homePassAtt = s.homeComp = 0;
                        s.awayRush = s.awayPass = s.awayRushAtt = s.awayPassAtt = s.awayComp = 0;
                    }
                }
                builder.AddGame(slot, s);
            }
        }
    }
}

} // namespace vexal::test
