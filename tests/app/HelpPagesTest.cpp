// The help pages name menus as the user finds them: every menu path a page writes (an element
// of class "menu", its parts separated by " > ") is a menu or an item of the window that
// page describes, as the program builds it.
#include "Golden.h"
#include "ProgramTestSupport.h"
#include "Splash.h"
#include "Windows.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vexal::test {
namespace {

// A caption as the menu shows it: no mnemonic ampersand, no trailing dots.
QString Shown(QString caption)
{
    caption.replace("&&", "\x01");
    caption.remove('&');
    caption.replace("\x01", "&");
    if (caption.endsWith("..."))
        caption.chop(3);
    return caption.trimmed();
}

void AddPaths(const QList<QAction*>& actions, const QString& prefix, std::set<std::string>& paths)
{
    for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty())
            continue;
        const QString path = prefix + Shown(action->text());
        paths.insert(path.toStdString());
        if (action->menu())
            AddPaths(action->menu()->actions(), path + " > ", paths);
    }
}

// Every menu and item on the window's menu bars (a bar in a corner included).
std::set<std::string> MenuPaths(const QWidget* window)
{
    std::set<std::string> paths;
    for (const QMenuBar* bar : window->findChildren<QMenuBar*>())
        AddPaths(bar->actions(), "", paths);
    return paths;
}

std::string Read(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class HelpPages : public WholeProgramTest {};

TEST_F(HelpPages, EveryMenuPathIsInTheWindowThePageDescribes)
{
    // The Standings window carries the program's own menus, which the contents page describes.
    const std::map<std::string, std::string> windowOf = {
        {"Vexal.htm", "FORM1"},        {"Predict.htm", "PREDICT"}, {"TestForm.htm", "frmTest"},
        {"Stats.htm", "FORM6"},        {"PowerRatings.htm", "Power"}, {"InputStats.htm", "FORM2"},
        {"Lines.htm", "lines"},
    };
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    Pump();

    static const QRegularExpression menuElement(R"(<(\w+) class="menu">(.*?)</\1>)",
                                                QRegularExpression::DotMatchesEverythingOption);
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(SourceFile("help"))) {
        const std::string name = entry.path().filename().string();
        const auto described = windowOf.find(name);
        ASSERT_NE(described, windowOf.end()) << name << ": which window does it describe?";
        ++pages;
        const QString page = QString::fromStdString(Read(entry.path()));
        QWidget* window = LoadWindow(described->second);
        ASSERT_NE(window, nullptr) << described->second;
        const std::set<std::string> paths = MenuPaths(window);

        int named = 0, arrowsInPaths = 0;
        for (auto it = menuElement.globalMatch(page); it.hasNext();) {
            QString path = it.next().captured(2);
            arrowsInPaths += static_cast<int>(path.count("&gt;"));
            path.replace("&gt;", ">").replace("&amp;", "&");
            path = path.simplified();
            ++named;
            EXPECT_TRUE(paths.count(path.toStdString())) << name << " names \"" << path.toStdString()
                                                        << "\", which " << described->second << " has not";
        }
        EXPECT_GT(named, 0) << name;
        // A path written without the class would go unchecked.
        EXPECT_EQ(page.count(" &gt; "), arrowsInPaths) << name << ": a menu path outside an element of class \"menu\"";
        if (described->second != "FORM1")
            UnloadWindow(described->second);
        Pump();
    }
    EXPECT_EQ(pages, static_cast<int>(windowOf.size()));
}

} // namespace
} // namespace vexal::test
