#include "VbConvert.h"

#include "Clock.h"

#include "VbError.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace vexal::vb {

namespace {

// ---------------------------------------------------------------------------
// Decimal digits of a number, as the runtime prints it.

// value = 0.d1d2d3... x 10^point, sign aside. Zero has no digits.
struct Digits {
    bool negative = false;
    std::string digits;
    int point = 0;
};

// The number rounded to `significant` digits (half away from zero, as printf does on the
// exact binary value), trailing zeros removed.
Digits SignificantDigits(double v, int significant)
{
    Digits d;
    d.negative = std::signbit(v) && v != 0;
    if (v == 0 || !std::isfinite(v))
        return d;
    // to_chars never looks at the locale: the text is d.ddde+xx whatever LANG says.
    char buf[64];
    const auto written = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                                       significant - 1);
    const std::string_view s(buf, static_cast<std::size_t>(written.ptr - buf));
    const auto e = s.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] != '.')
            d.digits += s[i];
    }
    const char* exp = s.data() + e + 1;
    if (*exp == '+')
        ++exp;
    int exp10 = 0;
    std::from_chars(exp, s.data() + s.size(), exp10);
    d.point = exp10 + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

std::string ExponentText(int exp10)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%02d", exp10 < 0 ? '-' : '+', std::abs(exp10));
    return buf;
}

// The runtime's general number text: plain decimals within the precision, else
// mantissa and exponent ("1E+16", "1.5E-05").
std::string GeneralText(double v, int significant)
{
    if (std::isnan(v))
        return "NaN";
    if (std::isinf(v))
        return v < 0 ? "-Infinity" : "Infinity";
    Digits d = SignificantDigits(v, significant);
    if (d.digits.empty())
        return "0";
    std::string out = d.negative ? "-" : "";
    const int exp10 = d.point - 1;
    if (exp10 >= significant || exp10 < -4) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += '.';
            out.append(d.digits, 1, std::string::npos);
        }
        out += ExponentText(exp10);
        return out;
    }
    if (d.point <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-d.point), '0');
        out += d.digits;
    } else if (static_cast<std::size_t>(d.point) >= d.digits.size()) {
        out += d.digits;
        out.append(static_cast<std::size_t>(d.point) - d.digits.size(), '0');
    } else {
        out.append(d.digits, 0, static_cast<std::size_t>(d.point));
        out += '.';
        out.append(d.digits, static_cast<std::size_t>(d.point), std::string::npos);
    }
    return out;
}

[[noreturn]] void Throw(int32_t number)
{
    throw VbError::Of(number);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Letter case and letters are ASCII only, the same under every locale.
char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The value of a plain decimal text "[+|-]digits[.digits][e[+|-]digits]", read without the
// locale. Never fails: beyond the Double range it is the largest Double, below it zero.
double DecimalValue(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small: where the first significant digit stands tells which.
        int64_t magnitude = 0;  // value = 0.d... x 10^magnitude x 10^exponent
        std::size_t i = 0;
        while (i < text.size() && text[i] == '0')
            ++i;
        bool found = false;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            ++magnitude;
            found = true;
        }
        if (i < text.size() && text[i] == '.') {
            ++i;
            for (; i < text.size() && IsDigit(text[i]); ++i) {
                if (!found && text[i] == '0')
                    --magnitude;
                else
                    found = true;
            }
        }
        int64_t exponent = 0;
        if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
            ++i;
            const bool expNegative = i < text.size() && text[i] == '-';
            if (i < text.size() && (text[i] == '+' || text[i] == '-'))
                ++i;
            for (; i < text.size() && IsDigit(text[i]); ++i)
                exponent = std::min<int64_t>(exponent * 10 + (text[i] - '0'), 1000000);
            if (expNegative)
                exponent = -exponent;
        }
        v = found && magnitude + exponent > 0 ? std::numeric_limits<double>::max() : 0.0;
    } else if (ec != std::errc()) {
        v = 0;
    }
    return negative ? -v : v;
}

// ---------------------------------------------------------------------------
// Calendar arithmetic on a proleptic Gregorian calendar.

int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t y = yoe + era * 400;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

const int64_t OleEpoch = DaysFromCivil(1899, 12, 30);
constexpr double MinDate = -657434.0;   // 1 January 100
constexpr double MaxDate = 2958465.0;   // 31 December 9999
constexpr double SecondsPerDay = 86400.0;

bool IsLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// An OLE date counts the day with its sign and the time of day always forward
// (-1.25 is 29 December 1899, 06:00). The linear form is plain days + fraction.
double ToLinear(double ole)
{
    if (ole >= 0)
        return ole;
    const double day = std::trunc(ole);
    return day + std::fabs(ole - day);
}

double FromLinear(double linear)
{
    const double day = std::floor(linear);
    const double frac = linear - day;
    if (day >= 0)
        return day + frac;
    return day - frac;
}

// Day number and second of day, the time rounded to the second as the runtime shows it.
void SplitDate(double ole, int64_t& dayNumber, int& secondOfDay)
{
    // Only days from 1 January 100 to 31 December 9999 are dates.
    if (!(ole > MinDate - 1 && ole < MaxDate + 1))
        Throw(VbError::InvalidProcedureCall);
    double linear = ToLinear(ole);
    double day = std::floor(linear);
    double secs = std::round((linear - day) * SecondsPerDay);
    if (secs >= SecondsPerDay) {
        day += 1;
        secs -= SecondsPerDay;
    }
    dayNumber = static_cast<int64_t>(day);
    secondOfDay = static_cast<int>(secs);
}

// Two-digit years as the runtime reads them: 0-29 this century, 30-99 the last.
int ExpandYear(int y)
{
    if (y >= 0 && y < 30)
        return 2000 + y;
    if (y >= 30 && y < 100)
        return 1900 + y;
    return y;
}

double AddMonths(double ole, int64_t months)
{
    if (!(ole > MinDate - 1 && ole < MaxDate + 1))
        Throw(VbError::InvalidProcedureCall);
    const double linear = ToLinear(ole);
    const auto dayNumber = static_cast<int64_t>(std::floor(linear));
    const double frac = linear - std::floor(linear);
    int y, m, d;
    CivilFromDays(dayNumber + OleEpoch, y, m, d);
    int64_t total = static_cast<int64_t>(y) * 12 + (m - 1) + months;
    int64_t ny = total >= 0 ? total / 12 : -((-total + 11) / 12);
    int nm = static_cast<int>(total - ny * 12) + 1;
    if (ny < 100 || ny > 9999)
        Throw(VbError::InvalidProcedureCall);
    int nd = std::min(d, DaysInMonth(static_cast<int>(ny), nm));
    double day = static_cast<double>(DaysFromCivil(ny, nm, nd) - OleEpoch);
    return FromLinear(day + frac);
}

const char* const MonthNames[] = {"January", "February", "March", "April", "May", "June",
    "July", "August", "September", "October", "November", "December"};
const char* const DayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday",
    "Friday", "Saturday"};

std::string TwoDigits(int v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view what)
{
    if (s.size() - at < what.size() || at > s.size())
        return false;
    for (std::size_t i = 0; i < what.size(); ++i) {
        if (Lower(s[at + i]) != Lower(what[i]))
            return false;
    }
    return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && StartsWithNoCase(a, 0, b);
}

// ---------------------------------------------------------------------------
// Number patterns.

// Rounds decimal digits to `decimals` places, half away from zero. Working on the digits the
// runtime sees (15 significant for a Double, 7 for a Single) rather than on the binary value
// makes 2.675 show as 2.68. Gives the integer digits (empty for zero) and exactly `decimals`
// fraction digits.
void RoundToPlaces(const Digits& d, int decimals, std::string& intDigits, std::string& fracDigits)
{
    // Place the digits on a fixed grid: integer part then `decimals` fraction digits.
    std::string all; // all digits of integer + fraction, unrounded beyond the grid
    intDigits.clear();
    fracDigits.clear();
    if (d.digits.empty()) {
        fracDigits.assign(static_cast<std::size_t>(decimals), '0');
        return;
    }
    // Digits with the decimal point at position `point`.
    std::string intPart, fracPart;
    if (d.point <= 0) {
        fracPart = std::string(static_cast<std::size_t>(-d.point), '0') + d.digits;
    } else if (static_cast<std::size_t>(d.point) >= d.digits.size()) {
        intPart = d.digits + std::string(static_cast<std::size_t>(d.point) - d.digits.size(), '0');
    } else {
        intPart = d.digits.substr(0, static_cast<std::size_t>(d.point));
        fracPart = d.digits.substr(static_cast<std::size_t>(d.point));
    }
    bool roundUp = fracPart.size() > static_cast<std::size_t>(decimals)
        && fracPart[static_cast<std::size_t>(decimals)] >= '5';
    if (fracPart.size() > static_cast<std::size_t>(decimals))
        fracPart.resize(static_cast<std::size_t>(decimals));
    fracPart.append(static_cast<std::size_t>(decimals) - fracPart.size(), '0');
    all = intPart + fracPart;
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0)
            ++all[static_cast<std::size_t>(i)];
        else
            all.insert(all.begin(), '1');
    }
    const std::size_t intLen = all.size() - static_cast<std::size_t>(decimals);
    intDigits = all.substr(0, intLen);
    fracDigits = all.substr(intLen);
    std::size_t nz = intDigits.find_first_not_of('0');
    intDigits = nz == std::string::npos ? std::string() : intDigits.substr(nz);
}

enum class TokenKind { Zero, Hash, Point, Comma, Percent, Exponent, Literal, At, Amp };

struct Token {
    TokenKind kind;
    std::string text;      // Literal text; for Exponent "E+" / "E-" / "e+" / "e-"
};

std::vector<Token> TokenizeNumberPattern(std::string_view p)
{
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        switch (c) {
        case '0': tokens.push_back({TokenKind::Zero, {}}); break;
        case '#': tokens.push_back({TokenKind::Hash, {}}); break;
        case '.': tokens.push_back({TokenKind::Point, {}}); break;
        case ',': tokens.push_back({TokenKind::Comma, {}}); break;
        case '%': tokens.push_back({TokenKind::Percent, {}}); break;
        case '@': tokens.push_back({TokenKind::At, {}}); break;
        case '&': tokens.push_back({TokenKind::Amp, {}}); break;
        case '"': {
            auto end = p.find('"', i + 1);
            if (end == std::string_view::npos)
                end = p.size();
            tokens.push_back({TokenKind::Literal, std::string(p.substr(i + 1, end - i - 1))});
            i = end;
            break;
        }
        case '\\':
            if (i + 1 < p.size()) {
                tokens.push_back({TokenKind::Literal, std::string(1, p[i + 1])});
                ++i;
            }
            break;
        case 'E':
        case 'e':
            if (i + 1 < p.size() && (p[i + 1] == '+' || p[i + 1] == '-')) {
                tokens.push_back({TokenKind::Exponent, std::string(p.substr(i, 2))});
                ++i;
                break;
            }
            tokens.push_back({TokenKind::Literal, std::string(1, c)});
            break;
        default:
            tokens.push_back({TokenKind::Literal, std::string(1, c)});
            break;
        }
    }
    return tokens;
}

bool IsDigitToken(const Token& t)
{
    return t.kind == TokenKind::Zero || t.kind == TokenKind::Hash;
}

char PatternChar(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Zero: return '0';
    case TokenKind::Hash: return '#';
    case TokenKind::Point: return '.';
    case TokenKind::Comma: return ',';
    case TokenKind::Percent: return '%';
    default: return ' ';
    }
}

// Text placeholders: '@' shows a character or a blank, '&' a character or nothing,
// filled from the right.
std::string FormatText(const std::string& text, const std::vector<Token>& tokens)
{
    std::string out;
    int pos = static_cast<int>(text.size()) - 1;
    int firstPlaceholder = -1;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind == TokenKind::At || tokens[i].kind == TokenKind::Amp) {
            firstPlaceholder = static_cast<int>(i);
            break;
        }
    }
    std::vector<std::string> pieces(tokens.size());
    for (int i = static_cast<int>(tokens.size()) - 1; i >= 0; --i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (t.kind == TokenKind::At || t.kind == TokenKind::Amp) {
            if (pos >= 0) {
                if (i == firstPlaceholder) {
                    pieces[static_cast<std::size_t>(i)] = text.substr(0, static_cast<std::size_t>(pos) + 1);
                    pos = -1;
                } else {
                    pieces[static_cast<std::size_t>(i)] = std::string(1, text[static_cast<std::size_t>(pos)]);
                    --pos;
                }
            } else if (t.kind == TokenKind::At) {
                pieces[static_cast<std::size_t>(i)] = " ";
            }
        } else if (t.kind == TokenKind::Literal) {
            pieces[static_cast<std::size_t>(i)] = t.text;
        } else {
            pieces[static_cast<std::size_t>(i)] = std::string(1, PatternChar(t.kind));
        }
    }
    for (auto& piece : pieces)
        out += piece;
    return out;
}

// Where the parts of one number section stand in its tokens.
struct SectionShape {
    int firstDigit = -1, lastIntDigit = -1, pointAt = -1, expAt = -1;
    int intZeros = 0;      // integer digits the pattern forces
    int fracPlaces = 0;
    int percents = 0;      // each multiplies by 100
    int scaleCommas = 0;   // each divides by 1000
    bool grouping = false; // thousands separators
    // The first token after the integer placeholders.
    int IntEnd(std::size_t tokens) const
    {
        return pointAt >= 0 ? pointAt : (expAt >= 0 ? expAt : static_cast<int>(tokens));
    }
    // The first token after the fraction placeholders.
    int FracEnd(std::size_t tokens) const { return expAt >= 0 ? expAt : static_cast<int>(tokens); }
};

SectionShape ShapeOf(const std::vector<Token>& tokens)
{
    SectionShape s;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (s.expAt >= 0)
            break;
        if (t.kind == TokenKind::Percent)
            ++s.percents;
        if (t.kind == TokenKind::Exponent) {
            s.expAt = static_cast<int>(i);
            break;
        }
        if (t.kind == TokenKind::Point && s.pointAt < 0) {
            s.pointAt = static_cast<int>(i);
            continue;
        }
        if (IsDigitToken(t)) {
            if (s.firstDigit < 0)
                s.firstDigit = static_cast<int>(i);
            if (s.pointAt < 0)
                s.lastIntDigit = static_cast<int>(i);
            else
                ++s.fracPlaces;
        }
    }
    // Commas between integer placeholders group thousands; commas right after the last
    // integer placeholder scale by a thousand each.
    for (int i = 0; i < static_cast<int>(tokens.size()); ++i) {
        if (tokens[static_cast<std::size_t>(i)].kind != TokenKind::Comma)
            continue;
        if (s.pointAt >= 0 && i > s.pointAt)
            continue;
        if (s.expAt >= 0 && i > s.expAt)
            continue;
        if (s.firstDigit >= 0 && i > s.firstDigit && i < s.lastIntDigit)
            s.grouping = true;
        else if (s.lastIntDigit >= 0 && i > s.lastIntDigit) {
            bool onlyCommas = true;
            for (int j = s.lastIntDigit + 1; j < i; ++j) {
                if (tokens[static_cast<std::size_t>(j)].kind != TokenKind::Comma)
                    onlyCommas = false;
            }
            if (onlyCommas)
                ++s.scaleCommas;
        }
    }
    // Integer '0' placeholders from the first '0' down to the point force digits.
    bool seenZero = false;
    for (int i = 0; i <= s.lastIntDigit; ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (t.kind == TokenKind::Zero)
            seenZero = true;
        if (seenZero && IsDigitToken(t))
            ++s.intZeros;
    }
    return s;
}

// The digits a section shows: integer and fraction digits, and the exponent text.
struct SectionDigits {
    std::string intDigits, fracDigits, expText;
};

// A scientific section: the mantissa fills the integer placeholders, the exponent its own.
SectionDigits ScientificDigits(double v, int significant, const std::vector<Token>& tokens, const SectionShape& shape)
{
    SectionDigits out;
    int intPlaces = 0;
    for (int i = 0; i <= shape.lastIntDigit; ++i) {
        if (IsDigitToken(tokens[static_cast<std::size_t>(i)]))
            ++intPlaces;
    }
    intPlaces = std::max(intPlaces, 1);
    int exp10 = 0;
    Digits d = SignificantDigits(v, significant);
    if (!d.digits.empty()) {
        // The mantissa is the same digits with the point moved.
        exp10 = d.point - intPlaces;
        d.point = intPlaces;
        RoundToPlaces(d, shape.fracPlaces, out.intDigits, out.fracDigits);
        if (out.intDigits.size() > static_cast<std::size_t>(intPlaces)) {
            ++exp10;
            --d.point;
            RoundToPlaces(d, shape.fracPlaces, out.intDigits, out.fracDigits);
        }
    } else {
        RoundToPlaces(d, shape.fracPlaces, out.intDigits, out.fracDigits);
    }
    int expZeros = 0;
    std::size_t i = static_cast<std::size_t>(shape.expAt) + 1;
    while (i < tokens.size() && IsDigitToken(tokens[i])) {
        if (tokens[i].kind == TokenKind::Zero)
            ++expZeros;
        ++i;
    }
    const Token& e = tokens[static_cast<std::size_t>(shape.expAt)];
    std::string num = std::to_string(std::abs(exp10));
    if (num.size() < static_cast<std::size_t>(expZeros))
        num.insert(0, static_cast<std::size_t>(expZeros) - num.size(), '0');
    out.expText = std::string(1, e.text[0]);
    if (exp10 < 0)
        out.expText += '-';
    else if (e.text[1] == '+')
        out.expText += '+';
    out.expText += num;
    return out;
}

// Which fraction digits show: '#' places drop trailing zeros.
std::vector<bool> ShownFraction(const std::string& fracDigits, const std::vector<Token>& tokens,
                                const SectionShape& shape)
{
    std::vector<bool> shown(fracDigits.size(), true);
    int k = static_cast<int>(fracDigits.size()) - 1;
    // Walk the fraction placeholders from the right.
    for (int i = shape.FracEnd(tokens.size()) - 1; i > shape.pointAt && k >= 0; --i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        if (!IsDigitToken(t))
            continue;
        if (t.kind == TokenKind::Hash && fracDigits[static_cast<std::size_t>(k)] == '0')
            shown[static_cast<std::size_t>(k)] = false;
        else
            break;
        --k;
    }
    return shown;
}

// The text of a literal or percent token; empty for the others.
std::string FixedText(const Token& t)
{
    if (t.kind == TokenKind::Literal)
        return t.text;
    if (t.kind == TokenKind::Percent)
        return "%";
    return std::string();
}

// The integer part, filled from the right; extra digits go at the leftmost placeholder.
void LayIntegerPart(const std::string& intDigits, const std::vector<Token>& tokens, const SectionShape& shape,
                    std::vector<std::string>& pieces)
{
    int digitIndex = 0; // index from the units digit
    int pos = static_cast<int>(intDigits.size()) - 1;
    auto emitDigit = [&](std::string& piece) {
        std::string s(1, intDigits[static_cast<std::size_t>(pos)]);
        if (shape.grouping && digitIndex > 0 && digitIndex % 3 == 0)
            s += ',';
        piece.insert(0, s);
        --pos;
        ++digitIndex;
    };
    const int intEnd = shape.IntEnd(tokens.size());
    for (int i = intEnd - 1; i >= 0; --i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        std::string& piece = pieces[static_cast<std::size_t>(i)];
        if (IsDigitToken(t)) {
            if (i == shape.firstDigit) {
                while (pos >= 0)
                    emitDigit(piece);
            } else if (pos >= 0) {
                emitDigit(piece);
            }
        } else if (t.kind == TokenKind::Literal || t.kind == TokenKind::Percent) {
            piece = FixedText(t);
        }
    }
    // No integer placeholder: the integer digits still show before the point.
    if ((shape.firstDigit < 0 || shape.firstDigit > intEnd) && shape.pointAt >= 0)
        pieces[static_cast<std::size_t>(shape.pointAt)] = intDigits;
}

void LayFractionPart(const std::string& fracDigits, const std::vector<Token>& tokens, const SectionShape& shape,
                     std::vector<std::string>& pieces)
{
    const std::vector<bool> shown = ShownFraction(fracDigits, tokens, shape);
    pieces[static_cast<std::size_t>(shape.pointAt)] += '.';
    int k = 0;
    for (int i = shape.pointAt + 1; i < shape.FracEnd(tokens.size()); ++i) {
        const Token& t = tokens[static_cast<std::size_t>(i)];
        std::string& piece = pieces[static_cast<std::size_t>(i)];
        if (IsDigitToken(t)) {
            if (k < static_cast<int>(fracDigits.size()) && shown[static_cast<std::size_t>(k)])
                piece = std::string(1, fracDigits[static_cast<std::size_t>(k)]);
            ++k;
        } else if (t.kind == TokenKind::Literal || t.kind == TokenKind::Percent) {
            piece = FixedText(t);
        }
    }
}

void LayExponentPart(const std::string& expText, const std::vector<Token>& tokens, const SectionShape& shape,
                     std::vector<std::string>& pieces)
{
    pieces[static_cast<std::size_t>(shape.expAt)] = expText;
    std::size_t i = static_cast<std::size_t>(shape.expAt) + 1;
    while (i < tokens.size() && IsDigitToken(tokens[i]))
        ++i;
    for (; i < tokens.size(); ++i)
        if (tokens[i].kind == TokenKind::Literal || tokens[i].kind == TokenKind::Percent)
            pieces[i] = FixedText(tokens[i]);
}

// One section of a number pattern applied to a non-negative value.
std::string FormatSection(double v, const std::vector<Token>& tokens, int significant)
{
    const SectionShape shape = ShapeOf(tokens);
    for (int i = 0; i < shape.percents; ++i)
        v *= 100;
    for (int i = 0; i < shape.scaleCommas; ++i)
        v /= 1000;
    SectionDigits digits;
    if (shape.expAt >= 0)
        digits = ScientificDigits(v, significant, tokens, shape);
    else
        RoundToPlaces(SignificantDigits(v, significant), shape.fracPlaces, digits.intDigits, digits.fracDigits);
    // Leading zeros the pattern asks for.
    if (digits.intDigits.size() < static_cast<std::size_t>(shape.intZeros))
        digits.intDigits.insert(0, static_cast<std::size_t>(shape.intZeros) - digits.intDigits.size(), '0');

    std::vector<std::string> pieces(tokens.size());
    LayIntegerPart(digits.intDigits, tokens, shape, pieces);
    if (shape.pointAt >= 0)
        LayFractionPart(digits.fracDigits, tokens, shape, pieces);
    if (shape.expAt >= 0)
        LayExponentPart(digits.expText, tokens, shape, pieces);
    std::string out;
    for (auto& piece : pieces)
        out += piece;
    return out;
}

// The pattern split at ';' outside quotes.
std::vector<std::string> SplitSections(std::string_view pattern)
{
    std::vector<std::string> sections(1);
    bool quoted = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '"')
            quoted = !quoted;
        if (c == '\\' && i + 1 < pattern.size() && !quoted) {
            sections.back() += c;
            sections.back() += pattern[++i];
            continue;
        }
        if (c == ';' && !quoted) {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

// True when the result shows no non-zero digit (a negative that rounds away).
bool ShowsOnlyZeros(const std::string& text)
{
    for (char c : text) {
        if (c >= '1' && c <= '9')
            return false;
    }
    return true;
}

bool IsDatePattern(std::string_view pattern)
{
    static constexpr std::string_view named[] = {"General Date", "Long Date", "Medium Date",
        "Short Date", "Long Time", "Medium Time", "Short Time"};
    for (auto n : named) {
        if (EqualsNoCase(pattern, n))
            return true;
    }
    bool quoted = false;
    bool dateLetter = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (c == '\\') {
            ++i;
            continue;
        }
        if (c == '0' || c == '#' || c == '@' || c == '&')
            return false;
        switch (Lower(c)) {
        case 'd': case 'm': case 'y': case 'h': case 'n': case 's': case 'w': case 'q': case 't':
            dateLetter = true;
            break;
        default:
            break;
        }
    }
    return dateLetter;
}

} // namespace

// ===========================================================================
// Rounding and truncation.

double RoundHalfEven(double v)
{
    // A whole number is its own rounding: the common case (counters, week numbers) without
    // the library calls.
    if (v > -9.0e18 && v < 9.0e18 && static_cast<double>(static_cast<int64_t>(v)) == v)
        return v;
    if (!std::isfinite(v))
        return v;
    double r = std::round(v); // half away from zero
    if (std::fabs(v - std::trunc(v)) == 0.5)
        r = 2.0 * std::round(v / 2.0);
    return r;
}

int Whole(double v) { return static_cast<int>(RoundHalfEven(v)); }

int16_t CInt(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= -32768.0 && r <= 32767.0))
        Throw(VbError::Overflow);
    return static_cast<int16_t>(r);
}

int32_t CLng(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        Throw(VbError::Overflow);
    return static_cast<int32_t>(r);
}

uint8_t CByte(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= 0.0 && r <= 255.0))
        Throw(VbError::Overflow);
    return static_cast<uint8_t>(r);
}

double Int(double v)
{
    return std::floor(v);
}

double Fix(double v)
{
    return std::trunc(v);
}

float CSng(double v)
{
    if (std::isnan(v))
        return std::numeric_limits<float>::quiet_NaN();
    const double maxSingle = static_cast<double>(std::numeric_limits<float>::max());
    if (std::fabs(v) > maxSingle) {
        // Values that round to the largest Single are still representable.
        const float f = static_cast<float>(v);
        if (std::isinf(f))
            Throw(VbError::Overflow);
        return f;
    }
    return static_cast<float>(v);
}

// ===========================================================================
// Text to number.

double Val(std::string_view text)
{
    // Blanks, tabs and line feeds are skipped anywhere, even between digits.
    std::string s;
    s.reserve(text.size());
    for (char c : text) {
        if (!IsBlank(c))
            s += c;
    }
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&') {
        const char kind = Lower(s[1]);
        int base = kind == 'h' ? 16 : (kind == 'o' ? 8 : 0);
        std::size_t start = 2;
        if (base == 0 && IsDigit(s[1])) {
            base = 8; // "&17" is octal too
            start = 1;
        }
        if (base == 0)
            return 0;
        uint64_t value = 0;
        std::size_t digits = 0;
        for (i = start; i < s.size(); ++i) {
            const char c = Lower(s[i]);
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else
                break;
            if (d >= base)
                break;
            const uint64_t next = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
            if (next > 0xFFFFFFFFull)
                break; // reading a number never fails: the digits that fit are the value
            value = next;
            ++digits;
        }
        if (digits == 0)
            return 0;
        // Values that fit in 16 bits read as an Integer, others as a Long: "&HFFFF" is -1.
        if (value <= 0xFFFF)
            return static_cast<int16_t>(static_cast<uint16_t>(value));
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool anyDigit = false;
    while (i < s.size() && IsDigit(s[i])) {
        number += s[i++];
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && IsDigit(s[i])) {
            number += s[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return 0;
    if (i < s.size() && (Lower(s[i]) == 'e' || Lower(s[i]) == 'd')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp += s[j++];
        bool expDigits = false;
        while (j < s.size() && IsDigit(s[j])) {
            exp += s[j++];
            expDigits = true;
        }
        if (expDigits)
            number += exp;
    }
    return DecimalValue(number);
}

bool IsNumeric(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    std::string_view s = text.substr(b, e - b);
    if (s.empty())
        return false;
    std::size_t i = 0;
    if (s.size() >= 3 && s[0] == '&' && (Lower(s[1]) == 'h' || Lower(s[1]) == 'o')) {
        const int base = Lower(s[1]) == 'h' ? 16 : 8;
        for (i = 2; i < s.size(); ++i) {
            const char c = Lower(s[i]);
            const bool ok = base == 16 ? (IsDigit(c) || (c >= 'a' && c <= 'f')) : (c >= '0' && c <= '7');
            if (!ok)
                return false;
        }
        return true;
    }
    if (s[i] == '+' || s[i] == '-') {
        ++i;
        while (i < s.size() && IsBlank(s[i]))
            ++i;
    }
    bool digits = false;
    while (i < s.size() && (IsDigit(s[i]) || (s[i] == ',' && digits))) {
        if (IsDigit(s[i]))
            digits = true;
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            digits = true;
            ++i;
        }
    }
    if (!digits)
        return false;
    if (i < s.size() && (Lower(s[i]) == 'e' || Lower(s[i]) == 'd')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        bool expDigits = false;
        while (i < s.size() && IsDigit(s[i])) {
            expDigits = true;
            ++i;
        }
        if (!expDigits)
            return false;
    }
    return i == s.size();
}

bool IsPlainNumber(std::string_view text)
{
    return text.find(',') == std::string_view::npos && IsNumeric(text);
}

// ===========================================================================
// Number to text.

std::string CStr(double v)
{
    return GeneralText(v, 15);
}

std::string CStrSingle(float v)
{
    return GeneralText(static_cast<double>(v), 7);
}

std::string Str(double v)
{
    std::string s = CStr(v);
    return s[0] == '-' ? s : " " + s;
}

std::string StrSingle(float v)
{
    std::string s = CStrSingle(v);
    return s[0] == '-' ? s : " " + s;
}

std::string CStrInt(int64_t v)
{
    return std::to_string(v);
}

std::string Hex(int32_t v)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<uint32_t>(v));
    return buf;
}

namespace {

std::string FormatWith(double v, std::string_view pattern, int significant)
{
    auto general = [&] { return GeneralText(v, significant); };
    if (pattern.empty())
        return general();
    if (EqualsNoCase(pattern, "General Number"))
        return general();
    if (EqualsNoCase(pattern, "Currency"))
        return FormatWith(v, "$#,##0.00;($#,##0.00)", significant);
    if (EqualsNoCase(pattern, "Fixed"))
        return FormatWith(v, "0.00", significant);
    if (EqualsNoCase(pattern, "Standard"))
        return FormatWith(v, "#,##0.00", significant);
    if (EqualsNoCase(pattern, "Percent"))
        return FormatWith(v, "0.00%", significant);
    if (EqualsNoCase(pattern, "Scientific"))
        return FormatWith(v, "0.00E+00", significant);
    if (EqualsNoCase(pattern, "Yes/No"))
        return v != 0 ? "Yes" : "No";
    if (EqualsNoCase(pattern, "True/False"))
        return v != 0 ? "True" : "False";
    if (EqualsNoCase(pattern, "On/Off"))
        return v != 0 ? "On" : "Off";
    if (IsDatePattern(pattern))
        return FormatDate(v, pattern);

    const std::vector<std::string> sections = SplitSections(pattern);
    std::string section = sections[0];
    bool addMinus = false;
    if (v < 0) {
        if (sections.size() >= 2 && !sections[1].empty())
            section = sections[1];
        else
            addMinus = true;
    } else if (v == 0 && sections.size() >= 3 && !sections[2].empty()) {
        section = sections[2];
    }
    const std::vector<Token> tokens = TokenizeNumberPattern(section);
    bool text = false, digits = false;
    for (const auto& t : tokens) {
        if (t.kind == TokenKind::At || t.kind == TokenKind::Amp)
            text = true;
        if (IsDigitToken(t))
            digits = true;
    }
    if (text && !digits)
        return FormatText(general(), tokens);
    if (tokens.empty())
        return general();
    std::string out = FormatSection(std::fabs(v), tokens, significant);
    // A negative that rounds to nothing but zeros shows no sign.
    if (addMinus && !ShowsOnlyZeros(out))
        out.insert(0, "-");
    return out;
}

} // namespace

std::string Format(double v, std::string_view pattern)
{
    return FormatWith(v, pattern, 15);
}

std::string FormatSingle(float v, std::string_view pattern)
{
    return FormatWith(static_cast<double>(v), pattern, 7);
}

namespace {

// The calendar and clock parts of an OLE date.
struct DateFields {
    int64_t dayNumber = 0;
    int secondOfDay = 0;
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    int weekday = 0;   // 1 Sunday .. 7 Saturday
};

DateFields PartsOf(double oleDate)
{
    DateFields d;
    SplitDate(oleDate, d.dayNumber, d.secondOfDay);
    CivilFromDays(d.dayNumber + OleEpoch, d.year, d.month, d.day);
    d.hour = d.secondOfDay / 3600;
    d.minute = d.secondOfDay / 60 % 60;
    d.second = d.secondOfDay % 60;
    d.weekday = static_cast<int>(((d.dayNumber + 6) % 7 + 7) % 7) + 1;
    return d;
}

// A named format ("Long Date", "General Date" ...) as the pattern it stands for; any other
// pattern as it is.
std::string ExpandedDatePattern(std::string_view pattern, const DateFields& d)
{
    if (EqualsNoCase(pattern, "General Date")) {
        if (d.dayNumber != 0 && d.secondOfDay != 0)
            return "m/d/yyyy h:mm:ss AM/PM";
        if (d.dayNumber == 0 && d.secondOfDay != 0)
            return "h:mm:ss AM/PM";
        return "m/d/yyyy";
    }
    struct Named {
        const char* name;
        const char* pattern;
    };
    static constexpr Named Names[] = {
        {"Long Date", "dddd, mmmm d, yyyy"}, {"Medium Date", "dd-mmm-yy"}, {"Short Date", "m/d/yyyy"},
        {"Long Time", "h:mm:ss AM/PM"},      {"Medium Time", "hh:mm AM/PM"}, {"Short Time", "hh:mm"}};
    for (const Named& n : Names)
        if (EqualsNoCase(pattern, n.name))
            return n.pattern;
    return std::string(pattern);
}

// A 12-hour clock when the pattern carries an AM/PM marker anywhere.
bool TwelveHourClock(std::string_view p)
{
    for (std::string_view marker : {"AM/PM", "A/P", "AMPM"})
        for (std::size_t i = 0; i < p.size(); ++i)
            if (StartsWithNoCase(p, i, marker))
                return true;
    return false;
}

// The AM/PM marker that starts at i, written into out; answers its length, 0 when none does.
std::size_t AmPmMarker(std::string_view p, std::size_t i, int hour, std::string& out)
{
    const bool upper = p[i] == 'A';
    const bool morning = hour < 12;
    if (StartsWithNoCase(p, i, "AM/PM")) {
        out += morning ? (upper ? "AM" : "am") : (upper ? "PM" : "pm");
        return 5;
    }
    if (StartsWithNoCase(p, i, "A/P")) {
        out += morning ? (upper ? "A" : "a") : (upper ? "P" : "p");
        return 3;
    }
    if (StartsWithNoCase(p, i, "AMPM")) {
        out += morning ? "AM" : "PM";
        return 4;
    }
    return 0;
}

std::string DayText(std::size_t n, const DateFields& d, double oleDate)
{
    switch (n) {
    case 1: return std::to_string(d.day);
    case 2: return TwoDigits(d.day);
    case 3: return std::string(DayNames[d.weekday - 1]).substr(0, 3);
    case 4: return DayNames[d.weekday - 1];
    case 5: return FormatDate(oleDate, "m/d/yyyy");
    default: return FormatDate(oleDate, "dddd, mmmm d, yyyy");
    }
}

// "m" right after an hour is the minutes, else the month.
std::string MonthText(std::size_t n, const DateFields& d, bool afterHour)
{
    if (afterHour && n <= 2)
        return n == 1 ? std::to_string(d.minute) : TwoDigits(d.minute);
    switch (n) {
    case 1: return std::to_string(d.month);
    case 2: return TwoDigits(d.month);
    case 3: return std::string(MonthNames[d.month - 1]).substr(0, 3);
    default: return MonthNames[d.month - 1];
    }
}

std::string YearText(std::size_t n, const DateFields& d)
{
    if (n == 1 || n == 3) {
        const int dayOfYear = static_cast<int>(d.dayNumber - (DaysFromCivil(d.year, 1, 1) - OleEpoch)) + 1;
        return std::to_string(dayOfYear) + (n == 3 ? TwoDigits(d.year % 100) : std::string());
    }
    if (n == 2)
        return TwoDigits(d.year % 100);
    return std::to_string(d.year); // years 100-999 show three digits, as the runtime does
}

std::string OneOrTwoDigits(std::size_t n, int value) { return n == 1 ? std::to_string(value) : TwoDigits(value); }

// The text of a run of n equal date letters (d, m, y, h, n, s, w), or nothing for any other.
std::optional<std::string> DateRunText(char letter, std::size_t n, const DateFields& d, int shownHour,
                                       bool afterHour, double oleDate)
{
    switch (letter) {
    case 'd': return DayText(n, d, oleDate);
    case 'm': return MonthText(n, d, afterHour);
    case 'y': return YearText(n, d);
    case 'h': return OneOrTwoDigits(n, shownHour);
    case 'n': return OneOrTwoDigits(n, d.minute);
    case 's': return OneOrTwoDigits(n, d.second);
    case 'w': return n == 1 ? std::to_string(d.weekday) : std::to_string(DatePart("ww", static_cast<double>(d.dayNumber)));
    default: return std::nullopt;
    }
}

} // namespace

std::string FormatDate(double oleDate, std::string_view pattern)
{
    const DateFields d = PartsOf(oleDate);
    const std::string expanded = ExpandedDatePattern(pattern, d);
    const std::string_view p = expanded;
    const int shownHour = TwelveHourClock(p) ? (d.hour % 12 == 0 ? 12 : d.hour % 12) : d.hour;

    std::string out;
    bool afterHour = false; // "m" right after an hour means minutes
    for (std::size_t i = 0; i < p.size();) {
        const char c = p[i];
        const char lc = Lower(c);
        if (c == '"') {
            auto end = p.find('"', i + 1);
            if (end == std::string_view::npos)
                end = p.size();
            out.append(p.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        if (c == '\\') {
            if (i + 1 < p.size())
                out += p[i + 1];
            i += 2;
            continue;
        }
        if (const std::size_t marker = AmPmMarker(p, i, d.hour, out)) {
            i += marker;
            continue;
        }
        std::size_t n = 0;
        while (i + n < p.size() && Lower(p[i + n]) == lc)
            ++n;
        if (const auto text = DateRunText(lc, n, d, shownHour, afterHour, oleDate)) {
            out += *text;
            i += n;
            afterHour = lc == 'h';
            continue;
        }
        if (lc == 'q') {
            out += std::to_string((d.month - 1) / 3 + 1);
            ++i;
            afterHour = false;
            continue;
        }
        if (lc == 't' && StartsWithNoCase(p, i, "ttttt")) {
            out += FormatDate(oleDate, "h:mm:ss AM/PM");
            i += 5;
            continue;
        }
        if (lc == 'c' && (i + 1 >= p.size() || !IsLetter(p[i + 1]))) {
            out += FormatDate(oleDate, "General Date");
            ++i;
            continue;
        }
        out += c;
        // A separator between the hour and the minutes keeps "hh:mm" reading as minutes.
        if (c != ':' && c != ' ')
            afterHour = false;
        ++i;
    }
    return out;
}

// ===========================================================================
// Strings.

std::string LTrim(std::string_view s)
{
    std::size_t b = 0;
    while (b < s.size() && s[b] == ' ')
        ++b;
    return std::string(s.substr(b));
}

std::string RTrim(std::string_view s)
{
    std::size_t e = s.size();
    while (e > 0 && s[e - 1] == ' ')
        --e;
    return std::string(s.substr(0, e));
}

std::string Trim(std::string_view s)
{
    return LTrim(RTrim(s));
}

std::string UCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = Upper(c);
    return out;
}

std::string LCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = Lower(c);
    return out;
}

std::string Left(std::string_view s, std::size_t n)
{
    return std::string(s.substr(0, std::min(n, s.size())));
}

std::string Right(std::string_view s, std::size_t n)
{
    n = std::min(n, s.size());
    return std::string(s.substr(s.size() - n));
}

std::string Mid(std::string_view s, std::size_t start1, std::size_t n)
{
    if (start1 == 0)
        Throw(VbError::InvalidProcedureCall);
    if (start1 > s.size())
        return {};
    return std::string(s.substr(start1 - 1, n));
}

std::size_t InStr(std::size_t start1, std::string_view s, std::string_view find)
{
    if (start1 == 0)
        Throw(VbError::InvalidProcedureCall);
    if (start1 > s.size())
        return 0;
    if (find.empty())
        return start1;
    const auto at = s.find(find, start1 - 1);
    return at == std::string_view::npos ? 0 : at + 1;
}

namespace {

bool LikeAt(std::string_view t, std::size_t ti, std::string_view p, std::size_t pi)
{
    while (pi < p.size()) {
        const char pc = p[pi];
        if (pc == '*') {
            while (pi < p.size() && p[pi] == '*')
                ++pi;
            if (pi == p.size())
                return true;
            for (std::size_t k = ti; k <= t.size(); ++k) {
                if (LikeAt(t, k, p, pi))
                    return true;
            }
            return false;
        }
        if (ti >= t.size())
            return false;
        const char tc = t[ti];
        if (pc == '?') {
            ++pi;
        } else if (pc == '#') {
            if (!IsDigit(tc))
                return false;
            ++pi;
        } else if (pc == '[') {
            auto close = p.find(']', pi + 1);
            if (close == std::string_view::npos)
                return false;
            std::string_view set = p.substr(pi + 1, close - pi - 1);
            bool negate = !set.empty() && set[0] == '!';
            if (negate)
                set.remove_prefix(1);
            bool in = false;
            for (std::size_t k = 0; k < set.size(); ++k) {
                if (k + 2 < set.size() && set[k + 1] == '-') {
                    if (tc >= set[k] && tc <= set[k + 2])
                        in = true;
                    k += 2;
                } else if (set[k] == tc) {
                    in = true;
                }
            }
            if (in == negate)
                return false;
            pi = close + 1;
        } else {
            if (pc != tc)
                return false;
            ++pi;
        }
        ++ti;
    }
    return ti == t.size();
}

} // namespace

bool Like(std::string_view text, std::string_view pattern)
{
    return LikeAt(text, 0, pattern, 0);
}

// ===========================================================================
// Dates.

double DateSerial(int year, int month, int day)
{
    int64_t y = ExpandYear(year);
    // Months beyond 12 or below 1 move the year; days beyond the month run into the next.
    int64_t m0 = static_cast<int64_t>(month) - 1;
    y += m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
    m0 = ((m0 % 12) + 12) % 12;
    const int64_t serial = DaysFromCivil(y, m0 + 1, 1) - OleEpoch + (static_cast<int64_t>(day) - 1);
    const double result = static_cast<double>(serial);
    if (result < MinDate || result > MaxDate)
        Throw(VbError::InvalidProcedureCall);
    return result;
}

double TimeSerial(int hour, int minute, int second)
{
    const double secs = static_cast<double>(hour) * 3600.0 + minute * 60.0 + second;
    return FromLinear(secs / SecondsPerDay);
}

void DateParts(double oleDate, int& year, int& month, int& day)
{
    int64_t dayNumber;
    int secs;
    SplitDate(oleDate, dayNumber, secs);
    CivilFromDays(dayNumber + OleEpoch, year, month, day);
}

int Year(double oleDate)
{
    int y, m, d;
    DateParts(oleDate, y, m, d);
    return y;
}

int Month(double oleDate)
{
    int y, m, d;
    DateParts(oleDate, y, m, d);
    return m;
}

int Day(double oleDate)
{
    int y, m, d;
    DateParts(oleDate, y, m, d);
    return d;
}

int Weekday(double oleDate)
{
    int64_t dayNumber;
    int secs;
    SplitDate(oleDate, dayNumber, secs);
    return static_cast<int>(((dayNumber + 6) % 7 + 7) % 7) + 1;
}

int DayOfYear(double oleDate)
{
    int64_t dayNumber;
    int secs;
    SplitDate(oleDate, dayNumber, secs);
    int y, m, d;
    CivilFromDays(dayNumber + OleEpoch, y, m, d);
    return static_cast<int>(dayNumber - (DaysFromCivil(y, 1, 1) - OleEpoch)) + 1;
}

int Hour(double oleDate)
{
    int64_t dayNumber;
    int secs;
    SplitDate(oleDate, dayNumber, secs);
    return secs / 3600;
}

int Minute(double oleDate)
{
    int64_t dayNumber;
    int secs;
    SplitDate(oleDate, dayNumber, secs);
    return secs / 60 % 60;
}

int Second(double oleDate)
{
    int64_t dayNumber;
    int secs;
    SplitDate(oleDate, dayNumber, secs);
    return secs % 60;
}

int DatePart(std::string_view unit, double oleDate)
{
    const std::string u = LCase(unit);
    if (u == "yyyy")
        return Year(oleDate);
    if (u == "q")
        return (Month(oleDate) - 1) / 3 + 1;
    if (u == "m")
        return Month(oleDate);
    if (u == "y")
        return DayOfYear(oleDate);
    if (u == "d")
        return Day(oleDate);
    if (u == "w")
        return Weekday(oleDate);
    if (u == "ww") {
        // The week of 1 January is week 1; every Sunday starts the next.
        const int jan1Weekday = Weekday(DateSerial(Year(oleDate), 1, 1)); // 1 = Sunday
        return (DayOfYear(oleDate) - 1 + (jan1Weekday - 1)) / 7 + 1;
    }
    if (u == "h")
        return Hour(oleDate);
    if (u == "n")
        return Minute(oleDate);
    if (u == "s")
        return Second(oleDate);
    Throw(VbError::InvalidProcedureCall);
}

double Today() { return Int(vexal::ClockNow()); }

double Now() { return vexal::ClockNow(); }

double DateAdd(std::string_view unit, double count, double oleDate)
{
    const double n = Fix(count);
    // No count this large can land inside the date range; it must not reach integer casts.
    if (!(std::fabs(n) < 1e9))
        Throw(VbError::InvalidProcedureCall);
    const std::string u = LCase(unit);
    double result;
    if (u == "yyyy") {
        result = AddMonths(oleDate, static_cast<int64_t>(n) * 12);
    } else if (u == "q") {
        result = AddMonths(oleDate, static_cast<int64_t>(n) * 3);
    } else if (u == "m") {
        result = AddMonths(oleDate, static_cast<int64_t>(n));
    } else if (u == "ww") {
        result = FromLinear(ToLinear(oleDate) + n * 7);
    } else if (u == "d" || u == "y" || u == "w") {
        result = FromLinear(ToLinear(oleDate) + n);
    } else if (u == "h") {
        result = FromLinear(ToLinear(oleDate) + n / 24.0);
    } else if (u == "n") {
        result = FromLinear(ToLinear(oleDate) + n / 1440.0);
    } else if (u == "s") {
        result = FromLinear(ToLinear(oleDate) + n / SecondsPerDay);
    } else {
        Throw(VbError::InvalidProcedureCall);
    }
    if (!(std::trunc(result) >= MinDate && std::trunc(result) <= MaxDate))
        Throw(VbError::InvalidProcedureCall);
    return result;
}

namespace {

// Month number of a month name or its first three letters, 0 when the word names none.
int MonthOfName(std::string_view word)
{
    if (word.size() < 3)
        return 0;
    for (int m = 0; m < 12; ++m) {
        std::string_view full = MonthNames[m];
        if (EqualsNoCase(word, full) || EqualsNoCase(word, full.substr(0, 3))
            || (word.size() == 4 && EqualsNoCase(word, "Sept") && m == 8))
            return m + 1;
    }
    return 0;
}

bool ParseTimeOfDay(std::string_view s, double& fraction)
{
    std::size_t i = 0;
    auto number = [&](int& value) {
        const std::size_t start = i;
        value = 0;
        while (i < s.size() && IsDigit(s[i]) && i - start < 2)
            value = value * 10 + (s[i++] - '0');
        return i - start;
    };
    int h = 0, m = 0, sec = 0;
    if (number(h) == 0 || i >= s.size() || s[i] != ':')
        return false;
    ++i;
    if (number(m) == 0)
        return false;
    if (i < s.size() && s[i] == ':') {
        ++i;
        if (number(sec) == 0)
            return false;
    }
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (i < s.size()) {
        const std::string marker = UCase(s.substr(i));
        const bool am = marker == "AM" || marker == "A";
        const bool pm = marker == "PM" || marker == "P";
        if ((!am && !pm) || h < 1 || h > 12)
            return false;
        if (am && h == 12)
            h = 0;
        if (pm && h != 12)
            h += 12;
    }
    if (h > 23 || m > 59 || sec > 59)
        return false;
    fraction = (h * 3600.0 + m * 60.0 + sec) / SecondsPerDay;
    return true;
}

bool ParseCalendarDate(std::string_view s, double& day)
{
    // Pieces: numbers (with their digit count) and words; separators are "/", "-", ".", ","
    // and blanks.
    struct Piece {
        bool word;
        int value;
        std::size_t digits;
    };
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '/' || c == '-' || c == '.' || c == ',' || c == ' ') {
            ++i;
        } else if (IsDigit(c)) {
            int value = 0;
            const std::size_t start = i;
            while (i < s.size() && IsDigit(s[i])) {
                if (i - start >= 4)
                    return false;
                value = value * 10 + (s[i++] - '0');
            }
            pieces.push_back({false, value, i - start});
        } else if (IsLetter(c)) {
            const std::size_t start = i;
            while (i < s.size() && IsLetter(s[i]))
                ++i;
            const int month = MonthOfName(s.substr(start, i - start));
            if (month == 0)
                return false;
            pieces.push_back({true, month, 0});
        } else {
            return false;
        }
    }
    auto yearOf = [](const Piece& p) { return p.digits == 4 ? p.value : (p.digits == 3 ? -1 : ExpandYear(p.value)); };
    int year, month, dayOfMonth;
    int words = 0;
    for (const auto& p : pieces)
        words += p.word ? 1 : 0;
    if (pieces.size() == 3 && words == 0) {
        if (pieces[0].digits == 4) { // yyyy-mm-dd
            year = pieces[0].value;
            month = pieces[1].value;
            dayOfMonth = pieces[2].value;
        } else { // m/d/yyyy
            month = pieces[0].value;
            dayOfMonth = pieces[1].value;
            year = yearOf(pieces[2]);
        }
    } else if (pieces.size() == 3 && words == 1 && pieces[0].word) { // September 10, 2024
        month = pieces[0].value;
        dayOfMonth = pieces[1].value;
        year = yearOf(pieces[2]);
    } else if (pieces.size() == 3 && words == 1 && pieces[1].word) { // 10-Sep-2024
        dayOfMonth = pieces[0].value;
        month = pieces[1].value;
        year = yearOf(pieces[2]);
    } else if (pieces.size() == 2 && words == 0 && pieces[0].digits <= 2 && pieces[1].digits <= 2) {
        // m/d: the current year, as the runtime reads it.
        month = pieces[0].value;
        dayOfMonth = pieces[1].value;
        year = Year(Today());
    } else {
        return false;
    }
    if (month < 1 || month > 12 || year < 100 || year > 9999)
        return false;
    if (dayOfMonth < 1 || dayOfMonth > DaysInMonth(year, month))
        return false;
    day = static_cast<double>(DaysFromCivil(year, month, dayOfMonth) - OleEpoch);
    return true;
}

} // namespace

bool TryParseDate(std::string_view text, double& oleDate)
{
    const std::string s = Trim(text);
    if (s.empty())
        return false;
    // The time, when there is one, starts at the hour before the first ':'.
    std::string datePart = s, timePart;
    if (const auto colon = s.find(':'); colon != std::string::npos) {
        std::size_t start = colon;
        while (start > 0 && IsDigit(s[start - 1]))
            --start;
        datePart = RTrim(s.substr(0, start));
        timePart = s.substr(start);
        if (!datePart.empty() && datePart.back() == 'T') // ISO "2024-09-10T13:05"
            datePart.pop_back();
    }
    double day = 0;
    if (!datePart.empty() && !ParseCalendarDate(datePart, day))
        return false;
    double fraction = 0;
    if (!timePart.empty() && !ParseTimeOfDay(timePart, fraction))
        return false;
    oleDate = FromLinear(day + fraction);
    return true;
}

bool IsDate(std::string_view text)
{
    double d;
    return TryParseDate(text, d);
}

// ===========================================================================
// Currency.

int64_t CurrencyFromDouble(double v)
{
    const double scaled = RoundHalfEven(v * 10000.0);
    if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0))
        Throw(VbError::Overflow);
    return static_cast<int64_t>(scaled);
}

double CurrencyToDouble(int64_t raw)
{
    return static_cast<double>(raw) / 10000.0;
}

bool SameText(std::string_view a, std::string_view b) { return EqualsNoCase(a, b); }

} // namespace vexal::vb
