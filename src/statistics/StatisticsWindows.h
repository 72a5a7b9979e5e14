#pragma once
// Registers the Statistics view "FORM6" with the window registry.
namespace vexal {
void RegisterStatisticsWindows();
}
