#pragma once
// Number, text and date conversions with the program's own rules: banker's rounding,
// Str with its leading blank, the shortest text of a Single, Format patterns, Val,
// OLE Automation dates and fixed-point currency. Everything that formats or parses
// numbers for files, grids or reports goes through here, so "." is the decimal
// separator whatever the locale.
#include <cstdint>
#include <string>
#include <string_view>

namespace vexal::vb {

// Rounding and truncation.
double RoundHalfEven(double v);              // 6.5 -> 6, 7.5 -> 8, -2.5 -> -2
int Whole(double v);                         // RoundHalfEven as an int, for sizes and positions
int16_t CInt(double v);                      // half to even; VbError 6 outside -32768..32767
int32_t CLng(double v);                      // half to even; VbError 6 outside the Long range
uint8_t CByte(double v);                     // half to even; VbError 6 outside 0..255
double Int(double v);                        // floor: Int(-2.5) = -3
double Fix(double v);                        // towards zero: Fix(-2.5) = -2
float CSng(double v);                        // VbError 6 when outside the Single range

// Text to number: Val reads a leading number ("  12.5abc" -> 12.5, "&H1F" -> 31, "" -> 0).
// Blanks are skipped even between digits ("1 2" -> 12). It never fails: a number beyond the
// Double range reads as the largest Double.
double Val(std::string_view text);
// IsNumeric: the whole text (blanks around allowed) is a number; digits may be grouped by
// thousands separators ("1,000"), which Val does not read.
bool IsNumeric(std::string_view text);
// A number Val reads whole: IsNumeric without thousands separators ("1,5" is not one). The
// check for what a user typed, which is then read by Val.
bool IsPlainNumber(std::string_view text);

// Number to text.
std::string Str(double v);                   // " 1984", "-3.5", " 0.5" (15 significant digits)
std::string StrSingle(float v);              // as Str, a Single's up to 7 significant digits
std::string CStr(double v);                  // "1984", "-3.5", "1E+16" style, no leading blank
std::string CStrSingle(float v);             // a Single's shortest text, up to 7 digits: "0.1", "-3.5"
std::string CStrInt(int64_t v);              // plain integer text

// Format with the runtime's pattern syntax: digit placeholders "0" and "#", ".", thousands
// ",", "%", "E+00", quoted and "\"-escaped literals, sections "pos;neg;zero" and "@" ("0.0",
// "#.0", "#.00", "0.00", "00", "#,##0", "0.0%", "." ...); the named "General Number", "Fixed",
// "Standard", "Percent", "Scientific", "Currency"; and date patterns ("mm-dd-yyyy",
// "hh:mm:ss", "m/d/yyyy", "h:mm AM/PM", "dddd", "mmm d", "Short Date", "Long Date", ...), which
// go to FormatDate. Rounds half away from zero like the runtime's Format (not banker's); a
// negative that shows only zeros loses its sign.
std::string Format(double v, std::string_view pattern);
// Format of a Single: rounds the Single's own 7 significant digits, as the runtime does for a
// Single (2.35f with "0.0" gives "2.4", where the same value as a Double gives "2.3").
std::string FormatSingle(float v, std::string_view pattern);
std::string FormatDate(double oleDate, std::string_view pattern);
// Upper-case hexadecimal of a Long, negative values as their 32-bit pattern (-1 -> "FFFFFFFF").
std::string Hex(int32_t v);

// String helpers with the runtime's rules.
std::string Trim(std::string_view s);
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);
std::string LCase(std::string_view s);
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);
std::string Mid(std::string_view s, std::size_t start1, std::size_t n = std::string::npos);
// 1-based InStr; 0 when absent.
std::size_t InStr(std::size_t start1, std::string_view s, std::string_view find);
bool Like(std::string_view text, std::string_view pattern); // '*', '?', '#' wildcards, case-sensitive
// Text comparison that ignores letter case (ASCII), as the runtime's text compare does.
bool SameText(std::string_view a, std::string_view b);

// OLE Automation dates: days since 30 December 1899, fraction = time of day.
double DateSerial(int year, int month, int day);   // month/day overflow rolls like the runtime
double TimeSerial(int hour, int minute, int second);
void DateParts(double oleDate, int& year, int& month, int& day);
int Year(double oleDate);
int Month(double oleDate);
int Day(double oleDate);
int Weekday(double oleDate);                       // 1 = Sunday .. 7 = Saturday
int DayOfYear(double oleDate);
int Hour(double oleDate);
int Minute(double oleDate);
int Second(double oleDate);
// DatePart with units "yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s": weeks begin on
// Sunday and week 1 is the week that holds 1 January. VbError 5 for an unknown unit.
int DatePart(std::string_view unit, double oleDate);
double Today();                                    // today's date (local time), whole days
double Now();
// DateAdd with units "yyyy", "q", "m", "ww", "w", "d", "y", "h", "n", "s"; month ends clamp.
// Throws VbError 5 when the result falls outside 1 Jan 100 .. 31 Dec 9999.
double DateAdd(std::string_view unit, double count, double oleDate);
// Parses "m/d/yyyy", "m-d-yyyy", "yyyy-mm-dd", "m/d/yy", "m/d" (this year), "September 10, 2024",
// "10-Sep-2024", each optionally followed by a time "h:mm[:ss] [AM|PM]", or a time alone.
// False when the text is no date (a day or month out of range included).
bool TryParseDate(std::string_view text, double& oleDate);
bool IsDate(std::string_view text);

// Fixed-point currency: value x 10 000 in a signed 64-bit integer.
int64_t CurrencyFromDouble(double v);              // rounds half to even at the 4th decimal
double CurrencyToDouble(int64_t raw);

} // namespace vexal::vb
