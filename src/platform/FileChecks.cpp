#include "FileChecks.h"

#include "MsgBox.h"
#include "RecordFile.h"

#include <cerrno>
#include <limits>
#include <map>
#include <mutex>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexal {

namespace {

constexpr std::uintmax_t MiB = 1024 * 1024;

// Every real file of a kind is a small fraction of its limit (a season of a few hundred
// 159-byte records, a week's stat file, a formula, template or profile of a few kilobytes),
// and every limit is far below what makes a reader slow. Every kind is named here, so a new
// one does not compile until its limit and name are chosen.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
struct KindRow {
    const char* name;
    std::uintmax_t bytes;
};

KindRow RowOf(FileKind kind)
{
    switch (kind) {
    case FileKind::Season: return {"season file", 4 * MiB};
    case FileKind::Line: return {"line file", 1 * MiB};
    case FileKind::Formula: return {"formula file", 1 * MiB};
    case FileKind::Template: return {"template", 1 * MiB};
    case FileKind::ProfileIni: return {"profile file", 1 * MiB};
    case FileKind::Settings: return {"settings file", 1 * MiB};
    case FileKind::StatFile: return {"stat file", 1 * MiB};
    // The longest report or log is a few megabytes; the editor shows no more in reasonable time.
    case FileKind::Document: return {"document", 64 * MiB};
    }
    // Only a value cast from outside the enumeration reaches here: the smallest limit.
    return {"file", 1 * MiB};
}
#pragma GCC diagnostic pop

struct Shared {
    std::mutex lock;
    std::set<std::string> faulted;  // files a ReadFault makes unreadable
    struct FailingRead {
        std::uintmax_t bytes = 0; // where the reads fail
        int wholeReads = 0;       // opens whose reads go whole before they do
        int opened = 0;           // opens to read since the fault was armed
    };
    std::map<std::string, FailingRead> failingReads; // files a ReadErrorFault breaks
    std::set<std::string> reported; // files whose problem was shown
    std::multiset<std::string> undeletable; // files a RemoveFault keeps ("" for every file)
};

Shared& State()
{
    static Shared state;
    return state;
}

std::string Key(const std::filesystem::path& path) { return path.lexically_normal().string(); }

bool Faulted(const std::filesystem::path& path)
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return !s.faulted.empty() && s.faulted.count(Key(path)) > 0;
}

// An open to read of a file a ReadErrorFault waits to break after its whole reads.
void CountOpenToRead(const std::filesystem::path& path)
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (s.failingReads.empty())
        return;
    if (const auto found = s.failingReads.find(Key(path)); found != s.failingReads.end())
        ++found->second.opened;
}

std::string NotPlain(const std::string& name, mode_t mode)
{
    if (S_ISDIR(mode))
        return name + " is a folder, not a file.";
    return name + " is not a plain file.";
}

} // namespace

std::uintmax_t SizeLimit(FileKind kind) { return RowOf(kind).bytes; }
const char* KindName(FileKind kind) { return RowOf(kind).name; }

int OpenFileToRead(const std::filesystem::path& path, FileKind kind, std::string& problem, std::uintmax_t* size)
{
    problem.clear();
    const std::string name = path.string();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        problem = error == ENOENT ? name + " was not found." : name + " could not be read: " + ReasonOfError(error) + ".";
        return -1;
    }
    // Checked before the open: opening a pipe waits for a writer, opening a device may act.
    if (!S_ISREG(info.st_mode)) {
        problem = NotPlain(name, info.st_mode);
        return -1;
    }
    if (Faulted(path)) {
        problem = name + " could not be read: " + ReasonOfError(EACCES) + ".";
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        problem = name + " could not be read: " + ReasonOfError(errno) + ".";
        return -1;
    }
    // What was opened is what counts: the name may have been replaced since it was looked at.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = NotPlain(name, info.st_mode);
        ::close(fd);
        return -1;
    }
    const auto bytes = static_cast<std::uintmax_t>(info.st_size);
    if (bytes > SizeLimit(kind)) {
        problem = name + " holds " + std::to_string(bytes) + " bytes, more than a " + KindName(kind) +
                  " ever does (at most " + std::to_string(SizeLimit(kind)) + "); it was not read.";
        ::close(fd);
        return -1;
    }
    if (size)
        *size = bytes;
    CountOpenToRead(path);
    return fd;
}

bool CheckFileToRead(const std::filesystem::path& path, FileKind kind, std::string& problem)
{
    const int fd = OpenFileToRead(path, kind, problem);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool IsMissingFile(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

ReadFault::ReadFault(std::filesystem::path file) : file_(Key(file))
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.faulted.insert(file_);
}

ReadFault::~ReadFault()
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.faulted.erase(file_);
}

bool RemoveFile(const std::filesystem::path& path, std::string& reason)
{
    {
        Shared& s = State();
        std::lock_guard<std::mutex> hold(s.lock);
        if (s.undeletable.count(std::string()) > 0 || s.undeletable.count(Key(path)) > 0) {
            reason = ReasonOfError(EACCES);
            return false;
        }
    }
    if (::unlink(path.c_str()) == 0)
        return true;
    const int error = errno;
    std::error_code ec;
    if (error == ENOENT)
        reason = "it is no longer there";
    else if (error == EISDIR || std::filesystem::is_directory(std::filesystem::symlink_status(path, ec)))
        reason = "it is a folder, not a file";
    else
        reason = ReasonOfError(error);
    return false;
}

std::string RemoveFailure(const std::filesystem::path& path, const std::string& reason)
{
    return path.string() + " could not be deleted: " + reason + ".";
}

RemoveFault::RemoveFault(std::filesystem::path file) : file_(file.empty() ? std::string() : Key(file))
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.undeletable.insert(file_);
}

RemoveFault::~RemoveFault()
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.undeletable.erase(s.undeletable.find(file_));
}

ReadErrorFault::ReadErrorFault(std::filesystem::path file, std::uintmax_t bytes, int wholeReads) : file_(Key(file))
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.failingReads[file_] = {bytes, wholeReads, 0};
}

ReadErrorFault::~ReadErrorFault()
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.failingReads.erase(file_);
}

std::uintmax_t BytesBeforeReadError(const std::filesystem::path& file)
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (s.failingReads.empty())
        return std::numeric_limits<std::uintmax_t>::max();
    const auto found = s.failingReads.find(Key(file));
    if (found == s.failingReads.end() ||
        (found->second.wholeReads > 0 && found->second.opened <= found->second.wholeReads))
        return std::numeric_limits<std::uintmax_t>::max();
    return found->second.bytes;
}

std::string ReadFailure(const std::filesystem::path& path, int errorNumber)
{
    return path.string() + " could not be read: " + ReasonOfError(errorNumber) + ".";
}

void ReportFileProblem(const std::filesystem::path& path, const std::string& text)
{
    {
        Shared& s = State();
        std::lock_guard<std::mutex> hold(s.lock);
        if (!s.reported.insert(Key(path)).second)
            return;
    }
    MsgBox(text, vbExclamation);
}

void ForgetFileProblem(const std::filesystem::path& path)
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (!s.reported.empty())
        s.reported.erase(Key(path));
}

void ForgetReportedFiles()
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.reported.clear();
}

} // namespace vexal
