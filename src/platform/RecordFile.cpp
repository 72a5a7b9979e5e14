#include "RecordFile.h"

#include "FileChecks.h"
#include "VbError.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <system_error>
#include <fcntl.h>
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

void RecordSyncBatch::Written(const std::filesystem::path& file)
{
    // The record went into the file at the path now (a record file is closed before a rewrite
    // replaces it): one already written, or a new one a rewrite put there since.
    struct stat now {};
    if (::stat(file.c_str(), &now) == 0)
        for (Pending& p : pending_)
            if (p.file == file && p.device == static_cast<std::uintmax_t>(now.st_dev) &&
                p.inode == static_cast<std::uintmax_t>(now.st_ino)) {
                ++p.records;
                return;
            }
    // Kept open until Finish, so that no file made meanwhile (a later rewrite's) can be given
    // this one's identity and pass for it.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        throw VbError(57, file.string() + " could not be kept to wait for the disk: " + ReasonOfError(errno) + ".");
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        const int error = errno;
        ::close(fd);
        throw VbError(57, file.string() + " could not be kept to wait for the disk: " + ReasonOfError(error) + ".");
    }
    pending_.push_back(
        {file, fd, static_cast<std::uintmax_t>(opened.st_dev), static_cast<std::uintmax_t>(opened.st_ino), 1});
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
    auto flags = std::ios::binary | std::ios::in;
    if (mode_ == Mode::ReadWrite)
        flags |= std::ios::out;
    // The checks above passed, yet the open can still fail (the file changed in between, or it
    // may be read but not written): the message names the file and the cause all the same.
    errno = 0;
    stream_.open(path_, flags);
    if (!stream_) {
        const int cause = errno ? errno : EACCES;
        if (mode_ == Mode::ReadOnly)
            throw VbError(VbError::FileNotFound, ReadFailure(path_, cause));
        throw VbError(VbError::PathFileAccess,
                      path_.string() + " could not be opened for writing: " + ReasonOfError(cause) + ".");
    }
    length_ = std::filesystem::file_size(path_, ec);
    if (ec)
        length_ = 0;
}

RecordFile::~RecordFile() = default;

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
    stream_.clear();
    stream_.seekg(static_cast<std::streamoff>(offset));
    errno = 0;
    stream_.read(reinterpret_cast<char*>(buf), static_cast<std::streamsize>(available));
    if (!stream_)
        throw VbError(57, ReadFailure(path_, errno ? errno : EIO));
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
    stream_.clear();
    // Writes what the armed write fault lets through; the stream fails as on a full disk. The
    // cause is kept for the message, which names it rather than a bare "Device I/O error".
    int cause = 0;
    auto write = [this, &cause](const char* bytes, std::size_t n) {
        const std::size_t allowed = AllowedBytes(path_, n);
        errno = 0;
        stream_.write(bytes, static_cast<std::streamsize>(allowed));
        if (allowed < n) {
            stream_.setstate(std::ios::badbit);
            cause = ENOSPC;
        } else if (!stream_ && cause == 0) {
            cause = errno;
        }
    };
    if (offset > length_) {
        // Fill the gap with zero bytes, as the record-access put does.
        stream_.seekp(static_cast<std::streamoff>(length_));
        std::vector<char> zeros(static_cast<std::size_t>(offset - length_), 0);
        write(zeros.data(), zeros.size());
    }
    if (stream_) {
        stream_.seekp(static_cast<std::streamoff>(offset));
        write(reinterpret_cast<const char*>(buf), recordLength_);
    }
    errno = 0;
    stream_.flush();
    if (!stream_) {
        if (cause == 0)
            cause = errno ? errno : EIO;
        throw VbError(57, path_.string() + " could not be written: " + ReasonOfError(cause) + ".");
    }
    length_ = std::max<std::uintmax_t>(length_, offset + recordLength_);
    // On the disk before the edit counts as done, as a whole-file write is: a record that
    // crosses a page is not left torn by a power cut. A batch waits once for all its records.
    if (batch_) {
        batch_->Written(path_);
        return;
    }
    if (const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); fd >= 0) {
        const int error = SyncToDisk(fd, path_);
        ::close(fd);
        if (error != 0) {
            // The edit failed: the file reads as before it, as the caller that reports the
            // failure shows it, rather than holding an edit said not to be saved.
            stream_.clear();
            if (offset < lengthBefore) {
                stream_.seekp(static_cast<std::streamoff>(offset));
                write(reinterpret_cast<const char*>(before.data()),
                      static_cast<std::size_t>(std::min<std::uintmax_t>(recordLength_, lengthBefore - offset)));
            }
            stream_.flush();
            if (length_ > lengthBefore) {
                std::error_code ec;
                std::filesystem::resize_file(path_, lengthBefore, ec);
                length_ = lengthBefore;
            }
            throw VbError(57, path_.string() + " could not be written to the disk: " + ReasonOfError(error) + ".");
        }
    }
}

void RecordFile::Flush() { stream_.flush(); }

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
        if (!std::filesystem::is_regular_file(status))
            return "it is not a regular file";
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

} // namespace

AtomicFileWrite::AtomicFileWrite(std::filesystem::path target, WriteSync sync, std::filesystem::path temporary)
    : target_(std::move(target)), file_(target_), temporary_(std::move(temporary)), sync_(sync)
{
    ownTemporary_ = temporary_.empty();
    if (ownTemporary_) {
        temporary_ = target_;
        temporary_ += ".tmp~";
    }
}

AtomicFileWrite::~AtomicFileWrite()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    if (temporaryMade_ && !committed_) {
        std::error_code ec;
        std::filesystem::remove(temporary_, ec);
    }
}

bool AtomicFileWrite::Fail(Failure step, int errorNumber, const std::filesystem::path& file)
{
    failed_ = step;
    error_ = errorNumber;
    failedFile_ = file;
    reason_ = ReasonOfError(errorNumber);
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
    if (file_ != target_)
        temporary_ = ownTemporary_ ? std::filesystem::path(file_.string() + ".tmp~")
                                   : file_.parent_path() / temporary_.filename();
    struct stat old {};
    if (::stat(file_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // What a write in place would meet: a file its user may not write is left as it is.
        const int fd = ::open(file_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return Fail(Failure::Open, errno, target_);
        ::close(fd);
        replacing_ = true;
        permissions_ = old.st_mode & 07777;
        owner_ = old.st_uid;
        group_ = old.st_gid;
    }
    // Made with the old file's permission bits (as the process's mask lets them): a file its
    // owner keeps private is never readable by others, not even while it is written.
    errno = 0;
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_CLOEXEC,
                         replacing_ ? static_cast<mode_t>(permissions_ & 0666) : 0666);
    if (descriptor_ < 0) {
        const int error = errno;
        // Something in the temporary file's place is named; a cause of the folder's (missing,
        // read-only) is the target's.
        const bool inTheWay = std::filesystem::exists(std::filesystem::symlink_status(temporary_, ec));
        if (!inTheWay && replacing_ && (error == EACCES || error == EPERM)) {
            // The folder takes no new file, yet the file itself takes writes.
            inPlace_ = true;
            return true;
        }
        return Fail(Failure::Open, error, inTheWay ? temporary_ : target_);
    }
    temporaryMade_ = true;
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
        // The owner first: a change of owner may clear permission bits. Where the process
        // may not give the file its owner, the group alone, else the process's own.
        if (::fchown(descriptor_, owner_, group_) != 0)
            (void)::fchown(descriptor_, static_cast<uid_t>(-1), group_);
        // A file system without permission bits (a shared drive's) refuses; its files have none to keep.
        (void)::fchmod(descriptor_, static_cast<mode_t>(permissions_));
    }
    if (sync_ == WriteSync::Durable)
        if (const int error = SyncToDisk(descriptor_, target_); error != 0)
            return Abandon(error);
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0)
        return Abandon(errno);
    return true;
}

bool AtomicFileWrite::Commit()
{
    if (!opened_ || committed_ || failed_ != Failure::None || !Seal())
        return false;
    if (inPlace_)
        return WriteInPlace(inPlaceBytes_);
    std::error_code ec;
    std::filesystem::rename(temporary_, file_, ec);
    if (ec) {
        const int error = ec.value();
        // A shared folder that lets a user make files but not replace another's (its sticky
        // bit): the file itself still takes writes.
        if (replacing_ && (error == EACCES || error == EPERM)) {
            std::string bytes;
            const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
            const int taken = fd < 0 ? errno : TakeAll(fd, bytes);
            if (fd >= 0)
                ::close(fd);
            std::filesystem::remove(temporary_, ec);
            temporaryMade_ = false;
            if (taken == 0)
                return WriteInPlace(bytes);
        }
        return Fail(Failure::Rename, error, target_);
    }
    committed_ = true;
    if (sync_ == WriteSync::Fast)
        return true;
    // Make the rename itself durable; a failure here leaves a whole file either way.
    std::filesystem::path folder = file_.parent_path();
    if (folder.empty())
        folder = ".";
    if (int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

bool AtomicFileWrite::WriteInPlace(std::string_view bytes)
{
    // What the file holds now, put back when the write fails part way (a full disk has room
    // for it again once the file is cut). A file that may be written but not read cannot be.
    int fd = ::open(file_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::string before;
    bool restorable = fd >= 0;
    if (fd < 0)
        fd = ::open(file_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Fail(Failure::Write, errno, target_);
    if (restorable && TakeAll(fd, before) != 0)
        restorable = false;
    int failure = ::ftruncate(fd, 0) == 0 ? 0 : errno;
    if (failure == 0)
        failure = PutAll(fd, bytes, 0, target_, true);
    if (failure == 0 && sync_ == WriteSync::Durable)
        failure = SyncToDisk(fd, target_);
    if (failure != 0 && restorable) {
        if (::ftruncate(fd, 0) == 0 && PutAll(fd, before, 0, target_, false) == 0)
            ::fsync(fd);
    }
    const int closed = ::close(fd);
    if (failure == 0 && closed != 0)
        failure = errno;
    if (failure != 0)
        return Fail(Failure::Write, failure, target_);
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
