#pragma once
// SendKey: one keyboard event into the input stream, as the data-entry windows use it to
// answer Enter with a Tab press that moves the focus to the next field. The event goes to the
// widget that has the focus, posted, so it arrives after the handler that sent it returns.
#include <array>
#include <cstdint>

class QWidget;

namespace vexal {

// The 28-byte keyboard input record the key is described by (little-endian): type 1 at 0,
// the virtual-key code at 4, scan code 0 at 6, flags at 8 (0 pressed, 2 released), time 0 at
// 12, extra information 0 at 16, padding to 28.
std::array<uint8_t, 28> KeyboardInputRecord(int16_t virtualKey, bool keyDown);

// Sends the key to the focused widget; nothing happens when no widget has the focus.
void SendKey(int16_t virtualKey, bool keyDown);

// The use the data-entry windows make of it: Enter (or Return) typed in the box is swallowed
// and answered with SendKey(9, true), a Tab press.
void AnswerEnterWithTab(QWidget* box);

} // namespace vexal
