#include "ProgBar.h"

#include "Screen.h"
#include "VbConvert.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vexal {

namespace {

// Values a saved control falls back to when a property was not stored.
constexpr int32_t StoredBackColor = static_cast<int32_t>(0x8000000F);
constexpr int32_t StoredBarColor = static_cast<int32_t>(0x8000000D);
constexpr bool StoredVertical = false;
constexpr bool StoredAddPercent = true;
const char* const StoredCaption = "Caption";
constexpr int16_t StoredBorderWidth = 1;
constexpr int32_t StoredCaptionColor = 0xFFFFFF;
constexpr int32_t StoredMax = 100;
constexpr int32_t StoredMin = 0;
constexpr int32_t StoredValue = 50;
constexpr int32_t StoredBorderStyle = 1;
constexpr int16_t StoredAlign = 0;

QColor Resolve(int32_t color) { return TranslateColor(color); }

void DrawRing(QPainter& p, const QRect& r, int edge, const QPalette& pal)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    QColor topLeft, bottomRight;
    switch (edge) {
    case ProgBar::RaisedOuter:
        topLeft = pal.color(QPalette::Midlight);
        bottomRight = pal.color(QPalette::Shadow);
        break;
    case ProgBar::SunkenOuter:
        topLeft = pal.color(QPalette::Dark);
        bottomRight = pal.color(QPalette::Light);
        break;
    case ProgBar::RaisedInner:
        topLeft = pal.color(QPalette::Light);
        bottomRight = pal.color(QPalette::Dark);
        break;
    case ProgBar::SunkenInner:
        topLeft = pal.color(QPalette::Shadow);
        bottomRight = pal.color(QPalette::Midlight);
        break;
    default:
        return;
    }
    // Windows rectangles end before right and bottom.
    const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, b = r.top() + r.height() - 1;
    p.setPen(topLeft);
    p.drawLine(l, t, rr, t);
    p.drawLine(l, t, l, b);
    p.setPen(bottomRight);
    p.drawLine(l, b, rr, b);
    p.drawLine(rr, t, rr, b);
}

} // namespace

ProgBar::ProgBar(QWidget* parent)
    : QWidget(parent), backColor_(StoredBackColor), barColor_(StoredBarColor)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The set-up of a newly placed control, in its order.
    SetBackColor(StoredBackColor);
    SetBarColor(StoredBarColor);
    SetVertical(false);
    SetMax(100);
    SetMin(0);
    SetValue(50);
    SetBorderStyle(0);
}

void ProgBar::ApplyColors()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Resolve(backColor_));
    pal.setColor(QPalette::WindowText, Resolve(captionColor_));
    setPalette(pal);
}

void ProgBar::SetAlign(int16_t align)
{
    align_ = align;
    ResizeStep();
}

void ProgBar::SetBackColor(int32_t color)
{
    backColor_ = color;
    ApplyColors();
    update();
}

void ProgBar::SetBarColor(int32_t color)
{
    barColor_ = color;
    update();
}

void ProgBar::SetVertical(bool on)
{
    vertical_ = on;
    ResizeStep();
}

void ProgBar::SetAddPercent(bool on)
{
    addPercent_ = on;
    ResizeStep();
}

void ProgBar::SetCaption(const QString& caption)
{
    caption_ = caption;
    ResizeStep();
}

void ProgBar::SetBorderWidth(int16_t width)
{
    borderWidth_ = width;
    ResizeStep();
}

void ProgBar::SetCaptionColor(int32_t color)
{
    captionColor_ = color;
    ApplyColors();
    ResizeStep();
}

void ProgBar::SetMax(int32_t value)
{
    if (value < 1)
        value = 1;
    if (value <= min_)
        value = min_ + 1;
    max_ = value;
    if (value_ > max_)
        value_ = max_;
    ResizeStep();
}

void ProgBar::SetMin(int32_t value)
{
    if (value >= max_)
        value = max_ - 1;
    if (value < 0)
        value = 0;
    min_ = value;
    if (value_ < min_)
        value_ = min_;
    ResizeStep();
}

void ProgBar::SetValue(int32_t value)
{
    value_ = std::clamp(value, min_, max_);
    ResizeStep();
}

void ProgBar::SetBorderStyle(int32_t style)
{
    borderStyle_ = style;
    ResizeStep();
}

QString ProgBar::PercentText() const
{
    const double r = static_cast<double>(value_) - min_;
    const double w = static_cast<double>(max_) - min_;
    return QString::fromStdString(vb::CStr(r / w * 100.0));
}

QString ProgBar::CaptionText() const
{
    if (!addPercent_)
        return caption_;
    return caption_ + QLatin1Char(' ') + PercentText() + QLatin1Char('%');
}

QRect ProgBar::BarRect() const
{
    const double r = static_cast<double>(value_) - min_;
    const double range = static_cast<double>(max_) - min_;
    if (r < 1 || range <= 0)
        return QRect();
    if (!vertical_) {
        const int w = static_cast<int>(std::lround(r * width() / range));
        return QRect(0, 0, w, height());
    }
    const int h = static_cast<int>(std::lround(r * height() / range));
    return QRect(0, height() - h, width(), h);
}

std::vector<int> ProgBar::EdgeRingsFor(int32_t style, int16_t width)
{
    std::vector<int> rings;
    if (style == 0 || style == 5 || width <= 0)
        return rings;
    int a = EdgeNone, b = EdgeNone, k = 0;
    switch (style) {
    case 1: a = SunkenOuter; b = SunkenInner; k = 2 * width - 1; break;
    case 2: a = RaisedOuter; b = RaisedInner; k = 2 * width - 1; break;
    case 3: a = SunkenOuter; b = RaisedInner; k = width; break;
    case 4: a = RaisedOuter; b = SunkenInner; k = width; break;
    case 6: a = RaisedOuter; b = RaisedInner; k = 2 * width - 1; break;
    default: break; // rings with no edge kind: nothing visible
    }
    for (int i = 0; i < 2 * width; ++i)
        rings.push_back(i < k ? a : b);
    return rings;
}

std::vector<int> ProgBar::EdgeRings() const
{
    if (borderStyle_ == 6 && pressedEdge_ == 1)
        return EdgeRingsFor(1, borderWidth_);
    if (borderStyle_ == 6 && pressedEdge_ == 2)
        return EdgeRingsFor(2, borderWidth_);
    return EdgeRingsFor(borderStyle_, borderWidth_);
}

void ProgBar::ResizeStep()
{
    pressedEdge_ = 0;
    const QFontMetrics fm(font());
    captionPos_ = QPoint(static_cast<int>(vb::RoundHalfEven(width() / 2.0 - fm.horizontalAdvance(caption_) / 2.0)),
                         static_cast<int>(vb::RoundHalfEven(height() / 2.0 - fm.height() / 2.0)));
    extentWidth_ = width();
    extentHeight_ = height();
    update();
}

void ProgBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Resolve(backColor_));
    const QRect bar = BarRect();
    if (!bar.isEmpty())
        p.fillRect(bar, Resolve(barColor_));
    p.setFont(font());
    p.setPen(Resolve(captionColor_));
    const QFontMetrics fm(font());
    p.drawText(captionPos_.x(), captionPos_.y() + fm.ascent(), CaptionText());
    QRect ring(0, 0, width(), height());
    for (int edge : EdgeRings()) {
        DrawRing(p, ring, edge, palette());
        ring.adjust(1, 1, -1, -1);
    }
}

void ProgBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ResizeStep();
}

void ProgBar::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ResizeStep();
}

void ProgBar::TrackMouse(int x, int y)
{
    if (borderStyle_ != 5 && !hover_)
        return;
    const bool inside = x >= 0 && x <= extentWidth_ && y >= 0 && y <= extentHeight_;
    if (inside && !hover_) {
        hover_ = true;
        SetBorderStyle(6);
        emit MouseEnter();
    } else if (!inside && hover_) {
        hover_ = false;
        SetBorderStyle(5);
        emit MouseLeave();
    }
}

void ProgBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    TrackMouse(pos.x(), pos.y());
    QWidget::mouseMoveEvent(event);
}

void ProgBar::leaveEvent(QEvent* event)
{
    // Qt reports the mouse leaving the control, so no mouse capture is needed to see it go.
    if (hover_)
        TrackMouse(-1, -1);
    QWidget::leaveEvent(event);
}

void ProgBar::mousePressEvent(QMouseEvent* event)
{
    pressed_ = true;
    if (borderStyle_ == 6) {
        pressedEdge_ = 1;
        update();
    }
    QWidget::mousePressEvent(event);
}

void ProgBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (borderStyle_ == 6) {
        pressedEdge_ = 2;
        update();
    }
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    QWidget::mouseReleaseEvent(event);
    if (click)
        emit Click();
}

QVariantMap ProgBar::SaveProperties() const
{
    QVariantMap saved;
    if (backColor_ != StoredBackColor)
        saved.insert("BackColor", backColor_);
    if (barColor_ != StoredBarColor)
        saved.insert("BarColor", barColor_);
    if (vertical_ != StoredVertical)
        saved.insert("Vertical", vertical_);
    if (max_ != StoredMax)
        saved.insert("Max", max_);
    if (min_ != StoredMin)
        saved.insert("Min", min_);
    if (value_ != StoredValue)
        saved.insert("Value", value_);
    const QFont ambient = parentWidget() ? parentWidget()->font() : QApplication::font();
    if (font() != ambient)
        saved.insert("Font", QVariant::fromValue(font()));
    if (align_ != StoredAlign)
        saved.insert("Align", align_);
    if (borderStyle_ != StoredBorderStyle)
        saved.insert("BorderStyle", borderStyle_);
    if (caption_ != QLatin1String(StoredCaption))
        saved.insert("Caption", caption_);
    if (addPercent_ != StoredAddPercent)
        saved.insert("AddPercent", addPercent_);
    if (captionColor_ != StoredCaptionColor)
        saved.insert("CaptionColor", captionColor_);
    if (borderWidth_ != StoredBorderWidth)
        saved.insert("BorderWidth", borderWidth_);
    return saved;
}

void ProgBar::RestoreProperties(const QVariantMap& saved)
{
    auto get = [&](const char* name, const QVariant& fallback) { return saved.value(name, fallback); };
    // A loaded control starts from zero values; Value is not read back, so the Min setter
    // leaves it at Min.
    value_ = 0;
    SetBackColor(get("BackColor", StoredBackColor).toInt());
    SetBarColor(get("BarColor", StoredBarColor).toInt());
    SetVertical(get("Vertical", StoredVertical).toBool());
    SetMax(get("Max", StoredMax).toInt());
    SetMin(get("Min", StoredMin).toInt());
    SetBorderStyle(get("BorderStyle", StoredBorderStyle).toInt());
    SetCaption(get("Caption", QString::fromLatin1(StoredCaption)).toString());
    SetAlign(static_cast<int16_t>(get("Align", StoredAlign).toInt()));
    const QFont ambient = parentWidget() ? parentWidget()->font() : QApplication::font();
    setFont(get("Font", QVariant::fromValue(ambient)).value<QFont>());
    SetAddPercent(get("AddPercent", StoredAddPercent).toBool());
    SetCaptionColor(get("CaptionColor", StoredCaptionColor).toInt());
    SetBorderWidth(static_cast<int16_t>(get("BorderWidth", StoredBorderWidth).toInt()));
    if (value_ < min_)
        value_ = min_;
}

} // namespace vexal
