#include "HtmlReport.h"

#include "RecordFile.h"
#include "VbError.h"

#include <system_error>

namespace vexal {

namespace {

std::string_view AlignText(int32_t code)
{
    switch (code) {
    case 1: return " ALIGN=CENTER";
    case 2: return " ALIGN=LEFT";
    case 3: return " ALIGN=RIGHT";
    default: return "";
    }
}

std::string_view StyleOpening(int32_t code)
{
    switch (code) {
    case 1: return "<B>";
    case 2: return "<I>";
    case 3: return "<B><I>";
    default: return "";
    }
}

std::string_view StyleClosing(int32_t code)
{
    switch (code) {
    case 1: return "</B>";
    case 2: return "</I>";
    case 3: return "</I></B>";
    default: return "";
    }
}

void AppendEscaped(std::string& out, char c)
{
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out += c;
    }
}

} // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendEscaped(out, c);
    return out;
}

void clsHTML::BPic(const std::string& path)
{
    std::error_code ec;
    if (!path.empty() && std::filesystem::is_regular_file(path, ec))
        bPic_ = path;
}

void clsHTML::Line(std::string_view text)
{
    page_.append(text);
    page_ += "\r\n";
}

void clsHTML::OpenFile(const std::filesystem::path& path)
{
    path_ = path;
    page_.clear();
    open_ = true;
    Line("<HTML><BODY MARGINWIDTH=10 MARGINHEIGHT=10 LEFTMARGIN=10 TOPMARGIN=10 BGCOLOR=" + bColor_ + " TEXT=" +
         fColor_ + " Background=" + HtmlEscape(bPic_) + "> <center>");
}

void clsHTML::TextBox(std::string_view text)
{
    Line("<P>");
    Line("<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0 WIDTH =600 BGCOLOR=#000000>");
    Line("<TR><TD>");
    Line("<TABLE BORDER=0 CELLPADDING=5 CELLSPACING=1 WIDTH=600 HEIGHT=50 VALIGN=TOP>");
    Line("<TR><TD BGCOLOR=#FFFFFF VALIGN=TOP><FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2>" + std::string(text) +
         "</FONT></TD></TR>");
    Line("</TABLE>");
    Line("</TD></TR></TABLE>");
    Line("</P>");
}

void clsHTML::OpenGrid(bool /*flag*/, int16_t width)
{
    if (width != 0)
        Line("<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 WIDTH=" + std::to_string(width) + " BGCOLOR=#999999>");
    else
        Line("<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 BGCOLOR=#999999>");
}

void clsHTML::CloseGrid() { Line("</TD></TR></TABLE>"); }
void clsHTML::CloseRow() { Line("</TR>"); }
void clsHTML::AddBreak() { Line("<BR>"); }

void clsHTML::CloseFile()
{
    Line("</CENTER></BODY></HTML>");
    if (!open_)
        return;
    open_ = false;
    AtomicFileWrite file(path_);
    if (!file.Write(page_) || !file.Commit())
        throw file.Error();
}

void clsHTML::CellString(uint8_t /*colourCode*/, uint8_t newRow, int32_t style, int32_t align, int32_t width,
                         std::string_view text, bool markup)
{
    if (newRow == 1)
        Line("<TR>");
    Line("<TD WIDTH=" + std::to_string(width) + std::string(AlignText(align)) + " BGCOLOR=" + bColor_ + ">");
    Line("<FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2 Color=" + fColor_ + ">");
    Line(StyleOpening(style));
    if (text.empty()) {
        Line("&nbsp;");
    } else {
        std::string buffer;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            const char next = i + 1 < text.size() ? text[i + 1] : '\0';
            if (c == '\r' || c == '\n') {
                // CR LF (and LF LF) make one break: the break is written at the last of them.
                if (next != '\n') {
                    Line(buffer + "<BR>");
                    buffer.clear();
                }
            } else if (c == ' ' && next == ' ') {
                buffer += "&nbsp;";
            } else if (markup) {
                buffer += c;
            } else {
                AppendEscaped(buffer, c);
            }
        }
        Line(buffer);
    }
    Line(StyleClosing(style));
    Line("</FONT>");
    Line("</TD>");
}

} // namespace vexal
