#pragma once
// The Predictions window's "Smart Predict" command.
namespace vexal {

class PredictWindow;

// Predicts every game of the chosen week with a formula searched for that game alone; totals
// when the window's "Over / Under" box is checked, otherwise sides.
void cmdSmartPred_Click(PredictWindow& window);
void SmartPredictSides(PredictWindow& window);
void SmartPredictTotals(PredictWindow& window);

} // namespace vexal
