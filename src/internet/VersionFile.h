#pragma once
// The version file the web site publishes: the published version, the installer's address
// and the two rich-text halves of the update notice. Each key is followed by one blank; the
// version and address end at the line feed (a carriage return before it is not theirs), the two notice halves at "--end--".
#include <string>

namespace vexal {

struct VersionFile {
    std::string Version;
    std::string DownloadURL;
    std::string CustomData;
    std::string OtherData;
};

// Reads the four entries from the whole text. A missing key or end mark gives an empty
// entry (so a file without a usable version always reads as a failed check).
VersionFile ParseVersionFile(const std::string& text);

// Case-sensitive pattern test with "?", "*", "#" and "[...]" lists ("[!...]" negates).
bool LikePattern(const std::string& text, const std::string& pattern);

// True when the published version is the running one (the running version is the pattern).
bool IsCurrentVersion(const std::string& published, const std::string& running);

} // namespace vexal
