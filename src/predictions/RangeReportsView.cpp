// The Predictions window's range report page: every formula file of the current consensus
// set is run over the week in range mode and its play bands are written game by game.
#include "AppState.h"
#include "CMouse.h"
#include "ConsensusReports.h"
#include "ConsensusReportsView.h"
#include "Host.h"
#include "MsgBox.h"
#include "PredictWindow.h"
#include "RangeReports.h"
#include "SharedProcs.h"
#include "Windows.h"

#include <optional>

namespace vexal {

void ViewRangeHtml(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const bool totals = ReportCheckValue(&window, "chkOu") == 1;
    const std::filesystem::path report = app.UserFolder / (totals ? "OURangeReport.htm" : "RangeReport.htm");
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const std::string weekText = window.WeekText();
    const std::vector<RangeGame> games = ReadRangeWeek(week - 1);
    std::optional<RangePage> page;
    try {
        page.emplace(report, weekText, ReportDate(), app.ThemePicture);
    } catch (const std::exception&) {
    }
    for (const std::string& name : ConsensusFileNames(window)) {
        try {
            PrepareReportFormula(window, name, week, true);
            for (auto& item : window.RangeLimits)
                item.fill(0);
            RunReportFormula(window, window.RangeMode, std::span<float>(app.CurrentFormula), false);
            if (page)
                page->Block(name, games, window.RangeLimits, app.CurrentFormula[fsTotalsMode] == 1);
        } catch (const std::exception&) {
        }
    }
    try {
        ReadFormula();
    } catch (const std::exception&) {
    }
    bool written = false;
    if (page) {
        try {
            page->Close();
            written = true;
        } catch (const std::exception&) {
        }
    }
    if (!written) {
        // A page that could not be written is not opened, even when an older one is there.
        MsgBox("File " + report.string() + " doesn't exist, or is currently open.");
        return;
    }
    try {
        HideFormulaEditorWindow();
        ShellOpen(report.string(), -1);
    } catch (const std::exception&) {
    }
}

} // namespace vexal
