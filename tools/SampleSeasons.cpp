#include "SampleSeasons.h"

#include "SeasonData.h"
#include "Teams.h"
#include "VbConvert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vexal::samplegen {

namespace {

// splitmix64 with integer-only draws, so a seed gives the same seasons with any compiler
// and C library.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
    int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1)); }
    bool Chance(double p) { return Uniform() < p; }
    // Approximately standard normal (sum of twelve uniforms).
    double Normal()
    {
        double sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += Uniform();
        return sum - 6.0;
    }
    int Binomial(int n, double p)
    {
        int k = 0;
        for (int i = 0; i < n; ++i)
            k += Chance(p) ? 1 : 0;
        return k;
    }
    template <class T>
    void Shuffle(std::vector<T>& v)
    {
        for (std::size_t i = v.size(); i > 1; --i)
            std::swap(v[i - 1], v[static_cast<std::size_t>(Next() % i)]);
    }

private:
    uint64_t state_;
};

uint64_t SeasonSeed(uint64_t seed, int year)
{
    Rng mix(seed ^ (static_cast<uint64_t>(year) * 0xD1B54A32D192ED03ull));
    mix.Next();
    return mix.Next();
}

bool Plays(int code, int year)
{
    if (code == 5 || code == 14)
        return year >= 1995;   // the two expansion teams
    if (code == 31)
        return year >= 1999;   // Cleveland's return
    return code >= 1 && code <= LastTeamCode;
}

// The home surface of a team (0 grass, 1 turf, 2 dome); not a record of history, only plausible.
uint8_t HomeSurface(int code, int year)
{
    switch (code) {
    case 2: case 10: case 13: case 17: case 19: case 32: return 2;
    case 1: return year >= 2006 ? 2 : 0;
    case 8: return year >= 2009 ? 2 : 1;
    case 22: return year >= 2020 ? 2 : 0;
    case 25: return (year >= 1995 && year <= 2015) || year >= 2020 ? 2 : 0;
    case 4: case 7: case 20: case 21: case 28: return 1;
    case 18: return year >= 2006 ? 1 : 0;
    case 23: return year >= 2003 ? 0 : 1;
    default: return 0;
    }
}

double RoundToHalf(double v) { return std::floor(v * 2.0 + 0.5) / 2.0; }

template <class T>
T Clamp(double v, double lo, double hi)
{
    return static_cast<T>(std::lround(std::clamp(v, lo, hi)));
}

struct Points {
    int Score = 0;
    int TDs = 0;
};

// Points made of touchdowns (with their tries), field goals and the odd safety.
Points ScorePoints(Rng& rng, double expected)
{
    Points p;
    p.TDs = rng.Binomial(12, std::clamp(expected * 0.68 / 6.95 / 12.0, 0.0, 0.9));
    const int fieldGoals = rng.Binomial(8, std::clamp(expected * 0.32 / 3.0 / 8.0, 0.0, 0.9));
    p.Score = 6 * p.TDs + 3 * fieldGoals;
    for (int i = 0; i < p.TDs; ++i) {
        double u = rng.Uniform();
        p.Score += u < 0.93 ? 1 : (u < 0.965 ? 2 : 0);
    }
    if (rng.Chance(0.025))
        p.Score += 2;
    return p;
}

// A box score that agrees with the points: touchdown passes never exceed the touchdowns
// (at most a sixth of the score), completions never exceed attempts, and so on.
TeamStats MakeBox(Rng& rng, const Points& own, int oppScore, int year)
{
    TeamStats s;
    const double lead = own.Score - oppScore;
    const int passTDs = year >= 1995 ? rng.Binomial(own.TDs, 0.62) : 0;
    s.RushAtt = Clamp<uint8_t>(25.0 + lead / 3.0 + rng.Normal() * 4.0, 10, 50);
    s.RushYds = Clamp<int16_t>(s.RushAtt * (4.2 + rng.Normal() * 0.8), 0, 400);
    s.PassAtt = Clamp<uint8_t>(34.0 - lead / 3.0 + rng.Normal() * 6.0, 15, 60);
    s.PassComp = Clamp<uint8_t>(s.PassAtt * (0.63 + rng.Normal() * 0.07), passTDs, s.PassAtt);
    s.PassYds = Clamp<int16_t>(s.PassComp * (10.5 + rng.Normal() * 1.8) + own.Score * 1.5, 0, 600);
    s.TDs = static_cast<uint8_t>(passTDs);
    s.Int = static_cast<uint8_t>(std::min<int>(rng.Binomial(8, 0.1), s.PassAtt - s.PassComp));
    s.Fum = static_cast<uint8_t>(rng.Binomial(6, 0.2));
    s.FumLost = static_cast<uint8_t>(rng.Binomial(s.Fum, 0.5));
    s.Sacks = static_cast<uint8_t>(rng.Binomial(10, 0.24));
    s.SackYds = Clamp<int16_t>(s.Sacks * (6.5 + rng.Normal() * 1.5), s.Sacks, 120);
    s.FirstDowns = Clamp<uint8_t>((s.RushYds + s.PassYds) / 16.0 + own.TDs + rng.Normal() * 2.0, 5, 40);
    s.Pen = static_cast<uint8_t>(1 + rng.Binomial(14, 0.4));
    s.PenYds = Clamp<int16_t>(s.Pen * (8.0 + rng.Normal() * 1.5), s.Pen * 5, 200);
    s.RetYds = Clamp<int16_t>(70.0 + rng.Normal() * 30.0, 0, 300);
    return s;
}

struct Matchup {
    int Week = 0;
    int Home = 0;
    int Away = 0;
    bool Playoff = false;
};

class SeasonMaker {
public:
    SeasonMaker(int year, uint64_t seed) : year_(year), rng_(SeasonSeed(seed, year)), shape_(ShapeOf(year))
    {
        teams_ = LeagueTeams(year);
        const auto order = DivisionOrderOf(year);
        for (const Division& d : Divisions(year)) {
            const int index = static_cast<int>(&d - Divisions(year).data());
            for (int p = d.First; p < d.First + d.Count; ++p) {
                divisionOf_[order[static_cast<std::size_t>(p)]] = index;
                afc_[order[static_cast<std::size_t>(p)]] = d.First < 16;
            }
        }
        for (int t : teams_)
            rating_[t] = rng_.Normal() * 4.5;
    }

    std::vector<GameRecord> Make()
    {
        ScheduleRegularSeason();
        for (const Matchup& m : schedule_)
            Play(m);
        SchedulePlayoffs();
        AddFactors();
        return records_;
    }

private:
    void ScheduleRegularSeason()
    {
        const int weeks = shape_.RegularWeeks;
        const int n = static_cast<int>(teams_.size());
        const int byesPerTeam = weeks - shape_.GamesPerTeam;

        // Teams on a bye each week: with an odd league somebody rests every week; the rest
        // of the byes fall in pairs into the middle of the season.
        std::vector<std::vector<int>> byes(static_cast<std::size_t>(weeks) + 1);
        if (byesPerTeam > 0) {
            std::vector<int> quota(static_cast<std::size_t>(weeks) + 1, n % 2);
            quota[0] = 0;
            int remaining = n * byesPerTeam - (n % 2) * weeks;
            const int firstByeWeek = weeks >= 18 ? 5 : 4;
            const int lastByeWeek = weeks - 4;
            std::vector<int> window;
            for (int w = firstByeWeek; w <= lastByeWeek; ++w)
                window.push_back(w);
            int cap = 6 + n % 2;
            while (remaining > 0) {
                rng_.Shuffle(window);
                bool placed = false;
                for (int w : window) {
                    if (remaining <= 0)
                        break;
                    if (quota[static_cast<std::size_t>(w)] + 2 <= cap) {
                        quota[static_cast<std::size_t>(w)] += 2;
                        remaining -= 2;
                        placed = true;
                    }
                }
                if (!placed)
                    cap = n; // a league too small for the usual bye weeks rests more teams a week
            }
            std::vector<int> resting;
            for (int b = 0; b < byesPerTeam; ++b)
                resting.insert(resting.end(), teams_.begin(), teams_.end());
            rng_.Shuffle(resting);
            std::size_t next = 0;
            for (int w = 1; w <= weeks; ++w) {
                for (int k = 0; k < quota[static_cast<std::size_t>(w)]; ++k)
                    byes[static_cast<std::size_t>(w)].push_back(resting[next++]);
            }
        }

        std::array<std::array<int, 33>, 33> lastHome{};
        for (int w = 1; w <= weeks; ++w) {
            std::vector<int> available;
            for (int t : teams_) {
                const auto& off = byes[static_cast<std::size_t>(w)];
                if (std::find(off.begin(), off.end(), t) == off.end())
                    available.push_back(t);
            }
            rng_.Shuffle(available);
            while (available.size() >= 2) {
                const int t = available.back();
                available.pop_back();
                std::size_t best = 0;
                double bestCost = 1e9;
                for (std::size_t i = 0; i < available.size(); ++i) {
                    const double cost = PairCost(t, available[i]) + rng_.Uniform();
                    if (cost < bestCost) {
                        bestCost = cost;
                        best = i;
                    }
                }
                const int u = available[best];
                available.erase(available.begin() + static_cast<std::ptrdiff_t>(best));

                // A second meeting goes to the other team's field; otherwise the team with
                // fewer home games hosts.
                int home;
                if (meetings_[t][u] > 0)
                    home = lastHome[t][u] == t ? u : t;
                else if (homeGames_[t] != homeGames_[u])
                    home = homeGames_[t] < homeGames_[u] ? t : u;
                else
                    home = rng_.Chance(0.5) ? t : u;
                const int away = home == t ? u : t;
                ++meetings_[t][u];
                ++meetings_[u][t];
                lastHome[t][u] = lastHome[u][t] = home;
                ++homeGames_[home];
                lastOpponent_[t] = u;
                lastOpponent_[u] = t;
                schedule_.push_back({w, home, away, false});
            }
        }
    }

    // Division rivals meet twice, other teams once if it can be helped, never two weeks running.
    double PairCost(int t, int u) const
    {
        const int met = meetings_[t][u];
        double cost = divisionOf_[t] == divisionOf_[u] ? (met >= 2 ? 20.0 * met : 0.0) : 8.0 * met;
        if (lastOpponent_[t] == u)
            cost += 30.0;
        return cost;
    }

    void Play(const Matchup& m)
    {
        GameRecord r;
        r.Year = static_cast<int16_t>(year_);
        r.Week = static_cast<uint8_t>(m.Week);
        r.GameDate = SeasonStart(year_) + 7.0 * (m.Week - 1);
        r.HomeTeam = static_cast<uint8_t>(m.Home);
        r.AwayTeam = static_cast<uint8_t>(m.Away);
        r.Surface = m.Week == shape_.RegularWeeks + shape_.PlayoffWeeks
                        ? static_cast<uint8_t>(rng_.Chance(0.5) ? 2 : 0)
                        : HomeSurface(m.Home, year_);

        const double homeEdge = m.Week == shape_.RegularWeeks + shape_.PlayoffWeeks ? 0.0 : 1.3;
        const double diff = (rating_[m.Home] - rating_[m.Away]) / 2.0;
        const double homeExpected = std::clamp(21.8 + homeEdge + diff, 8.0, 40.0);
        const double awayExpected = std::clamp(21.8 - homeEdge - diff, 8.0, 40.0);
        r.SetLine(RoundToHalf(-(homeExpected - awayExpected) + rng_.Normal() * 1.0));
        r.SetTotal(RoundToHalf(homeExpected + awayExpected + rng_.Normal() * 2.5));

        Points home = ScorePoints(rng_, homeExpected);
        Points away = ScorePoints(rng_, awayExpected);
        if (home.Score == away.Score) {
            // Decided by a field goal in overtime: no ties, and never 0 to 0 (which is unplayed).
            (rng_.Chance(0.5 + diff / 20.0) ? home : away).Score += 3;
        }
        r.HomeScore = static_cast<uint8_t>(home.Score);
        r.AwayScore = static_cast<uint8_t>(away.Score);
        r.HomeStats = MakeBox(rng_, home, away.Score, year_);
        r.AwayStats = MakeBox(rng_, away, home.Score, year_);
        const int homeSeconds = Clamp<int>(1800.0 + (home.Score - away.Score) * 8.0 + rng_.Normal() * 150.0, 1320, 2280);
        r.HomeStats.TOPMin = static_cast<uint8_t>(homeSeconds / 60);
        r.HomeStats.TOPSec = static_cast<uint8_t>(homeSeconds % 60);
        r.AwayStats.TOPMin = static_cast<uint8_t>((3600 - homeSeconds) / 60);
        r.AwayStats.TOPSec = static_cast<uint8_t>((3600 - homeSeconds) % 60);
        records_.push_back(r);

        if (!m.Playoff) {
            const bool homeWon = home.Score > away.Score;
            ++wins_[homeWon ? m.Home : m.Away];
            pointDiff_[m.Home] += home.Score - away.Score;
            pointDiff_[m.Away] += away.Score - home.Score;
        }
    }

    // True when a ranks above b in the standings.
    bool Ahead(int a, int b) const
    {
        if (wins_[a] != wins_[b])
            return wins_[a] > wins_[b];
        if (pointDiff_[a] != pointDiff_[b])
            return pointDiff_[a] > pointDiff_[b];
        return a < b;
    }

    std::vector<int> Seeds(bool afc) const
    {
        std::vector<int> winners, others;
        for (std::size_t d = 0; d < Divisions(year_).size(); ++d) {
            int best = 0;
            for (int t : teams_) {
                if (divisionOf_[t] == static_cast<int>(d) && (best == 0 || Ahead(t, best)))
                    best = t;
            }
            if (best != 0 && afc_[best] == afc)
                winners.push_back(best);
        }
        for (int t : teams_) {
            if (afc_[t] == afc && std::find(winners.begin(), winners.end(), t) == winners.end())
                others.push_back(t);
        }
        auto ahead = [this](int a, int b) { return Ahead(a, b); };
        std::sort(winners.begin(), winners.end(), ahead);
        std::sort(others.begin(), others.end(), ahead);
        std::vector<int> seeds = winners;
        for (int t : others) {
            if (static_cast<int>(seeds.size()) >= shape_.PlayoffSeeds)
                break;
            seeds.push_back(t);
        }
        return seeds;
    }

    int Winner(const GameRecord& r) const { return r.HomeScore > r.AwayScore ? r.HomeTeam : r.AwayTeam; }

    // Plays a round of one conference: pairs (higher seed hosts) and returns the winners
    // with the teams that had a bye, in seed order.
    std::vector<int> PlayRound(const std::vector<int>& alive, int week, int byes)
    {
        std::vector<int> next(alive.begin(), alive.begin() + byes);
        const std::size_t playing = alive.size() - static_cast<std::size_t>(byes);
        for (std::size_t i = 0; i < playing / 2; ++i) {
            const int high = alive[static_cast<std::size_t>(byes) + i];
            const int low = alive[alive.size() - 1 - i];
            Play({week, high, low, true});
            next.push_back(Winner(records_.back()));
        }
        // Keep seed order for the next round.
        std::sort(next.begin(), next.end(), [&alive](int a, int b) {
            return std::find(alive.begin(), alive.end(), a) < std::find(alive.begin(), alive.end(), b);
        });
        return next;
    }

    void SchedulePlayoffs()
    {
        std::array<std::vector<int>, 2> alive{Seeds(true), Seeds(false)};
        const int firstWeek = shape_.RegularWeeks + 1;
        // Wild-card round: the top seeds rest until four teams a conference remain.
        for (int c = 0; c < 2; ++c) {
            const int byes = 8 - static_cast<int>(alive[static_cast<std::size_t>(c)].size());
            alive[static_cast<std::size_t>(c)] = PlayRound(alive[static_cast<std::size_t>(c)], firstWeek, byes);
        }
        for (int c = 0; c < 2; ++c)
            alive[static_cast<std::size_t>(c)] = PlayRound(alive[static_cast<std::size_t>(c)], firstWeek + 1, 0);
        for (int c = 0; c < 2; ++c)
            alive[static_cast<std::size_t>(c)] = PlayRound(alive[static_cast<std::size_t>(c)], firstWeek + 2, 0);
        // The final is on a neutral field; the conferences take turns as the home side.
        const int afc = alive[0].front();
        const int nfc = alive[1].front();
        if (year_ % 2 == 1)
            Play({firstWeek + 3, afc, nfc, true});
        else
            Play({firstWeek + 3, nfc, afc, true});
    }

    // A few games carry factors and a comment, as a user sets them by hand.
    void AddFactors()
    {
        static const char* const notes[] = {
            "Starting quarterback questionable", "Top receiver out", "Rain and wind expected",
            "Short week after Monday game", "Revenge game", "Division title at stake",
        };
        for (GameRecord& r : records_) {
            if (!rng_.Chance(0.05))
                continue;
            const int kind = rng_.Range(0, 5);
            const int value = rng_.Chance(0.5) ? rng_.Range(1, 3) : -rng_.Range(1, 3);
            if (kind <= 1)
                r.Injuries = static_cast<int16_t>(value);
            else if (kind == 2)
                r.Weather = static_cast<int16_t>(value);
            else if (kind == 3)
                r.Situational = static_cast<int16_t>(value);
            else
                r.Psychological = static_cast<int16_t>(value);
            r.SetComment(notes[kind]);
        }
    }

    int year_;
    Rng rng_;
    SeasonShape shape_;
    std::vector<int> teams_;
    std::array<int, 33> divisionOf_{};
    std::array<bool, 33> afc_{};
    std::array<double, 33> rating_{};
    std::array<std::array<int, 33>, 33> meetings_{};
    std::array<int, 33> homeGames_{};
    std::array<int, 33> lastOpponent_{};
    std::array<int, 33> wins_{};
    std::array<int, 33> pointDiff_{};
    std::vector<Matchup> schedule_;
    std::vector<GameRecord> records_;
};

} // namespace

SeasonShape ShapeOf(int year)
{
    SeasonShape s;
    if (year < 1990) {
        s.RegularWeeks = 16;
        s.GamesPerTeam = 16;
        s.PlayoffSeeds = 5;
    } else if (year <= 2020) {
        s.RegularWeeks = 17;
        s.GamesPerTeam = 16;
        s.PlayoffSeeds = year >= 2020 ? 7 : 6;
    } else {
        s.RegularWeeks = 18;
        s.GamesPerTeam = 17;
        s.PlayoffSeeds = 7;
    }
    return s;
}

std::vector<int> LeagueTeams(int year)
{
    std::vector<int> teams;
    for (uint8_t code : DivisionOrderOf(year)) {
        if (Plays(code, year))
            teams.push_back(code);
    }
    return teams;
}

double SeasonStart(int year)
{
    double d = vb::DateSerial(year, 9, 7);
    while (vb::Weekday(d) != 1)
        d += 1;
    return d;
}

std::vector<GameRecord> MakeSeason(int year, uint64_t seed, int unplayedFromWeek)
{
    std::vector<GameRecord> records = SeasonMaker(year, seed).Make();
    if (unplayedFromWeek > 0) {
        for (GameRecord& r : records) {
            if (r.Week >= unplayedFromWeek) {
                r.HomeScore = 0;
                r.AwayScore = 0;
                r.HomeStats = TeamStats{};
                r.AwayStats = TeamStats{};
            }
        }
    }
    return records;
}

bool WriteSampleSeasons(const std::filesystem::path& folder, const SampleOptions& options, std::string* error)
{
    auto fail = [error](const std::string& message) {
        if (error)
            *error = message;
        return false;
    };
    if (options.FromYear < FirstSeason || options.ToYear > CurrentSeason || options.FromYear > options.ToYear)
        return fail("Seasons must run from " + std::to_string(FirstSeason) + " to " + std::to_string(CurrentSeason) +
                    ", first season not after the last.");
    if (options.UnplayedFromWeek < 0 || options.UnplayedFromWeek > WeekSlotsPerSeason)
        return fail("The first unplayed week must lie between 1 and " + std::to_string(WeekSlotsPerSeason) + ".");
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec)
        return fail("Can't make the folder " + folder.string() + ": " + ec.message());
    const int unplayedSeason = options.UnplayedSeason != 0 ? options.UnplayedSeason : options.ToYear;
    for (int year = options.FromYear; year <= options.ToYear; ++year) {
        const int unplayed = year == unplayedSeason ? options.UnplayedFromWeek : 0;
        const std::filesystem::path path = folder / SeasonFileName(year);
        if (!WriteSeasonFile(path, MakeSeason(year, options.Seed, unplayed)))
            return fail("Can't write " + path.string());
    }
    return true;
}

} // namespace vexal::samplegen
