// The whole program, as main() starts it, on a temporary program folder of sample seasons:
// every view opens from its button, one view at a time, and every window the program
// registers is the real one.
// What the program draws reaches the screen, on Qt's offscreen platform and on a virtual X
// server; with VEXAL_SCREENSHOT set the screen is saved to that file.
// Every window that names a team takes the club the user chose where two show as one city.
#include "AppState.h"
#include "DefaultFormula.h"
#include "Golden.h"
#include "GameRecord.h"
#include "Grid.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "Predict.h"
#include "PredictWindow.h"
#include "Host.h"
#include "InputStatsWindow.h"
#include "ProgramTestSupport.h"
#include "Main.h"
#include "ReBar.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "SingleGameWindow.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "StatsWindow.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

namespace vexal::test {
namespace {

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

// A default.fla that is no whole formula leaves the built-in default in force everywhere:
// the editor shows it, Predictions picks with it the games the shipped file picks, and a file
// that is there but damaged is named once, with no library's error text, and left as it is.
// So does a program folder that cannot be given the shipped file (an installed program's
// folder the user cannot write, a full disk), which is named once with the write's cause.
struct DefaultFormulaDamage {
    const char* name;
    std::function<void(const std::filesystem::path&)> make;
    const char* named;   // what the one message says of the file; nullptr: no message
    // The folder takes no new file: a full disk (the superuser the tests run as writes a
    // read-only folder all the same).
    bool folderRefusesTheFile = false;
};

std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void PrintTo(const DefaultFormulaDamage& damage, std::ostream* out) { *out << damage.name; }

class DamagedDefaultFormula : public WholeProgramTest, public ::testing::WithParamInterface<DefaultFormulaDamage> {};

TEST_P(DamagedDefaultFormula, LeavesTheBuiltInFormulaInForceEverywhere)
{
    const std::filesystem::path file = program.Path() / "default.fla";
    std::filesystem::remove(file);
    GetParam().make(file);
    std::optional<WriteFault> fullDisk;
    if (GetParam().folderRefusesTheFile)
        fullDisk.emplace(0, file);
    auto& messages = InstallScriptedMessages();
    // As the program starts (RunVexal).
    CheckProgramFolder();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    TheMain()->findChild<QToolBar*>("cToolbar1")->actions().at(4)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy() && FindWindow("PREDICT"); }));
    Pump();

    QWidget* editor = FindWindow("frmFormula");
    ASSERT_NE(editor, nullptr);
    auto shown = [&] {
        std::vector<std::string> texts;
        for (int i = 0; i < 9; ++i)
            texts.push_back(editor->findChild<QLineEdit*>("txtFla_" + QString::number(i))->text().toStdString());
        texts.push_back(editor->findChild<QComboBox*>("Combo2")->currentText().toStdString());
        return texts;
    };
    auto picks = [] {
        const Grid& grid = *dynamic_cast<PredictWindow*>(FindWindow("PREDICT"))->grid();
        std::vector<std::string> column;
        for (int r = 1; r <= grid.Rows(); ++r)
            column.push_back(grid.CellFormattedText(r, predict::colPick).toStdString());
        return column;
    };
    const std::vector<std::string> damagedShows = shown();
    const std::vector<std::string> damagedPicks = picks();
    EXPECT_EQ(damagedShows, (std::vector<std::string>{"3", "1", "99", "50", "50", "50", "50", "4", "1", "default.fla"}));
    if (GetParam().named) {
        ASSERT_EQ(messages.shown.size(), 1u);
        const std::string& text = messages.shown[0].text;
        EXPECT_NE(text.find(file.string()), std::string::npos) << text;
        EXPECT_NE(text.find(GetParam().named), std::string::npos) << text;
        EXPECT_NE(text.find("The built-in default formula is used instead."), std::string::npos) << text;
        EXPECT_EQ(text.find("basic_filebuf"), std::string::npos) << text;
    } else {
        EXPECT_TRUE(messages.shown.empty());
    }
    EXPECT_FALSE(std::filesystem::is_regular_file(file) && FileText(file) == ShippedDefaultFormula())
        << "the damaged file is left as it is";

    // The shipped file put back and opened again: the same formula, the same picks.
    std::filesystem::remove_all(file);
    std::ofstream(file, std::ios::binary) << ShippedDefaultFormula();
    auto* names = editor->findChild<QComboBox*>("Combo2");
    const int index = names->findText("default.fla");
    ASSERT_GE(index, 0);
    emit names->activated(index);
    ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
    Pump();
    EXPECT_EQ(shown(), damagedShows);
    const std::vector<std::string> shippedPicks = picks();
    EXPECT_EQ(damagedPicks, shippedPicks);
    EXPECT_GT(std::count_if(shippedPicks.begin(), shippedPicks.end(), [](const std::string& p) { return !p.empty(); }),
              0);
    EXPECT_EQ(messages.shown.size(), GetParam().named ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedDefaultFormula,
    ::testing::Values(
        DefaultFormulaDamage{"Folder", [](const std::filesystem::path& f) { std::filesystem::create_directory(f); },
                             "is a folder"},
        DefaultFormulaDamage{"Short",
                             [](const std::filesystem::path& f) {
                                 std::ofstream(f, std::ios::binary) << "3,1,99,1,50,50,0,50,50,0,4,0,0,0\r\n";
                             },
                             "ends after 14 of the 20 numbers"},
        DefaultFormulaDamage{"Empty", [](const std::filesystem::path& f) { std::ofstream(f, std::ios::binary); },
                             "ends after 0 of the 20 numbers"},
        DefaultFormulaDamage{"Missing",
                             [](const std::filesystem::path& f) {
                                 std::filesystem::create_symlink(f.parent_path() / "gone.fla", f);
                             },
                             nullptr},
        DefaultFormulaDamage{"NoneAndTheFolderTakesNone", [](const std::filesystem::path&) {},
                             "could not be written: the disk is full.", true}),
    [](const ::testing::TestParamInfo<DefaultFormulaDamage>& info) { return std::string(info.param.name); });

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
    ASSERT_TRUE(WaitFor(
        [] { return MainWindow() && MainWindow()->isVisible() && FindWindow("FORM1") && !FindWindow("opening"); }));
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
    const std::string record(GameRecord::Size, '\0');
    root.Write("seasons/2023.nfl", record);
    root.Write("other/notes.txt", "x");
    std::filesystem::create_directories(root / "empty");
    // Copied from a system that writes names in capitals: not read, and named.
    for (const char* name : {"capitals/2024.NFL", "capitals/2023.Nfl", "capitals/1983.NFL", "capitals/2024.nfl.bak"})
        root.Write(name, record);
    std::filesystem::create_directories(root / "capitals/2022.NFL");
    root.Write("capital/2024.NFL", record);
    for (const char* name : {"beside/2023.nfl", "beside/2022.NFL"})
        root.Write(name, record);
    // Seasons the program does not offer, made as a user makes them: named, and the start goes
    // on with the seasons it offers. Names that hold no four-digit year are no season file.
    for (const char* name : {"later/2023.nfl", "later/2024.nfl", "later/2025.nfl", "later/2026.nfl"})
        root.Write(name, record);
    for (const char* name : {"future/2025.nfl", "future/abcd.nfl", "future/19.nfl", "future/20250.nfl",
                             "future/+202.nfl", "future/2025.nfl.old"})
        root.Write(name, record);
    std::filesystem::create_directories(root / "future/2026.nfl");
    struct Case {
        const char* folder;
        std::string message;   // the one message at the start; empty: none
        bool defaultWritten;   // the folder is fine, and any message is said beside its seasons
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
        {"capital", "The program folder " + base + "capital holds none of the seasons 1984 to 2024 (<year>.nfl). "
                    "2024.NFL was not taken as a season file: a season file's name is its year and \".nfl\" in small "
                    "letters. Rename it so, or set VEXAL_HOME to the folder that holds your season files.", false},
        {"capitals", "The program folder " + base + "capitals holds none of the seasons 1984 to 2024 (<year>.nfl). "
                     "2023.Nfl and 2024.NFL were not taken as season files: a season file's name is its year and "
                     "\".nfl\" in small letters. 1983.NFL was not taken as a season file: the program offers the "
                     "seasons 1984 to 2024 only. Copy season files of 1984 to 2024 there, or set VEXAL_HOME to the "
                     "folder that holds them.", false},
        {"future", "The program folder " + base + "future holds none of the seasons 1984 to 2024 (<year>.nfl). "
                   "2025.nfl was not taken as a season file: the program offers the seasons 1984 to 2024 only. Copy "
                   "season files of 1984 to 2024 there, or set VEXAL_HOME to the folder that holds them.", false},
        {"beside", "2022.NFL in the program folder " + base + "beside was not taken as a season file: a season "
                   "file's name is its year and \".nfl\" in small letters.", true},
        {"later", "2025.nfl and 2026.nfl in the program folder " + base + "later were not taken as season files: "
                  "the program offers the seasons 1984 to 2024 only.", true},
    };
    for (const Case& c : cases) {
        ScriptedMessages& messages = InstallScriptedMessages();
        SetProgramFolder(root / c.folder);
        EXPECT_EQ(ProgramFolderProblem(root / c.folder), c.defaultWritten ? "" : c.message) << c.folder;
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
// The formula's name stands on the first toolbar's band from the start, whatever state the
// default formula's file is in: a damaged one leaves the built-in default in force, by its
// name, and the message about the file shows with that name already on the band.
class BandAtEachMessage : public ScriptedMessages {
public:
    int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) override
    {
        Main* main = TheMain();
        bands.push_back(main && main->cReBar1()->BandCount() > 3 ? main->cReBar1()->BandText(3).toStdString()
                                                                  : std::string("(no band)"));
        return ScriptedMessages::MsgBox(text, buttons, title);
    }
    std::vector<std::string> bands;
};

TEST_F(WholeProgram, TheToolbarNamesTheFormulaFromTheStart)
{
    for (const char* remembered : {"", "gone.fla"}) {
        SCOPED_TRACE(remembered);
        auto owned = std::make_unique<BandAtEachMessage>();
        BandAtEachMessage& messages = *owned;
        InstallMessages(std::move(owned));
        std::filesystem::create_directory(program / "default.fla");
        if (*remembered)
            SaveSetting("Formula", "Current", remembered);
        StartVexal();
        ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
        Pump();
        ReBar* rebar = TheMain()->cReBar1();
        ASSERT_EQ(rebar->BandKey(3), "Toolbar1");
        EXPECT_EQ(rebar->BandText(3), "default");
        EXPECT_EQ(App().CurrentFormulaFile, "default.fla");
        for (std::size_t i = 0; i < messages.shown.size(); ++i)
            EXPECT_EQ(messages.bands[i], "default") << messages.shown[i].text;
        UnloadAllForms();
        Pump();
        for (const std::string& name : LoadedWindowNames())
            UnloadWindow(name);
        Pump();
        ResetSeasonLoader();
    }
}

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

// What the program draws reaches the screen as the program drew it: the main window as the
// screen shows it is the window's own rendering, and its toolbar band shows the background
// picture the program ships. The suite runs this once on Qt's offscreen platform and once
// more on a virtual X server (under_xvfb.sh); with VEXAL_SCREENSHOT naming a file the screen
// is saved there, to look at.
TEST_F(WholeProgram, WhatItDrawsReachesTheScreen)
{
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    Main* main = TheMain();
    ASSERT_NE(main, nullptr);

    // The toolbar band, where no control covers it, is the picture.
    const QImage picture(QString::fromStdString((program.Path() / "images" / "bground.bmp").string()));
    ASSERT_FALSE(picture.isNull());
    QSet<QRgb> pictureColors;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            pictureColors.insert(picture.pixel(x, y) & 0xFFFFFF);
    QWidget* band = main->picture1();
    const QImage drawn = band->grab().toImage();
    int ofPicture = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            ofPicture += pictureColors.contains(drawn.pixel(x, y) & 0xFFFFFF);
    EXPECT_GT(ofPicture, drawn.width() * drawn.height() / 5) << "the toolbar band shows no background picture";

    // The screen shows the window as it drew itself (once the display has caught up).
    QScreen* screen = main->screen();
    const QRect where = QRect(main->mapToGlobal(QPoint(0, 0)), main->size()).intersected(screen->geometry());
    ASSERT_FALSE(where.isEmpty());
    double same = 0;
    const bool shown = WaitFor([&] {
        Pump();
        const QImage own = main->grab(QRect(main->mapFromGlobal(where.topLeft()), where.size())).toImage();
        const QImage onScreen =
            screen->grabWindow(0, where.x() - screen->geometry().x(), where.y() - screen->geometry().y(), where.width(), where.height())
                .toImage();
        if (onScreen.size() != own.size())
            return false;
        qint64 equal = 0;
        for (int y = 0; y < own.height(); ++y)
            for (int x = 0; x < own.width(); ++x)
                equal += (own.pixel(x, y) & 0xFFFFFF) == (onScreen.pixel(x, y) & 0xFFFFFF);
        same = static_cast<double>(equal) / (static_cast<double>(own.width()) * own.height());
        return same >= 0.99;
    });
    EXPECT_TRUE(shown) << "the screen shows " << same * 100 << "% of what the window drew, on "
                       << QGuiApplication::platformName().toStdString();

    if (const char* target = std::getenv("VEXAL_SCREENSHOT"); target && *target) {
        EXPECT_TRUE(screen->grabWindow(0).save(QString::fromLocal8Bit(target)));
    }
}

// A generated 1994 season, where the Raiders and the Rams both show as "Los Angeles": a box
// typed in Input Stats leaves the stored teams as they are, and each window, given the first
// entry of that name and then the second in its list or menu, takes the Raiders, then the Rams.
TEST_F(WholeProgram, AWindowTakesTheLosAngelesClubTheUserChose)
{
    for (int year = 2022; year <= 2024; ++year)
        std::filesystem::remove(program / (std::to_string(year) + ".nfl"));
    samplegen::SampleOptions options;
    options.FromYear = options.ToYear = 1994;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(program.Path(), options));
    const auto file = program / "1994.nfl";
    const auto records = ReadSeasonFile(file);
    const auto raiders = std::find_if(records.begin(), records.end(), [](auto& g) { return g.HomeTeam == 22; });
    ASSERT_NE(raiders, records.end());
    const auto record = static_cast<std::size_t>(raiders - records.begin());
    auto& messages = InstallScriptedMessages();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    auto button = [](const char* bar, int i) { return TheMain()->findChild<QToolBar*>(bar)->actions().at(i); };
    QComboBox* weeks = TheMain()->cboWeek();
    weeks->setCurrentIndex(weeks->findText(QString::fromStdString(WeekText(raiders->Week, 1994))));
    button("cToolbar2", 2)->trigger();
    auto* input = qobject_cast<InputStatsWindow*>(FindWindow("FORM2"));
    ASSERT_NE(input, nullptr);
    while (static_cast<std::size_t>(Season().WeekFirstRecord + Season().CurrentGame) <= record)
        input->findChild<QPushButton*>("cmdNext")->click();
    input->txtData(gtAwayPen)->setFocus();
    input->txtData(gtAwayPen)->setText("13");
    program::LeaveFocus(input->txtData(gtAwayPen));
    EXPECT_EQ(ReadSeasonFile(file)[record].HomeTeam, 22);
    EXPECT_EQ(ReadSeasonFile(file)[record].AwayStats.Pen, 13);

    int nth = 0;   // which "Los Angeles" entry the user takes: the Raiders' comes first
    auto nthOf = [](int count, auto text, int n) {
        for (int i = 0, seen = 0; i < count; ++i)
            if (text(i) == "Los Angeles" && seen++ == n)
                return i;
        return -1;
    };
    auto choose = [&](QComboBox* list, int n) {
        const int i = nthOf(list->count(), [&](int at) { return list->itemText(at); }, n);
        list->setCurrentIndex(i);
        emit list->activated(i);
        Pump();
    };
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        return nthOf(static_cast<int>(items.size()), [&](int at) { return items[std::size_t(at)].caption; }, nth) + 1;
    });
    auto stats = [&](const char* item) {
        return [&, item] {
            button("cToolbar1", 6)->trigger();
            auto* w = qobject_cast<StatsWindow*>(FindWindow("FORM6"));
            w->findChild<QAction*>(item)->trigger();
            return static_cast<int>(w->MenuTeam);
        };
    };
    const std::pair<const char*, std::function<int()>> rows[] = {
        {"Input Stats", [&] {
             choose(input->findChild<QComboBox*>("cboAway"), nth);
             return static_cast<int>(ReadSeasonFile(file)[record].AwayTeam);
         }},
        {"TTS", stats("TTS")}, {"TAS", stats("TAS")}, {"BXST", stats("BXST")},
        {"team colours", [&] {
             button("cToolbar2", 8)->trigger();
             return App().ThemeName == "oak" ? 22 : App().ThemeName == "stl" ? 25 : -1;
         }},
        {"Single Game", [&] {
             int took = -1;
             QTimer::singleShot(0, [&] {
                 auto* game = qobject_cast<SingleGameWindow*>(QApplication::activeModalWidget());
                 choose(game->findChild<QComboBox*>("Combo1"), nth);
                 choose(game->findChild<QComboBox*>("Combo2"), 1 - nth);
                 game->findChild<QPushButton*>("Command3d1")->click();
                 took = game->HomeCode + game->AwayCode == 47 ? game->HomeCode : -1;
                 game->close();
             });
             button("cToolbar2", 6)->trigger();
             return took;
         }},
    };
    for (const auto& [window, take] : rows)
        for (nth = 0; nth < 2; ++nth)
            EXPECT_EQ(take(), nth ? 25 : 22) << window;
    PopupMenu::SetChooser({});
    for (const RecordedMessage& m : messages.shown)
        ADD_FAILURE() << m.text;
}

} // namespace
} // namespace vexal::test
