// The Test Formula window driven as the user drives it over generated seasons: opening with
// its lists and remembered settings, the refresh, back-tests started and stopped, the best
// and worst boxes and the breakdown, saved formulas, templates, the log, the printout and
// the All Formula Report.
#include "ViewTestSupport.h"
#include "Golden.h"
#include "PdfText.h"
#include "FormulaTestWindow.h"
#include "FormulaTestCore.h"

#include "AppState.h"
#include "CommonDialog.h"
#include "FormulaEditor.h"
#include "FormulaFile.h"
#include "FormulaWindows.h"
#include "Host.h"
#include "MsgBox.h"
#include "PrintDialog.h"
#include "ProgBar.h"
#include "RecordFile.h"
#include "SampleSeasons.h"
#include "Screen.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "StandIns.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "WaitFor.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

namespace vexal::test {
namespace {

constexpr const char* DefaultFormulaLine = "3,0,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}


class FormulaTestWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PrepareSampleProgram(folder, 5));
        folder.Write("default.fla", DefaultFormulaLine);
        ASSERT_TRUE(SelectSeason(2024));
        ChooseWeek(6);

        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterFormulaWindows();
        RegisterFormulaTestWindow();
        // The document viewer records what it was asked to open and closes at once.
        RegisterWindow("frmRichEdit", WindowKind::Modal, [this](QWidget* owner) -> QWidget* {
            viewed.push_back(App().DocumentPath);
            viewerOpenedInARun = viewerOpenedInARun || IsBusy();
            auto* d = new QDialog(owner);
            d->setObjectName("frmRichEdit");
            QTimer::singleShot(0, d, &QDialog::reject);
            return d;
        });
        // The editor's formula is the program folder's default.fla.
        FormulaEditor::Get();
        ReadFormula();
    }

    void TearDown() override
    {
        SetDoEventsHook({});
        FormulaTestWindow::SetFileDialog({});
        UnloadWindow("frmTest");
        UnloadWindow("frmRichEdit");
        UnloadWindow("frmFormula");
        UnloadWindow("Main");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        ResetSeasonLoader();
        ResetSeason();
        ResetApp();
        SetProgramFolder({});
    }

    void ChooseWeek(int week)
    {
        ASSERT_TRUE(ChooseWeekText("Wk " + std::to_string(week) + " of 2024"));
    }

    FormulaTestWindow& Open()
    {
        auto* w = qobject_cast<FormulaTestWindow*>(ShowWindow("frmTest"));
        EXPECT_NE(w, nullptr);
        QCoreApplication::processEvents();
        return *w;
    }

    template <class T>
    T* Control(QWidget& w, const QString& name)
    {
        auto* c = w.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name.toStdString();
        return c;
    }
    QLineEdit* Box(QWidget& w, const QString& name) { return Control<QLineEdit>(w, name); }
    QCheckBox* Check(QWidget& w, const QString& name) { return Control<QCheckBox>(w, name); }
    QComboBox* List(QWidget& w, const QString& name) { return Control<QComboBox>(w, name); }
    QPushButton* Button(QWidget& w, const QString& name) { return Control<QPushButton>(w, name); }

    // Presses Start and lets the window's events run until the launched run has returned.
    void RunTest(FormulaTestWindow& w)
    {
        Button(w, "cmdStart")->click();
        EXPECT_TRUE(w.Armed());
        EXPECT_TRUE(WaitFor([&] { return !w.Armed() && !w.Running(); }));
    }

    // Test weeks: weeks 1 to 8 of 2024, all played.
    void ChoosePlayedWeeks(FormulaTestWindow& w)
    {
        const int first = Season().SeasonFirstWeek[0];
        List(w, "CboStartWeek")->setCurrentIndex(first);
        List(w, "CboEndWeek")->setCurrentIndex(first + 7);
    }

    ScriptedMessages& messages = InstallScriptedMessages();
    TempFolder folder;
    std::vector<std::filesystem::path> viewed;
    bool viewerOpenedInARun = false;
};

TEST_F(FormulaTestWindowTest, FirstOpeningShowsTheFormulaAsAOnePointRangeWithDefaults)
{
    FormulaTestWindow& w = Open();
    EXPECT_EQ(w.windowTitle().toStdString(), "Test Formula");
    EXPECT_TRUE(Control<QRadioButton>(w, "sortbyu")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(w, "SortByW")->isChecked());
    EXPECT_EQ(Box(w, "txtUnitLower")->text(), "0");
    EXPECT_EQ(Box(w, "txtUnitUpper")->text(), "100");
    EXPECT_EQ(Box(w, "txtMin")->text(), "0");
    EXPECT_EQ(App().TestFilters, (std::array<float, 5>{0, 100, 0, 100, 0}));
    // default.fla: HFA 3, MinDiff 0, MaxDiff 99, offense 50, rushing 50, turnovers 4, rolling 4.
    EXPECT_EQ(Box(w, "Text1_3")->text(), "3");
    EXPECT_EQ(Box(w, "Text2_3")->text(), "3");
    EXPECT_EQ(Box(w, "Text1_2")->text(), "99");
    EXPECT_EQ(Box(w, "Text1_5")->text(), "50");
    EXPECT_TRUE(Box(w, "Text1_5")->isReadOnly());
    EXPECT_EQ(Box(w, "txtrola_0")->text(), "4");
    // Lists: 121 line items, 22 limited weeks for 2024 showing "1" and "21", every week.
    QComboBox* lines = List(w, "cboLinesStart");
    ASSERT_EQ(lines->count(), 121);
    EXPECT_EQ(lines->itemText(0), "-20");
    EXPECT_EQ(lines->itemText(40), "0");
    EXPECT_EQ(lines->itemText(81), "ABS 0.5");
    EXPECT_EQ(lines->itemText(120), "ABS 20");
    EXPECT_EQ(List(w, "cboLimitStart")->count(), 22);
    EXPECT_EQ(List(w, "cboLimitStart")->currentText(), "1");
    EXPECT_EQ(List(w, "cboLimitEnd")->currentText(), "21");
    QComboBox* start = List(w, "CboStartWeek");
    EXPECT_EQ(start->count(), static_cast<int>(Season().WeekItems.size()));
    EXPECT_EQ(start->currentIndex(), Season().SeasonFirstWeek[0]);
    EXPECT_EQ(List(w, "CboEndWeek")->currentIndex(), Season().WeekListIndex);
    EXPECT_EQ(List(w, "Combo1")->count(), 32);
    EXPECT_EQ(List(w, "Combo1")->currentText(), "None");
    EXPECT_FALSE(Button(w, "cmdStop")->isEnabled());
    EXPECT_TRUE(messages.shown.empty());
}

// What a control shows as its caption.
std::string CaptionOf(const QObject* o)
{
    if (auto* label = qobject_cast<const QLabel*>(o))
        return label->text().toStdString();
    if (auto* button = qobject_cast<const QAbstractButton*>(o))
        return button->text().toStdString();
    if (auto* frame = qobject_cast<const QGroupBox*>(o))
        return frame->title().toStdString();
    if (auto* action = qobject_cast<const QAction*>(o))
        return action->text().toStdString();
    if (auto* menu = qobject_cast<const QMenu*>(o))
        return menu->title().toStdString();
    return "(no caption)";
}

// Every caption the window is built with, exactly as the user reads it, and each caption label
// (its control's tag and one blank) whole, on its control's row and left of it, at the size
// the window opens with and at the larger size it takes in the main window.
TEST_F(FormulaTestWindowTest, ShowsEveryCaptionWholeBesideItsControl)
{
    FormulaTestWindow& w = Open();
    EXPECT_EQ(w.windowTitle().toStdString(), "Test Formula");
    struct Caption {
        const char* name;
        const char* text;
    };
    const Caption captions[] = {
        {"file", "&File"},
        {"mnuLTT", "Load Test Template"},
        {"mnuSTT", "Save Test Template"},
        {"Print", "&Print"},
        {"exit", "E&xit"},
        {"Help", "&Help"},
        {"SortByW", "Win %"},
        {"sortbyu", "Unit Win"},
        {"cmdStart", "Start"},
        {"cmdStop", "Stop"},
        {"cmdOtherFac", "Other Factors"},
        {"cmdOU", "Testing Sides"},
        {"cmdAllForm", "View All Formulas"},
        {"chkCliffAdjust", "Cliff Adjust"},
        {"fraSituationOptions", "Situation Options"},
        {"chkDog", "Underdog"},
        {"chkFav", "Favorite"},
        {"chkHome", "Home"},
        {"chkAway", "Away"},
        {"fraSpeedOptions", "Speed Options"},
        {"chkFast", "Show Weekly Breakdown"},
        {"chkLinear", "Quick Mode"},
        {"fraLines", "    Test Lines:"},
        {"fraLimitWeeks", "    Limit Tested Weeks:"},
        {"fraSingleGame", "    Single Game"},
        {"fraFormulaOptions", "Formula Options"},
        {"chkMoneyLine", "Money Line"},
        {"chkUsePowerRatings", "Use Power Ratings"},
        {"chkDonTUseLine", "Don't Use Line"},
        {"chkSeparateHomeAway", "Separate Home/Away"},
        {"chkDiscardHighLow", "Discard High/Low"},
        {"lblTeaser", "Teaser Points"},
        {"ChkSaveFormulas", "Save formulas to disk that meet the following criteria:"},
        {"lblAUnitWinBetween", "A Unit Win Between"},
        {"lblAWinningBetween", "A Winning % between"},
        {"lblMinimumNumberOfGamesPlayed", "Minimum number of games played"},
        {"lblAnd_0", "and"},
        {"lblAnd_1", "And"},
        {"lblAnd_2", "And"},
        {"cmdLog", "View Log"},
        {"cmdBest", "Save Best"},
        {"cmdWorst", "Save Worst"},
    };
    for (const Caption& c : captions) {
        const QObject* control = w.findChild<QObject*>(c.name);
        ASSERT_NE(control, nullptr) << c.name;
        EXPECT_EQ(CaptionOf(control), c.text) << c.name;
    }
    auto* tabs = Control<QTabBar>(w, "Tab1");
    ASSERT_EQ(tabs->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tabs->tabText(i).toStdString(), (std::array{"Options", "Save", "Best/Worst", "Breakdown"})[i]);

    struct Beside {
        std::string label;
        std::string control;
        std::string text;
    };
    std::vector<Beside> besides = {
        {"lblTag_txtrola_0", "txtrola_0", "Rolling Average "},
        {"lblTag_SortByW", "SortByW", "Rank on: "},
        {"lblCombo1", "Combo1", "Home Team "},
        {"lblCombo2", "Combo2", "Away Team "},
        {"lblcboLimitStart", "cboLimitStart", "Only Test From "},
        {"lblcboLimitEnd", "cboLimitEnd", "thru    "},
        {"lblcboLinesStart", "cboLinesStart", "Only Test From "},
        {"lblcboLinesEnd", "cboLinesEnd", "thru  "},
        {"lblTag_best_12", "best_12", "Rolling Ave. "},
    };
    const char* const rows[9] = {"Min. Point Diff.", "Max. Point Diff.", "Home Field Adv.", "% Offense", "% Defense",
                                 "% Rushing",        "% Passing",        "Turnover Value",  "Pred. Score Mult."};
    for (int row = 1; row <= 9; ++row)
        besides.push_back({"lblTag_Text1_" + std::to_string(row), "Text1_" + std::to_string(row),
                           std::string(rows[row - 1]) + " "});
    const char* const best[9] = {"Min. Point Diff.", "Max. Point Diff.", "H.F.A.",    "% Offense",       "% Defense",
                                 "% Rushing",        "% Passing",        "Turnovers", "Score Multiplier"};
    for (int i = 0; i <= 8; ++i)
        besides.push_back({"lblTag_best_" + std::to_string(i), "best_" + std::to_string(i), std::string(best[i]) + " "});

    auto* frame = qobject_cast<QMdiSubWindow*>(w.parentWidget());
    ASSERT_NE(frame, nullptr);
    const QSize opening(Screen::TwipsToPixelsX(9540), Screen::TwipsToPixelsY(5205));
    const QSize filling = frame->size();
    ASSERT_GE(filling.width(), opening.width());
    for (const QSize size : {opening, filling}) {
        frame->resize(size);
        QCoreApplication::processEvents();
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        for (const Beside& b : besides) {
            SCOPED_TRACE(b.label);
            auto* label = w.findChild<QLabel*>(QString::fromStdString(b.label));
            QWidget* control = w.findChild<QWidget*>(QString::fromStdString(b.control));
            ASSERT_NE(label, nullptr);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(label->text().toStdString(), b.text);
            ASSERT_EQ(label->parentWidget(), control->parentWidget());
            // Whole, trailing blanks included, and ending beside the control on its row.
            EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()), label->contentsRect().width());
            EXPECT_TRUE(label->alignment() & Qt::AlignRight);
            const QRect l = label->geometry(), c = control->geometry();
            EXPECT_LT(l.right(), c.left());
            EXPECT_LE(c.left() - l.right(), Screen::TwipsToPixelsX(150));
            EXPECT_TRUE(c.top() <= l.center().y() && l.center().y() <= c.bottom())
                << l.y() << "+" << l.height() << " beside " << c.y() << "+" << c.height();
        }
    }
}

TEST_F(FormulaTestWindowTest, RefreshFollowsTheFormulaAndClosingSavesSettings)
{
    FormulaTestWindow& w = Open();
    App().CurrentFormula[fsOffense] = 60;
    App().CurrentFormula[fsDefense] = 35;
    App().CurrentFormula[fsLineStart] = 103;
    App().CurrentFormula[fsLineEnd] = 107.5f;
    App().CurrentFormula[fsHomeOnly] = 1;
    App().CurrentFormula[fsAwayOnly] = 1;
    Button(w, "Command1")->click();
    EXPECT_EQ(Box(w, "Text1_4")->text(), "60");
    EXPECT_EQ(Box(w, "Text2_5")->text(), "40");
    EXPECT_TRUE(Check(w, "chkLines")->isChecked());
    EXPECT_EQ(List(w, "cboLinesStart")->currentText(), "ABS 3");
    EXPECT_EQ(List(w, "cboLinesEnd")->currentText(), "ABS 7.5");
    EXPECT_FALSE(Check(w, "chkHome")->isChecked());
    EXPECT_TRUE(Check(w, "chkAway")->isChecked());

    Control<QRadioButton>(w, "SortByW")->setChecked(true);
    Box(w, "txtMin")->setText("abc");
    Check(w, "chkFast")->setChecked(true);
    EXPECT_EQ(GetSetting("Preference", "Show Weekly"), "1");
    App().CurrentFormula[fsTotalsMode] = 1;
    ASSERT_TRUE(UnloadWindow("frmTest"));
    EXPECT_EQ(GetSetting("Preference", "SortbyWin"), "True");
    EXPECT_EQ(GetSetting("Preference", "Min Games"), "abc");
    EXPECT_EQ(App().CurrentFormula[fsTotalsMode], 0.0f);
    EXPECT_EQ(App().CurrentFormula[fsOffense], 50.0f);   // the editor's formula again

    FormulaTestWindow& again = Open();
    EXPECT_TRUE(Control<QRadioButton>(again, "SortByW")->isChecked());
    EXPECT_TRUE(Check(again, "chkFast")->isChecked());
    EXPECT_EQ(Box(again, "txtMin")->text(), "abc");
    EXPECT_EQ(App().TestFilters[4], 0.0f);
}

TEST_F(FormulaTestWindowTest, RangeBoxesFilterKeysAndKeepComplements)
{
    FormulaTestWindow& w = Open();
    QLineEdit* offense = Box(w, "Text1_4");
    offense->setText("120");
    offense->setFocus();
    Box(w, "Text1_6")->setFocus();   // leaving the offense box
    QCoreApplication::processEvents();
    EXPECT_EQ(offense->text(), "50");
    EXPECT_EQ(Box(w, "Text1_5")->text(), "50");
    QLineEdit* high = Box(w, "Text2_4");
    high->setFocus();
    high->setText("120");
    Box(w, "Text2_6")->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(Box(w, "Text2_5")->text(), "-20");

    auto type = [](QLineEdit* box, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    };
    QLineEdit* minDiff = Box(w, "Text1_1");
    minDiff->clear();
    messages.shown.clear();
    type(minDiff, "-2.5x");
    EXPECT_EQ(minDiff->text(), "2.5");
    QCoreApplication::processEvents();
    // A sign the box cannot take is refused with a message, not dropped without a word.
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Please type a number of 0 or more", 0), 0u) << messages.shown[0].text;
    QLineEdit* turnovers = Box(w, "Text1_8");
    turnovers->clear();
    type(turnovers, "-4");
    EXPECT_EQ(turnovers->text(), "-4");
    QLineEdit* rolling = Box(w, "txtrola_0");
    rolling->clear();
    type(rolling, "4.5");
    EXPECT_EQ(rolling->text(), "45");
    QCoreApplication::processEvents();
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text.rfind("Please type a whole number", 0), 0u) << messages.shown[1].text;
}

TEST_F(FormulaTestWindowTest, OnePointRunFillsBestWorstAndBreakdownAndRestoresTheFormula)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    Check(w, "chkFast")->setChecked(true);
    int progress = 0;
    int done = 0;
    auto progressHandler = w.TSPredict1().Progress;
    auto doneHandler = w.TSPredict1().Done;
    w.TSPredict1().Progress = [&](auto& b, auto& o, auto& p, auto& m) {
        ++progress;
        progressHandler(b, o, p, m);
    };
    w.TSPredict1().Done = [&] {
        ++done;
        doneHandler();
    };
    RunTest(w);
    EXPECT_GT(progress, 0);
    EXPECT_EQ(done, 1);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
    EXPECT_EQ(Box(w, "best_2")->text(), "3");
    EXPECT_EQ(Box(w, "best_1")->text(), "99");
    EXPECT_EQ(Box(w, "best_5")->text(), "50");
    EXPECT_EQ(Box(w, "best_12")->text(), "4");
    EXPECT_TRUE(std::regex_match(Box(w, "best_9")->text().toStdString(), std::regex("\\d+-\\d+-\\d+")));
    EXPECT_TRUE(std::regex_match(Box(w, "best_10")->text().toStdString(), std::regex("\\d+\\.\\d%")));
    EXPECT_TRUE(Box(w, "txtBest_2")->text().endsWith(" units"));
    const QString breakdown = Control<QTextEdit>(w, "vbaRE")->toPlainText();
    EXPECT_TRUE(breakdown.contains("Weekly")) << breakdown.toStdString();
    EXPECT_TRUE(breakdown.contains("W-L-T"));
    auto* bar = Control<ProgBar>(w, "Stat1");
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(bar->Caption(), "Progress");
    EXPECT_TRUE(Button(w, "cmdStart")->isEnabled());
    EXPECT_FALSE(Button(w, "cmdStop")->isEnabled());
    // The weights and the week come back from the editor and the week selector.
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], static_cast<float>(Season().WeekListIndex + 1));
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 3.0f);
    EXPECT_FALSE(App().StopTest);
}

TEST_F(FormulaTestWindowTest, SavingRunWritesLogAndGoodFilesAndTheEditorListsThem)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    Box(w, "Text2_3")->setText("5");   // home-field advantage 3 to 5
    Check(w, "ChkSaveFormulas")->setChecked(true);
    Box(w, "txtUnitLower")->setText("-1000");
    Box(w, "txtUnitUpper")->setText("1000");
    Box(w, "txtPercentUpper")->setText("100");
    RunTest(w);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(std::filesystem::exists(folder / "FormulaList.txt"));
    EXPECT_EQ(App().TestFilters[0], -1000.0f);
    bool listed = false;
    for (const std::string& file : FormulaEditor::Get()->FormulaFiles())
        listed = listed || file.starts_with("Good") || file.starts_with("Bad");
    EXPECT_TRUE(listed);

    messages.shown.clear();
    Button(w, "cmdLog")->click();
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0], folder / "FormulaList.txt");
}

TEST_F(FormulaTestWindowTest, StopEndsTheRunWithoutDoneAndLeavesNoRequestBehind)
{
    FormulaTestWindow& w = Open();
    // Stop with nothing running: no request for a later run.
    w.cmdStop_Click();
    EXPECT_FALSE(App().StopTest);

    ChoosePlayedWeeks(w);
    Box(w, "Text2_3")->setText("9");
    Box(w, "Text2_1")->setText("5");
    int done = 0;
    auto doneHandler = w.TSPredict1().Done;
    w.TSPredict1().Done = [&] {
        ++done;
        doneHandler();
    };
    int yields = 0;
    bool closeRefused = false;
    SetDoEventsHook([&] {
        if (++yields == 1) {
            // Second Start and closing are refused while the run yields.
            Button(w, "cmdStart")->click();
            EXPECT_FALSE(w.Armed());
            closeRefused = !UnloadWindow("frmTest");
            ASSERT_TRUE(Button(w, "cmdStop")->isEnabled());
            Button(w, "cmdStop")->click();
            EXPECT_TRUE(App().StopTest);
        }
        QCoreApplication::processEvents();
    });
    RunTest(w);
    SetDoEventsHook({});
    EXPECT_TRUE(closeRefused);
    EXPECT_GE(yields, 1);
    EXPECT_EQ(done, 0);
    EXPECT_FALSE(App().StopTest);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Button(w, "cmdStart")->isEnabled());
    EXPECT_FALSE(Button(w, "cmdStop")->isEnabled());
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 3.0f);
    EXPECT_EQ(App().CurrentFormula[fsMinDiff], 0.0f);
}

// The display follows the run by time, not by every event: however many events it let pass,
// the boxes show the last one once the run is over; and a Stop clicked while a long run is
// under way reaches it through the message loop and ends it early.
TEST_F(FormulaTestWindowTest, DisplayEndsOnTheLastEventAndStopReachesALongRun)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    Box(w, "Text1_3")->setText("0");
    Box(w, "Text2_3")->setText("9");
    Box(w, "Text2_1")->setText("4");
    Box(w, "Text1_9")->setText("0.8");
    Box(w, "Text2_9")->setText("1.2");
    int events = 0;
    std::array<std::string, formulatest::RowBoxes> lastBest{}, lastWorst{};
    auto handler = w.TSPredict1().Progress;
    w.TSPredict1().Progress = [&](TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percent,
                                  std::string& message) {
        handler(best, worst, percent, message);
        ++events;
        lastBest = formulatest::RowTexts(best);
        lastWorst = formulatest::RowTexts(worst);
    };
    RunTest(w);
    EXPECT_EQ(w.TSPredict1().CombinationsDone(), 250);
    EXPECT_GT(events, 10);
    for (int i = 0; i < formulatest::RowBoxes; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Box(w, QString("best_%1").arg(i))->text().toStdString(), lastBest[static_cast<std::size_t>(i)]);
        EXPECT_EQ(Box(w, QString("worst_%1").arg(i))->text().toStdString(), lastWorst[static_cast<std::size_t>(i)]);
    }
    EXPECT_NE(lastBest[9], "0-0-0");

    // Some ten million combinations: only the Stop ends it soon. It is clicked when the message
    // loop first runs during the run, as the program's own yield runs it.
    Box(w, "txtrola_0")->setText("3");
    Box(w, "txtrola_1")->setText("5");
    Box(w, "Text2_3")->setText("99");
    Box(w, "Text2_1")->setText("99");
    Box(w, "Text1_8")->setText("0");
    Box(w, "Text2_8")->setText("10");
    Box(w, "Text1_9")->setText("0.1");
    Box(w, "Text2_9")->setText("3");
    constexpr int64_t Whole = int64_t{3} * 100 * 100 * 11 * 30;
    SetDoEventsHook([] { QCoreApplication::processEvents(); });
    bool stopPosted = false;
    w.TSPredict1().Progress = [&](TSPredict::FormulaRow& best, TSPredict::FormulaRow& worst, std::string& percent,
                                  std::string& message) {
        handler(best, worst, percent, message);
        if (!std::exchange(stopPosted, true))
            QTimer::singleShot(0, &w, [&] { Button(w, "cmdStop")->click(); });
    };
    RunTest(w);
    SetDoEventsHook({});
    EXPECT_GT(w.TSPredict1().CombinationsDone(), 0);
    EXPECT_LT(w.TSPredict1().CombinationsDone(), Whole);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Button(w, "cmdStart")->isEnabled());
    EXPECT_FALSE(App().StopTest);
}

TEST_F(FormulaTestWindowTest, BadLineRangeAsksToContinueAndNoLeavesTheWindowLocked)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    Check(w, "chkLines")->setChecked(true);
    List(w, "cboLinesStart")->setEditText("ABS x");
    messages.answers.push_back(vbNo);
    RunTest(w);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "Try and Continue?");
    EXPECT_EQ(messages.shown[0].text, "An error 13 has occered at line 11\r\n\r\nType mismatch");
    EXPECT_EQ(messages.shown[0].buttons, vbYesNo + vbQuestion);
    EXPECT_FALSE(Button(w, "cmdStart")->isEnabled());
    Button(w, "cmdStop")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Button(w, "cmdStart")->isEnabled());
    EXPECT_FALSE(App().StopTest);
}

TEST_F(FormulaTestWindowTest, SaveBestWritesTheRowAsAFormulaAndListsIt)
{
    FormulaTestWindow& w = Open();
    const char* row[13] = {"1", "99", "3.5", "60", "40", "45", "55", "4", "1.5", "5-3-0", "62.5%", "1.7", "6"};
    for (int i = 0; i < 13; ++i)
        Box(w, QString("best_%1").arg(i))->setText(row[i]);
    Check(w, "chkUsePowerRatings")->setChecked(true);
    App().CurrentFormula[fsHomeOnly] = 1;
    messages.inputs.push_back("mine");
    Button(w, "cmdBest")->click();
    EXPECT_EQ(ReadAll(folder / "mine.fla"), "3.5,1,99,1.5,60,40,6,45,55,0,4,0,0,1,1,0,0,0,99,99\r\n");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text, "File Saved !");
    EXPECT_GE(FormulaEditor::Get()->findChild<QComboBox*>("Combo2")->findText("mine.fla"), 0);
    EXPECT_EQ(FormulaEditor::Get()->findChild<QLineEdit*>("txtFla_0")->text(), "3.5");

    // A cancelled name changes nothing; a name with a folder is refused.
    messages.inputs.push_back("");
    Button(w, "cmdWorst")->click();
    messages.inputs.push_back("../x");
    Button(w, "cmdWorst")->click();
    EXPECT_EQ(messages.shown.back().text, "You entered a bad filename, The formula was not saved !");
    EXPECT_FALSE(std::filesystem::exists(folder.Path().parent_path() / "x.fla"));
}

// The printed value of a best or worst line ("Rushing Percentage - 70"), not a range line.
bool Printed(const std::string& section, const std::string& label, const std::string& value)
{
    return std::regex_search(section, std::regex(label + " - " + std::regex_replace(value, std::regex("\\."), "\\.") +
                                                 "(?! To)(\\s|$)"));
}

TEST_F(FormulaTestWindowTest, SavedBestAndWorstFormulasTestedAloneGiveTheirRowsResults)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    Check(w, "chkFast")->setChecked(true);
    // Rushing 55 to 75 (passing 45 to 25: never the same weight) and home-field advantage 2 to 4.
    Box(w, "Text1_6")->setText("55");
    Box(w, "Text2_6")->setText("75");
    Box(w, "Text1_3")->setText("2");
    Box(w, "Text2_3")->setText("4");
    RunTest(w);
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;
    const TSPredict::FormulaRow bestRow = w.TSPredict1().BestRow;
    const TSPredict::FormulaRow worstRow = w.TSPredict1().WorstRow;
    ASSERT_GT(bestRow[rrWins] + bestRow[rrLosses], 0);
    auto number = [](float v) { return vb::CStrSingle(v); };
    // Each box shows the weight its label names.
    EXPECT_EQ(Box(w, "best_5")->toolTip(), "% Rushing");
    EXPECT_EQ(Box(w, "best_5")->text().toStdString(), number(bestRow[rrRushing]));
    EXPECT_EQ(Box(w, "best_6")->text().toStdString(), number(bestRow[rrPassing]));
    EXPECT_EQ(Box(w, "worst_5")->text().toStdString(), number(worstRow[rrRushing]));
    EXPECT_EQ(Box(w, "worst_6")->text().toStdString(), number(worstRow[rrPassing]));
    EXPECT_EQ(bestRow[rrRushing] + bestRow[rrPassing], 100);
    EXPECT_GE(bestRow[rrRushing], 55);
    const std::string bestRecord = Box(w, "best_9")->text().toStdString();
    const std::string bestUnits = Box(w, "best_11")->text().toStdString();
    const std::string worstRecord = Box(w, "worst_9")->text().toStdString();
    const std::string worstUnits = Box(w, "worst_11")->text().toStdString();

    // The printout shows the same weights.
    const std::filesystem::path pdf = folder / "report.pdf";
    InstallPrintDialogRunner([pdf](QPrinter& printer, int&, int&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    w.Print_Click();
    const std::string text = std::regex_replace(PdfText(pdf), std::regex(" +"), " ");
    const auto bestAt = text.find("The Best Formula was:");
    const auto worstAt = text.find("The Worst Formula was:");
    ASSERT_NE(bestAt, std::string::npos) << text;
    ASSERT_NE(worstAt, std::string::npos) << text;
    const std::string bestPart = text.substr(bestAt, worstAt - bestAt);
    const std::string worstPart = text.substr(worstAt);
    EXPECT_TRUE(Printed(bestPart, "Rushing Percentage", number(bestRow[rrRushing]))) << bestPart;
    EXPECT_TRUE(Printed(bestPart, "Passing Percentage", number(bestRow[rrPassing]))) << bestPart;
    EXPECT_TRUE(Printed(worstPart, "Rushing Percentage", number(worstRow[rrRushing]))) << worstPart;
    EXPECT_TRUE(Printed(worstPart, "Passing Percentage", number(worstRow[rrPassing]))) << worstPart;

    // Save Best and Save Worst, open each file in the editor and test it alone.
    struct Case {
        const char* button;
        const char* name;
        std::string record, units;
        TSPredict::FormulaRow row;
        const char* recordBox;
        const char* unitsBox;
    };
    const Case cases[] = {{"cmdBest", "best", bestRecord, bestUnits, bestRow, "best_9", "best_11"},
                          {"cmdWorst", "worst", worstRecord, worstUnits, worstRow, "worst_9", "worst_11"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.inputs.push_back(c.name);
        Button(w, c.button)->click();
        Formula saved{};
        ASSERT_TRUE(ReadFormulaFile(folder / (c.name + std::string(".fla")), saved));
        EXPECT_EQ(saved[fsRushing], c.row[rrRushing]);
        EXPECT_EQ(saved[fsPassing], c.row[rrPassing]);
        EXPECT_EQ(saved[fsHomeField], c.row[rrHomeField]);
    }
    ASSERT_EQ(messages.shown.size(), 4u);   // the name box and the message, twice
    EXPECT_EQ(messages.shown[1].text, "File Saved !");
    EXPECT_EQ(messages.shown[3].text, "File saved !");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = c.name + std::string(".fla");
        QComboBox* list = FormulaEditor::Get()->findChild<QComboBox*>("Combo2");
        const int index = list->findText(QString::fromStdString(file));
        ASSERT_GE(index, 0);
        list->setCurrentIndex(index);
        emit list->activated(index);
        QCoreApplication::processEvents();
        RefreshActiveView(false);
        EXPECT_EQ(Box(w, "Text1_6")->text().toStdString(), number(c.row[rrRushing]));
        EXPECT_EQ(Box(w, "Text2_7")->text().toStdString(), number(c.row[rrPassing]));
        RunTest(w);
        EXPECT_EQ(Box(w, c.recordBox)->text().toStdString(), c.record);
        EXPECT_EQ(Box(w, c.unitsBox)->text().toStdString(), c.units);
    }
    for (std::size_t i = 4; i < messages.shown.size(); ++i)
        ADD_FAILURE() << messages.shown[i].text;
}

// The template commands ask through the program's dialog object: its title, the template
// filter and the proposed name; a cancel writes nothing and says nothing.
TEST_F(FormulaTestWindowTest, TemplateCommandsAskThroughTheDialogObject)
{
    ScriptedMessages& messages = InstallScriptedMessages();
    FormulaTestWindow& w = Open();
    std::vector<FileRequest> asked;
    bool confirm = true;
    SetDialogScripts({[&](const FileRequest& r) {
                          asked.push_back(r);
                          FileAnswer a;
                          a.ok = confirm;
                          a.fileName = (folder / "Mine.ftp").string();
                          return a;
                      },
                      {}, {}});
    w.mnuSTT_Click();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0].save);
    EXPECT_EQ(asked[0].title, "Save Formula Template");
    EXPECT_EQ(asked[0].fileName, "Default.ftp");
    EXPECT_EQ(asked[0].filters,
              (std::vector<std::pair<std::string, std::string>>{{"Formula Templates", "*.ftp"}}));
    EXPECT_TRUE(std::filesystem::exists(folder / "Mine.ftp"));
    w.mnuLTT_Click();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_FALSE(asked[1].save);
    EXPECT_EQ(asked[1].title, "Select Formula Template");
    confirm = false;
    std::filesystem::remove(folder / "Mine.ftp");
    w.mnuSTT_Click();
    EXPECT_FALSE(std::filesystem::exists(folder / "Mine.ftp"));
    EXPECT_TRUE(messages.shown.empty());
    SetDialogScripts({});
}

TEST_F(FormulaTestWindowTest, TemplateRoundTripIsByteExact)
{
    FormulaTestWindow& w = Open();
    Box(w, "txtrola_1")->setText("8");
    Box(w, "Text2_9")->setText("2.5");
    Check(w, "chkLimitWeek")->setChecked(true);
    List(w, "cboLimitStart")->setCurrentIndex(2);
    List(w, "cboLimitEnd")->setCurrentIndex(9);
    Check(w, "chkDog")->setChecked(true);
    Control<QRadioButton>(w, "SortByW")->setChecked(true);
    const int first = Season().SeasonFirstWeek[0];
    List(w, "CboStartWeek")->setCurrentIndex(first + 1);
    List(w, "CboEndWeek")->setCurrentIndex(first + 4);
    std::vector<std::string> titles;
    FormulaTestWindow::SetFileDialog([&](bool, const std::string& title, const std::string& proposed) {
        titles.push_back(title + "|" + proposed);
        return std::optional<std::string>((folder / "Weekly").string());
    });
    w.mnuSTT_Click();
    // The fixture's first week of 2024 is list index 22: the test weeks are 23 to 26.
    ASSERT_EQ(first, 22);
    const std::filesystem::path golden = GoldenFolder("formulas") / "template" / "Weekly.ftp";
    EXPECT_TRUE(FileMatchesGolden(folder / "Weekly.ftp", golden));
    EXPECT_EQ(titles[0], "Save Formula Template|Default.ftp");

    // Change everything, then load it back.
    Box(w, "txtrola_1")->setText("2");
    Check(w, "chkLimitWeek")->setChecked(false);
    Check(w, "chkDog")->setChecked(false);
    Control<QRadioButton>(w, "sortbyu")->setChecked(true);
    List(w, "CboStartWeek")->setCurrentIndex(0);
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>((folder / "Weekly.ftp").string()); });
    w.mnuLTT_Click();
    EXPECT_EQ(Box(w, "txtrola_1")->text(), "8");
    EXPECT_TRUE(Check(w, "chkLimitWeek")->isChecked());
    EXPECT_EQ(List(w, "cboLimitEnd")->currentIndex(), 9);
    EXPECT_TRUE(Check(w, "chkDog")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(w, "SortByW")->isChecked());
    EXPECT_EQ(List(w, "CboStartWeek")->currentIndex(), first + 1);
    w.mnuSTT_Click();
    EXPECT_TRUE(FileMatchesGolden(folder / "Weekly.ftp", golden));

    // A bad check value stops the load there: the fields before it are taken.
    folder.Write("bad.ftp", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,7,1\r\n");
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>((folder / "bad.ftp").string()); });
    w.mnuLTT_Click();
    EXPECT_EQ(Box(w, "Text2_9")->text(), "20");
    EXPECT_FALSE(Check(w, "chkDonTUseLine")->isChecked());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, (folder / "bad.ftp").string() +
                                          " is damaged: field 21 (\"7\") is no value its control takes. Its settings "
                                          "were loaded as far as they go.");
    messages.shown.clear();
    // A template whose one line has no line break after it, as an editor saves it, is read
    // whole and nothing is said; so is a shorter line, whose fields are taken.
    std::string unended = ReadFile(golden);
    ASSERT_TRUE(unended.ends_with("\r\n"));
    unended.resize(unended.size() - 2);
    folder.Write("unended.ftp", unended);
    Box(w, "txtrola_1")->setText("2");
    Check(w, "chkDog")->setChecked(false);
    Control<QRadioButton>(w, "sortbyu")->setChecked(true);
    List(w, "CboEndWeek")->setCurrentIndex(0);
    FormulaTestWindow::SetFileDialog([&](bool, const std::string&, const std::string&) {
        return std::optional<std::string>((folder / "unended.ftp").string());
    });
    w.mnuLTT_Click();
    EXPECT_EQ(Box(w, "txtrola_1")->text(), "8");
    EXPECT_TRUE(Check(w, "chkDog")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(w, "SortByW")->isChecked());
    EXPECT_EQ(List(w, "CboEndWeek")->currentIndex(), first + 4);
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>((folder / "Resaved").string()); });
    w.mnuSTT_Click();
    EXPECT_TRUE(FileMatchesGolden(folder / "Resaved.ftp", golden));
    folder.Write("short.ftp", "3,4,5");
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>((folder / "short.ftp").string()); });
    w.mnuLTT_Click();
    EXPECT_EQ(Box(w, "txtrola_1")->text(), "4");
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;

    // A template that cannot be written is named, not reported as saved.
    const std::string unwritable = (folder / "missing" / "Weekly").string();
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>(unwritable); });
    w.mnuSTT_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, unwritable + ".ftp could not be written: " + ReasonOfError(ENOENT) + ".");
}

TEST_F(FormulaTestWindowTest, TotalsModeRelabelsAndRefillsTheLineListsAndTeaserRoundsToEven)
{
    App().CurrentFormula[fsFavOrOver] = 10;
    FormulaTestWindow& w = Open();
    QPushButton* mode = Button(w, "cmdOU");
    mode->click();
    EXPECT_EQ(mode->text(), "Testing Totals");
    EXPECT_EQ(Check(w, "chkFav")->text(), "Overs");
    EXPECT_TRUE(Check(w, "chkFav")->isChecked());
    EXPECT_FALSE(Check(w, "chkHome")->isEnabled());
    EXPECT_EQ(List(w, "cboLinesStart")->count(), 81);
    EXPECT_EQ(List(w, "cboLinesEnd")->currentText(), "40");
    mode->click();
    EXPECT_EQ(mode->text(), "Testing Sides");
    EXPECT_EQ(Check(w, "chkDog")->text(), "Underdogs");
    EXPECT_FALSE(Check(w, "chkFav")->isChecked());
    EXPECT_TRUE(Check(w, "chkHome")->isEnabled());
    EXPECT_EQ(List(w, "cboLinesStart")->count(), 121);
    EXPECT_EQ(List(w, "cboLinesStart")->currentText(), "0");

    QComboBox* teaser = List(w, "cboTeaser");
    ASSERT_EQ(teaser->count(), 6);
    teaser->setCurrentIndex(2);   // "6.5"
    EXPECT_EQ(w.TSPredict1().Teaser(), 6);
    teaser->setCurrentIndex(4);   // "7.5"
    EXPECT_EQ(w.TSPredict1().Teaser(), 8);
}

TEST_F(FormulaTestWindowTest, LogBeforeAnyTestSaysThereIsNone)
{
    FormulaTestWindow& w = Open();
    Button(w, "cmdLog")->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "No Log Yet");
    EXPECT_EQ(messages.shown[0].buttons, vbInformation);
    EXPECT_TRUE(viewed.empty());
}

TEST_F(FormulaTestWindowTest, BreakdownIsSavedAsRichTextAndViewed)
{
    FormulaTestWindow& w = Open();
    Control<QTextEdit>(w, "vbaRE")->setPlainText("Weekly\nWeek\nWk 1");
    w.vbaRE_SaveAndOpen();
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0], folder / "Breakdown.rtf");
    EXPECT_EQ(ReadAll(folder / "Breakdown.rtf"),
              "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 \\b Weekly\\par\r\n"
              "\\b\\ul Week\\par\r\n\\b0\\ulnone Wk 1}\r\n");
}

// Every file the window writes whole names a failed write once, by the file and the cause the
// write met (after the window's own words where it has them), keeps the old file whole, and
// shows no document that was not written.
TEST_F(FormulaTestWindowTest, AFileThatCannotBeWrittenIsNamedWithItsCauseAndTheOldOneStays)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>((folder / "Weekly").string()); });
    struct Case {
        const char* file;
        bool atSync;                  // the disk fails when the write is waited for, else it is full
        std::function<void()> write;
        std::string before;           // the window's own words before the file and the cause
        std::string title;
        std::size_t prompts = 0;      // input boxes shown before the message
    };
    const std::string breakdownTitle = "Error with " + (folder / "Breakdown.rtf").string();
    const Case cases[] = {
        {"Weekly.ftp", false, [&] { w.mnuSTT_Click(); }, "", "Save Formula Template"},
        {"Breakdown.rtf", true, [&] { w.vbaRE_SaveAndOpen(); }, "Error saving or opening the file\r\n\r\n",
         breakdownTitle},
        {"AllConsensus.txt", false, [&] { w.cmdAllForm_Click(); }, "Error saving or opening the file\r\n\r\n",
         "Error with " + (folder / "AllConsensus.txt").string()},
        {"mine.fla", true,
         [&] {
             messages.inputs.push_back("mine");
             Button(w, "cmdBest")->click();
         },
         "You entered a bad filename, The formula was not saved !\r\n\r\n", AppTitle, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::filesystem::path file = folder / c.file;
        folder.Write(c.file, "the old file");
        messages.shown.clear();
        viewed.clear();
        {
            std::optional<WriteFault> fault;
            if (c.atSync)
                fault.emplace(WriteFault::AtSync, file);
            else
                fault.emplace(4, file);
            c.write();
        }
        const std::string cause = ReasonOfError(c.atSync ? EIO : ENOSPC);
        ASSERT_EQ(messages.shown.size(), c.prompts + 1);
        EXPECT_EQ(messages.shown.back().text, c.before + file.string() + " could not be written: " + cause + ".");
        EXPECT_EQ(messages.shown.back().title, c.title);
        EXPECT_EQ(ReadAll(file), "the old file");
        EXPECT_FALSE(std::filesystem::exists(file.string() + ".tmp~"));
        EXPECT_TRUE(viewed.empty()) << "a document that was not written is not shown";
    }
}

TEST_F(FormulaTestWindowTest, PrintedReportHoldsRangesAndBestAndLeavesOutAnEmptyWorst)
{
    FormulaTestWindow& w = Open();
    const std::filesystem::path pdf = folder / "report.pdf";
    InstallPrintDialogRunner([pdf](QPrinter& printer, int&, int&) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return true;
    });
    Box(w, "best_11")->setText("4.25");
    Box(w, "Text1_3")->setText("2.5");
    w.Print_Click();
    // The labels' blanks come back as wider or narrower gaps: compare with single blanks.
    const std::string text = std::regex_replace(PdfText(pdf), std::regex(" +"), " ");
    EXPECT_NE(text.find("Vexal Formulas for - 2024"), std::string::npos) << text;
    EXPECT_NE(text.find("For the following Range of Values:"), std::string::npos);
    EXPECT_NE(text.find("Home Field Advantage - 2.5 To 3"), std::string::npos) << text;
    EXPECT_NE(text.find("The Unit Win would be - 4.3"), std::string::npos) << text;
    EXPECT_EQ(text.find("The Worst Formula was:"), std::string::npos);
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 2.5f);

    // A cancelled dialog prints nothing and changes nothing.
    std::filesystem::remove(pdf);
    InstallPrintDialogRunner([](QPrinter&, int&, int&) { return false; });
    Box(w, "Text1_3")->setText("1");
    w.Print_Click();
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 2.5f);
}

TEST_F(FormulaTestWindowTest, AllFormulaReportWritesABlockPerFormula)
{
    folder.Write("short.fla", "2,1,99,1,50,50,0,50,50,-1\r\n");
    FormulaEditor::Get()->RefreshFileList();
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    // The bar as each formula's result comes in: it counts the formulas done.
    auto* bar = Control<ProgBar>(w, "Stat1");
    std::vector<std::string> shown;
    auto progressHandler = w.TSPredict1().Progress;
    w.TSPredict1().Progress = [&](auto& b, auto& o, std::string& p, std::string& m) {
        const bool result = w.AllFormulaRunning() && vb::Val(p) >= 100 && !m.empty();
        progressHandler(b, o, p, m);
        if (result)
            shown.push_back(bar->Caption().toStdString() + (bar->isVisible() ? "|" : "|hidden|") +
                            std::to_string(bar->Value()));
    };
    w.cmdAllForm_Click();
    ASSERT_EQ(FormulaEditor::Get()->FormulaFiles().size(), 2u);
    // The short file gives no formula: it is not tested, and counts as done.
    EXPECT_EQ(shown, (std::vector<std::string>{"Progress 50.0% Completed|50"}));
    EXPECT_FALSE(bar->isVisible());
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0], folder / "AllConsensus.txt");
    EXPECT_FALSE(viewerOpenedInARun) << "inside the run its close box would be refused";
    const std::string report = ReadAll(folder / "AllConsensus.txt");
    EXPECT_EQ(report.rfind("Vexal  All Formula Report (Sides) for Wk 6 of 2024 - Printed:", 0), 0u) << report;
    EXPECT_NE(report.find("\r\ndefault\r\nHFA Min. Max. Off. Def. Rush. Pass. T/O Mult. Roll.\r\n"
                          "3    0     99    50    50    50     50    4     1      4\r\n"),
              std::string::npos)
        << report;
    // The short file is named with its message and has no block: a number or two of a cut file,
    // or a block of zeros, would pass for the file's formula.
    EXPECT_EQ(report.find("\r\nshort\r\n"), std::string::npos) << report;
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("There was an error using the formula short.fla"), std::string::npos);
    EXPECT_NE(report.find("Weekly"), std::string::npos);
    EXPECT_TRUE(Button(w, "cmdStart")->isEnabled());
    EXPECT_FALSE(w.AllFormulaRunning());
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 3.0f);

    // A list of one formula reaches the end too.
    std::filesystem::remove(folder / "short.fla");
    FormulaEditor::Get()->RefreshFileList();
    ASSERT_EQ(FormulaEditor::Get()->FormulaFiles().size(), 1u);
    shown.clear();
    w.cmdAllForm_Click();
    EXPECT_EQ(shown, (std::vector<std::string>{"Progress|hidden|0"}));
}

// With no formula file there is nothing to report: the user is told so, no report is written or
// shown, and the progress bar does not appear.
TEST_F(FormulaTestWindowTest, AllFormulaReportWithNoFormulaFileSaysSoAndWritesNothing)
{
    std::filesystem::remove(folder / "default.fla");
    FormulaEditor::Get()->RefreshFileList();
    ASSERT_TRUE(FormulaEditor::Get()->FormulaFiles().empty());
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    messages.shown.clear();
    Button(w, "cmdAllForm")->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "There is no formula file to test: save a formula in the formula editor first.");
    EXPECT_EQ(messages.shown[0].buttons, vbInformation);
    EXPECT_FALSE(std::filesystem::exists(folder / "AllConsensus.txt"));
    EXPECT_TRUE(viewed.empty());
    EXPECT_FALSE(Control<ProgBar>(w, "Stat1")->isVisible());
    EXPECT_TRUE(Button(w, "cmdStart")->isEnabled());
    EXPECT_TRUE(Button(w, "cmdAllForm")->isEnabled());
}

// Formula files written while the program runs (smart predictions saved, another window's
// Save Best) are in the report of the same session, like those there at start-up.
TEST_F(FormulaTestWindowTest, AllFormulaReportCoversFilesWrittenDuringTheSession)
{
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    const std::vector<std::string> written = {"Wk62024AriAtl.FLA", "Wk62024BalBuf.FLA", "later.fla"};
    for (const std::string& name : written)
        folder.Write(name, name.ends_with(".FLA") ? "4,2,8,1,50,50,4,50,50,0,5,0,0,0\r\n"
                                                  : "4,2,8,1,50,50,4,50,50,0,5,0,0,0,0,0,0,0,99,99\r\n");
    FormulaEditor::Get()->AddFormulaName(written[0]); // as a smart run lists what it saved
    w.cmdAllForm_Click();
    const std::string report = ReadAll(folder / "AllConsensus.txt");
    for (const std::string& name : {std::string("default"), std::string("Wk62024AriAtl"), std::string("Wk62024BalBuf"),
                                    std::string("later")})
        EXPECT_NE(report.find("\r\n" + name + "\r\nHFA "), std::string::npos) << name << "\n" << report;
    EXPECT_EQ(FormulaEditor::Get()->FormulaFiles().size(), 4u);
}

// Smart formula files saved by Smart Predict are read as the short form they are, with no line
// filter; files too short for either kind are named together in one message. A file whose name
// is not UTF-8 (Windows-1252, from an older system) is read under the name it is listed by.
TEST_F(FormulaTestWindowTest, AllFormulaReportReadsSmartFilesAndNamesDamagedOnesOnce)
{
    for (const char* name : {"Wk62024AriAtl.FLA", "Wk62024BalBuf.FLA", "Wk62024CarChi.FLA"})
        folder.Write(name, "4,2,8,1,50,50,4,50,50,0,5,0,0,0\r\n");
    folder.Write("Sch\xF6n.fla", "5,3,9,1,60,40,4,50,50,0,5,0,0,0,0,0,0,0,99,99\r\n");
    folder.Write("short.fla", "2,1,99,1,50,50,0,50,50,-1\r\n");
    folder.Write("tiny.fla", "2,1\r\n");
    FormulaEditor::Get()->RefreshFileList();
    FormulaTestWindow& w = Open();
    ChoosePlayedWeeks(w);
    w.cmdAllForm_Click();
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_NE(text.find("62 - Input past end of file"), std::string::npos) << text;
    EXPECT_NE(text.find("short.fla, tiny.fla"), std::string::npos) << text;
    EXPECT_EQ(text.find("Wk62024"), std::string::npos) << text;
    EXPECT_EQ(text.find("Sch"), std::string::npos) << text;
    const std::string report = ReadAll(folder / "AllConsensus.txt");
    EXPECT_NE(report.find("\r\nSch\xF6n\r\nHFA Min. Max. Off. Def. Rush. Pass. T/O Mult. Roll.\r\n"
                          "5    3     9     60    40    50     50    5     1      4\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\nWk62024AriAtl\r\nHFA Min. Max. Off. Def. Rush. Pass. T/O Mult. Roll.\r\n"
                          "4    2     8     50    50    50     50    5     1      4\r\n"),
              std::string::npos)
        << report;
}

// A criterion an earlier version stored with a comma opens as the number the test used, and a
// template saved then keeps its fields.
TEST_F(FormulaTestWindowTest, AStoredCommaIsCleanedOnRestore)
{
    SaveSetting("Preference", "SaveFormulasUL", "1,5");
    SaveSetting("Preference", "Min Games", "3,0");
    FormulaTestWindow& w = Open();
    EXPECT_EQ(Box(w, "txtUnitLower")->text(), "1");
    EXPECT_EQ(Box(w, "txtMin")->text(), "3");
    FormulaTestWindow::SetFileDialog(
        [&](bool, const std::string&, const std::string&) { return std::optional<std::string>((folder / "t").string()); });
    w.mnuSTT_Click();
    const std::string line = ReadAll(folder / "t.ftp");
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 45) << line;
}

TEST_F(FormulaTestWindowTest, CliffAdjustGivesTheEngineTheBoxValue)
{
    FormulaTestWindow& w = Open();
    QCheckBox* cliff = Check(w, "chkCliffAdjust");
    cliff->setChecked(true);
    EXPECT_EQ(w.TSPredict1().CliffAdjust(), 1);
    cliff->setChecked(false);
    EXPECT_EQ(w.TSPredict1().CliffAdjust(), 0);
}

TEST_F(FormulaTestWindowTest, AClickOnAWebAddressInTheBreakdownOpensIt)
{
    FormulaTestWindow& w = Open();
    w.Tab1_Click(4);
    auto* pane = Control<QTextEdit>(w, "vbaRE");
    pane->setPlainText("Week 1   5-3-0\nSee www.vexal.example/faq for more");
    QCoreApplication::processEvents();
    auto& launcher = static_cast<RecordingLauncher&>(Launcher());
    launcher.calls.clear();
    auto press = [&](const char* piece, Qt::MouseButton button) {
        const int at = pane->toPlainText().indexOf(piece);
        EXPECT_GE(at, 0) << piece;
        QTextCursor c(pane->document());
        c.setPosition(at);
        const QRect r = pane->cursorRect(c);
        const QPointF point(r.left() + 2, r.center().y());
        QMouseEvent event(QEvent::MouseButtonPress, point, pane->viewport()->mapToGlobal(point), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &event);
    };
    press("5-3-0", Qt::LeftButton);
    press("vexal", Qt::RightButton);
    EXPECT_TRUE(launcher.calls.empty());
    press("vexal", Qt::LeftButton);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].file, "http://www.vexal.example/faq");
    EXPECT_TRUE(viewed.empty());
}

} // namespace
} // namespace vexal::test
