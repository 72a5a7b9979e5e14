// The whole program, as main() starts it, on a temporary program folder of sample seasons:
// every view opens from its button, one view at a time, and every window the program
// registers is the real one.
// With VEXAL_SCREENSHOT set (by hand, under a real X server) the started program's screen
// is saved to that file.
#include "AppState.h"
#include "Host.h"
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

namespace vexal::test {
namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool WaitFor(const std::function<bool()>& done, int milliseconds = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds)
            return false;
        Pump();
        QThread::msleep(5);
    }
    return true;
}

bool IsViewCaption(const QString& caption, const QString& view)
{
    return caption == view || caption == "Vexal - [" + view + "]";
}

class WholeProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* h = std::getenv("HOME"))
            oldHome_ = h;
        setenv("HOME", home.Path().c_str(), 1);
        samplegen::SampleOptions options;
        options.Seed = 11;
        std::string error;
        ASSERT_TRUE(samplegen::WriteSampleSeasons(program.Path(), options, &error)) << error;
        SetProgramFolder(program.Path());
        ResetSeasonLoader();
        SetTodayProvider([] { return vb::DateSerial(2024, 11, 5); });
        SetDoEventsHook([] { QCoreApplication::processEvents(); });
        QApplication::setQuitOnLastWindowClosed(false);
        RegisterAllWindows();
    }
    void TearDown() override
    {
        UnloadAllForms();
        Pump();
        for (const std::string& name : LoadedWindowNames())
            UnloadWindow(name);
        Pump();
        SetDoEventsHook({});
        ResetSeasonLoader();
        if (!oldHome_.empty())
            setenv("HOME", oldHome_.c_str(), 1);
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    }

    TempFolder program;
    TempFolder home;

private:
    std::string oldHome_;
};

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
