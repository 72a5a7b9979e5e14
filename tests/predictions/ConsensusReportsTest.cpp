// The consensus report of the Predictions window, run from its report menu on generated
// seasons with a few formula files in the consensus folders; pages are checked text-exactly.
#include "ConsensusReports.h"
#include "FormulaFile.h"
#include "PopupMenu.h"
#include "PredictionsTestSupport.h"
#include "ProgramEngineHost.h"
#include "TSPredict.h"
#include "VbError.h"
#include "Teams.h"

#include <QPushButton>

namespace vexal::test {
namespace {

const char* const NoPlayLine = "0,98,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";
const char* const NoRangeLine = "3,0,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,0,0\r\n";

std::string HtmlCell(const std::string& width, const std::string& open, const std::string& body, const std::string& close,
                 const std::string& bg)
{
    return "<TD WIDTH=" + width + " ALIGN=CENTER BGCOLOR=" + bg +
           ">\r\n<FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2 Color=#000000>\r\n" + open + "\r\n" + body + "\r\n" +
           close + "\r\n</FONT>\r\n</TD>\r\n";
}

std::string Blanks(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        out += text[i] == ' ' && i + 1 < text.size() && text[i + 1] == ' ' ? std::string("&nbsp;") : text.substr(i, 1);
    return out;
}

class ConsensusReportTest : public PredictionsTest {
protected:
    // The picks a formula file makes in the current week, from an engine of the test's own.
    std::array<std::string, 17> PicksOf(const std::string& line, bool totals)
    {
        Formula saved = App().CurrentFormula;
        Formula& f = App().CurrentFormula;
        const int week = static_cast<int>(saved[fsCurrentWeek]);
        ApplyFormulaFileNumbers(ParseFormulaFileNumbers(line), f);
        f[fsCurrentWeek] = static_cast<float>(week);
        f[fsTotalsMode] = totals ? 1.0f : 0.0f;
        if (f[fsLineStart] == 0 && f[fsLineEnd] == 0)
            f[fsLineStart] = f[fsLineEnd] = 99;
        std::array<std::string, 17> picks;
        TSPredict engine{ProgramEngineHost()};
        engine.Weekly = [&](WeeklyTableArray& table) {
            for (int g = 0; g < 17; ++g) {
                try {
                    picks[g] = TeamAbbrev3(static_cast<int>(CellNumber(table[g][0])), 0, 0);
                } catch (const VbError&) {
                }
            }
        };
        std::array<float, 24> filters{};
        engine.TestFormulas({.Low = f, .High = f, .Filters = filters});
        App().CurrentFormula = saved;
        return picks;
    }

    std::string ExpectedPage(const std::string& weekText, bool totals, const std::vector<std::pair<std::string, std::string>>& files)
    {
        const int slot = CurrentSlot();
        std::string page =
            "<HTML><BODY MARGINWIDTH=10 MARGINHEIGHT=10 LEFTMARGIN=10 TOPMARGIN=10 BGCOLOR=#FFFFFF TEXT=#000000 "
            "Background=> <center>\r\n<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 BGCOLOR=#999999>\r\n<TR>\r\n";
        page += "<TD WIDTH=0 ALIGN=CENTER BGCOLOR=#99FFFF>\r\n<FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2 "
                "Color=#000000>\r\n<B>\r\n<Big>Vexal " +
                std::string(totals ? "Totals" : "Sides") + " Consensus Report for " + Blanks(weekText) + " - " +
                ReportDate() + "</Big>\r\n</B>\r\n</FONT>\r\n</TD>\r\n";
        page += "</TD></TR></TABLE>\r\n<BR>\r\n<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 BGCOLOR=#999999>\r\n<TR>\r\n";
        page += HtmlCell("30", "<B>", " ", "</B>", "#DDDDDD");
        const int games = GamesOfWeek(slot);
        for (int g = 0; g < games; ++g) {
            const float number = totals ? Season().Total(slot, g) : Season().Spread(slot, g);
            const std::string text = TeamAbbrev3(Season().Game(slot, g, gfAwayTeam), 0, 0) + " @ " +
                                     TeamAbbrev3(Season().Game(slot, g, gfHomeTeam), 0, 0) + "  " +
                                     vb::Trim(vb::StrSingle(number));
            page += HtmlCell("30", "<B>", Blanks(text), "</B>", "#DDDDDD");
        }
        page += "</TR>\r\n";
        for (const auto& [name, line] : files) {
            page += "<TR>\r\n" + HtmlCell("30", "<B>", name.substr(0, name.find('.')), "</B>", "#FFFFDD");
            const auto picks = PicksOf(line, totals);
            for (int g = 0; g < games; ++g)
                page += HtmlCell("30", "", Blanks(picks[g].empty() ? "   " : picks[g]), "", "#FFFFDD");
            page += "</TR>\r\n";
        }
        return page + "</TD></TR></TABLE>\r\n</CENTER></BODY></HTML>\r\n";
    }

    void ChooseReport(int number)
    {
        PopupMenu::SetChooser([number](const std::vector<PopupMenu::Item>& items) {
            EXPECT_EQ(items.size(), 5u);
            return number;
        });
    }
    void TearDown() override
    {
        PopupMenu::SetChooser({});
        PredictionsTest::TearDown();
    }
    RecordingLauncher& launcher() { return dynamic_cast<RecordingLauncher&>(Launcher()); }
};

TEST_F(ConsensusReportTest, SidesPageHasAHeaderRowAndOneRowOfPicksPerListedFile)
{
    const std::vector<std::pair<std::string, std::string>> files = {
        {"Good12.fla", DefaultFormulaLine}, {"NoPlay.fla", NoPlayLine}, {"a.b.fla", NoRangeLine}};
    for (const auto& [name, line] : files) {
        folder.Write(name, line);
        folder.Write("Consensus/" + name, "stale copy, not read\r\n");
    }
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    const Formula before = App().CurrentFormula;
    auto* button = Control<QPushButton>(&w, "cmdConsensus");
    ASSERT_TRUE(button->isEnabled());
    ChooseReport(1);
    button->click();

    const std::string page = folder.Read("user/Consensus.htm");
    // The list shows the folder in name order, case aside.
    EXPECT_EQ(page, ExpectedPage(w.WeekText(), false, {files[2], files[0], files[1]}));
    EXPECT_NE(page.find("NoPlay"), std::string::npos);
    EXPECT_EQ(App().CurrentFormula, before);
    ASSERT_FALSE(launcher().calls.empty());
    EXPECT_EQ(launcher().calls.back().file, (App().UserFolder / "Consensus.htm").string());
    EXPECT_FALSE(w.ConsensusMode);
}

TEST_F(ConsensusReportTest, TotalsPageReadsTheTotalsFolderAndAnEmptySetGivesTheHeaderOnly)
{
    folder.Write("Good1.fla", DefaultFormulaLine);
    folder.Write("ConsensusOU/Good1.fla", DefaultFormulaLine);
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    auto* chkOu = Control<QCheckBox>(&w, "chkOu");
    chkOu->click();
    ChooseReport(1);
    Control<QPushButton>(&w, "cmdConsensus")->click();
    const std::string page = folder.Read("user/OUConsensus.htm");
    EXPECT_EQ(page, ExpectedPage(w.WeekText(), true, {{"Good1.fla", DefaultFormulaLine}}));
    EXPECT_TRUE(page.find("OVR") != std::string::npos || page.find("UND") != std::string::npos);

    chkOu->click();
    Control<QPushButton>(&w, "cmdConsensus")->click();
    EXPECT_EQ(folder.Read("user/Consensus.htm"), ExpectedPage(w.WeekText(), false, {}));
}

TEST_F(ConsensusReportTest, ClosingTheMenuWithoutAChoiceWritesNothing)
{
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    ChooseReport(0);
    Control<QPushButton>(&w, "cmdConsensus")->click();
    EXPECT_FALSE(std::filesystem::exists(App().UserFolder / "Consensus.htm"));
}

TEST(ConsensusReportText, RowLabelsAndNumbers)
{
    EXPECT_EQ(ConsensusRowLabel("Good12.fla"), "Good12");
    EXPECT_EQ(ConsensusRowLabel("a.b.fla"), "a");
    EXPECT_EQ(ConsensusRowLabel("plain"), "plain");
    EXPECT_EQ(ReportNumberText(-3.5f), "-3.5");
    EXPECT_EQ(ReportNumberText(44), "44");
    EXPECT_EQ(ReportNumberText(0.1f), "0.1");
    EXPECT_EQ(ReportNumberText(0), "0");
    EXPECT_EQ(ReportDate().size(), 10u);
}

} // namespace
} // namespace vexal::test
