#include "Clock.h"

#include "VbConvert.h"

#include <cstdio>
#include <ctime>

namespace vexal {

namespace {

double WallClock()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    const double day = vb::DateSerial(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return day + (tm.tm_hour * 3600.0 + tm.tm_min * 60.0 + tm.tm_sec) / 86400.0;
}

std::function<double()>& Installed()
{
    static std::function<double()> clock;
    return clock;
}

} // namespace

double ClockNow() { return Installed() ? Installed()() : WallClock(); }

void SetClock(std::function<double()> now) { Installed() = std::move(now); }

void SetFixedClock(double oleDate)
{
    SetClock([oleDate] { return oleDate; });
}

std::string TodayDateText()
{
    int year = 0, month = 0, day = 0;
    vb::DateParts(vb::Today(), year, month, day);
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", month, day, year);
    return text;
}

} // namespace vexal
