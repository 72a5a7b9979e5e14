#include "ReportPrintouts.h"

#include "PrinterCanvas.h"

#include <QFont>

#include <algorithm>
#include <cmath>

namespace vexal {

namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont Face(const QFont& base, double points, bool bold, bool underline)
{
    QFont font = base;
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

double WidthIn(PrinterCanvas& canvas, const QFont& font, std::string_view text)
{
    const QFont kept = canvas.Font();
    canvas.SetFont(font);
    const double width = canvas.TextWidth(Q(text));
    canvas.SetFont(kept);
    return width;
}

void Centred(PrinterCanvas& canvas, const QString& text)
{
    canvas.CurrentX = std::max(0.0, canvas.ScaleWidth() / 2 - canvas.TextWidth(text) / 2);
    canvas.Print(text);
}

// Column positions of the consensus table at a print size, in twips.
struct ConsensusColumns {
    double labelWidth = 0;   // where the first game column starts
    double pitch = 0;        // from one game column to the next
    double needed = 0;       // width of the whole table
};

// The week's columns at a print size: at least the standard 670 twips apart with the first at
// 1675 (in proportion at smaller sizes), wider where a text needs it.
ConsensusColumns MeasureConsensus(PrinterCanvas& canvas, const QFont& base, double points,
                                  const ConsensusPrintout& report, std::size_t columns)
{
    const QFont bold = Face(base, points, true, false);
    const QFont plain = Face(base, points, false, false);
    const double scale = points / 10.0;
    const double gap = std::max(90.0 * scale, WidthIn(canvas, plain, "  "));
    ConsensusColumns c;
    c.pitch = 670 * scale;
    for (const auto* line : {&report.away, &report.home, &report.numbers})
        for (const std::string& text : *line)
            c.pitch = std::max(c.pitch, WidthIn(canvas, bold, text) + gap);
    c.labelWidth = 1675 * scale;
    for (const ConsensusPrintRow& row : report.rows) {
        c.labelWidth = std::max(c.labelWidth, WidthIn(canvas, bold, row.label) + gap);
        for (std::size_t g = 0; g < columns && g < row.picks.size(); ++g)
            c.pitch = std::max(c.pitch, WidthIn(canvas, plain, row.picks[g]) + gap);
    }
    c.needed = c.labelWidth + static_cast<double>(columns) * c.pitch - gap;
    return c;
}

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

} // namespace

void PrintConsensusReport(PrinterCanvas& canvas, const ConsensusPrintout& report)
{
    // Positions past the week's last game hold the blanks of no play; they take no room.
    std::size_t columns = report.away.size();
    for (const ConsensusPrintRow& row : report.rows)
        for (std::size_t g = columns; g < row.picks.size(); ++g)
            if (!Blank(row.picks[g]))
                columns = g + 1;

    const QFont base = canvas.Font();
    double points = 10;
    ConsensusColumns c = MeasureConsensus(canvas, base, points, report, columns);
    while (c.needed > canvas.ScaleWidth() && points > 4) {
        points -= 0.5;
        c = MeasureConsensus(canvas, base, points, report, columns);
    }
    // Still too wide at the smallest readable size: the columns share what the page has.
    if (c.needed > canvas.ScaleWidth() && columns > 0)
        c.pitch = std::max(0.0, (canvas.ScaleWidth() - c.labelWidth) / static_cast<double>(columns));
    auto x = [&c](std::size_t g) { return c.labelWidth + static_cast<double>(g) * c.pitch; };
    auto line = [&](const std::vector<std::string>& texts) {
        for (std::size_t g = 0; g < texts.size(); ++g) {
            canvas.CurrentX = x(g);
            canvas.Print(Q(texts[g]), false);
        }
        canvas.LineEnd();
    };

    canvas.SetFont(Face(base, points, true, true));
    Centred(canvas, Q(report.heading));
    canvas.SetFont(Face(base, points, true, false));
    canvas.Print(QString());
    line(report.away);
    line(report.home);
    canvas.SetFont(Face(base, points, true, true));
    line(report.numbers);

    for (const ConsensusPrintRow& row : report.rows) {
        canvas.SetFont(Face(base, points, true, false));
        if (canvas.CurrentY + canvas.TextHeight() > canvas.ScaleHeight())
            canvas.NewPage();
        canvas.CurrentX = 0;
        canvas.Print(Q(row.label), false);
        canvas.SetFont(Face(base, points, false, false));
        for (std::size_t g = 0; g < columns && g < row.picks.size(); ++g) {
            canvas.CurrentX = x(g);
            canvas.Print(Q(row.picks[g]), false);
        }
        canvas.LineEnd();
    }
    canvas.SetFont(base);
}

namespace {

// A sentence cut at blanks into lines no wider than the page; continuation lines are indented.
std::vector<QString> Wrapped(PrinterCanvas& canvas, const QString& text, double width, const QString& indent)
{
    std::vector<QString> lines;
    QString current;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
        const QString shown = lines.empty() ? candidate : indent + candidate;
        if (!current.isEmpty() && canvas.TextWidth(shown) > width) {
            lines.push_back(lines.empty() ? current : indent + current);
            current = word;
        } else {
            current = candidate;
        }
    }
    lines.push_back(lines.empty() ? current : indent + current);
    return lines;
}

} // namespace

void PrintRangeReport(PrinterCanvas& canvas, std::string_view weekText, std::string_view date,
                      const std::vector<RangePrintBlock>& blocks)
{
    const QFont base = canvas.Font();
    const QFont plain = Face(base, 10, false, false);
    const QFont bold = Face(base, 10, true, false);
    int page = 1;
    auto heading = [&] {
        canvas.SetFont(Face(base, 10, true, true));
        Centred(canvas, Q(RangePrintHeading(weekText, date, page)));
        canvas.SetFont(plain);
        canvas.Print(QString());
        canvas.Print(QString());
    };
    const double lineHeight = [&] {
        canvas.SetFont(plain);
        return canvas.TextHeight();
    }();
    auto fits = [&](int lines) { return canvas.CurrentY + lines * lineHeight <= canvas.ScaleHeight(); };
    auto newPage = [&] {
        canvas.NewPage();
        ++page;
        heading();
    };

    heading();
    const double headingEnd = canvas.CurrentY;
    const QString indent = QStringLiteral("    ");
    for (const RangePrintBlock& block : blocks) {
        canvas.SetFont(plain);
        std::vector<std::vector<QString>> sentences;
        int lines = 2;
        for (const std::string& sentence : block.sentences) {
            sentences.push_back(Wrapped(canvas, Q(sentence), canvas.ScaleWidth(), indent));
            lines += static_cast<int>(sentences.back().size());
        }
        // A block starts on a new page when it does not fit on what is left of this one.
        if (!fits(lines) && canvas.CurrentY > headingEnd)
            newPage();
        canvas.SetFont(plain);
        canvas.Print(QString());
        canvas.Print(QStringLiteral("Using "), false);
        canvas.SetFont(bold);
        canvas.Print(Q(block.fileName), false);
        canvas.SetFont(plain);
        canvas.Print(QStringLiteral(", the following will result in a play:"));
        for (const auto& sentence : sentences) {
            for (const QString& text : sentence) {
                if (!fits(1)) {
                    newPage();
                    canvas.SetFont(plain);
                }
                canvas.Print(text);
            }
        }
    }
    canvas.SetFont(base);
}

} // namespace vexal
