#include "ShellTestSupport.h"

#include <gtest/gtest.h>

#include "AppState.h"
#include "Host.h"
#include "Main.h"
#include "Notice.h"
#include "PopupMenu.h"
#include "ProgBar.h"
#include "SampleSeasons.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "StandIns.h"
#include "VbConvert.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QToolBar>

#include <cstdlib>

namespace vexal::test {

void ShellTest::SetUp()
{
    if (const char* h = std::getenv("HOME"))
        oldHome_ = h;
    setenv("HOME", home.Path().c_str(), 1);
    SetProgramFolder(program.Path());
    ResetSeason();
    ResetApp();
    ResetSeasonLoader();
    SetTodayProvider([] { return vb::DateSerial(2024, 10, 1); });
    Screen::SetMetrics(ScreenMetrics{});
    notices = InstallRecordingNotices();
    QApplication::setQuitOnLastWindowClosed(false);
    PopupMenu::SetChooser({});
    RegisterShellWindows();
    RegisterStandInWindows();
    // Every yield of the loader records the splash's progress caption.
    SetDoEventsHook([this] {
        if (QWidget* splash = FindWindow("opening"))
            if (auto* bar = splash->findChild<ProgBar*>("ProgBar1"))
                if (progressCaptions.empty() || progressCaptions.back() != bar->Caption())
                    progressCaptions.push_back(bar->Caption());
        QCoreApplication::processEvents();
    });
}

void ShellTest::TearDown()
{
    PopupMenu::SetChooser({});
    while (IsBusy())
        Pump();
    UnloadAllForms();
    Pump();
    for (const std::string& name : LoadedWindowNames())
        UnloadWindow(name);
    Pump();
    SetDoEventsHook({});
    ResetSeasonLoader();
    InstallNoticeFactory({});
    Screen::ResetMetrics();
    if (!oldHome_.empty())
        setenv("HOME", oldHome_.c_str(), 1);
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
}

void ShellTest::WriteSeasons(int from, int to, uint64_t seed)
{
    samplegen::SampleOptions options;
    options.Seed = seed;
    options.FromYear = from;
    options.ToYear = to;
    std::string error;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(program.Path(), options, &error)) << error;
}

void ShellTest::Start()
{
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && !FindWindow("opening") && FindWindow("FORM1"); }))
        << "the main window did not finish loading";
    Pump();
}

Main* ShellTest::main() const { return TheMain(); }

QComboBox* ShellTest::Combo(const char* name) const
{
    return MainWindow() ? MainWindow()->findChild<QComboBox*>(name) : nullptr;
}

QToolBar* ShellTest::Toolbar(const char* name) const
{
    return MainWindow() ? MainWindow()->findChild<QToolBar*>(name) : nullptr;
}

QAction* ShellTest::Button(const char* toolbar, int index) const
{
    QToolBar* bar = Toolbar(toolbar);
    return bar ? bar->actions().value(index) : nullptr;
}

int ShellTest::RefreshCount(const std::string& window)
{
    QWidget* w = FindWindow(window);
    return w ? w->property(RefreshCountProperty).toInt() : -1;
}

std::vector<std::string> ShellTest::Loaded() { return LoadedWindowNames(); }

} // namespace vexal::test
