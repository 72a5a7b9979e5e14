#pragma once
// The program's one clock for "today" and "now": the local wall clock, or a time a test sets,
// so nothing that prints or writes today's date depends on when it runs.
#include <functional>
#include <string>

namespace vexal {

// The current local date and time as a date serial (days since 30 December 1899, the
// fraction the time of day).
double ClockNow();
// Replaces the clock; an empty function puts the wall clock back.
void SetClock(std::function<double()> now);
// A clock that always reads the given date serial.
void SetFixedClock(double oleDate);
// Today's date as the program's reports head it: "mm-dd-yyyy".
std::string TodayDateText();

} // namespace vexal
