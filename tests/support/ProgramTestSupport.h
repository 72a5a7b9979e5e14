#pragma once
// The whole program started in-process on a temporary program folder of generated seasons,
// for tests that drive it as the user does: its windows, menus and files.
#include "Golden.h"
#include "Host.h"
#include "MsgBox.h"
#include "SampleSeasons.h"
#include "Screen.h"
#include "SeasonLoader.h"
#include "Splash.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "VexalApp.h"
#include "WaitFor.h"
#include "Windows.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace vexal::test {
namespace program {

// A key pressed in a widget, and a text typed key by key, as the user types.
inline void Key(QWidget* w, int key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

inline void Type(QWidget* w, const QString& text)
{
    for (QChar c : text)
        Key(w, c.unicode(), QString(c));
}

// The focus leaving a box, as a Tab press takes it away.
inline void LeaveFocus(QWidget* w)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(w, &out);
}

} // namespace program

// A program folder of sample seasons (seed 11) and the shipped background pictures, room on
// the screen for the main window, today fixed at 5 Nov 2024, a temporary home folder, and
// every window registered; the program itself is started by the test.
class WholeProgramTest : public ::testing::Test {
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
        // The background pictures the program ships, drawn by the build.
        std::error_code ec;
        std::filesystem::create_directories(program.Path() / "images", ec);
        for (const char* picture : {"bground.bmp", "bground1.bmp"})
            ASSERT_TRUE(std::filesystem::copy_file(BuildFile(std::string("src/app/images/") + picture),
                                                   program.Path() / "images" / picture, ec))
                << picture << ": " << ec.message();
        SetProgramFolder(program.Path());
        // The windows are laid out on the platform's screen as they always were, and the main
        // window starts at its own size: the screen's available area is a desktop's of
        // 1280 x 1024.
        ScreenMetrics screen = Screen::Metrics();
        screen.availableLeft = 0;
        screen.availableTop = 0;
        screen.availableWidth = 1280;
        screen.availableHeight = 1024;
        Screen::SetMetrics(screen);
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
        Screen::ResetMetrics();
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

// The same program started as the user starts it, past its opening screen, with every message
// box answered by a script and recorded.
class StartedProgramTest : public WholeProgramTest {
protected:
    void SetUp() override
    {
        WholeProgramTest::SetUp();
        if (HasFatalFailure())
            return;
        messages = &InstallScriptedMessages();
        StartVexal();
        ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
        Pump();
    }

    ScriptedMessages* messages = nullptr;
};

} // namespace vexal::test
