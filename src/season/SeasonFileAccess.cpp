#include "SeasonFileAccess.h"

#include "FileChecks.h"
#include "GameRecord.h"
#include "LineRecord.h"
#include "RecordFile.h"
#include "VbError.h"

namespace vexal {

namespace {
FileKind KindOf(std::size_t recordLength) { return recordLength == LineRecord::Size ? FileKind::Line : FileKind::Season; }
} // namespace

bool ReadRecordFile(const std::filesystem::path& path, std::size_t recordLength, RecordBytes& out,
                    std::string* problem)
{
    // Straight into the record buffer: the file's bytes are copied once, by the system.
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadWholeFile(path, bytes, why, KindOf(recordLength))) {
        if (problem)
            *problem = why;
        return false;
    }
    out = RecordBytes(std::move(bytes), recordLength);
    return true;
}

bool ReadRecordFileIfThere(const std::filesystem::path& path, std::size_t recordLength, RecordBytes& out)
{
    std::string problem;
    if (ReadRecordFile(path, recordLength, out, &problem))
        return true;
    if (IsMissingFile(path))
        return false;
    throw VbError(VbError::PathFileAccess, problem);
}

uint8_t SeasonRecordWeek(const uint8_t* record)
{
    static const std::size_t at = GameRecord::FieldOf(GameRecord::Field::Week).offset;
    return record[at];
}

int32_t WholeRecords(std::uintmax_t length, std::size_t recordLength)
{
    return recordLength ? static_cast<int32_t>(length / recordLength) : 0;
}

} // namespace vexal
