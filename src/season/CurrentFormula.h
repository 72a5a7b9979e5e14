#pragma once
// How the current formula is rebuilt from the formula editor and the week selector, and
// the encodings its slots use (the line-range filter above all). GUI-free: the editor
// hands over its controls' texts and check values through the procedure it installs for
// ReadFormula (Windows.h). Numbers are read with "." as the decimal point whatever the
// locale, so what the editor shows, what ReadFormula reads and what a formula file holds agree.
#include "AppState.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// Line-range codes of slots 22 (LineFrom) and 23 (LineTo): 99 = no filter, up to 99 a
// signed spread or a total, 100 = an absolute spread of 0, above 100 = 100 + an absolute spread.
inline constexpr float LineRangeOff = 99.0f;
inline constexpr float LineRangeAbsolute = 100.0f;

// Check-box values as the formula slots keep them.
inline constexpr int Unchecked = 0;
inline constexpr int Checked = 1;
inline constexpr int Grayed = 2;

// The whole text (blanks around it allowed) as a number with "." as the decimal point;
// nothing for an empty text, a text that is not a number or one outside the Single range.
std::optional<float> StrictNumber(std::string_view text);
// The number at the start of the text ("4 Weeks" gives 4), 0 when there is none.
float LeadingNumber(std::string_view text);

// A line-range end written as ReadFormula writes it; an end that does not convert is
// left out (its slot keeps its value).
struct LineRangeCodes {
    std::optional<float> from;
    std::optional<float> to;
};
LineRangeCodes ReadLineRange(int chkLines, std::string_view startText, std::string_view endText);
// The line-range codes a saved formula gets (never fails: a text without a number counts 0).
std::array<float, 2> SaveLineRange(int chkLines, std::string_view startText, std::string_view endText);

// What the editor shows for stored codes: the filter on or off and the two ends' texts.
struct LineRangeView {
    bool on = false;
    std::string start = "0";
    std::string end = "0";
};
LineRangeView ShowLineRange(float lineFrom, float lineTo);

// The two line-end lists: totals 20 to 60, or spreads -20 to 20 then "ABS 0.5" to
// "ABS 20", in steps of 0.5; and the text each list shows when it is filled.
std::vector<std::string> LineRangeItems(bool totals);
inline constexpr const char* TotalsLineText = "40";
inline constexpr const char* SidesLineText = "0";

// The rolling-average choices for a week selector of weekCount items:
// " 1 Weeks" .. Str(weekCount - 1) & " Weeks".
std::vector<std::string> RollingWeekItems(int weekCount);

// The formula editor's controls and the week selector as ReadFormula reads them. A value
// left empty is a control that could not be read: its slot keeps its value.
struct FormulaControls {
    std::array<std::optional<std::string>, 9> txtFla;   // H.F.A. .. Multiplier
    std::optional<int> STD;
    // The plain switches by slot (Separate Home / Away, Discard High / Low and the Options
    // frame's): each slot takes its box's value as it stands.
    std::array<std::optional<int>, FormulaSlots> switches;
    std::optional<int> chkHome, chkAway, chkFav, chkDog, chkOver, chkUnder, chkLines;
    std::optional<std::string> cboLinesStart, cboLinesEnd, Combo1;
    std::optional<int> weekIndex;                        // cboWeek's list index, -1 = none chosen
};

// Rebuilds slots 0 to 13 and 16 to 23 from the controls; slots 14 and 15 are left alone.
void ReadFormulaFrom(const FormulaControls& controls, Formula& formula);
// What a save stores before it writes the file: weights by their leading number, the
// switches as they stand, the line range by SaveLineRange. Slot 9 becomes 0 only with
// "Season To Date" ticked; slots 13 to 15 are left alone.
void StoreFormulaFrom(const FormulaControls& controls, Formula& formula);

} // namespace vexal
