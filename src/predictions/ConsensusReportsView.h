#pragma once
// The report commands of the Predictions window that run the consensus set's formula files.
#include "ConsensusReports.h"

#include <string>
#include <vector>

namespace vexal {

class PredictWindow;

// The formula editor's check box values the report passes copy (0 when the editor is missing).
int EditorSeasonToDate();
// What each formula of a pass takes from the windows: the kept week and the boxes.
ReportBoxes ReportBoxesOf(const PredictWindow& window, int week);

// The damaged formula files of a report's set, named once when the report has run them.
void NameDamagedFormulas(const std::vector<std::string>& fileNames);

// False while a run is going, or when the user cancels the print dialog.
bool ReadyToPrintReport(PredictWindow& window);

// "View Consensus": the report page Consensus.htm (OUConsensus.htm for totals), opened in the browser.
void ViewConsensusHtml(PredictWindow& window);
// "Print Consensus": the same report on the printer, after the print dialog (a cancel prints nothing).
void PrintConsensus(PredictWindow& window);
// "View All Consensus": every formula of the set back-tested over the season up to the week,
// AllConsensus.htm (AllOUConsensus.htm for totals), opened in the browser.
void ViewAllConsensusHtml(PredictWindow& window);
// "View Range": the page RangeReport.htm (OURangeReport.htm for totals), opened in the browser.
void ViewRangeHtml(PredictWindow& window);
// "Print Range": the range report in sentences on the printer, after the print dialog.
void PrintRange(PredictWindow& window);

} // namespace vexal
