// The Test Formula window's computations without its controls: the launch's copying of the
// settings into the low ends, the high ends and the save filters; the best/worst texts and
// the progress captions; the template line; the All Formula Report's lines; saved names.
#include "FormulaTestCore.h"

#include "CurrentFormula.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vexal::formulatest {
namespace {

LaunchSettings OnePointSettings()
{
    LaunchSettings s;
    const char* low[10] = {"", "1", "99", "3", "60", "40", "45", "55", "4", "1.5"};
    const char* high[10] = {"", "2", "99", "5", "70", "30", "50", "50", "-4", "2"};
    for (int i = 1; i <= 9; ++i) {
        s.Text1[static_cast<std::size_t>(i)] = low[i];
        s.Text2[static_cast<std::size_t>(i)] = high[i];
    }
    s.txtrola = {"4", "6 weeks"};
    s.StartWeekIndex = 3;
    s.EndWeekIndex = 9;
    s.UnitLower = "1";
    s.UnitUpper = "50";
    s.PercentLower = "55";
    s.PercentUpper = "90";
    s.Min = "12";
    return s;
}

TEST(FormulaTestLaunch, CopiesRangesWithRushingRowIntoSlotSixAndPassingIntoFive)
{
    Formula low{};
    FormulaHighArray high{};
    FilterArray filters{};
    ASSERT_TRUE(ApplyLaunchSettings(OnePointSettings(), low, high, filters));
    EXPECT_EQ(low[fsMinDiff], 1.0f);
    EXPECT_EQ(low[fsMaxDiff], 99.0f);
    EXPECT_EQ(low[fsHomeField], 3.0f);
    EXPECT_EQ(low[fsOffense], 60.0f);
    EXPECT_EQ(low[fsDefense], 40.0f);
    EXPECT_EQ(low[fsRushing], 45.0f);
    EXPECT_EQ(low[fsPassing], 55.0f);
    EXPECT_EQ(low[fsTurnovers], 4.0f);
    EXPECT_EQ(low[fsMultiplier], 1.5f);
    EXPECT_EQ(low[fsRollingWeeks], 4.0f);
    EXPECT_EQ(high[fsRushing], 50.0f);
    EXPECT_EQ(high[fsTurnovers], -4.0f);
    EXPECT_EQ(high[fsRollingWeeks], 6.0f);   // lenient: the leading number
    EXPECT_EQ(low[fsCurrentWeek], 4.0f);
    EXPECT_EQ(high[fsCurrentWeek], 10.0f);
}

TEST(FormulaTestLaunch, FirstEndWeekCarriesTheSmallMarkOnlyThere)
{
    Formula low{};
    FormulaHighArray high{};
    FilterArray filters{};
    LaunchSettings s = OnePointSettings();
    s.EndWeekIndex = 0;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(high[fsCurrentWeek], 1.0f + 0.0000001f);
    EXPECT_NE(high[fsCurrentWeek], 1.0f);
    s.EndWeekIndex = 4;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(high[fsCurrentWeek], 5.0f);
}

TEST(FormulaTestLaunch, FiltersTakeTheCriteriaOnlyWhenSaving)
{
    Formula low{};
    FormulaHighArray high{};
    FilterArray filters{9, 8, 7, 6, 5};
    LaunchSettings s = OnePointSettings();
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(filters, (FilterArray{9, 8, 7, 6, 12}));
    s.SaveFormulas = 1;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(filters, (FilterArray{1, 50, 55, 90, 12}));
}

TEST(FormulaTestLaunch, LimitedWeeksGoIntoTheTensInEitherOrder)
{
    Formula low{};
    FormulaHighArray high{};
    FilterArray filters{};
    LaunchSettings s = OnePointSettings();
    s.LimitWeek = 1;
    // New strings moved in: GCC 12 at -O3 warns (-Wrestrict) of a literal assigned over another.
    s.LimitStart = std::string("12");
    s.LimitEnd = std::string("5");
    s.Home = 1;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(low[fsHomeOnly], 51.0f);
    EXPECT_EQ(low[fsAwayOnly], 120.0f);
    s.LimitStart = std::string("3");
    s.LimitEnd = std::string("9");
    s.Home = 0;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(low[fsHomeOnly], 30.0f);
    EXPECT_EQ(low[fsAwayOnly], 90.0f);
}

TEST(FormulaTestLaunch, FavouriteAndUnderdogAreTensInTotalsMode)
{
    Formula low{};
    FormulaHighArray high{};
    FilterArray filters{};
    LaunchSettings s = OnePointSettings();
    s.Fav = 1;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(low[fsFavOrOver], 1.0f);
    EXPECT_EQ(low[fsTotalsMode], 0.0f);
    s.TotalsMode = 1;
    ApplyLaunchSettings(s, low, high, filters);
    EXPECT_EQ(low[fsFavOrOver], 10.0f);
    EXPECT_EQ(low[fsDogOrUnder], 0.0f);
    EXPECT_EQ(low[fsTotalsMode], 1.0f);
}

TEST(FormulaTestLaunch, LineRangeEncodings)
{
    EXPECT_EQ(LaunchLineRange(0, "ABS 3", "7"), (std::array<float, 2>{99, 99}));
    EXPECT_EQ(LaunchLineRange(1, "ABS 3", "7"), (std::array<float, 2>{103, 107}));
    EXPECT_EQ(LaunchLineRange(1, "-3", "ABS 5"), (std::array<float, 2>{103, 105}));
    EXPECT_EQ(LaunchLineRange(1, "0", " 0 "), (std::array<float, 2>{100, 100}));
    EXPECT_EQ(LaunchLineRange(1, "-3.5", "7"), (std::array<float, 2>{-3.5f, 7}));
    EXPECT_EQ(LaunchLineRange(1, "abs 3", "x"), (std::array<float, 2>{0, 0}));
    EXPECT_THROW(LaunchLineRange(1, "ABS x", "7"), VbError);
    EXPECT_FALSE(SavedLineRange(1, "ABS x", "7").has_value());
    EXPECT_EQ(*SavedLineRange(1, "ABS 3", "ABS 7.5"), (std::array<float, 2>{103, 107.5f}));
}

TEST(FormulaTestLaunch, FailingStepIsReportedWithItsLineAndTheRunnerDecides)
{
    Formula low{};
    FormulaHighArray high{};
    FilterArray filters{};
    LaunchSettings s = OnePointSettings();
    s.Lines = 1;
    s.LinesStart = "ABS";
    s.LinesEnd = "ABS 4";
    std::vector<int> failed;
    auto runner = [&](int line, const std::function<void()>& body) {
        try {
            body();
        } catch (const VbError& e) {
            failed.push_back(line);
            EXPECT_EQ(e.Number(), 13);
            return false;
        }
        return true;
    };
    EXPECT_FALSE(ApplyLaunchSettings(s, low, high, filters, runner));
    EXPECT_EQ(failed, std::vector<int>{11});
    EXPECT_EQ(low[fsOffense], 60.0f);   // the steps before it ran
}

TEST(FormulaTestDisplay, RowTextsFollowTheEngineRowLayout)
{
    ResultRow row{};
    row = {3, 1, 99, 60, 40, 45, 55, -4, 1.5f, 10, 5, 1, 66.66667f, 4.5f, 4, 0};
    const auto t = RowTexts(row);
    EXPECT_EQ(t[0], "1");
    EXPECT_EQ(t[1], "99");
    EXPECT_EQ(t[2], "3");
    EXPECT_EQ(t[5], "55");   // the "% Rushing" box: rushing, element 6
    EXPECT_EQ(t[6], "45");   // the "% Passing" box: passing, element 5
    EXPECT_EQ(t[7], "-4");
    EXPECT_EQ(t[8], "1.5");
    EXPECT_EQ(t[9], "10-5-1");
    EXPECT_EQ(t[10], "66.7%");
    EXPECT_EQ(t[11], "4.5");
    EXPECT_EQ(t[12], "4");
}

TEST(FormulaTestDisplay, ProgressCaptions)
{
    EXPECT_EQ(TestProgress("45.0", false, 0).caption, "45.0% Complete");
    EXPECT_EQ(*TestProgress("45.0", false, 0).value, 45);
    EXPECT_EQ(TestProgress("45.0", false, 1).caption, "45.0% Complete. Please be patient with power ratings on");
    EXPECT_EQ(*TestProgress("100.0", false, 0).value, 100);
    EXPECT_EQ(*TestProgress(" 100", false, 0).value, 100);
    const ProgressView over = TestProgress("130.5", false, 0);
    EXPECT_EQ(over.caption, "100% Complete");
    EXPECT_EQ(*over.value, 100);
    const ProgressView stopping = TestProgress("20.0", true, 0);
    EXPECT_EQ(stopping.caption, "Please wait while I stop the test");
    EXPECT_FALSE(stopping.value.has_value());
    EXPECT_EQ(AllFormulaProgress(1, 3).caption, "Progress 33.3% Completed");
    EXPECT_EQ(*AllFormulaProgress(1, 3).value, 33);
    EXPECT_EQ(AllFormulaProgress(1, 2).caption, "Progress 50.0% Completed");
    EXPECT_EQ(*AllFormulaProgress(1, 1).value, 100);   // a run of one formula
    EXPECT_EQ(*AllFormulaProgress(3, 2).value, 100);
    EXPECT_FALSE(AllFormulaProgress(0, 0).value.has_value());
}

TEST(FormulaTestDisplay, BreakdownIsCutKeepingTheLineFeeds)
{
    const BreakdownPieces p = SplitBreakdown("Weekly  Season\r\nWeek W-L-T\r\nWk 1  1-0-0\r\n");
    EXPECT_EQ(p.first, "Weekly  Season");
    EXPECT_EQ(p.second, "\nWeek W-L-T");
    EXPECT_EQ(p.rest, "\nWk 1  1-0-0\r\n");
    const BreakdownPieces one = SplitBreakdown("no breaks");
    EXPECT_EQ(one.first, "no breaks");
    EXPECT_EQ(one.second, "");
    EXPECT_EQ(one.rest, "");
}

TEST(FormulaTestTemplate, LineAndPieces)
{
    std::vector<std::string> fields;
    for (int i = 0; i < TemplateFields; ++i)
        fields.push_back(std::to_string(i));
    const std::string line = TemplateLine(fields);
    EXPECT_EQ(line.substr(0, 8), "0,1,2,3,");
    EXPECT_EQ(line.substr(line.size() - 5), ",45\r\n");
    EXPECT_EQ(TemplatePieces(line), fields);
    EXPECT_EQ(TemplatePieces("  a b ,c,,d  \r\nsecond"), (std::vector<std::string>{"a b ", "c", "", "d"}));
    EXPECT_TRUE(TemplatePieces("   \r\n").empty());
    EXPECT_EQ(TemplatePath("/t/Weekly"), "/t/Weekly.ftp");
    EXPECT_EQ(TemplatePath("/t/SetFTP"), "/t/SetFTP");
    EXPECT_EQ(TemplatePath("/t/a.ftp"), "/t/a.ftp");
    EXPECT_EQ(TemplateWhole("2"), 2);
    EXPECT_EQ(TemplateWhole("-1"), -1);
    EXPECT_FALSE(TemplateWhole("x").has_value());
    EXPECT_EQ(TemplateOption("True"), true);
    EXPECT_EQ(TemplateOption("False"), false);
    EXPECT_EQ(TemplateOption("-1"), true);
    EXPECT_EQ(TemplateOption("0"), false);
    EXPECT_FALSE(TemplateOption("maybe").has_value());
}

TEST(FormulaTestAllFormulaReport, Lines)
{
    EXPECT_EQ(AllFormulaTitle(false, "Wk 5 of 2023", "12-01-2024"),
              "Vexal  All Formula Report (Sides) for Wk 5 of 2023 - Printed:12-01-2024");
    EXPECT_EQ(AllFormulaTitle(true, "Wk 5 of 2023", "12-01-2024"),
              "Vexal  All Formula Report (Totals) for Wk 5 of 2023 - Printed:12-01-2024");
    Formula f{};
    f[fsHomeField] = 3;
    f[fsMinDiff] = 1;
    f[fsMaxDiff] = 99;
    f[fsOffense] = 50;
    f[fsDefense] = 50;
    f[fsRushing] = 45;
    f[fsPassing] = 55;
    f[fsTurnovers] = 4;
    f[fsMultiplier] = 1.5f;
    EXPECT_EQ(AllFormulaValues(f), "3    1     99    50    50    45     55    4     1.5    STD");
    f[fsRollingWeeks] = 6;
    f[fsTurnovers] = -12.3456f;
    EXPECT_EQ(AllFormulaValues(f), "3    1     99    50    50    45     55    -12.3456 1.5    6");
    EXPECT_EQ(AllFormulaOptions(f), "");
    EXPECT_EQ(AllFormulaOptimized(f), "");
    f[fsSeparateHomeAway] = 1;
    f[fsNoLine] = 1;
    f[fsFavOrOver] = 10;
    f[fsHomeOnly] = 1;
    EXPECT_EQ(AllFormulaOptions(f), "Options: Separate Home/Away  No Line  ");
    EXPECT_EQ(AllFormulaOptimized(f), "Optimized for: Home Games  Overs  ");
    EXPECT_EQ(AllFormulaName("Good12.fla"), "Good12");
    EXPECT_EQ(AllFormulaName("a.b.fla"), "a");
}

TEST(FormulaTestSaveRow, NamesAndSlots)
{
    EXPECT_EQ(SavedFormulaName("abc"), "abc.fla");
    EXPECT_EQ(SavedFormulaName("abc.fla"), "abc.fla");
    EXPECT_EQ(SavedFormulaName("abc.FLA"), "abc.FLA.fla");
    Formula f{};
    f.fill(7);
    std::array<std::string, 13> boxes{"1", "99", "3", "60", "40", "45", "55", "-4", "1.5", "9-1-0", "90.0%", "8", "x"};
    ApplyRowTexts(boxes, f);
    EXPECT_EQ(f[fsMinDiff], 1.0f);
    EXPECT_EQ(f[fsMaxDiff], 99.0f);
    EXPECT_EQ(f[fsHomeField], 3.0f);
    EXPECT_EQ(f[fsRushing], 45.0f);
    EXPECT_EQ(f[fsPassing], 55.0f);
    EXPECT_EQ(f[fsTurnovers], -4.0f);
    EXPECT_EQ(f[fsRollingWeeks], 0.0f);   // not a number
    EXPECT_EQ(f[fsSeparateHomeAway], 7.0f);
}

TEST(FormulaTestSaveRow, ARowSavedFromItsBoxesIsTheFormulaTheEngineRan)
{
    // Rushing 70 and passing 30 as the engine fills its row: element 6 and element 5.
    ResultRow row{};
    row[rrHomeField] = 2;
    row[rrMinDiff] = 1;
    row[rrMaxDiff] = 12;
    row[rrOffense] = 55;
    row[rrDefense] = 45;
    row[rrPassing] = 30;
    row[rrRushing] = 70;
    row[rrTurnovers] = 5;
    row[rrMultiplier] = 1.2f;
    row[rrRollingWeeks] = 6;
    const auto boxes = RowTexts(row);
    EXPECT_EQ(boxes[rbRushing], "70");
    EXPECT_EQ(boxes[rbPassing], "30");
    Formula f{};
    ApplyRowTexts(boxes, f);
    const Formula want{2, 1, 12, 55, 45, 30, 70, 5, 1.2f, 6};
    EXPECT_EQ(f, want);
}

TEST(FormulaTestBreakdown, LinksAreWebAddressesUnderTheCharacter)
{
    const std::string text = "See www.vexal.example/faq. or\nhttps://x.example/a?b=1, mailto:me@x.example C:\\run.exe";
    struct Case {
        const char* under;   // a piece of the text whose first character is clicked
        const char* link;
    };
    const Case cases[] = {
        {"www.", "http://www.vexal.example/faq"},     {"faq.", "http://www.vexal.example/faq"},
        {". or", ""},                                 {"See", ""},
        {" or", ""},                                  {"https", "https://x.example/a?b=1"},
        {"b=1", "https://x.example/a?b=1"},          {"mailto", "mailto:me@x.example"},
        {"C:", ""},                                   {"run.exe", ""},
    };
    for (const Case& c : cases) {
        const std::size_t at = text.find(c.under);
        ASSERT_NE(at, std::string::npos) << c.under;
        EXPECT_EQ(LinkAt(text, at), c.link) << c.under;
    }
    EXPECT_EQ(LinkAt(text, text.size()), "");
    EXPECT_EQ(LinkAt("www.", 0), "");
}

TEST(FormulaTestBreakdown, RichTextKeepsLinesAndEscapes)
{
    const std::string rtf = RichTextOf("Weekly {x}\r\nWeek\r\nWk 1 \\ \xE9");
    EXPECT_EQ(rtf,
              "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\\f0\\fs20 \\b Weekly \\{x\\}\\par\r\n"
              "\\b\\ul Week\\par\r\n\\b0\\ulnone Wk 1 \\\\ \\'e9}\r\n");
}

} // namespace
} // namespace vexal::formulatest
