#include "GameEntry.h"

#include "FileChecks.h"

#include "GameInsertion.h"
#include "LineFiles.h"
#include "LineRecord.h"
#include "RecordFile.h"
#include "Steps.h"
#include "VbError.h"
#include "WeekRange.h"
#include "Win1252.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

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
            // A line record of another game is not this game's line.
            if (const std::string unpaired = LinePairingProblem(record, r, &game); !unpaired.empty()) {
                NameUnpairedLineFile(lineFile, seasonFile, unpaired);
                return;
            }
            line = r.LineValue();
            total = r.TotalValue();
        }
    });
}

namespace {

// A write of one field of the game `shown` holds, as the window showed it.
template <class Set>
GameWrite PutShownField(const std::filesystem::path& seasonFile, int32_t record, const GameRecord& shown,
                        GameRecord::Field field, const Set& set, GameRecord* stored)
{
    GameRecord wanted = shown;
    set(wanted);
    const std::size_t owned[] = {FieldIndex(field)};
    return WriteShownFields<GameRecord>(seasonFile, record, shown, wanted, owned, stored);
}

} // namespace

GameWrite PutGameFactor(const std::filesystem::path& seasonFile, int32_t record, const GameRecord& shown,
                        GameRecord::Field factor, int16_t value, GameRecord* stored)
{
    return PutShownField(seasonFile, record, shown, factor, [&](GameRecord& game) { game.SetNumber(factor, value); },
                         stored);
}

std::array<uint8_t, GameRecord::CommentLength> CommentBytes(const std::string& utf8)
{
    const std::string ansi = win1252::FromUtf8(utf8);
    std::array<uint8_t, GameRecord::CommentLength> bytes;
    bytes.fill(' ');
    std::memcpy(bytes.data(), ansi.data(), std::min(ansi.size(), bytes.size()));
    return bytes;
}

GameWrite PutGameComment(const std::filesystem::path& seasonFile, int32_t record, const GameRecord& shown,
                         const std::array<uint8_t, GameRecord::CommentLength>& comment, GameRecord* stored)
{
    return PutShownField(seasonFile, record, shown, GameRecord::Field::Comment,
                         [&](GameRecord& game) { game.Comment = comment; }, stored);
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
                       const GameRecord& shown, bool seasonLines, const std::filesystem::path& lineFile,
                       double shownLine, double shownTotal)
{
    GameSave save;
    save.game = shown;
    save.line = shownLine;
    save.total = shownTotal;
    GameRecord wanted = shown;
    double line = shownLine, total = shownTotal;
    if (!ApplyGameEdits(edits, wanted, seasonLines, line, total, save.message)) {
        save.status = GameSave::Status::Invalid;
        return save;
    }
    // The fields of the boxes and lists the user changed since the game was shown; the others
    // keep what the file holds, whoever wrote it since.
    using F = GameRecord::Field;
    const auto shownTexts = GameTexts(shown, shownLine, shownTotal);
    std::vector<std::size_t> owned;
    bool lineChanged = false, totalChanged = false;
    for (int i = 0; i < GameTextCount; ++i) {
        if (edits.texts[static_cast<std::size_t>(i)] == shownTexts[static_cast<std::size_t>(i)])
            continue;
        const F field = GameTextFields()[static_cast<std::size_t>(i)].field;
        if (field == F::Line || field == F::Total) {
            (field == F::Line ? lineChanged : totalChanged) = true;
            if (!seasonLines)
                continue;
        }
        owned.push_back(FieldIndex(field));
    }
    if (wanted.HomeTeam != shown.HomeTeam)
        owned.push_back(FieldIndex(F::HomeTeam));
    if (wanted.AwayTeam != shown.AwayTeam)
        owned.push_back(FieldIndex(F::AwayTeam));
    if (wanted.Surface != shown.Surface)
        owned.push_back(FieldIndex(F::Surface));

    if (!owned.empty()) {
        const GameWrite written = WriteShownFields<GameRecord>(seasonFile, record, shown, wanted, owned, &save.game);
        if (!written.Written()) {
            save.status = written.Stale() ? GameSave::Status::Stale : GameSave::Status::GameRefused;
            save.message = written.Stale() ? ChangedSinceShown(seasonFile, written.reason) : written.reason;
            save.game = shown;
            return save;
        }
    }
    // A team the user changed: the line files' record of the game takes it too, so that it
    // stays the game's line.
    if (save.game.HomeTeam != shown.HomeTeam || save.game.AwayTeam != shown.AwayTeam) {
        const std::vector<std::string> left = LineFilesFollowTeams(seasonFile.parent_path(), record, GameKey::Of(shown),
                                                                   save.game.HomeTeam, save.game.AwayTeam);
        if (!left.empty()) {
            save.status = GameSave::Status::LinesRefused;
            save.message = left.front();
            return save;
        }
    }
    if (seasonLines) {
        save.line = save.game.LineValue();
        save.total = save.game.TotalValue();
        return save;
    }
    if (!lineChanged && !totalChanged)
        return save;
    WeekLine was{record, save.game.HomeTeam, save.game.AwayTeam, shownLine, shownTotal, shown.Year, shown.Week};
    double storedLine = shownLine, storedTotal = shownTotal;
    const GameWrite lines =
        WriteRecordLines(lineFile, true, record, was, lineChanged ? std::optional<double>(line) : std::nullopt,
                         totalChanged ? std::optional<double>(total) : std::nullopt, nullptr, &storedLine, &storedTotal);
    if (!lines.Written()) {
        save.status = lines.Stale() ? GameSave::Status::Stale : GameSave::Status::LinesRefused;
        save.message = lines.Stale() ? ChangedSinceShown(lineFile, lines.reason) : lines.reason;
        return save;
    }
    save.line = storedLine;
    save.total = storedTotal;
    // The rest of the game as the season file holds it now: another instance may have written
    // it since it was shown. A read that fails leaves the game as shown.
    if (owned.empty())
        SkipStep([&] {
            GameRecord now;
            if (ReadGame(seasonFile, record, now) && GameKey::Of(now) == GameKey::Of(shown))
                save.game = now;
        });
    return save;
}

} // namespace vexal
