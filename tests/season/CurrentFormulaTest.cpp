// The current formula's encodings and ReadFormula's rules, without the editor window.
#include "CurrentFormula.h"

#include <gtest/gtest.h>

namespace vexal {
namespace {

TEST(CurrentFormulaNumbers, StrictNumberTakesWholeNumbersWithAPeriodOnly)
{
    EXPECT_EQ(StrictNumber("3"), 3.0f);
    EXPECT_EQ(StrictNumber(" -2.5 "), -2.5f);
    EXPECT_EQ(StrictNumber(".5"), 0.5f);
    EXPECT_EQ(StrictNumber("1e2"), 100.0f);
    for (const char* bad : {"", "  ", "-", ".", "abc", "1,5", "3 Weeks", "1.2.3", "1e", "1e40", "--1"})
        EXPECT_FALSE(StrictNumber(bad).has_value()) << bad;
}

TEST(CurrentFormulaNumbers, LeadingNumberNeverFails)
{
    EXPECT_EQ(LeadingNumber(" 4 Weeks"), 4.0f);
    EXPECT_EQ(LeadingNumber("12abc"), 12.0f);
    EXPECT_EQ(LeadingNumber("Weeks"), 0.0f);
    EXPECT_EQ(LeadingNumber(""), 0.0f);
    EXPECT_EQ(LeadingNumber("2.5"), 2.5f);
}

TEST(LineRange, ReadEncodesEveryEditorState)
{
    auto codes = ReadLineRange(Checked, "-3", "ABS 7");
    EXPECT_EQ(codes.from, 103.0f);
    EXPECT_EQ(codes.to, 107.0f);
    codes = ReadLineRange(Checked, "ABS 2.5", "ABS 7");
    EXPECT_EQ(codes.from, 102.5f);
    EXPECT_EQ(codes.to, 107.0f);
    codes = ReadLineRange(Checked, "0", "0");
    EXPECT_EQ(codes.from, 100.0f);
    EXPECT_EQ(codes.to, 100.0f);
    codes = ReadLineRange(Checked, "0", "3.5");
    EXPECT_EQ(codes.from, 0.0f);
    EXPECT_EQ(codes.to, 3.5f);
    codes = ReadLineRange(Checked, "40", "52.5");
    EXPECT_EQ(codes.from, 40.0f);
    EXPECT_EQ(codes.to, 52.5f);
    for (int off : {Unchecked, Grayed}) {
        codes = ReadLineRange(off, "-3", "ABS 7");
        EXPECT_EQ(codes.from, 99.0f);
        EXPECT_EQ(codes.to, 99.0f);
    }
    // "ABS" is searched case-sensitively; an absolute end without a number does not convert.
    codes = ReadLineRange(Checked, "ABS ", "ABS 7");
    EXPECT_FALSE(codes.from.has_value());
    EXPECT_EQ(codes.to, 107.0f);
    codes = ReadLineRange(Checked, "abs 3", "5");
    EXPECT_EQ(codes.from, 0.0f);
    EXPECT_EQ(codes.to, 5.0f);
}

TEST(LineRange, SaveNeverFails)
{
    EXPECT_EQ(SaveLineRange(Unchecked, "1", "2"), (std::array<float, 2>{99, 99}));
    EXPECT_EQ(SaveLineRange(Checked, "-3", "ABS 7"), (std::array<float, 2>{103, 107}));
    EXPECT_EQ(SaveLineRange(Checked, "ABS ", "ABS 7"), (std::array<float, 2>{100, 107}));
    EXPECT_EQ(SaveLineRange(Checked, "0", "0"), (std::array<float, 2>{100, 100}));
    EXPECT_EQ(SaveLineRange(Checked, "-7.5", "3"), (std::array<float, 2>{-7.5f, 3}));
}

TEST(LineRange, ShowDecodesStoredCodes)
{
    struct Case {
        float from, to;
        bool on;
        const char* start;
        const char* end;
    } cases[] = {
        {99, 99, false, "0", "0"},     {99, 5, false, "0", "0"},         {0, 0, false, "0", "0"},
        {100, 100, true, "0", "0"},    {103.5f, 107, true, "ABS 3.5", "ABS 7"},
        {100, 107, true, "0", "ABS 7"}, {-7.5f, 3, true, "-7.5", "3"},   {0, 3.5f, true, "0", "3.5"},
        {40, 52.5f, true, "40", "52.5"},
    };
    for (const auto& c : cases) {
        const LineRangeView v = ShowLineRange(c.from, c.to);
        EXPECT_EQ(v.on, c.on) << c.from << " " << c.to;
        EXPECT_EQ(v.start, c.start) << c.from;
        EXPECT_EQ(v.end, c.end) << c.to;
        // What is shown reads back as what was stored (an off filter as 99).
        const LineRangeCodes back = ReadLineRange(v.on ? Checked : Unchecked, v.start, v.end);
        if (v.on) {
            EXPECT_EQ(back.from, c.from);
            EXPECT_EQ(back.to, c.to);
        }
    }
}

TEST(LineRange, ListsOfSidesAndTotals)
{
    const auto sides = LineRangeItems(false);
    ASSERT_EQ(sides.size(), 121u);
    EXPECT_EQ(sides.front(), "-20");
    EXPECT_EQ(sides[1], "-19.5");
    EXPECT_EQ(sides[40], "0");
    EXPECT_EQ(sides[80], "20");
    EXPECT_EQ(sides[81], "ABS 0.5");
    EXPECT_EQ(sides.back(), "ABS 20");
    const auto totals = LineRangeItems(true);
    ASSERT_EQ(totals.size(), 81u);
    EXPECT_EQ(totals.front(), "20");
    EXPECT_EQ(totals[40], "40");
    EXPECT_EQ(totals.back(), "60");
}

TEST(RollingWeeks, OneItemFewerThanTheWeekSelector)
{
    EXPECT_EQ(RollingWeekItems(4), (std::vector<std::string>{" 1 Weeks", " 2 Weeks", " 3 Weeks"}));
    EXPECT_TRUE(RollingWeekItems(1).empty());
    EXPECT_TRUE(RollingWeekItems(0).empty());
}

FormulaControls SidesControls()
{
    FormulaControls c;
    const char* values[9] = {"3", "1", "99", "50", "50", "50", "50", "4", "1"};
    for (int i = 0; i < 9; ++i)
        c.txtFla[i] = values[i];
    c.STD = 0;
    for (int slot : {fsSeparateHomeAway, fsDiscardHighLow, fsPowerRating, fsNoLine})
        c.switches[slot] = 0;
    c.chkHome = c.chkAway = c.chkFav = c.chkDog = c.chkOver = c.chkUnder = c.chkLines = 0;
    c.cboLinesStart = c.cboLinesEnd = "0";
    c.Combo1 = " 4 Weeks";
    c.weekIndex = 6;
    return c;
}

TEST(ReadFormulaRules, RebuildsEverySlotButTotalsModeAndOtherFactors)
{
    Formula f{};
    f[fsTotalsMode] = 1;
    f[fsOtherFactors] = 1;
    FormulaControls c = SidesControls();
    c.switches[fsSeparateHomeAway] = 1;
    c.switches[fsDiscardHighLow] = 2;
    c.chkHome = 1;
    c.chkFav = 1;
    c.chkOver = 1;   // favourites win over overs
    c.chkDog = 2;
    c.chkUnder = 1;  // a grayed underdog box gives way to the unders
    ReadFormulaFrom(c, f);
    const Formula expected{3, 1, 99, 50, 50, 50, 50, 4, 1, 4, 1, 2, 0, 7, 1, 1, 0, 0, 1, 0, 1, 10, 99, 99};
    EXPECT_EQ(f, expected);
}

TEST(ReadFormulaRules, AFailingControlKeepsItsSlot)
{
    Formula f{};
    f[fsOffense] = 42;
    f[fsCurrentWeek] = 9;
    f[fsLineStart] = 55;
    FormulaControls c = SidesControls();
    c.txtFla[fsOffense] = "";
    c.weekIndex.reset();
    c.chkLines = 1;
    c.cboLinesStart = "ABS";
    c.cboLinesEnd = "ABS 7";
    ReadFormulaFrom(c, f);
    EXPECT_EQ(f[fsOffense], 42);
    EXPECT_EQ(f[fsDefense], 50);
    EXPECT_EQ(f[fsCurrentWeek], 9);
    EXPECT_EQ(f[fsLineStart], 55);
    EXPECT_EQ(f[fsLineEnd], 107);
}

TEST(ReadFormulaRules, RollingWeeksAndCurrentWeek)
{
    Formula f{};
    FormulaControls c = SidesControls();
    c.STD = 1;
    ReadFormulaFrom(c, f);
    EXPECT_EQ(f[fsRollingWeeks], 0);
    EXPECT_EQ(f[fsSeasonToDate], 1);
    c.STD = 0;
    c.Combo1 = "";
    c.weekIndex = -1;
    ReadFormulaFrom(c, f);
    EXPECT_EQ(f[fsRollingWeeks], 0);
    EXPECT_EQ(f[fsCurrentWeek], 0);
    c.Combo1 = " 12 Weeks";
    ReadFormulaFrom(c, f);
    EXPECT_EQ(f[fsRollingWeeks], 12);
}

TEST(StoreFormulaRules, SaveReadsLeadingNumbersAndKeepsTheRollingWindowUnlessSeasonToDate)
{
    Formula f{};
    f[fsRollingWeeks] = 6;
    f[fsCurrentWeek] = 5;
    FormulaControls c = SidesControls();
    c.txtFla[0] = "2.5x";
    c.txtFla[7] = "";
    c.Combo1 = " 3 Weeks";
    c.chkOver = 1;
    c.chkLines = 1;
    c.cboLinesStart = "40";
    c.cboLinesEnd = "52.5";
    StoreFormulaFrom(c, f);
    EXPECT_EQ(f[0], 2.5f);
    EXPECT_EQ(f[fsTurnovers], 0);
    EXPECT_EQ(f[fsRollingWeeks], 6);
    EXPECT_EQ(f[fsCurrentWeek], 5);
    EXPECT_EQ(f[fsFavOrOver], 10);
    EXPECT_EQ(f[fsDogOrUnder], 0);
    EXPECT_EQ(f[fsLineStart], 40);
    EXPECT_EQ(f[fsLineEnd], 52.5f);
    c.STD = 1;
    c.chkDog = 1;
    StoreFormulaFrom(c, f);
    EXPECT_EQ(f[fsRollingWeeks], 0);
    EXPECT_EQ(f[fsSeasonToDate], 1);
    EXPECT_EQ(f[fsFavOrOver], 0);
    EXPECT_EQ(f[fsDogOrUnder], 1);
}

} // namespace
} // namespace vexal
