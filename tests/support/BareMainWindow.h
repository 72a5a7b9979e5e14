#pragma once
// The main window the views of a window test are put into: a plain main window with its MDI
// area, registered and loaded under the main window's name, without the real main window's
// start-up. Header-only: the tests that use it link the shell.
#include "Windows.h"

#include <QMainWindow>
#include <QMdiArea>

namespace vexal::test {

inline void RegisterBareMainWindow()
{
    RegisterWindow("Main", WindowKind::Modeless, [](QWidget*) -> QWidget* {
        auto* main = new QMainWindow;
        main->setCentralWidget(new QMdiArea(main));
        main->resize(1000, 700);
        return main;
    });
    LoadWindow("Main");
}

} // namespace vexal::test
