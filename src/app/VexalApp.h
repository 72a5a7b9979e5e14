#pragma once
// Starts the whole program: application object, platform services, splash and main window.
// main() only calls this, so tests can start the program in-process.
namespace vexal {
int RunVexal(int argc, char** argv);
}
