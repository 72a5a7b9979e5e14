// The formula editor driven through its own controls: what ReadFormula takes from it, the
// exclusions between its boxes, the refreshes it asks for and the ones it must not.
#include "FormulaEditorTestSupport.h"

#include "CurrentFormula.h"
#include "IniFile.h"
#include "RecordFile.h"
#include "WaitFor.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include <cerrno>
#include <functional>

// QEvent lets this class (named for the test library's own helper) mark an event as coming
// from the window system.
class QSpontaneKeyEvent {
public:
    static void setSpontaneous(QEvent* event) { event->setSpontaneous(); }
};

namespace vexal::test {
namespace {

class EditorControlsTest : public FormulaEditorTest {
protected:
    void Fill(const std::vector<QString>& values)
    {
        for (int i = 0; i < 9; ++i)
            Box(i)->setText(values[static_cast<std::size_t>(i)]);
    }
};

TEST_F(EditorControlsTest, ReadFormulaTakesEverySlotFromTheControlsAndTheWeekSelector)
{
    Fill({"3", "1", "99", "60", "40", "55", "45", "-2", "1.5"});
    Click(Check("SHA"));
    Check("DHL")->setCheckState(Qt::PartiallyChecked);
    Click(Check("ChkNoLine"));
    Click(Check("chkAway"));
    Click(Check("chkDog"));
    Click(Check("chkLines"));
    Choose(Combo("cboLinesStart"), "-3");
    Choose(Combo("cboLinesEnd"), "ABS 7");
    Choose(Combo("Combo1"), " 4 Weeks");
    App().CurrentFormula[fsTotalsMode] = 1;
    App().CurrentFormula[fsOtherFactors] = 1;
    Season().WeekListIndex = 6;

    ReadFormula();
    const Formula expected{3, 1, 99, 60, 40, 55, 45, -2, 1.5f, 4, 1, 2, 0, 7, 1, 1, 0, 1, 0, 1, 0, 1, 103, 107};
    EXPECT_EQ(App().CurrentFormula, expected);
}

TEST_F(EditorControlsTest, ReadFormulaEdgeCases)
{
    Editor();
    // A ticked "Favorites" gives 1; a grayed one gives way to a ticked "Overs".
    Click(Check("chkFav"));
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsFavOrOver], 1);
    Click(Check("chkOver"));
    Check("chkFav")->setCheckState(Qt::PartiallyChecked);
    ASSERT_EQ(Check("chkOver")->checkState(), Qt::Checked);
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsFavOrOver], 10);

    // An empty box keeps the slot's previous value; the others are still rebuilt.
    Fill({"3", "1", "99", "", "50", "50", "50", "4", "1"});
    App().CurrentFormula[fsOffense] = 42;
    App().CurrentFormula[fsDefense] = 7;
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsOffense], 42);
    EXPECT_EQ(App().CurrentFormula[fsDefense], 50);

    // No week chosen.
    Season().WeekListIndex = -1;
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 0);

    // Absolute line ends on both sides; the filter off.
    Click(Check("chkFav"));
    Click(Check("chkLines"));
    Choose(Combo("cboLinesStart"), "ABS 2.5");
    Choose(Combo("cboLinesEnd"), "ABS 7");
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsLineStart], 102.5f);
    EXPECT_EQ(App().CurrentFormula[fsLineEnd], 107);
    Choose(Combo("cboLinesStart"), "0");
    Choose(Combo("cboLinesEnd"), "0");
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsLineStart], 100);
    EXPECT_EQ(App().CurrentFormula[fsLineEnd], 100);
    Click(Check("chkLines"));
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsLineStart], 99);
    EXPECT_EQ(App().CurrentFormula[fsLineEnd], 99);

    // "Season To Date" wins over the rolling choice.
    Choose(Combo("Combo1"), " 6 Weeks");
    Click(Check("STD"));
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula[fsRollingWeeks], 0);
    EXPECT_EQ(App().CurrentFormula[fsSeasonToDate], 1);
}

TEST_F(EditorControlsTest, EveryChangeRefreshesTheActiveViewOnce)
{
    Editor();
    ResetRefreshes();
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"Home Teams", [&] { Click(Check("chkHome")); }},
        {"Away Teams unticks Home Teams", [&] { Click(Check("chkAway")); }},
        {"Overs unticks Away Teams", [&] { Click(Check("chkOver")); }},
        {"line filter on", [&] { Click(Check("chkLines")); }},
        {"line start", [&] { Choose(Combo("cboLinesStart"), "45.5"); }},
        {"line end", [&] { Choose(Combo("cboLinesEnd"), "50"); }},
        {"Favorites unticks the line filter and Overs", [&] { Click(Check("chkFav")); }},
        {"UnderDogs", [&] { Click(Check("chkDog")); }},
        {"Unders", [&] { Click(Check("chkUnder")); }},
        {"Unders off", [&] { Click(Check("chkUnder")); }},
        {"Season To Date", [&] { Click(Check("STD")); }},
        {"Season To Date off", [&] { Click(Check("STD")); }},
        {"rolling choice", [&] { Choose(Combo("Combo1"), " 5 Weeks"); }},
        {"Season To Date again", [&] { Click(Check("STD")); }},
        {"rolling choice unticks Season To Date", [&] { Choose(Combo("Combo1"), " 2 Weeks"); }},
        {"Separate Home / Away", [&] { Click(Check("SHA")); }},
        {"Discard High / Low", [&] { Click(Check("DHL")); }},
        {"Don't use Line", [&] { Click(Check("ChkNoLine")); }},
        {"Use Power Rating", [&] { Click(Check("ChkPowerRating")); }},
        {"Offense % with its partner", [&] { Enter(Box(3), "60"); }},
        {"H.F.A.", [&] { Enter(Box(0), "2.5"); }},
    };
    for (const auto& [what, change] : changes) {
        const int before = Refreshes();
        change();
        EXPECT_EQ(Refreshes(), before + 1) << what;
    }
    EXPECT_EQ(Box(4)->text(), "40");
    EXPECT_FALSE(Check("STD")->isChecked());
}

TEST_F(EditorControlsTest, AValueBoxAsksForTheLighterRefresh)
{
    Editor();
    QWidget* statistics = ShowWindow("FORM6");
    ASSERT_NE(statistics, nullptr);
    ASSERT_EQ(ActiveView(), statistics);
    auto count = [&] { return statistics->property(RefreshCountProperty).toInt(); };
    const int before = count();
    Enter(Box(0), "4");
    EXPECT_EQ(count(), before);        // the Statistics window recomputes only on a full refresh
    Click(Check("SHA"));
    EXPECT_EQ(count(), before + 1);
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 4);
    UnloadWindow("FORM6");
}

TEST_F(EditorControlsTest, LoadFormulaFillsTheControlsWithoutRefreshing)
{
    Editor();
    // Start from a sides formula with favourites and a spread filter...
    Click(Check("chkFav"));
    Click(Check("chkLines"));
    Choose(Combo("cboLinesStart"), "-3");
    Click(Check("STD"));
    // ... and show a totals formula with overs, a totals range and a rolling window.
    const Formula shown{2, 1.5f, 12, 70, 30, 35, 65, -1, 1.2f, 5, 1, 0, 0, 3, 0, 0, 1, 0, 0, 0, 10, 0, 41.5f, 55};
    App().CurrentFormula = shown;
    ResetRefreshes();
    Editor().LoadFormula();
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_FALSE(App().SuppressRefresh);

    EXPECT_EQ(Box(1)->text(), "1.5");
    EXPECT_EQ(Box(7)->text(), "-1");
    EXPECT_EQ(Box(8)->text(), "1.2");
    EXPECT_TRUE(Check("chkOver")->isChecked());
    EXPECT_FALSE(Check("chkUnder")->isChecked());
    EXPECT_FALSE(Check("chkFav")->isChecked());
    EXPECT_TRUE(Check("SHA")->isChecked());
    EXPECT_TRUE(Check("ChkPowerRating")->isChecked());
    EXPECT_TRUE(Check("chkLines")->isChecked());
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "41.5");
    EXPECT_EQ(Combo("cboLinesEnd")->currentText(), "55");
    EXPECT_EQ(Combo("cboLinesStart")->count(), 81);   // the totals list
    EXPECT_EQ(Combo("Combo1")->currentText(), " 5 Weeks");
    EXPECT_FALSE(Check("STD")->isChecked());

    // What the controls show reads back as the formula shown.
    Season().WeekListIndex = 2;
    ReadFormula();
    EXPECT_EQ(App().CurrentFormula, shown);
}

TEST_F(EditorControlsTest, LoadFormulaDecodesTheStoredCodes)
{
    Editor();
    auto load = [&](std::initializer_list<std::pair<int, float>> values) {
        Formula f{};
        f[fsLineStart] = 99;
        f[fsLineEnd] = 99;
        for (auto [slot, value] : values)
            f[static_cast<std::size_t>(slot)] = value;
        App().CurrentFormula = f;
        Editor().LoadFormula();
    };
    load({{fsDogOrUnder, 10}});
    EXPECT_TRUE(Check("chkUnder")->isChecked());
    EXPECT_FALSE(Check("chkOver")->isChecked());
    EXPECT_TRUE(Check("STD")->isChecked());
    EXPECT_FALSE(Check("chkLines")->isChecked());

    load({{fsLineStart, 103.5f}, {fsLineEnd, 107}, {fsRollingWeeks, 5}});
    EXPECT_TRUE(Check("chkLines")->isChecked());
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "ABS 3.5");
    EXPECT_EQ(Combo("cboLinesEnd")->currentText(), "ABS 7");
    EXPECT_EQ(Combo("Combo1")->currentText(), " 5 Weeks");
    EXPECT_FALSE(Check("STD")->isChecked());

    load({{fsLineStart, 100}, {fsLineEnd, 107}});
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "0");
    EXPECT_EQ(Combo("cboLinesEnd")->currentText(), "ABS 7");

    load({{fsLineStart, 100}, {fsLineEnd, 100}, {fsFavOrOver, 1}});
    EXPECT_TRUE(Check("chkLines")->isChecked());
    EXPECT_TRUE(Check("chkFav")->isChecked());
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "0");
    EXPECT_EQ(Combo("cboLinesEnd")->currentText(), "0");

    load({{fsLineStart, 0}, {fsLineEnd, 0}});
    EXPECT_FALSE(Check("chkLines")->isChecked());
    EXPECT_FALSE(Check("chkFav")->isChecked());
    EXPECT_FALSE(Combo("cboLinesStart")->isEnabled());

    // A value a box cannot take skips that box only.
    load({{fsNoLine, 7}, {fsSeparateHomeAway, 1}});
    EXPECT_TRUE(Check("SHA")->isChecked());
}

TEST_F(EditorControlsTest, TickingABoxUnticksTheBoxesItExcludes)
{
    Editor();
    Click(Check("chkAway"));
    Click(Check("chkHome"));
    EXPECT_FALSE(Check("chkAway")->isChecked());

    Click(Check("chkUnder"));
    EXPECT_FALSE(Check("chkHome")->isChecked());
    Click(Check("chkHome"));
    EXPECT_FALSE(Check("chkUnder")->isChecked());

    Click(Check("chkDog"));
    Click(Check("chkOver"));
    for (const char* off : {"chkUnder", "chkHome", "chkAway", "chkFav", "chkDog"})
        EXPECT_FALSE(Check(off)->isChecked()) << off;
    EXPECT_EQ(App().CurrentFormula[fsFavOrOver], 10);
    EXPECT_EQ(App().CurrentFormula[fsHomeOnly], 0);

    // The line lists follow sides and totals.
    Click(Check("chkLines"));
    EXPECT_TRUE(Combo("cboLinesStart")->isEnabled());
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "40");
    EXPECT_EQ(Combo("cboLinesEnd")->itemText(0), "20");

    // Favorites while Overs is ticked: the totals filter goes first.
    Click(Check("chkFav"));
    EXPECT_FALSE(Check("chkLines")->isChecked());
    EXPECT_FALSE(Check("chkOver")->isChecked());
    EXPECT_FALSE(Combo("cboLinesEnd")->isEnabled());
    EXPECT_EQ(App().CurrentFormula[fsFavOrOver], 1);

    Click(Check("chkLines"));
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "0");
    EXPECT_EQ(Combo("cboLinesStart")->count(), 121);

    // Unticking Overs with Unders unticked resets the line filter.
    Click(Check("chkOver"));
    ASSERT_FALSE(Check("chkLines")->isChecked());
    Click(Check("chkLines"));
    Choose(Combo("cboLinesStart"), "45");
    Click(Check("chkOver"));
    EXPECT_FALSE(Check("chkLines")->isChecked());
    EXPECT_EQ(Combo("cboLinesStart")->currentText(), "0");
    EXPECT_EQ(Combo("cboLinesEnd")->currentText(), "0");
}

TEST_F(EditorControlsTest, SeasonToDateAndTheRollingChoice)
{
    Editor();
    ASSERT_EQ(Combo("Combo1")->count(), 7);
    EXPECT_EQ(Combo("Combo1")->itemText(0), " 1 Weeks");
    EXPECT_EQ(Combo("Combo1")->itemText(6), " 7 Weeks");

    Click(Check("STD"));
    EXPECT_EQ(Combo("Combo1")->currentIndex(), -1);
    EXPECT_EQ(App().CurrentFormula[fsRollingWeeks], 0);
    EXPECT_EQ(App().CurrentFormula[fsSeasonToDate], 1);
    // Unticked with no rolling choice: the entry for 3 weeks.
    Click(Check("STD"));
    EXPECT_EQ(Combo("Combo1")->currentText(), " 3 Weeks");
    EXPECT_EQ(App().CurrentFormula[fsRollingWeeks], 3);
    EXPECT_EQ(App().CurrentFormula[fsSeasonToDate], 0);
}

TEST_F(EditorControlsTest, ValueBoxesTakeOnlyNumbersAndKeepTheWeightsAtOneHundred)
{
    Editor();
    Box(3)->clear();
    Type(Box(3), "-6a0.5x");
    EXPECT_EQ(Box(3)->text(), "60.5");
    Box(7)->clear();
    Type(Box(7), "-1.5");
    EXPECT_EQ(Box(7)->text(), "-1.5");

    Leave(Box(3));
    EXPECT_EQ(Box(4)->text(), "39.5");
    Enter(Box(6), "30");
    EXPECT_EQ(Box(5)->text(), "70");
    Enter(Box(5), "");
    EXPECT_EQ(Box(6)->text(), "30");   // no number: the partner stays

    // Enter inserts nothing (it moves on as a Tab does).
    Box(0)->setText("3");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QCoreApplication::sendEvent(Box(0), &enter);
    EXPECT_EQ(Box(0)->text(), "3");
}

// A value typed, then Save clicked: the click that takes the focus from the box saves, also
// when the refresh that leaving the box asks for lets the message loop run (a prediction).
TEST_F(EditorControlsTest, TheClickThatTakesTheFocusFromAValueBoxIsNotLost)
{
    FormulaEditor& editor = Editor();
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return editor.isActiveWindow(); }));
    SetDoEventsHook([] { QCoreApplication::processEvents(); });
    int refreshes = 0;
    SetViewRefresh(view, [&] {
        ++refreshes;
        DoEvents();
    });
    QLineEdit* box = Box(0);
    box->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(box->hasFocus());
    box->clear();
    Type(box, "4");

    // The window system delivers the press, with the release already waiting behind it.
    auto* save = Control<QPushButton>("cmdSave");
    const QPointF at = QRectF(save->rect()).center();
    QMetaObject::invokeMethod(
        save,
        [save, at] {
            QMouseEvent release(QEvent::MouseButtonRelease, at, save->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QSpontaneKeyEvent::setSpontaneous(&release);
            qApp->notify(save, &release);
        },
        Qt::QueuedConnection);
    QMouseEvent press(QEvent::MouseButtonPress, at, save->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(&press);
    Scripted().inputs = {"typed"};
    qApp->notify(save, &press);
    EXPECT_TRUE(save->hasFocus());
    ASSERT_TRUE(test::WaitFor([&] { return refreshes == 1; }));
    QCoreApplication::processEvents();

    ASSERT_FALSE(Scripted().shown.empty()) << "the first click opens the Filename box";
    EXPECT_EQ(Scripted().shown[0].title, "Filename");
    EXPECT_TRUE(std::filesystem::exists(folder / "typed.fla"));
    EXPECT_EQ(refreshes, 1);
    SetDoEventsHook({});
    editor.hide();
}

TEST_F(EditorControlsTest, YearsBoxShowsAndWritesTheSeasonsToLoad)
{
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Year to Load", "3", folder / "Vexal.ini"));
    auto* years = Control<QLineEdit>("txtYears");
    ASSERT_NE(years, nullptr);
    EXPECT_EQ(years->text(), "3");
    years->clear();
    Type(years, "1x23");
    EXPECT_EQ(years->text(), "12");
    Leave(years);
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "", folder / "Vexal.ini"), "12");
    // Left unchanged, the box writes nothing: a number another instance saved meanwhile stays.
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Year to Load", "4", folder / "Vexal.ini"));
    Leave(years);
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "", folder / "Vexal.ini"), "4");

    // A write that fails is named once, by the file and the cause the write met, and the file
    // keeps the number it held.
    const std::filesystem::path ini = folder / "Vexal.ini";
    const std::string before = folder.Read("Vexal.ini");
    Scripted().shown.clear();
    {
        WriteFault full(4, ini);
        years->clear();
        Type(years, "5");
        Leave(years);
    }
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "The number of seasons to load could not be written to " + ini.string() +
                                             ": " + ReasonOfError(ENOSPC) + ".");
    EXPECT_EQ(folder.Read("Vexal.ini"), before);

    // A file that cannot be read is not replaced by what the write knows of it: named once,
    // with the read's own cause.
    Scripted().shown.clear();
    {
        ReadFault unreadable(ini);
        years->clear();
        Type(years, "6");
        Leave(years);
    }
    ASSERT_EQ(Scripted().shown.size(), 1u);
    EXPECT_EQ(Scripted().shown[0].text, "The number of seasons to load could not be written to " + ini.string() +
                                             ": it could not be read: permission denied.");
    EXPECT_EQ(folder.Read("Vexal.ini"), before);
}

TEST_F(EditorControlsTest, ReadingTheFormulaLoadsTheEditorHidden)
{
    ASSERT_EQ(FindWindow("frmFormula"), nullptr);
    Season().WeekListIndex = 1;
    ReadFormula();
    QWidget* editor = FindWindow("frmFormula");
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(App().CurrentFormula[fsCurrentWeek], 2);
    EXPECT_EQ(App().CurrentFormula[fsLineStart], 99);
}

TEST_F(EditorControlsTest, ARunningTestKeepsTheFormulaItReadsInPlace)
{
    folder.Write("other.fla", "7,1,99,1,50,50,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n");
    Editor();
    App().CurrentFormula = Formula{};
    {
        BusyScope run;
        Click(Check("chkHome"));
        Choose(Combo("Combo2"), "other.fla");
        EXPECT_EQ(App().CurrentFormula, Formula{});
    }
    // Once the run has returned, the chosen formula opens.
    QCoreApplication::processEvents();
    EXPECT_EQ(App().CurrentFormula[fsHomeField], 7);
    EXPECT_EQ(App().CurrentFormulaFile, "other.fla");
}

TEST_F(EditorControlsTest, ClosingWithTheCloseBoxOnlyHidesTheEditor)
{
    FormulaEditor& editor = Editor();
    editor.show();
    Click(Check("SHA"));
    // The close box: a close event that comes from the window system.
    QCloseEvent closeBox;
    QSpontaneKeyEvent::setSpontaneous(&closeBox);
    qApp->notify(&editor, &closeBox);
    QCoreApplication::processEvents();
    EXPECT_EQ(FormulaEditor::Instance(), &editor);
    EXPECT_EQ(FindWindow("frmFormula"), &editor);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(Check("SHA")->isChecked());
    // The program's own unload does unload it.
    EXPECT_TRUE(UnloadWindow("frmFormula"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FormulaEditor::Instance(), nullptr);
}

} // namespace
} // namespace vexal::test
