#pragma once
// The HTML page a grid is exported as, built from a plain copy of what the grid shows.
// GUI-free: GridToHTML (GridReports.h) copies a Grid into a GridPageSource and writes
// the text this builds.
#include <cstdint>
#include <string>
#include <vector>

namespace vexal {

struct GridPageSource {
    struct Column {
        std::string key;
        std::string header;
        bool visible = true;
        int order = 0;                 // display position, 1-based
    };
    struct Cell {
        std::string text;              // as displayed
        bool bold = false;
    };
    struct Row {
        bool visible = true;
        std::vector<Cell> cells;       // one per column, in column order
    };
    std::string fontName;
    double fontSize = 0;
    bool header = true;                // the column header row is shown
    int32_t backColor = 0;             // Windows colour values (0x00BBGGRR; top bit = system colour)
    int32_t foreColor = 0;
    std::vector<Column> columns;       // column 1 first
    std::vector<Row> rows;             // row 1 first
};

// Texts put into a page as text, not markup: & < > " become entities.
std::string HtmlEscape(const std::string& text);

// Six hex digits "RRGGBB" of a colour value; a system colour (top bit set) gives
// "c0c0c0" as a background and "000000" as a text colour.
std::string HtmlColor(int32_t color, bool background);

// The size class of a grid font: 8 or 9 points "4", 10 or 11 "3", 12 "2", any other "1".
int HtmlSizeClass(double pointSize);

// Display positions 1..n mapped to column indexes (0-based) of the visible columns.
std::vector<int> VisibleColumnsInOrder(const std::vector<GridPageSource::Column>& columns);

struct GridPageOptions {
    std::string caption;               // the table's first row (escaped)
    std::string heading;               // markup above the table; CR LF becomes <br>
    std::string footer;                // markup below the table; CR LF becomes <br>
    int16_t fontSize = 0;              // heading size; 0 = the grid font's size class (written back)
    bool finish = true;                // end the page
    bool continuation = false;         // a further table of a page already begun
    std::string themePicture;          // the page background
    bool themePictureExists = false;   // data rows then show the picture (no row colour)
};

// The page text (UTF-8, CR LF line ends) for one table.
std::string GridPageText(const GridPageSource& grid, GridPageOptions& options);

} // namespace vexal
