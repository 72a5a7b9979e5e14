#include "RichText.h"

#include "Win1252.h"

#include <cctype>
#include <cstdlib>
#include <map>

namespace vexal::richtext {

std::string Document::PlainText() const
{
    std::string text;
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text += '\n';
        for (const Run& r : paragraphs[i].runs)
            text += r.text;
    }
    return text;
}

bool IsRichText(std::string_view header)
{
    return header.substr(0, 5) == "{\\rtf";
}

namespace {

// Letters are ASCII letters, whatever the locale.
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

void AppendCodePoint(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The reader keeps one state per open group, as RTF scopes formatting to groups.
struct State {
    Run format;
    bool skip = false;     // inside a destination whose text is not shown
    enum Dest { Text, FontTable, ColorTable, FieldInst, FieldResult } dest = Text;
    int unicodeSkip = 1;
    int fontNumber = -1;   // font being declared in the font table
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : s_(rtf) {}

    Document Read()
    {
        stack_.push_back(State{});
        doc_.paragraphs.emplace_back();
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '{') {
                ++pos_;
                stack_.push_back(stack_.back());
                if (stack_.back().dest == State::FontTable)
                    stack_.back().fontNumber = -1;
            } else if (c == '}') {
                ++pos_;
                CloseGroup();
            } else if (c == '\\') {
                ++pos_;
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                ++pos_;
            } else {
                ++pos_;
                Byte(static_cast<unsigned char>(c));
            }
        }
        // A trailing empty paragraph is only the end of the last \par, even when it took the
        // bullet of the paragraph before: keeping it would add a paragraph on every save and open.
        if (doc_.paragraphs.size() > 1 && doc_.paragraphs.back().runs.empty())
            doc_.paragraphs.pop_back();
        return doc_;
    }

private:
    State& Top() { return stack_.back(); }

    void CloseGroup()
    {
        if (stack_.size() <= 1)
            return; // stray brace: ignored
        const State closing = stack_.back();
        stack_.pop_back();
        if (closing.dest == State::FontTable && closing.fontNumber >= 0 && stack_.back().dest == State::FontTable)
            FinishFont(closing.fontNumber);
        if (closing.dest == State::FieldInst && stack_.back().dest != State::FieldInst)
            link_ = ParseHyperlink(fieldInst_);
        if (closing.dest == State::FieldResult && stack_.back().dest != State::FieldResult)
            link_.clear();
    }

    void FinishFont(int number)
    {
        std::string name = fontName_;
        while (!name.empty() && (name.back() == ';' || name.back() == ' '))
            name.pop_back();
        fonts_[number] = name;
        fontName_.clear();
    }

    static std::string ParseHyperlink(const std::string& inst)
    {
        const auto at = inst.find("HYPERLINK");
        if (at == std::string::npos)
            return {};
        const auto open = inst.find('"', at);
        if (open == std::string::npos)
            return {};
        const auto close = inst.find('"', open + 1);
        return inst.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }

    void Byte(unsigned char c)
    {
        State& st = Top();
        if (st.dest == State::FontTable) {
            if (c == ';' && st.fontNumber >= 0) {
                FinishFont(st.fontNumber);
                st.fontNumber = -2; // declared; the rest of the group is ignored
            } else if (st.fontNumber >= 0) {
                fontName_ += static_cast<char>(c);
            }
            return;
        }
        if (st.dest == State::ColorTable) {
            if (c == ';') {
                colors_.push_back(colorSet_ ? (red_ | (green_ << 8) | (blue_ << 16)) : -1);
                red_ = green_ = blue_ = 0;
                colorSet_ = false;
            }
            return;
        }
        if (st.dest == State::FieldInst) {
            fieldInst_ += static_cast<char>(c);
            return;
        }
        if (st.skip)
            return;
        Text(win1252::ToUtf8(std::string_view(reinterpret_cast<const char*>(&c), 1)));
    }

    void Text(const std::string& utf8)
    {
        State& st = Top();
        if (st.skip || st.dest == State::FontTable || st.dest == State::ColorTable)
            return;
        if (st.dest == State::FieldInst) {
            fieldInst_ += utf8;
            return;
        }
        Run format = st.format;
        format.link = link_;
        auto& runs = doc_.paragraphs.back().runs;
        if (!runs.empty()) {
            Run& last = runs.back();
            Run probe = last;
            probe.text = format.text;
            if (probe.font == format.font && probe.halfPoints == format.halfPoints && probe.bold == format.bold &&
                probe.italic == format.italic && probe.underline == format.underline && probe.strike == format.strike &&
                probe.protect == format.protect && probe.color == format.color &&
                probe.backColor == format.backColor && probe.link == format.link) {
                last.text += utf8;
                return;
            }
        }
        format.text = utf8;
        runs.push_back(format);
    }

    int32_t ColorAt(int32_t index) const
    {
        if (index <= 0 || static_cast<std::size_t>(index) >= colors_.size())
            return -1;
        return colors_[static_cast<std::size_t>(index)];
    }

    void ControlWord()
    {
        if (pos_ >= s_.size())
            return;
        const char c = s_[pos_];
        if (!IsAsciiLetter(c)) {
            ++pos_;
            if (c == '\'') {
                if (pos_ + 2 <= s_.size()) {
                    const std::string hex(s_.substr(pos_, 2));
                    pos_ += 2;
                    char* end = nullptr;
                    const long v = std::strtol(hex.c_str(), &end, 16);
                    if (end == hex.c_str() + 2)
                        Byte(static_cast<unsigned char>(v));
                }
            } else if (c == '*') {
                Top().skip = true; // an optional destination we do not know
            } else if (c == '~') {
                Text("\xC2\xA0");
            } else if (c == '_') {
                Text("-");
            } else if (c == '\\' || c == '{' || c == '}') {
                Byte(static_cast<unsigned char>(c));
            } else if (c == '\r' || c == '\n') {
                Paragraph();
            }
            return;
        }
        std::string word;
        while (pos_ < s_.size() && IsAsciiLetter(s_[pos_]))
            word += s_[pos_++];
        bool hasParam = false;
        long param = 0;
        if (pos_ < s_.size() && (s_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(s_[pos_])))) {
            std::size_t start = pos_;
            if (s_[pos_] == '-')
                ++pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) && pos_ - start < 10)
                ++pos_;
            param = std::strtol(std::string(s_.substr(start, pos_ - start)).c_str(), nullptr, 10);
            hasParam = pos_ - start > (s_[start] == '-' ? 1u : 0u);
        }
        if (pos_ < s_.size() && s_[pos_] == ' ')
            ++pos_;
        Apply(word, hasParam, param);
    }

    void Apply(const std::string& w, bool hasParam, long param)
    {
        State& st = Top();
        Run& f = st.format;
        const bool on = !hasParam || param != 0;
        if (w == "fonttbl") {
            st.dest = State::FontTable;
        } else if (w == "colortbl") {
            st.dest = State::ColorTable;
        } else if (w == "fldinst") {
            st.dest = State::FieldInst;
            st.skip = false;
            fieldInst_.clear();
        } else if (w == "fldrslt") {
            st.dest = State::FieldResult;
            st.skip = false;
        } else if (w == "stylesheet" || w == "info" || w == "pict" || w == "header" || w == "footer" ||
                   w == "pntext" || w == "object" || w == "listtable" || w == "listoverridetable") {
            st.skip = true;
        } else if (w == "pnlvlblt") {
            doc_.paragraphs.back().bullet = true;
        } else if (w == "red" && st.dest == State::ColorTable) {
            red_ = static_cast<int32_t>(param & 0xFF), colorSet_ = true;
        } else if (w == "green" && st.dest == State::ColorTable) {
            green_ = static_cast<int32_t>(param & 0xFF), colorSet_ = true;
        } else if (w == "blue" && st.dest == State::ColorTable) {
            blue_ = static_cast<int32_t>(param & 0xFF), colorSet_ = true;
        } else if (w == "f") {
            if (st.dest == State::FontTable) {
                st.fontNumber = static_cast<int>(param);
                fontName_.clear();
            } else {
                const auto it = fonts_.find(static_cast<int>(param));
                if (it != fonts_.end())
                    f.font = it->second;
            }
        } else if (w == "fs") {
            if (hasParam && param > 0 && param < 3200)
                f.halfPoints = static_cast<int32_t>(param);
        } else if (w == "b") {
            f.bold = on;
        } else if (w == "i") {
            f.italic = on;
        } else if (w == "ul") {
            f.underline = on;
        } else if (w == "ulnone") {
            f.underline = false;
        } else if (w == "strike") {
            f.strike = on;
        } else if (w == "protect") {
            f.protect = on;
        } else if (w == "cf") {
            f.color = ColorAt(static_cast<int32_t>(param));
        } else if (w == "highlight" || w == "cb" || w == "chcbpat") {
            f.backColor = ColorAt(static_cast<int32_t>(param));
        } else if (w == "plain") {
            const Run fresh;
            f.bold = f.italic = f.underline = f.strike = f.protect = false;
            f.color = f.backColor = -1;
            f.halfPoints = fresh.halfPoints;
            const auto it = fonts_.find(defaultFont_);
            f.font = it != fonts_.end() ? it->second : fresh.font;
        } else if (w == "deff") {
            defaultFont_ = static_cast<int>(param);
        } else if (w == "pard") {
            doc_.paragraphs.back().bullet = false;
        } else if (w == "par") {
            Paragraph();
        } else if (w == "line") {
            Text("\n");
        } else if (w == "tab") {
            Text("\t");
        } else if (w == "bullet") {
            Text("\xE2\x80\xA2");
        } else if (w == "emdash") {
            Text("\xE2\x80\x94");
        } else if (w == "endash") {
            Text("\xE2\x80\x93");
        } else if (w == "lquote") {
            Text("\xE2\x80\x98");
        } else if (w == "rquote") {
            Text("\xE2\x80\x99");
        } else if (w == "ldblquote") {
            Text("\xE2\x80\x9C");
        } else if (w == "rdblquote") {
            Text("\xE2\x80\x9D");
        } else if (w == "uc") {
            if (param >= 0 && param < 10)
                st.unicodeSkip = static_cast<int>(param);
        } else if (w == "u") {
            // \u takes one UTF-16 unit: characters beyond U+FFFF come as a surrogate pair.
            const uint32_t unit = static_cast<uint32_t>(param < 0 ? param + 65536 : param) & 0xFFFF;
            const int skip = st.unicodeSkip;
            if (unit >= 0xD800 && unit < 0xDC00) {
                highSurrogate_ = unit;
            } else {
                uint32_t cp = unit;
                if (unit >= 0xDC00 && unit < 0xE000)
                    cp = highSurrogate_ ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00) : 0xFFFD;
                highSurrogate_ = 0;
                std::string utf8;
                AppendCodePoint(utf8, cp);
                Text(utf8);
            }
            SkipFallback(skip);
        }
    }

    // The characters after \u that stand in for readers without Unicode.
    void SkipFallback(int count)
    {
        while (count > 0 && pos_ < s_.size()) {
            if (s_[pos_] == '\\' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '\'')
                pos_ += 4;
            else if (s_[pos_] == '{' || s_[pos_] == '}' || s_[pos_] == '\\')
                break;
            else
                ++pos_;
            --count;
        }
    }

    void Paragraph()
    {
        if (Top().skip || (Top().dest != State::Text && Top().dest != State::FieldResult))
            return;
        const bool bullet = doc_.paragraphs.back().bullet;
        doc_.paragraphs.emplace_back();
        doc_.paragraphs.back().bullet = bullet; // until the next \pard
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    uint32_t highSurrogate_ = 0; // the first half of a pair written as two \u
    std::vector<State> stack_;
    Document doc_;
    std::map<int, std::string> fonts_;
    std::string fontName_;
    int defaultFont_ = 0;
    std::vector<int32_t> colors_;
    int32_t red_ = 0, green_ = 0, blue_ = 0;
    bool colorSet_ = false;
    std::string fieldInst_;
    std::string link_;
};

// Decodes one UTF-8 sequence at i (advancing i); bad bytes come back as themselves.
uint32_t NextCodePoint(const std::string& s, std::size_t& i)
{
    const auto b = static_cast<unsigned char>(s[i++]);
    if (b < 0x80)
        return b;
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    uint32_t cp = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0Fu : b & 0x1Fu;
    if (extra == 0)
        return b;
    for (; extra > 0 && i < s.size(); --extra)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3Fu);
    return cp;
}

std::string Escaped(const std::string& utf8)
{
    static const char* const Hex = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        const uint32_t cp = NextCodePoint(utf8, i);
        if (cp == '\\' || cp == '{' || cp == '}') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp == '\n') {
            out += "\\line ";
        } else if (cp == '\t') {
            out += "\\tab ";
        } else if (cp >= 0x20 && cp < 0x80) {
            out += static_cast<char>(cp);
        } else {
            const std::string ansi = win1252::FromUtf8(utf8.substr(start, i - start));
            const auto a = ansi.empty() ? 0 : static_cast<unsigned char>(ansi[0]);
            if (ansi.size() == 1 && (a != '?' || cp == '?') && a >= 0x20) {
                out += "\\'";
                out += Hex[a >> 4];
                out += Hex[a & 15];
            } else if (cp < 0x20) {
                continue; // control characters have no place in the text
            } else {
                // \u takes a signed 16-bit unit; beyond U+FFFF the character is a surrogate pair.
                auto unit = [&out](uint32_t u) {
                    const long v = u > 32767 ? static_cast<long>(u) - 65536 : static_cast<long>(u);
                    out += "\\u" + std::to_string(v) + "?";
                };
                if (cp > 0xFFFF) {
                    unit(0xD800 + ((cp - 0x10000) >> 10));
                    unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
                } else {
                    unit(cp);
                }
            }
        }
    }
    return out;
}

} // namespace

Document ReadRtf(std::string_view rtf)
{
    return Reader(rtf).Read();
}

std::string WriteRtf(const Document& doc)
{
    std::vector<std::string> fonts;
    std::vector<int32_t> colors;
    auto fontIndex = [&](const std::string& name) {
        for (std::size_t i = 0; i < fonts.size(); ++i)
            if (fonts[i] == name)
                return i;
        fonts.push_back(name);
        return fonts.size() - 1;
    };
    auto colorIndex = [&](int32_t bgr) -> std::size_t {
        if (bgr < 0)
            return 0;
        for (std::size_t i = 0; i < colors.size(); ++i)
            if (colors[i] == bgr)
                return i + 1;
        colors.push_back(bgr);
        return colors.size();
    };
    std::string body;
    for (const Paragraph& p : doc.paragraphs) {
        body += "\\pard";
        if (p.bullet)
            body += "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent360{\\pntxtb\\'b7}}\\fi-360\\li360";
        body += ' ';
        for (const Run& r : p.runs) {
            std::string format = "\\plain\\f" + std::to_string(fontIndex(r.font)) + "\\fs" +
                                 std::to_string(r.halfPoints);
            if (r.bold)
                format += "\\b";
            if (r.italic)
                format += "\\i";
            if (r.underline)
                format += "\\ul";
            if (r.strike)
                format += "\\strike";
            if (r.protect)
                format += "\\protect";
            if (r.color >= 0)
                format += "\\cf" + std::to_string(colorIndex(r.color));
            if (r.backColor >= 0)
                format += "\\highlight" + std::to_string(colorIndex(r.backColor));
            const std::string text = "{" + format + " " + Escaped(r.text) + "}";
            if (r.link.empty())
                body += text;
            else
                body += "{\\field{\\*\\fldinst HYPERLINK \"" + Escaped(r.link) + "\"}{\\fldrslt " + text + "}}";
        }
        body += "\\par\r\n";
    }
    if (fonts.empty())
        fonts.push_back(Run{}.font);
    std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i)
        head += "{\\f" + std::to_string(i) + "\\fnil " + Escaped(fonts[i]) + ";}";
    head += "}\r\n{\\colortbl ;";
    for (int32_t c : colors)
        head += "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) + "\\blue" +
                std::to_string((c >> 16) & 0xFF) + ";";
    head += "}\r\n";
    return head + body + "}\r\n";
}

} // namespace vexal::richtext
