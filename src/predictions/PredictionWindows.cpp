#include "PredictionWindows.h"

#include "PredictWindow.h"
#include "SingleGameWindow.h"
#include "Windows.h"

namespace vexal {

void RegisterPredictionWindows()
{
    RegisterWindow("PREDICT", WindowKind::ChildView, [](QWidget*) { return new PredictWindow(); });
    RegisterWindow("Singleg", WindowKind::Modal, [](QWidget* owner) { return new SingleGameWindow(owner); });
}

} // namespace vexal
