#pragma once
// Names on the stats server: which listing entries are stat files, the stat-file pattern
// "*.24", and the check that a name received from a server is safe to store locally.
#include <string>

namespace vexal {

inline constexpr const char* StatFilePattern = "*.24";

// One entry of a directory listing with a trailing carriage return and line feed dropped.
std::string CleanListingEntry(const std::string& entry);
// True when the entry's last three characters are ".24".
bool IsStatFileEntry(const std::string& entry);
// True when the whole name matches "*.24".
bool MatchesStatPattern(const std::string& name);
// False for a name holding a path separator, "..", a control character or a character
// Windows forbids in file names: such a name must never become part of a local path.
bool IsSafeRemoteName(const std::string& name);

} // namespace vexal
