#pragma once
// Module-level values shared by several windows: the current formula and its file,
// the stop and refresh flags, the user's folder, the document to view, the theme.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vexal {

// Slots of CurrentFormula.
enum FormulaSlot : int {
    fsHomeField = 0, fsMinDiff = 1, fsMaxDiff = 2, fsOffense = 3, fsDefense = 4, fsPassing = 5,
    fsRushing = 6, fsTurnovers = 7, fsMultiplier = 8, fsRollingWeeks = 9, fsSeparateHomeAway = 10,
    fsDiscardHighLow = 11, fsSeasonToDate = 12, fsCurrentWeek = 13, fsTotalsMode = 14,
    fsOtherFactors = 15, fsPowerRating = 16, fsNoLine = 17, fsHomeOnly = 18, fsAwayOnly = 19,
    fsFavOrOver = 20, fsDogOrUnder = 21, fsLineStart = 22, fsLineEnd = 23,
};
inline constexpr int FormulaSlots = 24;
using Formula = std::array<float, FormulaSlots>;
// The upper ends of a back-test's ranges, slots 0 to 21: the line range (22 and 23) is
// always read from the lower ends.
inline constexpr int RangeSlots = 22;
using FormulaHighEnds = std::array<float, RangeSlots>;

struct AppState {
    Formula CurrentFormula{};
    std::string CurrentFormulaFile;        // the current formula's file name
    bool StopTest = false;
    bool SuppressRefresh = false;
    std::filesystem::path UserFolder;      // $HOME/Vexal
    std::filesystem::path DocumentPath;    // the document the viewer opens
    // A copy of formula slots the Predictions window keeps before each week prediction, and
    // the high ends of the all-formula back-test.
    FormulaHighEnds SavedFormula{};
    std::array<float, 5> TestFilters{};    // unit-win low/high, win-percentage low/high, minimum games
    // Colour theme
    std::string ThemeName;
    int32_t ThemeForeColor = 0;
    int32_t ThemeBackColor = 0;
    std::string ThemePicture;
    // Team colours set by TeamLogoPath, and the logo base it found.
    int32_t TeamColor1 = 0;
    int32_t TeamColor2 = 0;
    std::string TeamAbbrev;
    // The main window's "City / Name" toggle: true = city names.
    bool ShowCityNames = true;
};

AppState& App();
void ResetApp();

} // namespace vexal
