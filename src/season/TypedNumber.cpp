#include "TypedNumber.h"

#include "VbConvert.h"

#include <cmath>
#include <limits>

namespace vexal {

TypedRange TypedRangeOf(FieldType type)
{
    switch (type) {
    case FieldType::Byte:
    case FieldType::Integer:
        return {static_cast<double>(LowestValue(type)), static_cast<double>(HighestValue(type)), true};
    case FieldType::Currency: return {-1000, 1000, false};
    case FieldType::Date:
    case FieldType::Text: break;
    }
    return {-std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), false};
}

std::optional<double> ReadTypedNumber(std::string_view text, FieldType type, std::string_view label,
                                      std::string& problem)
{
    const std::string t = vb::Trim(text);
    if (t.empty())
        return 0.0;
    const std::string name(label);
    if (!vb::IsPlainNumber(t)) {
        problem = "\"" + t + "\" is not a number for " + name + ".";
        return std::nullopt;
    }
    const double value = vb::Val(t);
    const TypedRange range = TypedRangeOf(type);
    // A count is never rounded: a fraction is no value for it, however it was typed.
    if (range.whole && std::isfinite(value) && std::trunc(value) != value) {
        problem = "\"" + t + "\" is not a whole number for " + name + ".";
        return std::nullopt;
    }
    if (!std::isfinite(value) || value < range.lowest || value > range.highest) {
        problem = t + " does not fit " + name + " (" + vb::CStr(range.lowest) + " to " + vb::CStr(range.highest) + ").";
        return std::nullopt;
    }
    return value;
}

} // namespace vexal
