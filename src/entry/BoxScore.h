#pragma once
// The box-score printout's rows: the headings with their character columns, and the away and
// home rows of a game as the printout shows them. GUI-free.
#include "GameRecord.h"

#include <array>
#include <string>
#include <vector>

namespace vexal {

inline constexpr int BoxScoreColumns = 18;

struct BoxScoreColumn {
    const char* heading;
    int column;   // character column the value starts at; 1 is the left margin
};
const std::array<BoxScoreColumn, BoxScoreColumns>& BoxScoreTable();

using BoxScoreRow = std::array<std::string, BoxScoreColumns>;

// The away row (over/under total in the OU/PL column) and the home row (the spread), with
// the team names in the week's season and the main window's name style.
BoxScoreRow AwayBoxScoreRow(const GameRecord& game);
BoxScoreRow HomeBoxScoreRow(const GameRecord& game);

// The printout as lines of cells: the title, the week title, an empty line, the headings,
// then per game the away row, the home row and an empty line.
struct BoxScoreLine {
    enum Kind { Title, WeekTitle, Empty, Headings, Row } kind = Empty;
    std::string text;   // Title and WeekTitle
    BoxScoreRow cells{};
};
std::vector<BoxScoreLine> BoxScoreLines(const std::string& weekItem, const std::vector<GameRecord>& games);

} // namespace vexal
