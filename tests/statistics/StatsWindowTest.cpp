// The Statistics window driven as a user would: generated seasons loaded by the real loader,
// the window opened in the main window's view area, menus chosen, headers and rows clicked.
#include "ViewTestSupport.h"
#include "Golden.h"
#include "PdfText.h"
#include "AppState.h"
#include "FormulaWindows.h"
#include "Grid.h"
#include "Host.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "PrintDialog.h"
#include "ProgramEngineHost.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SharedProcs.h"
#include "StandIns.h"
#include "StatsWindow.h"
#include "TSPredict.h"
#include "Teams.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QPixmap>
#include <QPrinter>
#include <QPushButton>

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include <array>
#include <cstdio>
#include <memory>

namespace vexal {
void RegisterStatisticsWindows();
}

namespace vexal::test {
namespace {


class StatsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PrepareSampleProgram(folder, 7));
        folder.Write("default.fla", "3,0,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
        ASSERT_TRUE(SelectSeason(2024));
        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterFormulaWindows();
        RegisterStatisticsWindows();
    }

    void TearDown() override
    {
        PopupMenu::SetChooser({});
        UnloadWindow("FORM6");
        UnloadWindow("frmFormula");
        UnloadWindow("Main");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        ResetSeasonLoader();
        ResetSeason();
        ResetApp();
        SetProgramFolder({});
    }

    void ChooseWeek(int week, int year)
    {
        ASSERT_TRUE(ChooseWeekText(WeekText(week, year)));
    }

    // Opens the window with a rolling window of four games, taken together.
    StatsWindow& Open(int rollingWeeks = 4, int separate = 0)
    {
        // The program loads the formula editor at start-up; its load refreshes the active view.
        LoadWindow("frmFormula");
        auto* w = qobject_cast<StatsWindow*>(ShowWindow("FORM6"));
        EXPECT_NE(w, nullptr);
        QCoreApplication::processEvents();
        Formula& f = App().CurrentFormula;
        f[fsRollingWeeks] = static_cast<float>(rollingWeeks);
        f[fsSeparateHomeAway] = static_cast<float>(separate);
        f[fsDiscardHighLow] = 0;
        f[fsSeasonToDate] = rollingWeeks == 0 ? 1.0f : 0.0f;
        Refresh(*w);
        return *w;
    }
    static void Refresh(StatsWindow& w) { w.findChild<QPushButton*>("Command2")->click(); }
    static void Choose(StatsWindow& w, const char* item)
    {
        QAction* action = w.findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }
    static std::string Cell(const Grid& g, int row, int col) { return g.CellFormattedText(row, col).toStdString(); }
    static std::string Heading(StatsWindow& w) { return w.lblHeading()->text().toStdString(); }
    static int Slot() { return static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1; }
    static std::string Name(int code) { return TeamName(code, 0, NameStyleAsShown); }

    // What the engine gives for a matchup, asked the way the sheet asks.
    struct Figures {
        bool raised = false;
        TSPredict::AveragesArray home{}, away{};
    };
    static Figures EngineFigures(int gameSlot)
    {
        TSPredict engine{ProgramEngineHost()};
        Figures out;
        engine.Stats = [&](auto&, auto&, auto& team, auto& opp) {
            out.raised = true;
            out.home = team;
            out.away = opp;
        };
        const int w = Slot() + 1;
        const auto games = static_cast<int16_t>(App().CurrentFormula[fsRollingWeeks]);
        engine.lastgame_team(Season().Game(w - 1, gameSlot, gfHomeTeam), static_cast<int16_t>(w), games);
        engine.lastgame_opponent(Season().Game(w - 1, gameSlot, gfAwayTeam), static_cast<int16_t>(w), games);
        return out;
    }
    static int GamesOfWeek(int slot)
    {
        int n = 0;
        for (int g = 0; g < 16; ++g)
            if (Season().Game(slot, g, gfAwayTeam) + Season().Game(slot, g, gfHomeTeam) != 0)
                ++n;
        return n;
    }

    ScriptedMessages& messages = InstallScriptedMessages();
    TempFolder folder;
};

TEST_F(StatsWindowTest, OpensOnTheWeeklySheetWithItsMenus)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    EXPECT_EQ(w.objectName(), "FORM6");
    EXPECT_EQ(w.windowTitle(), "Statistics");
    for (const char* name : {"print", "Html", "exit", "mnuStats", "LETTS", "NUMS", "TTS", "PTS", "OTDP", "DF", "TAS",
                             "QBRate", "OQBRate", "mnuOTOP", "BXST", "BXSW", "WK02_1", "WK02_22", "Help"})
        EXPECT_NE(w.findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(w.MenuItem("DF")->text(), "&Fumbles (Recovered)");
    EXPECT_EQ(w.MenuItem("WK02_7")->text(), "Week 07");

    Grid& g = *w.grdStats();
    ASSERT_EQ(g.Cols(), 17);
    EXPECT_EQ(g.ColumnHeader(1).toStdString(), "Team Name");
    EXPECT_EQ(g.ColumnHeader(13).toStdString(), "P%");
    EXPECT_EQ(g.ColumnHeader(17).toStdString(), "TOP");
    EXPECT_EQ(Heading(w), "Stats for " + WeekText(8, 2024) +
                              " using A rolling average of 4 weeks\r\n and no separate home and away games");

    // Four rows a matchup, in slot order, with the engine's figures.
    ASSERT_EQ(g.Rows(), 4 * GamesOfWeek(Slot()));
    const Figures first = EngineFigures(0);
    ASSERT_TRUE(first.raised);
    EXPECT_EQ(Cell(g, 1, 1), Name(Season().Game(Slot(), 0, gfAwayTeam)));
    EXPECT_EQ(Cell(g, 2, 1), "   DEFENSE");
    EXPECT_EQ(Cell(g, 3, 1), Name(Season().Game(Slot(), 0, gfHomeTeam)));
    EXPECT_EQ(Cell(g, 1, 2), vb::FormatSingle(first.away[0], "0.0"));
    EXPECT_EQ(Cell(g, 2, 4), vb::FormatSingle(first.away[3], "0.0"));
    EXPECT_EQ(Cell(g, 3, 3), vb::FormatSingle(first.home[38], "0.0"));
    EXPECT_EQ(Cell(g, 4, 9), vb::FormatSingle(first.home[17], "0.0"));
    EXPECT_EQ(g.CellBackColor(1, 5), 0xFFFFFF);
    EXPECT_EQ(Cell(g, 5, 1), Name(Season().Game(Slot(), 1, gfAwayTeam)));
}

// After every resize, smaller or larger, the sheet shows every column whole without scrolling
// sideways, and every row the window has room for.
TEST_F(StatsWindowTest, SheetFollowsTheWindowWithEveryColumnWhole)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    Grid& g = *w.grdStats();
    ASSERT_GT(g.Rows(), 0);
    QWidget* frame = w.parentWidget() ? w.parentWidget() : &w;
    for (const QSize size : {QSize(780, 560), QSize(1260, 980), QSize(780, 560)}) {
        frame->resize(size);
        QCoreApplication::processEvents();
        const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
        int columns = 0;
        for (int c = 1; c <= g.Cols(); ++c) {
            if (!g.ColumnVisible(c))
                continue;
            columns += g.ColumnWidth(c);
            for (int r = 1; r <= g.Rows(); ++r)
                EXPECT_LT(QFontMetrics(g.CellFont(r, c)).horizontalAdvance(g.CellFormattedText(r, c)), g.ColumnWidth(c))
                    << at << " " << r << "," << c;
        }
        EXPECT_LE(columns, g.viewport()->width()) << at;
        // Every row is shown, or the grid reaches down to the window's foot.
        int rows = 0;
        for (int r = 1; r <= g.Rows(); ++r)
            rows += g.RowHeight(r);
        const int foot = g.parentWidget()->height() - g.y() - g.height();
        EXPECT_TRUE(g.viewport()->height() >= rows || foot <= 12) << at << " rows " << rows << " shown " << g.viewport()->height();
    }
}

TEST_F(StatsWindowTest, DisplayModesSwitchAndSwitchBack)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    Grid& g = *w.grdStats();
    const int games = GamesOfWeek(Slot());
    Choose(w, "LETTS");
    EXPECT_TRUE(w.MenuItem("LETTS")->isChecked());
    ASSERT_EQ(g.Rows(), 2 * games);
    for (int c = 2; c <= 17; ++c)
        EXPECT_EQ(Cell(g, 1, c).size(), 2u) << c;
    EXPECT_EQ(Cell(g, 2, 1), Name(Season().Game(Slot(), 0, gfHomeTeam)));

    Choose(w, "NUMS");
    EXPECT_TRUE(w.MenuItem("NUMS")->isChecked());
    EXPECT_FALSE(w.MenuItem("LETTS")->isChecked());
    ASSERT_EQ(g.Rows(), 2 * games);
    const Figures first = EngineFigures(0);
    const float rushing = static_cast<float>((static_cast<double>(first.away[2]) + first.home[3]) / 2.0);
    EXPECT_EQ(Cell(g, 1, 4), vb::FormatSingle(rushing, "0.0"));

    Choose(w, "mnuStats");   // redraws the current mode
    EXPECT_EQ(g.Rows(), 2 * games);
    Choose(w, "NUMS");       // a checked mode chosen again: raw values
    EXPECT_FALSE(w.MenuItem("NUMS")->isChecked());
    EXPECT_EQ(g.Rows(), 4 * games);
}

TEST_F(StatsWindowTest, WeekZeroSaysSoAndLeavesTheSheetEmpty)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    App().CurrentFormula[fsCurrentWeek] = 0;
    messages.shown.clear();
    Refresh(w);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Week can not be 0");
    EXPECT_EQ(w.grdStats()->Rows(), 0);
    EXPECT_EQ(w.grdStats()->Cols(), 17);
}

TEST_F(StatsWindowTest, LeagueRankingOfTotalFumbles)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    Choose(w, "F");
    EXPECT_EQ(Heading(w), "TOTAL FUMBLES");
    EXPECT_EQ(w.StatCode, 0);
    Grid& g = *w.grdStats();
    ASSERT_EQ(g.Cols(), 7);
    ASSERT_EQ(g.Rows(), 17);
    // Every club has games by week 8: 17 in the left block, 15 on the right, the mean in red.
    std::vector<double> values;
    for (int r = 1; r <= 17; ++r)
        values.push_back(g.CellValue(r, 3).toDouble());
    for (int r = 1; r <= 15; ++r)
        values.push_back(g.CellValue(r, 7).toDouble());
    for (std::size_t i = 1; i < values.size(); ++i)
        EXPECT_LE(values[i - 1], values[i]) << i;
    EXPECT_EQ(Cell(g, 17, 5), "League Ave.");
    EXPECT_EQ(g.CellForeColor(17, 5), 255);
    double sum = 0;
    for (double v : values)
        sum += v;
    EXPECT_NEAR(g.CellValue(17, 7).toDouble(), sum / 32, 1e-3);
    EXPECT_TRUE(Cell(g, 16, 5).empty());

    // Any header of the ranking returns to the sheet.
    emit g.ColumnClick(2);
    EXPECT_EQ(g.Cols(), 17);
    EXPECT_GT(g.Rows(), 0);
}

TEST_F(StatsWindowTest, SheetHeaderOpensPassingPercentageAndPossessionShowsMinutes)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    emit w.grdStats()->ColumnClick(13);
    EXPECT_EQ(Heading(w), "OFFENSIVE PASSING PERCENTAGE");
    EXPECT_EQ(w.grdStats()->Cols(), 7);
    Refresh(w);
    emit w.grdStats()->ColumnClick(17);
    EXPECT_EQ(Heading(w), "AVERAGE OFFENSIVE TIME OF POSSESSION");
    const std::string top = Cell(*w.grdStats(), 1, 3);
    ASSERT_GE(top.size(), 4u);
    EXPECT_EQ(top[top.size() - 3], ':');
}

TEST_F(StatsWindowTest, SeparateHomeAwayRanksOnlyTheWeeksClubs)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open(4, 1);
    Choose(w, "Pa");   // passing attempts: the home club's figure comes from the team side
    const auto& entries = w.RankEntries();
    EXPECT_EQ(static_cast<int>(entries.size()), 2 * GamesOfWeek(Slot()));
    EXPECT_EQ(Cell(*w.grdStats(), w.grdStats()->Rows(), 5), "Average");
    // Each club's value is its own pass attempts over its home (or away) games.
    TSPredict engine{ProgramEngineHost()};
    const int home = Season().Game(Slot(), 0, gfHomeTeam);
    float expected = -1;
    engine.Stats = [&](auto& team, auto&, auto&, auto&) { expected = team[4]; };
    engine.lastgame_team(static_cast<int16_t>(home), static_cast<int16_t>(Slot() + 1), 4);
    engine.lastgame_opponent(Season().Game(Slot(), 0, gfAwayTeam), static_cast<int16_t>(Slot() + 1), 4);
    ASSERT_GE(expected, 0);
    bool found = false;
    for (const auto& e : entries)
        if (e.name == Name(home)) {
            ASSERT_TRUE(e.value);
            EXPECT_EQ(*e.value, expected);
            found = true;
        }
    EXPECT_TRUE(found);
}

TEST_F(StatsWindowTest, ActivationBuildsBothTeamMenusAndLeavesTheSeasonsAlignment)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    // The shared order is the chosen season's: building the menus of both alignments leaves
    // it as it was, whichever it is.
    SetDivisionOrder(2001);
    w.Form_Activate();
    const auto aligned = DivisionOrderOf(2001);
    for (std::size_t i = 0; i < aligned.size(); ++i)
        EXPECT_EQ(DivisionOrder()[i], aligned[i]) << i;
    auto count = [&](const char* key, int& teams, int& divisions) {
        teams = divisions = 0;
        const auto* items = w.cPop().StoredItems(key);
        ASSERT_NE(items, nullptr);
        for (const auto& item : *items) {
            ASSERT_FALSE(item.caption.empty());
            if (item.parent == 0)
                continue;
            if (item.icon > 0)
                ++teams;
            else
                ++divisions;
        }
    };
    int teams = 0, divisions = 0;
    count("Team List", teams, divisions);
    EXPECT_EQ(teams, 31);
    EXPECT_EQ(divisions, 6);
    count("Team List2002", teams, divisions);
    EXPECT_EQ(teams, 32);
    EXPECT_EQ(divisions, 8);
    // A ranking is replaced by the sheet on activation.
    Choose(w, "PTS");
    w.Form_Activate();
    EXPECT_EQ(w.grdStats()->Cols(), 17);
}

TEST_F(StatsWindowTest, TeamAveragesAndTotalsFromThePopup)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    const int team = Season().Game(Slot(), 0, gfHomeTeam);
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].caption == Name(team))
                return static_cast<int>(i) + 1;
        return 0;
    });
    Choose(w, "TAS");
    EXPECT_EQ(Heading(w), "Stats for " + Name(team) + " over the last 4 games");
    Grid& g = *w.grdStats();
    ASSERT_EQ(g.Cols(), 3);
    ASSERT_EQ(g.Rows(), 8);
    EXPECT_EQ(g.ColumnHeader(1).toStdString(), "Average Stats");
    EXPECT_EQ(Cell(g, 4, 1), "Yards / Rush");
    TSPredict engine{ProgramEngineHost()};
    TSPredict::AveragesArray avg{};
    TSPredict::TotalsArray totals{};
    engine.Stats = [&](auto&, auto& ot, auto&, auto& oa) {
        avg = oa;
        totals = ot;
    };
    engine.lastgame_team(static_cast<int16_t>(team), static_cast<int16_t>(Slot() + 1), 4);
    engine.lastgame_opponent(static_cast<int16_t>(team), static_cast<int16_t>(Slot() + 1), 4);
    EXPECT_EQ(Cell(g, 1, 2), vb::FormatSingle(avg[0], "0.0"));
    EXPECT_EQ(Cell(g, 8, 3), vb::FormatSingle(avg[23], "0.0"));
    EXPECT_EQ(w.StatCode, 0);

    Choose(w, "TTS");
    EXPECT_EQ(g.ColumnHeader(1).toStdString(), "Total Stats");
    EXPECT_EQ(Cell(g, 5, 1), "Pass Attempts");
    EXPECT_EQ(g.CellValue(5, 2).toFloat(), totals[3]);
    EXPECT_EQ(g.CellValue(3, 2).toFloat(), totals[4]);

    // A division heading is no team.
    PopupMenu::SetChooser([](const std::vector<PopupMenu::Item>& items) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].caption == "AFC North")
                return static_cast<int>(i) + 1;
        return 0;
    });
    messages.shown.clear();
    Choose(w, "TAS");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No Stats Available");
    EXPECT_EQ(g.ColumnHeader(1).toStdString(), "Total Stats");
}

TEST_F(StatsWindowTest, TeamViewsShowWhatThereIsWithoutLogosOrGames)
{
    // A theme picture named and no team logos installed, as in a program folder.
    App().ThemePicture = (folder / "theme.jpg").string();
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    const int team = Season().Game(Slot(), 0, gfHomeTeam);
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].caption == Name(team))
                return static_cast<int>(i) + 1;
        return 0;
    });
    Grid& g = *w.grdStats();
    messages.shown.clear();
    Choose(w, "BXST");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Heading(w), Name(team) + " BOXSCORES");
    EXPECT_GT(g.Rows(), 20);
    EXPECT_EQ(Cell(g, 1, 1).rfind("Wk ", 0), 0u);

    // A club's table, then a week where it has no counted game: no table, not the old one.
    Choose(w, "TAS");
    ASSERT_EQ(g.Rows(), 8);
    ChooseWeek(1, 2023);
    Choose(w, "TAS");
    EXPECT_EQ(Heading(w), "Stats for " + Name(team) + " over the last 4 games");
    EXPECT_EQ(g.Rows(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

// Before 1995 two clubs played in Los Angeles: a club's row opens its own box scores.
TEST_F(StatsWindowTest, EachClubsRowOpensItsOwnBoxScoresWhereClubsShareACity)
{
    samplegen::SampleOptions options;
    options.Seed = 5;
    options.FromYear = 1994;
    options.ToYear = 1994;
    std::string error;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options, &error)) << error;
    ASSERT_TRUE(SelectSeason(1994));
    ChooseWeek(8, 1994);
    StatsWindow& w = Open();
    Grid& g = *w.grdStats();
    int shown = 0;   // the sheet's games: four rows each
    for (int game = 0; game < 16; ++game) {
        const int away = Season().Game(Slot(), game, gfAwayTeam);
        const int home = Season().Game(Slot(), game, gfHomeTeam);
        if (away + home == 0)
            continue;
        for (const auto& [row, club] : {std::pair{4 * shown + 1, away}, std::pair{4 * shown + 3, home}}) {
            ASSERT_EQ(g.Cols(), 17);
            emit g.CellClick(row, 1);
            EXPECT_EQ(w.GridTeam, club) << Name(club);
            emit g.CellClick(1, 1);   // the week's row: every game of the club
            emit g.CellClick(1, 1);   // back to the sheet
        }
        ++shown;
    }
}

TEST_F(StatsWindowTest, RowChoicesWalkFromSheetToBoxScoresAndBack)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    Grid& g = *w.grdStats();
    const int away = Season().Game(Slot(), 0, gfAwayTeam);
    const int home = Season().Game(Slot(), 0, gfHomeTeam);
    emit g.CellClick(2, 1);   // a DEFENSE row names no team
    EXPECT_EQ(g.Cols(), 17);
    emit g.CellClick(3, 1);
    EXPECT_EQ(w.GridTeam, home);
    ASSERT_EQ(g.Cols(), 11);
    EXPECT_EQ(Heading(w), Name(home) + " BOXSCORES");
    // One game in every earlier week slot of both loaded seasons where the club played.
    int listed = 0, newest = -1;
    for (int s = Slot() - 1; s >= 0; --s)
        for (int game = 0; game < 16; ++game)
            if (Season().Game(s, game, gfAwayTeam) == home || Season().Game(s, game, gfHomeTeam) == home) {
                ++listed;
                if (newest < 0)
                    newest = s;
                break;
            }
    EXPECT_GT(listed, 20);
    EXPECT_EQ(g.Rows(), 4 * listed);
    EXPECT_EQ(Cell(g, 1, 1), Season().WeekItems[static_cast<std::size_t>(newest)]);
    EXPECT_EQ(g.ColumnHeader(2).toStdString(), "OU/PL");

    // Choosing the opponent's row narrows to the games between the two.
    int opponentRow = 0;
    for (int r = 1; r <= g.Rows() && !opponentRow; ++r)
        if (Cell(g, r, 1) != Name(home) && Cell(g, r, 1).rfind("Wk ", 0) != 0 && !Cell(g, r, 1).empty())
            opponentRow = r;
    ASSERT_GT(opponentRow, 0);
    const int opponent = TeamCode(Cell(g, opponentRow, 1), 0, 3);
    emit g.CellClick(opponentRow, 1);
    EXPECT_EQ(w.GridTeam, 0);
    for (int r = 2; r <= g.Rows(); r += 4) {
        const int a = TeamCode(Cell(g, r, 1), 0, 3);
        const int h = TeamCode(Cell(g, r + 1, 1), 0, 3);
        EXPECT_TRUE((a == home && h == opponent) || (a == opponent && h == home)) << r;
    }
    emit g.CellClick(1, 1);   // back to the sheet
    EXPECT_EQ(g.Cols(), 17);
    (void)away;
}

TEST_F(StatsWindowTest, WeekBoxScoresListTheWeeksGames)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    const int week = Season().SeasonFirstWeek[0] + 3;
    w.WeekMenuUp = true;
    w.WK02_Click(3);
    w.WeekMenuUp = false;
    Grid& g = *w.grdStats();
    EXPECT_EQ(Heading(w), "BOXSCORES FOR " + WeekText(3, 2024));
    ASSERT_EQ(g.Rows(), 3 * GamesOfWeek(week - 1));
    const int score = Season().Game(week - 1, 0, gfAwayScore);
    EXPECT_EQ(Cell(g, 1, 3), std::to_string(score));
    EXPECT_EQ(Cell(g, 1, 2), vb::CStrSingle(Season().Total(week - 1, 0)));
    // Games alternate the theme colour and white, starting from the theme colour, or from
    // white when the theme colour is 0 (black); a theme chosen while they show colours them
    // as a new fill under it would.
    ASSERT_GE(GamesOfWeek(week - 1), 3);
    struct StripeCase {
        int32_t theme;
        int32_t games[3];   // the first three games' colour
    };
    const StripeCase stripes[] = {
        {0x00C0FF, {0x00C0FF, 0xFFFFFF, 0x00C0FF}},
        {0x000000, {0xFFFFFF, 0x000000, 0xFFFFFF}},
        {0xFFFFFF, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    };
    // One club's games (a week row above each) as well as one week's.
    const int club = Season().Game(Slot(), 0, gfHomeTeam);
    for (const StripeCase& stripe : stripes)
        for (const bool clubsGames : {false, true})
            for (const bool chosenWhileShown : {false, true}) {
                SCOPED_TRACE(testing::Message() << "theme " << std::hex << stripe.theme << (clubsGames ? ", club" : ", week")
                                                << (chosenWhileShown ? ", chosen while shown" : ""));
                App().ThemeBackColor = chosenWhileShown ? (stripe.theme == 0 ? 0x00C0FF : 0) : stripe.theme;
                if (clubsGames)
                    w.ShowBoxScores(0, static_cast<int16_t>(club), 0);
                else
                    w.ShowBoxScores(static_cast<int16_t>(week), 0, 0);
                if (chosenWhileShown) {
                    App().ThemeBackColor = stripe.theme;
                    ShowThemeColorsInViews();
                }
                const int rowsPerGame = clubsGames ? 4 : 3;
                ASSERT_GE(g.Rows(), 3 * rowsPerGame);
                for (int game = 0; game < 3; ++game) {
                    int row = rowsPerGame * game + 1;
                    if (clubsGames) {
                        EXPECT_EQ(g.CellBackColor(row, 1), stripe.games[game]) << "week row " << row;
                        ++row;
                    }
                    // The away and home rows, every cell; the empty row after them has none.
                    for (const int end = row + 2; row < end; ++row)
                        for (int col = 1; col <= g.Cols(); ++col)
                            ASSERT_EQ(g.CellBackColor(row, col), stripe.games[game]) << "row " << row << ", column " << col;
                    EXPECT_EQ(g.CellBackColor(row, 1), GridNoColor) << "row " << row;
                }
            }
    // A scheduled, unplayed week lists its games with scores "0".
    w.WeekMenuUp = true;
    w.WK02_Click(13);
    w.WeekMenuUp = false;
    ASSERT_GT(g.Rows(), 0);
    EXPECT_EQ(Cell(g, 1, 3), "0");
    EXPECT_EQ(Cell(g, 2, 3), "0");
    // A week the selector does not hold is a message, not a read past the tables.
    messages.shown.clear();
    w.ShowBoxScores(400, 0, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "No stats found. Please check your settings");
    // Outside the popup a week item only refreshes the sheet.
    w.WK02_Click(3);
    EXPECT_EQ(g.Cols(), 17);
}

TEST_F(StatsWindowTest, ExportWritesVexalStatsAndOpensIt)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    auto& launcher = dynamic_cast<RecordingLauncher&>(Launcher());
    launcher.calls.clear();
    const std::filesystem::path page = App().UserFolder / "VexalStats.htm";
    folder.Write("user/VexalStats.htm", "old");
    Choose(w, "Html");
    ASSERT_TRUE(FileExists(page));
    const std::string text = ReadFile(page);
    EXPECT_EQ(text.rfind("<HTML>\r\n", 0), 0u);
    EXPECT_NE(text.find(">Vexal Stats</FONT></TD>"), std::string::npos);
    EXPECT_NE(text.find("Stats for " + WeekText(8, 2024) + " using A rolling average of 4 weeks<br> and no separate"),
              std::string::npos);
    EXPECT_NE(text.find("<P>These Statistics are being brought to you by: <A HREF=\"https://www.vexal.example/\"> "
                        "Vexal </A></P>\r\n</CENTER></BODY>\r\n</HTML>\r\n"),
              std::string::npos);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, page.string());
    EXPECT_EQ(launcher.calls[0].show, 4);
}

TEST_F(StatsWindowTest, PrintSendsTheHeadingAndGrid)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    Choose(w, "PTS");
    const auto pdf = folder / "stats.pdf";
    InstallPrintDialogRunner([pdf](QPrinter& printer, int&, int&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    Choose(w, "print");
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("TOTAL POINTS SCORED"), std::string::npos);
    EXPECT_NE(text.find("League Ave."), std::string::npos);
    EXPECT_NE(text.find(Cell(*w.grdStats(), 1, 1)), std::string::npos);
}

TEST_F(StatsWindowTest, TdPassAndRatingItemsWarnBefore1995)
{
    samplegen::SampleOptions options;
    options.Seed = 7;
    options.FromYear = 1994;
    options.ToYear = 1995;
    std::string error;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options, &error)) << error;
    ASSERT_TRUE(SelectSeason(1994));
    ChooseWeek(6, 1994);
    StatsWindow& w = Open();
    messages.shown.clear();
    Choose(w, "QBRate");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "QB Rating is inaccurate prior to 1995 because TD passes are not in the database");
    EXPECT_EQ(messages.shown[0].title, "Inaccurate");
    EXPECT_EQ(messages.shown[0].buttons, vbInformation);
    EXPECT_EQ(Heading(w), "AVERAGE QB RATING");
    EXPECT_EQ(w.grdStats()->Cols(), 7);   // the ranking follows all the same
    // A 1994 week keeps the 1994 alignment: six divisions, 31 teams.
    for (std::size_t i = 0; i < DivisionOrderOf(1994).size(); ++i)
        EXPECT_EQ(DivisionOrder()[i], DivisionOrderOf(1994)[i]) << i;
    EXPECT_EQ(DivisionOrder()[31], 0);

    ASSERT_TRUE(SelectSeason(1995));
    ChooseWeek(6, 1995);
    Refresh(w);
    messages.shown.clear();
    Choose(w, "OTDP");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Heading(w), "TOTAL PASSING TOUCHDOWNS");
}

TEST_F(StatsWindowTest, HeadingIsWhiteWithoutATheme)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    EXPECT_EQ(w.lblHeading()->palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST_F(StatsWindowTest, ExportOfATeamTableIsExact)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    const int team = Season().Game(Slot(), 0, gfHomeTeam);
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].caption == Name(team))
                return static_cast<int>(i) + 1;
        return 0;
    });
    Choose(w, "TAS");
    Choose(w, "Html");
    const Grid& g = *w.grdStats();
    // The home team of week 8 of the generated 2024 season over its last 4 games, in the
    // pinned 9-point face (HTML size 4, the heading one larger).
    EXPECT_TRUE(FileMatchesGolden(App().UserFolder / "VexalStats.htm",
                                  GoldenFolder("statistics") / "team-table" / "VexalStats.htm"));
    EXPECT_EQ(Cell(g, 1, 1), "Points");
}

TEST_F(StatsWindowTest, SwitchingBackFromAnotherViewShowsTheSheetAgain)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    Choose(w, "PTS");
    ASSERT_EQ(w.grdStats()->Cols(), 7);
    ShowWindow("PREDICT");
    QCoreApplication::processEvents();
    EXPECT_EQ(w.grdStats()->Cols(), 7);
    ShowWindow("FORM6");
    QCoreApplication::processEvents();
    EXPECT_EQ(w.grdStats()->Cols(), 17);
    EXPECT_EQ(Heading(w).rfind("Stats for " + WeekText(8, 2024), 0), 0u);
    UnloadWindow("PREDICT");
}

TEST_F(StatsWindowTest, ThemePictureShowsThroughEverySheetCell)
{
    ChooseWeek(8, 2024);
    StatsWindow& w = Open();
    const std::filesystem::path picture = folder / "theme.png";
    QPixmap pixels(8, 8);
    pixels.fill(Qt::darkBlue);
    ASSERT_TRUE(pixels.save(QString::fromStdString(picture.string())));
    App().ThemePicture = picture.string();
    Refresh(w);
    Grid& g = *w.grdStats();
    ASSERT_GT(g.Rows(), 0);
    EXPECT_FALSE(g.BackgroundPicture().isNull());
    for (int c = 1; c <= 17; ++c)
        EXPECT_EQ(g.CellBackColor(2, c), GridNoColor) << c;
    // Box scores of a week take no colour of their own either.
    w.ShowBoxScores(static_cast<int16_t>(Slot() + 1 - 2), 0, 0);
    EXPECT_EQ(g.CellBackColor(1, 1), GridNoColor);
}

} // namespace
} // namespace vexal::test
