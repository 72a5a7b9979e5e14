#pragma once
// A number the user typed for a field of a game or line record, checked against what the
// field holds. Every box and grid cell that writes such a field (Input Stats, Enter Lines,
// Single Game) reads its text through this one rule, so that a text the field cannot hold
// gets the same message, naming the field and the values it takes, wherever it was typed.
#include "RecordLayout.h"

#include <optional>
#include <string>
#include <string_view>

namespace vexal {

// The values a number typed for a field of this type may take: a Byte 0 to 255 and an
// Integer -32768 to 32767, whole; a Currency -1000 to 1000 with decimals, since the Currency
// fields are a game's spread and total, which never come near that (the field itself holds
// far more). A Date or a Text is no number field: every number passes.
struct TypedRange {
    double lowest;
    double highest;
    bool whole;
};
TypedRange TypedRangeOf(FieldType type);

// Reads `text` typed for a field of `type` that a message calls `label` ("the line"):
// blanks around it are ignored and an empty text is 0. A text that is no plain number, a
// fraction where the field holds whole numbers, or a number outside the field's range gives
// no value, and `problem` says so in one sentence:
//   "1-2" is not a number for the line.
//   "3.5" is not a whole number for the away score.
//   12345678901234567 does not fit the line (-1000 to 1000).
std::optional<double> ReadTypedNumber(std::string_view text, FieldType type, std::string_view label,
                                      std::string& problem);

} // namespace vexal
