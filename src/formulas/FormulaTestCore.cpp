#include "FormulaTestCore.h"

#include "CurrentFormula.h"
#include "FormulaFile.h"
#include "Host.h"
#include "RecordFile.h"
#include "Steps.h"
#include "TextDamage.h"
#include "TSPredict.h"
#include "VbConvert.h"
#include "VbError.h"
#include "Win1252.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace vexal::formulatest {

namespace {

bool HoldsAbs(std::string_view text) { return text.find("ABS") != std::string_view::npos; }

std::string WithoutAbs(std::string_view text)
{
    std::string s(text);
    for (auto at = s.find("ABS"); at != std::string::npos; at = s.find("ABS"))
        s.erase(at, 3);
    return s;
}

float Lenient(std::string_view text) { return LeadingNumber(text); }

// A Single as its general text: no trailing zeros (2.5, -3, 45).
std::string General(float v) { return vb::CStrSingle(v); }

} // namespace

std::array<float, 2> LaunchLineRange(int chkLines, std::string_view start, std::string_view end)
{
    if (chkLines != Checked)
        return {LineRangeOff, LineRangeOff};
    if (HoldsAbs(start) || HoldsAbs(end)) {
        const auto a = StrictNumber(WithoutAbs(start));
        const auto b = StrictNumber(WithoutAbs(end));
        if (!a || !b)
            throw VbError::Of(13);
        return {LineRangeAbsolute + std::fabs(*a), LineRangeAbsolute + std::fabs(*b)};
    }
    const auto a = StrictNumber(start);
    const auto b = StrictNumber(end);
    if (a && b && *a == 0.0f && *b == 0.0f)
        return {LineRangeAbsolute, LineRangeAbsolute};
    return {Lenient(start), Lenient(end)};
}

std::optional<std::array<float, 2>> SavedLineRange(int chkLines, std::string_view start, std::string_view end)
{
    if (chkLines != Checked)
        return std::array<float, 2>{LineRangeOff, LineRangeOff};
    if (HoldsAbs(start) || HoldsAbs(end)) {
        const auto a = StrictNumber(WithoutAbs(start));
        const auto b = StrictNumber(WithoutAbs(end));
        if (!a || !b)
            return std::nullopt;
        return std::array<float, 2>{LineRangeAbsolute + std::fabs(*a), LineRangeAbsolute + std::fabs(*b)};
    }
    if (start == "0" && end == "0")
        return std::array<float, 2>{LineRangeAbsolute, LineRangeAbsolute};
    return std::array<float, 2>{Lenient(start), Lenient(end)};
}

bool ApplyLaunchSettings(const LaunchSettings& s, Formula& low, FormulaHighArray& high, FilterArray& filters,
                         const StepRunner& run)
{
    auto step = [&run](int line, const std::function<void()>& body) {
        if (run)
            return run(line, body);
        body();
        return true;
    };
    const float lastWeekMark = 0.0000001f;
    auto endWeek = [&] { return static_cast<float>(s.EndWeekIndex + 1) + lastWeekMark; };

    // The weeks and the two mode switches first, then the ranges (rows 6 and 7 of the
    // window feed slots 6 and 5), as the window's rows run.
    if (!step(3, [&] {
            low[fsCurrentWeek] = static_cast<float>(s.StartWeekIndex + 1);
            high[fsCurrentWeek] = endWeek();
            low[fsOtherFactors] = static_cast<float>(s.OtherFactors);
            low[fsTotalsMode] = static_cast<float>(s.TotalsMode);
        }))
        return false;
    if (!step(4, [&] {
            for (int row = 1; row <= 9; ++row)
                low[static_cast<std::size_t>(RangeRowSlot[row])] = Lenient(s.Text1[static_cast<std::size_t>(row)]);
            low[fsCurrentWeek] = static_cast<float>(s.StartWeekIndex + 1);
            low[fsRollingWeeks] = Lenient(s.txtrola[0]);
            for (int row = 1; row <= 9; ++row)
                high[static_cast<std::size_t>(RangeRowSlot[row])] = Lenient(s.Text2[static_cast<std::size_t>(row)]);
            high[fsCurrentWeek] = endWeek();
            high[fsRollingWeeks] = Lenient(s.txtrola[1]);
        }))
        return false;
    if (!step(7, [&] {
            if (s.SaveFormulas == Checked) {
                filters[0] = Lenient(s.UnitLower);
                filters[1] = Lenient(s.UnitUpper);
                filters[2] = Lenient(s.PercentLower);
                filters[3] = Lenient(s.PercentUpper);
            }
            filters[4] = Lenient(s.Min);
        }))
        return false;
    if (!step(8, [&] {
            low[fsDiscardHighLow] = static_cast<float>(s.DiscardHighLow);
            low[fsSeparateHomeAway] = static_cast<float>(s.SeparateHomeAway);
            low[fsPowerRating] = static_cast<float>(s.UsePowerRatings);
            low[fsNoLine] = static_cast<float>(s.DontUseLine);
            low[fsHomeOnly] = static_cast<float>(s.Home);
            low[fsAwayOnly] = static_cast<float>(s.Away);
        }))
        return false;
    if (!step(9, [&] {
            if (s.LimitWeek != Checked)
                return;
            const float a = Lenient(s.LimitStart);
            const float b = Lenient(s.LimitEnd);
            // The lower week rides in slot 18's tens, the higher one in slot 19's.
            low[fsHomeOnly] += 10.0f * std::fmin(a, b);
            low[fsAwayOnly] += 10.0f * (a > b ? a : b);
        }))
        return false;
    if (!step(10, [&] {
            const float factor = s.TotalsMode == 0 ? 1.0f : 10.0f;
            low[fsFavOrOver] = factor * static_cast<float>(s.Fav);
            low[fsDogOrUnder] = factor * static_cast<float>(s.Dog);
        }))
        return false;
    return step(11, [&] {
        const auto codes = LaunchLineRange(s.Lines, s.LinesStart, s.LinesEnd);
        low[fsLineStart] = codes[0];
        low[fsLineEnd] = codes[1];
    });
}

std::array<std::string, RowBoxes> RowTexts(const ResultRow& row)
{
    std::array<std::string, RowBoxes> t;
    for (const RowWeightBox& b : RowWeightBoxes)
        t[static_cast<std::size_t>(b.box)] = General(row[static_cast<std::size_t>(b.element)]);
    t[rbRecord] = General(row[rrWins]) + "-" + General(row[rrLosses]) + "-" + General(row[rrTies]);
    t[rbWinPercent] = vb::FormatSingle(row[rrWinPercent], "0.0") + "%";
    t[rbUnits] = vb::FormatSingle(row[rrUnits], "0.0");
    return t;
}

ProgressView TestProgress(const std::string& percentDone, bool stopPending, float usePowerRating)
{
    ProgressView v;
    if (stopPending) {
        v.caption = "Please wait while I stop the test";
        return v;
    }
    std::string percent = percentDone;
    double value = vb::Val(percent);
    if (value > 100) {
        percent = "100";
        value = 100;
    }
    v.value = static_cast<int>(vb::RoundHalfEven(std::fmax(value, 0.0)));
    v.caption = percent + (usePowerRating == 1.0f ? "% Complete. Please be patient with power ratings on" : "% Complete");
    return v;
}

ProgressView AllFormulaProgress(int reported, int formulas)
{
    ProgressView v;
    if (formulas <= 0)
        return v;
    const double p = static_cast<double>(std::min(reported, formulas)) / formulas * 100.0;
    v.caption = "Progress " + vb::Format(p, "0.0") + "% Completed";
    v.value = static_cast<int>(vb::RoundHalfEven(p));
    return v;
}

BreakdownPieces SplitBreakdown(const std::string& text)
{
    BreakdownPieces pieces;
    // Each cut is made before the CR LF; what follows starts with its line feed.
    auto cut = [](const std::string& s, std::string& piece) -> std::string {
        const auto at = s.find("\r\n");
        if (at == std::string::npos) {
            piece = s;
            return std::string();
        }
        piece = s.substr(0, at);
        return s.substr(at + 1);
    };
    std::string rest = cut(text, pieces.first);
    pieces.rest = cut(rest, pieces.second);
    return pieces;
}

std::string LinkAt(std::string_view text, std::size_t at)
{
    auto bounds = [](char c) {
        return static_cast<unsigned char>(c) <= ' ' || std::string_view("<>\"'()[]{}").find(c) != std::string_view::npos;
    };
    if (at >= text.size() || bounds(text[at]))
        return std::string();
    std::size_t from = at;
    while (from > 0 && !bounds(text[from - 1]))
        --from;
    std::size_t to = at + 1;
    while (to < text.size() && !bounds(text[to]))
        ++to;
    // A sentence's closing mark after an address is no part of it.
    while (to > from && std::string_view(".,;:!?").find(text[to - 1]) != std::string_view::npos)
        --to;
    if (at >= to)
        return std::string();
    const std::string word(text.substr(from, to - from));
    const std::string lower = vb::LCase(word);
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"}) {
        const std::string_view s(scheme);
        if (lower.size() > s.size() && lower.compare(0, s.size(), s) == 0)
            return word;
    }
    if (lower.size() > 4 && lower.compare(0, 4, "www.") == 0)
        return "http://" + word;
    return std::string();
}

std::string TemplateLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            line += ',';
        line += fields[i];
    }
    return line + "\r\n";
}

std::vector<std::string> TemplatePieces(std::string_view fileText)
{
    fileText = WithoutUtf8Mark(fileText);
    std::string_view line = fileText.substr(0, fileText.find_first_of("\r\n"));
    const std::string trimmed = vb::Trim(line);
    std::vector<std::string> pieces;
    if (trimmed.empty())
        return pieces;
    std::size_t from = 0;
    while (true) {
        const auto comma = trimmed.find(',', from);
        pieces.push_back(trimmed.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
        if (comma == std::string::npos)
            break;
        from = comma + 1;
    }
    return pieces;
}

std::string TemplateTextDamage(std::string_view fileText)
{
    if (std::string damage = TextByteDamage(fileText, "template"); !damage.empty())
        return damage;
    // A line with no line break after it is how many editors save one, and nothing tells it
    // from a line cut there: it is read as it stands.
    if (fileText.empty())
        return "it is empty";
    return {};
}

std::string TemplatePath(const std::string& chosen)
{
    if (vb::LCase(vb::Right(chosen, 3)) == "ftp")
        return chosen;
    return chosen + ".ftp";
}

std::optional<int> TemplateWhole(std::string_view piece)
{
    const auto v = StrictNumber(piece);
    if (!v || std::fabs(*v) > 32767.0f)
        return std::nullopt;
    return static_cast<int>(vb::RoundHalfEven(*v));
}

std::optional<bool> TemplateOption(std::string_view piece)
{
    const std::string t = vb::Trim(piece);
    if (vb::SameText(t, "True"))
        return true;
    if (vb::SameText(t, "False"))
        return false;
    if (const auto v = StrictNumber(t))
        return *v != 0.0f;
    return std::nullopt;
}

std::string AllFormulaTitle(bool totals, const std::string& weekText, const std::string& date)
{
    return std::string(totals ? "Vexal  All Formula Report (Totals) for " : "Vexal  All Formula Report (Sides) for ") +
           weekText + " - Printed:" + date;
}

std::string AllFormulaValues(const Formula& f)
{
    struct Column {
        int slot;
        std::size_t width;
    };
    static constexpr Column Columns[] = {{fsHomeField, 5}, {fsMinDiff, 6},  {fsMaxDiff, 6},    {fsOffense, 6},
                                         {fsDefense, 6},   {fsRushing, 7},  {fsPassing, 6},    {fsTurnovers, 6},
                                         {fsMultiplier, 7}};
    std::string line;
    for (const Column& c : Columns) {
        const std::string text = General(f[static_cast<std::size_t>(c.slot)]);
        line += text;
        // A value wider than its column is written as it is, one blank after it, so the
        // next value stays apart.
        line += std::string(text.size() < c.width ? c.width - text.size() : 1, ' ');
    }
    const float rolling = f[fsRollingWeeks];
    line += rolling == 0.0f ? std::string("STD") : General(rolling);
    return line;
}

std::string AllFormulaOptions(const Formula& f)
{
    auto on = [&f](int slot) { return vb::RoundHalfEven(f[static_cast<std::size_t>(slot)]); };
    if (on(fsSeparateHomeAway) == 0 && on(fsDiscardHighLow) == 0 && on(fsOtherFactors) == 0 &&
        on(fsPowerRating) == 0 && on(fsNoLine) == 0)
        return std::string();
    std::string line = "Options: ";
    if (f[fsSeparateHomeAway] == 1)
        line += "Separate Home/Away  ";
    if (f[fsDiscardHighLow] == 1)
        line += "Discard High/Low  ";
    if (f[fsOtherFactors] == 1)
        line += "Include Other Factors  ";
    if (f[fsPowerRating] == 1)
        line += "Power Ratings  ";
    if (f[fsNoLine] == 1)
        line += "No Line  ";
    return line;
}

std::string AllFormulaOptimized(const Formula& f)
{
    auto on = [&f](int slot) { return vb::RoundHalfEven(f[static_cast<std::size_t>(slot)]); };
    if (on(fsHomeOnly) == 0 && on(fsAwayOnly) == 0 && on(fsFavOrOver) == 0 && on(fsDogOrUnder) == 0)
        return std::string();
    std::string line = "Optimized for: ";
    if (f[fsHomeOnly] == 1)
        line += "Home Games  ";
    if (f[fsAwayOnly] == 1)
        line += "Away Games  ";
    if (f[fsFavOrOver] == 1)
        line += "Favorites  ";
    if (f[fsDogOrUnder] == 1)
        line += "Underdogs  ";
    if (f[fsFavOrOver] == 10)
        line += "Overs  ";
    if (f[fsDogOrUnder] == 10)
        line += "Unders  ";
    return line;
}

std::string AllFormulaName(const std::string& fileName) { return fileName.substr(0, fileName.find('.')); }

AllFormulaRun::AllFormulaRun(AllFormulaSettings settings) : settings_(std::move(settings)) {}

std::filesystem::path AllFormulaRun::ReportPath() const
{
    return settings_.folder / (settings_.totals ? "AllOUConsensus.txt" : "AllConsensus.txt");
}

void AllFormulaRun::Run(TSPredict& engine, Formula& f, FormulaHighArray& high, std::span<const float> filters,
                        const std::function<bool()>& stop)
{
    text_.clear();
    problems_ = {};
    reported_ = 0;
    Line(AllFormulaTitle(settings_.totals, settings_.weekText, settings_.date));
    Line("");
    for (const std::string& name : settings_.names) {
        if (stop && stop())
            break;
        f.fill(0.0f);
        f[fsTotalsMode] = settings_.totals ? 1.0f : 0.0f;
        f[fsSeasonToDate] = settings_.seasonToDate;
        f[fsOtherFactors] = settings_.otherFactors ? 1.0f : 0.0f;
        // A file that gives no formula has no block, named once when the run ends; the bar
        // counts it as done, so it still reaches the end with the last formula.
        if (!ReadListedFormula(ListedFile(settings_.folder, name), name, f, problems_)) {
            reported_ = std::min(reported_ + 1, static_cast<int>(settings_.names.size()));
            continue;
        }
        Line(AllFormulaName(name));
        Line(AllFormulaHeader);
        Line(AllFormulaValues(f));
        if (f[fsSeparateHomeAway] == -1)
            f[fsSeparateHomeAway] = 0;
        if (const std::string options = AllFormulaOptions(f); !options.empty())
            Line(options);
        if (const std::string optimized = AllFormulaOptimized(f); !optimized.empty())
            Line(optimized);
        for (std::size_t i = 0; i < high.size(); ++i)
            high[i] = f[i];
        f[fsCurrentWeek] = static_cast<float>(settings_.startWeekIndex + 1);
        high[fsCurrentWeek] = static_cast<float>(settings_.endWeekIndex + 1);
        if (settings_.limitWeek) {
            const float s = LeadingNumber(settings_.limitStart);
            const float e = LeadingNumber(settings_.limitEnd);
            f[fsHomeOnly] += 10.0f * (s > e ? e : s);
            f[fsAwayOnly] += 10.0f * (s > e ? s : e);
        }
        testing_ = true;
        SkipStep([&] {
            TestRequest request;
            request.Low = f;
            request.High = high;
            request.PlayedGamesOnly = true;
            request.Filters = filters;
            request.ShowWeekly = true;
            engine.TestFormulas(request);
        });
        testing_ = false;
    }
}

std::optional<ProgressView> AllFormulaRun::Result(const std::string& percentDone, const std::string& breakdown)
{
    if (vb::Val(percentDone) < 100 || breakdown.empty())
        return std::nullopt;
    Line(breakdown);
    // The bar counts every formula once its result is in, so it reaches 100 with the last.
    const int formulas = static_cast<int>(settings_.names.size());
    reported_ = std::min(reported_ + 1, formulas);
    return AllFormulaProgress(reported_, formulas);
}

std::string AllFormulaRun::DamagedMessage() const { return ListedFormulasMessage(problems_); }

bool AllFormulaRun::WriteReport(std::string& problem) const
{
    AtomicFileWrite file(ReportPath());
    if (file.Write(win1252::FromUtf8(text_)) && file.Commit())
        return true;
    problem = file.Describe();
    return false;
}

namespace {

const char* const SummaryLabels[9] = {
    "Minimum Point Differential - ", "Maximum Point Differential - ", "Home Field Advantage       - ",
    "Offensive Percentage       - ", "Defensive Percentage       - ", "Rushing Percentage         - ",
    "Passing Percentage         - ", "Turnover Value             - ", "Predicted Score Multiplier - "};

// The summary's texts, and where each column of the page starts in average characters.
struct SummaryLayout {
    static constexpr int RangeColumn = 31;
    static constexpr int WeeksHeadingColumn = 33;
    static constexpr int WeeksColumn = 39;

    std::string title, weeks, unitLine;
    std::array<std::string, 9> ranges;
    std::vector<std::string> breakdownLines;

    explicit SummaryLayout(const SummaryTexts& t)
        : title("Vexal Formulas for - " + std::to_string(t.seasonYear)),
          weeks("(for " + t.startWeek + " thru " + t.endWeek + ")")
    {
        for (std::size_t row = 1; row <= ranges.size(); ++row)
            ranges[row - 1] = SummaryLabels[row - 1] + t.low[row] + " To " + t.high[row];
        const std::string& units = t.best[rbUnits];
        unitLine = "The Unit Win would be      - " + (vb::IsNumeric(units) ? vb::Format(vb::Val(units), "0.0") : units);
        std::size_t from = 0;
        for (std::size_t at = t.breakdown.find('\n'); at != std::string::npos; at = t.breakdown.find('\n', from)) {
            breakdownLines.push_back(t.breakdown.substr(from, at - from));
            from = at + 1;
        }
        breakdownLines.push_back(t.breakdown.substr(from));
    }
};

std::string WorstLine(const SummaryTexts& t, int box)
{
    static const char* const Labels[3] = {"Win/Loss/Lie               - ", "Losing Percenatge          - ",
                                          "Units won betting against  - "};
    return Labels[box - rbRecord] + t.worst[static_cast<std::size_t>(box)];
}

} // namespace

double SummaryOverflow(const SummaryTexts& t, SummaryPage& page, double scale)
{
    const SummaryLayout layout(t);
    const double width = page.Width();
    double worst = 0;
    auto fits = [&](double start, const std::string& text, double limit) {
        if (limit > 0)
            worst = std::max(worst, (start + page.TextWidth(text)) / limit);
    };
    auto column = [&page](int n) { return page.AverageCharWidth() * n; };
    page.SetPointSize(14 * scale);
    fits(0, layout.title, width);
    page.SetPointSize(12 * scale);
    fits(0, layout.weeks, width);
    fits(0, "For the following Range of Values:", width);
    const double rightColumn = column(SummaryLayout::WeeksHeadingColumn);
    fits(rightColumn, "Best Formula Win - Loss by Week", width);
    fits(0, "The Worst Formula was:", width);
    page.SetPointSize(10 * scale);
    for (const std::string& range : layout.ranges)
        fits(column(SummaryLayout::RangeColumn), range, width);
    for (std::size_t i = 0; i < 9; ++i) {
        fits(0, SummaryLabels[i] + t.best[i], rightColumn);
        fits(0, SummaryLabels[i] + t.worst[i], width);
    }
    fits(0, layout.unitLine, rightColumn);
    for (const std::string& line : layout.breakdownLines)
        fits(column(SummaryLayout::WeeksColumn), line, width);
    for (int box : {rbRecord, rbWinPercent, rbUnits})
        fits(0, WorstLine(t, box), width);
    return worst;
}

void PrintSummary(const SummaryTexts& t, SummaryPage& page, double scale)
{
    const SummaryLayout layout(t);
    auto column = [&page](int n) { return page.AverageCharWidth() * n; };
    auto at = [&page](double x) { page.MoveTo(x, page.Y()); };
    auto centred = [&](const std::string& text) {
        at(page.Width() / 2 - page.TextWidth(text) / 2);
        page.Print(text);
    };
    page.SetPointSize(14 * scale);
    at(page.Width() / 2 - page.TextWidth("Vexal Formulas for - 1999") / 2);
    page.Print(layout.title);
    page.SetPointSize(12 * scale);
    centred(layout.weeks);
    page.Print("");
    page.Rule();
    centred("For the following Range of Values:");
    page.SetPointSize(10 * scale);
    for (const std::string& range : layout.ranges) {
        at(column(SummaryLayout::RangeColumn));
        page.Print(range);
    }
    page.Rule();
    page.Print("");
    page.Print("");
    const double top = static_cast<double>(static_cast<long long>(page.Y()));
    page.SetPointSize(12 * scale);
    page.Print("The Best Formula was:");
    page.SetPointSize(10 * scale);
    for (std::size_t i = 0; i < 9; ++i)
        page.Print(SummaryLabels[i] + t.best[i]);
    page.Print(layout.unitLine);
    page.MoveTo(page.X(), top);
    page.SetPointSize(12 * scale);
    at(column(SummaryLayout::WeeksHeadingColumn));
    page.Print("Best Formula Win - Loss by Week");
    page.SetPointSize(10 * scale);
    for (const std::string& line : layout.breakdownLines) {
        at(column(SummaryLayout::WeeksColumn));
        page.Print(line);
    }
    if (t.worst[rbRecord].empty())
        return;
    page.MoveTo(page.X(), 8600);
    page.Rule();
    page.Print("");
    page.SetPointSize(12 * scale);
    page.Print("The Worst Formula was:");
    page.SetPointSize(10 * scale);
    for (std::size_t i = 0; i < 9; ++i)
        page.Print(SummaryLabels[i] + t.worst[i]);
    for (int box : {rbRecord, rbWinPercent, rbUnits})
        page.Print(WorstLine(t, box));
}

void ApplyRangeLowEnds(const std::array<std::string, 10>& low, Formula& f)
{
    // The range rows in formula slot order.
    static constexpr int RowOfSlot[9] = {3, 1, 2, 4, 5, 7, 6, 8, 9};
    for (int slot = 0; slot < 9; ++slot)
        if (const auto v = StrictNumber(low[static_cast<std::size_t>(RowOfSlot[slot])]))
            f[static_cast<std::size_t>(slot)] = *v;
}

std::string SavedFormulaName(const std::string& answer)
{
    return vb::Like(answer, "*.fla") ? answer : answer + ".fla";
}

void ApplyRowTexts(const std::array<std::string, RowBoxes>& boxes, Formula& f)
{
    for (const RowWeightBox& b : RowWeightBoxes)
        f[static_cast<std::size_t>(b.slot)] = Lenient(boxes[static_cast<std::size_t>(b.box)]);
}

} // namespace vexal::formulatest

namespace vexal::formulatest {

std::string RichTextOf(const std::string& plainText)
{
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 ";
    int line = 0;
    auto styleFor = [](int n) -> std::string {
        if (n == 0)
            return "\\b ";
        if (n == 1)
            return "\\b\\ul ";
        return "\\b0\\ulnone ";
    };
    rtf += styleFor(0);
    for (std::size_t i = 0; i < plainText.size(); ++i) {
        const auto c = static_cast<unsigned char>(plainText[i]);
        if (c == '\r')
            continue;
        if (c == '\n') {
            ++line;
            rtf += "\\par\r\n" + (line <= 2 ? styleFor(line) : std::string());
            continue;
        }
        if (c == '\\' || c == '{' || c == '}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c >= 0x80 || c < 0x20) {
            static const char* const Hex = "0123456789abcdef";
            rtf += "\\'";
            rtf += Hex[c >> 4];
            rtf += Hex[c & 15];
        } else {
            rtf += static_cast<char>(c);
        }
    }
    return rtf + "}\r\n";
}

} // namespace vexal::formulatest
