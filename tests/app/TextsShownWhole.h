#pragma once
// Whether every text a window shows can be read whole at the size it has now: each caption,
// label, check box, frame title, tab, menu bar item, box's text, grid heading or cell, and each
// item a list holds (any of them can be chosen) fits the room its control gives it (a list's
// room ends where its arrow begins), and no two texts side by side run into each other
// without a blank between them (two labels that each fit, but touch, read as one word). The
// layout test asks it at every size a window is opened and resized to, the theme test at the
// main window's size.
#include <QWidget>

#include <string>
#include <vector>

namespace vexal::test {

struct TextFault {
    std::string control;   // the control's name and its text
    std::string problem;   // "cut off: ..." or "runs into ...", with the pixels measured
};

// The faults of the controls inside `root` that are shown (in its window, in view).
std::vector<TextFault> TextsNotShownWhole(QWidget* root);

// A mnemonic's ampersand is not drawn; a doubled one shows one.
QString ShownText(QString text);

} // namespace vexal::test
