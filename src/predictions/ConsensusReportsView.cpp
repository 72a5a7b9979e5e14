// The Predictions window's consensus passes: every formula file of the current consensus set is
// run through the window's engine, over the current week (its picks become a row of the
// consensus page or printout) or back-tested over the season up to it (the all-formula page).
// The pass itself, the start of a report and its end on the printer or in the browser are one
// path for these reports and the range reports.
#include "ConsensusReportsView.h"

#include "AppState.h"
#include "ConsensusReports.h"
#include "FormulaEditorValues.h"
#include "FormulaFile.h"
#include "Host.h"
#include "MsgBox.h"
#include "PredictWindow.h"
#include "PrintDialog.h"
#include "PrinterCanvas.h"
#include "ReportPrintouts.h"
#include "SeasonData.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "TSPredict.h"
#include "VbConvert.h"
#include "VbError.h"
#include "Windows.h"

#include <QMdiSubWindow>

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vexal {

namespace {

// What each formula of a pass takes from the windows: the kept week, the Predictions window's
// boxes and the formula editor's "Season To Date" (0 when the editor is missing).
ReportBoxes ReportBoxesOf(const PredictWindow& window, int week)
{
    ReportBoxes boxes;
    boxes.week = week;
    boxes.totalsMode = static_cast<float>(window.TotalsBox());
    boxes.seasonToDate = static_cast<float>(EditorControls().STD.value_or(0));
    boxes.otherFactors = static_cast<float>(window.OtherFactorsBox());
    return boxes;
}

} // namespace

ConsensusReportRun::ConsensusReportRun(PredictWindow& reportWindow)
    : window(reportWindow), week(static_cast<int>(App().CurrentFormula[fsCurrentWeek])),
      totals(reportWindow.TotalsBox() == 1), boxes(ReportBoxesOf(reportWindow, week))
{
}

void ConsensusReportRun::Pass(const std::function<void(const std::string& fileName)>& run,
                              const std::function<void(const std::string& fileName)>& keep)
{
    AppState& app = App();
    ListedFormulaProblems problems;
    for (const std::string& name : window.ConsensusFileNames()) {
        // A listed file that gives no formula (gone from the program folder, unreadable,
        // damaged) has no row: it is named below, never run as the prepared formula alone.
        bool ready = false;
        SkipStep([&] {
            ready = PrepareReportFormula(app.CurrentFormula, ListedFile(ProgramFolder(), name), name, boxes, problems);
            if (ready)
                run(name);
        });
        if (ready)
            SkipStep([&] { keep(name); });
    }
    if (const std::string message = ListedFormulasMessage(problems); !message.empty())
        MsgBox(message, vbOKOnly);
    SkipStep([] { ReadFormula(); });
}

void ConsensusReportRun::RunOverWeek(bool& mode)
{
    AppState& app = App();
    RunReportFormula(window.TSPredict1(), app.CurrentFormula, std::span<float>(app.CurrentFormula), false,
                     std::span<const float>(app.TestFilters), false, mode);
}

bool ReportMayStart(const PredictWindow& window) { return !window.Running() && !IsBusy(); }

bool ReadyToPrintReport(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return false;
    try {
        clsPrintDialog dialog;
        dialog.CancelError(true);
        dialog.ShowPrinter();
    } catch (const VbError& e) {
        if (e.Number() != PrintDialogCancelled)
            throw;
        return false;   // cancelled: nothing is printed and the formula is left as it is
    }
    return true;
}

void PrintReportPages(const std::function<void(PrinterCanvas&)>& print)
{
    // A failed print says so.
    ReportStep([&] {
        PrinterCanvas canvas(CurrentPrinter());
        if (!canvas.Begin())
            throw VbError::Of(VbError::PrinterError);
        print(canvas);
        canvas.EndDoc();
    });
}

void OpenReportPage(const std::filesystem::path& page, int show)
{
    SkipStep([] { HideFormulaEditor(); });
    SkipStep([&] { ShellOpen(page.string(), show); });
}

void ViewConsensusHtml(PredictWindow& window)
{
    if (!ReportMayStart(window))
        return;
    ConsensusReportRun report(window);
    AppState& app = App();
    const std::filesystem::path page = app.UserFolder / (report.totals ? "OUConsensus.htm" : "Consensus.htm");
    ConsensusPage html(page, report.totals, window.WeekText(), ReportDate(), app.ThemePicture,
                       ReadReportWeek(report.week - 1, report.totals));
    report.Pass(
        [&](const std::string&) {
            window.ConsensusPicks.fill(std::string());
            report.RunOverWeek(window.ConsensusMode);
        },
        [&](const std::string& name) { html.Row(ConsensusRowLabel(name), window.ConsensusPicks); });
    // A page that could not be written is named with the cause its write met, and not opened
    // even when an older one is there: that one would pass for this week's.
    if (!ReportStep([&] { html.Close(); }, AppTitle))
        return;
    OpenReportPage(page, 4);
}

void PrintConsensus(PredictWindow& window)
{
    if (!ReadyToPrintReport(window))
        return;
    ConsensusReportRun report(window);
    ConsensusPrintout printout = ConsensusPrintHeader(report.totals, window.WeekText(), ReportDate(),
                                                      ReadReportWeek(report.week - 1, report.totals));
    report.Pass(
        [&](const std::string&) {
            window.ConsensusPicks.fill(std::string());
            report.RunOverWeek(window.ConsensusMode);
        },
        [&](const std::string& name) { printout.rows.push_back({ConsensusRowLabel(name), window.ConsensusPicks}); });
    PrintReportPages([&](PrinterCanvas& canvas) { PrintConsensusReport(canvas, printout); });
}

void ViewAllConsensusHtml(PredictWindow& window)
{
    if (!ReportMayStart(window))
        return;
    ConsensusReportRun report(window);
    AppState& app = App();
    const std::filesystem::path path = app.UserFolder / (report.totals ? "AllOUConsensus.htm" : "AllConsensus.htm");
    std::optional<AllConsensusPage> page;
    SkipStep([&] { page.emplace(path, report.totals, window.WeekText(), ReportDate(), app.ThemePicture); });

    // The run's last progress carries the weekly breakdown of the formula: its rows go into the page.
    TSPredict& engine = window.TSPredict1();
    auto previous = engine.Progress;
    struct Restore {
        TSPredict& e;
        decltype(engine.Progress) p;
        ~Restore() { e.Progress = std::move(p); }
    } restore{engine, previous};
    engine.Progress = [&](TSPredict::FormulaRow&, TSPredict::FormulaRow&, std::string& percent, std::string& message) {
        if (vb::Val(percent) >= 100 && !window.SmartRun && !message.empty() && page)
            SkipStep([&] { page->Breakdown(message); });
    };

    const float seasonStart = AllConsensusStartWeek(Season().SeasonFirstWeek, report.week);
    report.Pass(
        [&](const std::string& name) {
            if (page)
                page->BeginBlock(ConsensusRowLabel(name), app.CurrentFormula);
            for (std::size_t i = 0; i < app.SavedFormula.size(); ++i)
                app.SavedFormula[i] = app.CurrentFormula[i];
            app.SavedFormula[fsCurrentWeek] = static_cast<float>(report.week);
            app.CurrentFormula[fsCurrentWeek] = seasonStart;
            RunReportFormula(engine, app.CurrentFormula, std::span<float>(app.SavedFormula), true,
                             std::span<const float>(app.TestFilters), true, window.ConsensusMode);
        },
        [&](const std::string&) {
            if (page)
                page->EndBlock();
        });
    // As the consensus page: a page that could not be written is named, and not opened.
    if (page && !ReportStep([&] { page->Close(); }, AppTitle))
        return;
    OpenReportPage(path, -1);
}

} // namespace vexal
