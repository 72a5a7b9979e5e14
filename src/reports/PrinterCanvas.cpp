#include "PrinterCanvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <QPrinter>

#include <algorithm>

namespace vexal {

PrinterCanvas::PrinterCanvas(QPrinter& printer) : printer_(printer) {}

PrinterCanvas::~PrinterCanvas()
{
    if (painter_.isActive())
        painter_.end();
}

bool PrinterCanvas::Begin()
{
    if (painter_.isActive())
        return true;
    if (!painter_.begin(&printer_))
        return false;
    // Rules a little heavier than one device pixel, which vanishes at printer resolutions.
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, printer_.resolution() / 150.0));
    painter_.setPen(pen);
    painter_.setFont(font_);
    CurrentX = CurrentY = 0;
    return true;
}

void PrinterCanvas::EndDoc()
{
    if (painter_.isActive())
        painter_.end();
    CurrentX = CurrentY = 0;
}

void PrinterCanvas::NewPage()
{
    printer_.newPage();
    CurrentX = CurrentY = 0;
}

double PrinterCanvas::TwipsToPixels(double twips) const { return twips * printer_.resolution() / 1440.0; }
double PrinterCanvas::PixelsToTwips(double pixels) const { return pixels * 1440.0 / printer_.resolution(); }

double PrinterCanvas::ScaleWidth() const { return PixelsToTwips(printer_.pageRect(QPrinter::DevicePixel).width()); }
double PrinterCanvas::ScaleHeight() const { return PixelsToTwips(printer_.pageRect(QPrinter::DevicePixel).height()); }
int PrinterCanvas::PageHeightPixels() const
{
    return static_cast<int>(printer_.pageRect(QPrinter::DevicePixel).height());
}

void PrinterCanvas::SetFont(const QFont& font)
{
    font_ = font;
    if (painter_.isActive())
        painter_.setFont(font_);
}

double PrinterCanvas::TextWidth(const QString& text) const
{
    return PixelsToTwips(QFontMetricsF(font_, &printer_).horizontalAdvance(text));
}

double PrinterCanvas::TextHeight(const QString&) const
{
    return PixelsToTwips(QFontMetricsF(font_, &printer_).lineSpacing());
}

int PrinterCanvas::LineHeightPixels() const
{
    const QFontMetrics m(font_, &printer_);
    return m.height() + m.leading();
}

void PrinterCanvas::Print(const QString& text, bool lineEnd)
{
    if (!text.isEmpty()) {
        const QFontMetricsF m(font_, &printer_);
        if (painter_.isActive())
            painter_.drawText(QPointF(TwipsToPixels(CurrentX), TwipsToPixels(CurrentY) + m.ascent()), text);
        CurrentX += PixelsToTwips(m.horizontalAdvance(text));
    }
    if (lineEnd)
        LineEnd();
}

void PrinterCanvas::LineEnd()
{
    CurrentY += TextHeight();
    CurrentX = 0;
}

void PrinterCanvas::LineStep(double dx, double dy)
{
    if (painter_.isActive())
        painter_.drawLine(QPointF(TwipsToPixels(CurrentX), TwipsToPixels(CurrentY)),
                          QPointF(TwipsToPixels(CurrentX + dx), TwipsToPixels(CurrentY + dy)));
    CurrentX += dx;
    CurrentY += dy;
}

} // namespace vexal
