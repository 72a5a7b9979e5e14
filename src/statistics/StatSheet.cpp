#include "StatSheet.h"

#include "SeasonData.h"
#include "VbConvert.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vexal::stats {

namespace {

using W = StatWarning;
using M = StatMenu;

const std::vector<StatItem> Items = {
    {1, "PTS", "&Points", "TOTAL POINTS SCORED", M::OffensiveTotals, 0, W::None},
    {24, "FD", "&First Downs", "TOTAL FIRST DOWNS", M::OffensiveTotals, 0, W::None},
    {2, "RY", "&Rushing Yards", "TOTAL RUSHING YARDS", M::OffensiveTotals, 0, W::None},
    {3, "PY", "&Passing Yards", "TOTAL PASSING YARDS", M::OffensiveTotals, 0, W::None},
    {5, "RA", "R&ushing Attempts", "TOTAL RUSHING ATTEMPTS", M::OffensiveTotals, 8, W::None},
    {4, "Pa", "P&assing Attempts", "TOTAL PASSING ATTEMPTS", M::OffensiveTotals, 9, W::None},
    {6, "pC", "Pass &Completions", "TOTAL PASS COMPLETIONS", M::OffensiveTotals, 10, W::None},
    {22, "OTDP", "TD Passes", "TOTAL PASSING TOUCHDOWNS", M::OffensiveTotals, 0, W::TdPasses},
    {7, "I", "&Interceptions", "TOTAL INTERCEPTIONS THROWN", M::OffensiveTotals, 11, W::None},
    {8, "F", "&Fumbles", "TOTAL FUMBLES", M::OffensiveTotals, 12, W::None},
    {9, "s", "&Sacks", "TOTAL SACKS AGAINST", M::OffensiveTotals, 15, W::None},

    {10, "DPTS", "&Points", "TOTAL POINTS SCORED AGAINST", M::DefensiveTotals, 0, W::None},
    {25, "OFD", "&First Downs", "TOTAL FIRST DOWNS AGAINST", M::DefensiveTotals, 0, W::None},
    {11, "DRY", "&Rushing Yards", "TOTAL RUSHING YARDS AGAINST", M::DefensiveTotals, 0, W::None},
    {12, "DPY", "&Passing Yards", "TOTAL PASSING YARDS AGAINST", M::DefensiveTotals, 0, W::None},
    {14, "DRA", "R&ushing Attempts", "TOTAL RUSHING ATTEMPTS AGAINST", M::DefensiveTotals, 0, W::None},
    {13, "DPA", "P&assing Attempts", "TOTAL PASSING ATTEMPTS AGAINST", M::DefensiveTotals, 0, W::None},
    {15, "DPC", "Pass &Completions", "TOTAL PASS COMPLETIONS AGAINST", M::DefensiveTotals, 0, W::None},
    {23, "DTDPS", "TD Passes", "TOTAL PASSING TOUCHDOWNS AGAINST", M::DefensiveTotals, 0, W::TdPasses},
    {16, "DI", "&Interceptions", "TOTAL INTERCEPTIONS FOR", M::DefensiveTotals, 0, W::None},
    {17, "DF", "&Fumbles (Recovered)", "TOTAL FUMBLES RECOVERED", M::DefensiveTotals, 0, W::None},
    {18, "DS", "&Sacks", "TOTAL SACKS FOR", M::DefensiveTotals, 0, W::None},

    {100, "AVPTS", "&Points", "AVERAGE POINTS SCORED", M::OffensiveAverages, 2, W::None},
    {138, "AFD", "&First Downs", "AVERAGE FIRST DOWNS FOR", M::OffensiveAverages, 3, W::None},
    {102, "ARY", "&Rushing Yards", "AVERAGE RUSHING YARDS", M::OffensiveAverages, 4, W::None},
    {104, "AVPY", "&Passing Yards", "AVERAGE PASSING YARDS", M::OffensiveAverages, 5, W::None},
    {108, "YPR", "Yards Per Rush", "AVERAGE YARDS PER RUSH", M::OffensiveAverages, 6, W::None},
    {112, "YPP", "Yards Per Pass Attempt", "AVERAGE YARDS PER PASS ATTEMPT", M::OffensiveAverages, 14, W::None},
    {110, "YPC", "Yards Per Pass (Comp)", "AVERAGE YARDS PER PASS COMPLETED", M::OffensiveAverages, 7, W::None},
    {134, "TDP", "TD Passes", "AVERAGE NUMBER OF TD PASSES", M::OffensiveAverages, 0, W::TdPasses},
    {106, "YPPOINT", "Yards Per Point", "AVERAGE YARDS PER POINT", M::OffensiveAverages, 0, W::None},
    {132, "mnuOTOP", "Time of Possession", "AVERAGE OFFENSIVE TIME OF POSSESSION", M::OffensiveAverages, 17,
     W::None},
    {128, "PP100", "Points Per 100 Yards", "AVERAGE POINTS PER 100 YARDS", M::OffensiveAverages, 16, W::None},
    {136, "QBRate", "Team QB Rating", "AVERAGE QB RATING", M::OffensiveAverages, 0, W::QbRating},

    {101, "AVPA", "&Points", "AVERAGE POINTS AGAINST", M::DefensiveAverages, 0, W::None},
    {139, "ADFD", "&First Downs", "AVERAGE FIRST DOWNS ALLOWED", M::DefensiveAverages, 0, W::None},
    {103, "ARYA", "&Rushing Yards", "AVERAGE RUSHING YARDS AGAINST", M::DefensiveAverages, 0, W::None},
    {105, "APYA", "&Passing Yards", "AVERAGE PASSING YARDS AGAINST", M::DefensiveAverages, 0, W::None},
    {109, "AYPR", "Yards Per Rush", "AVERAGE YARDS PER RUSH AGAINST", M::DefensiveAverages, 0, W::None},
    {113, "AYPP", "Yards Per Pass Attempt", "AVERAGE YARDS PER PASS AGAINST", M::DefensiveAverages, 0, W::None},
    {111, "DYPC", "Yards Per Pass (Comp.)", "AVE. YARDS/PASS COMPLETED AGAINST", M::DefensiveAverages, 0, W::None},
    {135, "DTDP", "TD Passes Against", "AVERAGE NUMBER OF TD PASSES AGAINST", M::DefensiveAverages, 0,
     W::TdPasses},
    {107, "AYPPA", "Yards Per Point", "AVERAGE YARDS PER POINT AGAINST", M::DefensiveAverages, 0, W::None},
    {133, "mnuDTOP", "Time Of Possession", "TIME OF POSSESSION ALLOWED", M::DefensiveAverages, 0, W::None},
    {129, "PP100A", "Points Per 100 Yards", "AVERAGE POINTS/100 YARDS AGAINST", M::DefensiveAverages, 0, W::None},
    {137, "OQBRate", "Opponents QB Rating", "AVERAGE QB RATING AGAINST", M::DefensiveAverages, 0, W::QbRating},

    {114, "", "", "OFFENSIVE PASSING PERCENTAGE", M::SheetOnly, 13, W::None},
};

// Columns 2..17 of the sheet: header, width factor, own element.
const std::array<SheetColumn, 16> Columns = {{
    {"Points", 0.058, 0}, {"FD", 0.06, 38}, {"R Yds", 0.062, 2}, {"P Yds", 0.062, 4},
    {"Y/R", 0.05, 8}, {"Y/P", 0.047, 10}, {"RAtt", 0.053, 18}, {"PAtt", 0.053, 16},
    {"P C", 0.05, 20}, {"INT", 0.05, 22}, {"Fum", 0.053, 24}, {"P%", 0.05, 14},
    {"Y/Att", 0.053, 12}, {"Sack", 0.053, 26}, {"P/100", 0.062, 28}, {"TOP", 0.055, 32},
}};

struct Cuts {
    float c1, c2, c3, c4;
    bool largerBetter;
};
// Grade cut points of columns 2..16.
const std::array<Cuts, 15> GradeCuts = {{
    {35, 37, 41, 45, true}, {30, 35, 40, 45, true}, {160, 180, 200, 220, true}, {370, 400, 430, 460, true},
    {7, 7.33f, 7.66f, 8, true}, {21, 21.5f, 22, 22.5f, true}, {40, 47, 54, 60, true}, {60, 63, 66, 70, true},
    {32, 37, 42, 47, true}, {1.6f, 1.9f, 2.2f, 2.5f, false}, {1.1f, 1.5f, 1.8f, 2.1f, false},
    {100, 110, 120, 130, true}, {11, 12, 13, 14, true}, {3, 4, 5, 6, false}, {12, 12.6f, 13.2f, 14, true},
}};

std::string Band(float s, const Cuts& c)
{
    static const char* const better[] = {" A", " B", " C", " D", " F"};
    static const char* const worse[] = {" F", " D", " C", " B", " A"};
    const char* const* letters = c.largerBetter ? better : worse;
    if (s >= c.c4)
        return letters[0];
    if (s >= c.c3)
        return letters[1];
    if (s >= c.c2)
        return letters[2];
    if (s >= c.c1)
        return letters[3];
    return letters[4];
}

// Minutes and seconds of a possession value: the value is rounded half to even to whole
// seconds first, so both parts describe the same number of seconds (1799.5 s is 30:00).
std::string MinutesAndSeconds(double seconds, bool leadingBlank)
{
    const double whole = vb::RoundHalfEven(seconds);
    const double minutes = std::trunc(whole / 60.0);
    const int rest = static_cast<int>(std::fabs(std::fmod(whole, 60.0)));
    const std::string m = leadingBlank ? vb::Str(minutes) : vb::CStr(minutes);
    return m + ":" + vb::Format(rest, "00");
}

std::string Name(const std::string& n) { return n; }

} // namespace

const std::vector<StatItem>& StatItems() { return Items; }

const StatItem* StatItemByCode(int code)
{
    for (const StatItem& item : Items)
        if (item.code == code)
            return &item;
    return nullptr;
}

const StatItem* StatItemBySheetColumn(int column)
{
    if (column < 2 || column > SheetColumns)
        return nullptr;
    for (const StatItem& item : Items)
        if (item.sheetColumn == column)
            return &item;
    return nullptr;
}

const char* WarningText(StatWarning warning)
{
    switch (warning) {
    case StatWarning::TdPasses: return "There are no TD passes in the database prior to 1995";
    case StatWarning::QbRating: return "QB Rating is inaccurate prior to 1995 because TD passes are not in the database";
    default: return "";
    }
}

bool RanksAscending(int code)
{
    switch (code) {
    case 6: case 8: case 9: case 10: case 11: case 13: case 14: case 15: case 23: case 25:
    case 101: case 103: case 105: case 106: case 111: case 113: case 129: case 135: case 137: case 139:
        return true;
    default:
        return false;
    }
}

int TotalsElement(int code, bool teamSide)
{
    const int element = code - 1;
    if (teamSide && element == 3)
        return 4;
    if (teamSide && element == 4)
        return 3;
    return element;
}

float StatValue(int code, const Totals& totals, const Averages& averages, bool teamSide)
{
    if (code >= 1 && code <= 25)
        return totals[static_cast<std::size_t>(TotalsElement(code, teamSide))];
    if (code >= 100 && code <= 139)
        return averages[static_cast<std::size_t>(code - 100)];
    return 0.0f;
}

Ranking RankTeams(std::vector<RankEntry> entries, int code)
{
    const bool ascending = RanksAscending(code);
    auto lower = [](const std::string& text) {
        std::string out = text;
        for (char& c : out)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    // -1, 0 or 1 in ascending terms; an empty value comes before every value.
    auto compareValues = [](const RankEntry& a, const RankEntry& b) {
        if (!a.value || !b.value)
            return a.value.has_value() == b.value.has_value() ? 0 : (a.value ? 1 : -1);
        return *a.value < *b.value ? -1 : (*a.value > *b.value ? 1 : 0);
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const RankEntry& a, const RankEntry& b) {
        int c = compareValues(a, b);
        if (!ascending)
            c = -c;
        if (c != 0)
            return c < 0;
        return lower(a.name) < lower(b.name);
    });
    Ranking ranking;
    const int n = static_cast<int>(entries.size());
    ranking.leftRows = n == 0 ? 0 : n / 2 + 1;
    float sum = 0.0f;
    int counted = 0;
    for (const RankEntry& e : entries)
        if (e.games) {
            sum = sum + e.value.value_or(0.0f);
            ++counted;
        }
    if (counted > 0)
        ranking.average = sum / static_cast<float>(counted);
    ranking.ordered = std::move(entries);
    return ranking;
}

const std::array<SheetColumn, 16>& SheetColumnsFrom2() { return Columns; }

std::string SheetHeadingLine1(const std::string& weekItem, bool seasonToDate, bool discardHighLow, double rollingWeeks)
{
    std::string m;
    if (seasonToDate)
        m = discardHighLow ? "The season to date (Discard High / Low)" : "The season to date";
    else if (discardHighLow)
        m = "A rolling average of" + vb::Str(rollingWeeks) + "  weeks (Discard High / Low)";
    else
        m = "A rolling average of" + vb::Str(rollingWeeks) + " weeks";
    return "Stats for " + weekItem + " using " + m;
}

std::string SheetHeadingLine2(bool separateHomeAway)
{
    return separateHomeAway ? " and separate home and away games" : " and no separate home and away games";
}

std::string PossessionText(float seconds)
{
    return MinutesAndSeconds(seconds, true);
}

std::string ProjectedPossessionText(float seconds)
{
    return MinutesAndSeconds(seconds, true);
}

std::string RankingPossessionText(double seconds)
{
    return MinutesAndSeconds(seconds, false);
}

std::array<SheetRow, 4> RawRows(const Averages& home, const Averages& away, const std::string& awayName,
                                const std::string& homeName)
{
    std::array<SheetRow, 4> rows;
    auto fill = [](SheetRow& row, const Averages& a, int offset) {
        for (std::size_t c = 0; c < 15; ++c)
            row.values[c] = a[static_cast<std::size_t>(Columns[c].ownElement + offset)];
        row.possession = PossessionText(a[static_cast<std::size_t>(32 + offset)]);
    };
    rows[0].name = Name(awayName);
    fill(rows[0], away, 0);
    rows[1].name = DefenseRowName;
    fill(rows[1], away, 1);
    rows[2].name = Name(homeName);
    fill(rows[2], home, 0);
    rows[3].name = DefenseRowName;
    fill(rows[3], home, 1);
    return rows;
}

std::array<SheetRow, 2> ProjectedRows(const Averages& home, const Averages& away, const std::string& awayName,
                                      const std::string& homeName)
{
    std::array<SheetRow, 2> rows;
    auto fill = [](SheetRow& row, const Averages& own, const Averages& other) {
        for (std::size_t c = 0; c < 15; ++c) {
            const auto e = static_cast<std::size_t>(Columns[c].ownElement);
            row.values[c] = static_cast<float>((static_cast<double>(own[e]) + static_cast<double>(other[e + 1])) / 2.0);
        }
        const float v = static_cast<float>((static_cast<double>(own[32]) + static_cast<double>(other[33])) / 2.0);
        row.possession = ProjectedPossessionText(v);
    };
    rows[0].name = awayName;
    fill(rows[0], away, home);
    rows[1].name = homeName;
    fill(rows[1], home, away);
    return rows;
}

std::string GradeOf(int column, float s)
{
    if (column < 2 || column > 16)
        return std::string();
    return Band(s, GradeCuts[static_cast<std::size_t>(column - 2)]);
}

std::string PossessionGrade(float meanSeconds)
{
    const double minutes = vb::Fix(meanSeconds / 59.99);
    return Band(static_cast<float>(minutes), Cuts{28, 29, 31, 32, true});
}

std::array<GradeRow, 2> GradeRows(const Averages& home, const Averages& away, const std::string& awayName,
                                  const std::string& homeName)
{
    std::array<GradeRow, 2> rows;
    auto fill = [](GradeRow& row, const Averages& own, const Averages& other) {
        for (std::size_t c = 0; c < 15; ++c) {
            const auto e = static_cast<std::size_t>(Columns[c].ownElement);
            const float s = own[e] + other[e + 1];
            row.grades[c] = GradeOf(static_cast<int>(c) + 2, s);
        }
        const float v = static_cast<float>((static_cast<double>(own[32]) + static_cast<double>(other[33])) / 2.0);
        row.grades[15] = PossessionGrade(v);
    };
    rows[0].name = awayName;
    fill(rows[0], away, home);
    rows[1].name = homeName;
    fill(rows[1], home, away);
    return rows;
}

std::array<TeamTableRow, 8> TeamAverageRows(const Averages& a)
{
    return {{{"Points", a[0], a[1]},
             {"Rushing Yards", a[2], a[3]},
             {"Passing Yards", a[4], a[5]},
             {"Yards / Rush", a[8], a[9]},
             {"Yards / Pass", a[12], a[13]},
             {"Yards / Point", a[6], a[7]},
             {"Points / 100", a[28], a[29]},
             {"Ints.", a[22], a[23]}}};
}

std::array<TeamTableRow, 8> TeamTotalRows(const Totals& t)
{
    return {{{"Points", t[0], t[9]},
             {"Rushing Yards", t[1], t[10]},
             {"Rushing Attempts", t[4], t[13]},
             {"Passing Yards", t[2], t[11]},
             {"Pass Attempts", t[3], t[12]},
             {"Pass Complet.", t[5], t[14]},
             {"Ints.", t[6], t[15]},
             {"Fumbles", t[7], t[16]}}};
}

std::string TeamTableHeading(const std::string& teamName, double rollingWeeks)
{
    if (rollingWeeks <= 0)
        return "Stats for " + teamName + " for the season.";
    return "Stats for " + teamName + " over the last " + vb::CStr(rollingWeeks) + " games";
}

namespace {

bool WeekSlotLoaded(int weekSlot)
{
    const SeasonData& season = Season();
    return weekSlot >= 0 && static_cast<std::size_t>(weekSlot + 1) * WeekSlotStride <= season.SeasonGames.size();
}

bool LineLoaded(int weekSlot, int gameSlot)
{
    const std::size_t at = static_cast<std::size_t>(weekSlot) * LineSlotStride + static_cast<std::size_t>(gameSlot) * LinesPerGame + 1;
    return at < Season().SeasonLines.size();
}

} // namespace

std::vector<BoxGame> TeamBoxGames(int team, int opponent, int currentWeek)
{
    std::vector<BoxGame> games;
    const SeasonData& season = Season();
    for (int s = currentWeek - 2; s >= 0; --s) {
        if (!WeekSlotLoaded(s))
            continue;
        for (int g = 0; g < GamesPerWeekSlot; ++g) {
            const int away = season.Game(s, g, gfAwayTeam);
            const int home = season.Game(s, g, gfHomeTeam);
            if ((away == team || home == team) && (opponent == 0 || opponent == away || opponent == home)) {
                games.push_back({s, g});
                break;
            }
        }
    }
    return games;
}

std::vector<BoxGame> WeekBoxGames(int weekSlot)
{
    std::vector<BoxGame> games;
    if (!WeekSlotLoaded(weekSlot))
        return games;
    const SeasonData& season = Season();
    for (int g = 0; g < GamesPerWeekSlot; ++g) {
        if (season.Game(weekSlot, g, gfAwayScore) + season.Game(weekSlot, g, gfHomeScore) == 0)
            break;
        games.push_back({weekSlot, g});
    }
    return games;
}

std::array<std::string, 10> BoxScoreCells(const BoxGame& game, bool away)
{
    const SeasonData& season = Season();
    std::array<std::string, 10> cells;
    float line = 0.0f;
    if (LineLoaded(game.weekSlot, game.gameSlot))
        line = season.SeasonLines[static_cast<std::size_t>(game.weekSlot) * LineSlotStride +
                                  static_cast<std::size_t>(game.gameSlot) * LinesPerGame + (away ? 1 : 0)];
    cells[0] = vb::CStrSingle(line);
    const int score = season.Game(game.weekSlot, game.gameSlot, away ? gfAwayScore : gfHomeScore);
    cells[1] = score < 0 ? "0" : vb::CStrInt(score);
    static const int awayFields[] = {gfAwayRushYds, gfAwayRushAtt, gfAwayPassYds, gfAwayPassAtt,
                                     gfAwayPassComp, gfAwayInt, gfAwayFumLost, gfAwaySacks};
    static const int homeFields[] = {gfHomeRushYds, gfHomeRushAtt, gfHomePassYds, gfHomePassAtt,
                                     gfHomePassComp, gfHomeInt, gfHomeFumLost, gfHomeSacks};
    for (int i = 0; i < 8; ++i)
        cells[static_cast<std::size_t>(i + 2)] =
            vb::CStrInt(season.Game(game.weekSlot, game.gameSlot, away ? awayFields[i] : homeFields[i]));
    return cells;
}

} // namespace vexal::stats
