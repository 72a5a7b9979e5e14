// The Predictions window's range reports: every formula file of the current consensus set is
// run over the week in range mode and its play bands are written (or printed) game by game.
#include "AppState.h"
#include "CMouse.h"
#include "ConsensusReports.h"
#include "ConsensusReportsView.h"
#include "Host.h"
#include "MsgBox.h"
#include "PredictWindow.h"
#include "PrintDialog.h"
#include "PrinterCanvas.h"
#include "RangeReports.h"
#include "ReportPrintouts.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "VbError.h"
#include "Windows.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexal {

namespace {

// Runs one listed formula over the week in range mode; the limits are left in the window's
// RangeLimits. Page and printout prepare each formula alike, so a file gives the same bands
// whatever ran before it; a damaged file is added to `damaged`.
void RunRangeFormula(PredictWindow& window, const std::string& fileName, const ReportBoxes& boxes,
                     std::vector<std::string>& damaged)
{
    AppState& app = App();
    if (!PrepareReportFormula(app.CurrentFormula, ProgramFolder() / fileName, boxes))
        damaged.push_back(fileName);
    for (auto& item : window.RangeLimits)
        item.fill(0);
    RunReportFormula(window.TSPredict1(), app.CurrentFormula, std::span<float>(app.CurrentFormula), false,
                     std::span<const float>(app.TestFilters), false, window.RangeMode);
}

} // namespace

void ViewRangeHtml(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const bool totals = window.TotalsBox() == 1;
    const std::filesystem::path report = app.UserFolder / (totals ? "OURangeReport.htm" : "RangeReport.htm");
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const std::vector<RangeGame> games = ReadRangeWeek(week - 1);
    std::optional<RangePage> page;
    SkipStep([&] { page.emplace(report, window.WeekText(), ReportDate(), app.ThemePicture); });
    const ReportBoxes boxes = ReportBoxesOf(window, week);
    std::vector<std::string> damaged;
    for (const std::string& name : window.ConsensusFileNames()) {
        SkipStep([&] {
            RunRangeFormula(window, name, boxes, damaged);
            if (page)
                page->Block(name, games, window.RangeLimits, app.CurrentFormula[fsTotalsMode] == 1);
        });
    }
    NameDamagedFormulas(damaged);
    SkipStep([] { ReadFormula(); });
    const bool written = page && SkipStep([&] { page->Close(); });
    if (!written) {
        // A page that could not be written is not opened, even when an older one is there.
        MsgBox("File " + report.string() + " doesn't exist, or is currently open.");
        return;
    }
    SkipStep([&] {
        HideFormulaEditor();
        ShellOpen(report.string(), -1);
    });
}

void PrintRange(PredictWindow& window)
{
    if (!ReadyToPrintReport(window))
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const std::vector<RangeGame> games = ReadRangeWeek(week - 1);
    const std::string weekText = window.WeekText();
    const ReportBoxes boxes = ReportBoxesOf(window, week);
    std::vector<RangePrintBlock> blocks;
    std::vector<std::string> damaged;
    for (const std::string& name : window.ConsensusFileNames()) {
        SkipStep([&] { RunRangeFormula(window, name, boxes, damaged); });
        blocks.push_back(RangePrintBlockOf(name, games, window.RangeLimits, app.CurrentFormula[fsTotalsMode] == 1));
    }
    NameDamagedFormulas(damaged);
    SkipStep([] { ReadFormula(); });
    // The formula is the editor's again whatever the printer does; a failed print says so.
    ReportStep([&] {
        PrinterCanvas canvas(CurrentPrinter());
        if (!canvas.Begin())
            throw VbError::Of(VbError::PrinterError);
        PrintRangeReport(canvas, weekText, ReportDate(), blocks);
        canvas.EndDoc();
    });
}

} // namespace vexal
