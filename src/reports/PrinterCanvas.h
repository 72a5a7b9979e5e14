#pragma once
// A printer page as the printouts address it: positions and sizes in twips from the top
// left of the printable area, a current position that text and lines move on, and a
// current font. Text is printed with its top at the current position; a line end moves
// down by the current font's line spacing and back to the left margin.
#include <QFont>
#include <QPainter>
#include <QString>

class QPrinter;

namespace vexal {

class PrinterCanvas {
public:
    explicit PrinterCanvas(QPrinter& printer);
    ~PrinterCanvas();
    PrinterCanvas(const PrinterCanvas&) = delete;
    PrinterCanvas& operator=(const PrinterCanvas&) = delete;

    // Starts the document; false when the printer (or the PDF file) cannot be opened.
    bool Begin();
    bool IsOpen() const { return painter_.isActive(); }
    // Ends the document: everything printed goes out.
    void EndDoc();
    void NewPage();

    // The printable area, in twips and in device pixels.
    double ScaleWidth() const;
    double ScaleHeight() const;
    int PageHeightPixels() const;

    double CurrentX = 0;
    double CurrentY = 0;

    void SetFont(const QFont& font);
    const QFont& Font() const { return font_; }
    double TextWidth(const QString& text) const;
    // The line spacing of the current font (height plus external leading), in twips.
    double TextHeight(const QString& text = QString()) const;
    // Height plus external leading of the current font in device pixels.
    int LineHeightPixels() const;

    // Prints at the current position; without a line end the position moves right.
    void Print(const QString& text, bool lineEnd = true);
    void LineEnd();
    // A line from the current position by (dx, dy); the position moves to its end.
    void LineStep(double dx, double dy);

    double TwipsToPixels(double twips) const;
    double PixelsToTwips(double pixels) const;

private:
    QPrinter& printer_;
    QPainter painter_;
    QFont font_;
};

} // namespace vexal
