#include "SmartPredict.h"

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

void SmartSearchRanges(bool totals, int week, const SmartBoxes& boxes, SmartLowEnds& low, SmartHighEnds& high)
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
           SmartTeamPart(awayName) + (totals ? "OU.FLA" : ".FLA");
}

std::array<float, 14> SmartFormulaValues(const ResultRow& best, const SmartLowEnds& search)
{
    return {best[rrHomeField],     best[rrMinDiff],   best[rrMaxDiff],
            best[rrMultiplier],    best[rrOffense],   best[rrDefense],
            best[rrRollingWeeks],  best[rrRushing],   best[rrPassing],
            search[fsSeparateHomeAway], best[rrTurnovers], search[fsDiscardHighLow],
            search[fsNoLine],      search[fsPowerRating]};
}

void ApplySmartBest(const ResultRow& best, const SmartLowEnds& search, int weekListIndex, Formula& formula)
{
    for (int slot : {fsHomeField, fsMinDiff, fsMaxDiff, fsOffense, fsDefense, fsPassing, fsRushing, fsTurnovers,
                     fsMultiplier})
        formula[slot] = best[slot];   // the row's weights stand in the slots of their number
    formula[fsRollingWeeks] = best[rrRollingWeeks];
    for (int slot : {fsSeparateHomeAway, fsDiscardHighLow, fsSeasonToDate, fsTotalsMode, fsOtherFactors,
                     fsPowerRating, fsNoLine})
        formula[slot] = search[slot];
    formula[fsCurrentWeek] = static_cast<float>(weekListIndex + 1);
}

void ClearSmartFilters(Formula& formula)
{
    for (int slot = fsHomeOnly; slot <= fsDogOrUnder; ++slot)
        formula[slot] = 0;
    formula[fsLineStart] = 99;
    formula[fsLineEnd] = 99;
}

} // namespace vexal
