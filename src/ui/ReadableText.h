#pragma once
// Keeps the text of a window readable on whatever the theme paints behind it: a caption
// whose colour has less than the readable contrast against its background (a gradient band,
// a plain theme colour) is drawn in the nearest colour that has it. Colours the window set
// that are readable are kept as they are.
#include <QBrush>
#include <QColor>
#include <QPalette>

#include <vector>

class QRect;
class QWidget;

namespace vexal {

// The least contrast ratio at which text counts as readable (relative luminance, as the
// accessibility guidelines measure it).
inline constexpr double ReadableContrast = 4.5;

double RelativeLuminance(const QColor& color);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(const QColor& a, const QColor& b);

// The colour nearest to wanted (moving it toward black or toward white) that is readable on
// every one of the backgrounds; wanted itself when it already is. When no colour is readable
// on all of them, the one of black and white with the better worst contrast.
QColor NearestReadableColor(const QColor& wanted, const std::vector<QColor>& backgrounds);
// The same with the contrast a chosen colour aims at (and a kept one has).
QColor NearestReadableColor(const QColor& wanted, const std::vector<QColor>& backgrounds, double aim);

// A grid cell's text in a colour of its own (a graded pick, a statistic) is small: its thin
// strokes are drawn a good deal lighter than their colour on a real screen, so that colour
// is kept or chosen with this much contrast, and what is drawn stays readable.
inline constexpr double ReadableCellColorContrast = 6.0;

// The darkest and the lightest colour of what the window paints behind the widget (its own
// fill, else the nearest filling ancestor's, up to the window, a gradient sampled over the
// widget's rectangle).
std::vector<QColor> BackgroundBehind(const QWidget* widget);
// The same behind a part of the widget (in the widget's coordinates).
std::vector<QColor> BackgroundBehind(const QWidget* widget, const QRect& part);

// The same for one caption, label, check box, option button, frame, tab strip or menu bar.
void KeepCaptionReadable(QWidget* widget);

// From now on, every window is checked as it is shown and every caption whenever its
// colours or place change (once the event loop is back).
void KeepAllTextReadable();

// Adjusts the text colour of every caption, label, check box, option button, frame title,
// tab strip and menu bar of the window so it is readable on its background.
void KeepTextReadable(QWidget* window);

// ---- A text and its background from one place ----------------------------------------
// The program's own colours (a theme's text colour, a grid's white rows, a marked box) were
// chosen on a light desktop. Where a window shows one of them as a text or as a background,
// the other one comes from such a desktop too: the desktop's own palette while it is light,
// else a standard light one. On a dark desktop a surface is then wholly the desktop's or
// wholly the program's, never the program's navy on the desktop's near-black.

// Whether the desktop's palette is a dark one (its window text lighter than its window).
bool DesktopIsDark();
// The palette the program's own colours go with: the desktop's while it is light, else the
// standard light palette.
QPalette DesignPalette();

// The pair of palette roles a surface draws its text with: a window's or caption's (Window,
// WindowText), a text box's, list's or grid's (Base, Text), a button's or a list box's face
// (Button, ButtonText).
enum class TextSurface { Window, Box, Button };

// Sets a surface's background (a colour or a picture; no brush: the design palette's) and its
// text colour (invalid: the design palette's) together, the text moved to the nearest colour
// readable on all of the background. A disabled text takes the design palette's colour.
// Returns the text colour set. A scroll area's view takes them too.
QColor SetTextAndBackground(QWidget* widget, TextSurface surface, const QColor& text, const QBrush& background);
// The text alone, on the background set before (none set: the design palette's) ...
QColor SetSurfaceText(QWidget* widget, TextSurface surface, const QColor& text);
// ... and the background alone, under the text set before (none set: the design palette's).
QColor SetSurfaceBackground(QWidget* widget, TextSurface surface, const QBrush& background);

// The darkest and the lightest colour a brush paints (a plain colour is both).
std::vector<QColor> ColorsOfBrush(const QBrush& brush);

} // namespace vexal
