#pragma once
// The keyboard's rule for buttons across the program: Return and the keypad's Enter press the
// focused push or tool button, as Space does. A push button that presses itself on Return (an
// auto-default or default button in a dialog, a message box's) keeps its own handling, and
// every other widget gets Return as before.
class QApplication;

namespace vexal {

// Installs the rule on the application, where it is set up.
void InstallButtonKeys(QApplication& app);

} // namespace vexal
