#pragma once
// Smart predictions: each game of a week is predicted with a formula searched over the last
// few weeks of its two teams. This file holds the rules of that search that need no window:
// the search ranges, the weeks searched, the smart formula file's name and numbers, and how
// the engine's best row becomes the current formula. GUI-free.
#include "AppState.h"
#include "ResultRow.h"
#include "TSPredict.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace vexal {

// The values of the windows' boxes that the search ranges take as fixed values.
struct SmartBoxes {
    float poolPicks = 0;       // chkPoolPicks: 0, 1, or 2 greyed
    float totalsMode = 0;      // chkOu
    float otherFactors = 0;    // chkOtherFac
    float separateHomeAway = 0;   // editor's SHA
    float discardHighLow = 0;     // editor's DHL
    float powerRating = 0;        // editor's ChkPowerRating
    float noLine = 0;             // editor's ChkNoLine
};

// First and last week slot searched for the 1-based week slot `week`: the four slots before it
// for sides, three for totals, never before slot 1; slot 1 (or less) searches itself.
std::pair<int, int> SmartWeekWindow(bool totals, int week);

// The lower and upper ends handed to the engine's search.
void SmartSearchRanges(bool totals, int week, const SmartBoxes& boxes, Formula& low, FormulaHighEnds& high);

// The short name of a team in a smart formula name: the first three characters of the display
// name once every "." and then every blank is removed.
std::string SmartTeamPart(std::string_view displayName);
// The smart formula's file name: the week item without " of " and blanks, home, away, suffix.
std::string SmartFormulaFileName(std::string_view weekItem, std::string_view homeName, std::string_view awayName,
                                 bool totals);

// The formula that won a game's search: the weights and the rolling window of the engine's
// best row, and the options the search ran with (slots 10 to 12 and 14 to 17, its lower ends).
// Its first 14 positions are the smart formula file.
Formula SmartFormula(const ResultRow& best, const Formula& search);

// Makes the formula that won the game's search the current formula for its prediction, with
// the week of the week list (0-based index); the filters (slots 18 to 23) are left alone.
void ApplySmartBest(const ResultRow& best, const Formula& search, int weekListIndex, Formula& formula);

// Clears the home/away, favourite/underdog and line filters of a formula.
void ClearSmartFilters(Formula& formula);

// The window members a smart run shares with its host's Weekly handler: SmartRun is true while
// a game's search runs, WeeklyStartGame is the game whose row the prediction fills, and
// SmartFormulaName the file name of that game's smart formula.
struct SmartRunState {
    bool& smartRun;
    int16_t& weeklyStartGame;
    std::string& smartFormulaName;
};

// What a smart run asks of its host window.
struct SmartRunHooks {
    std::function<int()> gridRows;                        // rows of the predictions grid
    std::function<void(double percent)> searched;         // a game's search ended: share of the rows done
    std::function<bool()> saveFormulas;                   // "Save &Formulas" is checked
    std::function<void(const std::string& name)> saved;   // a smart formula file was written
};

// The inputs of a run, read from the windows once before the first game.
struct SmartRunInput {
    bool totals = false;
    int week = 0;                     // CurrentWeek, the 1-based week slot
    SmartBoxes boxes;
    std::string weekItem;             // the week list's item of the week ("Wk 5 of 2023")
    int weekListIndex = 0;            // the week list's index, for the prediction's week slot
    std::filesystem::path seasonFile; // <year>.nfl of the week's season
    std::filesystem::path programFolder;
};

// Predicts every game of the week with its own searched formula through the engine: for each
// game of the target week in the season file, the search, then the week's prediction (whose
// Weekly event fills the grid from the game's row on). The engine's Progress handler is the
// run's own for its length. On return SmartRun is false and CurrentFormula holds the last
// game's formula with the totals and other-factor slots from the boxes; the host rebuilds the
// rest from the formula editor.
void RunSmartPredictions(TSPredict& engine, const SmartRunInput& input, SmartRunState state,
                         const SmartRunHooks& hooks);

} // namespace vexal
