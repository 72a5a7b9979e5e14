// The Standings and Power Ratings windows driven as the user drives them, on generated
// seasons loaded by the real loader: standings under filters, the schedule, the points
// chart, chart styles and their setting, HTML export and the power ratings table.
#include "Clock.h"
#include "ViewTestSupport.h"
#include "PdfText.h"
#include "AppState.h"
#include "Chart.h"
#include "Grid.h"
#include "Host.h"
#include "MsgBox.h"
#include "PowerWindow.h"
#include "Screen.h"
#include "cBackGround.h"
#include "PrintDialog.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "StandIns.h"
#include "StandingsCalc.h"
#include "StandingsWindow.h"
#include "StandingsWindows.h"
#include "TempFolder.h"
#include "Teams.h"
#include "VbConvert.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMainWindow>
#include <QMdiArea>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

namespace vexal::test {
namespace {

class StandingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PrepareSampleProgram(folder, 7));
        ASSERT_TRUE(SelectSeason(2024));
        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterStandingsWindows();
    }

    void TearDown() override
    {
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        UnloadWindow("Power");
        UnloadWindow("FORM1");
        UnloadWindow("Main");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetSeasonLoader();
        ResetSeason();
        ResetApp();
        SetProgramFolder({});
    }

    void ChooseWeek(int week, int year)
    {
        ASSERT_TRUE(ChooseWeekText(WeekText(week, year)));
    }

    StandingsWindow& OpenStandings()
    {
        auto* w = qobject_cast<StandingsWindow*>(ShowWindow("FORM1"));
        EXPECT_NE(w, nullptr);
        QCoreApplication::processEvents();
        return *w;
    }

    template <class T>
    static T* Control(QWidget* w, const char* name)
    {
        auto* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static std::string Cell(const Grid& g, int row, int col) { return g.CellFormattedText(row, col).toStdString(); }
    static std::string ReadFile(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The print dialog answers as a user who prints to a PDF file.
    static void PrintTo(const std::filesystem::path& pdf)
    {
        InstallPrintDialogRunner([pdf](QPrinter& printer, int&, int&) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            return true;
        });
    }
    int CurrentWeek() const { return static_cast<int>(App().CurrentFormula[fsCurrentWeek]); }

    // The grid holds exactly the computed standings.
    void ExpectStandings(const Grid& g, const standings::GameFilters& f, int16_t teaser)
    {
        const auto rows = standings::ComputeStandings(Season(), CurrentWeek(), f, teaser, true);
        ASSERT_EQ(rows.size(), 32u);
        for (const auto& r : rows) {
            EXPECT_EQ(Cell(g, r.Row, r.Column), TeamName(r.Team, 0, NameStyleAsShown)) << r.Row;
            EXPECT_EQ(Cell(g, r.Row, r.Column + 1), r.Record.StraightText()) << r.Row;
            EXPECT_EQ(Cell(g, r.Row, r.Column + 2), r.Record.AtsText()) << r.Row;
            EXPECT_EQ(Cell(g, r.Row, r.Column + 3), std::to_string(r.Record.PointsFor)) << r.Row;
            EXPECT_EQ(Cell(g, r.Row, r.Column + 4), std::to_string(r.Record.PointsAgainst)) << r.Row;
        }
    }

    ScriptedMessages& messages = InstallScriptedMessages();
    RecordingLauncher& launcher = InstallRecordingLauncher();
    TempFolder folder;
};

TEST_F(StandingsWindowTest, OpensWithItsControlsMenusAndTheStandingsOfTheChosenWeek)
{
    ChooseWeek(8, 2024);
    StandingsWindow& w = OpenStandings();
    EXPECT_EQ(w.windowTitle().toStdString(), "Standings");
    auto* cbo = Control<QComboBox>(&w, "cboSi");
    ASSERT_EQ(cbo->count(), 11);
    EXPECT_EQ(cbo->itemText(7).toStdString(), "6.5 pt. Teaser");
    EXPECT_EQ(cbo->currentIndex(), -1);
    EXPECT_EQ(Control<QCheckBox>(&w, "chkFavorite")->text().toStdString(), "Favorite");
    EXPECT_EQ(Control<QCheckBox>(&w, "chkDog")->text().toStdString(), "UnderDog");
    EXPECT_TRUE(Control<QPushButton>(&w, "cmdUpdate")->isHidden());
    for (const char* name : {"mnuPrint", "mnuHTMLPrint", "mnuExport", "mnuToolBarText", "mnuExit", "mnuLine", "mnuBar",
                             "mnuStacked", "mnuPoint", "mnuHelpOnline", "mnuHelp", "mnuCheckforUpdate", "mnuEmail",
                             "mnuWeb", "mnuAbout"})
        EXPECT_NE(w.findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(Control<QAction>(&w, "mnuStacked")->text().toStdString(), "&Stacked Bar");

    // Showing the view refreshes it.
    Grid& g = *w.grdTeam();
    EXPECT_FALSE(g.isHidden());
    ASSERT_EQ(g.Rows(), 20);
    ASSERT_EQ(g.Cols(), 11);
    EXPECT_EQ(Cell(g, 6, 1), "AFC North");
    EXPECT_EQ(Cell(g, 16, 7), "NFC West");
    EXPECT_EQ(Cell(g, 11, 9), "W-L(ATS)");
    EXPECT_EQ(g.CellForeColor(6, 1), 0x0000FF);
    EXPECT_EQ(g.CellForeColor(6, 7), 0xFF0000);
    EXPECT_EQ(g.CellIcon(6, 1), 33);
    EXPECT_EQ(g.CellBackColor(6, 2), 0xC0C0C0);
    EXPECT_TRUE(g.CellFont(6, 2).bold());
    ExpectStandings(g, {}, 0);
    // Seven played weeks: every team has games.
    int games = 0;
    for (const auto& r : standings::ComputeStandings(Season(), CurrentWeek(), {}, 0, true))
        games += r.Record.Wins + r.Record.Losses + r.Record.Ties;
    EXPECT_GT(games, 32 * 5);
    // Alternate rows: white, then the theme colour.
    EXPECT_EQ(g.CellBackColor(2, 1), 0xFFFFFF);
    EXPECT_EQ(g.CellBackColor(3, 1), App().ThemeBackColor);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StandingsWindowTest, FiltersRecomputeAndTheCheckBoxesExcludeEachOther)
{
    ChooseWeek(10, 2024);
    StandingsWindow& w = OpenStandings();
    auto* cbo = Control<QComboBox>(&w, "cboSi");
    cbo->setCurrentIndex(1);
    emit cbo->activated(1);
    ExpectStandings(*w.grdTeam(), standings::FiltersFrom(1, false, false, false, {}), 0);
    cbo->setCurrentIndex(6);
    emit cbo->activated(6);
    ExpectStandings(*w.grdTeam(), {}, 6);
    auto* fav = Control<QCheckBox>(&w, "chkFavorite");
    auto* dog = Control<QCheckBox>(&w, "chkDog");
    fav->click();
    EXPECT_EQ(w.Filters().FavoriteFilter, 1);
    dog->click();
    EXPECT_FALSE(fav->isChecked());
    EXPECT_EQ(w.Filters().FavoriteFilter, 0);
    EXPECT_EQ(w.Filters().UnderdogFilter, 1);
    ExpectStandings(*w.grdTeam(), standings::FiltersFrom(6, false, true, false, {}), 6);
    // The refresh button is what a week change presses.
    ChooseWeek(11, 2024);
    Control<QPushButton>(&w, "cmdUpdate")->click();
    ExpectStandings(*w.grdTeam(), standings::FiltersFrom(6, false, true, false, {}), 6);
}

TEST_F(StandingsWindowTest, TeamCellShowsItsScheduleAndAnotherCellReturns)
{
    ChooseWeek(6, 2024);
    StandingsWindow& w = OpenStandings();
    Grid& g = *w.grdTeam();
    const int team = TeamCode(Cell(g, 2, 1), 0, 0);
    ASSERT_GT(team, 0);
    emit g.CellClick(2, 2);
    Grid& s = *w.grdSched();
    EXPECT_FALSE(s.isHidden());
    EXPECT_TRUE(g.isHidden());
    const auto games = standings::TeamSchedule(Season(), team, 0, w.Filters(), 0);
    ASSERT_EQ(s.Rows(), static_cast<int>(games.size()));
    EXPECT_EQ(s.Cols(), 10);
    EXPECT_FALSE(s.ColumnVisible(6));
    for (int r = 1; r <= s.Rows(); ++r) {
        const auto& game = games[static_cast<std::size_t>(r - 1)];
        EXPECT_EQ(Cell(s, r, 1), Season().WeekItems[static_cast<std::size_t>(game.WeekSlot)]);
        EXPECT_EQ(Cell(s, r, 8), game.Ats);
        EXPECT_EQ(Cell(s, r, 9), game.Straight);
        if (game.Played) {
            const int32_t colour = game.Straight == "WIN" ? 0x008000 : (game.Straight == "PUSH" ? 0xFF0000 : 0x0000FF);
            EXPECT_EQ(s.CellForeColor(r, 9), colour);
        }
    }
    // Games of both loaded seasons are listed.
    EXPECT_LT(games.front().WeekSlot, Season().SeasonFirstWeek[0]);
    EXPECT_GE(games.back().WeekSlot, Season().SeasonFirstWeek[0]);

    // A filter change redraws the shown schedule under the new filter.
    auto* cbo = Control<QComboBox>(&w, "cboSi");
    cbo->setCurrentIndex(1);
    emit cbo->activated(1);
    EXPECT_FALSE(s.isHidden());
    const auto homeGames = standings::TeamSchedule(Season(), team, 0, w.Filters(), 0);
    ASSERT_EQ(s.Rows(), static_cast<int>(homeGames.size()));
    ASSERT_LT(homeGames.size(), games.size());
    for (int r = 1; r <= s.Rows(); ++r)
        EXPECT_EQ(Cell(s, r, 4), TeamName(team, 0, NameStyleAsShown)) << r;
    // The standings under the schedule follow the filter too.
    ExpectStandings(g, w.Filters(), 0);
    cbo->setCurrentIndex(0);
    emit cbo->activated(0);
    ASSERT_EQ(s.Rows(), static_cast<int>(games.size()));

    // Export writes the schedule page under the team's short name.
    w.mnuExport_Click();
    const std::string abbrev = vb::Trim(TeamAbbrev3(team, 0, AbbrevStyleCity));
    const auto page = App().UserFolder / (abbrev + ".htm");
    ASSERT_TRUE(std::filesystem::exists(page));
    EXPECT_NE(ReadFile(page).find(TeamName(team, 0, NameStyleAsShown) + "'s Schedule"), std::string::npos);

    // Choosing the team's own name changes nothing: the same list, the same team for the
    // outputs and for the next opponent chosen.
    const int opponentColumn = Cell(s, 1, 2) == TeamName(team, 0, NameStyleAsShown) ? 4 : 2;
    const int ownColumn = opponentColumn == 2 ? 4 : 2;
    const int rows = s.Rows();
    emit s.CellClick(1, ownColumn);
    EXPECT_EQ(w.ScheduleTeam, team);
    EXPECT_EQ(w.ScheduleOpponent, 0);
    EXPECT_FALSE(s.isHidden());
    EXPECT_EQ(s.Rows(), rows);
    std::filesystem::remove(page);
    w.mnuExport_Click();
    EXPECT_TRUE(std::filesystem::exists(page));
    EXPECT_NE(ReadFile(page).find(TeamName(team, 0, NameStyleAsShown) + "'s Schedule"), std::string::npos);
    const int firstOpponent = TeamCode(Cell(s, 1, opponentColumn), 0, 0);
    emit s.CellClick(1, opponentColumn);
    EXPECT_GT(s.Rows(), 0);
    EXPECT_EQ(s.Rows(),
              static_cast<int>(standings::TeamSchedule(Season(), team, firstOpponent, w.Filters(), 0).size()));

    // An opponent's name narrows the list to head-to-head games.
    emit g.CellClick(2, 2);
    const int opponent = TeamCode(Cell(s, 1, opponentColumn), 0, 0);
    emit s.CellClick(1, opponentColumn);
    EXPECT_EQ(w.ScheduleOpponent, opponent);
    EXPECT_EQ(s.Rows(), static_cast<int>(standings::TeamSchedule(Season(), team, opponent, w.Filters(), 0).size()));
    // Any cell of the narrowed list goes back to the standings.
    emit s.CellClick(1, 1);
    EXPECT_TRUE(s.isHidden());
    EXPECT_FALSE(g.isHidden());
}

// Before 1995 two clubs played in Los Angeles: each row opens its own club's schedule.
TEST_F(StandingsWindowTest, EveryTeamRowOpensItsOwnClubsScheduleWhereClubsShareACity)
{
    samplegen::SampleOptions options;
    options.Seed = 5;
    options.FromYear = 1994;
    options.ToYear = 1994;
    std::string error;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options, &error)) << error;
    ASSERT_TRUE(SelectSeason(1994));
    ChooseWeek(6, 1994);
    StandingsWindow& w = OpenStandings();
    Grid& g = *w.grdTeam();
    const auto rows = standings::ComputeStandings(Season(), CurrentWeek(), w.Filters(), 0, false);
    ASSERT_FALSE(rows.empty());
    for (const auto& r : rows) {
        if (r.Team <= 0)
            continue;
        emit g.CellClick(r.Row, r.Column + 1);
        EXPECT_EQ(w.ScheduleTeam, r.Team) << Cell(g, r.Row, r.Column);
        emit w.grdSched()->CellClick(1, 1);   // back to the standings
    }
}

TEST_F(StandingsWindowTest, PointsCellChartsTheTeamAndOutputsRefuseTheChart)
{
    ChooseWeek(6, 2024);
    StandingsWindow& w = OpenStandings();
    Grid& g = *w.grdTeam();
    const int team = TeamCode(Cell(g, 3, 7), 0, 0);
    emit g.CellClick(3, 10);
    Chart& chart = *w.Graph1();
    for (const auto& m : messages.shown)
        ADD_FAILURE() << m.text;
    ASSERT_FALSE(chart.isHidden());
    const auto table = standings::PointsForAgainst(Season(), CurrentWeek(), team);
    ASSERT_EQ(chart.Data().size(), 3u);
    EXPECT_EQ(chart.Data()[0].size(), table.Columns.size());
    EXPECT_EQ(chart.SeriesLegend(0).toStdString(), "Points For (" + std::to_string(table.AverageFor) + ")");
    EXPECT_EQ(chart.Title().toStdString(),
              "Points Scored For / Against - " + TeamName(team, 0, NameStyleAsShown) + " for 2024");
    // No saved style: the bar chart.
    EXPECT_EQ(chart.ChartType(), Chart::Bar);
    EXPECT_EQ(chart.DrawWidth(), 1);
    w.mnuExport_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Sorry, the graphs aren't exportable.");
    EXPECT_EQ(messages.shown[0].title, "No graph exporting");
    EXPECT_EQ(messages.shown[0].buttons, 16);
    w.mnuPrint_Click();
    EXPECT_EQ(messages.shown.back().text, "Sorry, the graphs aren't printable.");
    EXPECT_TRUE(launcher.calls.empty());
    // Picking a style redraws in it and moves the check.
    Control<QAction>(&w, "mnuPoint")->trigger();
    EXPECT_EQ(chart.ChartType(), Chart::Point);
    EXPECT_EQ(chart.DrawWidth(), 3);
    EXPECT_TRUE(Control<QAction>(&w, "mnuPoint")->isChecked());
    EXPECT_FALSE(Control<QAction>(&w, "mnuBar")->isChecked());
    emit chart.Click();
    EXPECT_TRUE(chart.isHidden());
    // Closing saves the chart's type.
    ASSERT_TRUE(UnloadWindow("FORM1"));
    EXPECT_EQ(GetSetting("Preference", "GraphType", ""), "3");
}

// A team's bye is a gap in its points chart and its power chart, not a game of 0 points or a
// rating of 0.
TEST_F(StandingsWindowTest, ChartsShowAByeAsAGap)
{
    ChooseWeek(10, 2024);
    const int week = CurrentWeek();
    auto byeColumn = [&](int team) {
        const auto table = standings::PointsForAgainst(Season(), week, team);
        for (std::size_t k = 0; k + 1 < table.Columns.size(); ++k)
            if (table.Columns[k].Opponent == 0)
                return static_cast<int>(k);
        return -1;
    };
    StandingsWindow& w = OpenStandings();
    Grid& g = *w.grdTeam();
    int team = 0, row = 0, bye = -1;
    for (int r = 1; r <= g.Rows() && bye < 0; ++r) {
        const int code = TeamCode(Cell(g, r, 7), 0, 0);
        if (code > 0 && (bye = byeColumn(code)) >= 0) {
            team = code;
            row = r;
        }
    }
    ASSERT_GE(bye, 0) << "the generated season gives some team a bye before week 10";
    emit g.CellClick(row, 10);
    Chart& points = *w.Graph1();
    ASSERT_FALSE(points.isHidden());
    EXPECT_TRUE(points.IsGap(0, bye));
    EXPECT_TRUE(points.IsGap(1, bye));
    EXPECT_FALSE(points.IsGap(0, bye + 1));

    auto* power = qobject_cast<PowerWindow*>(ShowWindow("Power"));
    ASSERT_NE(power, nullptr);
    QCoreApplication::processEvents();
    Grid& ratings = *power->Grid1();
    for (int r = 1; r <= ratings.Rows(); ++r)
        if (TeamCode(Cell(ratings, r, 1), 0, 0) == team)
            emit ratings.CellClick(r, 1);
    Chart& chart = *power->Graph1();
    ASSERT_FALSE(chart.isHidden());
    const auto& data = chart.Data();
    ASSERT_EQ(data.size(), 3u);
    int gaps = 0;
    for (std::size_t k = 0; k < data[0].size(); ++k) {
        // An unlabelled point is a week without a game: nothing is drawn there.
        const bool noGame = data[0][k].toString().trimmed().isEmpty();
        EXPECT_EQ(chart.IsGap(0, static_cast<int>(k)), noGame) << k;
        EXPECT_EQ(chart.IsGap(1, static_cast<int>(k)), noGame) << k;
        gaps += noGame;
    }
    EXPECT_GE(gaps, 1);
}

// Charts whose weeks hold nothing to scale yet draw what they have, in every style, and
// show no error: Power Ratings in a season's first week (one week, not yet rated), and the
// points chart of a season whose games are all still to be played.
TEST_F(StandingsWindowTest, ChartsWithNothingToScaleYetDrawWithoutAnError)
{
    const struct {
        const char* style;
        const char* setting;
    } styles[] = {{"mnuLine", "1"}, {"mnuBar", "0"}, {"mnuPoint", "3"}};
    for (const auto& style : styles) {
        SCOPED_TRACE(style.style);
        SaveSetting("Preference", "GraphType2", style.setting);
        ChooseWeek(1, 2024);
        auto* power = qobject_cast<PowerWindow*>(ShowWindow("Power"));
        ASSERT_NE(power, nullptr);
        QCoreApplication::processEvents();
        ASSERT_TRUE(Control<QAction>(power, style.style)->isChecked());
        Grid& ratings = *power->Grid1();
        ASSERT_EQ(ratings.Rows(), 32);
        Chart& chart = *power->Graph1();
        for (int r = 1; r <= ratings.Rows(); ++r) {
            const std::string team = Cell(ratings, r, 1);
            emit ratings.CellClick(r, 1);
            EXPECT_FALSE(chart.isHidden()) << team;
            EXPECT_FALSE(chart.Blank()) << team;
            ASSERT_EQ(chart.Data().size(), 3u) << team;
            EXPECT_EQ(chart.Data()[0].size(), 1u) << team;
            EXPECT_GT(chart.DrawnHigh(), chart.DrawnLow()) << team;
            emit chart.Click();
        }
        for (const auto& m : messages.shown)
            ADD_FAILURE() << m.text;
        ASSERT_TRUE(UnloadWindow("Power"));
    }

    samplegen::SampleOptions unplayed;
    unplayed.Seed = 7;
    unplayed.FromYear = unplayed.ToYear = 2024;
    unplayed.UnplayedFromWeek = 1;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), unplayed));
    ASSERT_TRUE(SelectSeason(2024));
    ChooseWeek(3, 2024);
    for (const auto& style : {"mnuLine", "mnuBar", "mnuPoint", "mnuStacked"}) {
        SCOPED_TRACE(style);
        StandingsWindow& w = OpenStandings();
        Control<QAction>(&w, style)->trigger();
        const auto rows = standings::ComputeStandings(Season(), CurrentWeek(), {}, 0, true);
        for (const auto& r : rows) {
            if (r.Team <= 0)
                continue;
            emit w.grdTeam()->CellClick(r.Row, r.Column + 3);
            Chart& chart = *w.Graph1();
            EXPECT_FALSE(chart.isHidden()) << r.Team;
            EXPECT_FALSE(chart.Blank()) << r.Team;
            EXPECT_GT(chart.DrawnHigh(), chart.DrawnLow()) << r.Team;
            emit chart.Click();
        }
        for (const auto& m : messages.shown)
            ADD_FAILURE() << m.text;
        ASSERT_TRUE(UnloadWindow("FORM1"));
    }
}

TEST_F(StandingsWindowTest, SavedGraphTypeChecksItsStyle)
{
    SaveSetting("Preference", "GraphType", "7");
    ChooseWeek(6, 2024);
    StandingsWindow& w = OpenStandings();
    EXPECT_TRUE(Control<QAction>(&w, "mnuPoint")->isChecked());
    EXPECT_FALSE(Control<QAction>(&w, "mnuLine")->isChecked());
    // Closed without a chart drawn: the checked style is saved, not the chart's initial bar.
    ASSERT_TRUE(UnloadWindow("FORM1"));
    EXPECT_EQ(GetSetting("Preference", "GraphType", ""), "3");
}

TEST_F(StandingsWindowTest, ExportWritesTheStandingsPageAndOpensIt)
{
    ChooseWeek(6, 2024);
    StandingsWindow& w = OpenStandings();
    w.mnuExport_Click();
    const auto page = App().UserFolder / "VexalStandings.htm";
    ASSERT_TRUE(std::filesystem::exists(page));
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("Vexal Standings"), std::string::npos);
    EXPECT_NE(html.find("These Statistics are being brought to you by: <A HREF='"), std::string::npos);
    EXPECT_NE(html.find("'> Vexal </A>"), std::string::npos);
    EXPECT_NE(html.find(TeamName(Season().DivisionOrder[0], 0, NameStyleAsShown)), std::string::npos);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, page.string());
    EXPECT_EQ(launcher.calls[0].show, 4);
}

TEST_F(StandingsWindowTest, PrintSendsTheStandingsOrTheScheduleToThePrinter)
{
    ChooseWeek(6, 2024);
    StandingsWindow& w = OpenStandings();
    const auto pdf = folder / "standings.pdf";
    PrintTo(pdf);
    SetFixedClock(vb::DateSerial(2024, 12, 3) + vb::TimeSerial(0, 0, 1));
    Control<QAction>(&w, "mnuPrint")->trigger();
    std::string text = PdfText(pdf);
    const std::string today = "12-03-2024";
    EXPECT_NE(text.find("Standings by Vexal for " + WeekText(6, 2024) + " - Printed " + today), std::string::npos)
        << text;
    EXPECT_NE(text.find("AFC North"), std::string::npos);
    EXPECT_NE(text.find(Cell(*w.grdTeam(), 2, 7)), std::string::npos);

    const int team = TeamCode(Cell(*w.grdTeam(), 2, 1), 0, 0);
    emit w.grdTeam()->CellClick(2, 1);
    std::filesystem::remove(pdf);
    Control<QAction>(&w, "mnuPrint")->trigger();
    text = PdfText(pdf);
    EXPECT_NE(text.find(TeamName(team, 0, NameStyleAsShown) + "'s Schedule"), std::string::npos) << text;
    EXPECT_NE(text.find("By Vexal - " + today), std::string::npos) << text;
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StandingsWindowTest, PowerRatingsTableSortsAndChartsOneTeam)
{
    ChooseWeek(8, 2024);
    auto* w = qobject_cast<PowerWindow*>(ShowWindow("Power"));
    ASSERT_NE(w, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->windowTitle().toStdString(), "Power Ratings / Strength of Schedule");
    Grid& g = *w->Grid1();
    ASSERT_EQ(g.Rows(), 32);
    ASSERT_EQ(g.Cols(), 7);
    EXPECT_EQ(g.ColumnHeader(4).toStdString(), "TPR");
    for (int r = 2; r <= 32; ++r)
        EXPECT_GE(g.CellValue(r - 1, 4).toFloat(), g.CellValue(r, 4).toFloat()) << r;
    emit g.ColumnClick(1);
    for (int r = 2; r <= 32; ++r)
        EXPECT_LE(Cell(g, r - 1, 1), Cell(g, r, 1));

    AppState& app = App();
    app.CurrentFormula[fsRollingWeeks] = 4;
    app.CurrentFormula[fsSeasonToDate] = 0;
    const int team = TeamCode(Cell(g, 1, 1), 0, 0);
    emit g.CellClick(1, 1);
    Chart& chart = *w->Graph1();
    ASSERT_FALSE(chart.isHidden());
    EXPECT_EQ(app.CurrentFormula[fsRollingWeeks], 4);
    EXPECT_EQ(app.CurrentFormula[fsSeasonToDate], 0);
    EXPECT_EQ(w->SelectedTeam, 0);
    // Week 8: eight points, one per week of the season so far.
    EXPECT_EQ(chart.Data()[0].size(), 8u);
    EXPECT_EQ(chart.Title().toStdString(), "Weekly Power Ratings for " + TeamName(team, 0, NameStyleAsShown));
    EXPECT_EQ(chart.SeriesLegend(0).left(17).toStdString(), "Offensive Power (");
    // The refresh hides the chart and sorts by TPR again.
    Control<QPushButton>(w, "Command1")->click();
    EXPECT_TRUE(chart.isHidden());
    for (int r = 2; r <= 32; ++r)
        EXPECT_GE(g.CellValue(r - 1, 4).toFloat(), g.CellValue(r, 4).toFloat()) << r;

    w->HTML_Click();
    const auto page = App().UserFolder / "Power.htm";
    ASSERT_TRUE(std::filesystem::exists(page));
    EXPECT_NE(ReadFile(page).find("Vexal  Power Ratings for the NFL"), std::string::npos);
    ASSERT_TRUE(UnloadWindow("Power"));
    EXPECT_EQ(GetSetting("Preference", "GraphType2", ""), "0");
}

// The theme's gradient behind Power Ratings stays through a team's chart and the refresh of
// a change of week: the window's colour lies beneath it.
TEST_F(StandingsWindowTest, PowerKeepsTheThemesGradientThroughAChartAndAWeekChange)
{
    ChooseWeek(8, 2024);
    auto* w = qobject_cast<PowerWindow*>(ShowWindow("Power"));
    ASSERT_NE(w, nullptr);
    QCoreApplication::processEvents();
    cBackGround theme;
    theme.GradientForm(w, 0x00FFFF, 0x800000, cBackGround::Vertical, true);
    const auto gradient = [w] { return w->palette().brush(QPalette::Window).style() == Qt::TexturePattern; };
    ASSERT_TRUE(gradient());
    emit w->Grid1()->CellClick(1, 1);
    ASSERT_FALSE(w->Graph1()->isHidden());
    ChooseWeek(9, 2024);
    Control<QPushButton>(w, "Command1")->click();   // what the week's refresh presses
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->Graph1()->isHidden());
    EXPECT_TRUE(gradient()) << "the grid came back on a plain colour";
    // Without a gradient the window takes the theme's text colour, as it did before.
    theme.Detach();
    Control<QPushButton>(w, "Command1")->click();
    EXPECT_EQ(w->palette().color(QPalette::Window), TranslateColor(App().ThemeForeColor));
}

TEST_F(StandingsWindowTest, PowerGraphTypeTwoLeavesTheLineStyle)
{
    SaveSetting("Preference", "GraphType2", "2");
    ChooseWeek(8, 2024);
    QWidget* w = ShowWindow("Power");
    QCoreApplication::processEvents();
    EXPECT_TRUE(Control<QAction>(w, "mnuLine")->isChecked());
    EXPECT_FALSE(Control<QAction>(w, "mnuPoint")->isChecked());
}

TEST_F(StandingsWindowTest, PowerRefreshKeepsTheChosenStyleAndClosingSavesIt)
{
    SaveSetting("Preference", "GraphType2", "1");
    ChooseWeek(8, 2024);
    QWidget* w = ShowWindow("Power");
    QCoreApplication::processEvents();
    Control<QAction>(w, "mnuPoint")->trigger();
    Control<QPushButton>(w, "Command1")->click();
    EXPECT_TRUE(Control<QAction>(w, "mnuPoint")->isChecked());
    EXPECT_FALSE(Control<QAction>(w, "mnuLine")->isChecked());
    EXPECT_FALSE(Control<QAction>(w, "mnuBar")->isChecked());
    // No chart drawn: the checked style is what is saved.
    ASSERT_TRUE(UnloadWindow("Power"));
    EXPECT_EQ(GetSetting("Preference", "GraphType2", ""), "3");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StandingsWindowTest, PowerTableShowsEveryTeamWhenTheWindowHasRoom)
{
    ChooseWeek(8, 2024);
    auto* w = qobject_cast<PowerWindow*>(ShowWindow("Power"));
    ASSERT_NE(w, nullptr);
    w->resize(900, 1000);
    QCoreApplication::processEvents();
    Control<QPushButton>(w, "Command1")->click();
    Grid& g = *w->Grid1();
    ASSERT_EQ(g.Rows(), 32);
    const int shown = g.viewport()->height() / g.RowHeight(1);
    EXPECT_GE(shown, 32);

    // The grid follows the window through every resize, without a refresh: all 32 teams
    // when the window is tall enough, and every column as wide as its text.
    // The window is resized through its frame in the main window, as the user does.
    QWidget* frame = w->parentWidget() ? w->parentWidget() : w;
    frame->resize(700, 500);
    Control<QPushButton>(w, "Command1")->click();
    for (const QSize size : {QSize(700, 500), QSize(1200, 1000), QSize(700, 500), QSize(900, 1000)}) {
        frame->resize(size);
        QCoreApplication::processEvents();
        if (size.height() >= 1000) {
            EXPECT_GE(g.viewport()->height() / g.RowHeight(1), 32) << size.width() << "x" << size.height();
        }
        for (int c = 1; c <= g.Cols(); ++c)
            for (int r = 1; r <= g.Rows(); ++r)
                EXPECT_LT(QFontMetrics(g.CellFont(r, c)).horizontalAdvance(g.CellFormattedText(r, c)), g.ColumnWidth(c))
                    << size.width() << "x" << size.height() << " " << r << "," << c;
    }
}

TEST_F(StandingsWindowTest, NoHeadingRecordOrWeekIsCutOff)
{
    ChooseWeek(8, 2024);
    StandingsWindow& w = OpenStandings();
    auto fits = [](const Grid& g, const char* name) {
        for (int c = 1; c <= g.Cols(); ++c) {
            if (!g.ColumnVisible(c))
                continue;
            for (int r = 1; r <= g.Rows(); ++r) {
                const QString text = g.CellFormattedText(r, c);
                const int needed = QFontMetrics(g.CellFont(r, c)).horizontalAdvance(text);
                EXPECT_LT(needed, g.ColumnWidth(c)) << name << " " << r << "," << c << " " << text.toStdString();
            }
            if (g.Header()) {
                QFont bold = g.font();
                bold.setBold(true);
                EXPECT_LT(QFontMetrics(bold).horizontalAdvance(g.ColumnHeader(c)), g.ColumnWidth(c)) << name << c;
            }
        }
    };
    fits(*w.grdTeam(), "standings");
    // The grid fills its view: every column whole side by side without scrolling sideways,
    // no empty band beside or below, and as many rows as there is room for.
    auto fillsView = [](const Grid& g, const std::string& where) {
        int columns = 0;
        for (int c = 1; c <= g.Cols(); ++c)
            columns += g.ColumnVisible(c) ? g.ColumnWidth(c) : 0;
        EXPECT_LE(columns, g.viewport()->width()) << where;
        EXPECT_GE(columns, g.viewport()->width() - g.Cols()) << where;
        int rows = 0;
        int tallest = 0;
        for (int r = 1; r <= g.Rows(); ++r) {
            rows += g.RowHeight(r);
            tallest = std::max(tallest, g.RowHeight(r));
        }
        const int line = QFontMetrics(g.font()).height() + 4;
        if (rows > g.viewport()->height())
            EXPECT_LE(tallest, line) << where << ": rows higher than their text need scrolling";
        else
            EXPECT_GE(rows, g.viewport()->height() - g.Rows()) << where << ": an empty band below the rows";
    };
    // After every resize, smaller or larger, the grid shows every text whole.
    QWidget* frame = w.parentWidget() ? w.parentWidget() : &w;
    auto sized = [](QSize size) { return std::to_string(size.width()) + "x" + std::to_string(size.height()); };
    for (const QSize size : {QSize(800, 600), QSize(640, 480), QSize(1260, 980), QSize(1000, 700)}) {
        frame->resize(size);
        QCoreApplication::processEvents();
        fits(*w.grdTeam(), "standings after a resize");
        fillsView(*w.grdTeam(), "standings " + sized(size));
    }
    // A schedule over two seasons, first opened in a small window: every week label whole,
    // season included, and every column in view.
    frame->resize(800, 600);
    QCoreApplication::processEvents();
    emit w.grdTeam()->CellClick(2, 1);
    ASSERT_GT(w.grdSched()->Rows(), 17);
    fits(*w.grdSched(), "schedule");
    fillsView(*w.grdSched(), "schedule first shown");
    for (const QSize size : {QSize(640, 480), QSize(1260, 980), QSize(800, 600)}) {
        frame->resize(size);
        QCoreApplication::processEvents();
        fits(*w.grdSched(), "schedule after a resize");
        fillsView(*w.grdSched(), "schedule " + sized(size));
    }
}

} // namespace
} // namespace vexal::test
