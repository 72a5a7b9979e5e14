// The Predictions window's range reports: every formula file of the current consensus set is
// run over the week in range mode and its play bands are written (or printed) game by game,
// through the consensus reports' pass.
#include "AppState.h"
#include "ConsensusReports.h"
#include "ConsensusReportsView.h"
#include "MsgBox.h"
#include "PredictWindow.h"
#include "RangeReports.h"
#include "ReportPrintouts.h"
#include "Steps.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vexal {

namespace {

// Runs the readied formula over the week in range mode; the limits are left in the window's
// RangeLimits. Page and printout prepare each formula alike, so a file gives the same bands
// whatever ran before it.
void RunRangeFormula(ConsensusReportRun& report)
{
    for (auto& item : report.window.RangeLimits)
        item.fill(0);
    report.RunOverWeek(report.window.RangeMode);
}

bool TotalsFormula() { return App().CurrentFormula[fsTotalsMode] == 1; }

} // namespace

void ViewRangeHtml(PredictWindow& window)
{
    if (!ReportMayStart(window))
        return;
    ConsensusReportRun report(window);
    AppState& app = App();
    const std::filesystem::path path = app.UserFolder / (report.totals ? "OURangeReport.htm" : "RangeReport.htm");
    const std::vector<RangeGame> games = ReadRangeWeek(report.week - 1);
    std::optional<RangePage> page;
    SkipStep([&] { page.emplace(path, window.WeekText(), ReportDate(), app.ThemePicture); });
    report.Pass([&](const std::string&) { RunRangeFormula(report); },
                [&](const std::string& name) {
                    if (page)
                        page->Block(name, games, window.RangeLimits, TotalsFormula());
                });
    if (!page) {
        MsgBox("File " + path.string() + " doesn't exist, or is currently open.");
        return;
    }
    // A page that could not be written is named with the cause its write met, and not opened
    // even when an older one is there: that one would pass for this week's.
    if (!ReportStep([&] { page->Close(); }, AppTitle))
        return;
    OpenReportPage(path, -1);
}

void PrintRange(PredictWindow& window)
{
    if (!ReadyToPrintReport(window))
        return;
    ConsensusReportRun report(window);
    const std::vector<RangeGame> games = ReadRangeWeek(report.week - 1);
    const std::string weekText = window.WeekText();
    std::vector<RangePrintBlock> blocks;
    report.Pass([&](const std::string&) { RunRangeFormula(report); },
                [&](const std::string& name) {
                    blocks.push_back(RangePrintBlockOf(name, games, window.RangeLimits, TotalsFormula()));
                });
    // The formula is the editor's again whatever the printer does; a failed print says so.
    PrintReportPages([&](PrinterCanvas& canvas) { PrintRangeReport(canvas, weekText, ReportDate(), blocks); });
}

} // namespace vexal
