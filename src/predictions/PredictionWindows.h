#pragma once
// Registers the Predictions window "PREDICT" (a view) and the Single Game window "Singleg"
// (modal) with the window registry.
namespace vexal {
void RegisterPredictionWindows();
}
