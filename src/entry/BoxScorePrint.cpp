#include "BoxScorePrint.h"

#include "BoxScore.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "PrintFit.h"
#include "PrinterCanvas.h"
#include "RecordFile.h"
#include "WeekRange.h"

#include <QFont>

#include <algorithm>

namespace vexal {

void PrintBoxScores(const std::filesystem::path& seasonFile, int32_t first, int32_t count)
{
    std::vector<GameRecord> games;
    try {
        RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadOnly, FileKind::Season);
        std::array<uint8_t, GameRecord::Size> buf{};
        for (int32_t r = first; r < first + count && r <= file.RecordCount(); ++r) {
            if (r < 1)
                continue;
            file.Get(r, buf.data());
            games.push_back(GameRecord::Decode(buf));
        }
    } catch (const std::exception& e) {
        MsgBox(e.what(), vbExclamation, "Print");
        return;
    }
    clsPrintDialog dialog;
    if (!dialog.ShowPrinter())
        return;
    PrinterCanvas printer(CurrentPrinter());
    if (!printer.Begin()) {
        MsgBox("The printer could not be opened.", vbExclamation, "Print");
        return;
    }
    const std::vector<BoxScoreLine> lines = BoxScoreLines(WeekSelectorText(), games);
    QFont font("Arial");
    // A title wider than the page (a narrow page, a wide fallback face) is made smaller.
    auto centred = [&](const std::string& text, double points) {
        const QString t = QString::fromStdString(text);
        font.setBold(false);
        font.setPointSizeF(FitPointSize(points, [&](double size) {
            font.setPointSizeF(size);
            printer.SetFont(font);
            return printer.TextWidth(t) / printer.ScaleWidth();
        }));
        printer.SetFont(font);
        printer.CurrentX = printer.ScaleWidth() / 2 - printer.TextWidth(t) / 2;
        printer.Print(t);
    };
    // The character column of the table is the width of a regular "0" at the rows' size.
    // Headings are bold and team names proportional: every cell, in the face it is printed
    // in, must end before the next column starts and the last before the page edge, or the
    // whole table is printed smaller.
    auto columnWidth = [&]() {
        QFont regular = font;
        regular.setBold(false);
        printer.SetFont(regular);
        return printer.TextWidth("0");
    };
    auto tableOverflow = [&](double size) {
        font.setPointSizeF(size);
        const double column = columnWidth();
        double worst = 0;
        for (const BoxScoreLine& line : lines) {
            if (line.kind != BoxScoreLine::Headings && line.kind != BoxScoreLine::Row)
                continue;
            QFont face = font;
            face.setBold(line.kind == BoxScoreLine::Headings);
            printer.SetFont(face);
            for (int c = 0; c < BoxScoreColumns; ++c) {
                const auto at = static_cast<std::size_t>(c);
                const double start = (BoxScoreTable()[at].column - 1) * column;
                const double limit = c + 1 < BoxScoreColumns ? (BoxScoreTable()[at + 1].column - 1) * column
                                                             : printer.ScaleWidth();
                const double end = start + printer.TextWidth(QString::fromStdString(line.cells[at]));
                if (limit > 0)
                    worst = std::max(worst, end / limit);
            }
        }
        return worst;
    };
    for (const BoxScoreLine& line : lines) {
        switch (line.kind) {
        case BoxScoreLine::Title: centred(line.text, 14); break;
        case BoxScoreLine::WeekTitle:
            centred(line.text, 10);
            font.setPointSizeF(FitPointSize(10, tableOverflow));
            printer.SetFont(font);
            break;
        case BoxScoreLine::Empty: printer.Print(QString()); break;
        case BoxScoreLine::Headings:
        case BoxScoreLine::Row: {
            // The rows do not fit one page in a long week: a new page instead of printing
            // past the bottom.
            if (line.kind == BoxScoreLine::Row && printer.CurrentY + printer.TextHeight() > printer.ScaleHeight())
                printer.NewPage();
            const double column = columnWidth();
            font.setBold(line.kind == BoxScoreLine::Headings);
            printer.SetFont(font);
            for (int c = 0; c < BoxScoreColumns; ++c) {
                printer.CurrentX = (BoxScoreTable()[static_cast<std::size_t>(c)].column - 1) * column;
                printer.Print(QString::fromStdString(line.cells[static_cast<std::size_t>(c)]), c == BoxScoreColumns - 1);
            }
            break;
        }
        }
    }
    printer.EndDoc();
}

} // namespace vexal
