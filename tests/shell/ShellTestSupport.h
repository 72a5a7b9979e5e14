#pragma once
// A program started in-process on a temporary program folder and a temporary home folder,
// with the shell's own windows and stand-ins, today's date fixed and notices recorded.
#include "TempFolder.h"
#include "WaitFor.h"

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QToolBar;

namespace vexal {
class Main;
struct ShownNotice;
}

namespace vexal::test {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Season files from the sample generator.
    void WriteSeasons(int from, int to, uint64_t seed = 7);
    // Starts the program and waits until the main window has loaded and the splash is gone.
    void Start();

    Main* main() const;
    QComboBox* Combo(const char* name) const;
    QToolBar* Toolbar(const char* name) const;
    QAction* Button(const char* toolbar, int index) const;
    static int RefreshCount(const std::string& window);
    static std::vector<std::string> Loaded();

    TempFolder program;
    TempFolder home;
    std::shared_ptr<std::vector<ShownNotice>> notices;
    std::vector<QString> progressCaptions;

private:
    std::string oldHome_;
};

} // namespace vexal::test
