#pragma once
// Registers the Predictions window "PREDICT" (a view) and the Single Game window "Singleg"
// (modal) with the window registry, replacing the shell's stand-ins.
namespace vexal {
void RegisterPredictionWindows();
}
