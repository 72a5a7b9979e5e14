// The range report page of the Predictions window, run from its report menu on generated
// seasons with formula files in the consensus folders; the page is checked text-exactly.
#include "ConsensusReports.h"
#include "FormulaFile.h"
#include "PopupMenu.h"
#include "Predict.h"
#include "PredictionsTestSupport.h"
#include "ProgramEngineHost.h"
#include "RangeReports.h"
#include "RecordFile.h"
#include "TSPredict.h"
#include "Teams.h"

#include <QPushButton>

#include <cerrno>
#include <optional>

namespace vexal::test {
namespace {

std::string Td(int style, const std::string& body, const std::string& bg)
{
    return "<TD WIDTH=0 ALIGN=CENTER BGCOLOR=" + bg +
           ">\r\n<FONT FACE=Arial, Helvetica, Sans-Serif SIZE=2 Color=#000000>\r\n" + (style ? "<B>" : "") + "\r\n" +
           body + "\r\n" + (style ? "</B>" : "") + "\r\n</FONT>\r\n</TD>\r\n";
}

class RangeReportTest : public PredictionsTest {
protected:
    // Each game's predicted points for a formula line, from an engine of the test's own.
    std::vector<predict::RangeItems> LimitsOf(const std::string& line, bool totals)
    {
        const Formula saved = App().CurrentFormula;
        Formula& f = App().CurrentFormula;
        ApplyFormulaFileNumbers(ParseFormulaFileNumbers(line), f);
        f[fsCurrentWeek] = saved[fsCurrentWeek];
        f[fsTotalsMode] = totals ? 1.0f : 0.0f;
        std::vector<predict::RangeItems> limits;
        TSPredict engine{ProgramEngineHost()};
        engine.Weekly = [&](WeeklyTableArray& table) {
            for (int g = 0; g < 17; ++g)
                limits.push_back(predict::RangeLimitsOf(static_cast<float>(CellNumber(table[g][2])),
                                               static_cast<float>(CellNumber(table[g][3])), f[fsMinDiff], f[fsMaxDiff],
                                               totals));
        };
        std::array<float, 24> filters{};
        engine.TestFormulas({.Low = f, .High = f, .Filters = filters});
        App().CurrentFormula = saved;
        return limits;
    }

    std::string ExpectedPage(const std::string& weekText, bool totals,
                             const std::vector<std::pair<std::string, std::string>>& files)
    {
        std::string page =
            "<HTML><BODY MARGINWIDTH=10 MARGINHEIGHT=10 LEFTMARGIN=10 TOPMARGIN=10 BGCOLOR=#FFFFFF TEXT=#000000 "
            "Background=> <center>\r\n<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 BGCOLOR=#999999>\r\n<TR>\r\n";
        std::string heading = "Vexal Range Report for " + weekText + " - " + ReportDate();
        for (auto at = heading.find("  "); at != std::string::npos; at = heading.find("  "))
            heading.replace(at, 1, "&nbsp;");
        page += Td(1, heading, "#99FFFF") + "</TD></TR></TABLE>\r\n<BR>\r\n";
        const int slot = CurrentSlot();
        const int games = GamesOfWeek(slot);
        const std::string grid = "<TABLE BORDER=0 CELLPADDING=3 CELLSPACING=1 WIDTH=400 BGCOLOR=#999999>\r\n";
        for (const auto& [name, line] : files) {
            page += grid + "<TR>\r\n" + Td(1, name, "#DDDDDD") + "</TD></TR></TABLE>\r\n";
            page += grid + "<TR>\r\n" + Td(1, "Game", "#DDDDDD") + Td(1, "Line Between", "#DDDDDD") +
                    Td(1, "Play", "#DDDDDD");
            const auto limits = LimitsOf(line, totals);
            for (int g = 0; g < games; ++g) {
                const std::string away = TeamName(Season().Game(slot, g, gfAwayTeam), 0, 3);
                const std::string home = TeamName(Season().Game(slot, g, gfHomeTeam), 0, 3);
                const predict::RangeItems& r = limits[g];
                auto text = [](float v) { return RangeNumberText(v); };
                page += "</TR>\r\n<TR>\r\n" + Td(0, away + "@" + home, "#FFFFDD") +
                        Td(0, text(r.item1) + " to " + text(r.item2), "#FFFFDD") +
                        Td(0, totals ? "UNDER" : away, "#FFFFDD") + "</TR>\r\n<TR>\r\n" + Td(0, " ", "#FFFFDD") +
                        Td(0, totals ? text(r.item5) + " to " + text(r.item4) : text(r.item4) + " to " + text(r.item5),
                           "#FFFFDD") +
                        Td(0, totals ? "OVER" : home, "#FFFFDD");
            }
            page += "</TD></TR></TABLE>\r\n<BR>\r\n";
        }
        return page + "</CENTER></BODY></HTML>\r\n";
    }

    void TearDown() override
    {
        PopupMenu::SetChooser({});
        PredictionsTest::TearDown();
    }
    void RunRange(PredictWindow& w)
    {
        PopupMenu::SetChooser([](const std::vector<PopupMenu::Item>&) { return 4; });
        Control<QPushButton>(&w, "cmdConsensus")->click();
    }
    RecordingLauncher& launcher() { return dynamic_cast<RecordingLauncher&>(Launcher()); }
};

TEST_F(RangeReportTest, SidesPageGivesTwoRowsPerGameForEveryListedFormula)
{
    const std::string wide = "3,2,12,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,0,0\r\n";
    folder.Write("Good1.fla", DefaultFormulaLine);
    folder.Write("Wide.fla", wide);
    folder.Write("Consensus/Good1.fla", "");
    folder.Write("Consensus/Wide.fla", "");
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    const Formula before = App().CurrentFormula;
    RunRange(w);
    EXPECT_EQ(folder.Read("user/RangeReport.htm"),
              ExpectedPage(w.WeekText(), false, {{"Good1.fla", DefaultFormulaLine}, {"Wide.fla", wide}}));
    EXPECT_EQ(App().CurrentFormula, before);
    EXPECT_FALSE(w.RangeMode);
    ASSERT_FALSE(launcher().calls.empty());
    EXPECT_EQ(launcher().calls.back().file, (App().UserFolder / "RangeReport.htm").string());
}

TEST_F(RangeReportTest, TotalsPageTakesTheTotalsSetAndAnEmptySetGivesTheHeadingOnly)
{
    folder.Write("Good1.fla", DefaultFormulaLine);
    folder.Write("ConsensusOU/Good1.fla", "");
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    auto* chkOu = Control<QCheckBox>(&w, "chkOu");
    chkOu->click();
    RunRange(w);
    EXPECT_EQ(folder.Read("user/OURangeReport.htm"),
              ExpectedPage(w.WeekText(), true, {{"Good1.fla", DefaultFormulaLine}}));
    chkOu->click();
    RunRange(w);
    EXPECT_EQ(folder.Read("user/RangeReport.htm"), ExpectedPage(w.WeekText(), false, {}));
}

// Each page of the report menu that cannot be written is named once, by the file and the cause
// the write met; an older page stays whole and is not opened as though it were this week's.
TEST_F(RangeReportTest, APageThatCannotBeWrittenIsReportedAndNotOpened)
{
    folder.Write("Good1.fla", DefaultFormulaLine);
    folder.Write("Consensus/Good1.fla", "");
    ChooseWeek(12, 2024);
    PredictWindow& w = OpenPredictions();
    enum class Fault { MissingFolder, DiskFull, AtSync };
    struct Case {
        const char* name;
        int entry;                    // of the report menu
        const char* page;
        Fault fault;
        int error;
    };
    const Case cases[] = {
        {"View Range into a missing folder", 4, "RangeReport.htm", Fault::MissingFolder, ENOENT},
        {"View Range on a full disk", 4, "RangeReport.htm", Fault::DiskFull, ENOSPC},
        {"View Consensus on a failing disk", 1, "Consensus.htm", Fault::AtSync, EIO},
        {"View All Consensus on a full disk", 3, "AllConsensus.htm", Fault::DiskFull, ENOSPC},
    };
    const std::filesystem::path user = App().UserFolder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App().UserFolder = c.fault == Fault::MissingFolder ? folder / "missing" : user;
        const std::filesystem::path page = App().UserFolder / c.page;
        if (c.fault != Fault::MissingFolder)
            folder.Write("user/" + std::string(c.page), "last week's page");
        messages.shown.clear();
        const std::size_t opened = launcher().calls.size();
        {
            std::optional<WriteFault> fault;
            if (c.fault == Fault::DiskFull)
                fault.emplace(4, page);
            else if (c.fault == Fault::AtSync)
                fault.emplace(WriteFault::AtSync, page);
            PopupMenu::SetChooser([&c](const std::vector<PopupMenu::Item>&) { return c.entry; });
            Control<QPushButton>(&w, "cmdConsensus")->click();
        }
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, page.string() + " could not be written: " + ReasonOfError(c.error) + ".");
        EXPECT_EQ(messages.shown[0].title, AppTitle);
        EXPECT_EQ(launcher().calls.size(), opened);
        if (c.fault != Fault::MissingFolder) {
            EXPECT_EQ(folder.Read("user/" + std::string(c.page)), "last week's page");
        }
    }
    App().UserFolder = user;
}

TEST(RangeReportText, LimitsAreShortestPlainNumbers)
{
    EXPECT_EQ(RangeNumberText(2.0f), "2");
    EXPECT_EQ(RangeNumberText(-3.5f), "-3.5");
    EXPECT_EQ(RangeNumberText(0.05f), "0.05");
    EXPECT_EQ(RangeNumberText(-0.0f), "0");
    EXPECT_EQ(RangeNumberText(-12.1f), "-12.1");
}

} // namespace
} // namespace vexal::test
