// A long seeded sequence of the user's window commands over generated seasons: toolbar
// buttons, season and week choices, next and previous game, opening and closing windows, and
// Exit at the end. It must end without a crash or an error box, and without any change to a
// season or line file.
#include "Main.h"
#include "MsgBox.h"
#include "ProgramTestSupport.h"
#include "Splash.h"
#include "Windows.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>

namespace vexal::test {
namespace {

class RandomCommands : public WholeProgramTest {};

// Every file the program must only read during the sequence, with its bytes.
std::map<std::filesystem::path, std::string> ReadOnlyFiles(const std::filesystem::path& folder)
{
    static const std::set<std::string> written = {".fla", ".ini", ".txt", ".htm", ".html", ".rtf", ".tmp~"};
    std::map<std::filesystem::path, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::string extension = entry.path().extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (written.count(extension))
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[entry.path()] = bytes.str();
    }
    return files;
}

QAction* ToolbarButton(const char* toolbar, int index)
{
    QMainWindow* main = MainWindow();
    QToolBar* bar = main ? main->findChild<QToolBar*>(toolbar) : nullptr;
    return bar && index < bar->actions().size() ? bar->actions().at(index) : nullptr;
}

TEST_F(RandomCommands, ThreeHundredSeededCommandsChangeNoSeasonOrLineFile)
{
    auto& messages = InstallScriptedMessages();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();
    const auto before = ReadOnlyFiles(program.Path());
    ASSERT_FALSE(before.empty());

    std::mt19937 random(20241105);
    auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
    auto press = [](const char* toolbar, int index) {
        if (QAction* button = ToolbarButton(toolbar, index))
            button->trigger();
    };
    auto choose = [&](const char* name) {
        auto* box = MainWindow()->findChild<QComboBox*>(name);
        if (box && box->count() > 0)
            box->setCurrentIndex(pick(box->count()));
    };
    auto navigate = [](const char* button) {
        for (const char* window : {"FORM2", "INJURIES"})
            if (QWidget* w = FindWindow(window))
                if (auto* b = w->findChild<QAbstractButton*>(button); b && b->isVisible() && b->isEnabled())
                    b->click();
    };
    struct Command {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Command> commands = {
        {"Standings", [&] { press("cToolbar1", 0); }},
        {"Lines", [&] { press("cToolbar1", 2); }},
        {"Predict", [&] { press("cToolbar1", 4); }},
        {"Statistics", [&] { press("cToolbar1", 6); }},
        {"Test Formula", [&] { press("cToolbar1", 8); }},
        {"Power Ratings", [&] { press("cToolbar1", 10); }},
        {"Formula", [&] { press("cToolbar1", 12); }},
        {"Input Stats", [&] { press("cToolbar2", 2); }},
        {"Other Factors", [&] { press("cToolbar2", 4); }},
        {"season", [&] { choose("cboYears"); }},
        {"week", [&] { choose("cboWeek"); }},
        {"Next Game", [&] { navigate("cmdNext"); }},
        {"Previous Game", [&] { navigate("cmdPrev"); }},
        {"close the active view",
         [] {
             if (QWidget* view = ActiveView())
                 view->parentWidget()->close();
         }},
        {"close the formula editor",
         [] {
             if (QWidget* editor = FindWindow("frmFormula"))
                 editor->close();
         }},
    };

    std::string done;
    for (int step = 0; step < 320; ++step) {
        const Command& command = commands[static_cast<std::size_t>(pick(static_cast<int>(commands.size())))];
        done += std::to_string(step) + " " + command.name + "\n";
        command.run();
        ASSERT_TRUE(WaitFor([] { return !IsBusy(); })) << done;
        Pump();
        ASSERT_NE(MainWindow(), nullptr) << done;
        ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].title << ": " << messages.shown[0].text << "\n"
                                            << done;
    }
    press("cToolbar2", 12);
    ASSERT_TRUE(WaitFor([] { return MainWindow() == nullptr; })) << done;
    Pump();
    EXPECT_TRUE(LoadedWindowNames().empty());
    EXPECT_TRUE(messages.shown.empty());

    const auto after = ReadOnlyFiles(program.Path());
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [path, bytes] : before)
        EXPECT_TRUE(after.count(path) && after.at(path) == bytes) << path << " changed";
}

} // namespace
} // namespace vexal::test
