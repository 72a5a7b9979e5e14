// The smart prediction run of the Predictions window: the run itself (SmartPredict.h) searches
// each game's formula and predicts the week with it; the window shows the progress, lists the
// saved smart formulas and keeps the grid's rows afterwards.
#include "SmartPredictView.h"

#include "AppState.h"
#include "CMouse.h"
#include "FormulaEditorValues.h"
#include "GameRecord.h"
#include "Grid.h"
#include "Host.h"
#include "MsgBox.h"
#include "PredictWindow.h"
#include "ProgBar.h"
#include "SeasonData.h"
#include "SmartPredict.h"
#include "Steps.h"
#include "VbConvert.h"
#include "Windows.h"

#include <QApplication>

namespace vexal {

namespace {

SmartBoxes BoxesOf(const PredictWindow& window)
{
    SmartBoxes boxes;
    boxes.poolPicks = static_cast<float>(window.PoolPicksBox());
    boxes.totalsMode = static_cast<float>(window.TotalsBox());
    boxes.otherFactors = static_cast<float>(window.OtherFactorsBox());
    const FormulaControls controls = EditorControls();
    boxes.separateHomeAway = static_cast<float>(controls.switches[fsSeparateHomeAway].value_or(0));
    boxes.discardHighLow = static_cast<float>(controls.switches[fsDiscardHighLow].value_or(0));
    boxes.powerRating = static_cast<float>(controls.switches[fsPowerRating].value_or(0));
    boxes.noLine = static_cast<float>(controls.switches[fsNoLine].value_or(0));
    return boxes;
}

void SmartPredict(PredictWindow& window, bool totals)
{
    if (window.Running() || IsBusy() || window.SmartRun)
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const SeasonData& season = Season();

    SmartRunInput input;
    input.totals = totals;
    input.week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    input.boxes = BoxesOf(window);
    input.weekItem = window.WeekText();
    input.weekListIndex = season.WeekListIndex;
    input.seasonFile = ProgramFile(SeasonFileName(season.WeekSeason));
    input.programFolder = ProgramFolder();

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

    SmartRunHooks hooks;
    hooks.gridRows = [grid] { return grid->Rows(); };
    hooks.searched = [bar](double p) {
        if (!bar)
            return;
        bar->SetValue(static_cast<int32_t>(vb::RoundHalfEven(p)));
        bar->SetCaption(QString::fromStdString("Calculating Smart Predictions...." + vb::Format(p, "0.0") + "%"));
    };
    hooks.saveFormulas = [&window] { return window.SaveFormulasChecked(); };
    hooks.saved = [&window](const std::string& name) {
        window.RefreshFileLists();
        AddEditorFormulaName(name);
    };
    RunSmartPredictions(window.TSPredict1(), input,
                        SmartRunState{window.SmartRun, window.WeeklyStartGame, window.SmartFormulaName}, hooks);

    ReportStep([] { ReadFormula(); }, AppTitle);
    if (bar)
        bar->setVisible(false);
    if (window.PoolPicksBox() == 1)
        ReportStep([&] { window.CalcPoolPicks(); }, AppTitle);
    grid->SetRedraw(true);
    window.KeepSmartResults();
}

} // namespace

void SmartPredictSides(PredictWindow& window) { SmartPredict(window, false); }
void SmartPredictTotals(PredictWindow& window) { SmartPredict(window, true); }

void cmdSmartPred_Click(PredictWindow& window)
{
    if (window.TotalsBox() == 1)
        SmartPredictTotals(window);
    else
        SmartPredictSides(window);
}

} // namespace vexal
