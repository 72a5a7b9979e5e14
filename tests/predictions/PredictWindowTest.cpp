// The Predictions window driven as the user drives it: week predictions on unplayed and
// played weeks, pool picks, teasers, the line-file list, closing, export, printing.
#include "Clock.h"
#include "Golden.h"
#include "PredictionsTestSupport.h"

#include "FileChecks.h"
#include "GameRecord.h"
#include "LineRecord.h"
#include "Predict.h"
#include "SharedProcs.h"
#include "Teams.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <cerrno>
#include <regex>
#include <set>
#include <sstream>

namespace vexal::test {
namespace {

using namespace predict;

TEST_F(PredictionsTest, UnplayedWeekGetsOneRowPerGameWithScoresLineTotalAndPick)
{
    ChooseWeek(UnplayedFromWeek + 1, 2024);
    PredictWindow& w = OpenPredictions();
    EXPECT_EQ(w.windowTitle().toStdString(), "Predictions");
    Grid& g = *w.grid();
    const int slot = CurrentSlot();
    const int games = GamesOfWeek(slot);
    ASSERT_GT(games, 10);
    ASSERT_EQ(g.Rows(), games);
    EXPECT_EQ(g.Cols(), 10);
    EXPECT_FALSE(g.ColumnVisible(colPool));
    for (int r = 1; r <= games; ++r) {
        const ScheduledGame game = *GameAt(slot, r - 1);
        EXPECT_EQ(Cell(g, r, colAwayTeam), TeamName(game.awayTeam, 0, NameStyleAsShown)) << r;
        EXPECT_EQ(Cell(g, r, colHomeTeam), TeamName(game.homeTeam, 0, NameStyleAsShown)) << r;
        EXPECT_TRUE(std::regex_match(Cell(g, r, colAwayPoints), std::regex("\\d+\\.\\d"))) << Cell(g, r, colAwayPoints);
        EXPECT_TRUE(std::regex_match(Cell(g, r, colHomePoints), std::regex("\\d+\\.\\d"))) << Cell(g, r, colHomePoints);
        EXPECT_FLOAT_EQ(g.CellValue(r, colLine).toFloat(), game.line);
        EXPECT_FLOAT_EQ(g.CellValue(r, colTotal).toFloat(), game.total);
        // The formula plays every game: the pick is one of the two teams.
        const std::string pick = Cell(g, r, colPick);
        EXPECT_TRUE(pick == Cell(g, r, colAwayTeam) || pick == Cell(g, r, colHomeTeam)) << pick;
        EXPECT_EQ(g.CellForeColor(r, colPick), Blue);
        EXPECT_EQ(Cell(g, r, colScore), "");
        EXPECT_EQ(Cell(g, r, colResult), "");
        // Rows alternate between the theme's colour and white.
        EXPECT_EQ(g.CellBackColor(r, colAwayTeam), r % 2 == 1 ? App().ThemeBackColor : White);
    }
    EXPECT_TRUE(messages.shown.empty());
}

// The grading the engine applies: the picked side's margin against the line, with the teaser.
std::string Graded(const ScheduledGame& game, bool homePicked, int teaser)
{
    const double margin = homePicked ? game.homeScore + game.line - game.awayScore
                                     : game.awayScore - game.line - game.homeScore;
    const double teased = margin + teaser;
    return teased > 0 ? "Win" : teased < 0 ? "Loss" : "Tie";
}

TEST_F(PredictionsTest, PlayedWeekShowsScoreAndResultAndATeaserChangesTheGrading)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    Grid& g = *w.grid();
    const int slot = CurrentSlot();
    const int games = GamesOfWeek(slot);
    ASSERT_EQ(g.Rows(), games);
    auto check = [&](int teaser) {
        int changed = 0;
        for (int r = 1; r <= games; ++r) {
            const ScheduledGame game = *GameAt(slot, r - 1);
            EXPECT_EQ(Cell(g, r, colScore), std::to_string(game.awayScore) + " - " + std::to_string(game.homeScore));
            const bool homePicked = Cell(g, r, colPick) == Cell(g, r, colHomeTeam);
            const std::string result = Cell(g, r, colResult);
            EXPECT_EQ(result, Graded(game, homePicked, teaser)) << "row " << r << " teaser " << teaser;
            EXPECT_EQ(g.CellForeColor(r, colResult), ResultColor(result));
            changed += Graded(game, homePicked, teaser) != Graded(game, homePicked, 0);
        }
        return changed;
    };
    EXPECT_EQ(check(0), 0);
    auto* teaser = Control<QComboBox>(&w, "cboTeaser");
    teaser->setCurrentIndex(teaser->findText("9"));
    EXPECT_EQ(w.TSPredict1().Teaser(), 9);
    EXPECT_GT(check(9), 0);
    teaser->setCurrentIndex(teaser->findText("6.5"));
    EXPECT_EQ(w.TSPredict1().Teaser(), 6);
    check(6);
}

TEST_F(PredictionsTest, PoolPicksSortByTheirValueAndGiveTheFormulaItsRangeBack)
{
    ChooseWeek(UnplayedFromWeek + 1, 2024);
    PredictWindow& w = OpenPredictions();
    auto* minBox = Control<QLineEdit>(LoadWindow("frmFormula"), "txtFla_1");
    auto* maxBox = Control<QLineEdit>(LoadWindow("frmFormula"), "txtFla_2");
    minBox->setText("3");
    maxBox->setText("10");
    Control<QCheckBox>(&w, "chkPoolPicks")->setChecked(true);
    Grid& g = *w.grid();
    ASSERT_GT(g.Rows(), 1);
    int previous = 1 << 20;
    for (int r = 1; r <= g.Rows(); ++r) {
        EXPECT_FALSE(Cell(g, r, colPick).empty()) << r;   // 0..99: every game is played
        const int pool = g.CellValue(r, colPool).toInt();
        EXPECT_EQ(pool, PoolValue(g.CellValue(r, colLine).toDouble(), g.CellValue(r, colHomePoints).toDouble(),
                                  g.CellValue(r, colAwayPoints).toDouble()));
        EXPECT_LE(pool, previous);
        previous = pool;
    }
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsMinDiff], 3.0f);
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsMaxDiff], 10.0f);
    // Without pool picks the editor's range filters the plays.
    Control<QCheckBox>(&w, "chkPoolPicks")->setChecked(false);
    int noPick = 0;
    for (int r = 1; r <= g.Rows(); ++r)
        noPick += Cell(g, r, colPick).empty();
    EXPECT_GT(noPick, 0);
}

TEST_F(PredictionsTest, ColumnClicksSortAsTheColumnAsks)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    Grid& g = *w.grid();
    for (int twice = 0; twice < 2; ++twice) {
        emit g.ColumnClick(colHomePoints);
        for (int r = 2; r <= g.Rows(); ++r)
            EXPECT_GE(g.CellValue(r - 1, colHomePoints).toDouble(), g.CellValue(r, colHomePoints).toDouble());
    }
    emit g.ColumnClick(colAwayTeam);
    for (int r = 2; r <= g.Rows(); ++r)
        EXPECT_LE(Cell(g, r - 1, colAwayTeam), Cell(g, r, colAwayTeam));
}

TEST_F(PredictionsTest, TotalsModePicksOverOrUnderAndClosingGoesBackToSides)
{
    ChooseWeek(UnplayedFromWeek + 1, 2024);
    PredictWindow& w = OpenPredictions();
    Control<QCheckBox>(&w, "chkOtherFac")->setChecked(true);
    EXPECT_EQ(App().CurrentFormula[fsOtherFactors], 1.0f);
    Control<QCheckBox>(&w, "chkOu")->setChecked(true);
    EXPECT_EQ(App().CurrentFormula[fsTotalsMode], 1.0f);
    Grid& g = *w.grid();
    for (int r = 1; r <= g.Rows(); ++r) {
        const std::string pick = Cell(g, r, colPick);
        EXPECT_TRUE(pick == "OVER" || pick == "UNDER") << pick;
    }
    auto* file1 = Control<QListWidget>(&w, "File1");
    EXPECT_EQ(file1->property("Path").toString().toStdString(), (folder / "ConsensusOU").string());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Consensus"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "ConsensusOU"));

    ASSERT_TRUE(UnloadWindow("PREDICT"));
    EXPECT_EQ(App().CurrentFormula[fsTotalsMode], 0.0f);
    EXPECT_EQ(App().CurrentFormula[fsOtherFactors], 0.0f);
    PredictWindow& again = OpenPredictions();
    EXPECT_FALSE(Control<QCheckBox>(&again, "chkOu")->isChecked());
    EXPECT_NE(Cell(*again.grid(), 1, colPick), "OVER");
}

TEST_F(PredictionsTest, LineFileListKeepsTheSavedChoice)
{
    for (const char* name : {"Week9.L24", "Week3.L24", "Week5.L24", "Old.L23"})
        folder.Write(name, "");
    SaveSetting("Preference", "LineFile", "Week5");
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    auto* lines = Control<QComboBox>(&w, "cboLines");
    ASSERT_EQ(lines->count(), 4);
    EXPECT_EQ(lines->itemText(0).toStdString(), "Default");
    EXPECT_EQ(lines->itemText(1).toStdString(), "Week3");
    EXPECT_EQ(lines->itemText(2).toStdString(), "Week5");
    EXPECT_EQ(lines->itemText(3).toStdString(), "Week9");
    EXPECT_EQ(lines->currentText().toStdString(), "Week5");
    EXPECT_TRUE(notices->empty());

    // Closing keeps the choice and the "Save Formulas" mark.
    Action(&w, "sFomulas")->setChecked(true);
    ASSERT_TRUE(UnloadWindow("PREDICT"));
    EXPECT_EQ(GetSetting("Preference", "LineFile"), "Week5");
    EXPECT_EQ(GetSetting("Preference", "PredSaveFormulas"), "True");
    PredictWindow& again = OpenPredictions();
    EXPECT_TRUE(Action(&again, "sFomulas")->isChecked());
    EXPECT_EQ(Control<QComboBox>(&again, "cboLines")->currentText().toStdString(), "Week5");
}

// The file listed is the file read, whatever the letter case of its suffix (a copy from a
// system that writes names so): the week is predicted with its lines, not the season file's.
TEST_F(PredictionsTest, TheLineFileChosenFromTheListIsTheOneRead)
{
    std::string bytes;
    for (const GameRecord& game : ReadSeasonFile(folder / "2024.nfl")) {
        LineRecord line = LineRecord::FromGame(game);
        line.SetLine(line.LineValue() + 100);
        const auto record = line.Encode();
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    ChooseWeek(5, 2024);
    for (const char* file : {"Mine.L24", "Mine.l24"}) {
        SCOPED_TRACE(file);
        folder.Write(file, bytes);
        PredictWindow& w = OpenPredictions();
        auto* lines = Control<QComboBox>(&w, "cboLines");
        ASSERT_EQ(lines->count(), 2);
        lines->setCurrentIndex(lines->findText("Mine"));
        EXPECT_EQ(lines->currentText().toStdString(), "Mine");
        EXPECT_GT(Season().Spread(CurrentSlot(), 0), 50.0f);
        EXPECT_GT(w.grid()->CellValue(1, colLine).toFloat(), 50.0f);
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        EXPECT_TRUE(notices->empty());
        lines->setCurrentIndex(lines->findText("Default"));
        EXPECT_LT(Season().Spread(CurrentSlot(), 0), 50.0f);
        ASSERT_TRUE(UnloadWindow("PREDICT"));
        std::filesystem::remove(folder / file);
    }
}

TEST_F(PredictionsTest, MissingSavedLineFileSelectsDefault)
{
    folder.Write("Week3.L24", "");
    SaveSetting("Preference", "LineFile", "Gone");
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    EXPECT_EQ(Control<QComboBox>(&w, "cboLines")->currentText().toStdString(), "Default");
}

TEST_F(PredictionsTest, LineFileOfAnEarlierSeasonIsRefusedWithANotice)
{
    folder.Write("Week3.L24", "");
    ChooseWeek(5, 2023);
    PredictWindow& w = OpenPredictions();
    auto* lines = Control<QComboBox>(&w, "cboLines");
    lines->setCurrentIndex(lines->findText("Week3"));
    EXPECT_EQ(lines->currentText().toStdString(), "Default");
    EXPECT_EQ(GetSetting("Preference", "LineFile"), "Default");
    ASSERT_EQ(notices->size(), 1u);
    EXPECT_EQ(notices->at(0).text, "Only default lines can be used for previous seasons");
    EXPECT_EQ(notices->at(0).title, "Previous Season Selected");
    EXPECT_EQ(notices->at(0).calls, (std::vector<std::string>{"Text", "Title", "Number", "Owner", "Show"}));
    EXPECT_EQ(w.grid()->Rows(), GamesOfWeek(CurrentSlot()));
}

// Choosing the lines again while the season file cannot be read: the file is named once with
// its cause, and no line of the line file chosen before stands under "Default".
TEST_F(PredictionsTest, ASeasonFileThatCannotGiveTheLinesIsNamedAndNoLineOfTheChoiceBeforeStays)
{
    const std::filesystem::path seasonFile = folder / "2024.nfl";
    std::string bytes;
    for (const GameRecord& game : ReadSeasonFile(seasonFile)) {
        LineRecord line = LineRecord::FromGame(game);
        line.SetLine(line.LineValue() + 100);
        const auto record = line.Encode();
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
    }
    folder.Write("Mine.L24", bytes);
    SaveSetting("Preference", "LineFile", "Mine");
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    auto* lines = Control<QComboBox>(&w, "cboLines");
    ASSERT_EQ(lines->currentText().toStdString(), "Mine");
    const int slot = CurrentSlot();
    ASSERT_GT(Season().Spread(slot, 0), 50.0f);
    messages.shown.clear();
    {
        const ReadErrorFault failing(seasonFile);
        lines->setCurrentIndex(lines->findText("Default"));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, ReadFailure(seasonFile, EIO));
        EXPECT_EQ(GetSetting("Preference", "LineFile"), "Default");
        for (int g = 0; g < GamesOfWeek(slot); ++g)
            EXPECT_EQ(Season().Spread(slot, g), 0.0f) << g;
        EXPECT_EQ(w.grid()->CellValue(1, colLine).toFloat(), 0.0f);
        // Chosen again while the disk still fails: named once.
        lines->setCurrentIndex(lines->findText("Mine"));
        lines->setCurrentIndex(lines->findText("Default"));
        EXPECT_EQ(messages.shown.size(), 1u);
    }
    lines->setCurrentIndex(lines->findText("Mine"));
    lines->setCurrentIndex(lines->findText("Default"));
    // Read again: the season file's own lines.
    const std::vector<GameRecord> games = ReadSeasonFile(seasonFile);
    const auto firstOfWeek = std::find_if(games.begin(), games.end(), [](const GameRecord& g) { return g.Week == 5; });
    ASSERT_NE(firstOfWeek, games.end());
    EXPECT_EQ(Season().Spread(slot, 0), firstOfWeek->LineSingle());
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(PredictionsTest, AStaleStopRequestDoesNotEndAPrediction)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    App().StopTest = true;
    Control<QPushButton>(&w, "cmdpred")->click();
    EXPECT_EQ(w.grid()->Rows(), GamesOfWeek(CurrentSlot()));
    EXPECT_FALSE(App().StopTest);
}

TEST_F(PredictionsTest, TheWindowCannotBeClosedWhileItsEngineCallYields)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    int attempts = 0;
    bool closed = false;
    SetDoEventsHook([&] {
        if (w.Running()) {
            ++attempts;
            closed = closed || UnloadWindow("PREDICT");
            EXPECT_TRUE(IsBusy());
        }
    });
    Control<QPushButton>(&w, "cmdpred")->click();
    SetDoEventsHook({});
    EXPECT_GT(attempts, 0);
    EXPECT_FALSE(closed);
    EXPECT_NE(FindWindow("PREDICT"), nullptr);
    EXPECT_EQ(w.grid()->Rows(), GamesOfWeek(CurrentSlot()));
}

TEST_F(PredictionsTest, AnOptionChosenWhileTheEngineYieldsIsAppliedAfterTheRun)
{
    ChooseWeek(UnplayedFromWeek + 1, 2024);
    PredictWindow& w = OpenPredictions();
    bool toggled = false;
    float totalsDuringRun = -1;
    SetDoEventsHook([&] {
        if (w.Running() && !toggled) {
            toggled = true;
            Control<QCheckBox>(&w, "chkOu")->setChecked(true);
            totalsDuringRun = App().CurrentFormula[fsTotalsMode];
        }
    });
    Control<QPushButton>(&w, "cmdpred")->click();
    SetDoEventsHook({});
    ASSERT_TRUE(toggled);
    EXPECT_EQ(totalsDuringRun, 0.0f);   // the running prediction is not changed under it
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(App().CurrentFormula[fsTotalsMode], 1.0f);
    const std::string pick = Cell(*w.grid(), 1, colPick);
    EXPECT_TRUE(pick == "OVER" || pick == "UNDER") << pick;
}

TEST_F(PredictionsTest, MenusAndHelpAtTheRightEndOfTheMenuBar)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    auto* bar = Control<QMenuBar>(&w, "mnuBar");
    std::vector<std::string> menus;
    for (QAction* a : bar->actions())
        menus.push_back(a->text().toStdString());
    EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Consensus", "&Smart Predict"}));
    std::vector<std::string> file;
    for (QAction* a : Control<QMenu>(&w, "mnuFile")->actions())
        file.push_back(a->text().toStdString());
    EXPECT_EQ(file, (std::vector<std::string>{"&Print...", "&HTML Print", "&Export to HTML", "E&xit"}));

    // "&Help" stands apart at the right end of the bar.
    QAction* help = Action(&w, "Help");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text().toStdString(), "&Help");
    w.resize(900, 500);
    w.show();
    QCoreApplication::processEvents();
    QWidget* corner = bar->cornerWidget(Qt::TopRightCorner);
    ASSERT_NE(corner, nullptr);
    EXPECT_TRUE(corner->actions().contains(help));
    const int helpRight = corner->mapTo(bar, QPoint(corner->width(), 0)).x();
    EXPECT_GE(helpRight, bar->width() - 10);
    EXPECT_GT(corner->mapTo(bar, QPoint(0, 0)).x(), bar->actionGeometry(bar->actions().last()).right());
}

TEST_F(PredictionsTest, ActivationBuildsThePopupMenu)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    const auto& items = w.cPop().Items();
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].caption, "View Consensus");
    EXPECT_EQ(items[1].icon, 16);
    EXPECT_EQ(items[4].caption, "Print Range");
    // The report menu, smart predictions and the consensus set-up are all offered.
    EXPECT_TRUE(Control<QPushButton>(&w, "cmdConsensus")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>(&w, "cmdSmartPred")->isEnabled());
    EXPECT_TRUE(Action(&w, "SUConsensus")->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(&w, "chkCliffAdjust")->isHidden());
}

TEST_F(PredictionsTest, DefaultFormulaIsReadWhenNoFormulaIsLoaded)
{
    folder.Write("default.fla", "5,1,12,1,60,40,3,55,45,0,4,0,0,1,0,0,0,0,99,99\r\n");
    ChooseWeek(5, 2024);
    App().CurrentFormula[fsMaxDiff] = 0;
    App().CurrentFormula[fsTotalsMode] = 0;
    auto* w = qobject_cast<PredictWindow*>(LoadWindow("PREDICT"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(App().CurrentFormulaFile, "default.fla");
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsHomeField], 5.0f);
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsOffense], 60.0f);
    EXPECT_GE(App().CurrentFormula[fsCurrentWeek], 1.0f);   // the week stays
}

// The whole program writes the shipped formula at start-up, before the formula editor opens
// it (the app tests drive the first prediction from there); the window itself writes it too
// when it finds no formula read and none in the folder.
TEST_F(PredictionsTest, AFolderWithoutADefaultFormulaGetsTheShippedOne)
{
    std::filesystem::remove(folder / "default.fla");
    ChooseWeek(5, 2024);
    App().CurrentFormula[fsMaxDiff] = 0;
    auto* w = qobject_cast<PredictWindow*>(LoadWindow("PREDICT"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(folder.Read("default.fla"), ReadFile(test::SourceFile("src/season/default.fla")));
    EXPECT_EQ(App().CurrentFormulaFile, "default.fla");
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsHomeField], 3.0f);
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsOffense], 50.0f);
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsTurnovers], 4.0f);
    EXPECT_FLOAT_EQ(App().CurrentFormula[fsLineEnd], 99.0f);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PredictionsTest, AnExistingDefaultFormulaIsNeverReplaced)
{
    // Also under another letter case, as copied from elsewhere.
    for (const char* name : {"default.fla", "Default.FLA"}) {
        std::filesystem::remove(folder / "default.fla");
        folder.Write(name, "5,1,12,1,60,40,3,55,45,0,4,0,0,1,0,0,0,0,99,99\r\n");
        App().CurrentFormula[fsMaxDiff] = 0;
        auto* w = qobject_cast<PredictWindow*>(LoadWindow("PREDICT"));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(folder.Read(name), "5,1,12,1,60,40,3,55,45,0,4,0,0,1,0,0,0,0,99,99\r\n") << name;
        EXPECT_FLOAT_EQ(App().CurrentFormula[fsHomeField], 5.0f) << name;
        std::size_t formulas = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            formulas += vb::SameText(entry.path().filename().string(), "default.fla");
        EXPECT_EQ(formulas, 1u) << name;
        UnloadWindow("PREDICT");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::filesystem::remove(folder / name);
    }
}

TEST_F(PredictionsTest, ExportToHtmlWritesVexalPicksExactlyAndOpensIt)
{
    ChooseWeek(UnplayedFromWeek + 1, 2024);
    PredictWindow& w = OpenPredictions();
    auto& launcher = dynamic_cast<RecordingLauncher&>(Launcher());
    launcher.calls.clear();
    SetFixedClock(vb::DateSerial(2025, 2, 14) + vb::TimeSerial(23, 59, 0));
    Action(&w, "HTML")->trigger();

    const std::filesystem::path page = App().UserFolder / "VexalPicks.htm";
    ASSERT_TRUE(FileExists(page));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, page.string());

    // Week 13 of the generated 2024 season, predicted with the shipped formula, in the pinned
    // 9-point face (HTML size 4, the heading one larger), printed on the fixed date.
    EXPECT_TRUE(test::FileMatchesGolden(page, test::GoldenFolder("predictions") / "picks-page" / "VexalPicks.htm"));
}

// Tab goes as one reads the two rows of commands: along the top, along the second, then into
// the grid.
TEST_F(PredictionsTest, TabRunsAlongEachRowOfCommandsLeftToRightThenIntoTheGrid)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    w.show();
    QCoreApplication::processEvents();
    QWidget* first = Control<QComboBox>(&w, "cboLines");
    std::vector<std::string> names{"cboLines"};
    for (QWidget* n = first->nextInFocusChain(); n != first && names.size() < 100; n = n->nextInFocusChain())
        if (w.isAncestorOf(n) && n->isVisibleTo(&w) && (n->focusPolicy() & Qt::TabFocus) && n->isEnabled())
            names.push_back(n->objectName().toStdString());
    EXPECT_EQ(names, (std::vector<std::string>{"cboLines", "cmdConsensus", "CmdWeb", "cboTeaser", "cmdSmartPred",
                                               "chkPoolPicks", "chkOtherFac", "chkOu", "Grid"}));
}

// After every resize, smaller or larger, the grid shows every column whole: a score or a team
// name is never cut to "21 - ...".
TEST_F(PredictionsTest, GridFollowsTheWindowWithEveryColumnWhole)
{
    ChooseWeek(5, 2024);
    // Opened in a small main window, then made larger and smaller again.
    QMainWindow* main = MainWindow();
    ASSERT_NE(main, nullptr);
    main->resize(640, 480);
    PredictWindow& w = OpenPredictions();
    Grid& g = *w.grid();
    ASSERT_GT(g.Rows(), 0);
    // The window is resized through its frame in the main window, as the user does.
    QWidget* frame = w.parentWidget() ? w.parentWidget() : &w;
    for (const QSize size : {QSize(760, 520), QSize(1260, 960), QSize(760, 520), QSize(1000, 700)}) {
        frame->resize(size);
        QCoreApplication::processEvents();
        const std::string at = std::to_string(size.width()) + "x" + std::to_string(size.height());
        for (int c = 1; c <= g.Cols(); ++c) {
            if (!g.ColumnVisible(c))
                continue;
            for (int r = 1; r <= g.Rows(); ++r)
                EXPECT_LT(QFontMetrics(g.CellFont(r, c)).horizontalAdvance(g.CellFormattedText(r, c)), g.ColumnWidth(c))
                    << at << " " << r << "," << c << " " << g.CellFormattedText(r, c).toStdString();
        }
        // The whole grid lies inside the window.
        const QRect inWindow(g.mapTo(&w, QPoint(0, 0)), g.size());
        EXPECT_LE(inWindow.right(), w.width()) << at;
        EXPECT_GE(inWindow.left(), 0) << at;
    }
}

TEST_F(PredictionsTest, FailedExportOpensNothing)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    App().UserFolder = folder / "no such folder";
    auto& launcher = dynamic_cast<RecordingLauncher&>(Launcher());
    launcher.calls.clear();
    Action(&w, "HTML")->trigger();
    EXPECT_TRUE(launcher.calls.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
}

TEST_F(PredictionsTest, PrintSendsTheGridToThePrinter)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    const auto pdf = folder / "picks.pdf";
    PrintTo(pdf);
    Action(&w, "Print")->trigger();
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Predictions for " + WeekText(5, 2024) + " using " + w.FormulaName()), std::string::npos)
        << text;
    Grid& g = *w.grid();
    for (int r = 1; r <= g.Rows(); ++r) {
        EXPECT_NE(text.find(Cell(g, r, colAwayTeam)), std::string::npos);
        EXPECT_NE(text.find(Cell(g, r, colResult)), std::string::npos);
    }
    EXPECT_TRUE(messages.shown.empty());

    // A cancel prints nothing.
    std::filesystem::remove(pdf);
    PrintTo(pdf, false);
    Action(&w, "Print")->trigger();
    Action(&w, "pHTML")->trigger();
    EXPECT_FALSE(FileExists(pdf));
}

TEST_F(PredictionsTest, HtmlPrintPrintsThePageOfTheGrid)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    const auto pdf = folder / "page.pdf";
    PrintTo(pdf);
    Action(&w, "pHTML")->trigger();
    EXPECT_TRUE(FileExists(folder / "~Temp.htm"));
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find("Predictions for " + WeekText(5, 2024)), std::string::npos) << text;
    // The page is laid out as a browser lays it out: a cell may wrap between words, but no
    // word is broken across lines.
    Grid& g = *w.grid();
    for (int r = 1; r <= g.Rows(); ++r)
        for (int c : {colAwayTeam, colHomeTeam, colPick}) {
            std::istringstream words(Cell(g, r, c));
            for (std::string word; words >> word;)
                EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;
        }
}

} // namespace
} // namespace vexal::test
