#include "Html2Text.h"

#include <algorithm>
#include <string_view>

#include "Host.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

namespace vexal {

namespace {

// The HTML 4 Latin-1 entity names for the codes 160 to 255.
constexpr std::array<const char*, 96> Latin1Names = {
    "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo",
    "not", "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot",
    "cedil", "sup1", "ordm", "raquo", "frac14", "frac12", "frac34", "iquest", "agrave", "aacute", "acirc",
    "atilde", "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute",
    "icirc", "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "times", "oslash",
    "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "szlig", "agrave", "aacute", "acirc", "atilde",
    "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc",
    "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave",
    "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml"};

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string NoBlanks(const std::string& s)
{
    std::string r;
    for (char c : s)
        if (c != ' ')
            r += c;
    return r;
}

bool IsTag(const std::string& tag, const char* name)
{
    const std::string n = name;
    return tag == n || tag.rfind(n + " ", 0) == 0;
}

// The character a reference names, or an empty text for an unknown name.
std::string Reference(const std::string& name)
{
    if (name.empty())
        return {};
    std::string digits = name[0] == '#' ? name.substr(1) : name;
    if (!digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const long code = digits.size() > 6 ? 0 : std::strtol(digits.c_str(), nullptr, 10);
        // Only single-byte characters exist in the ANSI text.
        return code > 0 && code < 256 ? std::string(1, static_cast<char>(code)) : std::string();
    }
    const std::string lower = Lower(name);
    if (lower == "amp") return "&";
    if (lower == "lt") return "<";
    if (lower == "gt") return ">";
    if (lower == "quot") return "\"";
    for (std::size_t i = 0; i < Latin1Names.size(); ++i) {
        if (lower != Latin1Names[i])
            continue;
        int code = 160 + static_cast<int>(i);
        // The accented letters come in pairs; a name with capitals names the capital.
        if (code >= 224 && code != 247 && code != 255 && name != lower)
            code -= 32;
        else if (code >= 192 && code < 224 && code != 215 && code != 223 && name == lower)
            continue; // the lower-case name is found again in the second half
        return std::string(1, static_cast<char>(code));
    }
    return {};
}

class Converter {
public:
    explicit Converter(const std::string& html) : s_(html) {}

    std::string Run()
    {
        std::size_t i = 0;
        while (i < s_.size()) {
            const char c = s_[i];
            if (c == '<') {
                i = Tag(i);
                i = AfterTag(i);
                continue;
            }
            if (inBody_ && !inScript_)
                i = Text(i);
            else
                ++i;
        }
        return out_;
    }

private:
    void Break()
    {
        out_ += "\r\n";
        col_ = 0;
        lineBreak_ = true;
        blank_ = false;
    }
    void Paragraph()
    {
        Break();
        Break();
        paraBreak_ = true;
    }
    void Put(const std::string& text, int columns)
    {
        out_ += text;
        col_ += columns;
        blank_ = lineBreak_ = paraBreak_ = false;
    }

    // Reads a tag at i ('<'); returns the position after it.
    std::size_t Tag(std::size_t i)
    {
        std::size_t j = i + 1;
        std::string raw;
        // The non-blank characters read so far, while there are no more than a comment's start
        // ("!--" once blanks are removed): a long tag is then read in one pass.
        std::string start;
        bool mayBeComment = true;
        while (j < s_.size() && s_[j] != '>') {
            const char ch = s_[j++];
            raw += ch;
            if (!mayBeComment || ch == ' ')
                continue;
            start += ch;
            if (start.size() > 3 || std::string_view("!--").substr(0, start.size()) != start) {
                mayBeComment = false;
                continue;
            }
            if (start == "!--") {
                const auto end = s_.find("-->", j);
                return end == std::string::npos ? s_.size() : end + 3;
            }
        }
        if (j < s_.size())
            ++j;
        lastTagEnd_ = j;
        const std::string tag = Upper(Trim(raw));
        if (tag == "TITLE" && !inScript_) {
            // The title is copied as it stands, wherever it is.
            auto end = s_.find('<', j);
            if (end == std::string::npos)
                end = s_.size();
            out_ += s_.substr(j, end - j);
            Break();
            Break();
            return end;
        }
        Handle(tag);
        return j;
    }

    // Whitespace after a tag: nothing before another tag, one blank before text when the run
    // ends with a blank.
    std::size_t AfterTag(std::size_t i)
    {
        std::size_t j = i;
        while (j < s_.size() && (s_[j] == ' ' || s_[j] == '\t' || s_[j] == '\r' || s_[j] == '\n'))
            ++j;
        if (j > i && j < s_.size() && s_[j] != '<' && s_[j - 1] == ' ' && inBody_ && !inScript_ && !blank_) {
            Put(" ", 1);
            blank_ = true;
        }
        return j;
    }

    void Handle(const std::string& tag)
    {
        const std::string closing = NoBlanks(tag);
        if (inScript_) {
            if (closing.rfind("/SCRIPT", 0) == 0)
                inScript_ = false;
            return;
        }
        if (tag.rfind("BODY", 0) == 0) {
            inBody_ = true;
        } else if (IsTag(tag, "P")) {
            if (textSeen_ && !paraBreak_)
                Paragraph();
        } else if (IsTag(tag, "TR")) {
            LookAheadRow();
            Break();
            cellWritten_ = false;
        } else if (IsTag(tag, "TD") || IsTag(tag, "TH")) {
            if (shortRow_) {
                if (cellWritten_)
                    Put("   ", 3);
            } else if (cellWritten_) {
                Break();
            }
            cellWritten_ = true;
        } else if (tag == "BR" || tag.rfind("TABLE", 0) == 0) {
            if (textSeen_ && !lineBreak_)
                Break();
        } else if (IsTag(tag, "OPTION")) {
            Break();
            Put("\t", 1);
        } else if (IsTag(tag, "SCRIPT")) {
            inScript_ = true;
        } else if (IsTag(tag, "OL") || IsTag(tag, "UL")) {
            Paragraph();
            (tag[0] == 'O' ? inOL_ : inUL_) = true;
        } else if (closing == "/OL" || closing == "/UL") {
            if (textSeen_) {
                if (closing == "/OL") {
                    inOL_ = false;
                    item_ = 0;
                } else {
                    inUL_ = false;
                }
                if (!paraBreak_)
                    Paragraph();
            }
        } else if (IsTag(tag, "LI")) {
            Break();
            if (inOL_)
                Put(std::to_string(++item_) + ". ", 0);
            else
                Put(std::string(1, static_cast<char>(149)) + " ", 0);
            col_ = 2;
        }
    }

    // Decides whether the row starting at tagEnd_ is short: its cells' text under 65 characters.
    void LookAheadRow()
    {
        std::size_t j = lastTagEnd_;
        int count = 0;
        bool inCell = false;
        while (j < s_.size()) {
            if (s_[j] == '<') {
                const auto close = s_.find('>', j);
                if (close == std::string::npos)
                    break;
                // Only a tag's first characters decide here: a long tag costs one pass.
                const std::size_t length = std::min<std::size_t>(close - j - 1, 64);
                const std::string tag = Upper(Trim(s_.substr(j + 1, length)));
                const bool whole = length == close - j - 1;
                const std::string t = NoBlanks(tag);
                j = close + 1;
                if (t.rfind("TABLE", 0) == 0)
                    return; // a nested table keeps the previous row's decision
                // The next row begins where this one ends, closed or not.
                if ((whole && (t == "/TR" || t == "/TABLE")) || IsTag(tag, "TR"))
                    break;
                if (t.rfind("TD", 0) == 0 || t.rfind("TH", 0) == 0)
                    inCell = true;
                else if (whole && (t == "/TD" || t == "/TH"))
                    inCell = false;
                else if (inCell && (IsTag(tag, "P") || tag == "BR"))
                    count = 66;
                continue;
            }
            if (inCell && count < 66)
                ++count;
            ++j;
        }
        shortRow_ = count < 65;
    }

    std::size_t Text(std::size_t i)
    {
        const unsigned char c = static_cast<unsigned char>(s_[i]);
        if (c == '&') {
            std::size_t j = i + 1;
            std::size_t semi = std::string::npos;
            for (; j < s_.size() && j <= i + 7; ++j) {
                if (s_[j] == '&')
                    break;
                if (s_[j] == ';') {
                    semi = j;
                    break;
                }
            }
            if (semi == std::string::npos) {
                Put("&", 1);
                textSeen_ = true;
                return i + 1;
            }
            const std::string name = s_.substr(i + 1, semi - i - 1);
            const std::string ch = Reference(name);
            if (!ch.empty()) {
                Put(ch, static_cast<int>(name.size()));
                textSeen_ = true;
            }
            return semi + 1;
        }
        if (c == '-') {
            if (textSeen_)
                Put("-", 1);
            return i + 1;
        }
        if (c == 31)
            return i + 1;
        if (c == ' ' || c < 31) {
            if (c == '\r' || c == '\n') {
                const char before = i > 0 ? s_[i - 1] : '>';
                if (before != '>' && before != '\r' && before != '\n')
                    Break();
            }
            if (!blank_ && !lineBreak_) {
                Put(" ", 1);
                blank_ = true;
                if (col_ >= 75)
                    Break();
            }
            return i + 1;
        }
        Put(std::string(1, static_cast<char>(c)), 1);
        textSeen_ = true;
        return i + 1;
    }

    const std::string& s_;
    std::string out_;
    int col_ = 0;
    int item_ = 0;
    std::size_t lastTagEnd_ = 0;
    bool inBody_ = false, inScript_ = false, blank_ = false, lineBreak_ = false, paraBreak_ = false,
         textSeen_ = false, inOL_ = false, inUL_ = false, shortRow_ = false, cellWritten_ = false;
};

} // namespace

std::string HTML2Text(const std::string& html)
{
    return Converter(html).Run();
}

} // namespace vexal
