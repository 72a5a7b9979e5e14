#pragma once
// Registers the windows of the internet services with the shell, and installs what other
// windows ask of the internet through the shell (ProgramDownload.h).
namespace vexal {

void RegisterInternetWindows();
// The download of a program a document links to, and the updater's start.
void InstallInternetServices();

} // namespace vexal
