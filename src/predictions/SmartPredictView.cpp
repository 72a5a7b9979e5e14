// The smart prediction run of the Predictions window: for each game of the week the engine
// searches a formula over the recent weeks of its two teams, then the week is predicted with it
// and the game's row keeps that prediction.
#include "SmartPredictView.h"

#include "AppState.h"
#include "CMouse.h"
#include "ConsensusReportsView.h"
#include "FormulaFile.h"
#include "GameRecord.h"
#include "Grid.h"
#include "Host.h"
#include "MsgBox.h"
#include "PredictWindow.h"
#include "ProgBar.h"
#include "SeasonData.h"
#include "SmartPredict.h"
#include "Teams.h"
#include "VbConvert.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>

#include <cmath>
#include <exception>

namespace vexal {

namespace {

int EditorCheck(const char* name)
{
    QWidget* editor = FindWindow("frmFormula");
    if (!editor)
        editor = LoadWindow("frmFormula");
    return ReportCheckValue(editor, name);
}

template <class F>
void Reported(F&& step)
{
    try {
        step();
    } catch (const std::exception& e) {
        MsgBox(e.what());
    }
}

// The Progress handler while a game's search runs: the formula that won the search (the best
// row with the options the search ran with) becomes the current formula and, when asked, a
// smart formula file.
void SmartPredictReport(PredictWindow& window, const TSPredict::FormulaRow& best, const SmartLowEnds& search,
                        const std::string& percent)
{
    if (vb::Val(percent) < 100 || !window.SmartRun)
        return;
    AppState& app = App();
    Grid* grid = window.grid();
    if (grid && grid->Rows() >= 1) {
        const double p = (window.WeeklyStartGame + 1) / static_cast<double>(grid->Rows()) * 100.0;
        if (ProgBar* bar = window.progBar()) {
            bar->SetValue(static_cast<int32_t>(vb::RoundHalfEven(p)));
            bar->SetCaption(QString::fromStdString("Calculating Smart Predictions...." + vb::Format(p, "0.0") + "%"));
        }
    }
    const std::filesystem::path path = ProgramFolder() / window.SmartFormulaName;
    Reported([&] {
        auto* save = window.findChild<QAction*>("sFomulas");
        if (save && save->isChecked()) {
            const auto values = SmartFormulaValues(best, search);
            if (!WriteFormulaFileValues(path, values))
                throw std::runtime_error("Path/File access error");
            if (QWidget* editor = FindWindow("frmFormula"))
                if (auto* list = editor->findChild<QComboBox*>("Combo2"))
                    if (list->findText(QString::fromStdString(window.SmartFormulaName), Qt::MatchFixedString |
                                       Qt::MatchCaseSensitive) < 0)
                        list->addItem(QString::fromStdString(window.SmartFormulaName));
        }
    });
    Reported([&] { ApplySmartBest(best, search, Season().WeekListIndex, app.CurrentFormula); });
}

void SmartPredict(PredictWindow& window, bool totals)
{
    if (window.Running() || IsBusy() || window.SmartRun)
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    SeasonData& season = Season();

    std::vector<GameRecord> games;
    try {
        games = ReadSeasonFile(ProgramFile(std::to_string(season.WeekSeason) + ".nfl"));
    } catch (const std::exception&) {
    }

    SmartBoxes boxes;
    boxes.poolPicks = static_cast<float>(ReportCheckValue(&window, "chkPoolPicks"));
    boxes.totalsMode = static_cast<float>(ReportCheckValue(&window, "chkOu"));
    boxes.otherFactors = static_cast<float>(ReportCheckValue(&window, "chkOtherFac"));
    boxes.separateHomeAway = static_cast<float>(EditorCheck("SHA"));
    boxes.discardHighLow = static_cast<float>(EditorCheck("DHL"));
    boxes.powerRating = static_cast<float>(EditorCheck("ChkPowerRating"));
    boxes.noLine = static_cast<float>(EditorCheck("ChkNoLine"));
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    SmartLowEnds low{};
    SmartHighEnds high{};
    SmartSearchRanges(totals, week, boxes, low, high);

    Grid* grid = window.grid();
    ProgBar* bar = window.progBar();
    grid->SetRedraw(false);
    if (bar) {
        if (totals)
            bar->SetBarColor(app.ThemeForeColor);
        bar->SetValue(0);
        bar->setVisible(true);
        bar->SetCaption("Calculating Smart Predictions....Please be patient");
    }

    std::size_t k = 0;
    while (k < season.SeasonFirstWeek.size() && !(season.SeasonFirstWeek[k] < week))
        ++k;
    if (k == season.SeasonFirstWeek.size() && k > 0)
        k = season.SeasonFirstWeek.size() - 1;
    const int target = week - (season.SeasonFirstWeek.empty() ? 0 : season.SeasonFirstWeek[k]);
    const std::string weekItem = window.WeekText();

    TSPredict& engine = window.TSPredict1();
    auto previous = engine.Progress;
    struct Restore {
        TSPredict& e;
        decltype(engine.Progress) p;
        ~Restore() { e.Progress = std::move(p); }
    } restore{engine, std::move(previous)};
    engine.Progress = [&window, &low](TSPredict::FormulaRow& best, TSPredict::FormulaRow&, std::string& percent,
                                      std::string&) { SmartPredictReport(window, best, low, percent); };

    int16_t game = 0;
    for (const GameRecord& record : games) {
        if (record.Week < target)
            continue;
        if (record.Week > target)
            break;
        Reported([&] {
            int16_t year = 0;
            const std::string home = TeamName(record.HomeTeam, year, 3);
            year = 0;
            const std::string away = TeamName(record.AwayTeam, year, 3);
            window.SmartFormulaName = SmartFormulaFileName(weekItem, home, away, totals);
        });
        if (totals)
            ClearSmartFilters(app.CurrentFormula);
        else
            app.CurrentFormula.fill(0);
        window.WeeklyStartGame = game;
        uint8_t homeCode = record.HomeTeam;
        uint8_t awayCode = record.AwayTeam;
        Reported([&] {
            window.SmartRun = true;
            struct RunEnd {
                bool& r;
                ~RunEnd() { r = false; }
            } runEnd{window.SmartRun};
            app.StopTest = false;
            engine.TestFormulas(false, homeCode, awayCode, std::span<float>(low), std::span<float>(high), false,
                                std::span<const float>(app.TestFilters), false, -1, false);
        });
        ClearSmartFilters(app.CurrentFormula);
        Reported([&] {
            app.StopTest = false;
            engine.TestFormulas(false, 0, 0, std::span<float>(app.CurrentFormula),
                                std::span<float>(app.CurrentFormula), false, std::span<const float>(app.TestFilters),
                                false, 0, false);
        });
        ++game;
    }
    window.SmartRun = false;
    app.CurrentFormula[fsTotalsMode] = static_cast<float>(ReportCheckValue(&window, "chkOu"));
    app.CurrentFormula[fsOtherFactors] = static_cast<float>(ReportCheckValue(&window, "chkOtherFac"));
    Reported([] { ReadFormula(); });
    if (bar)
        bar->setVisible(false);
    if (ReportCheckValue(&window, "chkPoolPicks") == 1)
        Reported([&] { window.CalcPoolPicks(); });
    grid->SetRedraw(true);
}

} // namespace

void SmartPredictSides(PredictWindow& window) { SmartPredict(window, false); }
void SmartPredictTotals(PredictWindow& window) { SmartPredict(window, true); }

void cmdSmartPred_Click(PredictWindow& window)
{
    if (ReportCheckValue(&window, "chkOu") == 1)
        SmartPredictTotals(window);
    else
        SmartPredictSides(window);
    QApplication::processEvents();
}

} // namespace vexal
