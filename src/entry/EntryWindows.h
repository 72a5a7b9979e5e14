#pragma once
// The data-entry windows registered with the shell.
namespace vexal {
void RegisterEntryWindows();
}
