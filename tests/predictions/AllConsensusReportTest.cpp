// The all-formula consensus page: the GUI-free blocks text-exactly, and the window's run over
// a generated season from the report menu.
#include "ConsensusReports.h"
#include "PopupMenu.h"
#include "PredictionsTestSupport.h"

#include <QPushButton>

namespace vexal::test {
namespace {

std::string Td(const std::string& width, const std::string& align, int style, const std::string& body,
               const std::string& bg)
{
    const std::string open = style ? "<B>" : "";
    const std::string close = style ? "</B>" : "";
    return "<TD WIDTH=" + width + align + " BGCOLOR=" + bg +
           ">\r\n<FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2 Color=#000000>\r\n" + open + "\r\n" + body + "\r\n" +
           close + "\r\n</FONT>\r\n</TD>\r\n";
}
const std::string C = " ALIGN=CENTER";
const std::string L = " ALIGN=LEFT";
const std::string Grid400 = "<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 WIDTH=400 BGCOLOR=#999999>\r\n";
const std::string EndGrid = "</TD></TR></TABLE>\r\n";

Formula FormulaOf(std::initializer_list<std::pair<int, float>> settings)
{
    Formula f{};
    for (const auto& [slot, value] : settings)
        f[static_cast<std::size_t>(slot)] = value;
    return f;
}

TEST(AllConsensusPage, BlockOfSettingsOptionsAndWeeklyRecordsWrittenExactly)
{
    TempFolder folder;
    AllConsensusPage page(folder / "a.htm", false, "Wk 3 of 2024", "12-01-2024", "");
    page.BeginBlock("Good12", FormulaOf({{0, 3}, {1, 0.5f}, {2, 99}, {5, 40}, {6, 60}, {9, 4}, {10, 1}, {16, 1},
                                         {18, 1}, {20, 10}}));
    // Columns: week in 1 to 11, the week's record in 12 to 26, the season's from 28.
    page.Breakdown("Weekly      Season\r\nWeek  W-L-T  Win%\r\n1          2-1-0 66.7       2-1-0 66.7\r\n"
                   "2           0-2-1 0.0      2-3-1  40.0 \r\n\r\n3 without its line end");
    page.EndBlock();
    page.Close();
    const std::string bg = "#DDDDDD";
    std::string expected =
        "<HTML><BODY MARGINWIDTH=10 MARGINHEIGHT=10 LEFTMARGIN=10 TOPMARGIN=10 BGCOLOR=#FFFFFF TEXT=#000000 "
        "Background=> <center>\r\n" +
        Grid400 + "<TR>\r\n" +
        Td("400", C, 1, "Vexal All Consensus Report (Sides) for Wk 3 of 2024 - 12-01-2024", "#99FFFF") + EndGrid +
        "<BR>\r\n" + Grid400 + "<TR>\r\n" + Td("0", C, 1, "Good12", bg) + EndGrid + Grid400;
    const char* heads[] = {"HFA", "Min.", "Max.", "Off.", "Def.", "Rush.", "Pass.", "T/O", "Mult.", "Roll."};
    for (int i = 0; i < 10; ++i)
        expected += (i == 0 ? "<TR>\r\n" : "") + Td("0", L, 1, heads[i], bg);
    const char* values[] = {"3", "0.5", "99", "0", "0", "60", "40", "0", "0", " 4"};
    for (int i = 0; i < 10; ++i)
        expected += (i == 0 ? "<TR>\r\n" : "") + Td("0", L, 1, values[i], bg);
    expected += EndGrid + Grid400 + "<TR>\r\n" +
                Td("-1", L, 1, "Options: Separate Home/Away&nbsp; Power Ratings&nbsp; ", bg) + "<TR>\r\n" +
                Td("-1", L, 1, "Optimized for: Home Games&nbsp; Overs&nbsp; ", bg) + EndGrid;
    expected += Grid400 + "<TR>\r\n" + Td("0", C, 1, "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp; ", bg) +
                Td("0", C, 1, "Weekly Record", bg) + Td("0", C, 1, "Season Record", bg) + EndGrid;
    const std::string y = "#FFFFDD";
    expected += Grid400 + "<TR>\r\n" + Td("0", L, 1, "Week", y) + Td("0", C, 1, "W-L-T", y) +
                Td("0", C, 1, "Win %", y) + Td("0", C, 1, "W-L-T", y) + Td("0", C, 1, "Win %", y);
    expected += "<TR>\r\n" + Td("0", L, 0, "1", y) + Td("0", C, 0, "2-1-0", y) + Td("0", C, 0, "66.7", y) +
                Td("0", C, 0, "2-1-0", y) + Td("0", C, 0, "66.7", y);
    expected += "<TR>\r\n" + Td("0", L, 0, "2", y) + Td("0", C, 0, "0-2-1", y) + Td("0", C, 0, "0.0", y) +
                Td("0", C, 0, "2-3-1", y) + Td("0", C, 0, "40.0", y);
    expected += EndGrid + "<BR>\r\n<BR>\r\n</CENTER></BODY></HTML>\r\n";
    EXPECT_EQ(folder.Read("a.htm"), expected);
}

TEST(AllConsensusPage, OptionLinesOnlyForSetSlots)
{
    EXPECT_EQ(AllConsensusOptionsText(FormulaOf({})), "");
    EXPECT_EQ(AllConsensusOptimizedText(FormulaOf({})), "");
    EXPECT_EQ(AllConsensusOptimizedText(FormulaOf({{20, 10}})), "Optimized for: Overs  ");
    // A value that is set but is not 1 opens the line without naming the option.
    EXPECT_EQ(AllConsensusOptionsText(FormulaOf({{17, 2}})), "Options: ");
    EXPECT_EQ(AllConsensusOptionsText(FormulaOf({{11, 1}, {15, 1}, {17, 1}})),
              "Options: Discard High/Low  Include Other Factors  No Line  ");
}

class AllConsensusWindowTest : public PredictionsTest {
protected:
    void TearDown() override
    {
        PopupMenu::SetChooser({});
        PredictionsTest::TearDown();
    }
};

TEST_F(AllConsensusWindowTest, EveryListedFormulaGetsABlockWithItsWeeklyRecord)
{
    folder.Write("Good1.fla", DefaultFormulaLine);
    folder.Write("Good2.fla", "3,0,99,1,50,50,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
    folder.Write("Consensus/Good1.fla", "");
    folder.Write("Consensus/Good2.fla", "");
    ChooseWeek(6, 2024);
    PredictWindow& w = OpenPredictions();
    const Formula before = App().CurrentFormula;
    PopupMenu::SetChooser([](const std::vector<PopupMenu::Item>&) { return 3; });
    Control<QPushButton>(&w, "cmdConsensus")->click();

    const std::string page = folder.Read("user/AllConsensus.htm");
    const std::string heading = "Vexal All Consensus Report (Sides) for " + w.WeekText() + " - " + ReportDate();
    std::string shown = heading;
    for (auto at = shown.find("  "); at != std::string::npos; at = shown.find("  "))
        shown.replace(at, 1, "&nbsp;");
    EXPECT_NE(page.find(shown), std::string::npos);
    const auto good1 = page.find("\r\nGood1\r\n");
    const auto good2 = page.find("\r\nGood2\r\n");
    ASSERT_NE(good1, std::string::npos);
    ASSERT_NE(good2, std::string::npos);
    EXPECT_LT(good1, good2);
    EXPECT_NE(page.find("\r\n 4\r\n"), std::string::npos);   // Good1 rolls 4 weeks
    EXPECT_NE(page.find("\r\nSTD\r\n"), std::string::npos);       // Good2 season to date
    // The back-test runs from the season's first week to the chosen one, all played: six rows each.
    auto rows = [&](std::size_t from, std::size_t to) {
        int n = 0;
        for (int week = 1; week <= 7; ++week)
            if (page.substr(from, to - from).find("<TD WIDTH=0 ALIGN=LEFT BGCOLOR=#FFFFDD>\r\n<FONT FACE=Arial, "
                                                  "Helvetica, Sans-Serif SIZE=2 Color=#000000>\r\n\r\n" +
                                                  std::to_string(week) + " of 2024\r\n") != std::string::npos)
                ++n;
        return n;
    };
    EXPECT_EQ(rows(good1, good2), 6);
    EXPECT_EQ(rows(good2, page.size()), 6);
    EXPECT_EQ(App().CurrentFormula, before);
    EXPECT_FALSE(w.ConsensusMode);
    auto& launcher = dynamic_cast<RecordingLauncher&>(Launcher());
    ASSERT_FALSE(launcher.calls.empty());
    EXPECT_EQ(launcher.calls.back().file, (App().UserFolder / "AllConsensus.htm").string());
}

} // namespace
} // namespace vexal::test
