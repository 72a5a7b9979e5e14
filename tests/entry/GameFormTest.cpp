#include "BoxScore.h"
#include "GameForm.h"
#include "RecordFile.h"
#include "VbConvert.h"

#include <gtest/gtest.h>

namespace vexal::test {
namespace {

GameRecord SampleGame()
{
    GameRecord g;
    g.Year = 2024;
    g.Week = 5;
    g.GameDate = vb::DateSerial(2024, 10, 6);
    g.Surface = 1;
    g.HomeTeam = 7;
    g.AwayTeam = 9;
    g.SetLine(-3.5);
    g.SetTotal(44);
    g.HomeScore = 24;
    g.AwayScore = 17;
    g.HomeStats.RushYds = -5;
    g.HomeStats.TOPMin = 3;
    g.HomeStats.TOPSec = 5;
    g.AwayStats.Fum = 3;
    g.AwayStats.FumLost = 1;
    g.AwayStats.TOPMin = 28;
    g.AwayStats.TOPSec = 5;
    g.Injuries = -3;
    g.Psychological = 4;
    g.SetComment("keep me");
    return g;
}

TEST(GameForm, ShowsEveryFieldAsItsText)
{
    const auto texts = GameTexts(SampleGame(), -3.5, 44);
    EXPECT_EQ(texts[0], "10/6/2024");
    EXPECT_EQ(texts[1], "-3.5");
    EXPECT_EQ(texts[2], "44");
    EXPECT_EQ(texts[3], "17");
    EXPECT_EQ(texts[20], "24");
    EXPECT_EQ(texts[23], "-5");
    EXPECT_EQ(texts[35], "03");
    EXPECT_EQ(texts[36], "05");
    EXPECT_EQ(texts[12], "3");
    EXPECT_EQ(texts[13], "1");
    EXPECT_EQ(GameTextFields()[38].tag, std::string("HTDs"));
}

TEST(GameForm, SavesTheTypedValuesAndKeepsWhatIsNotShown)
{
    GameRecord g = SampleGame();
    const GameRecord before = g;
    GameEdits e;
    e.texts = GameTexts(g, -3.5, 44);
    e.homeTeam = 7;
    e.awayTeam = 9;
    e.surface = 2;
    e.texts[22] = "12";
    e.texts[5] = "14.0";
    e.texts[4] = "";
    e.texts[1] = "-6.5";
    e.texts[35] = "7";
    double line = 0, total = 0;
    std::string message;
    ASSERT_TRUE(ApplyGameEdits(e, g, true, line, total, message)) << message;
    EXPECT_EQ(line, -6.5);
    EXPECT_EQ(total, 44);
    EXPECT_EQ(g.HomeStats.RushAtt, 12);
    EXPECT_EQ(g.AwayStats.RushAtt, 14);
    EXPECT_EQ(g.AwayStats.FirstDowns, 0);
    EXPECT_EQ(g.HomeStats.TOPMin, 7);
    EXPECT_EQ(g.Line, -65000);
    EXPECT_EQ(g.Surface, 2);
    // Season, week, factors and comment are the stored values.
    EXPECT_EQ(g.Year, before.Year);
    EXPECT_EQ(g.Week, before.Week);
    EXPECT_EQ(g.Injuries, before.Injuries);
    EXPECT_EQ(g.Psychological, before.Psychological);
    EXPECT_EQ(g.Situational, before.Situational);
    EXPECT_EQ(g.Weather, before.Weather);
    EXPECT_EQ(g.Comment, before.Comment);

    // With a line file in use the record keeps its own lines.
    e.texts[1] = "1";
    ASSERT_TRUE(ApplyGameEdits(e, g, false, line, total, message));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(g.Line, -65000);
}

TEST(GameForm, RefusesValuesThatDoNotFitAndChangesNothing)
{
    const GameRecord original = SampleGame();
    GameEdits base;
    base.texts = GameTexts(original, -3.5, 44);
    base.homeTeam = 7;
    base.awayTeam = 9;
    struct Case {
        int index;
        const char* text;
        const char* expect;
    };
    for (const Case& c : {Case{5, "300", "the away rushing attempts (0 to 255)"}, Case{3, "-1", "the away score"},
                          Case{23, "40000", "the home rushing yards (-32768 to 32767)"}, Case{7, "1-2", "not a number"},
                          Case{1, "1,5", "not a number"},
                          // A count is never rounded: a score of 3.5 is refused, not stored as 4.
                          Case{3, "3.5", "\"3.5\" is not a whole number for the away score"},
                          Case{22, "12.5", "not a whole number for the home rushing attempts"},
                          Case{23, "-0.5", "not a whole number for the home rushing yards"}, Case{0, "13/45/2024", "Date must be in the format MM/DD/YYYY"}}) {
        GameRecord g = original;
        GameEdits e = base;
        e.texts[static_cast<std::size_t>(c.index)] = c.text;
        double line = 0, total = 0;
        std::string message;
        EXPECT_FALSE(ApplyGameEdits(e, g, true, line, total, message)) << c.text;
        EXPECT_NE(message.find(c.expect), std::string::npos) << message;
        EXPECT_EQ(g, original);
    }
    GameRecord g = original;
    GameEdits noTeam = base;
    noTeam.homeTeam = -1;
    double line = 0, total = 0;
    std::string message;
    EXPECT_FALSE(ApplyGameEdits(noTeam, g, true, line, total, message));
    EXPECT_EQ(g, original);
}

TEST(BoxScore, RowsCarryTheColumnsOfTheTable)
{
    const GameRecord g = SampleGame();
    const BoxScoreRow away = AwayBoxScoreRow(g);
    const BoxScoreRow home = HomeBoxScoreRow(g);
    EXPECT_EQ(away[1], "44");
    EXPECT_EQ(home[1], "-3.5");
    EXPECT_EQ(away[2], "17");
    EXPECT_EQ(home[2], "24");
    EXPECT_EQ(home[4], "-5");
    EXPECT_EQ(away[11], "3");
    EXPECT_EQ(away[12], "1");
    EXPECT_EQ(away[17], "28:05");
    EXPECT_EQ(home[17], "3:05");
    EXPECT_EQ(BoxScoreTable()[17].column, 125);
    EXPECT_EQ(BoxScoreTable()[10].heading, std::string("RET.Y"));

    const auto lines = BoxScoreLines("Wk 5 of 2024", std::vector<GameRecord>(13, g));
    ASSERT_EQ(lines.size(), 4u + 13u * 3u);
    EXPECT_EQ(lines[0].text, "Vexal Statistics");
    EXPECT_EQ(lines[1].text, "Boxscores for Wk 5 of 2024");
    EXPECT_EQ(lines[3].cells[0], "Team");
    EXPECT_EQ(lines.back().kind, BoxScoreLine::Empty);
}

} // namespace
} // namespace vexal::test
