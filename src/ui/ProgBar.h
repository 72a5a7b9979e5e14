#pragma once
// ProgBar: the program's progress bar. Hosts drive it through its properties (Max, Min,
// Value, Caption) while work goes on; it draws a bar (left to right, or bottom up when
// Vertical), a centred caption that can carry the percentage done, and an edge style, two of
// which follow the mouse. Every setter repaints at once.
//
// Colours are Windows colour values (0x00BBGGRR; top bit set = a system colour).
// The caption font is the widget's font (QWidget::font / setFont).
// What is drawn is readable without painting: CaptionText(), BarRect(), EdgeRings().
#include <QFont>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace vexal {

class ProgBar : public QWidget {
    Q_OBJECT
public:
    // Edge kinds of one ring, with the platform's edge flags.
    enum Edge : int { EdgeNone = 0, RaisedOuter = 1, SunkenOuter = 2, RaisedInner = 4, SunkenInner = 8 };

    // A new control: the values of a control newly placed on a window.
    explicit ProgBar(QWidget* parent = nullptr);

    int16_t Align() const { return align_; }
    void SetAlign(int16_t align);
    int32_t BackColor() const { return backColor_; }
    void SetBackColor(int32_t color);
    int32_t BarColor() const { return barColor_; }
    void SetBarColor(int32_t color);
    bool Vertical() const { return vertical_; }
    void SetVertical(bool on);
    bool AddPercent() const { return addPercent_; }
    void SetAddPercent(bool on);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int16_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int16_t width);
    int32_t CaptionColor() const { return captionColor_; }
    void SetCaptionColor(int32_t color);
    int32_t Max() const { return max_; }
    void SetMax(int32_t value);
    int32_t Min() const { return min_; }
    void SetMin(int32_t value);
    int32_t Value() const { return value_; }
    void SetValue(int32_t value);
    int32_t BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int32_t style);

    // The text printed: Caption, or Caption, a blank, the percentage and "%".
    QString CaptionText() const;
    // The percentage done as printed (up to 15 significant digits): "33.3333333333333".
    QString PercentText() const;
    // Where the caption starts (pixels), centred for the caption alone.
    QPoint CaptionPosition() const { return captionPos_; }
    // The bar's rectangle in pixels (empty when Value = Min).
    QRect BarRect() const;
    // The edge drawn now: one entry per ring, outermost first (empty for styles 0 and 5).
    std::vector<int> EdgeRings() const;
    static std::vector<int> EdgeRingsFor(int32_t style, int16_t width);
    bool Hovering() const { return hover_; }

    // The host's saved window data: every property that differs from its stored default,
    // under its own name. Restoring reads everything but Value, through the setters, so a
    // restored bar starts at Min.
    QVariantMap SaveProperties() const;
    void RestoreProperties(const QVariantMap& saved);

    // Mouse tracking, as a move to (x, y) in the control's pixels runs it.
    void TrackMouse(int x, int y);

signals:
    void Click();
    void MouseEnter();
    void MouseLeave();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ResizeStep();          // caption position, extents, then paint
    void ApplyColors();

    int16_t align_ = 0;
    int32_t backColor_;
    int32_t barColor_;
    bool vertical_ = false;
    bool addPercent_ = false;
    QString caption_;
    int16_t borderWidth_ = 0;
    int32_t captionColor_ = 0;
    int32_t max_ = 100;
    int32_t min_ = 0;
    int32_t value_ = 50;
    int32_t borderStyle_ = 0;

    QPoint captionPos_;
    int extentWidth_ = 0;
    int extentHeight_ = 0;
    bool hover_ = false;
    int pressedEdge_ = 0;       // 1 sunken while pressed under the mouse, 2 raised after
    bool pressed_ = false;
};

} // namespace vexal
