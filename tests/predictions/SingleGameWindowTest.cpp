// The Single Game window: a chosen matchup predicted with a typed line and total.
#include "PredictionsTestSupport.h"

#include "Predict.h"
#include "SingleGameWindow.h"
#include "Teams.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vexal::test {
namespace {

class SingleGameTest : public PredictionsTest {
protected:
    SingleGameWindow& Open()
    {
        ChooseWeek(8, 2024);
        auto* w = qobject_cast<SingleGameWindow*>(LoadWindow("Singleg"));
        EXPECT_NE(w, nullptr);
        w->Form_Activate();
        return *w;
    }
    static int32_t Back(QWidget* w) { return w->property("BackColor").toInt(); }
    static void Choose(QComboBox* box, const std::string& name)
    {
        const int i = box->findText(QString::fromStdString(name));
        ASSERT_GE(i, 0) << name;
        box->setCurrentIndex(i);
    }
};

TEST_F(SingleGameTest, PredictsTheMatchupAndMarksItsPlays)
{
    SingleGameWindow& w = Open();
    EXPECT_EQ(w.windowTitle().toStdString(), "Single Game Prediction");
    auto* home = Control<QComboBox>(&w, "Combo1");
    auto* away = Control<QComboBox>(&w, "Combo2");
    EXPECT_EQ(home->count(), 32);
    EXPECT_EQ(home->itemText(0).toStdString(), TeamName(1, 0, NameStyleAsShown));
    Choose(home, TeamName(5, 0, NameStyleAsShown));
    Choose(away, TeamName(20, 0, NameStyleAsShown));
    Control<QLineEdit>(&w, "Text1")->setText("-3.5");
    Control<QLineEdit>(&w, "Text2")->setText("44.5");
    App().CurrentFormula[fsMinDiff] = 1;
    App().CurrentFormula[fsMaxDiff] = 99;
    Control<QPushButton>(&w, "Command3d1")->click();

    EXPECT_EQ(w.HomeCode, 5);
    EXPECT_EQ(w.AwayCode, 20);
    const QString h = Control<QLabel>(&w, "lblHome")->text();
    const QString a = Control<QLabel>(&w, "lblAway")->text();
    ASSERT_FALSE(h.isEmpty());
    ASSERT_FALSE(a.isEmpty());
    const float hp = h.toFloat();
    const float ap = a.toFloat();
    EXPECT_GE(hp, 0.0f);
    // The line is used as -4 and the total as 44 (halves to even).
    const predict::SingleGamePlays p = predict::SingleGameMarks(hp, ap, -4, 44, 1, 99);
    // Labels show one decimal; the marks come from the unrounded points, so only check
    // the marks where the rounding cannot decide them.
    if (std::abs((hp - 4) - (ap + 1)) > 0.1f) {
        EXPECT_EQ(Back(Control<QLabel>(&w, "lblHome")), p.home ? 0xFF : 0xC0C0C0);
    }
    if (std::abs((ap + 4) - (hp + 1)) > 0.1f) {
        EXPECT_EQ(Back(Control<QLabel>(&w, "lblAway")), p.away ? 0xFF : 0xC0C0C0);
    }
    if (std::abs(hp + ap - 44) > 1.2f) {
        EXPECT_EQ(Back(Control<QLineEdit>(&w, "Text2")), (p.over || p.under) ? 0xFF : 0xFFFFFF);
    }
    // With Min 1 and Max 99 a side is always played unless the margin is within a point.
    if (std::abs(hp - 4 - ap) > 1.2f) {
        EXPECT_TRUE(Back(Control<QLabel>(&w, "lblHome")) == 0xFF || Back(Control<QLabel>(&w, "lblAway")) == 0xFF);
    }
    EXPECT_TRUE(messages.shown.empty());

    // The marks are reset before the next prediction: a range no game reaches marks nothing.
    App().CurrentFormula[fsMinDiff] = 500;
    App().CurrentFormula[fsMaxDiff] = 600;
    Control<QPushButton>(&w, "Command3d1")->click();
    EXPECT_EQ(Back(Control<QLabel>(&w, "lblHome")), 0xC0C0C0);
    EXPECT_EQ(Back(Control<QLabel>(&w, "lblAway")), 0xC0C0C0);
    EXPECT_EQ(Back(Control<QLineEdit>(&w, "Text2")), 0xFFFFFF);
}

// A team against itself and a line or total with letters are refused with a message; nothing
// is predicted. An empty line counts as zero.
TEST_F(SingleGameTest, ATeamAgainstItselfAndLettersAreRefused)
{
    struct Case {
        int home, away;
        const char* line;
        const char* total;
        const char* message;   // nullptr: predicted
    };
    const Case cases[] = {
        {7, 7, "-3", "44", "A team cannot play itself: choose two different teams."},
        {7, 9, "abc", "44", "\"abc\" is not a number for the line. Nothing was predicted."},
        {7, 9, "-3", "4x4", "\"4x4\" is not a number for the over/under. Nothing was predicted."},
        {7, 9, "1001", "44", "1001 does not fit the line (-1000 to 1000). Nothing was predicted."},
        {7, 9, "", " 44.5 ", nullptr},
        {7, 9, "+.5", "-3.", nullptr},
    };
    SingleGameWindow& w = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " / " + c.total);
        messages.shown.clear();
        Control<QLabel>(&w, "lblHome")->clear();
        Choose(Control<QComboBox>(&w, "Combo1"), TeamName(c.home, 0, NameStyleAsShown));
        Choose(Control<QComboBox>(&w, "Combo2"), TeamName(c.away, 0, NameStyleAsShown));
        Control<QLineEdit>(&w, "Text1")->setText(c.line);
        Control<QLineEdit>(&w, "Text2")->setText(c.total);
        Control<QPushButton>(&w, "Command3d1")->click();
        if (c.message) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, c.message);
            EXPECT_TRUE(Control<QLabel>(&w, "lblHome")->text().isEmpty());
        } else {
            EXPECT_TRUE(messages.shown.empty());
            EXPECT_FALSE(Control<QLabel>(&w, "lblHome")->text().isEmpty());
        }
    }
}

TEST_F(SingleGameTest, UnknownTeamAsksForBothTeams)
{
    SingleGameWindow& w = Open();
    Control<QComboBox>(&w, "Combo1")->setEditable(true);
    Control<QComboBox>(&w, "Combo1")->setEditText("Nobody");
    Control<QPushButton>(&w, "Command3d1")->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "You must select a team for both home and away\r\nYou should also enter a line, or I will use zero "
              "for both.");
    EXPECT_TRUE(Control<QLabel>(&w, "lblHome")->text().isEmpty());
}

// The keypad's Enter presses the focused Predict as Space does; Escape during the prediction
// leaves the window open, as the close box does.
TEST_F(SingleGameTest, EnterPredictsAndEscapeWaitsForThePrediction)
{
    SingleGameWindow& w = Open();
    w.show();
    Choose(Control<QComboBox>(&w, "Combo1"), TeamName(5, 0, NameStyleAsShown));
    Choose(Control<QComboBox>(&w, "Combo2"), TeamName(20, 0, NameStyleAsShown));
    bool shownDuringRun = false;
    w.TSPredict1().Weekly = [&, show = w.TSPredict1().Weekly](WeeklyTableArray& table) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&w, &escape);
        shownDuringRun = w.isVisible();
        show(table);
    };
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier);
    QApplication::sendEvent(Control<QPushButton>(&w, "Command3d1"), &enter);
    EXPECT_TRUE(shownDuringRun);
}

TEST_F(SingleGameTest, ExitUnloadsTheWindow)
{
    SingleGameWindow& w = Open();
    Control<QPushButton>(&w, "Command3d2")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindWindow("Singleg"), nullptr);
}

} // namespace
} // namespace vexal::test
