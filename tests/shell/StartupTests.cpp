// Start-up: splash, season list, the first load, the Standings view, the user folder.
#include "ShellTestSupport.h"

#include "AppState.h"
#include "Host.h"
#include "Main.h"
#include "ProgBar.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "Splash.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

namespace vexal::test {
namespace {

using StartupTest = ShellTest;

void ClickWidget(QWidget* w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QApplication::sendEvent(w, &release);
}

TEST_F(StartupTest, SplashLoadsTheNewestSeasonsAndGivesWayToTheStandings)
{
    WriteSeasons(2022, 2024);
    StartVexal();
    auto* splash = qobject_cast<Splash*>(FindWindow("opening"));
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->windowTitle(), "Vexal");
    EXPECT_EQ(splash->lblResources()->text(), "Build 1.0.0");
    EXPECT_TRUE(splash->Timer1()->isActive());
    EXPECT_EQ(splash->Timer1()->interval(), 100);
    EXPECT_TRUE(splash->Timer2()->isActive());
    EXPECT_EQ(splash->Timer2()->interval(), 30000);
    EXPECT_EQ(MainWindow(), nullptr) << "the main window waits for the first timer";
    EXPECT_TRUE(progressCaptions.empty()) << "the splash's load let the message loop run, so its timer could "
                                             "load the main window inside it";

    ASSERT_TRUE(WaitFor([] { return MainWindow() && !FindWindow("opening") && FindWindow("FORM1"); }));
    Pump();

    // "Year to Load" is missing: two seasons, the newest last in the selector.
    QComboBox* years = Combo("cboYears");
    ASSERT_EQ(years->count(), 3);
    EXPECT_EQ(years->itemText(0), " 2022");
    EXPECT_EQ(years->currentText(), " 2024");
    EXPECT_EQ(Season().SeasonYear, 2024);
    EXPECT_EQ(Season().SeasonFirstWeek.at(0), 22);
    EXPECT_EQ(Season().SeasonFirstWeek.at(1), 0);

    // The loader's captions passed over the splash's progress bar, season by season.
    bool saw2023 = false, saw2024 = false;
    for (const QString& caption : progressCaptions) {
        saw2023 = saw2023 || caption.startsWith("Loading Data for 2023...");
        saw2024 = saw2024 || caption.startsWith("Loading Data for 2024...");
    }
    EXPECT_TRUE(saw2023 && saw2024) << progressCaptions.size() << " captions";

    // 1 October 2024 is in week 5: the fifth week of 2024 is chosen.
    QComboBox* week = Combo("cboWeek");
    EXPECT_EQ(week->count(), 44);
    EXPECT_EQ(week->itemText(0), "Wk 1 of 2023");
    EXPECT_EQ(week->currentText(), "Wk 5 of 2024");
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 27.0f);
    EXPECT_EQ(Season().WeekSeason, 2024);

    QWidget* standings = FindWindow("FORM1");
    EXPECT_TRUE(MainWindow()->isVisible());
    EXPECT_EQ(ActiveView(), standings);
    EXPECT_EQ(standings->windowTitle(), "Vexal - [Standings]");
    EXPECT_EQ(Loaded(), (std::vector<std::string>{"Main", "FORM1", "frmFormula"}))
        << "the theme painting loads the formula editor, hidden";
    EXPECT_FALSE(FindWindow("frmFormula")->isVisible());

    // The activation made the user's folder.
    EXPECT_EQ(App().UserFolder, home.Path() / "Vexal");
    EXPECT_TRUE(std::filesystem::is_directory(home.Path() / "Vexal" / "images"));
    EXPECT_FALSE(App().SuppressRefresh);
}

TEST_F(StartupTest, SeasonSelectorListsOnlyExistingSeasonsOf1984To2024)
{
    WriteSeasons(1999, 1999);
    WriteSeasons(2003, 2003);
    program.Write("1983.nfl", "");
    program.Write("2025.nfl", "");
    Start();
    QComboBox* years = Combo("cboYears");
    ASSERT_EQ(years->count(), 2);
    EXPECT_EQ(years->itemText(0), " 1999");
    EXPECT_EQ(years->itemText(1), " 2003");
    EXPECT_EQ(years->currentIndex(), 1);
    // 2002 is missing, so only 2003 is loaded.
    EXPECT_EQ(Combo("cboWeek")->itemText(0), "Wk 1 of 2003");
}

// Only a season of 2025, which the program offers nowhere.
TEST_F(StartupTest, NoSeasonFileAtAllStillOpensTheStandings)
{
    program.Write("2025.nfl", std::string(159, '\0'));
    StartVexal();
    // Only the start's end may close the splash here.
    qobject_cast<Splash*>(FindWindow("opening"))->Timer2()->stop();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1"); }));
    EXPECT_EQ(Combo("cboYears")->count(), 0);
    EXPECT_EQ(Combo("cboWeek")->count(), 0);
    EXPECT_TRUE(FindWindow("FORM1")->isVisible());
    // Nothing was loaded, and the start's end closed the splash all the same.
    EXPECT_EQ(FindWindow("opening"), nullptr);
}

TEST_F(StartupTest, ImagesAreCopiedOnceIntoTheUserFolder)
{
    WriteSeasons(2024, 2024);
    program.Write("images/bground.bmp", "BM");
    program.Write("images/buf.gif", "GIF89a");
    Start();
    EXPECT_EQ(ReadFile(home.Path() / "Vexal" / "images" / "buf.gif"), "GIF89a");
    EXPECT_TRUE(std::filesystem::exists(home.Path() / "Vexal" / "images" / "bground.bmp"));
    EXPECT_EQ(main()->BackgroundPicture(), (program.Path() / "images" / "bground.bmp").string());
}

TEST_F(StartupTest, AnExistingImagesFolderGetsNothingCopied)
{
    WriteSeasons(2024, 2024);
    program.Write("images/buf.gif", "GIF89a");
    std::filesystem::create_directories(home.Path() / "Vexal" / "images");
    Start();
    EXPECT_FALSE(std::filesystem::exists(home.Path() / "Vexal" / "images" / "buf.gif"));
}

TEST_F(StartupTest, AScreenOf256ColoursTakesTheSmallBackgroundAndNoSplashGradient)
{
    ScreenMetrics m;
    m.bitsPerPixel = 8;
    Screen::SetMetrics(m);
    WriteSeasons(2024, 2024);
    StartVexal();
    QWidget* splash = FindWindow("opening");
    ASSERT_NE(splash, nullptr);
    EXPECT_FALSE(splash->autoFillBackground() && splash->palette().window().style() == Qt::TexturePattern);
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1"); }));
    EXPECT_EQ(main()->BackgroundPicture(), (program.Path() / "images" / "bground1.bmp").string());
}

TEST_F(StartupTest, AClickOnTheProgressBarClosesTheSplashAndTheProgramStillStarts)
{
    WriteSeasons(2024, 2024);
    StartVexal();
    auto* splash = qobject_cast<Splash*>(FindWindow("opening"));
    ASSERT_NE(splash, nullptr);
    ClickWidget(splash->ProgBar1());
    EXPECT_EQ(FindWindow("opening"), nullptr);
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1"); }));
    EXPECT_EQ(Combo("cboWeek")->count(), 22);
}

TEST_F(StartupTest, AboutShowsTheSplashWithAnOkBarThatClosesIt)
{
    WriteSeasons(2024, 2024);
    Start();
    QAction* about = FindWindow("FORM1")->findChild<QAction*>("mnuAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&About");
    about->trigger();
    auto* splash = qobject_cast<Splash*>(FindWindow("opening"));
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->lblResources()->text(), "Build 1.0.0");
    ProgBar* bar = splash->ProgBar1();
    EXPECT_EQ(bar->Caption(), "OK");
    EXPECT_EQ(bar->CaptionText(), "OK");
    EXPECT_EQ(bar->BorderStyle(), 6);
    EXPECT_TRUE(bar->font().bold());
    ASSERT_TRUE(WaitFor([splash] { return !splash->Timer1()->isActive(); }));
    Pump();
    EXPECT_EQ(Loaded().front(), "Main") << "the About window's timer loads no second main window";
    ClickWidget(bar);
    Pump();
    EXPECT_EQ(FindWindow("opening"), nullptr);
    EXPECT_NE(MainWindow(), nullptr);
}

// At 150 % a 1920 x 1080 screen leaves 1280 x 720 pixels for windows: the main window keeps its
// width, and its height leaves room for the window manager's title bar, so that the whole
// window starts on the screen. A screen with room for it keeps its 1024 x 720.
TEST_F(StartupTest, TheMainWindowStartsInsideTheScreensAvailableArea)
{
    ScreenMetrics m;
    m.availableWidth = 1280;
    m.availableHeight = 720;
    Screen::SetMetrics(m);
    WriteSeasons(2024, 2024);
    Start();
    const int title = main()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, main());
    ASSERT_GT(title, 0);
    EXPECT_EQ(main()->width(), 1024);
    EXPECT_LE(main()->height() + title, 720) << main()->height() << " high, a title bar of " << title;
    EXPECT_GT(main()->height(), 600);
}

TEST_F(StartupTest, ToolbarsCarryTheirCaptionsTooltipsAndPressedState)
{
    WriteSeasons(2024, 2024);
    Start();
    QToolBar* first = Toolbar("cToolbar1");
    QToolBar* second = Toolbar("cToolbar2");
    ASSERT_EQ(first->actions().size(), 13);
    ASSERT_EQ(second->actions().size(), 13);
    const char* captions1[] = {"Standings", "Lines", "Predict", "Statistics", "Test Formula", "Power Ratings", "Formula"};
    const char* tips1[] = {"Standings", "Enter Lines", "Predict Games", "View Stats", "Test Formula", "Power Ratings", "Formula"};
    const char* captions2[] = {"Import Stats", "Input Stats", "Other Factors", "Single Game", "Program Colors", "City / Name", "  Exit  "};
    const char* tips2[] = {"Download and Import Stats", "Manually Input Stats", "Other Factors", "Predict a Single Game",
                           "Set program Colors", "Change from City to NickName and back", "Exit Program"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(first->actions()[2 * i]->text(), captions1[i]);
        EXPECT_EQ(first->actions()[2 * i]->toolTip(), tips1[i]);
        EXPECT_EQ(second->actions()[2 * i]->text(), captions2[i]);
        EXPECT_EQ(second->actions()[2 * i]->toolTip(), tips2[i]);
        if (i < 6) {
            EXPECT_TRUE(first->actions()[2 * i + 1]->isSeparator());
            EXPECT_TRUE(second->actions()[2 * i + 1]->isSeparator());
        }
    }
    EXPECT_TRUE(second->actions()[10]->isCheckable());
    EXPECT_TRUE(second->actions()[10]->isChecked()) << "city names by default";
    EXPECT_EQ(first->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(main()->picture1()->height(), 85);
    EXPECT_EQ(main()->size(), QSize(1024, 720));
}

} // namespace
} // namespace vexal::test
