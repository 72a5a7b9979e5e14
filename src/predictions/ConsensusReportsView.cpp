// The Predictions window's consensus passes: every formula file of the current consensus set is
// run through the window's engine, over the current week (its picks become a row of the
// consensus page or printout) or back-tested over the season up to it (the all-formula page).
#include "ConsensusReportsView.h"

#include "AppState.h"
#include "CMouse.h"
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

// Runs one listed formula file (read from the program folder) over the week; the picks are
// left in the window's ConsensusPicks, a damaged file is added to `damaged`.
void RunConsensusFormula(PredictWindow& window, const std::string& fileName, const ReportBoxes& boxes,
                         std::vector<std::string>& damaged)
{
    AppState& app = App();
    if (!PrepareReportFormula(app.CurrentFormula, ProgramFolder() / fileName, boxes))
        damaged.push_back(fileName);
    window.ConsensusPicks.fill(std::string());
    RunReportFormula(window.TSPredict1(), app.CurrentFormula, std::span<float>(app.CurrentFormula), false,
                     std::span<const float>(app.TestFilters), false, window.ConsensusMode);
}

} // namespace

void NameDamagedFormulas(const std::vector<std::string>& fileNames)
{
    if (const std::string message = DamagedFormulasMessage(fileNames); !message.empty())
        MsgBox(message, vbOKOnly);
}

int EditorSeasonToDate() { return EditorControls().STD.value_or(0); }

ReportBoxes ReportBoxesOf(const PredictWindow& window, int week)
{
    ReportBoxes boxes;
    boxes.week = week;
    boxes.totalsMode = static_cast<float>(window.TotalsBox());
    boxes.seasonToDate = static_cast<float>(EditorSeasonToDate());
    boxes.otherFactors = static_cast<float>(window.OtherFactorsBox());
    return boxes;
}

void ViewConsensusHtml(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const bool totals = window.TotalsBox() == 1;
    const std::string weekText = window.WeekText();
    const std::filesystem::path report = app.UserFolder / (totals ? "OUConsensus.htm" : "Consensus.htm");
    ConsensusPage page(report, totals, weekText, ReportDate(), app.ThemePicture, ReadReportWeek(week - 1, totals));
    const ReportBoxes boxes = ReportBoxesOf(window, week);
    std::vector<std::string> damaged;
    for (const std::string& name : window.ConsensusFileNames()) {
        SkipStep([&] { RunConsensusFormula(window, name, boxes, damaged); });
        SkipStep([&] { page.Row(ConsensusRowLabel(name), window.ConsensusPicks); });
    }
    NameDamagedFormulas(damaged);
    SkipStep([] { ReadFormula(); });
    SkipStep([&] { page.Close(); });
    SkipStep([] { HideFormulaEditor(); });
    SkipStep([&] { ShellOpen(report.string(), 4); });
}

bool ReadyToPrintReport(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return false;
    try {
        clsPrintDialog dialog;
        dialog.CancelError(true);
        dialog.ShowPrinter();
    } catch (const VbError&) {
        return false;   // cancelled: nothing is printed and the formula is left as it is
    }
    return true;
}

void PrintConsensus(PredictWindow& window)
{
    if (!ReadyToPrintReport(window))
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const bool totals = window.TotalsBox() == 1;
    ConsensusPrintout printout =
        ConsensusPrintHeader(totals, window.WeekText(), ReportDate(), ReadReportWeek(week - 1, totals));
    const ReportBoxes boxes = ReportBoxesOf(window, week);
    std::vector<std::string> damaged;
    for (const std::string& name : window.ConsensusFileNames()) {
        SkipStep([&] { RunConsensusFormula(window, name, boxes, damaged); });
        printout.rows.push_back({ConsensusRowLabel(name), window.ConsensusPicks});
    }
    NameDamagedFormulas(damaged);
    SkipStep([] { ReadFormula(); });
    // A failed print says so.
    ReportStep([&] {
        PrinterCanvas canvas(CurrentPrinter());
        if (!canvas.Begin())
            throw VbError::Of(VbError::PrinterError);
        PrintConsensusReport(canvas, printout);
        canvas.EndDoc();
    });
}

void ViewAllConsensusHtml(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const bool totals = window.TotalsBox() == 1;
    const std::filesystem::path report = app.UserFolder / (totals ? "AllOUConsensus.htm" : "AllConsensus.htm");
    std::optional<AllConsensusPage> page;
    SkipStep([&] { page.emplace(report, totals, window.WeekText(), ReportDate(), app.ThemePicture); });

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

    const float seasonStart = AllConsensusStartWeek(Season().SeasonFirstWeek, week);
    const ReportBoxes boxes = ReportBoxesOf(window, week);
    std::vector<std::string> damaged;
    for (const std::string& name : window.ConsensusFileNames()) {
        SkipStep([&] {
            if (!PrepareReportFormula(app.CurrentFormula, ProgramFolder() / name, boxes))
                damaged.push_back(name);
            if (page)
                page->BeginBlock(ConsensusRowLabel(name), app.CurrentFormula);
            for (std::size_t i = 0; i < app.SavedFormula.size(); ++i)
                app.SavedFormula[i] = app.CurrentFormula[i];
            app.SavedFormula[fsCurrentWeek] = static_cast<float>(week);
            app.CurrentFormula[fsCurrentWeek] = seasonStart;
            RunReportFormula(engine, app.CurrentFormula, std::span<float>(app.SavedFormula), true,
                             std::span<const float>(app.TestFilters), true, window.ConsensusMode);
        });
        if (page)
            SkipStep([&] { page->EndBlock(); });
    }
    NameDamagedFormulas(damaged);
    if (page)
        SkipStep([&] { page->Close(); });
    SkipStep([] { ReadFormula(); });
    SkipStep([] { HideFormulaEditor(); });
    SkipStep([&] { ShellOpen(report.string(), -1); });
}

} // namespace vexal
