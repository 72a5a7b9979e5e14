#pragma once
// clsHTML: writes a report page line by line (page head, framed text panels, tables of cells,
// breaks). The page is kept in memory and written whole when it is closed, so a failed write
// leaves an earlier report of the same name as it was. Every line ends with CR LF.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vexal {

class clsHTML {
public:
    // Setting the colours changes the page head (when set before OpenFile) and every cell after.
    void BColor(std::string colour) { bColor_ = std::move(colour); }
    void FColor(std::string colour) { fColor_ = std::move(colour); }
    // The page's background picture; a path that names no file keeps the picture set before.
    void BPic(const std::string& path);
    const std::string& BPic() const { return bPic_; }

    void OpenFile(const std::filesystem::path& path);
    // A framed panel of text; the text is markup the caller builds and goes in as it is.
    void TextBox(std::string_view text);
    void OpenGrid(bool flag, int16_t width);
    void CloseGrid();
    void CloseRow();
    void AddBreak();
    // Writes the page; a file that cannot be written raises an error naming it and the cause.
    void CloseFile();

    // One table cell. The colour code is kept for callers but the cell takes BColor/FColor.
    // The text is escaped for HTML unless markup is true (headings built on purpose).
    void CellString(uint8_t colourCode, uint8_t newRow, int32_t style, int32_t align, int32_t width,
                    std::string_view text, bool markup = false);

    // The page written so far (what CloseFile writes).
    const std::string& Text() const { return page_; }

private:
    void Line(std::string_view text);

    std::string bColor_ = "#FFFFFF";
    std::string fColor_ = "#000000";
    std::string bPic_;
    std::filesystem::path path_;
    std::string page_;
    bool open_ = false;
};

// The text with &, <, > and " written as HTML character references.
std::string HtmlEscape(std::string_view text);

} // namespace vexal
