#pragma once
// What a box or grid cell that takes a number takes: it follows the field the box writes, so
// the field's owner says it (a record field's type, a formula slot, a setting) and the box is
// given that. The rule that applies it to a box is src/ui/NumberInput.h.
#include <string_view>

namespace vexal {

struct NumberKind {
    bool decimals = true;       // a decimal point
    bool negative = true;       // a "-"
    std::string_view also{};    // further characters the box takes ("/" in a date)
    bool anyText = false;       // the box holds texts around its number ("ABS 3.5"): only the comma is ruled
    int maxLength = 0;          // the most characters the box holds; 0 for no limit
};

// A count: a whole number of 0 or more.
inline constexpr NumberKind WholeNumbers{false, false, {}, false, 0};
// A number of 0 or more, with decimals.
inline constexpr NumberKind DecimalsOfZeroOrMore{true, false, {}, false, 0};
// Any number, with decimals and a sign.
inline constexpr NumberKind AnyNumber{true, true, {}, false, 0};

} // namespace vexal
