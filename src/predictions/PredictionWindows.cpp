#include "PredictionWindows.h"

#include "PredictWindow.h"
#include "SingleGameWindow.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void RegisterPredictionWindows()
{
    RegisterWindow(WindowName::Predictions, WindowKind::ChildView, [](QWidget*) { return new PredictWindow(); });
    RegisterWindow(WindowName::SingleGame, WindowKind::Modal, [](QWidget* owner) { return new SingleGameWindow(owner); });
}

} // namespace vexal
