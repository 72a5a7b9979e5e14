#pragma once
// The Input Stats window's data side: a game record as the window's 39 text fields, and
// the typed texts checked and put back into the record's named fields. GUI-free.
#include "GameRecord.h"

#include <array>
#include <cstdint>
#include <string>

namespace vexal {

// The window's text boxes, the txtData elements: the date and the lines, each team's box
// score in the same order, then the two touchdown boxes. The last entry counts them.
enum GameText : int {
    gtDate, gtLine, gtTotal,
    gtAwayScore, gtAwayFirstDowns, gtAwayRushAtt, gtAwayRushYds, gtAwayPassYds, gtAwayPassAtt, gtAwayPassComp,
    gtAwayInt, gtAwayRetYds, gtAwayFum, gtAwayFumLost, gtAwaySacks, gtAwaySackYds, gtAwayPen, gtAwayPenYds,
    gtAwayTOPMin, gtAwayTOPSec,
    gtHomeScore, gtHomeFirstDowns, gtHomeRushAtt, gtHomeRushYds, gtHomePassYds, gtHomePassAtt, gtHomePassComp,
    gtHomeInt, gtHomeRetYds, gtHomeFum, gtHomeFumLost, gtHomeSacks, gtHomeSackYds, gtHomePen, gtHomePenYds,
    gtHomeTOPMin, gtHomeTOPSec,
    gtAwayTDs, gtHomeTDs,
    GameTextCount
};

struct GameTextField {
    GameText text;          // its box, the table's own index
    const char* tag;        // the text box's Tag
    const char* label;      // how a message names it
    GameRecord::Field field;        // the record field it shows; its type says what the box takes
    bool twoDigits;         // shown with the format "00"
};

// Indexed by GameText.
const std::array<GameTextField, GameTextCount>& GameTextFields();

// The texts the window shows for a record: the date in the short date form, spread and
// total as plain numbers (from `line` and `total`, which come from the season record or the
// line file), every box-score field as its number.
std::array<std::string, GameTextCount> GameTexts(const GameRecord& game, double line, double total);

// The edits of one save, checked: every text read as a number (empty is 0) into its field, a
// count only when it is a whole number. False with a message naming the first field that is
// no number, not whole where it must be, or does not fit, and `game` unchanged. The date and the two line texts are checked but the
// record's date is set only when `setDate`, its lines only when `setLines`.
struct GameEdits {
    std::array<std::string, GameTextCount> texts;
    int homeTeam = 0;
    int awayTeam = 0;
    int surface = -1;       // -1: keep the stored surface
};
bool ApplyGameEdits(const GameEdits& edits, GameRecord& game, bool setLines, double& line, double& total,
                    std::string& message);

// "Date must be in the format MM/DD/YYYY" applies when this is false.
bool IsGameDate(const std::string& text, double& oleDate);

} // namespace vexal
