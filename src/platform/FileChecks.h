#pragma once
// The one check before any file the user can damage or replace is read: it must be a plain
// file, readable, and no larger than a real file of its kind ever is. A folder, a pipe, a
// device or a gigabyte is refused at once with words that name the file, so no reader waits
// on it or takes it into memory.
#include <cstdint>
#include <filesystem>
#include <string>

namespace vexal {

// Document: a page or document the viewer shows or prints (a report, the update notice, a
// formula test's log, a file the user opens).
enum class FileKind { Season, Line, Formula, Template, ProfileIni, Settings, StatFile, Document };

// The most bytes a file of the kind may hold, and what the kind is called in a message.
std::uintmax_t SizeLimit(FileKind kind);
const char* KindName(FileKind kind);

// Opens the file for reading without ever waiting on it. The descriptor (close it), or -1
// with the problem in a sentence naming the file: "... was not found.", "... is a folder, not
// a file.", "... is not a plain file.", "... could not be read: permission denied.", or its
// size against the kind's limit. `size`, when given, receives the file's size as opened.
int OpenFileToRead(const std::filesystem::path& path, FileKind kind, std::string& problem,
                   std::uintmax_t* size = nullptr);
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

// For tests of a file that opens but cannot be read whole, as on a failing disk: while one
// lives, a read of `file` through this layer (ReadWholeFile, RecordFile) that reaches past its
// first `bytes` bytes fails with an input/output error; the bytes before come as they are.
// The open itself succeeds. With `wholeReads`, the file's first that many opens to read
// (OpenFileToRead) read whole, and only the reads after fail: a disk that fails the second
// read of a file the program reads twice.
class ReadErrorFault {
public:
    explicit ReadErrorFault(std::filesystem::path file, std::uintmax_t bytes = 0, int wholeReads = 0);
    ~ReadErrorFault();
    ReadErrorFault(const ReadErrorFault&) = delete;
    ReadErrorFault& operator=(const ReadErrorFault&) = delete;

private:
    std::string file_;
};
// How many bytes of `file` read before an armed ReadErrorFault fails the next read (the
// largest value when none is armed): a reader that reads by its own means reads no further
// and fails the read after them with EIO.
std::uintmax_t BytesBeforeReadError(const std::filesystem::path& file);

// A read of the file that failed after it opened, in the words every reader uses:
// "<path> could not be read: <reason>."
std::string ReadFailure(const std::filesystem::path& path, int errorNumber);

// Deletes a file the user asked to delete (a formula, a line file, a consensus copy). False
// with the cause in words for RemoveFailure when the system refuses ("permission denied", "it
// is no longer there"), the file then left as it was.
bool RemoveFile(const std::filesystem::path& path, std::string& reason);
// "<path> could not be deleted: <reason>.", as WriteFailure names a failed write.
std::string RemoveFailure(const std::filesystem::path& path, const std::string& reason);
// For tests of a delete the folder refuses, which a folder's modes do not make for the
// superuser the tests run as: while one lives, RemoveFile of `file`, or of every file when it
// is empty, fails with "permission denied".
class RemoveFault {
public:
    explicit RemoveFault(std::filesystem::path file = {});
    ~RemoveFault();
    RemoveFault(const RemoveFault&) = delete;
    RemoveFault& operator=(const RemoveFault&) = delete;

private:
    std::string file_;
};

// Shows the problem of a file the program could not read, or read but found damaged, once:
// the same file is not reported again until a reader found it whole and sound
// (ForgetFileProblem) or a new message service is installed, so a file read at every refresh
// is named once, not at every refresh.
void ReportFileProblem(const std::filesystem::path& path, const std::string& text);
// The file was read whole and sound: a later problem with it is news.
void ForgetFileProblem(const std::filesystem::path& path);
// Forgets what was reported (a new run of the program, or a new message service in tests).
void ForgetReportedFiles();

} // namespace vexal
