#include "VersionFile.h"

#include "TextDamage.h"

namespace vexal {

namespace {

// `lastLineEnds`: a value that runs to the end of the file ends there, as the last line of a
// file saved without a final line end does.
std::string Entry(const std::string& text, const std::string& key, const std::string& endMark,
                  bool lastLineEnds = false)
{
    const auto at = text.find(key);
    if (at == std::string::npos)
        return {};
    // The value starts after the key and its one blank.
    const std::size_t from = at + key.size() + 1;
    if (from > text.size())
        return {};
    auto end = text.find(endMark, at + 7);
    if (end == std::string::npos && lastLineEnds)
        end = text.size();
    if (end == std::string::npos || end < from)
        return {};
    return text.substr(from, end - from);
}

bool MatchFrom(const std::string& s, std::size_t si, const std::string& p, std::size_t pi)
{
    while (pi < p.size()) {
        const char c = p[pi];
        if (c == '*') {
            while (pi < p.size() && p[pi] == '*')
                ++pi;
            if (pi == p.size())
                return true;
            for (std::size_t k = si; k <= s.size(); ++k)
                if (MatchFrom(s, k, p, pi))
                    return true;
            return false;
        }
        if (si >= s.size())
            return false;
        if (c == '?') {
            ++si, ++pi;
        } else if (c == '#') {
            if (s[si] < '0' || s[si] > '9')
                return false;
            ++si, ++pi;
        } else if (c == '[') {
            const auto close = p.find(']', pi + 1);
            if (close == std::string::npos)
                return false; // an unclosed list matches nothing
            std::size_t q = pi + 1;
            bool negate = false;
            if (q < close && p[q] == '!')
                negate = true, ++q;
            bool found = false;
            for (; q < close; ++q) {
                if (q + 2 < close && p[q + 1] == '-') {
                    if (s[si] >= p[q] && s[si] <= p[q + 2])
                        found = true;
                    q += 2;
                } else if (s[si] == p[q]) {
                    found = true;
                }
            }
            if (found == negate)
                return false;
            ++si;
            pi = close + 1;
        } else {
            if (s[si] != c)
                return false;
            ++si, ++pi;
        }
    }
    return si == s.size();
}

} // namespace

VersionFile ParseVersionFile(const std::string& fileText)
{
    const std::string text(WithoutUtf8Mark(fileText));
    VersionFile file;
    // A file written with CR LF line ends means the same as one with LF alone.
    auto line = [&](const char* key) {
        std::string value = Entry(text, key, "\n", true);
        if (!value.empty() && value.back() == '\r')
            value.pop_back();
        return value;
    };
    file.Version = line("Version =");
    file.DownloadURL = line("DownloadURL =");
    file.CustomData = Entry(text, "CustomData =", "--end--");
    file.OtherData = Entry(text, "OtherData =", "--end--");
    return file;
}

bool LikePattern(const std::string& text, const std::string& pattern)
{
    return MatchFrom(text, 0, pattern, 0);
}

bool IsCurrentVersion(const std::string& published, const std::string& running)
{
    return LikePattern(published, running);
}

} // namespace vexal
