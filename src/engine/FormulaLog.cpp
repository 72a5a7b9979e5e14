#include "FormulaLog.h"

#include "VbConvert.h"

#include <cmath>
#include <cstdio>

namespace vexal {

bool FormulaLog::Open(const std::filesystem::path& path)
{
    Close();
    out_ = std::make_unique<AtomicFileWrite>(path);
    if (!out_->Open())
        out_.reset();
    return out_ != nullptr;
}

void FormulaLog::Print(std::string_view text)
{
    if (out_ && !(out_->Append(text) && out_->Append("\r\n")))
        out_.reset();
}

void FormulaLog::Close()
{
    if (out_)
        (void)out_->Commit();
    out_.reset();
}

namespace {
// Whole seconds since the OLE epoch, split into the day and the second of the day.
void SplitSeconds(double oleDate, double& day, long long& secondOfDay)
{
    const long long total = std::llround(oleDate * 86400.0);
    long long d = total / 86400;
    long long s = total % 86400;
    if (s < 0) {
        s += 86400;
        --d;
    }
    day = static_cast<double>(d);
    secondOfDay = s;
}
} // namespace

std::string FormulaLog::DateText(double oleDate)
{
    double day = 0;
    long long second = 0;
    SplitSeconds(oleDate, day, second);
    int y = 0, m = 0, d = 0;
    vb::DateParts(day, y, m, d);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", m, d, y);
    return buf;
}

std::string FormulaLog::TimeText(double oleDate)
{
    double day = 0;
    long long second = 0;
    SplitSeconds(oleDate, day, second);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", second / 3600, (second / 60) % 60, second % 60);
    return buf;
}

std::string FormulaLog::PadTo(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string FormulaLog::EntryText(const std::string& fileName, int32_t wins, int32_t losses, int32_t ties)
{
    const double decided = static_cast<double>(wins) + static_cast<double>(losses);
    const double percent = decided != 0 ? static_cast<double>(wins) / decided * 100.0 : 0.0;
    const double units = static_cast<double>(wins) - static_cast<double>(losses) * 1.1;
    std::string text = PadTo(fileName, 15);
    text += PadTo(vb::CStrInt(wins) + "-" + vb::CStrInt(losses) + "-" + vb::CStrInt(ties), 10);
    text += PadTo(vb::Format(percent, "#.0") + " %", 10);
    text += vb::Format(units, "#.00");
    text += "\r\n";
    return text;
}

std::string FormulaLog::FooterText(double oleDate)
{
    const std::string rule(52, '=');
    std::string text = "\r\n";
    text += rule + "\r\n";
    text += "Formula list was completed on " + DateText(oleDate) + " at " + TimeText(oleDate) + "\r\n";
    text += rule + "\r\n";
    return text;
}

} // namespace vexal
