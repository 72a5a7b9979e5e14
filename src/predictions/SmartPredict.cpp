#include "SmartPredict.h"

#include "FlagScope.h"
#include "FormulaFile.h"
#include "GameRecord.h"
#include "MsgBox.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "Steps.h"
#include "Teams.h"
#include "VbConvert.h"
#include "WeekRange.h"

#include <exception>
#include <span>
#include <stdexcept>

namespace vexal {

std::pair<int, int> SmartWeekWindow(bool totals, int week)
{
    const int span = totals ? 3 : 4;
    if (week >= span + 1)
        return {week - span, week - 1};
    if (week > 1)
        return {1, week - 1};
    return {week, week};
}

void SmartSearchRanges(bool totals, int week, const SmartBoxes& boxes, Formula& low, FormulaHighEnds& high)
{
    low.fill(0);
    high.fill(0);
    auto set = [&](int slot, float lo, float hi) {
        low[slot] = lo;
        high[slot] = hi;
    };
    const bool pool = boxes.poolPicks != 0;
    if (totals) {
        set(fsHomeField, 3, 5);
        set(fsMinDiff, pool ? 0 : 2, pool ? 0 : 4);
        set(fsMaxDiff, pool ? 99 : 4, pool ? 99 : 8);
        set(fsOffense, 40, 60);
        set(fsDefense, 60, 40);
        set(fsPassing, 60, 40);
        set(fsRushing, 40, 60);
        set(fsTurnovers, 6, 8);
        set(fsRollingWeeks, 4, 6);
    } else {
        set(fsHomeField, 3, 6);
        set(fsMinDiff, pool ? 0 : 1, pool ? 0 : 5);
        set(fsMaxDiff, pool ? 99 : 4, pool ? 99 : 10);
        set(fsOffense, 30, 70);
        set(fsDefense, 70, 30);
        set(fsPassing, 70, 30);
        set(fsRushing, 30, 70);
        set(fsTurnovers, 4, 7);
        set(fsRollingWeeks, 3, 5);
    }
    set(fsMultiplier, 0.8f, 1.2f);
    set(fsSeparateHomeAway, boxes.separateHomeAway, boxes.separateHomeAway);
    set(fsDiscardHighLow, boxes.discardHighLow, boxes.discardHighLow);
    set(fsSeasonToDate, 0, 0);
    const auto [first, last] = SmartWeekWindow(totals, week);
    set(fsCurrentWeek, static_cast<float>(first), static_cast<float>(last));
    set(fsTotalsMode, boxes.totalsMode, boxes.totalsMode);
    set(fsOtherFactors, boxes.otherFactors, boxes.otherFactors);
    set(fsPowerRating, boxes.powerRating, boxes.powerRating);
    set(fsNoLine, boxes.noLine, boxes.noLine);
    for (int slot = fsHomeOnly; slot <= fsDogOrUnder; ++slot)
        low[slot] = 0;
    low[fsLineStart] = 99;
    low[fsLineEnd] = 99;
}

namespace {

std::string RemoveAll(std::string text, std::string_view what)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at))
        text.erase(at, what.size());
    return text;
}

} // namespace

std::string SmartTeamPart(std::string_view displayName)
{
    return RemoveAll(RemoveAll(std::string(displayName), "."), " ").substr(0, 3);
}

std::string SmartFormulaFileName(std::string_view weekItem, std::string_view homeName, std::string_view awayName,
                                 bool totals)
{
    return RemoveAll(RemoveAll(std::string(weekItem), " of "), " ") + SmartTeamPart(homeName) +
           SmartTeamPart(awayName) + (totals ? "OU" : "") + std::string(SmartFormulaFileSuffix);
}

namespace {

// Slots 0 to 12 and 14 to 17 of the formula that won a search.
void TakeSearchResult(const ResultRow& best, const Formula& search, Formula& formula)
{
    for (int slot : {fsHomeField, fsMinDiff, fsMaxDiff, fsOffense, fsDefense, fsPassing, fsRushing, fsTurnovers,
                     fsMultiplier})
        formula[slot] = best[slot];   // the row's weights stand in the slots of their number
    formula[fsRollingWeeks] = best[rrRollingWeeks];
    for (int slot : {fsSeparateHomeAway, fsDiscardHighLow, fsSeasonToDate, fsTotalsMode, fsOtherFactors,
                     fsPowerRating, fsNoLine})
        formula[slot] = search[slot];
}

} // namespace

Formula SmartFormula(const ResultRow& best, const Formula& search)
{
    Formula formula = search;
    TakeSearchResult(best, search, formula);
    return formula;
}

void ApplySmartBest(const ResultRow& best, const Formula& search, int weekListIndex, Formula& formula)
{
    TakeSearchResult(best, search, formula);
    formula[fsCurrentWeek] = static_cast<float>(weekListIndex + 1);
}

void ClearSmartFilters(Formula& formula)
{
    for (int slot = fsHomeOnly; slot <= fsDogOrUnder; ++slot)
        formula[slot] = 0;
    formula[fsLineStart] = 99;
    formula[fsLineEnd] = 99;
}

namespace {

// The end of a game's search: the progress, the smart formula file when asked, and the formula
// that won the search made current for the prediction.
void SmartSearchEnded(const ResultRow& best, const SmartRunInput& input, const Formula& search,
                      SmartRunState& state, const SmartRunHooks& hooks)
{
    const int rows = hooks.gridRows ? hooks.gridRows() : 0;
    if (rows >= 1 && hooks.searched)
        hooks.searched((state.weeklyStartGame + 1) / static_cast<double>(rows) * 100.0);
    ReportStep([&] {
        if (!hooks.saveFormulas || !hooks.saveFormulas())
            return;
        const std::filesystem::path file = input.programFolder / state.smartFormulaName;
        if (std::string reason; !WriteFormulaFile(file, SmartFormula(best, search), reason, ShortFormulaFilePositions))
            throw std::runtime_error(WriteFailure(file, reason));
        if (hooks.saved)
            hooks.saved(state.smartFormulaName);
    }, AppTitle);
    ReportStep([&] { ApplySmartBest(best, search, input.weekListIndex, App().CurrentFormula); }, AppTitle);
}

} // namespace

void RunSmartPredictions(TSPredict& engine, const SmartRunInput& input, SmartRunState state,
                         const SmartRunHooks& hooks)
{
    AppState& app = App();
    std::vector<GameRecord> games;
    ReportStep([&] { games = ReadSeasonFile(input.seasonFile); }, AppTitle);
    Formula low{};
    FormulaHighEnds high{};
    SmartSearchRanges(input.totals, input.week, input.boxes, low, high);

    // The week's games in its season file, found by the week's number; a week not loaded has none.
    const std::optional<SeasonWeek> week = WeekOfSlot(input.week - 1);
    const int target = week ? week->week : 0;

    auto previous = engine.Progress;
    struct Restore {
        TSPredict& e;
        decltype(engine.Progress) p;
        ~Restore() { e.Progress = std::move(p); }
    } restore{engine, std::move(previous)};
    engine.Progress = [&](TSPredict::FormulaRow& best, TSPredict::FormulaRow&, std::string& percent, std::string&) {
        if (vb::Val(percent) >= 100 && state.smartRun)
            SmartSearchEnded(best, input, low, state, hooks);
    };

    int16_t game = 0;
    for (const GameRecord& record : games) {
        if (record.Week < target)
            continue;
        if (record.Week > target)
            break;
        ReportStep([&] {
            int16_t year = 0;
            const std::string home = TeamName(record.HomeTeam, year, 3);
            year = 0;
            const std::string away = TeamName(record.AwayTeam, year, 3);
            state.smartFormulaName = SmartFormulaFileName(input.weekItem, home, away, input.totals);
        }, AppTitle);
        if (input.totals)
            ClearSmartFilters(app.CurrentFormula);
        else
            app.CurrentFormula.fill(0);
        state.weeklyStartGame = game;
        uint8_t homeCode = record.HomeTeam;
        uint8_t awayCode = record.AwayTeam;
        ReportStep([&] {
            const FlagScope runEnd(state.smartRun);
            app.StopTest = false;
            TestRequest request;
            request.Low = low;
            request.High = high;
            request.PlayedGamesOnly = true;
            request.Filters = app.TestFilters;
            request.HomeTeam = homeCode;
            request.AwayTeam = awayCode;
            request.QuickMode = -1;
            engine.TestFormulas(request);
        }, AppTitle);
        ClearSmartFilters(app.CurrentFormula);
        ReportStep([&] {
            app.StopTest = false;
            TestRequest request;
            request.Low = app.CurrentFormula;
            request.High = app.CurrentFormula;
            request.Filters = app.TestFilters;
            engine.TestFormulas(request);
        }, AppTitle);
        ++game;
    }
    state.smartRun = false;
    app.CurrentFormula[fsTotalsMode] = input.boxes.totalsMode;
    app.CurrentFormula[fsOtherFactors] = input.boxes.otherFactors;
}

} // namespace vexal
