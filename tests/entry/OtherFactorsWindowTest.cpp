// The Other Factors window: four factor levels and a comment per game, written when the
// control loses the focus.
#include "EntryTestSupport.h"
#include "GameEntry.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>

#include <functional>

namespace vexal::test {
namespace {

using F = OtherFactorsWindow;

class OtherFactorsTest : public EntryTest {
protected:
    F& Open() { return OpenView<F>("INJURIES"); }
    static void LeaveFocus(QWidget* w)
    {
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(w, &out);
    }
    static void EnterFocus(QWidget* w)
    {
        QFocusEvent in(QEvent::FocusIn);
        QApplication::sendEvent(w, &in);
    }
    std::filesystem::path SeasonFile() const { return folder / "2024.nfl"; }
    GameRecord Record(int record) const
    {
        GameRecord g;
        EXPECT_TRUE(ReadGame(SeasonFile(), record, g));
        return g;
    }
    static int PressedCount(const F& w, int factor)
    {
        int n = 0;
        for (int side = 0; side < 2; ++side)
            for (int i = 0; i < 7; ++i)
                n += w.Pressed(factor, side, i) ? 1 : 0;
        return n;
    }
};

TEST_F(OtherFactorsTest, ShowsTheStoredLevelsAndReleasingStoresZero)
{
    ChooseWeek(4, 2024);
    const int first = FirstRecordOf(2024, 4);
    ASSERT_TRUE(PutGameFactor(SeasonFile(), first, Record(first), GameRecord::Field::Injuries, -3).Written());
    F& w = Open();
    EXPECT_EQ(w.windowTitle().toStdString(), "Other Factors");
    for (const char* name : {"cmdFirst", "cmdPrev", "cmdNext", "cmdLast", "lblAway", "lblHome", "lblInjuries",
                             "lblWeather", "lblSituation", "lblPsycological", "lblComment", "txtComment", "Command1",
                             "inja3d_0", "injh3d_6", "weata3d_3", "weath3d_3", "sita3d_1", "sith3d_1", "psya3d_5",
                             "psyh3d_5"})
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr) << name;
    const GameRecord game = Record(first);
    EXPECT_EQ(Control<QLabel>(&w, "lblHome")->text().toStdString(), TeamName(game.HomeTeam, 0, 3));
    EXPECT_EQ(Control<QLabel>(&w, "lblAway")->text().toStdString(), TeamName(game.AwayTeam, 0, 3));

    EXPECT_TRUE(w.Pressed(F::Injuries, F::Away, 2));
    EXPECT_EQ(PressedCount(w, F::Injuries), 1);
    EXPECT_EQ(w.LevelButton(F::Injuries, F::Away, 2)->property("BackColor").toInt(), 0x0000FF);
    EXPECT_EQ(w.LevelButton(F::Injuries, F::Home, 2)->property("BackColor").toInt(), 0xC00000);
    EXPECT_EQ(w.LevelButton(F::Injuries, F::Away, 2)->text().toStdString(), "3");

    // Return on the focused button presses it, as Space does.
    QPushButton* three = w.LevelButton(F::Injuries, F::Away, 2);
    three->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(three, &enter);
    EXPECT_EQ(PressedCount(w, F::Injuries), 0);
    EXPECT_EQ(Record(first).Injuries, -3);   // not written by the click
    LeaveFocus(three);
    EXPECT_EQ(Record(first).Injuries, 0);
    EXPECT_EQ(Season().Game(Slot(), 0, gfInjury), 0);
}

TEST_F(OtherFactorsTest, OneLevelPerFactorAndOnlyItsFieldChanges)
{
    ChooseWeek(6, 2024);
    const int first = FirstRecordOf(2024, 6);
    F& w = Open();
    w.LevelButton(F::Weather, F::Away, 1)->click();
    w.LevelButton(F::Injuries, F::Home, 0)->click();
    w.LevelButton(F::Weather, F::Home, 4)->click();
    EXPECT_FALSE(w.Pressed(F::Weather, F::Away, 1));
    EXPECT_TRUE(w.Pressed(F::Weather, F::Home, 4));
    EXPECT_TRUE(w.Pressed(F::Injuries, F::Home, 0));
    EXPECT_EQ(w.FactorValue(F::Weather), 5);
    EXPECT_EQ(w.FactorValue(F::Injuries), 1);

    const std::string before = ReadFile(SeasonFile());
    LeaveFocus(w.LevelButton(F::Weather, F::Home, 4));
    const std::string after = ReadFile(SeasonFile());
    const std::size_t at = static_cast<std::size_t>(first - 1) * 159;
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i != at + 82 && i != at + 83) {
            ASSERT_EQ(after[i], before[i]) << i;
        }
    }
    EXPECT_EQ(Record(first).Weather, 5);
    EXPECT_EQ(Season().Game(Slot(), 0, gfWeather), 5);

    w.LevelButton(F::Psychology, F::Home, 3)->click();
    LeaveFocus(w.LevelButton(F::Psychology, F::Home, 3));
    w.LevelButton(F::Situation, F::Away, 1)->click();
    LeaveFocus(w.LevelButton(F::Situation, F::Away, 1));
    const std::string bytes = ReadFile(SeasonFile());
    EXPECT_EQ(static_cast<uint8_t>(bytes[at + 78]), 4);
    EXPECT_EQ(static_cast<uint8_t>(bytes[at + 79]), 0);
    EXPECT_EQ(static_cast<uint8_t>(bytes[at + 80]), 0xFE);
    EXPECT_EQ(static_cast<uint8_t>(bytes[at + 81]), 0xFF);
    EXPECT_EQ(Season().Game(Slot(), 0, gfPsychological), 4);
    EXPECT_EQ(Season().Game(Slot(), 0, gfSituational), -2);
}

TEST_F(OtherFactorsTest, CommentIsStoredPaddedToSeventyFiveBlanks)
{
    ChooseWeek(2, 2024);
    const int first = FirstRecordOf(2024, 2);
    std::array<uint8_t, 75> blanks;
    blanks.fill(' ');
    ASSERT_TRUE(PutGameComment(SeasonFile(), first, Record(first), blanks).Written());
    F& w = Open();
    auto* box = Control<QLineEdit>(&w, "txtComment");
    EnterFocus(box);
    EXPECT_TRUE(box->text().isEmpty());
    LeaveFocus(box);
    const GameRecord blank = Record(first);
    EXPECT_EQ(std::string(blank.Comment.begin(), blank.Comment.end()), std::string(75, ' '));
    // A comment the file refuses leaves the box as the record holds it: no comment, not 75 blanks.
    InstallScriptedMessages();
    {
        const WriteFault full(0, SeasonFile());
        EnterFocus(box);
        box->setText("Rain");
        LeaveFocus(box);
    }
    EXPECT_EQ(box->text(), "");

    EnterFocus(box);
    box->setText("Rain today");
    LeaveFocus(box);
    const std::string stored = ReadFile(SeasonFile()).substr(static_cast<std::size_t>(first - 1) * 159 + 84, 75);
    EXPECT_EQ(stored, "Rain today" + std::string(65, ' '));
    Control<QPushButton>(&w, "Command1")->click();
    EXPECT_EQ(box->text().toStdString(), "Rain today" + std::string(65, ' '));
    EnterFocus(box);
    EXPECT_EQ(box->selectedText().size(), 75);
    LeaveFocus(box);
}

TEST_F(OtherFactorsTest, ACommentTooLongIsRefusedWholeWithAMessageNeverCut)
{
    ChooseWeek(2, 2024);
    const int first = FirstRecordOf(2024, 2);
    ScriptedMessages& messages = InstallScriptedMessages();
    F& w = Open();
    auto* box = Control<QLineEdit>(&w, "txtComment");
    EnterFocus(box);
    box->setText("Rain");
    auto refused = [&](const QString& kept, const std::function<void()>& change) {
        const std::size_t before = messages.shown.size();
        change();
        EXPECT_EQ(box->text(), kept);
        QCoreApplication::processEvents();
        ASSERT_EQ(messages.shown.size(), before + 1);
        EXPECT_EQ(messages.shown.back().text, "A comment holds at most 75 characters.");
    };
    // Pasted over the text or after it, a text that does not fit is refused whole, not cut.
    QApplication::clipboard()->setText(QString(76, QLatin1Char('x')));
    refused("Rain", [&] {
        box->selectAll();
        box->paste();
    });
    QApplication::clipboard()->setText(QString(72, QLatin1Char('x')));
    refused("Rain", [&] {
        box->end(false);
        box->paste();
    });
    // 75 characters fit; a key past them is refused with the message, not dropped unseen.
    const QString full = "Rain" + QString(71, QLatin1Char('y'));
    Type(box, QString(71, QLatin1Char('y')));
    EXPECT_EQ(box->text(), full);
    refused(full, [&] { Type(box, "z"); });
    box->setText("Rain");
    LeaveFocus(box);
    const GameRecord g = Record(first);
    EXPECT_EQ(std::string(g.Comment.begin(), g.Comment.end()), "Rain" + std::string(71, ' '));
}

TEST_F(OtherFactorsTest, NavigationStaysWithinTheWeek)
{
    ChooseWeek(3, 2024);
    const auto games = WeekGames(2024, 3);
    const int first = FirstRecordOf(2024, 3);
    F& w = Open();
    auto* home = Control<QLabel>(&w, "lblHome");
    Control<QPushButton>(&w, "cmdPrev")->click();
    EXPECT_EQ(Season().CurrentGame, 0);
    Control<QPushButton>(&w, "cmdNext")->click();
    EXPECT_EQ(Season().CurrentGame, 1);
    EXPECT_EQ(home->text().toStdString(), TeamName(games[1].HomeTeam, 0, 3));
    Control<QPushButton>(&w, "cmdLast")->click();
    EXPECT_EQ(Season().CurrentGame, static_cast<int>(games.size()) - 1);
    Control<QPushButton>(&w, "cmdNext")->click();
    EXPECT_EQ(Season().CurrentGame, static_cast<int>(games.size()) - 1);
    EXPECT_EQ(home->text().toStdString(), TeamName(games.back().HomeTeam, 0, 3));
    Control<QPushButton>(&w, "cmdFirst")->click();
    EXPECT_EQ(Season().CurrentGame, 0);
    EXPECT_EQ(Season().WeekFirstRecord, first);
}

TEST_F(OtherFactorsTest, LastWeekReachesTheLastRecordAndAShorterWeekClampsTheGame)
{
    const auto all = ReadSeasonFile(SeasonFile());
    const int lastWeek = all.back().Week;
    ChooseWeek(lastWeek, 2024);
    F& w = Open();
    Control<QPushButton>(&w, "cmdLast")->click();
    EXPECT_EQ(Season().WeekFirstRecord + Season().CurrentGame, static_cast<int>(all.size()));
    EXPECT_EQ(Control<QLabel>(&w, "lblHome")->text().toStdString(), TeamName(all.back().HomeTeam, 0, 3));

    // A week of fewer games: the game left from before is brought inside the week.
    Season().CurrentGame = 15;
    Control<QPushButton>(&w, "Command1")->click();
    EXPECT_LT(Season().CurrentGame, w.WeekGames());
    w.LevelButton(F::Injuries, F::Home, 6)->click();
    LeaveFocus(w.LevelButton(F::Injuries, F::Home, 6));
    EXPECT_EQ(Record(static_cast<int>(all.size())).Injuries, 7);
}

} // namespace
} // namespace vexal::test
