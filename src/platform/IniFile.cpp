#include "IniFile.h"

#include "RecordFile.h"
#include "VbConvert.h"
#include "Win1252.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace vexal {

namespace {

// The file's lines (in UTF-8), without their line ends. False when the file exists but cannot
// be read, so that a write never replaces a file it could not see.
bool ReadLines(const std::filesystem::path& file, std::vector<std::string>& lines)
{
    lines.clear();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return !ec;
    if (!std::filesystem::is_regular_file(file, ec))
        return false;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad())
        return false;
    std::string text = all.str();
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3); // a UTF-8 mark left by an editor
    else
        text = win1252::ToUtf8(text);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
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

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::filesystem::path& file)
{
    // A line break would split the entry and plant another key; such a write changes nothing.
    const std::string cleanSection = TrimBlanks(section);
    const std::string cleanKey = TrimBlanks(key);
    if (cleanSection.empty() || cleanKey.empty() || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)
        || cleanKey.find('=') != std::string::npos || cleanKey[0] == '[' || cleanKey[0] == ';'
        || cleanSection.find(']') != std::string::npos)
        return false;
    std::vector<std::string> lines;
    if (!ReadLines(file, lines))
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
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    return WriteFileAtomically(file, win1252::FromUtf8(text));
}

} // namespace vexal
