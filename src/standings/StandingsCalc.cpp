#include "StandingsCalc.h"

#include "SharedProcs.h"
#include "VbConvert.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace vexal::standings {

namespace {

// Week slots the arrays really hold: a span from a setting or a stale week never reads past them.
int SlotsHeld(const SeasonData& season)
{
    const auto games = season.SeasonGames.size() / WeekSlotStride;
    const auto lines = season.SeasonLines.size() / LineSlotStride;
    return static_cast<int>(std::min(games, lines));
}

int16_t GameField(const SeasonData& season, int weekSlot, int gameSlot, int field)
{
    return season.Game(weekSlot, gameSlot, field);
}

float SpreadOf(const SeasonData& season, int weekSlot, int gameSlot)
{
    return season.SeasonLines[static_cast<std::size_t>(weekSlot) * LineSlotStride + gameSlot * LinesPerGame];
}

float TotalOf(const SeasonData& season, int weekSlot, int gameSlot)
{
    return season.SeasonLines[static_cast<std::size_t>(weekSlot) * LineSlotStride + gameSlot * LinesPerGame + 1];
}

bool SurfacePasses(const GameFilters& f, int surface)
{
    if (f.GrassFilter != 1 && f.TurfFilter != 1 && f.DomeFilter != 1)
        return true;
    return (surface == 0 && f.GrassFilter == 1) || (surface == 1 && f.TurfFilter == 1) ||
           (surface == 2 && f.DomeFilter == 1);
}

// Counts one game for one side of it.
void CountSide(TeamRecord& r, const GameFilters& f, bool away, int awayScore, int homeScore, float spread,
               int surface, float teaser)
{
    const bool favourite = away ? spread > 0 : spread <= 0;
    if (f.FavoriteFilter != f.UnderdogFilter) {
        if (f.FavoriteFilter == 1 && !favourite)
            return;
        if (f.UnderdogFilter == 1 && favourite)
            return;
    }
    if (!SurfacePasses(f, surface))
        return;
    const int own = away ? awayScore : homeScore;
    const int other = away ? homeScore : awayScore;
    const double margin = away ? (static_cast<double>(awayScore) - spread) - (static_cast<double>(homeScore) - teaser)
                               : (static_cast<double>(homeScore) + spread + teaser) - awayScore;
    if (margin > 0)
        ++r.AtsWins;
    else if (margin == 0)
        ++r.Pushes;
    else
        ++r.AtsLosses;
    if (own > other)
        ++r.Wins;
    else if (own == other)
        ++r.Ties;
    else
        ++r.Losses;
    r.PointsFor = static_cast<int16_t>(r.PointsFor + own);
    r.PointsAgainst = static_cast<int16_t>(r.PointsAgainst + other);
}

struct DivisionBlock {
    int FirstEntry;
    int Teams;
    int Column;
    int FirstRow;
};

constexpr int Afc = AfcColumn;
constexpr int Nfc = NfcColumn;
constexpr std::array<DivisionBlock, 6> Table1970{{
    {0, 5, Afc, 2}, {5, 6, Afc, 8}, {11, 5, Afc, 15}, {16, 5, Nfc, 2}, {21, 5, Nfc, 8}, {26, 5, Nfc, 15}}};
constexpr std::array<DivisionBlock, 8> Table2002{{
    {0, 4, Afc, 2}, {4, 4, Afc, 7}, {8, 4, Afc, 12}, {12, 4, Afc, 17},
    {16, 4, Nfc, 2}, {20, 4, Nfc, 7}, {24, 4, Nfc, 12}, {28, 4, Nfc, 17}}};

// A game slot's result text for one side: WIN, PUSH or LOSS by the sign of the margin.
const char* ResultWord(double margin)
{
    return margin > 0 ? "WIN" : (margin == 0 ? "PUSH" : "LOSS");
}

// The first game slot of a week in which the team plays (its two codes differ), or -1.
int TeamGameOfWeek(const SeasonData& season, int weekSlot, int team)
{
    for (int g = 0; g < GamesPerWeekSlot; ++g) {
        const int away = GameField(season, weekSlot, g, gfAwayTeam);
        const int home = GameField(season, weekSlot, g, gfHomeTeam);
        if (away != home && (away == team || home == team))
            return g;
    }
    return -1;
}

} // namespace

GameFilters FiltersFrom(int listIndex, bool favorite, bool underdog, bool allGames, const GameFilters& previous)
{
    GameFilters f = previous;
    if (allGames) {
        f.FavoriteFilter = 1;
        f.UnderdogFilter = 1;
        f.UseAwayGames = 1;
        f.UseHomeGames = 1;
        return f;
    }
    f.FavoriteFilter = favorite ? 1 : 0;
    f.UnderdogFilter = underdog ? 1 : 0;
    f.GrassFilter = listIndex == 3 ? 1 : 0;
    f.TurfFilter = listIndex == 4 ? 1 : 0;
    f.DomeFilter = listIndex == 5 ? 1 : 0;
    f.UseAwayGames = listIndex == 1 ? 0 : 1;
    f.UseHomeGames = listIndex == 2 ? 0 : 1;
    return f;
}

float TeaserPoints(const std::string& itemText)
{
    if (itemText == "6 pt. Teaser")
        return 6.0f;
    if (itemText == "6.5 pt. Teaser")
        return 6.5f;
    if (itemText == "7 pt. Teaser")
        return 7.0f;
    if (itemText == "7.5 pt. Teaser")
        return 7.5f;
    if (itemText == "9 pt. Teaser")
        return 9.0f;
    return 0.0f;
}

float TeamRecord::Fraction() const
{
    if (Wins + Losses == 0)
        return -1.0f;
    return static_cast<float>(Wins) / static_cast<float>(Wins + Losses);
}

std::string TeamRecord::StraightText() const
{
    return std::to_string(Wins) + " - " + std::to_string(Losses) + " - " + std::to_string(Ties);
}

std::string TeamRecord::AtsText() const
{
    return std::to_string(AtsWins) + " - " + std::to_string(AtsLosses) + " - " + std::to_string(Pushes);
}

std::optional<WeekSpan> StandingsWeeks(const SeasonData& season, int currentWeek)
{
    const int last = currentWeek - 1;
    if (last < 0 || last >= SlotsHeld(season))
        return std::nullopt;
    for (int16_t first : season.SeasonFirstWeek)
        if (first <= last)
            return WeekSpan{std::max<int>(first, 0), last};
    return std::nullopt;
}

TeamRecord CountTeam(const SeasonData& season, WeekSpan span, int team, const GameFilters& filters, float teaser)
{
    TeamRecord r;
    const int last = std::min(span.Last, SlotsHeld(season) - 1);
    for (int w = std::max(span.First, 0); w <= last; ++w)
        for (int g = 0; g < GamesPerWeekSlot; ++g) {
            const int awayScore = GameField(season, w, g, gfAwayScore);
            const int homeScore = GameField(season, w, g, gfHomeScore);
            if (awayScore + homeScore < 1)
                continue;
            const float spread = SpreadOf(season, w, g);
            const int surface = GameField(season, w, g, gfSurface);
            if (filters.UseAwayGames == 1 && GameField(season, w, g, gfAwayTeam) == team)
                CountSide(r, filters, true, awayScore, homeScore, spread, surface, teaser);
            if (filters.UseHomeGames == 1 && GameField(season, w, g, gfHomeTeam) == team)
                CountSide(r, filters, false, awayScore, homeScore, spread, surface, teaser);
        }
    return r;
}

std::vector<StandingsRow> ComputeStandings(const SeasonData& season, int currentWeek, const GameFilters& filters,
                                           float teaser, bool from2002)
{
    const std::optional<WeekSpan> span = StandingsWeeks(season, currentWeek);
    const float points = from2002 ? teaser : 0.0f;
    std::vector<StandingsRow> rows;
    auto place = [&](const DivisionBlock& d) {
        std::vector<TeamRecord> records(static_cast<std::size_t>(d.Teams));
        std::vector<float> fractions(static_cast<std::size_t>(d.Teams), 0.0f);
        std::vector<int32_t> index(static_cast<std::size_t>(d.Teams), 0);
        for (int i = 0; i < d.Teams; ++i) {
            const int team = season.DivisionOrder[static_cast<std::size_t>(d.FirstEntry + i)];
            if (span)
                records[static_cast<std::size_t>(i)] = CountTeam(season, *span, team, filters, points);
            fractions[static_cast<std::size_t>(i)] = records[static_cast<std::size_t>(i)].Fraction();
        }
        if (from2002) {
            // Highest fraction first; teams without a decision (-1) after every team with
            // one; equal fractions, and a division without any decision, in division order.
            std::iota(index.begin(), index.end(), 0);
            std::stable_sort(index.begin(), index.end(), [&](int32_t a, int32_t b) {
                return fractions[static_cast<std::size_t>(a)] > fractions[static_cast<std::size_t>(b)];
            });
        } else {
            SortIndex(fractions, index, d.Teams - 1, true);
        }
        for (int k = 0; k < d.Teams; ++k) {
            const int at = index[static_cast<std::size_t>(k)];
            StandingsRow row;
            row.Row = d.FirstRow + k;
            row.Column = d.Column;
            row.Rank = k;
            row.Team = season.DivisionOrder[static_cast<std::size_t>(d.FirstEntry + at)];
            row.Record = records[static_cast<std::size_t>(at)];
            rows.push_back(row);
        }
    };
    if (from2002)
        for (const auto& d : Table2002)
            place(d);
    else
        for (const auto& d : Table1970)
            place(d);
    return rows;
}

std::vector<ScheduleGame> TeamSchedule(const SeasonData& season, int team, int opponent, const GameFilters& f,
                                       float teaser)
{
    std::vector<ScheduleGame> games;
    const int last = std::min<int>(season.WeekSlots, SlotsHeld(season) - 1);
    const bool noLineFilter = f.FavoriteFilter == 0 && f.UnderdogFilter == 0;
    for (int w = 0; w <= last; ++w) {
        int chosen = -1;
        for (int g = 0; g < GamesPerWeekSlot && chosen < 0; ++g) {
            const float line = SpreadOf(season, w, g);
            const int away = GameField(season, w, g, gfAwayTeam);
            const int home = GameField(season, w, g, gfHomeTeam);
            const bool awayLine = noLineFilter || (f.FavoriteFilter == 1 && line > 0) ||
                                  (f.UnderdogFilter == 1 && line <= 0);
            const bool homeLine = noLineFilter || (f.FavoriteFilter == 1 && line < 0) ||
                                  (f.UnderdogFilter == 1 && line >= 0);
            const bool side = (away == team && f.UseAwayGames == 1 && awayLine) ||
                              (home == team && f.UseHomeGames == 1 && homeLine);
            const bool against = opponent == 0 || (home == opponent && away == team) ||
                                 (away == opponent && home == team);
            if (side && against && SurfacePasses(f, GameField(season, w, g, gfSurface)))
                chosen = g;
        }
        if (chosen < 0)
            continue;
        const int away = GameField(season, w, chosen, gfAwayTeam);
        const int home = GameField(season, w, chosen, gfHomeTeam);
        if (away == home)
            continue;
        ScheduleGame game;
        game.WeekSlot = w;
        game.GameSlot = chosen;
        const int a = GameField(season, w, chosen, gfAwayScore);
        const int h = GameField(season, w, chosen, gfHomeScore);
        game.Played = a + h >= 0;
        if (game.Played) {
            const double line = SpreadOf(season, w, chosen);
            const double total = TotalOf(season, w, chosen);
            const bool isAway = away == team;
            const double t = teaser;
            game.Ats = isAway ? ResultWord((a + t) - (h + line)) : ResultWord((h + t) - (a - line));
            // Straight up is the score alone: a teaser moves only the line.
            game.Straight = isAway ? ResultWord(a - h) : ResultWord(h - a);
            const int points = a + h;
            game.Ats += points > total ? "/OVER" : (points == total ? "/PUSH" : "/UNDER");
        }
        games.push_back(game);
    }
    return games;
}

std::optional<WeekSpan> PointsWeeks(const SeasonData& season, int currentWeek)
{
    const auto& firsts = season.SeasonFirstWeek;
    const int c = currentWeek - 1;
    if (firsts.empty() || c < 0)
        return std::nullopt;
    WeekSpan span;
    if (firsts[0] <= c) {
        span = {firsts[0], c};
    } else {
        std::size_t k = 1;
        while (k < firsts.size() && firsts[k] > c)
            ++k;
        if (k >= firsts.size())
            return std::nullopt;
        span = {firsts[k], firsts[k - 1] - 1};
    }
    span.First = std::max(span.First, 0);
    span.Last = std::min(span.Last, SlotsHeld(season) - 1);
    if (span.Last < span.First)
        return std::nullopt;
    return span;
}

PointsTable PointsForAgainst(const SeasonData& season, int currentWeek, int team)
{
    PointsTable table;
    table.Columns.resize(1);
    const std::optional<WeekSpan> span = PointsWeeks(season, currentWeek);
    if (!span)
        return table;
    table.FirstWeekSlot = span->First;
    for (int w = span->First; w <= span->Last; ++w) {
        const int g = TeamGameOfWeek(season, w, team);
        if (g < 0)
            continue;
        const std::size_t column = static_cast<std::size_t>(w - span->First);
        if (table.Columns.size() < column + 1)
            table.Columns.resize(column + 1);
        PointsColumn& c = table.Columns[column];
        const bool away = GameField(season, w, g, gfAwayTeam) == team;
        c.Opponent = away ? GameField(season, w, g, gfHomeTeam) : GameField(season, w, g, gfAwayTeam);
        const int16_t own = GameField(season, w, g, away ? gfAwayScore : gfHomeScore);
        const int16_t other = GameField(season, w, g, away ? gfHomeScore : gfAwayScore);
        if (own >= 0)
            c.PointsFor = own;
        if (other >= 0)
            c.PointsAgainst = other;
    }
    // The averages are over the games played: a bye or a game still to come is no 0-point game.
    int32_t sumFor = 0, sumAgainst = 0;
    int playedFor = 0, playedAgainst = 0;
    for (const PointsColumn& c : table.Columns) {
        if (c.PointsFor) {
            sumFor += *c.PointsFor;
            ++playedFor;
        }
        if (c.PointsAgainst) {
            sumAgainst += *c.PointsAgainst;
            ++playedAgainst;
        }
    }
    auto average = [](int32_t sum, int games) {
        return games == 0 ? 0 : vb::CInt(vb::Val(vb::Format(static_cast<double>(sum) / games, "0.0")));
    };
    table.AverageFor = average(sumFor, playedFor);
    table.AverageAgainst = average(sumAgainst, playedAgainst);
    return table;
}

} // namespace vexal::standings
