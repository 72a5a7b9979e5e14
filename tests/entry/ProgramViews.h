#pragma once
// The views of the whole program as the user reaches them: by their toolbar buttons, and the
// week chosen in the main window's week list.
#include "Main.h"
#include "Host.h"
#include "WaitFor.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QComboBox>
#include <QToolBar>

#include <gtest/gtest.h>

#include <string>

namespace vexal::test {

// A view opened from its toolbar button ("FORM1", "lines", "PREDICT", "FORM6", "FORM2",
// "INJURIES"); nullptr, with a failure, when it does not open.
inline QWidget* OpenView(Main* main, const char* window)
{
    struct Button {
        const char* window;
        const char* toolbar;
        int index;
    };
    static const Button buttons[] = {{"FORM1", "cToolbar1", 0}, {"lines", "cToolbar1", 2},
                                     {"PREDICT", "cToolbar1", 4}, {"FORM6", "cToolbar1", 6},
                                     {"FORM2", "cToolbar2", 2}, {"INJURIES", "cToolbar2", 4}};
    for (const Button& b : buttons)
        if (std::string(b.window) == window) {
            main->findChild<QToolBar*>(b.toolbar)->actions().at(b.index)->trigger();
            EXPECT_TRUE(WaitFor([] { return !IsBusy(); }));
            Pump();
            QWidget* view = FindWindow(window);
            EXPECT_NE(view, nullptr) << window;
            return view;
        }
    ADD_FAILURE() << window;
    return nullptr;
}

// The week chosen in the week list, as the user picks it; false when the list lacks it.
inline bool ChooseWeekIn(Main* main, int week, int year = 2024)
{
    QComboBox* weeks = main->cboWeek();
    const int index = weeks->findText(QString::fromStdString(WeekText(week, year)));
    if (index < 0)
        return false;
    weeks->setCurrentIndex(index);
    const bool settled = WaitFor([] { return !IsBusy(); });
    Pump();
    return settled;
}

} // namespace vexal::test
