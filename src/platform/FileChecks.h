#pragma once
// The one check before any file the user can damage or replace is read: it must be a plain
// file, readable, and no larger than a real file of its kind ever is. A folder, a pipe, a
// device or a gigabyte is refused at once with words that name the file, so no reader waits
// on it or takes it into memory.
#include <cstdint>
#include <filesystem>
#include <string>

namespace vexal {

enum class FileKind { Season, Line, Formula, Template, ProfileIni, Settings, StatFile };

// The most bytes a file of the kind may hold, and what the kind is called in a message.
std::uintmax_t SizeLimit(FileKind kind);
const char* KindName(FileKind kind);

// Opens the file for reading without ever waiting on it. The descriptor (close it), or -1
// with the problem in a sentence naming the file: "... was not found.", "... is a folder, not
// a file.", "... is not a plain file.", "... could not be read: permission denied.", or its
// size against the kind's limit.
int OpenFileToRead(const std::filesystem::path& path, FileKind kind, std::string& problem);
// The same check with nothing kept open.
bool CheckFileToRead(const std::filesystem::path& path, FileKind kind, std::string& problem);
// Whether a problem is only that the file is not there (most readers take that as empty).
bool IsMissingFile(const std::filesystem::path& path);

// For tests of files that cannot be read, which a read-only mode does not give the superuser:
// while one lives, opening `file` to read fails with "permission denied".
class ReadFault {
public:
    explicit ReadFault(std::filesystem::path file);
    ~ReadFault();
    ReadFault(const ReadFault&) = delete;
    ReadFault& operator=(const ReadFault&) = delete;

private:
    std::string file_;
};

// Shows the problem of a file the program could not read, once: the same file is not
// reported again until it has been read whole or a new message service is installed, so a
// file read at every refresh is named once, not at every refresh.
void ReportFileProblem(const std::filesystem::path& path, const std::string& text);
// Forgets what was reported (a new run of the program, or a new message service in tests).
void ForgetReportedFiles();

} // namespace vexal
