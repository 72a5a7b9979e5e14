#pragma once
// The colour theme: none, the program's own ("vexal") or one team's colours. ApplyTheme
// turns the stored or given theme into ThemeName, ThemeForeColor, ThemeBackColor and
// ThemePicture (AppState); UpDateBackground paints the active view and the formula editor
// with them and puts the theme picture behind the view's grid.
#include <cstdint>
#include <string>

class QWidget;

namespace vexal {

struct ThemeColors {
    int32_t fore;
    int32_t back;
};
// The colours of a theme name (lower case); the product's colours for any other name.
ThemeColors ThemeColorsFor(const std::string& themeName);

// The theme's name: the given one in lower case, else the stored Settings/"Theme"
// (default "Vexal") in lower case.
std::string ThemeNameFor(const std::string& theme);

// Sets ThemeName, ThemeForeColor, ThemeBackColor and ThemePicture.
void ApplyTheme(const std::string& theme);

// Sets ThemeName and repaints the active view and the formula editor, and has every loaded
// view show its theme colours again (SetViewThemeColors); the colours and the picture stay as
// they are.
void UpDateBackground(const std::string& theme);
// Lets go of the gradient painters (the main window does this when it unloads).
void ReleaseBackgrounds();

// True when the caption names one of the views the theme paints.
bool IsThemedView(const std::string& caption);

} // namespace vexal
