#include "LineFiles.h"

#include "GameRecord.h"
#include "Host.h"
#include "LineRecord.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "Steps.h"
#include "TypedNumber.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WeekRange.h"

#include <optional>

namespace vexal {

namespace {

std::size_t RecordLengthOf(bool lineFile) { return lineFile ? LineRecord::Size : GameRecord::Size; }

} // namespace

bool IsPlainLineFileName(const std::string& name) { return IsPlainFileName(name); }

bool CreateLineFile(const std::filesystem::path& seasonFile, const std::filesystem::path& lineFile,
                    std::string* problem)
{
    std::vector<GameRecord> games;
    try {
        games = ReadSeasonFile(seasonFile);
    } catch (const VbError& e) {
        // Turned into the result, with the season file and the cause for the caller to show.
        if (problem) {
            const std::string file = seasonFile.string();
            *problem = e.Description().find(file) != std::string::npos ? e.Description()
                                                                             : file + ": " + e.Description();
        }
        return false;
    }
    if (games.empty()) {
        // A line file of no line is what a placeholder or a cut copy leaves, and is read so.
        if (problem)
            *problem = seasonFile.string() + " holds no game to take the lines of.";
        return false;
    }
    std::string bytes;
    bytes.reserve(games.size() * LineRecord::Size);
    for (const GameRecord& game : games) {
        const auto record = LineRecord::FromGame(game).Encode();
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    // Made the season file's, so that every user of a folder a group shares can save its lines.
    AtomicFileWrite file(lineFile);
    file.MadeLike(seasonFile);
    if (file.Write(bytes) && file.Commit())
        return true;
    if (problem)
        *problem = WriteFailure(lineFile, file.Reason());
    return false;
}

void RestoreSeasonLines(const std::filesystem::path& seasonFile)
{
    const std::vector<GameRecord> games = ReadSeasonFile(seasonFile);
    SeasonData& season = Season();
    int previous = 0;
    bool first = true;
    int game = 0;
    for (const GameRecord& record : games) {
        const int w = FindComboItem(season.WeekItems, WeekText(record.Week, record.Year));
        if (first || w > previous)
            game = 0;
        else
            ++game;
        first = false;
        previous = w;
        if (w < 0 || game >= GamesPerWeekSlot)
            continue;
        const std::size_t at = static_cast<std::size_t>(w) * LineSlotStride + static_cast<std::size_t>(game) * LinesPerGame;
        if (at + 1 >= season.SeasonLines.size())
            continue;
        season.SeasonLines[at] = record.LineSingle();
        season.SeasonLines[at + 1] = record.TotalSingle();
    }
}

bool CheckLineFile(const std::filesystem::path& file, int seasonYear, std::string& problem)
{
    std::string bytes;
    if (!ReadWholeFile(file, bytes, problem, FileKind::Line))
        return false;
    const std::string damage =
        LineFileDamage(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), seasonYear);
    if (!damage.empty()) {
        problem = file.string() + " is damaged: " + damage + ".";
        return false;
    }
    return true;
}

WeekLines ReadWeekLines(const std::filesystem::path& file, bool lineFile, int week)
{
    RecordFile records(file, RecordLengthOf(lineFile), RecordFile::Mode::ReadOnly, lineFile ? FileKind::Line : FileKind::Season);
    WeekLines result;
    const int32_t count = records.RecordCount();
    std::vector<uint8_t> buf(records.RecordLength());
    for (int32_t r = 1; r <= count; ++r) {
        records.Get(r, buf.data());
        WeekLine game;
        int recordWeek = 0;
        if (lineFile) {
            const LineRecord line = LineRecord::Decode(buf.data());
            recordWeek = line.Week;
            game = {r, line.HomeTeam, line.AwayTeam, line.LineValue(), line.TotalValue(), line.Year, line.Week};
        } else {
            const GameRecord g = GameRecord::Decode(buf.data());
            recordWeek = g.Week;
            game = {r, g.HomeTeam, g.AwayTeam, g.LineValue(), g.TotalValue(), g.Year, g.Week};
        }
        if (recordWeek < week)
            continue;
        if (recordWeek > week) {
            if (result.Games.empty())
                result.FirstRecord = r;
            result.NextFirstRecord = r;
            break;
        }
        if (result.Games.empty())
            result.FirstRecord = r;
        result.Games.push_back(game);
    }
    result.RecordCount = count;
    // As SetWeekRange has it: the last week of a file ends at the record count.
    if (result.NextFirstRecord < result.FirstRecord)
        result.NextFirstRecord = count;
    return result;
}

namespace {

// The write of one record's lines through the shared rule, for either record.
template <class Record>
GameWrite WriteLinesOf(const std::filesystem::path& file, int32_t record, const WeekLine& shown,
                       std::optional<double> line, std::optional<double> total, std::size_t lineField,
                       std::size_t totalField, RecordSyncBatch* batch, double* storedLine, double* storedTotal)
{
    Record was;
    was.Year = static_cast<int16_t>(shown.Year);
    was.Week = static_cast<uint8_t>(shown.Week);
    was.HomeTeam = static_cast<uint8_t>(shown.HomeTeam);
    was.AwayTeam = static_cast<uint8_t>(shown.AwayTeam);
    was.SetLine(shown.Line);
    was.SetTotal(shown.Total);
    Record wanted = was;
    std::vector<std::size_t> owned;
    if (line) {
        wanted.SetLine(*line);
        owned.push_back(lineField);
    }
    if (total) {
        wanted.SetTotal(*total);
        owned.push_back(totalField);
    }
    Record stored = was;
    const GameWrite result = WriteShownFields<Record>(file, record, was, wanted, owned, &stored, batch);
    if (storedLine)
        *storedLine = stored.LineValue();
    if (storedTotal)
        *storedTotal = stored.TotalValue();
    return result;
}

} // namespace

GameWrite WriteRecordLines(const std::filesystem::path& file, bool lineFile, int32_t record, const WeekLine& shown,
                           std::optional<double> line, std::optional<double> total, RecordSyncBatch* batch,
                           double* storedLine, double* storedTotal)
{
    if (lineFile)
        return WriteLinesOf<LineRecord>(file, record, shown, line, total, LineRecordLine, LineRecordTotal, batch,
                                        storedLine, storedTotal);
    return WriteLinesOf<GameRecord>(file, record, shown, line, total, FieldIndex(GameRecord::Field::Line),
                                    FieldIndex(GameRecord::Field::Total), batch, storedLine, storedTotal);
}

int PlaceInWeek(const WeekLines& week, const GameKey& key, int fallback)
{
    for (std::size_t i = 0; i < week.Games.size(); ++i) {
        const WeekLine& g = week.Games[i];
        if (GameKey{static_cast<int16_t>(g.Year), static_cast<uint8_t>(g.Week), static_cast<uint8_t>(g.HomeTeam),
                    static_cast<uint8_t>(g.AwayTeam)} == key)
            return static_cast<int>(i);
    }
    return std::clamp(fallback, 0, std::max(static_cast<int>(week.Games.size()) - 1, 0));
}

int ReloadWeekKeepingGame(const std::filesystem::path& seasonFile, int year, int week,
                          const std::filesystem::path& lineFile, const GameKey& key, int fallback)
{
    ReloadWeekSlot(seasonFile, year, week, lineFile);
    return PlaceInWeek(ReadWeekLines(seasonFile, false, week), key, fallback);
}

bool ParseLineValue(const std::string& text, double& value)
{
    std::string problem;
    const std::optional<double> v = ReadTypedNumber(text, FieldType::Currency, "a line", problem);
    if (v)
        value = *v;
    return v.has_value();
}

} // namespace vexal
