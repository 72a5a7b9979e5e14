#pragma once
// Starts the whole program: application object, platform services, splash and main window.
// main() only calls this, so tests can start the program in-process.
#include <filesystem>

namespace vexal {

int RunVexal(int argc, char** argv);

// Registers every window (the shell's, then each view's) in an application that already runs.
void RegisterAllWindows();

// The program folder: $VEXAL_HOME, else the executable's folder.
std::filesystem::path DefaultProgramFolder();

} // namespace vexal
