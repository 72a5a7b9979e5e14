#include "VbConvert.h"
#include "Clock.h"
#include "VbError.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

using namespace vexal;
using namespace vexal::vb;

namespace {

int ErrorOf(auto&& step)
{
    try {
        step();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

} // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(6.5), 6);
    EXPECT_EQ(RoundHalfEven(7.5), 8);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(CInt(6.5), 6);
    EXPECT_EQ(CInt(7.5), 8);
    EXPECT_EQ(CInt(-0.5), 0);
    EXPECT_EQ(CLng(24.5), 24);
    EXPECT_EQ(CLng(25.5), 26);
    EXPECT_EQ(CByte(254.5), 254);
    EXPECT_EQ(CByte(0.5), 0);
}

TEST(Rounding, OutOfRangeIsOverflow)
{
    EXPECT_EQ(CInt(32767.4), 32767);
    EXPECT_EQ(CInt(-32768.5), -32768); // rounds to the even -32768, still in range
    EXPECT_EQ(ErrorOf([] { CInt(32767.5); }), VbError::Overflow);
    EXPECT_EQ(ErrorOf([] { CInt(-32769); }), VbError::Overflow);
    EXPECT_EQ(ErrorOf([] { CInt(std::numeric_limits<double>::quiet_NaN()); }), VbError::Overflow);
    EXPECT_EQ(ErrorOf([] { CLng(2147483647.5); }), VbError::Overflow);
    EXPECT_EQ(CLng(-2147483648.0), INT32_MIN);
    EXPECT_EQ(ErrorOf([] { CByte(-0.6); }), VbError::Overflow);
    EXPECT_EQ(ErrorOf([] { CByte(255.5); }), VbError::Overflow);
    EXPECT_EQ(ErrorOf([] { CSng(1e39); }), VbError::Overflow);
    EXPECT_EQ(CSng(0.1), 0.1f);
}

TEST(Rounding, IntFloorsAndFixTruncates)
{
    EXPECT_EQ(Int(-2.5), -3);
    EXPECT_EQ(Fix(-2.5), -2);
    EXPECT_EQ(Int(2.9), 2);
    EXPECT_EQ(Fix(2.9), 2);
}

TEST(NumberText, StrHasALeadingBlankForNonNegativeNumbers)
{
    EXPECT_EQ(Str(1984), " 1984");
    EXPECT_EQ(Str(-3.5), "-3.5");
    EXPECT_EQ(Str(0.5), " 0.5");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(-0.0), " 0");
    EXPECT_EQ(StrSingle(0.1f), " 0.1");
    EXPECT_EQ(StrSingle(-1.5f), "-1.5");
}

TEST(NumberText, CStrOfADoubleKeepsFifteenDigits)
{
    EXPECT_EQ(CStr(1984), "1984");
    EXPECT_EQ(CStr(-3.5), "-3.5");
    EXPECT_EQ(CStr(0.1), "0.1");
    EXPECT_EQ(CStr(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(CStr(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(CStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(CStr(999999999999999.0), "999999999999999");
    EXPECT_EQ(CStr(123456789.125), "123456789.125");
}

TEST(NumberText, ExponentFormsFollowTheRuntime)
{
    EXPECT_EQ(CStr(1e16), "1E+16");
    EXPECT_EQ(CStr(1e15), "1E+15");
    EXPECT_EQ(CStr(1.5e-5), "1.5E-05");
    EXPECT_EQ(CStr(0.0001), "0.0001");
    EXPECT_EQ(CStr(-2.5e20), "-2.5E+20");
    EXPECT_EQ(CStr(1e-100), "1E-100");
    EXPECT_EQ(CStrSingle(12345678.0f), "1.234568E+07");
    EXPECT_EQ(CStrSingle(1234567.0f), "1234567");
    EXPECT_EQ(CStrSingle(1e-5f), "1E-05");
}

TEST(NumberText, ASingleShowsItsShortestTextUpToSevenDigits)
{
    EXPECT_EQ(CStrSingle(0.1f), "0.1");
    EXPECT_EQ(CStrSingle(1.1f), "1.1");
    EXPECT_EQ(CStrSingle(0.3f), "0.3");
    EXPECT_EQ(CStrSingle(-3.5f), "-3.5");
    EXPECT_EQ(CStrSingle(3.0f), "3");
    EXPECT_EQ(CStrSingle(1.0f / 3), "0.3333333");
    EXPECT_EQ(CStrSingle(24.35f), "24.35");
    EXPECT_EQ(CStrInt(-32768), "-32768");
    EXPECT_EQ(Hex(255), "FF");
    EXPECT_EQ(Hex(-1), "FFFFFFFF");
    EXPECT_EQ(Hex(static_cast<int32_t>(0xC0000094u)), "C0000094");
}

TEST(Val, ReadsTheLeadingNumber)
{
    EXPECT_EQ(Val("  12.5abc"), 12.5);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("-3.5"), -3.5);
    EXPECT_EQ(Val("+7"), 7);
    EXPECT_EQ(Val(".5"), 0.5);
    EXPECT_EQ(Val("1.2.3"), 1.2);
    EXPECT_EQ(Val("1,000"), 1);
    EXPECT_EQ(Val("6.5 pt. Teaser"), 6.5);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("1D2"), 100);
    EXPECT_EQ(Val("2e"), 2);
    EXPECT_EQ(Val("2e+x"), 2);
}

TEST(Val, SkipsBlanksEvenBetweenDigits)
{
    EXPECT_EQ(Val("1 2"), 12);
    EXPECT_EQ(Val(" - 3"), -3);
    EXPECT_EQ(Val("\t4\t5 . 5"), 45.5);
    EXPECT_EQ(Val(" 2024"), 2024);
}

TEST(Val, ReadsHexAndOctal)
{
    EXPECT_EQ(Val("&H1F"), 31);
    EXPECT_EQ(Val("&h1f"), 31);
    EXPECT_EQ(Val("&HFFFF"), -1);       // an Integer's bit pattern
    EXPECT_EQ(Val("&H10000"), 65536);
    EXPECT_EQ(Val("&HFFFFFFFF"), -1);   // a Long's bit pattern
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("&H"), 0);
    EXPECT_EQ(Val("&X1"), 0);
}

TEST(Val, NeverFails)
{
    EXPECT_EQ(Val("1e400"), DBL_MAX);
    EXPECT_EQ(Val("-1e400"), -DBL_MAX);
    EXPECT_EQ(Val("&H123456789"), 0x12345678);
}

TEST(Val, IsNumericWantsTheWholeText)
{
    EXPECT_TRUE(IsNumeric("12"));
    EXPECT_TRUE(IsNumeric(" -3.5 "));
    EXPECT_TRUE(IsNumeric("1e5"));
    EXPECT_TRUE(IsNumeric("&H1F"));
    EXPECT_TRUE(IsNumeric(".5"));
    EXPECT_FALSE(IsNumeric(""));
    EXPECT_FALSE(IsNumeric("   "));
    EXPECT_FALSE(IsNumeric("."));
    EXPECT_FALSE(IsNumeric("12abc"));
    EXPECT_FALSE(IsNumeric("1.2.3"));
    EXPECT_FALSE(IsNumeric("1e"));
    EXPECT_FALSE(IsNumeric("-"));
}

// The patterns the program formats numbers with.
struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

class FormatPatterns : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatPatterns, GiveTheRuntimesText)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(Format(c.value, c.pattern), c.expected) << c.value << " with \"" << c.pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(Numbers, FormatPatterns, ::testing::Values(
    // Halves round away from zero, unlike CInt.
    FormatCase{12.25, "0.0", "12.3"},
    FormatCase{12.35, "0.0", "12.4"},
    FormatCase{-12.25, "0.0", "-12.3"},
    FormatCase{0.5, "0", "1"},
    FormatCase{2.5, "0", "3"},
    FormatCase{2.675, "0.00", "2.68"},  // decimal digits, not the binary value
    FormatCase{37.5, "0.0", "37.5"},
    FormatCase{100, "0.0", "100.0"},
    FormatCase{0, "0.0", "0.0"},
    FormatCase{-0.04, "0.0", "0.0"},     // no sign on a value that shows as zero
    FormatCase{33.333333, "0.00", "33.33"},
    FormatCase{0, "0.00", "0.00"},
    FormatCase{66.666666, "#.0", "66.7"},
    FormatCase{0.5, "#.0", ".5"},
    FormatCase{0, "#.0", ".0"},
    FormatCase{-2.2, "#.00", "-2.20"},
    FormatCase{12.345, "#0.0", "12.3"},
    FormatCase{0.25, "#0.0", "0.3"},
    FormatCase{5.005, "##0.00", "5.01"},
    FormatCase{1234567.891, "#,##0", "1,234,568"},
    FormatCase{999.5, "#,##0", "1,000"},
    FormatCase{-1234.5, "#,##0.00", "-1,234.50"},
    FormatCase{0.125, "0.0%", "12.5%"},
    FormatCase{7, "000", "007"},
    FormatCase{1234, "000", "1234"},
    FormatCase{5, "00", "05"},
    FormatCase{45, "00", "45"},
    FormatCase{59.5, "00", "60"},
    FormatCase{1.5, "#.##", "1.5"},
    FormatCase{5, "#.##", "5."},
    FormatCase{0.1, ".", "."},           // how the decimal separator is found
    FormatCase{12, "@", "12"},
    FormatCase{1.5, "@", "1.5"},
    FormatCase{1234.5, "Fixed", "1234.50"},
    FormatCase{1234.5, "Standard", "1,234.50"},
    FormatCase{0.1234, "Percent", "12.34%"},
    FormatCase{1234.5, "General Number", "1234.5"},
    FormatCase{1e16, "General Number", "1E+16"},
    FormatCase{1234.5, "0.00E+00", "1.23E+03"},
    FormatCase{0.00099996, "0.00E+00", "1.00E-03"},
    FormatCase{3, "0.0;(0.0)", "3.0"},
    FormatCase{-3, "0.0;(0.0)", "(3.0)"},
    FormatCase{0, "0.0;(0.0);\"zero\"", "zero"},
    FormatCase{4.5, "0.0 \"pts\"", "4.5 pts"},
    FormatCase{1984, "", "1984"}));

TEST(FormatSingle, RoundsTheSinglesOwnDigits)
{
    // 2.35f is 2.3499999..., but a Single shows as 2.35 and formats as 2.4.
    EXPECT_EQ(FormatSingle(2.35f, "0.0"), "2.4");
    EXPECT_EQ(Format(2.35f, "0.0"), "2.3");
    EXPECT_EQ(FormatSingle(24.5f, "0.0"), "24.5");
    EXPECT_EQ(FormatSingle(-0.25f, "0.0"), "-0.3");
    EXPECT_EQ(FormatSingle(0.1f, "General Number"), "0.1");
}

TEST(Dates, KnownSerialNumbers)
{
    EXPECT_EQ(DateSerial(2024, 9, 10), 45545);
    EXPECT_EQ(DateSerial(1899, 12, 30), 0);
    EXPECT_EQ(DateSerial(1899, 12, 29), -1);
    EXPECT_EQ(DateSerial(1900, 3, 1), 61);
    EXPECT_EQ(DateSerial(100, 1, 1), -657434);
    EXPECT_EQ(DateSerial(9999, 12, 31), 2958465);
    int y, m, d;
    DateParts(45545, y, m, d);
    EXPECT_EQ(y, 2024);
    EXPECT_EQ(m, 9);
    EXPECT_EQ(d, 10);
    EXPECT_EQ(Year(45545.75), 2024);
    EXPECT_EQ(Month(45545.75), 9);
    EXPECT_EQ(Day(45545.75), 10);
}

TEST(Dates, DateSerialRollsOverflowLikeTheRuntime)
{
    EXPECT_EQ(DateSerial(2024, 13, 1), DateSerial(2025, 1, 1));
    EXPECT_EQ(DateSerial(2024, 0, 1), DateSerial(2023, 12, 1));
    EXPECT_EQ(DateSerial(2024, -1, 15), DateSerial(2023, 11, 15));
    EXPECT_EQ(DateSerial(2024, 3, 0), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateSerial(2023, 2, 29), DateSerial(2023, 3, 1));
    EXPECT_EQ(DateSerial(2024, 1, 32), DateSerial(2024, 2, 1));
    EXPECT_EQ(DateSerial(2024, 1, -1), DateSerial(2023, 12, 30));
    EXPECT_EQ(DateSerial(2024, 14, 35), DateSerial(2025, 3, 7));
    // Two-digit years: 0-29 this century, 30-99 the last.
    EXPECT_EQ(DateSerial(24, 9, 10), 45545);
    EXPECT_EQ(DateSerial(99, 1, 1), DateSerial(1999, 1, 1));
    EXPECT_EQ(DateSerial(30, 1, 1), DateSerial(1930, 1, 1));
    EXPECT_EQ(ErrorOf([] { DateSerial(10000, 1, 1); }), VbError::InvalidProcedureCall);
}

TEST(Dates, WeekdayAndDayOfYear)
{
    EXPECT_EQ(Weekday(45545), 3); // Tuesday
    EXPECT_EQ(Weekday(0), 7);     // 30 December 1899 was a Saturday
    EXPECT_EQ(Weekday(-1), 6);
    EXPECT_EQ(Weekday(DateSerial(2024, 9, 8)), 1);
    EXPECT_EQ(DayOfYear(DateSerial(2024, 12, 31)), 366);
    EXPECT_EQ(DayOfYear(DateSerial(2023, 12, 31)), 365);
    EXPECT_EQ(DayOfYear(DateSerial(2024, 1, 1)), 1);
}

TEST(Dates, DatePartWeeksBeginOnSunday)
{
    const double jan1 = DateSerial(2024, 1, 1); // a Monday
    EXPECT_EQ(DatePart("ww", jan1), 1);
    EXPECT_EQ(DatePart("ww", DateSerial(2024, 1, 6)), 1);
    EXPECT_EQ(DatePart("ww", DateSerial(2024, 1, 7)), 2);
    EXPECT_EQ(DatePart("ww", DateSerial(2024, 12, 31)), 53);
    EXPECT_EQ(DatePart("q", DateSerial(2024, 9, 10)), 3);
    EXPECT_EQ(DatePart("y", DateSerial(2024, 2, 1)), 32);
    EXPECT_EQ(DatePart("w", 45545), 3);
    EXPECT_EQ(DatePart("h", 45545 + TimeSerial(13, 5, 9)), 13);
    EXPECT_EQ(DatePart("n", 45545 + TimeSerial(13, 5, 9)), 5);
    EXPECT_EQ(DatePart("s", 45545 + TimeSerial(13, 5, 9)), 9);
    EXPECT_EQ(ErrorOf([] { DatePart("x", 0); }), VbError::InvalidProcedureCall);
}

TEST(Dates, TimesAndNegativeDates)
{
    EXPECT_DOUBLE_EQ(TimeSerial(6, 0, 0), 0.25);
    EXPECT_DOUBLE_EQ(TimeSerial(25, 0, 0), 1 + 1.0 / 24);
    // Before 1899 the day counts back but the time still runs forward: -1.25 is 29 Dec, 06:00.
    EXPECT_EQ(FormatDate(-1.25, "m/d/yyyy hh:mm"), "12/29/1899 06:00");
    EXPECT_DOUBLE_EQ(DateAdd("h", 6, -1.0), -1.25);
    EXPECT_DOUBLE_EQ(DateAdd("h", 24, -1.25), 0.25);
    EXPECT_EQ(Hour(45545.999999), 0); // rounds to the next midnight
    EXPECT_EQ(Day(45545.999999), 11);
}

TEST(Dates, DateAddClampsMonthEnds)
{
    const double jan31 = DateSerial(2024, 1, 31);
    EXPECT_EQ(DateAdd("m", 1, jan31), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateAdd("m", 1, DateSerial(2023, 1, 31)), DateSerial(2023, 2, 28));
    EXPECT_EQ(DateAdd("m", 2, jan31), DateSerial(2024, 3, 31));
    EXPECT_EQ(DateAdd("m", -1, DateSerial(2024, 3, 31)), DateSerial(2024, 2, 29));
    EXPECT_EQ(DateAdd("yyyy", 1, DateSerial(2024, 2, 29)), DateSerial(2025, 2, 28));
    EXPECT_EQ(DateAdd("q", 2, DateSerial(2024, 8, 31)), DateSerial(2025, 2, 28));
    EXPECT_EQ(DateAdd("m", 13, DateSerial(2024, 12, 15)), DateSerial(2026, 1, 15));
    EXPECT_EQ(DateAdd("M", 1, jan31), DateSerial(2024, 2, 29));
}

TEST(Dates, DateAddOtherUnits)
{
    const double d = DateSerial(2024, 1, 1) + TimeSerial(12, 0, 0);
    EXPECT_EQ(DateAdd("ww", 2, d), d + 14);
    EXPECT_EQ(DateAdd("d", -1, d), d - 1);
    EXPECT_EQ(DateAdd("w", 3, d), d + 3);
    EXPECT_EQ(DateAdd("y", 3, d), d + 3);
    EXPECT_EQ(FormatDate(DateAdd("h", 13, d), "m/d/yyyy hh:mm"), "1/2/2024 01:00");
    EXPECT_EQ(FormatDate(DateAdd("n", 90, d), "hh:mm"), "13:30");
    EXPECT_EQ(FormatDate(DateAdd("s", 59, d), "hh:mm:ss"), "12:00:59");
    // The month of a time keeps the time.
    EXPECT_DOUBLE_EQ(DateAdd("m", 1, d), DateSerial(2024, 2, 1) + 0.5);
}

TEST(Dates, DateAddOutsideTheDateRangeIsAnError)
{
    EXPECT_EQ(ErrorOf([] { DateAdd("m", 1, DateSerial(9999, 12, 1)); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { DateAdd("d", 1, DateSerial(9999, 12, 31)); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { DateAdd("yyyy", -2000, DateSerial(2000, 1, 1)); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { DateAdd("fortnight", 1, 0); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { DateAdd("m", 1e300, 0); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { DateAdd("d", std::numeric_limits<double>::quiet_NaN(), 0); }),
              VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { DateAdd("m", 1, std::numeric_limits<double>::infinity()); }),
              VbError::InvalidProcedureCall);
}

TEST(Dates, NumbersOutsideTheDateRangeAreNoDates)
{
    EXPECT_EQ(ErrorOf([] { FormatDate(3e6, "m/d/yyyy"); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Year(std::numeric_limits<double>::quiet_NaN()); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(ErrorOf([] { Weekday(-1e7); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(FormatDate(2958465.5, "m/d/yyyy"), "12/31/9999");
    EXPECT_EQ(FormatDate(-657434, "m/d/yyyy"), "1/1/100");
}

TEST(Dates, ScheduleFromTheStartDoesNotDrift)
{
    // Each date is worked out from the start: 31 Jan, then the end of Feb, then 31 Mar.
    const double start = DateSerial(2024, 1, 31);
    EXPECT_EQ(FormatDate(DateAdd("m", 1, start), "m/d/yyyy"), "2/29/2024");
    EXPECT_EQ(FormatDate(DateAdd("m", 2, start), "m/d/yyyy"), "3/31/2024");
}

TEST(Dates, FormatPatterns)
{
    const double d = 45545 + TimeSerial(13, 5, 9);
    EXPECT_EQ(FormatDate(d, "mm/dd/yyyy"), "09/10/2024");
    EXPECT_EQ(FormatDate(d, "m/d/yyyy"), "9/10/2024");
    EXPECT_EQ(FormatDate(d, "mm/dd/yy"), "09/10/24");
    EXPECT_EQ(FormatDate(d, "m/d/yy"), "9/10/24");
    EXPECT_EQ(FormatDate(d, "mm-dd-yyyy"), "09-10-2024");
    EXPECT_EQ(FormatDate(d, "hh:mm"), "13:05");
    EXPECT_EQ(FormatDate(d, "hh:mm:ss"), "13:05:09");
    EXPECT_EQ(FormatDate(d, "h:mm AM/PM"), "1:05 PM");
    EXPECT_EQ(FormatDate(45545.25, "h:mm am/pm"), "6:00 am");
    EXPECT_EQ(FormatDate(45545, "h:mm AM/PM"), "12:00 AM");
    EXPECT_EQ(FormatDate(45545.5, "h:mm AM/PM"), "12:00 PM");
    EXPECT_EQ(FormatDate(d, "dddd"), "Tuesday");
    EXPECT_EQ(FormatDate(d, "ddd"), "Tue");
    EXPECT_EQ(FormatDate(d, "mmm d"), "Sep 10");
    EXPECT_EQ(FormatDate(d, "mmmm d, yyyy"), "September 10, 2024");
    EXPECT_EQ(FormatDate(d, "Short Date"), "9/10/2024");
    EXPECT_EQ(FormatDate(d, "Long Date"), "Tuesday, September 10, 2024");
    EXPECT_EQ(FormatDate(d, "Medium Date"), "10-Sep-24");
    EXPECT_EQ(FormatDate(d, "General Date"), "9/10/2024 1:05:09 PM");
    EXPECT_EQ(FormatDate(45545, "General Date"), "9/10/2024");
    EXPECT_EQ(FormatDate(d, "\"Week\" ww"), "Week 37");
    // Format sends date patterns to the date formatter.
    EXPECT_EQ(Format(d, "mm-dd-yyyy"), "09-10-2024");
    EXPECT_EQ(Format(d, "Long Date"), "Tuesday, September 10, 2024");
}

TEST(Dates, ParsingDateTexts)
{
    double d = 0;
    ASSERT_TRUE(TryParseDate("9/10/2024", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate("09/10/2024", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate("2024-09-10", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate("9/10/24", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate("9-10-2024", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate("September 10, 2024", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate("10-Sep-2024", d));
    EXPECT_EQ(d, 45545);
    ASSERT_TRUE(TryParseDate(" 2/29/2024 ", d));
    EXPECT_EQ(d, DateSerial(2024, 2, 29));
    ASSERT_TRUE(TryParseDate("9/10/2024 1:05 PM", d));
    EXPECT_DOUBLE_EQ(d, 45545 + TimeSerial(13, 5, 0));
    ASSERT_TRUE(TryParseDate("9/10/2024 13:05:09", d));
    EXPECT_DOUBLE_EQ(d, 45545 + TimeSerial(13, 5, 9));
    ASSERT_TRUE(TryParseDate("12:30", d));
    EXPECT_DOUBLE_EQ(d, TimeSerial(12, 30, 0));
    ASSERT_TRUE(TryParseDate("12:30 AM", d));
    EXPECT_DOUBLE_EQ(d, TimeSerial(0, 30, 0));
}

TEST(Dates, TextsThatAreNoDate)
{
    for (const char* text : {"", "abc", "13/45/2024", "2/30/2024", "2/29/2023", "0/10/2024", "9/0/2024",
                             "9/10/2024 25:00", "9/10/2024 13:05 PM", "9/10/2024 xyz", "1/2/3/4", "12345",
                             "Smarch 3, 2024", "9/10/99999"}) {
        EXPECT_FALSE(IsDate(text)) << text;
    }
    double d = 123;
    EXPECT_FALSE(TryParseDate("13/45/2024", d));
    EXPECT_EQ(d, 123); // untouched
}

TEST(Dates, TodayAndNowReadTheProgramClock)
{
    struct Case {
        double now;
        double today;
        const char* text;
    };
    const Case cases[] = {
        {DateSerial(2024, 3, 9) + TimeSerial(17, 45, 30), DateSerial(2024, 3, 9), "03-09-2024"},
        {DateSerial(1999, 12, 31) + TimeSerial(23, 59, 59), DateSerial(1999, 12, 31), "12-31-1999"},
        {DateSerial(2025, 1, 1), DateSerial(2025, 1, 1), "01-01-2025"},
    };
    for (const Case& c : cases) {
        SetFixedClock(c.now);
        EXPECT_EQ(Today(), c.today) << c.text;
        EXPECT_EQ(Now(), c.now) << c.text;
        EXPECT_EQ(TodayDateText(), c.text);
    }
    SetClock([] { return DateSerial(2024, 9, 8) + TimeSerial(8, 0, 0); });
    EXPECT_EQ(FormatDate(Now(), "m/d/yyyy hh:mm"), "9/8/2024 08:00");
}

TEST(Currency, ScalesByTenThousand)
{
    EXPECT_EQ(CurrencyFromDouble(-3.5), -35000);
    EXPECT_EQ(CurrencyToDouble(-35000), -3.5);
    EXPECT_EQ(CurrencyFromDouble(7), 70000);
    EXPECT_EQ(CurrencyFromDouble(1.23456), 12346);
    EXPECT_EQ(CurrencyFromDouble(0.00025), 2);  // 2.5 to the even 2
    EXPECT_EQ(CurrencyFromDouble(0.00035), 4);  // 3.5 to the even 4
    EXPECT_EQ(CurrencyFromDouble(0), 0);
    for (double v : {-3.5, 44.5, -0.5, 6.5, 922337203685477.0}) {
        EXPECT_EQ(CurrencyToDouble(CurrencyFromDouble(v)), v);
    }
    EXPECT_EQ(ErrorOf([] { CurrencyFromDouble(1e15); }), VbError::Overflow);
}

TEST(Strings, RuntimeStringHelpers)
{
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(LTrim("  a "), "a ");
    EXPECT_EQ(RTrim("  a "), "  a");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t"); // only blanks are trimmed
    EXPECT_EQ(UCase("Wk 3 of 2024"), "WK 3 OF 2024");
    EXPECT_EQ(LCase("ABS"), "abs");
    EXPECT_EQ(Left("2024", 2), "20");
    EXPECT_EQ(Left("20", 5), "20");
    EXPECT_EQ(Right("Wk 3 of 2024", 4), "2024");
    EXPECT_EQ(Right("24", 4), "24");
    EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Mid("abcdef", 5), "ef");
    EXPECT_EQ(Mid("abc", 7), "");
    EXPECT_EQ(ErrorOf([] { Mid("abc", 0); }), VbError::InvalidProcedureCall);
    EXPECT_EQ(InStr(1, "Wk 3 of 2024", "of"), 6u);
    EXPECT_EQ(InStr(7, "Wk 3 of 2024", "of"), 0u);
    EXPECT_EQ(InStr(1, "abc", "x"), 0u);
    EXPECT_EQ(InStr(2, "abc", ""), 2u);
    EXPECT_EQ(InStr(9, "abc", "a"), 0u);
}

TEST(Strings, LikeWildcards)
{
    EXPECT_TRUE(Like("2024.24", "*.24"));
    EXPECT_TRUE(Like("stats.24", "*." "24"));
    EXPECT_FALSE(Like("stats.245", "*.24"));
    EXPECT_FALSE(Like("stats.24x", "*.24"));
    EXPECT_TRUE(Like("a1", "?#"));
    EXPECT_FALSE(Like("ab", "?#"));
    EXPECT_TRUE(Like("B", "[A-C]"));
    EXPECT_FALSE(Like("B", "[!A-C]"));
    EXPECT_FALSE(Like("abc", "ABC")); // case-sensitive
    EXPECT_TRUE(Like("", "*"));
}
