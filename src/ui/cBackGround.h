#pragma once
// cBackGround paints a colour gradient over one window's background and keeps it painted
// while the window is resized. One object serves one window at a time; GradientForm on a
// second window lets go of the first. The splash, the main window's views and the Single
// Game window use it.
//
// The gradient is made as a picture (RenderGradient, testable without a window) and set as
// the window's background brush, so Qt redraws it from there.
#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace vexal {

class cBackGround : public QObject {
    Q_OBJECT
public:
    // Styles: 0 corner, 2 vertical (bands stacked top to bottom), anything else horizontal.
    enum Style : int32_t { Corner = 0, Vertical = 2, Horizontal = 1 };

    explicit cBackGround(QObject* parent = nullptr);
    ~cBackGround() override;   // detaches

    // first: the colour at the top / left end; second: at the bottom / right end. Colour
    // values 0x00BBGGRR, system colours allowed (one that cannot be translated is white).
    // The program's main frame window (objectName "Main") is left alone.
    void GradientForm(QWidget* window, int32_t firstColor, int32_t secondColor, int32_t style,
                      bool repaintOnResize);
    void Detach();

    bool Attached() const { return attached_; }
    QWidget* Window() const { return window_; }
    bool RepaintOnResize() const { return repaintOnResize_; }
    int PaintCount() const { return paintCount_; }
    // Band count of this object's paintings: 256 above 15 bits of colour, else 64; fixed at
    // the first painting from Screen's colour depth.
    int Bands() const { return bands_; }

    // The n band colours, band 0 (one step from the second colour) to band n - 1 (the first).
    static std::vector<QColor> BandColors(const QColor& first, const QColor& second, int bands);
    // The gradient over an area of width x height pixels.
    static QImage RenderGradient(int width, int height, const QColor& first, const QColor& second,
                                 int32_t style, int bands);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Paint();

    QPointer<QWidget> window_;
    int32_t first_ = 0;
    int32_t second_ = 0;
    int32_t style_ = 0;
    bool repaintOnResize_ = false;
    bool attached_ = false;
    int bands_ = 0;
    int paintCount_ = 0;
};

// Sets a window's background colour as a window's BackColor is set: while a cBackGround
// paints its gradient over the window, the gradient stays in front and the colour lies
// beneath it; otherwise the window is filled with the colour.
void SetWindowBackColor(QWidget* window, int32_t color);

} // namespace vexal
