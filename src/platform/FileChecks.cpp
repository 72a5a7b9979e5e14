#include "FileChecks.h"

#include "MsgBox.h"
#include "RecordFile.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexal {

namespace {

// One row per kind: every real file of the kind is a small fraction of its limit (a season
// of a few hundred 159-byte records, a week's stat file, a formula, template or profile of a
// few kilobytes), and every limit is far below what makes a reader slow.
struct KindRow {
    FileKind kind;
    const char* name;
    std::uintmax_t bytes;
};
constexpr std::uintmax_t MiB = 1024 * 1024;
constexpr KindRow Kinds[] = {
    {FileKind::Season, "season file", 4 * MiB},
    {FileKind::Line, "line file", 1 * MiB},
    {FileKind::Formula, "formula file", 1 * MiB},
    {FileKind::Template, "template", 1 * MiB},
    {FileKind::ProfileIni, "profile file", 1 * MiB},
    {FileKind::Settings, "settings file", 1 * MiB},
    {FileKind::StatFile, "stat file", 1 * MiB},
};

const KindRow& RowOf(FileKind kind)
{
    for (const KindRow& row : Kinds)
        if (row.kind == kind)
            return row;
    return Kinds[0];
}

struct Shared {
    std::mutex lock;
    std::set<std::string> faulted;  // files a ReadFault makes unreadable
    std::set<std::string> reported; // files whose problem was shown
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

std::string NotPlain(const std::string& name, mode_t mode)
{
    if (S_ISDIR(mode))
        return name + " is a folder, not a file.";
    return name + " is not a plain file.";
}

} // namespace

std::uintmax_t SizeLimit(FileKind kind) { return RowOf(kind).bytes; }
const char* KindName(FileKind kind) { return RowOf(kind).name; }

int OpenFileToRead(const std::filesystem::path& path, FileKind kind, std::string& problem)
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
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > SizeLimit(kind)) {
        problem = name + " holds " + std::to_string(size) + " bytes, more than a " + KindName(kind) +
                  " ever does (at most " + std::to_string(SizeLimit(kind)) + "); it was not read.";
        ::close(fd);
        return -1;
    }
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (!s.reported.empty())
        s.reported.erase(Key(path)); // it reads again: a new problem with it is news
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

void ForgetReportedFiles()
{
    Shared& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.reported.clear();
}

} // namespace vexal
