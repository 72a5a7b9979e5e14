#include "GridReports.h"

#include "AppState.h"
#include "Grid.h"
#include "GridPage.h"
#include "Host.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "PrintFit.h"
#include "PrinterCanvas.h"
#include "RecordFile.h"
#include "Screen.h"
#include "SharedProcs.h"
#include "TextDamage.h"
#include "VbConvert.h"
#include "VbError.h"
#include "Win1252.h"

#include <QAbstractTextDocumentLayout>
#include <QCursor>
#include <QGuiApplication>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace vexal {

namespace {

// Hourglass for the length of a printout, restored on every path.
class BusyCursor {
public:
    BusyCursor()
    {
        if (QGuiApplication::instance())
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~BusyCursor()
    {
        if (QGuiApplication::instance())
            QGuiApplication::restoreOverrideCursor();
    }
};

std::string U8(const QString& s) { return s.toStdString(); }

// ---- HTML pages --------------------------------------------------------------------

// The page of an export left open for further tables.
struct OpenPage {
    bool open = false;
    std::filesystem::path path;
    std::string text;
};
OpenPage& Page()
{
    static OpenPage page;
    return page;
}

bool WritePage(const std::filesystem::path& path, const std::string& utf8)
{
    AtomicFileWrite page(path);
    if (page.Write(win1252::FromUtf8(utf8)) && page.Commit())
        return true;
    MsgBox(page.Describe(), vbExclamation, "Vexal Error");
    return false;
}

// ---- Printing ------------------------------------------------------------------------

enum class JobState { Idle, Open, Abandoned };
struct PrintJob {
    JobState state = JobState::Idle;
    std::unique_ptr<PrinterCanvas> canvas;
};
PrintJob& Job()
{
    static PrintJob job;
    return job;
}

void EndJob()
{
    PrintJob& job = Job();
    if (job.canvas)
        job.canvas->EndDoc();
    job.canvas.reset();
    job.state = JobState::Idle;
}

// Copies a font's attributes onto the printer's font; never fails.
bool SetPrinterFont(PrinterCanvas& canvas, const QFont& font)
{
    QFont f = canvas.Font();
    f.setBold(font.bold());
    f.setItalic(font.italic());
    if (font.pointSizeF() > 0)
        f.setPointSizeF(font.pointSizeF());
    f.setFamily(font.family());
    f.setStrikeOut(font.strikeOut());
    f.setUnderline(font.underline());
    canvas.SetFont(f);
    return true;
}

// Cuts a text at each CR LF; there is always at least one line.
std::vector<QString> CutLines(const std::string& text)
{
    std::vector<QString> lines;
    std::string rest = text;
    std::string::size_type at;
    while ((at = rest.find("\r\n")) != std::string::npos) {
        lines.push_back(QString::fromStdString(rest.substr(0, at)));
        rest = rest.substr(at + 2);
    }
    lines.push_back(QString::fromStdString(rest));
    return lines;
}

void PrintCentred(PrinterCanvas& canvas, const std::vector<QString>& lines)
{
    for (const QString& line : lines) {
        canvas.CurrentX = canvas.ScaleWidth() / 2 - canvas.TextWidth(line) / 2;
        canvas.Print(line, true);
    }
}

// The shown columns in display order, each with its printed width in twips: the grid's
// on-screen proportions over the table width.
struct PrintedColumn {
    int column;
    double width;
};
std::vector<PrintedColumn> PrintedColumns(const Grid& grid, double tableWidth)
{
    const double gridWidthTwips = grid.width() * Screen::TwipsPerPixelX();
    std::vector<PrintedColumn> shown;
    const int columns = grid.Cols();
    for (int p = 1; p <= columns; ++p) {
        int c = columns;
        for (int i = 1; i <= columns; ++i) {
            if (grid.ColumnOrder(i) == p) {
                c = i;
                break;
            }
        }
        if (!grid.ColumnVisible(c))
            continue;
        shown.push_back({c, gridWidthTwips > 0
                                ? grid.ColumnWidth(c) * Screen::TwipsPerPixelX() * tableWidth / gridWidthTwips
                                : 0});
    }
    return shown;
}

// The cell font's size made smaller where a header (printed bold) or a cell, in the face
// it is printed in, would run past its column; the printed table keeps the grid's column
// proportions, so what fits the screen may not fit a narrower share of the page.
double FittedCellSize(PrinterCanvas& canvas, const Grid& grid, const QFont& cellFont,
                      const std::vector<PrintedColumn>& shown)
{
    const double indent = 10;
    return FitPointSize(cellFont.pointSizeF(), [&](double size) {
        double worst = 0;
        for (const PrintedColumn& col : shown) {
            // A column too narrow to hold any text on screen is not asked to hold it here.
            const double room = col.width;
            if (room <= 2 * indent)
                continue;
            auto measure = [&](QFont face, const QString& text) {
                if (text.isEmpty())
                    return;
                face.setPointSizeF(size);
                canvas.SetFont(face);
                worst = std::max(worst, (indent + canvas.TextWidth(text)) / room);
            };
            if (grid.Header()) {
                QFont bold = cellFont;
                bold.setBold(true);
                measure(bold, grid.ColumnHeader(col.column));
            }
            for (int row = 1; row <= grid.Rows(); ++row) {
                const QFont own = grid.CellFont(row, col.column);
                QFont face = cellFont;
                face.setBold(own.bold());
                face.setItalic(own.italic());
                face.setFamily(own.family());
                measure(face, grid.CellFormattedText(row, col.column));
            }
        }
        return worst;
    });
}

// The title font made smaller where a title or footer line is wider than the page.
QFont FittedTitleFont(PrinterCanvas& canvas, const QFont& titleFont, const std::vector<QString>& titles,
                      const std::vector<QString>& footers)
{
    QFont font = titleFont;
    if (font.pointSizeF() <= 0)
        return font;
    const double page = canvas.ScaleWidth();
    font.setPointSizeF(FitPointSize(titleFont.pointSizeF(), [&](double size) {
        QFont face = titleFont;
        face.setPointSizeF(size);
        canvas.SetFont(face);
        double worst = 0;
        for (const auto* lines : {&titles, &footers})
            for (const QString& line : *lines)
                if (page > 0)
                    worst = std::max(worst, canvas.TextWidth(line) / page);
        return worst;
    }));
    return font;
}

void PrintTable(PrinterCanvas& canvas, const Grid& grid, const std::vector<QString>& titles,
                const std::vector<QString>& footers, const QFont& givenTitleFont, const QFont& givenCellFont,
                float scale)
{
    const double pageWidth = canvas.ScaleWidth();
    const double tableWidth = pageWidth * scale;
    // The visible columns in their printed order with their share of the table.
    const std::vector<PrintedColumn> shown = PrintedColumns(grid, tableWidth);
    const QFont titleFont = FittedTitleFont(canvas, givenTitleFont, titles, footers);
    QFont cellFont = givenCellFont;
    cellFont.setPointSizeF(FittedCellSize(canvas, grid, givenCellFont, shown));

    SetPrinterFont(canvas, cellFont);
    const int lineHeight = std::max(1, canvas.LineHeightPixels());
    const int linesPerPage = static_cast<int>(std::floor(static_cast<double>(canvas.PageHeightPixels()) / lineHeight)) - 2;
    const int titleCount = static_cast<int>(titles.size());
    const int footerCount = static_cast<int>(footers.size());

    canvas.SetFont(titleFont);
    int linesUsed = 0;
    PrintCentred(canvas, titles);
    linesUsed += titleCount;
    // Title lines on the page now printing: the first page has them, later pages only
    // when the grid shows its headers.
    int titlesOnPage = titleCount;

    canvas.SetFont(cellFont);
    const double leftEdge = vb::Whole(pageWidth / 2 - tableWidth / 2);
    double rowTop = vb::Whole(canvas.CurrentY);
    canvas.CurrentX = leftEdge;

    const bool header = grid.Header();
    if (!header)
        linesUsed += 1;
    // The column header row is printed where a page begins, on a pass of its own, never in
    // place of a data row.
    bool headerDue = header;
    int rowsOnPage = 0;

    // The header row prints even when the grid has no rows.
    for (int row = 1; row <= grid.Rows() || headerDue; ++row) {
        canvas.LineStep(tableWidth, 0);
        canvas.CurrentX = leftEdge;

        const bool headerRow = headerDue;
        headerDue = false;
        double offset = 0;
        double previousWidth = 0;
        bool first = true;
        for (const PrintedColumn& col : shown) {
            const int c = col.column;
            if (first) {
                offset = 0;
                first = false;
            } else {
                offset += previousWidth;
            }
            previousWidth = col.width;
            canvas.CurrentX = leftEdge + offset;
            canvas.CurrentY = rowTop;
            canvas.LineStep(0, canvas.TextHeight("T"));
            canvas.CurrentY = rowTop;
            canvas.CurrentX += 10;
            if (headerRow) {
                QFont bold = canvas.Font();
                bold.setBold(true);
                canvas.SetFont(bold);
                canvas.Print(grid.ColumnHeader(c), false);
                canvas.SetFont(cellFont);
            } else {
                SetPrinterFont(canvas, grid.CellFont(row, c));
                QFont sized = canvas.Font();
                sized.setPointSizeF(cellFont.pointSizeF());
                canvas.SetFont(sized);
                canvas.Print(grid.CellFormattedText(row, c), false);
            }
        }
        canvas.CurrentY = rowTop;
        canvas.CurrentX = leftEdge + tableWidth;
        canvas.LineStep(0, canvas.TextHeight("T"));
        canvas.CurrentY = rowTop;
        canvas.CurrentX = leftEdge;
        canvas.LineEnd();
        rowTop = vb::Whole(canvas.CurrentY);
        canvas.CurrentX = leftEdge;
        ++linesUsed;
        if (headerRow)
            --row;   // the header took this pass; the grid row still comes
        else
            ++rowsOnPage;

        // A page that holds no grid row yet is not broken (titles and header alone may
        // fill it), and the last row brings no page of its own after it.
        if (linesUsed > linesPerPage - (footerCount + 1) && rowsOnPage > 0 && row < grid.Rows()) {
            canvas.CurrentX = leftEdge;
            canvas.LineStep(tableWidth, 0);
            canvas.LineEnd();
            canvas.SetFont(titleFont);
            PrintCentred(canvas, footers);
            canvas.LineEnd();
            canvas.NewPage();
            linesUsed = 0;
            titlesOnPage = 0;
            rowsOnPage = 0;
            if (header) {
                PrintCentred(canvas, titles);
                linesUsed = titleCount;
                titlesOnPage = titleCount;
                headerDue = true;
            }
            canvas.SetFont(cellFont);
            canvas.CurrentX = leftEdge;
            rowTop = vb::Whole(canvas.CurrentY);
        }
    }

    if (linesUsed > titlesOnPage) {
        canvas.CurrentX = leftEdge;
        canvas.LineStep(tableWidth, 0);
        canvas.CurrentX = leftEdge;
        canvas.SetFont(titleFont);
        PrintCentred(canvas, footers);
    }
}

} // namespace

// ---- HTML export ---------------------------------------------------------------------

GridPageSource GridPageSourceOf(const Grid& grid)
{
    GridPageSource src;
    src.fontName = U8(grid.font().family());
    src.fontSize = grid.font().pointSizeF();
    src.header = grid.Header();
    src.backColor = grid.BackColor();
    src.foreColor = grid.ForeColor();
    const int cols = grid.Cols();
    for (int c = 1; c <= cols; ++c) {
        GridPageSource::Column col;
        col.key = U8(grid.ColumnKey(c));
        // The header is looked up by the column's key.
        col.header = U8(grid.ColumnHeader(grid.ColumnKey(c)));
        col.visible = grid.ColumnVisible(c);
        col.order = grid.ColumnOrder(c);
        src.columns.push_back(std::move(col));
    }
    for (int r = 1; r <= grid.Rows(); ++r) {
        GridPageSource::Row row;
        row.visible = grid.RowVisible(r);
        for (int c = 1; c <= cols; ++c)
            row.cells.push_back({U8(grid.CellFormattedText(r, c)), grid.CellFont(r, c).bold()});
        src.rows.push_back(std::move(row));
    }
    return src;
}

bool GridToHTML(const Grid& grid, const std::filesystem::path& fileName, const std::string& caption,
                const std::string& heading, const std::string& footer, int16_t& fontSize, bool finish,
                bool continuation)
{
    OpenPage& page = Page();
    bool ok = true;
    if (!continuation || !page.open) {
        // A page left unfinished by an earlier export is written as it stands, not mixed
        // into this one.
        if (page.open && !continuation)
            ok = WritePage(page.path, page.text);
        page = OpenPage{true, fileName, std::string()};
    }
    GridPageOptions options;
    options.caption = caption;
    options.heading = heading;
    options.footer = footer;
    options.fontSize = fontSize;
    options.finish = finish;
    options.continuation = continuation;
    options.themePicture = App().ThemePicture;
    options.themePictureExists = !App().ThemePicture.empty() && FileExists(App().ThemePicture);
    page.text += GridPageText(GridPageSourceOf(grid), options);
    fontSize = options.fontSize;
    if (!finish)
        return ok;
    const OpenPage done = std::move(page);
    page = OpenPage{};
    return WritePage(done.path, done.text) && ok;
}

bool GridToHTML(const Grid& grid, const std::filesystem::path& fileName, const std::string& caption,
                const std::string& heading, const std::string& footer)
{
    int16_t fontSize = 0;
    return GridToHTML(grid, fileName, caption, heading, footer, fontSize, true, false);
}

std::filesystem::path TempPrintPage() { return ProgramFolder() / "~Temp.htm"; }

bool PrintHtmlFile(const std::filesystem::path& page)
{
    std::string bytes, problem;
    // The problem names the page and the cause the read met.
    if (!ReadWholeFile(page, bytes, problem, FileKind::Document)) {
        MsgBox("The page " + problem, vbExclamation, "Vexal Error");
        return false;
    }
    // The printer cannot take a page while a grid printout is still drawing on it.
    if (Job().state != JobState::Idle)
        EndJob();
    try {
        clsPrintDialog dialog;
        dialog.CancelError(true);
        dialog.ShowPrinter();
    } catch (const VbError& e) {
        if (e.Number() != PrintDialogCancelled)
            MsgBox(e.Description(), vbOKOnly, AppTitle);
        return false;
    }
    QPrinter& printer = CurrentPrinter();
    QTextDocument document;
    document.setBaseUrl(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    // Laid out with the printer's own font metrics on its page: measured on the screen and
    // drawn at the printer's resolution, table cells come out too narrow and break words.
    document.documentLayout()->setPaintDevice(&printer);
    document.setPageSize(printer.pageRect(QPrinter::DevicePixel).size());
    document.setHtml(QString::fromStdString(TextFileToUtf8(bytes)));
    document.print(&printer);
    return true;
}

void PrintGridHTML(const Grid& grid, const std::string& caption, const std::string& heading, const std::string& footer)
{
    const std::filesystem::path temp = TempPrintPage();
    std::error_code ec;
    if (FileExists(temp))
        std::filesystem::remove(temp, ec);   // a page still held open is replaced by the rename below
    if (!GridToHTML(grid, temp, caption, heading, footer))
        return;
    PrintHtmlFile(temp);
}

// ---- Printing ------------------------------------------------------------------------

bool GridPrintoutOpen() { return Job().state == JobState::Open; }

void PrintGrid(const Grid& grid, const std::string& title, const std::string& footer, QFont* titleFont,
               bool showDialog, bool endDocument, float& scale, int16_t fontSize)
{
    BusyCursor busy;
    PrintJob& job = Job();
    try {
        if (scale == 0) {
            const double screenWidth = Screen::Width();
            scale = screenWidth > 0 ? static_cast<float>(grid.width() * Screen::TwipsPerPixelX() / screenWidth) : 0.99f;
        }
        if (scale > 0.99f)
            scale = 0.99f;

        QFont cellFont(grid.font().family());
        cellFont.setPointSizeF(fontSize >= 1 ? fontSize : grid.font().pointSizeF());
        QFont ownTitleFont(grid.font().family());
        ownTitleFont.setPointSizeF(8.25);
        if (!titleFont)
            titleFont = &ownTitleFont;

        if (showDialog) {
            // A new printout: one left open by an earlier caller is ended first.
            if (job.state != JobState::Idle)
                EndJob();
            clsPrintDialog dialog;
            dialog.CancelError(true);
            dialog.ShowPrinter();
        } else if (job.state == JobState::Abandoned) {
            // A later grid of a printout that was cancelled or failed prints nothing.
            if (endDocument)
                EndJob();
            return;
        }
        if (!job.canvas) {
            job.canvas = std::make_unique<PrinterCanvas>(CurrentPrinter());
            if (!job.canvas->Begin())
                throw VbError::Of(VbError::PrinterError);
            job.state = JobState::Open;
        }
        PrinterCanvas& canvas = *job.canvas;
        PrintTable(canvas, grid, CutLines(title), CutLines(footer), *titleFont, cellFont, scale);
        if (endDocument) {
            EndJob();
        } else {
            canvas.LineEnd();
            canvas.LineEnd();
        }
    } catch (const VbError& e) {
        const bool cancelled = e.Number() == PrintDialogCancelled;
        if (!cancelled)
            MsgBox(e.Description(), vbOKOnly, AppTitle);
        EndJob();
        if (!endDocument)
            job.state = JobState::Abandoned;
    } catch (const std::exception& e) {
        MsgBox(e.what(), vbOKOnly, AppTitle);
        EndJob();
        if (!endDocument)
            job.state = JobState::Abandoned;
    }
}

void PrintGrid(const Grid& grid, const std::string& title, const std::string& footer, bool showDialog,
               bool endDocument)
{
    float scale = 0;
    PrintGrid(grid, title, footer, nullptr, showDialog, endDocument, scale, 0);
}

} // namespace vexal
