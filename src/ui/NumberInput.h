#pragma once
// The one rule by which every box and grid cell that takes a number is typed into. Digits
// pass; "." is the decimal point and so is a typed ",", which the box shows and keeps as ".";
// "-" passes where the box takes a sign. A key that would be part of a number the box cannot
// hold (a decimal point in a box of whole numbers, a sign in a box without one) is refused
// with the numeric-box message, never dropped, since dropping it would change the number
// ("1.5" would become 15). Other characters are no part of a number and are dropped. Pasted
// or dropped text is taken only when every character of it could have been typed; a comma
// never, as "1,5" may mean fifteen hundred or one and a half. A key or a paste that would make
// the text longer than the box holds is refused with the message too, never cut.
#include "NumberKind.h"

#include <QChar>
#include <QString>

#include <string>

class QLineEdit;

namespace vexal {

// The message a refused key or paste shows for a box of this kind.
std::string NumberBoxMessage(const NumberKind& kind);
void ShowNumberBoxMessage(const NumberKind& kind);

// One character typed into such a box: what the box gets (itself, "." for a comma, or
// nothing), and whether the key is refused with the message rather than dropped.
struct TypedCharacter {
    QString text;
    bool refused = false;
};
TypedCharacter TypedIntoNumber(QChar c, const NumberKind& kind);

// Attaches the rule to the box for its lifetime; a box that already has it takes the new kind
// (a grid's one cell editor takes the kind of the cell it edits). A box holds at most the
// kind's maxLength characters, or the maximum length the box was given before: the rule keeps
// that limit itself, so that a paste too long for the box is refused whole, never cut.
void UseNumberInput(QLineEdit* box, const NumberKind& kind = AnyNumber);

} // namespace vexal
