#pragma once
// The report commands of the Predictions window that run the consensus set's formula files,
// and the one pass they share.
#include "CMouse.h"
#include "ConsensusReports.h"
#include "Windows.h"

#include <filesystem>
#include <functional>
#include <string>

namespace vexal {

class PredictWindow;
class PrinterCanvas;

// One report of the consensus set from its start to its end: the busy cursor and the busy flag
// for its whole length, the week it reports (the current formula's), its kind (the totals box)
// and what each formula takes from the windows besides its file.
class ConsensusReportRun {
public:
    explicit ConsensusReportRun(PredictWindow& window);
    ConsensusReportRun(const ConsensusReportRun&) = delete;
    ConsensusReportRun& operator=(const ConsensusReportRun&) = delete;

    // The consensus pass: each listed formula file of the set, in list order, is readied from
    // the boxes (PrepareReportFormula), then handed to `run`, the report's engine call, and to
    // `keep`, which takes what the run left (a row of picks, a block of limits); a step that
    // fails is passed over and the next goes on. A file that gives no formula (gone, unreadable,
    // damaged) is neither run nor kept. After the last file those files are named once in one
    // message and the current formula is the formula editor's again.
    void Pass(const std::function<void(const std::string& fileName)>& run,
              const std::function<void(const std::string& fileName)>& keep);
    // The engine call of a report over the week: the current formula run alone, `mode` (the
    // window's ConsensusMode or RangeMode) set while the Weekly handler fills what it fills.
    void RunOverWeek(bool& mode);

private:
    BusyScope busy_;
    CMouse mouse_{vbHourglass};

public:
    PredictWindow& window;
    const int week;        // CurrentWeek, 1-based
    const bool totals;
    const ReportBoxes boxes;
};

// False while a run is going: the reports wait for it.
bool ReportMayStart(const PredictWindow& window);
// The same, and false when the user cancels the print dialog.
bool ReadyToPrintReport(PredictWindow& window);
// Prints on the printer the print dialog chose; a failed print says so.
void PrintReportPages(const std::function<void(PrinterCanvas&)>& print);
// Opens a written page with the desktop's program (show as ShellOpen takes it), the formula
// editor hidden first.
void OpenReportPage(const std::filesystem::path& page, int show);

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
