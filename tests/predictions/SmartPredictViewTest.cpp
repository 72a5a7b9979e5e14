// The "Smart Predict" command of the Predictions window, run headless on generated seasons.
#include "FormulaFile.h"
#include "FormulaTestWindow.h"
#include "Predict.h"
#include "ProgBar.h"
#include "PredictionsTestSupport.h"
#include "RecordFile.h"
#include "ProgramEngineHost.h"
#include "TSPredict.h"
#include "SmartPredict.h"
#include "Teams.h"
#include "WaitFor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <cerrno>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace vexal::test {
namespace {

class SmartPredictWindowTest : public PredictionsTest {
protected:
    std::set<std::string> SmartFiles() const
    {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
            if (entry.path().filename().string().ends_with(".FLA"))
                names.insert(entry.path().filename().string());
        return names;
    }
    std::set<std::string> ExpectedNames(int slot, bool totals) const
    {
        std::set<std::string> names;
        for (int g = 0; g < GamesOfWeek(slot); ++g) {
            const std::string home = TeamName(Season().Game(slot, g, gfHomeTeam), 0, 3);
            const std::string away = TeamName(Season().Game(slot, g, gfAwayTeam), 0, 3);
            names.insert(SmartFormulaFileName(Season().WeekItems[static_cast<std::size_t>(Season().WeekListIndex)],
                                              home, away, totals));
        }
        return names;
    }
    static std::string Read(const std::filesystem::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(SmartPredictWindowTest, SidesRunWritesOneFormulaPerGameAndRestoresTheEditorsFormula)
{
    ChooseWeek(3, 2024);
    PredictWindow& w = OpenPredictions();
    auto* button = Control<QPushButton>(&w, "cmdSmartPred");
    ASSERT_TRUE(button->isEnabled());
    Action(&w, "sFomulas")->setChecked(true);
    const int rows = w.grid()->Rows();
    ASSERT_GT(rows, 0);
    const Formula before = App().CurrentFormula;
    button->click();
    QCoreApplication::processEvents();

    EXPECT_EQ(w.grid()->Rows(), rows);
    EXPECT_FALSE(w.SmartRun);
    EXPECT_EQ(w.WeeklyStartGame, GamesOfWeek(CurrentSlot()) - 1);
    const std::set<std::string> expected = ExpectedNames(CurrentSlot(), false);
    EXPECT_EQ(SmartFiles(), expected);
    for (const std::string& name : expected) {
        const std::string text = Read(folder.Path() / name);
        ASSERT_TRUE(text.ends_with("\r\n")) << name;
        const std::vector<float> v = ParseFormulaFileNumbers(text);
        ASSERT_EQ(v.size(), 14u) << text;
        EXPECT_GE(v[0], 3);
        EXPECT_LE(v[0], 6);
        EXPECT_GE(v[1], 1);
        EXPECT_LE(v[1], 5);
        EXPECT_GE(v[6], 3);
        EXPECT_LE(v[6], 5);
        EXPECT_EQ(v[12], 0);   // the editor's no-line and power-rating boxes, clear here
        EXPECT_EQ(v[13], 0);
    }
    // The editor's formula is current again; the grid keeps the smart rows.
    EXPECT_EQ(App().CurrentFormula, before);
    EXPECT_TRUE(messages.shown.empty());

    // A file that cannot be written is named once, by the file and the cause the write met, the
    // older file stays whole, and the other games' files are written.
    const std::filesystem::path full = folder.Path() / *expected.begin();
    folder.Write(full.filename().string(), "the old formula");
    {
        WriteFault fault(4, full);
        button->click();
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, full.string() + " could not be written: " + ReasonOfError(ENOSPC) + ".");
    EXPECT_EQ(Read(full), "the old formula");
    EXPECT_EQ(SmartFiles(), expected);
}

TEST_F(SmartPredictWindowTest, WithoutSaveFormulasNoFileIsWritten)
{
    ChooseWeek(5, 2024);
    PredictWindow& w = OpenPredictions();
    Action(&w, "sFomulas")->setChecked(false);
    Control<QCheckBox>(&w, "chkOu")->click();
    QCoreApplication::processEvents();
    Control<QPushButton>(&w, "cmdSmartPred")->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(SmartFiles().empty());
    EXPECT_EQ(App().CurrentFormula[fsTotalsMode], 1);
}

TEST_F(SmartPredictWindowTest, TotalsWithPoolPicksFixTheDifferenceRange)
{
    ChooseWeek(6, 2024);
    PredictWindow& w = OpenPredictions();
    Action(&w, "sFomulas")->setChecked(true);
    Control<QCheckBox>(&w, "chkOu")->click();
    Control<QCheckBox>(&w, "chkPoolPicks")->click();
    QCoreApplication::processEvents();
    Control<QPushButton>(&w, "cmdSmartPred")->click();
    QCoreApplication::processEvents();
    const std::set<std::string> expected = ExpectedNames(CurrentSlot(), true);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(SmartFiles(), expected);
    for (const std::string& name : expected) {
        EXPECT_TRUE(name.ends_with("OU.FLA")) << name;
        const std::vector<float> v = ParseFormulaFileNumbers(Read(folder.Path() / name));
        ASSERT_EQ(v.size(), 14u);
        EXPECT_EQ(v[1], 0) << name;
        EXPECT_EQ(v[2], 99) << name;
        EXPECT_GE(v[6], 4);
        EXPECT_LE(v[6], 6);
    }
    EXPECT_FALSE(w.progBar()->isVisible());
}

TEST_F(SmartPredictWindowTest, EachRowKeepsThePredictionOfItsOwnFormula)
{
    ChooseWeek(4, 2024);
    PredictWindow& w = OpenPredictions();
    Action(&w, "sFomulas")->setChecked(true);
    // Predicted with the options the search ran with, power ratings and other factors too.
    LoadWindow("frmFormula")->findChild<QCheckBox*>("ChkPowerRating")->setChecked(true);
    Control<QCheckBox>(&w, "chkOtherFac")->setChecked(true);
    QCoreApplication::processEvents();
    Control<QPushButton>(&w, "cmdSmartPred")->click();
    QCoreApplication::processEvents();
    const int slot = CurrentSlot();
    const Formula editors = App().CurrentFormula;
    std::multiset<std::string> names;
    std::vector<std::string> order;
    for (int g = 0; g < GamesOfWeek(slot); ++g) {
        const std::string name = SmartFormulaFileName(
            Season().WeekItems[static_cast<std::size_t>(Season().WeekListIndex)],
            TeamName(Season().Game(slot, g, gfHomeTeam), 0, 3), TeamName(Season().Game(slot, g, gfAwayTeam), 0, 3),
            false);
        names.insert(name);
        order.push_back(name);
    }
    int checked = 0;
    for (int g = 0; g < static_cast<int>(order.size()); ++g) {
        if (names.count(order[static_cast<std::size_t>(g)]) != 1)
            continue;   // a later game of the same name replaced the file
        Formula f{};
        ASSERT_TRUE(ReadFormulaFile(folder.Path() / order[static_cast<std::size_t>(g)], f));
        EXPECT_EQ(f[fsPowerRating], 1);
        f[fsCurrentWeek] = static_cast<float>(Season().WeekListIndex + 1);
        f[fsOtherFactors] = 1;   // the Predictions window's box, which the file does not hold
        ClearSmartFilters(f);
        TSPredict engine{ProgramEngineHost()};
        WeeklyTableArray table{};
        engine.Weekly = [&](WeeklyTableArray& t) { table = t; };
        App().CurrentFormula = f;
        App().StopTest = false;
        engine.TestFormulas({.Low = App().CurrentFormula, .High = App().CurrentFormula, .Filters = App().TestFilters});
        const auto& row = table[static_cast<std::size_t>(g)];
        EXPECT_EQ(Cell(*w.grid(), g + 1, predict::colHomePoints), vb::Format(CellNumber(row[2]), "0.0")) << g;
        EXPECT_EQ(Cell(*w.grid(), g + 1, predict::colAwayPoints), vb::Format(CellNumber(row[3]), "0.0")) << g;
        ++checked;
    }
    App().CurrentFormula = editors;
    EXPECT_GT(checked, 0);
}

// The smart predictions stay in the grid when the window is activated again (after the export
// opened the browser, say); the saved files are listed at once for the consensus set-up.
TEST_F(SmartPredictWindowTest, ResultsStayWhenTheWindowIsActivatedAgain)
{
    ChooseWeek(4, 2024);
    PredictWindow& w = OpenPredictions();
    Action(&w, "sFomulas")->setChecked(true);
    auto cells = [&w] {
        std::vector<std::string> all;
        for (int r = 1; r <= w.grid()->Rows(); ++r)
            for (int c : {predict::colPick, predict::colHomePoints, predict::colAwayPoints})
                all.push_back(Cell(*w.grid(), r, c));
        return all;
    };
    const auto plain = cells();
    Control<QPushButton>(&w, "cmdSmartPred")->click();
    QCoreApplication::processEvents();
    const auto smart = cells();
    ASSERT_NE(smart, plain);
    w.mnuExportHTML_Click();
    w.Form_Activate();
    EXPECT_EQ(cells(), smart);
    auto* programList = Control<QListWidget>(&w, "File2");
    for (const std::string& name : SmartFiles())
        EXPECT_EQ(programList->findItems(QString::fromStdString(name), Qt::MatchExactly).size(), 1) << name;
    // A refresh predicts the week with the editor's formula again.
    Control<QPushButton>(&w, "cmdpred")->click();
    EXPECT_EQ(cells(), plain);
}

// The exported page and the printout name what made the grid's numbers: the smart formulas
// after Smart Predict, the editor's formula again once the week is predicted with it.
TEST_F(SmartPredictWindowTest, ExportAndPrintoutNameTheSmartFormulas)
{
    ChooseWeek(4, 2024);
    PredictWindow& w = OpenPredictions();
    const std::string formula = w.FormulaName();
    ASSERT_FALSE(formula.empty());
    const std::filesystem::path page = App().UserFolder / "VexalPicks.htm";
    const auto pdf = folder / "picks.pdf";
    auto titles = [&] {
        w.mnuExportHTML_Click();
        PrintTo(pdf);
        w.mnuPrint_Click();
        return std::pair{Read(page), PdfText(pdf)};
    };
    Control<QPushButton>(&w, "cmdSmartPred")->click();
    QCoreApplication::processEvents();
    auto [html, printed] = titles();
    EXPECT_NE(html.find("Predictions using smart formulas, one for each game"), std::string::npos) << html;
    EXPECT_EQ(html.find(formula), std::string::npos) << html;
    EXPECT_NE(printed.find("using smart formulas, one for each game"), std::string::npos) << printed;
    EXPECT_EQ(printed.find(formula), std::string::npos) << printed;

    Control<QPushButton>(&w, "cmdpred")->click();
    std::tie(html, printed) = titles();
    EXPECT_NE(html.find("Predictions using " + formula), std::string::npos) << html;
    EXPECT_NE(printed.find("using " + formula), std::string::npos) << printed;
}

TEST_F(SmartPredictWindowTest, ASavedSmartFormulaTestedAloneGivesTheResultOfItsSearch)
{
    ChooseWeek(6, 2024);
    PredictWindow& w = OpenPredictions();
    Action(&w, "sFomulas")->setChecked(true);
    // The search runs with power ratings and other factors: the formula keeps them.
    LoadWindow("frmFormula")->findChild<QCheckBox*>("ChkPowerRating")->setChecked(true);
    Control<QCheckBox>(&w, "chkOtherFac")->setChecked(true);
    QCoreApplication::processEvents();
    // Each game's search ends with Done, its best row final.
    std::map<int, TSPredict::FormulaRow> bests;
    TSPredict& engine = w.TSPredict1();
    auto done = engine.Done;
    engine.Done = [&] {
        if (w.SmartRun)
            bests[w.WeeklyStartGame] = engine.BestRow;
        if (done)
            done();
    };
    Control<QPushButton>(&w, "cmdSmartPred")->click();
    QCoreApplication::processEvents();
    ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;

    // A game whose file no later game replaced, with a search that graded games.
    const int slot = CurrentSlot();
    const std::string weekItem = Season().WeekItems[static_cast<std::size_t>(Season().WeekListIndex)];
    std::multiset<std::string> names;
    for (int g = 0; g < GamesOfWeek(slot); ++g)
        names.insert(SmartFormulaFileName(weekItem, TeamName(Season().Game(slot, g, gfHomeTeam), 0, 3),
                                          TeamName(Season().Game(slot, g, gfAwayTeam), 0, 3), false));
    int game = -1;
    std::string home, away, name;
    for (int g = 0; g < GamesOfWeek(slot) && game < 0; ++g) {
        home = TeamName(Season().Game(slot, g, gfHomeTeam), 0, 3);
        away = TeamName(Season().Game(slot, g, gfAwayTeam), 0, 3);
        name = SmartFormulaFileName(weekItem, home, away, false);
        const auto& row = bests[g];
        if (names.count(name) == 1 && row[rrWins] + row[rrLosses] > 0)
            game = g;
    }
    ASSERT_GE(game, 0);
    const TSPredict::FormulaRow best = bests[game];
    const std::vector<float> v = ParseFormulaFileNumbers(Read(folder.Path() / name));
    ASSERT_EQ(v.size(), 14u);
    EXPECT_EQ(v[7], best[rrRushing]);   // "% Rushing"
    EXPECT_EQ(v[8], best[rrPassing]);   // "% Passing"
    EXPECT_EQ(v[6], best[rrRollingWeeks]);
    EXPECT_EQ(v[13], 1);                // the power rating the search ran with

    // Opened in the editor and tested alone over the searched weeks and the game's two teams.
    QComboBox* list = LoadWindow("frmFormula")->findChild<QComboBox*>("Combo2");
    const int index = list->findText(QString::fromStdString(name));
    ASSERT_GE(index, 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
    QCoreApplication::processEvents();
    RegisterFormulaTestWindow();
    auto* test = qobject_cast<FormulaTestWindow*>(ShowWindow("frmTest"));
    ASSERT_NE(test, nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Control<QCheckBox>(test, "chkUsePowerRatings")->isChecked());
    const auto [first, last] = SmartWeekWindow(false, slot + 1);
    Control<QComboBox>(test, "CboStartWeek")->setCurrentIndex(first - 1);
    Control<QComboBox>(test, "CboEndWeek")->setCurrentIndex(last - 1);
    Control<QCheckBox>(test, "chkSingle")->setChecked(true);
    for (const auto& [box, team] : {std::pair{"Combo1", home}, std::pair{"Combo2", away}}) {
        QComboBox* teams = Control<QComboBox>(test, box);
        teams->setCurrentIndex(teams->findText(QString::fromStdString(team)));
        ASSERT_EQ(teams->currentText().toStdString(), team);
    }
    Control<QPushButton>(test, "cmdOtherFac")->setChecked(true);
    Control<QPushButton>(test, "cmdStart")->click();
    ASSERT_TRUE(WaitFor([&] { return !test->Armed() && !test->Running(); }));
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
    const std::string record = vb::CStrSingle(best[rrWins]) + "-" + vb::CStrSingle(best[rrLosses]) + "-" +
                               vb::CStrSingle(best[rrTies]);
    EXPECT_EQ(Control<QLineEdit>(test, "best_9")->text().toStdString(), record);
    EXPECT_EQ(Control<QLineEdit>(test, "best_11")->text().toStdString(), vb::FormatSingle(best[rrUnits], "0.0"));
    EXPECT_EQ(Control<QLineEdit>(test, "best_5")->text().toStdString(), vb::CStrSingle(best[rrRushing]));
    UnloadWindow("frmTest");
}

} // namespace
} // namespace vexal::test
