#pragma once
// Calendar date utilities: comparing two dates by a named operator, counting anniversary
// years, weekday names and date parts, and listing a schedule of dates (a start and a
// repeat interval, up to an end date or for a number of dates) into a list or combo box.
#include <cstdint>
#include <optional>
#include <string>

namespace vexal {

// A value handed over where any value is allowed: a date (OLE Automation date), a text
// that may hold a date, or nothing. Only dates and texts that read as dates are dates.
class DateValue {
public:
    DateValue() = default;
    DateValue(double oleDate) : isDate_(true), date_(oleDate) {}
    DateValue(const char* text);
    DateValue(const std::string& text);
    bool IsDate() const { return isDate_; }
    double Date() const { return date_; }

private:
    bool isDate_ = false;
    double date_ = 0;
};

// The control a schedule is listed into. Only list boxes and combo boxes are accepted;
// a window hands in an adapter over its control that says which kind of control it is.
class DatesListControl {
public:
    enum class Kind { ListBox, ComboBox, Other };
    virtual ~DatesListControl() = default;
    virtual Kind ControlKind() const = 0;
    virtual void AddItem(const std::string& text) = 0;
};

class CDates {
public:
    // True when both are dates and first <op> second holds; op is "<" or "LT", "<=" or "LE",
    // "=" or "EQ", "<>" or "NE", ">" or "GT", ">=" or "GE" (case matters).
    bool Compare(const DateValue& first, const DateValue& second, const std::string& op) const;
    // The anniversary year running at finish, the first year counting 1; 0 unless finish is
    // after start.
    int16_t AnnivYears(const DateValue& start, const DateValue& finish) const;
    // "Sunday" .. "Saturday"; empty when the value is no date.
    std::string DayOfWeek(const DateValue& date) const;
    // Date parts; 0 when the value is no date.
    int16_t DayofYear(const DateValue& date) const;
    int16_t Month(const DateValue& date) const;
    int16_t Day(const DateValue& date) const;
    int16_t Year(const DateValue& date) const;

    // The list or combo box that receives schedules. Anything else (or none) is refused with
    // a message, and the previous container stays.
    void SetContainer(DatesListControl* container);
    DatesListControl* Container() const { return DatesContainer; }

    // Lists the dates start, start + 1 interval, ... into the container, either while not
    // later than endDate or count dates; exactly one of the two must be given. Interval
    // codes: 0 two years, 1 yearly, 2 two quarters, 3 quarterly, 4 two months, 5 monthly,
    // 6 two weeks, 7 weekly, 8 daily. intervalCode is empty when the value is not a number.
    void ComputeSchedule(const DateValue& start, std::optional<double> intervalCode,
                         std::optional<DateValue> endDate = std::nullopt,
                         std::optional<double> count = std::nullopt);

private:
    void IntervalToDatePart();
    void FillUntilEndDate();
    void FillByCount();
    void AddDate(double date);

    DatesListControl* DatesContainer = nullptr;
    double ScheduleStart = 0;
    double ScheduleEnd = 0;
    int16_t IntervalCode = 0;
    int16_t ScheduleCount = 0;
    std::string IntervalUnit;
    int16_t IntervalStep = 0;
};

} // namespace vexal
