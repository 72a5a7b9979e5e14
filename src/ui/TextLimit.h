#pragma once
// A text box that holds at most so many characters: a key or a paste that would make its text
// longer is refused with a message naming the limit, never cut to fit, so nothing the user
// pasted is lost without a word. Number boxes have the same in their own rule (NumberInput.h).
#include <string>

class QLineEdit;

namespace vexal {

// Attaches the limit to the box for its lifetime; `message` is shown when a change is refused.
void UseTextLimit(QLineEdit* box, int maxLength, const std::string& message);

} // namespace vexal
