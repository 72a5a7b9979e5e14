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

#include <algorithm>
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
    std::string bytes;
    bytes.reserve(games.size() * LineRecord::Size);
    for (const GameRecord& game : games) {
        const auto record = LineRecord::FromGame(game).Encode();
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    std::string reason;
    if (WriteFileAtomically(lineFile, bytes, reason))
        return true;
    if (problem)
        *problem = WriteFailure(lineFile, reason);
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

std::vector<std::string> ListLineFiles(const std::filesystem::path& folder, int seasonYear)
{
    const std::string suffix = vb::LCase(".L" + vb::Right(std::to_string(seasonYear), 2));
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError))
            continue;
        const std::string name = entry.path().filename().string();
        if (name.size() > suffix.size() && vb::LCase(name.substr(name.size() - suffix.size())) == suffix)
            names.push_back(name.substr(0, name.size() - suffix.size()));
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return vb::LCase(a) < vb::LCase(b); });
    return names;
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
            game = {r, line.HomeTeam, line.AwayTeam, line.LineValue(), line.TotalValue()};
        } else {
            const GameRecord g = GameRecord::Decode(buf.data());
            recordWeek = g.Week;
            game = {r, g.HomeTeam, g.AwayTeam, g.LineValue(), g.TotalValue()};
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

bool WriteRecordLines(const std::filesystem::path& file, bool lineFile, int32_t record, double line, double total,
                      std::string* reason, RecordSyncBatch* batch)
{
    auto fail = [&](const std::string& why) {
        if (reason)
            *reason = why;
        return false;
    };
    try {
        // Never creates the file: a line file deleted behind the window's back stays deleted.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec))
            return fail(std::filesystem::exists(file, ec) ? WriteFailureReason(file) : "the file does not exist");
        RecordFile records(file, RecordLengthOf(lineFile), RecordFile::Mode::ReadWrite,
                           lineFile ? FileKind::Line : FileKind::Season, batch);
        if (record < 1 || record > records.RecordCount())
            return fail("the file holds no record " + std::to_string(record));
        std::vector<uint8_t> buf(records.RecordLength());
        records.Get(record, buf.data());
        // Only the two currency fields change; the rest of the record goes back as read.
        if (lineFile) {
            LineRecord r = LineRecord::Decode(buf.data());
            r.SetLine(line);
            r.SetTotal(total);
            r.Encode(buf.data());
        } else {
            GameRecord r = GameRecord::Decode(buf.data());
            r.SetLine(line);
            r.SetTotal(total);
            r.Encode(buf.data());
        }
        records.Put(record, buf.data());
        records.Flush();
        return true;
    } catch (const std::exception& e) {
        // The failure that happened, in its own words (a read, an open or a write that failed).
        return fail(FailureCause(file, e));
    }
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
