// Every window that names a team, over a generated 1994 season, where the Raiders and the Rams
// both show as "Los Angeles": a box typed in Input Stats leaves the stored teams as they are,
// and every window takes the club the user chose.
#include "AppState.h"
#include "InputStatsWindow.h"
#include "Main.h"
#include "PopupMenu.h"
#include "ProgramTestSupport.h"
#include "SeasonData.h"
#include "SingleGameWindow.h"
#include "StatsWindow.h"
#include "WeekRange.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace vexal::test {
namespace {

class TeamChoices : public WholeProgramTest {};

QAction* Button(const char* toolbar, int index) { return TheMain()->findChild<QToolBar*>(toolbar)->actions().at(index); }

// The `nth` entry named "Los Angeles" chosen, as the user picks it: the Raiders' comes first.
void Choose(QComboBox* list, int nth)
{
    for (int i = 0, seen = 0; i < list->count(); ++i)
        if (list->itemText(i) == "Los Angeles" && seen++ == nth) {
            list->setCurrentIndex(i);
            emit list->activated(i);
        }
    Pump();
}

TEST_F(TeamChoices, AWindowTakesTheLosAngelesClubTheUserChose)
{
    for (int year = 2022; year <= 2024; ++year)
        std::filesystem::remove(program / (std::to_string(year) + ".nfl"));
    samplegen::SampleOptions options;
    options.FromYear = options.ToYear = 1994;
    ASSERT_TRUE(samplegen::WriteSampleSeasons(program.Path(), options));
    const auto file = program / "1994.nfl";
    const auto records = ReadSeasonFile(file);
    const auto raiders = std::find_if(records.begin(), records.end(), [](auto& g) { return g.HomeTeam == 22; });
    ASSERT_NE(raiders, records.end());
    const int record = static_cast<int>(raiders - records.begin()) + 1;
    auto& messages = InstallScriptedMessages();
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !FindWindow("opening"); }));
    TheMain()->cboWeek()->setCurrentIndex(TheMain()->cboWeek()->findText(QString::fromStdString(WeekText(raiders->Week, 1994))));
    Button("cToolbar2", 2)->trigger();
    auto* input = qobject_cast<InputStatsWindow*>(FindWindow("FORM2"));
    ASSERT_NE(input, nullptr);
    while (Season().WeekFirstRecord + Season().CurrentGame < record)
        input->findChild<QPushButton*>("cmdNext")->click();
    input->txtData(gtAwayPen)->setFocus();
    input->txtData(gtAwayPen)->setText("13");
    program::LeaveFocus(input->txtData(gtAwayPen));
    EXPECT_EQ(ReadSeasonFile(file)[static_cast<std::size_t>(record - 1)].HomeTeam, 22);
    EXPECT_EQ(ReadSeasonFile(file)[static_cast<std::size_t>(record - 1)].AwayStats.Pen, 13);

    // Each window given the first "Los Angeles" entry and then the second, in lists and menus.
    int nth = 0;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        for (std::size_t i = 0, seen = 0; i < items.size(); ++i)
            if (items[i].caption == "Los Angeles" && seen++ == static_cast<std::size_t>(nth))
                return static_cast<int>(i) + 1;
        return 0;
    });
    auto stats = [](const char* item) {
        return [item] {
            Button("cToolbar1", 6)->trigger();
            auto* w = qobject_cast<StatsWindow*>(FindWindow("FORM6"));
            w->findChild<QAction*>(item)->trigger();
            return static_cast<int>(w->MenuTeam);
        };
    };
    const std::pair<const char*, std::function<int()>> rows[] = {
        {"Input Stats", [&] {
             Choose(input->findChild<QComboBox*>("cboAway"), nth);
             return static_cast<int>(ReadSeasonFile(file)[static_cast<std::size_t>(record - 1)].AwayTeam);
         }},
        {"TTS", stats("TTS")}, {"TAS", stats("TAS")}, {"BXST", stats("BXST")},
        {"team colours", [] {
             Button("cToolbar2", 8)->trigger();
             return App().ThemeName == "oak" ? 22 : App().ThemeName == "stl" ? 25 : -1;
         }},
        {"Single Game", [&] {
             int took = -1;
             QTimer::singleShot(0, [&] {
                 auto* game = qobject_cast<SingleGameWindow*>(QApplication::activeModalWidget());
                 Choose(game->findChild<QComboBox*>("Combo1"), nth);
                 Choose(game->findChild<QComboBox*>("Combo2"), 1 - nth);
                 game->findChild<QPushButton*>("Command3d1")->click();
                 took = game->HomeCode + game->AwayCode == 47 ? game->HomeCode : -1;
                 game->close();
             });
             Button("cToolbar2", 6)->trigger();
             return took;
         }},
    };
    for (const auto& [window, choose] : rows)
        for (nth = 0; nth < 2; ++nth)
            EXPECT_EQ(choose(), nth ? 25 : 22) << window;
    PopupMenu::SetChooser({});
    for (const RecordedMessage& m : messages.shown)
        ADD_FAILURE() << m.text;
}

} // namespace
} // namespace vexal::test
