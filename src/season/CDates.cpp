#include "CDates.h"

#include "MsgBox.h"
#include "VbConvert.h"
#include "VbError.h"

#include <cmath>

namespace vexal {

DateValue::DateValue(const char* text) : DateValue(std::string(text ? text : "")) {}

DateValue::DateValue(const std::string& text)
{
    double d = 0;
    if (vb::TryParseDate(text, d)) {
        isDate_ = true;
        date_ = d;
    }
}

bool CDates::Compare(const DateValue& first, const DateValue& second, const std::string& op) const
{
    if (!first.IsDate() || !second.IsDate())
        return false;
    const double a = first.Date();
    const double b = second.Date();
    if (op == "<" || op == "LT")
        return a < b;
    if (op == "<=" || op == "LE")
        return a <= b;
    if (op == "=" || op == "EQ")
        return a == b;
    if (op == "<>" || op == "NE")
        return a != b;
    if (op == ">" || op == "GT")
        return a > b;
    if (op == ">=" || op == "GE")
        return a >= b;
    return false;
}

int16_t CDates::AnnivYears(const DateValue& start, const DateValue& finish) const
{
    if (!Compare(finish, start, "GT"))
        return 0;
    int years = vb::Year(finish.Date()) - vb::Year(start.Date());
    if (vb::DayOfYear(start.Date()) < vb::DayOfYear(finish.Date()))
        ++years;
    return static_cast<int16_t>(years);
}

std::string CDates::DayOfWeek(const DateValue& date) const
{
    static const char* const names[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    if (!date.IsDate())
        return "";
    return names[vb::Weekday(date.Date()) - 1];
}

int16_t CDates::DayofYear(const DateValue& date) const
{
    return date.IsDate() ? static_cast<int16_t>(vb::DayOfYear(date.Date())) : int16_t{0};
}

int16_t CDates::Month(const DateValue& date) const
{
    return date.IsDate() ? static_cast<int16_t>(vb::Month(date.Date())) : int16_t{0};
}

int16_t CDates::Day(const DateValue& date) const
{
    return date.IsDate() ? static_cast<int16_t>(vb::Day(date.Date())) : int16_t{0};
}

int16_t CDates::Year(const DateValue& date) const
{
    return date.IsDate() ? static_cast<int16_t>(vb::Year(date.Date())) : int16_t{0};
}

void CDates::SetContainer(DatesListControl* container)
{
    if (container && (container->ControlKind() == DatesListControl::Kind::ListBox ||
                      container->ControlKind() == DatesListControl::Kind::ComboBox)) {
        DatesContainer = container;
        return;
    }
    MsgBox("Dates container must be a list box or combo box.", vbOKOnly, "Dates");
}

void CDates::ComputeSchedule(const DateValue& start, std::optional<double> intervalCode,
                             std::optional<DateValue> endDate, std::optional<double> count)
{
    if (!start.IsDate())
        return;
    ScheduleStart = start.Date();
    if (!intervalCode || std::isnan(*intervalCode) || *intervalCode < 0)
        return;
    IntervalCode = vb::CInt(*intervalCode);
    IntervalToDatePart();
    // A code outside the table on a fresh instance leaves no interval: listing would never
    // advance, so nothing is listed.
    if (IntervalUnit.empty() || IntervalStep <= 0)
        return;
    if (endDate.has_value() == count.has_value())
        return;
    if (endDate) {
        if (endDate->IsDate()) {
            ScheduleEnd = endDate->Date();
            ScheduleCount = 1;
            FillUntilEndDate();
        }
    } else if (!std::isnan(*count) && *count > 0) {
        ScheduleCount = vb::CInt(*count);
        FillByCount();
    }
}

void CDates::IntervalToDatePart()
{
    struct Interval {
        const char* Unit;
        int16_t Step;
    };
    static constexpr Interval table[] = {
        {"yyyy", 2}, {"yyyy", 1}, {"q", 2}, {"q", 1}, {"m", 2}, {"m", 1}, {"ww", 2}, {"ww", 1}, {"d", 1},
    };
    if (IntervalCode < 0 || IntervalCode > 8)
        return;
    IntervalUnit = table[IntervalCode].Unit;
    IntervalStep = table[IntervalCode].Step;
}

void CDates::AddDate(double date)
{
    if (!DatesContainer)
        return;
    DatesContainer->AddItem(vb::FormatDate(date, "General Date"));
}

void CDates::FillUntilEndDate()
{
    // Each date is counted from the start, so month ends do not drift.
    double d = ScheduleStart;
    for (int i = 1; d <= ScheduleEnd; ++i) {
        AddDate(d);
        try {
            d = vb::DateAdd(IntervalUnit, static_cast<double>(IntervalStep) * i, ScheduleStart);
        } catch (const VbError&) {
            return; // past the last date there is
        }
    }
}

void CDates::FillByCount()
{
    double d = ScheduleStart;
    for (int i = 1; i <= ScheduleCount; ++i) {
        AddDate(d);
        try {
            d = vb::DateAdd(IntervalUnit, static_cast<double>(IntervalStep) * i, ScheduleStart);
        } catch (const VbError&) {
            return;
        }
    }
}

} // namespace vexal
