#include "cBackGround.h"

#include "ReadableText.h"
#include "Screen.h"
#include "VbConvert.h"
#include "WindowNames.h"

#include <QEvent>
#include <QPalette>
#include <QTimer>
#include <QVariant>

#include <algorithm>
#include <deque>
#include <utility>

namespace vexal {

namespace {

QColor Translate(int32_t color)
{
    bool ok = true;
    QColor c = TranslateColor(color, &ok);
    return ok && c.isValid() ? c : QColor(255, 255, 255);
}

// A Windows rectangle (right and bottom excluded) filled when it is not empty. Written
// straight into the picture's rows: a painter hands every tall rectangle to its thread pool,
// which for hundreds of bands costs more than the filling itself.
void Fill(QImage& image, int left, int top, int right, int bottom, QRgb pixel)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, image.width());
    bottom = std::min(bottom, image.height());
    if (right <= left || bottom <= top)
        return;
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(row + left, row + right, pixel);
    }
}

// The pictures made last: every view and the formula editor ask for the same gradient each
// time a view opens, so one of each size is made once and shared.
struct GradientKey {
    int width, height;
    QRgb first, second;
    int32_t style;
    int bands;
    bool operator==(const GradientKey&) const = default;
};

int Px(double v) { return static_cast<int>(vb::RoundHalfEven(v)); }

// Marks the window a gradient is painted over, for SetWindowBackColor.
constexpr const char* GradientMark = "vexalGradientPainted";

} // namespace

cBackGround::cBackGround(QObject* parent) : QObject(parent) {}

cBackGround::~cBackGround() { Detach(); }

std::vector<QColor> cBackGround::BandColors(const QColor& first, const QColor& second, int bands)
{
    std::vector<QColor> colors;
    if (bands <= 0)
        return colors;
    colors.reserve(static_cast<size_t>(bands));
    auto channel = [bands](int s, int e, int k) {
        const double v = s + static_cast<double>(k + 1) * (e - s) / bands;
        return std::clamp(static_cast<int>(vb::RoundHalfEven(v)), 0, 255);
    };
    for (int k = 0; k < bands; ++k)
        colors.emplace_back(channel(second.red(), first.red(), k), channel(second.green(), first.green(), k),
                            channel(second.blue(), first.blue(), k));
    return colors;
}

QImage cBackGround::RenderGradient(int width, int height, const QColor& first, const QColor& second, int32_t style,
                                   int bands)
{
    static std::deque<std::pair<GradientKey, QImage>> made;
    constexpr std::size_t Kept = 4;
    const GradientKey key{width, height, first.rgb(), second.rgb(), style, bands};
    for (const auto& [k, image] : made)
        if (k == key)
            return image;
    QImage image(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (image.isNull() || bands <= 0)
        return image;
    image.fill(second);
    const std::vector<QColor> colors = BandColors(first, second, bands);
    const int w = width, h = height;
    const float bh = static_cast<float>(h) / bands;
    const float bw = static_cast<float>(w) / bands;
    int left = 0, top = 0, right = w, bottom = h;
    for (int k = 0; k < bands; ++k) {
        const int j = k + 1;
        const QRgb color = colors[static_cast<size_t>(k)].rgb();
        const int y = Px(h - j * static_cast<double>(bh));
        const int x = Px(w - j * static_cast<double>(bw));
        if (style == Corner) {
            top = y;
            left = 0;
            Fill(image, left, top, right, bottom, color);
            top = 0;
            left = x;
            Fill(image, left, top, right, bottom, color);
            bottom = y;
            right = x;
        } else if (style == Vertical) {
            top = y;
            Fill(image, left, top, right, bottom, color);
            bottom = y;
        } else {
            left = x;
            Fill(image, left, top, right, bottom, color);
            right = x;
        }
    }
    made.emplace_front(key, image);
    if (made.size() > Kept)
        made.pop_back();
    return image;
}

void cBackGround::GradientForm(QWidget* window, int32_t firstColor, int32_t secondColor, int32_t style,
                               bool repaintOnResize)
{
    if (attached_)
        Detach();
    if (!window || window->objectName() == QLatin1String(WindowName::Main))
        return;
    window_ = window;
    first_ = firstColor;
    second_ = secondColor;
    style_ = style;
    repaintOnResize_ = repaintOnResize;
    window->installEventFilter(this);
    window->setProperty(GradientMark, true);
    attached_ = true;
    Paint();
}

void cBackGround::Detach()
{
    if (attached_ && window_) {
        window_->removeEventFilter(this);
        window_->setProperty(GradientMark, QVariant());
    }
    attached_ = false;
    window_ = nullptr;
}

bool cBackGround::eventFilter(QObject* watched, QEvent* event)
{
    if (attached_ && watched == window_) {
        // Showing stands for the window's creation message; resizing only when asked for.
        if (event->type() == QEvent::Show || (repaintOnResize_ && event->type() == QEvent::Resize))
            Paint();
    }
    return QObject::eventFilter(watched, event);
}

void cBackGround::Paint()
{
    QWidget* window = window_;
    if (!window)
        return;
    if (bands_ == 0)
        bands_ = Screen::DepthBits() > 15 ? 256 : 64;
    // The window's inside: its outer rectangle less the caption bar and the frame.
    const QImage image = RenderGradient(window->width(), window->height(), Translate(first_), Translate(second_),
                                        style_, bands_);
    ++paintCount_;
    // The same picture already behind the window (shown again, or asked for again while the
    // size stayed) needs neither a repaint nor another look at its captions.
    const QBrush& now = window->palette().brush(QPalette::Window);
    if (window->autoFillBackground() && now.style() == Qt::TexturePattern
        && now.textureImage().cacheKey() == image.cacheKey())
        return;
    QPalette pal = window->palette();
    pal.setBrush(QPalette::Window, QBrush(image));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
    window->update();
    // Once the window's layout has followed the new size, its captions are checked against
    // the bands now behind them.
    QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] { KeepTextReadable(w); });
}

void SetWindowBackColor(QWidget* window, int32_t color)
{
    if (!window || window->property(GradientMark).toBool())
        return;
    QPalette pal = window->palette();
    pal.setColor(QPalette::Window, Translate(color));
    window->setPalette(pal);
    window->setAutoFillBackground(true);
}

} // namespace vexal
