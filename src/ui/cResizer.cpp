#include "cResizer.h"

#include "Screen.h"
#include "Steps.h"
#include "VbConvert.h"

#include <QEvent>
#include <QLabel>
#include <QLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vexal {

namespace {

// The control model in twips. Reads are rounded to whole twips (Long) by the callers; writes
// snap to whole pixels. A write the control cannot take (negative size, a number out of
// range) is refused and skipped, and the rule goes on with its next step.

double Tx() { return Screen::TwipsPerPixelX(); }
double Ty() { return Screen::TwipsPerPixelY(); }

std::optional<int> ToPixels(double twips, double perPixel)
{
    if (!(perPixel > 0) || !std::isfinite(twips))
        return std::nullopt;
    const double px = vb::RoundHalfEven(twips / perPixel);
    if (px < std::numeric_limits<int>::min() / 2 || px > std::numeric_limits<int>::max() / 2)
        return std::nullopt;
    return static_cast<int>(px);
}

std::optional<int32_t> ToLong(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = vb::RoundHalfEven(v);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(r);
}

double LeftOf(const QWidget* w) { return w->x() * Tx(); }
double TopOf(const QWidget* w) { return w->y() * Ty(); }
double WidthOf(const QWidget* w) { return w->width() * Tx(); }
double HeightOf(const QWidget* w) { return w->height() * Ty(); }

void SetLeft(QWidget* w, double twips)
{
    if (auto px = ToPixels(twips, Tx()))
        w->move(*px, w->y());
}
void SetTop(QWidget* w, double twips)
{
    if (auto px = ToPixels(twips, Ty()))
        w->move(w->x(), *px);
}
void SetWidth(QWidget* w, double twips)
{
    auto px = ToPixels(twips, Tx());
    if (px && *px >= 0)
        w->resize(*px, w->height());
}
void SetHeight(QWidget* w, double twips)
{
    auto px = ToPixels(twips, Ty());
    if (px && *px >= 0)
        w->resize(w->width(), *px);
}

// The size of a control scaled from its design rectangle, edges given in twips. The size is
// snapped by its edges, not by itself: controls that touch in the design (a row of buttons, a
// column of boxes) still touch after scaling instead of overlapping by a rounded pixel.
void SetScaledSize(QWidget* w, double left, double right, double top, double bottom)
{
    const auto l = ToPixels(left, Tx()), r = ToPixels(right, Tx());
    const auto t = ToPixels(top, Ty()), b = ToPixels(bottom, Ty());
    if (l && r && *r - *l >= 0)
        w->resize(*r - *l, w->height());
    if (t && b && *b - *t >= 0)
        w->resize(w->width(), *b - *t);
}

// The widget that carries a window's frame: the MDI sub-window of a view, else the window.
QWidget* OuterOf(QWidget* window)
{
    QWidget* parent = window->parentWidget();
    if (!window->isWindow() && parent && parent->inherits("QMdiSubWindow"))
        return parent;
    return window;
}

double OuterWidth(QWidget* window)
{
    QWidget* outer = OuterOf(window);
    return (outer->isWindow() ? outer->frameGeometry().width() : outer->width()) * Tx();
}

void SetOuterHeight(QWidget* window, double twips)
{
    QWidget* outer = OuterOf(window);
    auto px = ToPixels(twips, Ty());
    if (!px)
        return;
    if (outer != window) {
        if (*px >= 0)
            outer->resize(outer->width(), *px);
        return;
    }
    const int frame = window->isWindow() ? window->frameGeometry().height() - window->height() : 0;
    const int inner = *px - frame;
    if (inner >= 0)
        window->resize(window->width(), inner);
}

// A window that sits in its parent's layout (the body under a view's menu bar) gets its size
// only when that layout runs, which Qt leaves until the first show. Until then it has Qt's
// default child size, and a design size read from it would scale every control by the ratio
// of the real size to that placeholder. Running the pending layout first gives the window the
// size it is shown at; a window that is no layout's item is left as it is.
void SettlePendingLayout(QWidget* window)
{
    if (window->isWindow())
        return;
    QWidget* parent = window->parentWidget();
    QLayout* layout = parent ? parent->layout() : nullptr;
    if (layout && layout->indexOf(window) >= 0)
        layout->activate();
}

} // namespace

cResizer::cResizer(QObject* parent) : QObject(parent) {}

cResizer::~cResizer()
{
    if (target_)
        target_->removeEventFilter(this);
}

QList<QWidget*> cResizer::WindowControls(QWidget* window)
{
    QList<QWidget*> result;
    if (!window)
        return result;
    const auto all = window->findChildren<QWidget*>();
    for (QWidget* w : all) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        // Parts of composite widgets (spin boxes, combo boxes, grids) are not controls.
        bool inside = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            if (p->objectName().startsWith(QLatin1String("qt_"))) {
                inside = true;
                break;
            }
        if (!inside && !w->isWindow())
            result.append(w);
    }
    return result;
}

void cResizer::TargetForm(QWidget* window)
{
    if (target_)
        target_->removeEventFilter(this);
    target_ = window;
    if (!window)
        return;
    window->installEventFilter(this);
    // The window's end clears the target; QPointer already forgets it, this drops the filter.
    connect(window, &QObject::destroyed, this, [this] { target_ = nullptr; });
}

bool cResizer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == target_ && event->type() == QEvent::Resize)
        ResizePass();
    return QObject::eventFilter(watched, event);
}

int32_t cResizer::RuleKind(int index) const
{
    return index >= 0 && index < RuleCount() ? rules_[static_cast<size_t>(index)].kind : 0;
}

void cResizer::FirstRule()
{
    if (!firstRule_)
        return;
    firstRule_ = false;
    bool flag = false;
    emit BeforeResizing(flag);
}

void cResizer::CaptureDesignSize(QWidget* window)
{
    if (!window)
        return;
    SettlePendingLayout(window);
    SkipStep([&] { designWidth_ = vb::CInt(WidthOf(window)); });
    SkipStep([&] { designHeight_ = vb::CInt(HeightOf(window)); });
}

void cResizer::AddRule(int32_t kind, QObject* reference, int32_t value, const QList<QWidget*>& controls)
{
    FirstRule();
    Rule rule;
    rule.kind = kind;
    rule.reference = reference;
    rule.value = value;
    for (QWidget* c : controls)
        rule.controls.emplace_back(c);
    rules_.push_back(std::move(rule));
}

void cResizer::AddMaxHeight(int32_t height, const QList<QWidget*>& controls)
{
    FirstRule();
    AddRule(FixedHeight, this, height, controls);
}

void cResizer::AddMaxWidth(int32_t width, const QList<QWidget*>& controls)
{
    FirstRule();
    AddRule(FixedWidth, this, width, controls);
}

void cResizer::AddPropotional(QWidget* window, const QList<QWidget*>& controls)
{
    FirstRule();
    CaptureDesignSize(window);
    const QList<QWidget*> list = controls.isEmpty() ? WindowControls(window) : controls;
    designRects_.assign(static_cast<size_t>(list.size()), DesignRect{});
    for (int i = 0; i < list.size(); ++i) {
        QWidget* c = list[i];
        if (!c)
            continue;
        DesignRect& d = designRects_[static_cast<size_t>(i)];
        d.left = ToLong(LeftOf(c)).value_or(0);
        d.top = ToLong(TopOf(c)).value_or(0);
        d.right = ToLong(LeftOf(c) + WidthOf(c)).value_or(0);
        d.bottom = ToLong(TopOf(c) + HeightOf(c)).value_or(0);
    }
    Rule rule;
    rule.kind = Proportional;
    rule.reference = window;
    for (QWidget* c : list)
        rule.controls.emplace_back(c);
    rules_.push_back(std::move(rule));
}

void cResizer::KeepFormProportional(QWidget* window)
{
    FirstRule();
    CaptureDesignSize(window);
    if (designWidth_ != 0)
        designRatio_ = static_cast<float>(static_cast<double>(designHeight_) / designWidth_);
    Rule rule;
    rule.kind = KeepProportion;
    rule.reference = window;
    rules_.insert(rules_.begin(), std::move(rule));
}

void cResizer::AddFontResizing(QWidget* window, const QList<QWidget*>& controls)
{
    FirstRule();
    CaptureDesignSize(window);
    const QList<QWidget*> list = controls.isEmpty() ? WindowControls(window) : controls;
    designFontSizes_.assign(static_cast<size_t>(list.size()), 0);
    for (int i = 0; i < list.size(); ++i) {
        if (!list[i])
            continue;
        const double size = list[i]->font().pointSizeF();
        if (size > 0 && size < 32767)
            designFontSizes_[static_cast<size_t>(i)] = static_cast<float>(size);
    }
    Rule rule;
    rule.kind = FontResizing;
    rule.reference = window;
    for (QWidget* c : list)
        rule.controls.emplace_back(c);
    rules_.insert(rules_.begin(), std::move(rule));
}

void cResizer::AddCaptions(QWidget* window, QWidget* container, int16_t distance, int32_t position,
                           const QList<QWidget*>& controls)
{
    if (!window)
        return;
    const QList<QWidget*> list = controls.isEmpty() ? WindowControls(window) : controls;
    if (!container)
        container = window;
    for (QWidget* c : list) {
        if (!c)
            continue;
        const QString tag = c->property("Tag").toString();
        if (tag.isEmpty())
            continue;
        ++captionCounter_;
        auto* label = new QLabel(container);
        label->setObjectName(QStringLiteral("ctlLabel%1").arg(captionCounter_));
        label->setText(QLatin1Char(' ') + tag);
        label->setAutoFillBackground(false);
        label->setFont(container->font());
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, container->palette().color(QPalette::WindowText));
        label->setPalette(pal);
        label->adjustSize();

        // The control's rectangle in the label's coordinates.
        QRect r = c->geometry();
        if (c->parentWidget() != container && container->isAncestorOf(c))
            r.moveTopLeft(c->mapTo(container, QPoint(0, 0)));
        const double cl = r.x() * Tx(), ct = r.y() * Ty(), cw = r.width() * Tx(), ch = r.height() * Ty();
        const double w = WidthOf(label), h = HeightOf(label), d = distance;
        switch (position) {
        case 0:
            SetLeft(label, cl + cw / 2 - w / 2);
            SetTop(label, ct - h - d);
            break;
        case 1:
            SetLeft(label, cl + cw / 2 - w / 2);
            SetTop(label, ct + ch + d);
            break;
        case 2:
            SetLeft(label, cl - w - d);
            SetTop(label, ct + ch / 2 - h / 2);
            break;
        case 3:
            SetLeft(label, cl + cw + d);
            SetTop(label, ct + ch / 2 - h / 2);
            break;
        default:
            break;
        }
        label->setVisible(true);
    }
}

void cResizer::ResizePass()
{
    if (busy_)
        return;
    QWidget* window = target_;
    const bool locked = window && window->updatesEnabled();
    if (locked)
        window->setUpdatesEnabled(false);
    // Rules may be appended by a slot while the pass runs; walk by index.
    for (size_t i = 0; i < rules_.size(); ++i)
        ApplyResize(rules_[i]);
    if (locked && window)
        window->setUpdatesEnabled(true);
    emit AfterResizing();
}

bool cResizer::IsWindowReference(const QObject* reference) const
{
    const auto* w = qobject_cast<const QWidget*>(reference);
    return w && (w == target_.data() || w->isWindow());
}

namespace {

bool FitsLong(int64_t x)
{
    return x >= std::numeric_limits<int32_t>::min() && x <= std::numeric_limits<int32_t>::max();
}

} // namespace

std::optional<cResizer::Bounds> cResizer::ReferenceBounds(const Rule& rule, bool windowReference)
{
    auto* ref = qobject_cast<QWidget*>(rule.reference.data());
    if (!ref)
        return std::nullopt;
    std::optional<int32_t> l, t, r, b;
    if (windowReference) {
        l = 0;
        t = 0;
        r = ToLong(WidthOf(ref));
        b = ToLong(HeightOf(ref));
    } else {
        l = ToLong(LeftOf(ref));
        t = ToLong(TopOf(ref));
        r = ToLong(LeftOf(ref) + WidthOf(ref));
        b = ToLong(TopOf(ref) + HeightOf(ref));
    }
    if (!l || !t || !r || !b)
        return std::nullopt;
    return Bounds{*l, *t, *r, *b};
}

void cResizer::ApplyResize(const Rule& rule)
{
    // The reference rectangle, read once.
    Bounds bounds;
    if (rule.kind != FixedHeight && rule.kind != FixedWidth) {
        const auto read = ReferenceBounds(rule, IsWindowReference(rule.reference.data()));
        if (!read)
            return;
        bounds = *read;
    }

    if (rule.kind == KeepProportion) {
        QWidget* window = qobject_cast<QWidget*>(rule.reference.data());
        // No ratio was captured (a window of no width): keeping "0 x width" would fold it away.
        if (!window || !(designRatio_ > 0.0f))
            return;
        busy_ = true;
        SetOuterHeight(window, OuterWidth(window) * static_cast<double>(designRatio_));
        busy_ = false;
        return;
    }

    const int n = static_cast<int>(rule.controls.size());
    int64_t value = rule.value;
    if (rule.kind == FixedHeight || rule.kind == FixedWidth)
        value = static_cast<int64_t>(std::llround(static_cast<double>(value) * LargeFontShrink()));
    for (int i = 0; i < n; ++i) {
        QWidget* c = rule.controls[static_cast<size_t>(i)];
        if (!c)
            continue;
        switch (rule.kind) {
        case EqualWidths:
        case EqualHeights: ApplyEqualSizes(rule, c, i, bounds); break;
        case RowFirstTakesRest:
        case ColumnFirstTakesRest: ApplyFirstTakesRest(rule, c, i, bounds); break;
        case Proportional: ApplyProportional(c, i, bounds); break;
        case FontResizing: ApplyFontResizing(c, i, bounds); break;
        default: ApplyEdgeRule(rule.kind, c, bounds, value); break;
        }
    }
}

// A window whose design sizes follow a desktop's large fonts, when it is smaller than its
// design size, lets its fixed sizes fall back as its faces do, down to what they are at the
// font it is laid out for: a box kept at the large font's height would run into the one below.
double cResizer::LargeFontShrink() const
{
    const double scale = LargeFonts();
    if (!(scale > 1.0) || !target_ || designWidth_ == 0 || designHeight_ == 0)
        return 1.0;
    const double f = std::min(WidthOf(target_) / designWidth_, HeightOf(target_) / designHeight_);
    return std::clamp(f, 1.0 / scale, 1.0);
}

double cResizer::LargeFonts() const { return followsLargeFonts_ ? Screen::LargeFontScale() : 1.0; }

void cResizer::ApplyEdgeRule(int32_t kind, QWidget* c, const Bounds& r, int64_t v)
{
    const auto [L, T, R, B] = r;
    switch (kind) {
    case FullWidthMargin:
        SetLeft(c, static_cast<double>(v));
        if (FitsLong((R - L) - 2 * v))
            SetWidth(c, static_cast<double>((R - L) - 2 * v));
        break;
    case RightMargin: {
        const auto left = ToLong(LeftOf(c));
        if (left && FitsLong(R - *left - v))
            SetWidth(c, static_cast<double>(R - *left - v));
        break;
    }
    case BottomMargin: {
        const auto top = ToLong(TopOf(c));
        if (top && FitsLong(B - *top - v))
            SetHeight(c, static_cast<double>(B - *top - v));
        break;
    }
    case FullHeight: SetHeight(c, static_cast<double>(B - T)); break;
    case FullWidth: SetWidth(c, static_cast<double>(R - L)); break;
    case TopOffset:
        if (FitsLong(T + v))
            SetTop(c, static_cast<double>(T + v));
        break;
    case AlignRight: {
        const auto width = ToLong(WidthOf(c));
        if (width && FitsLong(R - *width - v))
            SetLeft(c, static_cast<double>(R - *width - v));
        break;
    }
    case RightOf:
        if (FitsLong(R + v))
            SetLeft(c, static_cast<double>(R + v));
        break;
    case LeftOffset:
        if (FitsLong(L + v))
            SetLeft(c, static_cast<double>(L + v));
        break;
    case FixedHeight: SetHeight(c, static_cast<double>(v)); break;
    case FixedWidth: SetWidth(c, static_cast<double>(v)); break;
    default: break;
    }
}

void cResizer::ApplyEqualSizes(const Rule& rule, QWidget* c, int i, const Bounds& r)
{
    const int64_t v = rule.value;
    const int n = static_cast<int>(rule.controls.size());
    const bool across = rule.kind == EqualWidths;
    const int64_t product = v * (n + 1);
    if (!FitsLong(product))
        return;
    const double span = static_cast<double>(across ? r.R - r.L : r.B - r.T);
    const double size = span / n - static_cast<double>(product) / n;
    if (across) {
        // Where one control's text needs more than an equal share (a larger font, a long
        // item), each takes the width its text needs and they share what is left equally;
        // where even that is too little, they share the room in proportion to their needs.
        double widest = 0, needs = 0;
        std::vector<double> need(static_cast<size_t>(n), 0.0);
        for (int j = 0; j < n; ++j)
            if (const QWidget* w = rule.controls[static_cast<size_t>(j)]) {
                need[static_cast<size_t>(j)] = std::max(0, w->sizeHint().width()) * Tx();
                widest = std::max(widest, need[static_cast<size_t>(j)]);
                needs += need[static_cast<size_t>(j)];
            }
        if (widest > size && needs > 0) {
            const double room = span - static_cast<double>(product);
            const double own = need[static_cast<size_t>(i)];
            SetWidth(c, needs <= room ? own + (room - needs) / n : own * room / needs);
            double pos = static_cast<double>(r.L) + static_cast<double>(v * (i + 1));
            for (int j = 0; j < i; ++j)
                if (const QWidget* w = rule.controls[static_cast<size_t>(j)])
                    pos += WidthOf(w);
            SetLeft(c, pos);
            return;
        }
    }
    if (across)
        SetWidth(c, size);
    else
        SetHeight(c, size);
    const double readBack = across ? WidthOf(c) : HeightOf(c);
    const double pos = static_cast<double>(across ? r.L : r.T) + static_cast<double>(v * (i + 1)) + i * readBack;
    if (across)
        SetLeft(c, pos);
    else
        SetTop(c, pos);
}

void cResizer::ApplyFirstTakesRest(const Rule& rule, QWidget* c, int i, const Bounds& r)
{
    const int64_t v = rule.value;
    const int n = static_cast<int>(rule.controls.size());
    const bool across = rule.kind == RowFirstTakesRest;
    // The room the other controls take before this one (for the first: all the others).
    int64_t S = 0;
    const int from = i == 0 ? 1 : 0;
    const int to = i == 0 ? n - 1 : i - 1;
    for (int j = from; j <= to; ++j) {
        QWidget* w = rule.controls[static_cast<size_t>(j)];
        if (!w)
            return;
        const auto sum = ToLong(static_cast<double>(S) + (across ? WidthOf(w) : HeightOf(w)) + static_cast<double>(v));
        if (!sum)
            return;
        S = *sum;
    }
    const int64_t start = across ? r.L : r.T;
    auto place = [&](int64_t at) {
        if (across)
            SetLeft(c, static_cast<double>(at));
        else
            SetTop(c, static_cast<double>(at));
    };
    if (i != 0) {
        if (FitsLong(start + S + v))
            place(start + S + v);
        return;
    }
    const int64_t size = (across ? r.R - r.L : r.B - r.T) - S - 2 * v;
    if (FitsLong(size)) {
        if (across)
            SetWidth(c, static_cast<double>(size));
        else
            SetHeight(c, static_cast<double>(size));
    }
    if (FitsLong(start + v))
        place(start + v);
}

void cResizer::ApplyProportional(QWidget* c, int i, const Bounds& r) const
{
    if (designWidth_ == 0 || designHeight_ == 0 || i >= static_cast<int>(designRects_.size()))
        return;
    const float sx = static_cast<float>(static_cast<double>(r.R) / designWidth_);
    const float sy = static_cast<float>(static_cast<double>(r.B) / designHeight_);
    const DesignRect& d = designRects_[static_cast<size_t>(i)];
    SetLeft(c, d.left * static_cast<double>(sx));
    SetTop(c, d.top * static_cast<double>(sy));
    SetScaledSize(c, d.left * static_cast<double>(sx), d.right * static_cast<double>(sx), d.top * static_cast<double>(sy),
                  d.bottom * static_cast<double>(sy));
}

namespace {

// A face grows with the window and never falls below its design size. In a window whose design
// sizes follow a desktop's large fonts (scale above 1), a window smaller than its design size
// lets the desktop's face fall back as far as the font the window is laid out for, as its
// controls do, so that every text keeps fitting its control; a face set smaller keeps its size.
float SmallestFontFactor(float designPoints, double scale)
{
    if (designPoints <= 0)
        return 1.0f;
    const double smallest = std::max(DesignFontPoints / designPoints, scale > 0 ? 1.0 / scale : 1.0);
    return static_cast<float>(std::min(1.0, smallest));
}

} // namespace

void cResizer::ApplyFontResizing(QWidget* c, int i, const Bounds& r) const
{
    if (designWidth_ == 0 || designHeight_ == 0 || i >= static_cast<int>(designFontSizes_.size()))
        return;
    const double fx = static_cast<double>(r.R) / designWidth_;
    const double fy = static_cast<double>(r.B) / designHeight_;
    const float design = designFontSizes_[static_cast<size_t>(i)];
    const float f = std::clamp(static_cast<float>(std::min(fx, fy)), SmallestFontFactor(design, LargeFonts()), 1.5f);
    const float size = design * f;
    // A face already of that size is left as it is: setting it again would still make the
    // control lay itself out anew (a list box measures every one of its items).
    if (size > 0 && c->font().pointSizeF() != static_cast<double>(size)) {
        QFont font = c->font();
        font.setPointSizeF(size);
        c->setFont(font);
    }
}

} // namespace vexal
