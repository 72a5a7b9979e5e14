#include "RangeReports.h"

#include "SeasonData.h"
#include "Teams.h"
#include "VbError.h"

#include <charconv>

namespace vexal {

namespace {

std::string Name(int code)
{
    try {
        return TeamName(code, 0, 3);
    } catch (const VbError&) {
        return std::string();
    }
}

} // namespace

std::vector<RangeGame> ReadRangeWeek(int weekSlot)
{
    std::vector<RangeGame> games;
    const SeasonData& season = Season();
    if (weekSlot < 0 || static_cast<std::size_t>(weekSlot + 1) * WeekSlotStride > season.SeasonGames.size())
        return games;
    for (int g = 0; g < GamesPerWeekSlot; ++g) {
        const int away = season.Game(weekSlot, g, gfAwayTeam);
        if (away < 1)
            break;
        games.push_back({Name(away), Name(season.Game(weekSlot, g, gfHomeTeam))});
    }
    return games;
}

std::string RangeNumberText(float value)
{
    if (value == 0)
        return "0";   // no "-0"
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, result.ptr);
}

RangePage::RangePage(const std::filesystem::path& path, std::string_view weekText, std::string_view date,
                     const std::string& themePicture)
{
    html_.BPic(themePicture);
    html_.BColor("#FFFFFF");
    html_.OpenFile(path);
    html_.BColor("#99FFFF");
    html_.OpenGrid(true, 0);
    html_.CellString(1, 1, 1, 1, 0, "Vexal Range Report for " + std::string(weekText) + " - " + std::string(date));
    html_.CloseGrid();
    html_.AddBreak();
}

void RangePage::Block(std::string_view fileName, const std::vector<RangeGame>& games,
                      const std::array<std::array<float, WeeklyRows>, 6>& limits, bool totals)
{
    html_.BColor("#DDDDDD");
    html_.OpenGrid(true, 400);
    html_.CellString(1, 1, 1, 1, 0, fileName);
    html_.CloseGrid();
    html_.OpenGrid(true, 400);
    html_.CellString(1, 1, 1, 1, 0, "Game");
    html_.CellString(1, 0, 1, 1, 0, "Line Between");
    html_.CellString(1, 0, 1, 1, 0, "Play");
    html_.BColor("#FFFFDD");
    for (std::size_t g = 0; g < games.size() && g < static_cast<std::size_t>(WeeklyRows); ++g) {
        const std::string l1 = RangeNumberText(limits[1][g]);
        const std::string l2 = RangeNumberText(limits[2][g]);
        const std::string l4 = RangeNumberText(limits[4][g]);
        const std::string l5 = RangeNumberText(limits[5][g]);
        html_.CloseRow();
        html_.CellString(1, 1, 0, 1, 0, games[g].away + "@" + games[g].home);
        html_.CellString(1, 0, 0, 1, 0, l1 + " to " + l2);
        html_.CellString(1, 0, 0, 1, 0, totals ? std::string("UNDER") : games[g].away);
        html_.CloseRow();
        html_.CellString(1, 1, 0, 1, 0, " ");
        html_.CellString(1, 0, 0, 1, 0, totals ? l5 + " to " + l4 : l4 + " to " + l5);
        html_.CellString(1, 0, 0, 1, 0, totals ? std::string("OVER") : games[g].home);
    }
    html_.CloseGrid();
    html_.AddBreak();
}

std::string RangePrintHeading(std::string_view weekText, std::string_view date, int page)
{
    return "Vexal Range Report for " + std::string(weekText) + " - Printed:" + std::string(date) + " - Page " +
           std::to_string(page);
}

std::string RangeSentence(const RangeGame& game, const std::array<std::array<float, WeeklyRows>, 6>& limits, std::size_t g,
                          bool totals)
{
    const std::string l1 = RangeNumberText(limits[1][g]);
    const std::string l2 = RangeNumberText(limits[2][g]);
    const std::string l4 = RangeNumberText(limits[4][g]);
    const std::string l5 = RangeNumberText(limits[5][g]);
    if (totals)
        return "In " + game.away + "/" + game.home + " play UNDER between " + l1 + " and " + l2 +
               " and play OVER between " + l5 + " and " + l4;
    return "If the line is " + l1 + " to " + l2 + " then play " + game.away + " if it's " + l4 + " to " + l5 +
           " then play " + game.home;
}

RangePrintBlock RangePrintBlockOf(std::string_view fileName, const std::vector<RangeGame>& games,
                                  const std::array<std::array<float, WeeklyRows>, 6>& limits, bool totals)
{
    RangePrintBlock block{std::string(fileName), {}};
    for (std::size_t g = 0; g < games.size() && g < static_cast<std::size_t>(WeeklyRows); ++g)
        block.sentences.push_back(RangeSentence(games[g], limits, g, totals));
    return block;
}

void RangePage::Close() { html_.CloseFile(); }

} // namespace vexal
