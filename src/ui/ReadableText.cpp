#include "ReadableText.h"

#include "Screen.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QList>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <QMenuBar>
#include <QRadioButton>
#include <QTabBar>
#include <QRegularExpression>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vexal {

namespace {

// The linear light of an sRGB channel. Every caption check measures thousands of colours
// (each pixel row behind it, each candidate colour), so the 256 values are computed once.
double Linear(int channel)
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[static_cast<std::size_t>(i)] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table[static_cast<std::size_t>(std::clamp(channel, 0, 255))];
}

// A colour as its three 8-bit channels: the search below tries hundreds of them per caption.
struct Rgb {
    int r = 0, g = 0, b = 0;
};

double Luminance(const Rgb& c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }

double Contrast(double la, double lb) { return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05); }

std::vector<double> Luminances(const std::vector<QColor>& colors)
{
    std::vector<double> out;
    out.reserve(colors.size());
    for (const QColor& c : colors)
        out.push_back(RelativeLuminance(c));
    return out;
}

// The least contrast of a colour of luminance lf with any of the backgrounds, given by
// their luminance.
double WorstContrast(double lf, const std::vector<double>& backgrounds)
{
    double worst = 21.0;
    for (double lb : backgrounds)
        worst = std::min(worst, Contrast(lf, lb));
    return worst;
}

double WorstContrast(const QColor& fore, const std::vector<QColor>& backgrounds)
{
    return WorstContrast(RelativeLuminance(fore), Luminances(backgrounds));
}

Rgb Mix(const Rgb& from, const Rgb& to, double t)
{
    auto channel = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return Rgb{channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
}

// The widget's text colour as its window meant it: when the colour now set is one chosen
// here, the colour it replaced. A window may set the colour in the palette or in a one-rule
// style sheet ("color: #RRGGBB"), which overrides the palette.
constexpr const char* MeantColorProperty = "vexalMeantTextColor";
constexpr const char* ChosenColorProperty = "vexalChosenTextColor";

QColor SheetColor(const QWidget* w)
{
    static const QRegularExpression rule(QStringLiteral("^\\s*color\\s*:\\s*(#[0-9A-Fa-f]{6})\\s*;?\\s*$"));
    const QRegularExpressionMatch m = rule.match(w->styleSheet());
    return m.hasMatch() ? QColor(m.captured(1)) : QColor();
}

QColor CurrentColor(const QWidget* w)
{
    const QColor sheet = SheetColor(w);
    return sheet.isValid() ? sheet : w->palette().color(QPalette::WindowText);
}

QColor MeantColor(const QWidget* w)
{
    const QColor now = CurrentColor(w);
    const QVariant chosen = w->property(ChosenColorProperty);
    if (chosen.isValid() && chosen.value<QColor>() == now)
        return w->property(MeantColorProperty).value<QColor>();
    return now;
}

void SetTextColor(QWidget* w, const QColor& meant, const QColor& chosen)
{
    if (SheetColor(w).isValid()) {
        w->setStyleSheet(QStringLiteral("color: ") + chosen.name());
    } else {
        QPalette p = w->palette();
        p.setColor(QPalette::WindowText, chosen);
        w->setPalette(p);
    }
    w->setProperty(MeantColorProperty, meant);
    w->setProperty(ChosenColorProperty, chosen);
}

bool IsCaption(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QCheckBox*>(w) ||
           qobject_cast<const QRadioButton*>(w) || qobject_cast<const QGroupBox*>(w);
}

bool HasText(const QWidget* w)
{
    if (auto* label = qobject_cast<const QLabel*>(w))
        return !label->text().isEmpty();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return !button->text().isEmpty();
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return !box->title().isEmpty();
    return false;
}

// Menu bars and tab strips are the program's chrome: where the theme's colours reach them
// (a menu bar is drawn on the window's background, a tab takes its face from the window
// colour, which for a gradient is no colour at all) they keep the standard face instead.
bool FaceReadable(const QWidget* w, const std::vector<QColor>& behind)
{
    const QPalette& p = w->palette();
    return WorstContrast(p.color(QPalette::ButtonText), behind) >= ReadableContrast &&
           WorstContrast(p.color(QPalette::WindowText), behind) >= ReadableContrast;
}

void KeepStandardFace(QWidget* w, bool drawsOwnFace)
{
    const QBrush& face = w->palette().brush(QPalette::Window);
    const bool readable = drawsOwnFace ? face.style() == Qt::SolidPattern && FaceReadable(w, {face.color()})
                                       : FaceReadable(w, BackgroundBehind(w));
    if (readable)
        return;
    // Every role set, so that nothing of the themed window's palette is inherited.
    QPalette standard = QApplication::palette(w);
    standard.setResolveMask(~QPalette::ResolveMask(0));
    w->setPalette(standard);
    if (!drawsOwnFace)
        w->setAutoFillBackground(true);
}

// The widget that paints what shows behind a widget: the nearest one that fills its own
// background, else its window.
const QWidget* FillerOf(const QWidget* widget)
{
    const QWidget* filler = widget;
    while (filler && !filler->autoFillBackground() && !filler->isWindow() && filler->parentWidget())
        filler = filler->parentWidget();
    return filler;
}

// All that a caption's check depends on: what is behind its text (the background's brush and
// the part of it under the text), the colour its window meant and the colour it now has. A
// caption whose check found its colour readable is not checked again while these stay the
// same: a view is checked when its background is set, when it shows and when its captions
// move, mostly with nothing changed in between.
struct CaptionCheck {
    const QWidget* filler = nullptr;
    Qt::BrushStyle style = Qt::NoBrush;
    QColor brushColor;
    qint64 picture = 0;
    QRect area;
    QColor meant;
    QColor now;
    bool operator==(const CaptionCheck&) const = default;
};

CaptionCheck CheckOf(const QWidget* w, const QRect& textArea, const QColor& meant, const QColor& now)
{
    CaptionCheck check;
    check.filler = FillerOf(w);
    if (check.filler) {
        const QBrush& brush = check.filler->palette().brush(QPalette::Window);
        check.style = brush.style();
        check.brushColor = brush.color();
        check.picture = brush.textureImage().isNull() ? brush.texture().cacheKey() : brush.textureImage().cacheKey();
        check.area = QRect(w->mapTo(check.filler, textArea.topLeft()), textArea.size());
    }
    check.meant = meant;
    check.now = now;
    return check;
}

// The captions found readable, with what their check depended on. An entry may outlive its
// widget: it only ever matches a caption whose check would find the same.
QHash<const QWidget*, CaptionCheck>& SettledCaptions()
{
    static QHash<const QWidget*, CaptionCheck> settled;
    return settled;
}

} // namespace

double RelativeLuminance(const QColor& color)
{
    const QColor c = color.toRgb();
    return Luminance(Rgb{c.red(), c.green(), c.blue()});
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    return Contrast(RelativeLuminance(a), RelativeLuminance(b));
}

QColor NearestReadableColor(const QColor& wanted, const std::vector<QColor>& backgroundColors)
{
    // The wanted colour is kept when it is readable with a little to spare: inside a frame
    // the style shades the background slightly. A colour that has to be chosen gets the
    // same, so that the thin strokes of smoothed text, which never reach the full colour,
    // stay readable.
    return NearestReadableColor(wanted, backgroundColors, ReadableContrast + 0.3);
}

QColor NearestReadableColor(const QColor& wanted, const std::vector<QColor>& backgroundColors, double aim)
{
    const QColor start = wanted.toRgb();
    const std::vector<double> backgrounds = Luminances(backgroundColors);
    if (backgrounds.empty() || WorstContrast(RelativeLuminance(start), backgrounds) >= aim)
        return start;
    constexpr int Steps = 256;
    // Of two equally near colours, the one that keeps more of the wanted colour's contrast
    // direction: darker text stays darker.
    const bool darkFirst = RelativeLuminance(start) <= 0.18;
    constexpr Rgb Black{0, 0, 0}, White{255, 255, 255};
    const Rgb targets[2] = {darkFirst ? Black : White, darkFirst ? White : Black};
    const Rgb from{start.red(), start.green(), start.blue()};
    // A grey caption reads as a disabled one: text without a hue of its own goes all the way
    // to black or white where that is readable too.
    const bool neutral = std::max({from.r, from.g, from.b}) - std::min({from.r, from.g, from.b}) < 24;
    for (int k = 1; k <= Steps; ++k) {
        const double t = static_cast<double>(k) / Steps;
        for (const Rgb& target : targets) {
            const Rgb candidate = Mix(from, target, t);
            if (WorstContrast(Luminance(candidate), backgrounds) >= aim) {
                const Rgb chosen = neutral && WorstContrast(Luminance(target), backgrounds) >= aim ? target : candidate;
                return QColor(chosen.r, chosen.g, chosen.b);
            }
        }
    }
    const QColor black(Qt::black), white(Qt::white);
    return WorstContrast(Luminance(Black), backgrounds) >= WorstContrast(Luminance(White), backgrounds) ? black : white;
}

namespace {

// The darkest and the lightest of the colours met, by their light.
struct LightRange {
    QColor darkest, lightest;
    double low = 2.0, high = -1.0;
    bool Widens(double light) const { return light < low || light > high; }
    void Add(const QColor& color, double light)
    {
        if (light < low) {
            low = light;
            darkest = color;
        }
        if (light > high) {
            high = light;
            lightest = color;
        }
    }
    std::vector<QColor> Colors() const { return {darkest, lightest}; }
};

// The picture a brush paints, as it was given to it.
QImage PictureOf(const QBrush& brush)
{
    return brush.textureImage().isNull() ? brush.texture().toImage() : brush.textureImage();
}

} // namespace

std::vector<QColor> BackgroundBehind(const QWidget* widget)
{
    return BackgroundBehind(widget, widget->rect());
}

std::vector<QColor> BackgroundBehind(const QWidget* widget, const QRect& part)
{
    const QWidget* filler = FillerOf(widget);
    if (!filler)
        return {};
    const QBrush& brush = filler->palette().brush(QPalette::Window);
    const QImage image = PictureOf(brush);
    if (image.isNull() || brush.style() != Qt::TexturePattern)
        return {brush.color()};
    // The picture is tiled from the filler's corner: a text beyond its first tile (the bar's
    // lower rows on a picture of 64 pixels) stands on the tile repeated there.
    const QRect area = QRect(widget->mapTo(filler, part.topLeft()), part.size());
    if (area.isEmpty())
        return {brush.color()};
    const auto tiled = [](int at, int size) { return ((at % size) + size) % size; };
    LightRange range;
    const int columns = 5;
    // A picture of plain 8-bit channels is read straight from its rows; neighbouring samples
    // mostly repeat a colour, whose light is then not worked out again.
    const bool plain = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
    QRgb lastRgb = 0;
    double lastLight = -1.0;
    // A text taller than the picture meets every row of it once.
    const int rows = std::min(area.height(), image.height());
    for (int step = 0; step < rows; ++step) {
        const int y = tiled(area.top() + step, image.height());
        const auto* row = plain ? reinterpret_cast<const QRgb*>(image.constScanLine(y)) : nullptr;
        for (int i = 0; i < columns; ++i) {
            const int x = tiled(area.left() + (area.width() - 1) * i / (columns - 1), image.width());
            double l = 0;
            QColor c;
            if (row) {
                QRgb rgb = row[x];
                if (image.format() == QImage::Format_RGB32)
                    rgb |= 0xFF000000u;
                if (lastLight < 0 || rgb != lastRgb) {
                    lastRgb = rgb;
                    lastLight = Luminance(Rgb{qRed(rgb), qGreen(rgb), qBlue(rgb)});
                }
                l = lastLight;
                if (range.Widens(l))
                    c = QColor::fromRgba(rgb);
            } else {
                c = image.pixelColor(x, y);
                l = RelativeLuminance(c);
            }
            range.Add(c, l);
        }
    }
    return range.Colors();
}

void KeepCaptionReadable(QWidget* w)
{
    if (!w)
        return;
    if (qobject_cast<QMenuBar*>(w) || qobject_cast<QTabBar*>(w)) {
        KeepStandardFace(w, qobject_cast<QTabBar*>(w) != nullptr);
        return;
    }
    if (!IsCaption(w) || !HasText(w))
        return;
    const QColor meant = MeantColor(w);
    // A frame's title is the only text on its area.
    const QRect textArea = qobject_cast<QGroupBox*>(w) ? QRect(0, 0, w->width(), QFontMetrics(w->font()).height() + 2)
                                                      : w->rect();
    auto& settled = SettledCaptions();
    const QColor now = CurrentColor(w);
    if (const auto known = settled.constFind(w);
        known != settled.constEnd() && *known == CheckOf(w, textArea, meant, now))
        return;
    const QColor readable = NearestReadableColor(meant, BackgroundBehind(w, textArea));
    if (readable != now)
        SetTextColor(w, meant, readable);
    if (settled.size() > 4096)
        settled.clear();
    if (readable == CurrentColor(w))
        settled.insert(w, CheckOf(w, textArea, meant, readable));
    else
        settled.remove(w);
}

void KeepTextReadable(QWidget* window)
{
    if (!window)
        return;
    for (QWidget* w : window->findChildren<QWidget*>())
        KeepCaptionReadable(w);
}

// ---- A text and its background from one place ------------------------------------------

namespace {

// The light palette a dark desktop's stands in for: light grey faces, white boxes, black text.
QPalette StandardLightPalette()
{
    QPalette p(QColor(0xEF, 0xEF, 0xEF));
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x00, 0x00, 0xFF));
    p.setColor(QPalette::PlaceholderText, QColor(0x00, 0x00, 0x00, 0x80));
    return p;
}

std::pair<QPalette::ColorRole, QPalette::ColorRole> RolesOf(TextSurface surface)
{
    switch (surface) {
    case TextSurface::Box: return {QPalette::Base, QPalette::Text};
    case TextSurface::Button: return {QPalette::Button, QPalette::ButtonText};
    case TextSurface::Window: break;
    }
    return {QPalette::Window, QPalette::WindowText};
}

// What the program asked of a surface, kept with the widget so that the pair can be set
// again when only one half changes, or when the desktop's palette does.
QByteArray TextKey(TextSurface surface) { return "vexalSurfaceText" + QByteArray::number(static_cast<int>(surface)); }
QByteArray BackKey(TextSurface surface) { return "vexalSurfaceBack" + QByteArray::number(static_cast<int>(surface)); }
// Whether the desktop was dark when the pair was last set.
constexpr const char* SurfaceDarkKey = "vexalSurfaceDark";
constexpr TextSurface Surfaces[] = {TextSurface::Window, TextSurface::Box, TextSurface::Button};

QColor ApplySurface(QWidget* widget, TextSurface surface)
{
    const QColor text = widget->property(TextKey(surface)).value<QColor>();
    const QBrush background = widget->property(BackKey(surface)).value<QBrush>();
    const QPalette design = DesignPalette();
    const auto [backRole, textRole] = RolesOf(surface);
    const bool own = background.style() != Qt::NoBrush;
    const QBrush shown = own ? background : design.brush(QPalette::Active, backRole);
    const QColor wanted = text.isValid() ? text : design.color(QPalette::Active, textRole);
    const QColor readable = NearestReadableColor(wanted, ColorsOfBrush(shown));
    auto paint = [&, backRole = backRole, textRole = textRole](QWidget* w) {
        QPalette p = w->palette();
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            p.setBrush(group, backRole, shown);
            p.setColor(group, textRole, readable);
        }
        p.setBrush(QPalette::Disabled, backRole, own ? background : design.brush(QPalette::Disabled, backRole));
        p.setColor(QPalette::Disabled, textRole, design.color(QPalette::Disabled, textRole));
        w->setPalette(p);
    };
    widget->setProperty(SurfaceDarkKey, DesktopIsDark());
    paint(widget);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget); area && surface == TextSurface::Box)
        paint(area->viewport());
    return readable;
}

// A surface set while the desktop was light and now dark, or the other way round.
bool SurfaceOutdated(const QWidget* widget)
{
    const QVariant dark = widget->property(SurfaceDarkKey);
    return dark.isValid() && dark.toBool() != DesktopIsDark();
}

// Sets every surface of the widget again from what the program asked of it.
void ApplySurfaces(QWidget* widget)
{
    for (TextSurface surface : Surfaces)
        if (widget->property(TextKey(surface)).isValid())
            ApplySurface(widget, surface);
}

} // namespace

bool DesktopIsDark()
{
    const QPalette desktop = ApplicationPalette();
    return RelativeLuminance(desktop.color(QPalette::Window)) < RelativeLuminance(desktop.color(QPalette::WindowText));
}

QPalette DesignPalette()
{
    if (!DesktopIsDark())
        return ApplicationPalette();
    static const QPalette light = StandardLightPalette();
    return light;
}

QColor SetTextAndBackground(QWidget* widget, TextSurface surface, const QColor& text, const QBrush& background)
{
    if (!widget)
        return text;
    // An invalid colour is stored as one too: "the design palette's".
    widget->setProperty(TextKey(surface), QVariant::fromValue(text));
    widget->setProperty(BackKey(surface), QVariant::fromValue(background));
    return ApplySurface(widget, surface);
}

QColor SetSurfaceText(QWidget* widget, TextSurface surface, const QColor& text)
{
    if (!widget)
        return text;
    return SetTextAndBackground(widget, surface, text, widget->property(BackKey(surface)).value<QBrush>());
}

QColor SetSurfaceBackground(QWidget* widget, TextSurface surface, const QBrush& background)
{
    if (!widget)
        return QColor();
    return SetTextAndBackground(widget, surface, widget->property(TextKey(surface)).value<QColor>(), background);
}

std::vector<QColor> ColorsOfBrush(const QBrush& brush)
{
    if (brush.style() != Qt::TexturePattern)
        return {brush.color()};
    const QImage image = PictureOf(brush);
    if (image.isNull())
        return {brush.color()};
    // A picture is sampled on a grid of at most 64 x 64 points.
    const int stepX = std::max(1, image.width() / 64), stepY = std::max(1, image.height() / 64);
    LightRange range;
    for (int y = 0; y < image.height(); y += stepY)
        for (int x = 0; x < image.width(); x += stepX) {
            const QColor c = image.pixelColor(x, y);
            const double l = RelativeLuminance(c);
            range.Add(c, l);
        }
    return range.Colors();
}

namespace {

// Checks, once the event loop is back, each window as it is shown and each caption whose
// colours or place changed: windows set their colours as they load and refresh.
class ReadableTextGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                Queue(w);
            break;
        case QEvent::PaletteChange:
            // The desktop turned dark or light: a surface the program coloured takes the
            // other half of its pair from the palette that goes with its colours now.
            if (SurfaceOutdated(w))
                ApplySurfaces(w);
            [[fallthrough]];
        case QEvent::StyleChange:
        case QEvent::Move:
            if (IsCaption(w) || qobject_cast<QMenuBar*>(w) || qobject_cast<QTabBar*>(w))
                Queue(w);
            break;
        default: break;
        }
        return false;
    }

private:
    void Queue(QWidget* w)
    {
        if (!pending_.contains(w))
            pending_.append(w);
        if (pending_.size() == 1)
            QTimer::singleShot(0, this, [this] { Run(); });
    }
    void Run()
    {
        const QList<QPointer<QWidget>> widgets = std::exchange(pending_, {});
        for (const QPointer<QWidget>& w : widgets) {
            if (!w)
                continue;
            if (w->isWindow() || qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                KeepTextReadable(w);
            else
                KeepCaptionReadable(w);
        }
    }

    QList<QPointer<QWidget>> pending_;
};

} // namespace

void KeepAllTextReadable()
{
    static QPointer<ReadableTextGuard> guard;
    if (guard || !qApp)
        return;
    guard = new ReadableTextGuard(qApp);
    qApp->installEventFilter(guard);
}

} // namespace vexal
