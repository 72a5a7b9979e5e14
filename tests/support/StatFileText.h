#pragma once
// Stat files as the Stats Download Client receives them: the 45 comma-separated fields of a
// game (its ten, the away team's box score, the home team's, the Action), one game a line.
#include "GameRecord.h"
#include "StatFile.h"
#include "VbConvert.h"

#include <string>
#include <vector>

namespace vexal::test {

inline std::vector<std::string> BlockFields(const TeamStats& s)
{
    std::vector<std::string> fields;
    for (const StatBlockField& f : StatBlock)
        fields.push_back(std::to_string(f.Value(s)));
    return fields;
}

inline std::vector<std::string> StatFieldsOf(const GameRecord& g, int action)
{
    std::vector<std::string> f{std::to_string(g.Year), std::to_string(g.Week), vb::FormatDate(g.GameDate, "m/d/yyyy"),
                               std::to_string(g.Surface), std::to_string(g.AwayTeam), std::to_string(g.HomeTeam),
                               vb::CStr(g.LineValue()), vb::CStr(g.TotalValue()), std::to_string(g.AwayScore),
                               std::to_string(g.HomeScore)};
    for (const auto& x : BlockFields(g.AwayStats))
        f.push_back(x);
    for (const auto& x : BlockFields(g.HomeStats))
        f.push_back(x);
    f.push_back(std::to_string(action));
    return f;
}

inline std::string Join(const std::vector<std::string>& fields, std::size_t from, std::size_t to)
{
    std::string s;
    for (std::size_t i = from; i < to; ++i)
        s += (i > from ? "," : "") + fields[i];
    return s;
}

// One game's line of a stat file.
inline std::string StatLine(const GameRecord& g, int action = 0)
{
    auto f = StatFieldsOf(g, action);
    return Join(f, 0, f.size()) + "\r\n";
}

} // namespace vexal::test
