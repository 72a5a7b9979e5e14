// Every box and grid cell of the program that takes a number, typed into as a user with a
// comma-decimal keyboard types: "1,5" is one and a half, shown and stored with ".", never
// fifteen; "1,5" pasted is refused with the numeric-box message and changes nothing.
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
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
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
    const char* shown;                     // after "1,5" is typed
    int messages;                          // numeric-box messages while typing
    std::function<double()> stored;        // what the window stored once the box was left
    double expected;
};

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
};

TEST_F(NumberEntry, ACommaTypedIsTheDecimalPointAndAPastedOneIsRefused)
{
    int linesColumn = 2;
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
                            g->SetSelection(1, linesColumn);
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

    std::vector<NumberBox> boxes;
    // Input Stats: the line and the total keep 1.5; a count is rounded, halves to even.
    for (int i = 1; i < GameTextCount; ++i)
        boxes.push_back({"FORM2", "txtData_" + std::to_string(i), "1.5", 0, [this, i] { return GameField(i); },
                         i <= 2 ? 1.5 : 2});
    // Enter Lines: the spread and the total cell of the first game, in the user's line file.
    boxes.push_back({"lines", "Line", "1.5", 0, [this] { return LineFileValue(false); }, 1.5});
    boxes.push_back({"lines", "Total", "1.5", 0, [this] { return LineFileValue(true); }, 1.5});
    // The formula editor's value boxes, as the saved formula holds them.
    for (int i = 0; i < 9; ++i)
        boxes.push_back({"frmFormula", "txtFla_" + std::to_string(i), "1.5", 0, [this, i] { return SavedSlot(i); }, 1.5});
    // A box of whole numbers refuses the decimal point with the message; the user is told at
    // the comma, before the next digit.
    boxes.push_back({"frmFormula", "txtYears", "15", 1, [this] { return YearsToLoad(); }, 15});
    // Test Formula: the tested ranges and the save criteria, as a template keeps them.
    auto test = [&](const std::string& name, int field, bool whole) {
        boxes.push_back({"frmTest", name, whole ? "15" : "1.5", whole ? 1 : 0,
                         [this, field] { return TemplateField(field); }, whole ? 15 : 1.5});
    };
    test("txtrola_0", 0, true);
    test("txtrola_1", 1, true);
    for (int row = 1; row <= 9; ++row)
        if (row != 5 && row != 7) { // the complements are shown, not typed
            test("Text1_" + std::to_string(row), 1 + row, false);
            test("Text2_" + std::to_string(row), 10 + row, false);
        }
    test("txtUnitLower", 37, false);
    test("txtUnitUpper", 38, false);
    test("txtPercentLower", 39, false);
    test("txtPercentUpper", 40, false);
    test("txtMin", 45, true);
    // Its lists that are typed into: a line end is read as a number, a limited week is whole.
    auto listText = [](const char* name) {
        return FindWindow("frmTest")->findChild<QComboBox*>(name)->currentText().toStdString();
    };
    boxes.push_back({"frmTest", "cboLinesStart", "1.5", 0,
                     [&] { return static_cast<double>(LeadingNumber(listText("cboLinesStart"))); }, 1.5});
    boxes.push_back({"frmTest", "cboLimitEnd", "15", 1, [&] { return vb::Val(listText("cboLimitEnd")); }, 15});
    // Single Game: the prediction plays the line and the total as whole numbers, 1.5 as 2.
    for (const char* name : {"Text1", "Text2"})
        boxes.push_back({"Singleg", name, "1.5", 0,
                         [name] {
                             return static_cast<double>(predict::WholeNumber(
                                 FindWindow("Singleg")->findChild<QLineEdit*>(name)->text().toStdString()));
                         },
                         2});

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
        QLineEdit* box = nullptr;
        if (b.window == "lines") {
            linesColumn = b.box == "Line" ? 2 : 3;
            box = qobject_cast<LinesWindow*>(window)->editor();
        } else if (auto* list = window->findChild<QComboBox*>(QString::fromStdString(b.box))) {
            box = list->lineEdit();
        } else {
            box = window->findChild<QLineEdit*>(QString::fromStdString(b.box));
        }
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(box->isEnabled());

        // Typed.
        int before = NumberMessages();
        driver.begin(box);
        box->selectAll();
        Type(box, "1,5");
        EXPECT_EQ(box->text().toStdString(), b.shown);
        Pump();
        EXPECT_EQ(NumberMessages() - before, b.messages);
        driver.commit(box);
        Pump();
        EXPECT_DOUBLE_EQ(b.stored(), b.expected);

        // Pasted.
        const std::string kept = driver.kept();
        driver.begin(box);
        const QString shown = box->text();
        before = NumberMessages();
        QApplication::clipboard()->setText("1,5");
        box->selectAll();
        box->paste();
        EXPECT_EQ(box->text(), shown);
        Pump();
        EXPECT_EQ(NumberMessages() - before, 1);
        driver.commit(box);
        Pump();
        EXPECT_EQ(driver.kept(), kept);
    }
}

} // namespace
} // namespace vexal::test
