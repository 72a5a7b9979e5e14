#include "Chart.h"

#include "ExceptionFilter.h"
#include "MsgBox.h"
#include "ReadableText.h"
#include "Steps.h"
#include "Screen.h"
#include "VbError.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <string>

namespace vexal {

namespace {

QColor FromBgr(int32_t c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Colours of series that have none of their own, by series number: the standard sixteen
// text-mode colours, black and navy first.
constexpr int32_t StandardColors[Chart::MaxSeries + 1] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr int32_t NoColor = -1;

double Luminance(int32_t bgr)
{
    auto channel = [](int v) {
        const double c = v / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(bgr & 0xFF) + 0.7152 * channel((bgr >> 8) & 0xFF) + 0.0722 * channel((bgr >> 16) & 0xFF);
}

// The contrast ratio of two colours, 1 (the same) to 21 (black on white).
double Contrast(int32_t a, int32_t b)
{
    const double x = Luminance(a), y = Luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

constexpr double VisibleContrast = 1.5;

std::string PlotError(int number, const char* where)
{
    return "Error " + std::to_string(number) + " plotting " + where + ": " + VbError::TextOf(number);
}

} // namespace

Chart::Chart(QWidget* parent)
    : QWidget(parent), colors_(MaxSeries + 1, NoColor), ownColor_(MaxSeries + 1, false), legends_(MaxSeries + 1)
{
    setAutoFillBackground(true);
    // The surface takes the keyboard when clicked, and reports the mouse moving over it.
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    titleFont_ = font();
}

void Chart::SetSeriesOptions(int series, int32_t color, const QString& legend)
{
    if (series < 0 || series > MaxSeries) {
        MsgBox("Too many data series -- limit is 15");
        return;
    }
    colors_[static_cast<std::size_t>(series)] = color;
    ownColor_[static_cast<std::size_t>(series)] = true;
    if (!legend.isEmpty())
        legends_[static_cast<std::size_t>(series)] = legend;
}

int32_t Chart::SeriesColor(int series) const
{
    if (series < 0 || series > MaxSeries)
        return NoColor;
    return colors_[static_cast<std::size_t>(series)];
}

int32_t Chart::DrawnSeriesColor(int series) const
{
    int32_t colour = SeriesColor(series);
    if (colour == NoColor && series >= 0 && series <= MaxSeries)
        colour = StandardColors[static_cast<std::size_t>(series)];
    if (Contrast(colour, backColor_) >= VisibleContrast)
        return colour;
    // A series in (nearly) the background's colour is drawn in the first plain colour that
    // shows on the background and is no other series' colour.
    for (int32_t candidate : {0x000000, 0x808080, 0xFFFFFF}) {
        if (Contrast(candidate, backColor_) < VisibleContrast)
            continue;
        bool taken = false;
        for (int other = 0; other < Series() && other <= MaxSeries; ++other)
            if (other != series && SeriesColor(other) == candidate)
                taken = true;
        if (!taken)
            return candidate;
    }
    return Contrast(0x000000, backColor_) >= Contrast(0xFFFFFF, backColor_) ? 0x000000 : 0xFFFFFF;
}

QString Chart::SeriesLegend(int series) const
{
    if (series < 0 || series > MaxSeries)
        return QString();
    return legends_[static_cast<std::size_t>(series)];
}

void Chart::RegisterData(const std::vector<std::vector<QVariant>>& data)
{
    data_ = data;
    // A series beyond the limit cannot be coloured or drawn.
    if (data_.size() > static_cast<std::size_t>(MaxSeries + 2))
        data_.resize(MaxSeries + 2);
    // A series without a colour takes the standard colour of its number, and keeps it.
    for (int series = 0; series < Series(); ++series)
        if (colors_[static_cast<std::size_t>(series)] == NoColor)
            colors_[static_cast<std::size_t>(series)] = StandardColors[static_cast<std::size_t>(series)];
}

void Chart::WriteProperties(PropertyBag& bag) const
{
    bag.emplace_back("BackColor", backColor_);
    bag.emplace_back("ForeColor", foreColor_);
    bag.emplace_back("Enabled", isEnabled());
    bag.emplace_back("Font", font().toString());
    bag.emplace_back("BackStyle", 1);
    bag.emplace_back("BorderStyle", 0);
    bag.emplace_back("ChartType", type_);
    bag.emplace_back("DisplayLegend", legend_);
    bag.emplace_back("PlotPoints", plotPoints_);
    bag.emplace_back("Title", title_);
    bag.emplace_back("VerticalTickInterval", tick_);
    bag.emplace_back("HorizontalTickFrequency", labelEvery_);
    bag.emplace_back("TitleFont", titleFont_.toString());
}

void Chart::ReadProperties(const PropertyBag& bag)
{
    auto read = [&](const char* name, const QVariant& fallback) {
        for (const auto& [key, value] : bag)
            if (key == QLatin1String(name))
                return value;
        return fallback;
    };
    SetBackColor(read("BackColor", 0xFFFFFF).toInt());
    SetForeColor(read("ForeColor", 0).toInt());
    setEnabled(read("Enabled", true).toBool());
    QFont f = font();
    if (f.fromString(read("Font", font().toString()).toString()))
        setFont(f);
    SetChartType(read("ChartType", static_cast<int>(Bar)).toInt());
    SetDisplayLegend(read("DisplayLegend", false).toBool());
    SetPlotPoints(read("PlotPoints", false).toBool());
    SetTitle(read("Title", QString()).toString());
    SetVerticalTickInterval(read("VerticalTickInterval", 1.0).toDouble());
    SetHorizontalTickFrequency(read("HorizontalTickFrequency", 1).toInt());
    QFont t = font();
    if (t.fromString(read("TitleFont", font().toString()).toString()))
        SetTitleFont(t);
    for (int i = 0; i <= MaxSeries; ++i) {
        colors_[static_cast<std::size_t>(i)] = NoColor;
        legends_[static_cast<std::size_t>(i)].clear();
    }
}

bool Chart::IsGap(int series, int column) const
{
    const auto row = static_cast<std::size_t>(series + 1);
    if (series < 0 || row >= data_.size() || column < 0 || static_cast<std::size_t>(column) >= data_[row].size())
        return true;
    const QVariant& v = data_[row][static_cast<std::size_t>(column)];
    bool ok = false;
    v.toDouble(&ok);
    return !v.isValid() || !ok;
}

double Chart::Value(int series, int column) const
{
    if (IsGap(series, column))
        return 0;
    return data_[static_cast<std::size_t>(series + 1)][static_cast<std::size_t>(column)].toDouble();
}

void Chart::ComputeScale()
{
    // The widened scale stays in the control: the next drawing starts from it.
    const int columns = data_.empty() ? 0 : static_cast<int>(data_[0].size());
    for (int c = 0; c < columns; ++c) {
        if (type_ == StackedBar) {
            double sum = 0;
            for (int s = 0; s < Series(); ++s)
                sum += Value(s, c);
            high_ = std::max(high_, sum);
            low_ = std::min(low_, sum);
        } else {
            for (int s = 0; s < Series(); ++s) {
                if (IsGap(s, c))
                    continue;
                high_ = std::max(high_, Value(s, c));
                low_ = std::min(low_, Value(s, c));
            }
        }
    }
    double high = high_;
    double low = low_;
    if (tick_ > 0) {
        high = std::ceil(high / tick_) * tick_;
        low = std::floor(low / tick_) * tick_;
    }
    drawnHigh_ = high;
    drawnLow_ = low;
}

void Chart::Refresh()
{
    ++refreshes_;
    blank_ = false;
    const bool noData = data_.size() < 2 || (data_[0].empty() && !nothingToScaleDrawn_);
    if (noData) {
        blank_ = true;
        update();
        throw VbError(PlotErrorNumber, PlotError(VbError::SubscriptOutOfRange, legend_ ? "legend" : "graph"),
                      "DadudUzizProject.DadudUziz");
    }
    ComputeScale();
    if (type_ == StackedBar) {
        for (int series = 0; series < Series(); ++series)
            for (std::size_t c = 0; c < data_[0].size(); ++c)
                if (Value(series, static_cast<int>(c)) < 0) {
                    blank_ = true;
                    update();
                    MsgBox("Cannot plot stacked bar graph with negative data", vbCritical, "Plot Error");
                    return;
                }
    }
    // A scale of no height, or one column with nothing to space the category axis by.
    const bool noHeight = drawnHigh_ <= drawnLow_;
    if ((noHeight || data_[0].size() == 1) && !nothingToScaleDrawn_) {
        blank_ = true;
        update();
        throw VbError(PlotErrorNumber, PlotError(VbError::DivisionByZero, "graph"), "DadudUzizProject.DadudUziz");
    }
    if (noHeight) {
        // Every value the same, or none at all: they sit in the middle of a scale of one
        // interval either way. Only the drawing's scale: the control's stays what the data gave.
        const double step = tick_ > 0 ? tick_ : 1;
        drawnHigh_ += step;
        drawnLow_ -= step;
    }
    update();
}

void Chart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), FromBgr(backColor_));
    if (blank_)
        return;
    const QColor fore = FromBgr(foreColor_);
    // The captions are drawn in the fore colour, readable on the chart's background (a team's
    // light colour on the white chart turns darker); the lines keep the colour as it is.
    const QColor caption = NearestReadableColor(fore, {FromBgr(backColor_)});
    p.setPen(caption);
    p.setFont(titleFont_);
    const int titleHeight = p.fontMetrics().height() + 4;
    p.drawText(QRect(0, 2, width(), titleHeight), Qt::AlignHCenter | Qt::AlignVCenter, title_);
    p.setFont(font());
    const int line = p.fontMetrics().height();
    const int legendWidth = legend_ ? std::min(width() / 3, 220) : 0;
    const QRect plot(50, titleHeight + 6, std::max(10, width() - 60 - legendWidth), std::max(10, height() - titleHeight - line - 16));
    p.setPen(fore);
    p.drawRect(plot);
    const double span = drawnHigh_ - drawnLow_;
    if (data_.empty() || data_[0].empty() || span <= 0)
        return;
    const int columns = static_cast<int>(data_[0].size());
    const double columnWidth = static_cast<double>(plot.width()) / columns;
    auto yOf = [&](double v) { return plot.bottom() - (v - drawnLow_) / span * plot.height(); };
    if (drawnLow_ < 0 && drawnHigh_ > 0)
        p.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
    p.setPen(caption);
    p.drawText(QRect(0, plot.top() - line / 2, 46, line), Qt::AlignRight, QString::number(drawnHigh_));
    p.drawText(QRect(0, plot.bottom() - line / 2, 46, line), Qt::AlignRight, QString::number(drawnLow_));
    for (int c = 0; c < columns; ++c)
        if (labelEvery_ > 0 && c % labelEvery_ == 0)
            p.drawText(QRectF(plot.left() + c * columnWidth, plot.bottom() + 2, columnWidth, line), Qt::AlignHCenter,
                       data_[0][static_cast<std::size_t>(c)].toString());
    const int series = Series();
    for (int s = 0; s < series; ++s) {
        const QColor colour = FromBgr(DrawnSeriesColor(s));
        p.setPen(QPen(colour, std::max<int>(1, drawWidth_)));
        p.setBrush(colour);
        QPointF previous;
        for (int c = 0; c < columns; ++c) {
            // A week without a game shows as a gap, never as a game of 0 points.
            if (IsGap(s, c))
                continue;
            const double v = Value(s, c);
            const double x = plot.left() + (c + 0.5) * columnWidth;
            const QPointF at(x, yOf(v));
            switch (type_) {
            case Line:
                if (plotPoints_)
                    p.drawRect(QRectF(at - QPointF(2, 2), QSizeF(4, 4)));
                if (c > 0 && !IsGap(s, c - 1))
                    p.drawLine(previous, at);
                break;
            case StackedBar: {
                // Bars are outlined in the fore colour, so a series in the background's colour shows.
                p.setPen(QPen(fore, 1));
                double base = 0;
                for (int below = 0; below < s; ++below)
                    base += Value(below, c);
                p.drawRect(QRectF(QPointF(plot.left() + (c + 0.2) * columnWidth, yOf(base + v)),
                                  QPointF(plot.left() + (c + 0.8) * columnWidth, yOf(base))));
                break;
            }
            case Point:
                p.drawEllipse(at, drawWidth_ + 1.0, drawWidth_ + 1.0);
                break;
            default: {
                p.setPen(QPen(fore, 1));
                const double barWidth = columnWidth * 0.8 / series;
                const double left = plot.left() + c * columnWidth + columnWidth * 0.1 + s * barWidth;
                p.drawRect(QRectF(QPointF(left, yOf(v)), QPointF(left + barWidth, yOf(std::max(0.0, drawnLow_)))));
                break;
            }
            }
            previous = at;
        }
        if (legend_) {
            const int y = plot.top() + s * (line + 4);
            p.setPen(fore);
            p.setBrush(colour);
            p.drawRect(QRect(plot.right() + 10, y + 2, 12, line - 4));
            p.setBrush(Qt::NoBrush);
            p.setPen(caption);
            p.drawText(QRect(plot.right() + 26, y, legendWidth - 30, line), Qt::AlignLeft, SeriesLegend(s));
        }
    }
}

namespace {

int16_t ShiftOf(Qt::KeyboardModifiers m)
{
    return static_cast<int16_t>((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                                (m & Qt::AltModifier ? 4 : 0));
}

int16_t ButtonsOf(Qt::MouseButtons b)
{
    return static_cast<int16_t>((b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
                                (b & Qt::MiddleButton ? 4 : 0));
}

// The platform's virtual-key code of a key; 0 for a key it has none for.
int16_t KeyCodeOf(const QKeyEvent* event)
{
    const int key = event->key();
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<int16_t>(96 + key - Qt::Key_0);
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<int16_t>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<int16_t>(112 + key - Qt::Key_F1);
    struct Pair {
        int qt;
        int16_t code;
    };
    static constexpr Pair keys[] = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},   {Qt::Key_Clear, 12},
        {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},
        {Qt::Key_Alt, 18},      {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},
        {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
        {Qt::Key_Home, 36},     {Qt::Key_Left, 37},     {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
        {Qt::Key_Down, 40},     {Qt::Key_Print, 44},    {Qt::Key_Insert, 45},   {Qt::Key_Delete, 46},
        {Qt::Key_Help, 47},     {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
    };
    for (const Pair& p : keys)
        if (p.qt == key)
            return p.code;
    if (keypad) {
        switch (key) {
        case Qt::Key_Asterisk: return 106;
        case Qt::Key_Plus: return 107;
        case Qt::Key_Minus: return 109;
        case Qt::Key_Period: return 110;
        case Qt::Key_Slash: return 111;
        default: break;
        }
    }
    switch (key) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 186;
    case Qt::Key_Equal: case Qt::Key_Plus: return 187;
    case Qt::Key_Comma: case Qt::Key_Less: return 188;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 189;
    case Qt::Key_Period: case Qt::Key_Greater: return 190;
    case Qt::Key_Slash: case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 222;
    default: return 0;
    }
}

float TwipsX(const QPointF& p) { return static_cast<float>(p.x() * Screen::TwipsPerPixelX()); }
float TwipsY(const QPointF& p) { return static_cast<float>(p.y() * Screen::TwipsPerPixelY()); }

} // namespace

void Chart::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    emit MouseDown(ButtonsOf(event->button()), ShiftOf(event->modifiers()), TwipsX(event->position()),
                   TwipsY(event->position()));
}

// A press and its release over the surface make a click, after the release.
void Chart::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    QPointer<Chart> self(this);
    emit MouseUp(ButtonsOf(event->button()), ShiftOf(event->modifiers()), TwipsX(event->position()),
                 TwipsY(event->position()));
    const bool click = !afterDoubleClick_;
    if (self)
        afterDoubleClick_ = false;
    if (self && click && rect().contains(event->position().toPoint()))
        emit Click();
}

void Chart::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    emit MouseMove(ButtonsOf(event->buttons()), ShiftOf(event->modifiers()), TwipsX(event->position()),
                   TwipsY(event->position()));
}

// The second press of a double click is the double click itself; its release is no click.
void Chart::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    afterDoubleClick_ = true;
    emit DblClick();
}

void Chart::keyPressEvent(QKeyEvent* event)
{
    QPointer<Chart> self(this);
    emit KeyDown(KeyCodeOf(event), ShiftOf(event->modifiers()));
    // The character the key typed; none for a key that types none (or one outside the
    // single-byte code page).
    const QString text = event->text();
    if (self && text.size() == 1) {
        const char16_t c = text.at(0).unicode();
        if (c < 256 && c != 127)
            emit KeyPress(static_cast<int16_t>(c));
    }
}

void Chart::keyReleaseEvent(QKeyEvent* event)
{
    emit KeyUp(KeyCodeOf(event), ShiftOf(event->modifiers()));
}

void RefreshChartOrReport(Chart& chart)
{
    if (chart.Data().empty())
        return;
    TrapStep([&] { chart.Refresh(); });
}

} // namespace vexal
