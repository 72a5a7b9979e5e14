#pragma once
// The rich text the document viewer reads and writes: a document of paragraphs of
// formatted runs, read from and written to RTF. Texts are UTF-8 inside, Windows-1252 in
// the files (other characters as \u escapes).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexal::richtext {

struct Run {
    std::string text;
    std::string font = "Courier New";
    int32_t halfPoints = 16; // size in half points (\fs)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool protect = false;
    int32_t color = -1;     // BGR text colour, -1 automatic
    int32_t backColor = -1; // BGR highlight, -1 none
    std::string link;       // hyperlink target, empty for plain text
};

struct Paragraph {
    std::vector<Run> runs;
    bool bullet = false;
};

struct Document {
    std::vector<Paragraph> paragraphs;
    std::string PlainText() const; // paragraphs joined by "\n"
};

// Whether the first bytes of a file mark rich text ("{\rtf").
bool IsRichText(std::string_view header);
// Reads RTF; unknown control words and destinations are skipped.
Document ReadRtf(std::string_view rtf);
// Writes RTF with CRLF after each paragraph.
std::string WriteRtf(const Document& doc);

} // namespace vexal::richtext
