#include "CurrentFormula.h"

#include "VbConvert.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace vexal {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string WithoutAbs(std::string_view text)
{
    std::string s(text);
    for (std::size_t at = s.find("ABS"); at != std::string::npos; at = s.find("ABS", at))
        s.erase(at, 3);
    return s;
}

bool HoldsAbs(std::string_view text) { return text.find("ABS") != std::string_view::npos; }

} // namespace

std::optional<float> StrictNumber(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    const std::string_view s = text.substr(b, e - b);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    const double value = vb::Val(s);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

float LeadingNumber(std::string_view text)
{
    const double value = vb::Val(text);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return 0.0f;
    return static_cast<float>(value);
}

LineRangeCodes ReadLineRange(int chkLines, std::string_view startText, std::string_view endText)
{
    LineRangeCodes codes;
    if (chkLines != Checked) {
        codes.from = LineRangeOff;
        codes.to = LineRangeOff;
    } else if (HoldsAbs(startText) || HoldsAbs(endText)) {
        if (auto v = StrictNumber(WithoutAbs(startText)))
            codes.from = LineRangeAbsolute + std::fabs(*v);
        if (auto v = StrictNumber(WithoutAbs(endText)))
            codes.to = LineRangeAbsolute + std::fabs(*v);
    } else if (startText == "0" && endText == "0") {
        codes.from = LineRangeAbsolute;
        codes.to = LineRangeAbsolute;
    } else {
        codes.from = LeadingNumber(startText);
        codes.to = LeadingNumber(endText);
    }
    return codes;
}

std::array<float, 2> SaveLineRange(int chkLines, std::string_view startText, std::string_view endText)
{
    if (chkLines != Checked)
        return {LineRangeOff, LineRangeOff};
    if (HoldsAbs(startText) || HoldsAbs(endText))
        return {LineRangeAbsolute + std::fabs(LeadingNumber(WithoutAbs(startText))),
                LineRangeAbsolute + std::fabs(LeadingNumber(WithoutAbs(endText)))};
    if (startText == "0" && endText == "0")
        return {LineRangeAbsolute, LineRangeAbsolute};
    return {LeadingNumber(startText), LeadingNumber(endText)};
}

LineRangeView ShowLineRange(float lineFrom, float lineTo)
{
    LineRangeView view;
    if (lineFrom == LineRangeOff || (lineFrom == 0.0f && lineTo == 0.0f))
        return view;
    view.on = true;
    if (lineFrom <= LineRangeOff && lineTo <= LineRangeOff) {
        view.start = vb::CStrSingle(lineFrom);
        view.end = vb::CStrSingle(lineTo);
        return view;
    }
    auto end = [](float v) {
        return v == LineRangeAbsolute ? std::string("0") : "ABS " + vb::CStrSingle(std::fabs(v - LineRangeAbsolute));
    };
    view.start = end(lineFrom);
    view.end = end(lineTo);
    return view;
}

std::vector<std::string> LineRangeItems(bool totals)
{
    std::vector<std::string> items;
    if (totals) {
        for (int half = 40; half <= 120; ++half)
            items.push_back(vb::CStrSingle(half / 2.0f));
        return items;
    }
    for (int half = -40; half <= 40; ++half)
        items.push_back(vb::CStrSingle(half / 2.0f));
    for (int half = 1; half <= 40; ++half)
        items.push_back("ABS " + vb::CStrSingle(half / 2.0f));
    return items;
}

std::vector<std::string> RollingWeekItems(int weekCount)
{
    std::vector<std::string> items;
    for (int k = 1; k <= weekCount - 1; ++k)
        items.push_back(vb::Str(k) + " Weeks");
    return items;
}

void ReadFormulaFrom(const FormulaControls& c, Formula& f)
{
    for (int i = 0; i < 9; ++i) {
        if (c.txtFla[i])
            if (auto v = StrictNumber(*c.txtFla[i]))
                f[i] = *v;
    }
    auto copy = [&f](const std::optional<int>& value, int slot) {
        if (value)
            f[slot] = static_cast<float>(*value);
    };
    for (int slot = 0; slot < FormulaSlots; ++slot)
        copy(c.switches[static_cast<std::size_t>(slot)], slot);
    copy(c.STD, fsSeasonToDate);
    copy(c.chkHome, fsHomeOnly);
    copy(c.chkAway, fsAwayOnly);

    if (c.chkFav && *c.chkFav == Checked)
        f[fsFavOrOver] = 1.0f;
    else if (c.chkFav && c.chkOver)
        f[fsFavOrOver] = 10.0f * static_cast<float>(*c.chkOver);
    if (c.chkDog && *c.chkDog == Checked)
        f[fsDogOrUnder] = 1.0f;
    else if (c.chkDog && c.chkUnder)
        f[fsDogOrUnder] = 10.0f * static_cast<float>(*c.chkUnder);

    if (c.chkLines && c.cboLinesStart && c.cboLinesEnd) {
        const LineRangeCodes codes = ReadLineRange(*c.chkLines, *c.cboLinesStart, *c.cboLinesEnd);
        if (codes.from)
            f[fsLineStart] = *codes.from;
        if (codes.to)
            f[fsLineEnd] = *codes.to;
    } else if (c.chkLines && *c.chkLines != Checked) {
        f[fsLineStart] = LineRangeOff;
        f[fsLineEnd] = LineRangeOff;
    }

    if (f[fsSeasonToDate] != 0.0f)
        f[fsRollingWeeks] = 0.0f;
    else if (c.Combo1)
        f[fsRollingWeeks] = LeadingNumber(*c.Combo1);

    if (c.weekIndex)
        f[fsCurrentWeek] = static_cast<float>(*c.weekIndex + 1);
}

void StoreFormulaFrom(const FormulaControls& c, Formula& f)
{
    for (int i = 0; i < 9; ++i) {
        if (c.txtFla[i])
            f[i] = LeadingNumber(*c.txtFla[i]);
    }
    auto copy = [&f](const std::optional<int>& value, int slot) {
        if (value)
            f[slot] = static_cast<float>(*value);
    };
    if (c.STD && *c.STD == Checked)
        f[fsRollingWeeks] = 0.0f;
    copy(c.STD, fsSeasonToDate);
    for (int slot = 0; slot < FormulaSlots; ++slot)
        copy(c.switches[static_cast<std::size_t>(slot)], slot);
    copy(c.chkHome, fsHomeOnly);
    copy(c.chkAway, fsAwayOnly);
    const int fav = c.chkFav.value_or(0), dog = c.chkDog.value_or(0);
    if (fav == Checked || dog == Checked) {
        f[fsFavOrOver] = static_cast<float>(fav);
        f[fsDogOrUnder] = static_cast<float>(dog);
    } else {
        f[fsFavOrOver] = 10.0f * static_cast<float>(c.chkOver.value_or(0));
        f[fsDogOrUnder] = 10.0f * static_cast<float>(c.chkUnder.value_or(0));
    }
    const auto range = SaveLineRange(c.chkLines.value_or(0), c.cboLinesStart.value_or(""), c.cboLinesEnd.value_or(""));
    f[fsLineStart] = range[0];
    f[fsLineEnd] = range[1];
}

} // namespace vexal
