#pragma once
// The report commands of the Predictions window that run the consensus set's formula files.
#include <span>
#include <string>
#include <vector>

class QWidget;

namespace vexal {

class PredictWindow;

// Shared by the report passes: a check box's value (0, 1, 2 greyed) found by name, and the
// formula editor hidden once a page is written.
int ReportCheckValue(const QWidget* owner, const char* name);
void HideFormulaEditorWindow();
// Reads a listed formula file from the program folder into CurrentFormula. clear first
// clears the formula and sets the week, totals, season-to-date and other-factor slots from
// the windows; a file with no line range runs without a line filter.
void PrepareReportFormula(PredictWindow& window, const std::string& fileName, int week, bool clear);
// Runs CurrentFormula (low end) to high through the window's engine with mode set during the call.
void RunReportFormula(PredictWindow& window, bool& mode, std::span<float> high, bool showWeekly);

// The names listed by the window's consensus file list, in list order.
std::vector<std::string> ConsensusFileNames(PredictWindow& window);
// Runs one listed formula file (read from the program folder) over the week; the picks are
// left in the window's ConsensusPicks.
void RunConsensusFormula(PredictWindow& window, const std::string& fileName, int week);
// "View Consensus": the report page Consensus.htm (OUConsensus.htm for totals), opened in the browser.
void ViewConsensusHtml(PredictWindow& window);

} // namespace vexal

namespace vexal {
// "View All Consensus": every formula of the set back-tested over the season up to the week,
// AllConsensus.htm (AllOUConsensus.htm for totals), opened in the browser.
void ViewAllConsensusHtml(PredictWindow& window);
// "View Range": the page RangeReport.htm (OURangeReport.htm for totals), opened in the browser.
void ViewRangeHtml(PredictWindow& window);
} // namespace vexal
