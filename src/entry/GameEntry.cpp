#include "GameEntry.h"

#include "FileChecks.h"

#include "LineFiles.h"
#include "LineRecord.h"
#include "RecordFile.h"
#include "Steps.h"
#include "VbError.h"
#include "Win1252.h"

#include <algorithm>
#include <cstring>

namespace vexal {

bool ReadGame(const std::filesystem::path& seasonFile, int32_t record, GameRecord& game)
{
    RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadOnly, FileKind::Season);
    if (record < 1 || record > file.RecordCount())
        return false;
    std::array<uint8_t, GameRecord::Size> buf{};
    file.Get(record, buf.data());
    game = GameRecord::Decode(buf);
    return true;
}

void ReadShownGame(const std::filesystem::path& seasonFile, int32_t record, bool seasonLines,
                   const std::filesystem::path& lineFile, int seasonYear, GameRecord& game, double& line,
                   double& total)
{
    std::array<uint8_t, GameRecord::Size> bytes{};
    {
        RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadOnly, FileKind::Season);
        file.Get(record, bytes.data());
    }
    game = GameRecord::Decode(bytes);
    line = game.LineValue();
    total = game.TotalValue();
    // Without its line file the game shows the lines of its season record.
    if (seasonLines || IsMissingFile(lineFile))
        return;
    std::string lineProblem;
    if (!CheckLineFile(lineFile, seasonYear, lineProblem)) {
        ReportFileProblem(lineFile, lineProblem + " The season file's lines are shown.");
        return;
    }
    ReportStep([&] {
        RecordFile lines(lineFile, LineRecord::Size, RecordFile::Mode::ReadOnly, FileKind::Line);
        if (record <= lines.RecordCount()) {
            std::array<uint8_t, LineRecord::Size> lineBytes{};
            lines.Get(record, lineBytes.data());
            const LineRecord r = LineRecord::Decode(lineBytes.data());
            line = r.LineValue();
            total = r.TotalValue();
        }
    });
}

namespace {

// Reads, edits and writes back one record; false with the reason when it cannot, or when
// `edit` refuses (`edited` false, nothing written). `missing` begins the reason for a record
// beyond the end of the file.
bool EditRecord(const std::filesystem::path& seasonFile, int32_t record, const std::function<bool(GameRecord&)>& edit,
                const char* missing, std::string& reason, bool& edited)
{
    edited = false;
    try {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(seasonFile, ec)) {
            reason = std::filesystem::exists(seasonFile, ec) ? WriteFailureReason(seasonFile) : "the file does not exist";
            return false;
        }
        RecordFile file(seasonFile, GameRecord::Size, RecordFile::Mode::ReadWrite, FileKind::Season);
        if (record < 1 || record > file.RecordCount()) {
            reason = missing + std::to_string(record);
            return false;
        }
        std::array<uint8_t, GameRecord::Size> buf{};
        file.Get(record, buf.data());
        GameRecord game = GameRecord::Decode(buf);
        if (!edit(game))
            return false;
        edited = true;
        game.Encode(buf.data());
        file.Put(record, buf.data());
        file.Flush();
        return true;
    } catch (const std::exception& e) {
        // The failure that happened, in its own words (a read, an open or a write that failed).
        reason = FailureCause(seasonFile, e);
        return false;
    }
}

} // namespace

bool UpdateGameRecord(const std::filesystem::path& seasonFile, int32_t record,
                      const std::function<void(GameRecord&)>& edit, std::string* reason)
{
    std::string why;
    bool edited = false;
    const bool written = EditRecord(
        seasonFile, record,
        [&](GameRecord& game) {
            edit(game);
            return true;
        },
        "the file holds no record ", why, edited);
    if (!written && reason)
        *reason = why;
    return written;
}

bool PutGameFactor(const std::filesystem::path& seasonFile, int32_t record, GameRecord::Field factor, int16_t value,
                   std::string* reason)
{
    return UpdateGameRecord(seasonFile, record, [&](GameRecord& game) { game.SetNumber(factor, value); }, reason);
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
    return UpdateGameRecord(seasonFile, record, [&](GameRecord& game) { game.Comment = comment; }, reason);
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

GameSave SaveGameEdits(const GameEdits& edits, const std::filesystem::path& seasonFile, int32_t record,
                       bool seasonLines, const std::filesystem::path& lineFile, double shownLine, double shownTotal)
{
    GameSave save;
    std::string invalid;
    bool edited = false;
    std::string reason;
    const bool written = EditRecord(
        seasonFile, record,
        [&](GameRecord& game) {
            if (!ApplyGameEdits(edits, game, seasonLines, save.line, save.total, invalid))
                return false;
            save.game = game;
            return true;
        },
        "the file no longer holds record ", reason, edited);
    if (!written) {
        const bool refusedEdits = !edited && !invalid.empty();
        save.status = refusedEdits ? GameSave::Status::Invalid : GameSave::Status::GameRefused;
        save.message = refusedEdits ? invalid : reason;
        return save;
    }
    if (!seasonLines && !WriteRecordLines(lineFile, true, record, save.line, save.total, &reason)) {
        save.status = GameSave::Status::LinesRefused;
        save.message = reason;
        save.line = shownLine;
        save.total = shownTotal;
    }
    return save;
}

} // namespace vexal
