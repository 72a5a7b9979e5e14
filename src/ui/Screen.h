#pragma once
// What the windows know of the screen: twips per pixel, size, colour depth, and the
// Windows colour values (0x00BBGGRR, top bit set = a system colour) turned into QColors.
// Tests inject their own metrics with SetScreenMetrics, so sizes and the colour depth
// do not depend on the machine that runs them.
#include <QColor>
#include <QPalette>
#include <QRect>

#include <cstdint>

namespace vexal {

// The point size of the font the windows are laid out for: Qt's own application font.
inline constexpr double DesignFontPoints = 9.0;

struct ScreenMetrics {
    double twipsPerPixelX = 15.0;   // 1440 twips an inch at 96 dpi
    double twipsPerPixelY = 15.0;
    // How much larger than DesignFontPoints the application font is (1 when it is not
    // larger): a desktop of large fonts.
    double largeFontScale = 1.0;
    int widthPixels = 1024;
    int heightPixels = 768;
    // The part of the screen windows may take: the screen less the desktop's panels.
    int availableLeft = 0;
    int availableTop = 0;
    int availableWidth = 1024;
    int availableHeight = 768;
    int planes = 1;                 // colour planes x bits per pixel = the colour depth in bits
    int bitsPerPixel = 32;
};

class Screen {
public:
    // The metrics in force: injected ones, else measured once from the primary screen.
    static const ScreenMetrics& Metrics();
    static void SetMetrics(const ScreenMetrics& metrics);
    static void ResetMetrics();      // back to the measured screen

    static double TwipsPerPixelX() { return Metrics().twipsPerPixelX; }
    static double LargeFontScale() { return Metrics().largeFontScale; }
    static double TwipsPerPixelY() { return Metrics().twipsPerPixelY; }
    // Screen size in twips, as the windows read it.
    static double Width() { return Metrics().widthPixels * Metrics().twipsPerPixelX; }
    static double Height() { return Metrics().heightPixels * Metrics().twipsPerPixelY; }

    // The screen's available area in pixels (left, top, width, height).
    static QRect AvailableArea();

    // The grids' row height in pixels: a 750th of the screen height in twips, whole.
    static int RowHeightPixels();

    // A size a window's design gives for the font it is laid out for, in pixels or twips, at
    // the font in use: on a desktop of large fonts (as Windows' large-font setting makes one)
    // it is as much larger as the font, so that the text it was sized for keeps fitting it.
    // Design pixels are those of a screen of 96 dpi: on one of more dpi each takes more.
    static int DesignPixels(double pixels);
    static int DesignTwipsToPixelsX(double twips);
    static int DesignTwipsToPixelsY(double twips);

    // Twips to whole pixels (half to even) and back.
    static int TwipsToPixelsX(double twips);
    static int TwipsToPixelsY(double twips);
    static double PixelsToTwipsX(double pixels) { return pixels * TwipsPerPixelX(); }
    static double PixelsToTwipsY(double pixels) { return pixels * TwipsPerPixelY(); }

    // Bits of colour: planes x bits per pixel.
    static int DepthBits() { return Metrics().planes * Metrics().bitsPerPixel; }
    // The number of colours, 2 ^ (planes x bits per pixel), as a Double.
    static double ColorDepth();
};

// Inline helpers for BGR colour values.
inline constexpr int32_t RGBColor(int red, int green, int blue)
{
    return static_cast<int32_t>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
inline constexpr bool IsSystemColor(int32_t color) { return (static_cast<uint32_t>(color) & 0x80000000u) != 0; }
inline constexpr int32_t SystemColorValue(int index) { return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index)); }

// Windows system colour indices used by the controls.
enum SystemColorIndex : int {
    ColorScrollBar = 0, ColorBackground = 1, ColorActiveCaption = 2, ColorInactiveCaption = 3,
    ColorMenu = 4, ColorWindow = 5, ColorWindowFrame = 6, ColorMenuText = 7, ColorWindowText = 8,
    ColorCaptionText = 9, ColorActiveBorder = 10, ColorInactiveBorder = 11, ColorAppWorkspace = 12,
    ColorHighlight = 13, ColorHighlightText = 14, ColorButtonFace = 15, ColorButtonShadow = 16,
    ColorGrayText = 17, ColorButtonText = 18, ColorInactiveCaptionText = 19, ColorButtonHighlight = 20,
    Color3DDarkShadow = 21, Color3DLight = 22, ColorInfoText = 23, ColorInfoBackground = 24,
};

// The desktop's palette as the application has it (a default one before there is a GUI).
QPalette ApplicationPalette();
// The colour of a Windows system colour index, from the application palette; an unknown
// index gives an invalid QColor.
QColor SystemColor(int index);
// The same from the given palette.
QColor SystemColor(int index, const QPalette& palette);
// A colour value to a QColor: plain values by their bytes, system colours through
// SystemColor. ok (when given) is false for a system colour that cannot be translated.
QColor TranslateColor(int32_t color, bool* ok = nullptr);
// The same with system colours from the given palette.
QColor TranslateColor(int32_t color, const QPalette& palette, bool* ok = nullptr);
// The colour value (0x00BBGGRR) of a QColor.
int32_t ColorValue(const QColor& color);

} // namespace vexal
