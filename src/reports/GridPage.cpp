#include "GridPage.h"

#include <charconv>
#include <cstdio>

namespace vexal {

namespace {
const char* const CrLf = "\r\n";
const char Q = '"';

std::string BreakLines(std::string text)
{
    std::string::size_type at;
    while ((at = text.find("\r\n")) != std::string::npos)
        text.replace(at, 2, "<br>");
    return text;
}

// An opening FONT tag, its attributes quoted: <FONT FACE="f" COLOR="c" SIZE="s">. The heading and the
// caption row write theirs with no blank between them (FACE="f"COLOR="c"), as their pages always have;
// browsers read both spellings alike.
std::string FontTag(const std::string& face, const std::string& color, const std::string& size, bool apart = true)
{
    const char* const gap = apart ? " " : "";
    return std::string("<FONT FACE=") + Q + face + Q + gap + "COLOR=" + Q + color + Q + gap + "SIZE=" + Q + size + Q +
           ">";
}

std::string NumberText(double v)
{
    // The "%.15g" text, with "." whatever the locale.
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    return std::string(buf, written.ptr);
}
} // namespace

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string HtmlColor(int32_t color, bool background)
{
    const uint32_t v = static_cast<uint32_t>(color);
    if (v & 0x80000000u)
        return background ? "c0c0c0" : "000000";
    char buf[9];
    std::snprintf(buf, sizeof buf, "%08X", v);
    const std::string hex(buf);
    return hex.substr(6, 2) + hex.substr(4, 2) + hex.substr(2, 2);
}

int HtmlSizeClass(double pointSize)
{
    if (pointSize == 8 || pointSize == 9)
        return 4;
    if (pointSize == 10 || pointSize == 11)
        return 3;
    if (pointSize == 12)
        return 2;
    return 1;
}

std::vector<int> VisibleColumnsInOrder(const std::vector<GridPageSource::Column>& columns)
{
    std::vector<int> shown;
    const int n = static_cast<int>(columns.size());
    for (int p = 1; p <= n; ++p) {
        // The column at display position p; the last column when none claims it.
        int c = n - 1;
        for (int i = 0; i < n; ++i) {
            if (columns[i].order == p) {
                c = i;
                break;
            }
        }
        if (columns[c].visible)
            shown.push_back(c);
    }
    return shown;
}

std::string GridPageText(const GridPageSource& grid, GridPageOptions& options)
{
    const int s = HtmlSizeClass(grid.fontSize);
    if (options.fontSize == 0)
        options.fontSize = static_cast<int16_t>(s);
    const std::string font = HtmlEscape(grid.fontName);
    const std::string back = HtmlColor(grid.backColor, true);
    const std::string fore = HtmlColor(grid.foreColor, false);
    const std::vector<int> shown = VisibleColumnsInOrder(grid.columns);
    const std::string sizeText = std::to_string(s);

    std::string page;
    auto line = [&page](const std::string& text) { page += text + CrLf; };

    if (!options.continuation) {
        line("<HTML>");
        line(std::string("<BODY background=") + Q + HtmlEscape(options.themePicture) + Q + "><CENTER>");
    }
    // The heading's face and size end with it: the footer below the table is in the page's own.
    if (!options.heading.empty())
        line(std::string("<P>") + FontTag(font, "#000000", std::to_string(options.fontSize), false) +
             BreakLines(options.heading) + "</FONT></P>");
    line("<TABLE  border=3 cellpadding=3 cellspacing=0>");

    const std::string rowHead = std::string("<TR ALIGN=") + Q + "CENTER" + Q + " BGCOLOR=" + Q + "#c0c0c0" + Q + ">";
    line(rowHead);
    line(std::string("<TD COLSPAN=") + Q + " " + std::to_string(grid.columns.size()) + Q + ">" +
         FontTag(font, "#000000", NumberText(s + 1), false) + HtmlEscape(options.caption) + "</FONT></TD>");
    line("</TR>");

    if (grid.header) {
        line(rowHead);
        for (int c : shown)
            line("<TD>" + FontTag(font, "#000000", sizeText) + HtmlEscape(grid.columns[c].header) + "</FONT></TD>");
        line("</TR>");
    }

    for (const auto& row : grid.rows) {
        if (!row.visible)
            continue;
        line(options.themePictureExists ? std::string("<TR>")
                                        : std::string("<TR BGCOLOR=") + Q + "#" + back + Q + ">");
        for (int c : shown) {
            const GridPageSource::Cell* cell =
                c < static_cast<int>(row.cells.size()) ? &row.cells[static_cast<std::size_t>(c)] : nullptr;
            std::string text = cell ? HtmlEscape(cell->text) : std::string();
            if (cell && cell->bold)
                text = "<B>" + text + "</B>";
            if (!text.empty())
                line("<TD>" + FontTag(font, "#" + fore, sizeText) + text + "</FONT></TD>");
            else
                line("<TD>" + FontTag(font, "#" + back, sizeText) + "&nbsp;</FONT></TD>");
        }
        line("</TR>");
    }

    page += "</TABLE>";
    if (!options.footer.empty())
        line("<P>" + BreakLines(options.footer) + "</P>");
    if (options.finish) {
        line("</CENTER></BODY>");
        line("</HTML>");
    } else {
        line("<br><br>");
    }
    return page;
}

} // namespace vexal
