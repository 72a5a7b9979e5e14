#pragma once
// A season file <year>.nfl is a sequence of 159-byte game records, one per game in week
// order. Encoded and decoded field by field, little-endian, at the offsets of one table
// (GameRecord::Layout); other code names the fields, never their offsets.
#include "RecordLayout.h"
#include "SeasonData.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vexal {

struct TeamStats {
    int16_t RushYds = 0;
    int16_t PassYds = 0;
    uint8_t RushAtt = 0;
    uint8_t PassAtt = 0;
    uint8_t PassComp = 0;
    uint8_t TDs = 0;
    uint8_t Int = 0;
    uint8_t Fum = 0;
    uint8_t FumLost = 0;
    uint8_t Sacks = 0;
    int16_t SackYds = 0;
    uint8_t FirstDowns = 0;
    uint8_t Pen = 0;
    int16_t PenYds = 0;
    uint8_t TOPMin = 0;
    uint8_t TOPSec = 0;
    int16_t RetYds = 0;
    // Time of possession in seconds, as the season arrays hold it.
    int16_t TOPSeconds() const { return static_cast<int16_t>(TOPMin * 60 + TOPSec); }
    bool operator==(const TeamStats&) const = default;
};

struct GameRecord {
    static constexpr std::size_t Size = 159;
    static constexpr std::size_t CommentLength = 75;

    // The fields of a game record, in file order. The two box scores hold the same fields in
    // different orders: the away block has first downs and penalties before the sacks.
    enum class Field : uint8_t {
        Year, Week, GameDate, Surface, HomeTeam, AwayTeam, Line, Total, HomeScore, AwayScore,
        HomeRushYds, HomePassYds, HomeRushAtt, HomePassAtt, HomePassComp, HomeTDs, HomeInt, HomeFum, HomeFumLost,
        HomeSacks, HomeSackYds, HomeFirstDowns, HomePen, HomePenYds, HomeTOPMin, HomeTOPSec, HomeRetYds,
        AwayRushYds, AwayPassYds, AwayRushAtt, AwayPassAtt, AwayPassComp, AwayTDs, AwayInt, AwayFum, AwayFumLost,
        AwayFirstDowns, AwayPen, AwayPenYds, AwaySacks, AwaySackYds, AwayTOPMin, AwayTOPSec, AwayRetYds,
        Injuries, Psychological, Situational, Weather, Comment,
        Count
    };

    int16_t Year = 0;
    uint8_t Week = 0;
    double GameDate = 0;        // OLE Automation date
    uint8_t Surface = 0;        // 0 Grass, 1 Turf, 2 Dome
    uint8_t HomeTeam = 0;
    uint8_t AwayTeam = 0;
    int64_t Line = 0;           // fixed-point: spread x 10 000, home side
    int64_t Total = 0;          // fixed-point: total x 10 000
    uint8_t HomeScore = 0;
    uint8_t AwayScore = 0;
    TeamStats HomeStats;
    TeamStats AwayStats;
    int16_t Injuries = 0;
    int16_t Psychological = 0;
    int16_t Situational = 0;
    int16_t Weather = 0;
    std::array<uint8_t, CommentLength> Comment{}; // raw Windows-1252 bytes, as stored

    // Every field with its name, storage and offset, indexed by Field.
    static std::span<const RecordField<GameRecord>> Layout();
    static const RecordField<GameRecord>& FieldOf(Field field) { return Layout()[static_cast<std::size_t>(field)]; }
    // A Byte, Integer or Currency field as stored (Currency fixed-point), and set.
    int64_t Number(Field field) const { return FieldOf(field).get(*this); }
    void SetNumber(Field field, int64_t value) { FieldOf(field).set(*this, value); }

    static GameRecord Decode(const uint8_t* bytes);   // bytes: Size bytes
    static GameRecord Decode(const std::array<uint8_t, Size>& bytes) { return Decode(bytes.data()); }
    void Encode(uint8_t* bytes) const;
    std::array<uint8_t, Size> Encode() const;

    double LineValue() const;   // the spread as a number
    double TotalValue() const;
    void SetLine(double spread);
    void SetTotal(double total);
    bool Played() const { return HomeScore != 0 || AwayScore != 0; }
    // The comment as text (UTF-8, trailing blanks and zero bytes removed); setting pads with blanks.
    std::string CommentText() const;
    void SetComment(const std::string& utf8);

    // The fields of a game slot (GameField) as the season arrays hold them: scores -1 and -1
    // for a game not played, possession in seconds.
    std::array<int16_t, FieldsPerGame> GameFields() const;
    // The fields of a game slot that the game's result sets, as a stat file reports it: every
    // field but the week, the teams and the four factors. A stat import refreshes these.
    static std::span<const GameField> ResultFields();
    // Spread and total as the season arrays hold them (Single).
    float LineSingle() const { return static_cast<float>(LineValue()); }
    float TotalSingle() const { return static_cast<float>(TotalValue()); }

    bool operator==(const GameRecord&) const = default;
};

// The season file of a year in the program folder: "2024.nfl", the year in SeasonFileDigits.
inline constexpr std::size_t SeasonFileDigits = 4;
inline constexpr const char* SeasonFileExtension = ".nfl";
std::filesystem::path SeasonFilePath(int year);
std::string SeasonFileName(int year);
// A file of a folder named as a season file ("<four digits>.nfl", letter case aside) that is
// not read as one, and why: its name is the season file's of a season 1984 to 2024 only when
// letter case is ignored ("2024.NFL", copied from a system that writes names so), or its year
// is one the program does not offer ("2025.nfl").
struct UnreadSeasonFile {
    enum class Why { OtherCase, OtherYear };
    std::string name;
    Why why;
};
// Every such file of the folder, sorted by name.
std::vector<UnreadSeasonFile> UnreadSeasonFiles(const std::filesystem::path& folder);

// Whole-file helpers for tools and tests; the program itself reads and rewrites season files
// one record at a time.
std::string EncodeRecords(const std::vector<GameRecord>& records);
// Writes the records as a whole file, safely (the old file stays whole when writing fails).
[[nodiscard]] bool WriteSeasonFile(const std::filesystem::path& path, const std::vector<GameRecord>& records);
// Every record of a season file (record count rounded as for any record file, missing bytes
// of a short last record read as zero). Throws VbError 53 when the file is missing.
std::vector<GameRecord> ReadSeasonFile(const std::filesystem::path& path);

} // namespace vexal
