#pragma once
// What the Standings window does with a version check's outcome: a message when the check
// failed, else the update notice update.rtf shown in the document viewer; and the start
// of the updater program.
class QWidget;

namespace vexal {

class UpdateChecker;

// Connects the checker's three outcomes to their handlers.
void ConnectUpdateNotice(UpdateChecker* update);
// Starts the program folder's vexalup.exe, or says it cannot be found.
void StartUpdater();

} // namespace vexal
