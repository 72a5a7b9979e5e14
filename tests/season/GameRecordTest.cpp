// Season and line records against bytes laid out by hand, offset by offset, as another
// program writing the format would lay them out.
#include "GameRecord.h"
#include "LineRecord.h"
#include "RecordFile.h"
#include "TempFolder.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace vexal {
namespace {

using Bytes = std::array<uint8_t, GameRecord::Size>;

void Put16(uint8_t* b, std::size_t off, int v)
{
    b[off] = static_cast<uint8_t>(v & 0xFF);
    b[off + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}
void Put64(uint8_t* b, std::size_t off, int64_t v)
{
    for (int i = 0; i < 8; ++i)
        b[off + static_cast<std::size_t>(i)] = static_cast<uint8_t>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF);
}
void PutDouble(uint8_t* b, std::size_t off, double v)
{
    uint64_t u;
    std::memcpy(&u, &v, 8);
    Put64(b, off, static_cast<int64_t>(u));
}

// A record with a different value in every field, written at the documented offsets.
Bytes HandMadeRecord()
{
    Bytes b{};
    uint8_t* p = b.data();
    Put16(p, 0, 2023);          // Year
    p[2] = 7;                   // Week
    PutDouble(p, 3, 45214.5);   // GameDate: 15 Oct 2023, noon
    p[11] = 2;                  // Surface
    p[12] = 25;                 // HomeTeam
    p[13] = 27;                 // AwayTeam
    Put64(p, 14, -35000);       // Line -3.5
    Put64(p, 22, 445000);       // Total 44.5
    p[30] = 24;                 // HomeScore
    p[31] = 17;                 // AwayScore
    // Home box score
    Put16(p, 32, 131);          // RushYds
    Put16(p, 34, -4);           // PassYds (net passing can be negative)
    p[36] = 29;                 // RushAtt
    p[37] = 33;                 // PassAtt
    p[38] = 21;                 // PassComp
    p[39] = 2;                  // TDs
    p[40] = 1;                  // Int
    p[41] = 3;                  // Fum
    p[42] = 2;                  // FumLost
    p[43] = 4;                  // Sacks
    Put16(p, 44, 27);           // SackYds
    p[46] = 19;                 // FirstDowns
    p[47] = 6;                  // Pen
    Put16(p, 48, 45);           // PenYds
    p[50] = 31;                 // TOPMin
    p[51] = 45;                 // TOPSec
    Put16(p, 52, 312);          // RetYds
    // Away box score: first downs and penalties come before the sacks
    Put16(p, 54, 88);           // RushYds
    Put16(p, 56, 301);          // PassYds
    p[58] = 18;                 // RushAtt
    p[59] = 41;                 // PassAtt
    p[60] = 26;                 // PassComp
    p[61] = 1;                  // TDs
    p[62] = 2;                  // Int
    p[63] = 1;                  // Fum
    p[64] = 0;                  // FumLost
    p[65] = 22;                 // FirstDowns
    p[66] = 9;                  // Pen
    Put16(p, 67, 276);          // PenYds (odd offset, high byte set)
    p[69] = 3;                  // Sacks
    Put16(p, 70, 19);           // SackYds
    p[72] = 28;                 // TOPMin
    p[73] = 15;                 // TOPSec
    Put16(p, 74, 97);           // RetYds
    Put16(p, 76, -2);           // Injuries
    Put16(p, 78, 3);            // Psychological
    Put16(p, 80, -1);           // Situational
    Put16(p, 82, 300);          // Weather
    const char* comment = "Rain \x93heavy\x94";
    std::memset(p + 84, ' ', 75);
    std::memcpy(p + 84, comment, std::strlen(comment));
    return b;
}

TEST(GameRecord, DecodesEveryFieldAtItsOffset)
{
    const Bytes bytes = HandMadeRecord();
    const GameRecord r = GameRecord::Decode(bytes.data());
    EXPECT_EQ(r.Year, 2023);
    EXPECT_EQ(r.Week, 7);
    EXPECT_DOUBLE_EQ(r.GameDate, 45214.5);
    EXPECT_EQ(r.Surface, 2);
    EXPECT_EQ(r.HomeTeam, 25);
    EXPECT_EQ(r.AwayTeam, 27);
    EXPECT_EQ(r.Line, -35000);
    EXPECT_DOUBLE_EQ(r.LineValue(), -3.5);
    EXPECT_EQ(r.LineSingle(), -3.5f);
    EXPECT_DOUBLE_EQ(r.TotalValue(), 44.5);
    EXPECT_EQ(r.HomeScore, 24);
    EXPECT_EQ(r.AwayScore, 17);

    const TeamStats& h = r.HomeStats;
    EXPECT_EQ(h.RushYds, 131);
    EXPECT_EQ(h.PassYds, -4);
    EXPECT_EQ(h.RushAtt, 29);
    EXPECT_EQ(h.PassAtt, 33);
    EXPECT_EQ(h.PassComp, 21);
    EXPECT_EQ(h.TDs, 2);
    EXPECT_EQ(h.Int, 1);
    EXPECT_EQ(h.Fum, 3);
    EXPECT_EQ(h.FumLost, 2);
    EXPECT_EQ(h.Sacks, 4);
    EXPECT_EQ(h.SackYds, 27);
    EXPECT_EQ(h.FirstDowns, 19);
    EXPECT_EQ(h.Pen, 6);
    EXPECT_EQ(h.PenYds, 45);
    EXPECT_EQ(h.TOPMin, 31);
    EXPECT_EQ(h.TOPSec, 45);
    EXPECT_EQ(h.RetYds, 312);

    const TeamStats& a = r.AwayStats;
    EXPECT_EQ(a.RushYds, 88);
    EXPECT_EQ(a.PassYds, 301);
    EXPECT_EQ(a.RushAtt, 18);
    EXPECT_EQ(a.PassAtt, 41);
    EXPECT_EQ(a.PassComp, 26);
    EXPECT_EQ(a.TDs, 1);
    EXPECT_EQ(a.Int, 2);
    EXPECT_EQ(a.Fum, 1);
    EXPECT_EQ(a.FumLost, 0);
    EXPECT_EQ(a.FirstDowns, 22);
    EXPECT_EQ(a.Pen, 9);
    EXPECT_EQ(a.PenYds, 276);
    EXPECT_EQ(a.Sacks, 3);
    EXPECT_EQ(a.SackYds, 19);
    EXPECT_EQ(a.TOPMin, 28);
    EXPECT_EQ(a.TOPSec, 15);
    EXPECT_EQ(a.RetYds, 97);

    EXPECT_EQ(r.Injuries, -2);
    EXPECT_EQ(r.Psychological, 3);
    EXPECT_EQ(r.Situational, -1);
    EXPECT_EQ(r.Weather, 300);
    EXPECT_EQ(r.CommentText(), "Rain \u201Cheavy\u201D");
}

TEST(GameRecord, EncodingADecodedRecordGivesTheSameBytes)
{
    const Bytes bytes = HandMadeRecord();
    EXPECT_EQ(GameRecord::Decode(bytes.data()).Encode(), bytes);

    // Every byte value in every position survives, the comment's included.
    Bytes noise{};
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 37 + 11);
    EXPECT_EQ(GameRecord::Decode(noise).Encode(), noise);
}

// The layout table is the codec: its fields must cover the record once, in order, and each
// row must reach its own member (two rows on one member would write it at two offsets).
template <class Record>
void ExpectEveryFieldOwnsItsBytes(std::size_t size)
{
    const auto fields = Record::Layout();
    EXPECT_TRUE(layout::Contiguous<Record>(fields, size));
    std::set<std::string> names;
    for (const auto& f : fields) {
        SCOPED_TRACE(f.name);
        EXPECT_TRUE(names.insert(f.name).second);
        Record r;
        std::vector<uint8_t> before(size), after(size);
        r.Encode(before.data());
        if (f.set)
            f.set(r, 0x5A);
        else if (f.type == FieldType::Date)
            f.load(r, std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}.data());
        else
            f.load(r, std::vector<uint8_t>(f.size, 'x').data());
        r.Encode(after.data());
        for (std::size_t i = 0; i < size; ++i)
            EXPECT_EQ(before[i] != after[i], i >= f.offset && i < f.offset + f.size && after[i] != 0) << "byte " << i;
    }
}

TEST(RecordLayout, EveryFieldOwnsItsBytes)
{
    EXPECT_EQ(GameRecord::Layout().size(), static_cast<std::size_t>(GameRecord::Field::Count));
    ExpectEveryFieldOwnsItsBytes<GameRecord>(GameRecord::Size);
    ExpectEveryFieldOwnsItsBytes<LineRecord>(LineRecord::Size);
    EXPECT_EQ(GameRecord::FieldOf(GameRecord::Field::AwaySacks).offset, 69u);
    EXPECT_EQ(GameRecord::FieldOf(GameRecord::Field::Comment).offset, 84u);
}

TEST(GameRecord, EncodesAtTheDocumentedOffsets)
{
    GameRecord r;
    r.Year = 2024;
    r.Week = 3;
    r.HomeTeam = 101;
    r.AwayTeam = 100;
    r.SetLine(-3.5);
    r.SetTotal(41);
    r.AwayStats.PenYds = 0x1234;
    r.AwayStats.SackYds = -2;
    r.HomeStats.TOPMin = 31;
    r.Weather = -300;
    const Bytes b = r.Encode();
    EXPECT_EQ(b[0], 0xE8);
    EXPECT_EQ(b[1], 0x07);
    EXPECT_EQ(b[2], 3);
    EXPECT_EQ(b[12], 101);
    EXPECT_EQ(b[13], 100);
    // -35000 = 0xFFFF FFFF FFFF 7748
    const std::array<uint8_t, 8> line{0x48, 0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_TRUE(std::equal(line.begin(), line.end(), b.begin() + 14));
    // 410000 = 0x06 4190
    const std::array<uint8_t, 8> total{0x90, 0x41, 0x06, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(total.begin(), total.end(), b.begin() + 22));
    EXPECT_EQ(b[67], 0x34);
    EXPECT_EQ(b[68], 0x12);
    EXPECT_EQ(b[70], 0xFE);
    EXPECT_EQ(b[71], 0xFF);
    EXPECT_EQ(b[50], 31);
    EXPECT_EQ(b[82], 0xD4);
    EXPECT_EQ(b[83], 0xFE);
    // A record whose comment was never set holds zero bytes.
    for (std::size_t i = 84; i < GameRecord::Size; ++i)
        EXPECT_EQ(b[i], 0) << i;
}

TEST(GameRecord, ScoresZeroAndZeroMeanNotPlayed)
{
    Bytes b = HandMadeRecord();
    b[30] = 0;
    b[31] = 0;
    GameRecord unplayed = GameRecord::Decode(b.data());
    EXPECT_FALSE(unplayed.Played());
    EXPECT_EQ(unplayed.GameFields()[3], -1);
    EXPECT_EQ(unplayed.GameFields()[4], -1);

    b[31] = 3; // away 3, home 0
    GameRecord played = GameRecord::Decode(b.data());
    EXPECT_TRUE(played.Played());
    EXPECT_EQ(played.GameFields()[3], 3);
    EXPECT_EQ(played.GameFields()[4], 0);
}

TEST(GameRecord, GameFieldsFollowTheArrayLayout)
{
    const GameRecord r = GameRecord::Decode(HandMadeRecord().data());
    const auto f = r.GameFields();
    const std::array<int16_t, 32> expected{
        7, 27, 25, 17, 24,
        1905, 28 * 60 + 15,          // TOPMin 31 and TOPSec 45 give 1905 seconds
        131, -4, 29, 33, 21, 1, 2, 4, // home: rush yds, pass yds, rush att, pass att, comp, int, fum lost, sacks
        88, 301, 18, 41, 26, 2, 0, 3, // away
        -2, 300, 3, -1,               // injury, weather, psychological, situational
        2, 2, 1, 19, 22,              // surface, TD passes, first downs
    };
    EXPECT_EQ(f, expected);
}

TEST(GameRecord, CommentIsPaddedWithBlanks)
{
    GameRecord r;
    r.SetComment("0123456789");
    const Bytes b = r.Encode();
    EXPECT_EQ(std::string(b.begin() + 84, b.begin() + 94), "0123456789");
    EXPECT_EQ(std::string(b.begin() + 94, b.end()), std::string(65, ' '));
    EXPECT_EQ(r.CommentText(), "0123456789");

    r.SetComment(std::string(80, 'x') + "tail");
    EXPECT_EQ(r.CommentText(), std::string(75, 'x'));

    r.SetComment("caf\u00E9");
    EXPECT_EQ(r.Comment[3], 0xE9);
    EXPECT_EQ(r.CommentText(), "caf\u00E9");
}

TEST(GameRecord, CommentSurvivesARewriteOfTheRecord)
{
    test::TempFolder folder;
    Bytes original = HandMadeRecord();
    // Bytes no text box would produce: zeros inside, high bytes, trailing blanks.
    for (std::size_t i = 0; i < GameRecord::CommentLength; ++i)
        original[84 + i] = static_cast<uint8_t>((i * 53) % 256);
    Bytes second = original;
    second[2] = 8;
    folder.Write("2023.nfl", std::string(original.begin(), original.end()) + std::string(second.begin(), second.end()));

    {
        RecordFile file(SeasonFilePath(2023), GameRecord::Size, RecordFile::Mode::ReadWrite, FileKind::Season);
        Bytes buf{};
        file.Get(1, buf.data());
        GameRecord r = GameRecord::Decode(buf);
        r.HomeScore = 31; // a corrected score, written back in place
        r.Encode(buf.data());
        file.Put(1, buf.data());
    }
    const std::string after = folder.Read("2023.nfl");
    ASSERT_EQ(after.size(), 2 * GameRecord::Size);
    EXPECT_EQ(static_cast<uint8_t>(after[30]), 31);
    EXPECT_EQ(after.substr(84, 75), std::string(original.begin() + 84, original.end()));
    EXPECT_EQ(after.substr(159), std::string(second.begin(), second.end()));
}

TEST(SeasonFile, NamesAndWholeFileHelpers)
{
    test::TempFolder folder;
    EXPECT_EQ(SeasonFileName(2024), "2024.nfl");
    EXPECT_EQ(SeasonFilePath(1984), folder.Path() / "1984.nfl");

    std::vector<GameRecord> records(3);
    for (int i = 0; i < 3; ++i) {
        records[static_cast<std::size_t>(i)].Year = 2024;
        records[static_cast<std::size_t>(i)].Week = static_cast<uint8_t>(i + 1);
        records[static_cast<std::size_t>(i)].HomeTeam = static_cast<uint8_t>(i + 4);
    }
    ASSERT_TRUE(WriteSeasonFile(SeasonFilePath(2024), records));
    EXPECT_EQ(folder.Read("2024.nfl").size(), 3 * GameRecord::Size);
    EXPECT_EQ(ReadSeasonFile(SeasonFilePath(2024)), records);

    // A short last record rounds like any record file and reads its missing bytes as zero.
    std::string bytes = folder.Read("2024.nfl");
    folder.Write("2023.nfl", bytes.substr(0, 2 * GameRecord::Size + 100));
    const auto cut = ReadSeasonFile(SeasonFilePath(2023));
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[2].Week, 3);
    EXPECT_EQ(cut[2].Comment, (std::array<uint8_t, 75>{}));

    EXPECT_THROW(ReadSeasonFile(SeasonFilePath(2000)), VbError);
}

TEST(LineRecord, DecodesAndEncodesTheTwentyOneBytes)
{
    std::array<uint8_t, LineRecord::Size> b{};
    Put16(b.data(), 0, 2024);
    b[2] = 18;
    b[3] = 30;
    b[4] = 21;
    Put64(b.data(), 5, -35000);
    Put64(b.data(), 13, 410000);
    const LineRecord r = LineRecord::Decode(b.data());
    EXPECT_EQ(r.Year, 2024);
    EXPECT_EQ(r.Week, 18);
    EXPECT_EQ(r.HomeTeam, 30);
    EXPECT_EQ(r.AwayTeam, 21);
    EXPECT_DOUBLE_EQ(r.LineValue(), -3.5);
    EXPECT_DOUBLE_EQ(r.TotalValue(), 41.0);
    EXPECT_EQ(r.Encode(), b);

    LineRecord made;
    made.SetLine(-3.5);
    made.SetTotal(41);
    EXPECT_EQ(made.Line, -35000);
    EXPECT_EQ(made.Total, 410000);
}

TEST(LineRecord, CopiesItsFieldsFromTheSeasonRecord)
{
    const GameRecord game = GameRecord::Decode(HandMadeRecord().data());
    const auto b = LineRecord::FromGame(game).Encode();
    const Bytes g = HandMadeRecord();
    EXPECT_TRUE(std::equal(g.begin(), g.begin() + 3, b.begin()));       // Year, Week
    EXPECT_EQ(b[3], g[12]);                                              // HomeTeam
    EXPECT_EQ(b[4], g[13]);                                              // AwayTeam
    EXPECT_TRUE(std::equal(g.begin() + 14, g.begin() + 30, b.begin() + 5)); // Line, Total
}

TEST(LineRecord, FileNameEndsInTheSeasonsLastTwoDigits)
{
    EXPECT_EQ(LineFileName("MyLines", 2024), "MyLines.L24");
    EXPECT_EQ(LineFileName("Alpha", 2003), "Alpha.L03");
    EXPECT_EQ(LineFileName("Old", 1999), "Old.L99");
}

} // namespace
} // namespace vexal
