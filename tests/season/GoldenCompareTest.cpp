// A golden file that differs names what differs: the record and field of a season or line
// file, the line and position of a formula file, the line of a text, the byte otherwise.
#include "Golden.h"

#include "GameRecord.h"
#include "LineRecord.h"

#include <gtest/gtest.h>

namespace vexal::test {
namespace {

std::string Records(const std::vector<GameRecord>& games) { return EncodeRecords(games); }

TEST(GoldenCompare, NamesTheFirstDifference)
{
    std::vector<GameRecord> games(3);
    for (std::size_t i = 0; i < games.size(); ++i) {
        games[i].Year = 2024;
        games[i].Week = static_cast<uint8_t>(i + 1);
        games[i].HomeStats.RushYds = 100;
    }
    std::vector<GameRecord> changed = games;
    changed[1].AwayStats.SackYds = -7;
    changed[1].Weather = 2;
    std::vector<GameRecord> longer = games;
    longer.push_back(games[0]);
    LineRecord line;
    line.Year = 2024;
    LineRecord otherLine = line;
    otherLine.SetTotal(44.5);
    const auto lineBytes = [](const LineRecord& r) {
        const auto b = r.Encode();
        return std::string(b.begin(), b.end());
    };
    struct Case {
        std::string expected, written;
        GoldenKind kind;
        const char* says;
    };
    const Case cases[] = {
        {Records(games), Records(changed), GoldenKind::Season,
         "season record 2, field AwaySackYds (offset 70): expected 0, written -7"},
        {Records(games), Records(longer), GoldenKind::Season, "expected 3 season records, written 4"},
        {lineBytes(line) + lineBytes(line), lineBytes(line) + lineBytes(otherLine), GoldenKind::Line,
         "line record 2, field Total (offset 13): expected 0 (0.0000), written 445000 (44.5000)"},
        {"3,1,99,1\r\n", "3,1,98,1\r\n", GoldenKind::Formula, "line 1, position 3 of 4: expected \"99\", written \"98\""},
        {"<p>\r\n<b>a</b>\r\n", "<p>\r\n<b>b</b>\r\n", GoldenKind::Text,
         "line 2:\n  expected \"<b>a</b>\\r\\n\"\n  written  \"<b>b</b>\\r\\n\""},
        {std::string("ab\0c", 4), std::string("ab\1c", 4), GoldenKind::Bytes, "byte 2: expected 0x00, written 0x01"},
        {"same", "same", GoldenKind::Bytes, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstDifference(c.expected, c.written, c.kind), c.says);
    EXPECT_EQ(GoldenKindOf("expected.nfl"), GoldenKind::Season);
    EXPECT_EQ(GoldenKindOf("expected.L24"), GoldenKind::Line);
    EXPECT_EQ(GoldenKindOf("expected.fla"), GoldenKind::Formula);
    EXPECT_EQ(GoldenKindOf("VexalPicks.htm"), GoldenKind::Text);
}

} // namespace
} // namespace vexal::test
