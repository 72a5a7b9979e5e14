#include "EntryWindows.h"

#include "InputStatsWindow.h"
#include "LinesWindow.h"
#include "OtherFactorsWindow.h"
#include "WindowNames.h"
#include "Windows.h"

namespace vexal {

void RegisterEntryWindows()
{
    RegisterWindow(WindowName::EnterLines, WindowKind::ChildView, [](QWidget*) { return new LinesWindow(); });
    RegisterWindow(WindowName::InputStats, WindowKind::ChildView, [](QWidget*) { return new InputStatsWindow(); });
    RegisterWindow(WindowName::OtherFactors, WindowKind::ChildView, [](QWidget*) { return new OtherFactorsWindow(); });
}

} // namespace vexal
