#pragma once
// Fixed-length record files as the program opens them: 1-based records, record count =
// file length / record length rounded to the nearest whole number, a read past the end
// gives zero bytes, one record rewritten in place.
#include "FileChecks.h"
#include "VbError.h"

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// Records put in place by one operation that writes several (a week's stat import, a save of
// a week's lines) reach the disk together: a RecordFile given the batch does not wait for the
// disk at each put, and Finish waits once for each path the batch wrote, for the file that
// is at that path then. A file that a rewrite replaced while the batch ran is not waited for:
// what it held went into the rewrite's file, which the rewrite put on the disk itself, and
// the records put after it are in the new file. The operation calls Finish when its last
// record is written, whether it ran to the end or stopped; a batch that goes unfinished (a
// failure escaped the operation) leaves its records to the system's own write-back,
// unreported.
class RecordSyncBatch {
public:
    RecordSyncBatch() = default;
    ~RecordSyncBatch();
    RecordSyncBatch(const RecordSyncBatch&) = delete;
    RecordSyncBatch& operator=(const RecordSyncBatch&) = delete;

    // A file that could not be put on the disk: the reason, and how many records were put in
    // it since the batch began, or for a rewrite's file not written in place since, how many
    // were put under its path (none of them is known to be on the disk). Never 0: a failure
    // always names records, so that a count of what was written agrees with it.
    struct Failure {
        std::filesystem::path file;
        std::string reason;
        int32_t records = 0;
    };
    // Waits until every record put through the batch is on the disk: for each path written,
    // the file now at it. Empty when all are; the batch is empty again afterwards.
    std::vector<Failure> Finish();
    // "<file> could not be written to the disk: <reason>." for each failure, one a line.
    static std::string Describe(const std::vector<Failure>& failures);

private:
    friend class RecordFile;
    // A record put into the open file `descriptor` (of that device and inode) under `file`.
    void Written(const std::filesystem::path& file, int descriptor, std::uintmax_t device, std::uintmax_t inode);
    // One file written under a path: a path names a new file after each rewrite.
    struct Pending {
        std::filesystem::path file;
        int descriptor = -1;
        std::uintmax_t device = 0;
        std::uintmax_t inode = 0;
        int32_t records = 0;
    };
    std::vector<Pending> pending_;
};

// For tests that must tell the file now at a path from one a rewrite put out of its place
// (which a fault keyed by path cannot): while one lives, each file a RecordSyncBatch waits for
// is listed, with the path it was written under and the system's identity of the file.
class BatchSyncLog {
public:
    struct Synced {
        std::filesystem::path file;
        std::uintmax_t device = 0;
        std::uintmax_t inode = 0;
    };
    BatchSyncLog();
    ~BatchSyncLog();
    BatchSyncLog(const BatchSyncLog&) = delete;
    BatchSyncLog& operator=(const BatchSyncLog&) = delete;
    std::vector<Synced> Files() const;
};

class RecordFile {
public:
    enum class Mode { ReadOnly, ReadWrite };
    // ReadOnly never creates a file; opening a missing file ReadOnly throws VbError 53.
    // ReadWrite creates a missing file empty, as the record-access open does (VbError 76
    // when its folder is missing). Anything at the path that is no readable plain file of a
    // size the kind allows (a folder, a pipe, a device, a gigabyte) throws VbError 75 whose
    // description names the file and what is wrong with it.
    // With a batch, a put does not wait for the disk; the batch's Finish does, once.
    RecordFile(const std::filesystem::path& path, std::size_t recordLength, Mode mode, FileKind kind,
               RecordSyncBatch* batch = nullptr);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    int32_t RecordCount() const;
    std::size_t RecordLength() const { return recordLength_; }
    // Fills buf (RecordLength bytes); bytes past the end of the file read as 0.
    // Record numbers below 1 throw VbError 63.
    void Get(int32_t recordNumber, uint8_t* buf);
    std::vector<uint8_t> Get(int32_t recordNumber);
    // Writes one record in place (extending the file when it lies past the end; a gap
    // is filled with zero bytes) and waits until it is on the disk, or leaves that to the
    // file's batch. VbError 54 on a file opened ReadOnly, 57 when the write or the wait fails
    // (naming the file and the cause); a put that waits itself and whose wait fails puts
    // back what the record held, so the file reads as before the failed edit.
    void Put(int32_t recordNumber, const uint8_t* buf);
    // Nothing is held back: each put goes to the file as it is made.
    void Flush();
    // Whether the path still names the file opened, at the length this object knows: false
    // once another program replaced it (a rewrite renames a new file over the path), removed
    // it or changed its length, so that a caller keeping it open reads the file anew.
    bool StillAtPath() const;

    // Length of the file in bytes, 0 when missing.
    static std::uintmax_t FileLength(const std::filesystem::path& path);
    static int32_t CountRecords(std::uintmax_t length, std::size_t recordLength);

private:
    std::filesystem::path path_;
    std::size_t recordLength_;
    Mode mode_;
    RecordSyncBatch* batch_ = nullptr;
    int fd_ = -1;
    std::uintmax_t length_ = 0;
    std::uintmax_t device_ = 0;
    std::uintmax_t inode_ = 0;
};

// Little-endian field access at fixed offsets of a record buffer. Inline: the loader decodes
// every field of every record of every season through these, and a call per field would cost
// more than the field.
namespace le {
inline uint8_t U8(const uint8_t* p) { return p[0]; }
inline int16_t I16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8))); }
inline uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t I32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
inline int64_t I64(const uint8_t* p)
{
    return static_cast<int64_t>(static_cast<uint64_t>(U32(p)) | (static_cast<uint64_t>(U32(p + 4)) << 32));
}
inline float F32(const uint8_t* p) { return std::bit_cast<float>(U32(p)); }
inline double F64(const uint8_t* p) { return std::bit_cast<double>(I64(p)); }
inline void PutU8(uint8_t* p, uint8_t v) { p[0] = v; }
inline void PutU32(uint8_t* p, uint32_t u)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(u & 0xFF);
        u >>= 8;
    }
}
inline void PutI16(uint8_t* p, int16_t v)
{
    const auto u = static_cast<uint16_t>(v);
    p[0] = static_cast<uint8_t>(u & 0xFF);
    p[1] = static_cast<uint8_t>(u >> 8);
}
inline void PutI32(uint8_t* p, int32_t v) { PutU32(p, static_cast<uint32_t>(v)); }
inline void PutI64(uint8_t* p, int64_t v)
{
    const auto u = static_cast<uint64_t>(v);
    PutU32(p, static_cast<uint32_t>(u));
    PutU32(p + 4, static_cast<uint32_t>(u >> 32));
}
inline void PutF32(uint8_t* p, float v) { PutU32(p, std::bit_cast<uint32_t>(v)); }
inline void PutF64(uint8_t* p, double v) { PutI64(p, std::bit_cast<int64_t>(v)); }
} // namespace le

// Writes a whole file safely: a temporary file beside the target, flushed, then renamed
// over it. Returns false (and leaves the old file whole) when anything fails.
// Durable also waits until the data and the rename are on the disk; files written by the
// thousand that can be made again (a back-test's formula files) skip that wait.
// The file replaced keeps what a write in place would have kept (see AtomicFileWrite).
enum class WriteSync { Durable, Fast };
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         WriteSync sync = WriteSync::Durable);
// The same, with the reason for a failure in words a message can show ("permission denied",
// "the folder is read-only", "the disk is full", "a folder of that name is in the way", ...).
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes, std::string& reason,
                         WriteSync sync = WriteSync::Durable);

// The one writer of whole files. A file replaced whole is treated as a write in place would
// treat it, for the user running the program:
// - a file that user may not write is refused ("permission denied") and nothing is put in its
//   place (the superuser, who may write it in place, may replace it);
// - only a plain file is replaced: a pipe, a device or a socket at the path, or at the end of
//   its links, is refused and named;
// - the new file keeps the old one's owner, group and permission bits; where this process
//   cannot give them to a file of its own (another user's file in a folder a group shares), the
//   file is written in place instead;
// - a symbolic link is written through: the new file takes the place of the file the link
//   finally names, the temporary beside that file, and the link stays a link;
// - where the folder refuses the temporary file but the file itself takes writes (a shared
//   folder holding files its users may write), the file is written in place.
// A write in place never empties the file first: the old bytes are kept in the user's own
// folder (UnfinishedWritesFolder) until the new ones are on the disk, so that a write cut short
// is put back at the next start (PutBackUnfinishedWrites); one that fails is put back at once.
// Two writers of one file never mix their bytes: the last to finish stands, whole.
//
// Write puts the bytes in the temporary file and Commit renames it over the file, for a caller
// that must do something between the new file being whole and it taking the old one's place
// (keeping a backup); a file written in place is written at Commit. The temporary is a new file
// of this writer's own, made beside the file under a name nothing else holds: "<file>.<six
// letters>.tmp~", or with a name the caller gives, that name with the six letters before its
// last extension ("~temp.tmp" gives "~temp.<six letters>.tmp"). Nothing already standing under
// such a name is written through or taken over. A file made in pieces (a download, a log kept
// while a run goes on) is Open'ed, given its pieces with Append, then committed. A temporary not
// committed is removed when the object goes.
class AtomicFileWrite {
public:
    enum class Failure { None, Open, Write, Rename };
    explicit AtomicFileWrite(std::filesystem::path target, WriteSync sync = WriteSync::Durable,
                             std::filesystem::path temporary = {});
    ~AtomicFileWrite();
    AtomicFileWrite(const AtomicFileWrite&) = delete;
    AtomicFileWrite& operator=(const AtomicFileWrite&) = delete;

    // Before Open: where no file stands at the target yet, the file made takes the permission
    // bits and group of `reference` (a backup or a line file made beside a season file), so
    // that the users of a folder a group shares can all write it as they write the season file.
    void MadeLike(std::filesystem::path reference) { reference_ = std::move(reference); }
    // The whole new file at once: Open, Append and the wait for the disk (Durable).
    bool Write(std::string_view bytes);
    bool Open();
    bool Append(std::string_view bytes);
    bool Commit();
    // Which step failed and why, in words a message can show.
    Failure Failed() const { return failed_; }
    const std::string& Reason() const { return reason_; }
    // The failure with the file it concerns, the target: "<file> could not be written: <reason>."
    // A write in place whose old bytes could not be kept says where, and why, in its reason.
    std::string Describe() const;
    // The same as the runtime error a failed write raises, numbered by its cause: 61 for a
    // full disk, 70 for a refusal, 57 for a disk that fails, 75 for anything else.
    VbError Error() const;

private:
    bool Fail(Failure step, int errorNumber, const std::filesystem::path& file, std::string reason = {});
    // Closes and removes the temporary file, then fails.
    bool Abandon(int errorNumber);
    // The temporary file flushed, on the disk (Durable) and closed, with the old file's owner,
    // group and permission bits; or, where it cannot be given them, taken back to be written in
    // place.
    bool Seal();
    // The temporary's bytes taken back and the temporary removed, for a write in place.
    bool TakeBackTemporary(int cause);
    bool WriteInPlace(std::string_view bytes);
    std::filesystem::path target_;
    std::filesystem::path file_; // the target once symbolic links are followed
    std::filesystem::path temporary_;
    std::filesystem::path reference_;
    bool ownTemporary_ = false;  // the temporary's name is this writer's own, not the caller's
    WriteSync sync_;
    bool opened_ = false;
    bool sealed_ = false;
    bool temporaryMade_ = false;
    bool committed_ = false;
    int descriptor_ = -1;        // the temporary file while it is written
    // The file replaced, as its owner set it, kept open from Open on (so that what is written
    // in place, and what a rename replaces, is the file that was looked at); none when nothing
    // is there yet.
    bool replacing_ = false;
    int old_ = -1;
    bool oldReadable_ = false;
    unsigned permissions_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
    // A new file made like the reference.
    bool madeLike_ = false;
    // Where the temporary cannot be used: the new bytes, written in place at Commit, and why
    // the temporary could not be used (the failure when the write in place cannot be made).
    bool inPlace_ = false;
    int inPlaceCause_ = 0;
    std::string inPlaceBytes_;
    Failure failed_ = Failure::None;
    int error_ = 0;
    std::filesystem::path failedFile_;
    std::string reason_;
};

// Where a write in place keeps the old bytes of its file until the new ones are on the disk:
// "unfinished" in the user's own configuration folder ($XDG_CONFIG_HOME/Vexal, else
// ~/.config/Vexal).
std::filesystem::path UnfinishedWritesFolder();
// At the start, before any file is read: every file whose write in place was cut short (the
// program was killed, the power failed) and that holds neither its old bytes nor the new is
// put back as it was before that write, and named once in a message. One that cannot be put
// back is named with the cause and where its old bytes are kept, and tried again next time.
// A write another running instance is making is left to it.
void PutBackUnfinishedWrites();

// For tests of what a write cut short leaves: while one lives, the process is killed outright
// (SIGKILL, as a crash ends it) when the writes of this layer reach their `step`-th step since
// it was made, counted from 1 (0: never), so that a test can kill a write at each in turn.
class WriteKill {
public:
    explicit WriteKill(int step);
    ~WriteKill();
    WriteKill(const WriteKill&) = delete;
    WriteKill& operator=(const WriteKill&) = delete;
};

// For tests of what a failed write leaves, as a failing disk does: while one lives, the
// writes of this layer (whole-file writes and records put in place) to `file`, or to every
// file when it is empty, fail once `bytes` bytes went through, the bytes before reaching
// the file. The failure reads as a full disk.
// Made with AtSync, the writes go through and every wait for them to reach the disk fails
// instead, as on a disk that fails while writing back what it accepted.
class WriteFault {
public:
    struct AtSyncTag {};
    static constexpr AtSyncTag AtSync{};
    explicit WriteFault(std::uintmax_t bytes, std::filesystem::path file = {});
    WriteFault(AtSyncTag, std::filesystem::path file = {});
    ~WriteFault();
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;
};

// Makes a file that is not there yet, holding the bytes, and waits until they are on the disk.
// Never replaces anything: a file (or anything else) already at the path is left as it is and
// the answer is false with errno's EEXIST reason. A write that fails part-way (a full disk, a
// test's WriteFault) removes what it made; false with the cause the write met.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, std::string& reason);

// Reads a whole file the user may have damaged or replaced. Never throws, never waits on
// something that is not a plain file (a folder, a pipe, a device) and never takes more than
// the kind's size limit (FileChecks.h): false with the problem in words a message can show,
// naming the file ("... is a folder, not a file", "... could not be read: permission denied").
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& problem, FileKind kind);
// The same into a byte buffer, for the record files read whole.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<uint8_t>& bytes, std::string& problem, FileKind kind);

// "<file> could not be written: <reason>.", as ReadFailure names a failed read.
std::string WriteFailure(const std::filesystem::path& path, const std::string& reason);

// Why a file cannot be written in place (or, when it is missing, created in its folder):
// what is found at the path or the system's reason, for a message after a failed write.
std::string WriteFailureReason(const std::filesystem::path& path);
// The system's error number in such words.
std::string ReasonOfError(int errorNumber);

} // namespace vexal
