// Every box and grid cell of the program that takes a number, typed into as a user with a
// comma-decimal keyboard types. What a box takes follows the field it writes (a record field's
// type, a formula slot, a setting): "1,5" or "1.5" typed is one and a half where the field
// holds decimals, shown and stored with "."; a field of whole numbers refuses the decimal
// point with the numeric-box message and stores 15, never a rounded 2; a box without a sign
// refuses "-". "1,5" pasted, over the text or after it, and a paste or key the box cannot
// hold whole, is refused with the message and changes nothing, never cut.
#include "CurrentFormula.h"
#include "FormulaFile.h"
#include "FormulaTestCore.h"
#include "FormulaTestWindow.h"
#include "GameForm.h"
#include "GameRecord.h"
#include "Grid.h"
#include "LineRecord.h"
#include "LinesWindow.h"
#include "Main.h"
#include "MsgBox.h"
#include "NumberInput.h"
#include "Predict.h"
#include "SeasonLoader.h"
#include "ProgramTestSupport.h"
#include "SeasonData.h"
#include "Splash.h"
#include "VbConvert.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <sstream>

namespace vexal::test {
namespace {

using program::Key;
using program::Type;
using program::LeaveFocus;

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// How one window is driven: opened once, an edit begun and committed as the user does it, and
// what it keeps of its numbers (a file, a formula) to show that a refused paste changed nothing.
struct WindowDriver {
    std::function<QWidget*()> open;
    std::function<void(QLineEdit*)> begin;
    std::function<void(QLineEdit*)> commit;
    std::function<std::string()> kept;
};

struct NumberBox {
    std::string window;
    std::string box;                       // a box's name, or a list's whose line edit is typed into
    NumberKind kind;                       // what the field the box writes holds
    std::function<double()> stored;        // what the window stored once the box was left
    std::optional<double> expected = {};   // stored after "1,5": 1.5, or 15 in a box of whole numbers
};

// What a record field holds, from its type alone: whole numbers in a Byte (0 or more) and an
// Integer, decimals with a sign in a Currency.
NumberKind RecordFieldHolds(FieldType type)
{
    const bool whole = type == FieldType::Byte || type == FieldType::Integer;
    return NumberKind{!whole, !whole || LowestValue(type) < 0, {}, false, 0};
}

class NumberEntry : public StartedProgramTest {
protected:
    QWidget* FromToolbar(const char* toolbar, int index, const char* window)
    {
        TheMain()->findChild<QToolBar*>(toolbar)->actions().at(index)->trigger();
        EXPECT_TRUE(WaitFor([] { return !IsBusy(); }));
        Pump();
        return FindWindow(window);
    }
    int NumberMessages() const
    {
        int n = 0;
        for (const auto& m : messages->shown)
            n += m.text.rfind("Please type ", 0) == 0 ? 1 : 0;
        return n;
    }
    // The game Input Stats shows, as its season file holds it.
    GameRecord ShownGame() const
    {
        const auto games = ReadSeasonFile(program / "2024.nfl");
        return games.at(static_cast<std::size_t>(Season().WeekFirstRecord + Season().CurrentGame - 1));
    }
    double GameField(int text) const
    {
        const GameTextField& f = GameTextFields()[static_cast<std::size_t>(text)];
        const double v = static_cast<double>(ShownGame().Number(f.field));
        return GameRecord::FieldOf(f.field).type == FieldType::Currency ? v / 10000 : v;
    }
    double LineFileValue(bool total) const
    {
        const std::string bytes = ReadAll(program / "Typed.L24");
        const auto r = LineRecord::Decode(reinterpret_cast<const uint8_t*>(bytes.data()) +
                                          (Season().WeekFirstRecord - 1) * 21);
        return static_cast<double>(total ? r.Total : r.Line) / 10000;
    }
    double SavedSlot(int slot)
    {
        messages->inputs.push_back("typed");
        FindWindow("frmFormula")->findChild<QPushButton*>("cmdSave")->click();
        Formula f{};
        EXPECT_TRUE(ReadFormulaFile(program / "typed.fla", f));
        return f[static_cast<std::size_t>(slot)];
    }
    double YearsToLoad() const
    {
        const std::string ini = ReadAll(program / "Vexal.ini");
        const auto at = ini.find("Year to Load=");
        return at == std::string::npos ? -1 : vb::Val(ini.substr(at + 13));
    }
    // A best or worst row saved into a formula file, and the slot the file holds.
    double SavedRowSlot(bool best, int slot)
    {
        messages->inputs.push_back("row");
        FindWindow("frmTest")->findChild<QPushButton*>(best ? "cmdBest" : "cmdWorst")->click();
        Formula f{};
        EXPECT_TRUE(ReadFormulaFile(program / "row.fla", f));
        return f[static_cast<std::size_t>(slot)];
    }
    // How each window with number boxes is driven; Enter Lines edits the first game's cell of
    // the column linesColumn_ names.
    std::map<std::string, WindowDriver> Drivers()
    {
        std::map<std::string, WindowDriver> windows;
        auto none = [](QLineEdit*) {};
        windows["FORM2"] = {[&] { return FromToolbar("cToolbar2", 2, "FORM2"); }, none, LeaveFocus,
                            [&] { return ReadAll(program / "2024.nfl"); }};
        windows["lines"] = {[&]() -> QWidget* {
                                QWidget* w = FromToolbar("cToolbar1", 2, "lines");
                                // A line file of the user's own, which the grid then edits.
                                messages->inputs.push_back("Typed");
                                w->findChild<QPushButton*>("cmdAddNewLines")->click();
                                auto* list = w->findChild<QComboBox*>("cboLines");
                                list->setCurrentIndex(list->findText("Typed"));
                                return w;
                            },
                            [&](QLineEdit*) {
                                Grid* g = qobject_cast<LinesWindow*>(FindWindow("lines"))->grid();
                                g->SetSelection(1, linesColumn_);
                                g->setFocus();
                                Key(g, Qt::Key_F2, QString());
                            },
                            [](QLineEdit* edit) { Key(edit, Qt::Key_Return, "\r"); },
                            [&] { return ReadAll(program / "Typed.L24"); }};
        windows["frmFormula"] = {[&] { return FromToolbar("cToolbar1", 12, "frmFormula"); }, none, LeaveFocus, [] {
                                     ReadFormula();
                                     return FormulaFileLine(App().CurrentFormula);
                                 }};
        windows["frmTest"] = {[&]() -> QWidget* {
                                  QWidget* w = FromToolbar("cToolbar1", 8, "frmTest");
                                  // The filters whose lists are typed into are switched on.
                                  for (const char* name : {"chkLines", "chkLimitWeek"})
                                      w->findChild<QCheckBox*>(name)->setChecked(true);
                                  return w;
                              },
                              none, LeaveFocus, [&] { return TemplateText(); }};
        windows["Singleg"] = {[]() -> QWidget* {
                                  QWidget* w = LoadWindow("Singleg");
                                  w->show();
                                  Pump();
                                  w->findChild<QComboBox*>("Combo2")->setCurrentIndex(1);
                                  return w;
                              },
                              none,
                              [](QLineEdit*) {
                                  FindWindow("Singleg")->findChild<QPushButton*>("Command3d1")->click();
                                  ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
                              },
                              [] {
                                  QWidget* w = FindWindow("Singleg");
                                  return w->findChild<QLineEdit*>("Text1")->text().toStdString() + "|" +
                                         w->findChild<QLineEdit*>("Text2")->text().toStdString();
                              }};
        return windows;
    }
    // The box of one row: a box by its name, a list's line edit, or Enter Lines' cell editor.
    QLineEdit* BoxOf(QWidget* window, const std::string& name)
    {
        if (window->objectName() == QLatin1String("lines")) {
            linesColumn_ = name == "Line" ? 2 : 3;
            return qobject_cast<LinesWindow*>(window)->editor();
        }
        if (auto* list = window->findChild<QComboBox*>(QString::fromStdString(name)))
            return list->lineEdit();
        return window->findChild<QLineEdit*>(QString::fromStdString(name));
    }
    std::string TemplateText()
    {
        auto* w = qobject_cast<FormulaTestWindow*>(FindWindow("frmTest"));
        FormulaTestWindow::SetFileDialog([this](bool, const std::string&, const std::string&) {
            return std::optional<std::string>((program / "typed").string());
        });
        w->mnuSTT_Click();
        return ReadAll(program / "typed.ftp");
    }
    double TemplateField(int field)
    {
        const auto pieces = formulatest::TemplatePieces(TemplateText());
        EXPECT_EQ(pieces.size(), static_cast<std::size_t>(formulatest::TemplateFields)) << "the fields stay apart";
        return pieces.size() > static_cast<std::size_t>(field) ? vb::Val(pieces[static_cast<std::size_t>(field)]) : -1;
    }

private:
    int linesColumn_ = 2;
};

TEST_F(NumberEntry, ACommaTypedIsTheDecimalPointAndAPastedOneIsRefused)
{
    std::map<std::string, WindowDriver> windows = Drivers();
    std::vector<NumberBox> boxes;
    // Input Stats: each box as its record field holds it; the line and the total keep 1.5.
    for (int i = 1; i < GameTextCount; ++i) {
        const FieldType type = GameRecord::FieldOf(GameTextFields()[static_cast<std::size_t>(i)].field).type;
        EXPECT_EQ(type == FieldType::Currency, i <= 2);
        boxes.push_back({"FORM2", "txtData_" + std::to_string(i), RecordFieldHolds(type),
                         [this, i] { return GameField(i); }});
    }
    // Enter Lines: the spread and the total cell of the first game, in the user's line file.
    using F = GameRecord::Field;
    boxes.push_back({"lines", "Line", RecordFieldHolds(GameRecord::FieldOf(F::Line).type),
                     [this] { return LineFileValue(false); }});
    boxes.push_back({"lines", "Total", RecordFieldHolds(GameRecord::FieldOf(F::Total).type),
                     [this] { return LineFileValue(true); }});
    // The formula editor's value boxes, as the saved formula holds them, and the count of
    // seasons to load, a box of at most two digits.
    for (int i = 0; i < 9; ++i)
        boxes.push_back({"frmFormula", "txtFla_" + std::to_string(i), SlotNumbers(i),
                         [this, i] { return SavedSlot(i); }});
    boxes.push_back({"frmFormula", "txtYears", YearsToLoadNumbers, [this] { return YearsToLoad(); }});
    // Test Formula: the tested ranges and the save criteria, as a template keeps them.
    auto test = [&](const std::string& name, int field, const NumberKind& kind) {
        boxes.push_back({"frmTest", name, kind, [this, field] { return TemplateField(field); }});
    };
    test("txtrola_0", 0, SlotNumbers(fsRollingWeeks));
    test("txtrola_1", 1, SlotNumbers(fsRollingWeeks));
    for (int row = 1; row <= 9; ++row)
        if (row != 5 && row != 7) { // the complements are shown, not typed
            test("Text1_" + std::to_string(row), 1 + row, SlotNumbers(formulatest::RangeRowSlot[row]));
            test("Text2_" + std::to_string(row), 10 + row, SlotNumbers(formulatest::RangeRowSlot[row]));
        }
    const char* const criteria[TestFilterCount] = {"txtUnitLower", "txtUnitUpper", "txtPercentLower",
                                                   "txtPercentUpper", "txtMin"};
    const int criteriaFields[TestFilterCount] = {37, 38, 39, 40, 45};
    for (int i = 0; i < TestFilterCount; ++i)
        test(criteria[i], criteriaFields[i], TestFilterNumbers(i));
    // Its lists that are typed into: a line end is read as a number, a limited week is whole.
    auto listText = [](const char* name) {
        return FindWindow("frmTest")->findChild<QComboBox*>(name)->currentText().toStdString();
    };
    for (const auto& list : {std::pair{"cboLinesStart", fsLineStart}, std::pair{"cboLinesEnd", fsLineEnd}}) {
        const char* name = list.first;
        boxes.push_back({"frmTest", name, SlotNumbers(list.second),
                         [=] { return static_cast<double>(LeadingNumber(listText(name))); }});
    }
    for (const auto& list : {std::pair{"cboLimitStart", fsHomeOnly}, std::pair{"cboLimitEnd", fsAwayOnly}}) {
        const char* name = list.first;
        boxes.push_back({"frmTest", name, SlotNumbers(list.second), [=] { return vb::Val(listText(name)); }});
    }
    // The best and worst rows' open boxes, as Save Best and Save Worst write them.
    for (const formulatest::RowWeightBox& b : formulatest::RowWeightBoxes)
        if (b.box == formulatest::rbHomeField || b.box == formulatest::rbRollingWeeks)
            for (bool best : {true, false})
                boxes.push_back({"frmTest", (best ? "best_" : "worst_") + std::to_string(b.box), SlotNumbers(b.slot),
                                 [this, best, slot = b.slot] { return SavedRowSlot(best, slot); }});
    // Single Game: a line and a total; the prediction plays them as whole numbers, 1.5 as 2.
    for (const auto& lineBox : {std::pair{"Text1", F::Line}, std::pair{"Text2", F::Total}}) {
        const char* name = lineBox.first;
        boxes.push_back({"Singleg", name, RecordFieldHolds(GameRecord::FieldOf(lineBox.second).type),
                         [name] {
                             return static_cast<double>(predict::WholeNumber(
                                 FindWindow("Singleg")->findChild<QLineEdit*>(name)->text().toStdString()));
                         },
                         2});
    }

    std::map<std::string, QWidget*> opened;
    for (const NumberBox& b : boxes) {
        SCOPED_TRACE(b.window + " " + b.box);
        WindowDriver& driver = windows[b.window];
        // The rows of one window stand together: a view opened replaces the one before.
        if (!opened.count(b.window)) {
            opened[b.window] = driver.open();
            ASSERT_NE(opened[b.window], nullptr);
        }
        QWidget* window = opened[b.window];
        QLineEdit* box = BoxOf(window, b.box);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isEnabled());

        const NumberKind& kind = b.kind;
        auto refused = [&](const std::function<void()>& change, const char* what) {
            SCOPED_TRACE(what);
            const QString shown = box->text();
            const int before = NumberMessages();
            change();
            EXPECT_EQ(box->text(), shown);
            Pump();
            EXPECT_EQ(NumberMessages() - before, 1);
        };

        // Typed: a sign where the field takes one, else refused; "1,5" and "1.5" alike.
        driver.begin(box);
        box->selectAll();
        if (kind.negative) {
            Type(box, "-");
            EXPECT_EQ(box->text().toStdString(), "-");
        } else {
            refused([&] { Type(box, "-"); }, "a sign");
        }
        for (const char* typed : {"1.5", "1,5"}) {
            SCOPED_TRACE(typed);
            const int before = NumberMessages();
            box->selectAll();
            Type(box, typed);
            EXPECT_EQ(box->text().toStdString(), kind.decimals ? "1.5" : "15");
            Pump();
            EXPECT_EQ(NumberMessages() - before, kind.decimals ? 0 : 1);
        }
        // A box that holds at most so many characters refuses one more, never drops it.
        if (kind.maxLength > 0) {
            ASSERT_EQ(box->text().size(), kind.maxLength);
            box->end(false);
            refused([&] { Type(box, "1"); }, "a key past the box's length");
        }
        driver.commit(box);
        Pump();
        EXPECT_DOUBLE_EQ(b.stored(), b.expected.value_or(kind.decimals ? 1.5 : 15));

        // Pasted: over the text, after it, and longer than the box holds.
        const std::string kept = driver.kept();
        driver.begin(box);
        QApplication::clipboard()->setText("1,5");
        refused([&] {
            box->selectAll();
            box->paste();
        }, "a paste over the text");
        refused([&] {
            box->end(false);
            box->paste();
        }, "a paste after the text");
        if (kind.maxLength > 0) {
            box->selectAll();
            Type(box, "7");
            refused([&] {
                box->end(false);
                box->paste();
            }, "a paste after a shorter text");
            QApplication::clipboard()->setText(QString(kind.maxLength, QLatin1Char('1')));
            refused([&] {
                box->end(false);
                box->paste();
            }, "a paste too long for the box");
            box->selectAll();
            Type(box, "15");
        }
        driver.commit(box);
        Pump();
        EXPECT_EQ(driver.kept(), kept);
    }
}

// A number its field cannot hold, typed whole into a box that takes it (a seventeen-digit
// one), is refused with one message wherever it is typed: the number, the field as the
// window names it and the values the field takes, then what was not done. Nothing is stored.
TEST_F(NumberEntry, ANumberItsFieldCannotHoldIsRefusedWithTheFieldsRange)
{
    std::map<std::string, WindowDriver> windows = Drivers();
    const std::string typed = "12345678901234567";
    struct TooLarge {
        std::string window;
        std::string box;
        std::string message;
    };
    const std::string gameNotSaved = " The game was not saved.";
    const std::string lineNotChanged = " The line was not changed.";
    const std::string notPredicted = " Nothing was predicted.";
    const std::vector<TooLarge> rows = {
        // Input Stats: the lines, a Byte and an Integer of the box score.
        {"FORM2", "txtData_1", typed + " does not fit the line (-1000 to 1000)." + gameNotSaved},
        {"FORM2", "txtData_2", typed + " does not fit the total (-1000 to 1000)." + gameNotSaved},
        {"FORM2", "txtData_5", typed + " does not fit the away rushing attempts (0 to 255)." + gameNotSaved},
        {"FORM2", "txtData_23", typed + " does not fit the home rushing yards (-32768 to 32767)." + gameNotSaved},
        // Enter Lines: the spread and the total cell.
        {"lines", "Line", typed + " does not fit the line (-1000 to 1000)." + lineNotChanged},
        {"lines", "Total", typed + " does not fit the total (-1000 to 1000)." + lineNotChanged},
        // Single Game: its line and over/under.
        {"Singleg", "Text1", typed + " does not fit the line (-1000 to 1000)." + notPredicted},
        {"Singleg", "Text2", typed + " does not fit the over/under (-1000 to 1000)." + notPredicted},
    };
    // What each window keeps of its numbers: the files, and the prediction Single Game shows.
    auto stored = [&](const std::string& window) {
        if (window != "Singleg")
            return windows[window].kept();
        QWidget* w = FindWindow("Singleg");
        return w->findChild<QLabel*>("lblHome")->text().toStdString() + "|" +
               w->findChild<QLabel*>("lblAway")->text().toStdString();
    };
    std::map<std::string, QWidget*> opened;
    for (const TooLarge& row : rows) {
        SCOPED_TRACE(row.window + " " + row.box);
        WindowDriver& driver = windows[row.window];
        if (!opened.count(row.window)) {
            opened[row.window] = driver.open();
            ASSERT_NE(opened[row.window], nullptr);
        }
        QLineEdit* box = BoxOf(opened[row.window], row.box);
        ASSERT_NE(box, nullptr);
        const std::string kept = stored(row.window);
        driver.begin(box);
        const QString before = box->text();
        const std::size_t shown = messages->shown.size();
        box->selectAll();
        Type(box, QString::fromStdString(typed));
        ASSERT_EQ(box->text().toStdString(), typed) << "the box takes every digit";
        driver.commit(box);
        Pump();
        ASSERT_EQ(messages->shown.size(), shown + 1);
        EXPECT_EQ(messages->shown.back().text, row.message);
        EXPECT_EQ(stored(row.window), kept);
        // The box holds what it held again, so that the next row's message is its own.
        if (box->isVisible() && box->text() != before) {
            box->setText(before);
            driver.commit(box);
            Pump();
        }
        EXPECT_EQ(messages->shown.size(), shown + 1);
    }
}

} // namespace
} // namespace vexal::test
