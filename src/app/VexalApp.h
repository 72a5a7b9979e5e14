#pragma once
// Starts the whole program: application object, platform services, splash and main window.
// main() only calls this, so tests can start the program in-process.
#include <filesystem>
#include <string>

namespace vexal {

int RunVexal(int argc, char** argv);

// Registers every window (the shell's, then each view's) in an application that already runs.
void RegisterAllWindows();

// The program folder: $VEXAL_HOME, else the executable's folder, as an absolute path.
std::filesystem::path DefaultProgramFolder();

// What is wrong with a program folder, in the words shown to the user: it does not exist, or
// it holds no season file the program reads (naming, with why, the files named as season files
// that it does not read: another letter case, a season it does not offer). Empty when it is fine.
std::string ProgramFolderProblem(const std::filesystem::path& folder);
// Beside season files, the files named as season files that are not read ("2023.NFL",
// "2025.nfl"), with why, in the words shown to the user. Empty when there are none.
std::string SeasonFilesNotTaken(const std::filesystem::path& folder);
// Start-up check of the program folder: shows the problem in a message box, else names the
// files not taken as season files and writes the shipped default formula when the folder has
// none.
void CheckProgramFolder();

} // namespace vexal
