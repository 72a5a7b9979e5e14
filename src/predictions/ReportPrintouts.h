#pragma once
// The printed consensus and range reports laid out on a printer page. The columns and lines
// are measured with the fonts they print in, so nothing is cut off whatever fonts the system
// has: a column is as wide as its widest text, and a table wider than the page prints in a
// smaller size.
#include "ConsensusReports.h"
#include "RangeReports.h"

#include <string_view>
#include <vector>

namespace vexal {

class PrinterCanvas;

// Prints the report at 10 points on an open document; more pages follow as the rows need.
void PrintConsensusReport(PrinterCanvas& canvas, const ConsensusPrintout& report);
// Prints the range report, four blocks or fewer to a page, a block never split over two pages
// unless it is longer than a page; every page carries its numbered heading.
void PrintRangeReport(PrinterCanvas& canvas, std::string_view weekText, std::string_view date,
                      const std::vector<RangePrintBlock>& blocks);

} // namespace vexal
