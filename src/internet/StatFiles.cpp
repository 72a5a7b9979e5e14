#include "StatFiles.h"

#include "VersionFile.h"

namespace vexal {

std::string CleanListingEntry(const std::string& entry)
{
    if (entry.size() >= 2 && entry.compare(entry.size() - 2, 2, "\r\n") == 0)
        return entry.substr(0, entry.size() - 2);
    return entry;
}

bool IsStatFileEntry(const std::string& entry)
{
    return entry.size() >= 3 && entry.compare(entry.size() - 3, 3, ".24") == 0;
}

bool MatchesStatPattern(const std::string& name)
{
    return LikePattern(name, StatFilePattern);
}

bool IsSafeRemoteName(const std::string& name)
{
    if (name.empty() || name.find("..") != std::string::npos)
        return false;
    for (const unsigned char c : name) {
        if (c < 32 || c == 127)
            return false;
        switch (c) {
        case '/': case '\\': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            return false;
        default:
            break;
        }
    }
    return true;
}

} // namespace vexal
