// The whole program, as main() starts it, on a temporary program folder of sample seasons:
// every view opens from its button, one view at a time, and every window the program
// registers is the real one.
// With VEXAL_SCREENSHOT set (by hand, under a real X server) the started program's screen
// is saved to that file.
#include "AppState.h"
#include "Golden.h"
#include "GameRecord.h"
#include "Grid.h"
#include "MsgBox.h"
#include "Predict.h"
#include "PredictWindow.h"
#include "Host.h"
#include "ProgramTestSupport.h"
#include "Main.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>

namespace vexal::test {
namespace {

using program::Pump;
using program::WaitFor;

bool IsViewCaption(const QString& caption, const QString& view)
{
    return caption == view || caption == "Vexal - [" + view + "]";
}

class WholeProgram : public WholeProgramTest {};

TEST_F(WholeProgram, StartsWithTheSplashAndOpensEveryViewFromItsButton)
{
    StartVexal();
    auto* splash = qobject_cast<Splash*>(FindWindow("opening"));
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->lblResources()->text().startsWith("Build "));
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();

    Main* main = TheMain();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->cboYears()->currentText(), " 2024");
    EXPECT_EQ(main->cboWeek()->currentText(), "Wk 10 of 2024");
    EXPECT_TRUE(IsViewCaption(ActiveView()->windowTitle(), "Standings"));

    struct Case {
        const char* toolbar;
        int button;
        const char* window;
        const char* view;
    };
    const Case cases[] = {
        {"cToolbar1", 2, "lines", "Enter Lines"},
        {"cToolbar1", 4, "PREDICT", "Predictions"},
        {"cToolbar1", 6, "FORM6", "Statistics"},
        {"cToolbar1", 8, "frmTest", "Test Formula"},
        {"cToolbar1", 10, "Power", "Power Ratings / Strength of Schedule"},
        {"cToolbar2", 2, "FORM2", "Input Stats"},
        {"cToolbar2", 4, "INJURIES", "Other Factors"},
        {"cToolbar1", 0, "FORM1", "Standings"},
    };
    for (const Case& c : cases) {
        QAction* button = main->findChild<QToolBar*>(c.toolbar)->actions().at(c.button);
        button->trigger();
        ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
        Pump();
        QWidget* view = FindWindow(c.window);
        ASSERT_NE(view, nullptr) << c.window;
        EXPECT_EQ(ActiveView(), view) << c.window;
        EXPECT_TRUE(IsViewCaption(view->windowTitle(), c.view)) << view->windowTitle().toStdString();
        for (const std::string& loaded : LoadedWindowNames())
            EXPECT_TRUE(loaded == "Main" || loaded == "frmFormula" || loaded == c.window) << loaded;
    }

    main->findChild<QToolBar*>("cToolbar2")->actions().at(12)->trigger();
    ASSERT_TRUE(WaitFor([] { return MainWindow() == nullptr; }));
    Pump();
    EXPECT_TRUE(LoadedWindowNames().empty());
}

// A default.fla that cannot be read (here a folder of that name) is named once, with no
// library's error text; Predictions goes on with the built-in default formula, overwrites
// nothing, and shows the week's games.
TEST_F(WholeProgram, AnUnreadableDefaultFormulaIsNamedOnceAndTheBuiltInOneIsUsed)
{
    std::error_code ec;
    std::filesystem::remove(program.Path() / "default.fla", ec);
    ASSERT_TRUE(std::filesystem::create_directory(program.Path() / "default.fla"));
    auto& messages = InstallScriptedMessages();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    TheMain()->findChild<QToolBar*>("cToolbar1")->actions().at(4)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy() && FindWindow("PREDICT"); }));
    Pump();

    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_NE(text.find((program.Path() / "default.fla").string()), std::string::npos) << text;
    EXPECT_NE(text.find("is a folder"), std::string::npos) << text;
    EXPECT_EQ(text.find("basic_filebuf"), std::string::npos) << text;
    EXPECT_TRUE(std::filesystem::is_directory(program.Path() / "default.fla"));
    auto* predictions = dynamic_cast<PredictWindow*>(FindWindow("PREDICT"));
    ASSERT_NE(predictions, nullptr);
    EXPECT_GT(predictions->grid()->Rows(), 1);
}

// The newest season file a folder: the start names it once, and every view then asked for
// says that no season is loaded, once, instead of computing with no week (no "Subscript out
// of range"); nothing is opened over the empty standings and nothing is written.
TEST_F(WholeProgram, WithNoSeasonLoadedEveryViewSaysSoOnce)
{
    const std::filesystem::path season = program.Path() / "2024.nfl";
    std::filesystem::remove(season);
    ASSERT_TRUE(std::filesystem::create_directory(season));
    auto& messages = InstallScriptedMessages();
    StartVexal();
    // (The splash stays for its while: no load has closed it.)
    ASSERT_TRUE(WaitFor([] { return MainWindow() && MainWindow()->isVisible() && FindWindow("FORM1"); }));
    Pump();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(season.string()), std::string::npos) << messages.shown[0].text;

    const struct {
        const char* toolbar;
        int button;
        const char* window;
    } views[] = {
        {"cToolbar1", 10, "Power"},   {"cToolbar1", 2, "lines"},   {"cToolbar1", 4, "PREDICT"},
        {"cToolbar1", 6, "FORM6"},    {"cToolbar1", 8, "frmTest"}, {"cToolbar2", 2, "FORM2"},
        {"cToolbar2", 4, "INJURIES"}, {"cToolbar2", 6, "Singleg"}, {"cToolbar1", 0, "FORM1"},
    };
    for (const auto& view : views) {
        SCOPED_TRACE(view.window);
        messages.shown.clear();
        TheMain()->findChild<QToolBar*>(view.toolbar)->actions().at(view.button)->trigger();
        ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
        Pump();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "No season is loaded: choose a season in the season list first.");
        EXPECT_EQ(ActiveView(), FindWindow("FORM1"));
        if (std::string(view.window) != "FORM1") {
            EXPECT_EQ(FindWindow(view.window), nullptr);
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(season));
}

// VEXAL_HOME named relative to the folder the program starts in, as a user types it.
class RelativeHome {
public:
    explicit RelativeHome(const std::filesystem::path& folder)
    {
        if (const char* old = std::getenv("VEXAL_HOME"))
            old_ = old;
        std::error_code ec;
        start_ = std::filesystem::current_path(ec);
        std::filesystem::current_path(folder.parent_path());
        setenv("VEXAL_HOME", folder.filename().c_str(), 1);
    }
    ~RelativeHome()
    {
        if (old_)
            setenv("VEXAL_HOME", old_->c_str(), 1);
        else
            unsetenv("VEXAL_HOME");
        std::error_code ec;
        std::filesystem::current_path(start_, ec);
    }

private:
    std::optional<std::string> old_;
    std::filesystem::path start_;
};

TEST_F(WholeProgram, ARelativeProgramFolderLoadsItsSeasonsAndPredictsWithTheShippedFormula)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    RelativeHome relative(program.Path());
    // As the program starts: the folder from the environment, checked, then the splash.
    SetProgramFolder(DefaultProgramFolder());
    EXPECT_EQ(ProgramFolder(), program.Path());
    CheckProgramFolder();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(std::filesystem::exists(program / "default.fla"));
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    Main* main = TheMain();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->cboYears()->count(), 3);
    EXPECT_EQ(main->cboYears()->currentText(), " 2024");
    EXPECT_EQ(main->cboWeek()->currentText(), "Wk 10 of 2024");

    main->findChild<QToolBar*>("cToolbar1")->actions().at(4)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
    Pump();
    auto* predict = qobject_cast<PredictWindow*>(FindWindow("PREDICT"));
    ASSERT_NE(predict, nullptr);
    const Grid& grid = *predict->grid();
    ASSERT_GT(grid.Rows(), 10);
    int picks = 0;
    for (int r = 1; r <= grid.Rows(); ++r) {
        EXPECT_NE(grid.CellFormattedText(r, predict::colAwayPoints), "0.0") << r;
        EXPECT_NE(grid.CellFormattedText(r, predict::colHomePoints), "0.0") << r;
        picks += !grid.CellFormattedText(r, predict::colPick).isEmpty();
    }
    EXPECT_GT(picks, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ProgramFolderCheck, NamesAMissingFolderOrOneWithoutSeasons)
{
    TempFolder root;
    root.Write("seasons/2023.nfl", std::string(GameRecord::Size, '\0'));
    root.Write("other/notes.txt", "x");
    std::filesystem::create_directories(root / "empty");
    struct Case {
        const char* folder;
        std::string message;   // empty: the folder is fine
        bool defaultWritten;
    };
    const std::string base = root.Path().string() + "/";
    const Case cases[] = {
        {"seasons", "", true},
        {"missing", "The program folder " + base + "missing does not exist. Set VEXAL_HOME to the folder that holds "
                    "your season files (<year>.nfl).", false},
        {"other", "The program folder " + base + "other holds no season file (<year>.nfl). Copy your season files "
                  "there, or set VEXAL_HOME to the folder that holds them.", false},
        {"empty", "The program folder " + base + "empty holds no season file (<year>.nfl). Copy your season files "
                  "there, or set VEXAL_HOME to the folder that holds them.", false},
    };
    for (const Case& c : cases) {
        ScriptedMessages& messages = InstallScriptedMessages();
        SetProgramFolder(root / c.folder);
        EXPECT_EQ(ProgramFolderProblem(root / c.folder), c.message) << c.folder;
        CheckProgramFolder();
        if (c.message.empty()) {
            EXPECT_TRUE(messages.shown.empty()) << c.folder;
        } else {
            ASSERT_EQ(messages.shown.size(), 1u) << c.folder;
            EXPECT_EQ(messages.shown[0].text, c.message);
            EXPECT_EQ(messages.shown[0].buttons, vbExclamation);
            EXPECT_EQ(messages.shown[0].title, "Vexal");
        }
        EXPECT_EQ(std::filesystem::exists(root / c.folder / "default.fla"), c.defaultWritten) << c.folder;
    }
    EXPECT_FALSE(std::filesystem::exists(root / "missing"));
    EXPECT_EQ(root.Read("seasons/default.fla"), ReadFile(SourceFile("src/season/default.fla")));

    // A formula of the user's is kept.
    root.Write("seasons/default.fla", "1,2,3\r\n");
    CheckProgramFolder();
    SetProgramFolder(root / "seasons");
    CheckProgramFolder();
    EXPECT_EQ(root.Read("seasons/default.fla"), "1,2,3\r\n");
}

TEST(ProgramFolderCheck, TheFolderFromTheEnvironmentIsAbsolute)
{
    TempFolder root;
    RelativeHome relative(root / "prog");
    EXPECT_EQ(DefaultProgramFolder(), root / "prog");
    setenv("VEXAL_HOME", "./prog/../prog/", 1);
    EXPECT_EQ(DefaultProgramFolder(), root / "prog" / "");
    SetProgramFolder("prog");
    EXPECT_EQ(ProgramFolder(), root / "prog");
}

// A view library left out of the program would leave its window unregistered, or a
// stand-in with the same name and caption in its place: each window must be its own class.
TEST_F(WholeProgram, RegistersTheRealClassOfEveryWindow)
{
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();

    struct Case {
        const char* window;
        const char* className;
    };
    const Case cases[] = {
        {"FORM1", "vexal::StandingsWindow"},
        {"lines", "vexal::LinesWindow"},
        {"FORM6", "vexal::StatsWindow"},
        {"FORM2", "vexal::InputStatsWindow"},
        {"PREDICT", "vexal::PredictWindow"},
        {"Power", "vexal::PowerWindow"},
        {"INJURIES", "vexal::OtherFactorsWindow"},
        {"frmTest", "vexal::FormulaTestWindow"},
        {"frmFormula", "vexal::FormulaEditor"},
        {"Singleg", "vexal::SingleGameWindow"},
        {"frmRichEdit", "vexal::RichEditWindow"},
        {"frmDownload", "vexal::DownloadWindow"},
        {"Main", "vexal::Main"},
    };
    // The document viewer opens its document when it loads.
    App().DocumentPath = program.Path() / "FormulaList.txt";
    { std::ofstream(App().DocumentPath) << "Formulas\r\n"; }
    for (const Case& c : cases) {
        ASSERT_TRUE(IsWindowRegistered(c.window)) << c.window;
        QWidget* window = LoadWindow(c.window);
        ASSERT_NE(window, nullptr) << c.window;
        EXPECT_STREQ(window->metaObject()->className(), c.className) << c.window;
        EXPECT_EQ(window->objectName().toStdString(), c.window);
        if (std::string(c.window) != "Main" && std::string(c.window) != "frmFormula")
            UnloadWindow(c.window);
        Pump();
    }
}

TEST_F(WholeProgram, ScreenshotUnderARealXServer)
{
    const char* target = std::getenv("VEXAL_SCREENSHOT");
    if (!target || !*target)
        GTEST_SKIP() << "set VEXAL_SCREENSHOT to a file name and run under an X server";
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    MainWindow()->showMaximized();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500)
        Pump();
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    ASSERT_TRUE(shot.save(QString::fromLocal8Bit(target)));
}

} // namespace
} // namespace vexal::test
