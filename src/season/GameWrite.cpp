#include "GameWrite.h"

#include "FileChecks.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "SeasonFileAccess.h"
#include "SeasonLoader.h"
#include "Steps.h"
#include "Teams.h"
#include "VbError.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vexal {

namespace {

template <class Record>
constexpr FileKind KindOf()
{
    return std::is_same_v<Record, LineRecord> ? FileKind::Line : FileKind::Season;
}

std::string TeamText(int code, int year)
{
    const std::string name = code >= 1 && code <= LastTeamCode ? TeamName(code, year, NameStyleAsShown) : "";
    return name.empty() ? "team " + std::to_string(code) : name;
}

// Whether field `index` of the two records holds the same bytes.
template <class Record>
bool SameField(const Record& a, const Record& b, std::size_t index)
{
    const RecordField<Record>& f = Record::Layout()[index];
    std::vector<uint8_t> x(Record::Size), y(Record::Size);
    a.Encode(x.data());
    b.Encode(y.data());
    return std::memcmp(x.data() + f.offset, y.data() + f.offset, f.size) == 0;
}

template <class Record>
void CopyField(const Record& from, Record& to, std::size_t index)
{
    const RecordField<Record>& f = Record::Layout()[index];
    std::vector<uint8_t> bytes(Record::Size);
    from.Encode(bytes.data());
    f.load(to, bytes.data() + f.offset);
}

// Reads the record of the open file and checks it holds the game; then, unless `check` refuses
// (its reason in the result), applies `edit` and writes it back.
template <class Record>
GameWrite RewriteIn(RecordFile& records, int32_t record, const GameKey& key,
                    const std::function<bool(const Record&, std::string&)>& check,
                    const std::function<void(Record&)>& edit, Record* stored)
{
    GameWrite result;
    auto refuse = [&](GameWrite::Status status, std::string reason) {
        result.status = status;
        result.reason = std::move(reason);
        return result;
    };
    if (record < 1 || record > records.RecordCount())
        return refuse(GameWrite::Status::Moved,
                      "it holds no record " + std::to_string(record) + " now, where " + key.Text() + " was");
    std::vector<uint8_t> buf(Record::Size);
    records.Get(record, buf.data());
    Record now = Record::Decode(buf.data());
    if (stored)
        *stored = now;
    const GameKey found = GameKey::Of(now);
    if (found != key)
        return refuse(GameWrite::Status::Moved,
                      "record " + std::to_string(record) + " holds " + found.Text() + " now, not " + key.Text());
    std::string changed;
    if (check && !check(now, changed))
        return refuse(GameWrite::Status::Changed, key.Text() + " was changed there: " + changed);
    edit(now);
    now.Encode(buf.data());
    records.Put(record, buf.data());
    if (stored)
        *stored = now;
    return result;
}

// The same on the file at `file`, opened for the one write.
template <class Record>
GameWrite Rewrite(const std::filesystem::path& file, int32_t record, const GameKey& key,
                  const std::function<bool(const Record&, std::string&)>& check,
                  const std::function<void(Record&)>& edit, Record* stored, RecordSyncBatch* batch, bool raise)
{
    GameWrite result;
    auto refuse = [&](GameWrite::Status status, std::string reason) {
        result.status = status;
        result.reason = std::move(reason);
        return result;
    };
    try {
        // Never creates the file: a file deleted behind the window's back stays deleted.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec) && raise)
            throw VbError(VbError::FileNotFound, file.string() + " could not be written: " +
                                                     (std::filesystem::exists(file, ec) ? WriteFailureReason(file)
                                                                                        : "the file does not exist") +
                                                     ".");
        if (!std::filesystem::is_regular_file(file, ec))
            return refuse(GameWrite::Status::Failed, std::filesystem::exists(file, ec) ? WriteFailureReason(file)
                                                                                      : "the file does not exist");
        RecordFile records(file, Record::Size, RecordFile::Mode::ReadWrite, KindOf<Record>(), batch);
        return RewriteIn<Record>(records, record, key, check, edit, stored);
    } catch (const std::exception& e) {
        if (raise)
            throw;
        // The failure that happened, in its own words (a read, an open or a write that failed).
        return refuse(GameWrite::Status::Failed, FailureCause(file, e));
    }
}

} // namespace

std::string GameKey::Text() const
{
    return TeamText(AwayTeam, Year) + " at " + TeamText(HomeTeam, Year) + " in week " + std::to_string(Week) + " of " +
           std::to_string(Year);
}

std::string ChangedSinceShown(const std::filesystem::path& file, const std::string& reason)
{
    return file.filename().string() + " changed since the week was shown: " + reason +
           ". The week is shown as the file now holds it.";
}

template <class Record>
GameWrite RewriteGameWhereItIs(const std::filesystem::path& file, int32_t record, const GameKey& key,
                               const std::function<void(Record&)>& edit, Record* stored, RecordSyncBatch* batch)
{
    return Rewrite<Record>(file, record, key, {}, edit, stored, batch, true);
}

template <class Record>
GameWrite RewriteGameWhereItIs(RecordFile& file, int32_t record, const GameKey& key,
                               const std::function<void(Record&)>& edit, Record* stored)
{
    return RewriteIn<Record>(file, record, key, {}, edit, stored);
}

template <class Record>
GameWrite WriteShownFields(const std::filesystem::path& file, int32_t record, const Record& shown, const Record& wanted,
                           std::span<const std::size_t> owned, Record* stored, RecordSyncBatch* batch)
{
    const auto fields = Record::Layout();
    auto check = [&](const Record& now, std::string& changed) {
        for (const std::size_t f : owned)
            if (f < fields.size() && !SameField(now, shown, f) && !SameField(now, wanted, f)) {
                changed = std::string("its ") + fields[f].name + " is not as shown";
                return false;
            }
        return true;
    };
    auto edit = [&](Record& now) {
        for (const std::size_t f : owned)
            if (f < fields.size())
                CopyField(wanted, now, f);
    };
    return Rewrite<Record>(file, record, GameKey::Of(shown), check, edit, stored, batch, false);
}

template GameWrite RewriteGameWhereItIs<GameRecord>(const std::filesystem::path&, int32_t, const GameKey&,
                                                    const std::function<void(GameRecord&)>&, GameRecord*,
                                                    RecordSyncBatch*);
template GameWrite RewriteGameWhereItIs<LineRecord>(const std::filesystem::path&, int32_t, const GameKey&,
                                                    const std::function<void(LineRecord&)>&, LineRecord*,
                                                    RecordSyncBatch*);
template GameWrite RewriteGameWhereItIs<GameRecord>(RecordFile&, int32_t, const GameKey&,
                                                    const std::function<void(GameRecord&)>&, GameRecord*);
template GameWrite WriteShownFields<GameRecord>(const std::filesystem::path&, int32_t, const GameRecord&,
                                                const GameRecord&, std::span<const std::size_t>, GameRecord*,
                                                RecordSyncBatch*);
template GameWrite WriteShownFields<LineRecord>(const std::filesystem::path&, int32_t, const LineRecord&,
                                                const LineRecord&, std::span<const std::size_t>, LineRecord*,
                                                RecordSyncBatch*);

void ReloadWeekSlot(const std::filesystem::path& seasonFile, int year, int week, const std::filesystem::path& lineFile)
{
    SeasonData& season = Season();
    const int slot = LoadedWeekSlot(year, week);
    if (slot < 0 || (static_cast<std::size_t>(slot) + 1) * WeekSlotStride > season.SeasonGames.size())
        return;
    const std::vector<GameRecord> records = ReadSeasonFile(seasonFile);
    RecordBytes lines;
    bool haveLines = false;
    if (!lineFile.empty() && !IsMissingFile(lineFile))
        // A line file that cannot be read leaves the season records' lines, as at a load.
        haveLines = ReadRecordFile(lineFile, LineRecord::Size, lines);
    auto clear = [&](int game) {
        for (int f = 0; f < FieldsPerGame; ++f)
            season.Game(slot, game, f) = 0;
        if ((static_cast<std::size_t>(slot) + 1) * LineSlotStride <= season.SeasonLines.size()) {
            season.Spread(slot, game) = 0;
            season.Total(slot, game) = 0;
        }
    };
    int game = 0;
    for (std::size_t i = 0; i < records.size() && game < GamesPerWeekSlot; ++i) {
        const GameRecord& r = records[i];
        if (r.Year != year || r.Week != week)
            continue;
        // As the loader has it: a game of a team code it leaves out keeps its slot, empty.
        if (!SeasonTeamCodesValid(r)) {
            clear(game++);
            continue;
        }
        const auto fields = r.GameFields();
        for (int f = 0; f < FieldsPerGame; ++f)
            season.Game(slot, game, f) = fields[static_cast<std::size_t>(f)];
        float spread = r.LineSingle();
        float total = r.TotalSingle();
        const int32_t number = static_cast<int32_t>(i) + 1;
        if (haveLines && number <= lines.Count()) {
            const LineRecord line = LineRecord::Decode(lines.Record(number));
            if (line.IsLineOf(r)) {
                spread = line.LineSingle();
                total = line.TotalSingle();
            }
        }
        if ((static_cast<std::size_t>(slot) + 1) * LineSlotStride <= season.SeasonLines.size()) {
            season.Spread(slot, game) = spread;
            season.Total(slot, game) = total;
        }
        ++game;
    }
    for (; game < GamesPerWeekSlot; ++game)
        clear(game);
}

} // namespace vexal
