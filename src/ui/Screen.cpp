#include "Screen.h"

#include "VbConvert.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>

#include <cmath>
#include <optional>

namespace vexal {

namespace {

std::optional<ScreenMetrics>& Injected()
{
    static std::optional<ScreenMetrics> metrics;
    return metrics;
}

// How much larger than DesignFontPoints the application font is, 1 when it is not larger.
double LargeFontScale(const QFont& font, double dpi)
{
    double points = font.pointSizeF();
    if (points <= 0 && font.pixelSize() > 0 && dpi > 0)
        points = font.pixelSize() * 72.0 / dpi;
    return points > DesignFontPoints ? points / DesignFontPoints : 1.0;
}

ScreenMetrics Measure()
{
    ScreenMetrics m;
    QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                          ? QGuiApplication::primaryScreen()
                          : nullptr;
    if (!screen)
        return m;
    // Windows counts 1440 twips to the logical inch; Qt's logical dpi is the same notion.
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    m.largeFontScale = LargeFontScale(QGuiApplication::font(), dpiY);
    if (dpiX > 0)
        m.twipsPerPixelX = 1440.0 / dpiX;
    if (dpiY > 0)
        m.twipsPerPixelY = 1440.0 / dpiY;
    const QSize size = screen->size();
    if (size.width() > 0)
        m.widthPixels = size.width();
    if (size.height() > 0)
        m.heightPixels = size.height();
    const QRect available = screen->availableGeometry();
    if (available.isValid()) {
        m.availableLeft = available.left();
        m.availableTop = available.top();
        m.availableWidth = available.width();
        m.availableHeight = available.height();
    } else {
        m.availableWidth = m.widthPixels;
        m.availableHeight = m.heightPixels;
    }
    if (screen->depth() > 0)
        m.bitsPerPixel = screen->depth();
    m.planes = 1;
    return m;
}

} // namespace

const ScreenMetrics& Screen::Metrics()
{
    auto& injected = Injected();
    if (!injected)
        injected = Measure();
    return *injected;
}

void Screen::SetMetrics(const ScreenMetrics& metrics) { Injected() = metrics; }

void Screen::ResetMetrics() { Injected().reset(); }

QRect Screen::AvailableArea()
{
    const ScreenMetrics& m = Metrics();
    return {m.availableLeft, m.availableTop, m.availableWidth, m.availableHeight};
}

int Screen::RowHeightPixels() { return vb::Whole(Height() / 750.0); }

// A design pixel is one at 15 twips a pixel (96 dpi): a screen of more pixels to the inch,
// whose text is as many more pixels high, has as many more to each design pixel.
int Screen::DesignPixels(double pixels)
{
    const double perInch = TwipsPerPixelY() > 0 ? 15.0 / TwipsPerPixelY() : 1.0;
    return static_cast<int>(vb::RoundHalfEven(pixels * LargeFontScale() * perInch));
}

int Screen::DesignTwipsToPixelsX(double twips) { return TwipsToPixelsX(twips * LargeFontScale()); }

int Screen::DesignTwipsToPixelsY(double twips) { return TwipsToPixelsY(twips * LargeFontScale()); }

int Screen::TwipsToPixelsX(double twips)
{
    const double t = TwipsPerPixelX();
    return t > 0 ? static_cast<int>(vb::RoundHalfEven(twips / t)) : 0;
}

int Screen::TwipsToPixelsY(double twips)
{
    const double t = TwipsPerPixelY();
    return t > 0 ? static_cast<int>(vb::RoundHalfEven(twips / t)) : 0;
}

double Screen::ColorDepth() { return std::pow(2.0, DepthBits()); }

QPalette ApplicationPalette()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::palette() : QPalette();
}

QColor SystemColor(int index) { return SystemColor(index, ApplicationPalette()); }

QColor SystemColor(int index, const QPalette& pal)
{
    switch (index) {
    case ColorScrollBar: return pal.color(QPalette::Button);
    case ColorBackground: return pal.color(QPalette::Dark);
    case ColorActiveCaption: return pal.color(QPalette::Active, QPalette::Highlight);
    case ColorInactiveCaption: return pal.color(QPalette::Inactive, QPalette::Highlight);
    case ColorMenu: return pal.color(QPalette::Window);
    case ColorWindow: return pal.color(QPalette::Base);
    case ColorWindowFrame: return pal.color(QPalette::Shadow);
    case ColorMenuText: return pal.color(QPalette::WindowText);
    case ColorWindowText: return pal.color(QPalette::Text);
    case ColorCaptionText: return pal.color(QPalette::Active, QPalette::HighlightedText);
    case ColorActiveBorder: return pal.color(QPalette::Window);
    case ColorInactiveBorder: return pal.color(QPalette::Window);
    case ColorAppWorkspace: return pal.color(QPalette::Mid);
    case ColorHighlight: return pal.color(QPalette::Highlight);
    case ColorHighlightText: return pal.color(QPalette::HighlightedText);
    case ColorButtonFace: return pal.color(QPalette::Button);
    case ColorButtonShadow: return pal.color(QPalette::Dark);
    case ColorGrayText: return pal.color(QPalette::Disabled, QPalette::Text);
    case ColorButtonText: return pal.color(QPalette::ButtonText);
    case ColorInactiveCaptionText: return pal.color(QPalette::Inactive, QPalette::HighlightedText);
    case ColorButtonHighlight: return pal.color(QPalette::Light);
    case Color3DDarkShadow: return pal.color(QPalette::Shadow);
    case Color3DLight: return pal.color(QPalette::Midlight);
    case ColorInfoText: return pal.color(QPalette::ToolTipText);
    case ColorInfoBackground: return pal.color(QPalette::ToolTipBase);
    default: return QColor();
    }
}

QColor TranslateColor(int32_t color, bool* ok)
{
    if (!IsSystemColor(color)) {
        if (ok)
            *ok = true;
        const auto v = static_cast<uint32_t>(color);
        return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
    }
    return TranslateColor(color, ApplicationPalette(), ok);
}

QColor TranslateColor(int32_t color, const QPalette& palette, bool* ok)
{
    if (ok)
        *ok = true;
    if (IsSystemColor(color)) {
        // Only the low byte names the index; anything above it is not a system colour.
        const uint32_t index = static_cast<uint32_t>(color) & 0x7FFFFFFFu;
        QColor c = index <= 0xFF ? SystemColor(static_cast<int>(index), palette) : QColor();
        if (!c.isValid() && ok)
            *ok = false;
        return c;
    }
    return TranslateColor(color, ok);
}

int32_t ColorValue(const QColor& color) { return RGBColor(color.red(), color.green(), color.blue()); }

} // namespace vexal
