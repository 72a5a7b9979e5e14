#include "SeasonFileAccess.h"

#include "GameRecord.h"

#include <fstream>

namespace vexal {

bool ReadRecordFile(const std::filesystem::path& path, std::size_t recordLength, RecordBytes& out)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff length = in.tellg();
    if (length < 0)
        return false;
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(length));
    if (length > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), length))
        return false;
    out = RecordBytes(std::move(bytes), recordLength);
    return true;
}

std::string RecordFileProblem(const std::filesystem::path& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return path.string() + " not found";
    if (status.type() == std::filesystem::file_type::directory)
        return path.string() + " is a folder, not a file";
    return path.string() + " could not be read";
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
