#pragma once
// A line file <name>.L<yy> holds one 21-byte record per season-file record, same record
// numbers: season, week, both team codes, spread and total (fixed-point x 10 000).
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "GameRecord.h"

namespace vexal {

struct LineRecord {
    static constexpr std::size_t Size = 21;

    int16_t Year = 0;
    uint8_t Week = 0;
    uint8_t HomeTeam = 0;
    uint8_t AwayTeam = 0;
    int64_t Line = 0;
    int64_t Total = 0;

    // Every field with its name, storage and offset, in file order.
    static std::span<const RecordField<LineRecord>> Layout();
    static LineRecord Decode(const uint8_t* bytes);
    void Encode(uint8_t* bytes) const;
    std::array<uint8_t, Size> Encode() const;
    double LineValue() const;
    double TotalValue() const;
    void SetLine(double spread);
    void SetTotal(double total);
    float LineSingle() const { return static_cast<float>(LineValue()); }
    float TotalSingle() const { return static_cast<float>(TotalValue()); }
    // The line record of a season record: season, week, teams, spread and total copied unchanged.
    static LineRecord FromGame(const GameRecord& game);
    // Whether this is the line of `game`: the record holds its season, week and teams. A line
    // file pairs with its season file record for record, but another copy, a hand edit or an
    // older program may have left it out of step; a record of another game is not this game's.
    bool IsLineOf(const GameRecord& game) const
    {
        return Year == game.Year && Week == game.Week && HomeTeam == game.HomeTeam && AwayTeam == game.AwayTeam;
    }
    bool operator==(const LineRecord&) const = default;
};

// What shows that a line file's bytes are no line file of the season written whole, in words
// for a message ("it ends in 10 bytes that are no whole line record"); empty when each record
// is one of the season (its year, a week, known team codes). A file shorter than the
// season file is whole: it was made before the later weeks came; an empty one is not.
std::string LineFileDamage(const uint8_t* bytes, std::size_t size, int seasonYear);

// "<name>.L<yy>" with yy the last two digits of the season: the name a new line file gets.
std::string LineFileName(const std::string& name, int year);

// The line file of a name and season in a folder: the file of its own name (LineFileName),
// else the one whose ".L<yy>" is written in another letter case ("mylines.l24", copied from a
// system that writes names so); the own name when neither is there. The name itself is the
// user's, letter case and all.
std::filesystem::path FindLineFile(const std::filesystem::path& folder, const std::string& name, int year);

// The names (without ".L<yy>", in any letter case) of the line files of a season in a folder,
// sorted by name, each once; FindLineFile finds the file each stands for.
std::vector<std::string> ListLineFiles(const std::filesystem::path& folder, int year);

// Every line file of a season in a folder, each file once whatever the letter case of its name.
std::vector<std::filesystem::path> LineFilesOf(const std::filesystem::path& folder, int year);

} // namespace vexal
