#pragma once
// A stat file carries finished games of a week as text: 45 fields per game, separated by
// commas or line ends (so a game may span lines), read from the start to the end of the
// file. Fields 1 to 44 fill a season game record (the game's ten, then a block of each team's
// box score, the away team's first); field 45 is the game's Action.
#include "GameRecord.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

namespace vexal {

// A team's block of a stat record in file order: each field's name in messages and the
// box-score member it fills, a Byte or an Integer.
struct StatBlockField {
    const char* name;
    uint8_t TeamStats::*byte;
    int16_t TeamStats::*integer;
    int Value(const TeamStats& s) const { return byte ? s.*byte : s.*integer; }
};
inline constexpr StatBlockField StatBlock[] = {
    {"rushing yards", nullptr, &TeamStats::RushYds},   {"rushing attempts", &TeamStats::RushAtt, nullptr},
    {"pass completions", &TeamStats::PassComp, nullptr}, {"pass attempts", &TeamStats::PassAtt, nullptr},
    {"passing yards", nullptr, &TeamStats::PassYds},   {"touchdown passes", &TeamStats::TDs, nullptr},
    {"interceptions", &TeamStats::Int, nullptr},       {"fumbles", &TeamStats::Fum, nullptr},
    {"fumbles lost", &TeamStats::FumLost, nullptr},    {"penalties", &TeamStats::Pen, nullptr},
    {"penalty yards", nullptr, &TeamStats::PenYds},    {"return yards", nullptr, &TeamStats::RetYds},
    {"first downs", &TeamStats::FirstDowns, nullptr},  {"sacks", &TeamStats::Sacks, nullptr},
    {"sack yards", nullptr, &TeamStats::SackYds},      {"possession minutes", &TeamStats::TOPMin, nullptr},
    {"possession seconds", &TeamStats::TOPSec, nullptr},
};

// Field numbers of a stat record, counted from 1.
inline constexpr int StatGameFields = 10;
inline constexpr int StatBlockFields = static_cast<int>(std::size(StatBlock));
inline constexpr int StatAwayBlock = StatGameFields + 1;
inline constexpr int StatHomeBlock = StatAwayBlock + StatBlockFields;
inline constexpr int StatActionField = StatHomeBlock + StatBlockFields;
inline constexpr int StatFieldCount = StatActionField;

// What the import does with a game: 1 add it to its week, -1 remove it, anything else update it.
inline constexpr int16_t ActionInsert = 1;
inline constexpr int16_t ActionRemove = -1;

struct StatRecord {
    GameRecord Game;      // the four factors 0 and the comment empty (zero bytes)
    int16_t Action = 0;
};

using StatFields = std::array<std::string, StatFieldCount>;

// Splits the file's text into fields. A field ends at a comma or a line end; blanks around a
// field are dropped, a field in double quotes keeps its text, blank lines carry no field.
class StatFileReader {
public:
    explicit StatFileReader(std::string text);
    // True when nothing but blanks and line ends is left.
    bool AtEnd();
    // Reads the next 45 fields. False when the file ends first; `count` tells how many were read.
    bool ReadFields(StatFields& fields, int& count);

private:
    bool NextField(std::string& field);
    bool AtLineEnd() const;
    void SkipLineEnd();
    void SkipBlanks();

    std::string text_;
    std::size_t pos_ = 0;
};

// What makes a stat file's text one no program or editor wrote ("it holds a byte no stat file
// holds (0 at byte 40)", TextByteDamage), empty when it is sound. An end-of-file mark of old
// editors (26) ends the text the reader reads, so nothing after it counts.
std::string StatFileTextDamage(std::string_view text);

// The 45 fields of a stat record converted and checked whole; throws VbError with a
// description that names the record (recordNumber, 1-based in the file) and the field.
// Checked: the range of every number, the date, the season (1984 to 2024), the week (from 1)
// and both team codes (1 to 32).
StatRecord ParseStatRecord(const StatFields& fields, int recordNumber);

} // namespace vexal
