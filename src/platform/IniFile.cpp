#include "IniFile.h"

#include "RecordFile.h"
#include "Steps.h"
#include "TextDamage.h"
#include "VbConvert.h"
#include "Win1252.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace vexal {

namespace {

// The lines of a profile's text, each without its line end (a line feed, or a carriage return
// and a line feed).
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool LineHasShape(std::string_view line)
{
    // The settings store takes a carriage return on its own for a line end: those before a
    // line's first character end lines before it, as blank lines (a file of one carriage
    // return that a saved setting's section was written after).
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return true;
    const char c = line[first];
    return c == ';' || c == '#' || (c == '[' && line.find(']', first) != std::string_view::npos) ||
           line.find('=') != std::string_view::npos;
}

} // namespace

std::string ProfileTextDamage(std::string_view text)
{
    text = WithoutUtf8Mark(text);
    if (text.empty())
        return {};
    if (std::string damage = TextByteDamage(text, "settings text"); !damage.empty())
        return damage;
    // No line end after the last line is how many editors save a file, and nothing tells it
    // from a file cut there: the last line is read as it stands, as every other line is.
    std::size_t number = 0;
    for (const std::string_view line : SplitLines(text)) {
        ++number;
        if (!LineHasShape(line))
            return "line " + std::to_string(number) + " is no section, entry or comment";
    }
    return {};
}

namespace {

// The file's lines (in UTF-8), without their line ends. False when the file exists but cannot
// be read, so that a write never replaces a file it could not see. utf8Marked tells whether the
// file starts with a UTF-8 mark, so that a rewrite keeps it in that form.
bool ReadLines(const std::filesystem::path& file, std::vector<std::string>& lines, bool* utf8Marked = nullptr,
               std::string* reason = nullptr)
{
    lines.clear();
    if (utf8Marked)
        *utf8Marked = false;
    if (IsMissingFile(file))
        return true;
    std::string text, problem;
    if (!ReadWholeFile(file, text, problem, FileKind::ProfileIni)) {
        // Read at every look-up: named once, and every look-up gives its default. A caller that
        // asks for the reason names the file itself.
        if (reason)
            *reason = FailureCause(file, problem);
        else
            ReportFileProblem(file, problem + " Its settings are not used.");
        return false;
    }
    // A garbled file is not read as far as it goes: a rewrite would keep only what was
    // understood.
    if (const std::string damage = ProfileTextDamage(text); !damage.empty()) {
        if (reason)
            *reason = "it is damaged: " + damage;
        else
            ReportFileProblem(file, file.string() + " is damaged: " + damage + ". Its settings are not used.");
        return false;
    }
    ForgetFileProblem(file);
    if (utf8Marked)
        *utf8Marked = HasUtf8Mark(text);
    text = TextFileToUtf8(text);
    for (const std::string_view line : SplitLines(text))
        lines.emplace_back(line);
    return true;
}

std::string TrimBlanks(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool IsSection(const std::string& line, std::string* name)
{
    std::string t = TrimBlanks(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    auto close = t.find(']');
    if (close == std::string::npos)
        return false;
    if (name)
        *name = TrimBlanks(t.substr(1, close - 1));
    return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value)
{
    auto eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = TrimBlanks(line.substr(0, eq));
    value = TrimBlanks(line.substr(eq + 1));
    return !key.empty() && key[0] != ';';
}

bool Same(const std::string& a, const std::string& b) { return vb::UCase(a) == vb::UCase(b); }

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// A control character other than a tab: what ProfileTextDamage calls a byte no text holds.
bool HasControlCharacter(const std::string& s)
{
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F)
            return true;
    }
    return false;
}

} // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::filesystem::path& file,
                                    std::size_t bufferSize)
{
    std::string result = TrimBlanks(defaultValue);
    std::vector<std::string> lines;
    // A file that cannot be read gives the default, like a missing one.
    if (ReadLines(file, lines)) {
        bool inSection = false;
        for (const auto& line : lines) {
            std::string name;
            if (IsSection(line, &name)) {
                if (inSection)
                    break; // only the first section of that name counts
                inSection = Same(name, section);
                continue;
            }
            std::string k, v;
            if (inSection && KeyOf(line, k, v) && Same(k, key)) {
                // A value in matching quotes loses them, as the platform does.
                if (v.size() >= 2 && ((v.front() == '"' && v.back() == '"') || (v.front() == '\'' && v.back() == '\'')))
                    v = v.substr(1, v.size() - 2);
                result = v;
                break;
            }
        }
    }
    if (bufferSize == 0)
        return "";
    // The buffer keeps room for its terminating zero: a buffer of 3 holds two characters.
    if (result.size() > bufferSize - 1) {
        result.resize(bufferSize - 1);
        // Never leave half of a multi-byte character.
        while (!result.empty() && (static_cast<unsigned char>(result.back()) & 0xC0) == 0x80)
            result.pop_back();
        if (!result.empty() && (static_cast<unsigned char>(result.back()) & 0xC0) == 0xC0)
            result.pop_back();
    }
    return result;
}

namespace {

// The write of both forms; `reason`, when given, takes why it failed, and the caller names
// the file (else a file that cannot be read is named as every look-up names it).
bool WriteEntry(const std::string& section, const std::string& key, const std::string& value,
                const std::filesystem::path& file, std::string* reason)
{
    std::string unused;
    std::string& why = reason ? *reason : unused;
    why.clear();
    // A line break would split the entry and plant another key; such a write changes nothing.
    const std::string cleanSection = TrimBlanks(section);
    const std::string cleanKey = TrimBlanks(key);
    if (cleanSection.empty() || cleanKey.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)
        || cleanKey.find('=') != std::string::npos || cleanKey[0] == '[' || cleanKey[0] == ';'
        || cleanSection.find(']') != std::string::npos) {
        why = "the entry holds a line break or a name no profile entry can have";
        return false;
    }
    // The file's own reader would take the whole file for damaged: nothing is written.
    if (HasControlCharacter(section) || HasControlCharacter(key) || HasControlCharacter(value)) {
        why = "the entry holds a control character, which no profile text holds";
        return false;
    }
    std::vector<std::string> lines;
    bool utf8Marked = false;
    if (!ReadLines(file, lines, &utf8Marked, reason))
        return false;
    bool inSection = false, sectionSeen = false, written = false;
    std::size_t insertAt = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (IsSection(lines[i], &name)) {
            if (inSection)
                break; // the key is not in its section: insert after the section's last entry
            inSection = Same(name, cleanSection);
            if (inSection) {
                sectionSeen = true;
                insertAt = i + 1;
            }
            continue;
        }
        std::string k, v;
        if (inSection && KeyOf(lines[i], k, v) && Same(k, cleanKey)) {
            lines[i] = k + "=" + value;
            written = true;
            break;
        }
        if (inSection && !TrimBlanks(lines[i]).empty())
            insertAt = i + 1;
    }
    if (!written) {
        if (!sectionSeen) {
            lines.push_back("[" + cleanSection + "]");
            lines.push_back(cleanKey + "=" + value);
        } else {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), cleanKey + "=" + value);
        }
    }
    // Every line ends with CR LF, a last line read without one too: a key added after it
    // starts a line of its own instead of running on from that line's value.
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    // A file the user keeps in UTF-8 stays in UTF-8: no character of it turns into "?".
    return WriteFileAtomically(file, utf8Marked ? std::string(Utf8Mark) + text : win1252::FromUtf8(text), why);
}

} // namespace

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::filesystem::path& file)
{
    return WriteEntry(section, key, value, file, nullptr);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::filesystem::path& file, std::string& reason)
{
    return WriteEntry(section, key, value, file, &reason);
}

} // namespace vexal
