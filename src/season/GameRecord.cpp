#include "GameRecord.h"

#include "Host.h"
#include "RecordFile.h"
#include "VbConvert.h"
#include "Win1252.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace vexal {

namespace {

using layout::Direct;
using layout::Nested;

template <auto M>
using Home = Nested<&GameRecord::HomeStats, M>;
template <auto M>
using Away = Nested<&GameRecord::AwayStats, M>;

template <class Access>
constexpr RecordField<GameRecord> F(const char* name, std::size_t offset)
{
    return layout::Field<GameRecord, Access>(name, offset);
}

using G = GameRecord;
using T = TeamStats;

// The one table of the record's layout, in file order and in the order of GameRecord::Field.
constexpr RecordField<GameRecord> LayoutTable[] = {
    F<Direct<&G::Year>>("Year", 0),
    F<Direct<&G::Week>>("Week", 2),
    F<Direct<&G::GameDate>>("GameDate", 3),
    F<Direct<&G::Surface>>("Surface", 11),
    F<Direct<&G::HomeTeam>>("HomeTeam", 12),
    F<Direct<&G::AwayTeam>>("AwayTeam", 13),
    F<Direct<&G::Line>>("Line", 14),
    F<Direct<&G::Total>>("Total", 22),
    F<Direct<&G::HomeScore>>("HomeScore", 30),
    F<Direct<&G::AwayScore>>("AwayScore", 31),
    F<Home<&T::RushYds>>("HomeRushYds", 32),
    F<Home<&T::PassYds>>("HomePassYds", 34),
    F<Home<&T::RushAtt>>("HomeRushAtt", 36),
    F<Home<&T::PassAtt>>("HomePassAtt", 37),
    F<Home<&T::PassComp>>("HomePassComp", 38),
    F<Home<&T::TDs>>("HomeTDs", 39),
    F<Home<&T::Int>>("HomeInt", 40),
    F<Home<&T::Fum>>("HomeFum", 41),
    F<Home<&T::FumLost>>("HomeFumLost", 42),
    F<Home<&T::Sacks>>("HomeSacks", 43),
    F<Home<&T::SackYds>>("HomeSackYds", 44),
    F<Home<&T::FirstDowns>>("HomeFirstDowns", 46),
    F<Home<&T::Pen>>("HomePen", 47),
    F<Home<&T::PenYds>>("HomePenYds", 48),
    F<Home<&T::TOPMin>>("HomeTOPMin", 50),
    F<Home<&T::TOPSec>>("HomeTOPSec", 51),
    F<Home<&T::RetYds>>("HomeRetYds", 52),
    F<Away<&T::RushYds>>("AwayRushYds", 54),
    F<Away<&T::PassYds>>("AwayPassYds", 56),
    F<Away<&T::RushAtt>>("AwayRushAtt", 58),
    F<Away<&T::PassAtt>>("AwayPassAtt", 59),
    F<Away<&T::PassComp>>("AwayPassComp", 60),
    F<Away<&T::TDs>>("AwayTDs", 61),
    F<Away<&T::Int>>("AwayInt", 62),
    F<Away<&T::Fum>>("AwayFum", 63),
    F<Away<&T::FumLost>>("AwayFumLost", 64),
    F<Away<&T::FirstDowns>>("AwayFirstDowns", 65),
    F<Away<&T::Pen>>("AwayPen", 66),
    F<Away<&T::PenYds>>("AwayPenYds", 67),
    F<Away<&T::Sacks>>("AwaySacks", 69),
    F<Away<&T::SackYds>>("AwaySackYds", 70),
    F<Away<&T::TOPMin>>("AwayTOPMin", 72),
    F<Away<&T::TOPSec>>("AwayTOPSec", 73),
    F<Away<&T::RetYds>>("AwayRetYds", 74),
    F<Direct<&G::Injuries>>("Injuries", 76),
    F<Direct<&G::Psychological>>("Psychological", 78),
    F<Direct<&G::Situational>>("Situational", 80),
    F<Direct<&G::Weather>>("Weather", 82),
    F<Direct<&G::Comment>>("Comment", 84),
};
static_assert(std::size(LayoutTable) == static_cast<std::size_t>(GameRecord::Field::Count));

} // namespace

std::span<const RecordField<GameRecord>> GameRecord::Layout() { return LayoutTable; }

GameRecord GameRecord::Decode(const uint8_t* b)
{
    GameRecord r;
    layout::DecodeFields<LayoutTable>(r, b);
    return r;
}

void GameRecord::Encode(uint8_t* b) const { layout::EncodeFields<LayoutTable>(*this, b); }

std::array<uint8_t, GameRecord::Size> GameRecord::Encode() const
{
    std::array<uint8_t, Size> bytes{};
    Encode(bytes.data());
    return bytes;
}

double GameRecord::LineValue() const { return vb::CurrencyToDouble(Line); }
double GameRecord::TotalValue() const { return vb::CurrencyToDouble(Total); }
void GameRecord::SetLine(double spread) { Line = vb::CurrencyFromDouble(spread); }
void GameRecord::SetTotal(double total) { Total = vb::CurrencyFromDouble(total); }

std::string GameRecord::CommentText() const
{
    // A comment that was never set holds zero bytes; a text box shows nothing past the first.
    std::size_t n = 0;
    while (n < CommentLength && Comment[n] != 0)
        ++n;
    while (n > 0 && Comment[n - 1] == ' ')
        --n;
    return win1252::ToUtf8(std::string_view(reinterpret_cast<const char*>(Comment.data()), n));
}

void GameRecord::SetComment(const std::string& utf8)
{
    std::string ansi = win1252::FromUtf8(utf8);
    Comment.fill(' ');
    std::memcpy(Comment.data(), ansi.data(), std::min(ansi.size(), CommentLength));
}

namespace {

// Where each field of a game slot comes from, in the order of GameField, and what sets it: the
// schedule (week and teams), the game's result as a stat file reports it (a stat import
// refreshes these), or the Other Factors window.
enum class SlotSource { Schedule, Result, Factor };

struct SlotField {
    GameField field;
    SlotSource source;
    int16_t (*value)(const GameRecord&);
};

constexpr SlotSource S = SlotSource::Schedule;
constexpr SlotSource R = SlotSource::Result;
constexpr SlotSource X = SlotSource::Factor;

template <auto Member>
int16_t Own(const GameRecord& g)
{
    return static_cast<int16_t>(g.*Member);
}
template <auto Member>
int16_t HomeStat(const GameRecord& g)
{
    return static_cast<int16_t>(g.HomeStats.*Member);
}
template <auto Member>
int16_t AwayStat(const GameRecord& g)
{
    return static_cast<int16_t>(g.AwayStats.*Member);
}

// S: the schedule, R: the result (a stat import refreshes it), X: a factor. A row needs all three.
constexpr SlotField SlotFields[] = {
    {gfWeek, S, Own<&G::Week>},
    {gfAwayTeam, S, Own<&G::AwayTeam>},
    {gfHomeTeam, S, Own<&G::HomeTeam>},
    {gfAwayScore, R, [](const GameRecord& g) { return g.Played() ? int16_t{g.AwayScore} : int16_t{-1}; }},
    {gfHomeScore, R, [](const GameRecord& g) { return g.Played() ? int16_t{g.HomeScore} : int16_t{-1}; }},
    {gfHomeTOP, R, [](const GameRecord& g) { return g.HomeStats.TOPSeconds(); }},
    {gfAwayTOP, R, [](const GameRecord& g) { return g.AwayStats.TOPSeconds(); }},
    {gfHomeRushYds, R, HomeStat<&T::RushYds>},
    {gfHomePassYds, R, HomeStat<&T::PassYds>},
    {gfHomeRushAtt, R, HomeStat<&T::RushAtt>},
    {gfHomePassAtt, R, HomeStat<&T::PassAtt>},
    {gfHomePassComp, R, HomeStat<&T::PassComp>},
    {gfHomeInt, R, HomeStat<&T::Int>},
    {gfHomeFumLost, R, HomeStat<&T::FumLost>},
    {gfHomeSacks, R, HomeStat<&T::Sacks>},
    {gfAwayRushYds, R, AwayStat<&T::RushYds>},
    {gfAwayPassYds, R, AwayStat<&T::PassYds>},
    {gfAwayRushAtt, R, AwayStat<&T::RushAtt>},
    {gfAwayPassAtt, R, AwayStat<&T::PassAtt>},
    {gfAwayPassComp, R, AwayStat<&T::PassComp>},
    {gfAwayInt, R, AwayStat<&T::Int>},
    {gfAwayFumLost, R, AwayStat<&T::FumLost>},
    {gfAwaySacks, R, AwayStat<&T::Sacks>},
    {gfInjury, X, Own<&G::Injuries>},
    {gfWeather, X, Own<&G::Weather>},
    {gfPsychological, X, Own<&G::Psychological>},
    {gfSituational, X, Own<&G::Situational>},
    {gfSurface, R, Own<&G::Surface>},
    {gfHomeTDs, R, HomeStat<&T::TDs>},
    {gfAwayTDs, R, AwayStat<&T::TDs>},
    {gfHomeFirstDowns, R, HomeStat<&T::FirstDowns>},
    {gfAwayFirstDowns, R, AwayStat<&T::FirstDowns>},
};

constexpr bool EveryFieldInOrder()
{
    for (std::size_t i = 0; i < std::size(SlotFields); ++i)
        if (SlotFields[i].field != static_cast<GameField>(i))
            return false;
    return std::size(SlotFields) == FieldsPerGame;
}
static_assert(EveryFieldInOrder(), "every field of a game slot has its source, in the order of GameField");

constexpr std::size_t ResultFieldCount()
{
    std::size_t n = 0;
    for (const SlotField& f : SlotFields)
        n += f.source == SlotSource::Result;
    return n;
}

constexpr auto ResultFieldList = [] {
    std::array<GameField, ResultFieldCount()> fields{};
    std::size_t n = 0;
    for (const SlotField& f : SlotFields)
        if (f.source == SlotSource::Result)
            fields[n++] = f.field;
    return fields;
}();

// Called by name for each field, so the loader's copy of every record costs no call per field.
template <std::size_t I>
void FillSlotField(const GameRecord& g, std::array<int16_t, FieldsPerGame>& f)
{
    constexpr auto value = SlotFields[I].value;
    f[I] = value(g);
}

} // namespace

std::array<int16_t, FieldsPerGame> GameRecord::GameFields() const
{
    std::array<int16_t, FieldsPerGame> f{};
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (FillSlotField<I>(*this, f), ...);
    }(std::make_index_sequence<FieldsPerGame>{});
    return f;
}

std::span<const GameField> GameRecord::ResultFields() { return ResultFieldList; }

std::string SeasonFileName(int year)
{
    char name[16];
    std::snprintf(name, sizeof name, "%0*d%s", static_cast<int>(SeasonFileDigits), year, SeasonFileExtension);
    return name;
}

std::filesystem::path SeasonFilePath(int year) { return ProgramFolder() / SeasonFileName(year); }

std::vector<UnreadSeasonFile> UnreadSeasonFiles(const std::filesystem::path& folder)
{
    const std::size_t digits = SeasonFileDigits;
    const std::string extension = SeasonFileExtension;
    std::vector<UnreadSeasonFile> files;
    for (const auto& entry : FolderEntries(folder)) {
        const std::string name = entry.path().filename().string();
        // Only a four-digit year and ".nfl" names a season: "19.nfl" or "abcd.nfl" is no
        // season file of any year.
        if (name.size() != digits + extension.size() || !vb::SameText(name.substr(digits), extension) ||
            !std::all_of(name.begin(), name.begin() + digits, [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const int year = std::stoi(name.substr(0, digits));
        const bool offered = year >= FirstSeason && year <= CurrentSeason;
        if (offered && name == SeasonFileName(year))
            continue;
        std::error_code typeError;
        if (entry.is_regular_file(typeError))
            files.push_back({name, offered ? UnreadSeasonFile::Why::OtherCase : UnreadSeasonFile::Why::OtherYear});
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return files;
}

std::string EncodeRecords(const std::vector<GameRecord>& records)
{
    std::string bytes(records.size() * GameRecord::Size, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        records[i].Encode(reinterpret_cast<uint8_t*>(bytes.data() + i * GameRecord::Size));
    return bytes;
}

bool WriteSeasonFile(const std::filesystem::path& path, const std::vector<GameRecord>& records)
{
    return WriteFileAtomically(path, EncodeRecords(records));
}

std::vector<GameRecord> ReadSeasonFile(const std::filesystem::path& path)
{
    RecordFile file(path, GameRecord::Size, RecordFile::Mode::ReadOnly, FileKind::Season);
    std::vector<GameRecord> records;
    const int32_t count = file.RecordCount();
    records.reserve(static_cast<std::size_t>(count));
    std::array<uint8_t, GameRecord::Size> buf{};
    for (int32_t n = 1; n <= count; ++n) {
        file.Get(n, buf.data());
        records.push_back(GameRecord::Decode(buf));
    }
    return records;
}

} // namespace vexal
