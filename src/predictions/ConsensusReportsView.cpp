// The Predictions window's consensus passes: every formula file of the current consensus set is
// run through the window's engine, over the current week (its picks become a row of the
// consensus page) or back-tested over the season up to it (the all-formula page).
#include "ConsensusReportsView.h"

#include "AppState.h"
#include "CMouse.h"
#include "ConsensusReports.h"
#include "FormulaFile.h"
#include "Host.h"
#include "PredictWindow.h"
#include "SeasonData.h"
#include "SharedProcs.h"
#include "TSPredict.h"
#include "VbConvert.h"
#include "Windows.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMdiSubWindow>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <span>

namespace vexal {

namespace {

int CheckOf(const QWidget* owner, const char* name)
{
    const auto* box = owner ? owner->findChild<QCheckBox*>(name) : nullptr;
    if (!box)
        return 0;
    return box->checkState() == Qt::Checked ? 1 : (box->checkState() == Qt::PartiallyChecked ? 2 : 0);
}

void HideFormulaEditor()
{
    if (QWidget* editor = FindWindow("frmFormula")) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(editor->parentWidget()))
            sub->hide();
        else
            editor->hide();
    }
}

template <class F>
void Quiet(F&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

std::vector<std::string> ConsensusFileNames(PredictWindow& window)
{
    std::vector<std::string> names;
    if (auto* list = window.findChild<QListWidget*>("File1"))
        for (int i = 0; i < list->count(); ++i)
            names.push_back(list->item(i)->text().toStdString());
    return names;
}

int ReportCheckValue(const QWidget* owner, const char* name) { return CheckOf(owner, name); }

void HideFormulaEditorWindow() { HideFormulaEditor(); }

void PrepareReportFormula(PredictWindow& window, const std::string& fileName, int week, bool clear)
{
    Formula& formula = App().CurrentFormula;
    if (clear) {
        formula.fill(0);
        formula[fsCurrentWeek] = static_cast<float>(week);
        formula[fsTotalsMode] = static_cast<float>(CheckOf(&window, "chkOu"));
        formula[fsSeasonToDate] = static_cast<float>(CheckOf(FindWindow("frmFormula"), "STD"));
        formula[fsOtherFactors] = static_cast<float>(CheckOf(&window, "chkOtherFac"));
    }
    // A file that cannot be read still gets its row, from the formula prepared so far; a short
    // file leaves the slots it does not hold as they are.
    std::ifstream in(ProgramFolder() / fileName, std::ios::binary);
    if (in) {
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::vector<float> numbers = ParseFormulaFileNumbers(text);
        const std::size_t count = std::min<std::size_t>(numbers.size(), FormulaFilePositions);
        for (std::size_t i = 0; i < count; ++i)
            formula[static_cast<std::size_t>(FormulaFileSlots[i])] = numbers[i];
    }
    if (formula[fsLineStart] == 0 && formula[fsLineEnd] == 0) {
        formula[fsLineStart] = 99;
        formula[fsLineEnd] = 99;
    }
}

void RunReportFormula(PredictWindow& window, bool& mode, std::span<float> high, bool showWeekly)
{
    AppState& app = App();
    mode = true;
    struct ModeEnd {
        bool& m;
        ~ModeEnd() { m = false; }
    } modeEnd{mode};
    app.StopTest = false;
    window.TSPredict1().TestFormulas(false, 0, 0, std::span<float>(app.CurrentFormula), high, false,
                                     std::span<const float>(app.TestFilters), showWeekly, 0, false);
}

void RunConsensusFormula(PredictWindow& window, const std::string& fileName, int week)
{
    PrepareReportFormula(window, fileName, week, true);
    window.ConsensusPicks.fill(std::string());
    RunReportFormula(window, window.ConsensusMode, std::span<float>(App().CurrentFormula), false);
}

void ViewConsensusHtml(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const bool totals = CheckOf(&window, "chkOu") == 1;
    const std::string weekText = window.WeekText();
    const std::filesystem::path report = app.UserFolder / (totals ? "OUConsensus.htm" : "Consensus.htm");
    ConsensusPage page(report, totals, weekText, ReportDate(), app.ThemePicture, ReadReportWeek(week - 1, totals));
    for (const std::string& name : ConsensusFileNames(window)) {
        Quiet([&] { RunConsensusFormula(window, name, week); });
        Quiet([&] { page.Row(ConsensusRowLabel(name), window.ConsensusPicks); });
    }
    Quiet([] { ReadFormula(); });
    Quiet([&] { page.Close(); });
    Quiet([] { HideFormulaEditorWindow(); });
    Quiet([&] { ShellOpen(report.string(), 4); });
}

} // namespace vexal

namespace vexal {

void ViewAllConsensusHtml(PredictWindow& window)
{
    if (window.Running() || IsBusy())
        return;
    BusyScope busy;
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    AppState& app = App();
    const int week = static_cast<int>(app.CurrentFormula[fsCurrentWeek]);
    const bool totals = CheckOf(&window, "chkOu") == 1;
    const std::filesystem::path report = app.UserFolder / (totals ? "AllOUConsensus.htm" : "AllConsensus.htm");
    std::optional<AllConsensusPage> page;
    Quiet([&] { page.emplace(report, totals, window.WeekText(), ReportDate(), app.ThemePicture); });

    // The run's last progress carries the weekly breakdown of the formula: its rows go into the page.
    TSPredict& engine = window.TSPredict1();
    auto previous = engine.Progress;
    struct Restore {
        TSPredict& e;
        decltype(engine.Progress) p;
        ~Restore() { e.Progress = std::move(p); }
    } restore{engine, previous};
    engine.Progress = [&](TSPredict::FormulaRow&, TSPredict::FormulaRow&, std::string& percent, std::string& message) {
        if (vb::Val(percent) >= 100 && !window.SmartRun && !message.empty() && page)
            Quiet([&] { page->Breakdown(message); });
    };

    // The season of the kept week: its first week counted from 1.
    const auto& firstWeeks = Season().SeasonFirstWeek;
    float seasonStart = 0;
    for (std::size_t k = 0; k < firstWeeks.size(); ++k) {
        seasonStart = static_cast<float>(firstWeeks[k]);
        if (firstWeeks[k] < week)
            break;
    }
    for (const std::string& name : ConsensusFileNames(window)) {
        Quiet([&] {
            PrepareReportFormula(window, name, week, true);
            if (page)
                page->BeginBlock(ConsensusRowLabel(name), app.CurrentFormula);
            for (std::size_t i = 0; i < app.SavedFormula.size(); ++i)
                app.SavedFormula[i] = app.CurrentFormula[i];
            app.SavedFormula[fsCurrentWeek] = static_cast<float>(week);
            app.CurrentFormula[fsCurrentWeek] = seasonStart + 1.000001f;
            RunReportFormula(window, window.ConsensusMode, std::span<float>(app.SavedFormula), true);
        });
        if (page)
            Quiet([&] { page->EndBlock(); });
    }
    if (page)
        Quiet([&] { page->Close(); });
    Quiet([] { ReadFormula(); });
    Quiet([] { HideFormulaEditorWindow(); });
    Quiet([&] { ShellOpen(report.string(), -1); });
}

} // namespace vexal
