#include "GameRecord.h"

#include "Host.h"
#include "RecordFile.h"
#include "VbConvert.h"
#include "Win1252.h"

#include <cstdio>
#include <cstring>

namespace vexal {

namespace {

// Offsets of the record's fields. The two box scores hold the same fields in different
// orders: the away block has first downs and penalties before the sacks.
enum : std::size_t {
    offYear = 0, offWeek = 2, offGameDate = 3, offSurface = 11, offHomeTeam = 12, offAwayTeam = 13,
    offLine = 14, offTotal = 22, offHomeScore = 30, offAwayScore = 31,
    offHomeStats = 32, offAwayStats = 54,
    offInjuries = 76, offPsychological = 78, offSituational = 80, offWeather = 82, offComment = 84,
};

struct StatsLayout {
    std::size_t RushYds, PassYds, RushAtt, PassAtt, PassComp, TDs, Int, Fum, FumLost,
        Sacks, SackYds, FirstDowns, Pen, PenYds, TOPMin, TOPSec, RetYds;
};

// Offsets within the 22-byte block.
constexpr StatsLayout HomeLayout{0, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 18, 19, 20};
constexpr StatsLayout AwayLayout{0, 2, 4, 5, 6, 7, 8, 9, 10, 15, 16, 11, 12, 13, 18, 19, 20};

static_assert(offComment + GameRecord::CommentLength == GameRecord::Size);

TeamStats DecodeStats(const uint8_t* p, const StatsLayout& l)
{
    TeamStats s;
    s.RushYds = le::I16(p + l.RushYds);
    s.PassYds = le::I16(p + l.PassYds);
    s.RushAtt = le::U8(p + l.RushAtt);
    s.PassAtt = le::U8(p + l.PassAtt);
    s.PassComp = le::U8(p + l.PassComp);
    s.TDs = le::U8(p + l.TDs);
    s.Int = le::U8(p + l.Int);
    s.Fum = le::U8(p + l.Fum);
    s.FumLost = le::U8(p + l.FumLost);
    s.Sacks = le::U8(p + l.Sacks);
    s.SackYds = le::I16(p + l.SackYds);
    s.FirstDowns = le::U8(p + l.FirstDowns);
    s.Pen = le::U8(p + l.Pen);
    s.PenYds = le::I16(p + l.PenYds);
    s.TOPMin = le::U8(p + l.TOPMin);
    s.TOPSec = le::U8(p + l.TOPSec);
    s.RetYds = le::I16(p + l.RetYds);
    return s;
}

void EncodeStats(const TeamStats& s, uint8_t* p, const StatsLayout& l)
{
    le::PutI16(p + l.RushYds, s.RushYds);
    le::PutI16(p + l.PassYds, s.PassYds);
    le::PutU8(p + l.RushAtt, s.RushAtt);
    le::PutU8(p + l.PassAtt, s.PassAtt);
    le::PutU8(p + l.PassComp, s.PassComp);
    le::PutU8(p + l.TDs, s.TDs);
    le::PutU8(p + l.Int, s.Int);
    le::PutU8(p + l.Fum, s.Fum);
    le::PutU8(p + l.FumLost, s.FumLost);
    le::PutU8(p + l.Sacks, s.Sacks);
    le::PutI16(p + l.SackYds, s.SackYds);
    le::PutU8(p + l.FirstDowns, s.FirstDowns);
    le::PutU8(p + l.Pen, s.Pen);
    le::PutI16(p + l.PenYds, s.PenYds);
    le::PutU8(p + l.TOPMin, s.TOPMin);
    le::PutU8(p + l.TOPSec, s.TOPSec);
    le::PutI16(p + l.RetYds, s.RetYds);
}

} // namespace

GameRecord GameRecord::Decode(const uint8_t* b)
{
    GameRecord r;
    r.Year = le::I16(b + offYear);
    r.Week = le::U8(b + offWeek);
    r.GameDate = le::F64(b + offGameDate);
    r.Surface = le::U8(b + offSurface);
    r.HomeTeam = le::U8(b + offHomeTeam);
    r.AwayTeam = le::U8(b + offAwayTeam);
    r.Line = le::I64(b + offLine);
    r.Total = le::I64(b + offTotal);
    r.HomeScore = le::U8(b + offHomeScore);
    r.AwayScore = le::U8(b + offAwayScore);
    r.HomeStats = DecodeStats(b + offHomeStats, HomeLayout);
    r.AwayStats = DecodeStats(b + offAwayStats, AwayLayout);
    r.Injuries = le::I16(b + offInjuries);
    r.Psychological = le::I16(b + offPsychological);
    r.Situational = le::I16(b + offSituational);
    r.Weather = le::I16(b + offWeather);
    std::memcpy(r.Comment.data(), b + offComment, CommentLength);
    return r;
}

void GameRecord::Encode(uint8_t* b) const
{
    le::PutI16(b + offYear, Year);
    le::PutU8(b + offWeek, Week);
    le::PutF64(b + offGameDate, GameDate);
    le::PutU8(b + offSurface, Surface);
    le::PutU8(b + offHomeTeam, HomeTeam);
    le::PutU8(b + offAwayTeam, AwayTeam);
    le::PutI64(b + offLine, Line);
    le::PutI64(b + offTotal, Total);
    le::PutU8(b + offHomeScore, HomeScore);
    le::PutU8(b + offAwayScore, AwayScore);
    EncodeStats(HomeStats, b + offHomeStats, HomeLayout);
    EncodeStats(AwayStats, b + offAwayStats, AwayLayout);
    le::PutI16(b + offInjuries, Injuries);
    le::PutI16(b + offPsychological, Psychological);
    le::PutI16(b + offSituational, Situational);
    le::PutI16(b + offWeather, Weather);
    std::memcpy(b + offComment, Comment.data(), CommentLength);
}

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

std::array<int16_t, GameRecord::FieldCount> GameRecord::GameFields() const
{
    std::array<int16_t, FieldCount> f{};
    const bool played = Played();
    f[0] = Week;
    f[1] = AwayTeam;
    f[2] = HomeTeam;
    f[3] = played ? AwayScore : int16_t{-1};
    f[4] = played ? HomeScore : int16_t{-1};
    f[5] = HomeStats.TOPSeconds();
    f[6] = AwayStats.TOPSeconds();
    f[7] = HomeStats.RushYds;
    f[8] = HomeStats.PassYds;
    f[9] = HomeStats.RushAtt;
    f[10] = HomeStats.PassAtt;
    f[11] = HomeStats.PassComp;
    f[12] = HomeStats.Int;
    f[13] = HomeStats.FumLost;
    f[14] = HomeStats.Sacks;
    f[15] = AwayStats.RushYds;
    f[16] = AwayStats.PassYds;
    f[17] = AwayStats.RushAtt;
    f[18] = AwayStats.PassAtt;
    f[19] = AwayStats.PassComp;
    f[20] = AwayStats.Int;
    f[21] = AwayStats.FumLost;
    f[22] = AwayStats.Sacks;
    f[23] = Injuries;
    f[24] = Weather;
    f[25] = Psychological;
    f[26] = Situational;
    f[27] = Surface;
    f[28] = HomeStats.TDs;
    f[29] = AwayStats.TDs;
    f[30] = HomeStats.FirstDowns;
    f[31] = AwayStats.FirstDowns;
    return f;
}

std::string SeasonFileName(int year)
{
    char name[16];
    std::snprintf(name, sizeof name, "%04d.nfl", year);
    return name;
}

std::filesystem::path SeasonFilePath(int year) { return ProgramFolder() / SeasonFileName(year); }

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
    RecordFile file(path, GameRecord::Size, RecordFile::Mode::ReadOnly);
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
