// The user's choices while a Test Formula run yields, over generated seasons: what the run
// cannot take meanwhile is shown disabled (the season and week lists, the views' buttons and
// their overflow menus, the tools, the window's own template, printout, log and save commands),
// Stop, the formula editor and Exit stay available, and once the run has returned every choice
// is available again and works.
#include "FormulaTestWindow.h"
#include "Main.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "ProgramTestSupport.h"
#include "Splash.h"
#include "Windows.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vexal::test {
namespace {

class RunChoices : public WholeProgramTest {};

struct Choice {
    std::string what;
    std::function<bool()> enabled;
    bool duringRun;   // available while the run goes
};

QAction* ToolbarButton(const char* toolbar, int index)
{
    return TheMain()->findChild<QToolBar*>(toolbar)->actions().at(index);
}

// The overflow menu of a toolbar's band: which of its items can be chosen now.
std::vector<bool> ChevronItems(const char* key)
{
    std::vector<bool> enabled;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        for (const auto& item : items)
            enabled.push_back(item.enabled);
        return 0;
    });
    TheMain()->cReBar1_ChevronPushed(key, QPoint());
    PopupMenu::SetChooser({});
    return enabled;
}

TEST_F(RunChoices, WhileATestRunsWhatItCannotTakeIsDisabledAndEveryChoiceWorksAfterwards)
{
    auto& messages = InstallScriptedMessages();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    ToolbarButton("cToolbar1", 8)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy() && FindWindow("frmTest"); }));
    auto* test = qobject_cast<FormulaTestWindow*>(FindWindow("frmTest"));
    ASSERT_NE(test, nullptr);
    auto box = [test](const char* name) { return test->findChild<QLineEdit*>(name); };
    auto button = [test](const char* name) { return test->findChild<QPushButton*>(name); };
    auto action = [test](const char* name) { return test->findChild<QAction*>(name); };
    // Millions of combinations: only Stop ends the run soon.
    for (const auto& [name, text] : std::vector<std::pair<const char*, const char*>>{
             {"txtrola_0", "3"}, {"txtrola_1", "5"}, {"Text1_1", "0"}, {"Text2_1", "99"}, {"Text1_3", "0"},
             {"Text2_3", "99"}, {"Text1_8", "0"}, {"Text2_8", "10"}, {"Text1_9", "0.1"}, {"Text2_9", "3"}})
        box(name)->setText(text);

    std::vector<Choice> choices = {
        {"season list", [] { return TheMain()->cboYears()->isEnabled(); }, false},
        {"week list", [] { return TheMain()->cboWeek()->isEnabled(); }, false},
        {"Formula button", [] { return ToolbarButton("cToolbar1", 12)->isEnabled(); }, true},
        {"Exit button", [] { return ToolbarButton("cToolbar2", 12)->isEnabled(); }, true},
        {"Start", [&] { return button("cmdStart")->isEnabled(); }, false},
        {"View All Formulas", [&] { return button("cmdAllForm")->isEnabled(); }, false},
        {"View Log", [&] { return button("cmdLog")->isEnabled(); }, false},
        {"Save Best", [&] { return button("cmdBest")->isEnabled(); }, false},
        {"Save Worst", [&] { return button("cmdWorst")->isEnabled(); }, false},
        {"Load Test Template", [&] { return action("mnuLTT")->isEnabled(); }, false},
        {"Print", [&] { return action("Print")->isEnabled(); }, false},
        {"Save Test Template", [&] { return action("mnuSTT")->isEnabled(); }, true},
        {"Exit menu", [&] { return action("exit")->isEnabled(); }, true},
    };
    for (const char* toolbar : {"cToolbar1", "cToolbar2"})
        for (int index = 0; index < 12; index += 2)
            choices.push_back({std::string(toolbar) + " button " + std::to_string(index),
                               [toolbar, index] { return ToolbarButton(toolbar, index)->isEnabled(); }, false});
    for (const char* key : {"Toolbar1", "Toolbar2"})
        for (int item = 1; item <= 7; ++item)
            choices.push_back({std::string(key) + " overflow item " + std::to_string(item),
                               [key, item]() -> bool { return ChevronItems(key).at(static_cast<std::size_t>(item - 1)); },
                               item == 7});

    for (const Choice& c : choices)
        EXPECT_TRUE(c.enabled()) << c.what << " before the run";

    // Each choice is looked at once the run yields, then tried; then the run is stopped.
    bool looked = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (looked || !test->Running() || !IsBusy())
            return;
        looked = true;
        probe.stop();
        for (const Choice& c : choices)
            EXPECT_EQ(c.enabled(), c.duringRun) << c.what << " while the run goes";
        EXPECT_TRUE(button("cmdStop")->isEnabled());
        for (const char* toolbar : {"cToolbar1", "cToolbar2"})
            for (int index = 0; index < 12; index += 2)
                ToolbarButton(toolbar, index)->trigger();
        EXPECT_EQ(FindWindow("frmTest"), test);
        EXPECT_TRUE(test->Running());
        button("cmdStop")->click();
    });
    probe.start();
    button("cmdStart")->click();
    ASSERT_TRUE(WaitFor([&] { return looked && !test->Running() && !IsBusy() && button("cmdStart")->isEnabled(); }));
    Pump();

    for (const Choice& c : choices)
        EXPECT_TRUE(c.enabled()) << c.what << " after the run";
    EXPECT_FALSE(button("cmdStop")->isEnabled());
    EXPECT_TRUE(messages.shown.empty());
    // Nothing tried during the run was done behind the user's back, and now each choice works.
    EXPECT_EQ(FindWindow("frmTest"), test);
    EXPECT_EQ(FindWindow("FORM1"), nullptr);
    QComboBox* week = TheMain()->cboWeek();
    const int other = week->currentIndex() > 0 ? week->currentIndex() - 1 : 1;
    week->setCurrentIndex(other);
    EXPECT_EQ(week->currentIndex(), other);
    ToolbarButton("cToolbar1", 0)->trigger();
    ASSERT_TRUE(WaitFor([] { return !IsBusy() && FindWindow("FORM1") && !FindWindow("frmTest"); }));
}

// Ending the program while a test runs for hours stops the run and ends the program once it
// has returned, whichever way it is asked: the toolbar's Exit, the view's File Exit, or
// closing the main window.
TEST_F(RunChoices, EndingTheProgramDuringATestStopsTheRunAndEndsTheProgram)
{
    struct Way {
        const char* what;
        std::function<void(FormulaTestWindow*)> end;
    };
    const Way ways[] = {
        {"Exit button", [](FormulaTestWindow*) { ToolbarButton("cToolbar2", 12)->trigger(); }},
        {"File Exit", [](FormulaTestWindow* test) { test->findChild<QAction*>("exit")->trigger(); }},
        {"closing the main window", [](FormulaTestWindow*) { MainWindow()->close(); }},
    };
    InstallScriptedMessages();
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        StartVexal();
        ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
        Pump();
        ToolbarButton("cToolbar1", 8)->trigger();
        ASSERT_TRUE(WaitFor([] { return !IsBusy() && FindWindow("frmTest"); }));
        auto* test = qobject_cast<FormulaTestWindow*>(FindWindow("frmTest"));
        ASSERT_NE(test, nullptr);
        // Some ten million combinations.
        for (const auto& [name, text] : std::vector<std::pair<const char*, const char*>>{
                 {"txtrola_0", "3"}, {"txtrola_1", "5"}, {"Text1_1", "0"}, {"Text2_1", "99"}, {"Text1_3", "0"},
                 {"Text2_3", "99"}, {"Text1_8", "0"}, {"Text2_8", "10"}, {"Text1_9", "0.1"}, {"Text2_9", "3"}})
            test->findChild<QLineEdit*>(name)->setText(text);
        int done = 0;
        const auto doneHandler = test->TSPredict1().Done;
        test->TSPredict1().Done = [&] {
            ++done;
            doneHandler();
        };
        bool asked = false;
        QTimer probe;
        probe.setInterval(0);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (asked || !test->Running() || !IsBusy())
                return;
            asked = true;
            probe.stop();
            way.end(test);
            EXPECT_TRUE(MainWindow()) << "held back while the run goes";
        });
        probe.start();
        test->findChild<QPushButton*>("cmdStart")->click();
        ASSERT_TRUE(WaitFor([&] { return asked && !IsBusy() && !MainWindow(); }));
        EXPECT_EQ(done, 0) << "stopped, not run to its end";
        EXPECT_FALSE(App().StopTest);
        Pump();
    }
}

} // namespace
} // namespace vexal::test
