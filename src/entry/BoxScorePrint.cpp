#include "BoxScorePrint.h"

#include "BoxScore.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "PrinterCanvas.h"
#include "RecordFile.h"
#include "WeekRange.h"

#include <QFont>

namespace vexal {

void PrintBoxScores(const std::filesystem::path& seasonFile, int32_t first, int32_t count)
{
    std::vector<GameRecord> games;
    try {
        RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadOnly);
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
    QFont font("Arial");
    font.setPointSizeF(14);
    printer.SetFont(font);
    auto centred = [&](const std::string& text) {
        const QString t = QString::fromStdString(text);
        printer.CurrentX = printer.ScaleWidth() / 2 - printer.TextWidth(t) / 2;
        printer.Print(t);
    };
    for (const BoxScoreLine& line : BoxScoreLines(WeekSelectorText(), games)) {
        switch (line.kind) {
        case BoxScoreLine::Title:
            centred(line.text);
            font.setPointSizeF(10);
            printer.SetFont(font);
            break;
        case BoxScoreLine::WeekTitle: {
            centred(line.text);
            // The table is 130 characters wide: on a narrow page the rows' type is made
            // smaller so that the last columns are printed, not cut off at the page edge.
            const double needed = 130 * printer.TextWidth("0");
            if (needed > printer.ScaleWidth()) {
                font.setPointSizeF(10 * printer.ScaleWidth() / needed);
                printer.SetFont(font);
            }
            break;
        }
        case BoxScoreLine::Empty: printer.Print(QString()); break;
        case BoxScoreLine::Headings:
        case BoxScoreLine::Row: {
            // The rows do not fit one page in a long week: a new page instead of printing
            // past the bottom.
            if (line.kind == BoxScoreLine::Row && printer.CurrentY + printer.TextHeight() > printer.ScaleHeight())
                printer.NewPage();
            font.setBold(line.kind == BoxScoreLine::Headings);
            printer.SetFont(font);
            const double columnWidth = printer.TextWidth("0");
            for (int c = 0; c < BoxScoreColumns; ++c) {
                printer.CurrentX = (BoxScoreTable()[static_cast<std::size_t>(c)].column - 1) * columnWidth;
                printer.Print(QString::fromStdString(line.cells[static_cast<std::size_t>(c)]), c == BoxScoreColumns - 1);
            }
            break;
        }
        }
    }
    printer.EndDoc();
}

} // namespace vexal
