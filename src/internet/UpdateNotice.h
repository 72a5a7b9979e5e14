#pragma once
// The update notice update.rtf: the text written from a version check's outcome, and its
// writing into the program folder. The RTF header and closing brace come with the custom
// and other data of the version file.
#include <filesystem>
#include <string>

namespace vexal {

// The running program's version, "major.minor.revision".
std::string ProgramVersion();

std::string UpToDateNoticeText(const std::string& running, const std::string& customData,
                               const std::string& otherData);
std::string NewVersionNoticeText(const std::string& published, const std::string& running,
                                 const std::string& downloadURL, const std::string& customData,
                                 const std::string& otherData);

// Writes the text as the program folder's update.rtf, replacing it whole (a failed write
// leaves the old file); returns the path, or an empty path when it could not be written, with
// the file and the cause the write met in `problem`.
std::filesystem::path WriteUpdateNotice(const std::string& text, std::string& problem);

} // namespace vexal
