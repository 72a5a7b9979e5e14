#include "WeeklyTable.h"

#include "VbConvert.h"

namespace vexal {

double CellNumber(const WeeklyCell& cell)
{
    if (const auto* i = std::get_if<int16_t>(&cell))
        return *i;
    if (const auto* f = std::get_if<float>(&cell))
        return *f;
    return 0.0;
}

std::string CellText(const WeeklyCell& cell)
{
    if (const auto* i = std::get_if<int16_t>(&cell))
        return vb::CStrInt(*i);
    if (const auto* f = std::get_if<float>(&cell))
        return vb::CStrSingle(*f);
    if (const auto* s = std::get_if<std::string>(&cell))
        return *s;
    return {};
}

void ClearWeeklyTable(WeeklyTableArray& table)
{
    for (auto& row : table)
        for (auto& cell : row)
            cell = std::monostate{};
}

} // namespace vexal
