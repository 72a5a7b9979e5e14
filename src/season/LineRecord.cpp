#include "LineRecord.h"

#include "RecordFile.h"
#include "VbConvert.h"

namespace vexal {

namespace {
enum : std::size_t { offYear = 0, offWeek = 2, offHomeTeam = 3, offAwayTeam = 4, offLine = 5, offTotal = 13 };
static_assert(offTotal + 8 == LineRecord::Size);
} // namespace

LineRecord LineRecord::Decode(const uint8_t* b)
{
    LineRecord r;
    r.Year = le::I16(b + offYear);
    r.Week = le::U8(b + offWeek);
    r.HomeTeam = le::U8(b + offHomeTeam);
    r.AwayTeam = le::U8(b + offAwayTeam);
    r.Line = le::I64(b + offLine);
    r.Total = le::I64(b + offTotal);
    return r;
}

void LineRecord::Encode(uint8_t* b) const
{
    le::PutI16(b + offYear, Year);
    le::PutU8(b + offWeek, Week);
    le::PutU8(b + offHomeTeam, HomeTeam);
    le::PutU8(b + offAwayTeam, AwayTeam);
    le::PutI64(b + offLine, Line);
    le::PutI64(b + offTotal, Total);
}

std::array<uint8_t, LineRecord::Size> LineRecord::Encode() const
{
    std::array<uint8_t, Size> bytes{};
    Encode(bytes.data());
    return bytes;
}

double LineRecord::LineValue() const { return vb::CurrencyToDouble(Line); }
double LineRecord::TotalValue() const { return vb::CurrencyToDouble(Total); }
void LineRecord::SetLine(double spread) { Line = vb::CurrencyFromDouble(spread); }
void LineRecord::SetTotal(double total) { Total = vb::CurrencyFromDouble(total); }

LineRecord LineRecord::FromGame(const GameRecord& game)
{
    LineRecord r;
    r.Year = game.Year;
    r.Week = game.Week;
    r.HomeTeam = game.HomeTeam;
    r.AwayTeam = game.AwayTeam;
    r.Line = game.Line;
    r.Total = game.Total;
    return r;
}

std::string LineFileName(const std::string& name, int year)
{
    return name + ".L" + vb::Right(std::to_string(year), 2);
}

} // namespace vexal
