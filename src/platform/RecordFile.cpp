#include "RecordFile.h"

#include "FileChecks.h"
#include "MsgBox.h"
#include "VbError.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <chrono>
#include <sstream>
#include <system_error>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexal {

namespace {

// The armed write fault, if any: the bytes still allowed and the file it applies to.
struct FaultState {
    std::mutex lock;
    bool armed = false;
    bool atSync = false;
    std::uintmax_t remaining = 0;
    std::filesystem::path file;
};

FaultState& Fault()
{
    static FaultState state;
    return state;
}

// How many of `wanted` bytes to `target` may be written before the armed fault strikes.
std::size_t AllowedBytes(const std::filesystem::path& target, std::size_t wanted)
{
    FaultState& f = Fault();
    std::lock_guard<std::mutex> hold(f.lock);
    if (!f.armed || f.atSync || (!f.file.empty() && f.file.lexically_normal() != target.lexically_normal()))
        return wanted;
    const auto allowed = static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, f.remaining));
    f.remaining -= allowed;
    return allowed;
}

// Waits until what was written to the open file `target` is on the disk: 0, or the
// system's error number (the armed sync fault's EIO).
int SyncToDisk(int descriptor, const std::filesystem::path& target)
{
    {
        FaultState& f = Fault();
        std::lock_guard<std::mutex> hold(f.lock);
        if (f.armed && f.atSync && (f.file.empty() || f.file.lexically_normal() == target.lexically_normal()))
            return EIO;
    }
    while (::fsync(descriptor) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The armed batch sync log, if any.
struct SyncLogState {
    std::mutex lock;
    bool armed = false;
    std::vector<BatchSyncLog::Synced> files;
};

SyncLogState& SyncLog()
{
    static SyncLogState state;
    return state;
}

// A batch's wait for one file: SyncToDisk, with the file listed in the armed log.
int SyncBatchFile(int descriptor, const std::filesystem::path& file)
{
    {
        SyncLogState& log = SyncLog();
        std::lock_guard<std::mutex> hold(log.lock);
        struct stat synced {};
        if (log.armed && ::fstat(descriptor, &synced) == 0)
            log.files.push_back(
                {file, static_cast<std::uintmax_t>(synced.st_dev), static_cast<std::uintmax_t>(synced.st_ino)});
    }
    return SyncToDisk(descriptor, file);
}

} // namespace

BatchSyncLog::BatchSyncLog()
{
    SyncLogState& log = SyncLog();
    std::lock_guard<std::mutex> hold(log.lock);
    log.armed = true;
    log.files.clear();
}

BatchSyncLog::~BatchSyncLog()
{
    SyncLogState& log = SyncLog();
    std::lock_guard<std::mutex> hold(log.lock);
    log.armed = false;
    log.files.clear();
}

std::vector<BatchSyncLog::Synced> BatchSyncLog::Files() const
{
    SyncLogState& log = SyncLog();
    std::lock_guard<std::mutex> hold(log.lock);
    return log.files;
}

WriteFault::WriteFault(std::uintmax_t bytes, std::filesystem::path file)
{
    FaultState& f = Fault();
    std::lock_guard<std::mutex> hold(f.lock);
    f.armed = true;
    f.atSync = false;
    f.remaining = bytes;
    f.file = std::move(file);
}

WriteFault::WriteFault(AtSyncTag, std::filesystem::path file)
{
    FaultState& f = Fault();
    std::lock_guard<std::mutex> hold(f.lock);
    f.armed = true;
    f.atSync = true;
    f.remaining = 0;
    f.file = std::move(file);
}

WriteFault::~WriteFault()
{
    FaultState& f = Fault();
    std::lock_guard<std::mutex> hold(f.lock);
    f.armed = false;
    f.atSync = false;
    f.file.clear();
}

RecordSyncBatch::~RecordSyncBatch()
{
    for (const Pending& p : pending_)
        ::close(p.descriptor);
}

void RecordSyncBatch::Written(const std::filesystem::path& file, int descriptor, std::uintmax_t device,
                              std::uintmax_t inode)
{
    // The record went into the open file `descriptor`: one already written, or a new one (a
    // rewrite put a file at the path since).
    for (Pending& p : pending_)
        if (p.file == file && p.device == device && p.inode == inode) {
            ++p.records;
            return;
        }
    // Kept open until Finish, so that no file made meanwhile (a later rewrite's) can be given
    // this one's identity and pass for it.
    const int fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        throw VbError(57, file.string() + " could not be kept to wait for the disk: " + ReasonOfError(errno) + ".");
    pending_.push_back({file, fd, device, inode, 1});
}

std::vector<RecordSyncBatch::Failure> RecordSyncBatch::Finish()
{
    std::vector<Failure> failures;
    std::vector<bool> done(pending_.size(), false);
    for (std::size_t i = 0; i < pending_.size(); ++i) {
        if (done[i])
            continue;
        const std::filesystem::path file = pending_[i].file;
        struct stat now {};
        const bool there = ::stat(file.c_str(), &now) == 0;
        const Pending* current = nullptr;
        int32_t everyRecord = 0;
        for (std::size_t j = i; j < pending_.size(); ++j) {
            const Pending& p = pending_[j];
            if (p.file != file)
                continue;
            done[j] = true;
            everyRecord += p.records;
            if (there && p.device == static_cast<std::uintmax_t>(now.st_dev) &&
                p.inode == static_cast<std::uintmax_t>(now.st_ino))
                current = &p;
        }
        // A file of the path that a rewrite replaced is not waited for: its records are in the
        // rewrite's file, which the rewrite put on the disk before it took the path.
        int error = 0;
        int32_t records = 0;
        std::string reason;
        if (current) {
            error = SyncBatchFile(current->descriptor, file);
            records = current->records;
        } else if (!there) {
            reason = "the file is no longer there";
            records = everyRecord;
        } else {
            // The rewrite's own file, not written in place since: waited for all the same. It
            // holds every record put under the path, so a failed wait leaves none of them known
            // to be on the disk.
            errno = 0;
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
            error = fd < 0 ? (errno ? errno : EIO) : SyncBatchFile(fd, file);
            if (fd >= 0)
                ::close(fd);
            records = everyRecord;
        }
        if (error != 0)
            reason = ReasonOfError(error);
        if (!reason.empty())
            failures.push_back({file, reason, records});
    }
    for (const Pending& p : pending_)
        ::close(p.descriptor);
    pending_.clear();
    return failures;
}

std::string RecordSyncBatch::Describe(const std::vector<Failure>& failures)
{
    std::string text;
    for (const Failure& f : failures) {
        // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) of a literal put in front.
        if (!text.empty())
            text += '\n';
        text += f.file.string();
        text += " could not be written to the disk: " + f.reason + ".";
    }
    return text;
}

RecordFile::RecordFile(const std::filesystem::path& path, std::size_t recordLength, Mode mode, FileKind kind,
                       RecordSyncBatch* batch)
    : path_(path), recordLength_(recordLength), mode_(mode), batch_(batch)
{
    std::error_code ec;
    // A folder, a pipe, a device, an unreadable file or one far too large for its kind is
    // refused before the stream opens it (which would wait on a pipe), naming the file.
    std::string problem;
    if (!CheckFileToRead(path_, kind, problem)) {
        if (!IsMissingFile(path_))
            throw VbError(VbError::PathFileAccess, problem);
        if (mode_ == Mode::ReadOnly)
            throw VbError(VbError::FileNotFound, path_.string() + " was not found.");
        const auto parent = path_.parent_path();
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec))
            throw VbError(VbError::PathNotFound,
                          path_.string() + " could not be created: its folder " + parent.string() + " is not there.");
        errno = 0;
        std::ofstream create(path_, std::ios::binary);
        if (!create)
            throw VbError(VbError::PathFileAccess,
                          path_.string() + " could not be created: " + ReasonOfError(errno ? errno : EACCES) + ".");
    }
    // The checks above passed, yet the open can still fail (the file changed in between, or it
    // may be read but not written): the message names the file and the cause all the same.
    errno = 0;
    fd_ = ::open(path_.c_str(), (mode_ == Mode::ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
        const int cause = errno ? errno : EACCES;
        if (mode_ == Mode::ReadOnly)
            throw VbError(VbError::FileNotFound, ReadFailure(path_, cause));
        throw VbError(VbError::PathFileAccess,
                      path_.string() + " could not be opened for writing: " + ReasonOfError(cause) + ".");
    }
    struct stat opened {};
    if (::fstat(fd_, &opened) == 0) {
        length_ = static_cast<std::uintmax_t>(opened.st_size);
        device_ = static_cast<std::uintmax_t>(opened.st_dev);
        inode_ = static_cast<std::uintmax_t>(opened.st_ino);
    }
}

RecordFile::~RecordFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RecordFile::StillAtPath() const
{
    struct stat now {};
    return ::stat(path_.c_str(), &now) == 0 && static_cast<std::uintmax_t>(now.st_dev) == device_ &&
           static_cast<std::uintmax_t>(now.st_ino) == inode_ && static_cast<std::uintmax_t>(now.st_size) == length_;
}

int32_t RecordFile::CountRecords(std::uintmax_t length, std::size_t recordLength)
{
    if (recordLength == 0)
        return 0;
    // Rounded to the nearest whole number, halves to even, as the runtime's LOF / Len does.
    double n = std::nearbyint(static_cast<double>(length) / static_cast<double>(recordLength));
    // No file the program handles comes near this; a count beyond a Long is cut rather than wrapped.
    if (n > 2147483647.0)
        return 2147483647;
    return static_cast<int32_t>(n);
}

int32_t RecordFile::RecordCount() const { return CountRecords(length_, recordLength_); }

std::uintmax_t RecordFile::FileLength(const std::filesystem::path& path)
{
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

void RecordFile::Get(int32_t recordNumber, uint8_t* buf)
{
    if (recordNumber < 1)
        throw VbError::Of(VbError::BadRecordNumber);
    std::memset(buf, 0, recordLength_);
    std::uintmax_t offset = static_cast<std::uintmax_t>(recordNumber - 1) * recordLength_;
    if (offset >= length_)
        return;
    std::size_t available = static_cast<std::size_t>(std::min<std::uintmax_t>(recordLength_, length_ - offset));
    // A read that fails after the open names the file, whichever window shows it.
    if (offset + available > BytesBeforeReadError(path_))
        throw VbError(57, ReadFailure(path_, EIO));
    std::size_t done = 0;
    while (done < available) {
        const ssize_t n = ::pread(fd_, buf + done, available - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw VbError(57, ReadFailure(path_, n < 0 ? errno : EIO));
        done += static_cast<std::size_t>(n);
    }
}

std::vector<uint8_t> RecordFile::Get(int32_t recordNumber)
{
    std::vector<uint8_t> buf(recordLength_);
    Get(recordNumber, buf.data());
    return buf;
}

void RecordFile::Put(int32_t recordNumber, const uint8_t* buf)
{
    if (mode_ != Mode::ReadWrite)
        throw VbError::Of(VbError::BadFileMode);
    if (recordNumber < 1)
        throw VbError::Of(VbError::BadRecordNumber);
    std::uintmax_t offset = static_cast<std::uintmax_t>(recordNumber - 1) * recordLength_;
    // What the record holds now: a put that never reaches the disk puts it back (below).
    const std::uintmax_t lengthBefore = length_;
    std::vector<uint8_t> before;
    if (!batch_)
        before = Get(recordNumber);
    // Writes what the armed write fault lets through, which then fails as on a full disk. The
    // cause is kept for the message, which names it rather than a bare "Device I/O error".
    auto write = [this](const uint8_t* bytes, std::size_t n, std::uintmax_t at) {
        const std::size_t allowed = AllowedBytes(path_, n);
        std::size_t done = 0;
        while (done < allowed) {
            const ssize_t w = ::pwrite(fd_, bytes + done, allowed - done, static_cast<off_t>(at + done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return w < 0 ? errno : EIO;
            done += static_cast<std::size_t>(w);
        }
        return allowed < n ? ENOSPC : 0;
    };
    int cause = 0;
    if (offset > length_) {
        // Fill the gap with zero bytes, as the record-access put does.
        const std::vector<uint8_t> zeros(static_cast<std::size_t>(offset - length_), 0);
        cause = write(zeros.data(), zeros.size(), length_);
    }
    if (cause == 0)
        cause = write(buf, recordLength_, offset);
    if (cause != 0)
        throw VbError(57, path_.string() + " could not be written: " + ReasonOfError(cause) + ".");
    length_ = std::max<std::uintmax_t>(length_, offset + recordLength_);
    // On the disk before the edit counts as done, as a whole-file write is: a record that
    // crosses a page is not left torn by a power cut. A batch waits once for all its records.
    if (batch_) {
        batch_->Written(path_, fd_, device_, inode_);
        return;
    }
    if (const int error = SyncToDisk(fd_, path_); error != 0) {
        // The edit failed: the file reads as before it, as the caller that reports the
        // failure shows it, rather than holding an edit said not to be saved.
        if (offset < lengthBefore)
            write(before.data(), static_cast<std::size_t>(std::min<std::uintmax_t>(recordLength_, lengthBefore - offset)),
                  offset);
        if (length_ > lengthBefore) {
            if (::ftruncate(fd_, static_cast<off_t>(lengthBefore)) == 0)
                length_ = lengthBefore;
        }
        throw VbError(57, path_.string() + " could not be written to the disk: " + ReasonOfError(error) + ".");
    }
}

void RecordFile::Flush() {}

std::string ReasonOfError(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM: return "permission denied";
    case EROFS: return "the folder is read-only";
    case ENOSPC: return "the disk is full";
#ifdef EDQUOT
    case EDQUOT: return "the disk quota is used up";
#endif
    case EISDIR: return "a folder of that name is in the way";
    case ENOENT: return "the folder does not exist";
    case ENOTDIR: return "a file stands where a folder should be";
    case EIO: return "the disk reported an input/output error";
    case 0: return "the write failed";
    default: return std::error_code(errorNumber, std::generic_category()).message();
    }
}

namespace {

// What stands where a plain file should, in words a write's failure gives as its reason.
std::string NotAPlainFile(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder, not a plain file";
    if (S_ISFIFO(mode))
        return "a named pipe, not a plain file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device, not a plain file";
    if (S_ISSOCK(mode))
        return "a socket, not a plain file";
    return "not a plain file";
}

// Reads a whole file straight into `bytes` (a std::string or a byte vector): one buffer of
// the file's size, filled by the system's reads, with no copy between.
template <class Buffer>
bool ReadWholeInto(const std::filesystem::path& path, Buffer& bytes, std::string& problem, FileKind kind)
{
    bytes.clear();
    std::uintmax_t size = 0;
    const int fd = OpenFileToRead(path, kind, problem, &size);
    if (fd < 0)
        return false;
    auto fail = [&](std::string why) {
        problem = std::move(why);
        ::close(fd);
        bytes.clear();
        bytes.shrink_to_fit();
        return false;
    };
    // Never more than the limit and a byte: a file that grows while it is read stays refused.
    const std::uintmax_t limit = SizeLimit(kind);
    // The file's size and a byte, so that its end is seen without growing the buffer.
    bytes.resize(static_cast<std::size_t>(std::min(size, limit) + 1));
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size())
            bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(limit + 1, 2 * bytes.size())));
        // A test's failing disk lets the bytes before its fault through, then fails.
        const std::uintmax_t readable = BytesBeforeReadError(path);
        ssize_t got = -1;
        if (have >= readable)
            errno = EIO;
        else
            got = ::read(fd, bytes.data() + have,
                         static_cast<std::size_t>(std::min<std::uintmax_t>(bytes.size() - have, readable - have)));
        if (got > 0) {
            have += static_cast<std::size_t>(got);
            if (have > limit)
                return fail(path.string() + " holds more than " + std::to_string(limit) + " bytes, more than a " +
                            KindName(kind) + " ever does; it was not read.");
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(ReadFailure(path, errno));
        break;
    }
    ::close(fd);
    bytes.resize(have);
    return true;
}

} // namespace

bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& problem, FileKind kind)
{
    return ReadWholeInto(path, bytes, problem, kind);
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, std::string& problem, FileKind kind)
{
    return ReadWholeInto(path, bytes, problem, kind);
}

std::string WriteFailureReason(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status))
        return ReasonOfError(EISDIR);
    if (std::filesystem::exists(status)) {
        struct stat st {};
        if (!std::filesystem::is_regular_file(status) && ::stat(path.c_str(), &st) == 0)
            return "it is " + NotAPlainFile(st.st_mode);
        const int fd = ::open(path.c_str(), O_WRONLY);
        if (fd < 0)
            return ReasonOfError(errno);
        ::close(fd);
        return ReasonOfError(0);
    }
    std::filesystem::path folder = path.parent_path();
    if (folder.empty())
        folder = ".";
    if (!std::filesystem::is_directory(folder, ec))
        return ReasonOfError(std::filesystem::exists(folder, ec) ? ENOTDIR : ENOENT);
    if (::access(folder.c_str(), W_OK) != 0)
        return ReasonOfError(errno);
    return ReasonOfError(0);
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes, WriteSync sync)
{
    std::string reason;
    return WriteFileAtomically(path, bytes, reason, sync);
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes, std::string& reason,
                         WriteSync sync)
{
    AtomicFileWrite file(path, sync);
    if (file.Write(bytes) && file.Commit())
        return true;
    reason = file.Reason();
    return false;
}

namespace {

// The file a path names once symbolic links are followed: the link's target, and that one's
// when it is a link too. A link naming nothing gives the path a write through it would create.
// 0, or the system's error (links in a loop).
int FollowLinks(const std::filesystem::path& path, std::filesystem::path& file)
{
    // As many links as the system itself follows before it gives up with ELOOP.
    constexpr int MaxLinkHops = 40;
    file = path;
    for (int hops = 0; hops < MaxLinkHops; ++hops) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return 0;
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(file, ec);
        if (ec)
            return ec.value();
        file = next.is_absolute() ? next : file.parent_path() / next;
    }
    return ELOOP;
}

// Writes all the bytes at `offset` on, through the armed write fault of `target` when
// `faulted`: 0, or the system's error (ENOSPC where the fault struck).
int PutAll(int descriptor, std::string_view bytes, off_t offset, const std::filesystem::path& target, bool faulted)
{
    const std::size_t allowed = faulted ? AllowedBytes(target, bytes.size()) : bytes.size();
    std::size_t done = 0;
    while (done < allowed) {
        const ssize_t n = ::pwrite(descriptor, bytes.data() + done, allowed - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return allowed < bytes.size() ? ENOSPC : 0;
}

// Everything the open file holds: 0, or the system's error.
int TakeAll(int descriptor, std::string& bytes)
{
    bytes.clear();
    char buffer[65536];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(descriptor, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return 0;
        bytes.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
}

// A plain file standing at `path` now: its bytes. False when nothing is there, something else
// is, or it cannot be read.
bool TakeFile(const std::filesystem::path& path, std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool taken = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && TakeAll(fd, bytes) == 0;
    ::close(fd);
    return taken;
}

// The kill a test armed, and the steps the writes reached since.
struct KillState {
    std::atomic<int> at{0};
    std::atomic<int> reached{0};
};

KillState& Kill()
{
    static KillState state;
    return state;
}

// A step of a write after which what stands on the disk may differ: where a test's WriteKill
// ends the process.
void Step()
{
    KillState& k = Kill();
    if (const int at = k.at.load(); at > 0 && ++k.reached == at)
        ::kill(::getpid(), SIGKILL);
}

// Makes a new file of this process's own, named after `name` with six random letters before
// its last extension, never opening anything that stands under a name already: the descriptor,
// open to read and write, and `file`; or -1 with errno.
int MakeOwnFile(const std::filesystem::path& name, mode_t mode, std::filesystem::path& file)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const std::string given = name.filename().string();
    const std::size_t dot = given.rfind('.');
    const bool extension = dot != std::string::npos && dot > 0;
    const std::string before = extension ? given.substr(0, dot) : given;
    const std::string after = extension ? given.substr(dot) : std::string();
    static std::atomic<uint64_t> made{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6];
        if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
            // No entropy yet (early in a boot): the clock, the process and a count still differ.
            const uint64_t mixed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                                   (static_cast<uint64_t>(::getpid()) << 40) ^ (++made * 0x9E3779B97F4A7C15ull);
            for (std::size_t i = 0; i < sizeof random; ++i)
                random[i] = static_cast<unsigned char>(mixed >> (8 * i));
        }
        std::string letters;
        for (const unsigned char r : random)
            letters += Letters[r % (sizeof Letters - 1)];
        file = name.parent_path() / (before + "." + letters + after);
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::filesystem::path& file)
{
    std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    if (const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The old bytes of a file written in place, kept until the new ones are on the disk: a first
// line that marks the file, a line of the lengths of the target's name, the old bytes and the
// new bytes and the new bytes' fingerprint, the target's name on a line, then the old bytes.
constexpr std::string_view KeptMark = "Vexal unfinished write\n";

// FNV-1a: tells the new bytes from a file's other contents without keeping them twice.
uint64_t Fingerprint(std::string_view bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

struct KeptWrite {
    std::filesystem::path target;
    std::string before;
    std::uintmax_t afterLength = 0;
    uint64_t afterPrint = 0;
};

// A kept write read back; false for one cut short while it was kept (the target was not yet
// touched then) or no such file at all.
bool ReadKept(const std::string& text, KeptWrite& kept)
{
    if (text.compare(0, KeptMark.size(), KeptMark) != 0)
        return false;
    std::istringstream numbers(text.substr(KeptMark.size(), text.find('\n', KeptMark.size()) - KeptMark.size()));
    std::size_t nameLength = 0, beforeLength = 0;
    numbers >> nameLength >> beforeLength >> kept.afterLength >> std::hex >> kept.afterPrint;
    const std::size_t name = text.find('\n', KeptMark.size()) + 1;
    if (!numbers || name == 0 || name + nameLength + 1 > text.size() || text[name + nameLength] != '\n' ||
        text.size() - (name + nameLength + 1) != beforeLength)
        return false;
    kept.target = text.substr(name, nameLength);
    kept.before = text.substr(name + nameLength + 1);
    return kept.target.is_absolute();
}

// Keeps the old bytes of `target`, about to be written in place, in the user's own folder: 0
// with the kept file open and locked (a start of another instance leaves a write that goes on
// to it), or the system's error with nothing made.
int KeepOldBytes(const std::filesystem::path& target, std::string_view before, std::string_view after, bool durable,
                 std::filesystem::path& kept, int& descriptor)
{
    const std::filesystem::path folder = UnfinishedWritesFolder();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    descriptor = MakeOwnFile(folder / (target.filename().string() + ".was"), 0600, kept);
    if (descriptor < 0)
        return ec ? ec.value() : errno;
    ::flock(descriptor, LOCK_EX);
    Step();
    char print[17];
    std::snprintf(print, sizeof print, "%016llx", static_cast<unsigned long long>(Fingerprint(after)));
    std::string text(KeptMark);
    text += std::to_string(target.string().size()) + " " + std::to_string(before.size()) + " " +
            std::to_string(after.size()) + " " + print + "\n" + target.string() + "\n";
    text += before;
    int error = PutAll(descriptor, text, 0, kept, true);
    if (error == 0 && durable) {
        error = SyncToDisk(descriptor, kept);
        SyncFolder(kept);
    }
    if (error != 0) {
        ::unlink(kept.c_str());
        ::close(descriptor);
        descriptor = -1;
        return error;
    }
    Step();
    return 0;
}

void ForgetKept(const std::filesystem::path& kept, int descriptor)
{
    ::unlink(kept.c_str());
    ::close(descriptor);
}

} // namespace

WriteKill::WriteKill(int step)
{
    Kill().reached = 0;
    Kill().at = step;
}

WriteKill::~WriteKill() { Kill().at = 0; }

std::filesystem::path UnfinishedWritesFolder()
{
    // The folder the settings store keeps the user's settings in.
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && std::filesystem::path(xdg).is_absolute()) {
        config = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* user = ::getpwuid(::getuid());
            home = user ? user->pw_dir : "/";
        }
        config = std::filesystem::path(home) / ".config";
    }
    return config / "Vexal" / "unfinished";
}

void PutBackUnfinishedWrites()
{
    std::error_code ec;
    std::vector<std::filesystem::path> kept;
    for (std::filesystem::directory_iterator it(UnfinishedWritesFolder(), ec), end; !ec && it != end; it.increment(ec))
        kept.push_back(it->path());
    std::sort(kept.begin(), kept.end());
    for (const std::filesystem::path& file : kept) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        // Locked: a write another running instance is making.
        struct stat st {};
        std::string text;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
            TakeAll(fd, text) != 0) {
            ::close(fd);
            continue;
        }
        // Nothing to put back: the write was cut before it touched its file, or after it was
        // done, or the file went since.
        KeptWrite write;
        std::string now;
        struct stat target {};
        const bool cut = ReadKept(text, write) && ::stat(write.target.c_str(), &target) == 0 &&
                         S_ISREG(target.st_mode) &&
                         (!TakeFile(write.target, now) ||
                          (now != write.before &&
                           (now.size() != write.afterLength || Fingerprint(now) != write.afterPrint)));
        if (cut) {
            std::string reason;
            if (!WriteFileAtomically(write.target, write.before, reason)) {
                MsgBox(WriteFailure(write.target, reason) +
                           " It was being saved when the program last stopped, and the save was cut short; "
                           "the program puts it back as it was before that save at its next start.",
                       vbExclamation);
                ::close(fd);
                continue;
            }
            MsgBox(write.target.string() +
                       " was being saved when the program last stopped, and the save was cut short. It is put "
                       "back as it was before that save.",
                   vbExclamation);
        }
        ForgetKept(file, fd);
    }
}

AtomicFileWrite::AtomicFileWrite(std::filesystem::path target, WriteSync sync, std::filesystem::path temporary)
    : target_(std::move(target)), file_(target_), temporary_(std::move(temporary)), sync_(sync)
{
    if (temporary_.empty()) {
        temporary_ = target_;
        temporary_ += ".tmp~";
        ownTemporary_ = true;
    }
}

AtomicFileWrite::~AtomicFileWrite()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    if (old_ >= 0)
        ::close(old_);
    if (temporaryMade_ && !committed_) {
        std::error_code ec;
        std::filesystem::remove(temporary_, ec);
    }
}

bool AtomicFileWrite::Fail(Failure step, int errorNumber, const std::filesystem::path& file, std::string reason)
{
    failed_ = step;
    error_ = errorNumber;
    failedFile_ = file;
    reason_ = reason.empty() ? ReasonOfError(errorNumber) : std::move(reason);
    return false;
}

bool AtomicFileWrite::Abandon(int errorNumber)
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    std::error_code ec;
    if (temporaryMade_)
        std::filesystem::remove(temporary_, ec);
    temporaryMade_ = false;
    return Fail(Failure::Write, errorNumber, target_);
}

std::string AtomicFileWrite::Describe() const
{
    return WriteFailure(failedFile_.empty() ? target_ : failedFile_, reason_.empty() ? ReasonOfError(0) : reason_);
}

VbError AtomicFileWrite::Error() const
{
    int32_t number = VbError::PathFileAccess;
    switch (error_) {
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        number = 61;
        break;
    case EACCES:
    case EPERM:
    case EROFS: number = 70; break;
    case EIO: number = 57; break;
    default: break;
    }
    return VbError(number, Describe());
}

std::string WriteFailure(const std::filesystem::path& path, const std::string& reason)
{
    return path.string() + " could not be written: " + reason + ".";
}

bool AtomicFileWrite::Open()
{
    if (opened_)
        return false;
    opened_ = true;
    std::error_code ec;
    // A folder in the way is never replaced, and a missing folder is not created.
    if (std::filesystem::is_directory(target_, ec) || target_.filename().empty())
        return Fail(Failure::Open, EISDIR, target_);
    if (const int error = FollowLinks(target_, file_); error != 0)
        return Fail(Failure::Open, error, target_);
    std::filesystem::path name = temporary_;
    if (file_ != target_)
        name = ownTemporary_ ? std::filesystem::path(file_.string() + ".tmp~") : file_.parent_path() / temporary_.filename();
    // Only a plain file is replaced: a pipe, a device or a socket stays what it is.
    auto notPlain = [this](mode_t mode) {
        return Fail(Failure::Open, 0, target_,
                    file_ == target_ ? "it is " + NotAPlainFile(mode)
                                     : "it leads to " + file_.string() + ", " + NotAPlainFile(mode));
    };
    struct stat old {};
    if (::stat(file_.c_str(), &old) == 0) {
        if (!S_ISREG(old.st_mode))
            return notPlain(old.st_mode);
        // What a write in place would meet: a file its user may not write is left as it is.
        // Kept open, it is the file a write in place writes and the one a rename replaces.
        old_ = ::open(file_.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        oldReadable_ = old_ >= 0;
        if (old_ < 0 && (errno == EACCES || errno == EPERM))
            old_ = ::open(file_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (old_ < 0)
            return Fail(Failure::Open, errno, target_);
        if (::fstat(old_, &old) != 0 || !S_ISREG(old.st_mode))
            return notPlain(old.st_mode);
        replacing_ = true;
        permissions_ = old.st_mode & 07777;
        owner_ = old.st_uid;
        group_ = old.st_gid;
    } else if (struct stat like {}; !reference_.empty() && ::stat(reference_.c_str(), &like) == 0 &&
                                    S_ISREG(like.st_mode)) {
        madeLike_ = true;
        permissions_ = like.st_mode & 0777;
        group_ = like.st_gid;
    }
    // Made with the old file's permission bits (as the process's mask lets them): a file its
    // owner keeps private is never readable by others, not even while it is written.
    errno = 0;
    descriptor_ = MakeOwnFile(name, replacing_ || madeLike_ ? static_cast<mode_t>(permissions_ & 0666) : 0666,
                              temporary_);
    if (descriptor_ < 0) {
        const int error = errno;
        if (replacing_ && (error == EACCES || error == EPERM)) {
            // The folder takes no new file, yet the file itself takes writes.
            inPlace_ = true;
            inPlaceCause_ = error;
            return true;
        }
        return Fail(Failure::Open, error, target_);
    }
    temporaryMade_ = true;
    Step();
    return true;
}

bool AtomicFileWrite::Append(std::string_view bytes)
{
    if (!opened_ || sealed_ || failed_ != Failure::None)
        return false;
    if (inPlace_) {
        inPlaceBytes_.append(bytes);
        return true;
    }
    const off_t at = ::lseek(descriptor_, 0, SEEK_END);
    if (at < 0)
        return Abandon(errno);
    if (const int error = PutAll(descriptor_, bytes, at, target_, true); error != 0)
        return Abandon(error);
    return true;
}

bool AtomicFileWrite::Write(std::string_view bytes) { return Open() && Append(bytes) && Seal(); }

bool AtomicFileWrite::Seal()
{
    if (sealed_)
        return failed_ == Failure::None;
    sealed_ = true;
    if (inPlace_)
        return true;
    if (replacing_) {
        // The owner first: a change of owner may clear permission bits.
        int cause = ::fchown(descriptor_, owner_, group_) == 0 ? 0 : errno;
        if (::fchmod(descriptor_, static_cast<mode_t>(permissions_)) != 0 && cause == 0)
            cause = errno;
        // What the file now has counts, not what the calls answered: a file system without
        // owners or permission bits (a shared drive's) refuses them and shows the old file's.
        // A file that would not be the old one's owner's, group's or mode stays in its place.
        struct stat made {};
        if (::fstat(descriptor_, &made) != 0 || made.st_uid != owner_ || made.st_gid != group_ ||
            (made.st_mode & 07777) != permissions_)
            return TakeBackTemporary(cause != 0 ? cause : EPERM);
    } else if (madeLike_) {
        // Where the process is no member of the group, the process's own.
        (void)::fchown(descriptor_, static_cast<uid_t>(-1), group_);
        (void)::fchmod(descriptor_, static_cast<mode_t>(permissions_));
    }
    if (sync_ == WriteSync::Durable)
        if (const int error = SyncToDisk(descriptor_, target_); error != 0)
            return Abandon(error);
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0)
        return Abandon(errno);
    Step();
    return true;
}

bool AtomicFileWrite::TakeBackTemporary(int cause)
{
    if (descriptor_ < 0)
        descriptor_ = ::open(temporary_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    std::string bytes;
    const int taken = descriptor_ < 0 ? errno : TakeAll(descriptor_, bytes);
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
    temporaryMade_ = false;
    if (taken != 0)
        return Fail(Failure::Write, taken, target_);
    inPlace_ = true;
    inPlaceCause_ = cause;
    inPlaceBytes_ = std::move(bytes);
    return true;
}

bool AtomicFileWrite::Commit()
{
    if (!opened_ || committed_ || failed_ != Failure::None || !Seal())
        return false;
    if (inPlace_)
        return WriteInPlace(inPlaceBytes_);
    // Not while another instance writes the file in place: its bytes would go to a file no
    // longer at the path (it looks again once it has the lock).
    if (replacing_)
        while (::flock(old_, LOCK_EX) != 0 && errno == EINTR) {
        }
    std::error_code ec;
    std::filesystem::rename(temporary_, file_, ec);
    if (replacing_)
        ::flock(old_, LOCK_UN);
    if (ec) {
        const int error = ec.value();
        // A shared folder that lets a user make files but not replace another's (its sticky
        // bit): the file itself still takes writes.
        if (replacing_ && (error == EACCES || error == EPERM))
            return TakeBackTemporary(error) && WriteInPlace(inPlaceBytes_);
        return Fail(Failure::Rename, error, target_);
    }
    committed_ = true;
    Step();
    if (sync_ == WriteSync::Fast)
        return true;
    // Make the rename itself durable; a failure here leaves a whole file either way.
    SyncFolder(file_);
    Step();
    return true;
}

bool AtomicFileWrite::WriteInPlace(std::string_view bytes)
{
    // What the file holds is kept, to be put back, before a byte of it changes: a file that may
    // be written but not read cannot be.
    if (!oldReadable_)
        return Fail(Failure::Write, inPlaceCause_ != 0 ? inPlaceCause_ : EACCES, target_);
    // One writer at a time, and of the file at the path once it has the lock: another instance
    // may have put a new one there meanwhile. The lock goes with the write, not the object.
    struct Unlock {
        const int& descriptor;
        ~Unlock() { ::flock(descriptor, LOCK_UN); }
    } unlock{old_};
    for (int tries = 0;; ++tries) {
        while (::flock(old_, LOCK_EX) != 0 && errno == EINTR) {
        }
        struct stat held {}, now {};
        if (tries == 10 || ::fstat(old_, &held) != 0 || ::stat(file_.c_str(), &now) != 0 ||
            (held.st_dev == now.st_dev && held.st_ino == now.st_ino))
            break;
        const int next = ::open(file_.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (next < 0)
            return Fail(Failure::Write, errno, target_);
        ::close(old_);
        old_ = next;
        if (::fstat(old_, &now) != 0 || !S_ISREG(now.st_mode))
            return Fail(Failure::Write, 0, target_, "it is " + NotAPlainFile(now.st_mode));
    }
    std::string before;
    if (const int error = TakeAll(old_, before); error != 0)
        return Fail(Failure::Write, error, target_);
    const bool durable = sync_ == WriteSync::Durable;
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(file_, ec).lexically_normal();
    std::filesystem::path kept;
    int keptDescriptor = -1;
    if (const int error = KeepOldBytes(absolute, before, bytes, durable, kept, keptDescriptor); error != 0)
        return Fail(Failure::Write, error, target_,
                    "what it held could not be kept in " + UnfinishedWritesFolder().string() + ": " +
                        ReasonOfError(error));
    // The new bytes over the old, then the file cut to their length: never empty on the way.
    const std::size_t half = bytes.size() / 2;
    int failure = PutAll(old_, bytes.substr(0, half), 0, target_, true);
    if (failure == 0) {
        Step();
        failure = PutAll(old_, bytes.substr(half), static_cast<off_t>(half), target_, true);
    }
    if (failure == 0) {
        Step();
        if (before.size() > bytes.size() && ::ftruncate(old_, static_cast<off_t>(bytes.size())) != 0)
            failure = errno;
    }
    if (failure == 0 && durable) {
        Step();
        failure = SyncToDisk(old_, target_);
    }
    if (failure != 0) {
        // Put back at once (a full disk has room for the old bytes again); where even that
        // fails, the kept bytes put it back at the next start.
        if (PutAll(old_, before, 0, target_, false) == 0 && ::ftruncate(old_, static_cast<off_t>(before.size())) == 0 &&
            ::fsync(old_) == 0)
            ForgetKept(kept, keptDescriptor);
        else
            ::close(keptDescriptor);
        return Fail(Failure::Write, failure, target_);
    }
    Step();
    ForgetKept(kept, keptDescriptor);
    Step();
    committed_ = true;
    return true;
}

bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, std::string& reason)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = ReasonOfError(errno);
        return false;
    }
    int failure = PutAll(fd, bytes, 0, path, true);
    if (failure == 0)
        failure = SyncToDisk(fd, path);
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0)
        return true;
    std::error_code ec;
    std::filesystem::remove(path, ec);
    reason = ReasonOfError(failure);
    return false;
}

} // namespace vexal
