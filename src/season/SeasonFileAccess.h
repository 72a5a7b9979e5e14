#pragma once
// Season and line files read whole, for the procedures that walk every record of a file
// (the loader, the week scans, the week-lines reader, the import). Only whole records
// count: a trailing part of a record is left out, so nothing is read past the file.
// Opening here never creates a file.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexal {

class RecordBytes {
public:
    RecordBytes() = default;
    RecordBytes(std::vector<uint8_t> bytes, std::size_t recordLength)
        : bytes_(std::move(bytes)), recordLength_(recordLength) {}

    // The number of whole records.
    int32_t Count() const
    {
        return recordLength_ ? static_cast<int32_t>(bytes_.size() / recordLength_) : 0;
    }
    // Bytes after the last whole record (0 for a sound file).
    std::size_t ExtraBytes() const { return recordLength_ ? bytes_.size() % recordLength_ : 0; }
    // Record n, 1-based, 1 <= n <= Count().
    const uint8_t* Record(int32_t n) const { return bytes_.data() + static_cast<std::size_t>(n - 1) * recordLength_; }
    // Replaces record n, 1 <= n <= Count(), with RecordLength bytes (as the file now holds them).
    void Replace(int32_t n, const uint8_t* record)
    {
        std::copy_n(record, recordLength_, bytes_.data() + static_cast<std::size_t>(n - 1) * recordLength_);
    }
    std::size_t RecordLength() const { return recordLength_; }
    std::size_t SizeInBytes() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    std::size_t recordLength_ = 0;
};

// Reads the whole file, a season file or (by its record length) a line file. False (and `out`
// untouched) when it does not exist, cannot be read or is far larger than any file of its
// kind, with what is wrong in `problem` when asked for (FileChecks.h).
bool ReadRecordFile(const std::filesystem::path& path, std::size_t recordLength, RecordBytes& out,
                    std::string* problem = nullptr);
// The same for a reader that takes a missing file as none: false only when nothing is at the
// path; anything there that cannot be read (a folder, a file the disk fails to give back) is
// never taken for a missing file: VbError 75 naming it and the cause.
bool ReadRecordFileIfThere(const std::filesystem::path& path, std::size_t recordLength, RecordBytes& out);

// The week byte of a season record and the whole-record count of a file's length.
uint8_t SeasonRecordWeek(const uint8_t* record);
int32_t WholeRecords(std::uintmax_t length, std::size_t recordLength);

} // namespace vexal
