#include "ConsensusReports.h"

#include "Clock.h"
#include "FlagScope.h"
#include "FormulaFile.h"
#include "SeasonData.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vexal {

namespace {

std::string Abbrev(int code)
{
    try {
        return TeamAbbrev3(code, 0, 0);
    } catch (const VbError&) {
        return std::string();
    }
}

} // namespace

ReportWeek ReadReportWeek(int weekSlot, bool totals)
{
    ReportWeek week;
    const SeasonData& season = Season();
    if (weekSlot < 0)
        return week;
    const std::size_t gamesEnd = static_cast<std::size_t>(weekSlot + 1) * WeekSlotStride;
    const std::size_t linesEnd = static_cast<std::size_t>(weekSlot) * LineSlotStride + ReportGameSlots * LinesPerGame;
    if (gamesEnd > season.SeasonGames.size() || linesEnd > season.SeasonLines.size())
        return week;
    bool stopped = false;
    for (int g = 0; g < ReportGameSlots; ++g) {
        const int away = season.Game(weekSlot, g, gfAwayTeam);
        const int home = season.Game(weekSlot, g, gfHomeTeam);
        week.hasGame[static_cast<std::size_t>(g)] = away != home;
        if (away == home)
            stopped = true;
        if (stopped)
            continue;
        const std::size_t line = static_cast<std::size_t>(weekSlot) * LineSlotStride + static_cast<std::size_t>(g) * LinesPerGame;
        week.header.push_back({Abbrev(away), Abbrev(home), season.SeasonLines[line + (totals ? 1 : 0)]});
    }
    return week;
}

std::string ConsensusRowLabel(std::string_view fileName)
{
    return std::string(fileName.substr(0, fileName.find('.')));
}

std::string ReportNumberText(float value) { return vb::Trim(vb::StrSingle(value)); }

std::string ReportDate() { return TodayDateText(); }

bool PrepareReportFormula(Formula& formula, const std::filesystem::path& file, const std::string& listedName,
                          const ReportBoxes& boxes, ListedFormulaProblems& problems)
{
    formula.fill(0);
    formula[fsCurrentWeek] = static_cast<float>(boxes.week);
    formula[fsTotalsMode] = boxes.totalsMode;
    formula[fsSeasonToDate] = boxes.seasonToDate;
    formula[fsOtherFactors] = boxes.otherFactors;
    return ReadListedFormula(file, listedName, formula, problems);
}

void RunReportFormula(TSPredict& engine, Formula& formula, std::span<float> high, bool playedGamesOnly,
                      std::span<const float> filters, bool showWeekly, bool& mode)
{
    const FlagScope modeEnd(mode);
    App().StopTest = false;
    TestRequest request;
    request.Low = formula;
    request.High = high;
    request.PlayedGamesOnly = playedGamesOnly;
    request.Filters = filters;
    request.ShowWeekly = showWeekly;
    engine.TestFormulas(request);
}

float AllConsensusStartWeek(std::span<const int16_t> firstWeeks, int week)
{
    float start = 0;
    for (const int16_t first : firstWeeks) {
        start = static_cast<float>(first);
        if (first < week)
            break;
    }
    return start + 1.000001f;
}

ConsensusPrintout ConsensusPrintHeader(bool totals, std::string_view weekText, std::string_view date,
                                       const ReportWeek& week)
{
    ConsensusPrintout out;
    out.heading = std::string("Vexal ") + (totals ? "Totals" : "Sides") + " Consensus Report for " +
                  std::string(weekText) + " - Printed:" + std::string(date);
    for (const ReportGame& game : week.header) {
        out.away.push_back(game.away);
        out.home.push_back("@" + game.home);
        out.numbers.push_back(ReportNumberText(game.number));
    }
    return out;
}

ConsensusPage::ConsensusPage(const std::filesystem::path& path, bool totals, std::string_view weekText,
                             std::string_view date, const std::string& themePicture, const ReportWeek& week)
    : week_(week)
{
    const std::string heading = std::string("<Big>Vexal ") + (totals ? "Totals" : "Sides") + " Consensus Report for " +
                                HtmlEscape(weekText) + " - " + HtmlEscape(date) + "</Big>";
    html_.BPic(themePicture);
    html_.OpenFile(path);
    html_.OpenGrid(true, 0);
    html_.BColor("#99FFFF");
    html_.CellString(1, 1, 1, 1, 0, heading, true);
    html_.CloseGrid();
    html_.AddBreak();
    html_.BColor("#DDDDDD");
    html_.OpenGrid(true, 0);
    html_.CellString(1, 1, 1, 1, 30, " ");
    for (const ReportGame& game : week_.header)
        html_.CellString(1, 0, 1, 1, 30, game.away + " @ " + game.home + "  " + ReportNumberText(game.number));
    html_.CloseRow();
    html_.BColor("#FFFFDD");
}

void ConsensusPage::Row(std::string_view label, const std::array<std::string, WeeklyRows>& picks)
{
    html_.CellString(1, 1, 1, 1, 30, label);
    for (int g = 0; g < ReportGameSlots; ++g) {
        if (!week_.hasGame[static_cast<std::size_t>(g)])
            continue;
        const std::string& pick = picks[static_cast<std::size_t>(g)];
        html_.CellString(2, 0, 0, 1, 30, pick.empty() ? std::string("   ") : pick);
    }
    html_.CloseRow();
}

void ConsensusPage::Close()
{
    html_.CloseGrid();
    html_.CloseFile();
}

} // namespace vexal

namespace vexal {

std::string AllConsensusOptionsText(const Formula& f)
{
    auto whole = [&](int slot) { return static_cast<long>(f[static_cast<std::size_t>(slot)]); };
    if (whole(fsSeparateHomeAway) == 0 && whole(fsDiscardHighLow) == 0 && whole(fsOtherFactors) == 0 &&
        whole(fsPowerRating) == 0 && whole(fsNoLine) == 0)
        return std::string();
    std::string text = "Options: ";
    if (f[fsSeparateHomeAway] == 1) text += "Separate Home/Away  ";
    if (f[fsDiscardHighLow] == 1) text += "Discard High/Low  ";
    if (f[fsOtherFactors] == 1) text += "Include Other Factors  ";
    if (f[fsPowerRating] == 1) text += "Power Ratings  ";
    if (f[fsNoLine] == 1) text += "No Line  ";
    return text;
}

std::string AllConsensusOptimizedText(const Formula& f)
{
    auto whole = [&](int slot) { return static_cast<long>(f[static_cast<std::size_t>(slot)]); };
    if (whole(fsHomeOnly) == 0 && whole(fsAwayOnly) == 0 && whole(fsFavOrOver) == 0 && whole(fsDogOrUnder) == 0)
        return std::string();
    std::string text = "Optimized for: ";
    if (f[fsHomeOnly] == 1) text += "Home Games  ";
    if (f[fsAwayOnly] == 1) text += "Away Games  ";
    if (f[fsFavOrOver] == 1) text += "Favorites  ";
    if (f[fsDogOrUnder] == 1) text += "Underdogs  ";
    if (f[fsFavOrOver] == 10) text += "Overs  ";
    if (f[fsDogOrUnder] == 10) text += "Unders  ";
    return text;
}

AllConsensusPage::AllConsensusPage(const std::filesystem::path& path, bool totals, std::string_view weekText,
                                   std::string_view date, const std::string& themePicture)
{
    html_.BPic(themePicture);
    html_.OpenFile(path);
    html_.OpenGrid(true, 400);
    html_.BColor("#99FFFF");
    html_.CellString(1, 1, 1, 1, 400, std::string("Vexal All Consensus Report (") + (totals ? "Totals" : "Sides") +
                                          ") for " + std::string(weekText) + " - " + std::string(date));
    html_.CloseGrid();
    html_.AddBreak();
}

void AllConsensusPage::BeginBlock(std::string_view label, const Formula& f)
{
    html_.OpenGrid(true, 400);
    html_.BColor("#DDDDDD");
    html_.CellString(1, 1, 1, 1, 0, label);
    html_.CloseGrid();

    html_.OpenGrid(true, 400);
    const char* const heads[] = {"HFA", "Min.", "Max.", "Off.", "Def.", "Rush.", "Pass.", "T/O", "Mult.", "Roll."};
    for (int i = 0; i < 10; ++i)
        html_.CellString(1, i == 0 ? 1 : 0, 1, 2, 0, heads[i]);
    const int slots[] = {fsHomeField, fsMinDiff, fsMaxDiff, fsOffense, fsDefense, fsRushing, fsPassing, fsTurnovers,
                         fsMultiplier};
    for (int i = 0; i < 9; ++i)
        html_.CellString(1, i == 0 ? 1 : 0, 1, 2, 0, vb::CStrSingle(f[static_cast<std::size_t>(slots[i])]));
    html_.CellString(1, 0, 1, 2, 0,
                     f[fsRollingWeeks] == 0 ? std::string("STD") : vb::StrSingle(f[fsRollingWeeks]));
    html_.CloseGrid();

    html_.OpenGrid(true, 400);
    const std::string options = AllConsensusOptionsText(f);
    if (!options.empty())
        html_.CellString(1, 1, 1, 2, -1, options);
    const std::string optimized = AllConsensusOptimizedText(f);
    if (!optimized.empty())
        html_.CellString(1, 1, 1, 2, -1, optimized);
    html_.CloseGrid();

    html_.OpenGrid(true, 400);
    html_.CellString(1, 1, 1, 1, 0, "              ");
    html_.CellString(1, 0, 1, 1, 0, "Weekly Record");
    html_.CellString(1, 0, 1, 1, 0, "Season Record");
    html_.CloseGrid();

    html_.OpenGrid(true, 400);
    html_.BColor("#FFFFDD");
    html_.CellString(1, 1, 1, 2, 0, "Week");
    html_.CellString(1, 0, 1, 1, 0, "W-L-T");
    html_.CellString(1, 0, 1, 1, 0, "Win %");
    html_.CellString(1, 0, 1, 1, 0, "W-L-T");
    html_.CellString(1, 0, 1, 1, 0, "Win %");
}

namespace {

// Characters from (1-based) start, count of them, as Mid does.
std::string Mid(const std::string& s, std::size_t start, std::size_t count = std::string::npos)
{
    if (start - 1 >= s.size())
        return std::string();
    return s.substr(start - 1, count);
}

std::pair<std::string, std::string> SplitAtBlank(const std::string& part)
{
    const std::size_t blank = part.find(' ');
    if (blank == std::string::npos)
        return {vb::Trim(part), std::string()};
    return {vb::Trim(part.substr(0, blank)), vb::Trim(part.substr(blank))};
}

} // namespace

void AllConsensusPage::Breakdown(std::string message)
{
    for (std::size_t end = message.find("\r\n"); end != std::string::npos; end = message.find("\r\n")) {
        const std::string line = message.substr(0, end);
        message.erase(0, end + 2);
        if (vb::Val(line) == 0)
            continue;
        const auto [weekRecord, weekPct] = SplitAtBlank(vb::Trim(Mid(line, 12, 15)));
        const auto [seasonRecord, seasonPct] = SplitAtBlank(vb::Trim(Mid(line, 28)));
        html_.CellString(2, 1, 0, 2, 0, vb::Trim(Mid(line, 1, 11)));
        html_.CellString(2, 0, 0, 1, 0, weekRecord);
        html_.CellString(2, 0, 0, 1, 0, weekPct);
        html_.CellString(2, 0, 0, 1, 0, seasonRecord);
        html_.CellString(2, 0, 0, 1, 0, seasonPct);
    }
}

void AllConsensusPage::EndBlock()
{
    html_.CloseGrid();
    html_.AddBreak();
    html_.AddBreak();
}

void AllConsensusPage::Close() { html_.CloseFile(); }

} // namespace vexal
