#include "SettingsText.h"

#include <algorithm>

namespace vexal {

namespace {

bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimmedSpace(std::string_view s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimmedBlanks(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The next line of the text as the store reads it, from `pos` on: blanks and comment lines
// before it are passed over; a line end inside quotes or after a backslash does not end it;
// a ";" outside quotes ends it (what follows is a comment). False at the end of the text.
bool NextStoreLine(std::string_view text, std::size_t& pos, std::size_t& begin, std::size_t& end, std::size_t& equals)
{
    const std::size_t n = text.size();
    begin = pos;
    while (begin < n && IsLineBlank(text[begin]))
        ++begin;
    equals = std::string_view::npos;
    bool quoted = false;
    std::size_t i = begin;
    while (i < n) {
        const char c = text[i];
        if (c == '=') {
            if (!quoted && equals == std::string_view::npos)
                equals = i;
        } else if (c == '\n' || c == '\r') {
            if (!quoted)
                break;
        } else if (c == '\\') {
            if (i + 1 < n) {
                const char next = text[++i];
                if (i + 1 < n && ((next == '\n' && text[i + 1] == '\r') || (next == '\r' && text[i + 1] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == begin) {
                while (i < n && text[i] != '\n' && text[i] != '\r')
                    ++i;
                while (i < n && IsLineBlank(text[i]))
                    ++i;
                begin = i;
                continue;
            }
            if (!quoted)
                break;
        }
        ++i;
    }
    pos = i;
    end = i;
    return end > begin;
}

// A key or section name as the store reads it: UTF-8, "\" for "/", %XX and %UXXXX escapes.
QString StoreName(std::string_view text)
{
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QString name;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded.at(i);
        if (c == u'\\') {
            name += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == decoded.size() - 1) {
            name += c;
            ++i;
            continue;
        }
        const bool wide = decoded.at(i + 1) == u'U';
        const qsizetype first = i + (wide ? 2 : 1), digits = wide ? 4 : 2;
        // The digits are an unsigned number to the store: "%U-FFF" is no escape but the text
        // it is written as.
        bool ok = false;
        const ushort code = first + digits <= decoded.size() ? QStringView(decoded).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            name += u'%';
            ++i;
            continue;
        }
        name += QChar(code);
        i = first + digits;
    }
    return name;
}

// The store files a key under a path with an empty part ("A\\B") where no look-up finds it.
bool FoundByPath(const QString& path)
{
    return !path.isEmpty() && !path.startsWith(u'/') && !path.endsWith(u'/') && !path.contains(QLatin1String("//"));
}

} // namespace

SettingsText SettingsText::Read(std::string_view text)
{
    SettingsText read;
    read.sections.push_back({});
    const std::size_t origin = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t pos = origin, begin = 0, end = 0, equals = 0;
    std::size_t line = 1, counted = 0; // the line number of the byte at `counted`
    while (NextStoreLine(text, pos, begin, end, equals)) {
        for (; counted < begin; ++counted)
            if (text[counted] == '\n')
                ++line;
        const std::string_view whole = text.substr(begin, end - begin);
        if (whole.front() == '[') {
            const std::size_t close = whole.find(']');
            const std::string_view name =
                TrimmedSpace(whole.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            SettingsTextSection section{end, {}};
            const QLatin1String general("general");
            if (QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).compare(general, Qt::CaseInsensitive) != 0) {
                if (name.size() == 8 && name.front() == '%' &&
                    QString::fromLatin1(name.data() + 1, 7).compare(general, Qt::CaseInsensitive) == 0)
                    section.prefix = QString::fromLatin1(name.data() + 1, 7);
                else
                    section.prefix = StoreName(name);
                section.prefix += u'/';
            }
            read.sections.push_back(section);
            continue;
        }
        if (equals == std::string_view::npos)
            continue;
        SettingsTextEntry entry;
        entry.line = line;
        entry.begin = begin;
        entry.end = end;
        entry.section = read.sections.size() - 1;
        const std::string_view key = TrimmedSpace(text.substr(begin, equals - begin));
        entry.key = std::string(key);
        entry.path = read.sections.back().prefix + StoreName(key);
        entry.found = FoundByPath(entry.path);
        const std::string_view value = TrimmedBlanks(text.substr(equals + 1, end - equals - 1));
        entry.valueBegin = value.empty() ? equals + 1 : static_cast<std::size_t>(value.data() - text.data());
        entry.valueEnd = entry.valueBegin + value.size();
        entry.value = std::string(value);
        entry.plainValue = entry.value.empty() || entry.value.front() != '@';
        for (const char c : entry.value) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u > 0x7E || c == '"' || c == '\\' || c == ',' || c == ';')
                entry.plainValue = false;
        }
        read.entries.push_back(std::move(entry));
    }
    return read;
}

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

bool IsHexDigit(char16_t c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

void AppendHex(std::string& out, unsigned value, int digits)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += HexDigits[(value >> shift) & 0xF];
}

// A character as the store escapes it in a value: "\x" and its code in lower-case hex digits.
void AppendValueEscape(std::string& out, char16_t code)
{
    constexpr char lower[] = "0123456789abcdef";
    out += "\\x";
    if (code > 0xF)
        out += lower[code >> 4];
    out += lower[code & 0xF];
}

// Where the line holding `pos` ends: its line end, or the end of the text.
std::size_t LineEndFrom(std::string_view text, std::size_t pos)
{
    const std::size_t end = text.find_first_of("\r\n", pos);
    return end == std::string_view::npos ? text.size() : end;
}

// Where the line holding `pos` starts (after a UTF-8 mark on the first line).
std::size_t LineStartOf(std::string_view text, std::size_t pos)
{
    const std::size_t origin = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    const std::size_t before = pos == 0 ? std::string_view::npos : text.find_last_of("\r\n", pos - 1);
    return before == std::string_view::npos || before < origin ? std::min(origin, pos) : before + 1;
}

// The line end the text's first line ends with, a line feed when it has none.
std::string_view LineEndOf(std::string_view text)
{
    const std::size_t at = text.find_first_of("\r\n");
    if (at != std::string_view::npos && text.substr(at, 2) == "\r\n")
        return "\r\n";
    return "\n";
}

bool EndsWithLineEnd(std::string_view text) { return !text.empty() && (text.back() == '\n' || text.back() == '\r'); }

// What the store reads of the edited text is what the edit meant: the entries of `path` hold
// `value` as written, and every other entry is the one the text held before, in its order.
bool ReadsAsMeant(const SettingsText& before, std::string_view edited, const QString& path, const std::string& value)
{
    const SettingsText after = SettingsText::Read(edited);
    std::size_t other = 0;
    bool written = false;
    for (const SettingsTextEntry& e : after.entries) {
        if (e.path == path) {
            if (e.value != value)
                return false;
            written = true;
            continue;
        }
        while (other < before.entries.size() && before.entries[other].path == path)
            ++other;
        if (other == before.entries.size() || before.entries[other].path != e.path ||
            before.entries[other].value != e.value)
            return false;
        ++other;
    }
    while (other < before.entries.size() && before.entries[other].path == path)
        ++other;
    return written && other == before.entries.size();
}

} // namespace

std::string SettingsKeyText(const QString& relativePath)
{
    std::string out;
    for (const QChar c : relativePath) {
        const char16_t u = c.unicode();
        if (u == u'/')
            out += '\\';
        else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
                 u == u'-' || u == u'.')
            out += static_cast<char>(u);
        else if (u <= 0xFF) {
            out += '%';
            AppendHex(out, u, 2);
        } else {
            out += "%U";
            AppendHex(out, u, 4);
        }
    }
    return out;
}

std::string SettingsValueText(const QString& value)
{
    // The store's own marks: a text that starts with "@" doubles it, and one holding a NUL is
    // written as a String variant.
    QString text = value;
    if (text.contains(QChar(0)))
        text = QStringLiteral("@String(") + text + u')';
    else if (text.startsWith(u'@'))
        text.prepend(u'@');
    std::string out;
    bool needsQuotes = false, hexBefore = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u == u';' || u == u',' || u == u'=')
            needsQuotes = true;
        // A digit after a numeric escape would be read as part of it.
        if (hexBefore && IsHexDigit(u)) {
            AppendValueEscape(out, u);
            continue;
        }
        hexBefore = false;
        switch (u) {
        case 0: out += "\\0"; hexBefore = true; break;
        case u'\a': out += "\\a"; break;
        case u'\b': out += "\\b"; break;
        case u'\f': out += "\\f"; break;
        case u'\n': out += "\\n"; break;
        case u'\r': out += "\\r"; break;
        case u'\t': out += "\\t"; break;
        case u'\v': out += "\\v"; break;
        case u'"':
        case u'\\':
            out += '\\';
            out += static_cast<char>(u);
            break;
        default:
            // Control bytes (DEL too, which the store would write as it is) are escaped: no
            // byte a text does not hold reaches the file.
            if (u <= 0x1F || u == 0x7F) {
                AppendValueEscape(out, u);
                hexBefore = true;
            } else if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += text.sliced(i, 2).toStdString();
                ++i;
            } else {
                out += QString(text.at(i)).toStdString();
            }
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

std::optional<std::string> SettingsTextWithValue(std::string_view text, const QString& path, const QString& value)
{
    const SettingsText read = SettingsText::Read(text);
    const std::string written = SettingsValueText(value);
    std::string edited(text);
    bool held = false;
    // From the last entry back, so the places of those before stay as read.
    for (auto e = read.entries.rbegin(); e != read.entries.rend(); ++e) {
        if (e->path != path)
            continue;
        edited.replace(e->valueBegin, e->valueEnd - e->valueBegin, written);
        held = true;
    }
    if (!held) {
        // The section that holds the most of the path's groups, the first of its name; its
        // entry goes after its last entry, or after its heading.
        std::size_t section = 0;
        for (std::size_t i = 1; i < read.sections.size(); ++i) {
            const QString& prefix = read.sections[i].prefix;
            if (!prefix.isEmpty() && path.size() > prefix.size() && path.startsWith(prefix) &&
                (section == 0 || prefix.size() > read.sections[section].prefix.size()))
                section = i;
        }
        const std::string_view lineEnd = LineEndOf(text);
        if (section == 0) {
            const qsizetype group = path.indexOf(u'/');
            // Appended piece by piece: GCC 12 takes a "[" + text chain for an overlapping copy.
            std::string added = "[";
            added += SettingsKeyText(path.first(group));
            added += ']';
            added += lineEnd;
            added += SettingsKeyText(path.sliced(group + 1));
            added += '=';
            added += written;
            if (text.empty() || EndsWithLineEnd(text))
                edited += added + std::string(lineEnd);
            else
                edited += std::string(lineEnd) + added;
        } else {
            std::size_t after = read.sections[section].headingEnd;
            for (const SettingsTextEntry& e : read.entries)
                if (e.section == section)
                    after = e.end;
            const std::string added = std::string(lineEnd) +
                                      SettingsKeyText(path.sliced(read.sections[section].prefix.size())) + "=" + written;
            edited.insert(LineEndFrom(text, after), added);
        }
    }
    if (!ReadsAsMeant(read, edited, path, written))
        return std::nullopt;
    return edited;
}

std::string SettingsTextWithout(std::string_view text, const QString& path)
{
    const SettingsText read = SettingsText::Read(text);
    std::string edited(text);
    for (auto e = read.entries.rbegin(); e != read.entries.rend(); ++e) {
        if (e->path != path)
            continue;
        const std::size_t start = LineStartOf(text, e->begin);
        std::size_t stop = e->end;
        const std::size_t lineEnd = LineEndFrom(text, stop);
        if (text.substr(stop, lineEnd - stop).find_first_not_of(" \t") == std::string_view::npos) {
            // The whole line goes, with its line end.
            stop = lineEnd;
            if (text.substr(stop, 2) == "\r\n")
                stop += 2;
            else if (stop < text.size())
                ++stop;
        } else {
            // A comment after the entry stays on its line.
            while (stop < lineEnd && (text[stop] == ' ' || text[stop] == '\t'))
                ++stop;
        }
        edited.erase(start, stop - start);
    }
    return edited;
}

} // namespace vexal
