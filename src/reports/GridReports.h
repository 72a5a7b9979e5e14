#pragma once
// A grid's contents as output: printed as a ruled table (PrintGrid), written as an HTML
// page (GridToHTML) or printed through its HTML page (PrintGridHTML). Every view that
// shows a Grid prints and exports it through here.
#include <QFont>

#include <cstdint>
#include <filesystem>
#include <string>

namespace vexal {

class Grid;
struct GridPageSource;

// Copies what the grid shows (columns in their order, shown rows, displayed cell texts).
GridPageSource GridPageSourceOf(const Grid& grid);

// Writes the grid as an HTML table page (ANSI text, CR LF line ends). caption is text,
// heading and footer are markup (each CR LF becomes <br>). fontSize 0 takes the grid font's
// size class and receives it. finish False leaves the page open: a later call with
// continuation True adds its table to the same page (its fileName is then not used) and
// the call with finish True writes the page. A call without continuation always starts a
// new page. Answers false, after a message, when the page could not be written.
bool GridToHTML(const Grid& grid, const std::filesystem::path& fileName, const std::string& caption,
                const std::string& heading, const std::string& footer, int16_t& fontSize, bool finish = true,
                bool continuation = false);
bool GridToHTML(const Grid& grid, const std::filesystem::path& fileName, const std::string& caption,
                const std::string& heading = "", const std::string& footer = "");

// The temporary page of PrintGridHTML: "~Temp.htm" in the program folder.
std::filesystem::path TempPrintPage();
// Writes the grid's page to TempPrintPage() and prints it: the print dialog, then the page
// laid out on the chosen printer. A cancel prints nothing.
void PrintGridHTML(const Grid& grid, const std::string& caption, const std::string& heading = "",
                   const std::string& footer = "");
// Prints an HTML page file through the print dialog; false when cancelled or failed.
bool PrintHtmlFile(const std::filesystem::path& page);

// Prints the grid's shown columns as a ruled table on the current printer, with title
// lines above it and footer lines at the foot of every page (lines separated by CR LF).
// titleFont nullptr: the grid font's name at the default size. showDialog: the print
// dialog comes first; a cancel prints nothing, also for the further grids of the same
// printout. endDocument False keeps the document open for the next grid. scale 0: the
// grid's share of the screen width, written back; at most 0.99. fontSize below 1: the
// grid font's size. An error shows its description and ends the print job.
void PrintGrid(const Grid& grid, const std::string& title, const std::string& footer, QFont* titleFont,
               bool showDialog, bool endDocument, float& scale, int16_t fontSize = 0);
void PrintGrid(const Grid& grid, const std::string& title, const std::string& footer = "", bool showDialog = true,
               bool endDocument = true);

// True while a printout of several grids is open (begun and not yet ended).
bool GridPrintoutOpen();

} // namespace vexal
