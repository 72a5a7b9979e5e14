#pragma once
// Fixed-length record files as the program opens them: 1-based records, record count =
// file length / record length rounded to the nearest whole number, a read past the end
// gives zero bytes, one record rewritten in place.
#include "FileChecks.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

class RecordFile {
public:
    enum class Mode { ReadOnly, ReadWrite };
    // ReadOnly never creates a file; opening a missing file ReadOnly throws VbError 53.
    // ReadWrite creates a missing file empty, as the record-access open does (VbError 76
    // when its folder is missing). Anything at the path that is no readable plain file of a
    // size the kind allows (a folder, a pipe, a device, a gigabyte) throws VbError 75 whose
    // description names the file and what is wrong with it.
    RecordFile(const std::filesystem::path& path, std::size_t recordLength, Mode mode, FileKind kind);
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
    // is filled with zero bytes) and waits until it is on the disk. VbError 54 on a file
    // opened ReadOnly.
    void Put(int32_t recordNumber, const uint8_t* buf);
    void Flush();

    // Length of the file in bytes, 0 when missing.
    static std::uintmax_t FileLength(const std::filesystem::path& path);
    static int32_t CountRecords(std::uintmax_t length, std::size_t recordLength);

private:
    std::filesystem::path path_;
    std::size_t recordLength_;
    Mode mode_;
    std::fstream stream_;
    std::uintmax_t length_ = 0;
};

// Little-endian field access at fixed offsets of a record buffer.
namespace le {
int16_t I16(const uint8_t* p);
uint8_t U8(const uint8_t* p);
int32_t I32(const uint8_t* p);
float F32(const uint8_t* p);
void PutI32(uint8_t* p, int32_t v);
void PutF32(uint8_t* p, float v);
int64_t I64(const uint8_t* p);
double F64(const uint8_t* p);
void PutI16(uint8_t* p, int16_t v);
void PutU8(uint8_t* p, uint8_t v);
void PutI64(uint8_t* p, int64_t v);
void PutF64(uint8_t* p, double v);
}

// Writes a whole file safely: a temporary file beside the target, flushed, then renamed
// over it. Returns false (and leaves the old file whole) when anything fails.
// Durable also waits until the data and the rename are on the disk; files written by the
// thousand that can be made again (a back-test's formula files) skip that wait.
enum class WriteSync { Durable, Fast };
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes,
                         WriteSync sync = WriteSync::Durable);
// The same, with the reason for a failure in words a message can show ("the folder is
// read-only", "the disk is full", "a folder of that name is in the way", ...).
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes, std::string& reason,
                         WriteSync sync = WriteSync::Durable);

// The same write in two steps, for a caller that must do something between the new file
// being whole and it taking the old one's place (keeping a backup): Write puts the bytes in
// the temporary file (by default "<target>.tmp~"), Commit renames it over the target. A
// temporary not committed is removed when the object goes.
class AtomicFileWrite {
public:
    enum class Failure { None, Open, Write, Rename };
    explicit AtomicFileWrite(std::filesystem::path target, WriteSync sync = WriteSync::Durable,
                             std::filesystem::path temporary = {});
    ~AtomicFileWrite();
    AtomicFileWrite(const AtomicFileWrite&) = delete;
    AtomicFileWrite& operator=(const AtomicFileWrite&) = delete;

    bool Write(std::string_view bytes);
    bool Commit();
    // Which step failed and why, in words a message can show.
    Failure Failed() const { return failed_; }
    const std::string& Reason() const { return reason_; }

private:
    bool Fail(Failure step, int errorNumber);
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    WriteSync sync_;
    bool written_ = false;
    bool committed_ = false;
    Failure failed_ = Failure::None;
    std::string reason_;
};

// For tests of what a failed write leaves, as a failing disk does: while one lives, the
// writes of this layer (whole-file writes and records put in place) to `file`, or to every
// file when it is empty, fail once `bytes` bytes went through, the bytes before reaching
// the file. The failure reads as a full disk.
class WriteFault {
public:
    explicit WriteFault(std::uintmax_t bytes, std::filesystem::path file = {});
    ~WriteFault();
    WriteFault(const WriteFault&) = delete;
    WriteFault& operator=(const WriteFault&) = delete;
};

// Reads a whole file the user may have damaged or replaced. Never throws, never waits on
// something that is not a plain file (a folder, a pipe, a device) and never takes more than
// the kind's size limit (FileChecks.h): false with the problem in words a message can show,
// naming the file ("... is a folder, not a file", "... could not be read: permission denied").
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes, std::string& problem, FileKind kind);

// Why a file cannot be written in place (or, when it is missing, created in its folder):
// what is found at the path or the system's reason, for a message after a failed write.
std::string WriteFailureReason(const std::filesystem::path& path);
// The system's error number in such words.
std::string ReasonOfError(int errorNumber);

} // namespace vexal
