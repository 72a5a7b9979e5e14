#pragma once
// Module-level values shared by several windows: the current formula and its file,
// the stop and refresh flags, the user's folder, the document to view, the theme.
#include "FormulaSlots.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vexal {

// The save criteria of a back-test, TestFilters: units won may be below 0, the winning
// percentage is 0 or more, the minimum number of games is a count.
inline constexpr int TestFilterCount = 5;
constexpr NumberKind TestFilterNumbers(int filter)
{
    return filter < 2 ? AnyNumber : filter < 4 ? DecimalsOfZeroOrMore : WholeNumbers;
}

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
    std::array<float, TestFilterCount> TestFilters{};    // unit-win low/high, win-percentage low/high, minimum games
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
