#pragma once
// Registers the windows of the internet services with the shell.
namespace vexal {

void RegisterInternetWindows();

} // namespace vexal
