#include "BoxScore.h"

#include "Teams.h"
#include "VbConvert.h"

namespace vexal {

const std::array<BoxScoreColumn, BoxScoreColumns>& BoxScoreTable()
{
    static const std::array<BoxScoreColumn, BoxScoreColumns> table = {{
        {"Team", 1}, {"OU/PL", 18}, {"Score", 26}, {"F.D.", 34}, {"RY", 41}, {"RA", 47},
        {"PY", 53}, {"PA", 59}, {"PC", 64}, {"INT", 69}, {"RET.Y", 75}, {"FUM", 83},
        {"FUM.L", 90}, {"SACK", 98}, {"SK.Y", 105}, {"PEN", 111}, {"PEN.Y", 117}, {"T.O.P.", 125},
    }};
    return table;
}

namespace {

// The week's records are of the week's season: its names are the record's year's names.
std::string NameOf(int team, int16_t year)
{
    try {
        return TeamName(team, year, NameStyleAsShown);
    } catch (const std::exception&) {
        return std::string();
    }
}

BoxScoreRow Row(int team, int16_t year, double line, int score, const TeamStats& s)
{
    auto n = [](int v) { return std::to_string(v); };
    return {NameOf(team, year),
            vb::CStr(line),
            n(score),
            n(s.FirstDowns),
            n(s.RushYds),
            n(s.RushAtt),
            n(s.PassYds),
            n(s.PassAtt),
            n(s.PassComp),
            n(s.Int),
            n(s.RetYds),
            n(s.Fum),
            n(s.FumLost),
            n(s.Sacks),
            n(s.SackYds),
            n(s.Pen),
            n(s.PenYds),
            n(s.TOPMin) + ":" + vb::Format(s.TOPSec, "00")};
}

} // namespace

BoxScoreRow AwayBoxScoreRow(const GameRecord& g) { return Row(g.AwayTeam, g.Year, g.TotalValue(), g.AwayScore, g.AwayStats); }

BoxScoreRow HomeBoxScoreRow(const GameRecord& g) { return Row(g.HomeTeam, g.Year, g.LineValue(), g.HomeScore, g.HomeStats); }

std::vector<BoxScoreLine> BoxScoreLines(const std::string& weekItem, const std::vector<GameRecord>& games)
{
    std::vector<BoxScoreLine> lines;
    lines.push_back({BoxScoreLine::Title, "Vexal Statistics", {}});
    lines.push_back({BoxScoreLine::WeekTitle, "Boxscores for " + weekItem, {}});
    lines.push_back({BoxScoreLine::Empty, "", {}});
    BoxScoreLine headings{BoxScoreLine::Headings, "", {}};
    for (int c = 0; c < BoxScoreColumns; ++c)
        headings.cells[static_cast<std::size_t>(c)] = BoxScoreTable()[static_cast<std::size_t>(c)].heading;
    lines.push_back(headings);
    for (const GameRecord& g : games) {
        lines.push_back({BoxScoreLine::Row, "", AwayBoxScoreRow(g)});
        lines.push_back({BoxScoreLine::Row, "", HomeBoxScoreRow(g)});
        lines.push_back({BoxScoreLine::Empty, "", {}});
    }
    return lines;
}

} // namespace vexal
