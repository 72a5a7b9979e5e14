#include "GameEntry.h"

#include "RecordFile.h"
#include "VbError.h"
#include "Win1252.h"

#include <algorithm>
#include <cstring>

namespace vexal {

bool ReadGame(const std::filesystem::path& seasonFile, int32_t record, GameRecord& game)
{
    try {
        RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadOnly);
        if (record < 1 || record > file.RecordCount())
            return false;
        std::array<uint8_t, GameRecord::Size> buf{};
        file.Get(record, buf.data());
        game = GameRecord::Decode(buf);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool PatchGameRecord(const std::filesystem::path& seasonFile, int32_t record, std::size_t offset,
                     const uint8_t* bytes, std::size_t length, std::string* reason)
{
    auto fail = [&](const std::string& why) {
        if (reason)
            *reason = why;
        return false;
    };
    if (offset + length > GameRecord::Size)
        return fail("the field lies outside the record");
    try {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(seasonFile, ec))
            return fail(std::filesystem::exists(seasonFile, ec) ? WriteFailureReason(seasonFile)
                                                                : "the file does not exist");
        RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadWrite);
        if (record < 1 || record > file.RecordCount())
            return fail("the file holds no record " + std::to_string(record));
        std::array<uint8_t, GameRecord::Size> buf{};
        file.Get(record, buf.data());
        std::memcpy(buf.data() + offset, bytes, length);
        file.Put(record, buf.data());
        file.Flush();
        return true;
    } catch (const std::exception&) {
        return fail(WriteFailureReason(seasonFile));
    }
}

bool PutGameFactor(const std::filesystem::path& seasonFile, int32_t record, std::size_t offset, int16_t value,
                   std::string* reason)
{
    uint8_t bytes[2];
    le::PutI16(bytes, value);
    return PatchGameRecord(seasonFile, record, offset, bytes, 2, reason);
}

std::array<uint8_t, GameRecord::CommentLength> CommentBytes(const std::string& utf8)
{
    const std::string ansi = win1252::FromUtf8(utf8);
    std::array<uint8_t, GameRecord::CommentLength> bytes;
    bytes.fill(' ');
    std::memcpy(bytes.data(), ansi.data(), std::min(ansi.size(), bytes.size()));
    return bytes;
}

bool PutGameComment(const std::filesystem::path& seasonFile, int32_t record,
                    const std::array<uint8_t, GameRecord::CommentLength>& comment, std::string* reason)
{
    return PatchGameRecord(seasonFile, record, CommentOffset, comment.data(), comment.size(), reason);
}

std::string FullCommentText(const GameRecord& game)
{
    std::string ansi(reinterpret_cast<const char*>(game.Comment.data()), game.Comment.size());
    // Zero bytes of a comment never set show as nothing.
    const auto zero = ansi.find('\0');
    if (zero != std::string::npos)
        ansi.resize(zero);
    return win1252::ToUtf8(ansi);
}

} // namespace vexal
